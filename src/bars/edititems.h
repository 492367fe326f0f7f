// Items that host an editor window in a bar: the edit, and the combos (an
// edit with a drop-down window, for the custom combo a list of its Items).
//
// The item keeps the stored Text; while one of its links is edited the text
// being typed lives in that link's editor window (see wincontrols.h) and
// reaches Text only when it is confirmed. A window item is never clicked
// directly: its command is the text.
#pragma once

#include <string>

#include "bars/item.h"
#include "classes/controls.h"
#include "classes/strings.h"

namespace bars {

class TdxBarWinControl;
class TdxBarDropDownListBox;
class TCustomdxBarCombo;

// ============================================================================
// TdxBarWindowItem
// ============================================================================

class TdxBarWindowItem : public TdxBarItem {
    TRESTLE_CLASS(TdxBarWindowItem, TdxBarItem)
public:
    explicit TdxBarWindowItem(cls::TComponent* AOwner) : TdxBarItem(AOwner) {}
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    const std::string& Text() const { return FText; }
    // On a change: stored, the link controls repainted, OnChange, repainted again.
    virtual void SetText(const std::string& Value);
    // Text, or while a link is edited the text now in its editor.
    std::string GetCurrentText() const;
    // The text a link shows: the one being edited for the focused link, else Text.
    std::string GetTextOfLink(const TdxBarItemLink* ALink) const;
    // The active link whose control hosts a window that has the focus, else nil.
    TdxBarItemLink* GetFocusedLink() const;
    // The first link whose control hosts a window (with AVisibleOnly, in a
    // window that shows) becomes its window's selection and is edited.
    virtual void FocusEditor(bool AVisibleOnly);
    bool CanClickDirectly() const override { return false; }
    // The item draws its text itself (a combo without editor): its editor
    // window takes no width and is read-only.
    bool DrawsOwnText() const { return FNoEditor; }

    cls::TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(cls::TNotifyEvent Value) { FOnChange = Value; }
    cls::TNotifyEvent OnCurChange() const { return FOnCurChange; }
    void SetOnCurChange(cls::TNotifyEvent Value) { FOnCurChange = Value; }
    cls::TNotifyEvent OnEnter() const { return FOnEnter; }
    void SetOnEnter(cls::TNotifyEvent Value) { FOnEnter = Value; }
    cls::TNotifyEvent OnExit() const { return FOnExit; }
    void SetOnExit(cls::TNotifyEvent Value) { FOnExit = Value; }
    cls::TKeyEvent OnKeyDown() const { return FOnKeyDown; }
    void SetOnKeyDown(cls::TKeyEvent Value) { FOnKeyDown = Value; }
    cls::TKeyPressEvent OnKeyPress() const { return FOnKeyPress; }
    void SetOnKeyPress(cls::TKeyPressEvent Value) { FOnKeyPress = Value; }
    cls::TKeyEvent OnKeyUp() const { return FOnKeyUp; }
    void SetOnKeyUp(cls::TKeyEvent Value) { FOnKeyUp = Value; }

    // --- What the editor reports (each fires its event) ---
    // Not while loading.
    virtual void DoChange();
    // The text in the editor changed.
    virtual void DoCurChange();
    virtual void DoEnter();
    virtual void DoExit();
    // A key set to 0 is handled.
    virtual void DoKeyDown(win::WORD& Key, cls::TShiftState Shift);
    virtual void DoKeyPress(char32_t& Key);
    virtual void DoKeyUp(win::WORD& Key, cls::TShiftState Shift);

protected:
    void SetNoEditor(bool Value) { FNoEditor = Value; }
    // The window-hosting control of a link, nil for other controls.
    static TdxBarWinControl* WinControlOf(const TdxBarItemLink* ALink);

private:
    bool FNoEditor = false;
    std::string FText;
    cls::TNotifyEvent FOnChange;
    cls::TNotifyEvent FOnCurChange;
    cls::TNotifyEvent FOnEnter;
    cls::TNotifyEvent FOnExit;
    cls::TKeyEvent FOnKeyDown;
    cls::TKeyEvent FOnKeyUp;
    cls::TKeyPressEvent FOnKeyPress;
};

// ============================================================================
// TdxBarEdit
// ============================================================================

class TdxBarEdit : public TdxBarWindowItem {
    TRESTLE_CLASS(TdxBarEdit, TdxBarWindowItem)
public:
    explicit TdxBarEdit(cls::TComponent* AOwner) : TdxBarWindowItem(AOwner) {}
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    static constexpr int MinWidth = 20;

    // 0: no limit; values below 1 become 0. Applies to the editors at once.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Toolbars show the caption only with ShowCaption; menus always do.
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    // The editor's width (the caption comes on top), at least MinWidth.
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    // Enabled, and ShowCaption or a link outside a toolbar.
    bool CanUseAccelerator(TdxBarItemLink* ALink) const override;
    // The controls of links without a width of their own size themselves again.
    virtual void WidthChanged();

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    bool FShowCaption = false;
    int FWidth = 100;
};

// ============================================================================
// TCustomdxBarCombo
// ============================================================================

using TdxBarCheckKeyForDropDownWindowEvent =
    cls::TEvent<void(TCustomdxBarCombo* Sender, win::WORD Key, cls::TShiftState Shift, bool& AcceptKey)>;
using TdxBarGetDropDownWindowEvent = cls::TEvent<void(TCustomdxBarCombo* Sender, win::HWND& Window)>;

class TCustomdxBarCombo : public TdxBarEdit {
    TRESTLE_CLASS(TCustomdxBarCombo, TdxBarEdit)
public:
    explicit TCustomdxBarCombo(cls::TComponent* AOwner) : TdxBarEdit(AOwner) {}
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    // False: the combo has no editor to type in; it draws its text and the
    // whole box opens the drop-down.
    bool ShowEditor() const { return !DrawsOwnText(); }
    void SetShowEditor(bool Value);

    TdxBarCheckKeyForDropDownWindowEvent OnCheckKeyForDropDownWindow() const {
        return FOnCheckKeyForDropDownWindow;
    }
    void SetOnCheckKeyForDropDownWindow(TdxBarCheckKeyForDropDownWindowEvent Value) {
        FOnCheckKeyForDropDownWindow = Value;
    }
    cls::TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(cls::TNotifyEvent Value) { FOnCloseUp = Value; }
    cls::TNotifyEvent OnDropDown() const { return FOnDropDown; }
    void SetOnDropDown(cls::TNotifyEvent Value) { FOnDropDown = Value; }
    TdxBarGetDropDownWindowEvent OnGetDropDownWindow() const { return FOnGetDropDownWindow; }
    void SetOnGetDropDownWindow(TdxBarGetDropDownWindowEvent Value) { FOnGetDropDownWindow = Value; }

    // Whether the open drop-down window takes the key: every key but Escape,
    // Enter and Tab, as OnCheckKeyForDropDownWindow may decide.
    virtual bool CheckKeyForDropDownWindow(win::WORD Key, cls::TShiftState Shift);
    // The window OnGetDropDownWindow supplies, nil when none.
    virtual win::HWND GetDropDownWindow();
    virtual void SizeDropDownWindow() {}
    // The active link's combo control has its drop-down open.
    bool GetDroppedDown() const;

    // Shown below the control at the screen point (X, Y) (beside it in a
    // menu or an upright toolbar), kept inside the work area.
    virtual void DropDown(int X, int Y);
    virtual void CloseUp();
    virtual void DoDropDownShown() {}

protected:
    // The drop-down window's place for a list of ASize at (X, Y) below (or
    // beside) the active control.
    cls::TPoint PlaceDropDown(int X, int Y, cls::TSize ASize) const;

private:
    TdxBarCheckKeyForDropDownWindowEvent FOnCheckKeyForDropDownWindow;
    cls::TNotifyEvent FOnCloseUp;
    cls::TNotifyEvent FOnDropDown;
    TdxBarGetDropDownWindowEvent FOnGetDropDownWindow;
};

} // namespace bars
