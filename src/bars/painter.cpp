#include "bars/painter.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/flat_painter.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/office11_painter.h"
#include "bars/painter_internal.h"
#include "bars/painters/xp_painter.h"
#include "bars/standard_painter.h"
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

namespace {

constexpr win::UINT EM_SETSEL = 0x00B1;
constexpr unsigned ES_AUTOHSCROLL = 0x0080;

TColor BrushColor(HBRUSH ABrush) {
    gfx::LOGBRUSH LB;
    if (ABrush && gfx::GetObject(ABrush, sizeof LB, &LB) == sizeof LB) return static_cast<TColor>(LB.lbColor);
    return gfx::clBtnFace;
}

// The extent of AText in AFont, measured on the screen.
SIZE TextExtent(cls::TFont* AFont, const std::string& AText) {
    SIZE Result{};
    const HDC DC = win::GetDC(nullptr);
    if (!DC) return Result;
    const HGDIOBJ Old = AFont ? gfx::SelectObject(DC, AFont->Handle()) : nullptr;
    Result = gfx::GetTextExtent(DC, AText);
    if (Old) gfx::SelectObject(DC, Old);
    win::ReleaseDC(nullptr, DC);
    return Result;
}

cls::TFont* FontOf(TCustomdxBarControl* ABarControl) {
    return ABarControl ? ABarControl->Font() : nullptr;
}

// A caption with its accelerator markers taken out: each single "&" goes, a
// doubled one leaves one "&", and the character after the last single "&"
// is the accelerator (AccelPos and AccelLen in bytes of Text).
struct TStrippedCaption {
    std::string Text;
    std::size_t AccelPos = std::string::npos;
    std::size_t AccelLen = 0;
};

std::size_t Utf8Length(unsigned char ALead) {
    if (ALead >= 0xF0) return 4;
    if (ALead >= 0xE0) return 3;
    if (ALead >= 0xC0) return 2;
    return 1;
}

TStrippedCaption StripAccelerators(const std::string& S) {
    TStrippedCaption Result;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] != '&' || I + 1 == S.size()) {
            Result.Text += S[I];
            continue;
        }
        ++I;
        if (S[I] == '&') {
            Result.Text += '&';
            continue;
        }
        const std::size_t Len = std::min(Utf8Length(static_cast<unsigned char>(S[I])), S.size() - I);
        Result.AccelPos = Result.Text.size();
        Result.AccelLen = Len;
        Result.Text.append(S, I, Len);
        I += Len - 1;
    }
    return Result;
}

// The bounds of what a DC can show, in its logical coordinates.
RECT ClipBox(HDC DC) {
    RECT R{};
    gfx::GetClipBox(DC, &R);
    return R;
}

// The part of R that the DC can show: routines that work off-screen in a
// rectangle's size or tile it need no more.
RECT VisiblePart(HDC DC, const RECT& R) {
    const RECT Box = ClipBox(DC);
    RECT Result{};
    gfx::IntersectRect(&Result, &R, &Box);
    return Result;
}

// FillBarBackground over the part of R the DC can show, the pattern of a
// bitmap staying where it would be for the whole of R (APattern is R in the
// pattern's coordinates).
void FillVisibleBackground(HDC DC, const RECT& R, const RECT& APattern, HBRUSH ABrush, TColor AColor,
                           cls::TBitmap* ABitmap) {
    const RECT Visible = VisiblePart(DC, R);
    if (IsEmpty(Visible)) return;
    const int X = APattern.left + Visible.left - R.left, Y = APattern.top + Visible.top - R.top;
    FillBarBackground(DC, Visible, RECT{X, Y, X + Width(Visible), Y + Height(Visible)}, ABrush, AColor,
                      ABitmap);
}

} // namespace

TdxBarItemControlPainterClass TdxBarItemControlPainter::Class() {
    static const TdxBarItemControlPainter Painter;
    return &Painter;
}

// ============================================================================
// Item controls
// ============================================================================

void TdxBarItemControlPainter::DrawGlyphFrame(TdxBarItemControl*, HDC, TdxBarPaintType,
                                              const TdxBarPaintState&, const RECT&, bool, bool,
                                              HBRUSH) const {}

void TdxBarItemControlPainter::DrawCheckMark(TdxBarItemControl*, HDC, int, int, int) const {}

void TdxBarItemControlPainter::DrawCheckCell(TdxBarItemControl* AControl, HDC DC,
                                             const TdxBarPaintState& AState, TdxBarPaintType APaintType,
                                             RECT R, bool, HBRUSH ABrush) const {
    if (IsEmpty(R)) return;
    if (!IsGlyphFrameDrawnFirst()) {
        const RECT Cell = AState.Lowered ? Deflated(R, 1, 1) : R;
        const bool Solid = AState.Selected || AState.Down || AState.Lowered ||
                           (AControl && AControl->IsCustomizingSelected());
        FillGlyphCell(AControl, DC, Cell, ABrush, Solid);
    }
    if (AState.Down && APaintType == ptMenu) {
        const cls::TFont* Font = FontOf(BarOf(AControl));
        const int Thickness = Font && Font->Size() > 15 ? 2 : 1;
        const int X = (R.left + R.right - 9 * Thickness) / 2;
        const int Y = (R.top + R.bottom - 7 * Thickness) / 2;
        DrawCheckMark(AControl, DC, Thickness, X, Y);
    }
}

void TdxBarItemControlPainter::DrawGlyphBitmap(TdxBarItemControl* AControl, HDC DC,
                                               const TdxBarPaintState& AState, RECT R, const RECT& AGlyphRect,
                                               bool, bool, HBRUSH ABrush) const {
    if (!AControl || IsEmpty(R)) return;
    if (AState.Lowered) R = Deflated(R, 1, 1);
    TCustomdxBarControl* Bar = AControl->Parent();
    bool Filled = false;
    if (!AControl->IsCustomizingSelected() && Bar && Bar->WantsGlyphBackgrounds()) {
        const bool Solid =
            !IsGlyphCellTransparent(ABrush, R) && (AState.Selected || AState.Down || AState.Pressed);
        FillGlyphCell(AControl, DC, R, ABrush, Solid);
        Filled = true;
    }
    const RECT Visible = VisiblePart(DC, R);
    if (!IsEmpty(Visible))
        DrawControlGlyph(AControl, DC, ABrush, Visible, AGlyphRect, ImagesOf(AControl), AState, false,
                         Filled);
}

void TdxBarItemControlPainter::DrawDropDownArrow(HDC DC, const RECT& R, bool APointDown, bool AEnabled,
                                                 bool ASelected) const {
    if (!IsEmpty(R)) DrawFittedArrow(DC, R, APointDown, AEnabled, ASelected, false);
}

void TdxBarItemControlPainter::DrawSubMenuArrow(HDC DC, const RECT& R, int ASize, bool AEnabled,
                                                bool ASelected, bool ADown) const {
    if (ASize > 0 && !IsEmpty(R)) DrawArrow(DC, R, ADown, ASize, ASelected, AEnabled, false);
}

void TdxBarItemControlPainter::GetEditColors(TdxBarItemControl* AControl, TColor& ATextColor,
                                             TColor& ABkColor) const {
    if (!AControl || AControl->GetEnabled()) {
        ATextColor = gfx::clWindowText;
        ABkColor = gfx::clWindow;
        return;
    }
    ATextColor = gfx::clGrayText;
    ABkColor = BrushColor(WindowBrush(AControl->Parent()));
}

TColor TdxBarItemControlPainter::GetDisabledImageFadeColor(TCustomdxBarControl* ABarControl) const {
    const TdxBarManager* Manager = ABarControl ? ABarControl->GetBarManager() : nullptr;
    if (Manager && Manager->MakeDisabledImagesFaded())
        return lf::MixColors(gfx::clBtnShadow, gfx::clWhite, 70);
    return gfx::clNone;
}

void TdxBarItemControlPainter::GetTextColors(TdxBarItemControl*, bool AEnabled, TColor& AShadowColor,
                                             TColor& ATextColor, bool AFlatHint, bool ASelected) const {
    if (AEnabled) {
        ATextColor = ASelected && !AFlatHint ? gfx::clHighlightText : gfx::clBtnText;
        AShadowColor = ATextColor;
    } else if (ASelected || AFlatHint) {
        ATextColor = gfx::clGrayText;
        AShadowColor = gfx::clGrayText;
    } else {
        AShadowColor = gfx::clBtnHighlight;
        ATextColor = gfx::clBtnShadow;
    }
}

bool TdxBarItemControlPainter::IsGlyphCellTransparent(HBRUSH, const RECT&) const {
    return false;
}

bool TdxBarItemControlPainter::IsSmallRect(TdxBarItemControl*, const RECT& R) const {
    return Height(R) < 17;
}

TColor TdxBarItemControlPainter::GetCaptionColor(TCustomdxBarControl*, bool AActive) const {
    return AActive ? gfx::clActiveCaption : gfx::clInactiveCaption;
}

TColor TdxBarItemControlPainter::GetCaptionTextColor(TCustomdxBarControl*) const {
    return gfx::clCaptionText;
}

TColor TdxBarItemControlPainter::GetMarkArrowColor(TCustomdxBarControl*, int) const {
    return gfx::clCaptionText;
}

void TdxBarItemControlPainter::DrawSizeGripImage(TCustomdxBarControl* ABarControl, HDC DC,
                                                 const RECT& R) const {
    if (IsEmpty(R)) return;
    FillThroughWindow(ABarControl, DC, R);
    const RECT Visible = VisiblePart(DC, R);
    if (!IsEmpty(Visible)) DrawSizeGripOverBackground(DC, Visible);
}

void TdxBarItemControlPainter::DrawMarkArrow(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R) const {
    if (IsEmpty(R)) return;
    const POINT P0{(R.left + R.right - 7) / 2, (R.top + R.bottom - 4) / 2};
    const POINT P[3] = {P0, {P0.x + 6, P0.y}, {P0.x + 3, P0.y + 3}};
    Triangle(DC, P, GetMarkArrowColor(ABarControl, ABarControl ? ABarControl->MarkState() : 0));
}

void TdxBarItemControlPainter::DrawMarkChevron(TCustomdxBarControl*, HDC, POINT, const RECT&) const {}

void TdxBarItemControlPainter::DrawMarkFace(TCustomdxBarControl*, HDC, HBRUSH, const RECT&) const {}

void TdxBarItemControlPainter::DrawMarkChevrons(TCustomdxBarControl* ABarControl, HDC DC,
                                                const RECT& R) const {
    if (!ABarControl || !ABarControl->HasHiddenLinks()) return;
    const TdxBarDockingStyle Style = ABarControl->DockingStyle();
    if (Style == dsTop || Style == dsBottom) {
        DrawMarkChevron(ABarControl, DC, POINT{R.left + 2, R.top}, R);
        DrawMarkChevron(ABarControl, DC, POINT{R.left + 6, R.top}, R);
    } else {
        DrawMarkChevron(ABarControl, DC, POINT{R.left, R.bottom - 9}, R);
        DrawMarkChevron(ABarControl, DC, POINT{R.left, R.bottom - 5}, R);
    }
}

void TdxBarItemControlPainter::GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X, int&) const {
    RECT Mark{};
    if (ABarControl) ABarControl->GetCaptionMarkRect(Mark);
    X = Mark.right + 3;
}

TColor TdxBarItemControlPainter::GetMarkChevronColor(TCustomdxBarControl*) const {
    return gfx::clBtnText;
}

void TdxBarItemControlPainter::DrawDownArrow(HDC DC, TColor AColor, int ASize, int X, int Y) const {
    if (ASize <= 0) return;
    const POINT P[3] = {{X, Y}, {X + ASize - 1, Y}, {X + ASize / 2, Y + ASize / 2}};
    Triangle(DC, P, AColor);
}

void TdxBarItemControlPainter::DrawScrollArrow(TdxBarSubMenuControl* AMenu, HDC DC, bool AUp,
                                               const RECT& R) const {
    if (!AMenu) return;
    const int ItemHeight = AMenu->TextHeight();
    const int S = ItemHeight / 3 - 1;
    if (S < 1) return;
    const int BarSize = AMenu->GetBarSize();
    const int CX = BarSize + (AMenu->ClientWidth() - BarSize) / 2;
    int BaseY, ApexY, Out;
    if (AUp) {
        BaseY = (ItemHeight - S) / 2 + S - 1;
        ApexY = BaseY - (S - 1);
        Out = 1;
    } else {
        // The button's own bottom: in a menu cut to the screen the last row
        // ends above the client's bottom, and the area below it is filled
        // after the arrow.
        BaseY = R.bottom - (ItemHeight - S) / 2 - S;
        ApexY = BaseY + S - 1;
        Out = -1;
    }
    const POINT P[3] = {{CX - (S - 1), BaseY}, {CX + S - 1, BaseY}, {CX, ApexY}};
    Triangle(DC, P, gfx::clBtnText);
    // The item drawing that follows must leave the arrow alone.
    POINT Grown[3] = {{CX - S, BaseY + Out}, {CX + S, BaseY + Out}, {CX, ApexY - Out}};
    gfx::LPtoDP(DC, Grown, 3);
    const HRGN Rgn = gfx::CreatePolygonRgn(Grown, 3, gfx::ALTERNATE);
    gfx::ExtSelectClipRgn(DC, Rgn, gfx::RGN_DIFF);
    gfx::DeleteObject(Rgn);
}

void TdxBarItemControlPainter::DrawExpandArrows(TdxBarSubMenuControl* AMenu, HDC DC, bool ASelected,
                                                const RECT& R) const {
    if (!AMenu || IsEmpty(R)) return;
    const int ButtonHeight = AMenu->ScrollButtonHeight();
    const int S = GetScrollArrowSize(AMenu, ButtonHeight);
    if (S < 2) return;
    const TColor Color = ASelected && lf::IsHighContrastWhite() ? gfx::clBtnFace : gfx::clBtnText;
    TempPenAndBrush Pen(DC, Color, false);
    const int Half = S / 2;
    const int X0 = R.left + (Width(R) - (2 * Half + 1)) / 2;
    const int Y0 = R.top + (ButtonHeight - 2 * S) / 2;
    for (int I = 0; I < S; ++I) {
        const int Y = Y0 + I + (I >= Half ? Half : 0);
        gfx::MoveToEx(DC, X0, Y, nullptr);
        gfx::LineTo(DC, X0 + Half, Y + Half);
        gfx::LineTo(DC, X0 + 2 * Half + 1, Y - 1);
    }
}

void TdxBarItemControlPainter::AdjustEditTextRect(RECT&) const {}

void TdxBarItemControlPainter::DrawCenteredText(HDC DC, const RECT& R, bool AOpaque, const std::string& AText,
                                                int AOffset) const {
    if (IsEmpty(R)) return;
    const COLORREF OldText = gfx::SetTextColor(DC, gfx::GetSysColor(gfx::COLOR_BTNTEXT));
    const COLORREF OldBk = gfx::SetBkColor(DC, gfx::GetSysColor(gfx::COLOR_BTNFACE));
    const int OldMode = gfx::SetBkMode(DC, AOpaque ? gfx::OPAQUE : gfx::TRANSPARENT);
    const SIZE S = gfx::GetTextExtent(DC, AText);
    const int X = R.left + (Width(R) - S.cx) / 2 + AOffset;
    const int Y = R.top + (Height(R) - S.cy) / 2 + AOffset;
    gfx::ExtTextOut(DC, X, Y, gfx::ETO_CLIPPED | (AOpaque ? gfx::ETO_OPAQUE : 0), &R, AText.data(),
                    static_cast<gfx::UINT>(AText.size()), nullptr);
    gfx::SetBkMode(DC, OldMode);
    gfx::SetBkColor(DC, OldBk);
    gfx::SetTextColor(DC, OldText);
}

void TdxBarItemControlPainter::FillGlyphCell(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                             HBRUSH ABrush, bool ASolid) const {
    if (IsEmpty(R)) return;
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (ASolid || !Bar) {
        gfx::FillRect(DC, &R, ABrush);
        return;
    }
    AControl->SetParentDrawFlag();
    Bar->SetItemControlDrawing(true);
    Bar->FillBackground(DC, R, ABrush, Bar->Color());
    Bar->SetItemControlDrawing(false);
    AControl->ResetParentDrawFlag();
}

void TdxBarItemControlPainter::FrameGlyphCell(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                              HBRUSH ABrush, bool ASolid) const {
    if (IsEmpty(R)) return;
    if (ASolid) {
        gfx::FrameRect(DC, &R, ABrush);
        return;
    }
    SavedClip Clip(DC);
    const RECT Inner = Deflated(R, 1, 1);
    gfx::ExcludeClipRect(DC, Inner.left, Inner.top, Inner.right, Inner.bottom);
    FillGlyphCell(AControl, DC, R, ABrush, false);
}

void TdxBarItemControlPainter::DrawEtchedLine(HDC DC, const RECT& R) const {
    FillSys(DC, R, gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlPainter::DrawButton(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                          const TdxBarPaintState& AState, TdxBarPaintType APaintType,
                                          bool ANoGlyph, bool AOwnRect, const RECT* ACellRect) const {
    if (!AControl || IsEmpty(R)) return;
    TdxBarManager* Manager = AControl->GetBarManager();
    const bool HasGlyph = !ANoGlyph && AControl->HasGlyph();

    int W = 16, H = 16;
    cls::TBitmap* Glyph = AControl->GetGlyph();
    if (Glyph && !Glyph->Empty()) {
        W = Glyph->Width();
        H = Glyph->Height();
    } else if (const cls::TCustomImageList* Images = AControl->GetImages(false)) {
        W = Images->Width();
        H = Images->Height();
    }

    int CellWidth = Width(R), CellHeight = Height(R);
    if (Manager && !AOwnRect) {
        if (APaintType == ptHorz)
            CellWidth = Manager->ButtonWidth();
        else if (APaintType == ptVert)
            CellHeight = Manager->ButtonHeight();
    }

    if (APaintType == ptMenu) {
        const int Base = AControl->GetParentScaleBase();
        if (Manager && Manager->StretchGlyphs() && Base > 0) {
            W = gfx::MulDiv(W, AOwnRect ? CellHeight : CellWidth, Base);
            H = gfx::MulDiv(H, CellHeight, Base);
        }
    } else if (Manager && Manager->LargeIcons()) {
        if (Manager->CanUseLargeImagesForLargeIcons()) {
            W = Manager->LargeImages()->Width();
            H = Manager->LargeImages()->Height();
        } else {
            W *= 2;
            H *= 2;
        }
    }

    RECT GlyphRect;
    GlyphRect.left = R.left + (CellWidth - W) / 2;
    GlyphRect.top = R.top + (CellHeight - H) / 2;
    GlyphRect.right = GlyphRect.left + W;
    GlyphRect.bottom = GlyphRect.top + H;
    if (AState.ShiftFirst) {
        const int D = GetDownOffsetX(AControl);
        gfx::OffsetRect(&GlyphRect, D, D);
    }
    if (AState.ShiftSecond) {
        const int D = GetDownOffsetY(AControl, AState.ShiftFirst);
        gfx::OffsetRect(&GlyphRect, D, D);
    }
    DrawGlyphImage(AControl, DC, ACellRect ? *ACellRect : R, GlyphRect, AState, APaintType, !HasGlyph);
}

void TdxBarItemControlPainter::DrawGlyphImage(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                              const RECT& AGlyphRect, const TdxBarPaintState& AState,
                                              TdxBarPaintType APaintType, bool ANoGlyph) const {
    if (!AControl || IsEmpty(R)) return;
    const HBRUSH Brush = GetGlyphBrush(AControl, APaintType, AState);
    int NeedWidth, NeedHeight;
    if (ANoGlyph) {
        const TdxBarManager* Manager = AControl->GetBarManager();
        NeedWidth = NeedHeight = (Manager ? Manager->ImageSize() : 16) + 2;
    } else {
        NeedWidth = Width(AGlyphRect) + 2;
        NeedHeight = Height(AGlyphRect) + 2;
    }
    const bool Fits = Width(R) >= NeedWidth && Height(R) >= NeedHeight;
    const bool FrameFirst = IsGlyphFrameDrawnFirst();
    if (FrameFirst) DrawGlyphFrame(AControl, DC, APaintType, AState, R, Fits, ANoGlyph, Brush);
    if (ANoGlyph)
        DrawCheckCell(AControl, DC, AState, APaintType, R, Fits, Brush);
    else
        DrawGlyphBitmap(AControl, DC, AState, R, AGlyphRect, Fits, Fits, Brush);
    if (!FrameFirst) DrawGlyphFrame(AControl, DC, APaintType, AState, R, Fits, ANoGlyph, Brush);
}

void TdxBarItemControlPainter::DrawMenuGlyphCell(TdxBarItemControl*, HDC, const RECT&,
                                                 const TdxBarPaintState&, bool) const {}

void TdxBarItemControlPainter::DrawCaption(TdxBarItemControl* AControl, HDC DC, const std::string& AText,
                                           const RECT& R, int AAlignment, bool AEnabled, bool ASelected,
                                           bool AVertical, bool AClipped, bool AFlatHint) const {
    if (IsEmpty(R)) return;
    std::string Text = AText;
    RECT TextRect = R;
    const int OldMode = gfx::SetBkMode(DC, gfx::TRANSPARENT);
    const COLORREF OldColor = gfx::GetTextColor(DC);

    gfx::UINT Flags = gfx::DT_SINGLELINE;
    std::optional<SavedClip> Clip;
    if (!AClipped) {
        Flags |= gfx::DT_NOCLIP;
    } else if (AVertical) {
        Flags |= gfx::DT_NOCLIP;
        Clip.emplace(DC);
        gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    }

    // A turned caption's accelerator is underlined by hand: a line beside
    // the glyph row, as long as the accelerator character.
    RECT Underline{};
    if (!AVertical) {
        static constexpr gfx::UINT Alignments[] = {gfx::DT_LEFT, gfx::DT_CENTER, gfx::DT_RIGHT};
        Flags |= Alignments[std::clamp(AAlignment, 0, 2)] | gfx::DT_VCENTER;
    } else {
        gfx::TEXTMETRIC TM{};
        gfx::GetTextMetrics(DC, &TM);
        const TStrippedCaption Stripped = StripAccelerators(Text);
        Text = Stripped.Text;
        Flags |= gfx::DT_NOPREFIX;
        const SIZE S = gfx::GetTextExtent(DC, Text);
        int Offset = 0;
        if (AAlignment == 1)
            Offset = (Height(R) - S.cx) / 2;
        else if (AAlignment == 2)
            Offset = Height(R) - S.cx;
        gfx::OffsetRect(&TextRect, (Width(R) + S.cy) / 2, Offset);
        if (Stripped.AccelPos != std::string::npos) {
            const int Before = gfx::GetTextExtent(DC, std::string_view(Text).substr(0, Stripped.AccelPos)).cx;
            const int Length =
                gfx::GetTextExtent(DC, std::string_view(Text).substr(Stripped.AccelPos, Stripped.AccelLen))
                    .cx;
            const int X = TextRect.left - TM.tmAscent - 2;
            Underline = RECT{X, TextRect.top + Before, X + 1, TextRect.top + Before + Length};
        }
    }

    auto DrawAt = [&](int AShift, TColor AColor) {
        const COLORREF C = gfx::ColorToRGB(AColor);
        gfx::SetTextColor(DC, C);
        RECT Rc = TextRect;
        gfx::OffsetRect(&Rc, AShift, AShift);
        gfx::DrawText(DC, Text, &Rc, Flags);
        if (!IsEmpty(Underline)) {
            RECT U = Underline;
            gfx::OffsetRect(&U, AShift, AShift);
            FillColor(DC, U, static_cast<TColor>(C));
        }
    };

    TColor ShadowColor, TextColor;
    GetTextColors(AControl, AEnabled, ShadowColor, TextColor, AFlatHint && HasSeparateDropDownPart(),
                  ASelected);
    if (ShadowColor != TextColor) DrawAt(1, ShadowColor);
    DrawAt(0, TextColor);

    gfx::SetTextColor(DC, OldColor);
    gfx::SetBkMode(DC, OldMode);
}

void TdxBarItemControlPainter::DrawSelectedFrame(HDC, RECT&) const {}

void TdxBarItemControlPainter::DrawBorder(HDC DC, RECT& R, int AKind, int ASize) const {
    switch (AKind) {
        case 0:
            return;
        case 4:
            gfx::DrawEdge(DC, &R, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
            gfx::InflateRect(&R, -1, -1);
            gfx::DrawEdge(DC, &R, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
            gfx::InflateRect(&R, -1, -1);
            return;
        default: {
            static constexpr gfx::UINT Edges[] = {gfx::BDR_SUNKENOUTER, gfx::BDR_RAISEDINNER,
                                                  gfx::EDGE_ETCHED};
            if (AKind < 1 || AKind > 3) return;
            gfx::DrawEdge(DC, &R, Edges[AKind - 1], gfx::BF_RECT);
            gfx::InflateRect(&R, -ASize, -ASize);
        }
    }
}

void TdxBarItemControlPainter::DrawDownFrame(TdxBarItemControl*, HDC, RECT&, bool, bool, bool) const {}

void TdxBarItemControlPainter::GetTextColorAndBrush(TdxBarItemControl* AControl, const TdxBarPaintState&,
                                                    TColor& AColor, HBRUSH& ABrush) const {
    AColor = gfx::clBtnText;
    ABrush = WindowBrush(BarOf(AControl));
}

HBRUSH TdxBarItemControlPainter::GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType,
                                               const TdxBarPaintState&) const {
    return WindowBrush(BarOf(AControl));
}

int TdxBarItemControlPainter::GetDownOffsetX(TdxBarItemControl*) const {
    return 0;
}

int TdxBarItemControlPainter::GetDownOffsetY(TdxBarItemControl*, bool) const {
    return 0;
}

int TdxBarItemControlPainter::GetMenuIndent(TdxBarItemControl* AControl) const {
    const TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar && Bar->IsMenuWindow() ? Bar->TextHeight() + 1 : 0;
}

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

// ============================================================================
// Menus, sub items, combos and edits
// ============================================================================

void TdxBarItemControlPainter::AdjustMenuBandWidth(int&) const {}

void TdxBarItemControlPainter::AdjustButtonWidth(TdxBarItemControl*, int&) const {}

void TdxBarItemControlPainter::DrawDropDownButtonPart(TdxBarItemControl*, HDC, RECT, TdxBarPaintType, HBRUSH,
                                                      const TdxBarPaintState&, bool, bool) const {}

bool TdxBarItemControlPainter::RepaintAfterDropDown(TdxBarItemControl*) const {
    return false;
}

void TdxBarItemControlPainter::ShiftDownContent(TdxBarItemControl*, bool, RECT&) const {}

void TdxBarItemControlPainter::ShiftSelectedContent(bool, RECT&) const {}

void TdxBarItemControlPainter::DrawComboButton(TdxBarItemControl*, HDC, RECT, bool, bool) const {}

void TdxBarItemControlPainter::GetComboArrowColors(TdxBarItemControl* AControl,
                                                   const TdxBarPaintState& AState, TColor& AColor,
                                                   HBRUSH& ABrush) const {
    GetTextColorAndBrush(AControl, AState, AColor, ABrush);
}

void TdxBarItemControlPainter::DrawDropDownListBorder(HDC, RECT) const {}

int TdxBarItemControlPainter::GetSubItemCaptionIndent(TdxBarItemControl* AControl) const {
    const cls::TFont* Font = FontOf(BarOf(AControl));
    return Font ? std::abs(Font->Height()) / 2 : 0;
}

int TdxBarItemControlPainter::GetSubItemHeight(TdxBarItemControl* AControl) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!Bar) return 0;
    if (Bar->IsMenuWindow()) return Bar->TextHeight();
    const TdxBarManager* Manager = AControl->GetBarManager();
    const int Cell = !Manager                   ? 0
                     : IsRotatedBarControl(Bar) ? Manager->ButtonWidth()
                                                : Manager->ButtonHeight();
    const bool ShowCaption = SubItemShowsCaption(AControl);
    if (!AControl->HasGlyph() && ShowCaption) return Bar->TextHeight();
    if (ShowCaption && Cell < Bar->TextHeight()) return Bar->TextHeight();
    return Cell;
}

int TdxBarItemControlPainter::GetSubItemWidth(TdxBarItemControl* AControl) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!Bar) return 0;
    const int CaptionWidth = TextExtent(FontOf(Bar), RemoveAccelChars(AControl->GetCaption())).cx;
    if (Bar->IsMenuWindow()) return CaptionWidth + 2 * Bar->TextHeight() + 3;
    const TdxBarManager* Manager = AControl->GetBarManager();
    const bool ShowCaption = SubItemShowsCaption(AControl);
    int Result = ShowCaption ? CaptionWidth : 0;
    if (!AControl->HasGlyph() && ShowCaption) {
        Result += 2 * GetSubItemCaptionIndent(AControl);
    } else {
        if (Manager) Result += IsRotatedBarControl(Bar) ? Manager->ButtonHeight() : Manager->ButtonWidth();
        if (ShowCaption) Result += 4;
    }
    if (!Bar->IsMainMenuBar()) Result += Bar->TextHeight() / 2;
    return Result;
}

void TdxBarItemControlPainter::DrawSubItem(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                           TdxBarPaintType APaintType, const TdxBarPaintState& AState) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!Bar || IsEmpty(R)) return;
    if (APaintType == ptMenu) {
        DrawMenuGlyphCell(AControl, DC, R, AState, true);
    } else {
        DrawButton(AControl, DC, R, AState, APaintType, false);
        if (SubItemShowsCaption(AControl)) {
            RECT Caption = GetSubItemCaptionRect(AControl, R, APaintType);
            if (AState.Down && !IsGlyphNotShifted()) gfx::OffsetRect(&Caption, 1, 1);
            // On a toolbar caption and arrow keep the button text colour,
            // selected or not.
            DrawCaption(AControl, DC, AControl->GetCaption(), Caption, 0, AState.Enabled, false,
                        APaintType == ptVert, false, false);
        }
    }
    if (!Bar->IsMainMenuBar())
        DrawSubItemArrow(AControl, DC, R, APaintType, AState.Enabled,
                         APaintType == ptMenu && AState.Selected);
}

int TdxBarItemControlPainter::GetMenuSeparatorHeight(TdxBarSubMenuControl*) const {
    return 10;
}

void TdxBarItemControlPainter::GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1,
                                              int& AExpandHeight, int& AM2) const {
    AM1 = AItemHeight / 4 * 3 + 1;
    AExpandHeight = TextExtent(FontOf(AMenu), "0").cx + 1;
    const int S = GetScrollArrowSize(AMenu, AExpandHeight);
    if (S % 2 != 0) AExpandHeight = (S - 1) * 2 + 6;
    AM2 = 19;
}

void TdxBarItemControlPainter::GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, RECT& R,
                                                int* ACounter) const {
    GetMenuLinksRectIn(AMenu, 2, AMenu && AMenu->Detachable() ? 0 : 2, ABottom, R, ACounter);
}

void TdxBarItemControlPainter::AdjustMenuSize(TdxBarSubMenuControl* AMenu, SIZE& AContentSize,
                                              SIZE& AWindowSize) const {
    AdjustMenuSizeBy(AMenu, AContentSize, AWindowSize, 6, 4);
}

int TdxBarItemControlPainter::GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const {
    return AMenu ? AMenu->GetDetachBarBaseSize() + 3 : 0;
}

void TdxBarItemControlPainter::DrawMenuBackground(TdxBarSubMenuControl* AMenu, HDC DC,
                                                  int AShownCount) const {
    RECT Button{};
    if (!DrawMenuBackgroundAboveButton(AMenu, DC, AShownCount, GetMenuBottomIndent(), true, Button)) return;
    const bool Hot = AMenu->MarkState() == 1;
    if (Hot) {
        RECT Inner = Button;
        gfx::DrawEdge(DC, &Inner, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
        Inner = Deflated(Inner, 1, 1);
        AMenu->SelectBackgroundPalette(DC);
        if (!IsEmpty(Inner)) gfx::FillRect(DC, &Inner, AMenu->RarelyUsedBrush());
        AMenu->RestorePalette(DC);
    } else {
        FillThroughWindow(AMenu, DC, Button, AMenu->GetBackgroundBrush());
    }
    DrawExpandArrows(AMenu, DC, Hot, Button);
}

void TdxBarItemControlPainter::FillMenuSideStrip(TdxBarSubMenuControl* AMenu, HDC DC, TColor AColor,
                                                 HBRUSH ABrush, const RECT& R) const {
    if (IsEmpty(R)) return;
    FillVisibleBackground(DC, R, R, ABrush, AColor, AMenu ? AMenu->GetBackgroundBitmap() : nullptr);
}

void TdxBarItemControlPainter::DrawMenuFrame(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    FillSys(DC, RECT{R.left, R.top, R.right, R.top + 1}, gfx::COLOR_BTNFACE);
    FillSys(DC, RECT{R.left, R.top, R.left + 1, R.bottom}, gfx::COLOR_BTNFACE);
    RECT Edge = R;
    gfx::DrawEdge(DC, &Edge, gfx::BDR_RAISEDOUTER, gfx::BF_RIGHT | gfx::BF_BOTTOM);
    if (!AMenu || !AMenu->Detachable()) return;
    const RECT Inner = Deflated(R, 1, 1);
    RECT Strip{Inner.left, Inner.top, Inner.right,
               std::min<int>(Inner.bottom, Inner.top + GetDetachBarHeight(AMenu))};
    gfx::DrawEdge(DC, &Strip, gfx::BDR_RAISEDINNER, gfx::BF_LEFT | gfx::BF_TOP | gfx::BF_RIGHT);
    const RECT Ring{Strip.left + 1, Strip.top + 1, Strip.right - 1, Strip.bottom};
    if (!IsEmpty(Ring)) gfx::FrameRect(DC, &Ring, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    FillDetachBar(AMenu, DC, Deflated(Ring, 1, 1));
}

void TdxBarItemControlPainter::DrawExpandButton(TdxBarSubMenuControl* AMenu, HDC DC, HBRUSH ABrush,
                                                RECT& R) const {
    if (AMenu && AMenu->Detachable()) R.top -= 2;
    if (IsEmpty(R)) return;
    gfx::DrawEdge(DC, &R, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
    R = Deflated(R, 1, 1);
    if (!IsEmpty(R)) gfx::FrameRect(DC, &R, ABrush);
}

void TdxBarItemControlPainter::FillDetachBar(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    FillSys(DC, R, AMenu && AMenu->DetachBarHot() ? gfx::COLOR_ACTIVECAPTION : gfx::COLOR_INACTIVECAPTION);
}

void TdxBarItemControlPainter::DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                                                 TdxBarLinkState& ALinkState, HDC DC, const RECT& R) const {
    ALinkState.SeparatorRect = RECT{};
    if (!AMenu || !ALinkState.BeginGroup || IsEmpty(R)) return;
    const int Bottom = R.top - (ALinkState.RarelyUsed ? 1 : 0);
    const RECT Row{R.left, Bottom - GetMenuSeparatorHeight(AMenu), R.right, Bottom};
    ALinkState.SeparatorRect = Row;
    if (IsEmpty(Row)) return;

    const HBRUSH Brush = ALinkState.RarelyUsed ? AMenu->GetBarBrush() : WindowBrush(AMenu);
    const TdxBarManager* Manager = AMenu->GetBarManager();
    const int Indent = Manager ? Manager->MenuSeparatorIndent() : GetMenuSeparatorIndent();
    RECT Line{Row.left + Indent, Row.top + (Height(Row) - 2) / 2, Row.right - Indent, 0};
    Line.bottom = std::min<int>(Line.top + 2, Row.bottom);
    Line.right = std::max(Line.right, Line.left);
    auto Fill = [&](const RECT& Part) {
        if (IsEmpty(Part)) return;
        if (AControl)
            FillGlyphCell(AControl, DC, Part, Brush, false);
        else
            AMenu->FillBackground(DC, Part, Brush, AMenu->Color());
    };
    Fill(RECT{Row.left, Row.top, Row.right, Line.top});
    Fill(RECT{Row.left, Line.bottom, Row.right, Row.bottom});
    Fill(RECT{Row.left, Line.top, Line.left, Line.bottom});
    Fill(RECT{Line.right, Line.top, Row.right, Line.bottom});
    if (!IsEmpty(Line)) gfx::DrawEdge(DC, &Line, gfx::EDGE_ETCHED, gfx::BF_TOP);
}

void TdxBarItemControlPainter::DrawRarelyUsedBand(TdxBarSubMenuControl*, const TdxBarLinkState&, HDC, int,
                                                  const RECT&) const {}

int TdxBarItemControlPainter::GetScrollArrowSize(TdxBarSubMenuControl*, int AHeight) const {
    return (AHeight - 6) / 2;
}

int TdxBarItemControlPainter::GetExpandButtonHeightExtra(TdxBarSubMenuControl*) const {
    return 1;
}

void TdxBarItemControlPainter::GetMenuContentRect(TdxBarSubMenuControl*, RECT& R) const {
    R = Deflated(R, 3, 3);
}

void TdxBarItemControlPainter::PrepareMenuItemBackground(TdxBarSubMenuControl*, HBRUSH&) const {}

HBRUSH TdxBarItemControlPainter::GetMenuBackgroundBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

void TdxBarItemControlPainter::DrawEditItemText(HDC DC, HBRUSH ABrush, const RECT& R,
                                                const std::string& AText) const {
    if (IsEmpty(R)) return;
    gfx::FillRect(DC, &R, ABrush);
    RECT TextRect = Deflated(R, 2, 0);
    AdjustEditTextRect(TextRect);
    const int OldMode = gfx::SetBkMode(DC, gfx::TRANSPARENT);
    gfx::DrawText(DC, AText, &TextRect, gfx::DT_NOPREFIX);
    gfx::SetBkMode(DC, OldMode);
}

void TdxBarItemControlPainter::DrawComboText(TdxBarItemControl*, cls::TCanvas* ACanvas, const RECT& R, int,
                                             const std::string& AText) const {
    if (!ACanvas || IsEmpty(R)) return;
    ACanvas->FillRect(R);
    ACanvas->TextOut(R.left + 2, R.top, AText);
}

int TdxBarItemControlPainter::GetEditCaptionWidth(TdxBarItemControl*, int AWidth) const {
    return AWidth + 6;
}

void TdxBarItemControlPainter::DrawEditFrame(TdxBarItemControl* AControl, HDC DC, RECT& R, TdxBarPaintType,
                                             bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    const HBRUSH Brush = WindowBrush(BarOf(AControl));
    const bool CustomizingSelected = AControl->IsCustomizingSelected();
    if (ASelected)
        gfx::DrawEdge(DC, &R, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    else
        FrameGlyphCell(AControl, DC, R, Brush, CustomizingSelected);
    R = Deflated(R, 1, 1);
    const bool Enabled = AControl->GetEnabled();
    FrameGlyphCell(AControl, DC, R, Enabled ? Brush : gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT),
                   !(Enabled && !ASelected && !CustomizingSelected));
    R = Deflated(R, 1, 1);
}

void TdxBarItemControlPainter::DrawEditCaption(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                               TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const std::string Caption = AControl->GetCaption();
    const int TextWidth = TextExtent(FontOf(Bar), RemoveAccelChars(Caption)).cx;
    const bool SelectedInMenu = ASelected && APaintType == ptMenu;
    const HBRUSH Background = WindowBrush(BarOf(AControl));
    const HBRUSH Brush = SelectedInMenu && Bar ? Bar->GetHighlightBrush() : Background;
    const bool Solid = APaintType == ptMenu && (ASelected || AControl->IsCustomizingSelected());
    const RECT CaptionRect{R.left, R.top, std::min<int>(R.right, R.left + 2 + TextWidth), R.bottom};
    FillGlyphCell(AControl, DC, CaptionRect, Brush, Solid);
    DrawCaption(AControl, DC, Caption, Deflated(CaptionRect, 1, 0), 0, AControl->GetEnabled(), SelectedInMenu,
                false, false, false);
    const int Gap = std::min<int>(R.right, CaptionRect.right + 4);
    FillGlyphCell(AControl, DC, RECT{CaptionRect.right, R.top, Gap, R.bottom}, Background, false);
    R.left = Gap;
}

void TdxBarItemControlPainter::DrawEditWindow(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                              const std::string& AText) const {
    if (IsEmpty(R)) return;
    TColor TextColor, BkColor;
    GetEditColors(AControl, TextColor, BkColor);
    DrawEditTextIn(AControl, DC, R, AText, TextColor, BkColor);
}

void TdxBarItemControlPainter::DrawEditTextIn(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                              const std::string& AText, TColor TextColor,
                                              TColor BkColor) const {
    SavedClip Clip(DC);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    cls::TFont* Font = FontOf(BarOf(AControl));
    const HGDIOBJ OldFont = Font ? gfx::SelectObject(DC, Font->Handle()) : nullptr;
    const COLORREF OldText = gfx::SetTextColor(DC, gfx::ColorToRGB(TextColor));
    const TempBrush Brush(BkColor);
    DrawEditItemText(DC, Brush.Handle(), R, AText);
    gfx::SetTextColor(DC, OldText);
    if (OldFont) gfx::SelectObject(DC, OldFont);
}

unsigned TdxBarItemControlPainter::GetEditWindowStyle() const {
    return ES_AUTOHSCROLL;
}

void TdxBarItemControlPainter::SetEditMargins(TdxBarItemControl*, win::HWND) const {}

void TdxBarItemControlPainter::SelectAllText(win::HWND AWnd, bool) const {
    win::SendMessage(AWnd, EM_SETSEL, 0, -1);
}

void TdxBarItemControlPainter::DrawEllipsisButton(TdxBarItemControl* AControl, HDC DC, RECT R, bool ASelected,
                                                  bool ADown) const {
    if (!AControl || IsEmpty(R)) return;
    const HBRUSH Brush = WindowBrush(BarOf(AControl));
    FrameGlyphCell(AControl, DC, R, Brush, false);
    FrameGlyphCell(AControl, DC, Deflated(R, 0, 1), Brush, false);
    R = Deflated(R, 1, 1);
    DrawDownFrame(AControl, DC, R, ADown, ASelected, false);
    const int Unit = Width(R) / 7;
    if (Unit <= 0) return;
    const bool Enabled = AControl->GetEnabled();
    const int Bottom = R.bottom - Unit;
    for (int I = 0; I < 3; ++I) {
        const int Left = R.left + Unit + 2 * I * Unit;
        const RECT Dot{Left, Bottom - Unit, Left + Unit, Bottom};
        if (!Enabled)
            DrawEtchedLine(DC, Dot);
        else
            FillSys(DC, Dot,
                    ASelected && lf::IsHighContrastWhite() ? gfx::COLOR_BTNFACE : gfx::COLOR_BTNTEXT);
    }
}

void TdxBarItemControlPainter::AdjustDropDownSizeGrip(TdxBarItemControl* AControl, bool AOpen, int& ACorner,
                                                      RECT& R) const {
    ACorner = -1;
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!AOpen || !Bar) return;
    ACorner = lf::GetSizeGripCorner(Bar->GetItemControlScreenRect(AControl), R);
    if (ACorner >= 2)
        R.bottom -= GetSizeGripBandHeight();
    else
        R.top += GetSizeGripBandHeight();
}

void TdxBarItemControlPainter::DrawDropDownWindowFrame(win::HWND AWnd, bool AFlat, int ACorner, bool AHot,
                                                       bool APressed, RECT& AGripRect,
                                                       RECT& AButtonRect) const {
    DrawDropDownWindowNC(AWnd, AFlat, ACorner, AHot, APressed, AGripRect, AButtonRect);
}

int TdxBarItemControlPainter::GetSizeGripBandHeight() const {
    return lf::GetSizeGripAreaHeight();
}

void TdxBarItemControlPainter::DrawPushButtonFrame(TdxBarItemControl*, HDC DC, bool APressed, RECT R,
                                                   const std::string& AText) const {
    if (IsEmpty(R)) return;
    if (APressed) {
        RECT Face = R;
        gfx::DrawFrameControl(DC, &Face, gfx::DFC_BUTTON, gfx::DFCS_BUTTONPUSH | gfx::DFCS_PUSHED);
    } else {
        const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
        FillSys(DC, RECT{L, T, Rt - 1, T + 1}, gfx::COLOR_BTNFACE);
        FillSys(DC, RECT{L, T, L + 1, B - 1}, gfx::COLOR_BTNFACE);
        FillSys(DC, RECT{L, B - 1, Rt, B}, gfx::COLOR_BTNTEXT);
        FillSys(DC, RECT{Rt - 1, T, Rt, B}, gfx::COLOR_BTNTEXT);
        FillSys(DC, RECT{L + 1, T + 1, Rt - 2, T + 2}, gfx::COLOR_BTNHIGHLIGHT);
        FillSys(DC, RECT{L + 1, T + 1, L + 2, B - 2}, gfx::COLOR_BTNHIGHLIGHT);
        FillSys(DC, RECT{L + 1, B - 2, Rt - 1, B - 1}, gfx::COLOR_BTNSHADOW);
        FillSys(DC, RECT{Rt - 2, T + 1, Rt - 1, B - 1}, gfx::COLOR_BTNSHADOW);
        FillSys(DC, RECT{Rt - 2, T + 1, Rt - 1, T + 2}, gfx::COLOR_BTNFACE);
    }
    DrawCenteredText(DC, Deflated(R, 2, 2), true, AText, APressed ? 1 : 0);
}

TColor TdxBarItemControlPainter::GetProgressDefaultColor() const {
    return gfx::clBtnFace;
}

void TdxBarItemControlPainter::DrawSpinButton(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                              int ADirection, bool ASelected, bool ADown, int AArrowSize,
                                              bool AVertical) const {
    const bool Disabled = AControl && !AControl->GetEnabled();
    DrawSpinButtonHalf(AControl, DC, R, ADirection, ASelected, ADown, AArrowSize, AVertical,
                       Disabled ? gfx::clBtnShadow : gfx::clBtnText,
                       Disabled ? gfx::clBtnHighlight : gfx::clNone);
}

void TdxBarItemControlPainter::FillSpinGap(TdxBarItemControl* AControl, HDC DC, RECT& R) const {
    if (IsEmpty(R)) return;
    const HBRUSH Brush = WindowBrush(BarOf(AControl));
    FillGlyphCell(AControl, DC, RECT{R.left, R.top, R.right, R.top + 1}, Brush, false);
    FillGlyphCell(AControl, DC, RECT{R.left, R.bottom - 1, R.right, R.bottom}, Brush, false);
    R = Deflated(R, 1, 0);
}

TColor TdxBarItemControlPainter::GetProgressBarColor() const {
    return static_cast<TColor>(gfx::GetSysColor(gfx::COLOR_HIGHLIGHT));
}

void TdxBarItemControlPainter::DrawProgressBar(TdxBarItemControl* AControl, HDC DC, int AMax, int AMin,
                                               int APosition, bool ASolid, int AOrientation, TColor AColor,
                                               const RECT& R) const {
    if (IsEmpty(R)) return;
    const bool Vertical = AOrientation == 2;
    const int Length = Vertical ? Height(R) : Width(R);
    const int Thickness = Vertical ? Width(R) : Height(R);
    // A bar whose range is empty shows nothing filled.
    int Filled = 0;
    if (AMax != AMin) {
        const long long Done = static_cast<long long>(Length) * (static_cast<long long>(APosition) - AMin) /
                               (static_cast<long long>(AMax) - AMin);
        Filled = static_cast<int>(std::clamp<long long>(Done, 0, Length));
    }
    // Along the bar: from the left, or up from the bottom.
    auto Part = [&](int AFrom, int ATo) {
        return Vertical ? RECT{R.left, R.bottom - ATo, R.right, R.bottom - AFrom}
                        : RECT{R.left + AFrom, R.top, R.left + ATo, R.bottom};
    };
    const HBRUSH Background = WindowBrush(BarOf(AControl));
    const TempBrush Brush(AColor);
    if (ASolid) {
        const RECT Done = Part(0, Filled);
        if (Filled > 0) gfx::FillRect(DC, &Done, Brush.Handle());
    } else if (Filled > 0) {
        // Only the blocks the DC can show are drawn, so a huge bar stays cheap.
        const RECT Visible = ClipBox(DC);
        const int VisibleFrom = Vertical ? R.bottom - Visible.bottom : Visible.left - R.left;
        const int VisibleTo = Vertical ? R.bottom - Visible.top : Visible.right - R.left;
        const int Block = std::max(1, Thickness * 2 / 3);
        const int Step = Block + 2;
        const int Start = std::max(0, VisibleFrom) / Step * Step;
        const int End = std::min(Filled, VisibleTo);
        for (int Pos = Start; Pos < End; Pos += Step) {
            const RECT BlockRect = Part(Pos, std::min(Pos + Block, Filled));
            gfx::FillRect(DC, &BlockRect, Brush.Handle());
            if (Pos + Block < Filled)
                FillGlyphCell(AControl, DC, Part(Pos + Block, std::min(Pos + Step, Filled)), Background,
                              false);
        }
    }
    if (Filled < Length) FillGlyphCell(AControl, DC, Part(Filled, Length), Background, false);
}

int TdxBarItemControlPainter::GetProgressIndentX(TdxBarItemControl*) const {
    return 0;
}

HBRUSH TdxBarItemControlPainter::GetProgressFrameBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlPainter::DrawCaptionBar(TdxBarItemControl* AControl, HDC DC, RECT R, bool AExpanded,
                                              bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const HBRUSH Background = WindowBrush(BarOf(AControl));
    FillGlyphCell(AControl, DC, RECT{R.left, R.top, R.right, R.bottom - 1}, Background, false);
    const RECT Last{R.left, R.bottom - 1, R.right, R.bottom};
    gfx::FillRect(DC, &Last, ASelected && Bar ? Bar->GetHighlightBrush() : GetProgressFrameBrush());
    --R.bottom;
    DrawCaptionBarText(AControl, DC, R, AExpanded, ASelected, false);
}

// ============================================================================
// Answers the windows ask for
// ============================================================================

int TdxBarItemControlPainter::GetExpandButtonIndent(TdxBarSubMenuControl*) const {
    return 1;
}

// ============================================================================
// Steps the styles' operations share
// ============================================================================

void TdxBarItemControlPainter::DrawControlGlyph(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush,
                                                const RECT& R, const RECT& AGlyphRect,
                                                cls::TCustomImageList* AImages,
                                                const TdxBarPaintState& AState, bool AFlat,
                                                bool AFilled) const {
    const TdxBarManager* Manager = AControl->GetBarManager();
    DrawGlyph(DC, ABrush, R, AGlyphRect, AControl->GetGlyph(), AImages, AControl->GetImageIndex(),
              AState.Enabled, AState.GrayScale, AFlat, AState.Selected, AState.Down, AState.Pressed, AFlat,
              AFilled, GetDisabledImageFadeColor(AControl->Parent()),
              Manager ? Manager->ImageListBkColor() : gfx::clFuchsia);
}

TdxBarPaintState TdxBarItemControlPainter::GetComboButtonState(TdxBarItemControl* AControl, bool ASelected,
                                                               TColor& AArrowColor,
                                                               HBRUSH& AArrowBrush) const {
    TdxBarPaintState State;
    State.Enabled = AControl->GetEnabled();
    State.Selected = ASelected;
    State.DroppedDown = IsDropDownOpen(AControl);
    GetComboArrowColors(AControl, State, AArrowColor, AArrowBrush);
    return State;
}

void TdxBarItemControlPainter::DrawComboArrow(HDC DC, RECT APart, bool ADroppedDown, TColor AColor,
                                              int AShift) const {
    if (ADroppedDown) gfx::OffsetRect(&APart, 1, 1);
    int Size = Width(APart) / 2;
    if (Size % 2 == 0) ++Size;
    DrawDownArrow(DC, AColor, Size, (APart.left + APart.right - Size) / 2 + AShift,
                  (APart.top + APart.bottom - Size / 2) / 2 + AShift);
}

RECT TdxBarItemControlPainter::GetSubItemCaptionRect(TdxBarItemControl* AControl, const RECT& R,
                                                     TdxBarPaintType APaintType) const {
    const TdxBarManager* Manager = AControl->GetBarManager();
    const int Indent = !AControl->HasGlyph()  ? GetSubItemCaptionIndent(AControl)
                       : !Manager             ? 0
                       : APaintType == ptVert ? Manager->ButtonHeight()
                                              : Manager->ButtonWidth();
    RECT Caption = R;
    (APaintType == ptVert ? Caption.top : Caption.left) += Indent;
    return Caption;
}

void TdxBarItemControlPainter::DrawSubItemArrow(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                TdxBarPaintType APaintType, bool AEnabled,
                                                bool ASelected) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!Bar) return;
    const int ItemHeight = Bar->TextHeight();
    RECT Arrow = R;
    if (APaintType == ptMenu) {
        const int S = Bar->TextHeightFifth();
        Arrow.left = R.right - ItemHeight + S;
        Arrow.right = Arrow.left + S;
        DrawSubMenuArrow(DC, Arrow, S, AEnabled, ASelected, false);
        return;
    }
    // The arrow is centred in the strip that GetSubItemWidth keeps for it at
    // the far end, half the item height: reaching back by half the font's
    // height, it ran into the caption.
    const int S = Bar->TextHeightFifth() - 1;
    const int Strip = ItemHeight / 2;
    const int Inset = Strip - std::max(0, (Strip - (2 * S - 1)) / 2);
    if (APaintType == ptHorz) {
        Arrow.left = R.right - Inset;
        Arrow.right = Arrow.left + 2 * S - 1;
        DrawSubMenuArrow(DC, Arrow, S, AEnabled, ASelected, true);
    } else {
        Arrow.top = R.bottom - Inset;
        Arrow.bottom = Arrow.top + 2 * S - 1;
        DrawSubMenuArrow(DC, Arrow, S, AEnabled, ASelected, false);
    }
}

void TdxBarItemControlPainter::DrawCaptionBarText(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                  bool AExpanded, bool ASelected, bool AFlatHint) const {
    const bool Enabled = AControl->GetEnabled();
    DrawCaption(AControl, DC, AControl->GetCaption(), RECT{R.left + 5, R.top, R.right, R.bottom}, 0, Enabled,
                ASelected, false, false, AFlatHint);
    const TCustomdxBarControl* Bar = AControl->Parent();
    if (Enabled && Bar) {
        const int ItemHeight = Bar->TextHeight();
        DrawSubMenuArrow(DC, RECT{std::max<int>(R.left, R.right - ItemHeight), R.top, R.right, R.bottom},
                         Bar->TextHeightFifth(), true, ASelected, AExpanded);
    }
}

void TdxBarItemControlPainter::DrawSpinButtonHalf(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                  int ADirection, bool ASelected, bool ADown, int AArrowSize,
                                                  bool AVertical, TColor AColor, TColor AShadowColor) const {
    if (IsEmpty(R)) return;
    RECT Half = R;
    const bool First = ADirection == 1;
    if (AVertical)
        (First ? Half.bottom : Half.top) = (R.top + R.bottom) / 2;
    else
        (First ? Half.right : Half.left) = (R.left + R.right) / 2;
    if (ADown) {
        RECT Frame = Half;
        DrawDownFrame(AControl, DC, Frame, true, ASelected, true);
    }
    if (AArrowSize <= 0) return;
    const int Shift = ADown ? 1 : 0;
    if (AShadowColor != gfx::clNone)
        DrawSpinArrow(DC, Half, First, AVertical, AArrowSize, Shift + 1, AShadowColor);
    DrawSpinArrow(DC, Half, First, AVertical, AArrowSize, Shift, AColor);
}

void TdxBarItemControlPainter::GetMenuLinksRectIn(TdxBarSubMenuControl* AMenu, int AInset, int ATop,
                                                  int& ABottom, RECT& R, int* ACounter) {
    if (!AMenu) {
        R = RECT{};
        ABottom = 0;
        return;
    }
    R = RECT{AMenu->GetBarSize() + AInset, ATop, AMenu->ClientWidth() - AInset, ATop};
    if (ACounter) {
        *ACounter = 0;
        ABottom = 0x7FFFFFFF;
    } else {
        ABottom = AMenu->ClientHeight() - AInset - (AMenu->HasExpandButton() ? AMenu->TextHeight() : 0);
    }
}

void TdxBarItemControlPainter::AdjustMenuSizeBy(TdxBarSubMenuControl* AMenu, SIZE& AContentSize,
                                                SIZE& AWindowSize, int AWidthExtra, int AHeightExtra) const {
    if (!AMenu) return;
    AWindowSize.cx = AWindowSize.cx == 0 ? 100 : AWindowSize.cx + AMenu->GetBarSize() + AWidthExtra;
    if (AContentSize.cy <= 2 || AMenu->HasExpandButton()) AContentSize.cy += AMenu->TextHeight();
    AWindowSize.cy = AContentSize.cy + AHeightExtra + (AMenu->Detachable() ? GetDetachBarHeight(AMenu) : 0);
}

bool TdxBarItemControlPainter::DrawMenuBackgroundAboveButton(TdxBarSubMenuControl* AMenu, HDC DC,
                                                             int AShownCount, int ABottomIndent,
                                                             bool ALineAboveScrollDown, RECT& AButton) const {
    if (!AMenu) return false;
    const HBRUSH Brush = AMenu->GetBackgroundBrush();
    auto Fill = [&](const RECT& R) { FillThroughWindow(AMenu, DC, R, Brush); };
    RECT Content{};
    int Bottom = 0;
    GetMenuLinksRect(AMenu, Bottom, Content, nullptr);
    int LinksBottom = Content.top;

    SavedClip Clip(DC);
    TdxBarItemLinks* Links = AMenu->ItemLinks();
    const int Count = Links ? Links->VisibleItemCount() : 0;
    const int First = AMenu->TopIndex();
    if (First >= 0 && First < Count) {
        // Scroll buttons keep their arrows out of the clip region while they
        // are filled around them.
        if (AMenu->HasItemsAbove()) {
            const RECT Up = Links->VisibleItems(First)->ItemRect();
            DrawScrollArrow(AMenu, DC, true, Up);
            Fill(Up);
            Clip.Restore();
        }
        const int LastIndex = std::min(First + std::max(AShownCount, 1), Count) - 1;
        TdxBarItemLink* Last = Links->VisibleItems(LastIndex);
        const RECT Down = Last->ItemRect();
        if (AMenu->CanScrollDown()) {
            if (ALineAboveScrollDown && LastIndex > First && Last->GetBeginGroup()) {
                const RECT Row{Down.left, Down.top - 1, Down.right, Down.top};
                Fill(RECT{Down.left, Down.top - GetMenuSeparatorHeight(AMenu), Down.right, Row.top});
                FillSys(DC, Row,
                        IsRarelyUsed(Last->Control()) ? gfx::COLOR_BTNSHADOW : gfx::COLOR_BTNHIGHLIGHT);
            }
            DrawScrollArrow(AMenu, DC, false, Down);
            Fill(Down);
            Clip.Restore();
        }
        LinksBottom = std::max<int>(LinksBottom, Down.bottom);
    }

    const int ExpandRow = AMenu->HasExpandButton() ? AMenu->TextHeight() : 0;
    const int AreaBottom = AMenu->ClientHeight() - ABottomIndent - ExpandRow;
    Fill(RECT{Content.left, LinksBottom, Content.right, AreaBottom});
    if (!ExpandRow) return false;
    const RECT Row{Content.left, AreaBottom, Content.right, AreaBottom + ExpandRow};
    AButton = Row;
    AButton.top = Row.bottom - std::clamp(AMenu->ScrollButtonHeight(), 0, ExpandRow);
    Fill(RECT{Row.left, Row.top, Row.right, AButton.top});
    return true;
}

// ============================================================================
// Painter choice
// ============================================================================

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

TdxBarItemControlPainterClass GetPainterClassOfStyle(TdxBarManagerStyle AEffectiveStyle,
                                                     bool AThemeAvailable) {
    switch (AEffectiveStyle) {
        case bmsStandard:
            return TdxBarItemControlStandardPainter::Class();
        // Without visual styles the XP look falls back to the Enhanced one.
        case bmsXP:
            return AThemeAvailable ? TdxBarItemControlXPPainter::Class()
                                   : TdxBarItemControlEnhancedPainter::Class();
        case bmsEnhanced:
        case bmsUseLookAndFeel:
            return TdxBarItemControlEnhancedPainter::Class();
        case bmsFlat:
            return TdxBarItemControlFlatPainter::Class();
        case bmsOffice11:
            return TdxBarItemControlOffice11Painter::Class();
    }
    return TdxBarItemControlPainter::Class();
}

// ============================================================================
// Drop-down window frames
// ============================================================================

void DrawDropDownCloseButton(HDC DC, RECT& R, int ACorner, bool AHot, bool APressed) {
    if (IsEmpty(R)) {
        R = RECT{};
        return;
    }
    SavedClip Clip(DC);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    const int ButtonWidth = win::GetSystemMetrics(win::SM_CXSIZE);
    const int ButtonHeight = ButtonWidth + 1;
    RECT Button;
    Button.left = ACorner == 1 || ACorner == 3 ? R.left : R.right - ButtonWidth;
    Button.right = Button.left + ButtonWidth;
    Button.top = R.top + (Height(R) - ButtonHeight) / 2 + (ACorner >= 2 ? 1 : 0);
    Button.bottom = Button.top + ButtonHeight;
    Button = Deflated(Button, 1, 2);
    R = Button;
    if (IsEmpty(Button)) return;
    if (AHot)
        gfx::DrawEdge(DC, &Button, APressed ? gfx::BDR_SUNKENOUTER : gfx::BDR_RAISEDINNER, gfx::BF_RECT);
    else
        gfx::FrameRect(DC, &Button, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    const RECT Ring = Deflated(Button, 1, 1);
    if (IsEmpty(Ring)) return;
    gfx::FrameRect(DC, &Ring, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    const RECT Inside = Deflated(Ring, 1, 1);
    if (IsEmpty(Inside)) return;
    gfx::IntersectClipRect(DC, Inside.left, Inside.top, Inside.right, Inside.bottom);
    RECT Glyph = Inside;
    if (ButtonWidth != 22) gfx::OffsetRect(&Glyph, 0, 1);
    gfx::DrawFrameControl(DC, &Glyph, gfx::DFC_CAPTION,
                          gfx::DFCS_CAPTIONCLOSE | gfx::DFCS_FLAT |
                              (AHot && APressed ? gfx::UINT{gfx::DFCS_PUSHED} : 0));
}

void DrawDropDownWindowNC(win::HWND AWnd, bool AFlat, int ACorner, bool AHot, bool APressed, RECT& AGripRect,
                          RECT& AButtonRect) {
    AGripRect = RECT{};
    AButtonRect = RECT{};
    RECT Window{};
    if (!win::GetWindowRect(AWnd, &Window)) return;
    AGripRect = Window;
    AButtonRect = Window;
    const HDC DC = win::GetWindowDC(AWnd);
    if (!DC) return;
    const RECT Frame{0, 0, Width(Window), Height(Window)};
    RECT Client{};
    win::GetClientRect(AWnd, &Client);
    POINT Corners[2] = {{Client.left, Client.top}, {Client.right, Client.bottom}};
    win::MapWindowPoints(AWnd, nullptr, Corners, 2);
    Client = RECT{Corners[0].x - Window.left, Corners[0].y - Window.top, Corners[1].x - Window.left,
                  Corners[1].y - Window.top};

    const HBRUSH FrameBrush = gfx::GetSysColorBrush(AFlat ? gfx::COLOR_BTNSHADOW : gfx::COLOR_WINDOWFRAME);
    gfx::FrameRect(DC, &Frame, FrameBrush);
    if (!AFlat) {
        AGripRect = RECT{};
        AButtonRect = RECT{};
        win::ReleaseDC(AWnd, DC);
        return;
    }
    {
        SavedClip Clip(DC);
        const bool AtBottom = ACorner >= 2;
        const int BandHeight = lf::GetSizeGripAreaHeight();
        const RECT Inside = Deflated(Frame, 1, 1);
        RECT Band = Inside, Line = Inside;
        if (AtBottom) {
            Band.top = std::max<int>(Band.top, Band.bottom - BandHeight);
            Line.top = std::max<int>(Inside.top, Band.top - 1);
            Line.bottom = Band.top;
        } else {
            Band.bottom = std::min<int>(Band.bottom, Band.top + BandHeight);
            Line.top = Band.bottom;
            Line.bottom = std::min<int>(Inside.bottom, Band.bottom + 1);
        }
        if (!IsEmpty(Line)) gfx::FillRect(DC, &Line, FrameBrush);
        // The grip and the close button leave parts of their areas as they
        // were: the band is laid first.
        FillSys(DC, Band, gfx::COLOR_BTNFACE);

        RECT Grip = Band;
        lf::DrawSizeGrip(DC, Grip, ACorner);
        gfx::InflateRect(&Grip, 2, 2);
        gfx::IntersectRect(&Grip, &Grip, &Band);
        gfx::ExcludeClipRect(DC, Grip.left, Grip.top, Grip.right, Grip.bottom);
        AGripRect = Grip;
        gfx::OffsetRect(&AGripRect, Window.left, Window.top);

        RECT Button = Band;
        DrawDropDownCloseButton(DC, Button, ACorner, AHot, APressed);
        gfx::ExcludeClipRect(DC, Button.left, Button.top, Button.right, Button.bottom);
        AButtonRect = Button;
        gfx::OffsetRect(&AButtonRect, Window.left, Window.top);

        const auto Style = static_cast<gfx::DWORD>(win::GetWindowLongPtr(AWnd, win::GWL_STYLE));
        if ((Style & win::WS_HSCROLL) && (Style & win::WS_VSCROLL)) {
            const int CX = win::GetSystemMetrics(win::SM_CXVSCROLL),
                      CY = win::GetSystemMetrics(win::SM_CYHSCROLL);
            FillSys(DC, RECT{Client.right, Client.bottom, Client.right + CX, Client.bottom + CY},
                    gfx::COLOR_BTNFACE);
        }
    }
    win::ReleaseDC(AWnd, DC);
}

} // namespace bars
