#include "bars/customizing/painters.h"

#include "bars/button.h"
#include "bars/containeritems.h"
#include "bars/drawing.h"
#include "bars/edititems.h"
#include "bars/item.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/xp_painter.h"
#include "bars/subitem.h"
#include "classes/imagelist.h"
#include "gfx/draw.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/theme.h"

#include <algorithm>

namespace bars {

using cls::TCanvas;
using cls::TColor;
using cls::TRect;

namespace {

constexpr int kPictureCell = 23;
constexpr int kDropDownPart = 13;
constexpr int kComboButton = 12;

bool IsDropDownButton(TdxBarItem* AItem) {
    auto* Button = dynamic_cast<TdxBarButton*>(AItem);
    return Button && Button->ButtonStyle() == bsDropDown;
}

bool IsContainer(TdxBarItem* AItem) {
    return dynamic_cast<TCustomdxBarContainerItem*>(AItem) != nullptr;
}

bool HasPicture(TdxBarItem* AItem) {
    return (AItem->Glyph() && !AItem->Glyph()->Empty()) || AItem->IsImageIndexValid();
}

void Fill(TCanvas* C, const TRect& R, TColor AColor) {
    lf::FillRectByColor(C->Handle(), R, AColor);
}

void Frame(TCanvas* C, const TRect& R, TColor AColor) {
    lf::FrameRectByColor(C->Handle(), R, AColor);
}

void VLine(TCanvas* C, int X, int Top, int Bottom, TColor AColor) {
    Fill(C, TRect{X, Top, X + 1, Bottom}, AColor);
}

void Edge(TCanvas* C, TRect R, gfx::UINT AEdge, gfx::UINT AFlags) {
    gfx::DrawEdge(C->Handle(), &R, AEdge, AFlags);
}

int CaptionWidth(TCanvas* C, const std::string& ACaption) {
    return C->TextWidth(ACaption);
}

// A container item shows its caption in parentheses.
std::string RowCaption(const std::string& ACaption, TdxBarItem* AItem) {
    return IsContainer(AItem) ? "(" + ACaption + ")" : ACaption;
}

} // namespace

// ============================================================================
// The base painter (the Standard look)
// ============================================================================

TdxBarCustomizingFormPainterClass TdxBarCustomizingFormPainter::Class() {
    static const TdxBarCustomizingFormPainter Painter;
    return &Painter;
}

void TdxBarCustomizingFormPainter::DrawArrow(TCanvas* ACanvas, int X, bool ASelected, int Y) const {
    TColor Color = ACanvas->Font()->Color();
    if (ASelected && lf::IsHighContrastWhite()) Color = cls::clWhite;
    ACanvas->Pen()->SetColor(Color);
    ACanvas->Brush()->SetColor(Color);
    ACanvas->Polygon({cls::Point(X, Y), cls::Point(X, Y + 6), cls::Point(X + 3, Y + 3)});
}

TColor TdxBarCustomizingFormPainter::GetBackgroundColor(bool ASelected, TdxBarItem*) const {
    return ASelected ? cls::clHighlight : cls::clBtnFace;
}

TColor TdxBarCustomizingFormPainter::GetTextColor(bool ASelected) const {
    return ASelected ? cls::clHighlightText : cls::clBtnText;
}

void TdxBarCustomizingFormPainter::DrawFocusRect(TCanvas*, TRect, TdxBarItem*) const {}

void TdxBarCustomizingFormPainter::DrawCaption(TCanvas* ACanvas, const TRect& R, int X, bool ASelected,
                                               const std::string& AText) const {
    gfx::HDC DC = ACanvas->Handle();
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    gfx::SetTextColor(DC, cls::ColorToRGB(GetTextColor(ASelected)));
    TRect T{X, R.top, R.right, R.bottom};
    gfx::DrawText(DC, AText, &T, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_NOPREFIX | gfx::DT_NOCLIP);
    gfx::SetBkMode(DC, gfx::OPAQUE);
}

void TdxBarCustomizingFormPainter::DrawPicture(TCanvas* ACanvas, const TRect& ACell, bool ASelected,
                                               TdxBarItem* AItem, bool AFlat) const {
    cls::TBitmap* Glyph = AItem->Glyph();
    cls::TCustomImageList* Images = AItem->GetImages();
    int W = 0, H = 0;
    if (Glyph && !Glyph->Empty()) {
        W = Glyph->Width();
        H = Glyph->Height();
    } else if (Images) {
        W = Images->Width();
        H = Images->Height();
    }
    const int X = ACell.left + (ACell.right - ACell.left - W) / 2;
    const int Y = ACell.top + (ACell.bottom - ACell.top - H) / 2;
    const TRect GlyphRect{X, Y, X + W, Y + H};
    gfx::HBRUSH Brush = gfx::CreateSolidBrush(cls::ColorToRGB(GetBackgroundColor(false, AItem)));
    DrawGlyph(ACanvas->Handle(), Brush, ACell, GlyphRect, Glyph, Images, AItem->ImageIndex(), true, false,
              AFlat, ASelected, false, false, AFlat, true, cls::clNone, cls::clNone);
    gfx::DeleteObject(Brush);
}

void TdxBarCustomizingFormPainter::DrawSubItemArrow(TCanvas* ACanvas, const TRect& R, bool ASelected,
                                                    TdxBarItem* AItem) const {
    if (!dynamic_cast<TCustomdxBarSubItem*>(AItem) || IsContainer(AItem)) return;
    ACanvas->Font()->SetColor(GetTextColor(ASelected));
    DrawArrow(ACanvas, R.right - 9, ASelected, R.top + 7);
}

void TdxBarCustomizingFormPainter::DrawDownArrow(TCanvas* ACanvas, const TRect& R) const {
    const int X = (R.left + R.right) / 2 - 2;
    const int Y = (R.top + R.bottom) / 2 - 1;
    ACanvas->Pen()->SetColor(cls::clBtnText);
    ACanvas->Brush()->SetColor(cls::clBtnText);
    ACanvas->Polygon({cls::Point(X, Y), cls::Point(X + 4, Y), cls::Point(X + 2, Y + 2)});
}

void TdxBarCustomizingFormPainter::DrawItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                            const std::string& ACaption, TdxBarItem* AItem) const {
    const bool Picture = HasPicture(AItem);
    const TRect Cell{R.left, R.top, R.left + kPictureCell, R.bottom};
    const TColor CellColor = GetBackgroundColor(ASelected && !Picture, AItem);
    Fill(ACanvas, Cell, CellColor);
    VLine(ACanvas, R.left + kPictureCell, R.top, R.bottom, CellColor);
    if (Picture) {
        if (ASelected) Edge(ACanvas, Cell, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
        TRect Inner = Cell;
        if (ASelected) gfx::InflateRect(&Inner, -1, -1);
        DrawPicture(ACanvas, Inner, ASelected, AItem, false);
    }
    const bool DropDown = IsDropDownButton(AItem);
    TRect Text{R.left + kPictureCell + 1, R.top, R.right - (DropDown ? kDropDownPart : 0), R.bottom};
    Fill(ACanvas, Text, GetBackgroundColor(ASelected, AItem));
    DrawCaption(ACanvas, Text, Text.left + 2, ASelected, RowCaption(ACaption, AItem));
    if (DropDown) {
        TRect Part{R.right - kDropDownPart, R.top, R.right, R.bottom};
        if (ASelected) {
            Edge(ACanvas, Part, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
            gfx::InflateRect(&Part, -1, -1);
        } else {
            Edge(ACanvas, Part, gfx::EDGE_ETCHED, gfx::BF_LEFT);
            Part.left += 2;
        }
        Fill(ACanvas, Part, GetBackgroundColor(false, AItem));
        ACanvas->Font()->SetColor(GetTextColor(false));
        DrawArrow(ACanvas, R.right - 9, false, R.top + 7);
    } else {
        DrawSubItemArrow(ACanvas, R, ASelected, AItem);
    }
}

void TdxBarCustomizingFormPainter::DrawEditItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                const std::string& ACaption, TdxBarItem* AItem) const {
    const TColor Rest = GetBackgroundColor(false, AItem);
    TRect Caption{R.left, R.top, R.left + CaptionWidth(ACanvas, ACaption) + 3, R.bottom};
    Fill(ACanvas, Caption, GetBackgroundColor(ASelected, AItem));
    DrawCaption(ACanvas, Caption, Caption.left + 2, ASelected, ACaption);
    Fill(ACanvas, TRect{Caption.right, R.top, Caption.right + 4, R.bottom}, Rest);
    TRect Box{Caption.right + 4, R.top, R.right, R.bottom};
    if (ASelected)
        Edge(ACanvas, Box, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    else
        Frame(ACanvas, Box, Rest);
    gfx::InflateRect(&Box, -1, -1);
    Frame(ACanvas, Box, Rest);
    gfx::InflateRect(&Box, -1, -1);
    Fill(ACanvas, Box, cls::clWindow);
    if (!dynamic_cast<TCustomdxBarCombo*>(AItem)) return;
    TRect Button{Box.right - kComboButton, Box.top, Box.right, Box.bottom};
    if (ASelected) {
        Edge(ACanvas, Button, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
        VLine(ACanvas, Button.left - 1, Button.top, Button.bottom, Rest);
    } else {
        Frame(ACanvas, Button, cls::clBtnHighlight);
        VLine(ACanvas, Button.left - 1, Button.top, Button.bottom, cls::clBtnHighlight);
    }
    gfx::InflateRect(&Button, -1, -1);
    Fill(ACanvas, Button, Rest);
    DrawDownArrow(ACanvas, Button);
}

// ============================================================================
// Standard
// ============================================================================

TdxBarCustomizingFormPainterClass TdxBarCustomizingFormStandardPainter::Class() {
    static const TdxBarCustomizingFormStandardPainter Painter;
    return &Painter;
}

void TdxBarCustomizingFormStandardPainter::DrawFocusRect(TCanvas* ACanvas, TRect R, TdxBarItem*) const {
    gfx::InflateRect(&R, -2, -2);
    gfx::SetTextColor(ACanvas->Handle(), cls::ColorToRGB(cls::clBtnText));
    gfx::SetBkColor(ACanvas->Handle(), cls::ColorToRGB(cls::clBtnFace));
    gfx::DrawFocusRect(ACanvas->Handle(), &R);
}

// ============================================================================
// Flat
// ============================================================================

TdxBarCustomizingFormPainterClass TdxBarCustomizingFormFlatPainter::Class() {
    static const TdxBarCustomizingFormFlatPainter Painter;
    return &Painter;
}

TColor TdxBarCustomizingFormFlatPainter::GetBackgroundColor(bool ASelected, TdxBarItem*) const {
    return ASelected ? GetNearestScreenColor(lf::MixSystemColors(-2, 30, 72)) : cls::clWindow;
}

TColor TdxBarCustomizingFormFlatPainter::GetTextColor(bool ASelected) const {
    return ASelected && lf::IsHighContrastWhite() ? cls::clBtnFace : cls::clBtnText;
}

void TdxBarCustomizingFormFlatPainter::DrawItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                const std::string& ACaption, TdxBarItem* AItem) const {
    const int CellWidth = R.bottom - R.top;
    const TRect Cell{R.left, R.top, R.left + CellWidth, R.bottom};
    if (ASelected) {
        Fill(ACanvas, R, GetBackgroundColor(true, AItem));
    } else {
        Fill(ACanvas, Cell, cls::clBtnFace);
        Fill(ACanvas, TRect{Cell.right, R.top, R.right, R.bottom}, cls::clWindow);
    }
    if (HasPicture(AItem)) {
        TRect Inner = Cell;
        gfx::InflateRect(&Inner, 1, 1);
        DrawPicture(ACanvas, Inner, ASelected, AItem, true);
    }
    const bool DropDown = IsDropDownButton(AItem);
    TRect Text{R.left + CellWidth + 10, R.top, R.right - (DropDown ? kDropDownPart : 0), R.bottom};
    DrawCaption(ACanvas, Text, Text.left, ASelected, RowCaption(ACaption, AItem));
    if (DropDown) {
        const TRect Part{R.right - kDropDownPart, R.top, R.right, R.bottom};
        if (ASelected)
            DrawHighlightFrame(ACanvas->Handle(), Part);
        else
            gfx::FrameRect(ACanvas->Handle(), &Part, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
        TRect Inner = Part;
        gfx::InflateRect(&Inner, -1, -1);
        Fill(ACanvas, Inner, GetBackgroundColor(ASelected, AItem));
        ACanvas->Font()->SetColor(GetTextColor(ASelected));
        DrawArrow(ACanvas, R.right - 9, ASelected, R.top + 7);
    } else {
        DrawSubItemArrow(ACanvas, R, ASelected, AItem);
    }
    if (ASelected) DrawHighlightFrame(ACanvas->Handle(), R);
}

void TdxBarCustomizingFormFlatPainter::DrawEditItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                    const std::string& ACaption, TdxBarItem* AItem) const {
    const TColor Rest = GetBackgroundColor(false, AItem);
    Fill(ACanvas, R, Rest);
    const TRect Caption{R.left, R.top, R.left + 6 + CaptionWidth(ACanvas, ACaption) + 5, R.bottom};
    if (ASelected) Fill(ACanvas, Caption, GetBackgroundColor(true, AItem));
    DrawCaption(ACanvas, Caption, Caption.left + 5, ASelected, ACaption);
    if (ASelected) DrawHighlightFrame(ACanvas->Handle(), Caption);
    TRect Box{Caption.right + 4, R.top, R.right, R.bottom};
    if (ASelected)
        DrawHighlightFrame(ACanvas->Handle(), Box);
    else
        gfx::FrameRect(ACanvas->Handle(), &Box, gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW));
    gfx::InflateRect(&Box, -1, -1);
    Fill(ACanvas, Box, cls::clWindow);
    if (!dynamic_cast<TCustomdxBarCombo*>(AItem)) return;
    TRect Button{Box.right - kComboButton, Box.top, Box.right, Box.bottom};
    if (ASelected) {
        TRect Grown = Button;
        gfx::InflateRect(&Grown, 1, 1);
        DrawHighlightFrame(ACanvas->Handle(), Grown);
        Fill(ACanvas, Button, GetBackgroundColor(true, AItem));
    } else {
        Frame(ACanvas, Button, cls::clBtnHighlight);
        VLine(ACanvas, Button.left, Button.top, Button.bottom, cls::clBtnHighlight);
        TRect Inner = Button;
        gfx::InflateRect(&Inner, -1, -1);
        Fill(ACanvas, Inner, Rest);
    }
    DrawDownArrow(ACanvas, Button);
}

// ============================================================================
// Office11
// ============================================================================

TdxBarCustomizingFormPainterClass TdxBarCustomizingFormOffice11Painter::Class() {
    static const TdxBarCustomizingFormOffice11Painter Painter;
    return &Painter;
}

TColor TdxBarCustomizingFormOffice11Painter::GetBackgroundColor(bool ASelected, TdxBarItem*) const {
    return ASelected ? lf::Office11Colors().HotColor : lf::Office11Colors().MenuColor;
}

TColor TdxBarCustomizingFormOffice11Painter::GetTextColor(bool ASelected) const {
    return ASelected && lf::IsHighContrastWhite() ? cls::clBtnFace : lf::Office11Colors().TextColor;
}

void TdxBarCustomizingFormOffice11Painter::DrawItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                    const std::string& ACaption, TdxBarItem* AItem) const {
    const lf::TOffice11Colors& Colors = lf::Office11Colors();
    const int CellWidth = R.bottom - R.top;
    const TRect Cell{R.left, R.top, R.left + CellWidth, R.bottom};
    if (ASelected) {
        Fill(ACanvas, R, GetBackgroundColor(true, AItem));
    } else {
        lf::FillTwoStageGradientRect(ACanvas->Handle(), Cell, Colors.MenuBandColor1, Colors.MenuBandColor2,
                                     true);
        Fill(ACanvas, TRect{Cell.right, R.top, R.right, R.bottom}, GetBackgroundColor(false, AItem));
    }
    if (HasPicture(AItem)) {
        TRect Inner = Cell;
        gfx::InflateRect(&Inner, 1, 1);
        DrawPicture(ACanvas, Inner, ASelected, AItem, true);
    }
    const bool DropDown = IsDropDownButton(AItem);
    const TRect Text{R.left + CellWidth + 10, R.top, R.right - (DropDown ? kDropDownPart : 0), R.bottom};
    DrawCaption(ACanvas, Text, Text.left, ASelected, RowCaption(ACaption, AItem));
    if (DropDown) {
        const TRect Part{R.right - kDropDownPart, R.top, R.right, R.bottom};
        if (ASelected)
            lf::DrawOffice11Frame(ACanvas->Handle(), Part);
        else
            Frame(ACanvas, Part, Colors.MenuSeparatorColor);
        ACanvas->Font()->SetColor(GetTextColor(ASelected));
        DrawArrow(ACanvas, R.right - 9, ASelected, R.top + 7);
    } else {
        DrawSubItemArrow(ACanvas, R, ASelected, AItem);
    }
    if (ASelected) lf::DrawOffice11Frame(ACanvas->Handle(), R);
}

void TdxBarCustomizingFormOffice11Painter::DrawEditItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                        const std::string& ACaption,
                                                        TdxBarItem* AItem) const {
    const lf::TOffice11Colors& Colors = lf::Office11Colors();
    const TColor Rest = GetBackgroundColor(false, AItem);
    Fill(ACanvas, R, Rest);
    const int CellWidth = R.bottom - R.top;
    const TRect Cell{R.left, R.top, R.left + CellWidth, R.bottom};
    if (ASelected)
        Fill(ACanvas, Cell, GetBackgroundColor(true, AItem));
    else
        lf::FillTwoStageGradientRect(ACanvas->Handle(), Cell, Colors.MenuBandColor1, Colors.MenuBandColor2,
                                     true);
    const TRect Caption{Cell.right, R.top, Cell.right + CaptionWidth(ACanvas, ACaption) + 16, R.bottom};
    if (ASelected) {
        Fill(ACanvas, Caption, GetBackgroundColor(true, AItem));
        lf::DrawOffice11Frame(ACanvas->Handle(), TRect{Cell.left, R.top, Caption.right, R.bottom});
    }
    DrawCaption(ACanvas, Caption, Caption.left + 10, ASelected, ACaption);
    TRect Box{Caption.right + 4, R.top, R.right, R.bottom};
    if (ASelected)
        lf::DrawOffice11Frame(ACanvas->Handle(), Box);
    else
        Frame(ACanvas, Box, Colors.MenuSeparatorColor);
    gfx::InflateRect(&Box, -1, -1);
    Fill(ACanvas, Box, cls::clWindow);
    if (!dynamic_cast<TCustomdxBarCombo*>(AItem)) return;
    TRect Button{Box.right - kComboButton, Box.top, Box.right, Box.bottom};
    if (ASelected) {
        TRect Grown = Button;
        gfx::InflateRect(&Grown, 1, 1);
        lf::DrawOffice11Frame(ACanvas->Handle(), Grown);
        Fill(ACanvas, Button, Colors.HotColor);
    } else {
        Frame(ACanvas, Button, cls::clWindow);
        VLine(ACanvas, Button.left, Button.top, Button.bottom, cls::clWindow);
        TRect Inner = Button;
        gfx::InflateRect(&Inner, -1, -1);
        Fill(ACanvas, Inner, Colors.BarColor1);
    }
    DrawDownArrow(ACanvas, Button);
}

// ============================================================================
// XP
// ============================================================================

TdxBarCustomizingFormPainterClass TdxBarCustomizingFormXPPainter::Class() {
    static const TdxBarCustomizingFormXPPainter Painter;
    return &Painter;
}

void TdxBarCustomizingFormXPPainter::DrawItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                              const std::string& ACaption, TdxBarItem* AItem) const {
    const win::HTHEME Theme = lf::OpenTheme(lf::totToolBar);
    if (!Theme) {
        TdxBarCustomizingFormPainter::DrawItem(ACanvas, R, ASelected, ACaption, AItem);
        return;
    }
    const bool Picture = HasPicture(AItem);
    const TRect Cell{R.left, R.top, R.left + kPictureCell, R.bottom};
    const TColor Face = GetBackgroundColor(false, AItem);
    Fill(ACanvas, TRect{R.left, R.top, R.left + kPictureCell + 1, R.bottom}, Face);
    if (Picture) {
        if (ASelected) lf::DrawThemeBackground(Theme, ACanvas->Handle(), win::TP_BUTTON, win::TS_HOT, Cell);
        DrawPicture(ACanvas, Cell, ASelected, AItem, false);
    }
    const bool DropDown = IsDropDownButton(AItem);
    const TRect Text{R.left + kPictureCell + 1, R.top, R.right - (DropDown ? kDropDownPart : 0), R.bottom};
    Fill(ACanvas, Text, GetBackgroundColor(ASelected, AItem));
    DrawCaption(ACanvas, Text, Text.left + 2, ASelected, RowCaption(ACaption, AItem));
    if (DropDown) {
        const TRect Part{R.right - kDropDownPart, R.top, R.right, R.bottom};
        Fill(ACanvas, Part, Face);
        if (ASelected) lf::DrawThemeBackground(Theme, ACanvas->Handle(), win::TP_BUTTON, win::TS_HOT, Part);
        ACanvas->Font()->SetColor(GetTextColor(false));
        DrawArrow(ACanvas, R.right - 9, false, R.top + 7);
    } else {
        DrawSubItemArrow(ACanvas, R, ASelected, AItem);
    }
}

void TdxBarCustomizingFormXPPainter::DrawEditItem(TCanvas* ACanvas, TRect R, bool ASelected,
                                                  const std::string& ACaption, TdxBarItem* AItem) const {
    const win::HTHEME Combo = lf::OpenTheme(lf::totComboBox);
    const win::HTHEME EditTheme = lf::OpenTheme(lf::totEdit);
    if (!Combo || !EditTheme) {
        TdxBarCustomizingFormPainter::DrawEditItem(ACanvas, R, ASelected, ACaption, AItem);
        return;
    }
    const TColor Rest = GetBackgroundColor(false, AItem);
    const TRect Caption{R.left, R.top, R.left + CaptionWidth(ACanvas, ACaption) + 3, R.bottom};
    Fill(ACanvas, Caption, GetBackgroundColor(ASelected, AItem));
    DrawCaption(ACanvas, Caption, Caption.left + 2, ASelected, ACaption);
    Fill(ACanvas, TRect{Caption.right, R.top, Caption.right + 4, R.bottom}, Rest);
    TRect Box{Caption.right + 4, R.top, R.right, R.bottom};
    gfx::HDC DC = ACanvas->Handle();
    lf::DrawThemeBackground(Combo, DC, 1, 1, Box);
    {
        gfx::HRGN Saved = nullptr;
        bool HadClip = false;
        SaveClipRegion(DC, Saved, HadClip);
        IncludeClipRect(DC, Box);
        lf::DrawThemeBackground(EditTheme, DC, 1, 1, Box);
        RestoreClipRegion(DC, Saved, HadClip);
    }
    gfx::InflateRect(&Box, -1, -1);
    if (dynamic_cast<TCustomdxBarCombo*>(AItem)) Box.right -= kComboButton;
    Fill(ACanvas, Box, cls::clWindow);
    if (dynamic_cast<TCustomdxBarCombo*>(AItem)) {
        const TRect Button{Box.right, Box.top, Box.right + kComboButton, Box.bottom};
        lf::DrawThemeBackground(Combo, DC, win::CP_DROPDOWNBUTTON,
                                ASelected ? win::CBXS_HOT : win::CBXS_NORMAL, Button);
    }
}

void TdxBarCustomizingFormXPPainter::DrawFocusRect(TCanvas* ACanvas, TRect R, TdxBarItem* AItem) const {
    if (!dynamic_cast<TdxBarEdit*>(AItem) && HasPicture(AItem)) R.left += 24;
    gfx::SetTextColor(ACanvas->Handle(), cls::ColorToRGB(cls::clBtnText));
    gfx::SetBkColor(ACanvas->Handle(), cls::ColorToRGB(cls::clBtnFace));
    gfx::DrawFocusRect(ACanvas->Handle(), &R);
}

// ============================================================================
// Choice
// ============================================================================

TdxBarCustomizingFormPainterClass
GetCustomizingFormPainterClass(const TdxBarItemControlPainter* APainterClass) {
    if (APainterClass == TdxBarItemControlXPPainter::Class()) return TdxBarCustomizingFormXPPainter::Class();
    if (APainterClass == TdxBarItemControlOffice11Painter::Class())
        return TdxBarCustomizingFormOffice11Painter::Class();
    if (APainterClass == TdxBarItemControlFlatPainter::Class())
        return TdxBarCustomizingFormFlatPainter::Class();
    return TdxBarCustomizingFormStandardPainter::Class();
}

} // namespace bars
