#include "gfx/colors.h"

#include "gfx/internal.h"

#include <atomic>
#include <mutex>

namespace gfx {

namespace {

constexpr ColorScheme kClassic = {
    RGB(212, 208, 200), // COLOR_SCROLLBAR
    RGB(58, 110, 165),  // COLOR_BACKGROUND
    RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(212, 208, 200), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(212, 208, 200), // COLOR_ACTIVEBORDER
    RGB(212, 208, 200), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(10, 36, 106),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(212, 208, 200), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // (unused)
    RGB(0, 0, 128),     // COLOR_HOTLIGHT
    RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200), // COLOR_MENUBAR
};

constexpr ColorScheme kHighContrastBlack = {
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(128, 0, 128),   RGB(0, 128, 0),     RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 0),   RGB(0, 128, 0),     RGB(0, 0, 0),       RGB(128, 0, 128),   RGB(255, 255, 255),
    RGB(0, 0, 0),       RGB(128, 128, 128), RGB(0, 255, 0),     RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(128, 128, 255), RGB(128, 0, 128),   RGB(0, 128, 0),     RGB(128, 0, 128),
    RGB(0, 0, 0),
};

constexpr ColorScheme kHighContrastWhite = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(128, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 128, 0),     RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(192, 192, 192), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(0, 0, 128),     RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(255, 255, 255),
};

std::mutex g_mutex;
ColorScheme g_table = kClassic;
std::atomic<std::uint32_t> g_version{1};
HBRUSH g_brushes[SYS_COLOR_COUNT] = {};

} // namespace

const ColorScheme& ClassicColorScheme() {
    return kClassic;
}
const ColorScheme& HighContrastBlackColorScheme() {
    return kHighContrastBlack;
}
const ColorScheme& HighContrastWhiteColorScheme() {
    return kHighContrastWhite;
}

void SetSysColorScheme(const ColorScheme& scheme) {
    {
        std::lock_guard lock(g_mutex);
        g_table = scheme;
        for (auto& c : g_table) c &= 0xFFFFFF;
    }
    ++g_version;
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* values) {
    if (count < 0 || (count > 0 && (!indexes || !values))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    {
        std::lock_guard lock(g_mutex);
        for (int i = 0; i < count; ++i)
            if (indexes[i] >= 0 && indexes[i] < SYS_COLOR_COUNT) g_table[indexes[i]] = values[i] & 0xFFFFFF;
    }
    ++g_version;
    return TRUE;
}

ColorScheme GetSysColorScheme() {
    std::lock_guard lock(g_mutex);
    return g_table;
}

std::uint32_t GetSysColorsVersion() {
    return g_version.load();
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= SYS_COLOR_COUNT) return 0;
    std::lock_guard lock(g_mutex);
    return g_table[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= SYS_COLOR_COUNT) return nullptr;
    std::lock_guard lock(g_mutex);
    if (!g_brushes[index]) {
        auto b = std::make_unique<detail::BrushObj>();
        b->stock = true;
        b->sysColorIndex = index;
        g_brushes[index] = detail::ToHandle<HBRUSH>(detail::Insert(std::move(b)));
    }
    return g_brushes[index];
}

COLORREF GetNearestColor(HDC dc, COLORREF color) {
    detail::DCObj* d = detail::LookupDC(dc);
    if (!d) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    detail::BitmapObj* t = d->TargetFormat();
    color = detail::ResolveColor(*d, color);
    if (t && t->Mono()) return MonoPixelFromColor(color) ? 0xFFFFFF : 0;
    return color;
}

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

} // namespace gfx
