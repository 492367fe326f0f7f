// The XP painter: bars, menus and item controls drawn with the system's
// visual style (the theme service of the window system) for the manager
// style bmsXP. Toolbar buttons, grips, separators, window and combo buttons,
// edit frames, spin buttons, progress bars and status bars are themed parts;
// dock sites show the rebar background with etched row lines, drawn once per
// size into the site's cache. A few operations take the Flat or the Standard
// painter's look.
//
// The manager picks this painter only while visual styles are available. A
// theme switched off between that choice and a paint leaves the themed parts
// undrawn until the manager, told of the change, picks its painter again.
#pragma once

#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlXPPainter : public TdxBarItemControlPainter {
public:
    static TdxBarItemControlPainterClass Class();

    // --- Item controls ---
    void DrawGlyphFrame(TdxBarItemControl* AControl, gfx::HDC DC, TdxBarPaintType APaintType,
                        const TdxBarPaintState& AState, const gfx::RECT& R, bool AFrame, bool ANoGlyph,
                        gfx::HBRUSH ABrush) const override;
    void DrawCheckMark(TdxBarItemControl* AControl, gfx::HDC DC, int AThickness, int X, int Y) const override;
    void DrawGlyphBitmap(TdxBarItemControl* AControl, gfx::HDC DC, const TdxBarPaintState& AState,
                         gfx::RECT R, const gfx::RECT& AGlyphRect, bool AFits, bool AFrame,
                         gfx::HBRUSH ABrush) const override;
    gfx::TColor GetDisabledImageFadeColor(TCustomdxBarControl* ABarControl) const override;
    void DrawSizeGripImage(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                      const gfx::RECT& R) const override;
    void DrawMarkChevrons(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X, int& ARight) const override;
    void AdjustEditTextRect(gfx::RECT& R) const override;
    void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                           const TdxBarPaintState& AState, bool AShowGlyph) const override;
    void DrawSelectedFrame(gfx::HDC DC, gfx::RECT& R) const override;
    gfx::HBRUSH GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                              const TdxBarPaintState& AState) const override;
    int GetDownOffsetX(TdxBarItemControl* AControl) const override;
    int GetDownOffsetY(TdxBarItemControl* AControl, bool AFirstState) const override;

    // --- Toolbar windows and dock sites ---
    int GetGripIndent() const override { return 0; }
    int GetDragZoneSize() const override { return GetGripIndent() + GetGripSize() + 2; }
    int GetGripSize() const override;
    int GetButtonArrowWidth(const TdxBarManager* AManager) const override;
    int GetLargeButtonArrowWidth(const TdxBarManager* AManager) const override;
    void DrawDockBackground(TdxDockControl* ADockControl, gfx::HDC DC, gfx::TColor AColor, gfx::HBRUSH ABrush,
                            const gfx::RECT& R, gfx::POINT AOrigin) const override;
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    bool IsBarBorderFlat(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetBarBrush() const override;
    gfx::HBRUSH GetToolbarWindowBrush(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetCheckerBrush() const override;
    gfx::HBRUSH GetSelectedBrush() const override;
    gfx::HBRUSH GetHighlightBrush() const override;
    int GetDropDownButtonWidth(int ASize) const override;
    int GetEditHeightExtra() const override;
    bool IsCloseButtonHotTracked() const override { return true; }
    bool IsMarkHotTracked() const override { return true; }
    int GetSeparatorLineOffset() const override { return (GetSeparatorSize() - 1) / 2; }
    int GetSeparatorSize() const override;
    int GetDockedFrameSize() const override { return 0; }
    void FillCaptionExtra(gfx::HDC DC, gfx::HBRUSH ABrush, const gfx::RECT& R) const override;
    bool HasCaptionExtra() const override { return true; }
    void GetCloseButtonSize(gfx::SIZE& ASize) const override;
    void DrawToolbarSeparator(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                              bool AHorizontal) const override;
    void DrawCloseButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::RECT R,
                         int AState) const override;
    void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                         gfx::RECT R) const override;
    void DrawBarBorder(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush, int ABorder,
                       gfx::RECT R) const override;
    void DrawMDIButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AKind, const gfx::RECT& R,
                       bool AEnabled, bool ASelected, bool APressed) const override;
    void GetMarkRectInWindow(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;
    void FillStatusBarBackground(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::TColor AColor,
                                 gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const override;
    void GetSizeGripSize(gfx::SIZE& ASize) const override;
    bool IsQuickCustRightAligned() const override { return true; }
    int GetButtonHeightExtra() const override;
    int GetButtonWidthExtra() const override { return GetButtonHeightExtra(); }

    // --- Menus, sub items, combos and edits ---
    void AdjustMenuBandWidth(int& AWidth) const override;
    void DrawDropDownButtonPart(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R,
                                TdxBarPaintType APaintType, gfx::HBRUSH ABrush,
                                const TdxBarPaintState& AState, bool ADropDownEnabled,
                                bool AMenuOpen) const override;
    void ShiftDownContent(TdxBarItemControl* AControl, bool AFlag, gfx::RECT& R) const override;
    void ShiftSelectedContent(bool AFlag, gfx::RECT& R) const override;
    int GetComboFrameSize() const override { return 0; }
    void DrawComboButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                         bool AHot) const override;
    int GetDropDownListBorder() const override;
    void DrawDropDownListBorder(gfx::HDC DC, gfx::RECT R) const override;
    int GetMenuBottomIndent() const override { return 1; }
    int GetMenuSeparatorHeight(TdxBarSubMenuControl* AMenu) const override;
    int GetSubMenuOffset() const override { return 1; }
    void GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, gfx::RECT& R,
                          int* ACounter) const override;
    void AdjustMenuSize(TdxBarSubMenuControl* AMenu, gfx::SIZE& AContentSize,
                        gfx::SIZE& AWindowSize) const override;
    int GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const override;
    void DrawMenuFrame(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const override;
    void DrawExpandButton(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::HBRUSH ABrush,
                          gfx::RECT& R) const override;
    void DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                           TdxBarLinkState& ALinkState, gfx::HDC DC, const gfx::RECT& R) const override;
    void GetMenuContentRect(TdxBarSubMenuControl* AMenu, gfx::RECT& R) const override;
    void PrepareMenuItemBackground(TdxBarSubMenuControl* AMenu, gfx::HBRUSH& ABrush) const override;
    gfx::HBRUSH GetMenuBackgroundBrush() const override;
    void DrawComboText(TdxBarItemControl* AControl, cls::TCanvas* ACanvas, const gfx::RECT& R, int AIndex,
                       const std::string& AText) const override;
    int GetEditCaptionWidth(TdxBarItemControl* AControl, int AWidth) const override;
    void DrawEditFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, TdxBarPaintType APaintType,
                       bool ASelected) const override;
    void DrawEditCaption(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, TdxBarPaintType APaintType,
                         bool ASelected) const override;
    void DrawEditWindow(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                        const std::string& AText) const override;
    unsigned GetEditWindowStyle() const override;
    void SetEditMargins(TdxBarItemControl* AControl, win::HWND AWnd) const override;
    void SelectAllText(win::HWND AWnd, bool ANotify) const override;
    void DrawEllipsisButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                            bool ADown) const override;
    void DrawDropDownWindowFrame(win::HWND AWnd, bool AFlat, int ACorner, bool AHot, bool APressed,
                                 gfx::RECT& AGripRect, gfx::RECT& AButtonRect) const override;
    int GetSizeGripBandHeight() const override;
    bool GetProgressFrameSize() const override { return true; }
    void DrawPushButtonFrame(TdxBarItemControl* AControl, gfx::HDC DC, bool APressed, gfx::RECT R,
                             const std::string& AText) const override;
    void DrawSpinButton(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, int ADirection,
                        bool ASelected, bool ADown, int AArrowSize, bool AVertical) const override;
    void FillSpinGap(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R) const override;
    gfx::TColor GetProgressBarColor() const override;
    int GetProgressMinHeight() const override;
    void DrawProgressBar(TdxBarItemControl* AControl, gfx::HDC DC, int AMax, int AMin, int APosition,
                         bool ASolid, int AOrientation, gfx::TColor AColor,
                         const gfx::RECT& R) const override;

    bool IsDockBackgroundDrawn() const override { return true; }

protected:
    constexpr TdxBarItemControlXPPainter() = default;
    ~TdxBarItemControlXPPainter() = default;

    // The glyph of a main-menu bar's sub item stays in place when pressed,
    // and its cell is lit with the highlight colour instead of a button.
    static bool IsGlyphNotShiftedFor(const TdxBarItemControl* AControl);
};

} // namespace bars
