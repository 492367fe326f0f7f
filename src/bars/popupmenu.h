// The popup menu component: a list of item links that a program shows at a
// screen point and runs until it closes, and that a button carries as its
// drop-down part.
//
// Popup shows the menu window and runs a message loop of its own on the
// calling thread until the menu closes: the chosen command's OnClick has run
// when Popup returns (OnPopup, then OnCloseUp, then the manager's OnClickItem
// and the item's OnClick). The loop pumps the thread's whole queue, so timers,
// hooks and other windows keep working; only WM_COMMAND is dropped while the
// menu is open. A WM_QUIT ends the loop and is posted again for the caller's
// loop; a message that arrives after the menu closed is posted back to its
// window. The menu, its items and its manager may be freed from the menu's
// own events: the loop then ends.
#pragma once

#include <string>

#include "bars/subitem.h"
#include "bars/types.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "classes/shortcuts.h"
#include "lookandfeel/objectlinks.h"
#include "win/defs.h"

namespace bars {

class TdxBarPopupMenu : public cls::TComponent {
    TRESTLE_CLASS(TdxBarPopupMenu, cls::TComponent)
public:
    // Joins the manager of the owner form, else the first manager. Raises
    // Exception with dxSBAR_NOBARMANAGERS when there is no manager at all.
    explicit TdxBarPopupMenu(cls::TComponent* AOwner);
    // Frees the links (and with them an open window), leaves the manager.
    ~TdxBarPopupMenu() override;
    void Loaded() override;

    // --- Published properties ---
    TdxBarManager* BarManager() const { return FBarManager; }
    // Nil is refused unless the menu is being destroyed.
    void SetBarManager(TdxBarManager* Value);
    // Width of the menu's side strip; negative values become 0.
    int BarSize() const { return FBarSize; }
    void SetBarSize(int Value);
    // Owned; the menu window's background when not empty.
    cls::TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
    void SetBackgroundBitmap(cls::TBitmap* Value);
    // Owned; a copy of the manager's Font until it is changed here, which
    // turns UseOwnFont on.
    cls::TFont* Font() const { return FFont; }
    void SetFont(cls::TFont* Value);
    bool UseOwnFont() const { return FUseOwnFont; }
    // Off: the manager's Font is taken again.
    void SetUseOwnFont(bool Value);
    // The menu's own font handle (nullptr without UseOwnFont).
    gfx::HFONT FontHandle() const { return FFontHandle; }
    // Owned.
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    void SetItemLinks(TdxBarItemLinks* Value);
    bool UseRecentItems() const { return FUseRecentItems; }
    void SetUseRecentItems(bool Value);

    cls::TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(cls::TNotifyEvent Value) { FOnCloseUp = Value; }
    TdxBarPaintSubMenuBarEvent OnPaintBar() const { return FOnPaintBar; }
    void SetOnPaintBar(TdxBarPaintSubMenuBarEvent Value) { FOnPaintBar = Value; }
    cls::TNotifyEvent OnPopup() const { return FOnPopup; }
    void SetOnPopup(cls::TNotifyEvent Value) { FOnPopup = Value; }

    // Paints the side strip (the menu window calls it): OnPaintBar.
    virtual void DoPaintBar(cls::TCanvas* Canvas, const cls::TRect& R);

    // --- Showing ---
    // Shows the menu with its top-left corner at the screen point (the window
    // keeps itself inside the work area) and returns when it closed. Nothing
    // happens while the menu is open.
    void Popup(int X, int Y);
    // Popup for one call with placement data: the width or height of what
    // the menu drops from, whether to animate, that thing's screen rectangle.
    void PopupEx(int X, int Y, int AOwnerWidth, int AOwnerHeight, bool AAnimate,
                 const cls::TRect* AOwnerRect);
    // The menu shows (between its popup and close-up notifications).
    bool IsOpen() const { return FOpen; }
    // Set only while a button shows the menu as its drop-down: Popup returns
    // as soon as the menu shows.
    bool NoLoop() const { return FNoLoop; }
    // The menu's window, nullptr while closed.
    TdxBarSubMenuControl* GetBarControl() const;

    // --- Keys ---
    // A link's command of that shortcut runs.
    bool IsShortCut(cls::TShortCut AShortCut);
    // The shortcut of a key message (key code, Shift, Ctrl, and Alt from bit
    // 29 of the key data); a key code of 0 is none.
    bool IsShortCutKey(win::WPARAM AKey, win::LPARAM AKeyData);

    // The manager's font changed: a menu without its own font takes it.
    void ManagerFontChanged();

private:
    friend class TdxBarButton;

    void MenuCloseUp(cls::TObject* Sender);
    void MenuPopup(cls::TObject* Sender);
    void FontChanged(cls::TObject* Sender);
    void PushManagerFont();
    // A button's drop-down: the window that holds the button and its control,
    // for the next Popup.
    void BeginDropDown(TCustomdxBarControl* AParentBar, TdxBarItemControl* AControl);
    void EndDropDown();

    bool FNoLoop = false;
    bool FLooping = false; // Popup's loop runs
    cls::TBitmap* FBackgroundBitmap = nullptr;
    TdxBarManager* FBarManager = nullptr;
    int FBarSize = 0;
    gfx::HFONT FFontHandle = nullptr;
    cls::TFont* FFont = nullptr;
    bool FManagerPush = false;
    TdxBarItemLinks* FItemLinks = nullptr;
    bool FHasOwnerRect = false;
    cls::TRect FOwnerRect{};
    TCustomdxBarControl* FParentBarControl = nullptr;
    int FOwnerWidth = 0;
    int FOwnerHeight = 0;
    bool FOpen = false;
    bool FAnimate = true;
    bool FUseOwnFont = false;
    bool FUseRecentItems = false;
    // The button control the open drop-down menu belongs to.
    lf::TcxObjectLink* FDropDownControl = nullptr;
    TdxBarItemControl* FPendingDropDownControl = nullptr;
    cls::TNotifyEvent FOnCloseUp;
    TdxBarPaintSubMenuBarEvent FOnPaintBar;
    cls::TNotifyEvent FOnPopup;
};

// A popup menu of some manager is open.
bool IsAnyPopupMenuShowing();

} // namespace bars
