// Colour helpers and the Office11 colour scheme shared by the painters.
//
// The scheme follows the active visual style: schemes 1, 2 and 3 for the
// colour variants "NormalColor", "HomeStead" and "Metallic" of the theme file
// LUNA.MSSTYLES, which have colours of their own; scheme 0, mixed from the
// system colour table, otherwise. Its colours can always be
// read; its brushes and the menu expand bitmap exist while the scheme is
// referenced (AddRefOffice11Colors ... ReleaseOffice11Colors). GUI thread only.
#pragma once

#include "gfx/colors.h"
#include "gfx/gdi.h"

#include <array>

namespace cls {
class TBitmap;
}

namespace lf {

using gfx::HBRUSH;
using gfx::TColor;

// --- Mixing ---

// Per channel (Color1 x Percent + Color2 x (100 - Percent)) div 100, limited
// to 0..255, with system colours resolved first; the result is the screen's
// nearest colour.
TColor MixColors(TColor AColor1, TColor AColor2, int APercent);
// Per channel (BtnFace x ABtnFacePart + Highlight x AHighlightPart + Window x
// AWindowPart) div 100, limited to 0..255. Parts may be negative. clHighlight
// itself when the button face is black or white (the high-contrast schemes).
TColor MixSystemColors(int ABtnFacePart, int AHighlightPart, int AWindowPart);
// The nearest colour the screen can show.
TColor GetNearestScreenColor(TColor AColor);

// --- High contrast ---

bool IsHighContrastWhite();
bool IsHighContrastBlack();
// A black button face with button text that is not white.
bool IsHighContrastColoredText();

// --- The Office11 scheme ---

struct TOffice11Colors {
    int Scheme = 0;

    TColor BarColor1 = 0;
    TColor BarColor2 = 0;
    TColor MenuBandColor1 = 0;
    TColor MenuBandColor2 = 0;
    TColor MenuBandDarkColor1 = 0;
    TColor MenuBandDarkColor2 = 0;
    TColor GripColor = 0;
    TColor OpenItemColor1 = 0;
    TColor OpenItemColor2 = 0;
    TColor DockColor1 = 0;
    TColor DockColor2 = 0;
    TColor ProgressColor = 0;
    TColor BarEdgeColor = 0;
    TColor MenuColor = 0;
    TColor MenuBorderColor = 0;
    TColor MenuSeparatorColor = 0;
    TColor SeparatorLightColor = 0;
    TColor SelectedFrameColor = 0;
    TColor HotColor = 0;
    TColor DownColor = 0;
    TColor CheckedColor = 0;
    TColor HotGradientColor1 = 0;
    TColor HotGradientColor2 = 0;
    TColor DownGradientColor1 = 0;
    TColor DownGradientColor2 = 0;
    TColor ToolbarColor = 0;
    TColor DetachBarColor = 0;
    TColor TextColor = 0;
    TColor DisabledTextColor = 0;
    TColor CaptionTextColor = 0;
    TColor SelectedTextColor = 0;
    TColor FloatingFrameColor = 0;
    TColor CaptionColor = 0;
    TColor FloatingFrameInnerColor = 0;
    TColor CloseButtonHotColor = 0;
    TColor CloseButtonDownColor = 0;
    TColor ImageFadeColor = 0;
    TColor MarkArrowColor = 0;
    TColor MarkArrowShadowColor = 0;

    // Solid brushes of the colours of the same names; nullptr while the
    // scheme is not referenced.
    HBRUSH MenuBrush = nullptr;
    HBRUSH MenuBorderBrush = nullptr;
    HBRUSH MenuSeparatorBrush = nullptr;
    HBRUSH SeparatorLightBrush = nullptr;
    HBRUSH SelectedFrameBrush = nullptr;
    HBRUSH HotBrush = nullptr;
    HBRUSH DownBrush = nullptr;
    HBRUSH CheckedBrush = nullptr;
    HBRUSH ToolbarBrush = nullptr;
    HBRUSH DetachBarBrush = nullptr;
    HBRUSH BarEdgeBrush = nullptr;

    // The double chevron of a menu's expand button, black on a transparent
    // background ("DXSUBMENUEXPAND"); nullptr while not referenced.
    cls::TBitmap* SubMenuExpandBitmap = nullptr;
};

// The current scheme (built on first use).
const TOffice11Colors& Office11Colors();
// True when visual styles are available and a known theme scheme (1 to 3) is in use.
bool IsOffice11SchemeActive();

// The first reference builds the colours, the brushes and the bitmap; the
// last release frees the brushes and the bitmap. A release without a
// reference does nothing.
void AddRefOffice11Colors();
void ReleaseOffice11Colors();
int Office11ColorsRefCount();
// Detects the scheme again and rebuilds the colours and, while referenced,
// the brushes (after a theme or system colour change).
void RefreshOffice11Colors();

// The colours of a toolbar's customize mark: rows normal, hot, pressed; in
// each the colours A, B, C, D.
enum TOffice11MarkState { msNormal, msHot, msPressed };
using TOffice11MarkColors = std::array<std::array<TColor, 4>, 3>;
TOffice11MarkColors Office11MarkColors();

} // namespace lf
