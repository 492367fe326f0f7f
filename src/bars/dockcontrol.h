// Dock sites: the windows along which toolbars sit when they are docked.
//
// The bars collection makes four main sites, one per docking side, aligned to
// the edges of the manager's form; a form designer places further sites
// (TdxBarDockControl) on any form or panel. A site keeps its bar windows in
// rows of columns (one bar window per column), decides where a dropped bar
// lands, lays the windows out along each row (squeezing, wrapping or
// stretching them) and takes the thickness of its rows.
//
// Along means the dock's long axis (x for dsTop and dsBottom, y for dsLeft and
// dsRight), across the other one. A near-edge dock is dsLeft or dsTop, a
// far-edge dock dsRight or dsBottom. Row 0 lies at the top (left) of the
// client area, later rows follow downward (rightward); while a bar drag runs a
// far-edge dock stacks its rows from its far side.
#pragma once

#include <memory>
#include <vector>

#include "bars/types.h"
#include "classes/controls.h"
#include "classes/graphics.h"

namespace cls {
class TCustomForm;
}

namespace bars {

class TdxDockRow;

// One bar window's place in a row.
class TdxDockCol {
public:
    TdxDockCol(TdxDockRow* ARow, TdxBarControl* ABarControl) : FBarControl(ABarControl), FRow(ARow) {}
    TdxDockCol(const TdxDockCol&) = delete;
    TdxDockCol& operator=(const TdxDockCol&) = delete;

    TdxBarControl* BarControl() const { return FBarControl; }
    TdxDockRow* Row() const { return FRow; }
    // The window's position in the site's client area as last stored.
    cls::TPoint Pos() const { return FPos; }
    void SetPos(cls::TPoint Value) { FPos = Value; }
    // Takes the window's Left and Top.
    void UpdatePos();

private:
    TdxBarControl* FBarControl;
    TdxDockRow* FRow;
    cls::TPoint FPos{};
};

// A row of columns, ordered along the dock.
class TdxDockRow {
public:
    explicit TdxDockRow(TdxDockControl* ADockControl) : FDockControl(ADockControl) {}
    // Frees the columns, last first.
    ~TdxDockRow();
    TdxDockRow(const TdxDockRow&) = delete;
    TdxDockRow& operator=(const TdxDockRow&) = delete;

    TdxDockControl* DockControl() const { return FDockControl; }
    int GetColCount() const { return static_cast<int>(FCols.size()); }
    // nullptr out of range.
    TdxDockCol* GetCol(int Index) const;
    int IndexOf(const TdxDockCol* ACol) const;
    int IndexOf(const TdxBarControl* ABarControl) const;
    // A new column at Index (clamped to the columns).
    TdxDockCol* InsertCol(int Index, TdxBarControl* ABarControl);
    void DeleteCol(TdxDockCol* ACol);

private:
    TdxDockControl* FDockControl;
    std::vector<std::unique_ptr<TdxDockCol>> FCols;
};

class TdxDockControl : public cls::TCustomControl {
    TRESTLE_CLASS(TdxDockControl, cls::TCustomControl)
public:
    // A site without manager, aligned to nothing (it docks like a dsTop site).
    explicit TdxDockControl(cls::TComponent* AOwner);
    // A main site of ABarManager's bars: aligned to the style's edge of the
    // manager's form and parented to it.
    TdxDockControl(cls::TComponent* AOwner, TdxBarDockingStyle AStyle, TdxBarManager* ABarManager);
    // Unregisters (the manager hides the bars docked here), then frees the rows.
    ~TdxDockControl() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    // Unregisters from the old manager, registers with the new one; the
    // site then takes the new manager's look.
    void SetBarManager(TdxBarManager* Value);
    bool AllowDocking() const { return FAllowDocking; }
    void SetAllowDocking(bool Value) { FAllowDocking = Value; }
    // The site's own background picture, tiled in its client coordinates.
    cls::TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
    void SetBackgroundBitmap(cls::TBitmap* Value);
    // The painter's picture of the background: sized and filled by the
    // painter while empty, emptied whenever the look or the size changes.
    cls::TBitmap* BackgroundCache() const { return FBackgroundCache; }
    // The client rectangle, without making a window for it.
    cls::TRect SiteClientRect();
    // From Align: alLeft dsLeft, alRight dsRight, alBottom dsBottom, else dsTop.
    TdxBarDockingStyle GetDockingStyle() const;
    bool IsHorizontal() const;
    // Made for a docking style by the bars collection.
    bool IsMainDock() const { return FMainStyle != dsNone; }
    // The site is on its way out: bar windows no longer go into it.
    bool IsDestroying() const { return FDestroying || ComponentState().Contains(cls::csDestroying); }

    // --- Rows and columns ---
    int GetRowCount() const { return static_cast<int>(FRows.size()); }
    // nullptr out of range.
    TdxDockRow* GetRow(int Index) const;
    int IndexOfRow(const TdxDockRow* ARow) const;
    // The column of a bar window, nullptr when it is not docked here.
    TdxDockCol* FindCol(const TdxBarControl* ABarControl) const;
    // Inserts a bar window at a screen point. Inside the window's handle lock
    // the bar's Row and OneOnRow choose the row; otherwise (a live drag) the
    // point does. Without AUpdate only the column is recorded.
    void InsertBar(TdxBarControl* ABarControl, cls::TPoint AScreenPoint, bool AUpdate = true);
    // Removes the column (of the window when ACol is nil); a row left empty goes.
    void RemoveBar(TdxBarControl* ABarControl, TdxDockCol* ACol = nullptr, bool AUpdate = true);
    // Removes and inserts again at the new point.
    void MoveBar(TdxBarControl* ABarControl, cls::TPoint AScreenPoint);
    // Every column takes its window's position.
    void UpdateColsPos();
    // Frees the rows without columns (rows made for stored row numbers that
    // no bar took).
    void RemoveEmptyRows();
    // The docking zone in screen coordinates: the site's bounds inflated by
    // the bars' DockZoneSize across, and along too for a horizontal dock.
    void GetZoneRect(cls::TRect& R);
    // Empty for a row index outside the rows; client coordinates.
    void GetRowRect(int ARow, cls::TRect& R);
    // Moves the screen point P across onto the row's reference line (with
    // AOneOnRow onto the strip that keeps a bar alone before the row).
    void GetRowReferencePoint(int ARow, bool AOneOnRow, cls::TPoint& P);
    // The band [A, B) across, in client coordinates, of part APart (0, 1, 2)
    // of row ARow (-1 to the row count).
    void GetRowBand(int ARow, int APart, int& A, int& B);
    // The row a screen point falls into; ANewRow when a new row opens there.
    int GetRowAtPos(cls::TPoint P, bool& ANewRow);
    // The column a screen point falls before in a row.
    int GetColIndexAtPos(int ARow, cls::TPoint P);
    // Lays the bars out and fits the site to them.
    void UpdateDock();
    // The rows are being laid out.
    bool LayingOut() const { return FLayingOut; }
    // The sunken border (or its absence) takes effect; the bars re-lay.
    void FrameChanged();
    // The site's thickness becomes the rows' (plus a sunken border).
    void FitToContent();

    // --- Virtual operations, in the order of the design ---
    // The manager's look changed.
    virtual void ManagerStyleChanged();
    virtual bool CanDocking(TdxBar* ABar);
    // The parent's colour without manager or with the manager's
    // AutoDockColor, else the manager's DockColor.
    virtual void UpdateColor();
    // The sum of the rows' thicknesses.
    virtual int GetRowsSize();
    virtual bool GetSunkenBorder() const;
    virtual cls::TCustomForm* GetOwnerForm() const;
    // Fills ADest of DC with the background of ASource, the same area in the
    // site's client coordinates.
    virtual void DrawBackground(gfx::HDC DC, const cls::TRect& ADest, const cls::TRect& ASource,
                                cls::TColor AColor);
    virtual bool HasOwnBackground() const;
    // The background is a picture (own bitmap, the manager's bar bitmap) or
    // drawn by the painter: docked bars show it and repaint with the site.
    virtual bool IsBackgroundDrawn() const;
    virtual void RepaintBars();
    virtual void ClearBackgroundCache();

    // The main top site updates the actions of the manager's visible bars.
    void InitiateAction() override;

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void AlignControls(cls::TControl* AControl, cls::TRect& Rect) override;
    void Dispatch(cls::TMessage& Message) override;
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;
    bool IsDesigning() const;
    // The bar windows of every row, in order.
    std::vector<TdxBarControl*> DockedWindows() const;

private:
    struct TColLayout;
    void LayoutBars();
    void LayoutRow(int ARowIndex, int ALength);
    bool IsLayoutPossible() const;
    bool IsLoadingOrRecreating() const;
    // The largest thickness across of the row's bar windows.
    int RowThickness(int ARow) const;
    // Screen and client coordinates, without making a window.
    cls::TPoint SiteScreenToClient(cls::TPoint P);
    cls::TPoint SiteClientToScreen(cls::TPoint P);
    // The across and along coordinates of a client point.
    int Across(cls::TPoint P) const { return IsHorizontal() ? P.y : P.x; }
    int Along(cls::TPoint P) const { return IsHorizontal() ? P.x : P.y; }
    int ClientAcross();
    void CloseActiveChainOnResize();
    // Invalidates the docked windows over the parts of a drawn background
    // that changed since the client was AOldClient.
    void RepaintBarsOverChangedBackground(const cls::TRect& AOldClient);
    void BackgroundBitmapChanged(cls::TObject* Sender);

    void WMDestroy(cls::TMessage& Message);
    void WMCreate(cls::TMessage& Message);
    void WMEraseBkgnd(cls::TMessage& Message);
    void WMMouseActivate(cls::TMessage& Message);
    void WMNCCalcSize(cls::TMessage& Message);
    void WMNCPaint(cls::TMessage& Message);
    void WMSize(cls::TMessage& Message);
    void WMWindowPosChanged(cls::TMessage& Message);

    bool FAllowDocking = true;
    cls::TBitmap* FBackgroundBitmap;
    cls::TBitmap* FBackgroundCache;
    TdxBarManager* FBarManager = nullptr;
    TdxBarDockingStyle FMainStyle = dsNone;
    std::vector<std::unique_ptr<TdxDockRow>> FRows;
    bool FDestroying = false;
    bool FLayingOut = false;
    // The client rectangle the docked windows last painted the background for.
    cls::TRect FBackgroundClient{};
};

// A dock site placed on a form or panel by a form designer.
class TdxBarDockControl : public TdxDockControl {
    TRESTLE_CLASS(TdxBarDockControl, TdxDockControl)
public:
    // Aligned to the top of its parent.
    explicit TdxBarDockControl(cls::TComponent* AOwner);

    // Every docked bar window takes the docking style of the new alignment.
    void SetAlign(cls::TAlign Value);
    // Both switch UseOwnColor on (unless loading).
    void SetColor(cls::TColor Value);
    void SetParentColor(bool Value);
    bool AllowZeroSizeInDesignTime() const { return FAllowZeroSizeInDesignTime; }
    void SetAllowZeroSizeInDesignTime(bool Value);
    // Setting it switches UseOwnSunkenBorder on.
    bool SunkenBorder() const { return GetSunkenBorder(); }
    void SetSunkenBorder(bool Value);
    bool UseOwnColor() const { return FUseOwnColor; }
    // Off: the manager's dock colour again.
    void SetUseOwnColor(bool Value);
    bool UseOwnSunkenBorder() const { return FUseOwnSunkenBorder; }
    // On: the current effective value becomes the own one.
    void SetUseOwnSunkenBorder(bool Value);

    // The thickness of an empty site: 3 in design mode (unless
    // AllowZeroSizeInDesignTime), else 0.
    int GetDesignMinSize() const;
    // csLoading, or the bars collection is loading its bars.
    bool IsLoading() const;

    void ManagerStyleChanged() override;
    bool CanDocking(TdxBar* ABar) override;
    void UpdateColor() override;
    int GetRowsSize() override;
    bool GetSunkenBorder() const override;
    cls::TCustomForm* GetOwnerForm() const override;

protected:
    void CreateParams(cls::TCreateParams& Params) override;
    void Dispatch(cls::TMessage& Message) override;
    void Paint() override;

private:
    void ApplyDesignMinSize();

    bool FAllowZeroSizeInDesignTime = false;
    bool FSunkenBorder = false;
    bool FUseOwnColor = false;
    bool FUseOwnSunkenBorder = false;
};

} // namespace bars
