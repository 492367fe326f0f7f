// The flat painter: no 3-D edges, one-pixel frames, selected items framed in
// the highlight colour and filled with a light blend of it, pressed ones with
// a stronger blend, menus on the window colour with a light band at the left.
//
// Its blends are the bar manager's colour brushes: the dark shade (frames),
// the light shade (menu band, bar brush), and the checker, down and hot
// mixes. A painter keeps no state, so the operations that are not handed a
// window take the brushes of the first listed manager: every manager builds
// them from the same system colours.
#pragma once

#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlFlatPainter : public TdxBarItemControlPainter {
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
    gfx::TColor GetCaptionColor(TCustomdxBarControl* ABarControl, bool AActive) const override;
    gfx::TColor GetMarkArrowColor(TCustomdxBarControl* ABarControl, int AState) const override;
    void DrawMarkChevron(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::POINT APos,
                         const gfx::RECT& R) const override;
    void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                      const gfx::RECT& R) const override;
    void DrawMarkChevrons(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    void GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X, int& ARight) const override;
    gfx::TColor GetMarkChevronColor(TCustomdxBarControl* ABarControl) const override;
    void AdjustEditTextRect(gfx::RECT& R) const override;
    void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                           const TdxBarPaintState& AState, bool AShowGlyph) const override;
    void DrawSelectedFrame(gfx::HDC DC, gfx::RECT& R) const override;
    void DrawBorder(gfx::HDC DC, gfx::RECT& R, int AKind, int ASize) const override;
    void DrawDownFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, bool ADown, bool ASelected,
                       bool APressed) const override;
    void GetTextColorAndBrush(TdxBarItemControl* AControl, const TdxBarPaintState& AState,
                              gfx::TColor& AColor, gfx::HBRUSH& ABrush) const override;
    gfx::HBRUSH GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                              const TdxBarPaintState& AState) const override;
    bool HasSeparateDropDownPart() const override { return true; }
    int GetLoweredBorderSize() const override { return 1; }
    int GetMenuIndent(TdxBarItemControl* AControl) const override;

    // --- Toolbar windows and dock sites ---
    int GetGripIndent() const override { return 1; }
    int GetDragZoneSize() const override { return GetGripIndent() + GetGripSize() + 2; }
    int GetButtonArrowWidth(const TdxBarManager* AManager) const override;
    int GetLargeButtonArrowWidth(const TdxBarManager* AManager) const override;
    int GetMenuSeparatorIndent() const override { return 8; }
    bool GetBarWindowFlagA(TCustomdxBarControl* ABarControl) const override;
    bool IsBarBorderFlat(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetBarBrush() const override;
    gfx::HBRUSH GetToolbarWindowBrush(TCustomdxBarControl* ABarControl) const override;
    gfx::HBRUSH GetCheckerBrush() const override;
    gfx::HBRUSH GetSelectedBrush() const override;
    gfx::HBRUSH GetHighlightBrush() const override;
    int GetEditHeightExtra() const override { return 7; }
    bool IsCloseButtonHotTracked() const override { return true; }
    bool IsMarkHotTracked() const override { return true; }
    int GetSeparatorLineOffset() const override { return (GetSeparatorSize() - 1) / 2; }
    int GetSeparatorSize() const override { return 5; }
    void DrawToolbarSeparator(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                              bool AHorizontal) const override;
    void DrawCloseButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::RECT R,
                         int AState) const override;
    void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                         gfx::RECT R) const override;
    void DrawBarBorder(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush, int ABorder,
                       gfx::RECT R) const override;
    void DrawMark(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                  int AState) const override;
    void DrawMDIButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AKind, const gfx::RECT& R,
                       bool AEnabled, bool ASelected, bool APressed) const override;
    void GetMarkRectInWindow(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;
    gfx::HBRUSH GetQuickCustWindowBrush(TCustomdxBarControl* ABarControl) const override;
    void GetQuickCustCheckRect(TdxBarItemControl* AControl, gfx::RECT& R, int& ACheckRight,
                               bool AMeasure) const override;
    void GetQuickCustCaptionRect(TdxBarItemControl* AControl, bool AChecked, const gfx::RECT& R1,
                                 const gfx::RECT& R2) const override;
    bool IsQuickCustRightAligned() const override { return true; }

    // --- Menus, sub items, combos and edits ---
    void AdjustMenuBandWidth(int& AWidth) const override;
    void AdjustButtonWidth(TdxBarItemControl* AControl, int& AWidth) const override;
    void DrawDropDownButtonPart(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R,
                                TdxBarPaintType APaintType, gfx::HBRUSH ABrush,
                                const TdxBarPaintState& AState, bool ADropDownEnabled,
                                bool AMenuOpen) const override;
    bool RepaintAfterDropDown(TdxBarItemControl* AControl) const override;
    void DrawComboButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                         bool AHot) const override;
    void GetComboArrowColors(TdxBarItemControl* AControl, const TdxBarPaintState& AState, gfx::TColor& AColor,
                             gfx::HBRUSH& ABrush) const override;
    int GetDropDownListBorder() const override { return 2; }
    void DrawDropDownListBorder(gfx::HDC DC, gfx::RECT R) const override;
    int GetSubItemCaptionIndent(TdxBarItemControl* AControl) const override;
    int GetSubItemHeight(TdxBarItemControl* AControl) const override;
    int GetSubItemWidth(TdxBarItemControl* AControl) const override;
    void DrawSubItem(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, TdxBarPaintType APaintType,
                     const TdxBarPaintState& AState) const override;
    int GetMenuSeparatorHeight(TdxBarSubMenuControl* AMenu) const override;
    int GetSubMenuOffset() const override { return 2; }
    void GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1, int& AExpandHeight,
                        int& AM2) const override;
    void GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, gfx::RECT& R,
                          int* ACounter) const override;
    void AdjustMenuSize(TdxBarSubMenuControl* AMenu, gfx::SIZE& AContentSize,
                        gfx::SIZE& AWindowSize) const override;
    int GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const override;
    void DrawMenuBackground(TdxBarSubMenuControl* AMenu, gfx::HDC DC, int AShownCount) const override;
    void DrawMenuFrame(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const override;
    void DrawExpandButton(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::HBRUSH ABrush,
                          gfx::RECT& R) const override;
    void FillDetachBar(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const override;
    void DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                           TdxBarLinkState& ALinkState, gfx::HDC DC, const gfx::RECT& R) const override;
    int GetScrollArrowSize(TdxBarSubMenuControl* AMenu, int AHeight) const override;
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
    unsigned GetEditWindowStyle() const override;
    void SetEditMargins(TdxBarItemControl* AControl, win::HWND AWnd) const override;
    void SelectAllText(win::HWND AWnd, bool ANotify) const override;
    void DrawDropDownWindowFrame(win::HWND AWnd, bool AFlat, int ACorner, bool AHot, bool APressed,
                                 gfx::RECT& AGripRect, gfx::RECT& AButtonRect) const override;
    bool GetProgressFrameSize() const override { return true; }
    void DrawPushButtonFrame(TdxBarItemControl* AControl, gfx::HDC DC, bool APressed, gfx::RECT R,
                             const std::string& AText) const override;
    void DrawSpinButton(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, int ADirection,
                        bool ASelected, bool ADown, int AArrowSize, bool AVertical) const override;
    int GetProgressIndentY() const override { return 9; }
    void DrawCaptionBar(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool AExpanded,
                        bool ASelected) const override;

    // ========================================================================
    // Operations of the flat family
    // ========================================================================

    // Frames R as selected.
    virtual void FrameSelected(gfx::HDC DC, const gfx::RECT& R) const;
    virtual gfx::HBRUSH GetFrameBrush() const;
    // DrawWindowFrame, then the inside filled with the window's toolbar brush.
    virtual void DrawFramedFill(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    // The dark frame of R, except where ABarControl's border touches its
    // owner: that part is filled by FillWithToolbarBrush, so that the window
    // and the control it opened from look joined. AControl, when given, is
    // the control drawn (R is its rectangle in its own window).
    virtual void DrawWindowFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                                 TdxBarItemControl* AControl) const;
    virtual void DrawDarkFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    // Fills R, a strip of AControl's rectangle AItemRect (both in the DC's
    // coordinates; AControl may be nil).
    virtual void FillWithToolbarBrush(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                                      TdxBarItemControl* AControl, const gfx::RECT& AItemRect) const;
    // The group separator line in menus.
    virtual gfx::HBRUSH GetMenuSeparatorBrush() const;
    // The band behind a menu entry's glyph column.
    virtual gfx::HBRUSH GetMenuBandBrush(TCustomdxBarControl* ABarControl) const;
    // Frames a drop-down part in a menu while it is not selected.
    virtual void FrameMenuDropDownPart(gfx::HDC DC, const gfx::RECT& R) const;

protected:
    constexpr TdxBarItemControlFlatPainter() = default;
    ~TdxBarItemControlFlatPainter() = default;

    // --- Steps the flat family's operations share ---

    // A rarely used entry is filled with its window's rarely used brush,
    // unless the painter draws such entries itself.
    bool IsRarelyUsedFilledSolid(const TdxBarItemControl* AControl) const;
    // The grip of a docked bar whose inside is R.
    gfx::RECT GetGripRect(TCustomdxBarControl* ABarControl, const gfx::RECT& R, bool AVertical) const;
    // The button's part of a combo's rectangle R, framed as selected when
    // ASelected.
    gfx::RECT FrameComboButton(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                               bool ASelected) const;
    // The frame and fill of a drop-down part (none while its menu is open);
    // R moves a pixel left onto a toolbar button. False when R is empty.
    bool DrawDropDownPartFace(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R,
                              TdxBarPaintType APaintType, gfx::HBRUSH ABrush, const TdxBarPaintState& AState,
                              bool AMenuOpen) const;
    // The arrow of a drop-down part: a sub menu's in a menu, else pointing down.
    void DrawDropDownPartArrow(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                               TdxBarPaintType APaintType, bool ADropDownEnabled, bool ASelected) const;
};

} // namespace bars
