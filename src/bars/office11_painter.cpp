#include "bars/office11_painter.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/painter_internal.h"
#include "bars/painters/xp_painter.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "classes/graphics.h"
#include "classes/imagelist.h"
#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "win/user.h"

#include <algorithm>

namespace bars {

using gfx::COLORREF;
using gfx::HBRUSH;
using gfx::HDC;
using gfx::POINT;
using gfx::RECT;
using gfx::TColor;

using namespace detail;

namespace {

const lf::TOffice11Colors& Scheme() {
    return lf::Office11Colors();
}

// A scheme brush exists while the scheme is referenced (every manager
// references it); without one a brush of the colour is made for the call.
void FillScheme(HDC DC, const RECT& R, HBRUSH ABrush, TColor AColor) {
    if (ABrush)
        FillRectWith(DC, R, ABrush);
    else
        FillColor(DC, R, AColor);
}

void FrameScheme(HDC DC, const RECT& R, HBRUSH ABrush, TColor AColor) {
    if (IsEmpty(R)) return;
    if (ABrush)
        gfx::FrameRect(DC, &R, ABrush);
    else
        lf::FrameRectByColor(DC, R, AColor);
}

// A scheme brush to hand out: the scheme's, else a system brush near it.
HBRUSH SchemeBrush(HBRUSH ABrush, int AFallbackIndex) {
    return ABrush ? ABrush : gfx::GetSysColorBrush(AFallbackIndex);
}

void SetPixelColor(HDC DC, int X, int Y, TColor AColor) {
    gfx::SetPixel(DC, X, Y, gfx::ColorToRGB(AColor));
}

TColor PixelColor(HDC DC, int X, int Y) {
    return static_cast<TColor>(gfx::GetPixel(DC, X, Y));
}

// A button control whose button is down (checked).
bool IsButtonDown(const TdxBarItemControl* AControl) {
    const auto* Button = dynamic_cast<const TdxBarButtonControl*>(AControl);
    return Button && Button->GetDown();
}

// The whole window of a bar in the coordinates of its client area: the
// surface's gradient runs across the border too.
RECT BarSurfaceRect(TCustomdxBarControl* ABarControl) {
    const RECT R = ClientRectOf(ABarControl);
    if (!ABarControl->HandleAllocated()) return R;
    RECT Window{};
    if (!win::GetWindowRect(ABarControl->Handle(), &Window)) return R;
    POINT Origin{0, 0};
    win::ClientToScreen(ABarControl->Handle(), &Origin);
    gfx::OffsetRect(&Window, -Origin.x, -Origin.y);
    return Window;
}

// The client area of a bar window in the coordinates of the window.
RECT ClientInWindow(TCustomdxBarControl* ABarControl, const RECT& AWindow) {
    if (!ABarControl || !ABarControl->HandleAllocated()) return Deflated(AWindow, 2, 2);
    RECT Window{};
    win::GetWindowRect(ABarControl->Handle(), &Window);
    POINT Origin{0, 0};
    win::ClientToScreen(ABarControl->Handle(), &Origin);
    RECT Client = ABarControl->ClientRect();
    gfx::OffsetRect(&Client, Origin.x - Window.left + AWindow.left, Origin.y - Window.top + AWindow.top);
    return Client;
}

// The colours of the selection of a toolbar control: hot, pressed, or
// pressed and checked.
void SelectionColors(const TdxBarItemControl* AControl, bool APressed, bool AChecked, TColor& AColor1,
                     TColor& AColor2) {
    const lf::TOffice11Colors& C = Scheme();
    const TCustomdxBarControl* Bar = BarOf(AControl);
    if (Bar && Bar->IsQuickCustomizingMenu()) {
        AColor1 = AColor2 = APressed ? C.ToolbarColor : C.HotGradientColor1;
    } else if (!APressed) {
        AColor1 = C.HotGradientColor1;
        AColor2 = C.HotGradientColor2;
    } else if (!AChecked) {
        AColor1 = C.DownGradientColor1;
        AColor2 = C.DownGradientColor2;
        if (gfx::ColorToRGB(AColor1) == gfx::ColorToRGB(AColor2)) AColor1 = AColor2 = C.CheckedColor;
    } else {
        AColor1 = C.DownGradientColor2;
        AColor2 = C.DownGradientColor1;
    }
}

void FillSelection(const TdxBarItemControl* AControl, HDC DC, const RECT& R, bool APressed, bool AChecked) {
    TColor C1, C2;
    SelectionColors(AControl, APressed, AChecked, C1, C2);
    lf::FillGradientRect(DC, R, C1, C2, IsVerticalBarControl(BarOf(AControl)));
}

// The mark's glyph at its far end: a line over a triangle pointing down
// (right on a vertical bar), and with hidden links two chevrons before it.
void MarkGlyph(HDC DC, const RECT& R, bool AHorizontalBar, bool AChevrons, int AShift, TColor AColor) {
    TempBrush Brush(AColor);
    auto Dot = [&](int X, int Y, int W, int H) {
        const RECT P{X + AShift, Y + AShift, X + AShift + W, Y + AShift + H};
        gfx::FillRect(DC, &P, Brush.Handle());
    };
    if (AHorizontalBar) {
        const int X = (R.left + R.right - 5) / 2, Y = R.bottom - 10;
        Dot(X, Y, 5, 1);
        for (int K = 0; K < 3; ++K) Dot(X + K, Y + 3 + K, 5 - 2 * K, 1);
        if (!AChevrons) return;
        const int CX = (R.left + R.right - 7) / 2, CY = R.top + 4;
        for (const int Left : {CX, CX + 4})
            for (int K = 0; K < 5; ++K) Dot(Left + (K < 3 ? K : 4 - K), CY + K, 1, 1);
    } else {
        const int X = R.right - 10, Y = (R.top + R.bottom - 5) / 2;
        Dot(X, Y, 1, 5);
        for (int K = 0; K < 3; ++K) Dot(X + 3 + K, Y + K, 1, 5 - 2 * K);
        if (!AChevrons) return;
        const int CX = R.left + 4, CY = (R.top + R.bottom - 7) / 2;
        for (const int Top : {CY, CY + 4})
            for (int K = 0; K < 5; ++K) Dot(CX + K, Top + (K < 3 ? K : 4 - K), 1, 1);
    }
}

// A brush of a colour that no scheme brush has, kept until the colour changes.
HBRUSH KeptBrush(TColor AColor) {
    static HBRUSH Brush = nullptr;
    static COLORREF Color = 0;
    const COLORREF Wanted = gfx::ColorToRGB(AColor);
    if (!Brush || Color != Wanted) {
        if (Brush) gfx::DeleteObject(Brush);
        Brush = gfx::CreateSolidBrush(Wanted);
        Color = Wanted;
    }
    return Brush;
}

// The XP painter while the manager has visual styles, else nullptr.
TdxBarItemControlPainterClass ThemedPainter(const TdxBarManager* AManager) {
    return AManager && AManager->ThemeAvailable() ? TdxBarItemControlXPPainter::Class() : nullptr;
}

} // namespace

TdxBarItemControlPainterClass TdxBarItemControlOffice11Painter::Class() {
    static const TdxBarItemControlOffice11Painter Painter;
    return &Painter;
}

int TdxBarItemControlOffice11Painter::GetMenuBandWidth(TdxBarSubMenuControl* AMenu) const {
    if (!AMenu) return 0;
    int Column = AMenu->TextHeight();
    AdjustMenuBandWidth(Column);
    return AMenu->GetBarSize() + Column + 2;
}

// ============================================================================
// Item controls
// ============================================================================

void TdxBarItemControlOffice11Painter::DrawGlyphFrame(TdxBarItemControl* AControl, HDC DC,
                                                      TdxBarPaintType APaintType,
                                                      const TdxBarPaintState& AState, const RECT& R,
                                                      bool AFrame, bool, HBRUSH ABrush) const {
    if (IsEmpty(R)) return;
    const bool InMenu = APaintType == ptMenu;
    if (InMenu && AState.Down && !AState.Selected) {
        FillRectWith(DC, R, ABrush);
        return;
    }
    TCustomdxBarControl* Bar = BarOf(AControl);
    const bool Lit = AState.Selected || AState.Down || AState.Pressed;
    if (!InMenu && AState.Selected && AState.DroppedDown)
        lf::FillGradientRect(DC, R, Scheme().OpenItemColor1, Scheme().OpenItemColor2,
                             IsVerticalBarControl(Bar));
    else if (!InMenu && Lit)
        FillSelection(AControl, DC, R, AState.Pressed || AState.Down, AState.Down);
    else
        FillGlyphCell(AControl, DC, R, ABrush, Lit);

    TdxBarSubMenuControl* Menu = AControl ? AControl->GetChildMenuControl() : nullptr;
    if (AState.Selected && AState.DroppedDown && Menu)
        DrawWindowFrame(Menu, DC, R, AControl);
    else if (AState.Selected && (AState.Down || IsButtonDown(AControl)))
        FrameSelected(DC, R);
    else if (AState.Selected)
        FrameScheme(DC, R, Scheme().MenuBorderBrush, Scheme().MenuBorderColor);
    else if (AState.Down && !InMenu)
        FrameSelected(DC, R);
    // A cell filled through the bar has its ring filled with it already.
    else if (AFrame && Lit)
        FrameGlyphCell(AControl, DC, R, ABrush, true);
}

void TdxBarItemControlOffice11Painter::DrawGlyphBitmap(TdxBarItemControl* AControl, HDC DC,
                                                       const TdxBarPaintState& AState, RECT R,
                                                       const RECT& AGlyphRect, bool, bool AFrame,
                                                       HBRUSH ABrush) const {
    if (!AControl) return;
    if (AFrame) R = Deflated(R, 1, 1);
    if (IsEmpty(R)) return;
    // The frame, drawn first, has laid the cell's background.
    DrawControlGlyph(AControl, DC, ABrush, R, AGlyphRect,
                     AControl->CanDrawFromImages() ? ImagesOf(AControl) : nullptr, AState, false, true);
}

void TdxBarItemControlOffice11Painter::DrawDropDownArrow(HDC DC, const RECT& R, bool APointDown,
                                                         bool AEnabled, bool ASelected) const {
    if (!IsEmpty(R)) lf::DrawOffice11ArrowFitted(DC, R, APointDown, AEnabled, ASelected);
}

void TdxBarItemControlOffice11Painter::DrawSubMenuArrow(HDC DC, const RECT& R, int ASize, bool AEnabled,
                                                        bool ASelected, bool ADown) const {
    if (ASize > 0 && !IsEmpty(R)) lf::DrawOffice11Arrow(DC, R, ADown, AEnabled, ASelected, ASize);
}

void TdxBarItemControlOffice11Painter::GetEditColors(TdxBarItemControl* AControl, TColor& ATextColor,
                                                     TColor& ABkColor) const {
    if (!AControl || AControl->GetEnabled()) {
        ATextColor = Scheme().TextColor;
        ABkColor = gfx::clWindow;
    } else {
        ATextColor = Scheme().DisabledTextColor;
        ABkColor = gfx::clBtnFace;
    }
}

TColor TdxBarItemControlOffice11Painter::GetDisabledImageFadeColor(TCustomdxBarControl*) const {
    return Scheme().ImageFadeColor;
}

void TdxBarItemControlOffice11Painter::GetTextColors(TdxBarItemControl*, bool AEnabled, TColor& AShadowColor,
                                                     TColor& ATextColor, bool AFlatHint,
                                                     bool ASelected) const {
    const lf::TOffice11Colors& C = Scheme();
    if (!AEnabled)
        ATextColor = C.DisabledTextColor;
    else if (ASelected && !AFlatHint)
        ATextColor = lf::IsHighContrastWhite() ? gfx::clWhite : C.SelectedTextColor;
    else
        ATextColor = C.TextColor;
    AShadowColor = ATextColor;
}

TColor TdxBarItemControlOffice11Painter::GetCaptionColor(TCustomdxBarControl*, bool) const {
    return Scheme().CaptionColor;
}

TColor TdxBarItemControlOffice11Painter::GetCaptionTextColor(TCustomdxBarControl*) const {
    return Scheme().CaptionTextColor;
}

TColor TdxBarItemControlOffice11Painter::GetMarkArrowColor(TCustomdxBarControl*, int AState) const {
    const lf::TOffice11Colors& C = Scheme();
    if (AState == 1) return C.CloseButtonHotColor;
    if (AState == 2) return C.CloseButtonDownColor;
    return C.CaptionTextColor;
}

void TdxBarItemControlOffice11Painter::DrawMarkFace(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                    const RECT& R) const {
    if (IsEmpty(R)) return;
    const int State = ABarControl ? std::clamp(ABarControl->MarkState(), 0, 2) : 0;
    const auto Colors = lf::Office11MarkColors()[State];
    const bool Horizontal = IsDockedHorizontally(ABarControl);
    RECT Face = R;
    const bool Rounded = ABarControl && !ABarControl->IsMainMenuBar() &&
                         ABarControl->DockingStyle() != dsNone && HasSingleBorder(ABarControl);
    // On a bar with a single border the mark reaches into the bar's rounded end.
    if (Rounded) (Horizontal ? Face.right : Face.bottom) += 2;
    lf::FillTwoStageGradientRect(DC, Face, Colors[0], Colors[1], !Horizontal);
    if (Rounded) {
        const POINT Corner = Horizontal ? POINT{Face.right - 1, Face.top} : POINT{Face.left, Face.bottom - 1};
        const RECT Surface = BarSurfaceRect(ABarControl);
        const TColor Behind = lf::GetGradientColorAt(Surface, Horizontal ? Corner.y : Corner.x,
                                                     Scheme().BarColor1, Scheme().BarColor2, !Horizontal);
        SetPixelColor(DC, Corner.x, Corner.y, lf::MixColors(PixelColor(DC, Corner.x, Corner.y), Behind, 50));
    }
}

void TdxBarItemControlOffice11Painter::DrawMarkChevrons(TCustomdxBarControl* ABarControl, HDC DC,
                                                        const RECT& R) const {
    if (IsEmpty(R)) return;
    const bool Horizontal = !ABarControl || IsDockedHorizontally(ABarControl);
    const bool Chevrons = ABarControl && ABarControl->HasHiddenLinks();
    MarkGlyph(DC, R, Horizontal, Chevrons, 1, Scheme().MarkArrowColor);
    MarkGlyph(DC, R, Horizontal, Chevrons, 0, Scheme().MarkArrowShadowColor);
}

void TdxBarItemControlOffice11Painter::DrawExpandArrows(TdxBarSubMenuControl* AMenu, HDC DC, bool ASelected,
                                                        const RECT& R) const {
    cls::TBitmap* Chevrons = Scheme().SubMenuExpandBitmap;
    if (!Chevrons || Chevrons->Empty()) {
        TdxBarItemControlFlatPainter::DrawExpandArrows(AMenu, DC, ASelected, R);
        return;
    }
    const RECT Area = Deflated(R, 1, 1);
    if (IsEmpty(Area)) return;
    const int W = Chevrons->Width(), H = Chevrons->Height();
    const int Left = (Area.left + Area.right) / 2 - W / 2;
    const int Top = Area.top + (Height(Area) - H) / 2;
    DrawGlyph(DC, nullptr, Area, RECT{Left, Top, Left + W, Top + H}, Chevrons, nullptr, -1, true, false,
              false, false, false, false, false, true, gfx::clNone, gfx::clNone);
}

void TdxBarItemControlOffice11Painter::DrawDownFrame(TdxBarItemControl* AControl, HDC DC, RECT& R, bool ADown,
                                                     bool ASelected, bool APressed) const {
    if (IsEmpty(R)) return;
    if (ASelected) {
        TdxBarItemControlFlatPainter::DrawDownFrame(AControl, DC, R, ADown, ASelected, APressed);
        return;
    }
    HBRUSH Fill;
    if (ADown) {
        gfx::FrameRect(DC, &R, WindowBrush(BarOf(AControl)));
        Fill = SchemeBrush(Scheme().ToolbarBrush, gfx::COLOR_BTNFACE);
    } else {
        lf::FrameRectByColor(DC, R, Scheme().DisabledTextColor);
        Fill = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
    }
    R = Deflated(R, 1, 1);
    FillRectWith(DC, R, Fill);
}

void TdxBarItemControlOffice11Painter::GetTextColorAndBrush(TdxBarItemControl* AControl,
                                                            const TdxBarPaintState& AState, TColor& AColor,
                                                            HBRUSH& ABrush) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (!AState.Enabled) {
        AColor = Scheme().DisabledTextColor;
        ABrush = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
        return;
    }
    AColor = Scheme().TextColor;
    if (AState.Selected) {
        if (lf::IsHighContrastWhite())
            AColor = gfx::clWhite;
        else if (AState.Pressed && !lf::IsOffice11SchemeActive())
            AColor = gfx::clHighlightText;
    }
    if (AState.Selected)
        ABrush = AState.Pressed ? DownBrushOf(Bar, this) : HotBrushOf(Bar, this);
    else
        ABrush = WindowBrush(Bar);
}

HBRUSH TdxBarItemControlOffice11Painter::GetGlyphBrush(TdxBarItemControl* AControl,
                                                       TdxBarPaintType APaintType,
                                                       const TdxBarPaintState& AState) const {
    if (APaintType == ptMenu && !AState.Selected && !AState.Down) return BarBrushOf(BarOf(AControl), this);
    return TdxBarItemControlFlatPainter::GetGlyphBrush(AControl, APaintType, AState);
}

bool TdxBarItemControlOffice11Painter::IsDropDownPartFlat() const {
    return !lf::IsOffice11SchemeActive() && TdxBarItemControlFlatPainter::IsDropDownPartFlat();
}

// ============================================================================
// Toolbar windows and dock sites
// ============================================================================

void TdxBarItemControlOffice11Painter::DrawDockBackground(TdxDockControl* ADockControl, HDC DC, TColor,
                                                          HBRUSH, const RECT& R, POINT AOrigin) const {
    const lf::TOffice11Colors& C = Scheme();
    const TdxBarDockingStyle Style = ADockControl ? ADockControl->GetDockingStyle() : dsTop;
    const auto Fill = [&](HDC ADC, const RECT& ADock) {
        switch (Style) {
            case dsLeft:
                FillColor(ADC, ADock, C.DockColor1);
                break;
            case dsRight:
                FillColor(ADC, ADock, C.DockColor2);
                break;
            default:
                lf::FillGradientRect(ADC, ADock, C.DockColor1, C.DockColor2, true);
                break;
        }
    };
    DrawCachedDockBackground(ADockControl, DC, R, AOrigin, Fill);
}

bool TdxBarItemControlOffice11Painter::IsDockBackgroundChanged(TdxDockControl* ADockControl, const RECT& AOld,
                                                               const RECT& ANew, const RECT& APart) const {
    // Side sites are one colour; the others run a gradient across their width.
    const TdxBarDockingStyle Style = ADockControl ? ADockControl->GetDockingStyle() : dsTop;
    if (Style == dsLeft || Style == dsRight || Width(AOld) == Width(ANew)) return false;
    const lf::TOffice11Colors& C = Scheme();
    const RECT Old{0, 0, Width(AOld), 1}, New{0, 0, Width(ANew), 1};
    for (int X = APart.left; X < APart.right; ++X)
        if (lf::GetGradientColorAt(Old, X, C.DockColor1, C.DockColor2, true) !=
            lf::GetGradientColorAt(New, X, C.DockColor1, C.DockColor2, true))
            return true;
    return false;
}

HBRUSH TdxBarItemControlOffice11Painter::GetToolbarBrush(const TdxBarManager*) const {
    return SchemeBrush(Scheme().ToolbarBrush, gfx::COLOR_BTNFACE);
}

void TdxBarItemControlOffice11Painter::FillBarBackgroundFromDock(TCustomdxBarControl* ABarControl, HDC DC,
                                                                 HBRUSH ABrush, cls::TBitmap* ABitmap,
                                                                 const RECT& R, POINT AOrigin) const {
    if (IsEmpty(R)) return;
    if (!ABarControl || !ABarControl->IsToolbarWindow() || ABarControl->IsMainMenuBar() ||
        !HasSingleBorder(ABarControl) || ABarControl->HasBackgroundBitmap()) {
        TdxBarItemControlFlatPainter::FillBarBackgroundFromDock(ABarControl, DC, ABrush, ABitmap, R, AOrigin);
        return;
    }
    SavedClip Clip(DC);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    lf::FillTwoStageGradientRect(DC, BarSurfaceRect(ABarControl), Scheme().BarColor1, Scheme().BarColor2,
                                 IsVerticalBarControl(ABarControl));
}

void TdxBarItemControlOffice11Painter::FillBarWindowBackground(TCustomdxBarControl* ABarControl, HDC DC,
                                                               TColor AColor, HBRUSH ABrush, const RECT& R,
                                                               POINT AOrigin) const {
    if (IsEmpty(R)) return;
    // A menu window's background is its band and the menu colour.
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(ABarControl)) {
        FillMenuSideStrip(Menu, DC, AColor, ABrush, R);
        return;
    }
    if (!ABarControl || !ABarControl->IsToolbarWindow() || ABarControl->IsMainMenuBar() ||
        !HasSingleBorder(ABarControl) || ABarControl->HasBackgroundBitmap() ||
        ABarControl->IsQuickCustomizingMenu()) {
        TdxBarItemControlFlatPainter::FillBarWindowBackground(ABarControl, DC, AColor, ABrush, R, AOrigin);
        return;
    }
    SavedClip Clip(DC);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    lf::FillGradientRect(DC, ClientRectOf(ABarControl), Scheme().BarColor1, Scheme().BarColor2, false);
}

void TdxBarItemControlOffice11Painter::FillOwnerEdge(TCustomdxBarControl* ABarControl, HDC DC) const {
    if (!ABarControl) return;
    RECT R{};
    ABarControl->GetOwnerEdgeRect(false, R);
    FillScheme(DC, R, Scheme().MenuBrush, Scheme().MenuColor);
}

bool TdxBarItemControlOffice11Painter::IsBarBorderFlat(TCustomdxBarControl* ABarControl) const {
    if (ABarControl && ABarControl->IsToolbarWindow() && !ABarControl->IsQuickCustomizingMenu()) return false;
    return TdxBarItemControlFlatPainter::IsBarBorderFlat(ABarControl);
}

HBRUSH TdxBarItemControlOffice11Painter::GetBarBrush() const {
    return SchemeBrush(Scheme().MenuBrush, gfx::COLOR_WINDOW);
}

HBRUSH TdxBarItemControlOffice11Painter::GetCheckerBrush() const {
    return SchemeBrush(Scheme().CheckedBrush, gfx::COLOR_HIGHLIGHT);
}

HBRUSH TdxBarItemControlOffice11Painter::GetSelectedBrush() const {
    return SchemeBrush(Scheme().DownBrush, gfx::COLOR_HIGHLIGHT);
}

HBRUSH TdxBarItemControlOffice11Painter::GetHighlightBrush() const {
    return SchemeBrush(Scheme().HotBrush, gfx::COLOR_HIGHLIGHT);
}

void TdxBarItemControlOffice11Painter::GetDockedFrameRect(TCustomdxBarControl* ABarControl, RECT& R) const {
    GetBorderRect(ABarControl && ABarControl->IsMainMenuBar(),
                  ABarControl ? ABarControl->DockingStyle() : dsTop, R);
}

void TdxBarItemControlOffice11Painter::GetBorderRect(bool AIsMainMenu, TdxBarDockingStyle ADockingStyle,
                                                     RECT& R) const {
    if (!AIsMainMenu) {
        TdxBarItemControlFlatPainter::GetBorderRect(AIsMainMenu, ADockingStyle, R);
        return;
    }
    R = ADockingStyle == dsTop || ADockingStyle == dsBottom ? RECT{0, 2, 0, 2} : RECT{2, 0, 2, 0};
}

void TdxBarItemControlOffice11Painter::DrawToolbarSeparator(TCustomdxBarControl* ABarControl, HDC DC,
                                                            const RECT& R, bool AHorizontal) const {
    if (IsEmpty(R)) return;
    FillThroughWindow(ABarControl, DC, R);
    const lf::TOffice11Colors& C = Scheme();
    const int Offset = GetSeparatorLineOffset();
    // A horizontal bar is parted by upright lines, a vertical one by level ones.
    RECT Dark, Light;
    if (AHorizontal) {
        const RECT S = Deflated(R, Offset, 0);
        Dark = RECT{S.left, S.top + 3, S.left + 1, S.bottom - 4};
        Light = RECT{S.left + 1, S.top + 4, S.left + 2, S.bottom - 3};
    } else {
        const RECT S = Deflated(R, 0, Offset);
        Dark = RECT{S.left + 3, S.top, S.right - 4, S.top + 1};
        Light = RECT{S.left + 4, S.top + 1, S.right - 3, S.top + 2};
    }
    FillScheme(DC, Dark, C.MenuSeparatorBrush, C.MenuSeparatorColor);
    FillScheme(DC, Light, C.SeparatorLightBrush, C.SeparatorLightColor);
}

void TdxBarItemControlOffice11Painter::FillCaptionButton(TCustomdxBarControl* ABarControl, HDC DC, int AState,
                                                         RECT R) const {
    if (IsEmpty(R)) return;
    if (AState == 0) {
        FillColor(DC, R, GetCaptionColor(ABarControl, true));
        return;
    }
    FrameSelected(DC, R);
    FillColor(DC, Deflated(R, 1, 1), AState == 1 ? Scheme().HotGradientColor1 : Scheme().HotGradientColor2);
}

void TdxBarItemControlOffice11Painter::DrawDockedFrame(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                       RECT R) const {
    if (IsEmpty(R) || !ABarControl) return;
    const lf::TOffice11Colors& C = Scheme();
    const bool Vertical = IsVerticalBarControl(ABarControl);
    const RECT Client = ClientInWindow(ABarControl, R);
    {
        // The border is part of the bar's surface.
        SavedClip Clip(DC);
        gfx::ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
        if (ABarControl->IsMainMenuBar()) {
            FillThroughWindow(ABarControl, DC, R);
        } else {
            lf::FillTwoStageGradientRect(DC, R, C.BarColor1, C.BarColor2, Vertical);
            const TempBrush Edge(C.BarEdgeColor);
            const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
            FillRectWith(DC, RECT{L + 2, B - 1, Rt - 2, B}, Edge.Handle());
            FillRectWith(DC, RECT{Rt - 1, T + 2, Rt, B - 2}, Edge.Handle());
            SetPixelColor(DC, Rt - 2, B - 2, C.BarEdgeColor);
            // The corners are cut to the dock's background, and the pixels
            // beside them softened toward it.
            for (const POINT P : {POINT{L, T}, POINT{Rt - 1, T}, POINT{L, B - 1}, POINT{Rt - 1, B - 1}})
                TdxBarItemControlPainter::FillBarBackgroundFromDock(
                    ABarControl, DC, nullptr, nullptr, RECT{P.x, P.y, P.x + 1, P.y + 1}, POINT{0, 0});
            const TColor DockColor = PixelColor(DC, L, T);
            for (const POINT P : {POINT{L + 1, T}, POINT{L, T + 1}, POINT{Rt - 1, T + 1}, POINT{L + 1, B - 1},
                                  POINT{Rt - 2, B - 1}, POINT{Rt - 1, B - 2}})
                SetPixelColor(DC, P.x, P.y, lf::MixColors(PixelColor(DC, P.x, P.y), DockColor, 50));
        }
    }
    const TdxBar* Bar = BarOfWindow(ABarControl);
    if (!Bar || !Bar->CanDock()) return;
    DrawGripDots(DC, GetGripRect(ABarControl, Deflated(R, 2, 2), Vertical), !Vertical);
}

void TdxBarItemControlOffice11Painter::DrawBarBorder(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                                     int ABorder, RECT R) const {
    if (IsEmpty(R)) return;
    const lf::TOffice11Colors& C = Scheme();
    if (ABarControl && ABarControl->IsQuickCustomizingMenu()) {
        FrameScheme(DC, R, C.MenuBorderBrush, C.MenuBorderColor);
        for (int I = 1; I < ABorder; ++I) {
            R = Deflated(R, 1, 1);
            FrameRectWith(DC, R, ABrush);
        }
        return;
    }
    const TempBrush Outer(C.FloatingFrameColor), Inner(C.FloatingFrameInnerColor);
    FrameRectWith(DC, R, Outer.Handle());
    R = Deflated(R, 1, 1);
    FrameRectWith(DC, R, Outer.Handle());
    R = Deflated(R, 1, 1);
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, Inner.Handle());
    for (const POINT P : {POINT{R.left, R.top}, POINT{R.right - 1, R.top}, POINT{R.left, R.bottom - 1},
                          POINT{R.right - 1, R.bottom - 1}})
        FillRectWith(DC, RECT{P.x, P.y, P.x + 1, P.y + 1}, Outer.Handle());
}

void TdxBarItemControlOffice11Painter::DrawFloatingCaption(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                           const RECT& R) const {
    const TempBrush Grip(Scheme().GripColor);
    TdxBarItemControlFlatPainter::DrawFloatingCaption(ABarControl, DC, Grip.Handle(), R);
}

// The caption's band is the light grip colour, on which the arrow in the
// caption's text colour hardly shows: the mark takes the caption colour, as
// the close button beside it does.
void TdxBarItemControlOffice11Painter::DrawMark(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R,
                                                int AState) const {
    if (!IsEmpty(R) && AState != 2) FillCaptionButton(ABarControl, DC, AState, R);
    TdxBarItemControlFlatPainter::DrawMark(ABarControl, DC, R, AState);
}

void TdxBarItemControlOffice11Painter::GetMarkRect(TCustomdxBarControl* ABarControl, RECT& R) const {
    TdxBarItemControlFlatPainter::GetMarkRect(ABarControl, R);
    if (!ABarControl || ABarControl->IsMainMenuBar() || !HasSingleBorder(ABarControl)) return;
    switch (ABarControl->DockingStyle()) {
        case dsLeft:
        case dsRight:
            --R.left;
            ++R.right;
            R.bottom += 2;
            break;
        case dsTop:
        case dsBottom:
            --R.top;
            R.right += 2;
            ++R.bottom;
            break;
        case dsNone:
            break;
    }
}

void TdxBarItemControlOffice11Painter::RepaintMark(TCustomdxBarControl* ABarControl) const {
    TdxBarItemControlFlatPainter::RepaintMark(ABarControl);
    // The mark reaches into the border, which the window paints itself.
    if (ABarControl && ABarControl->HandleAllocated() && ABarControl->DockingStyle() != dsNone)
        win::SendMessage(ABarControl->Handle(), win::WM_NCPAINT, 0, 0);
}

HBRUSH TdxBarItemControlOffice11Painter::GetQuickCustWindowBrush(TCustomdxBarControl*) const {
    return SchemeBrush(Scheme().MenuBrush, gfx::COLOR_WINDOW);
}

// ============================================================================
// Menus, sub items, combos and edits
// ============================================================================

void TdxBarItemControlOffice11Painter::DrawDropDownButtonPart(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                              TdxBarPaintType APaintType, HBRUSH ABrush,
                                                              const TdxBarPaintState& AState,
                                                              bool ADropDownEnabled, bool AMenuOpen) const {
    if (!DrawDropDownPartFace(AControl, DC, R, APaintType, ABrush, AState, AMenuOpen)) return;
    const bool HighContrastWhite = lf::IsHighContrastWhite();
    DrawDropDownPartArrow(AControl, DC, R, APaintType, ADropDownEnabled,
                          APaintType == ptMenu ? AState.DroppedDown || (AState.Selected && HighContrastWhite)
                                               : AState.Selected && !AState.DroppedDown && HighContrastWhite);
}

void TdxBarItemControlOffice11Painter::DrawComboButton(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                       bool ASelected, bool) const {
    if (!AControl || IsEmpty(R)) return;
    RECT Part = FrameComboButton(AControl, DC, R, ASelected);
    TColor ArrowColor;
    HBRUSH ArrowBrush;
    const TdxBarPaintState State = GetComboButtonState(AControl, ASelected, ArrowColor, ArrowBrush);
    if (ASelected) {
        FillSelection(AControl, DC, Part, State.DroppedDown, false);
    } else {
        const HBRUSH Ring = State.Enabled ? gfx::GetSysColorBrush(gfx::COLOR_WINDOW) : ArrowBrush;
        gfx::FrameRect(DC, &Part, Ring);
        FillRectWith(DC, RECT{Part.left - 1, Part.top, Part.left, Part.bottom}, Ring);
        Part = Deflated(Part, 1, 1);
        if (State.DroppedDown && State.Enabled)
            FillScheme(DC, Part, Scheme().ToolbarBrush, Scheme().ToolbarColor);
        else
            FillGlyphCell(AControl, DC, Part, ArrowBrush, false);
    }
    DrawComboArrow(DC, Part, State.DroppedDown, ArrowColor);
}

void TdxBarItemControlOffice11Painter::GetComboArrowColors(TdxBarItemControl* AControl,
                                                           const TdxBarPaintState& AState, TColor& AColor,
                                                           HBRUSH& ABrush) const {
    GetTextColorAndBrush(AControl, AState, AColor, ABrush);
    if (!AState.Enabled) return;
    TCustomdxBarControl* Bar = BarOf(AControl);
    if (AState.Selected)
        ABrush = HotBrushOf(Bar, this);
    else if (AState.DroppedDown)
        ABrush = DownBrushOf(Bar, this);
}

void TdxBarItemControlOffice11Painter::DrawDropDownListBorder(HDC DC, RECT R) const {
    FrameRectWith(DC, R, GetFrameBrush());
    FrameRectWith(DC, Deflated(R, 1, 1), GetFrameBrush());
}

void TdxBarItemControlOffice11Painter::GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1,
                                                      int& AExpandHeight, int& AM2) const {
    TdxBarItemControlFlatPainter::GetMenuMetrics(AMenu, AItemHeight, AM1, AExpandHeight, AM2);
    if (const cls::TBitmap* Chevrons = Scheme().SubMenuExpandBitmap) AExpandHeight = Chevrons->Height() + 2;
}

int TdxBarItemControlOffice11Painter::GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const {
    return AMenu ? AMenu->GetDetachBarBaseSize() + 5 : 0;
}

void TdxBarItemControlOffice11Painter::FillMenuSideStrip(TdxBarSubMenuControl* AMenu, HDC DC, TColor AColor,
                                                         HBRUSH ABrush, const RECT& R) const {
    if (IsEmpty(R)) return;
    if (!AMenu || AMenu->GetBackgroundBitmap()) {
        TdxBarItemControlFlatPainter::FillMenuSideStrip(AMenu, DC, AColor, ABrush, R);
        return;
    }
    const lf::TOffice11Colors& C = Scheme();
    const int Band = GetMenuBandWidth(AMenu);
    // Only the band's part inside R is drawn: most cells of an entry lie
    // right of it, or show a column or two.
    // A rarely used control that fills through the window has told the
    // window so: its band is darker.
    const bool Dark = AMenu->DrawFlag() != 0;
    const TColor Color2 = Dark ? C.MenuBandDarkColor2 : C.MenuBandColor2;
    if (R.left < Band)
        lf::FillTwoStageGradientRect(DC, RECT{0, R.top, Band, R.bottom},
                                     Dark ? C.MenuBandDarkColor1 : C.MenuBandColor1, Color2, true, R);
    // Quick-customization rows show their glyphs right of their check cells:
    // the band runs on behind them.
    const int End = Band + AMenu->GetQuickCustBandWidth();
    const RECT QuickBand{std::max<int>(Band, R.left), R.top, std::min<int>(End, R.right), R.bottom};
    if (QuickBand.left < QuickBand.right) FillColor(DC, QuickBand, Color2);
    if (End < R.right) FillRectWith(DC, RECT{std::max<int>(End, R.left), R.top, R.right, R.bottom}, ABrush);
}

void TdxBarItemControlOffice11Painter::DrawMenuFrame(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    const lf::TOffice11Colors& C = Scheme();
    FrameScheme(DC, R, C.MenuBorderBrush, C.MenuBorderColor);
    FillOwnerEdge(AMenu, DC);
    if (!AMenu || !AMenu->Detachable()) return;
    // The strip sits in two rows of the menu colour above and below it.
    const RECT Room = AMenu->GetDetachBarRect();
    const RECT Strip = Deflated(Room, 1, 2);
    SavedClip Clip(DC);
    gfx::ExcludeClipRect(DC, Strip.left, Strip.top, Strip.right, Strip.bottom);
    FillScheme(DC, Room, C.MenuBrush, C.MenuColor);
    Clip.Restore();
    FillDetachBar(AMenu, DC, Strip);
}

void TdxBarItemControlOffice11Painter::DrawExpandButton(TdxBarSubMenuControl* AMenu, HDC DC, HBRUSH,
                                                        RECT& R) const {
    if (IsEmpty(R)) return;
    const lf::TOffice11Colors& C = Scheme();
    if (AMenu && (AMenu->GetBarSize() > 0 || AMenu->GetBackgroundBitmap())) {
        FrameScheme(DC, R, C.MenuBrush, C.MenuColor);
        return;
    }
    FillScheme(DC, RECT{R.left, R.top, R.right, R.top + 1}, C.MenuBrush, C.MenuColor);
    FillScheme(DC, RECT{R.right - 1, R.top, R.right, R.bottom}, C.MenuBrush, C.MenuColor);
    FillScheme(DC, RECT{R.left, R.bottom - 1, R.right, R.bottom}, C.MenuBrush, C.MenuColor);
    // The band runs on along the button's left edge.
    FillColor(DC, RECT{R.left, R.top + 1, R.left + 1, R.bottom - 1}, C.MenuBandColor1);
}

void TdxBarItemControlOffice11Painter::FillDetachBar(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    const lf::TOffice11Colors& C = Scheme();
    int U;
    if (AMenu && AMenu->DetachBarHot()) {
        FrameSelected(DC, R);
        R = Deflated(R, 1, 1);
        FillScheme(DC, R, C.HotBrush, C.HotColor);
        U = 0;
    } else {
        FillScheme(DC, R, C.DetachBarBrush, C.DetachBarColor);
        U = 1;
    }
    DrawGripDots(DC, Deflated(R, (Width(R) + 2 * U + 3) / 4, U + 1), false);
}

void TdxBarItemControlOffice11Painter::GetMenuContentRect(TdxBarSubMenuControl*, RECT& R) const {
    R = Deflated(R, 2, 4);
}

HBRUSH TdxBarItemControlOffice11Painter::GetMenuBackgroundBrush() const {
    return SchemeBrush(Scheme().MenuBrush, gfx::COLOR_WINDOW);
}

int TdxBarItemControlOffice11Painter::GetEditCaptionWidth(TdxBarItemControl* AControl, int AWidth) const {
    int Result = TdxBarItemControlFlatPainter::GetEditCaptionWidth(AControl, AWidth);
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(BarOf(AControl)))
        Result += GetMenuBandWidth(Menu) + 1;
    return Result;
}

void TdxBarItemControlOffice11Painter::DrawEditFrame(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                                     TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    if (ASelected)
        FrameSelected(DC, R);
    else if (!AControl->GetEnabled())
        lf::FrameRectByColor(DC, R, Scheme().DisabledTextColor);
    else if (APaintType == ptMenu)
        FrameScheme(DC, R, Scheme().ToolbarBrush, Scheme().ToolbarColor);
    else
        FrameGlyphCell(AControl, DC, R, WindowBrush(BarOf(AControl)), false);
    R = Deflated(R, 1, 1);
}

TColor TdxBarItemControlOffice11Painter::GetProgressDefaultColor() const {
    return Scheme().ProgressColor;
}

int TdxBarItemControlOffice11Painter::GetProgressIndentX(TdxBarItemControl* AControl) const {
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(BarOf(AControl));
    return Menu && !AControl->HasGlyph() ? GetMenuBandWidth(Menu) : 0;
}

HBRUSH TdxBarItemControlOffice11Painter::GetProgressFrameBrush() const {
    return KeptBrush(lf::Office11MarkColors()[lf::msNormal][3]);
}

// ============================================================================
// Operations of the flat family
// ============================================================================

void TdxBarItemControlOffice11Painter::FrameSelected(HDC DC, const RECT& R) const {
    if (!IsEmpty(R)) lf::DrawOffice11Frame(DC, R);
}

HBRUSH TdxBarItemControlOffice11Painter::GetFrameBrush() const {
    return SchemeBrush(Scheme().MenuBorderBrush, gfx::COLOR_BTNSHADOW);
}

void TdxBarItemControlOffice11Painter::DrawDarkFrame(TCustomdxBarControl*, HDC DC, const RECT& R) const {
    FrameScheme(DC, R, Scheme().MenuBorderBrush, Scheme().MenuBorderColor);
}

void TdxBarItemControlOffice11Painter::FillWithToolbarBrush(TCustomdxBarControl* ABarControl, HDC DC,
                                                            const RECT& R, TdxBarItemControl* AControl,
                                                            const RECT& AItemRect) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    const bool Open = AControl && Bar && Bar->IsToolbarWindow() && AControl->IsSelected() &&
                      AControl->GetChildMenuControl();
    if (!Open) {
        TdxBarItemControlFlatPainter::FillWithToolbarBrush(ABarControl, DC, R, AControl, AItemRect);
        return;
    }
    // The strip takes the colour of the open item's gradient on its side.
    const bool Far = Width(R) > Height(R) ? R.top > (AItemRect.top + AItemRect.bottom) / 2
                                          : R.left > (AItemRect.left + AItemRect.right) / 2;
    FillColor(DC, R, Far ? Scheme().OpenItemColor2 : Scheme().OpenItemColor1);
}

HBRUSH TdxBarItemControlOffice11Painter::GetMenuSeparatorBrush() const {
    return SchemeBrush(Scheme().MenuSeparatorBrush, gfx::COLOR_BTNSHADOW);
}

HBRUSH TdxBarItemControlOffice11Painter::GetMenuBandBrush(TCustomdxBarControl* ABarControl) const {
    // The window's background draws the band.
    return WindowBrush(ABarControl);
}

void TdxBarItemControlOffice11Painter::FrameMenuDropDownPart(HDC DC, const RECT& R) const {
    FrameScheme(DC, R, Scheme().MenuSeparatorBrush, Scheme().MenuSeparatorColor);
}

// ============================================================================
// Operations of the Office11 painter
// ============================================================================

void TdxBarItemControlOffice11Painter::DrawGripDots(HDC DC, const RECT& R, bool AVertical) const {
    if (!IsEmpty(R)) lf::DrawDotGrip(DC, R, AVertical);
}

// ============================================================================
// Status bars and push buttons under visual styles
// ============================================================================

void TdxBarItemControlOffice11Painter::DrawStatusBarSizeGrip(TCustomdxBarControl* ABarControl, HDC DC,
                                                             const RECT& R) const {
    if (const TdxBarItemControlPainterClass XP = ThemedPainter(ManagerOf(ABarControl)))
        XP->DrawStatusBarSizeGrip(ABarControl, DC, R);
    else
        TdxBarItemControlPainter::DrawStatusBarSizeGrip(ABarControl, DC, R);
}

void TdxBarItemControlOffice11Painter::FillStatusBarBand(TCustomdxBarControl* ABarControl, HDC DC,
                                                         const RECT& R) const {
    if (const TdxBarItemControlPainterClass XP = ThemedPainter(ManagerOf(ABarControl)))
        XP->FillStatusBarBand(ABarControl, DC, R);
    else
        TdxBarItemControlPainter::FillStatusBarBand(ABarControl, DC, R);
}

void TdxBarItemControlOffice11Painter::FillStatusBarBackground(TCustomdxBarControl* ABarControl, HDC DC,
                                                               TColor AColor, HBRUSH ABrush, const RECT& R,
                                                               POINT AOrigin) const {
    if (const TdxBarItemControlPainterClass XP = ThemedPainter(ManagerOf(ABarControl)))
        XP->FillStatusBarBackground(ABarControl, DC, AColor, ABrush, R, AOrigin);
    else
        TdxBarItemControlPainter::FillStatusBarBackground(ABarControl, DC, AColor, ABrush, R, AOrigin);
}

void TdxBarItemControlOffice11Painter::GetSizeGripSize(SIZE& ASize) const {
    if (const TdxBarItemControlPainterClass XP = ThemedPainter(FirstManager()))
        XP->GetSizeGripSize(ASize);
    else
        TdxBarItemControlPainter::GetSizeGripSize(ASize);
}

int TdxBarItemControlOffice11Painter::GetStatusBarBandHeight() const {
    if (const TdxBarItemControlPainterClass XP = ThemedPainter(FirstManager()))
        return XP->GetStatusBarBandHeight();
    return TdxBarItemControlPainter::GetStatusBarBandHeight();
}

void TdxBarItemControlOffice11Painter::DrawPushButtonFrame(TdxBarItemControl* AControl, HDC DC, bool APressed,
                                                           RECT R, const std::string& AText) const {
    if (const TdxBarItemControlPainterClass XP =
            ThemedPainter(AControl ? AControl->GetBarManager() : FirstManager()))
        XP->DrawPushButtonFrame(AControl, DC, APressed, R, AText);
    else
        TdxBarItemControlFlatPainter::DrawPushButtonFrame(AControl, DC, APressed, R, AText);
}

} // namespace bars
