#include "bars/painter.h"

#include "bars/manager.h"
#include "gfx/colors.h"
#include "lookandfeel/lookandfeel.h"
#include "win/user.h"

namespace bars {

TdxBarItemControlPainterClass TdxBarItemControlPainter::Class() {
    static const TdxBarItemControlPainter Painter;
    return &Painter;
}

int TdxBarItemControlPainter::GetMarkChevronColor() const {
    return gfx::COLOR_BTNTEXT;
}

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

gfx::HBRUSH TdxBarItemControlPainter::GetBarBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

gfx::HBRUSH TdxBarItemControlPainter::GetSelectedBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

gfx::HBRUSH TdxBarItemControlPainter::GetHighlightBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT);
}

void TdxBarItemControlPainter::GetDockedFrameRect(gfx::RECT& R) const {
    const int Size = GetDockedFrameSize();
    R = gfx::RECT{Size, Size, Size, Size};
}

void TdxBarItemControlPainter::GetBorderRect(gfx::RECT& R) const {
    R = gfx::RECT{2, 2, 2, 2};
}

int TdxBarItemControlPainter::GetSmallCaptionHeight() const {
    win::NONCLIENTMETRICS Metrics;
    if (!win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0)) return 0;
    return Metrics.iSmCaptionHeight;
}

void TdxBarItemControlPainter::GetCloseButtonSize(gfx::SIZE& ASize) const {
    ASize.cx = GetSmallCaptionHeight();
    ASize.cy = ASize.cx;
}

void TdxBarItemControlPainter::GetSizeGripSize(gfx::SIZE& ASize) const {
    ASize.cx = win::GetSystemMetrics(win::SM_CXHSCROLL);
    ASize.cy = win::GetSystemMetrics(win::SM_CYHSCROLL);
}

TdxBarManagerStyle GetEffectiveStyle(const TdxBarManager* ABarManager) {
    if (ABarManager->Style() != bmsUseLookAndFeel) return ABarManager->Style();
    const lf::TcxLookAndFeel* LookAndFeel = ABarManager->LookAndFeel();
    if (LookAndFeel->NativeStyle() && ABarManager->ThemeAvailable()) return bmsXP;
    switch (LookAndFeel->Kind()) {
        case lf::lfFlat:
            return bmsEnhanced;
        case lf::lfStandard:
            return bmsStandard;
        case lf::lfUltraFlat:
            return bmsFlat;
        case lf::lfOffice11:
            return bmsOffice11;
    }
    return bmsEnhanced;
}

TdxBarItemControlPainterClass GetPainterClassOfStyle(TdxBarManagerStyle, bool) {
    // The base painter draws every style.
    return TdxBarItemControlPainter::Class();
}

} // namespace bars
