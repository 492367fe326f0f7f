// Monitors, system metrics and system parameters, with the changes a test
// makes to them and the broadcasts those changes send.
#include "win/internal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace win {

namespace {

constexpr DWORD ERROR_INVALID_MONITOR_HANDLE = 1461;

constexpr int kMetricCount = 100;

struct ScreenState {
    int bitsPerPixel = 32;
    std::vector<MonitorConfig> monitors;
    std::uintptr_t generation = 0; // monitor handles of an earlier layout go stale
    std::array<int, kMetricCount> metrics{};
    std::map<int, int> overrides; // metrics computed from the layout, set by a test
    LOGFONT captionFont{}, smCaptionFont{}, menuFont{}, statusFont{}, messageFont{}, iconTitleFont{};
    int menuShowDelay = 400;
    bool keyboardCues = false;
    bool flatMenu = false;
    bool menuAnimation = false;
    bool menuFade = false;
    bool dropShadow = false;
    bool highContrast = false;
};

ScreenState& State() {
    static ScreenState state;
    return state;
}

LOGFONT GuiFont(bool bold) {
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Tahoma");
    return lf;
}

// The classic scheme at 96 dots per inch.
void SetDefaults(ScreenState& s) {
    s.bitsPerPixel = 32;
    s.monitors = {MonitorConfig{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 738}}};
    ++s.generation;
    s.metrics.fill(0);
    s.overrides.clear();
    auto& m = s.metrics;
    m[SM_CXVSCROLL] = 16;
    m[SM_CYHSCROLL] = 16;
    m[SM_CYVSCROLL] = 16;
    m[SM_CXHSCROLL] = 16;
    m[SM_CYVTHUMB] = 16;
    m[SM_CXHTHUMB] = 16;
    m[SM_CYCAPTION] = 19;
    m[SM_CXBORDER] = 1;
    m[SM_CYBORDER] = 1;
    m[SM_CXDLGFRAME] = 3;
    m[SM_CYDLGFRAME] = 3;
    m[SM_CXFRAME] = 4;
    m[SM_CYFRAME] = 4;
    m[SM_CXEDGE] = 2;
    m[SM_CYEDGE] = 2;
    m[SM_CXICON] = 32;
    m[SM_CYICON] = 32;
    m[SM_CXCURSOR] = 32;
    m[SM_CYCURSOR] = 32;
    m[SM_CXSMICON] = 16;
    m[SM_CYSMICON] = 16;
    m[SM_CYMENU] = 19;
    m[SM_CXSIZE] = 18;
    m[SM_CYSIZE] = 18;
    m[SM_CYSMCAPTION] = 15;
    m[SM_CXSMSIZE] = 12;
    m[SM_CYSMSIZE] = 14;
    m[SM_CXMENUSIZE] = 18;
    m[SM_CYMENUSIZE] = 18;
    m[SM_CXMIN] = 112;
    m[SM_CYMIN] = 27;
    m[SM_CXMINTRACK] = 112;
    m[SM_CYMINTRACK] = 27;
    m[SM_CXDRAG] = 4;
    m[SM_CYDRAG] = 4;
    m[SM_CXDOUBLECLK] = 4;
    m[SM_CYDOUBLECLK] = 4;
    m[SM_CXICONSPACING] = 75;
    m[SM_CYICONSPACING] = 75;
    m[SM_CXMENUCHECK] = 13;
    m[SM_CYMENUCHECK] = 13;
    s.captionFont = GuiFont(true);
    s.smCaptionFont = GuiFont(true);
    s.menuFont = GuiFont(false);
    s.statusFont = GuiFont(false);
    s.messageFont = GuiFont(false);
    s.iconTitleFont = GuiFont(false);
    s.menuShowDelay = 400;
    s.keyboardCues = false;
    s.flatMenu = false;
    s.menuAnimation = false;
    s.menuFade = false;
    s.dropShadow = false;
    s.highContrast = false;
}

ScreenState& Screen() {
    ScreenState& s = State();
    if (s.generation == 0) SetDefaults(s);
    return s;
}

bool IsComputedMetric(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN:
        case SM_CXFULLSCREEN:
        case SM_CYFULLSCREEN:
        case SM_CXMAXTRACK:
        case SM_CYMAXTRACK:
        case SM_CXMAXIMIZED:
        case SM_CYMAXIMIZED:
        case SM_XVIRTUALSCREEN:
        case SM_YVIRTUALSCREEN:
        case SM_CXVIRTUALSCREEN:
        case SM_CYVIRTUALSCREEN:
        case SM_CMONITORS:
        case SM_SAMEDISPLAYFORMAT:
            return true;
        default:
            return false;
    }
}

RECT VirtualRect(const ScreenState& s) {
    RECT r = s.monitors.front().rect;
    for (const MonitorConfig& m : s.monitors) UnionRect(&r, &r, &m.rect);
    return r;
}

int Metric(const ScreenState& s, int index) {
    if (index < 0 || index >= kMetricCount) return 0;
    auto o = s.overrides.find(index);
    if (o != s.overrides.end()) return o->second;
    const RECT& primary = s.monitors.front().rect;
    const RECT& work = s.monitors.front().work;
    const RECT virt = VirtualRect(s);
    const auto& m = s.metrics;
    switch (index) {
        case SM_CXSCREEN:
            return primary.Width();
        case SM_CYSCREEN:
            return primary.Height();
        case SM_CXFULLSCREEN:
            return work.Width();
        case SM_CYFULLSCREEN:
            return work.Height() - m[SM_CYCAPTION];
        case SM_CXMAXTRACK:
            return virt.Width() + 2 * m[SM_CXFRAME];
        case SM_CYMAXTRACK:
            return virt.Height() + 2 * m[SM_CYFRAME];
        case SM_CXMAXIMIZED:
            return work.Width() + 2 * m[SM_CXFRAME];
        case SM_CYMAXIMIZED:
            return work.Height() + 2 * m[SM_CYFRAME];
        case SM_XVIRTUALSCREEN:
            return virt.left;
        case SM_YVIRTUALSCREEN:
            return virt.top;
        case SM_CXVIRTUALSCREEN:
            return virt.Width();
        case SM_CYVIRTUALSCREEN:
            return virt.Height();
        case SM_CMONITORS:
            return static_cast<int>(s.monitors.size());
        case SM_SAMEDISPLAYFORMAT:
            return 1;
        default:
            return m[static_cast<std::size_t>(index)];
    }
}

// --- Monitor handles: the layout's generation and the monitor's index ---

HMONITOR MonitorHandle(const ScreenState& s, std::size_t index) {
    return reinterpret_cast<HMONITOR>((s.generation << 8) | (index + 1));
}

const MonitorConfig* MonitorOf(const ScreenState& s, HMONITOR h) {
    const auto v = reinterpret_cast<std::uintptr_t>(h);
    if ((v >> 8) != s.generation) return nullptr;
    const std::size_t index = (v & 0xFF) - 1;
    return index < s.monitors.size() ? &s.monitors[index] : nullptr;
}

long long DistanceSquared(const RECT& a, const RECT& b) {
    const long long dx = std::max<long long>({0, a.left - b.right + 1, b.left - a.right + 1});
    const long long dy = std::max<long long>({0, a.top - b.bottom + 1, b.top - a.bottom + 1});
    return dx * dx + dy * dy;
}

HMONITOR MonitorFromRectLocked(const RECT& r, DWORD flags) {
    const ScreenState& s = Screen();
    long long bestArea = 0;
    std::size_t best = s.monitors.size();
    for (std::size_t i = 0; i < s.monitors.size(); ++i) {
        RECT x;
        if (!IntersectRect(&x, &r, &s.monitors[i].rect)) continue;
        const long long area = static_cast<long long>(x.Width()) * x.Height();
        if (area > bestArea) bestArea = area, best = i;
    }
    if (best < s.monitors.size()) return MonitorHandle(s, best);
    if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorHandle(s, 0);
    if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    long long bestDistance = -1;
    for (std::size_t i = 0; i < s.monitors.size(); ++i) {
        const long long d = DistanceSquared(r, s.monitors[i].rect);
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i;
    }
    return MonitorHandle(s, best);
}

void BroadcastSetting(UINT action) {
    detail::BroadcastTopLevel(WM_SETTINGCHANGE, action, 0);
}

} // namespace

// ============================================================================
// Internal entry points
// ============================================================================

namespace detail {

int SystemMetric(int index) {
    Guard g(Lock());
    return Metric(Screen(), index);
}

void StoreSystemMetric(int index, int value) {
    if (index < 0 || index >= kMetricCount) return;
    Guard g(Lock());
    ScreenState& s = Screen();
    if (IsComputedMetric(index))
        s.overrides[index] = value;
    else
        s.metrics[static_cast<std::size_t>(index)] = value;
}

RECT VirtualScreenRect() {
    Guard g(Lock());
    return VirtualRect(Screen());
}

int ScreenBitsPerPixel() {
    Guard g(Lock());
    return Screen().bitsPerPixel;
}

RECT NonClientInsets(DWORD style, DWORD exStyle) {
    Guard g(Lock());
    const ScreenState& s = Screen();
    auto m = [&s](int index) { return Metric(s, index); };
    RECT in{};
    auto inflate = [&in](int dx, int dy) {
        in.left += dx;
        in.right += dx;
        in.top += dy;
        in.bottom += dy;
    };
    const bool dialogFrame = (exStyle & WS_EX_DLGMODALFRAME) != 0 ||
                             ((style & WS_DLGFRAME) != 0 && (style & WS_BORDER) == 0) ||
                             (style & WS_CAPTION) == WS_CAPTION;
    if (style & WS_THICKFRAME)
        inflate(m(SM_CXFRAME), m(SM_CYFRAME));
    else if (dialogFrame)
        inflate(m(SM_CXDLGFRAME), m(SM_CYDLGFRAME));
    else if ((style & WS_BORDER) || !(style & (WS_CHILD | WS_POPUP)))
        inflate(m(SM_CXBORDER), m(SM_CYBORDER));
    if ((style & WS_CAPTION) == WS_CAPTION)
        in.top += (exStyle & WS_EX_TOOLWINDOW) ? m(SM_CYSMCAPTION) : m(SM_CYCAPTION);
    if (exStyle & WS_EX_CLIENTEDGE) inflate(m(SM_CXEDGE), m(SM_CYEDGE));
    if (exStyle & WS_EX_STATICEDGE) inflate(m(SM_CXBORDER), m(SM_CYBORDER));
    if (style & WS_VSCROLL) in.right += m(SM_CXVSCROLL);
    if (style & WS_HSCROLL) in.bottom += m(SM_CYHSCROLL);
    return in;
}

void BroadcastTopLevel(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> windows;
    {
        Guard g(Lock());
        windows = TopLevelZOrder();
    }
    // A window of another thread is not waited for: a broadcast must not hang
    // on a thread that does not retrieve messages.
    for (HWND h : windows)
        if (IsWindow(h)) SendNotifyMessage(h, msg, wParam, lParam);
}

void ResetScreenState() {
    {
        Guard g(Lock());
        SetDefaults(State());
    }
    SetSysColorScheme(ClassicColorScheme());
}

} // namespace detail

// ============================================================================
// Metrics and parameters
// ============================================================================

int GetSystemMetrics(int index) {
    return detail::SystemMetric(index);
}

BOOL SystemParametersInfo(UINT action, UINT, void* pvParam, UINT) {
    if (!pvParam) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::Guard g(detail::Lock());
    const ScreenState& s = Screen();
    auto setBool = [pvParam](bool v) { *static_cast<BOOL*>(pvParam) = v ? TRUE : FALSE; };
    switch (action) {
        case SPI_GETWORKAREA:
            *static_cast<RECT*>(pvParam) = s.monitors.front().work;
            return TRUE;
        case SPI_GETNONCLIENTMETRICS: {
            auto* ncm = static_cast<NONCLIENTMETRICS*>(pvParam);
            if (ncm->cbSize != sizeof(NONCLIENTMETRICS)) break;
            ncm->iBorderWidth = Metric(s, SM_CXFRAME) - Metric(s, SM_CXDLGFRAME);
            ncm->iScrollWidth = Metric(s, SM_CXVSCROLL);
            ncm->iScrollHeight = Metric(s, SM_CYHSCROLL);
            ncm->iCaptionWidth = Metric(s, SM_CXSIZE);
            ncm->iCaptionHeight = Metric(s, SM_CYSIZE);
            ncm->lfCaptionFont = s.captionFont;
            ncm->iSmCaptionWidth = Metric(s, SM_CXSMSIZE);
            ncm->iSmCaptionHeight = Metric(s, SM_CYSMSIZE);
            ncm->lfSmCaptionFont = s.smCaptionFont;
            ncm->iMenuWidth = Metric(s, SM_CXMENUSIZE);
            ncm->iMenuHeight = Metric(s, SM_CYMENUSIZE);
            ncm->lfMenuFont = s.menuFont;
            ncm->lfStatusFont = s.statusFont;
            ncm->lfMessageFont = s.messageFont;
            return TRUE;
        }
        case SPI_GETICONTITLELOGFONT:
            *static_cast<LOGFONT*>(pvParam) = s.iconTitleFont;
            return TRUE;
        case SPI_GETMENUSHOWDELAY:
            *static_cast<DWORD*>(pvParam) = static_cast<DWORD>(s.menuShowDelay);
            return TRUE;
        case SPI_GETKEYBOARDCUES:
            setBool(s.keyboardCues);
            return TRUE;
        case SPI_GETFLATMENU:
            setBool(s.flatMenu);
            return TRUE;
        case SPI_GETMENUANIMATION:
            setBool(s.menuAnimation);
            return TRUE;
        case SPI_GETMENUFADE:
            setBool(s.menuFade);
            return TRUE;
        case SPI_GETDROPSHADOW:
            setBool(s.dropShadow);
            return TRUE;
        case SPI_GETHIGHCONTRAST: {
            auto* hc = static_cast<HIGHCONTRAST*>(pvParam);
            if (hc->cbSize != sizeof(HIGHCONTRAST)) break;
            hc->dwFlags = s.highContrast ? HCF_HIGHCONTRASTON : 0;
            hc->lpszDefaultScheme = nullptr;
            return TRUE;
        }
        default:
            break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// ============================================================================
// Monitors
// ============================================================================

HMONITOR MonitorFromPoint(POINT p, DWORD flags) {
    detail::Guard g(detail::Lock());
    return MonitorFromRectLocked(RECT{p.x, p.y, p.x + 1, p.y + 1}, flags);
}

HMONITOR MonitorFromRect(const RECT* r, DWORD flags) {
    if (!r) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    RECT box = *r;
    // An empty rectangle still has a place: treat it as its top-left pixel.
    if (box.right <= box.left) box.right = box.left + 1;
    if (box.bottom <= box.top) box.bottom = box.top + 1;
    detail::Guard g(detail::Lock());
    return MonitorFromRectLocked(box, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return nullptr;
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    if (!info || info->cbSize != sizeof(MONITORINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::Guard g(detail::Lock());
    const ScreenState& s = Screen();
    const MonitorConfig* m = MonitorOf(s, monitor);
    if (!m) {
        SetLastError(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    info->rcMonitor = m->rect;
    info->rcWork = m->work;
    info->dwFlags = m == &s.monitors.front() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data) {
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // With a DC, rectangles are in its coordinates and limited to what it can draw.
    POINT origin{};
    RECT limit{};
    bool limited = clip != nullptr;
    if (clip) limit = *clip;
    if (dc) {
        if (HWND w = WindowFromDC(dc)) ClientToScreen(w, &origin);
        RECT box;
        if (GetClipBox(dc, &box) == ERROR) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (limited)
            IntersectRect(&limit, &limit, &box);
        else
            limit = box;
        limited = true;
    }
    std::vector<std::pair<HMONITOR, RECT>> found;
    {
        detail::Guard g(detail::Lock());
        const ScreenState& s = Screen();
        for (std::size_t i = 0; i < s.monitors.size(); ++i) {
            RECT r = s.monitors[i].rect;
            OffsetRect(&r, -origin.x, -origin.y);
            if (limited && !IntersectRect(&r, &r, &limit)) continue;
            found.emplace_back(MonitorHandle(s, i), r);
        }
    }
    for (auto& [monitor, r] : found)
        if (!proc(monitor, dc, &r, data)) break;
    return TRUE;
}

// ============================================================================
// Changes from a test or presenter
// ============================================================================

void SetScreen(int bitsPerPixel, const std::vector<MonitorConfig>& monitors) {
    std::vector<MonitorConfig> layout;
    for (MonitorConfig m : monitors) {
        if (m.rect.right <= m.rect.left || m.rect.bottom <= m.rect.top) continue;
        if (!IntersectRect(&m.work, &m.work, &m.rect)) m.work = m.rect;
        layout.push_back(m);
    }
    RECT primary;
    {
        detail::Guard g(detail::Lock());
        ScreenState& s = Screen();
        if (bitsPerPixel > 0) s.bitsPerPixel = bitsPerPixel;
        if (!layout.empty()) s.monitors = layout;
        ++s.generation;
        primary = s.monitors.front().rect;
        bitsPerPixel = s.bitsPerPixel;
    }
    detail::BroadcastTopLevel(WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel),
                              MAKELPARAM(primary.Width(), primary.Height()));
}

void SetWorkArea(int monitorIndex, const RECT& work) {
    {
        detail::Guard g(detail::Lock());
        ScreenState& s = Screen();
        if (monitorIndex < 0 || static_cast<std::size_t>(monitorIndex) >= s.monitors.size()) return;
        MonitorConfig& m = s.monitors[static_cast<std::size_t>(monitorIndex)];
        if (!IntersectRect(&m.work, &work, &m.rect)) m.work = m.rect;
    }
    BroadcastSetting(SPI_SETWORKAREA);
}

void SetSystemMetric(int index, int value) {
    if (index < 0 || index >= kMetricCount) return;
    detail::StoreSystemMetric(index, value);
    BroadcastSetting(0);
}

void SetNonClientMetrics(const NONCLIENTMETRICS& ncm) {
    {
        detail::Guard g(detail::Lock());
        ScreenState& s = Screen();
        auto& m = s.metrics;
        m[SM_CXFRAME] = m[SM_CYFRAME] = ncm.iBorderWidth + m[SM_CXDLGFRAME];
        m[SM_CXVSCROLL] = m[SM_CXHSCROLL] = ncm.iScrollWidth;
        m[SM_CYHSCROLL] = m[SM_CYVSCROLL] = ncm.iScrollHeight;
        m[SM_CXSIZE] = ncm.iCaptionWidth;
        m[SM_CYSIZE] = ncm.iCaptionHeight;
        m[SM_CYCAPTION] = ncm.iCaptionHeight + 1;
        m[SM_CXSMSIZE] = ncm.iSmCaptionWidth;
        m[SM_CYSMSIZE] = ncm.iSmCaptionHeight;
        m[SM_CYSMCAPTION] = ncm.iSmCaptionHeight + 1;
        m[SM_CXMENUSIZE] = ncm.iMenuWidth;
        m[SM_CYMENUSIZE] = ncm.iMenuHeight;
        m[SM_CYMENU] = ncm.iMenuHeight + 1;
        s.captionFont = ncm.lfCaptionFont;
        s.smCaptionFont = ncm.lfSmCaptionFont;
        s.menuFont = ncm.lfMenuFont;
        s.statusFont = ncm.lfStatusFont;
        s.messageFont = ncm.lfMessageFont;
    }
    BroadcastSetting(SPI_SETNONCLIENTMETRICS);
}

void SetIconTitleFont(const LOGFONT& font) {
    {
        detail::Guard g(detail::Lock());
        Screen().iconTitleFont = font;
    }
    BroadcastSetting(SPI_SETICONTITLELOGFONT);
}

void SetSystemParameter(UINT spiGetAction, int value) {
    if (spiGetAction == SPI_GETHIGHCONTRAST) {
        SetHighContrast(value != 0);
        return;
    }
    UINT setAction = 0;
    {
        detail::Guard g(detail::Lock());
        ScreenState& s = Screen();
        switch (spiGetAction) {
            case SPI_GETMENUSHOWDELAY:
                s.menuShowDelay = value, setAction = SPI_SETMENUSHOWDELAY;
                break;
            case SPI_GETKEYBOARDCUES:
                s.keyboardCues = value != 0, setAction = SPI_SETKEYBOARDCUES;
                break;
            case SPI_GETFLATMENU:
                s.flatMenu = value != 0, setAction = SPI_SETFLATMENU;
                break;
            case SPI_GETMENUANIMATION:
                s.menuAnimation = value != 0, setAction = SPI_SETMENUANIMATION;
                break;
            case SPI_GETMENUFADE:
                s.menuFade = value != 0, setAction = SPI_SETMENUFADE;
                break;
            case SPI_GETDROPSHADOW:
                s.dropShadow = value != 0, setAction = SPI_SETDROPSHADOW;
                break;
            default:
                return;
        }
    }
    BroadcastSetting(setAction);
}

void SetHighContrast(bool on) {
    {
        detail::Guard g(detail::Lock());
        Screen().highContrast = on;
    }
    BroadcastSetting(SPI_SETHIGHCONTRAST);
}

void ChangeSysColors(const ColorScheme& scheme) {
    SetSysColorScheme(scheme);
    detail::BroadcastTopLevel(WM_SYSCOLORCHANGE, 0, 0);
    detail::RepaintTopLevel();
}

namespace detail {

void RepaintTopLevel() {
    for (HWND h : GetTopLevelWindows())
        if (IsWindowVisible(h))
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace detail

} // namespace win
