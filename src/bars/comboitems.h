// The combo whose drop-down window is a list of its Items, and the list.
//
// The item keeps Items (compared without regard to case, Cyrillic too),
// ItemIndex and Text in step: choosing an entry sets the text, and a text
// that is an entry selects it. While the text in the editor changes, the
// open list follows it to the entry it begins the furthest. The list is a
// top-level owner-drawn list box that never takes the focus: it draws each
// entry through the item (OnDrawItem, else the painter) and is shown below
// the combo's control only while dropped down.
#pragma once

#include <algorithm>
#include <string>

#include "bars/edititems.h"
#include "classes/stdctrls.h"

namespace bars {

class TdxBarComboControl;
class TdxBarCustomCombo;

using TdxBarDrawItemEvent =
    cls::TEvent<void(TdxBarCustomCombo* Sender, int AIndex, cls::TRect ARect, cls::TOwnerDrawState AState)>;
using TdxBarMeasureItemEvent = cls::TEvent<void(TdxBarCustomCombo* Sender, int AIndex, int& AHeight)>;

// ============================================================================
// TdxBarDropDownListBox
// ============================================================================

class TdxBarDropDownListBox : public cls::TCustomListBox {
    TRESTLE_CLASS(TdxBarDropDownListBox, cls::TCustomListBox)
public:
    // Owned by its combo.
    explicit TdxBarDropDownListBox(TdxBarCustomCombo* ACombo);
    ~TdxBarDropDownListBox() override;

    TdxBarCustomCombo* Combo() const { return FCombo; }
    // The list holds the capture until the mouse enters it (it opened with
    // the button down): the release outside it chooses nothing.
    bool WaitForMouseEnter() const { return FWaitForMouseEnter; }
    void SetWaitForMouseEnter(bool Value) { FWaitForMouseEnter = Value; }

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(cls::TMessage& Message) override;
    void DrawItem(int Index, const cls::TRect& Rect, cls::TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;
    // The chosen entry shows in the combo's editor.
    void Click() override;

private:
    friend class TdxBarCustomCombo;
    bool ClientContains(cls::TMessage& Message);
    void LButtonUp(cls::TMessage& Message);

    TdxBarCustomCombo* FCombo;
    bool FWaitForMouseEnter = false;
};

// ============================================================================
// TdxBarCustomCombo
// ============================================================================

class TdxBarCustomCombo : public TCustomdxBarCombo {
    TRESTLE_CLASS(TdxBarCustomCombo, TCustomdxBarCombo)
public:
    explicit TdxBarCustomCombo(cls::TComponent* AOwner);
    ~TdxBarCustomCombo() override;

    // The rows the open list shows before it scrolls.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = std::max(Value, 1); }
    // 0: as wide as the combo's text and its widest entry.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = std::max(Value, 0); }
    // 0: the height of the text.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = std::max(Value, 0); }
    // -1: none. A value outside Items becomes -1. The text follows: the
    // entry, or nothing.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // Owned.
    cls::TStringList* Items() const { return FItems; }
    void SetItems(cls::TStrings* Value);
    // Sorting keeps the entry whose text the combo shows.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // The list's current entry: the one the text in the editor begins (-1: none).
    int CurItemIndex() const { return FCurItemIndex; }
    // The list, made when it is first needed.
    TdxBarDropDownListBox* DropDownList();

    TdxBarDrawItemEvent OnDrawItem() const { return FOnDrawItem; }
    void SetOnDrawItem(TdxBarDrawItemEvent Value) { FOnDrawItem = Value; }
    TdxBarMeasureItemEvent OnMeasureItem() const { return FOnMeasureItem; }
    void SetOnMeasureItem(TdxBarMeasureItemEvent Value) { FOnMeasureItem = Value; }

    // A text that is an entry (without regard to case) selects it; any other
    // text selects none.
    void SetText(const std::string& Value) override;
    // Only Up, Down, Page Up and Page Down without modifiers go to the list.
    bool CheckKeyForDropDownWindow(win::WORD Key, cls::TShiftState Shift) override;
    // OnGetDropDownWindow's window, else the list's.
    win::HWND GetDropDownWindow() override;
    void SizeDropDownWindow() override;
    // The list, filled with Items, under the control's bar window; then the
    // entry of the editor's text is selected.
    void DropDown(int X, int Y) override;
    void CloseUp() override;
    // The list takes the mouse (and waits for it to enter while the button is down).
    void DoDropDownShown() override;
    // OnCurChange, then the open list follows the editor's text.
    void DoCurChange() override;

    // One entry: OnDrawItem, else the painter (the list adds the focus rectangle).
    virtual void DrawItem(int AIndex, const cls::TRect& ARect, cls::TOwnerDrawState AState);
    // The canvas entries are drawn and measured on: the bar window's while
    // the closed combo is painted, else the list's (or, while the list has
    // no window, one in the bar font).
    virtual cls::TCanvas* GetItemCanvas();
    virtual int GetDropDownWidth();
    virtual void MeasureItemHeight(int AIndex, int& AHeight);
    virtual void MeasureItemWidth(int AIndex, int& AWidth);

    // The closed combo's text in R on ACanvas: entry AIndex drawn as the list
    // draws it, or the text for -1.
    void DrawClosedText(cls::TCanvas* ACanvas, const cls::TRect& R, int AIndex);
    // The entry whose beginning matches AText the furthest (ignoring case;
    // a whole match ends the search), -1 when not even its first character does.
    int FindPrefix(const std::string& AText) const;

private:
    friend class TdxBarDropDownListBox;
    void ItemsChanged(cls::TObject* Sender);
    void FillList();
    // The active link's combo control, nullptr when none.
    TdxBarComboControl* ActiveControl() const;

    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    int FItemHeight = 0;
    int FItemIndex = -1;
    int FCurItemIndex = -1;
    cls::TStringList* FItems;
    TdxBarDropDownListBox* FDropDownList = nullptr;
    bool FSorted = false;
    TdxBarDrawItemEvent FOnDrawItem;
    TdxBarMeasureItemEvent FOnMeasureItem;
    // Set while the closed combo is painted: the canvas it is painted on.
    cls::TCanvas* FCanvas = nullptr;
    cls::TBitmap* FMeasureBitmap = nullptr;
};

class TdxBarCombo : public TdxBarCustomCombo {
    TRESTLE_CLASS(TdxBarCombo, TdxBarCustomCombo)
public:
    explicit TdxBarCombo(cls::TComponent* AOwner) : TdxBarCustomCombo(AOwner) {}
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
};

} // namespace bars
