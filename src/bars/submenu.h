// The menu window: one link collection shown as a vertical menu (the window
// of a popup menu, of a sub item's menu and of a drop-down button's menu).
//
// It is a topmost popup window owned by the manager's form (or a given
// window), with a one-pixel frame (and the detach strip at the top when its
// sub item is detachable) drawn by the painter. The caller sets the place it
// asks for (a screen point, or beside the control that opens the menu, with
// that control's width or height as owner size) and calls ShowAnimated: the
// popup notification fires, the handle's creation makes the item controls,
// enters menu mode, lays the visible links out top to bottom with the
// painter's group separators and places the window inside the work area of
// the monitor at that place, flipping it to the other side of its owner or
// moving it to fit; the "MenuPopup" sound plays and the window shows through
// the show animation with its shadow.
//
// A menu taller than the work area shows scroll buttons in place of its first
// and last rows; hovering one scrolls a link every 80 ms. In recent-items
// mode a menu shows only its recently used links and an expand button; it
// expands (all links, the rarely used ones on a lighter background, for the
// rest of the menu mode) on a click of the button, on Ctrl+Down, after 4 s
// untouched or 1 s over the button. A detachable sub item's menu has a strip
// at its top that is dragged to tear the menu off into its detaching bar.
//
// Closing the chain closes the root menu, which closes the menus opened from
// it; closing fires the close-up notification. Every call that may run user
// code or destroy windows is followed by an aliveness test.
#pragma once

#include <vector>

#include "bars/barcontrol.h"
#include "classes/events.h"

namespace lf {
struct TcxObjectLink;
}

namespace bars {

class TdxBarSubMenuControl : public TCustomdxBarControl {
    TRESTLE_CLASS(TdxBarSubMenuControl, TCustomdxBarControl)
public:
    // AOwner: the bar manager.
    explicit TdxBarSubMenuControl(cls::TComponent* AOwner);
    // Frees a menu still open from this one and leaves the parent window.
    ~TdxBarSubMenuControl() override;

    // How often a hovered scroll button scrolls one link.
    static constexpr unsigned ScrollInterval = 80;
    // An untouched menu in recent-items mode expands after FullMenuDelay; a
    // hovered expand button after FullMenuHoverDelay.
    static constexpr unsigned FullMenuDelay = 4000;
    static constexpr unsigned FullMenuHoverDelay = 1000;

    // --- Showing and closing ---
    // Fires the popup notification, creates the window (layout, placement,
    // sound) and shows it with the manager's animation when one was asked for.
    void ShowAnimated();
    // Closes the window once and frees it.
    void CloseAndFree();
    // Shows the rarely used links too (for the rest of the menu mode): the
    // window is made anew at the place the caller asked for.
    void ExpandMenu();

    // --- Layout and placement ---
    // Lays the visible links out from TopIndex; ASize receives the window
    // size they need (all of them, without a height limit).
    void CalcLayout(gfx::SIZE* ASize = nullptr);
    // Moves and sizes the window to its layout inside the work area of the
    // monitor at (ALeft, ATop), beside the owner when it has an owner size.
    void PlaceOnScreen(int ALeft, int ATop);
    // The placement put the menu left of / above its owner or point.
    bool FlippedH() const { return FFlippedH; }
    bool FlippedV() const { return FFlippedV; }
    // The links from TopIndex on that got a rectangle.
    int GetShownLinkCount() const;
    // Clamped to the visible links; the window repaints on a change.
    void SetTopIndex(int Value);
    // The visible link lies in a shown row (not scrolled away, not under a
    // scroll button).
    bool IsLinkShown(const TdxBarItemLink* ALink) const;
    // In client coordinates; empty when the button is not active.
    cls::TRect GetScrollUpRect() const;
    cls::TRect GetScrollDownRect() const;
    cls::TRect GetExpandButtonRect() const;

    // --- What the painters read ---
    // Width of the side strip: the owning sub item's or popup menu's BarSize.
    int GetBarSize() const;
    // The quick-customization menu's rows put their glyph cells right of
    // their check cells: the band's width behind them (one entry height);
    // 0 in other menus.
    int GetQuickCustBandWidth() const;
    bool Detachable() const;
    int GetDetachBarHeight() const;
    // Half the height of "Qq", made odd.
    int GetDetachBarBaseSize();
    // The detach strip in window coordinates (empty when not detachable).
    gfx::RECT GetDetachBarRect();
    virtual bool DetachBarHot() const { return FDetachBarHot; }
    virtual bool HasExpandButton() const { return HasHiddenLinks(); }
    // The first visible link shown.
    virtual int TopIndex() const { return FTopIndex; }
    virtual bool HasItemsAbove() const { return TopIndex() > 0; }
    virtual bool CanScrollDown() const;
    int ScrollButtonHeight() const { return FScrollButtonHeight; }
    // Three quarters of the item height plus 1 in the base painter.
    int SmallMetric() const { return FSmallMetric; }
    int GetScrollArrowSize() const;
    int GetSubMenuOffset() const;
    gfx::HBRUSH GetBackgroundBrush() const;
    // The popup menu's background bitmap, else the manager's submenu
    // background; nil when neither has a picture.
    cls::TBitmap* GetBackgroundBitmap() const;
    // The background of rarely used links: button face lightened by 20.
    gfx::HBRUSH RarelyUsedBrush() const { return FRarelyUsedBrush; }
    // On a palette display in recent-items mode the brush names the one
    // entry of the window's palette: these select and realize it, and put
    // the default palette back.
    void SelectBackgroundPalette(gfx::HDC DC) const;
    void RestorePalette(gfx::HDC DC) const;
    // The item control's DrawFlag while the painter draws behind it.
    unsigned char DrawFlag() const { return FDrawFlag; }
    void SetDrawFlag(unsigned char Value) { FDrawFlag = Value; }

    // --- What the opener sets ---
    TdxBarSubItemControl* SubItemControl() const { return FSubItemControl; }
    void SetSubItemControl(TdxBarSubItemControl* Value) { FSubItemControl = Value; }
    // The opener asked for the menu (the mouse or a selection).
    bool SubMenuRequested() const { return FSubMenuRequested; }
    void SetSubMenuRequested(bool Value) { FSubMenuRequested = Value; }
    // The button control a drop-down menu opens from, nil otherwise.
    TdxBarItemControl* DropDownControl() const { return FDropDownControl; }
    void SetDropDownControl(TdxBarItemControl* Value) { FDropDownControl = Value; }
    // The size of what the menu opens beside: a width for a menu beside its
    // control, a height for one below it, neither for a point.
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
    // Before ShowAnimated: whether the show may be animated (true unless
    // the caller says otherwise); ShowAnimated uses the request up.
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool Value) { FAnimate = Value; }
    // The animation chosen for the current show.
    TdxBarMenuAnimations AnimationKind() const { return FAnimationKind; }
    // A right click acts as a left one: in a menu opened at a point, and in
    // the menus opened from such a menu.
    bool RightButtonActsAsLeft() const;
    // A menu opened from another window customizes as that window does: the
    // menus of the customizing popup's own sub item do not.
    bool IsCustomizing() const override;

    // --- Bar window operations ---
    // Container items of the menu first put the links they expand to in
    // place of their own link; they take them back after the controls went.
    void CreateControls() override;
    void DestroyControls() override;
    void CalcMetrics() override;
    // The parent window's, a popup menu's own font, else the manager's.
    gfx::HFONT GetFontHandle() const override;
    TdxBarItemControl* GetItemControlAtPos(cls::TPoint P) const override;
    void DrawItemControl(TdxBarItemControl* AControl) override;
    void SetActive(bool Value) override;
    // 0 normal, 1 hot, 2 expanding (the expand button; recent-items mode only).
    void SetMarkState(int AState) override;
    void SetSelectedControl(TdxBarItemControl* AControl) override;
    // A submenu passes the call up; the root menu closes itself.
    void DeactivateAll() override;
    // The links changed while shown: filtered, placed and laid out again.
    void RepaintBar() override;
    bool HasHiddenLinks() const override;
    bool HasBackgroundBitmap() const override { return GetBackgroundBitmap() != nullptr; }
    // The painter's menu fill: the background bitmap tiled from the client's
    // corner (so it runs on behind every entry), else the menu's brush.
    void FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush, gfx::TColor AColor) override;
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
    // The sub item or popup menu whose links the menu shows, nil otherwise.
    TCustomdxBarSubItem* OwnerSubItem() const;
    TdxBarPopupMenu* OwnerPopupMenu() const;

    // --- Life ---
    void ExpandContainerItems();
    void RemoveContainerItemLinks();
    void ApplyFont();
    // The manager shows recently used links first and the links follow it.
    bool IsRecentItemsMode() const;
    void ApplyRecentItemsFilter();
    void CreateRarelyUsedBrush();
    void DeleteRarelyUsedBrush();
    TdxBarMenuAnimations ChooseAnimation() const;
    void StartFullMenuTimer(int AKind, unsigned AInterval);
    void StopFullMenuTimer();
    void FullMenuTimerFired(int AKind);

    // --- Scrolling ---
    // -1 over an active scroll-up button, 1 over an active scroll-down button, else 0.
    int ScrollButtonAt(cls::TPoint P) const;
    void StartScrolling(int ADelta);
    void ScrollTimerFired();
    void StopScrolling();
    // The hot link went under a scroll button or out of view.
    void ScrollToLink(const TdxBarItemLink* ALink);

    // --- Detach strip ---
    bool IsOverDetachBar(cls::TPoint P);
    void SetDetachBarHot(bool Value);
    bool CanDetach() const;
    void TrackDetach();

    // --- Painting ---
    void PaintSideBar(const cls::TRect& R);
    void DrawFrame(gfx::HDC DC);
    // The group separator shows above the link (the layout's rule).
    bool HasSeparatorAbove(const TdxBarItemLink* ALink) const;

    // --- Messages ---
    void MenuKeyDown(cls::TMessage& Message);
    void MenuMouseMove(cls::TMessage& Message);
    void MenuLButtonDown(cls::TMessage& Message);
    void MenuRButton(cls::TMessage& Message, win::UINT ALeftMessage);
    void WMNCCalcSize(cls::TMessage& Message);
    void WMNCHitTest(cls::TMessage& Message);
    void WMNCPaint(cls::TMessage& Message);
    void WMTimer(cls::TMessage& Message);

    bool FDetachBarHot = false;
    TdxBarItemControl* FDropDownControl = nullptr;
    bool FRecreating = false;
    win::UINT_PTR FFullMenuTimer = 0;
    gfx::HBRUSH FRarelyUsedBrush = nullptr;
    gfx::HPALETTE FRarelyUsedPalette = nullptr;
    int FScrollButtonHeight = 0;
    TdxBarMenuAnimations FAnimationKind = maNone;
    int FSmallMetric = 0;
    int FSavedLeft = 0;
    int FSavedTop = 0;
    int FOwnerWidth = 0;
    int FOwnerHeight = 0;
    win::UINT_PTR FScrollTimer = 0;
    int FScrollDelta = 0;
    bool FAnimate = true;
    int FTopIndex = 0;
    TdxBarSubItemControl* FSubItemControl = nullptr;
    cls::TNotifyEvent FOnCloseUp;
    cls::TNotifyEvent FOnPopup;
    win::HWND FParentWnd = nullptr;
    bool FSubMenuRequested = false;
    bool FFlippedH = false;
    bool FFlippedV = false;
    bool FOverExpandButton = false;
    unsigned char FDrawFlag = 0;
    // Set while container items change the menu's links: no rebuild then.
    bool FContainerLock = false;
    // The expanded container links and their items (watched).
    struct TContainerExpansion {
        lf::TcxObjectLink* Link;
        lf::TcxObjectLink* Item;
    };
    std::vector<TContainerExpansion> FContainerLinks;
};

} // namespace bars
