// Standard controls: the label, the group box, the edit and the list box.
//
// TCustomListBox is a windowed control on the window system's LISTBOX class.
// Its Items live in the window while it has one; without a window (before the
// first, or after leaving its parent) they are kept by the control and go
// into the next window, with the selection and the top item. Owner-drawn
// styles draw each item through DrawItem (by default OnDrawItem, or the text
// on the Canvas), and lbOwnerDrawVariable measures each item through
// MeasureItem. LBN_SELCHANGE reaches Click, LBN_DBLCLK DblClick.
#pragma once

#include "classes/controls.h"
#include "classes/forms.h"
#include "classes/strings.h"

namespace cls {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// The state of an owner-drawn item; the enumerators are the bits of the
// window system's ODS_ values.
enum TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle

using TDrawItemEvent =
    TEvent<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

class TCustomListBox : public TWinControl {
    TRESTLE_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int Count() const { return FItems->Count(); }
    void Clear() { FItems->Clear(); }
    // -1: none.
    int ItemIndex();
    void SetItemIndex(int Value);
    int TopIndex();
    void SetTopIndex(int Value);
    // The height of an item of lbOwnerDrawFixed (and the one offered to
    // MeasureItem); a standard list box's items are as high as its font.
    int ItemHeight();
    void SetItemHeight(int Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // With IntegralHeight the window shows whole items only.
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TCanvas* Canvas() const { return FCanvas; }

    // The item's rectangle in the client area; the one after the last item
    // for Count, an empty one beyond.
    TRect ItemRect(int Index);
    // The item at a client point; -1 outside the items, or with Existing
    // false the count for a point in the client area below them.
    int ItemAtPos(TPoint Pos, bool Existing);

    TDrawItemEvent OnDrawItem() const { return FOnDrawItem; }
    void SetOnDrawItem(TDrawItemEvent Value) { FOnDrawItem = Value; }
    TMeasureItemEvent OnMeasureItem() const { return FOnMeasureItem; }
    void SetOnMeasureItem(TMeasureItemEvent Value) { FOnMeasureItem = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    // Puts the kept items, selection and top item into the new window.
    void CreateWnd() override;
    // Keeps the items, selection and top item for the next window.
    void DestroyWnd() override;
    // Runs OnDrawItem, or draws the item's text on the Canvas.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    // Runs OnMeasureItem.
    virtual void MeasureItem(int Index, int& Height);

private:
    friend class TListBoxStrings;

    void CNCommand(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    TStrings* FItems;
    TStringList* FSaveItems; // the items while there is no window
    int FSaveItemIndex = -1;
    int FSaveTopIndex = 0;
    TCanvas* FCanvas;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FIntegralHeight = false;
    TBorderStyle FBorderStyle = bsSingle;
    TDrawItemEvent FOnDrawItem;
    TMeasureItemEvent FOnMeasureItem;
};

// A caption on its parent's surface. Its mnemonic (Alt+letter, or the letter
// alone where the focused control takes no characters) focuses FocusControl.
class TLabel : public TGraphicControl {
    TRESTLE_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    // With AutoSize the label takes the size of its text (its width too,
    // unless WordWrap keeps the width and breaks the lines).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustBounds();

private:
    win::UINT TextFlags() const;

    TWinControl* FFocusControl = nullptr;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};

// An etched frame with a caption in its top edge, around other controls.
class TGroupBox : public TCustomControl {
    TRESTLE_CLASS(TGroupBox, TCustomControl)
public:
    explicit TGroupBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
};

// A one-line edit on the window system's EDIT class.
class TEdit : public TWinControl {
    TRESTLE_CLASS(TEdit, TWinControl)
public:
    // 121 x 21, a tab stop, sunken.
    explicit TEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    void SelectAll();
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Runs OnChange.
    virtual void Change();

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    TNotifyEvent FOnChange;
};

} // namespace cls
