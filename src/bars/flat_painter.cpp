#include "bars/flat_painter.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/painter_internal.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "classes/graphics.h"
#include "classes/imagelist.h"
#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "win/user.h"

#include <algorithm>

namespace bars {

using gfx::HBRUSH;
using gfx::HDC;
using gfx::POINT;
using gfx::RECT;
using gfx::SIZE;
using gfx::TColor;

using namespace detail;

namespace {

constexpr win::UINT EM_SETRECTNP = 0x00B4;
constexpr win::WPARAM EN_CHANGE_COMMAND = 0x0300u << 16;
constexpr unsigned ES_MULTILINE = 0x0004;

// --- The manager's colour brushes ---

enum class TBlend { DarkShade, LightShade, Checker, Down, Hot };

HBRUSH ManagerBrush(const TdxBarManager* AManager, TBlend ABlend) {
    HBRUSH Brush = nullptr;
    if (AManager) {
        switch (ABlend) {
            case TBlend::DarkShade:
                Brush = AManager->DarkShadeBrush();
                break;
            case TBlend::LightShade:
                Brush = AManager->LightShadeBrush();
                break;
            case TBlend::Checker:
                Brush = AManager->FaceMixBrush();
                break;
            case TBlend::Down:
                Brush = AManager->HighlightMixBrush();
                break;
            case TBlend::Hot:
                Brush = AManager->WindowMixBrush();
                break;
        }
    }
    if (Brush) return Brush;
    switch (ABlend) {
        case TBlend::DarkShade:
            return gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
        case TBlend::LightShade:
            return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
        case TBlend::Checker:
            return CheckerBrush() ? CheckerBrush() : gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
        case TBlend::Down:
        case TBlend::Hot:
            break;
    }
    return gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT);
}

HBRUSH LightShade(const TCustomdxBarControl* ABarControl) {
    return ManagerBrush(ManagerOf(ABarControl), TBlend::LightShade);
}

} // namespace

TdxBarItemControlPainterClass TdxBarItemControlFlatPainter::Class() {
    static const TdxBarItemControlFlatPainter Painter;
    return &Painter;
}

// ============================================================================
// Item controls
// ============================================================================

void TdxBarItemControlFlatPainter::DrawGlyphFrame(TdxBarItemControl* AControl, HDC DC,
                                                  TdxBarPaintType APaintType, const TdxBarPaintState& AState,
                                                  const RECT& R, bool AFrame, bool, HBRUSH ABrush) const {
    if (IsEmpty(R)) return;
    if (AState.Selected || (AState.Down && APaintType != ptMenu)) {
        TdxBarSubMenuControl* Open = AControl ? AControl->GetChildMenuControl() : nullptr;
        if (AState.Selected && AState.DroppedDown && Open)
            DrawWindowFrame(Open, DC, R, AControl);
        else
            FrameSelected(DC, R);
    } else if (AFrame) {
        const bool Solid = AState.Selected || AState.Down || AState.Pressed || IsRarelyUsed(AControl);
        FrameGlyphCell(AControl, DC, R, ABrush, Solid);
    }
}

void TdxBarItemControlFlatPainter::DrawCheckMark(TdxBarItemControl* AControl, HDC DC, int AThickness, int X,
                                                 int Y) const {
    const int T = std::max(AThickness, 1);
    const bool Enabled = !AControl || AControl->GetEnabled();
    TColor Color = gfx::clBlack;
    if (!Enabled)
        Color = gfx::clBtnShadow;
    else if (lf::IsHighContrastWhite() || lf::IsHighContrastColoredText())
        Color = gfx::clWhite;
    const int First = Enabled ? 0 : 1;
    TempPenAndBrush Pen(DC, Color, false);
    for (int K = First; K < First + 2 * T; ++K) {
        const POINT P[3] = {{X + T, Y + 2 * T + K}, {X + 3 * T, Y + 4 * T + K}, {X + 8 * T, Y - T + K}};
        gfx::Polyline(DC, P, 3);
    }
}

void TdxBarItemControlFlatPainter::DrawGlyphBitmap(TdxBarItemControl* AControl, HDC DC,
                                                   const TdxBarPaintState& AState, RECT R,
                                                   const RECT& AGlyphRect, bool, bool AFrame,
                                                   HBRUSH ABrush) const {
    if (!AControl) return;
    if (AFrame) R = Deflated(R, 1, 1);
    if (IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    bool Filled = false;
    if (!AControl->IsRarelyUsed() && Bar && Bar->DrawsItemBackgrounds()) {
        FillGlyphCell(AControl, DC, R, ABrush, AState.Selected || AState.Down || AState.Pressed);
        Filled = true;
    }
    DrawControlGlyph(AControl, DC, ABrush, R, AGlyphRect,
                     AControl->CanDrawFromImages() ? ImagesOf(AControl) : nullptr, AState, true, Filled);
}

TColor TdxBarItemControlFlatPainter::GetCaptionColor(TCustomdxBarControl* ABarControl, bool) const {
    return TdxBarItemControlPainter::GetCaptionColor(ABarControl, false);
}

TColor TdxBarItemControlFlatPainter::GetMarkArrowColor(TCustomdxBarControl* ABarControl, int AState) const {
    return AState != 0 ? gfx::clBtnText : TdxBarItemControlPainter::GetMarkArrowColor(ABarControl, AState);
}

void TdxBarItemControlFlatPainter::DrawMarkChevron(TCustomdxBarControl* ABarControl, HDC DC, POINT APos,
                                                   const RECT& R) const {
    DrawMarkChevronStrokes(DC, APos, ABarControl && !IsDockedHorizontally(ABarControl),
                           IsSmallRect(nullptr, R), GetMarkChevronColor(ABarControl));
}

void TdxBarItemControlFlatPainter::DrawMarkFace(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                                const RECT& R) const {
    if (IsEmpty(R)) return;
    const int State = ABarControl ? ABarControl->MarkState() : 0;
    if (State == 2) {
        DrawFramedFill(ABarControl, DC, R);
        return;
    }
    if (State == 1)
        FrameSelected(DC, R);
    else
        FrameRectWith(DC, R, ABrush);
    const RECT Inner = Deflated(R, 1, 1);
    if (State == 1)
        FillRectWith(DC, Inner, HotBrushOf(ABarControl, this));
    else
        FillThroughWindow(ABarControl, DC, Inner, ABrush);
}

void TdxBarItemControlFlatPainter::DrawMarkChevrons(TCustomdxBarControl* ABarControl, HDC DC,
                                                    const RECT& R) const {
    if (IsEmpty(R)) return;
    // The small triangle that says the mark opens a menu, at its far end.
    const TColor Color = GetMarkChevronColor(ABarControl);
    if (!ABarControl || IsDockedHorizontally(ABarControl)) {
        DrawDownArrow(DC, Color, 5, (R.left + R.right - 5) / 2, R.bottom - 7);
    } else {
        const int X = R.right - 7, Y = (R.top + R.bottom - 5) / 2;
        Triangle(DC, {{X, Y}, {X, Y + 4}, {X + 2, Y + 2}}, Color);
    }
    TdxBarItemControlPainter::DrawMarkChevrons(ABarControl, DC, R);
}

void TdxBarItemControlFlatPainter::GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X,
                                                      int& ARight) const {
    X += 2;
    RECT Mark{};
    if (ABarControl) ABarControl->GetCaptionMarkRect(Mark);
    ARight = Mark.left;
}

TColor TdxBarItemControlFlatPainter::GetMarkChevronColor(TCustomdxBarControl* ABarControl) const {
    if (lf::IsHighContrastWhite() && ABarControl && ABarControl->MarkState() == 1) return gfx::clBtnFace;
    return TdxBarItemControlPainter::GetMarkChevronColor(ABarControl);
}

void TdxBarItemControlFlatPainter::AdjustEditTextRect(RECT& R) const {
    R.top += 2;
}

void TdxBarItemControlFlatPainter::DrawMenuGlyphCell(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                     const TdxBarPaintState& AState, bool AShowGlyph) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const bool Solid = AState.Selected || IsRarelyUsedFilledSolid(AControl);
    const HBRUSH Background = WindowBrush(Bar);
    const HBRUSH Hot = HotBrushOf(Bar, this);
    const HBRUSH Band = GetMenuBandBrush(Bar);
    const int SquareRight = std::min<int>(R.right, R.left + Height(R) + 1);
    if (AState.Selected) {
        FrameSelected(DC, R);
    } else {
        FrameGlyphCell(AControl, DC, RECT{R.left, R.top, SquareRight, R.bottom}, Band, Solid);
        FrameGlyphCell(AControl, DC, RECT{SquareRight, R.top, R.right, R.bottom}, Background, Solid);
    }
    const RECT Inner = Deflated(R, 1, 1);
    if (IsEmpty(Inner)) return;
    const RECT Cell{Inner.left, Inner.top, std::min<int>(Inner.right, Inner.left + Height(Inner)),
                    Inner.bottom};
    DrawButton(AControl, DC, Cell, AState, ptMenu, !AShowGlyph);
    const RECT Gap{Cell.right, Inner.top, std::min<int>(Inner.right, Cell.right + 2), Inner.bottom};
    FillGlyphCell(AControl, DC, Gap, AState.Selected ? Hot : Band, Solid);
    FillGlyphCell(AControl, DC, RECT{Gap.right, Inner.top, Inner.right, Inner.bottom},
                  AState.Selected ? Hot : Background, Solid);
    // Captions keep the text colour on the light selection, but turn light
    // with it on the white high-contrast scheme.
    const RECT Text{Gap.right + 8, Inner.top, Inner.right, Inner.bottom};
    DrawCaption(AControl, DC, AControl->GetCaption(), Text, 0, AState.Enabled, AState.Selected, false, false,
                !lf::IsHighContrastWhite());
}

void TdxBarItemControlFlatPainter::DrawSelectedFrame(HDC DC, RECT& R) const {
    FrameRectWith(DC, R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    R = Deflated(R, 1, 1);
}

void TdxBarItemControlFlatPainter::DrawBorder(HDC DC, RECT& R, int AKind, int ASize) const {
    if (AKind == 0) return;
    for (int I = 0; I < ASize && !IsEmpty(R); ++I) {
        gfx::FrameRect(DC, &R, GetFrameBrush());
        R = Deflated(R, 1, 1);
    }
}

void TdxBarItemControlFlatPainter::DrawDownFrame(TdxBarItemControl* AControl, HDC DC, RECT& R, bool,
                                                 bool ASelected, bool APressed) const {
    if (IsEmpty(R)) return;
    TCustomdxBarControl* Bar = BarOf(AControl);
    HBRUSH Fill;
    if (ASelected) {
        FrameSelected(DC, R);
        Fill = APressed ? DownBrushOf(Bar, this) : HotBrushOf(Bar, this);
    } else {
        Fill = WindowBrush(Bar);
        gfx::FrameRect(DC, &R, Fill);
    }
    R = Deflated(R, 1, 1);
    FillRectWith(DC, R, Fill);
}

void TdxBarItemControlFlatPainter::GetTextColorAndBrush(TdxBarItemControl* AControl,
                                                        const TdxBarPaintState& AState, TColor& AColor,
                                                        HBRUSH& ABrush) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    AColor = gfx::clBtnText;
    ABrush = WindowBrush(Bar);
    if (!AState.Selected) return;
    if (AState.Pressed || lf::IsHighContrastWhite()) {
        ABrush = DownBrushOf(Bar, this);
        AColor = gfx::clHighlightText;
    } else {
        ABrush = HotBrushOf(Bar, this);
    }
}

HBRUSH TdxBarItemControlFlatPainter::GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                                                   const TdxBarPaintState& AState) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (AState.Selected) {
        if (AState.Down && AState.DroppedDown) return ToolbarBrushOf(Bar);
        if (AState.Down || AState.Pressed) return DownBrushOf(Bar, this);
        return HotBrushOf(Bar, this);
    }
    if (AState.Down) return CheckerBrushOf(Bar, this);
    if (APaintType == ptMenu && AState.Enabled) return LightShade(Bar);
    return WindowBrush(Bar);
}

int TdxBarItemControlFlatPainter::GetMenuIndent(TdxBarItemControl* AControl) const {
    const TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar && Bar->IsMenuWindow() ? Bar->TextHeight() + 3 : 0;
}

// ============================================================================
// Toolbar windows and dock sites
// ============================================================================

int TdxBarItemControlFlatPainter::GetButtonArrowWidth(const TdxBarManager* AManager) const {
    return TdxBarItemControlPainter::GetButtonArrowWidth(AManager) - 1;
}

int TdxBarItemControlFlatPainter::GetLargeButtonArrowWidth(const TdxBarManager* AManager) const {
    return TdxBarItemControlPainter::GetLargeButtonArrowWidth(AManager) - 1;
}

bool TdxBarItemControlFlatPainter::GetBarWindowFlagA(TCustomdxBarControl*) const {
    return true;
}

bool TdxBarItemControlFlatPainter::IsBarBorderFlat(TCustomdxBarControl* ABarControl) const {
    return ABarControl && ABarControl->DockingStyle() == dsNone;
}

HBRUSH TdxBarItemControlFlatPainter::GetBarBrush() const {
    return ManagerBrush(FirstManager(), TBlend::LightShade);
}

HBRUSH TdxBarItemControlFlatPainter::GetToolbarWindowBrush(TCustomdxBarControl* ABarControl) const {
    if (ABarControl && (ABarControl->IsMainMenuBar() || IsStatusBarWindow(ABarControl)))
        return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    return TdxBarItemControlPainter::GetToolbarWindowBrush(ABarControl);
}

HBRUSH TdxBarItemControlFlatPainter::GetCheckerBrush() const {
    return ManagerBrush(FirstManager(), TBlend::Checker);
}

HBRUSH TdxBarItemControlFlatPainter::GetSelectedBrush() const {
    return ManagerBrush(FirstManager(), TBlend::Down);
}

HBRUSH TdxBarItemControlFlatPainter::GetHighlightBrush() const {
    return ManagerBrush(FirstManager(), TBlend::Hot);
}

void TdxBarItemControlFlatPainter::DrawToolbarSeparator(TCustomdxBarControl* ABarControl, HDC DC,
                                                        const RECT& R, bool AHorizontal) const {
    if (IsEmpty(R)) return;
    // A horizontal bar is parted by an upright line, a vertical one by a
    // level line.
    const int Offset = GetSeparatorLineOffset();
    RECT Line = R, Before = R, After = R;
    if (AHorizontal) {
        Line.left = std::min<int>(R.left + Offset, R.right);
        Line.right = std::min<int>(Line.left + 1, R.right);
        Before.right = Line.left;
        After.left = Line.right;
    } else {
        Line.top = std::min<int>(R.top + Offset, R.bottom);
        Line.bottom = std::min<int>(Line.top + 1, R.bottom);
        Before.bottom = Line.top;
        After.top = Line.bottom;
    }
    FillThroughWindow(ABarControl, DC, Before);
    FillThroughWindow(ABarControl, DC, After);
    FillSys(DC, Line, gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlFlatPainter::DrawCloseButton(TCustomdxBarControl* ABarControl, HDC DC, RECT R,
                                                   int AState) const {
    if (IsEmpty(R)) return;
    FillCaptionButton(ABarControl, DC, AState, R);
    RECT C = Deflated(R, 3, 4);
    if (Width(C) % 2 != 0) --C.right;
    C.bottom = C.top + Width(C);
    if (Width(C) <= 0) return;
    const int L = C.left, T = C.top, Rt = C.right, B = C.bottom;
    Strokes(DC, GetMarkArrowColor(ABarControl, AState),
            {{{L, T}, {Rt - 1, B}},
             {{L + 1, T}, {Rt, B}},
             {{L, B - 1}, {Rt - 1, T - 1}},
             {{L + 1, B - 1}, {Rt, T - 1}}});
}

void TdxBarItemControlFlatPainter::DrawDockedFrame(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                                   RECT R) const {
    if (IsEmpty(R)) return;
    const HBRUSH Face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    gfx::FrameRect(DC, &R, Face);
    R = Deflated(R, 1, 1);
    if (IsEmpty(R)) return;
    for (const POINT P : {POINT{R.left, R.top}, POINT{R.right - 1, R.top}, POINT{R.left, R.bottom - 1},
                          POINT{R.right - 1, R.bottom - 1}})
        FillRectWith(DC, RECT{P.x, P.y, P.x + 1, P.y + 1}, Face);
    R = Deflated(R, 1, 1);
    const TdxBar* Bar = BarOfWindow(ABarControl);
    if (!Bar || !Bar->CanDock() || IsEmpty(R)) return;
    // The grip: across a horizontal bar at its start, along lines of its own.
    const bool Vertical = IsVerticalBarControl(ABarControl);
    const RECT Grip = GetGripRect(ABarControl, R, Vertical);
    const HBRUSH Shadow = gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
    if (Vertical) {
        for (int X = Grip.left; X < Grip.right; ++X)
            FillRectWith(DC, RECT{X, Grip.top, X + 1, Grip.bottom},
                         (X - Grip.left) % 2 == 0 ? Shadow : ABrush);
    } else {
        for (int Y = Grip.top; Y < Grip.bottom; ++Y)
            FillRectWith(DC, RECT{Grip.left, Y, Grip.right, Y + 1},
                         (Y - Grip.top) % 2 == 0 ? Shadow : ABrush);
    }
}

void TdxBarItemControlFlatPainter::DrawBarBorder(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                 int ABorder, RECT R) const {
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, ManagerBrush(ManagerOf(ABarControl), TBlend::DarkShade));
    const HBRUSH Light = gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT);
    for (int I = 1; I < ABorder; ++I) {
        R = Deflated(R, 1, 1);
        if (IsEmpty(R)) return;
        gfx::FrameRect(DC, &R, Light);
    }
}

void TdxBarItemControlFlatPainter::DrawMark(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R,
                                            int AState) const {
    if (IsEmpty(R)) return;
    if (CanCloseBar(ABarControl))
        FillColor(DC, RECT{R.right, R.top, R.right + 1, R.bottom}, GetCaptionColor(ABarControl, true));
    if (AState == 2) {
        DrawFramedFill(ABarControl, DC, R);
        FillCaptionButton(ABarControl, DC, AState, R);
    }
    TdxBarItemControlPainter::DrawMark(ABarControl, DC, R, AState);
}

void TdxBarItemControlFlatPainter::DrawMDIButton(TCustomdxBarControl* ABarControl, HDC DC, int AKind,
                                                 const RECT& R, bool AEnabled, bool ASelected,
                                                 bool APressed) const {
    const RECT Inner = Deflated(R, 1, 1);
    if (IsEmpty(Inner)) return;
    static constexpr gfx::UINT Kinds[] = {gfx::DFCS_CAPTIONMIN, gfx::DFCS_CAPTIONRESTORE,
                                          gfx::DFCS_CAPTIONCLOSE};
    cls::TBitmap Image(Width(Inner), Height(Inner));
    RECT Face{-1, -1, Width(Inner) + 1, Height(Inner) + 1};
    gfx::DrawFrameControl(Image.Canvas()->Handle(), &Face, gfx::DFC_CAPTION,
                          Kinds[std::clamp(AKind, 0, 2)] | gfx::DFCS_FLAT |
                              (AEnabled ? gfx::UINT{0} : gfx::UINT{gfx::DFCS_INACTIVE}));
    HBRUSH Brush = WindowBrush(ABarControl);
    if (!ASelected && !APressed) {
        FillThroughWindow(ABarControl, DC, R);
    } else {
        Brush = ASelected && APressed ? DownBrushOf(ABarControl, this)
                : ASelected           ? HotBrushOf(ABarControl, this)
                                      : CheckerBrushOf(ABarControl, this);
        FillRectWith(DC, Inner, Brush);
    }
    DrawGlyph(DC, Brush, Inner, Inner, &Image, nullptr, -1, true, false, false, false, false, false, false,
              true, gfx::clNone, gfx::clNone);
    if (ASelected || APressed) FrameSelected(DC, R);
}

void TdxBarItemControlFlatPainter::GetMarkRectInWindow(TCustomdxBarControl* ABarControl, RECT& R) const {
    R = RECT{};
    if (!ABarControl) return;
    const RECT Client = ClientRectOf(ABarControl);
    const int CW = Client.right, CH = Client.bottom;
    switch (ABarControl->DockingStyle()) {
        case dsLeft:
        case dsRight:
            R = RECT{0, CH - 11, CW, CH};
            break;
        case dsTop:
        case dsBottom:
            R = RECT{CW - 11, 0, CW, CH};
            break;
        case dsNone: {
            const int Size = GetSmallCaptionHeight();
            int Right = CW;
            if (ABarControl->HasCaptionCloseButton()) Right -= Size + 1;
            R = RECT{std::max(0, Right - Size), 0, std::max(0, Right), Size};
            break;
        }
    }
}

HBRUSH TdxBarItemControlFlatPainter::GetQuickCustWindowBrush(TCustomdxBarControl*) const {
    return gfx::GetSysColorBrush(gfx::COLOR_WINDOW);
}

void TdxBarItemControlFlatPainter::GetQuickCustCheckRect(TdxBarItemControl* AControl, RECT& R,
                                                         int& ACheckRight, bool AMeasure) const {
    const RECT Square{R.left, R.top, R.left + Height(R), R.bottom};
    if (!AMeasure) {
        // In a menu the cell sits on the band, which the window has no part in.
        TCustomdxBarControl* Bar = BarOf(AControl);
        if (const HDC DC = CanvasDC(AControl))
            FrameGlyphCell(AControl, DC, Square,
                           IsInMenuWindow(AControl) ? GetMenuBandBrush(Bar) : WindowBrush(Bar), false);
    }
    R = Deflated(R, 1, 1);
    R.right = R.left + Height(R);
    ACheckRight = R.right + 1;
}

void TdxBarItemControlFlatPainter::GetQuickCustCaptionRect(TdxBarItemControl* AControl, bool AChecked,
                                                           const RECT& R1, const RECT& R2) const {
    const HDC DC = CanvasDC(AControl);
    if (!AChecked || !DC) return;
    FrameSelected(DC, R2);
    FillRectWith(DC, RECT{R1.right, R1.top, R1.right + 2, R1.bottom}, HotBrushOf(BarOf(AControl), this));
}

// ============================================================================
// Menus, sub items, combos and edits
// ============================================================================

void TdxBarItemControlFlatPainter::AdjustMenuBandWidth(int& AWidth) const {
    AWidth += 2;
}

void TdxBarItemControlFlatPainter::AdjustButtonWidth(TdxBarItemControl*, int& AWidth) const {
    AWidth += 9;
}

void TdxBarItemControlFlatPainter::DrawDropDownButtonPart(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                          TdxBarPaintType APaintType, HBRUSH ABrush,
                                                          const TdxBarPaintState& AState,
                                                          bool ADropDownEnabled, bool AMenuOpen) const {
    if (DrawDropDownPartFace(AControl, DC, R, APaintType, ABrush, AState, AMenuOpen))
        DrawDropDownPartArrow(AControl, DC, R, APaintType, ADropDownEnabled,
                              AState.Selected && lf::IsHighContrastWhite());
}

bool TdxBarItemControlFlatPainter::RepaintAfterDropDown(TdxBarItemControl*) const {
    return true;
}

void TdxBarItemControlFlatPainter::DrawComboButton(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                   bool ASelected, bool AHot) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    RECT Part = FrameComboButton(AControl, DC, R, ASelected);
    TColor ArrowColor;
    HBRUSH ArrowBrush;
    const TdxBarPaintState State = GetComboButtonState(AControl, ASelected, ArrowColor, ArrowBrush);
    if (!ASelected) {
        HBRUSH Ring;
        if (AHot && State.Enabled) {
            RECT Edge = Part;
            gfx::DrawEdge(DC, &Edge, State.DroppedDown ? gfx::BDR_SUNKENOUTER : gfx::BDR_RAISEDINNER,
                          gfx::BF_RECT);
            Ring = WindowBrush(Bar);
        } else {
            Ring = State.Enabled ? gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT) : WindowBrush(Bar);
            gfx::FrameRect(DC, &Part, Ring);
        }
        FillRectWith(DC, RECT{Part.left - 1, Part.top, Part.left, Part.bottom}, Ring);
        Part = Deflated(Part, 1, 1);
    }
    FillRectWith(DC, Part, ArrowBrush);
    DrawComboArrow(DC, Part, State.DroppedDown, ArrowColor);
}

void TdxBarItemControlFlatPainter::GetComboArrowColors(TdxBarItemControl* AControl,
                                                       const TdxBarPaintState& AState, TColor& AColor,
                                                       HBRUSH& ABrush) const {
    TdxBarItemControlPainter::GetComboArrowColors(AControl, AState, AColor, ABrush);
    if (IsInMenuWindow(AControl) && !AState.Pressed) ABrush = BarBrushOf(BarOf(AControl), this);
    if (!AState.Enabled) AColor = gfx::clBtnShadow;
}

void TdxBarItemControlFlatPainter::DrawDropDownListBorder(HDC DC, RECT R) const {
    FrameRectWith(DC, R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    FrameRectWith(DC, Deflated(R, 1, 1), gfx::GetSysColorBrush(gfx::COLOR_WINDOW));
}

int TdxBarItemControlFlatPainter::GetSubItemCaptionIndent(TdxBarItemControl* AControl) const {
    const TCustomdxBarControl* Bar = BarOf(AControl);
    if (Bar && Bar->IsMainMenuBar()) return 8;
    return TdxBarItemControlPainter::GetSubItemCaptionIndent(AControl);
}

int TdxBarItemControlFlatPainter::GetSubItemHeight(TdxBarItemControl* AControl) const {
    const int Result = TdxBarItemControlPainter::GetSubItemHeight(AControl);
    const TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar && Bar->IsToolbarWindow() ? Result : Result + 2;
}

int TdxBarItemControlFlatPainter::GetSubItemWidth(TdxBarItemControl* AControl) const {
    const int Result = TdxBarItemControlPainter::GetSubItemWidth(AControl);
    return IsInMenuWindow(AControl) ? Result + 9 : Result;
}

void TdxBarItemControlFlatPainter::DrawSubItem(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                               TdxBarPaintType APaintType,
                                               const TdxBarPaintState& AState) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!Bar || IsEmpty(R)) return;
    if (APaintType == ptMenu) {
        // An open child menu is not a check: the entry shows it by its selection.
        TdxBarPaintState Entry = AState;
        Entry.Down = false;
        Entry.Pressed = false;
        DrawMenuGlyphCell(AControl, DC, R, Entry, true);
    } else {
        DrawButton(AControl, DC, R, AState, APaintType, false);
        if (SubItemShowsCaption(AControl)) {
            const bool Light = lf::IsHighContrastWhite() && (AState.Selected || AState.Down);
            DrawCaption(AControl, DC, AControl->GetCaption(), GetSubItemCaptionRect(AControl, R, APaintType),
                        0, AState.Enabled, Light, APaintType == ptVert, false, !Light);
        }
    }
    if (!Bar->IsMainMenuBar())
        DrawSubItemArrow(AControl, DC, R, APaintType, AState.Enabled,
                         AState.Selected && !AState.Pressed && lf::IsHighContrastWhite());
}

int TdxBarItemControlFlatPainter::GetMenuSeparatorHeight(TdxBarSubMenuControl*) const {
    return 5;
}

void TdxBarItemControlFlatPainter::GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1,
                                                  int& AExpandHeight, int& AM2) const {
    ++AItemHeight;
    AM1 = AItemHeight / 4 * 3 + 1;
    AExpandHeight = (AMenu ? AMenu->Canvas()->TextHeight("0") : 0) + 1;
    const int S = GetScrollArrowSize(AMenu, AExpandHeight - 2);
    if (S % 2 != 0) AExpandHeight = (S - 1) * 2 + 6;
    AM2 = 20;
}

void TdxBarItemControlFlatPainter::GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, RECT& R,
                                                    int* ACounter) const {
    GetMenuLinksRectIn(AMenu, 1, 1, ABottom, R, ACounter);
}

void TdxBarItemControlFlatPainter::AdjustMenuSize(TdxBarSubMenuControl* AMenu, SIZE& AContentSize,
                                                  SIZE& AWindowSize) const {
    AdjustMenuSizeBy(AMenu, AContentSize, AWindowSize, 4, 3);
}

int TdxBarItemControlFlatPainter::GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const {
    return AMenu ? AMenu->GetDetachBarBaseSize() + 1 : 0;
}

void TdxBarItemControlFlatPainter::DrawMenuBackground(TdxBarSubMenuControl* AMenu, HDC DC,
                                                      int AShownCount) const {
    RECT Button{};
    if (!DrawMenuBackgroundAboveButton(AMenu, DC, AShownCount, 1, false, Button)) return;
    const bool Hot = AMenu->MarkState() == 1;
    if (Hot) {
        FrameSelected(DC, Button);
        FillRectWith(DC, Deflated(Button, 1, 1), AMenu->GetHighlightBrush());
    } else {
        FillThroughWindow(AMenu, DC, Button, AMenu->GetBackgroundBrush());
    }
    DrawExpandArrows(AMenu, DC, Hot, Button);
}

void TdxBarItemControlFlatPainter::DrawMenuFrame(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, ManagerBrush(ManagerOf(AMenu), TBlend::DarkShade));
    FillOwnerEdge(AMenu, DC);
    if (!AMenu || !AMenu->Detachable()) return;
    // A row of the window colour above the strip, the strip, and the rest
    // of the room the non-client area keeps for it.
    const RECT Room = AMenu->GetDetachBarRect();
    const RECT Strip{Room.left, Room.top + 1, Room.right,
                     std::min<int>(Room.bottom, Room.top + 1 + AMenu->GetDetachBarBaseSize())};
    const HBRUSH Window = gfx::GetSysColorBrush(gfx::COLOR_WINDOW);
    FillRectWith(DC, RECT{Room.left, Room.top, Room.right, Strip.top}, Window);
    FillRectWith(DC, RECT{Room.left, Strip.bottom, Room.right, Room.bottom}, Window);
    FillDetachBar(AMenu, DC, Strip);
}

void TdxBarItemControlFlatPainter::DrawExpandButton(TdxBarSubMenuControl*, HDC DC, HBRUSH ABrush,
                                                    RECT& R) const {
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, ABrush);
    FillRectWith(DC, RECT{R.left, R.bottom - 1, R.right, R.bottom}, ABrush);
}

void TdxBarItemControlFlatPainter::FillDetachBar(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    const bool Hot = AMenu && AMenu->DetachBarHot();
    if (Hot) {
        FrameSelected(DC, R);
        R = Deflated(R, 1, 1);
        FillRectWith(DC, R, AMenu->GetHighlightBrush());
    } else {
        FillRectWith(DC, R, LightShade(AMenu));
    }
    RECT Band = R;
    gfx::InflateRect(&Band, (33 - Width(R)) / 2, -1);
    const HBRUSH Line = gfx::GetSysColorBrush(Hot ? gfx::COLOR_BTNTEXT : gfx::COLOR_BTNSHADOW);
    for (int Y = Band.top; Y < Band.bottom; Y += 2)
        FillRectWith(DC, RECT{Band.left, Y, Band.right, Y + 1}, Line);
}

void TdxBarItemControlFlatPainter::DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                                                     TdxBarLinkState& ALinkState, HDC DC,
                                                     const RECT& R) const {
    ALinkState.SeparatorRect = RECT{};
    if (!AMenu || !ALinkState.BeginGroup || IsEmpty(R)) return;
    const RECT Row{R.left, R.top - GetMenuSeparatorHeight(AMenu), R.right, R.top};
    ALinkState.SeparatorRect = Row;
    if (IsEmpty(Row)) return;
    const bool OwnBackground = !IsRarelyUsedItemDrawnByPainter() && ALinkState.RarelyUsed;
    const HBRUSH RowBrush =
        OwnBackground && ALinkState.AtRarelyUsedBoundary ? GetMenuBackgroundBrush() : WindowBrush(AMenu);
    const bool Solid = OwnBackground && !ALinkState.AtRarelyUsedBoundary;
    const int X =
        std::min<int>(R.right, R.left + (AControl ? AControl->GetMenuIndent() : GetMenuIndent(nullptr)));
    auto Fill = [&](const RECT& Part, HBRUSH ABrush) {
        if (IsEmpty(Part)) return;
        if (AControl)
            FillGlyphCell(AControl, DC, Part, ABrush, Solid);
        else
            FillThroughWindow(AMenu, DC, Part, ABrush);
    };
    Fill(RECT{Row.left, Row.top, X, Row.bottom}, LightShade(AMenu));
    Fill(RECT{X, Row.top, Row.right, Row.bottom}, RowBrush);
    const TdxBarManager* Manager = AMenu->GetBarManager();
    const int Indent = Manager ? Manager->MenuSeparatorIndent() : GetMenuSeparatorIndent();
    const int Y = (Row.top + Row.bottom) / 2;
    FillRectWith(DC, RECT{X + Indent, Y, R.right + 1, Y + 1}, GetMenuSeparatorBrush());
}

int TdxBarItemControlFlatPainter::GetScrollArrowSize(TdxBarSubMenuControl*, int AHeight) const {
    int Result = (AHeight - 4) / 2;
    if (Result > 4 && Result % 2 != 0) --Result;
    return Result;
}

void TdxBarItemControlFlatPainter::GetMenuContentRect(TdxBarSubMenuControl*, RECT& R) const {
    R = Deflated(R, 2, 2);
}

void TdxBarItemControlFlatPainter::PrepareMenuItemBackground(TdxBarSubMenuControl*, HBRUSH& ABrush) const {
    ABrush = GetMenuBackgroundBrush();
}

HBRUSH TdxBarItemControlFlatPainter::GetMenuBackgroundBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_WINDOW);
}

void TdxBarItemControlFlatPainter::DrawComboText(TdxBarItemControl*, cls::TCanvas* ACanvas, const RECT& R,
                                                 int, const std::string& AText) const {
    if (!ACanvas || IsEmpty(R)) return;
    const int Y = R.top + (Height(R) - ACanvas->TextHeight(AText)) / 2;
    ACanvas->TextRect(R, R.left + 2, Y, AText);
}

int TdxBarItemControlFlatPainter::GetEditCaptionWidth(TdxBarItemControl*, int AWidth) const {
    return AWidth + 11;
}

void TdxBarItemControlFlatPainter::DrawEditFrame(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                                 TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    if (ASelected)
        FrameSelected(DC, R);
    else if (APaintType == ptMenu)
        gfx::FrameRect(DC, &R, BarBrushOf(Bar, this));
    else if (AControl->GetEnabled())
        FrameGlyphCell(AControl, DC, R, WindowBrush(Bar), false);
    else
        gfx::FrameRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    R = Deflated(R, 1, 1);
}

void TdxBarItemControlFlatPainter::DrawEditCaption(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                                   TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const std::string Caption = AControl->GetCaption();
    const int TextWidth = Bar ? Bar->Canvas()->TextWidth(RemoveAccelChars(Caption)) : 0;
    const bool SelectedInMenu = ASelected && APaintType == ptMenu;
    RECT Part{R.left, R.top, std::min<int>(R.right, R.left + GetEditCaptionWidth(AControl, TextWidth)),
              R.bottom};
    if (SelectedInMenu) Part.right = std::min<int>(R.right, Part.right + 1);
    R.left = Part.right;
    if (SelectedInMenu) {
        FrameSelected(DC, Part);
        Part = Deflated(Part, 1, 1);
    }
    const bool Solid = APaintType == ptMenu && (ASelected || IsRarelyUsedFilledSolid(AControl));
    FillGlyphCell(AControl, DC, Part, SelectedInMenu ? HotBrushOf(Bar, this) : WindowBrush(Bar), Solid);
    const RECT Text{Part.left, Part.top, Part.right - 5, Part.bottom};
    const bool Light = SelectedInMenu && lf::IsHighContrastWhite();
    DrawCaption(AControl, DC, Caption, Text, 2, AControl->GetEnabled(), Light, false, false, !Light);
}

unsigned TdxBarItemControlFlatPainter::GetEditWindowStyle() const {
    return TdxBarItemControlPainter::GetEditWindowStyle() | ES_MULTILINE;
}

void TdxBarItemControlFlatPainter::SetEditMargins(TdxBarItemControl*, win::HWND AWnd) const {
    RECT R{};
    if (!win::GetClientRect(AWnd, &R)) return;
    R = Deflated(R, 2, 2);
    win::SendMessage(AWnd, EM_SETRECTNP, 0, reinterpret_cast<win::LPARAM>(&R));
}

void TdxBarItemControlFlatPainter::SelectAllText(win::HWND AWnd, bool ANotify) const {
    if (ANotify) win::SendMessage(AWnd, win::WM_COMMAND, EN_CHANGE_COMMAND, 0);
    TdxBarItemControlPainter::SelectAllText(AWnd, ANotify);
}

void TdxBarItemControlFlatPainter::DrawDropDownWindowFrame(win::HWND AWnd, bool, int ACorner, bool AHot,
                                                           bool APressed, RECT& AGripRect,
                                                           RECT& AButtonRect) const {
    DrawDropDownWindowNC(AWnd, true, ACorner, AHot, APressed, AGripRect, AButtonRect);
}

void TdxBarItemControlFlatPainter::DrawPushButtonFrame(TdxBarItemControl*, HDC DC, bool APressed, RECT R,
                                                       const std::string& AText) const {
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    R = Deflated(R, 1, 1);
    FrameRectWith(DC, R, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
    R = Deflated(R, 1, 1);
    DrawCenteredText(DC, R, true, AText, APressed ? 1 : 0);
}

void TdxBarItemControlFlatPainter::DrawSpinButton(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                  int ADirection, bool ASelected, bool ADown, int AArrowSize,
                                                  bool AVertical) const {
    TColor Color = ASelected && lf::IsHighContrastWhite() ? gfx::clBtnFace : gfx::clBtnText;
    if (AControl && !AControl->GetEnabled()) Color = gfx::clBtnShadow;
    DrawSpinButtonHalf(AControl, DC, R, ADirection, ASelected, ADown, AArrowSize, AVertical, Color,
                       gfx::clNone);
}

void TdxBarItemControlFlatPainter::DrawCaptionBar(TdxBarItemControl* AControl, HDC DC, RECT R, bool AExpanded,
                                                  bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    FillGlyphCell(AControl, DC, RECT{R.left, R.bottom - 1, R.right, R.bottom}, WindowBrush(Bar), false);
    --R.bottom;
    HBRUSH Fill = WindowBrush(Bar);
    if (ASelected) {
        FrameSelected(DC, R);
        Fill = HotBrushOf(Bar, this);
    } else {
        FrameRectWith(DC, R, GetProgressFrameBrush());
    }
    FillRectWith(DC, Deflated(R, 1, 1), Fill);
    const bool Light = ASelected && lf::IsHighContrastWhite();
    DrawCaptionBarText(AControl, DC, R, AExpanded, Light, !Light);
}

// ============================================================================
// Operations of the flat family
// ============================================================================

void TdxBarItemControlFlatPainter::FrameSelected(HDC DC, const RECT& R) const {
    if (IsEmpty(R)) return;
    if (lf::IsHighContrastBlack() || lf::IsHighContrastColoredText())
        lf::FrameRectByColor(DC, R, gfx::clHighlightText);
    else
        DrawHighlightFrame(DC, R);
}

HBRUSH TdxBarItemControlFlatPainter::GetFrameBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlFlatPainter::DrawFramedFill(TCustomdxBarControl* ABarControl, HDC DC,
                                                  const RECT& R) const {
    if (IsEmpty(R)) return;
    DrawWindowFrame(ABarControl, DC, R, nullptr);
    FillRectWith(DC, Deflated(R, 1, 1), ToolbarBrushOf(ABarControl));
}

void TdxBarItemControlFlatPainter::DrawWindowFrame(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R,
                                                   TdxBarItemControl* AControl) const {
    if (IsEmpty(R)) return;
    SavedClip Clip(DC);
    if (ABarControl && ABarControl->HandleAllocated() && win::IsWindowVisible(ABarControl->Handle())) {
        RECT Edge{};
        ABarControl->GetOwnerEdgeRect(true, Edge);
        // The edge is on the screen; the DC draws in the client area of the
        // control's window (or of ABarControl itself).
        TCustomdxBarControl* Target = AControl && AControl->Parent() ? AControl->Parent() : ABarControl;
        POINT Origin{0, 0};
        if (Target->HandleAllocated()) win::ClientToScreen(Target->Handle(), &Origin);
        gfx::OffsetRect(&Edge, -Origin.x, -Origin.y);
        if (!IsEmpty(Edge)) {
            FillWithToolbarBrush(ABarControl, DC, Edge, AControl, R);
            gfx::ExcludeClipRect(DC, Edge.left, Edge.top, Edge.right, Edge.bottom);
        }
    }
    DrawDarkFrame(ABarControl, DC, R);
}

void TdxBarItemControlFlatPainter::DrawDarkFrame(TCustomdxBarControl* ABarControl, HDC DC,
                                                 const RECT& R) const {
    FrameRectWith(DC, R, ManagerBrush(ManagerOf(ABarControl), TBlend::DarkShade));
}

void TdxBarItemControlFlatPainter::FillWithToolbarBrush(TCustomdxBarControl* ABarControl, HDC DC,
                                                        const RECT& R, TdxBarItemControl*,
                                                        const RECT&) const {
    FillRectWith(DC, R, ToolbarBrushOf(ABarControl));
}

HBRUSH TdxBarItemControlFlatPainter::GetMenuSeparatorBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
}

HBRUSH TdxBarItemControlFlatPainter::GetMenuBandBrush(TCustomdxBarControl* ABarControl) const {
    return LightShade(ABarControl);
}

void TdxBarItemControlFlatPainter::FrameMenuDropDownPart(HDC DC, const RECT& R) const {
    FrameRectWith(DC, R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
}

// --- Steps the flat family's operations share ---

bool TdxBarItemControlFlatPainter::IsRarelyUsedFilledSolid(const TdxBarItemControl* AControl) const {
    return IsRarelyUsed(AControl) && !IsRarelyUsedItemDrawnByPainter();
}

RECT TdxBarItemControlFlatPainter::GetGripRect(TCustomdxBarControl* ABarControl, const RECT& R,
                                               bool AVertical) const {
    const TdxBarManager* Manager = ABarControl->GetBarManager();
    const RECT Strip =
        GripStrip(R, AVertical, Manager ? Manager->GripIndent() : GetGripIndent(), GetGripSize());
    return AVertical ? Deflated(Strip, 3, 0) : Deflated(Strip, 0, 3);
}

RECT TdxBarItemControlFlatPainter::FrameComboButton(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                    bool ASelected) const {
    const TCustomdxBarControl* Bar = AControl->Parent();
    RECT Part = R;
    Part.left = std::max<int>(R.left, R.right - (Bar ? Bar->ComboArrowWidth() : Height(R)));
    if (ASelected) {
        RECT Outer = Part;
        gfx::InflateRect(&Outer, 1, 1);
        FrameSelected(DC, Outer);
    }
    return Part;
}

bool TdxBarItemControlFlatPainter::DrawDropDownPartFace(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                                        TdxBarPaintType APaintType, HBRUSH ABrush,
                                                        const TdxBarPaintState& AState,
                                                        bool AMenuOpen) const {
    const bool InMenu = APaintType == ptMenu;
    if (!InMenu) --R.left;
    if (IsEmpty(R)) return false;
    if (AState.DroppedDown && AMenuOpen) return true;
    if (AState.Selected)
        FrameSelected(DC, R);
    else if (InMenu)
        FrameMenuDropDownPart(DC, R);
    else
        FrameGlyphCell(AControl, DC, R, ABrush, false);
    // A lit part takes the selection's brush, whatever the caller's.
    const bool Lit = AState.Selected || AState.Pressed || AState.DroppedDown;
    HBRUSH Brush = ABrush;
    if (Lit) {
        TColor Unused;
        GetTextColorAndBrush(AControl, AState, Unused, Brush);
    }
    FillGlyphCell(AControl, DC, Deflated(R, 1, 1), Brush, Lit || IsRarelyUsed(AControl));
    return true;
}

void TdxBarItemControlFlatPainter::DrawDropDownPartArrow(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                         TdxBarPaintType APaintType, bool ADropDownEnabled,
                                                         bool ASelected) const {
    const bool Enabled = (!AControl || AControl->GetEnabled()) && ADropDownEnabled;
    if (APaintType == ptMenu) {
        const TCustomdxBarControl* Bar = BarOf(AControl);
        DrawSubMenuArrow(DC, R, Bar ? Bar->TextHeightFifth() : 4, Enabled, ASelected, false);
    } else {
        DrawDropDownArrow(DC, R, true, Enabled, ASelected);
    }
}

} // namespace bars
