// Toolbars (TdxBar) and the manager's collection of them (TdxBars).
//
// A bar holds its links, where it is docked (or where it floats and how large
// its floating window is) and its appearance and permission flags. It owns a
// toolbar window (TdxBarControl) only while it is visible. The collection owns
// the four main dock sites along the edges of the manager's form and runs the
// bar drag: the nested loop in which the user moves a toolbar between dock
// sites and floating.
#pragma once

#include <string>

#include "bars/dockcontrol.h"
#include "bars/types.h"
#include "classes/collections.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "win/defs.h"

namespace bars {

class TdxBar : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBar, cls::TCollectionItem)
public:
    explicit TdxBar(cls::TCollection* ACollection);
    ~TdxBar() override;
    // Fires OnBarAdd (unless the manager is loading).
    void AfterConstruction() override;
    // Copies another bar's settings and links; Visible last.
    void Assign(cls::TPersistent* Source) override;
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    TdxBars* Bars() const;
    TdxBarManager* BarManager() const;
    // The bar's window while it is visible, else nullptr.
    TdxBarControl* Control() const;
    // DockControl when set, else the main dock site of DockingStyle (nullptr when floating).
    TdxDockControl* GetRealDockControl() const;

    // --- Published properties (every setter ignores an unchanged value) ---
    bool AllowClose() const { return FAllowClose; }
    void SetAllowClose(bool Value);
    bool AllowCustomizing() const { return FAllowCustomizing; }
    void SetAllowCustomizing(bool Value) { FAllowCustomizing = Value; }
    bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
    void SetAllowQuickCustomizing(bool Value);
    bool AllowReset() const { return FAllowReset; }
    void SetAllowReset(bool Value) { FAllowReset = Value; }
    // Opacity of the floating window.
    win::BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(win::BYTE Value);
    cls::TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
    void SetBackgroundBitmap(cls::TBitmap* Value);
    TdxBarBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TdxBarBorderStyle Value);
    const std::string& Caption() const { return FCaption; }
    // Refused when another bar of the manager has this caption; an empty Name
    // is derived from the caption.
    void SetCaption(const std::string& Value);
    cls::TColor Color() const { return FColor; }
    void SetColor(cls::TColor Value);
    TdxDockControl* DockControl() const { return FDockControl; }
    // Only nullptr or a dock site of the same manager.
    void SetDockControl(TdxDockControl* Value);
    // Where a floating bar was docked last (nullptr for a main dock site).
    TdxDockControl* DockedDockControl() const { return FDockedDockControl; }
    // Only nullptr or a dock site of the same manager.
    void SetDockedDockControl(TdxDockControl* Value);
    // The style of DockedDockControl when set.
    TdxBarDockingStyle DockedDockingStyle() const;
    void SetDockedDockingStyle(TdxBarDockingStyle Value);
    // The bar's place in its dock site (client coordinates); never negative.
    int DockedLeft() const { return FDockedLeft; }
    void SetDockedLeft(int Value);
    int DockedTop() const { return FDockedTop; }
    void SetDockedTop(int Value);
    // The style of DockControl when set; dsNone: floating.
    TdxBarDockingStyle DockingStyle() const;
    void SetDockingStyle(TdxBarDockingStyle Value);
    // The floating window's screen position and client size.
    int FloatLeft() const { return FFloatLeft; }
    void SetFloatLeft(int Value);
    int FloatTop() const { return FFloatTop; }
    void SetFloatTop(int Value);
    int FloatClientWidth() const { return FFloatClientWidth; }
    void SetFloatClientWidth(int Value);
    int FloatClientHeight() const { return FFloatClientHeight; }
    void SetFloatClientHeight(int Value);
    cls::TFont* Font() const { return FFont; }
    // Assigns into the bar's font (which switches UseOwnFont on).
    void SetFont(cls::TFont* Value);
    bool Hidden() const { return FHidden; }
    void SetHidden(bool Value);
    bool IsMainMenu() const { return FIsMainMenu; }
    // On: the manager's previous main menu bar gives up the role, WholeRow and
    // MultiLine go on; off: both go off.
    void SetIsMainMenu(bool Value);
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    void SetItemLinks(TdxBarItemLinks* Value);
    // Cannot be switched off on the main menu bar.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TdxBarDockingStyles NotDocking() const { return FNotDocking; }
    void SetNotDocking(TdxBarDockingStyles Value);
    bool OneOnRow() const { return FOneOnRow; }
    void SetOneOnRow(bool Value) { FOneOnRow = Value; }
    bool RotateWhenVertical() const { return FRotateWhenVertical; }
    void SetRotateWhenVertical(bool Value);
    // The dock row the bar asks for; never negative.
    int Row() const { return FRow; }
    void SetRow(int Value);
    bool ShowMark() const { return FShowMark; }
    void SetShowMark(bool Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool UseOwnFont() const { return FUseOwnFont; }
    // Off: the manager's font is taken again.
    void SetUseOwnFont(bool Value);
    bool UseRecentItems() const { return FUseRecentItems; }
    void SetUseRecentItems(bool Value);
    bool UseRestSpace() const { return FUseRestSpace; }
    void SetUseRestSpace(bool Value);
    bool Visible() const { return FVisible; }
    // Showing is refused while the manager is being destroyed; while it loads
    // only the loaded value changes.
    void SetVisible(bool Value);
    bool WholeRow() const { return FWholeRow; }
    void SetWholeRow(bool Value);

    // --- Unpublished state ---
    // Set on the bars of the form's stored state when loading ends.
    bool Predefined() const { return FPredefined; }
    void SetPredefined(bool Value) { FPredefined = Value; }
    // The window does not repaint while set.
    bool LockUpdate() const { return FLockUpdate; }
    void SetLockUpdate(bool Value);
    // Set by the manager when it hid the bar because it became empty.
    bool HiddenWhenEmpty() const { return FHiddenWhenEmpty; }
    void SetHiddenWhenEmpty(bool Value) { FHiddenWhenEmpty = Value; }
    // The bar's own font handle while UseOwnFont, else nullptr.
    gfx::HFONT FontHandle() const { return FFontHandle; }

    // --- Tests and metrics ---
    // AllowClose, not the main menu, and no window or one that shows a caption.
    bool CanClose() const;
    // False only when the bar's or the manager's NotDocking holds all five styles.
    bool CanDock() const;
    // Reset needs the design-time state of the form, which forms do not keep
    // yet: until they do, no bar can be reset.
    bool CanReset() const;
    // Runs the first enabled item of the links with that shortcut.
    bool IsShortCut(cls::TShortCut AShortCut);
    // bbsNone, docked at the bottom and WholeRow: drawn as a status bar.
    bool IsStatusBar() const;
    // A status bar with SizeGrip whose form is not maximised and whose window
    // touches the bottom of every parent's client area up to its form.
    bool IsSizeGripVisible() const;
    // The window's extent outside its client area for a docking style.
    int GetNonClientWidth(TdxBarDockingStyle AStyle) const;
    int GetNonClientHeight(TdxBarDockingStyle AStyle) const;

    // Puts the links back to the form's stored state; does nothing without it.
    void Reset();
    // Asks first (OK / Cancel).
    void ResetWithConfirmation();

    // --- Manager side ---
    // The loaded DockControl, DockingStyle and Visible, in that order.
    void ApplyLoadedState();
    // The manager's font changed: a bar without its own font takes it.
    void ManagerFontChanged();

private:
    friend class TdxBars;

    void FontChanged(cls::TObject* Sender);
    void BackgroundBitmapChanged(cls::TObject* Sender);
    void ItemLinksChanged(cls::TObject* Sender);
    // Assigns AFont to the bar's font without switching UseOwnFont on.
    void PushFont(cls::TFont* AFont);
    void Hide();
    void Show();
    void ShowFloating(TdxBarControl* AWindow);
    void ShowDocked(TdxBarControl* AWindow, TdxDockControl* ADockControl);
    // The window re-lays out its controls.
    void RelayWindow();
    // The window recalculates its metrics and frame, then re-lays out.
    void RepaintWindow();
    void UpdateWindowCaption();
    // The drag moved the window to another style or site.
    void DockingSwitched(TdxBarDockingStyle AStyle, TdxDockControl* ARealDockControl);
    void DesignerModified();

    bool FAllowClose = true;
    bool FAllowCustomizing = true;
    bool FAllowQuickCustomizing = true;
    bool FAllowReset = true;
    win::BYTE FAlphaBlendValue = 255;
    cls::TBitmap* FBackgroundBitmap = nullptr;
    TdxBarBorderStyle FBorderStyle = bbsSingle;
    std::string FCaption;
    cls::TColor FColor = cls::clDefault;
    bool FDockingUpdating = false;
    TdxDockControl* FDockControl = nullptr;
    TdxDockControl* FDockedDockControl = nullptr;
    TdxBarDockingStyle FDockedDockingStyle = dsTop;
    int FDockedLeft = 0;
    int FDockedTop = 0;
    TdxBarDockingStyle FDockingStyle = dsNone;
    gfx::HFONT FFontHandle = nullptr;
    int FFloatLeft = 0;
    int FFloatTop = 0;
    int FFloatClientWidth = 0;
    int FFloatClientHeight = 0;
    cls::TFont* FFont = nullptr;
    bool FHidden = false;
    bool FFontPushing = false;
    bool FIsMainMenu = false;
    bool FPredefined = false;
    TdxBarItemLinks* FItemLinks = nullptr;
    TdxDockControl* FLoadedDockControl = nullptr;
    TdxBarDockingStyle FLoadedDockingStyle = dsNone;
    bool FLoadedVisible = false;
    bool FLockUpdate = false;
    std::string FName;
    TdxBarDockingStyles FNotDocking;
    bool FMultiLine = false;
    bool FOneOnRow = false;
    bool FRotateWhenVertical = true;
    int FRow = 0;
    bool FShowMark = true;
    bool FSizeGrip = true;
    bool FUseOwnFont = false;
    bool FUseRecentItems = true;
    bool FUseRestSpace = false;
    bool FVisible = false;
    bool FWholeRow = false;
    bool FHiddenWhenEmpty = false;
};

class TdxBars : public cls::TCollection {
    TRESTLE_CLASS(TdxBars, cls::TCollection)
public:
    // Makes the four main dock sites, owned by the collection.
    explicit TdxBars(TdxBarManager* ABarManager);
    // Ends a running drag, frees the main dock sites, then the bars.
    ~TdxBars() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBar* Add() { return static_cast<TdxBar*>(cls::TCollection::Add()); }
    TdxBar* Items(int Index) const { return static_cast<TdxBar*>(cls::TCollection::Items(Index)); }
    TdxBar* operator[](int Index) const { return Items(Index); }
    // The main dock site of a style; nullptr for dsNone or after it went.
    TdxDockControl* DockControls(TdxBarDockingStyle AStyle) const;
    // ABase followed by 1, 2, 3 ... until no bar has that name (case-sensitive).
    std::string GetUniqueBarName(const std::string& ABase) const;
    // The band around a dock site in which a dragged bar docks.
    int DockZoneSize() const { return FDockZoneSize; }
    // Set while the manager applies the bars of a loaded form.
    bool LoadingBars() const { return FLoadingBars; }
    void SetLoadingBars(bool Value) { FLoadingBars = Value; }

    // --- The bar drag ---
    // A bar drag loop runs.
    bool Dragging() const { return FDragging; }
    // The window being dragged; the window sets itself when it enters moving
    // mode and clears itself when it leaves.
    TdxBarControl* MovingBarControl() const { return FMovingBarControl; }
    void SetMovingBarControl(TdxBarControl* Value) { FMovingBarControl = Value; }
    // Added to the cursor to give the drag's reference point.
    cls::TPoint DragOffset() const { return FDragOffset; }
    // Where the cursor held the docked window at drag start, from its top-left.
    cls::TPoint DockGrabOffset() const { return FDockGrabOffset; }
    // The cursor's place in ABarControl when its window has the size of
    // AStyle: the place it held at drag start, kept in proportion along the
    // bar (x of a horizontal or floating window, y of a vertical one) and
    // across it. (0, 0) outside a drag or for another window.
    cls::TPoint GetGrabOffset(TdxBarControl* ABarControl, TdxBarDockingStyle AStyle) const;

    // The drag loop: the user drags ABarControl (pressed on its grip or
    // caption) until the button goes up, Escape (the bar goes back to where
    // it was), a WM_QUIT (posted again), or the loss of the capture (the form
    // closing). The window and its bar may be gone when it returns.
    void DragBar(TdxBarControl* ABarControl);
    // One step of the drag: the window goes to the dock site at AScreenRef,
    // or floats there.
    void MoveBar(TdxBarControl* ABarControl, cls::TPoint AScreenRef);
    // The docking style and dock site under P (dsNone, nullptr: floating).
    TdxBarDockingStyle GetDockingStyleAtPos(TdxBar* ABar, cls::TPoint P, TdxDockControl*& ADockControl);
    // Into ADockControl, or the main site of AStyle when nullptr.
    void InsertBarIntoDock(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl, cls::TPoint P,
                           TdxBarControl* ABarControl);
    void RemoveBarFromDock(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl,
                           TdxBarControl* ABarControl);

protected:
    cls::TPersistent* GetOwner() override;

private:
    friend class TdxBarManager;
    // A main dock site is going: its slot empties.
    void DockControlRemoved(TdxDockControl* ADockControl);
    // Where the dragged window was when the drag began.
    struct TDragStart {
        TdxBarDockingStyle Style = dsNone;
        TdxDockControl* DockControl = nullptr;
        int Row = 0;
        bool OneOnRow = false;
        cls::TPoint DockedPos{};
        cls::TRect WindowRect{};
    };
    void BeginDrag(TdxBarControl* ABarControl, const cls::TPoint& ACursor);
    void RunDragLoop(TdxBarControl* ABarControl, bool& AEscaped);
    // ABarControl: nullptr when the window went.
    void EndDrag(TdxBarControl* ABarControl, bool ARestore);
    static void DockingTimerProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD);
    // The cursor rested in a dock zone: the move runs again and may dock.
    void DockingDelayExpired(TdxBarControl* ABarControl, cls::TPoint AScreenRef);
    // The docking-delay timer of this manager's drag stops and is forgotten.
    void ForgetDockingTimer();
    // Puts the window back to where it was when the drag began.
    void RestoreDragStart(TdxBarControl* ABarControl);
    void HideAndUndock(TdxBarControl* ABarControl);
    // Switches the window to AStyle in ADockControl (or floating at P).
    void SwitchBar(TdxBarControl* ABarControl, TdxBarDockingStyle AStyle, TdxDockControl* ADockControl,
                   cls::TPoint P);
    void PlaceFloating(TdxBarControl* ABarControl, cls::TPoint P, bool ASize);
    TdxDockControl* RealDockControl(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl) const;

    TdxDockControl* FDockControls[5] = {};
    bool FDelayExpired = false;
    int FDockZoneSize = 23;
    TdxBarManager* FBarManager;
    bool FLoadingBars = false;
    bool FDragging = false;
    TdxBarControl* FMovingBarControl = nullptr;
    TdxBarDockingStyle FDragStartStyle = dsNone;
    cls::TPoint FDragOffset{};
    cls::TPoint FDockGrabOffset{};
    // The grab point and the window's size for its style when the drag began.
    cls::TPoint FGrabPoint{};
    cls::TSize FGrabSize{};
    TdxBarControl* FGrabWindow = nullptr;
    TDragStart FDragStart;
};

} // namespace bars
