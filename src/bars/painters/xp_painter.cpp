#include "bars/painters/xp_painter.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/manager.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/painter_internal.h"
#include "bars/painters/standard_painter.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "bars/wincontrols.h"
#include "classes/graphics.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/theme.h"
#include "win/theme.h"
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

// --- The painter's tables ---

// By the window's close-button state (normal, hot, pressed).
constexpr int CloseButtonStates[] = {win::CBS_NORMAL, win::CBS_HOT, win::CBS_PUSHED};
// By orientation (horizontal bar, vertical bar).
constexpr int GripParts[] = {win::RP_GRIPPER, win::RP_GRIPPERVERT};
// By button (minimize, restore, close).
constexpr int MDIButtonParts[] = {win::WP_MDIMINBUTTON, win::WP_MDIRESTOREBUTTON, win::WP_MDICLOSEBUTTON};
// By orientation (horizontal, vertical).
constexpr int ProgressBarParts[] = {win::PP_BAR, win::PP_BARVERT};
constexpr int ProgressChunkParts[] = {win::PP_CHUNK, win::PP_CHUNKVERT};
// By the toolbar window's mark state (normal, hot, pressed).
constexpr int MarkStates[] = {win::TS_NORMAL, win::TS_HOT, win::TS_PRESSED};

const TdxBarItemControlPainter* Flat() {
    return TdxBarItemControlFlatPainter::Class();
}

// --- Themed parts; a failed call draws nothing and measures nothing ---

void DrawPart(lf::TdxThemedObjectType AType, HDC DC, int APart, int AState, const RECT& R,
              const RECT* AClip = nullptr) {
    if (!IsEmpty(R)) lf::DrawThemeBackground(lf::OpenTheme(AType), DC, APart, AState, R, AClip);
}

// Sizes are measured on the screen DC.
SIZE PartSize(lf::TdxThemedObjectType AType, int APart, int AState, win::THEMESIZE AKind) {
    SIZE Size{};
    const HDC DC = win::GetDC(nullptr);
    lf::GetThemePartSize(lf::OpenTheme(AType), DC, APart, AState, nullptr, AKind, Size);
    win::ReleaseDC(nullptr, DC);
    return Size;
}

// The content of the part in a 100 x 100 rectangle.
RECT ContentOf100(lf::TdxThemedObjectType AType, int APart, int AState) {
    const RECT Box{0, 0, 100, 100};
    RECT Content = Box;
    const HDC DC = win::GetDC(nullptr);
    lf::GetThemeBackgroundContentRect(lf::OpenTheme(AType), DC, APart, AState, Box, Content);
    win::ReleaseDC(nullptr, DC);
    return Content;
}

HBRUSH XPBrush(const TdxBarManager* AManager) {
    const HBRUSH Brush = AManager ? AManager->XPToolbarBrush() : nullptr;
    return Brush ? Brush : gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

bool IsDropDownStyleButton(const TdxBarItemControl* AControl) {
    const auto* Button = dynamic_cast<const TdxBarButtonControl*>(AControl);
    return Button && Button->GetButtonStyle() == bsDropDown;
}

int ToolbarState(bool AEnabled, bool ADown, bool AChecked, bool AHot) {
    if (!AEnabled) return win::TS_DISABLED;
    if (ADown) return win::TS_PRESSED;
    if (AChecked) return AHot ? win::TS_HOTCHECKED : win::TS_CHECKED;
    return AHot ? win::TS_HOT : win::TS_NORMAL;
}

} // namespace

TdxBarItemControlPainterClass TdxBarItemControlXPPainter::Class() {
    static const TdxBarItemControlXPPainter Painter;
    return &Painter;
}

bool TdxBarItemControlXPPainter::IsGlyphNotShiftedFor(const TdxBarItemControl* AControl) {
    const TCustomdxBarControl* Bar = BarOf(AControl);
    return Bar && Bar->IsMainMenuBar() && dynamic_cast<const TdxBarSubItemControl*>(AControl);
}

// ============================================================================
// Item controls
// ============================================================================

void TdxBarItemControlXPPainter::DrawGlyphFrame(TdxBarItemControl* AControl, HDC DC,
                                                TdxBarPaintType APaintType, const TdxBarPaintState& AState,
                                                const RECT& R, bool, bool, HBRUSH ABrush) const {
    if (IsEmpty(R)) return;
    const bool Hot = AState.Selected || (AControl && AControl->Active());
    if (APaintType == ptMenu && Hot && AState.Selected && !AState.Down) {
        gfx::FillRect(DC, &R, ABrush);
        return;
    }
    FillGlyphCell(AControl, DC, R, ABrush, false);
    if (!IsGlyphNotShiftedFor(AControl) || APaintType == ptMenu || !(Hot || AState.Pressed || AState.Down)) {
        const int Part = IsDropDownStyleButton(AControl) ? win::TP_SPLITBUTTON : win::TP_BUTTON;
        DrawPart(lf::totToolBar, DC, Part, ToolbarState(AState.Enabled, AState.Pressed, AState.Down, Hot), R);
    } else {
        FillSys(DC, R, gfx::COLOR_HIGHLIGHT);
    }
}

void TdxBarItemControlXPPainter::DrawCheckMark(TdxBarItemControl* AControl, HDC DC, int AThickness, int X,
                                               int Y) const {
    Flat()->DrawCheckMark(AControl, DC, AThickness, X, Y);
}

void TdxBarItemControlXPPainter::DrawGlyphBitmap(TdxBarItemControl* AControl, HDC DC,
                                                 const TdxBarPaintState& AState, RECT R,
                                                 const RECT& AGlyphRect, bool, bool, HBRUSH) const {
    if (!AControl || IsEmpty(R)) return;
    if (AState.Lowered) R = Deflated(R, 1, 1);
    const HBRUSH Brush = GetGlyphBrush(AControl, IsInMenuWindow(AControl) ? ptMenu : ptHorz, AState);
    DrawControlGlyph(AControl, DC, Brush, R, AGlyphRect,
                     AControl->CanDrawFromImages() ? ImagesOf(AControl) : nullptr, AState, false, true);
}

TColor TdxBarItemControlXPPainter::GetDisabledImageFadeColor(TCustomdxBarControl*) const {
    return lf::MixColors(GetThemedBarFillColor(), gfx::clBtnShadow, 70);
}

void TdxBarItemControlXPPainter::DrawSizeGripImage(TCustomdxBarControl* ABarControl, HDC DC,
                                                   const RECT& R) const {
    FillThroughWindow(ABarControl, DC, R);
    DrawPart(lf::totStatus, DC, win::SP_GRIPPER, 0, R);
}

void TdxBarItemControlXPPainter::DrawMarkFace(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                              const RECT& R) const {
    if (IsEmpty(R)) return;
    FillThroughWindow(ABarControl, DC, R);
    RECT Face = R;
    const TdxBar* Bar = BarOfWindow(ABarControl);
    if (Bar && Bar->BorderStyle() == bbsNone) {
        if (IsDockedHorizontally(ABarControl))
            Face = Deflated(Face, 0, 2);
        else
            Face = Deflated(Face, 2, 0);
    }
    const int State = ABarControl ? std::clamp(ABarControl->MarkState(), 0, 2) : 0;
    DrawPart(lf::totToolBar, DC, win::TP_BUTTON, MarkStates[State], Face);
}

void TdxBarItemControlXPPainter::DrawMarkChevrons(TCustomdxBarControl* ABarControl, HDC DC,
                                                  const RECT& R) const {
    Flat()->DrawMarkChevrons(ABarControl, DC, R);
}

void TdxBarItemControlXPPainter::GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X,
                                                    int& ARight) const {
    Flat()->GetCaptionTextLeft(ABarControl, X, ARight);
}

void TdxBarItemControlXPPainter::AdjustEditTextRect(RECT& R) const {
    R.top += 2;
}

void TdxBarItemControlXPPainter::DrawMenuGlyphCell(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                   const TdxBarPaintState& AState, bool AShowGlyph) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const HBRUSH Fill = AState.Selected ? HotBrushOf(Bar, this) : WindowBrush(Bar);
    const RECT Cell{R.left, R.top, std::min<int>(R.right, R.left + Height(R)), R.bottom};
    DrawButton(AControl, DC, Cell, AState, ptMenu, !AShowGlyph);
    FillGlyphCell(AControl, DC, RECT{Cell.right, R.top, R.right, R.bottom}, Fill, AState.Selected);
    const RECT Text{Cell.right + 2 + 6, R.top, R.right, R.bottom};
    DrawCaption(AControl, DC, AControl->GetCaption(), Text, 0, AState.Enabled, AState.Selected, false, false,
                false);
}

void TdxBarItemControlXPPainter::DrawSelectedFrame(HDC DC, RECT& R) const {
    TdxBarItemControlStandardPainter::Class()->DrawSelectedFrame(DC, R);
}

HBRUSH TdxBarItemControlXPPainter::GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                                                 const TdxBarPaintState& AState) const {
    TCustomdxBarControl* Bar = BarOf(AControl);
    // A selected menu entry keeps its glyph on the selection; a checked one
    // shows its button instead.
    if (APaintType == ptMenu && AState.Selected && AState.Enabled && !AState.Down)
        return HotBrushOf(Bar, this);
    return WindowBrush(Bar);
}

int TdxBarItemControlXPPainter::GetDownOffsetX(TdxBarItemControl*) const {
    return 1;
}

int TdxBarItemControlXPPainter::GetDownOffsetY(TdxBarItemControl*, bool AFirstState) const {
    return AFirstState ? 0 : 1;
}

// ============================================================================
// Toolbar windows and dock sites
// ============================================================================

int TdxBarItemControlXPPainter::GetGripSize() const {
    const int Size = PartSize(lf::totRebar, win::RP_GRIPPER, 1, win::TS_TRUE).cx;
    return Size > 0 ? Size : TdxBarItemControlPainter::GetGripSize();
}

int TdxBarItemControlXPPainter::GetButtonArrowWidth(const TdxBarManager* AManager) const {
    return TdxBarItemControlPainter::GetButtonArrowWidth(AManager) + 3;
}

int TdxBarItemControlXPPainter::GetLargeButtonArrowWidth(const TdxBarManager* AManager) const {
    return TdxBarItemControlPainter::GetLargeButtonArrowWidth(AManager) + 3;
}

void TdxBarItemControlXPPainter::DrawDockBackground(TdxDockControl* ADockControl, HDC DC, TColor, HBRUSH,
                                                    const RECT& R, POINT AOrigin) const {
    const auto Paint = [ADockControl](HDC ADC, const RECT& ADock) {
        FillSys(ADC, ADock, gfx::COLOR_BTNFACE);
        DrawPart(lf::totRebar, ADC, 0, 1, ADock);
        if (!ADockControl) return;
        // The etched edges of the rows: light above (left of) each row, dark
        // below (right of) it, but not at the site's own edges.
        const TdxBarDockingStyle Style = ADockControl->GetDockingStyle();
        const bool Vertical = Style == dsLeft || Style == dsRight;
        const int Rows = ADockControl->GetRowCount();
        for (int I = 0; I < Rows; ++I) {
            const TdxDockRow* Row = ADockControl->GetRow(I);
            bool Bordered = false;
            for (int C = 0; Row && C < Row->GetColCount() && !Bordered; ++C) {
                const TdxBarControl* BarControl = Row->GetCol(C)->BarControl();
                const TdxBar* Bar = BarControl ? BarControl->Bar() : nullptr;
                Bordered = Bar && Bar->BorderStyle() == bbsSingle;
            }
            if (!Bordered) continue;
            cls::TRect RowRect;
            ADockControl->GetRowRect(I, RowRect);
            gfx::OffsetRect(&RowRect, ADock.left, ADock.top);
            const bool First = I == 0, Last = I == Rows - 1;
            if (!(First && (Style == dsTop || Style == dsLeft)))
                FillSys(ADC,
                        Vertical ? RECT{RowRect.left, RowRect.top, RowRect.left + 1, RowRect.bottom}
                                 : RECT{RowRect.left, RowRect.top, RowRect.right, RowRect.top + 1},
                        gfx::COLOR_BTNHIGHLIGHT);
            if (!(Last && (Style == dsBottom || Style == dsRight || Style == dsTop)))
                FillSys(ADC,
                        Vertical ? RECT{RowRect.right - 1, RowRect.top, RowRect.right, RowRect.bottom}
                                 : RECT{RowRect.left, RowRect.bottom - 1, RowRect.right, RowRect.bottom},
                        gfx::COLOR_BTNSHADOW);
        }
    };
    DrawCachedDockBackground(ADockControl, DC, R, AOrigin, Paint);
}

bool TdxBarItemControlXPPainter::IsBarBorderFlat(TCustomdxBarControl* ABarControl) const {
    return ABarControl && ABarControl->DockingStyle() == dsNone;
}

HBRUSH TdxBarItemControlXPPainter::GetBarBrush() const {
    return XPBrush(FirstManager());
}

HBRUSH TdxBarItemControlXPPainter::GetToolbarWindowBrush(TCustomdxBarControl* ABarControl) const {
    return XPBrush(ManagerOf(ABarControl));
}

HBRUSH TdxBarItemControlXPPainter::GetCheckerBrush() const {
    const HBRUSH Brush = CheckerBrush();
    return Brush ? Brush : gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlXPPainter::GetSelectedBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlXPPainter::GetHighlightBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT);
}

int TdxBarItemControlXPPainter::GetDropDownButtonWidth(int ASize) const {
    const int Width = PartSize(lf::totComboBox, win::CP_DROPDOWNBUTTON, 1, win::TS_TRUE).cx;
    return Width > 0 ? Width : TdxBarItemControlPainter::GetDropDownButtonWidth(ASize);
}

int TdxBarItemControlXPPainter::GetEditHeightExtra() const {
    return 100 - Width(ContentOf100(lf::totEdit, win::EP_EDITTEXT, 1)) + 5;
}

int TdxBarItemControlXPPainter::GetSeparatorSize() const {
    const int Size = PartSize(lf::totToolBar, win::TP_SEPARATOR, 1, win::TS_MIN).cx;
    return Size > 0 ? Size : TdxBarItemControlPainter::GetSeparatorSize();
}

void TdxBarItemControlXPPainter::FillCaptionExtra(HDC DC, HBRUSH, const RECT& R) const {
    const TdxBarManager* Manager = FirstManager();
    FillSys(DC, R,
            Manager && Manager->OwnerFormActive() ? gfx::COLOR_ACTIVECAPTION : gfx::COLOR_INACTIVECAPTION);
}

void TdxBarItemControlXPPainter::GetCloseButtonSize(SIZE& ASize) const {
    ASize = PartSize(lf::totWindow, win::WP_SMALLCLOSEBUTTON, 1, win::TS_TRUE);
    if (ASize.cx <= 0 || ASize.cy <= 0) TdxBarItemControlPainter::GetCloseButtonSize(ASize);
}

void TdxBarItemControlXPPainter::DrawToolbarSeparator(TCustomdxBarControl* ABarControl, HDC DC, const RECT& R,
                                                      bool AHorizontal) const {
    if (IsEmpty(R)) return;
    FillThroughWindow(ABarControl, DC, R);
    // A horizontal bar is parted by an upright line, a vertical one by a level line.
    DrawPart(lf::totToolBar, DC, AHorizontal ? win::TP_SEPARATOR : win::TP_SEPARATORVERT, 1, R);
}

void TdxBarItemControlXPPainter::DrawCloseButton(TCustomdxBarControl*, HDC DC, RECT R, int AState) const {
    DrawPart(lf::totWindow, DC, win::WP_SMALLCLOSEBUTTON, CloseButtonStates[std::clamp(AState, 0, 2)], R);
}

void TdxBarItemControlXPPainter::DrawDockedFrame(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH,
                                                 RECT R) const {
    const TdxBar* Bar = BarOfWindow(ABarControl);
    if (!Bar || !Bar->CanDock()) return;
    R = Deflated(R, 2, 2);
    if (IsEmpty(R)) return;
    const bool Vertical = IsVerticalBarControl(ABarControl);
    const TdxBarManager* Manager = ABarControl->GetBarManager();
    const int Indent = Manager ? Manager->GripIndent() : GetGripIndent();
    const int Size = GetGripSize();
    const RECT Grip = Vertical ? RECT{R.left, R.top + Indent, R.right, R.top + Indent + Size}
                               : RECT{R.left + Indent, R.top, R.left + Indent + Size, R.bottom};
    DrawPart(lf::totRebar, DC, GripParts[Vertical ? 1 : 0], 1, Grip);
}

void TdxBarItemControlXPPainter::DrawBarBorder(TCustomdxBarControl* ABarControl, HDC DC, HBRUSH ABrush,
                                               int ABorder, RECT R) const {
    Flat()->DrawBarBorder(ABarControl, DC, ABrush, ABorder, R);
}

void TdxBarItemControlXPPainter::DrawMDIButton(TCustomdxBarControl* ABarControl, HDC DC, int AKind,
                                               const RECT& R, bool AEnabled, bool ASelected,
                                               bool APressed) const {
    if (IsEmpty(R)) return;
    FillThroughWindow(ABarControl, DC, R);
    int State = win::CBS_NORMAL;
    if (!AEnabled)
        State = win::CBS_DISABLED;
    else if (ASelected && APressed)
        State = win::CBS_PUSHED;
    else if (ASelected)
        State = win::CBS_HOT;
    DrawPart(lf::totWindow, DC, MDIButtonParts[std::clamp(AKind, 0, 2)], State, R);
}

void TdxBarItemControlXPPainter::GetMarkRectInWindow(TCustomdxBarControl* ABarControl, RECT& R) const {
    Flat()->GetMarkRectInWindow(ABarControl, R);
}

void TdxBarItemControlXPPainter::FillStatusBarBackground(TCustomdxBarControl* ABarControl, HDC DC,
                                                         TColor AColor, HBRUSH ABrush, const RECT& R,
                                                         POINT AOrigin) const {
    if (IsEmpty(R)) return;
    cls::TBitmap* Cache = ABarControl ? ABarControl->WorkBitmap() : nullptr;
    if (!Cache) {
        TdxBarItemControlPainter::FillStatusBarBackground(ABarControl, DC, AColor, ABrush, R, AOrigin);
        return;
    }
    const RECT Client = ClientRectOf(ABarControl);
    const int CacheWidth = std::max<int>(Client.right, AOrigin.x + R.right);
    const int CacheHeight = std::max<int>(Client.bottom, AOrigin.y + R.bottom);
    if (Cache->Empty() || Cache->Width() < CacheWidth || Cache->Height() < CacheHeight) {
        Cache->SetSize(CacheWidth, CacheHeight);
        const RECT All{0, 0, CacheWidth, CacheHeight};
        FillSys(Cache->Canvas()->Handle(), All, gfx::COLOR_BTNFACE);
        DrawPart(lf::totStatus, Cache->Canvas()->Handle(), 0, 0, All);
    }
    gfx::BitBlt(DC, R.left, R.top, Width(R), Height(R), Cache->Canvas()->Handle(), R.left + AOrigin.x,
                R.top + AOrigin.y, gfx::SRCCOPY);
}

void TdxBarItemControlXPPainter::GetSizeGripSize(SIZE& ASize) const {
    ASize = PartSize(lf::totStatus, win::SP_GRIPPER, 0, win::TS_TRUE);
    if (ASize.cx <= 0 || ASize.cy <= 0) TdxBarItemControlPainter::GetSizeGripSize(ASize);
}

int TdxBarItemControlXPPainter::GetButtonHeightExtra() const {
    return 100 - Height(ContentOf100(lf::totToolBar, win::TP_SPLITBUTTON, 1));
}

// ============================================================================
// Menus, sub items, combos and edits
// ============================================================================

void TdxBarItemControlXPPainter::AdjustMenuBandWidth(int& AWidth) const {
    ++AWidth;
}

void TdxBarItemControlXPPainter::DrawDropDownButtonPart(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                        TdxBarPaintType APaintType, HBRUSH,
                                                        const TdxBarPaintState& AState, bool ADropDownEnabled,
                                                        bool AMenuOpen) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    FillThroughWindow(Bar, DC, R);
    const bool Enabled = AState.Enabled && ADropDownEnabled;
    const bool Hot = AState.Selected || AControl->Active();
    int State = win::TS_NORMAL;
    if (!Enabled)
        State = win::TS_DISABLED;
    else if (AState.Pressed || AState.DroppedDown || (AMenuOpen && AState.Down))
        State = win::TS_PRESSED;
    else if (Hot)
        State = win::TS_HOT;
    DrawPart(lf::totToolBar, DC, win::TP_SPLITBUTTONDROPDOWN, State, R);
    if (APaintType == ptMenu)
        DrawSubMenuArrow(DC, R, Bar ? Bar->TextHeightFifth() : 4, Enabled, AState.Selected, false);
    else
        DrawDropDownArrow(DC, R, true, Enabled, false);
}

void TdxBarItemControlXPPainter::ShiftDownContent(TdxBarItemControl* AControl, bool AFlag, RECT& R) const {
    const auto* Button = dynamic_cast<const TdxBarButtonControl*>(AControl);
    if (AFlag || (Button && Button->GetDown())) gfx::OffsetRect(&R, 1, 1);
}

void TdxBarItemControlXPPainter::ShiftSelectedContent(bool AFlag, RECT& R) const {
    if (AFlag) gfx::OffsetRect(&R, 1, 1);
}

void TdxBarItemControlXPPainter::DrawComboButton(TdxBarItemControl* AControl, HDC DC, RECT R, bool,
                                                 bool AHot) const {
    if (!AControl || IsEmpty(R)) return;
    const TCustomdxBarControl* Bar = AControl->Parent();
    R.left = std::max<int>(R.left, R.right - (Bar ? Bar->ComboArrowWidth() : Height(R)));
    int State = win::CBXS_NORMAL;
    if (!AControl->GetEnabled())
        State = win::CBXS_DISABLED;
    else if (IsDropDownOpen(AControl))
        State = win::CBXS_PRESSED;
    else if (AHot)
        State = win::CBXS_HOT;
    DrawPart(lf::totComboBox, DC, win::CP_DROPDOWNBUTTON, State, R);
}

int TdxBarItemControlXPPainter::GetDropDownListBorder() const {
    return Flat()->GetDropDownListBorder();
}

void TdxBarItemControlXPPainter::DrawDropDownListBorder(HDC DC, RECT R) const {
    Flat()->DrawDropDownListBorder(DC, R);
}

int TdxBarItemControlXPPainter::GetMenuSeparatorHeight(TdxBarSubMenuControl*) const {
    const int Height = PartSize(lf::totToolBar, win::TP_SEPARATORVERT, 1, win::TS_TRUE).cy;
    return Height > 0 ? Height : 6;
}

void TdxBarItemControlXPPainter::GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, RECT& R,
                                                  int* ACounter) const {
    GetMenuLinksRectIn(AMenu, 1, 1, ABottom, R, ACounter);
}

void TdxBarItemControlXPPainter::AdjustMenuSize(TdxBarSubMenuControl* AMenu, SIZE& AContentSize,
                                                SIZE& AWindowSize) const {
    AdjustMenuSizeBy(AMenu, AContentSize, AWindowSize, 4, 3);
}

int TdxBarItemControlXPPainter::GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const {
    return AMenu ? AMenu->GetDetachBarBaseSize() + 1 : 0;
}

void TdxBarItemControlXPPainter::DrawMenuFrame(TdxBarSubMenuControl* AMenu, HDC DC, RECT R) const {
    if (IsEmpty(R)) return;
    gfx::FrameRect(DC, &R, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    if (!AMenu) return;
    const HBRUSH Background = AMenu->GetBackgroundBrush();
    if (!AMenu->Detachable()) {
        FrameRectWith(DC, Deflated(R, 1, 1), Background);
        return;
    }
    const RECT Room = AMenu->GetDetachBarRect();
    const RECT Strip{Room.left, Room.top + 1, Room.right,
                     std::min<int>(Room.bottom, Room.top + 1 + AMenu->GetDetachBarBaseSize())};
    FillRectWith(DC, RECT{Room.left, Room.top, Room.right, Strip.top}, Background);
    FillRectWith(DC, RECT{Room.left, Strip.bottom, Room.right, Room.bottom}, Background);
    FillDetachBar(AMenu, DC, Strip);
}

void TdxBarItemControlXPPainter::DrawExpandButton(TdxBarSubMenuControl*, HDC DC, HBRUSH ABrush,
                                                  RECT& R) const {
    FrameRectWith(DC, R, ABrush);
}

void TdxBarItemControlXPPainter::DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                                                   TdxBarLinkState& ALinkState, HDC DC, const RECT& R) const {
    ALinkState.SeparatorRect = RECT{};
    if (!AMenu || !ALinkState.BeginGroup || IsEmpty(R)) return;
    const RECT Row{R.left, R.top - GetMenuSeparatorHeight(AMenu), R.right, R.top};
    ALinkState.SeparatorRect = Row;
    if (IsEmpty(Row)) return;
    if (AControl)
        FillGlyphCell(AControl, DC, Row, WindowBrush(AMenu), false);
    else
        FillThroughWindow(AMenu, DC, Row);
    DrawPart(lf::totToolBar, DC, win::TP_SEPARATORVERT, 1, Row);
}

void TdxBarItemControlXPPainter::GetMenuContentRect(TdxBarSubMenuControl*, RECT& R) const {
    R = Deflated(R, 2, 2);
}

void TdxBarItemControlXPPainter::PrepareMenuItemBackground(TdxBarSubMenuControl*, HBRUSH& ABrush) const {
    ABrush = GetMenuBackgroundBrush();
}

HBRUSH TdxBarItemControlXPPainter::GetMenuBackgroundBrush() const {
    return gfx::GetSysColorBrush(gfx::COLOR_MENU);
}

void TdxBarItemControlXPPainter::DrawComboText(TdxBarItemControl* AControl, cls::TCanvas* ACanvas,
                                               const RECT& R, int AIndex, const std::string& AText) const {
    Flat()->DrawComboText(AControl, ACanvas, R, AIndex, AText);
}

int TdxBarItemControlXPPainter::GetEditCaptionWidth(TdxBarItemControl*, int AWidth) const {
    return AWidth + 11;
}

void TdxBarItemControlXPPainter::DrawEditFrame(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                               TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    const auto* Edit = dynamic_cast<const TdxBarEditControl*>(AControl);
    const bool Enabled = AControl->GetEnabled();
    const int State = GetEditThemeState(Enabled, Edit && Edit->ReadOnly());
    const HTHEME Theme = lf::OpenTheme(lf::totEdit);
    const RECT Outer = R;
    RECT Content = R;
    if (win::FAILED(
            lf::GetThemeBackgroundContentRect(Theme, nullptr, win::EP_EDITTEXT, State, Outer, Content)))
        Content = Deflated(Outer, 1, 1);
    R = Content;
    SavedClip Clip(DC);
    gfx::ExcludeClipRect(DC, Content.left, Content.top, Content.right, Content.bottom);
    // In a menu an enabled box is framed only while selected or edited.
    const bool Framed = !Enabled || ASelected || (Edit && Edit->Focused()) || APaintType != ptMenu;
    if (Framed)
        DrawPart(lf::totEdit, DC, win::EP_EDITTEXT, State, Outer);
    else
        FillGlyphCell(AControl, DC, Outer, WindowBrush(AControl->Parent()), false);
}

void TdxBarItemControlXPPainter::DrawEditCaption(TdxBarItemControl* AControl, HDC DC, RECT& R,
                                                 TdxBarPaintType APaintType, bool ASelected) const {
    if (!AControl || IsEmpty(R)) return;
    TCustomdxBarControl* Bar = AControl->Parent();
    const std::string Caption = AControl->GetCaption();
    const int TextWidth = Bar ? Bar->Canvas()->TextWidth(RemoveAccelChars(Caption)) : 0;
    const bool Lit = ASelected && APaintType == ptMenu && AControl->GetEnabled();
    RECT Part{R.left, R.top, std::min<int>(R.right, R.left + GetEditCaptionWidth(AControl, TextWidth)),
              R.bottom};
    R.left = Part.right;
    FillGlyphCell(AControl, DC, Part, Lit ? HotBrushOf(Bar, this) : WindowBrush(Bar), Lit);
    const RECT Text{Part.left, Part.top, Part.right - 5, Part.bottom};
    DrawCaption(AControl, DC, Caption, Text, 2, AControl->GetEnabled(), Lit, false, false, false);
}

void TdxBarItemControlXPPainter::DrawEditWindow(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                const std::string& AText) const {
    if (IsEmpty(R)) return;
    const auto* Edit = dynamic_cast<const TdxBarEditControl*>(AControl);
    const int State = GetEditThemeState(!AControl || AControl->GetEnabled(), Edit && Edit->ReadOnly());
    const HTHEME Theme = lf::OpenTheme(lf::totEdit);
    DrawEditTextIn(AControl, DC, R, AText, GetEditThemeTextColor(Theme, State),
                   GetEditThemeFillColor(Theme, State));
}

unsigned TdxBarItemControlXPPainter::GetEditWindowStyle() const {
    return Flat()->GetEditWindowStyle();
}

void TdxBarItemControlXPPainter::SetEditMargins(TdxBarItemControl* AControl, win::HWND AWnd) const {
    Flat()->SetEditMargins(AControl, AWnd);
}

void TdxBarItemControlXPPainter::SelectAllText(win::HWND AWnd, bool ANotify) const {
    Flat()->SelectAllText(AWnd, ANotify);
}

void TdxBarItemControlXPPainter::DrawEllipsisButton(TdxBarItemControl* AControl, HDC DC, RECT R,
                                                    bool ASelected, bool ADown) const {
    if (!AControl || IsEmpty(R)) return;
    TdxBarPaintState State;
    State.Enabled = AControl->GetEnabled();
    State.Selected = ASelected;
    State.Pressed = ADown;
    DrawGlyphFrame(AControl, DC, ptHorz, State, R, true, true, WindowBrush(AControl->Parent()));
    const int Unit = Width(R) / 7;
    if (Unit <= 0) return;
    RECT Dots{R.left, R.bottom - 3 * Unit, R.right, R.bottom - 2 * Unit};
    ShiftSelectedContent(ASelected && ADown, Dots);
    for (int I = 0; I < 3; ++I) {
        const int Left = Dots.left + Unit + 2 * I * Unit;
        const RECT Dot{Left, Dots.top, Left + Unit, Dots.bottom};
        if (State.Enabled)
            FillSys(DC, Dot, gfx::COLOR_BTNTEXT);
        else
            DrawEtchedLine(DC, Dot);
    }
}

void TdxBarItemControlXPPainter::DrawDropDownWindowFrame(win::HWND AWnd, bool, int ACorner, bool AHot,
                                                         bool APressed, RECT& AGripRect,
                                                         RECT& AButtonRect) const {
    AGripRect = RECT{};
    AButtonRect = RECT{};
    RECT Window{};
    if (!win::GetWindowRect(AWnd, &Window)) return;
    const HDC DC = win::GetWindowDC(AWnd);
    if (!DC) return;
    const RECT Frame{0, 0, Width(Window), Height(Window)};
    FrameRectWith(DC, Frame, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    if (ACorner >= 0) {
        SavedClip Clip(DC);
        const bool AtTop = ACorner == 0 || ACorner == 1;
        RECT Band = Deflated(Frame, 1, 1);
        if (AtTop)
            Band.bottom = std::min<int>(Band.bottom, Band.top + GetSizeGripBandHeight());
        else
            Band.top = std::max<int>(Band.top, Band.bottom - GetSizeGripBandHeight());
        FillSys(DC, Band, gfx::COLOR_BTNFACE);
        RECT Button = Band;
        DrawThemedCloseButton(DC, Button, dsTop, APressed, AHot);
        gfx::ExcludeClipRect(DC, Button.left, Button.top, Button.right, Button.bottom);
        RECT Grip = Band;
        DrawThemedSizeGrip(DC, Grip, ACorner);
        gfx::ExcludeClipRect(DC, Grip.left, Grip.top, Grip.right, Grip.bottom);
        AGripRect = Grip;
        AButtonRect = Button;
        gfx::OffsetRect(&AGripRect, Window.left, Window.top);
        gfx::OffsetRect(&AButtonRect, Window.left, Window.top);
        RECT Client{};
        win::GetClientRect(AWnd, &Client);
        POINT Corners[2] = {{Client.left, Client.top}, {Client.right, Client.bottom}};
        win::MapWindowPoints(AWnd, nullptr, Corners, 2);
        Client = RECT{Corners[0].x - Window.left, Corners[0].y - Window.top, Corners[1].x - Window.left,
                      Corners[1].y - Window.top};
        const auto Style = static_cast<gfx::DWORD>(win::GetWindowLongPtr(AWnd, win::GWL_STYLE));
        if ((Style & win::WS_HSCROLL) && (Style & win::WS_VSCROLL))
            FillSys(DC,
                    RECT{Client.right, Client.bottom, Client.right + win::GetSystemMetrics(win::SM_CXVSCROLL),
                         Client.bottom + win::GetSystemMetrics(win::SM_CYHSCROLL)},
                    gfx::COLOR_BTNFACE);
    }
    win::ReleaseDC(AWnd, DC);
}

int TdxBarItemControlXPPainter::GetSizeGripBandHeight() const {
    return std::max<int>(GetThemedCloseButtonSize().cy + 4, GetThemedSizeGripSize().cy + 1);
}

void TdxBarItemControlXPPainter::DrawPushButtonFrame(TdxBarItemControl*, HDC DC, bool APressed, RECT R,
                                                     const std::string& AText) const {
    if (IsEmpty(R)) return;
    FillSys(DC, R, gfx::COLOR_WINDOW);
    DrawPart(lf::totToolBar, DC, win::TP_BUTTON, APressed ? win::TS_PRESSED : win::TS_HOT, R);
    DrawCenteredText(DC, R, false, AText, APressed ? 1 : 0);
}

void TdxBarItemControlXPPainter::DrawSpinButton(TdxBarItemControl* AControl, HDC DC, const RECT& R,
                                                int ADirection, bool ASelected, bool ADown, int,
                                                bool AVertical) const {
    if (IsEmpty(R)) return;
    FillGlyphCell(AControl, DC, R, WindowBrush(BarOf(AControl)), false);
    const bool First = ADirection == 1;
    const int Part =
        AVertical ? (First ? win::SPNP_UP : win::SPNP_DOWN) : (First ? win::SPNP_DOWNHORZ : win::SPNP_UPHORZ);
    int State = 1;
    if (AControl && !AControl->GetEnabled())
        State = 4;
    else if (ASelected && ADown)
        State = 3;
    else if (ASelected)
        State = 2;
    DrawPart(lf::totSpin, DC, Part, State, R);
}

void TdxBarItemControlXPPainter::FillSpinGap(TdxBarItemControl*, HDC, RECT&) const {}

TColor TdxBarItemControlXPPainter::GetProgressBarColor() const {
    gfx::COLORREF Color = 0;
    if (win::SUCCEEDED(
            lf::GetThemeColor(lf::OpenTheme(lf::totProgress), win::PP_CHUNK, 0, win::TMT_FILLCOLOR, Color)))
        return static_cast<TColor>(Color);
    return TdxBarItemControlPainter::GetProgressBarColor();
}

int TdxBarItemControlXPPainter::GetProgressMinHeight() const {
    const int Chunk = PartSize(lf::totProgress, win::PP_CHUNK, 0, win::TS_TRUE).cy;
    return Chunk + (100 - Height(ContentOf100(lf::totProgress, win::PP_BAR, 0)));
}

void TdxBarItemControlXPPainter::DrawProgressBar(TdxBarItemControl* AControl, HDC DC, int AMax, int AMin,
                                                 int APosition, bool ASolid, int AOrientation, TColor AColor,
                                                 const RECT& R) const {
    if (IsEmpty(R)) return;
    const int Vertical = AOrientation == 2 ? 1 : 0;
    const HTHEME Theme = lf::OpenTheme(lf::totProgress);
    if (lf::IsThemeBackgroundPartiallyTransparent(Theme, ProgressBarParts[Vertical], 0))
        FillGlyphCell(AControl, DC, R, WindowBrush(BarOf(AControl)), false);
    RECT Content = R;
    lf::GetThemeBackgroundContentRect(Theme, DC, ProgressBarParts[Vertical], 0, R, Content);
    // An empty range shows nothing done.
    const long long Length = Vertical ? Height(Content) : Width(Content);
    long long Done = 0;
    if (AMax != AMin)
        Done = std::clamp<long long>(Length * (static_cast<long long>(APosition) - AMin) /
                                         (static_cast<long long>(AMax) - AMin),
                                     0, Length);
    if (Vertical)
        Content.bottom = Content.top + static_cast<int>(Done);
    else
        Content.right = Content.left + static_cast<int>(Done);
    DrawPart(lf::totProgress, DC, ProgressBarParts[Vertical], 0, R);
    if (IsEmpty(Content)) return;
    if (ASolid) {
        const TempBrush Brush(AColor);
        gfx::FillRect(DC, &Content, Brush.Handle());
    } else {
        DrawPart(lf::totProgress, DC, ProgressChunkParts[Vertical], 0, Content);
    }
}

} // namespace bars
