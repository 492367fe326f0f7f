// The theme service: which theme is active, the handles of opened classes,
// and the drawing of parts through a cache of rendered pictures (by scheme,
// class, part, state and size), so that a toolbar button costs one blend.
#include "win/theme.h"

#include "win/internal.h"
#include "win/theme_parts.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace win {

using detail::Art;
using detail::ThemeClass;
using detail::ThemePartInfo;

namespace {

constexpr const char* LunaFileName = "C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";

struct ThemeState {
    bool active = false;
    std::string fileName;
    std::string colorName;
    // The scheme the parts are drawn in while active.
    ThemeScheme drawScheme = ThemeScheme::Blue;
    // What SetTheme chose last (Classic after a reported theme).
    ThemeScheme scheme = ThemeScheme::Classic;
};

struct HandleSlot {
    ThemeClass themeClass = ThemeClass::Button;
    std::uint32_t generation = 1;
    bool open = false;
};

struct Service {
    ThemeState state;
    std::vector<HandleSlot> slots;
};

Service& TheService() {
    static Service service;
    return service;
}

constexpr std::uintptr_t IndexBits = 20;

HTHEME MakeHandle(std::size_t index, std::uint32_t generation) {
    return reinterpret_cast<HTHEME>((static_cast<std::uintptr_t>(generation) << IndexBits) | (index + 1));
}

// The class of an open handle and the scheme to draw in; false (with the
// failure to return) for a stale handle or while no theme is active.
struct Resolved {
    ThemeClass themeClass;
    ThemeScheme scheme;
};
HRESULT Resolve(HTHEME theme, Resolved* out) {
    const auto value = reinterpret_cast<std::uintptr_t>(theme);
    const std::size_t index = (value & ((std::uintptr_t{1} << IndexBits) - 1));
    const auto generation = static_cast<std::uint32_t>(value >> IndexBits);
    detail::Guard g(detail::Lock());
    Service& s = TheService();
    if (index == 0 || index > s.slots.size()) return E_HANDLE;
    const HandleSlot& slot = s.slots[index - 1];
    if (!slot.open || slot.generation != generation) return E_HANDLE;
    if (!s.state.active) return E_HANDLE;
    *out = Resolved{slot.themeClass, s.state.drawScheme};
    return S_OK;
}

// --- Rendered parts ---

class PartCache {
public:
    std::shared_ptr<const Art> Get(ThemeScheme scheme, ThemeClass themeClass, int part, int state, int width,
                                   int height) {
        // Big parts (a dock site's background) are drawn once by their
        // callers; keeping them would only hold memory.
        const bool cacheable = width <= 0xFFFF && height <= 0xFFFF && width * height <= MaxArea;
        const std::uint64_t key =
            (static_cast<std::uint64_t>(scheme) << 62) ^ (static_cast<std::uint64_t>(themeClass) << 56) ^
            (static_cast<std::uint64_t>(part & 0xFF) << 48) ^
            (static_cast<std::uint64_t>(state & 0xFFFF) << 32) ^ (static_cast<std::uint64_t>(width) << 16) ^
            static_cast<std::uint64_t>(height);
        if (cacheable) {
            std::lock_guard<std::mutex> g(mutex_);
            const auto it = entries_.find(key);
            if (it != entries_.end()) return it->second;
        }
        auto art = std::make_shared<const Art>(
            detail::RenderThemePart(scheme, themeClass, part, state, width, height));
        if (cacheable) {
            std::lock_guard<std::mutex> g(mutex_);
            if (entries_.size() >= MaxEntries) entries_.clear();
            entries_.emplace(key, art);
        }
        return art;
    }
    void Clear() {
        std::lock_guard<std::mutex> g(mutex_);
        entries_.clear();
    }

private:
    static constexpr int MaxArea = 128 * 128;
    static constexpr std::size_t MaxEntries = 1024;
    std::mutex mutex_;
    std::unordered_map<std::uint64_t, std::shared_ptr<const Art>> entries_;
};

PartCache& Parts() {
    static PartCache cache;
    return cache;
}

// The rectangle a part covers in `bounds`: all of it, or its true size.
RECT PartRect(const ThemePartInfo& info, const RECT& bounds) {
    if (info.stretch) return bounds;
    const int w = info.trueSize.cx, h = info.trueSize.cy;
    if (info.alignEnd) return RECT{bounds.right - w, bounds.bottom - h, bounds.right, bounds.bottom};
    const int x = bounds.left + ((bounds.right - bounds.left) - w) / 2;
    const int y = bounds.top + ((bounds.bottom - bounds.top) - h) / 2;
    return RECT{x, y, x + w, y + h};
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

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const char* ColorNameOf(ThemeScheme scheme) {
    switch (scheme) {
        case ThemeScheme::Olive:
            return "HomeStead";
        case ThemeScheme::Silver:
            return "Metallic";
        default:
            return "NormalColor";
    }
}

// Takes the new state; when anything changed, tells every top-level window
// and repaints them.
void Apply(const ThemeState& next, bool setColors) {
    {
        detail::Guard g(detail::Lock());
        ThemeState& s = TheService().state;
        if (s.active == next.active && s.fileName == next.fileName && s.colorName == next.colorName &&
            s.drawScheme == next.drawScheme && s.scheme == next.scheme)
            return;
        s = next;
    }
    Parts().Clear();
    if (setColors) {
        const gfx::ColorScheme colors = detail::ThemeSysColors(next.scheme);
        if (colors != gfx::GetSysColorScheme()) {
            gfx::SetSysColorScheme(colors);
            detail::BroadcastTopLevel(WM_SYSCOLORCHANGE, 0, 0);
        }
    }
    detail::BroadcastTopLevel(WM_THEMECHANGED, 0, 0);
    detail::RepaintTopLevel();
}

} // namespace

namespace detail {

void ResetThemeState() {
    // Open handles stay valid: the look-and-feel keeps its handles for the
    // whole process, and a handle draws in whatever theme is active.
    {
        Guard g(Lock());
        TheService().state = ThemeState{};
    }
    Parts().Clear();
}

} // namespace detail

BOOL IsThemeActive() {
    detail::Guard g(detail::Lock());
    return TheService().state.active ? TRUE : FALSE;
}

BOOL IsAppThemed() {
    return IsThemeActive();
}

HTHEME OpenThemeData(HWND, const char* classList) {
    if (!classList || !*classList) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ThemeClass themeClass{};
    bool found = false;
    std::string_view rest(classList);
    while (!found && !rest.empty()) {
        const std::size_t end = rest.find(';');
        std::string_view name = rest.substr(0, end);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        found = detail::FindThemeClass(name, &themeClass);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    detail::Guard g(detail::Lock());
    Service& s = TheService();
    if (!s.state.active || !found) {
        SetLastError(ERROR_NOT_FOUND);
        return nullptr;
    }
    std::size_t index = 0;
    while (index < s.slots.size() && s.slots[index].open) ++index;
    if (index == s.slots.size()) {
        if (index + 1 >= (std::size_t{1} << IndexBits)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        s.slots.emplace_back();
    }
    HandleSlot& slot = s.slots[index];
    slot.open = true;
    slot.themeClass = themeClass;
    return MakeHandle(index, slot.generation);
}

HRESULT CloseThemeData(HTHEME theme) {
    const auto value = reinterpret_cast<std::uintptr_t>(theme);
    const std::size_t index = value & ((std::uintptr_t{1} << IndexBits) - 1);
    detail::Guard g(detail::Lock());
    Service& s = TheService();
    if (index == 0 || index > s.slots.size()) return E_HANDLE;
    HandleSlot& slot = s.slots[index - 1];
    if (!slot.open || slot.generation != static_cast<std::uint32_t>(value >> IndexBits)) return E_HANDLE;
    slot.open = false;
    ++slot.generation;
    return S_OK;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clipRect) {
    if (!rect) return E_POINTER;
    Resolved r{};
    if (const HRESULT hr = Resolve(theme, &r); FAILED(hr)) return hr;
    ThemePartInfo info;
    if (!detail::GetThemePartInfo(r.themeClass, partId, stateId, &info)) return E_INVALIDARG;
    const RECT part = PartRect(info, *rect);
    const int width = part.right - part.left, height = part.bottom - part.top;
    if (width <= 0 || height <= 0) return S_OK;
    RECT area = part;
    if (clipRect && !IntersectRect(&area, &area, clipRect)) return S_OK;
    const std::shared_ptr<const Art> art =
        Parts().Get(r.scheme, r.themeClass, partId, stateId, width, height);
    const std::uint32_t* first = art->Pixels().data() +
                                 static_cast<std::ptrdiff_t>(area.top - part.top) * width +
                                 (area.left - part.left);
    if (!gfx::AlphaBlendPixels(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, first,
                               width))
        return E_HANDLE;
    return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int partId, int stateId, const RECT* boundingRect,
                                      RECT* contentRect) {
    if (!boundingRect || !contentRect) return E_POINTER;
    Resolved r{};
    if (const HRESULT hr = Resolve(theme, &r); FAILED(hr)) return hr;
    ThemePartInfo info;
    if (!detail::GetThemePartInfo(r.themeClass, partId, stateId, &info)) return E_INVALIDARG;
    *contentRect = RECT{boundingRect->left + info.margins.left, boundingRect->top + info.margins.top,
                        boundingRect->right - info.margins.right, boundingRect->bottom - info.margins.bottom};
    return S_OK;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int partId, int stateId, const RECT* rect, THEMESIZE sizeKind,
                         SIZE* size) {
    if (!size) return E_POINTER;
    if (sizeKind < TS_MIN || sizeKind > TS_DRAW) return E_INVALIDARG;
    Resolved r{};
    if (const HRESULT hr = Resolve(theme, &r); FAILED(hr)) return hr;
    ThemePartInfo info;
    if (!detail::GetThemePartInfo(r.themeClass, partId, stateId, &info)) return E_INVALIDARG;
    if (sizeKind == TS_MIN) {
        *size = info.minSize;
    } else if (sizeKind == TS_DRAW && rect && info.stretch) {
        *size = SIZE{rect->right - rect->left, rect->bottom - rect->top};
    } else {
        *size = info.trueSize;
    }
    return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color) {
    if (!color) return E_POINTER;
    Resolved r{};
    if (const HRESULT hr = Resolve(theme, &r); FAILED(hr)) return hr;
    return detail::GetThemePartColor(r.scheme, r.themeClass, partId, stateId, propId, color)
               ? S_OK
               : E_PROP_ID_UNSUPPORTED;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId) {
    Resolved r{};
    ThemePartInfo info;
    if (FAILED(Resolve(theme, &r)) || !detail::GetThemePartInfo(r.themeClass, partId, stateId, &info))
        return FALSE;
    return info.transparent ? TRUE : FALSE;
}

HRESULT GetCurrentThemeName(char* themeFileName, int maxNameChars, char* colorBuff, int maxColorChars,
                            char* sizeBuff, int maxSizeChars) {
    ThemeState s;
    {
        detail::Guard g(detail::Lock());
        s = TheService().state;
    }
    if (!s.active) return E_FAIL;
    // Every buffer gets its name before the result is decided.
    const bool fileFits = CopyName(s.fileName, themeFileName, maxNameChars);
    const bool colorFits = CopyName(s.colorName, colorBuff, maxColorChars);
    const bool sizeFits = CopyName("NormalSize", sizeBuff, maxSizeChars);
    if (fileFits && colorFits && sizeFits) return S_OK;
    CopyName("", themeFileName, maxNameChars);
    CopyName("", colorBuff, maxColorChars);
    CopyName("", sizeBuff, maxSizeChars);
    return E_INSUFFICIENT_BUFFER;
}

void SetTheme(ThemeScheme scheme) {
    ThemeState next;
    next.scheme = scheme;
    if (scheme != ThemeScheme::Classic) {
        next.active = true;
        next.fileName = LunaFileName;
        next.colorName = ColorNameOf(scheme);
        next.drawScheme = scheme;
    }
    Apply(next, true);
}

ThemeScheme GetTheme() {
    detail::Guard g(detail::Lock());
    return TheService().state.scheme;
}

bool ParseThemeScheme(const char* name, ThemeScheme* scheme) {
    if (!name || !scheme) return false;
    static constexpr std::pair<std::string_view, ThemeScheme> Names[] = {{"classic", ThemeScheme::Classic},
                                                                         {"blue", ThemeScheme::Blue},
                                                                         {"olive", ThemeScheme::Olive},
                                                                         {"silver", ThemeScheme::Silver}};
    for (const auto& [known, value] : Names) {
        if (!EqualNoCase(known, name)) continue;
        *scheme = value;
        return true;
    }
    return false;
}

void SetReportedTheme(bool active, const char* fileName, const char* colorName) {
    ThemeState next;
    next.active = active;
    if (active) {
        next.fileName = fileName ? fileName : "";
        next.colorName = colorName ? colorName : "";
        for (ThemeScheme scheme : {ThemeScheme::Olive, ThemeScheme::Silver})
            if (EqualNoCase(next.colorName, ColorNameOf(scheme))) next.drawScheme = scheme;
    }
    Apply(next, false);
}

} // namespace win
