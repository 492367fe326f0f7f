// The bar window base: the common window of toolbars and menus.
//
// A bar window owns the item controls of its links, keeps the selected (hot)
// control, turns mouse and keyboard messages into selection, activation and
// clicks, keeps the chain of windows that make up one menu mode (a toolbar or
// popup menu and the menus opened from it), feeds the hint machinery, owns
// its drop shadow and asks the manager's painter for metrics and
// backgrounds. It never takes the focus and is never activated by a click.
//
// Every call that may run user code or destroy windows (a click, a change of
// the manager's selection, an inactivation) is followed by IsBarControlAlive
// before the window touches itself again.
//
// Keys reach a bar window as WM_KEYDOWN. The character a key types (for
// accelerators of any keyboard layout) is the WM_CHAR that the key's
// translation left in the queue, else the key's character on the US map; a
// key the window uses as an accelerator takes that WM_CHAR out of the queue.
#pragma once

#include "bars/itemcontrol.h"
#include "bars/painters/painter.h"
#include "bars/types.h"
#include "classes/controls.h"

namespace bars {

class TdxBarShadow;

// Posted to a bar window to re-lay out and repaint it later.
inline constexpr win::UINT WM_DXBAR_REFRESH = win::WM_APP + 200;

class TCustomdxBarControl : public cls::TCustomControl {
    TRESTLE_CLASS(TCustomdxBarControl, cls::TCustomControl)
public:
    // AOwner: the bar manager.
    explicit TCustomdxBarControl(cls::TComponent* AOwner);
    ~TCustomdxBarControl() override;

    // --- Fields ---
    cls::TBitmap* WorkBitmap() const { return FWorkBitmap; }
    gfx::HBRUSH BackgroundBrush() const { return FBackgroundBrush; }
    TdxBarSubMenuControl* ChildMenu() const { return FChildMenu; }
    void SetChildMenu(TdxBarSubMenuControl* Value) { FChildMenu = Value; }
    TdxBarItemControl* PressedControl() const { return FPressedControl; }
    bool LockMouse() const { return FLockMouse; }
    TdxDockControl* DockControl() const { return FDockControl; }
    void SetDockControl(TdxDockControl* Value);
    TdxBarDockingStyle DockingStyle() const { return FDockingStyle; }
    bool IgnoreNextMouseUp() const { return FIgnoreNextMouseUp; }
    void SetIgnoreNextMouseUp(bool Value) { FIgnoreNextMouseUp = Value; }
    bool DrawingOneControl() const { return FDrawingOneControl; }
    void SetDrawingOneControl(bool Value) { FDrawingOneControl = Value; }
    bool IsActive() const { return FIsActive; }
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    // Also makes the window the collection's window.
    void SetItemLinks(TdxBarItemLinks* Value);
    // 0 normal, 1 hot, 2 pressed (toolbar mark, menu expand button).
    int MarkState() const { return FMarkState; }
    bool PressedControlHot() const { return FPressedControlHot; }
    const cls::TRect& OwnerRect() const { return FOwnerRect; }
    void SetOwnerRect(const cls::TRect& Value) { FOwnerRect = Value; }
    void SetOwnerBarControl(TCustomdxBarControl* Value) { FOwnerBarControl = Value; }
    TCustomdxBarControl* ParentBar() const { return FParentBar; }
    void SetParentBar(TCustomdxBarControl* Value) { FParentBar = Value; }
    TCustomdxBarControl* PrevActiveBarControl() const { return FPrevActiveBarControl; }
    TdxBarItemControl* SelectedControl() const { return FSelectedControl; }
    // Plain field write (no notifications), for a control that went or was disabled.
    void ClearSelectedControl() { FSelectedControl = nullptr; }
    TdxBarShadow* Shadow() const { return FShadow; }
    // Height of "0" in the window font + 6: the item height of menus.
    int TextHeight() const { return FTextHeight; }
    int EditHeight() const { return FEditHeight; }
    // TextHeight / 5, at least 4: the arrow size.
    int TextHeightFifth() const { return FTextHeightFifth; }
    int MenuArrowWidth() const { return FMenuArrowWidth; }
    void SetMenuArrowWidth(int Value) { FMenuArrowWidth = Value; }
    int ComboArrowWidth() const { return FComboArrowWidth; }
    cls::TPoint LastMousePos() const { return FLastMousePos; }
    // The next mouse move counts as one to a new place.
    void ResetLastMousePos() { FLastMousePos = cls::TPoint{-1, -1}; }
    // Set once the window closes: a second close does nothing.
    bool Closing() const { return FClosing; }

    // --- Virtual operations, in the order of the design ---
    virtual void CreateControls();
    virtual void DestroyControls();
    virtual void CalcMetrics();
    virtual bool CanAlignControl(TdxBarItemControl* /*AControl*/) const { return false; }
    virtual bool IsDesigning() const;
    virtual bool IsOwnerRectUsed() const;
    virtual gfx::HFONT GetFontHandle() const;
    virtual void GetControlRect(TdxBarItemControl* AControl, cls::TRect& R) const;
    virtual bool IsCustomizing() const;
    virtual bool IsShadowVisible() const;
    virtual void GetControlRectEx(TdxBarItemControl* AControl, bool AFlag, cls::TRect& R) const;
    // A rectangular region the caller deletes.
    virtual gfx::HRGN GetControlRegion(TdxBarItemControl* AControl) const;
    virtual TCustomdxBarControl* GetOwnerBarControl() const;
    virtual gfx::HBRUSH GetBarBrush() const;
    virtual gfx::HBRUSH GetCheckerBrush() const;
    virtual gfx::HBRUSH GetSelectedBrush() const;
    virtual gfx::HBRUSH GetHighlightBrush() const;
    virtual bool IsClosingOnClick() const { return false; }
    virtual bool IsParentOf(const TCustomdxBarControl* AControl) const;
    virtual bool OwnerRectTouchesWindow() const;
    virtual TdxBarItemControl* GetDropPlace(cls::TPoint P, bool& AOutside, bool& AVertical,
                                            bool& AFirstHalf) const;
    virtual bool IsSameMousePos(cls::TPoint P) const;
    virtual void DrawItemControl(TdxBarItemControl* AControl);
    virtual void RepaintSelection(TdxBarItemControl* AOldControl);
    virtual void SetDockingStyle(TdxBarDockingStyle Value);
    // Enters or leaves menu mode: the active window of the thread, with the
    // previous one remembered.
    virtual void SetActive(bool Value);
    // Keyboard selection.
    virtual void SelectItemControl(TdxBarItemControl* AControl);
    // Called after the handle is created and after a docking-style change.
    virtual void Refresh() {}
    virtual void SetMarkState(int AState) = 0;
    // Mouse selection.
    virtual void SetHotControl(TdxBarItemControl* AControl);
    // The one place that changes SelectedControl.
    virtual void SetSelectedControl(TdxBarItemControl* AControl);
    // The window's background operation: through the dock site when docked,
    // else the window's own background.
    virtual void FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush, gfx::TColor AColor);
    virtual void FillBackgroundInRegion(gfx::HDC DC, gfx::HRGN ARgn, gfx::HBRUSH ABrush, gfx::TColor AColor);
    virtual bool IsQuickCustomizingMenu() const;
    // The link of another list that ALink of this window stands for, through
    // which its use counts there too; nullptr when none.
    virtual TdxBarItemLink* GetSourceLink(const TdxBarItemLink* /*ALink*/) const { return nullptr; }
    virtual cls::TPoint GetBackgroundOrigin() const { return cls::TPoint{0, 0}; }
    virtual void ResetWorkBitmap();
    // The whole chain leaves menu mode.
    virtual void DeactivateAll();
    // Re-lays out and repaints all controls.
    virtual void RepaintBar() {}
    // The painter asks whether the window wants glyph cells filled behind
    // their images, and whether it draws item backgrounds itself.
    virtual bool WantsGlyphBackgrounds() const { return true; }
    virtual bool DrawsItemBackgrounds() const { return false; }
    // Toolbar: links cut off (the mark shows chevrons); menu: rarely used
    // links hidden (the menu shows its expand button).
    virtual bool HasHiddenLinks() const { return false; }
    // A toolbar of the form's main menu (sub items there draw no arrow).
    virtual bool IsMainMenuBar() const { return false; }
    virtual bool HasBackgroundBitmap() const { return false; }
    // --- The floating caption's pieces (drawn by the toolbar window) ---
    virtual bool HasCaptionCloseButton() const { return false; }
    virtual bool HasCaptionMark() const { return false; }
    // In window coordinates.
    virtual void GetCaptionMarkRect(gfx::RECT& R) const { R = gfx::RECT{}; }
    virtual void DrawCaptionCloseButton(gfx::HDC /*DC*/, const gfx::RECT& /*R*/) {}
    virtual void DrawCaptionMark(gfx::HDC /*DC*/) {}

    // --- Other operations ---
    // The control whose link rectangle holds the client point; nil while
    // customizing at run time.
    virtual TdxBarItemControl* GetItemControlAtPos(cls::TPoint P) const;
    TdxBarManager* GetBarManager() const;
    TdxBarItemControlPainterClass GetPainter() const;
    gfx::HBRUSH GetToolbarBrush() const;
    bool IsDestroying() const;
    bool IsMouseOverWindow();
    void RepaintWithFrame();
    cls::TPoint PointToParent(cls::TPoint P);
    static cls::TRect GetItemControlRect(const TdxBarItemControl* AControl);
    // The part of the border that touches the owner rectangle; empty when
    // the owner does not touch the window.
    void GetOwnerEdgeRect(bool AToScreen, cls::TRect& R) const;
    cls::TRect GetItemControlScreenRect(const TdxBarItemControl* AControl);
    // Set while an item control fills through the window's background.
    bool ItemControlDrawing() const { return FItemControlDrawing; }
    void SetItemControlDrawing(bool Value) { FItemControlDrawing = Value; }
    // The window is a menu window (a TdxBarSubMenuControl).
    virtual bool IsMenuWindow() const { return false; }
    // The window is a toolbar window (a TdxBarControl).
    virtual bool IsToolbarWindow() const { return false; }
    // How the controls are drawn: in a menu, a horizontal or a turned toolbar.
    TdxBarPaintType GetPaintType() const;
    // AControl is the control of one of the window's links (compares pointers
    // only, so it is safe with a control that may have gone).
    bool OwnsControl(const TdxBarItemControl* AControl) const;
    // A control that goes leaves the window's press tracking.
    void ControlDestroyed(const TdxBarItemControl* AControl);
    // The window a focus the bar window got goes to (bar windows never keep
    // it): the owner form when it shows, else the next top-level window.
    win::HWND GetFocusTarget() const;

protected:
    void CreateWnd() override;
    void CreateWindowHandle(const cls::TCreateParams& Params) override;
    void DestroyWindowHandle() override;
    void WndProc(cls::TMessage& Message) override;
    void Dispatch(cls::TMessage& Message) override;

    // Set-up after the window handle exists (subclasses).
    virtual void InitWindow() {}
    void SetMarkStateValue(int AState) { FMarkState = AState; }
    void SetBackgroundBrush(gfx::HBRUSH Value) { FBackgroundBrush = Value; }
    void SetTextHeight(int Value) { FTextHeight = Value; }
    void SetClosing(bool Value) { FClosing = Value; }
    void SetLastMousePos(cls::TPoint Value) { FLastMousePos = Value; }
    // While customizing, the manager's selected control is framed.
    void DrawCustomizingFrame(TdxBarItemControl* AControl);

    void WMKeyDown(cls::TMessage& Message);
    void WMMouseMove(cls::TMessage& Message);
    void WMMouseLeave(cls::TMessage& Message);
    void WMLButtonDown(cls::TMessage& Message);
    void WMLButtonUp(cls::TMessage& Message);
    void WMLButtonDblClk(cls::TMessage& Message);
    void WMRButtonDown(cls::TMessage& Message);
    void WMWindowPosChanged(cls::TMessage& Message);
    void WMSetFocus(cls::TMessage& Message);
    // A press or release on a control that hosts a window reaches that
    // window too, at the same point.
    void SendToHostedWindow(TdxBarItemControl* AControl, const cls::TMessage& Message);

private:
    // Keyboard navigation over the selectable controls.
    void SelectNext(bool AForward, bool AByTab);
    bool SelectByAccelerator(cls::TMessage& Message);
    void MoveToOtherToolbar(bool AForward);
    // The window in the active chain: the active window or one of its parents.
    bool IsInActiveChain() const;
    void ShowSelectedHint();

    cls::TBitmap* FWorkBitmap = nullptr;
    gfx::HBRUSH FBackgroundBrush = nullptr;
    TdxBarSubMenuControl* FChildMenu = nullptr;
    TdxBarItemControl* FPressedControl = nullptr;
    bool FLockMouse = false;
    TdxDockControl* FDockControl = nullptr;
    TdxBarDockingStyle FDockingStyle = dsNone;
    bool FLinkDragPending = false;
    cls::TPoint FDragStartPoint{};
    bool FIgnoreNextMouseUp = false;
    bool FDrawingOneControl = false;
    bool FIsActive = false;
    TdxBarItemLinks* FItemLinks = nullptr;
    int FMarkState = 0;
    bool FPressedControlHot = false;
    cls::TRect FOwnerRect{};
    TCustomdxBarControl* FOwnerBarControl = nullptr;
    TCustomdxBarControl* FParentBar = nullptr;
    TCustomdxBarControl* FPrevActiveBarControl = nullptr;
    TdxBarItemControl* FSelectedControl = nullptr;
    TdxBarShadow* FShadow = nullptr;
    int FTextHeight = 0;
    int FEditHeight = 0;
    int FTextHeightFifth = 4;
    int FMenuArrowWidth = 0;
    int FComboArrowWidth = 0;
    cls::TPoint FLastMousePos{-1, -1};
    bool FItemControlDrawing = false;
    bool FClosing = false;
};

// --- Menu mode ---

// Menus show their rarely used links too: set when menu mode begins (to the
// customizing state) and by a menu that expands, for the rest of that mode.
bool GetMenusExpanded();
void SetMenusExpanded(bool Value);

// --- Root windows of a chain ---

// The first window of AControl's chain: up the parent bar windows and, for
// a menu, the window of the sub item control that opened it.
TCustomdxBarControl* GetRootBarControl(TCustomdxBarControl* AControl);
// The toolbar window at the root of the chain, nullptr when the root is not one.
TCustomdxBarControl* GetRootToolbarControl(TCustomdxBarControl* AControl);
TCustomdxBarControl* GetItemControlRootBarControl(TdxBarItemControl* AControl);
TCustomdxBarControl* GetItemControlRootToolbar(TdxBarItemControl* AControl);
// A toolbar docked at the left or right, or a vertical floating toolbar.
bool IsVerticalBarControl(const TCustomdxBarControl* AControl);
// A vertical toolbar whose captions are turned.
bool IsRotatedBarControl(const TCustomdxBarControl* AControl);

} // namespace bars
