// The painter's operations for menus, sub items, combos and edits.
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

namespace {

constexpr win::UINT EM_SETSEL = 0x00B1;
constexpr unsigned ES_AUTOHSCROLL = 0x0080;

} // namespace

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

} // namespace bars
