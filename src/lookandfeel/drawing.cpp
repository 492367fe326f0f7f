#include "lookandfeel/drawing.h"

#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "win/user.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lf {

using gfx::COLORREF;

namespace {

constexpr int MaxGradientSteps = 256;
// The Office11 scheme's two-stage percentage is 50; the middle colour moves
// half of it toward the second colour.
constexpr int TwoStageMiddlePercent = 25;

// A solid brush that lives for one drawing call.
class TTempBrush {
public:
    explicit TTempBrush(TColor AColor) : FBrush(gfx::CreateSolidBrush(gfx::ColorToRGB(AColor))) {}
    ~TTempBrush() {
        if (FBrush) gfx::DeleteObject(FBrush);
    }
    TTempBrush(const TTempBrush&) = delete;
    TTempBrush& operator=(const TTempBrush&) = delete;
    HBRUSH Handle() const { return FBrush; }

private:
    HBRUSH FBrush;
};

// A scheme brush while the scheme is referenced, else a temporary one.
class TSchemeBrush {
public:
    TSchemeBrush(HBRUSH ASchemeBrush, TColor AColor) : FBrush(ASchemeBrush) {
        if (!FBrush) {
            FTemp = gfx::CreateSolidBrush(gfx::ColorToRGB(AColor));
            FBrush = FTemp;
        }
    }
    ~TSchemeBrush() {
        if (FTemp) gfx::DeleteObject(FTemp);
    }
    TSchemeBrush(const TSchemeBrush&) = delete;
    TSchemeBrush& operator=(const TSchemeBrush&) = delete;
    HBRUSH Handle() const { return FBrush; }

private:
    HBRUSH FBrush;
    HBRUSH FTemp = nullptr;
};

void FillWith(HDC DC, int ALeft, int ATop, int ARight, int ABottom, HBRUSH ABrush) {
    const RECT R{ALeft, ATop, ARight, ABottom};
    gfx::FillRect(DC, &R, ABrush);
}

int Channel(COLORREF AColor, int AShift) {
    return static_cast<int>((AColor >> AShift) & 0xFF);
}

COLORREF Interpolate(COLORREF AColor1, COLORREF AColor2, int ANumerator, int ADenominator) {
    if (ADenominator <= 0) return AColor1;
    auto Mix = [&](int AShift) {
        const int A = Channel(AColor1, AShift), B = Channel(AColor2, AShift);
        return A + (B - A) * ANumerator / ADenominator;
    };
    return gfx::RGB(Mix(0), Mix(8), Mix(16));
}

int GradientLength(const RECT& R, bool AHorizontal) {
    return AHorizontal ? R.right - R.left : R.bottom - R.top;
}

int GradientSteps(int ALength) {
    return std::min(ALength, MaxGradientSteps);
}

// Stripe I of N over a length L covers [I x L div N, (I + 1) x L div N); only
// their parts inside APart are filled. Menus draw their band many times a
// frame, mostly for a cell of it and in stripes one pixel wide: stripes
// outside the clip are skipped and neighbours of one colour (the colours of
// a short gradient repeat) make one run. A few runs are filled with the DC
// brush; more go into one image row (column) that one call stretches across
// the part, rather than a fill each.
void FillStripes(HDC DC, const RECT& R, COLORREF AColor1, COLORREF AColor2, bool AHorizontal,
                 const RECT& APart) {
    const int Length = GradientLength(R, AHorizontal);
    if (Length <= 0 || R.right <= R.left || R.bottom <= R.top) return;
    RECT Visible;
    if (gfx::GetClipBox(DC, &Visible) <= gfx::NULLREGION || !gfx::IntersectRect(&Visible, &Visible, &APart) ||
        !gfx::IntersectRect(&Visible, &Visible, &R))
        return;
    const int Steps = GradientSteps(Length);
    const int Start = AHorizontal ? R.left : R.top;
    const int VisibleFrom = AHorizontal ? Visible.left : Visible.top;
    const int VisibleTo = AHorizontal ? Visible.right : Visible.bottom;
    struct TRun {
        int From, To;
        COLORREF Color;
    };
    std::vector<TRun> Runs;
    for (int I = 0; I < Steps; ++I) {
        const int From = Start + static_cast<int>(static_cast<long long>(I) * Length / Steps);
        const int To = Start + static_cast<int>(static_cast<long long>(I + 1) * Length / Steps);
        if (To <= VisibleFrom) continue;
        if (From >= VisibleTo) break;
        const COLORREF Color = Interpolate(AColor1, AColor2, I, Steps - 1);
        const int PartFrom = std::max(From, VisibleFrom), PartTo = std::min(To, VisibleTo);
        if (!Runs.empty() && Runs.back().Color == Color && Runs.back().To == PartFrom)
            Runs.back().To = PartTo;
        else if (PartTo > PartFrom)
            Runs.push_back(TRun{PartFrom, PartTo, Color});
    }
    constexpr std::size_t FewRuns = 4;
    if (Runs.size() < FewRuns) {
        const auto Brush = gfx::handle_cast<HBRUSH>(gfx::GetStockObject(gfx::DC_BRUSH));
        if (Runs.empty()) return;
        const COLORREF Saved = gfx::SetDCBrushColor(DC, Runs.front().Color);
        for (const TRun& Run : Runs) {
            gfx::SetDCBrushColor(DC, Run.Color);
            if (AHorizontal)
                FillWith(DC, Run.From, Visible.top, Run.To, Visible.bottom, Brush);
            else
                FillWith(DC, Visible.left, Run.From, Visible.right, Run.To, Brush);
        }
        gfx::SetDCBrushColor(DC, Saved);
        return;
    }
    const int Count = VisibleTo - VisibleFrom;
    std::vector<std::uint32_t> Pixels(static_cast<std::size_t>(Count));
    for (const TRun& Run : Runs)
        std::fill(Pixels.begin() + (Run.From - VisibleFrom), Pixels.begin() + (Run.To - VisibleFrom),
                  gfx::PixelFromColor(Run.Color));
    gfx::BITMAPINFO Info;
    Info.bmiHeader.biWidth = AHorizontal ? Count : 1;
    Info.bmiHeader.biHeight = -(AHorizontal ? 1 : Count);
    if (AHorizontal)
        gfx::StretchDIBits(DC, VisibleFrom, Visible.top, Count, Visible.bottom - Visible.top, 0, 0, Count, 1,
                           Pixels.data(), &Info, gfx::DIB_RGB_COLORS, gfx::SRCCOPY);
    else
        gfx::StretchDIBits(DC, Visible.left, VisibleFrom, Visible.right - Visible.left, Count, 0, 0, 1, Count,
                           Pixels.data(), &Info, gfx::DIB_RGB_COLORS, gfx::SRCCOPY);
}

TColor ArrowColor(bool AEnabled, bool ASelected) {
    const TOffice11Colors& C = Office11Colors();
    if (!AEnabled) return C.DisabledTextColor;
    if (ASelected && IsHighContrastWhite()) return gfx::clWhite;
    return C.TextColor;
}

} // namespace

// ============================================================================
// Fills and frames
// ============================================================================

void FillRectByColor(HDC DC, const RECT& R, TColor AColor) {
    TTempBrush Brush(AColor);
    gfx::FillRect(DC, &R, Brush.Handle());
}

void FrameRectByColor(HDC DC, const RECT& R, TColor AColor) {
    TTempBrush Brush(AColor);
    gfx::FrameRect(DC, &R, Brush.Handle());
}

// ============================================================================
// Gradients
// ============================================================================

void FillGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal) {
    const COLORREF C1 = gfx::ColorToRGB(AColor1), C2 = gfx::ColorToRGB(AColor2);
    if (C1 == C2)
        FillRectByColor(DC, R, AColor1);
    else
        FillStripes(DC, R, C1, C2, AHorizontal, R);
}

void FillTwoStageGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal) {
    FillTwoStageGradientRect(DC, R, AColor1, AColor2, AHorizontal, R);
}

void FillTwoStageGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal,
                              const RECT& APart) {
    const COLORREF C1 = gfx::ColorToRGB(AColor1), C2 = gfx::ColorToRGB(AColor2);
    if (C1 == C2) {
        RECT Part;
        if (gfx::IntersectRect(&Part, &R, &APart)) FillRectByColor(DC, Part, AColor1);
        return;
    }
    const COLORREF Middle = Interpolate(C1, C2, TwoStageMiddlePercent, 100);
    RECT First = R, Second = R;
    if (AHorizontal)
        First.right = Second.left = R.left + (R.right - R.left) / 2;
    else
        First.bottom = Second.top = R.top + (R.bottom - R.top) / 2;
    FillStripes(DC, First, C1, Middle, AHorizontal, APart);
    FillStripes(DC, Second, Middle, C2, AHorizontal, APart);
}

TColor GetGradientColorAt(const RECT& R, int APos, TColor AColor1, TColor AColor2, bool AHorizontal) {
    const COLORREF C1 = gfx::ColorToRGB(AColor1), C2 = gfx::ColorToRGB(AColor2);
    const int Length = GradientLength(R, AHorizontal);
    if (Length <= 0) return static_cast<TColor>(C1);
    const long long Offset = std::clamp<long long>(
        static_cast<long long>(APos) - (AHorizontal ? R.left : R.top), 0, static_cast<long long>(Length) - 1);
    const int Steps = GradientSteps(Length);
    // The last stripe whose start lies at or before Offset.
    const int Stripe = static_cast<int>(((Offset + 1) * Steps - 1) / Length);
    return static_cast<TColor>(Interpolate(C1, C2, Stripe, Steps - 1));
}

// ============================================================================
// Office11 frame and arrows
// ============================================================================

void DrawOffice11Frame(HDC DC, const RECT& R) {
    if (IsHighContrastBlack()) {
        FrameRectByColor(DC, R, gfx::clHighlightText);
        return;
    }
    const TOffice11Colors& C = Office11Colors();
    TSchemeBrush Brush(C.SelectedFrameBrush, C.SelectedFrameColor);
    gfx::FrameRect(DC, &R, Brush.Handle());
}

void DrawOffice11Arrow(HDC DC, const RECT& R, bool AVertical, bool AEnabled, bool ASelected, int ASize) {
    if (ASize <= 0) return;
    TTempBrush Brush(ArrowColor(AEnabled, ASelected));
    const int Base = 2 * ASize - 1;
    if (AVertical) {
        const int X0 = (R.left + R.right - Base) / 2, Y0 = (R.top + R.bottom - ASize) / 2;
        for (int K = 0; K < ASize; ++K)
            FillWith(DC, X0 + K, Y0 + K, X0 + Base - K, Y0 + K + 1, Brush.Handle());
    } else {
        const int X0 = (R.left + R.right - ASize) / 2, Y0 = (R.top + R.bottom - Base) / 2;
        for (int K = 0; K < ASize; ++K)
            FillWith(DC, X0 + K, Y0 + K, X0 + K + 1, Y0 + Base - K, Brush.Handle());
    }
}

void DrawOffice11ArrowFitted(HDC DC, const RECT& R, bool AVertical, bool AEnabled, bool ASelected) {
    const int Extent = AVertical ? R.right - R.left - 8 : R.bottom - R.top - 6;
    const int Size = std::max(3, (Extent - 1) / 2 + (Extent % 2 != 0 ? 1 : 0));
    DrawOffice11Arrow(DC, R, AVertical, AEnabled, ASelected, Size);
}

// ============================================================================
// Grips
// ============================================================================

void DrawDotGrip(HDC DC, const RECT& R, bool AVertical, HBRUSH ABrush1, HBRUSH ABrush2) {
    constexpr int CellSize = 4;
    const TOffice11Colors& C = Office11Colors();
    TSchemeBrush Brush1(ABrush1 ? ABrush1 : C.BarEdgeBrush, C.BarEdgeColor);
    TSchemeBrush Brush2(ABrush2 ? ABrush2 : C.SeparatorLightBrush, C.SeparatorLightColor);
    const int Length = AVertical ? R.bottom - R.top : R.right - R.left;
    const int Start = (AVertical ? R.top : R.left) + Length % CellSize / 2;
    for (int I = 0; I < Length / CellSize; ++I) {
        const int X = AVertical ? R.left : Start + I * CellSize;
        const int Y = AVertical ? Start + I * CellSize : R.top;
        FillWith(DC, X + 1, Y + 1, X + 3, Y + 3, Brush2.Handle());
        FillWith(DC, X, Y, X + 2, Y + 2, Brush1.Handle());
    }
}

int GetSizeGripAreaHeight() {
    return std::max(win::GetSystemMetrics(win::SM_CYHSCROLL) + 2, win::GetSystemMetrics(win::SM_CYSIZE)) + 1;
}

int GetSizeGripCorner(const RECT& R1, const RECT& R2) {
    const bool Right = R1.left < R2.right;
    const bool Bottom = R1.bottom < R2.bottom;
    return (Bottom ? 2 : 0) + (Right ? 1 : 0);
}

void DrawSizeGrip(HDC DC, RECT& R, int ACorner) {
    constexpr int Strip = 2;
    const int CX = win::GetSystemMetrics(win::SM_CXVSCROLL);
    const int CY = win::GetSystemMetrics(win::SM_CYHSCROLL);
    const bool Right = ACorner == 1 || ACorner == 3;
    const bool Bottom = ACorner == 2 || ACorner == 3;
    const RECT Band = R;
    RECT Grip;
    Grip.left = Right ? Band.right - Strip - CX : Band.left + Strip;
    Grip.right = Grip.left + CX;
    Grip.top = Bottom ? Band.bottom - Strip - CY : Band.top + Strip;
    Grip.bottom = Grip.top + CY;

    HBRUSH Face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    if (Right)
        FillWith(DC, Band.right - Strip, Bottom ? Grip.top : Band.top, Band.right,
                 Bottom ? Band.bottom : Grip.bottom, Face);
    else
        FillWith(DC, Band.left, Bottom ? Grip.top : Band.top, Band.left + Strip,
                 Bottom ? Band.bottom : Grip.bottom, Face);
    if (Bottom)
        FillWith(DC, Right ? Grip.left : Band.left, Band.bottom - Strip, Right ? Band.right : Grip.right,
                 Band.bottom, Face);
    else
        FillWith(DC, Right ? Grip.left : Band.left, Band.top, Right ? Band.right : Grip.right,
                 Band.top + Strip, Face);

    // The system draws the grip for the bottom-right corner; it is mirrored
    // into the others.
    if (CX > 0 && CY > 0) {
        const gfx::MemoryDC Memory(CX, CY, 32, DC);
        if (Memory.Valid()) {
            RECT Image{0, 0, CX, CY};
            gfx::DrawFrameControl(Memory.Handle(), &Image, gfx::DFC_SCROLL, gfx::DFCS_SCROLLSIZEGRIP);
            gfx::StretchBlt(DC, Right ? Grip.left : Grip.right, Bottom ? Grip.top : Grip.bottom,
                            Right ? CX : -CX, Bottom ? CY : -CY, Memory.Handle(), 0, 0, CX, CY, gfx::SRCCOPY);
        }
    }
    R = Grip;
}

} // namespace lf
