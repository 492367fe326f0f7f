// The painter's operations for toolbar windows and dock sites.
#include "bars/painters/painter.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/painter_internal.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/xp_painter.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "classes/graphics.h"
#include "classes/imagelist.h"
#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/lookandfeel.h"
#include "win/user.h"

#include <algorithm>
#include <optional>

namespace bars {

using gfx::COLORREF;
using gfx::HBRUSH;
using gfx::HDC;
using gfx::HGDIOBJ;
using gfx::HRGN;
using gfx::POINT;
using gfx::RECT;
using gfx::SIZE;
using gfx::TColor;

using namespace detail;

// ============================================================================
// Toolbar windows and dock sites
// ============================================================================

int TdxBarItemControlPainter::GetBarFrameWidth() const {
    return win::GetSystemMetrics(win::SM_CXFRAME);
}

int TdxBarItemControlPainter::GetBarFrameHeight() const {
    return win::GetSystemMetrics(win::SM_CYFRAME);
}

int TdxBarItemControlPainter::GetButtonArrowWidth(const TdxBarManager* AManager) const {
    int Result = AManager->ButtonArrowWidth();
    if (AManager->LargeIcons()) Result *= 2;
    if (Result % 2 == 0) ++Result;
    return Result;
}

int TdxBarItemControlPainter::GetLargeButtonArrowWidth(const TdxBarManager* AManager) const {
    return AManager->LargeButtonArrowWidth();
}

void TdxBarItemControlPainter::DrawDockBackground(TdxDockControl*, HDC DC, TColor AColor, HBRUSH ABrush,
                                                  const RECT& R, POINT AOrigin) const {
    const RECT Pattern{AOrigin.x, AOrigin.y, AOrigin.x + Width(R), AOrigin.y + Height(R)};
    FillVisibleBackground(DC, R, Pattern, ABrush, AColor, nullptr);
}

bool TdxBarItemControlPainter::GetBarWindowFlagA(TCustomdxBarControl*) const {
    return false;
}

HBRUSH TdxBarItemControlPainter::GetToolbarBrush(const TdxBarManager* AManager) const {
    return AManager ? AManager->XPToolbarBrush() : nullptr;
}

void TdxBarItemControlPainter::FillBarBackgroundFromDock(TCustomdxBarControl* ABarControl, HDC DC,
                                                         HBRUSH ABrush, cls::TBitmap* ABitmap, const RECT& R,
                                                         POINT AOrigin) const {
    if (IsEmpty(R)) return;
    TdxDockControl* Dock = ABarControl ? ABarControl->DockControl() : nullptr;
    if (!Dock) {
        FillBarWindowBackground(ABarControl, DC, gfx::clBtnFace, ABrush, R, AOrigin);
        return;
    }
    // The dock's coordinates of R: the bar's place in the dock plus its client's.
    RECT DockRect = R;
    gfx::OffsetRect(&DockRect, ABarControl->Left() + AOrigin.x, ABarControl->Top() + AOrigin.y);
    if (ABitmap && !ABitmap->Empty())
        FillVisibleBackground(DC, R, DockRect, nullptr, gfx::clNone, ABitmap);
    else
        Dock->DrawBackground(DC, R, DockRect, Dock->Color());
}

void TdxBarItemControlPainter::FillBarWindowBackground(TCustomdxBarControl* ABarControl, HDC DC,
                                                       TColor AColor, HBRUSH ABrush, const RECT& R,
                                                       POINT AOrigin) const {
    if (IsEmpty(R)) return;
    RECT Pattern = R;
    gfx::OffsetRect(&Pattern, AOrigin.x, AOrigin.y);
    const TdxBarManager* Manager = ABarControl ? ABarControl->GetBarManager() : nullptr;
    FillVisibleBackground(DC, R, Pattern, ABrush, AColor,
                          Manager && Manager->Backgrounds() ? Manager->Backgrounds()->Bar() : nullptr);
}

void TdxBarItemControlPainter::FillOwnerEdge(TCustomdxBarControl* ABarControl, HDC DC) const {
    if (!ABarControl) return;
    RECT R{};
    ABarControl->GetOwnerEdgeRect(false, R);
    if (!IsEmpty(R)) gfx::FillRect(DC, &R, ABarControl->GetToolbarBrush());
}

bool TdxBarItemControlPainter::IsBarBorderFlat(TCustomdxBarControl*) const {
    return false;
}

HBRUSH TdxBarItemControlPainter::GetBarBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlPainter::GetToolbarWindowBrush(TCustomdxBarControl*) const {
    return GetBarBrush();
}

HBRUSH TdxBarItemControlPainter::GetCheckerBrush() const {
    return CheckerBrush();
}

HBRUSH TdxBarItemControlPainter::GetSelectedBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlPainter::GetHighlightBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT);
}

int TdxBarItemControlPainter::GetEditHeight(TCustomdxBarControl*, int ATextHeight) const {
    return ATextHeight + GetEditHeightExtra();
}

void TdxBarItemControlPainter::GetDockedFrameRect(TCustomdxBarControl*, RECT& R) const {
    const int Size = GetDockedFrameSize();
    R = RECT{Size, Size, Size, Size};
}

void TdxBarItemControlPainter::GetBorderRect(bool, TdxBarDockingStyle, RECT& R) const {
    R = RECT{2, 2, 2, 2};
}

void TdxBarItemControlPainter::FillCaptionExtra(HDC DC, HBRUSH ABrush, const RECT& R) const {
    if (!IsEmpty(R)) gfx::FillRect(DC, &R, ABrush);
}

int TdxBarItemControlPainter::GetSmallCaptionHeight() const {
    win::NONCLIENTMETRICS Metrics;
    if (!win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0)) return 0;
    return Metrics.iSmCaptionHeight;
}

void TdxBarItemControlPainter::GetCloseButtonSize(SIZE& ASize) const {
    ASize.cx = GetSmallCaptionHeight();
    ASize.cy = ASize.cx;
}

void TdxBarItemControlPainter::DrawToolbarSeparator(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R,
                                                    bool AHorizontal) const {
    if (IsEmpty(R)) return;
    const int Offset = GetSeparatorLineOffset();
    RECT Line = R, Before = R, After = R;
    if (AHorizontal) {
        Line = Deflated(R, Offset, 0);
        Line.right = std::min<int>(Line.left + 2, R.right);
        Before.right = Line.left;
        After.left = Line.right;
    } else {
        Line = Deflated(R, 0, Offset);
        Line.bottom = std::min<int>(Line.top + 2, R.bottom);
        Before.bottom = Line.top;
        After.top = Line.bottom;
    }
    FillThroughWindow(ABarControl, DC, Before);
    FillThroughWindow(ABarControl, DC, After);
    gfx::DrawEdge(DC, &Line, gfx::EDGE_ETCHED, AHorizontal ? gfx::BF_LEFT : gfx::BF_TOP);
}

void TdxBarItemControlPainter::FillCaptionButton(TCustomdxBarControl* ABarControl, HDC DC, int AState,
                                                 RECT R) const {
    if (IsEmpty(R)) return;
    if (AState == 0) {
        // The bar window is always drawn active.
        FillColor(DC, R, GetCaptionColor(ABarControl, true));
        return;
    }
    DrawHighlightFrame(DC, R);
    R = Deflated(R, 1, 1);
    HBRUSH Brush;
    if (ABarControl)
        Brush = AState == 1 ? ABarControl->GetHighlightBrush() : ABarControl->GetSelectedBrush();
    else
        Brush = AState == 1 ? GetHighlightBrush() : GetSelectedBrush();
    if (!IsEmpty(R)) gfx::FillRect(DC, &R, Brush);
}

void TdxBarItemControlPainter::DrawCloseButton(TCustomdxBarControl*, HDC, RECT, int) const {}

void TdxBarItemControlPainter::DrawDockedFrame(TCustomdxBarControl*, HDC, HBRUSH, RECT) const {}

void TdxBarItemControlPainter::DrawBarBorder(TCustomdxBarControl*, HDC, HBRUSH, int, RECT) const {}

void TdxBarItemControlPainter::DrawFloatingCaption(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                                   const RECT& R) const {
    if (!ABarControl || IsEmpty(R)) return;
    RECT Band = R;
    ++Band.bottom;
    gfx::FillRect(DC, &Band, ABrush);
    if (HasCaptionExtra()) FillCaptionExtra(DC, ABrush, R);

    RECT Caption = R;
    if (ABarControl->HasCaptionCloseButton()) {
        const int Size = GetSmallCaptionHeight();
        Caption.right -= Size;
        ABarControl->DrawCaptionCloseButton(DC, RECT{Caption.right, R.top, R.right, R.bottom});
    }
    int X = Caption.left + 2, Right = Caption.right;
    if (ABarControl->HasCaptionMark()) GetCaptionTextLeft(ABarControl, X, Right);

    win::NONCLIENTMETRICS Metrics;
    win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
    gfx::LOGFONT LF = Metrics.lfSmCaptionFont;
    const TdxBarManager* Manager = ABarControl->GetBarManager();
    if (Manager && !Manager->UseSystemFont()) {
        if (LF.lfHeight > -11) LF.lfHeight = -11;
        if (const cls::TFont* Font = ABarControl->Font()) {
            const std::string& Name = Font->Name();
            const std::size_t Len = std::min(Name.size(), sizeof(LF.lfFaceName) - 1);
            std::copy_n(Name.data(), Len, LF.lfFaceName);
            LF.lfFaceName[Len] = '\0';
        }
    }
    const gfx::HFONT Font = gfx::CreateFontIndirect(&LF);
    const HGDIOBJ OldFont = gfx::SelectObject(DC, Font);
    const COLORREF OldText = gfx::SetTextColor(DC, gfx::ColorToRGB(GetCaptionTextColor(ABarControl)));
    const COLORREF OldBk = gfx::SetBkColor(DC, gfx::ColorToRGB(GetCaptionColor(ABarControl, true)));

    const std::string Text = ABarControl->Caption();
    const RECT TextRect{X, Caption.top, std::max<int>(X, Right), Caption.bottom};
    const int Y = Caption.top + (Height(Caption) - gfx::GetTextExtent(DC, Text).cy) / 2;
    if (HasCaptionExtra()) {
        const int OldMode = gfx::SetBkMode(DC, gfx::TRANSPARENT);
        gfx::ExtTextOut(DC, X, Y, gfx::ETO_CLIPPED, &TextRect, Text.data(),
                        static_cast<gfx::UINT>(Text.size()), nullptr);
        gfx::SetBkMode(DC, OldMode);
    } else {
        gfx::ExtTextOut(DC, X, Y, gfx::ETO_OPAQUE | gfx::ETO_CLIPPED, &TextRect, Text.data(),
                        static_cast<gfx::UINT>(Text.size()), nullptr);
    }
    gfx::SetBkColor(DC, OldBk);
    gfx::SetTextColor(DC, OldText);
    gfx::SelectObject(DC, OldFont);
    gfx::DeleteObject(Font);

    if (ABarControl->HasCaptionMark()) ABarControl->DrawCaptionMark(DC);
}

void TdxBarItemControlPainter::DrawMark(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R, int) const {
    DrawMarkArrow(ABarControl, DC, R);
}

void TdxBarItemControlPainter::DrawMarkContent(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                               const RECT& R, int) const {
    DrawMarkFace(ABarControl, DC, ABrush, R);
    DrawMarkChevrons(ABarControl, DC, R);
}

void TdxBarItemControlPainter::DrawMDIButton(TCustomdxBarControl*, HDC, int, const RECT&, bool, bool,
                                             bool) const {}

void TdxBarItemControlPainter::DrawStatusBarSizeGrip(TCustomdxBarControl* ABarControl, HDC DC,
                                                     const RECT& R) const {
    if (IsEmpty(R)) return;
    SIZE Size{};
    GetSizeGripSize(Size);
    const RECT Grip{std::max<int>(R.left, R.right - Size.cx), std::max<int>(R.top, R.bottom - Size.cy),
                    R.right, R.bottom};
    DrawSizeGripImage(ABarControl, DC, Grip);
    FillThroughWindow(ABarControl, DC, RECT{R.left, R.top, R.right, Grip.top});
    FillThroughWindow(ABarControl, DC, RECT{R.left, Grip.top, Grip.left, R.bottom});
}

void TdxBarItemControlPainter::FillStatusBarBand(TCustomdxBarControl* ABarControl, HDC DC,
                                                 const RECT& R) const {
    FillThroughWindow(ABarControl, DC, R);
}

void TdxBarItemControlPainter::GetMarkRect(TCustomdxBarControl* ABarControl, RECT& R) const {
    GetMarkRectInWindow(ABarControl, R);
}

void TdxBarItemControlPainter::GetMarkRectInWindow(TCustomdxBarControl*, RECT& R) const {
    R = RECT{};
}

void TdxBarItemControlPainter::RepaintMark(TCustomdxBarControl* ABarControl) const {
    if (!ABarControl || !ABarControl->HandleAllocated()) return;
    if (ABarControl->DockingStyle() == dsNone) {
        const HDC DC = win::GetWindowDC(ABarControl->Handle());
        if (!DC) return;
        ABarControl->DrawCaptionMark(DC);
        win::ReleaseDC(ABarControl->Handle(), DC);
        return;
    }
    RECT R{};
    GetMarkRectInWindow(ABarControl, R);
    if (!IsEmpty(R)) win::InvalidateRect(ABarControl->Handle(), &R, gfx::FALSE);
}

bool TdxBarItemControlPainter::IsCloseButtonHit(TCustomdxBarControl*, POINT) const {
    return false;
}

void TdxBarItemControlPainter::FillStatusBarBackground(TCustomdxBarControl*, HDC DC, TColor AColor,
                                                       HBRUSH ABrush, const RECT& R, POINT AOrigin) const {
    if (IsEmpty(R)) return;
    RECT Pattern = R;
    gfx::OffsetRect(&Pattern, AOrigin.x, AOrigin.y);
    FillVisibleBackground(DC, R, Pattern, ABrush, AColor, nullptr);
}

void TdxBarItemControlPainter::GetSizeGripSize(SIZE& ASize) const {
    ASize.cx = win::GetSystemMetrics(win::SM_CXHSCROLL);
    ASize.cy = win::GetSystemMetrics(win::SM_CYHSCROLL);
}

HBRUSH TdxBarItemControlPainter::GetQuickCustWindowBrush(TCustomdxBarControl* ABarControl) const {
    return GetToolbarWindowBrush(ABarControl);
}

void TdxBarItemControlPainter::GetQuickCustCheckRect(TdxBarItemControl*, RECT& R, int& ACheckRight,
                                                     bool) const {
    R.right = R.left + Height(R);
    ACheckRight = R.right;
}

void TdxBarItemControlPainter::GetQuickCustCaptionRect(TdxBarItemControl*, bool, const RECT&,
                                                       const RECT&) const {}

} // namespace bars
