// Painters and the choice of painter by style.
//
// A painter decides how one style measures and draws item controls, toolbar
// and menu windows, floating frames and dock sites. Painters keep no state:
// each painter class is named by its one constant object
// (TdxBarItemControlPainterClass), whose virtual operations may call one
// another so that a descendant's override takes effect inside the base's own
// algorithms. The base painter gives a plain system-colour look.
//
// The operations are declared in one fixed order, the same in every style:
// first the drawing primitives of item controls, then toolbar windows and
// dock sites, then menus, sub items, combos and edits. A style that adds
// operations appends them after the last inherited one.
//
// Conventions: colours are TColor values (system colours in the class
// library's encoding; resolve them with ColorToRGB where they are used).
// With Solid a fill uses the given brush; without it the bar window's
// background operation fills (its background bitmap or brush). Every GDI
// object an operation creates is deselected and deleted before it returns,
// and a clip region it changes is restored.
#pragma once

#include <string>

#include "bars/types.h"
#include "gfx/colors.h"
#include "gfx/gdi.h"
#include "win/defs.h"

namespace cls {
class TBitmap;
class TCanvas;
class TCustomImageList;
} // namespace cls

namespace bars {

// Where a control is drawn: a horizontal toolbar, a menu window, or a
// vertical toolbar (captions turned when the bar is rotated).
enum TdxBarPaintType : unsigned char { ptHorz, ptMenu, ptVert };

// The state of a control as a painter receives it.
struct TdxBarPaintState {
    bool Enabled = true;
    // Hot: under the mouse, or reached by the keyboard.
    bool Selected = false;
    // Checked, or a button whose drop-down counts as down.
    bool Down = false;
    // Held down by the mouse (or drawn pressed while its command runs).
    bool Pressed = false;
    bool Lowered = false;
    // The control's drop-down menu or child menu is open.
    bool DroppedDown = false;
    // Draw the glyph in grey (DrawGlyph's grey-scale look).
    bool GrayScale = false;
    // Move the glyph by GetDownOffsetX (first) or GetDownOffsetY (second).
    bool ShiftFirst = false;
    bool ShiftSecond = false;
};

// A link's place around a group separator, for the menu painters: whether it
// begins a group and is rarely used, whether it stands at the boundary
// between rarely and often used links; the painter returns the separator's
// rectangle in SeparatorRect.
struct TdxBarLinkState {
    bool BeginGroup = false;
    bool RarelyUsed = false;
    bool AtRarelyUsedBoundary = false;
    gfx::RECT SeparatorRect{};
};

class TdxBarItemControlPainter {
public:
    TdxBarItemControlPainter(const TdxBarItemControlPainter&) = delete;
    TdxBarItemControlPainter& operator=(const TdxBarItemControlPainter&) = delete;

    // The class reference of the base painter.
    static TdxBarItemControlPainterClass Class();

    // ========================================================================
    // Item controls
    // ========================================================================

    // Frame around a glyph cell. AFrame: the caller asks for a frame (the
    // glyph fits); ANoGlyph: the cell is a check cell (no picture).
    virtual void DrawGlyphFrame(TdxBarItemControl* AControl, gfx::HDC DC, TdxBarPaintType APaintType,
                                const TdxBarPaintState& AState, const gfx::RECT& R, bool AFrame,
                                bool ANoGlyph, gfx::HBRUSH ABrush) const;
    // Check mark of a checked control without glyph, 9 x 7 pixels per unit of
    // AThickness, top-left at (X, Y).
    virtual void DrawCheckMark(TdxBarItemControl* AControl, gfx::HDC DC, int AThickness, int X, int Y) const;
    virtual void DrawCheckCell(TdxBarItemControl* AControl, gfx::HDC DC, const TdxBarPaintState& AState,
                               TdxBarPaintType APaintType, gfx::RECT R, bool AFits, gfx::HBRUSH ABrush) const;
    // The glyph rectangle AGlyphRect drawn in the cell R.
    virtual void DrawGlyphBitmap(TdxBarItemControl* AControl, gfx::HDC DC, const TdxBarPaintState& AState,
                                 gfx::RECT R, const gfx::RECT& AGlyphRect, bool AFits, bool AFrame,
                                 gfx::HBRUSH ABrush) const;
    // Arrow of a drop-down part in a toolbar, sized from R.
    virtual void DrawDropDownArrow(gfx::HDC DC, const gfx::RECT& R, bool APointDown, bool AEnabled,
                                   bool ASelected) const;
    // Arrow of a sub item or of a drop-down part in a menu.
    virtual void DrawSubMenuArrow(gfx::HDC DC, const gfx::RECT& R, int ASize, bool AEnabled, bool ASelected,
                                  bool ADown) const;
    virtual void GetEditColors(TdxBarItemControl* AControl, gfx::TColor& ATextColor,
                               gfx::TColor& ABkColor) const;
    virtual gfx::TColor GetDisabledImageFadeColor(TCustomdxBarControl* ABarControl) const;
    // Two different colours mean embossed text: ShadowColor one pixel right
    // and down first, then TextColor in place.
    virtual void GetTextColors(TdxBarItemControl* AControl, bool AEnabled, gfx::TColor& AShadowColor,
                               gfx::TColor& ATextColor, bool AFlatHint, bool ASelected) const;
    // False: the cell of a down, pressed or selected control is filled solidly.
    virtual bool IsGlyphCellTransparent(gfx::HBRUSH ABrush, const gfx::RECT& R) const;
    virtual bool IsRarelyUsedItemDrawnByPainter() const { return false; }
    // False: a pressed control's glyph and caption move one pixel right and down.
    virtual bool IsGlyphNotShifted() const { return false; }
    // True when R is less than 17 pixels high.
    virtual bool IsSmallRect(TdxBarItemControl* AControl, const gfx::RECT& R) const;
    virtual gfx::TColor GetCaptionColor(TCustomdxBarControl* ABarControl, bool AActive) const;
    virtual gfx::TColor GetCaptionTextColor(TCustomdxBarControl* ABarControl) const;
    // AState: 0 normal, 1 hot, 2 pressed.
    virtual gfx::TColor GetMarkArrowColor(TCustomdxBarControl* ABarControl, int AState) const;
    virtual void DrawSizeGripImage(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    virtual void DrawMarkArrow(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    virtual void DrawMarkChevron(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::POINT APos,
                                 const gfx::RECT& R) const;
    virtual void DrawMarkFace(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                              const gfx::RECT& R) const;
    virtual void DrawMarkChevrons(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    // X: the left edge of a floating caption's text when the bar shows its
    // mark; ARight: where the text ends.
    virtual void GetCaptionTextLeft(TCustomdxBarControl* ABarControl, int& X, int& ARight) const;
    virtual gfx::TColor GetMarkChevronColor(TCustomdxBarControl* ABarControl) const;
    virtual void DrawDownArrow(gfx::HDC DC, gfx::TColor AColor, int ASize, int X, int Y) const;
    virtual void DrawScrollArrow(TdxBarSubMenuControl* AMenu, gfx::HDC DC, bool AUp,
                                 const gfx::RECT& R) const;
    virtual void DrawExpandArrows(TdxBarSubMenuControl* AMenu, gfx::HDC DC, bool ASelected,
                                  const gfx::RECT& R) const;
    virtual void AdjustEditTextRect(gfx::RECT& R) const;
    virtual void DrawCenteredText(gfx::HDC DC, const gfx::RECT& R, bool AOpaque, const std::string& AText,
                                  int AOffset) const;
    virtual void FillGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                               gfx::HBRUSH ABrush, bool ASolid) const;
    virtual void FrameGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                                gfx::HBRUSH ABrush, bool ASolid) const;
    virtual void DrawEtchedLine(gfx::HDC DC, const gfx::RECT& R) const;
    // Computes the glyph rectangle in R and calls DrawGlyphImage. ANoGlyph:
    // draw the check cell even when the control has a glyph; AOwnRect: the
    // caller draws in its own rectangle (no toolbar cell size); ACellRect,
    // when given, is where the cell's frame and fill go.
    virtual void DrawButton(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                            const TdxBarPaintState& AState, TdxBarPaintType APaintType, bool ANoGlyph,
                            bool AOwnRect = false, const gfx::RECT* ACellRect = nullptr) const;
    virtual void DrawGlyphImage(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                                const gfx::RECT& AGlyphRect, const TdxBarPaintState& AState,
                                TdxBarPaintType APaintType, bool ANoGlyph) const;
    // The entry of a button or sub item in a menu: cell, glyph or check, caption.
    virtual void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                                   const TdxBarPaintState& AState, bool AShowGlyph) const;
    // Alignment: 0 left, 1 centre, 2 right. AVertical: the caller selected a
    // font turned by 270 degrees. AClipped: clip the text to R.
    virtual void DrawCaption(TdxBarItemControl* AControl, gfx::HDC DC, const std::string& AText,
                             const gfx::RECT& R, int AAlignment, bool AEnabled, bool ASelected,
                             bool AVertical, bool AClipped, bool AFlatHint) const;
    virtual void DrawSelectedFrame(gfx::HDC DC, gfx::RECT& R) const;
    // AKind: 0 none, 1 sunken, 2 raised, 3 etched, 4 raised then sunken.
    virtual void DrawBorder(gfx::HDC DC, gfx::RECT& R, int AKind, int ASize) const;
    virtual void DrawDownFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R, bool ADown,
                               bool ASelected, bool APressed) const;
    virtual void GetTextColorAndBrush(TdxBarItemControl* AControl, const TdxBarPaintState& AState,
                                      gfx::TColor& AColor, gfx::HBRUSH& ABrush) const;
    virtual gfx::HBRUSH GetGlyphBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType,
                                      const TdxBarPaintState& AState) const;
    virtual int GetDownOffsetX(TdxBarItemControl* AControl) const;
    virtual int GetDownOffsetY(TdxBarItemControl* AControl, bool AFirstState) const;
    virtual bool HasSeparateDropDownPart() const { return false; }
    virtual bool IsDropDownPartFlat() const { return true; }
    virtual int GetLoweredBorderSize() const { return 0; }
    virtual int GetMenuIndent(TdxBarItemControl* AControl) const;

    // ========================================================================
    // Toolbar windows and dock sites
    // ========================================================================

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
    virtual void DrawDockBackground(TdxDockControl* ADockControl, gfx::HDC DC, gfx::TColor AColor,
                                    gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const;
    virtual bool IsGlyphFrameDrawnFirst() const { return false; }
    // Whether the window casts a shadow and a menu joins the rectangle of the
    // control that opened it.
    virtual bool GetBarWindowFlagA(TCustomdxBarControl* ABarControl) const;
    // The manager's toolbar brush, which exists only with visual styles.
    virtual gfx::HBRUSH GetToolbarBrush(const TdxBarManager* AManager) const;
    virtual void FillBarBackgroundFromDock(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                                           cls::TBitmap* ABitmap, const gfx::RECT& R,
                                           gfx::POINT AOrigin) const;
    virtual void FillBarWindowBackground(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::TColor AColor,
                                         gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const;
    virtual void FillOwnerEdge(TCustomdxBarControl* ABarControl, gfx::HDC DC) const;
    virtual bool IsBarBorderFlat(TCustomdxBarControl* ABarControl) const;
    virtual gfx::HBRUSH GetBarBrush() const;
    virtual gfx::HBRUSH GetToolbarWindowBrush(TCustomdxBarControl* ABarControl) const;
    virtual gfx::HBRUSH GetCheckerBrush() const;
    virtual gfx::HBRUSH GetSelectedBrush() const;
    virtual gfx::HBRUSH GetHighlightBrush() const;
    virtual int GetDropDownButtonWidth(int ASize) const { return 2 * ASize - 1; }
    virtual int GetEditHeightExtra() const { return 6; }
    virtual int GetEditHeight(TCustomdxBarControl* ABarControl, int ATextHeight) const;
    virtual bool IsCloseButtonHotTracked() const { return false; }
    virtual bool IsMarkHotTracked() const { return false; }
    virtual int GetSeparatorLineOffset() const { return (GetSeparatorSize() - 2) / 2; }
    virtual int GetSeparatorSize() const { return 6; }
    virtual void GetDockedFrameRect(TCustomdxBarControl* ABarControl, gfx::RECT& R) const;
    virtual int GetDockedFrameSize() const { return 1; }
    // The border of a docked bar with a single border; AIsMainMenu and
    // ADockingStyle tell the styles that frame main-menu bars apart.
    virtual void GetBorderRect(bool AIsMainMenu, TdxBarDockingStyle ADockingStyle, gfx::RECT& R) const;
    virtual int GetCaptionHeight() const { return GetSmallCaptionHeight() + 1; }
    virtual void FillCaptionExtra(gfx::HDC DC, gfx::HBRUSH ABrush, const gfx::RECT& R) const;
    virtual int GetSmallCaptionHeight() const;
    virtual bool HasCaptionExtra() const { return false; }
    virtual void GetCloseButtonSize(gfx::SIZE& ASize) const;
    virtual void DrawToolbarSeparator(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                                      bool AHorizontal) const;
    // AState: 0 normal, 1 hot, 2 pressed.
    virtual void FillCaptionButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AState,
                                   gfx::RECT R) const;
    virtual void DrawCloseButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::RECT R,
                                 int AState) const;
    virtual void DrawDockedFrame(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                                 gfx::RECT R) const;
    // ABorder: the width of the floating frame.
    virtual void DrawBarBorder(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush, int ABorder,
                               gfx::RECT R) const;
    virtual void DrawFloatingCaption(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                                     const gfx::RECT& R) const;
    virtual void DrawMark(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R,
                          int AState) const;
    virtual void DrawMarkContent(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::HBRUSH ABrush,
                                 const gfx::RECT& R, int AState) const;
    // AKind: 0 minimize, 1 restore, 2 close. AEnabled: the button is available.
    virtual void DrawMDIButton(TCustomdxBarControl* ABarControl, gfx::HDC DC, int AKind, const gfx::RECT& R,
                               bool AEnabled, bool ASelected, bool APressed) const;
    virtual void DrawStatusBarSizeGrip(TCustomdxBarControl* ABarControl, gfx::HDC DC,
                                       const gfx::RECT& R) const;
    virtual void FillStatusBarBand(TCustomdxBarControl* ABarControl, gfx::HDC DC, const gfx::RECT& R) const;
    virtual int GetFloatingFrameWidth() const { return 0; }
    virtual void GetMarkRect(TCustomdxBarControl* ABarControl, gfx::RECT& R) const;
    virtual void GetMarkRectInWindow(TCustomdxBarControl* ABarControl, gfx::RECT& R) const;
    virtual void RepaintMark(TCustomdxBarControl* ABarControl) const;
    virtual int GetFloatingFrameTop() const { return 0; }
    virtual int GetFloatingFrameBottom() const { return 0; }
    virtual bool IsCloseButtonHit(TCustomdxBarControl* ABarControl, gfx::POINT P) const;
    virtual bool UsesSystemFloatingFrame() const { return false; }
    virtual void FillStatusBarBackground(TCustomdxBarControl* ABarControl, gfx::HDC DC, gfx::TColor AColor,
                                         gfx::HBRUSH ABrush, const gfx::RECT& R, gfx::POINT AOrigin) const;
    virtual void GetSizeGripSize(gfx::SIZE& ASize) const;
    virtual int GetStatusBarBandHeight() const { return 2; }
    virtual gfx::HBRUSH GetQuickCustWindowBrush(TCustomdxBarControl* ABarControl) const;
    // The check square at the left of R (unless only measuring); ACheckRight
    // returns the left edge of the caption.
    virtual void GetQuickCustCheckRect(TdxBarItemControl* AControl, gfx::RECT& R, int& ACheckRight,
                                       bool AMeasure) const;
    virtual void GetQuickCustCaptionRect(TdxBarItemControl* AControl, bool AChecked, const gfx::RECT& R1,
                                         const gfx::RECT& R2) const;
    virtual bool IsQuickCustRightAligned() const { return false; }
    virtual int GetButtonHeightExtra() const { return 6; }
    virtual int GetButtonWidthExtra() const { return 7; }

    // ========================================================================
    // Menus, sub items, combos and edits
    // ========================================================================

    virtual void AdjustMenuBandWidth(int& AWidth) const;
    virtual void AdjustButtonWidth(TdxBarItemControl* AControl, int& AWidth) const;
    // The arrow part of a drop-down button. AMenuOpen: its menu has a window.
    virtual void DrawDropDownButtonPart(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R,
                                        TdxBarPaintType APaintType, gfx::HBRUSH ABrush,
                                        const TdxBarPaintState& AState, bool ADropDownEnabled,
                                        bool AMenuOpen) const;
    virtual bool RepaintAfterDropDown(TdxBarItemControl* AControl) const;
    virtual void ShiftDownContent(TdxBarItemControl* AControl, bool AFlag, gfx::RECT& R) const;
    virtual void ShiftSelectedContent(bool AFlag, gfx::RECT& R) const;
    virtual int GetComboFrameSize() const { return 1; }
    virtual void DrawComboButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                                 bool AHot) const;
    virtual void GetComboArrowColors(TdxBarItemControl* AControl, const TdxBarPaintState& AState,
                                     gfx::TColor& AColor, gfx::HBRUSH& ABrush) const;
    virtual int GetDropDownListBorder() const { return 0; }
    virtual void DrawDropDownListBorder(gfx::HDC DC, gfx::RECT R) const;
    virtual int GetSubItemCaptionIndent(TdxBarItemControl* AControl) const;
    virtual int GetSubItemHeight(TdxBarItemControl* AControl) const;
    virtual int GetSubItemWidth(TdxBarItemControl* AControl) const;
    virtual void DrawSubItem(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                             TdxBarPaintType APaintType, const TdxBarPaintState& AState) const;
    virtual int GetMenuBottomIndent() const { return 2; }
    virtual int GetMenuSeparatorHeight(TdxBarSubMenuControl* AMenu) const;
    virtual int GetSubMenuOffset() const { return 3; }
    // AItemHeight may change (the flat family makes it one pixel higher).
    virtual void GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1, int& AExpandHeight,
                                int& AM2) const;
    // R: the top edge of the first link; ABottom: how far links may go.
    // With ACounter the limit is lifted and the counter set to 0.
    virtual void GetMenuLinksRect(TdxBarSubMenuControl* AMenu, int& ABottom, gfx::RECT& R,
                                  int* ACounter) const;
    virtual void AdjustMenuSize(TdxBarSubMenuControl* AMenu, gfx::SIZE& AContentSize,
                                gfx::SIZE& AWindowSize) const;
    virtual int GetDetachBarHeight(TdxBarSubMenuControl* AMenu) const;
    // The parts no item control covers: scroll buttons, the area below the
    // links, the expand button. AShownCount: the links laid out (at least 1).
    virtual void DrawMenuBackground(TdxBarSubMenuControl* AMenu, gfx::HDC DC, int AShownCount) const;
    virtual void FillMenuSideStrip(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::TColor AColor,
                                   gfx::HBRUSH ABrush, const gfx::RECT& R) const;
    virtual void DrawMenuFrame(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const;
    virtual void DrawExpandButton(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::HBRUSH ABrush,
                                  gfx::RECT& R) const;
    virtual void FillDetachBar(TdxBarSubMenuControl* AMenu, gfx::HDC DC, gfx::RECT R) const;
    // The group separator row above AControl, whose rectangle is R.
    virtual void DrawMenuSeparator(TdxBarSubMenuControl* AMenu, TdxBarItemControl* AControl,
                                   TdxBarLinkState& ALinkState, gfx::HDC DC, const gfx::RECT& R) const;
    virtual void DrawRarelyUsedBand(TdxBarSubMenuControl* AMenu, const TdxBarLinkState& ALinkState,
                                    gfx::HDC DC, int AIndex, const gfx::RECT& R) const;
    virtual bool HasRarelyUsedBand() const { return false; }
    virtual int GetScrollArrowSize(TdxBarSubMenuControl* AMenu, int AHeight) const;
    virtual int GetExpandButtonHeightExtra(TdxBarSubMenuControl* AMenu) const;
    virtual void GetMenuContentRect(TdxBarSubMenuControl* AMenu, gfx::RECT& R) const;
    // ABrush may be replaced by the brush the entry is drawn on.
    virtual void PrepareMenuItemBackground(TdxBarSubMenuControl* AMenu, gfx::HBRUSH& ABrush) const;
    virtual gfx::HBRUSH GetMenuBackgroundBrush() const;
    // The text of an edit item (the text being edited for its focused link,
    // else the item's Text) over R filled with ABrush, in the DC's font and
    // text colour.
    virtual void DrawEditItemText(gfx::HDC DC, gfx::HBRUSH ABrush, const gfx::RECT& R,
                                  const std::string& AText) const;
    // One entry of a combo's list (AIndex -1: the combo's own text).
    virtual void DrawComboText(TdxBarItemControl* AControl, cls::TCanvas* ACanvas, const gfx::RECT& R,
                               int AIndex, const std::string& AText) const;
    virtual int GetEditCaptionWidth(TdxBarItemControl* AControl, int AWidth) const;
    virtual void DrawEditFrame(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R,
                               TdxBarPaintType APaintType, bool ASelected) const;
    virtual void DrawEditCaption(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R,
                                 TdxBarPaintType APaintType, bool ASelected) const;
    // The edit's text in its colours and the window's font, clipped to R.
    virtual void DrawEditWindow(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                                const std::string& AText) const;
    virtual unsigned GetEditWindowStyle() const;
    virtual void SetEditMargins(TdxBarItemControl* AControl, win::HWND AWnd) const;
    // ANotify: tell the window its text changed first.
    virtual void SelectAllText(win::HWND AWnd, bool ANotify) const;
    virtual void DrawEllipsisButton(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool ASelected,
                                    bool ADown) const;
    // ACorner: the size-grip corner (GetSizeGripCorner), -1 when none.
    virtual void AdjustDropDownSizeGrip(TdxBarItemControl* AControl, bool AOpen, int& ACorner,
                                        gfx::RECT& R) const;
    virtual void DrawDropDownWindowFrame(win::HWND AWnd, bool AFlat, int ACorner, bool AHot, bool APressed,
                                         gfx::RECT& AGripRect, gfx::RECT& AButtonRect) const;
    virtual int GetSizeGripBandHeight() const;
    virtual bool GetProgressFrameSize() const { return false; }
    virtual void DrawPushButtonFrame(TdxBarItemControl* AControl, gfx::HDC DC, bool APressed, gfx::RECT R,
                                     const std::string& AText) const;
    virtual gfx::TColor GetProgressDefaultColor() const;
    // ADirection 1: the upper (or left) half.
    virtual void DrawSpinButton(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, int ADirection,
                                bool ASelected, bool ADown, int AArrowSize, bool AVertical) const;
    virtual void FillSpinGap(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT& R) const;
    virtual gfx::TColor GetProgressBarColor() const;
    virtual int GetProgressMinHeight() const { return 12; }
    // AOrientation 2: vertical.
    virtual void DrawProgressBar(TdxBarItemControl* AControl, gfx::HDC DC, int AMax, int AMin, int APosition,
                                 bool ASolid, int AOrientation, gfx::TColor AColor, const gfx::RECT& R) const;
    virtual int GetProgressIndentX(TdxBarItemControl* AControl) const;
    virtual int GetProgressIndentY() const { return 0; }
    virtual gfx::HBRUSH GetProgressFrameBrush() const;
    virtual void DrawCaptionBar(TdxBarItemControl* AControl, gfx::HDC DC, gfx::RECT R, bool AExpanded,
                                bool ASelected) const;

    // ========================================================================
    // Answers the windows ask for
    // ========================================================================

    // The inset of a menu's expand button from the client edges (after the
    // side strip).
    virtual int GetExpandButtonIndent(TdxBarSubMenuControl* AMenu) const;
    // Whether a line is drawn between rarely and often used links, so that
    // the menu layout leaves a pixel for it.
    virtual bool HasRarelyUsedBoundaryLine() const { return HasRarelyUsedBand(); }
    // Whether the style paints dock sites itself (DrawDockBackground), so
    // that bars docked there show the site's picture and repaint with it.
    virtual bool IsDockBackgroundDrawn() const { return false; }
    // Whether the background the style draws for a site differs over APart
    // (client coordinates) between the client rectangles AOld and ANew, so
    // that the bars over APart show a changed site. Pictures are anchored
    // to the site's client area and never do.
    virtual bool IsDockBackgroundChanged(TdxDockControl*, const gfx::RECT&, const gfx::RECT&,
                                         const gfx::RECT&) const {
        return false;
    }

protected:
    constexpr TdxBarItemControlPainter() = default;
    ~TdxBarItemControlPainter() = default;

    // --- Steps the styles' operations share ---

    // DrawGlyph of the control's glyph, or of its image in AImages, in R.
    // AFlat: the flat look, a selected glyph raised; AFilled: the cell's
    // background is laid already.
    void DrawControlGlyph(TdxBarItemControl* AControl, gfx::HDC DC, gfx::HBRUSH ABrush, const gfx::RECT& R,
                          const gfx::RECT& AGlyphRect, cls::TCustomImageList* AImages,
                          const TdxBarPaintState& AState, bool AFlat, bool AFilled) const;
    // The state a combo's button is drawn in (its list open counts as
    // dropped down), and its arrow's colours.
    TdxBarPaintState GetComboButtonState(TdxBarItemControl* AControl, bool ASelected,
                                         gfx::TColor& AArrowColor, gfx::HBRUSH& AArrowBrush) const;
    // The arrow of a combo's button in APart: half its width and odd,
    // moved one pixel while the list is open, and AShift more.
    void DrawComboArrow(gfx::HDC DC, gfx::RECT APart, bool ADroppedDown, gfx::TColor AColor,
                        int AShift = 0) const;
    // Where a sub item's caption goes in R on a toolbar: after its glyph
    // cell, or its caption indent in without a glyph.
    gfx::RECT GetSubItemCaptionRect(TdxBarItemControl* AControl, const gfx::RECT& R,
                                    TdxBarPaintType APaintType) const;
    // The arrow of a sub item in R: pointing right in a menu, down (or
    // right on a vertical bar) in a toolbar.
    void DrawSubItemArrow(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                          TdxBarPaintType APaintType, bool AEnabled, bool ASelected) const;
    // The caption and expand arrow of a caption bar in R.
    void DrawCaptionBarText(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, bool AExpanded,
                            bool ASelected, bool AFlatHint) const;
    // One half of a spin button: its pressed frame, and its arrow in AColor
    // over one in AShadowColor a pixel lower right (none when clNone).
    void DrawSpinButtonHalf(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, int ADirection,
                            bool ASelected, bool ADown, int AArrowSize, bool AVertical, gfx::TColor AColor,
                            gfx::TColor AShadowColor) const;
    // DrawEditWindow's text in the given colours.
    void DrawEditTextIn(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                        const std::string& AText, gfx::TColor ATextColor, gfx::TColor ABkColor) const;
    // The links' top edge inside a menu's frame AInset wide, below ATop.
    static void GetMenuLinksRectIn(TdxBarSubMenuControl* AMenu, int AInset, int ATop, int& ABottom,
                                   gfx::RECT& R, int* ACounter);
    // AdjustMenuSize for a frame AWidthExtra wide and AHeightExtra high in all.
    void AdjustMenuSizeBy(TdxBarSubMenuControl* AMenu, gfx::SIZE& AContentSize, gfx::SIZE& AWindowSize,
                          int AWidthExtra, int AHeightExtra) const;
    // DrawMenuBackground up to the expand button: the scroll buttons, a
    // group's line above the lower one when ALineAboveScrollDown, and the
    // area below the links down to ABottomIndent above the client's bottom.
    // False without an expand button; else AButton is its rectangle, the
    // rest of its row filled.
    bool DrawMenuBackgroundAboveButton(TdxBarSubMenuControl* AMenu, gfx::HDC DC, int AShownCount,
                                       int ABottomIndent, bool ALineAboveScrollDown,
                                       gfx::RECT& AButton) const;
};

// The style a manager draws in: Style, or for bmsUseLookAndFeel bmsXP with a
// native look-and-feel on a themed system, else by the look-and-feel's Kind.
TdxBarManagerStyle GetEffectiveStyle(const TdxBarManager* ABarManager);
// The painter class of an effective style.
TdxBarItemControlPainterClass GetPainterClassOfStyle(TdxBarManagerStyle AEffectiveStyle,
                                                     bool AThemeAvailable);

// --- Drop-down window frames ---

// The non-client area of a resizable drop-down window: frame, the size-grip
// band with its grip and close button (GripRect and ButtonRect return where
// they are, in screen coordinates; both empty without a band).
void DrawDropDownWindowNC(win::HWND AWnd, bool AFlat, int ACorner, bool AHot, bool APressed,
                          gfx::RECT& AGripRect, gfx::RECT& AButtonRect);
// The close button at one end of R; R returns its rectangle.
void DrawDropDownCloseButton(gfx::HDC DC, gfx::RECT& R, int ACorner, bool AHot, bool APressed);

} // namespace bars
