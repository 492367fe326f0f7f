// Painters and the choice of painter by style.
//
// A painter decides how one style measures and draws. Painters keep no
// state: each painter class is named by its one constant object
// (TdxBarItemControlPainterClass), whose virtual operations may call one
// another so that a descendant's override takes effect inside the base's own
// algorithms. The base painter gives plain system-colour metrics.
#pragma once

#include "bars/types.h"
#include "gfx/gdi.h"

namespace bars {

class TdxBarItemControlPainter {
public:
    TdxBarItemControlPainter(const TdxBarItemControlPainter&) = delete;
    TdxBarItemControlPainter& operator=(const TdxBarItemControlPainter&) = delete;

    // The class reference of the base painter.
    static TdxBarItemControlPainterClass Class();

    // --- Item controls ---
    // False: the cell of a down, pressed or selected control is filled solidly.
    virtual bool IsGlyphCellTransparent() const { return false; }
    virtual bool IsRarelyUsedItemDrawnByPainter() const { return false; }
    // False: a pressed control's glyph and caption move one pixel right and down.
    virtual bool IsGlyphNotShifted() const { return false; }
    // True when R is less than 17 pixels high.
    virtual bool IsSmallRect(const gfx::RECT& R) const { return R.bottom - R.top < 17; }
    virtual int GetMarkChevronColor() const;

    // --- Toolbar windows and dock sites ---
    virtual int GetGripIndent() const { return 0; }
    virtual int GetBarFrameWidth() const;
    virtual int GetBarFrameHeight() const;
    virtual int GetNoDockDragZone() const { return 0; }
    virtual int GetDragZoneSize() const { return 0; }
    virtual int GetGripSize() const { return 3; }
    // ButtonArrowWidth, doubled with LargeIcons, made odd.
    virtual int GetButtonArrowWidth(const TdxBarManager* AManager) const;
    virtual int GetLargeButtonArrowWidth(const TdxBarManager* AManager) const;
    virtual int GetMenuSeparatorIndent() const { return 0; }
    virtual bool IsGlyphFrameDrawnFirst() const { return false; }
    virtual bool IsBarBorderFlat() const { return false; }
    virtual gfx::HBRUSH GetBarBrush() const;
    virtual gfx::HBRUSH GetSelectedBrush() const;
    virtual gfx::HBRUSH GetHighlightBrush() const;
    virtual int GetDropDownButtonWidth(int ASize) const { return 2 * ASize - 1; }
    virtual int GetEditHeightExtra() const { return 6; }
    virtual int GetEditHeight(int ATextHeight) const { return ATextHeight + GetEditHeightExtra(); }
    virtual bool IsCloseButtonHotTracked() const { return false; }
    virtual bool IsMarkHotTracked() const { return false; }
    virtual int GetSeparatorLineOffset() const { return (GetSeparatorSize() - 2) / 2; }
    virtual int GetSeparatorSize() const { return 6; }
    virtual void GetDockedFrameRect(gfx::RECT& R) const;
    virtual int GetDockedFrameSize() const { return 1; }
    virtual void GetBorderRect(gfx::RECT& R) const;
    virtual int GetCaptionHeight() const { return GetSmallCaptionHeight() + 1; }
    virtual int GetSmallCaptionHeight() const;
    virtual bool HasCaptionExtra() const { return false; }
    virtual void GetCloseButtonSize(gfx::SIZE& ASize) const;
    virtual int GetFloatingFrameWidth() const { return 0; }
    virtual int GetFloatingFrameTop() const { return 0; }
    virtual int GetFloatingFrameBottom() const { return 0; }
    virtual bool UsesSystemFloatingFrame() const { return false; }
    virtual void GetSizeGripSize(gfx::SIZE& ASize) const;
    virtual int GetStatusBarBandHeight() const { return 2; }
    virtual bool IsQuickCustRightAligned() const { return false; }
    virtual int GetButtonHeightExtra() const { return 6; }
    virtual int GetButtonWidthExtra() const { return 7; }

protected:
    constexpr TdxBarItemControlPainter() = default;
    ~TdxBarItemControlPainter() = default;
};

// The style a manager draws in: Style, or for bmsUseLookAndFeel bmsXP with a
// native look-and-feel on a themed system, else by the look-and-feel's Kind.
TdxBarManagerStyle GetEffectiveStyle(const TdxBarManager* ABarManager);
// The painter class of an effective style.
TdxBarItemControlPainterClass GetPainterClassOfStyle(TdxBarManagerStyle AEffectiveStyle,
                                                     bool AThemeAvailable);

} // namespace bars
