// The visual-styles (theme) service of the window system. There is no theme
// engine: no theme class can be opened, so every call that takes a theme
// handle fails and programs draw in the classic look. The service still
// reports the active theme's file and colour names, which a test can set,
// so that code keyed on them can be exercised.
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

// Sent to every top-level window when the theme changes.
constexpr UINT WM_THEMECHANGED = 0x031A;

enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };

BOOL IsThemeActive();
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

// --- Driver side (tests) ---

// Reports a theme as active (with its file and colour names) or none, and
// broadcasts WM_THEMECHANGED when anything changed.
void SetReportedTheme(bool active, const char* fileName, const char* colorName);

namespace detail {
// Back to "no theme", without a broadcast; for the window system's reset.
void ResetThemeState();
} // namespace detail

} // namespace win
