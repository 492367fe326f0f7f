// The drawing routines every painter shares: the checker pattern, gradients
// and tiled backgrounds, item glyphs with their disabled, tinted, grey, faded
// and raised looks, arrows, the size grip, clip-region helpers and the
// themed parts. Rectangles are in the DC's coordinates; every GDI object made
// here is deleted before the routine returns.
#pragma once

#include "bars/types.h"
#include "gfx/colors.h"
#include "gfx/gdi.h"
#include "win/theme.h"

namespace cls {
class TBitmap;
class TCanvas;
class TCustomImageList;
} // namespace cls

namespace bars {

using gfx::BYTE;
using gfx::HBRUSH;
using gfx::HDC;
using gfx::HRGN;
using gfx::RECT;
using gfx::SIZE;
using gfx::TColor;
using win::HTHEME;

// --- Switches read by the routines (nothing in the library changes them) ---

bool GlyphFadingEnabled();
void SetGlyphFadingEnabled(bool Value);

// --- Checker pattern ---

// The 8 x 8 pattern brush of button-face and button-highlight pixels (those
// whose x and y have equal parity are button face). Made at start and again
// after a system colour change; the previous brush is deleted.
void CreateCheckerPatternBrush();
// Nullptr while the library is not started.
HBRUSH CheckerBrush();
void DeleteCheckerPatternBrush();

// The cell DrawGlyph's plain look puts pictures together in: made at start,
// freed at the end.
void CreateGlyphScratch();
void DeleteGlyphScratch();

// --- Backgrounds ---

// 256 horizontal bands from the From to the To channel values, top to bottom.
void FillVerticalGradient(cls::TCanvas* ACanvas, const RECT& R, BYTE RFrom, BYTE RTo, BYTE GFrom, BYTE GTo,
                          BYTE BFrom, BYTE BTo);
// Tiles ABitmap when it has a picture, else fills with ABrush, else with a
// solid brush of AColor.
void FillBarBackground(HDC DC, const RECT& R, const RECT& ATileOrigin, HBRUSH ABrush, TColor AColor,
                       cls::TBitmap* ABitmap);
// Tiles R with ABitmap so that the pattern stays anchored to APatternRect's
// coordinates: pattern point P shows at R.TopLeft + (P - APatternRect.TopLeft).
// The DC's clip region is the same afterwards.
void TileBitmap(HDC DC, const RECT& R, const RECT& APatternRect, cls::TBitmap* ABitmap);

// --- Glyphs ---

// Draws an item's picture into AGlyphRect, working off-screen in R: AGlyph
// when it has a picture, else image AImageIndex of AImages, stretched to
// AGlyphRect. The background is the DC's own (ACopyBackground) or ABrush.
// Disabled without a tint (ADisabledTintColor clNone) the shape is embossed
// in the button highlight and shadow colours (shadow only when AFlat);
// disabled with a tint the picture is tinted; AGrayScale greys it; flat
// pictures that are neither selected nor down are faded; a flat selected
// picture with ARaiseWhenSelected (and not APressed) is raised over a shadow.
void DrawGlyph(HDC DC, HBRUSH ABrush, const RECT& R, const RECT& AGlyphRect, cls::TBitmap* AGlyph,
               cls::TCustomImageList* AImages, int AImageIndex, bool AEnabled, bool AGrayScale, bool AFlat,
               bool ASelected, bool ADown, bool APressed, bool ARaiseWhenSelected, bool ACopyBackground,
               TColor ADisabledTintColor, TColor AImagesBkColor);

// --- Arrows, frames and grips ---

// A triangle centred in R with a base of 2 x ASize - 1 and a height of
// ASize, pointing down (ADown) or right, in the button text, highlight text
// (selected) or button shadow (disabled) colour; a disabled arrow that is
// not flat gets a highlight edge.
void DrawArrow(HDC DC, const RECT& R, bool ADown, int ASize, bool ASelected, bool AEnabled, bool AFlat);
// DrawArrow sized to R (at least 3).
void DrawFittedArrow(HDC DC, const RECT& R, bool ADown, bool AEnabled, bool ASelected, bool AFlat);
void DrawHighlightFrame(HDC DC, const RECT& R);
// The scroll-bar size grip drawn over what R holds: only the grip's lines
// are put down.
void DrawSizeGripOverBackground(HDC DC, const RECT& R);

// --- Clip regions ---

// ARgn receives a new region with the DC's clip region; AHadClip tells
// whether there was one.
void SaveClipRegion(HDC DC, HRGN& ARgn, bool& AHadClip);
// Selects ARgn back (or removes clipping when there was none) and deletes it.
void RestoreClipRegion(HDC DC, HRGN& ARgn, bool AHadClip);
void IncludeClipRect(HDC DC, const RECT& R);
void ExcludeRectFromRegion(HRGN& ARgn, const RECT& R);
TColor GetNearestScreenColor(TColor AColor);

// --- Themed parts ---

using win::EP_EDITTEXT;
using win::ETS_DISABLED;
using win::ETS_NORMAL;
using win::ETS_READONLY;
using win::SBP_SIZEBOX;
using win::TMT_FILLCOLOR;
using win::TMT_TEXTCOLOR;
using win::TP_BUTTON;
using win::WP_SMALLCLOSEBUTTON;

int GetEditThemeState(bool AEnabled, bool AReadOnly);
TColor GetEditThemeFillColor(HTHEME ATheme, int AState);
TColor GetEditThemeTextColor(HTHEME ATheme, int AState);
TColor GetThemedBarFillColor();
SIZE GetThemedCloseButtonSize();
// R becomes the button's rectangle: vertically centred in R, at its left
// edge for a toolbar docked at the left or right, else at its right edge.
void DrawThemedCloseButton(HDC DC, RECT& R, TdxBarDockingStyle ADockingStyle, bool APushed, bool AHot);
SIZE GetThemedSizeGripSize();
// R becomes the grip's rectangle in corner ACorner of R (0 top-left,
// 1 top-right, 2 bottom-left, 3 bottom-right), pointing into that corner.
void DrawThemedSizeGrip(HDC DC, RECT& R, int ACorner);

} // namespace bars
