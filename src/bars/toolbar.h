// The toolbar window: the window of one bar, docked in a dock site (a child
// window of the site) or floating (a small tool window owned by the form,
// with a caption, a close button and a sizing frame).
//
// The window lays its bar's visible links out in rows: a single line for a
// docked bar (links that do not fit are cut off and the bar shows its mark),
// or wrapped lines for a floating or MultiLine bar, a line breaking before the
// last group of the line that would overflow. It knows its minimum, maximum
// and wrapped sizes for every docking style, draws its non-client frame
// through the painter (grip and border, or caption, close button and frame;
// a status bar's band and size grip), keeps its own hit-test code for the
// mouse handlers (a press on the grip or caption starts the bar drag, one on
// the close button runs a small capture loop, one on the mark toggles it) and
// lets the bar drag switch it between docked and floating by keeping two
// window handles while the drag runs.
//
// The handle lock (LockHandle) is the window's update lock: the bar, the bar
// drag and the dock sites raise it while they switch, recreate or re-place
// the window; inside it the window keeps what it has and its destruction does
// not hide the bar.
#pragma once

#include <optional>
#include <vector>

#include "bars/barcontrol.h"
#include "bars/item.h"
#include "bars/registry.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

class TdxBarQuickControl;

class TdxBarControl : public TCustomdxBarControl {
    TRESTLE_CLASS(TdxBarControl, TCustomdxBarControl)
public:
    TdxBarControl(TdxBarManager* AOwner, TdxBar* ABar);
    // A docked window leaves its dock site first.
    ~TdxBarControl() override;

    // The bar shown; nullptr once it is gone.
    TdxBar* Bar() const;

    // The width of the mark at the end of a docked bar.
    static constexpr int MarkSize = 11;
    // How often a hot mark of a floating bar checks whether the mouse left it.
    static constexpr unsigned MarkWatchInterval = 50;
    // An edit's link is sized by the mouse over this many pixels at its ends.
    static constexpr int EditSizingZone = 7;

    // --- The handle lock ---
    void LockHandle() { ++FHandleLock; }
    void UnlockHandle();
    bool HandleLocked() const { return FHandleLock > 0; }

    // --- Docking ---
    // Sets the docking style and the dock site together (nullptr for a
    // docked style: the main site of the style) and puts the window there:
    // a child of the site, or a popup owned by the form. In moving mode a
    // change between docked and floating only swaps the window's two handles.
    void ChangeDocking(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl);
    bool IsHorizontalDocked() const { return DockingStyle() == dsTop || DockingStyle() == dsBottom; }
    bool IsVerticalDocked() const { return DockingStyle() == dsLeft || DockingStyle() == dsRight; }
    // A floating bar always wraps; a docked one when its bar is MultiLine.
    bool IsMultiLine() const;
    bool IsMultiLineFor(TdxBarDockingStyle AStyle) const;

    // --- Sizes (client sizes unless said otherwise) ---
    // Least content for a style: the first link alone (a single line) or
    // the largest control (wrapping), the MDI buttons, and the mark on the
    // length axis when the window shows one.
    virtual cls::TSize GetMinSize(TdxBarDockingStyle AStyle);
    // All visible links in one line with their separators, the MDI buttons
    // and the mark; across, the largest control; never below the minimum.
    virtual cls::TSize GetMaxSize(TdxBarDockingStyle AStyle);
    // The size for a length limit (the width of a horizontal or floating
    // bar, the height of a vertical one).
    virtual void CalcSize(TdxBarDockingStyle AStyle, int ALimitSize, cls::TSize& ASize);
    // The window size (non-client parts included) the window takes for a style.
    cls::TSize GetSizeForDockingStyle(TdxBarDockingStyle AStyle);
    // The links' measurements are kept for the sizes asked for until the
    // visible links or the manager's button metrics or image lists change,
    // or this drops them: RepaintBar (the links or an item's look changed),
    // CalcMetrics (the font, the style, the metrics, RotateWhenVertical) and
    // a new docking style do.
    void MeasurementsChanged() { FMeasured.reset(); }
    // Some links did not fit: the mark shows them. Set by the dock site's
    // layout; cleared when the docking style changes.
    bool Truncated() const { return FLinksCutOff; }
    void SetTruncated(bool Value) { FLinksCutOff = Value; }
    // The least and the full length (GetMinSize, GetMaxSize along the site)
    // the dock site's last layout gave the window room for: when its links
    // change them, RepaintBar has the site lay its rows out again.
    void SetLaidOutLengths(int AMinLength, int AFullLength) {
        FLaidOutMinLength = AMinLength;
        FLaidOutFullLength = AFullLength;
    }
    // The window shows its mark (docked at its end, floating in its caption).
    virtual bool HasMark() const;

    // --- The bar drag ---
    // Moving mode: the window may keep two handles (docked and floating).
    void BeginMoving();
    // Destroys the unused handle and stores the window's place in its bar.
    void EndMoving();
    bool Moving() const { return FMoving; }
    // Docked: the style, site, row, column position; floating: the place and
    // client size.
    void StoreBarPosition();

    // --- Refreshing ---
    void RepaintBar() override;
    // The site moved the window or cut its links off: its client lays out
    // again and repaints, with the measurements it has.
    void RepaintLaidOut();
    void CalcMetrics() override;
    // SetWindowPos with SWP_FRAMECHANGED.
    void FrameChanged();
    // The window text and the caption (close button, mark) again.
    void CaptionChanged();
    void UpdateTransparency();
    void RefreshShadow();
    // The painter of the manager's style took over: metrics, frame, layout.
    void ApplyManagerStyle();

    // --- The frame ---
    gfx::TColor GetCaptionColor() const;
    gfx::TColor GetCaptionTextColor() const;
    // The caption of a floating bar, in window coordinates; empty when none.
    cls::TRect GetCaptionClientRect() const;
    // In window coordinates; empty when the bar shows no close button.
    cls::TRect GetCloseButtonRect() const;
    void DrawCloseButton(gfx::HDC DC);
    void DrawMark(gfx::HDC DC);
    // The painter's mark rectangle: client coordinates for a docked bar,
    // caption coordinates for a floating one.
    cls::TRect GetMarkRect() const;
    cls::TRect GetMarkWindowRect() const;
    cls::TRect GetMarkScreenRect() const;
    // 0 normal, 1 hot, 2 pressed.
    int CloseButtonState() const { return FCloseButtonState; }
    bool CaptionShown() const { return FCaptionShown; }
    // The open drop-down of the mark, nullptr when none.
    TdxBarQuickControl* QuickControl() const { return FQuickControl; }
    // The hit-test code the window kept for its mouse handlers.
    win::LRESULT KeptHitTest() const { return FHitTest; }

    // --- The main menu's MDI buttons ---
    virtual bool HasMDISystemMenu() const;
    virtual bool HasMDIButtons() const;
    virtual bool IsMDIButtonEnabled(int AKind) const;
    // The MDI child the buttons act on; nullptr without one.
    virtual win::HWND GetActiveMDIChildHandle() const;
    int MDIButtonWidth() const { return FMDIButtonWidth; }
    int MDIButtonHeight() const { return FMDIButtonHeight; }
    // The length of the MDI buttons along the bar (0 without them).
    int GetMDIButtonsLength() const;
    // AKind 0 minimize, 1 restore, 2 close; client coordinates, empty for a
    // button not shown.
    cls::TRect GetMDIButtonRect(int AKind);

    // --- Menu mode ---
    // A sub item of this bar has its menu open: hovering another sub item
    // opens that one.
    bool SubMenuMode() const { return FSubMenuMode; }
    void SetSubMenuMode(bool Value) { FSubMenuMode = Value; }
    // Enters menu mode from the keyboard (Alt, F10, an accelerator) with
    // AControl selected (the first selectable one when nullptr).
    void ActivateByKeyboard(TdxBarItemControl* AControl);
    cls::TCustomForm* GetOwnerForm() const;

    // --- Overrides of the bar window base ---
    gfx::HFONT GetFontHandle() const override;
    gfx::HBRUSH GetBarBrush() const override;
    TdxBarItemControl* GetItemControlAtPos(cls::TPoint P) const override;
    void DrawItemControl(TdxBarItemControl* AControl) override;
    void SetDockingStyle(TdxBarDockingStyle Value) override;
    void SetActive(bool Value) override;
    void SelectItemControl(TdxBarItemControl* AControl) override;
    void SetMarkState(int AState) override;
    void FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush, gfx::TColor AColor) override;
    cls::TPoint GetBackgroundOrigin() const override;
    void DeactivateAll() override;
    bool HasHiddenLinks() const override { return FLinksCutOff; }
    // Toolbars honour their items' Align.
    bool CanAlignControl(TdxBarItemControl* /*AControl*/) const override { return true; }
    bool IsMainMenuBar() const override;
    bool HasBackgroundBitmap() const override;
    bool IsToolbarWindow() const override { return true; }
    bool HasCaptionCloseButton() const override;
    bool HasCaptionMark() const override;
    void GetCaptionMarkRect(gfx::RECT& R) const override;
    void DrawCaptionCloseButton(gfx::HDC DC, const gfx::RECT& R) override;
    void DrawCaptionMark(gfx::HDC DC) override;

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void Paint() override;
    void Dispatch(cls::TMessage& Message) override;
    void InitWindow() override;

private:
    friend class TdxBarQuickControl;

    // --- Layout ---
    // A visible link as the layout measures it.
    struct TLineItem {
        TdxBarItemLink* Link = nullptr;
        TdxBarItemControl* Control = nullptr;
        int Length = 0;
        int Thickness = 0;
        bool BeginGroup = false;
        TdxBarItemAlign Align = iaLeft;
        int MinLength = 0;
    };
    struct TLayout {
        // The extent along the longest line and across all rows.
        int Length = 0;
        int Thickness = 0;
        // Where the last line ends along, where its row starts across and
        // how thick it is.
        int LastLineEnd = 0;
        int LastRowOffset = 0;
        int LastRowThickness = 0;
        bool CutOff = false;
    };
    // A group separator's place and whether its line stands upright.
    struct TSeparator {
        cls::TRect Rect{};
        bool UprightLine = false;
    };
    // The across band of the row a laid-out link lies in.
    struct TRowBand {
        TdxBarItemLink* Link = nullptr;
        int Start = 0;
        int End = 0;
    };
    // Lays the visible links out for a client of AClient in AStyle; with
    // AStore the link rectangles and the separators are kept.
    TLayout CalcLayout(TdxBarDockingStyle AStyle, cls::TSize AClient, bool AStore);
    // The visible links measured for a style (once while measuring).
    // Valid until the next measuring.
    const std::vector<TLineItem>& CollectItems(TdxBarDockingStyle AStyle);
    // The stored layout of the client area.
    void LayOut();
    // The first item of every line a wrapping bar breaks AItems into within
    // ALimit: before the link that overflows when it begins a group, else
    // before the last group start of the line; an aligned link ends its line.
    static std::vector<std::size_t> BreakLines(const std::vector<TLineItem>& AItems, int ALimit,
                                               int ASeparator);
    int GroupSeparatorSize() const;
    // The mark's room on the length axis for a style.
    int MarkExtra(TdxBarDockingStyle AStyle) const;
    // The smallest floating client size whose height does not pass AHeight.
    cls::TSize FitFloatingHeight(int AHeight);
    void PaintMDIButtons(gfx::HDC DC, gfx::HRGN ARegion);
    void EnsureHandle();

    // --- Handles ---
    void SwitchHandle(bool AFloating);
    void Reparent();
    win::HWND DesiredParentWindow() const;

    // --- Non-client area ---
    void WMNCCalcSize(cls::TMessage& Message);
    void WMNCHitTest(cls::TMessage& Message);
    void WMNCPaint(cls::TMessage& Message);
    void WMNCLButtonDown(cls::TMessage& Message);
    void WMLButtonDown(cls::TMessage& Message);
    void WMLButtonUp(cls::TMessage& Message);
    void WMLButtonDblClk(cls::TMessage& Message);
    void WMRButtonDown(cls::TMessage& Message);
    void WMMouseMove(cls::TMessage& Message);
    void WMMouseActivate(cls::TMessage& Message);
    void WMSetCursor(cls::TMessage& Message);
    void WMSizing(cls::TMessage& Message);
    void WMWindowPosChanging(cls::TMessage& Message);
    void WMWindowPosChanged(cls::TMessage& Message);
    void WMGetMinMaxInfo(cls::TMessage& Message);
    void WMKeyDown(cls::TMessage& Message);
    void WMDestroy(cls::TMessage& Message);
    void WMTimer(cls::TMessage& Message);
    void WMCaptureChanged(cls::TMessage& Message);
    void CMFontChanged(cls::TMessage& Message);
    void CloseButtonLoop();
    void SetCloseButtonState(int AState);
    void RepaintCloseButton();
    void ToggleDocking();
    int MDIButtonAt(cls::TPoint P);
    void SetMDIButtonState(int APressed, int AHot);
    // Edit width sizing.
    TdxBarItemControl* EditSizingControlAt(cls::TPoint P, bool& AFromRight) const;
    void DrawSizingFrame();
    void EndEditSizing(bool AApply);
    void StartMarkTimer();
    void StopMarkTimer();
    // Opens the quick-customization drop-down at the mark (state 2) or
    // closes it (states 0 and 1).
    void QuickCustomizationChanged(int AState);
    void ApplyBarFont();
    // The docked window's client origin in window coordinates.
    cls::TPoint ClientOriginInWindow() const;

    // The bar, watched: a window outliving its bar forgets it.
    lf::TcxObjectLink* FBarLink;
    int FCloseButtonState = 0;
    // The close button's own loop runs.
    bool FCloseButtonTracking = false;
    win::HWND FDockedHandle = nullptr;
    win::HWND FFloatingHandle = nullptr;
    bool FSizingEdit = false;
    bool FSizingFromRight = false;
    bool FCaptionShown = true;
    bool FSizeGripShown = false;
    win::LRESULT FHitTest = win::HTNOWHERE;
    int FHandleLock = 0;
    bool FSubMenuMode = false;
    int FMDIButtonWidth = 0;
    int FMDIButtonHeight = 0;
    win::UINT_PTR FMarkTimer = 0;
    bool FMoving = false;
    int FSizingWidth = 0;
    bool FLinksCutOff = false;
    int FLaidOutMinLength = -1;
    int FLaidOutFullLength = -1;
    struct TMeasured {
        TdxBarDockingStyle Style = dsNone;
        unsigned Generation = 0;
        unsigned ManagerGeneration = 0;
        std::vector<TLineItem> Items;
    };
    std::optional<TMeasured> FMeasured;
    TdxBarQuickControl* FQuickControl = nullptr;
    // A press on the mark closed the drop-down: that press does not open it again.
    bool FMarkPressed = false;
    // Edit sizing: the control, its fixed edge (screen) and the frame drawn.
    TdxBarItemControl* FSizingControl = nullptr;
    cls::TRect FSizingFrame{};
    bool FSizingFrameShown = false;
    // MDI buttons: the one held down and the one under the mouse (-1: none).
    int FMDIPressed = -1;
    int FMDIHot = -1;
    // Set while GetMarkRect asks the painter: the caption hook answers the
    // caption's first square then.
    mutable bool FMarkRectBusy = false;
    std::vector<TSeparator> FSeparators;
    std::vector<TRowBand> FRowBands;
    TLayout FLayout;
    // Set while the non-client area paints: backgrounds are in window coordinates.
    bool FNCPainting = false;
    win::HWND FSavedFocus = nullptr;
    bool FSwitching = false;
    cls::TPoint FLastMoveScreen{-1, -1};
};

// Raises a window's handle lock for a scope.
class TdxBarControlHandleLock {
public:
    explicit TdxBarControlHandleLock(TdxBarControl* AControl) : FControl(AControl) {
        if (FControl) FControl->LockHandle();
    }
    ~TdxBarControlHandleLock() {
        if (FControl && IsBarControlAlive(FControl)) FControl->UnlockHandle();
    }
    TdxBarControlHandleLock(const TdxBarControlHandleLock&) = delete;
    TdxBarControlHandleLock& operator=(const TdxBarControlHandleLock&) = delete;

private:
    TdxBarControl* FControl;
};

} // namespace bars
