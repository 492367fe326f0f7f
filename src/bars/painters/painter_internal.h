// Small helpers the style painters share: rectangle arithmetic, drawing
// objects that live for one call, a saved clip region, and the bar window's
// background as the painters reach it. Not part of the library's interface.
#pragma once

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/subitem.h"
#include "bars/wincontrols.h"
#include "classes/graphics.h"
#include "gfx/gdi.h"
#include "lookandfeel/drawing.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

namespace bars::detail {

inline int Width(const gfx::RECT& R) {
    return R.right - R.left;
}
inline int Height(const gfx::RECT& R) {
    return R.bottom - R.top;
}
inline bool IsEmpty(const gfx::RECT& R) {
    return R.right <= R.left || R.bottom <= R.top;
}
inline gfx::RECT Deflated(gfx::RECT R, int DX, int DY) {
    gfx::InflateRect(&R, -DX, -DY);
    return R;
}

// A solid brush of a colour (system colours resolved) for one call.
class TempBrush {
public:
    explicit TempBrush(gfx::TColor AColor) : FHandle(gfx::CreateSolidBrush(gfx::ColorToRGB(AColor))) {}
    ~TempBrush() { gfx::DeleteObject(FHandle); }
    TempBrush(const TempBrush&) = delete;
    TempBrush& operator=(const TempBrush&) = delete;
    gfx::HBRUSH Handle() const { return FHandle; }

private:
    gfx::HBRUSH FHandle;
};

// A one-pixel pen, and with AFill a solid brush, of one colour selected into
// a DC for one call.
class TempPenAndBrush {
public:
    TempPenAndBrush(gfx::HDC DC, gfx::TColor AColor, bool AFill = true) : FDC(DC) {
        const gfx::COLORREF C = gfx::ColorToRGB(AColor);
        FPen = gfx::CreatePen(gfx::PS_SOLID, 1, C);
        FOldPen = gfx::SelectObject(DC, FPen);
        if (AFill) {
            FBrush = gfx::CreateSolidBrush(C);
            FOldBrush = gfx::SelectObject(DC, FBrush);
        }
    }
    ~TempPenAndBrush() {
        if (FBrush) {
            gfx::SelectObject(FDC, FOldBrush);
            gfx::DeleteObject(FBrush);
        }
        gfx::SelectObject(FDC, FOldPen);
        gfx::DeleteObject(FPen);
    }
    TempPenAndBrush(const TempPenAndBrush&) = delete;
    TempPenAndBrush& operator=(const TempPenAndBrush&) = delete;

private:
    gfx::HDC FDC;
    gfx::HPEN FPen = nullptr;
    gfx::HBRUSH FBrush = nullptr;
    gfx::HGDIOBJ FOldPen = nullptr;
    gfx::HGDIOBJ FOldBrush = nullptr;
};

// The DC's clip region, put back on destruction (or by Restore, which keeps
// it saved for a later change).
class SavedClip {
public:
    explicit SavedClip(gfx::HDC DC) : FDC(DC) { SaveClipRegion(DC, FRgn, FHadClip); }
    ~SavedClip() { RestoreClipRegion(FDC, FRgn, FHadClip); }
    SavedClip(const SavedClip&) = delete;
    SavedClip& operator=(const SavedClip&) = delete;
    void Restore() {
        RestoreClipRegion(FDC, FRgn, FHadClip);
        SaveClipRegion(FDC, FRgn, FHadClip);
    }

private:
    gfx::HDC FDC;
    gfx::HRGN FRgn = nullptr;
    bool FHadClip = false;
};

inline void FillRectWith(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush) {
    if (!IsEmpty(R)) gfx::FillRect(DC, &R, ABrush);
}
inline void FrameRectWith(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush) {
    if (!IsEmpty(R)) gfx::FrameRect(DC, &R, ABrush);
}
inline void FillSys(gfx::HDC DC, const gfx::RECT& R, int AIndex) {
    FillRectWith(DC, R, gfx::GetSysColorBrush(AIndex));
}
inline void FillColor(gfx::HDC DC, const gfx::RECT& R, gfx::TColor AColor) {
    if (!IsEmpty(R)) lf::FillRectByColor(DC, R, AColor);
}

// A painter keeps no state: operations that are not handed a window take
// what they need of a manager from the first listed one.
inline const TdxBarManager* FirstManager() {
    const TdxBarManagerList* List = dxBarManagerList();
    return List && List->Count() > 0 ? List->GetItem(0) : nullptr;
}
inline const TdxBarManager* ManagerOf(const TCustomdxBarControl* ABarControl) {
    const TdxBarManager* Manager = ABarControl ? ABarControl->GetBarManager() : nullptr;
    return Manager ? Manager : FirstManager();
}

inline TCustomdxBarControl* BarOf(const TdxBarItemControl* AControl) {
    return AControl ? AControl->Parent() : nullptr;
}

// The bar window's background brush: the one it caches, else its bar brush.
inline gfx::HBRUSH WindowBrush(TCustomdxBarControl* ABarControl) {
    if (!ABarControl) return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    return ABarControl->BackgroundBrush() ? ABarControl->BackgroundBrush() : ABarControl->GetBarBrush();
}

// Fills R through the bar window's background operation, handing ABrush on
// (the window's background brush when none is given).
inline void FillThroughWindow(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                              gfx::HBRUSH ABrush = nullptr) {
    if (IsEmpty(R)) return;
    const gfx::HBRUSH Brush = ABrush ? ABrush : WindowBrush(ABarControl);
    if (ABarControl)
        ABarControl->FillBackground(DC, R, Brush, ABarControl->Color());
    else
        gfx::FillRect(DC, &R, Brush);
}

// --- The window's brush operations (each asks the window's painter) ---

inline gfx::HBRUSH HotBrushOf(TCustomdxBarControl* ABarControl, TdxBarItemControlPainterClass APainter) {
    return ABarControl ? ABarControl->GetHighlightBrush() : APainter->GetHighlightBrush();
}
inline gfx::HBRUSH DownBrushOf(TCustomdxBarControl* ABarControl, TdxBarItemControlPainterClass APainter) {
    return ABarControl ? ABarControl->GetSelectedBrush() : APainter->GetSelectedBrush();
}
inline gfx::HBRUSH CheckerBrushOf(TCustomdxBarControl* ABarControl, TdxBarItemControlPainterClass APainter) {
    return ABarControl ? ABarControl->GetCheckerBrush() : APainter->GetCheckerBrush();
}
inline gfx::HBRUSH BarBrushOf(TCustomdxBarControl* ABarControl, TdxBarItemControlPainterClass APainter) {
    return ABarControl ? ABarControl->GetBarBrush() : APainter->GetBarBrush();
}
inline gfx::HBRUSH ToolbarBrushOf(TCustomdxBarControl* ABarControl) {
    return ABarControl ? ABarControl->GetToolbarBrush() : gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

// --- Questions about a control ---

inline bool IsRarelyUsed(const TdxBarItemControl* AControl) {
    return AControl && AControl->IsRarelyUsed();
}
inline bool IsInMenuWindow(const TdxBarItemControl* AControl) {
    const TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar && Bar->IsMenuWindow();
}
// A bar window's client rectangle, without making a window for it.
inline gfx::RECT ClientRectOf(TCustomdxBarControl* ABarControl) {
    if (ABarControl->HandleAllocated()) return ABarControl->ClientRect();
    return gfx::RECT{0, 0, ABarControl->Width(), ABarControl->Height()};
}

// The DC a control draws on outside its Paint: its window's canvas.
inline gfx::HDC CanvasDC(const TdxBarItemControl* AControl) {
    TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar ? Bar->Canvas()->Handle() : nullptr;
}
// The drop-down of the control is open: a button's drop-down menu or a
// combo's list.
inline bool IsDropDownOpen(const TdxBarItemControl* AControl) {
    if (const auto* Combo = dynamic_cast<const TCustomdxBarComboControl*>(AControl))
        return Combo->DroppedDown();
    const auto* Button = dynamic_cast<const TdxBarButtonControl*>(AControl);
    return Button && Button->DroppedDown() && Button->GetDropDownMenuControl();
}
// The bar whose links the window shows, nil for a menu.
inline TdxBar* BarOfWindow(const TCustomdxBarControl* ABarControl) {
    TdxBarItemLinks* Links = ABarControl ? ABarControl->ItemLinks() : nullptr;
    return Links ? dynamic_cast<TdxBar*>(Links->LinksOwner()) : nullptr;
}

// The window's bar draws a single border (every window without a bar counts
// as one with the default border).
inline bool HasSingleBorder(const TCustomdxBarControl* ABarControl) {
    const TdxBar* Bar = BarOfWindow(ABarControl);
    return !Bar || Bar->BorderStyle() == bbsSingle;
}
// The window shows a status bar.
inline bool IsStatusBarWindow(const TCustomdxBarControl* ABarControl) {
    const TdxBar* Bar = BarOfWindow(ABarControl);
    return Bar && Bar->IsStatusBar();
}
// The window's bar may be closed by the user.
inline bool CanCloseBar(const TCustomdxBarControl* ABarControl) {
    const TdxBar* Bar = BarOfWindow(ABarControl);
    return Bar && Bar->CanClose();
}

// A sub item control shows its caption unless its sub item says not to.
inline bool SubItemShowsCaption(const TdxBarItemControl* AControl) {
    const auto* SubItem = AControl ? dynamic_cast<const TCustomdxBarSubItem*>(AControl->GetItem()) : nullptr;
    return !SubItem || SubItem->ShowCaption();
}

// A filled triangle of one colour.
inline void Triangle(gfx::HDC DC, const gfx::POINT (&P)[3], gfx::TColor AColor) {
    TempPenAndBrush Tools(DC, AColor);
    gfx::Polygon(DC, P, 3);
}

// The arrow of one half of a spin button: a triangle ASize wide across its
// base, pointing away from the middle (up or left for the first half), moved
// by AShift while pressed.
inline void DrawSpinArrow(gfx::HDC DC, const gfx::RECT& AHalf, bool AFirst, bool AVertical, int ASize,
                          int AShift, gfx::TColor AColor) {
    const int Depth = (ASize + 1) / 2;
    const int Mid = (ASize - 1) / 2;
    gfx::POINT P[3];
    if (AVertical) {
        const int X0 = AHalf.left + (Width(AHalf) - ASize) / 2 + AShift;
        const int Y0 = AHalf.top + (Height(AHalf) - Depth) / 2 + AShift;
        const int BaseY = AFirst ? Y0 + Depth - 1 : Y0;
        P[0] = {X0, BaseY};
        P[1] = {X0 + ASize - 1, BaseY};
        P[2] = {X0 + Mid, AFirst ? Y0 : Y0 + Depth - 1};
    } else {
        const int X0 = AHalf.left + (Width(AHalf) - Depth) / 2 + AShift;
        const int Y0 = AHalf.top + (Height(AHalf) - ASize) / 2 + AShift;
        const int BaseX = AFirst ? X0 + Depth - 1 : X0;
        P[0] = {BaseX, Y0};
        P[1] = {BaseX, Y0 + ASize - 1};
        P[2] = {AFirst ? X0 : X0 + Depth - 1, Y0 + Mid};
    }
    Triangle(DC, P, AColor);
}

// One-pixel lines of one colour, each from its first point up to (not
// including) its second.
inline void Strokes(gfx::HDC DC, gfx::TColor AColor,
                    std::initializer_list<std::pair<gfx::POINT, gfx::POINT>> ALines) {
    TempPenAndBrush Pen(DC, AColor, false);
    for (const auto& [From, To] : ALines) {
        gfx::MoveToEx(DC, From.x, From.y, nullptr);
        gfx::LineTo(DC, To.x, To.y);
    }
}

// A polyline of one-pixel strokes in a colour, given along and across a
// bar: along runs right on a horizontal bar and down on a vertical one.
inline void StrokesAlong(gfx::HDC DC, gfx::POINT AOrigin, bool AVertical, gfx::TColor AColor,
                         std::initializer_list<gfx::POINT> APoints) {
    TempPenAndBrush Pen(DC, AColor, false);
    bool First = true;
    for (const gfx::POINT& P : APoints) {
        const int X = AOrigin.x + (AVertical ? P.y : P.x);
        const int Y = AOrigin.y + (AVertical ? P.x : P.y);
        if (First)
            gfx::MoveToEx(DC, X, Y, nullptr);
        else
            gfx::LineTo(DC, X, Y);
        First = false;
    }
}

// The chevron of a toolbar's mark, two pixels thick, pointing along the bar
// from AOrigin: three rows deep when ASmall, else five.
inline void DrawMarkChevronStrokes(gfx::HDC DC, gfx::POINT AOrigin, bool AVertical, bool ASmall,
                                   gfx::TColor AColor) {
    for (int K = 0; K < 2; ++K) {
        if (ASmall)
            StrokesAlong(DC, AOrigin, AVertical, AColor, {{K, 0}, {K + 1, 1}, {K - 1, 3}});
        else
            StrokesAlong(DC, AOrigin, AVertical, AColor, {{K, 0}, {K + 2, 2}, {K - 1, 5}});
    }
}

inline bool IsDockedHorizontally(const TCustomdxBarControl* ABarControl) {
    return ABarControl && (ABarControl->DockingStyle() == dsTop || ABarControl->DockingStyle() == dsBottom);
}

// The grip strip AOffset into R from the bar's start edge, ASize thick, over
// the bar's whole breadth.
inline gfx::RECT GripStrip(const gfx::RECT& R, bool AVertical, int AOffset, int ASize) {
    if (AVertical) return gfx::RECT{R.left, R.top + AOffset, R.right, R.top + AOffset + ASize};
    return gfx::RECT{R.left + AOffset, R.top, R.left + AOffset + ASize, R.bottom};
}

// The images a control's glyph is drawn from: the large ones on a toolbar.
inline cls::TCustomImageList* ImagesOf(TdxBarItemControl* AControl) {
    const TCustomdxBarControl* Bar = AControl->Parent();
    return AControl->GetImages(Bar && !Bar->IsMenuWindow());
}

// A dock site's background through the site's cache: APaint(DC, Dock)
// draws the site's picture with the site's client area at Dock. It paints
// into the cache when that is empty or too small (the cache then spans the
// site, and whatever of R reaches past it while the site has not yet grown
// to its rows), and R is copied from there; a site without a cache is
// painted straight into DC, inside R.
template <class TPaint>
void DrawCachedDockBackground(TdxDockControl* ADockControl, gfx::HDC DC, const gfx::RECT& R,
                              gfx::POINT AOrigin, TPaint APaint) {
    if (IsEmpty(R)) return;
    cls::TBitmap* Cache = ADockControl ? ADockControl->BackgroundCache() : nullptr;
    if (!Cache) {
        SavedClip Clip(DC);
        gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        gfx::RECT Dock{0, 0, AOrigin.x + Width(R), AOrigin.y + Height(R)};
        gfx::OffsetRect(&Dock, R.left - AOrigin.x, R.top - AOrigin.y);
        APaint(DC, Dock);
        return;
    }
    const cls::TRect Client = ADockControl->SiteClientRect();
    const int CacheWidth = std::max<int>(Client.right, AOrigin.x + Width(R));
    const int CacheHeight = std::max<int>(Client.bottom, AOrigin.y + Height(R));
    if (Cache->Empty() || Cache->Width() < CacheWidth || Cache->Height() < CacheHeight) {
        Cache->SetSize(CacheWidth, CacheHeight);
        APaint(Cache->Canvas()->Handle(), gfx::RECT{0, 0, CacheWidth, CacheHeight});
    }
    gfx::BitBlt(DC, R.left, R.top, Width(R), Height(R), Cache->Canvas()->Handle(), AOrigin.x, AOrigin.y,
                gfx::SRCCOPY);
}

// --- Helpers the painter files share (painter.cpp) ---

// The extent of AText in AFont, measured on the screen.
gfx::SIZE TextExtent(cls::TFont* AFont, const std::string& AText);
cls::TFont* FontOf(TCustomdxBarControl* ABarControl);
// The bounds of what a DC can show, in its logical coordinates.
gfx::RECT ClipBox(gfx::HDC DC);
// The part of R that the DC can show: routines that work off-screen in a
// rectangle's size or tile it need no more.
gfx::RECT VisiblePart(gfx::HDC DC, const gfx::RECT& R);
// FillBarBackground over the part of R the DC can show, the pattern of a
// bitmap staying where it would be for the whole of R (APattern is R in the
// pattern's coordinates).
void FillVisibleBackground(gfx::HDC DC, const gfx::RECT& R, const gfx::RECT& APattern, gfx::HBRUSH ABrush,
                           gfx::TColor AColor, cls::TBitmap* ABitmap);

} // namespace bars::detail
