// The menu window: one link collection shown as a vertical menu (the window
// of a popup menu, of a sub item's menu and of a drop-down button's menu).
//
// What it does: it is a topmost popup window owned by the manager's form
// (or a given window), with a one-pixel frame (and the detach strip's room
// at the top when its sub item is detachable) drawn by the painter. Showing
// it (ShowAnimated) fires its popup notification, creates its item
// controls, enters menu mode, lays the visible links out top to bottom with
// the painter's group separators, sizes the window to them at the place the
// caller set, plays the "MenuPopup" sound and shows it. It paints through the
// painter's menu background and frame and each control's Paint. Enter runs
// the selected entry, Esc closes the menu (a submenu: its opening sub item
// closes it), Left closes a submenu; the rest of the keyboard, the mouse,
// hints and the shadow come from the bar window base. Closing the chain
// closes the root menu, which closes the menus opened from it; closing fires
// the close-up notification.
//
// What it does not do: it keeps the place it is given (no flipping or
// clamping to the work area, no owner-rectangle placement), shows every
// visible link (no recent-items filter, no expand button, no scroll buttons:
// a menu taller than the screen is cut), shows without animation, cannot be
// torn off (the detach strip is drawn but never hot), keeps its opener's
// select-the-first-link flag without acting on it, and has no background
// bitmap of its own or palette for rarely used links.
#pragma once

#include "bars/barcontrol.h"
#include "classes/events.h"

namespace bars {

class TdxBarSubMenuControl : public TCustomdxBarControl {
    TRESTLE_CLASS(TdxBarSubMenuControl, TCustomdxBarControl)
public:
    // AOwner: the bar manager.
    explicit TdxBarSubMenuControl(cls::TComponent* AOwner);
    // Frees a menu still open from this one and leaves the parent window.
    ~TdxBarSubMenuControl() override;

    // Fires the popup notification and shows the window at (Left, Top).
    void ShowAnimated();
    // Closes the window once and frees it.
    void CloseAndFree();
    // Lays the visible links out; ASize receives the window size they need.
    void CalcLayout(gfx::SIZE* ASize = nullptr);
    // The links from TopIndex on that got a rectangle.
    int GetShownLinkCount() const;

    // --- What the painters read ---
    // Width of the side strip: the owning sub item's BarSize, else 0.
    int GetBarSize() const;
    bool Detachable() const;
    int GetDetachBarHeight() const;
    // Half the height of "Qq", made odd.
    int GetDetachBarBaseSize();
    // The detach strip in window coordinates (empty when not detachable).
    gfx::RECT GetDetachBarRect();
    virtual bool DetachBarHot() const { return false; }
    virtual bool HasExpandButton() const { return false; }
    // The first visible link shown.
    virtual int TopIndex() const { return 0; }
    virtual bool HasItemsAbove() const { return TopIndex() > 0; }
    virtual bool CanScrollDown() const;
    int ScrollButtonHeight() const { return FScrollButtonHeight; }
    // Three quarters of the item height plus 1 in the base painter.
    int SmallMetric() const { return FSmallMetric; }
    int GetScrollArrowSize() const;
    int GetSubMenuOffset() const;
    gfx::HBRUSH GetBackgroundBrush() const;
    // The manager's submenu background, nil when it has none.
    cls::TBitmap* GetBackgroundBitmap() const;
    // The background of rarely used links: button face lightened by 20.
    gfx::HBRUSH RarelyUsedBrush() const { return FRarelyUsedBrush; }
    // The window keeps no palette: these leave the DC as it is.
    void SelectBackgroundPalette(gfx::HDC /*DC*/) const {}
    void RestorePalette(gfx::HDC /*DC*/) const {}
    // The item control's DrawFlag while the painter draws behind it.
    unsigned char DrawFlag() const { return FDrawFlag; }
    void SetDrawFlag(unsigned char Value) { FDrawFlag = Value; }

    // --- What the opener sets ---
    TdxBarSubItemControl* SubItemControl() const { return FSubItemControl; }
    void SetSubItemControl(TdxBarSubItemControl* Value) { FSubItemControl = Value; }
    // The opener asked for the menu (the mouse or a selection).
    bool SubMenuRequested() const { return FSubMenuRequested; }
    void SetSubMenuRequested(bool Value) { FSubMenuRequested = Value; }
    int OwnerWidth() const { return FOwnerWidth; }
    void SetOwnerWidth(int Value) { FOwnerWidth = Value; }
    int OwnerHeight() const { return FOwnerHeight; }
    void SetOwnerHeight(int Value) { FOwnerHeight = Value; }
    // The window that owns the menu window; nil: the manager's form.
    win::HWND ParentWnd() const { return FParentWnd; }
    void SetParentWnd(win::HWND Value) { FParentWnd = Value; }
    cls::TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(cls::TNotifyEvent Value) { FOnCloseUp = Value; }
    cls::TNotifyEvent OnPopup() const { return FOnPopup; }
    void SetOnPopup(cls::TNotifyEvent Value) { FOnPopup = Value; }

    // --- Bar window operations ---
    void CalcMetrics() override;
    void DrawItemControl(TdxBarItemControl* AControl) override;
    void SetMarkState(int AState) override { SetMarkStateValue(AState); }
    // A submenu passes the call up; the root menu closes itself.
    void DeactivateAll() override;
    void RepaintBar() override;
    bool IsClosingOnClick() const override { return true; }
    bool IsMenuWindow() const override { return true; }

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Paint() override;
    void Dispatch(cls::TMessage& Message) override;

    virtual void DoCloseUp();
    virtual void DoPopup();

private:
    void ApplyFont();
    void MenuKeyDown(cls::TMessage& Message);
    void MenuMouseMove(cls::TMessage& Message);
    void WMNCCalcSize(cls::TMessage& Message);
    void WMNCPaint(cls::TMessage& Message);
    void DrawFrame(gfx::HDC DC);
    void DeleteRarelyUsedBrush();

    TdxBarSubItemControl* FSubItemControl = nullptr;
    bool FSubMenuRequested = false;
    int FOwnerWidth = 0;
    int FOwnerHeight = 0;
    win::HWND FParentWnd = nullptr;
    gfx::HBRUSH FRarelyUsedBrush = nullptr;
    int FScrollButtonHeight = 0;
    int FSmallMetric = 0;
    unsigned char FDrawFlag = 0;
    cls::TNotifyEvent FOnCloseUp;
    cls::TNotifyEvent FOnPopup;
};

} // namespace bars
