// Drawing helpers of the painters: fills and frames by colour, gradients,
// the Office11 frame and arrows, the dotted drag grip and the size grip.
// Colours may be system colours; every GDI object made here is deleted
// before the call returns.
#pragma once

#include "gfx/colors.h"
#include "gfx/gdi.h"

namespace lf {

using gfx::HBRUSH;
using gfx::HDC;
using gfx::RECT;
using gfx::TColor;

void FillRectByColor(HDC DC, const RECT& R, TColor AColor);
void FrameRectByColor(HDC DC, const RECT& R, TColor AColor);

// A two-colour gradient across R (AHorizontal: from left to right, else top
// to bottom) in stripes: one pixel each, or 256 equal steps when R is longer.
// A solid fill when the colours are equal.
void FillGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal);
// From AColor1 to a middle colour over the first half and from there to
// AColor2 over the second; the middle colour lies a quarter of the way from
// AColor1 to AColor2.
void FillTwoStageGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal);
// Only the part of it inside APart, as clipping to APart would leave it.
void FillTwoStageGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal,
                              const RECT& APart);
// The colour FillGradientRect gives the stripe at coordinate APos (clamped to R).
TColor GetGradientColorAt(const RECT& R, int APos, TColor AColor1, TColor AColor2, bool AHorizontal);

// Frames R as a selected item of the Office11 look.
void DrawOffice11Frame(HDC DC, const RECT& R);
// A filled triangle centred in R, base 2 x ASize - 1 and height ASize,
// pointing down when AVertical, else right.
void DrawOffice11Arrow(HDC DC, const RECT& R, bool AVertical, bool AEnabled, bool ASelected, int ASize);
// The same, sized to R.
void DrawOffice11ArrowFitted(HDC DC, const RECT& R, bool AVertical, bool AEnabled, bool ASelected);

// A dotted grip along R (down R when AVertical) in 4-pixel cells: a 2 x 2
// dot of ABrush1 over a 2 x 2 dot of ABrush2 one pixel down and right.
// Null brushes take the Office11 bar-edge and light separator colours.
void DrawDotGrip(HDC DC, const RECT& R, bool AVertical, HBRUSH ABrush1 = nullptr, HBRUSH ABrush2 = nullptr);

// The height of the band that holds a size grip.
int GetSizeGripAreaHeight();
// The corner of R2 that a size grip takes when R2 belongs to R1: 0 top-left,
// 1 top-right, 2 bottom-left, 3 bottom-right.
int GetSizeGripCorner(const RECT& R1, const RECT& R2);
// Draws a scroll-bar size grip in the corner ACorner of the band R, two
// pixels in from its outer edges (those strips are filled with the button
// face), pointing into the corner; R returns the grip's rectangle.
void DrawSizeGrip(HDC DC, RECT& R, int ACorner);

} // namespace lf
