#include "bars/drawing.h"

#include "bars/system.h"
#include "classes/graphics.h"
#include "classes/imagelist.h"
#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/theme.h"
#include "win/user.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>

namespace bars {

using gfx::COLORREF;
using gfx::DeleteObject;
using gfx::HBITMAP;
using gfx::HGDIOBJ;
using gfx::HPEN;
using gfx::MulDiv;
using gfx::POINT;

namespace {

bool GGlyphFadingEnabled = true;
HBRUSH GCheckerBrush = nullptr;

COLORREF BrushColor(HBRUSH ABrush) {
    gfx::LOGBRUSH LB;
    if (ABrush && gfx::GetObject(ABrush, sizeof LB, &LB) == sizeof LB) return LB.lbColor;
    return gfx::GetSysColor(gfx::COLOR_BTNFACE);
}

// Draws image AIndex of AImages at (0, 0) of ACanvas as ImageList_Draw with
// ILD_NORMAL does.
void DrawImage(cls::TCanvas* ACanvas, cls::TCustomImageList* AImages, int AIndex) {
    AImages->Draw(ACanvas, 0, 0, AIndex, cls::dsNormal, cls::itImage, true);
}

void DrawImage(HDC DC, cls::TCustomImageList* AImages, int AIndex) {
    cls::TCanvas Canvas;
    Canvas.SetHandle(DC);
    DrawImage(&Canvas, AImages, AIndex);
    Canvas.SetHandle(nullptr);
}

// The cell the plain glyph path puts a picture together in: made with the
// library, so that an icon drawn makes and frees no drawing object.
struct TGlyphScratch {
    static constexpr int Size = 32;
    TGlyphScratch() { Canvas.SetHandle(Memory.Handle()); }
    ~TGlyphScratch() { Canvas.SetHandle(nullptr); }
    TGlyphScratch(const TGlyphScratch&) = delete;
    TGlyphScratch& operator=(const TGlyphScratch&) = delete;

    gfx::MemoryDC Memory{Size, Size};
    cls::TCanvas Canvas;
    // Another thread drawing a glyph takes the general path meanwhile.
    std::mutex Busy;
};

std::unique_ptr<TGlyphScratch> GGlyphScratch;

bool IsSolidBrush(HBRUSH ABrush) {
    gfx::LOGBRUSH LB;
    return ABrush && gfx::GetObject(ABrush, sizeof LB, &LB) == sizeof LB && LB.lbStyle == gfx::BS_SOLID;
}

// DrawGlyph's plain look (enabled, in colour, neither stretched, faded,
// raised nor swapped) without its work cells: the picture goes onto DC
// where it differs from its bottom-left pixel, over DC's own background or
// a solid ABrush filled in R. False when the general path must draw it.
bool DrawPlainGlyph(HDC DC, HBRUSH ABrush, const RECT& R, const RECT& AGlyphRect, cls::TBitmap* AGlyph,
                    cls::TCustomImageList* AImages, int AImageIndex, bool ACopyBackground,
                    TColor AImagesBkColor, int W, int H) {
    if (!GGlyphScratch || W > TGlyphScratch::Size || H > TGlyphScratch::Size) return false;
    if (!ACopyBackground && !IsSolidBrush(ABrush)) return false;
    const std::unique_lock Lock(GGlyphScratch->Busy, std::try_to_lock);
    if (!Lock.owns_lock()) return false;
    const HDC Cell = GGlyphScratch->Memory.Handle();
    if (AGlyph && !AGlyph->Empty()) {
        gfx::BitBlt(Cell, 0, 0, W, H, AGlyph->Canvas()->Handle(), 0, 0, gfx::SRCCOPY);
    } else {
        const RECT All{0, 0, W, H};
        const COLORREF Old = gfx::SetDCBrushColor(Cell, gfx::ColorToRGB(AImagesBkColor));
        gfx::FillRect(Cell, &All, gfx::handle_cast<HBRUSH>(gfx::GetStockObject(gfx::DC_BRUSH)));
        gfx::SetDCBrushColor(Cell, Old);
        DrawImage(&GGlyphScratch->Canvas, AImages, AImageIndex);
    }
    gfx::BitmapSurface Pixels;
    if (!gfx::GetBitmapSurface(GGlyphScratch->Memory.Bitmap(), &Pixels)) return false;
    const COLORREF Key = gfx::ColorFromPixel(Pixels.Row(H - 1)[0]);
    if (!ACopyBackground) gfx::FillRect(DC, &R, ABrush);
    RECT Visible;
    if (gfx::IntersectRect(&Visible, &R, &AGlyphRect))
        gfx::TransparentBlt(DC, Visible.left, Visible.top, Visible.right - Visible.left,
                            Visible.bottom - Visible.top, Cell, Visible.left - AGlyphRect.left,
                            Visible.top - AGlyphRect.top, Visible.right - Visible.left,
                            Visible.bottom - Visible.top, Key);
    return true;
}

// --- Pixel effects on a 32-bit copy of the glyph (0xAARRGGBB: stored blue,
// green, red) ---

void TintPixels(const gfx::BitmapSurface& S, COLORREF ATint) {
    const int TintR = gfx::GetRValue(ATint), TintG = gfx::GetGValue(ATint), TintB = gfx::GetBValue(ATint);
    for (int Y = 0; Y < S.height; ++Y) {
        std::uint32_t* Row = S.Row(Y);
        for (int X = 0; X < S.width; ++X) {
            const int B = Row[X] & 0xFF, Gr = (Row[X] >> 8) & 0xFF, R = (Row[X] >> 16) & 0xFF;
            // The weights follow the stored byte order, as the original's.
            const int L = (77 * B + 151 * Gr + 28 * R) >> 8;
            const int L2 = (192 * L + 16320) >> 8;
            const int NB = (192 * TintB + 64 * L2) >> 8, NG = (192 * TintG + 64 * L2) >> 8,
                      NR = (192 * TintR + 64 * L2) >> 8;
            Row[X] = (Row[X] & 0xFF000000u) | static_cast<std::uint32_t>(NR << 16 | NG << 8 | NB);
        }
    }
}

void GrayPixels(const gfx::BitmapSurface& S) {
    for (int Y = 0; Y < S.height; ++Y) {
        std::uint32_t* Row = S.Row(Y);
        for (int X = 0; X < S.width; ++X) {
            const std::uint32_t V = ((Row[X] & 0xFF) + ((Row[X] >> 8) & 0xFF) + ((Row[X] >> 16) & 0xFF)) / 3;
            Row[X] = (Row[X] & 0xFF000000u) | V << 16 | V << 8 | V;
        }
    }
}

void FadePixels(const gfx::BitmapSurface& S) {
    for (int Y = 0; Y < S.height; ++Y) {
        std::uint32_t* Row = S.Row(Y);
        for (int X = 0; X < S.width; ++X) {
            std::uint32_t P = Row[X] & 0xFF000000u;
            for (int Shift = 0; Shift <= 16; Shift += 8) {
                const int C = (Row[X] >> Shift) & 0xFF;
                P |= static_cast<std::uint32_t>(C + MulDiv(255 - C, 3, 10)) << Shift;
            }
            Row[X] = P;
        }
    }
}

// The Pascal meaning of odd, for negative numbers too.
bool IsOdd(int AValue) {
    return AValue % 2 != 0;
}

} // namespace

// ============================================================================
// Switches and the checker pattern
// ============================================================================

bool GlyphFadingEnabled() {
    return GGlyphFadingEnabled;
}

void SetGlyphFadingEnabled(bool Value) {
    GGlyphFadingEnabled = Value;
}

void CreateCheckerPatternBrush() {
    DeleteCheckerPatternBrush();
    const COLORREF Face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
    const COLORREF Highlight = gfx::GetSysColor(gfx::COLOR_BTNHIGHLIGHT);
    const gfx::MemoryDC Pattern(8, 8);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            gfx::SetPixelV(Pattern.Handle(), X, Y, (X % 2) == (Y % 2) ? Face : Highlight);
    GCheckerBrush = gfx::CreatePatternBrush(Pattern.Bitmap());
}

HBRUSH CheckerBrush() {
    return GCheckerBrush;
}

void DeleteCheckerPatternBrush() {
    if (GCheckerBrush) DeleteObject(GCheckerBrush);
    GCheckerBrush = nullptr;
}

void CreateGlyphScratch() {
    GGlyphScratch = std::make_unique<TGlyphScratch>();
}

void DeleteGlyphScratch() {
    GGlyphScratch.reset();
}

// ============================================================================
// Backgrounds
// ============================================================================

void FillVerticalGradient(cls::TCanvas* ACanvas, const RECT& R, BYTE RFrom, BYTE RTo, BYTE GFrom, BYTE GTo,
                          BYTE BFrom, BYTE BTo) {
    const HDC DC = ACanvas->Handle();
    const int Height = R.bottom - R.top;
    int Top = R.top;
    for (int I = 0; I < 256; ++I) {
        const int Bottom = R.top + MulDiv(I + 1, Height, 256);
        if (Bottom > Top) {
            const COLORREF Color =
                gfx::RGB(RFrom + MulDiv(I, RTo - RFrom, 255), GFrom + MulDiv(I, GTo - GFrom, 255),
                         BFrom + MulDiv(I, BTo - BFrom, 255));
            lf::FillRectByColor(DC, RECT{R.left, Top, R.right, Bottom}, static_cast<TColor>(Color));
            Top = Bottom;
        }
    }
}

void FillBarBackground(HDC DC, const RECT& R, const RECT& ATileOrigin, HBRUSH ABrush, TColor AColor,
                       cls::TBitmap* ABitmap) {
    if (ABitmap && !ABitmap->Empty()) {
        TileBitmap(DC, R, ATileOrigin, ABitmap);
    } else if (ABrush) {
        gfx::FillRect(DC, &R, ABrush);
    } else {
        lf::FillRectByColor(DC, R, AColor);
    }
}

void TileBitmap(HDC DC, const RECT& R, const RECT& APatternRect, cls::TBitmap* ABitmap) {
    if (!ABitmap) return;
    const int W = ABitmap->Width(), H = ABitmap->Height();
    if (W == 0 || H == 0 || gfx::IsRectEmpty(&APatternRect)) return;
    HRGN Rgn = nullptr;
    bool HadClip = false;
    SaveClipRegion(DC, Rgn, HadClip);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    const HDC Source = ABitmap->Canvas()->Handle();
    for (int L = APatternRect.top / H; L <= (APatternRect.bottom - 1) / H; ++L)
        for (int K = APatternRect.left / W; K <= (APatternRect.right - 1) / W; ++K)
            gfx::BitBlt(DC, K * W + R.left - APatternRect.left, L * H + R.top - APatternRect.top, W, H,
                        Source, 0, 0, gfx::SRCCOPY);
    RestoreClipRegion(DC, Rgn, HadClip);
}

// ============================================================================
// Glyphs
// ============================================================================

void DrawGlyph(HDC DC, HBRUSH ABrush, const RECT& R, const RECT& AGlyphRect, cls::TBitmap* AGlyph,
               cls::TCustomImageList* AImages, int AImageIndex, bool AEnabled, bool AGrayScale, bool AFlat,
               bool ASelected, bool ADown, bool APressed, bool ARaiseWhenSelected, bool ACopyBackground,
               TColor ADisabledTintColor, TColor AImagesBkColor) {
    const bool UseBitmap = AGlyph && !AGlyph->Empty();
    if (!UseBitmap && !AImages) return;
    const int W = UseBitmap ? AGlyph->Width() : AImages->Width();
    const int H = UseBitmap ? AGlyph->Height() : AImages->Height();
    const int RW = R.right - R.left, RH = R.bottom - R.top;
    if (W <= 0 || H <= 0 || RW <= 0 || RH <= 0) return;
    const bool Tinted = ADisabledTintColor != gfx::clNone;
    const COLORREF Tint = Tinted ? gfx::ColorToRGB(ADisabledTintColor) : 0;
    const bool Faded = AEnabled && AFlat && !ASelected && !ADown && !AGrayScale && GlyphFadingEnabled() &&
                       ScreenBitsPerPixel() > 8;
    const bool Raised = AFlat && ARaiseWhenSelected && ASelected && !APressed;
    const bool Swap =
        gfx::GetSysColor(gfx::COLOR_BTNFACE) == gfx::RGB(0, 0, 0) && !AGrayScale && !(AFlat && ASelected);
    const bool Stretched = AGlyphRect.right - AGlyphRect.left != W || AGlyphRect.bottom - AGlyphRect.top != H;
    if (AEnabled && !AGrayScale && !Faded && !Raised && !Swap && !Stretched && ScreenBitsPerPixel() > 8 &&
        DrawPlainGlyph(DC, ABrush, R, AGlyphRect, UseBitmap ? AGlyph : nullptr, AImages, AImageIndex,
                       ACopyBackground, AImagesBkColor, W, H))
        return;

    const gfx::MemoryDC Work(RW, RH);
    const HDC MemDC = Work.Handle();
    // On a screen of 256 colours the work DC draws through the target's
    // palette, so that colours naming palette entries (the brush's, say) come
    // out as they would on the target.
    gfx::HPALETTE OldPalette = nullptr;
    if (ScreenBitsPerPixel() <= 8) {
        OldPalette = gfx::SelectPalette(
            MemDC, gfx::handle_cast<gfx::HPALETTE>(gfx::GetCurrentObject(DC, gfx::OBJ_PAL)), gfx::TRUE);
        gfx::RealizePalette(MemDC);
    }
    RECT GlyphRect = AGlyphRect;
    gfx::OffsetRect(&GlyphRect, -R.left, -R.top);
    const int GW = GlyphRect.right - GlyphRect.left, GH = GlyphRect.bottom - GlyphRect.top;
    if (ACopyBackground) {
        gfx::BitBlt(MemDC, 0, 0, RW, RH, DC, R.left, R.top, gfx::SRCCOPY);
    } else {
        const RECT All{0, 0, RW, RH};
        gfx::FillRect(MemDC, &All, ABrush);
    }

    const gfx::MemoryDC Mask(W, H, 1);
    if (!AEnabled && !Tinted) {
        // The shape alone: black where the glyph has a picture.
        if (UseBitmap) {
            const HDC Source = AGlyph->Canvas()->Handle();
            const COLORREF OldBk = gfx::SetBkColor(Source, gfx::ColorToRGB(AGlyph->TransparentColor()));
            gfx::BitBlt(Mask.Handle(), 0, 0, W, H, Source, 0, 0, gfx::SRCCOPY);
            gfx::SetBkColor(Source, OldBk);
        } else {
            const gfx::MemoryDC Image(W, H);
            gfx::PatBlt(Image.Handle(), 0, 0, W, H, gfx::WHITENESS);
            DrawImage(Image.Handle(), AImages, AImageIndex);
            gfx::SetBkColor(Image.Handle(), gfx::RGB(255, 255, 255));
            gfx::BitBlt(Mask.Handle(), 0, 0, W, H, Image.Handle(), 0, 0, gfx::SRCCOPY);
        }
        gfx::SetTextColor(MemDC, gfx::RGB(255, 255, 255));
        gfx::SetBkColor(MemDC, gfx::RGB(0, 0, 0));
        const HGDIOBJ OldBrush = gfx::GetCurrentObject(MemDC, gfx::OBJ_BRUSH);
        if (!AFlat) {
            gfx::SelectObject(MemDC, gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT));
            gfx::StretchBlt(MemDC, GlyphRect.left + 1, GlyphRect.top + 1, GW, GH, Mask.Handle(), 0, 0, W, H,
                            gfx::ROP_DSPDxax);
        }
        gfx::SelectObject(MemDC, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
        gfx::StretchBlt(MemDC, GlyphRect.left, GlyphRect.top, GW, GH, Mask.Handle(), 0, 0, W, H,
                        gfx::ROP_DSPDxax);
        gfx::SelectObject(MemDC, OldBrush);
    } else {
        const gfx::MemoryDC Copy(W, H);
        if (UseBitmap) {
            gfx::BitBlt(Copy.Handle(), 0, 0, W, H, AGlyph->Canvas()->Handle(), 0, 0, gfx::SRCCOPY);
        } else {
            lf::FillRectByColor(Copy.Handle(), RECT{0, 0, W, H}, AImagesBkColor);
            DrawImage(Copy.Handle(), AImages, AImageIndex);
        }
        // White in the mask where the copy has its bottom-left pixel's colour.
        gfx::SetBkColor(Copy.Handle(), gfx::GetPixel(Copy.Handle(), 0, H - 1));
        gfx::BitBlt(Mask.Handle(), 0, 0, W, H, Copy.Handle(), 0, 0, gfx::SRCCOPY);

        gfx::BitmapSurface Pixels;
        if (gfx::GetBitmapSurface(Copy.Bitmap(), &Pixels)) {
            if (!AEnabled) {
                TintPixels(Pixels, Tint);
            } else if (AGrayScale) {
                GrayPixels(Pixels);
            }
            if (Faded) FadePixels(Pixels);
        }

        POINT P{GlyphRect.left, GlyphRect.top};
        if (Raised) {
            gfx::SetTextColor(MemDC, gfx::GetSysColor(gfx::COLOR_BTNSHADOW));
            gfx::SetBkColor(MemDC, BrushColor(ABrush));
            gfx::StretchBlt(MemDC, P.x + 1, P.y + 1, GW, GH, Mask.Handle(), 0, 0, W, H, gfx::SRCCOPY);
            P.x -= 1;
            P.y -= 1;
        }
        // The copy's transparent pixels become white, so that SRCAND keeps
        // what is below them.
        gfx::SetTextColor(Copy.Handle(), gfx::RGB(0, 0, 0));
        gfx::SetBkColor(Copy.Handle(), gfx::RGB(255, 255, 255));
        gfx::BitBlt(Copy.Handle(), 0, 0, W, H, Mask.Handle(), 0, 0, gfx::SRCPAINT);
        gfx::SetTextColor(MemDC, gfx::RGB(0, 0, 0));
        gfx::SetBkColor(MemDC, gfx::RGB(255, 255, 255));
        auto PutMask = [&] {
            gfx::StretchBlt(MemDC, P.x, P.y, GW, GH, Mask.Handle(), 0, 0, W, H, gfx::MERGEPAINT);
        };
        auto PutGlyph = [&] {
            gfx::StretchBlt(MemDC, P.x, P.y, GW, GH, Copy.Handle(), 0, 0, W, H, gfx::SRCAND);
        };
        if (Swap) {
            PutGlyph();
            PutMask();
        } else {
            PutMask();
            PutGlyph();
        }
    }
    gfx::BitBlt(DC, R.left, R.top, RW, RH, MemDC, 0, 0, gfx::SRCCOPY);
    if (OldPalette) gfx::SelectPalette(MemDC, OldPalette, gfx::TRUE);
}

// ============================================================================
// Arrows, frames and grips
// ============================================================================

void DrawArrow(HDC DC, const RECT& R, bool ADown, int ASize, bool ASelected, bool AEnabled, bool AFlat) {
    int ColorIndex = gfx::COLOR_BTNSHADOW;
    if (AEnabled) {
        ColorIndex = gfx::COLOR_BTNTEXT;
        if (ASelected) ColorIndex = lf::IsHighContrastWhite() ? gfx::COLOR_BTNFACE : gfx::COLOR_HIGHLIGHTTEXT;
    }
    POINT P[3];
    int X0, Y0;
    if (ADown) {
        X0 = (R.left + R.right - (2 * ASize - 1)) / 2;
        Y0 = (R.top + R.bottom - ASize) / 2;
        P[0] = {X0, Y0};
        P[1] = {X0 + 2 * ASize - 2, Y0};
        P[2] = {X0 + ASize - 1, Y0 + ASize - 1};
    } else {
        X0 = (R.left + R.right - ASize) / 2;
        Y0 = (R.top + R.bottom - (2 * ASize - 1)) / 2;
        P[0] = {X0, Y0};
        P[1] = {X0, Y0 + 2 * ASize - 2};
        P[2] = {X0 + ASize - 1, Y0 + ASize - 1};
    }
    const HPEN Pen = gfx::CreatePen(gfx::PS_SOLID, 1, gfx::GetSysColor(ColorIndex));
    const HGDIOBJ OldPen = gfx::SelectObject(DC, Pen);
    const HGDIOBJ OldBrush = gfx::SelectObject(DC, gfx::GetSysColorBrush(ColorIndex));
    gfx::Polygon(DC, P, 3);
    gfx::SelectObject(DC, OldBrush);
    gfx::SelectObject(DC, OldPen);
    DeleteObject(Pen);
    if (!AEnabled && !AFlat) {
        const HPEN Edge = gfx::CreatePen(gfx::PS_SOLID, 1, gfx::GetSysColor(gfx::COLOR_BTNHIGHLIGHT));
        const HGDIOBJ Old = gfx::SelectObject(DC, Edge);
        auto Line = [DC](int X1, int Y1, int X2, int Y2) {
            gfx::MoveToEx(DC, X1, Y1, nullptr);
            gfx::LineTo(DC, X2, Y2);
        };
        if (ADown) {
            Line(X0 + ASize, Y0 + ASize - 1, X0 + 2 * ASize - 1, Y0);
            Line(X0 + ASize, Y0 + ASize, X0 + 2 * ASize, Y0);
        } else {
            Line(X0 + ASize - 1, Y0 + ASize, X0, Y0 + 2 * ASize - 1);
            Line(X0 + ASize, Y0 + ASize, X0, Y0 + 2 * ASize);
        }
        gfx::SelectObject(DC, Old);
        DeleteObject(Edge);
    }
}

void DrawFittedArrow(HDC DC, const RECT& R, bool ADown, bool AEnabled, bool ASelected, bool AFlat) {
    const int E = ADown ? (R.right - R.left) - 8 : (R.bottom - R.top) - 6;
    const int Size = std::max(3, (E - 1) / 2 + (IsOdd(E) ? 1 : 0));
    DrawArrow(DC, R, ADown, Size, ASelected, AEnabled, AFlat);
}

void DrawHighlightFrame(HDC DC, const RECT& R) {
    gfx::FrameRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT));
}

void DrawSizeGripOverBackground(HDC DC, const RECT& R) {
    const int W = R.right - R.left, H = R.bottom - R.top;
    if (W <= 0 || H <= 0) return;
    const gfx::MemoryDC Background(W, H), Grip(W, H), Mask(W, H, 1);
    gfx::BitBlt(Background.Handle(), 0, 0, W, H, DC, R.left, R.top, gfx::SRCCOPY);
    RECT GripRect{0, 0, W, H};
    gfx::DrawFrameControl(Grip.Handle(), &GripRect, gfx::DFC_SCROLL, gfx::DFCS_SCROLLSIZEGRIP);
    // White where the grip shows button face, black on its lines.
    gfx::SetBkColor(Grip.Handle(), gfx::GetSysColor(gfx::COLOR_BTNFACE));
    gfx::BitBlt(Mask.Handle(), 0, 0, W, H, Grip.Handle(), 0, 0, gfx::SRCCOPY);
    for (HDC Target : {Background.Handle(), Grip.Handle()}) {
        gfx::SetTextColor(Target, gfx::RGB(0, 0, 0));
        gfx::SetBkColor(Target, gfx::RGB(255, 255, 255));
    }
    gfx::BitBlt(Background.Handle(), 0, 0, W, H, Mask.Handle(), 0, 0, gfx::MERGEPAINT);
    gfx::BitBlt(Grip.Handle(), 0, 0, W, H, Mask.Handle(), 0, 0, gfx::SRCPAINT);
    gfx::BitBlt(Background.Handle(), 0, 0, W, H, Grip.Handle(), 0, 0, gfx::SRCAND);
    gfx::BitBlt(DC, R.left, R.top, W, H, Background.Handle(), 0, 0, gfx::SRCCOPY);
}

// ============================================================================
// Clip regions
// ============================================================================

void SaveClipRegion(HDC DC, HRGN& ARgn, bool& AHadClip) {
    ARgn = gfx::CreateRectRgn(0, 0, 0, 0);
    AHadClip = gfx::GetClipRgn(DC, ARgn) == 1;
}

void RestoreClipRegion(HDC DC, HRGN& ARgn, bool AHadClip) {
    gfx::SelectClipRgn(DC, AHadClip ? ARgn : nullptr);
    if (ARgn) DeleteObject(ARgn);
    ARgn = nullptr;
}

void IncludeClipRect(HDC DC, const RECT& R) {
    const HRGN Rgn = gfx::CreateRectRgnIndirect(&R);
    gfx::ExtSelectClipRgn(DC, Rgn, gfx::RGN_OR);
    DeleteObject(Rgn);
}

void ExcludeRectFromRegion(HRGN& ARgn, const RECT& R) {
    const HRGN Rgn = gfx::CreateRectRgnIndirect(&R);
    gfx::CombineRgn(ARgn, ARgn, Rgn, gfx::RGN_DIFF);
    DeleteObject(Rgn);
}

TColor GetNearestScreenColor(TColor AColor) {
    return lf::GetNearestScreenColor(AColor);
}

// ============================================================================
// Themed parts
// ============================================================================

int GetEditThemeState(bool AEnabled, bool AReadOnly) {
    if (!AEnabled) return ETS_DISABLED;
    return AReadOnly ? ETS_READONLY : ETS_NORMAL;
}

TColor GetEditThemeFillColor(HTHEME ATheme, int AState) {
    COLORREF Color = 0;
    if (AState == ETS_DISABLED &&
        win::SUCCEEDED(lf::GetThemeColor(ATheme, EP_EDITTEXT, AState, TMT_FILLCOLOR, Color)))
        return static_cast<TColor>(Color);
    return gfx::clWindow;
}

TColor GetEditThemeTextColor(HTHEME ATheme, int AState) {
    COLORREF Color = 0;
    if (win::SUCCEEDED(lf::GetThemeColor(ATheme, EP_EDITTEXT, AState, TMT_TEXTCOLOR, Color)))
        return static_cast<TColor>(Color);
    return AState == ETS_DISABLED ? gfx::clGrayText : gfx::clWindowText;
}

TColor GetThemedBarFillColor() {
    COLORREF Color = 0;
    if (win::SUCCEEDED(lf::GetThemeColor(lf::OpenTheme(lf::totToolBar), 0, 0, TMT_FILLCOLOR, Color)))
        return static_cast<TColor>(Color);
    return gfx::clBtnFace;
}

SIZE GetThemedCloseButtonSize() {
    SIZE Size{};
    lf::GetThemePartSize(lf::OpenTheme(lf::totWindow), nullptr, WP_SMALLCLOSEBUTTON, 1, nullptr, win::TS_TRUE,
                         Size);
    return Size;
}

void DrawThemedCloseButton(HDC DC, RECT& R, TdxBarDockingStyle ADockingStyle, bool APushed, bool AHot) {
    const HTHEME Theme = lf::OpenTheme(lf::totWindow);
    const SIZE Size = GetThemedCloseButtonSize();
    const int D = std::max(0, ((R.bottom - R.top) - Size.cy) / 2);
    RECT Part;
    Part.top = R.top + D;
    Part.bottom = Part.top + Size.cy;
    if (ADockingStyle == dsLeft || ADockingStyle == dsRight) {
        Part.left = R.left + D;
        Part.right = Part.left + Size.cx;
    } else {
        Part.right = R.right - D;
        Part.left = Part.right - Size.cx;
    }
    R = Part;
    gfx::FillRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    lf::DrawThemeBackground(Theme, DC, WP_SMALLCLOSEBUTTON, APushed ? 3 : AHot ? 2 : 1, R);
}

SIZE GetThemedSizeGripSize() {
    SIZE Size{};
    lf::GetThemePartSize(lf::OpenTheme(lf::totScrollBar), nullptr, SBP_SIZEBOX, 1, nullptr, win::TS_TRUE,
                         Size);
    Size.cx += 2;
    Size.cy += 2;
    return Size;
}

void DrawThemedSizeGrip(HDC DC, RECT& R, int ACorner) {
    const HTHEME Theme = lf::OpenTheme(lf::totScrollBar);
    const SIZE Size = GetThemedSizeGripSize();
    const bool Left = ACorner == 0 || ACorner == 2, Top = ACorner == 0 || ACorner == 1;
    if (Left) {
        R.right = R.left + Size.cx;
    } else {
        R.left = R.right - Size.cx;
    }
    if (Top) {
        R.bottom = R.top + Size.cy;
    } else {
        R.top = R.bottom - Size.cy;
    }
    gfx::FillRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    if (Size.cx <= 0 || Size.cy <= 0) return;
    const gfx::MemoryDC Part(Size.cx, Size.cy);
    const RECT All{0, 0, Size.cx, Size.cy};
    gfx::FillRect(Part.Handle(), &All, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    lf::DrawThemeBackground(Theme, Part.Handle(), SBP_SIZEBOX, 1, All);
    // A negative extent mirrors the part so that it points into the corner.
    gfx::StretchBlt(DC, Left ? R.right : R.left, Top ? R.bottom : R.top, Left ? -Size.cx : Size.cx,
                    Top ? -Size.cy : Size.cy, Part.Handle(), 0, 0, Size.cx, Size.cy, gfx::SRCCOPY);
}

} // namespace bars
