#include "bars/painters/standard_painter.h"

#include "bars/bars.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/painters/painter_internal.h"
#include "bars/submenu.h"
#include "gfx/draw.h"
#include "win/user.h"

#include <algorithm>

namespace bars {

using namespace detail;
using gfx::HBRUSH;
using gfx::HDC;
using gfx::POINT;
using gfx::RECT;
using gfx::TColor;

namespace {

constexpr win::UINT EM_SETMARGINS = 0x00D3;
constexpr win::WPARAM EC_LEFTMARGIN = 0x0001;
constexpr win::WPARAM EC_RIGHTMARGIN = 0x0002;

// The classic edge of a state: raised, or sunken when down.
gfx::UINT EdgeByDown(bool ADown) {
    return ADown ? gfx::BDR_SUNKENOUTER : gfx::BDR_RAISEDINNER;
}

void Edge(HDC DC, RECT R, gfx::UINT AEdge, gfx::UINT AFlags = gfx::BF_RECT) {
    if (!IsEmpty(R)) gfx::DrawEdge(DC, &R, AEdge, AFlags);
}

void SetSysPixel(HDC DC, int X, int Y, int AColorIndex) {
    gfx::SetPixel(DC, X, Y, gfx::GetSysColor(AColorIndex));
}

// A bar window docked at the left or right edge draws its grip across.
bool IsVerticallyDocked(const TCustomdxBarControl* ABarControl) {
    return ABarControl && (ABarControl->DockingStyle() == dsLeft || ABarControl->DockingStyle() == dsRight);
}

// The mark's chevrons point right only on a bar docked at the top or bottom.
bool ChevronsPointDown(const TCustomdxBarControl* ABarControl) {
    return !IsDockedHorizontally(ABarControl);
}

// The raised edge of a docked bar; R returns the room inside it. True when
// the bar can dock somewhere, so that it has a grip to drag it by.
bool DrawDockedEdge(TCustomdxBarControl* ABarControl, HDC DC, RECT& R) {
    if (IsEmpty(R)) return false;
    Edge(DC, R, gfx::BDR_RAISEDINNER);
    R = Deflated(R, 2, 2);
    const TdxBar* Bar = BarOfWindow(ABarControl);
    return Bar && Bar->CanDock();
}

// One raised grip bar, left out of the clip region so that the client
// drawing that follows keeps it.
void DrawGripBar(HDC DC, const RECT& G, bool AVertical, bool AFarCorner) {
    if (IsEmpty(G)) return;
    Edge(DC, G, gfx::BDR_RAISEDINNER);
    // The highlight runs the grip's whole length.
    if (AFarCorner) {
        if (AVertical)
            SetSysPixel(DC, G.right - 1, G.top, gfx::COLOR_BTNHIGHLIGHT);
        else
            SetSysPixel(DC, G.left, G.bottom - 1, gfx::COLOR_BTNHIGHLIGHT);
    }
    FillSys(DC, Deflated(G, 1, 1), gfx::COLOR_BTNFACE);
    gfx::ExcludeClipRect(DC, G.left, G.top, G.right, G.bottom);
}

} // namespace

TdxBarItemControlPainterClass TdxBarItemControlStandardPainter::Class() {
    static const TdxBarItemControlStandardPainter Painter;
    return &Painter;
}

// ============================================================================
// Item controls
// ============================================================================

void TdxBarItemControlStandardPainter::DrawGlyphFrame(TdxBarItemControl* AControl, HDC DC,
                                                      TdxBarPaintType APaintType,
                                                      const TdxBarPaintState& AState, const RECT& R,
                                                      bool AFrame, bool ANoGlyph, HBRUSH ABrush) const {
    if (IsEmpty(R)) return;
    if (AState.Down) {
        Edge(DC, R, gfx::BDR_SUNKENOUTER);
        return;
    }
    // A check cell in a menu has no edge of its own when hot: the entry's
    // highlight runs through it.
    if (AState.Selected && (APaintType != ptMenu || !ANoGlyph)) {
        Edge(DC, R, EdgeByDown(AState.Pressed));
        return;
    }
    if (!AFrame) return;
    const bool Solid = AState.Selected || AState.Pressed || (AControl && AControl->IsCustomizingSelected());
    FrameGlyphCell(AControl, DC, R, ABrush, Solid);
}

void TdxBarItemControlStandardPainter::DrawCheckMark(TdxBarItemControl* AControl, HDC DC, int AThickness,
                                                     int X, int Y) const {
    const int T = std::max(AThickness, 1);
    auto Stroke = [&](int D, TColor AColor) {
        TempPenAndBrush Pen(DC, AColor, false);
        gfx::MoveToEx(DC, X + T, Y + 2 * T + D, nullptr);
        gfx::LineTo(DC, X + 3 * T, Y + 4 * T + D);
        gfx::LineTo(DC, X + 8 * T, Y - T + D);
    };
    if (AControl && !AControl->GetEnabled()) {
        for (int D = 0; D < 2 * T; ++D) Stroke(D, gfx::clBtnShadow);
        // The lower edge in the highlight colour gives the engraved look.
        for (int D = 2 * T; D < 3 * T; ++D) Stroke(D, gfx::clBtnHighlight);
        return;
    }
    // On a black button face the dark and light strokes change places.
    const bool BlackFace = gfx::GetSysColor(gfx::COLOR_BTNFACE) == gfx::RGB(0, 0, 0);
    const TColor Body = BlackFace ? gfx::clWhite : gfx::clBlack;
    const TColor Light = BlackFace ? gfx::clBlack : gfx::clWhite;
    for (int D = 0; D < T; ++D) Stroke(D, gfx::clSilver);
    for (int D = T; D < 3 * T; ++D) Stroke(D, Body);
    for (int D = 3 * T; D < 4 * T; ++D) Stroke(D, Light);
    TempPenAndBrush Pen(DC, Light, false);
    gfx::MoveToEx(DC, X + T - 1, Y + 2 * T + 1, nullptr);
    gfx::LineTo(DC, X + T - 1, Y + 6 * T - 1);
    gfx::MoveToEx(DC, X + 8 * T, Y - T + 2, nullptr);
    gfx::LineTo(DC, X + 8 * T, Y + 3 * T);
}

bool TdxBarItemControlStandardPainter::IsGlyphCellTransparent(HBRUSH, const RECT&) const {
    return true;
}

bool TdxBarItemControlStandardPainter::IsSmallRect(TdxBarItemControl*, const RECT&) const {
    return false;
}

void TdxBarItemControlStandardPainter::DrawMarkChevron(TCustomdxBarControl* ABarControl, HDC DC, POINT APos,
                                                       const RECT&) const {
    // A chevron pointing along the bar, lit on the side it comes from.
    const bool Vertical = ChevronsPointDown(ABarControl);
    const POINT Origin = Vertical ? POINT{APos.x + 2, APos.y} : POINT{APos.x, APos.y + 2};
    StrokesAlong(DC, Origin, Vertical, gfx::clBtnHighlight, {{0, 1}, {0, 0}, {2, 2}, {-1, 5}});
    StrokesAlong(DC, Origin, Vertical, gfx::clBtnShadow, {{1, 0}, {3, 2}, {0, 5}});
}

void TdxBarItemControlStandardPainter::DrawMarkFace(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                    const RECT& R) const {
    FillThroughWindow(ABarControl, DC, R);
}

void TdxBarItemControlStandardPainter::DrawEtchedLine(HDC DC, const RECT& R) const {
    if (IsEmpty(R)) return;
    RECT Light = R;
    gfx::OffsetRect(&Light, 1, 1);
    FillSys(DC, Light, gfx::COLOR_BTNHIGHLIGHT);
    FillSys(DC, R, gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlStandardPainter::DrawMenuGlyphCell(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                         const TdxBarPaintState& AState,
                                                         bool AShowGlyph) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = BarOf(AControl);
    const RECT Column{R.left, R.top, std::min<int>(R.left + Height(R), R.right), R.bottom};
    const bool NoGlyph = !AShowGlyph || !AControl->HasGlyph();
    DrawButton(AControl, DC, Column, AState, ptMenu, NoGlyph);

    const HBRUSH Background = WindowBrush(Bar);
    const HBRUSH Highlight = HotBrushOf(Bar, this);
    const RECT Gap{Column.right, R.top, std::min<int>(Column.right + 1, R.right), R.bottom};
    const bool GapHighlighted = AState.Selected && NoGlyph && !AState.Down;
    FillGlyphCell(AControl, DC, Gap, GapHighlighted ? Highlight : Background, GapHighlighted);

    const RECT Text{Gap.right, R.top, R.right, R.bottom};
    FillGlyphCell(AControl, DC, Text, AState.Selected ? Highlight : Background,
                  AState.Selected || AControl->IsCustomizingSelected());
    RECT Caption = Text;
    Caption.left += 2;
    DrawCaption(AControl, DC, AControl->GetCaption(), Caption, 0, AState.Enabled, AState.Selected, false,
                false, false);
}

void TdxBarItemControlStandardPainter::DrawSelectedFrame(HDC DC, RECT& R) const {
    Edge(DC, R, gfx::BDR_SUNKENOUTER);
    R = Deflated(R, 1, 1);
}

void TdxBarItemControlStandardPainter::DrawDownFrame(TdxBarItemControl* AControl, HDC DC, RECT& R, bool ADown,
                                                     bool ASelected, bool) const {
    if (IsEmpty(R)) return;
    const HBRUSH Background = WindowBrush(BarOf(AControl));
    if (ADown || ASelected)
        Edge(DC, R, EdgeByDown(ADown));
    else
        FrameRectWith(DC, R, Background);
    R = Deflated(R, 1, 1);
    FillRectWith(DC, R, Background);
}

HBRUSH TdxBarItemControlStandardPainter::GetGlyphBrush(TdxBarItemControl* AControl,
                                                       TdxBarPaintType APaintType,
                                                       const TdxBarPaintState& AState) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (AState.Down && AState.Enabled)
        return AState.Selected ? DownBrushOf(Bar, this) : CheckerBrushOf(Bar, this);
    if (AState.Selected && APaintType == ptMenu && !AState.Down) return HotBrushOf(Bar, this);
    return WindowBrush(Bar);
}

int TdxBarItemControlStandardPainter::GetDownOffsetX(TdxBarItemControl*) const {
    return 1;
}

int TdxBarItemControlStandardPainter::GetDownOffsetY(TdxBarItemControl*, bool) const {
    return 1;
}

// ============================================================================
// Toolbar windows and dock sites
// ============================================================================

void TdxBarItemControlStandardPainter::DrawCloseButton(TCustomdxBarControl* ABarControl, HDC DC, RECT R,
                                                       int AState) const {
    if (IsEmpty(R)) return;
    // The bar window is always drawn active.
    const TempBrush Caption(GetCaptionColor(ABarControl, true));
    gfx::FrameRect(DC, &R, Caption.Handle());
    R = Deflated(R, 1, 1);
    if (IsEmpty(R)) return;
    gfx::DrawFrameControl(DC, &R, gfx::DFC_CAPTION,
                          gfx::DFCS_CAPTIONCLOSE | (AState == 2 ? gfx::UINT{gfx::DFCS_PUSHED} : 0));
}

void TdxBarItemControlStandardPainter::DrawDockedFrame(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                       RECT R) const {
    if (!DrawDockedEdge(ABarControl, DC, R)) return;
    const bool Vertical = IsVerticallyDocked(ABarControl);
    for (int I = 0; I < 2; ++I)
        DrawGripBar(DC, GripStrip(R, Vertical, GetGripIndent() + I * GetGripSize(), GetGripSize()), Vertical,
                    true);
}

void TdxBarItemControlStandardPainter::DrawBarBorder(TCustomdxBarControl*, HDC DC, HBRUSH, int,
                                                     RECT R) const {
    if (IsEmpty(R)) return;
    Edge(DC, R, gfx::EDGE_RAISED);
    const HBRUSH Face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    R = Deflated(R, 2, 2);
    FrameRectWith(DC, R, Face);
    R = Deflated(R, 1, 1);
    FrameRectWith(DC, R, Face);
}

void TdxBarItemControlStandardPainter::DrawMDIButton(TCustomdxBarControl* ABarControl, HDC DC, int AKind,
                                                     const RECT& R, bool AEnabled, bool ASelected,
                                                     bool APressed) const {
    if (IsEmpty(R) || AKind < 0 || AKind > 2) return;
    static constexpr gfx::UINT Kinds[] = {gfx::DFCS_CAPTIONMIN, gfx::DFCS_CAPTIONRESTORE,
                                          gfx::DFCS_CAPTIONCLOSE};
    gfx::UINT Flags = Kinds[AKind];
    if (!AEnabled) Flags |= gfx::DFCS_INACTIVE;
    const bool Pushed = APressed && ASelected;
    if (Pushed) Flags |= gfx::DFCS_PUSHED;
    const TdxBarManager* Manager = ABarControl ? ABarControl->GetBarManager() : nullptr;
    RECT Button = R;
    if (AKind != 2 || !Manager || !Manager->FlatCloseButton()) {
        gfx::DrawFrameControl(DC, &Button, gfx::DFC_CAPTION, Flags);
        return;
    }
    // A flat close button keeps only the face of the frame control and gets
    // an edge of its own; it lies flat until the mouse reaches it.
    if (!ASelected) Flags |= gfx::DFCS_FLAT;
    {
        SavedClip Clip(DC);
        const RECT Inner = Deflated(R, 1, 1);
        gfx::IntersectClipRect(DC, Inner.left, Inner.top, Inner.right, Inner.bottom);
        gfx::DrawFrameControl(DC, &Button, gfx::DFC_CAPTION, Flags);
    }
    Edge(DC, R, EdgeByDown(Pushed));
}

void TdxBarItemControlStandardPainter::GetMarkRectInWindow(TCustomdxBarControl* ABarControl, RECT& R) const {
    R = RECT{};
    if (!ABarControl) return;
    const int W = ABarControl->ClientWidth(), H = ABarControl->ClientHeight();
    switch (ABarControl->DockingStyle()) {
        case dsTop:
        case dsBottom:
            R = RECT{W - 11, 0, W, 9};
            break;
        case dsLeft:
        case dsRight:
            R = RECT{W - 9, H - 11, W, H};
            break;
        case dsNone:
            ABarControl->GetCaptionMarkRect(R);
            R.right = R.left + 13;
            break;
    }
}

bool TdxBarItemControlStandardPainter::IsCloseButtonHit(TCustomdxBarControl*, POINT) const {
    return true;
}

// ============================================================================
// Menus, sub items, combos and edits
// ============================================================================

void TdxBarItemControlStandardPainter::DrawDropDownButtonPart(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                              TdxBarPaintType APaintType, HBRUSH ABrush,
                                                              const TdxBarPaintState& AState,
                                                              bool ADropDownEnabled, bool) const {
    if (IsEmpty(R)) return;
    FillGlyphCell(AControl, DC, R, ABrush, AControl && AControl->IsCustomizingSelected());
    // The arrow part is down while its menu is open.
    const bool Down = AState.Down || AState.DroppedDown;
    const bool InMenu = APaintType == ptMenu;
    if (AState.Selected || (InMenu && Down)) Edge(DC, R, EdgeByDown(Down));
    const bool Enabled = AState.Enabled && ADropDownEnabled;
    RECT Arrow = R;
    if (InMenu) {
        const TCustomdxBarControl* Bar = BarOf(AControl);
        if (Down) gfx::OffsetRect(&Arrow, 1, 1);
        DrawSubMenuArrow(DC, Arrow, Bar ? Bar->TextHeightFifth() : 4, Enabled, false, false);
        return;
    }
    if (Down && Width(R) > 9) gfx::OffsetRect(&Arrow, 1, 1);
    DrawDropDownArrow(DC, Arrow, true, Enabled, false);
}

void TdxBarItemControlStandardPainter::ShiftDownContent(TdxBarItemControl* AControl, bool AFlag,
                                                        RECT& R) const {
    const auto* Button = dynamic_cast<const TdxBarButtonControl*>(AControl);
    if (Button && Button->GetDown()) gfx::OffsetRect(&R, 1, 1);
    if (AFlag) gfx::OffsetRect(&R, 1, 1);
}

void TdxBarItemControlStandardPainter::ShiftSelectedContent(bool AFlag, RECT& R) const {
    if (AFlag) gfx::OffsetRect(&R, 1, 1);
}

void TdxBarItemControlStandardPainter::DrawComboButton(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                       bool ASelected, bool) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = BarOf(AControl);
    RECT Button = R;
    if (Bar) Button.left = std::max<int>(R.left, R.right - Bar->ComboArrowWidth());
    TColor ArrowColor;
    HBRUSH ArrowBrush;
    const TdxBarPaintState State = GetComboButtonState(AControl, ASelected, ArrowColor, ArrowBrush);

    HBRUSH Brush = ArrowBrush;
    if (ASelected && State.Enabled) {
        Edge(DC, Button, EdgeByDown(State.DroppedDown));
        Brush = WindowBrush(Bar);
    } else {
        FrameRectWith(DC, Button,
                      State.Enabled ? gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT) : WindowBrush(Bar));
    }
    FrameRectWith(DC, Deflated(Button, 1, 1), Brush);
    const RECT Inner = Deflated(Button, 2, 2);
    FillRectWith(DC, Inner, Brush);
    if (IsEmpty(Inner)) return;
    if (!State.Enabled) {
        DrawComboArrow(DC, Inner, State.DroppedDown, gfx::clBtnHighlight, 1);
        DrawComboArrow(DC, Inner, State.DroppedDown, gfx::clBtnShadow);
    } else {
        DrawComboArrow(DC, Inner, State.DroppedDown, ArrowColor);
    }
}

void TdxBarItemControlStandardPainter::DrawDropDownListBorder(HDC DC, RECT R) const {
    Edge(DC, R, gfx::EDGE_RAISED);
}

void TdxBarItemControlStandardPainter::DrawRarelyUsedBand(TdxBarSubMenuControl* AMenu,
                                                          const TdxBarLinkState& ALinkState, HDC DC,
                                                          int AIndex, const RECT& R) const {
    if (!AMenu || IsEmpty(R)) return;
    const int Indent = GetExpandButtonIndent(AMenu);
    if (ALinkState.BeginGroup) {
        const bool AboveEntry = ALinkState.RarelyUsed || IsEmpty(ALinkState.SeparatorRect);
        const int Y = (AboveEntry ? R.top : ALinkState.SeparatorRect.top) - 1;
        FillSys(DC, RECT{R.left - Indent, Y, R.right + 1, Y + 1},
                ALinkState.RarelyUsed ? gfx::COLOR_BTNSHADOW : gfx::COLOR_BTNHIGHLIGHT);
    }
    if (!ALinkState.RarelyUsed) return;
    // The margins beside a rarely used entry keep the menu's own background,
    // so the lighter band of such entries stands apart.
    const HBRUSH Background = AMenu->GetBackgroundBrush();
    const int Left = AMenu->GetBarSize(), Right = AMenu->ClientWidth();
    FillRectWith(DC, RECT{Left, R.top, R.left, R.bottom}, Background);
    FillRectWith(DC, RECT{R.right, R.top, Right, R.bottom}, Background);
    if (AIndex == 0 && !AMenu->Detachable()) {
        FillRectWith(DC, RECT{Left, 0, Right, R.top}, Background);
        SetSysPixel(DC, R.right, R.top - 1, gfx::COLOR_BTNHIGHLIGHT);
    }
    const TdxBarItemLinks* Links = AMenu->ItemLinks();
    if (Links && AIndex == Links->VisibleItemCount() - 1) {
        FillRectWith(DC, RECT{Left, R.bottom, Right, AMenu->ClientHeight()}, Background);
        if (Indent > 0) SetSysPixel(DC, R.left - Indent, R.bottom, gfx::COLOR_BTNHIGHLIGHT);
    }
}

int TdxBarItemControlStandardPainter::GetExpandButtonHeightExtra(TdxBarSubMenuControl* AMenu) const {
    return TdxBarItemControlPainter::GetExpandButtonHeightExtra(AMenu) + 1;
}

void TdxBarItemControlStandardPainter::SetEditMargins(TdxBarItemControl*, win::HWND AWnd) const {
    win::SendMessage(AWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, win::MAKELPARAM(2, 2));
}

// ============================================================================
// Enhanced painter
// ============================================================================

TdxBarItemControlPainterClass TdxBarItemControlEnhancedPainter::Class() {
    static const TdxBarItemControlEnhancedPainter Painter;
    return &Painter;
}

void TdxBarItemControlEnhancedPainter::DrawMarkChevron(TCustomdxBarControl* ABarControl, HDC DC, POINT APos,
                                                       const RECT& R) const {
    const bool Vertical = ChevronsPointDown(ABarControl);
    const POINT Origin = Vertical ? POINT{R.left + 3, APos.y} : POINT{APos.x, R.top + 3};
    DrawMarkChevronStrokes(DC, Origin, Vertical, IsSmallRect(nullptr, R), GetMarkChevronColor(ABarControl));
}

void TdxBarItemControlEnhancedPainter::DrawMarkFace(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                                    const RECT& R) const {
    if (IsEmpty(R)) return;
    switch (ABarControl ? ABarControl->MarkState() : 0) {
        case 1:
            Edge(DC, R, gfx::BDR_RAISEDINNER);
            break;
        case 2:
            Edge(DC, R, gfx::BDR_SUNKENOUTER);
            break;
        default:
            FrameRectWith(DC, R, ABrush ? ABrush : WindowBrush(ABarControl));
            break;
    }
    FillThroughWindow(ABarControl, DC, Deflated(R, 1, 1));
}

void TdxBarItemControlEnhancedPainter::DrawMarkChevrons(TCustomdxBarControl* ABarControl, HDC DC,
                                                        const RECT& R) const {
    if (IsEmpty(R)) return;
    // The small arrow that opens the customization menu, at the mark's far end.
    int X, Y;
    if (ChevronsPointDown(ABarControl)) {
        X = R.right - 8;
        Y = (R.top + R.bottom - 3) / 2;
    } else {
        X = (R.left + R.right - 5) / 2;
        Y = R.bottom - 7;
    }
    DrawDownArrow(DC, GetMarkChevronColor(ABarControl), 5, X, Y);
    TdxBarItemControlPainter::DrawMarkChevrons(ABarControl, DC, R);
}

void TdxBarItemControlEnhancedPainter::DrawDockedFrame(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                       RECT R) const {
    if (!DrawDockedEdge(ABarControl, DC, R)) return;
    const bool Vertical = IsVerticallyDocked(ABarControl);
    RECT Grip = GripStrip(R, Vertical, GetGripIndent(), GetGripSize());
    Grip = Vertical ? Deflated(Grip, 1, 0) : Deflated(Grip, 0, 1);
    DrawGripBar(DC, Grip, Vertical, false);
}

void TdxBarItemControlEnhancedPainter::GetMarkRectInWindow(TCustomdxBarControl* ABarControl, RECT& R) const {
    R = RECT{};
    if (!ABarControl) return;
    const int W = ABarControl->ClientWidth(), H = ABarControl->ClientHeight();
    switch (ABarControl->DockingStyle()) {
        case dsTop:
        case dsBottom:
            R = RECT{W - 11, 0, W, H};
            break;
        case dsLeft:
        case dsRight:
            R = RECT{0, H - 11, W, H};
            break;
        case dsNone:
            ABarControl->GetCaptionMarkRect(R);
            R.right = R.left + 13;
            break;
    }
}

} // namespace bars
