// The visual-styles (theme) service of the window system: one theme, "Luna",
// in three colour schemes (blue "NormalColor", olive "HomeStead" and silver
// "Metallic"), or the classic look when no theme is active. The engine draws
// every part it knows in code. Switching the theme changes the system
// colours, broadcasts WM_SYSCOLORCHANGE and WM_THEMECHANGED to the top-level
// windows and repaints them. Theme handles are checked: a handle stays valid
// until it is closed, but draws nothing and measures nothing while no theme
// is active.
#pragma once

#include "win/defs.h"

#include <cstdint>

namespace win {

struct HTHEME__;
using HTHEME = HTHEME__*;

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_INSUFFICIENT_BUFFER = static_cast<HRESULT>(0x8007007A);
constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// The theme lacks the property asked for.
constexpr HRESULT E_PROP_ID_UNSUPPORTED = static_cast<HRESULT>(0x80070490);

// Sent to every top-level window when the theme changes.
constexpr UINT WM_THEMECHANGED = 0x031A;

enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };

// --- Parts and states of the classes the engine draws ---

// Button
constexpr int BP_PUSHBUTTON = 1, BP_CHECKBOX = 3;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_CHECKEDNORMAL = 5,
              CBS_MIXEDNORMAL = 9; // + 1 hot, 2 pressed, 3 disabled
// ComboBox
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;
// Edit
constexpr int EP_EDITTEXT = 1;
constexpr int ETS_NORMAL = 1, ETS_HOT = 2, ETS_SELECTED = 3, ETS_DISABLED = 4, ETS_FOCUSED = 5,
              ETS_READONLY = 6;
// Progress
constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;
// Rebar (part 0 is the background of the whole control)
constexpr int RP_GRIPPER = 1, RP_GRIPPERVERT = 2;
// ScrollBar
constexpr int SBP_SIZEBOX = 10;
constexpr int SZB_RIGHTALIGN = 1, SZB_LEFTALIGN = 2;
// Spin
constexpr int SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4;
// Status (part 0 is the background of the whole bar)
constexpr int SP_PANE = 1, SP_GRIPPERPANE = 2, SP_GRIPPER = 3;
// ToolBar
constexpr int TP_BUTTON = 1, TP_DROPDOWNBUTTON = 2, TP_SPLITBUTTON = 3, TP_SPLITBUTTONDROPDOWN = 4,
              TP_SEPARATOR = 5, TP_SEPARATORVERT = 6;
constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5, TS_HOTCHECKED = 6;
// Window
constexpr int WP_MDIMINBUTTON = 16, WP_SMALLCLOSEBUTTON = 19, WP_MDICLOSEBUTTON = 20,
              WP_MDIRESTOREBUTTON = 22;
// The same four states for all of them.
constexpr int CBS_NORMAL = 1, CBS_HOT = 2, CBS_PUSHED = 3, CBS_DISABLED = 4;

// --- Properties ---
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

BOOL IsThemeActive();
// Whether this program draws with the theme: whenever one is active.
BOOL IsAppThemed();
// A handle of the theme data of a class ("Button", "ToolBar", ...; a list is
// separated by ';'), nullptr when none of them can be opened.
HTHEME OpenThemeData(HWND hwnd, const char* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clipRect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId, const RECT* boundingRect,
                                      RECT* contentRect);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE sizeKind,
                         SIZE* size);
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId);
// The file name of the active theme and its colour scheme's name; a null
// buffer skips that name. E_FAIL when no theme is active,
// E_INSUFFICIENT_BUFFER (and empty texts) when a name does not fit.
HRESULT GetCurrentThemeName(char* themeFileName, int maxNameChars, char* colorBuff, int maxColorChars,
                            char* sizeBuff, int maxSizeChars);

// --- Driver side (tests, presenters and the examples) ---

enum class ThemeScheme { Classic, Blue, Olive, Silver };

// Switches to a scheme of the theme (Classic: none): the names, the system
// colours and every part change; the top-level windows get WM_SYSCOLORCHANGE
// and WM_THEMECHANGED and are repainted. Nothing happens when the scheme is
// already the current one.
void SetTheme(ThemeScheme scheme);
ThemeScheme GetTheme();
// "classic", "blue", "olive", "silver" (any case); false for another name.
bool ParseThemeScheme(const char* name, ThemeScheme* scheme);

// Reports a theme with other file and colour names (or none) without
// touching the system colours; the parts draw in the scheme whose colour
// name matches, else in blue. Broadcast and repaint as SetTheme.
void SetReportedTheme(bool active, const char* fileName, const char* colorName);

namespace detail {
// Back to the classic look, without a broadcast; for the window system's reset.
void ResetThemeState();
} // namespace detail

} // namespace win
