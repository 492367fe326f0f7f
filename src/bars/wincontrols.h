// Item controls that show a real child window over their rectangle while
// they are edited: the edit item's control and the combos' controls.
//
// The control owns a hidden "EDIT" window, a child of its bar window, and
// subclasses it. When not edited the painter draws caption, frame, text and
// arrow like any other control; while edited (focused) the edit window shows
// over the text area and has the keyboard focus, which returns to the window
// that had it when editing ends. The edit's keys go to the item's key events
// first; Tab, Enter and Escape end editing through the bar window; Alt and
// its combinations leave the edit to the menus.
//
// Every call that may run user code (the item's events, its SetText) may
// free the control: the window procedure holds an object link on the control
// and stops at once when it went.
#pragma once

#include <string>

#include "bars/itemcontrol.h"
#include "classes/controls.h"

namespace bars {

class TdxBarWindowItem;
class TdxBarEdit;
class TCustomdxBarCombo;
class TdxBarCustomCombo;

// ============================================================================
// TdxBarWinControl
// ============================================================================

class TdxBarWinControl : public TdxBarItemControl {
    TRESTLE_CLASS(TdxBarWinControl, TdxBarItemControl)
public:
    // Makes the hosted window, except in a toolbar window that is moving
    // between docked and floating (it is made when it is needed).
    explicit TdxBarWinControl(TdxBarItemLink* AItemLink);
    ~TdxBarWinControl() override;

    // The hosted window shows and has the focus.
    bool Focused() const { return FFocused; }
    // The hosted window, nullptr when there is none.
    win::HWND Handle() const { return FHandle; }
    // The edit window's rectangle in the bar window (kept by Paint); empty
    // when disabled, no width when the item draws its own text.
    cls::TRect GetEditWindowRect() const;
    void SetWindowBounds(const cls::TRect& R) { FWindowBounds = R; }
    TdxBarWindowItem* GetItem() const;

    // --- Added operations ---
    virtual void CreateWindowHandle();
    virtual void DestroyWindowHandle();
    // The whole text of the hosted window (its length asked first).
    virtual std::string GetText() const;
    // True: shows the edit window over the text area and gives it the focus
    // (remembering who had it); False: hides it, gives the focus back and,
    // with the manager's AlwaysSaveText, stores the text unless Escape is down.
    virtual void SetFocused(bool Value);
    // Puts S into the hosted window without telling the item.
    virtual void SetText(const std::string& S);
    // The hosted window's messages, before its own procedure: the item's key
    // events first, then HandleMessage.
    virtual void WndProc(cls::TMessage& Message);

    // The control whose hosted window AWnd is, nullptr for other windows.
    static TdxBarWinControl* FromWindow(win::HWND AWnd);

    // --- Overrides ---
    void EnabledChanged() override;
    bool CanClickItem() const override;
    // Only editing activates the control, not the mouse passing over it.
    void ControlActivate(bool AImmediately) override;
    void ControlInactivate(bool AImmediately) override;
    void ControlPressed(bool AByMouse) override;
    bool ClosesMenusOnClick() const override { return false; }
    void ParentWindowDestroying() override;

protected:
    // What the window procedure does with a message the key events let
    // through; the derived controls add their keys and mouse handling.
    virtual void HandleMessage(cls::TMessage& Message);
    // A key the control uses itself while Alt is held (the combo's Alt+Up
    // and Alt+Down): its press and release are the control's.
    virtual bool UsesSysKey(win::WORD /*AKey*/, bool /*ADown*/) { return false; }
    bool SettingText() const { return FSettingText; }
    // The hosted window exists and is a child of the bar window's handle (a
    // toolbar switching handles makes it anew); false when it cannot be.
    bool EnsureWindowHandle();
    // Makes the hosted window; the edit controls make an "EDIT" window.
    virtual win::HWND CreateHostedWindow() { return nullptr; }
    // Passes the message to the hosted window's own procedure.
    void CallOldWndProc(cls::TMessage& Message);
    // Removes the characters that keys already handled left in the queue.
    void FlushCharMessages();
    // Puts S into the window with the item's notifications held back.
    void PutText(const std::string& S);
    void SetFocusedValue(bool Value) { FFocused = Value; }
    void SetSysKeyCount(int Value) { FSysKeyCount = Value; }

private:
    friend struct TdxBarWinControlProc;

    void HandleSysKey(cls::TMessage& Message);
    void HandleKillFocus(cls::TMessage& Message);
    void HandleKeyDown(cls::TMessage& Message);
    // Enter, Escape and Alt end editing through the bar window; AReselect
    // keeps the control selected (Escape), else menu mode ends.
    void EndEditing(bool AReselect);
    void GiveFocusBack();
    void Subclass();
    void Unsubclass();

    bool FFocused = false;
    bool FSettingText = false;
    win::HWND FHandle = nullptr;
    int FSysKeyCount = 0;
    // Alt went down while editing and no other key followed yet.
    bool FAltAlone = false;
    win::WNDPROC FOldWndProc = nullptr;
    win::HWND FPrevFocusWnd = nullptr;
    cls::TRect FWindowBounds{};
};

// ============================================================================
// TdxBarEditControl
// ============================================================================

class TdxBarEditControl : public TdxBarWinControl {
    TRESTLE_CLASS(TdxBarEditControl, TdxBarWinControl)
public:
    explicit TdxBarEditControl(TdxBarItemLink* AItemLink);

    // --- Views of the item ---
    TdxBarEdit* GetEdit() const;
    int MaxLength() const;
    bool ReadOnly() const;
    // Always in a menu window.
    bool ShowCaption() const;

    // The bar window lays its controls out again (the width changed).
    virtual void WidthChanged() { RefreshBar(); }
    // The item's MaxLength reaches the hosted window.
    void ApplyMaxLength();

    void ControlPressed(bool AByMouse) override;
    bool IsSelected() const override;
    int GetHeight() const override;
    int GetMinLength() const override;
    int GetWidth() const override;
    bool IsWidthSizable() const override { return true; }
    int GetCaptionWidth() const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;
    void SetFocused(bool Value) override;
    void SetText(const std::string& S) override;

protected:
    void HandleMessage(cls::TMessage& Message) override;
    win::HWND CreateHostedWindow() override;
    // Caption and frame; R returns the text area.
    void PaintFrame(gfx::HDC DC, gfx::RECT& R, TdxBarPaintType APaintType, bool ASelected);
    // Keeps R as the edit window's place and moves a shown edit window there.
    void PlaceEditWindow(const gfx::RECT& R);
};

// ============================================================================
// Combo controls
// ============================================================================

class TCustomdxBarComboControl : public TdxBarEditControl {
    TRESTLE_CLASS(TCustomdxBarComboControl, TdxBarEditControl)
public:
    explicit TCustomdxBarComboControl(TdxBarItemLink* AItemLink) : TdxBarEditControl(AItemLink) {}
    ~TCustomdxBarComboControl() override;

    TCustomdxBarCombo* GetCombo() const;
    // The arrow part in the bar window (kept by Paint).
    const cls::TRect& ArrowRect() const { return FArrowRect; }
    bool DroppedDown() const { return FDroppedDown; }
    // The item's drop-down window, nullptr when none.
    win::HWND GetDropDownWindow() const;

    // Opens the item's drop-down below the control (beside it in a menu or
    // an upright toolbar) or closes it; not for a read-only item.
    virtual void SetDroppedDown(bool Value);

    void EnabledChanged() override;
    void ControlInactivate(bool AImmediately) override;
    void ControlPressed(bool AByMouse) override;
    void Click() override;
    void GetTextColorAndBrush(gfx::TColor& AColor, gfx::HBRUSH& ABrush,
                              const TdxBarPaintState& AState) const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;

protected:
    void HandleMessage(cls::TMessage& Message) override;
    bool UsesSysKey(win::WORD AKey, bool ADown) override;
    // The closed combo's text in R (the item's Text; the custom combo draws
    // its current entry).
    virtual void PaintText(gfx::HDC DC, const gfx::RECT& R);
    // The mouse is over the part that opens the list: the arrow, or for a
    // combo without editor the whole box right of the caption.
    bool IsDropDownPartAt(cls::TPoint P) const;

private:
    cls::TRect FArrowRect{};
    bool FDropDownOnMouseDown = false;
    bool FDroppedDown = false;
    // The press came from the mouse: its release may close the list.
    bool FMousePressed = false;
    cls::TRect FBoxRect{};
};

class TdxBarComboControl : public TCustomdxBarComboControl {
    TRESTLE_CLASS(TdxBarComboControl, TCustomdxBarComboControl)
public:
    explicit TdxBarComboControl(TdxBarItemLink* AItemLink) : TCustomdxBarComboControl(AItemLink) {}

    TdxBarCustomCombo* GetCustomCombo() const;
    // The entry the editor shows while edited, -1 for none.
    int EditItemIndex() const { return FEditItemIndex; }
    // Shows entry I in the editor (the item's Text when I is no entry).
    void SetItemIndex(int I);
    // The entries were reordered: the editor's text keeps its entry.
    void ItemsReordered();

    void SetFocused(bool Value) override;

protected:
    void HandleMessage(cls::TMessage& Message) override;
    void PaintText(gfx::HDC DC, const gfx::RECT& R) override;
    // Steps the editor's entry by ADelta within the entries (no wrap).
    void StepItemIndex(int ADelta);

private:
    int FEditItemIndex = -1;
};

} // namespace bars
