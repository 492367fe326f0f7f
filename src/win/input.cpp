// Mouse and keyboard input: injection, routing to the owning thread, the
// per-press sequence at retrieval (hit test, hooks, mouse activation, cursor),
// double clicks, capture, mouse tracking, key state and the US key map.
//
// Injected events are routed at once to the thread that owns the window under
// the point (or the capture, or the foreground thread for keys) and wait there
// raw. When that thread looks for input, the first raw event is resolved: its
// target is hit-tested with WM_NCHITTEST and its message built. Resolved events
// stay in order until retrieved; a filter that skips one leaves it waiting.
#include "win/internal.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace win {

namespace detail {
namespace {

constexpr UINT WM_NCMOUSEHOVER = 0x02A0;
constexpr UINT kNonClientOffset = WM_LBUTTONDOWN - WM_NCLBUTTONDOWN;
constexpr DWORD kDefaultHoverTime = 400;
constexpr LONG kHoverHalfSize = 2;
constexpr UINT kDefaultDoubleClickTime = 500;
constexpr std::size_t kKeyCharsKept = 64;

struct Resolved {
    std::uint64_t serial = 0;
    InputEvent ev;
    HWND hwnd{};
    UINT message = 0; // 0: nobody takes it; only the key state changes
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT hit = HTCLIENT;
    bool captured = false;
    bool seen = false; // tracking, mouse activation and cursor done
};

struct KeyChars {
    MSG msg;
    std::string chars;
};

struct Tracking {
    HWND hwnd{};
    DWORD thread = 0;
    DWORD flags = 0; // TME_LEAVE, TME_HOVER, TME_NONCLIENT
    DWORD hoverTime = kDefaultHoverTime;
    RECT hoverRect{};
    UINT_PTR hoverTimer = 0;
};

struct LastClick {
    HWND hwnd{};
    UINT message = 0; // client form
    POINT pt{};
    DWORD time = 0;
};

struct InputState {
    std::deque<InputEvent> injected;
    std::map<DWORD, std::deque<Resolved>> resolved;
    std::map<DWORD, std::deque<KeyChars>> keyChars;
    std::uint64_t nextSerial = 1;
    BYTE async[256] = {};
    POINT cursor{512, 384}; // where the system puts it at start: the middle of the default screen
    HWND capture{};
    Tracking track;
    LastClick click;
    HWND underCursor{}; // as of the last mouse message taken
    LRESULT underHit = HTNOWHERE;
    // The windows that answered HTTRANSPARENT to the last hit test: the walk
    // to the cursor's window passes over them until the next one.
    std::vector<HWND> passedOver;
    // The cursor's window and whether the cursor is in its client area, as of
    // the last cursor move or window change: a change of either brings a
    // synthetic mouse move, whose hit test decides what the cursor left.
    HWND pointed{};
    bool pointedClient = false;
    DWORD lastMouseThread = 0;
    UINT doubleClickTime = kDefaultDoubleClickTime;
    bool altAfterOtherKey = false; // since Alt went down
};

InputState& State() {
    static InputState s;
    return s;
}

HWND Valid(HWND hwnd) {
    return GetWnd(hwnd) ? hwnd : nullptr;
}

// ============================================================================
// US key map
// ============================================================================

struct KeyMap {
    BYTE scan[256] = {};
    bool extended[256] = {};
    BYTE vkOfScan[128] = {};

    KeyMap() {
        auto set = [this](int vk, int sc, bool ext = false) {
            scan[vk] = static_cast<BYTE>(sc);
            extended[vk] = ext;
        };
        const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
        const int starts[] = {0x10, 0x1E, 0x2C};
        for (int r = 0; r < 3; ++r)
            for (int i = 0; rows[r][i]; ++i) set(rows[r][i], starts[r] + i);
        for (int d = 1; d <= 9; ++d) set('0' + d, 0x01 + d);
        set('0', 0x0B);
        set(VK_ESCAPE, 0x01);
        set(VK_OEM_MINUS, 0x0C);
        set(VK_OEM_PLUS, 0x0D);
        set(VK_BACK, 0x0E);
        set(VK_TAB, 0x0F);
        set(VK_OEM_4, 0x1A);
        set(VK_OEM_6, 0x1B);
        set(VK_RETURN, 0x1C);
        set(VK_CONTROL, 0x1D);
        set(VK_LCONTROL, 0x1D);
        set(VK_RCONTROL, 0x1D, true);
        set(VK_OEM_1, 0x27);
        set(VK_OEM_7, 0x28);
        set(VK_OEM_3, 0x29);
        set(VK_SHIFT, 0x2A);
        set(VK_LSHIFT, 0x2A);
        set(VK_OEM_5, 0x2B);
        set(VK_OEM_COMMA, 0x33);
        set(VK_OEM_PERIOD, 0x34);
        set(VK_OEM_2, 0x35);
        set(VK_RSHIFT, 0x36);
        set(VK_MULTIPLY, 0x37);
        set(VK_MENU, 0x38);
        set(VK_LMENU, 0x38);
        set(VK_RMENU, 0x38, true);
        set(VK_SPACE, 0x39);
        set(VK_CAPITAL, 0x3A);
        for (int i = 0; i < 10; ++i) set(VK_F1 + i, 0x3B + i);
        set(VK_F1 + 10, 0x57);
        set(VK_F1 + 11, 0x58);
        set(VK_NUMLOCK, 0x45, true);
        set(VK_SCROLL, 0x46);
        const int numpad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        for (int i = 0; i < 10; ++i) set(VK_NUMPAD0 + i, numpad[i]);
        set(VK_SUBTRACT, 0x4A);
        set(VK_ADD, 0x4E);
        set(VK_DECIMAL, 0x53);
        set(VK_DIVIDE, 0x35, true);
        set(VK_SNAPSHOT, 0x54);
        set(VK_HOME, 0x47, true);
        set(VK_UP, 0x48, true);
        set(VK_PRIOR, 0x49, true);
        set(VK_LEFT, 0x4B, true);
        set(VK_RIGHT, 0x4D, true);
        set(VK_END, 0x4F, true);
        set(VK_DOWN, 0x50, true);
        set(VK_NEXT, 0x51, true);
        set(VK_INSERT, 0x52, true);
        set(VK_DELETE, 0x53, true);
        set(VK_LWIN, 0x5B, true);
        set(VK_RWIN, 0x5C, true);
        set(VK_APPS, 0x5D, true);
        // Scan codes shared by several keys map back to the main-block key
        // (navigation before numpad, generic before left/right).
        const int preferred[] = {VK_SHIFT,  VK_CONTROL, VK_MENU,    VK_HOME,    VK_UP,   VK_PRIOR,
                                 VK_LEFT,   VK_RIGHT,   VK_END,     VK_DOWN,    VK_NEXT, VK_INSERT,
                                 VK_DELETE, VK_OEM_2,   VK_NUMLOCK, VK_MULTIPLY};
        for (int vk : preferred) vkOfScan[scan[vk]] = static_cast<BYTE>(vk);
        vkOfScan[0x36] = VK_SHIFT;
        for (int vk = 1; vk < 256; ++vk)
            if (scan[vk] && !vkOfScan[scan[vk]]) vkOfScan[scan[vk]] = static_cast<BYTE>(vk);
    }
};

const KeyMap& Keys() {
    static const KeyMap m;
    return m;
}

bool Down(const BYTE* st, int vk) {
    return (st[vk] & 0x80) != 0;
}

// The unshifted and shifted character of a printable key; 0 when none.
std::pair<char, char> Printable(int vk) {
    if (vk >= 'A' && vk <= 'Z') return {static_cast<char>(vk - 'A' + 'a'), static_cast<char>(vk)};
    if (vk >= '0' && vk <= '9') return {static_cast<char>(vk), ")!@#$%^&*("[vk - '0']};
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return {static_cast<char>('0' + vk - VK_NUMPAD0), 0};
    switch (vk) {
        case VK_SPACE:
            return {' ', ' '};
        case VK_OEM_1:
            return {';', ':'};
        case VK_OEM_PLUS:
            return {'=', '+'};
        case VK_OEM_COMMA:
            return {',', '<'};
        case VK_OEM_MINUS:
            return {'-', '_'};
        case VK_OEM_PERIOD:
            return {'.', '>'};
        case VK_OEM_2:
            return {'/', '?'};
        case VK_OEM_3:
            return {'`', '~'};
        case VK_OEM_4:
            return {'[', '{'};
        case VK_OEM_5:
            return {'\\', '|'};
        case VK_OEM_6:
            return {']', '}'};
        case VK_OEM_7:
            return {'\'', '"'};
        case VK_MULTIPLY:
            return {'*', 0};
        case VK_ADD:
            return {'+', 0};
        case VK_SUBTRACT:
            return {'-', 0};
        case VK_DECIMAL:
            return {'.', 0};
        case VK_DIVIDE:
            return {'/', 0};
        default:
            return {0, 0};
    }
}

// The characters a key produces with the given keyboard state (US layout).
std::string UsChars(int vk, const BYTE* st) {
    bool shift = Down(st, VK_SHIFT);
    bool ctrl = Down(st, VK_CONTROL);
    bool alt = Down(st, VK_MENU);
    if (ctrl && alt) return {};
    if (ctrl) {
        if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(vk - 'A' + 1));
        switch (vk) {
            case VK_OEM_4:
                return "\x1b";
            case VK_OEM_5:
                return "\x1c";
            case VK_OEM_6:
                return "\x1d";
            case VK_RETURN:
                return "\n";
            case VK_BACK:
                return "\x7f";
            case VK_SPACE:
                return " ";
            case '6':
                return shift ? "\x1e" : "";
            case VK_OEM_MINUS:
                return shift ? "\x1f" : "";
            default:
                return {};
        }
    }
    switch (vk) {
        case VK_BACK:
            return "\b";
        case VK_TAB:
            return "\t";
        case VK_RETURN:
            return "\r";
        case VK_ESCAPE:
            return "\x1b";
        default:
            break;
    }
    auto [lower, upper] = Printable(vk);
    if (!lower) return {};
    bool useUpper = shift;
    if (vk >= 'A' && vk <= 'Z' && (st[VK_CAPITAL] & 1)) useUpper = !useUpper;
    return std::string(1, useUpper && upper ? upper : lower);
}

// ============================================================================
// Key state
// ============================================================================

void SetKey(BYTE* st, int vk, bool down) {
    if (down) {
        if (!(st[vk] & 0x80)) st[vk] ^= 1; // the toggle flips on each press
        st[vk] |= 0x80;
    } else {
        st[vk] &= static_cast<BYTE>(~0x80);
    }
}

int GenericKey(int vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return vk;
    }
}

// The left/right key behind a key (a generic modifier counts as the left one).
int SideKey(int vk) {
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return vk;
    }
}

void ApplyKey(BYTE* st, int vk, bool down) {
    int generic = GenericKey(vk);
    int side = SideKey(vk);
    SetKey(st, side, down);
    if (generic == side) return;
    int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    SetKey(st, generic, Down(st, left) || Down(st, left + 1));
}

int ButtonKey(int button) {
    return button == 1 ? VK_RBUTTON : button == 2 ? VK_MBUTTON : VK_LBUTTON;
}

void ApplyEvent(BYTE* st, const InputEvent& ev) {
    if (ev.kind == InputEvent::MouseButton) SetKey(st, ButtonKey(ev.button), ev.down);
    if (ev.kind == InputEvent::Key) ApplyKey(st, ev.vk, ev.down);
}

WPARAM MouseKeys(const BYTE* st) {
    WPARAM mk = 0;
    if (Down(st, VK_LBUTTON)) mk |= MK_LBUTTON;
    if (Down(st, VK_RBUTTON)) mk |= MK_RBUTTON;
    if (Down(st, VK_MBUTTON)) mk |= MK_MBUTTON;
    if (Down(st, VK_SHIFT)) mk |= MK_SHIFT;
    if (Down(st, VK_CONTROL)) mk |= MK_CONTROL;
    return mk;
}

LPARAM KeyData(int vk, bool down, bool wasDown, bool alt) {
    const KeyMap& m = Keys();
    auto data = static_cast<LPARAM>(1 | (m.scan[vk] << 16));
    if (m.extended[vk]) data |= KF_EXTENDED_BIT;
    if (alt) data |= KF_ALTDOWN_BIT;
    if (wasDown) data |= KF_REPEAT_BIT;
    if (!down) data |= KF_UP_BIT;
    return data;
}

// ============================================================================
// Geometry
// ============================================================================

RECT HoverRect(POINT pt) {
    return RECT{pt.x - kHoverHalfSize, pt.y - kHoverHalfSize, pt.x + kHoverHalfSize + 1,
                pt.y + kHoverHalfSize + 1};
}

POINT ScreenToClientOf(const Window& w, POINT pt) {
    RECT cr = ClientRectOnScreen(w);
    return POINT{pt.x - cr.left, pt.y - cr.top};
}

// ============================================================================
// Mouse tracking
// ============================================================================

void EndTracking() {
    AssertLocked();
    auto& t = State().track;
    if (t.hoverTimer && t.thread == GetCurrentThreadId()) KillTimer(nullptr, t.hoverTimer);
    t = Tracking{};
}

void PostLeave() {
    AssertLocked();
    auto& t = State().track;
    if (t.flags & TME_LEAVE)
        PostMessage(t.hwnd, (t.flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    EndTracking();
}

void HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    Guard g(Lock());
    KillTimer(nullptr, id);
    auto& s = State();
    auto& t = s.track;
    if (t.hoverTimer != id || !(t.flags & TME_HOVER)) return;
    t.hoverTimer = 0;
    t.flags &= ~TME_HOVER;
    Window* w = GetWnd(t.hwnd);
    HWND target = t.hwnd;
    bool nonclient = (t.flags & TME_NONCLIENT) != 0;
    if (!(t.flags & TME_LEAVE)) t = Tracking{};
    if (!w) return;
    if (nonclient)
        PostMessage(target, WM_NCMOUSEHOVER, static_cast<WPARAM>(s.underHit), PointToLParam(s.cursor));
    else
        PostMessage(target, WM_MOUSEHOVER, MouseKeys(CurrentQueue().keyState),
                    PointToLParam(ScreenToClientOf(*w, s.cursor)));
}

void StartHoverTimer() {
    AssertLocked();
    auto& t = State().track;
    if (t.hoverTimer) KillTimer(nullptr, t.hoverTimer);
    t.hoverRect = HoverRect(State().cursor);
    t.hoverTimer = SetTimer(nullptr, 0, t.hoverTime, HoverTimerProc);
}

// Notes the cursor's window: the one under the cursor, passing over those
// that let the last hit test through, and whether the cursor is in its
// client area. True when either changed.
bool NotePointed() {
    AssertLocked();
    auto& s = State();
    const HWND pointed = WindowAtPoint(s.cursor, PointWalk{.mouse = true, .passOver = s.passedOver});
    bool client = false;
    if (const Window* w = GetWnd(pointed)) {
        const RECT r = ClientRectOnScreen(*w);
        client = PtInRect(&r, s.cursor) != 0;
    }
    if (pointed == s.pointed && client == s.pointedClient) return false;
    s.pointed = pointed;
    s.pointedClient = client;
    return true;
}

// A mouse message of this thread found its window: the window under the
// cursor changes, and tracking ends when it is not the tracked area.
void UpdateTracking(DWORD thread, const Resolved& r) {
    AssertLocked();
    auto& s = State();
    s.underCursor = r.hwnd;
    s.underHit = r.captured ? HTCLIENT : r.hit;
    auto& t = s.track;
    if (!t.hwnd || t.thread != thread) return;
    bool inside = r.hwnd == t.hwnd &&
                  (r.captured || ((t.flags & TME_NONCLIENT) ? r.hit != HTCLIENT : r.hit == HTCLIENT));
    if (!inside) {
        PostLeave();
        return;
    }
    if ((t.flags & TME_HOVER) && r.ev.kind == InputEvent::MouseMove && !PtInRect(&t.hoverRect, r.ev.pt))
        StartHoverTimer();
}

// ============================================================================
// Resolution: target window and message of a raw event
// ============================================================================

struct Hit {
    HWND hwnd{};
    LRESULT code = HTNOWHERE;
};

// The window under a point for a mouse message of `thread`, asking each
// candidate with WM_NCHITTEST; HTTRANSPARENT passes the point on to the next
// window under it, but never out of the thread: when that window belongs to
// another thread, the message goes nowhere. A disabled top-level window
// answers HTERROR without being asked (the walk leaves the point of a
// disabled child with its parent).
Hit HitTestPoint(POINT pt, DWORD thread) {
    PointWalk walk{.mouse = true, .passOver = {}};
    Hit hit;
    for (;;) {
        HWND found{};
        {
            Guard g(Lock());
            found = WindowAtPoint(pt, walk);
            const Window* w = GetWnd(found);
            if (!w || w->threadId != thread) break;
            if (!w->Enabled()) {
                hit = Hit{found, HTERROR};
                break;
            }
        }
        const LRESULT code = SendMsg(found, WM_NCHITTEST, 0, PointToLParam(pt));
        if (code != HTTRANSPARENT && IsWindow(found)) {
            hit = Hit{found, code};
            break;
        }
        walk.passOver.push_back(found);
    }
    Guard g(Lock());
    State().passedOver = std::move(walk.passOver);
    return hit;
}

UINT ButtonMessage(int button, bool down) {
    UINT base = button == 1 ? WM_RBUTTONDOWN : button == 2 ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    return down ? base : base + 1;
}

bool IsNonClientMouse(UINT m) {
    return m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK;
}
UINT ClientForm(UINT m) {
    return IsNonClientMouse(m) ? m + kNonClientOffset : m;
}

bool IsButtonPress(UINT m) {
    m = ClientForm(m);
    return m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDOWN || m == WM_RBUTTONDBLCLK ||
           m == WM_MBUTTONDOWN || m == WM_MBUTTONDBLCLK;
}

// Turns a press into a double click when it repeats the last one of the
// button on the same window, soon enough and near enough. The areas may
// differ: a press on the caption followed, once the window took the capture,
// by a captured one is a double click.
UINT DoubleClick(const Resolved& r, UINT clientMsg, bool client) {
    AssertLocked();
    auto& c = State().click;
    Window* w = GetWnd(r.hwnd);
    bool classAllows = !client || (w && w->cls && (w->cls->wc.style & CS_DBLCLKS));
    int cx = SystemMetric(SM_CXDOUBLECLK);
    int cy = SystemMetric(SM_CYDOUBLECLK);
    bool repeat = c.hwnd == r.hwnd && c.message == clientMsg &&
                  r.ev.time - c.time <= State().doubleClickTime && std::abs(r.ev.pt.x - c.pt.x) <= cx / 2 &&
                  std::abs(r.ev.pt.y - c.pt.y) <= cy / 2;
    if (repeat && classAllows) {
        c = LastClick{};
        return clientMsg + 2;
    }
    c = LastClick{r.hwnd, clientMsg, r.ev.pt, r.ev.time};
    return clientMsg;
}

// The window of a mouse event: the capture of this thread, or the window the
// hit test finds. False when there is none.
bool FindMouseTarget(Resolved& r, const ThreadQueue& q) {
    {
        Guard g(Lock());
        Window* cw = GetWnd(State().capture);
        if (cw && cw->threadId == q.id) {
            r.hwnd = State().capture;
            r.hit = HTCLIENT;
            r.captured = true;
            return true;
        }
    }
    Hit hit = HitTestPoint(r.ev.pt, q.id);
    r.hwnd = hit.hwnd;
    r.hit = hit.code;
    return hit.hwnd != nullptr;
}

void ResolveMouse(Resolved& r, ThreadQueue& q, const BYTE* after) {
    const InputEvent& ev = r.ev;
    UINT clientMsg = ev.kind == InputEvent::MouseMove ? WM_MOUSEMOVE : ButtonMessage(ev.button, ev.down);
    if (!FindMouseTarget(r, q)) return;
    Guard g(Lock());
    Window* w = GetWnd(r.hwnd);
    if (!w) return;
    bool client = r.captured || r.hit == HTCLIENT;
    if (ev.kind == InputEvent::MouseButton && ev.down && r.hit != HTERROR)
        clientMsg = DoubleClick(r, clientMsg, client);
    if (client) {
        r.message = clientMsg;
        r.wParam = MouseKeys(after);
        r.lParam = PointToLParam(ScreenToClientOf(*w, ev.pt));
    } else {
        r.message = clientMsg - kNonClientOffset;
        r.wParam = static_cast<WPARAM>(r.hit);
        r.lParam = PointToLParam(ev.pt);
    }
}

void ResolveKey(Resolved& r, ThreadQueue& q, const BYTE* before, const BYTE* after) {
    const InputEvent& ev = r.ev;
    int generic = GenericKey(ev.vk);
    bool altBefore = Down(before, VK_MENU);
    bool altAfter = Down(after, VK_MENU);
    bool sys = ((altBefore || altAfter) && !Down(after, VK_CONTROL)) || generic == VK_F1 + 9;
    // Only an Alt released alone is a system key up (it enters a menu bar's
    // keyboard mode); after Alt+key the release is an ordinary one.
    if (generic == VK_MENU && !ev.down && ev.afterOtherKey) sys = false;
    Guard g(Lock());
    r.hwnd = Valid(q.focus);
    if (!r.hwnd) {
        // Without a focus window the active window hears the keys as system keys.
        r.hwnd = Valid(q.active);
        sys = true;
    }
    if (!r.hwnd) return;
    r.message = ev.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    r.wParam = static_cast<WPARAM>(generic);
    r.lParam = KeyData(ev.vk, ev.down, Down(before, SideKey(ev.vk)), altAfter);
}

Resolved Resolve(const InputEvent& ev, ThreadQueue& q) {
    Resolved r;
    r.ev = ev;
    BYTE before[256];
    BYTE after[256];
    {
        Guard g(Lock());
        std::copy(std::begin(q.keyState), std::end(q.keyState), before);
    }
    std::copy(std::begin(before), std::end(before), after);
    ApplyEvent(after, ev);
    switch (ev.kind) {
        case InputEvent::Key:
            ResolveKey(r, q, before, after);
            break;
        case InputEvent::MouseWheel: {
            // The window under the cursor scrolls, not the focus.
            if (!FindMouseTarget(r, q) || r.hit == HTERROR) break;
            r.message = WM_MOUSEWHEEL;
            r.wParam = MAKEWPARAM(static_cast<int>(MouseKeys(after)), ev.wheel);
            r.lParam = PointToLParam(ev.pt);
            break;
        }
        default:
            ResolveMouse(r, q, after);
            break;
    }
    return r;
}

// ============================================================================
// Retrieval
// ============================================================================

bool InRange(UINT m, UINT low, UINT high) {
    return (low == 0 && high == 0) || (m >= low && m <= high);
}

bool Matches(const Resolved& r, HWND filter, UINT low, UINT high) {
    return (!filter || r.hwnd == filter) && InRange(r.message, low, high);
}

// Whether a raw event could turn into a message that passes the range.
bool MayMatch(const InputEvent& ev, UINT low, UINT high) {
    if (low == 0 && high == 0) return true;
    auto overlaps = [&](UINT a, UINT b) { return low <= b && a <= high; };
    switch (ev.kind) {
        case InputEvent::Key:
            return overlaps(WM_KEYDOWN, WM_SYSKEYUP);
        case InputEvent::MouseMove:
            return overlaps(WM_MOUSEMOVE, WM_MOUSEMOVE) || overlaps(WM_NCMOUSEMOVE, WM_NCMOUSEMOVE);
        case InputEvent::MouseButton:
            return overlaps(WM_LBUTTONDOWN, WM_MBUTTONDBLCLK) ||
                   overlaps(WM_NCLBUTTONDOWN, WM_NCMBUTTONDBLCLK);
        case InputEvent::MouseWheel:
            return overlaps(WM_MOUSEWHEEL, WM_MOUSEWHEEL);
    }
    return false;
}

std::deque<Resolved>& ResolvedOf(DWORD thread) {
    return State().resolved[thread];
}

// Applies a taken event to the thread's key state. A hook may run a loop that
// takes later events of the same key or button before the event the hook was
// called for is applied; that older event then changes nothing.
void ApplyTaken(ThreadQueue& q, const Resolved& r) {
    AssertLocked();
    int vk = -1;
    if (r.ev.kind == InputEvent::Key) vk = SideKey(r.ev.vk) & 0xFF;
    if (r.ev.kind == InputEvent::MouseButton) vk = ButtonKey(r.ev.button);
    if (vk >= 0) {
        if (q.keySerial[vk] > r.serial) return;
        q.keySerial[vk] = r.serial;
    }
    ApplyEvent(q.keyState, r.ev);
}

// An event nobody receives any more still changes the key state.
void Consume(ThreadQueue& q, const Resolved& r, bool stillQueued) {
    AssertLocked();
    if (stillQueued) std::erase_if(ResolvedOf(q.id), [&](const Resolved& x) { return x.serial == r.serial; });
    ApplyTaken(q, r);
}

void RememberKeyChars(DWORD thread, const MSG& msg, const std::string& chars) {
    auto& list = State().keyChars[thread];
    std::erase_if(list, [&](const KeyChars& k) {
        return k.msg.message == msg.message && k.msg.wParam == msg.wParam && k.msg.lParam == msg.lParam &&
               k.msg.time == msg.time;
    });
    list.push_back({msg, chars});
    if (list.size() > kKeyCharsKept) list.pop_front();
}

// The first time a mouse message is looked at: tracking, then for a press on
// any window but the foreground window WM_MOUSEACTIVATE and the activation it
// asks for, then WM_SETCURSOR. False when the message is not to be delivered
// (eaten, HTERROR, window gone).
bool Introduce(ThreadQueue& q, const Resolved& r) {
    if (r.ev.kind == InputEvent::MouseWheel) return true;
    {
        Guard g(Lock());
        UpdateTracking(q.id, r);
    }
    UINT clientMsg = ClientForm(r.message);
    bool eat = false;
    HWND top = IsButtonPress(r.message) && !r.captured && r.hit != HTERROR ? TopLevelOf(r.hwnd) : nullptr;
    // Asked whenever the pressed window is not the active one: a child never is.
    if (top && GetForegroundWindow() != r.hwnd) {
        LRESULT answer = SendMsg(r.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                 MAKELPARAM(static_cast<int>(r.hit), static_cast<int>(clientMsg)));
        if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT) ClickActivate(top);
        eat = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
    }
    if (!r.captured && IsWindow(r.hwnd))
        SendMsg(r.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(r.hwnd),
                MAKELPARAM(static_cast<int>(r.hit), static_cast<int>(clientMsg)));
    return !eat && r.hit != HTERROR;
}

// Runs the hook and first-look steps of a message; fills `msg` when it is to
// be delivered.
bool Deliver(ThreadQueue& q, Resolved cur, bool remove, MSG* msg) {
    bool mouse = cur.ev.kind != InputEvent::Key;
    int code = remove ? HC_ACTION : HC_NOREMOVE;
    LRESULT swallowed;
    if (mouse) {
        MOUSEHOOKSTRUCT mh;
        mh.pt = cur.ev.pt;
        mh.hwnd = cur.hwnd;
        mh.wHitTestCode = static_cast<UINT>(cur.hit);
        swallowed = CallHooks(WH_MOUSE, code, cur.message, reinterpret_cast<LPARAM>(&mh));
    } else {
        // A keyboard hook may ask what the key types (ToUnicode).
        if (cur.ev.down) {
            Guard g(Lock());
            MSG typed;
            typed.hwnd = cur.hwnd;
            typed.message = cur.message;
            typed.wParam = cur.wParam;
            typed.lParam = cur.lParam;
            typed.time = cur.ev.time;
            typed.pt = cur.ev.pt;
            RememberKeyChars(q.id, typed, cur.ev.chars);
        }
        swallowed = CallHooks(WH_KEYBOARD, code, cur.wParam, cur.lParam);
    }
    if (!remove) {
        // A loop run by the hook may have taken the message meanwhile.
        Guard g(Lock());
        auto& list = ResolvedOf(q.id);
        if (std::none_of(list.begin(), list.end(), [&](const Resolved& x) { return x.serial == cur.serial; }))
            return false;
    }
    if (swallowed) {
        Guard g(Lock());
        Consume(q, cur, !remove);
        return false;
    }
    if (mouse && !cur.seen && !Introduce(q, cur)) {
        Guard g(Lock());
        Consume(q, cur, !remove);
        return false;
    }
    Guard g(Lock());
    if (!GetWnd(cur.hwnd)) {
        Consume(q, cur, !remove);
        return false;
    }
    msg->hwnd = cur.hwnd;
    msg->message = cur.message;
    msg->wParam = cur.wParam;
    msg->lParam = cur.lParam;
    msg->time = cur.ev.time;
    msg->pt = cur.ev.pt;
    if (remove) ApplyTaken(q, cur);
    if (cur.ev.kind == InputEvent::Key && cur.ev.down) RememberKeyChars(q.id, *msg, cur.ev.chars);
    return true;
}

// ============================================================================
// Injection
// ============================================================================

POINT ClampToScreen(POINT p) {
    int x = SystemMetric(SM_XVIRTUALSCREEN);
    int y = SystemMetric(SM_YVIRTUALSCREEN);
    int cx = SystemMetric(SM_CXVIRTUALSCREEN);
    int cy = SystemMetric(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) return p;
    return POINT{std::clamp<LONG>(p.x, x, x + cx - 1), std::clamp<LONG>(p.y, y, y + cy - 1)};
}

void Inject(InputEvent ev) {
    Guard g(Lock());
    ev.time = GetTickCount();
    if (ev.kind != InputEvent::MouseMove) ev.pt = State().cursor;
    State().injected.push_back(std::move(ev));
    RouteInput();
}

} // namespace

// ============================================================================
// Entry points for the message layer
// ============================================================================

void RouteInput() {
    Guard g(Lock());
    auto& s = State();
    while (!s.injected.empty()) {
        InputEvent ev = std::move(s.injected.front());
        s.injected.pop_front();
        DWORD thread = 0;
        if (ev.kind == InputEvent::Key) {
            thread = KeyboardThread();
        } else {
            HWND target = Valid(s.capture);
            if (!target) target = WindowAtPoint(ev.pt, PointWalk{.mouse = true});
            if (Window* w = GetWnd(target)) thread = w->threadId;
            if (ev.kind != InputEvent::MouseWheel) {
                if (s.track.hwnd && s.track.thread != thread) PostLeave();
                if (!thread) {
                    // Outside every window: the thread that had the mouse still
                    // learns of the buttons, so its key state stays true, and a
                    // press there gives the foreground away (see TakeInputMessage).
                    s.underCursor = nullptr;
                    thread = QueueOf(s.lastMouseThread) ? s.lastMouseThread : KeyboardThread();
                }
                s.lastMouseThread = thread;
            }
        }
        ThreadQueue* q = thread ? QueueOf(thread) : nullptr;
        if (!q) continue;
        const UINT status = InputStatus(ev);
        if (ev.kind == InputEvent::MouseMove && !q->input.empty() &&
            q->input.back().kind == InputEvent::MouseMove)
            q->input.back() = std::move(ev);
        else
            q->input.push_back(std::move(ev));
        NoteArrival(thread, status);
    }
    std::erase_if(s.resolved, [](const auto& e) { return !QueueOf(e.first); });
    std::erase_if(s.keyChars, [](const auto& e) { return !QueueOf(e.first); });
}

bool TakeInputMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    AssertUnlocked();
    ThreadQueue& q = CurrentQueue();
    for (;;) {
        Resolved cur;
        {
            UniqueGuard g(Lock());
            RouteInput();
            auto& list = ResolvedOf(q.id);
            // Input for windows destroyed meanwhile goes nowhere (and would
            // wait forever behind a window filter).
            std::erase_if(list, [&](const Resolved& r) {
                if (GetWnd(r.hwnd)) return false;
                ApplyTaken(q, r);
                return true;
            });
            auto it = std::find_if(list.begin(), list.end(), [&](const Resolved& r) {
                return Matches(r, filter, filterMin, filterMax);
            });
            if (it == list.end()) {
                // A filter no input can pass (WM_PAINT, say) resolves nothing:
                // an event resolved now would keep the target it has now, and
                // miss a capture taken before it is retrieved.
                if (std::none_of(q.input.begin(), q.input.end(),
                                 [&](const InputEvent& ev) { return MayMatch(ev, filterMin, filterMax); }))
                    return false;
                InputEvent ev = std::move(q.input.front());
                q.input.pop_front();
                g.unlock();
                Resolved r = Resolve(ev, q);
                g.lock();
                r.serial = State().nextSerial++;
                if (!r.message) {
                    if (r.ev.kind != InputEvent::Key && r.ev.kind != InputEvent::MouseWheel) {
                        State().underCursor = nullptr;
                        if (State().track.hwnd && State().track.thread == q.id) PostLeave();
                    }
                    ApplyTaken(q, r);
                    // Where no window of the program is, the desktop is: it
                    // belongs to another application, and a press on it takes
                    // the foreground as that application's window would.
                    if (r.ev.kind == InputEvent::MouseButton && r.ev.down && !r.hwnd) {
                        g.unlock();
                        SetApplicationForeground(false);
                    }
                    continue;
                }
                ResolvedOf(q.id).push_back(std::move(r));
                continue;
            }
            cur = *it;
            if (remove)
                list.erase(it);
            else
                it->seen = true;
        }
        if (Deliver(q, std::move(cur), remove, msg)) return true;
    }
}

bool HasInput(const ThreadQueue& q, HWND filter, UINT filterMin, UINT filterMax) {
    Guard g(Lock());
    auto it = State().resolved.find(q.id);
    if (it != State().resolved.end())
        for (const Resolved& r : it->second)
            if (Matches(r, filter, filterMin, filterMax)) return true;
    return std::any_of(q.input.begin(), q.input.end(),
                       [&](const InputEvent& ev) { return MayMatch(ev, filterMin, filterMax); });
}

void CheckMouseTracking() {
    Guard g(Lock());
    auto& s = State();
    auto& t = s.track;
    if (Window* w = GetWnd(t.hwnd); w && !w->destroying) {
        // The capture decides alone, and a hidden window cannot be under the
        // cursor; anything else waits for the hit test of the move below.
        if (Valid(s.capture) ? s.capture != t.hwnd : !IsVisibleChain(*w)) PostLeave();
    } else if (t.hwnd) {
        EndTracking();
    }
    if (!NotePointed()) return;
    InputEvent ev;
    ev.kind = InputEvent::MouseMove;
    ev.pt = s.cursor;
    Inject(std::move(ev));
}

void InputForgetWindow(HWND hwnd) {
    {
        Guard g(Lock());
        auto& s = State();
        if (s.track.hwnd == hwnd) EndTracking();
        if (s.underCursor == hwnd) s.underCursor = nullptr;
        if (s.click.hwnd == hwnd) s.click = LastClick{};
    }
    FocusForgetWindow(hwnd);
}

void CaptureForgetWindow(HWND hwnd) {
    {
        Guard g(Lock());
        if (State().capture != hwnd) return;
        State().capture = nullptr;
    }
    SendMsg(hwnd, WM_CAPTURECHANGED, 0, 0);
}

HWND CaptureOfThread(DWORD threadId) {
    AssertLocked();
    Window* w = GetWnd(State().capture);
    return w && w->threadId == threadId ? State().capture : nullptr;
}

std::string TakeKeyChars(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return {};
    Guard g(Lock());
    ThreadQueue& q = CurrentQueue();
    auto found = State().keyChars.find(q.id);
    if (found != State().keyChars.end()) {
        auto& list = found->second;
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (it->msg.message == msg.message && it->msg.wParam == msg.wParam &&
                it->msg.lParam == msg.lParam && it->msg.time == msg.time) {
                std::string chars = std::move(it->chars);
                list.erase(std::next(it).base());
                return chars;
            }
    }
    return UsChars(static_cast<int>(msg.wParam & 0xFF), q.keyState);
}

void ResetInputState() {
    Guard g(Lock());
    EndTracking();
    State() = InputState{};
    ThreadQueue& q = CurrentQueue();
    std::fill(std::begin(q.keyState), std::end(q.keyState), BYTE{0});
    std::fill(std::begin(q.keySerial), std::end(q.keySerial), std::uint64_t{0});
    q.input.clear();
}

} // namespace detail

using namespace detail;

// ============================================================================
// Injection (driver.h)
// ============================================================================

void InjectMouseMove(POINT screenPoint) {
    Guard g(Lock());
    InputEvent ev;
    ev.kind = InputEvent::MouseMove;
    ev.pt = ClampToScreen(screenPoint);
    State().cursor = ev.pt;
    NotePointed();
    Inject(std::move(ev));
}

void InjectMouseButton(MouseButton button, bool down) {
    Guard g(Lock());
    int physical = static_cast<int>(button);
    SetKey(State().async, ButtonKey(physical), down);
    InputEvent ev;
    ev.kind = InputEvent::MouseButton;
    ev.down = down;
    ev.button = physical < 2 && SystemMetric(SM_SWAPBUTTON) ? 1 - physical : physical;
    Inject(std::move(ev));
}

void InjectMouseWheel(int delta) {
    InputEvent ev;
    ev.kind = InputEvent::MouseWheel;
    ev.wheel = delta;
    Inject(std::move(ev));
}

void InjectKey(int vk, bool down, const char* chars) {
    if (vk <= 0 || vk > 0xFE) return;
    Guard g(Lock());
    auto& s = State();
    const bool alt = GenericKey(vk) == VK_MENU;
    if (down && alt && !Down(s.async, VK_MENU)) s.altAfterOtherKey = false;
    if (down && !alt && Down(s.async, VK_MENU)) s.altAfterOtherKey = true;
    ApplyKey(s.async, vk, down);
    InputEvent ev;
    ev.kind = InputEvent::Key;
    ev.vk = vk;
    ev.down = down;
    ev.afterOtherKey = alt && !down && s.altAfterOtherKey;
    if (down) ev.chars = chars ? std::string(chars) : UsChars(GenericKey(vk), s.async);
    Inject(std::move(ev));
}

void SetDoubleClickTime(UINT milliseconds) {
    Guard g(Lock());
    State().doubleClickTime = milliseconds ? milliseconds : kDefaultDoubleClickTime;
}

// ============================================================================
// Capture, cursor position, key state (user.h)
// ============================================================================

HWND SetCapture(HWND hwnd) {
    HWND old;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        if (w->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        old = Valid(State().capture);
        State().capture = hwnd;
    }
    // The holder asking again hears of it as of any change.
    if (old) SendMsg(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    Guard g(Lock());
    Window* ow = GetWnd(old);
    return ow && ow->threadId == GetCurrentThreadId() ? old : nullptr;
}

BOOL ReleaseCapture() {
    HWND old;
    {
        Guard g(Lock());
        Window* w = GetWnd(State().capture);
        if (!w || w->threadId != GetCurrentThreadId()) return TRUE;
        old = State().capture;
        State().capture = nullptr;
    }
    SendMsg(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    Guard g(Lock());
    return CaptureOfThread(GetCurrentThreadId());
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD self = GetCurrentThreadId();
    Guard g(Lock());
    auto& s = State();
    auto& t = s.track;
    if (tme->dwFlags & TME_QUERY) {
        bool mine = t.hwnd && t.thread == self;
        tme->dwFlags = mine ? t.flags : 0;
        tme->hwndTrack = mine ? t.hwnd : nullptr;
        tme->dwHoverTime = mine ? t.hoverTime : 0;
        return TRUE;
    }
    HWND hwnd = tme->hwndTrack;
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    if (w->threadId != self) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD what = tme->dwFlags & (TME_LEAVE | TME_HOVER);
    DWORD area = tme->dwFlags & TME_NONCLIENT;
    bool same = t.hwnd == hwnd && (t.flags & TME_NONCLIENT) == area;
    if (tme->dwFlags & TME_CANCEL) {
        if (same) {
            if ((what & TME_HOVER) && t.hoverTimer) {
                KillTimer(nullptr, t.hoverTimer);
                t.hoverTimer = 0;
            }
            t.flags &= ~what;
            if (!(t.flags & (TME_LEAVE | TME_HOVER))) t = Tracking{};
        }
        return TRUE;
    }
    bool under;
    if (Valid(s.capture))
        under = s.capture == hwnd && !area;
    else {
        RECT wr = WindowRectOnScreen(*w);
        under = s.underCursor == hwnd && (area ? s.underHit != HTCLIENT : s.underHit == HTCLIENT) &&
                IsVisibleChain(*w) && PtInRect(&wr, s.cursor);
    }
    if (!under) {
        // The window under the cursor keeps its tracking.
        if (same) EndTracking();
        if (what & TME_LEAVE) PostMessage(hwnd, area ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    if (t.hwnd && !same) EndTracking();
    if (!what) return TRUE;
    t.hwnd = hwnd;
    t.thread = self;
    t.flags |= what | area;
    if (what & TME_HOVER) {
        t.hoverTime = tme->dwHoverTime == HOVER_DEFAULT ? kDefaultHoverTime : tme->dwHoverTime;
        StartHoverTimer();
    }
    return TRUE;
}

BOOL GetCursorPos(POINT* p) {
    if (!p) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(Lock());
    *p = State().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    Guard g(Lock());
    POINT p = ClampToScreen(POINT{x, y});
    if (p != State().cursor) InjectMouseMove(p);
    return TRUE;
}

SHORT GetKeyState(int vk) {
    Guard g(Lock());
    BYTE st = CurrentQueue().keyState[vk & 0xFF];
    return static_cast<SHORT>(((st & 0x80) ? 0x8000 : 0) | (st & 1));
}

SHORT GetAsyncKeyState(int vk) {
    Guard g(Lock());
    return static_cast<SHORT>((State().async[vk & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state256) {
    if (!state256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(Lock());
    const BYTE* st = CurrentQueue().keyState;
    std::copy(st, st + 256, state256);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* state256) {
    if (!state256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(Lock());
    std::copy(state256, state256 + 256, CurrentQueue().keyState);
    return TRUE;
}

SHORT VkKeyScan(char ch) {
    // The first key, with the fewest modifiers, whose US-layout characters are
    // `ch` (the numeric keypad only doubles the main block).
    const BYTE modifiers[][2] = {{0, 0}, {1, 0}, {0, 2}, {1, 2}};
    for (const auto& mod : modifiers) {
        BYTE st[256] = {};
        if (mod[0]) st[VK_SHIFT] = 0x80;
        if (mod[1]) st[VK_CONTROL] = 0x80;
        for (int vk = 1; vk < 0xFF; ++vk) {
            if ((vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) || vk == VK_SHIFT || vk == VK_CONTROL) continue;
            if (UsChars(vk, st) == std::string(1, ch))
                return static_cast<SHORT>(((mod[0] | mod[1]) << 8) | vk);
        }
    }
    return -1;
}

UINT MapVirtualKey(UINT code, UINT mapType) {
    const KeyMap& m = Keys();
    switch (mapType) {
        case MAPVK_VK_TO_VSC:
            return code < 256 ? m.scan[code] : 0;
        case MAPVK_VSC_TO_VK:
            return code < 128 ? m.vkOfScan[code] : 0;
        case MAPVK_VK_TO_CHAR: {
            if (code >= 256) return 0;
            int vk = static_cast<int>(code);
            if (vk >= 'A' && vk <= 'Z') return code;
            switch (vk) {
                case VK_BACK:
                case VK_TAB:
                case VK_RETURN:
                case VK_ESCAPE:
                    return code;
                default:
                    return static_cast<unsigned char>(Printable(vk).first);
            }
        }
        default:
            return 0;
    }
}

int ToUnicode(UINT virtKey, UINT, const BYTE* keyState, char32_t* buffer, int bufferSize, UINT) {
    if (!buffer || bufferSize <= 0 || virtKey == 0 || virtKey > 0xFF) return 0;
    std::string text;
    bool pressed = false;
    {
        Guard g(Lock());
        ThreadQueue& q = CurrentQueue();
        auto found = State().keyChars.find(q.id);
        if (found != State().keyChars.end())
            for (auto it = found->second.rbegin(); it != found->second.rend() && !pressed; ++it)
                if ((it->msg.wParam & 0xFF) == virtKey) {
                    text = it->chars;
                    pressed = true;
                }
    }
    if (!pressed) {
        static const BYTE kNoKeys[256] = {};
        text = UsChars(static_cast<int>(virtKey), keyState ? keyState : kNoKeys);
    }
    int count = 0;
    for (std::uint32_t cp : DecodeUtf8(text)) {
        if (count == bufferSize) break;
        buffer[count++] = static_cast<char32_t>(cp);
    }
    return count;
}

UINT GetDoubleClickTime() {
    Guard g(Lock());
    return State().doubleClickTime;
}

BOOL SwapMouseButton(BOOL swap) {
    bool previous = SystemMetric(SM_SWAPBUTTON) != 0;
    if (previous != (swap != FALSE)) detail::StoreSystemMetric(SM_SWAPBUTTON, swap ? 1 : 0);
    return previous ? TRUE : FALSE;
}

} // namespace win
