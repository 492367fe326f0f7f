// The theme service: which theme is active and by what names. Without a
// theme engine no theme data exists, so no handle is ever issued and every
// handle a caller passes is refused.
#include "win/theme.h"

#include "win/internal.h"

#include <cstring>
#include <string>

namespace win {

namespace {

struct ThemeState {
    bool active = false;
    std::string fileName;
    std::string colorName;
};

ThemeState& State() {
    static ThemeState state;
    return state;
}

// Copies a name into a caller's buffer; false when it does not fit.
bool CopyName(const std::string& name, char* buffer, int size) {
    if (!buffer) return true;
    if (size <= 0) return false;
    if (name.size() >= static_cast<std::size_t>(size)) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

} // namespace

namespace detail {

void ResetThemeState() {
    Guard g(Lock());
    State() = ThemeState{};
}

} // namespace detail

BOOL IsThemeActive() {
    detail::Guard g(detail::Lock());
    return State().active ? TRUE : FALSE;
}

HTHEME OpenThemeData(HWND, const char* classList) {
    if (!classList || !*classList) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SetLastError(ERROR_NOT_FOUND);
    return nullptr;
}

HRESULT CloseThemeData(HTHEME) {
    return E_HANDLE;
}

HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT* rect, const RECT*) {
    return rect ? E_HANDLE : E_POINTER;
}

HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT* boundingRect, RECT* contentRect) {
    return boundingRect && contentRect ? E_HANDLE : E_POINTER;
}

HRESULT GetThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE sizeKind, SIZE* size) {
    if (!size) return E_POINTER;
    if (sizeKind < TS_MIN || sizeKind > TS_DRAW) return E_INVALIDARG;
    return E_HANDLE;
}

HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF* color) {
    return color ? E_HANDLE : E_POINTER;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) {
    return FALSE;
}

HRESULT GetCurrentThemeName(char* themeFileName, int maxNameChars, char* colorBuff, int maxColorChars,
                            char* sizeBuff, int maxSizeChars) {
    ThemeState s;
    {
        detail::Guard g(detail::Lock());
        s = State();
    }
    if (!s.active) return E_FAIL;
    // The service reports no size variant.
    // Every buffer gets its name before the result is decided.
    const bool fileFits = CopyName(s.fileName, themeFileName, maxNameChars);
    const bool colorFits = CopyName(s.colorName, colorBuff, maxColorChars);
    const bool sizeFits = CopyName("", sizeBuff, maxSizeChars);
    if (fileFits && colorFits && sizeFits) return S_OK;
    CopyName("", themeFileName, maxNameChars);
    CopyName("", colorBuff, maxColorChars);
    CopyName("", sizeBuff, maxSizeChars);
    return E_INSUFFICIENT_BUFFER;
}

void SetReportedTheme(bool active, const char* fileName, const char* colorName) {
    ThemeState next;
    next.active = active;
    if (active) {
        next.fileName = fileName ? fileName : "";
        next.colorName = colorName ? colorName : "";
    }
    {
        detail::Guard g(detail::Lock());
        ThemeState& s = State();
        if (s.active == next.active && s.fileName == next.fileName && s.colorName == next.colorName) return;
        s = next;
    }
    detail::BroadcastTopLevel(WM_THEMECHANGED, 0, 0);
}

} // namespace win
