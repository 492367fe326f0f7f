// The Office11 painter: the flat painter in the colours of the Office11
// scheme. Menus get a gradient band at the left, selected items a one-pixel
// frame in the scheme's selection colour over a light fill, pressed ones a
// stronger fill; separators are thin lines; toolbars get gradient surfaces
// with rounded corners and dotted grips.
//
// Every colour is read from the scheme (lookandfeel/colors.h) at the moment
// of drawing, so a change of theme or of the system colours shows at the
// next paint. The scheme's brushes belong to the scheme.
#pragma once

#include "bars/flat_painter.h"

namespace bars {

class TdxBarItemControlOffice11Painter : public TdxBarItemControlFlatPainter {
public:
    static TdxBarItemControlPainterClass Class();

    // --- Item controls ---
    void DrawGlyphFrame(TdxBarItemControl* AControl, gfx::HDC DC, TdxBarPaintType APaintType,
                        const TdxBarPaintState& AState, const gfx::RECT& R, bool AFrame, bool ANoGlyph,
                        gfx::HBRUSH ABrush) const override;
    void DrawGlyphBitmap(TdxBarItemControl* AControl, gfx::HDC DC, const TdxBarPaintState& AState,
                         gfx::RECT R, const gfx::RECT& AGlyphRect, bool AFits, bool AFrame,
                         gfx::HBRUSH ABrush) const override;
    void DrawDropDownArrow(gfx::HDC DC, const gfx::RECT& R, bool APointDown, bool AEnabled,
                           bool ASelected) const override;
    void DrawSubMenuArrow(gfx::HDC DC, const gfx::RECT& R, int ASize, bool AEnabled, bool ASelected,
                          bool ADown) const override;
    void GetEditColors(TdxBarItemControl* AControl, gfx::TColor& ATextColor,
                       gfx::TColor& ABkColor) const override;
    gfx::TColor GetDisabledImageFadeColor(TCustomdxBarControl* ABarControl) const override;
    void GetTextColors(TdxBarItemControl* AControl, bool AEnabled, gfx::TColor& AShadowColor,
                       gfx::TColor& ATextColor, bool AFlatHint, bool ASelected) const override;
    bool IsRarelyUsedItemDrawnByPainter() const override { return true; }
    gfx::TColor GetCaptionColor(TCustomdxBarControl* ABarControl, bool AActive) const override;
    gfx::TColor GetCaptionTextColor(TCustomdxBarControl* ABarControl) const override;
    gfx::TColor GetMarkArrowColor(TCustomdxBarControl* ABarControl, int AState) const override;
    void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                      const gfx::RECT& R) const override;
    void DrawMarkChevrons(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void DrawExpandArrows(TdxBarSubMenuControl* AMenu, gfx::HDC DC, bool ASelected,
                          const gfx::RECT& R) const override;
    void DrawDownFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, bool ADown, bool ASelected,
                       bool APressed) const override;
    void GetTextColorAndBrush(TdxBarItemControl* AControl, const TdxBarPaintState& AState,
                              gfx::TColor& AColor, gfx::HBRUSH& ABrush) const override;
    gfx::HBRUSH GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                              const TdxBarPaintState& AState) const override;
    bool IsDropDownPartFlat() const override;

    // --- Toolbar windows and dock sites ---
    int GetGripIndent() const override {
        return TdxBarItemControlFlatPainter::GetGripIndent() + GetBarEdgeOffset();
    }
    int GetBarFrameWidth() const override { return 3; }
    int GetBarFrameHeight() const override { return 3; }
    int GetNoDockDragZone() const override { return 2; }
    void DrawDockBackground(TdxDockControl* ADockControl, gfx::HDC DC, gfx::TColor AColor, gfx::HBRUSH ABrush,
                            const gfx::RECT& R, gfx::POINT AOrigin) const override;
    bool IsDockBackgroundDrawn() const override { return true; }
    bool IsDockBackgroundChanged(TdxDockControl* ADockControl, const gfx::RECT& AOld, const gfx::RECT& ANew,
                                 const gfx::RECT& APart) const override;
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    gfx::HBRUSH GetToolbarBrush(const TdxBarManager* AManager) const override;
    void FillBarBackgroundFromDock(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                                   cls::TBitmap* ABitmap, const gfx::RECT& R,
                                   gfx::POINT AOrigin) const override;
    void FillBarWindowBackground(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::TColor AColor,
                                 gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const override;
    void FillOwnerEdge(TCustomdxBarControl* ABarControl, gfx::HDC DC) const override;
    bool IsBarBorderFlat(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetBarBrush() const override;
    gfx::HBRUSH GetCheckerBrush() const override;
    gfx::HBRUSH GetSelectedBrush() const override;
    gfx::HBRUSH GetHighlightBrush() const override;
    int GetDropDownButtonWidth(int) const override { return 13; }
    void GetDockedFrameRect(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;
    void GetBorderRect(bool AIsMainMenu, TdxBarDockingStyle ADockingStyle, gfx::RECT& R) const override;
    void DrawToolbarSeparator(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                              bool AHorizontal) const override;
    void FillCaptionButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AState,
                           gfx::RECT R) const override;
    void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                         gfx::RECT R) const override;
    void DrawBarBorder(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush, int ABorder,
                       gfx::RECT R) const override;
    void DrawFloatingCaption(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                             const gfx::RECT& R) const override;
    void DrawMark(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                  int AState) const override;
    void GetMarkRect(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;
    void RepaintMark(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetQuickCustWindowBrush(TCustomdxBarControl* ABarControl) const override;

    // The status bar's parts are the XP painter's while visual styles are
    // available to the window's manager, else the base painter's.
    void DrawStatusBarSizeGrip(TCustomdxBarControl* ABarControl, gfx::HDC DC,
                               const gfx::RECT& R) const override;
    void FillStatusBarBand(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void FillStatusBarBackground(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::TColor AColor,
                                 gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const override;
    void GetSizeGripSize(gfx::SIZE& ASize) const override;
    int GetStatusBarBandHeight() const override;

    // --- Menus, sub items, combos and edits ---
    void DrawDropDownButtonPart(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R,
                                TdxBarPaintType APaintType, gfx::HBRUSH ABrush,
                                const TdxBarPaintState& AState, bool ADropDownEnabled,
                                bool AMenuOpen) const override;
    void DrawComboButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                         bool AHot) const override;
    void GetComboArrowColors(TdxBarItemControl* AControl, const TdxBarPaintState& AState, gfx::TColor& AColor,
                             gfx::HBRUSH& ABrush) const override;
    void DrawDropDownListBorder(gfx::HDC DC, gfx::RECT R) const override;
    void GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1, int& AExpandHeight,
                        int& AM2) const override;
    int GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const override;
    void FillMenuSideStrip(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::TColor AColor, gfx::HBRUSH ABrush,
                           const gfx::RECT& R) const override;
    void DrawMenuFrame(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const override;
    void DrawExpandButton(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::HBRUSH ABrush,
                          gfx::RECT& R) const override;
    void FillDetachBar(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const override;
    void GetMenuContentRect(TdxBarSubMenuControl* AMenu, gfx::RECT& R) const override;
    gfx::HBRUSH GetMenuBackgroundBrush() const override;
    int GetEditCaptionWidth(TdxBarItemControl* AControl, int AWidth) const override;
    void DrawEditFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, TdxBarPaintType APaintType,
                       bool ASelected) const override;
    // The XP painter's while visual styles are available, else the Flat one.
    void DrawPushButtonFrame(TdxBarItemControl* AControl, gfx::HDC DC, bool APressed, gfx::RECT R,
                             const std::string& AText) const override;
    gfx::TColor GetProgressDefaultColor() const override;
    int GetProgressIndentX(TdxBarItemControl* AControl) const override;
    gfx::HBRUSH GetProgressFrameBrush() const override;

    // --- Operations of the flat family ---
    void FrameSelected(gfx::HDC DC, const gfx::RECT& R) const override;
    gfx::HBRUSH GetFrameBrush() const override;
    void DrawDarkFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void FillWithToolbarBrush(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                              TdxBarItemControl* AControl, const gfx::RECT& AItemRect) const override;
    gfx::HBRUSH GetMenuSeparatorBrush() const override;
    gfx::HBRUSH GetMenuBandBrush(TCustomdxBarControl* ABarControl) const override;
    void FrameMenuDropDownPart(gfx::HDC DC, const gfx::RECT& R) const override;

    // ========================================================================
    // Operations of the Office11 painter
    // ========================================================================

    // The dotted grip in R: a column of dots when AVertical, else a row.
    virtual void DrawGripDots(gfx::HDC DC, const gfx::RECT& R, bool AVertical) const;
    // How far a docked toolbar's rounded edge reaches in: added to the grip's indent.
    virtual int GetBarEdgeOffset() const { return 2; }

    // The width of a menu's gradient band, from the window's left edge: the
    // side strip, the glyph column and the gap after it.
    int GetMenuBandWidth(TdxBarSubMenuControl* AMenu) const;

protected:
    constexpr TdxBarItemControlOffice11Painter() = default;
    ~TdxBarItemControlOffice11Painter() = default;
};

} // namespace bars
