// The painters of the classic 3-D look: raised and sunken edges in the
// system colours. The Standard painter draws the manager style bmsStandard;
// the Enhanced painter, its descendant, draws bmsEnhanced (the manager's
// default) and bmsXP while no visual-style theme can draw it. Enhanced bars
// have a single grip and a quick-customization mark that reacts to the
// mouse; its menus inset their separator lines further.
#pragma once

#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlStandardPainter : public TdxBarItemControlPainter {
public:
    static TdxBarItemControlPainterClass Class();

    // --- Item controls ---
    void DrawGlyphFrame(TdxBarItemControl* AControl, gfx::HDC DC, TdxBarPaintType APaintType,
                        const TdxBarPaintState& AState, const gfx::RECT& R, bool AFrame, bool ANoGlyph,
                        gfx::HBRUSH ABrush) const override;
    void DrawCheckMark(TdxBarItemControl* AControl, gfx::HDC DC, int AThickness, int X, int Y) const override;
    bool IsGlyphCellTransparent(gfx::HBRUSH ABrush, const gfx::RECT& R) const override;
    bool IsSmallRect(TdxBarItemControl* AControl, const gfx::RECT& R) const override;
    void DrawMarkChevron(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::POINT APos,
                         const gfx::RECT& R) const override;
    void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                      const gfx::RECT& R) const override;
    void DrawEtchedLine(gfx::HDC DC, const gfx::RECT& R) const override;
    void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                           const TdxBarPaintState& AState, bool AShowGlyph) const override;
    void DrawSelectedFrame(gfx::HDC DC, gfx::RECT& R) const override;
    void DrawDownFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, bool ADown, bool ASelected,
                       bool APressed) const override;
    gfx::HBRUSH GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                              const TdxBarPaintState& AState) const override;
    int GetDownOffsetX(TdxBarItemControl* AControl) const override;
    int GetDownOffsetY(TdxBarItemControl* AControl, bool AFirstState) const override;
    int GetLoweredBorderSize() const override { return 1; }

    // --- Toolbar windows and dock sites ---
    int GetGripIndent() const override { return 2; }
    int GetDragZoneSize() const override { return GetGripIndent() + 2 * GetGripSize() + 1; }
    int GetMenuSeparatorIndent() const override { return 2; }
    void DrawCloseButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::RECT R,
                         int AState) const override;
    void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                         gfx::RECT R) const override;
    void DrawBarBorder(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush, int ABorder,
                       gfx::RECT R) const override;
    void DrawMDIButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AKind, const gfx::RECT& R,
                       bool AEnabled, bool ASelected, bool APressed) const override;
    int GetFloatingFrameWidth() const override { return 4; }
    void GetMarkRectInWindow(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;
    int GetFloatingFrameTop() const override { return 2; }
    int GetFloatingFrameBottom() const override { return 1; }
    bool IsCloseButtonHit(TCustomdxBarControl* ABarControl, gfx::POINT P) const override;
    bool UsesSystemFloatingFrame() const override { return true; }

    // --- Menus, sub items, combos and edits ---
    void DrawDropDownButtonPart(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R,
                                TdxBarPaintType APaintType, gfx::HBRUSH ABrush,
                                const TdxBarPaintState& AState, bool ADropDownEnabled,
                                bool AMenuOpen) const override;
    void ShiftDownContent(TdxBarItemControl* AControl, bool AFlag, gfx::RECT& R) const override;
    void ShiftSelectedContent(bool AFlag, gfx::RECT& R) const override;
    void DrawComboButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                         bool AHot) const override;
    int GetDropDownListBorder() const override { return 2; }
    void DrawDropDownListBorder(gfx::HDC DC, gfx::RECT R) const override;
    void DrawRarelyUsedBand(TdxBarSubMenuControl* AMenu, const TdxBarLinkState& ALinkState, gfx::HDC DC,
                            int AIndex, const gfx::RECT& R) const override;
    bool HasRarelyUsedBand() const override { return true; }
    int GetExpandButtonHeightExtra(TdxBarSubMenuControl* AMenu) const override;
    void SetEditMargins(TdxBarItemControl* AControl, win::HWND AWnd) const override;

protected:
    constexpr TdxBarItemControlStandardPainter() = default;
    ~TdxBarItemControlStandardPainter() = default;
};

class TdxBarItemControlEnhancedPainter : public TdxBarItemControlStandardPainter {
public:
    static TdxBarItemControlPainterClass Class();

    void DrawMarkChevron(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::POINT APos,
                         const gfx::RECT& R) const override;
    void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                      const gfx::RECT& R) const override;
    void DrawMarkChevrons(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const override;
    int GetGripIndent() const override { return 1; }
    int GetDragZoneSize() const override { return GetGripIndent() + GetGripSize() + 2; }
    int GetMenuSeparatorIndent() const override { return 12; }
    bool IsMarkHotTracked() const override { return true; }
    void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                         gfx::RECT R) const override;
    void GetMarkRectInWindow(TCustomdxBarControl* ABarControl, gfx::RECT& R) const override;

protected:
    constexpr TdxBarItemControlEnhancedPainter() = default;
    ~TdxBarItemControlEnhancedPainter() = default;
};

} // namespace bars
