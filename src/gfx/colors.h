// Colour values: COLORREF (0x00BBGGRR), the class library's TColor with its
// system-colour encoding, and the system colour table with its schemes.
#pragma once

#include "gfx/types.h"

#include <array>
#include <cstdint>

namespace gfx {

// --- System colour indices ---
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int SYS_COLOR_COUNT = 31;

using ColorScheme = std::array<COLORREF, SYS_COLOR_COUNT>;

// The classic grey scheme, the default.
const ColorScheme& ClassicColorScheme();
const ColorScheme& HighContrastBlackColorScheme();
const ColorScheme& HighContrastWhiteColorScheme();

// Replaces the whole table. Brushes from GetSysColorBrush follow the change.
void SetSysColorScheme(const ColorScheme& scheme);
BOOL SetSysColors(int count, const int* indexes, const COLORREF* values);
// The current table (a copy).
ColorScheme GetSysColorScheme();
// Increases with every change of the table; lets caches notice a change.
std::uint32_t GetSysColorsVersion();

// 0 for an index outside the table.
DWORD GetSysColor(int index);
// A shared brush of the system colour; it is never deleted and follows the
// table when it changes. Nullptr for an index outside the table.
HBRUSH GetSysColorBrush(int index);

// On a 32-bit screen every colour is its own nearest colour.
COLORREF GetNearestColor(HDC dc, COLORREF color);

// --- TColor: the class library's colour type ---
// Non-negative values are COLORREFs; negative values (high byte 0xFF) are
// system colours whose low byte is the COLOR_ index.

using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor SysColorValue(int index) {
    return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index));
}

constexpr TColor clScrollBar = SysColorValue(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColorValue(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColorValue(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColorValue(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColorValue(COLOR_MENU);
constexpr TColor clWindow = SysColorValue(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColorValue(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColorValue(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColorValue(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColorValue(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColorValue(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColorValue(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColorValue(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColorValue(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColorValue(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColorValue(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColorValue(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColorValue(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColorValue(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColorValue(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColorValue(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColorValue(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColorValue(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColorValue(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColorValue(COLOR_INFOBK);
constexpr TColor clHotLight = SysColorValue(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColorValue(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColorValue(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColorValue(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColorValue(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours resolve through the table; other values are returned as they
// are. Drawing calls read only the low 24 bits of a COLORREF.
COLORREF ColorToRGB(TColor color);
inline bool IsSystemColor(TColor color) {
    return color < 0;
}

} // namespace gfx
