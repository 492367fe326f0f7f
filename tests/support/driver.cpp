#include "support/driver.h"

#include "win/internal.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>

namespace testdrv {

using namespace win;

namespace {

// Injects Unicode characters that have no key of their own.
constexpr int VK_PACKET = 0xE7;
// A runaway loop (a window invalidating itself on every paint) ends here.
constexpr int kMaxMessagesPerRun = 1000000;

// Input helpers called from an idle step must not pump: the loop that is
// waiting takes the input.
thread_local int t_inIdleStep = 0;

void Settle() {
    if (t_inIdleStep == 0) RunUntilIdle();
}

struct DriverState {
    std::mutex mutex;
    std::shared_ptr<std::vector<Step>> steps;
    std::size_t nextStep = 0;
    std::deque<int> answers;
    std::vector<ShownMessageBox> shown;
};

DriverState& State() {
    static DriverState state;
    return state;
}

void ResetDriverState() {
    DriverState& s = State();
    std::lock_guard lock(s.mutex);
    s.steps.reset();
    s.nextStep = 0;
    s.answers.clear();
    s.shown.clear();
}

} // namespace

// ============================================================================
// Fixture
// ============================================================================

void WinTest::SetUp() {
    ResetDriverState();
    ResetWindowSystem();
    SetIdleHandler(nullptr);
    SetManualClock(true);
    // Boxes answer their default button unless a test answers them or asks for the dialog.
    AnswerMessageBoxes({});
}

void WinTest::TearDown() {
    ResetWindowSystem();
    SetIdleHandler(nullptr);
    ResetDriverState();
}

// ============================================================================
// Running
// ============================================================================

int RunUntilIdle() {
    int count = 0;
    MSG m{};
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
        if (++count >= kMaxMessagesPerRun) {
            ADD_FAILURE() << "RunUntilIdle: the queue never became idle";
            break;
        }
    }
    return count;
}

void Advance(DWORD milliseconds) {
    const std::uint64_t target = ClockNow() + milliseconds;
    RunUntilIdle();
    for (;;) {
        std::uint64_t next;
        {
            detail::Guard g(detail::Lock());
            next = detail::NextTimerDue(detail::CurrentQueue());
        }
        const std::uint64_t now = ClockNow();
        if (now >= target || next > target) break;
        // A timer that stays due after running (it cannot be delivered) must
        // not stop the clock.
        AdvanceClock(static_cast<DWORD>(next > now ? next - now : 1));
        RunUntilIdle();
    }
    const std::uint64_t now = ClockNow();
    if (now < target) AdvanceClock(static_cast<DWORD>(target - now));
    RunUntilIdle();
}

// ============================================================================
// Input
// ============================================================================

void MoveTo(HWND hwnd, POINT clientPoint) {
    ClientToScreen(hwnd, &clientPoint);
    MoveToScreen(clientPoint);
}

void MoveToScreen(POINT screenPoint) {
    InjectMouseMove(screenPoint);
    Settle();
}

POINT CentreOf(const RECT& clientRect) {
    return POINT{(clientRect.left + clientRect.right) / 2, (clientRect.top + clientRect.bottom) / 2};
}

void Click(HWND hwnd, POINT clientPoint, MouseButton button) {
    ClientToScreen(hwnd, &clientPoint);
    ClickScreen(clientPoint, button);
}

// The three events go in at once, as a user's click queues them: a press
// handler that starts a modal loop finds the release in its own loop.
void ClickScreen(POINT screenPoint, MouseButton button) {
    InjectMouseMove(screenPoint);
    InjectMouseButton(button, true);
    InjectMouseButton(button, false);
    Settle();
}

void MouseDown(MouseButton button) {
    InjectMouseButton(button, true);
    Settle();
}

void MouseUp(MouseButton button) {
    InjectMouseButton(button, false);
    Settle();
}

void Wheel(int delta) {
    InjectMouseWheel(delta);
    Settle();
}

void KeyDown(int vk, const char* chars) {
    InjectKey(vk, true, chars);
    Settle();
}

void KeyUp(int vk) {
    InjectKey(vk, false);
    Settle();
}

void PressKey(int vk, const char* chars) {
    InjectKey(vk, true, chars);
    InjectKey(vk, false);
    Settle();
}

void TypeText(const std::string& utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        len = std::min(len, utf8.size() - i);
        const std::string ch = utf8.substr(i, len);
        i += len;

        const SHORT scan = len == 1 ? VkKeyScan(ch[0]) : SHORT(-1);
        // Only Shift is pressed for the text; other modifiers would turn it into commands.
        if (scan == -1 || (scan & 0x600) != 0) {
            InjectKey(VK_PACKET, true, ch.c_str());
            InjectKey(VK_PACKET, false);
            continue;
        }
        const int vk = scan & 0xFF;
        const bool shift = (scan & 0x100) != 0;
        if (shift) InjectKey(VK_SHIFT, true);
        InjectKey(vk, true, ch.c_str());
        InjectKey(vk, false);
        if (shift) InjectKey(VK_SHIFT, false);
    }
    Settle();
}

// ============================================================================
// Idle scripts
// ============================================================================

void ScriptIdle(std::vector<Step> steps) {
    DriverState& s = State();
    {
        std::lock_guard lock(s.mutex);
        s.steps = std::make_shared<std::vector<Step>>(std::move(steps));
        s.nextStep = 0;
    }
    SetIdleHandler([] {
        DriverState& st = State();
        std::shared_ptr<std::vector<Step>> steps;
        std::size_t index;
        {
            std::lock_guard lock(st.mutex);
            if (!st.steps || st.nextStep >= st.steps->size()) return false;
            steps = st.steps;
            index = st.nextStep++;
        }
        ++t_inIdleStep;
        (*steps)[index]();
        --t_inIdleStep;
        return true;
    });
}

bool IdleScriptDone() {
    DriverState& s = State();
    std::lock_guard lock(s.mutex);
    return !s.steps || s.nextStep >= s.steps->size();
}

// ============================================================================
// Message boxes, sounds, pictures
// ============================================================================

const std::vector<ShownMessageBox>& AnswerMessageBoxes(std::vector<int> answers) {
    DriverState& s = State();
    {
        std::lock_guard lock(s.mutex);
        s.answers.assign(answers.begin(), answers.end());
        s.shown.clear();
    }
    SetMessageBoxHandler([](HWND, const std::string& text, const std::string& caption, UINT type) {
        DriverState& st = State();
        std::lock_guard lock(st.mutex);
        int answer = detail::DefaultMessageBoxAnswer(type);
        if (!st.answers.empty()) {
            answer = st.answers.front();
            st.answers.pop_front();
        }
        st.shown.push_back(ShownMessageBox{text, caption, type, answer});
        return answer;
    });
    return s.shown;
}

std::vector<std::string> Sounds() {
    std::vector<std::string> names;
    for (const PlayedSound& s : GetPlayedSounds()) names.push_back(s.name);
    return names;
}

bool Snapshot(const std::string& pngPath) {
    return SnapshotScreen(pngPath);
}

bool Snapshot(HWND hwnd, const std::string& pngPath) {
    return SnapshotWindow(hwnd, pngPath);
}

// ============================================================================
// Message recording
// ============================================================================

// The subclass procedure is shared by all logs: one entry per window holds the
// procedure it replaced and the logs that watch it.
struct MessageLogAccess {
    struct Subclass {
        WNDPROC previous = nullptr;
        std::vector<MessageLog*> logs;
    };
    static std::mutex& Mutex() {
        static std::mutex m;
        return m;
    }
    static std::map<HWND, Subclass>& Windows() {
        static std::map<HWND, Subclass> windows;
        return windows;
    }

    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        WNDPROC previous = nullptr;
        std::vector<MessageLog*> logs;
        {
            std::lock_guard lock(Mutex());
            auto it = Windows().find(hwnd);
            if (it == Windows().end()) return DefWindowProc(hwnd, msg, wParam, lParam);
            previous = it->second.previous;
            logs = it->second.logs;
        }
        for (MessageLog* log : logs) log->Record(hwnd, msg, wParam, lParam);
        const LRESULT result = CallWindowProc(previous, hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            std::lock_guard lock(Mutex());
            Windows().erase(hwnd);
        }
        return result;
    }

    static void Attach(HWND hwnd, MessageLog* log) {
        {
            std::lock_guard lock(Mutex());
            auto it = Windows().find(hwnd);
            if (it != Windows().end()) {
                it->second.logs.push_back(log);
                return;
            }
        }
        if (!IsWindow(hwnd)) return;
        const WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWL_WNDPROC));
        {
            std::lock_guard lock(Mutex());
            Windows()[hwnd] = Subclass{previous, {log}};
        }
        SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    }

    static void Detach(HWND hwnd, MessageLog* log) {
        WNDPROC restore = nullptr;
        {
            std::lock_guard lock(Mutex());
            auto it = Windows().find(hwnd);
            if (it == Windows().end()) return;
            auto& logs = it->second.logs;
            logs.erase(std::remove(logs.begin(), logs.end(), log), logs.end());
            if (!logs.empty()) return;
            // Someone subclassed on top of us: keep forwarding for them.
            if (GetWindowLongPtr(hwnd, GWL_WNDPROC) != reinterpret_cast<LONG_PTR>(&Proc)) return;
            restore = it->second.previous;
            Windows().erase(it);
        }
        SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(restore));
    }
};

MessageLog::MessageLog(std::initializer_list<HWND> windows) {
    for (HWND h : windows) Watch(h);
}

MessageLog::~MessageLog() {
    std::vector<HWND> windows;
    {
        std::lock_guard lock(mutex_);
        windows.swap(windows_);
    }
    for (HWND h : windows) MessageLogAccess::Detach(h, this);
}

void MessageLog::Watch(HWND hwnd, const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        if (std::find(windows_.begin(), windows_.end(), hwnd) != windows_.end()) {
            names_[hwnd] = name;
            return;
        }
        windows_.push_back(hwnd);
        names_[hwnd] = name;
    }
    MessageLogAccess::Attach(hwnd, this);
}

void MessageLog::Only(std::initializer_list<UINT> messages) {
    std::lock_guard lock(mutex_);
    only_.assign(messages.begin(), messages.end());
}

void MessageLog::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

void MessageLog::Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(mutex_);
    if (!only_.empty() && std::find(only_.begin(), only_.end(), msg) == only_.end()) return;
    entries_.push_back(Entry{hwnd, msg, wParam, lParam});
}

std::vector<MessageLog::Entry> MessageLog::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::string MessageLog::Text() const {
    std::lock_guard lock(mutex_);
    std::string text;
    for (const Entry& e : entries_) {
        if (!text.empty()) text += ' ';
        auto name = names_.find(e.hwnd);
        if (name != names_.end() && !name->second.empty()) text += name->second + ':';
        text += MessageName(e.msg);
    }
    return text;
}

int MessageLog::Count(UINT msg) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(entries_.begin(), entries_.end(), [msg](const Entry& e) { return e.msg == msg; }));
}

std::string MessageName(UINT msg) {
    static const std::map<UINT, const char*> names = {
#define TESTDRV_MSG(m) {m, #m}
        TESTDRV_MSG(WM_NULL),
        TESTDRV_MSG(WM_CREATE),
        TESTDRV_MSG(WM_DESTROY),
        TESTDRV_MSG(WM_MOVE),
        TESTDRV_MSG(WM_SIZE),
        TESTDRV_MSG(WM_ACTIVATE),
        TESTDRV_MSG(WM_SETFOCUS),
        TESTDRV_MSG(WM_KILLFOCUS),
        TESTDRV_MSG(WM_ENABLE),
        TESTDRV_MSG(WM_SETREDRAW),
        TESTDRV_MSG(WM_SETTEXT),
        TESTDRV_MSG(WM_GETTEXT),
        TESTDRV_MSG(WM_GETTEXTLENGTH),
        TESTDRV_MSG(WM_PAINT),
        TESTDRV_MSG(WM_CLOSE),
        TESTDRV_MSG(WM_QUIT),
        TESTDRV_MSG(WM_ERASEBKGND),
        TESTDRV_MSG(WM_SYSCOLORCHANGE),
        TESTDRV_MSG(WM_SHOWWINDOW),
        TESTDRV_MSG(WM_SETTINGCHANGE),
        TESTDRV_MSG(WM_ACTIVATEAPP),
        TESTDRV_MSG(WM_CANCELMODE),
        TESTDRV_MSG(WM_SETCURSOR),
        TESTDRV_MSG(WM_MOUSEACTIVATE),
        TESTDRV_MSG(WM_CHILDACTIVATE),
        TESTDRV_MSG(WM_GETMINMAXINFO),
        TESTDRV_MSG(WM_NEXTDLGCTL),
        TESTDRV_MSG(WM_DRAWITEM),
        TESTDRV_MSG(WM_MEASUREITEM),
        TESTDRV_MSG(WM_SETFONT),
        TESTDRV_MSG(WM_GETFONT),
        TESTDRV_MSG(WM_WINDOWPOSCHANGING),
        TESTDRV_MSG(WM_WINDOWPOSCHANGED),
        TESTDRV_MSG(WM_NOTIFY),
        TESTDRV_MSG(WM_HELP),
        TESTDRV_MSG(WM_CONTEXTMENU),
        TESTDRV_MSG(WM_STYLECHANGING),
        TESTDRV_MSG(WM_STYLECHANGED),
        TESTDRV_MSG(WM_DISPLAYCHANGE),
        TESTDRV_MSG(WM_GETICON),
        TESTDRV_MSG(WM_SETICON),
        TESTDRV_MSG(WM_NCCREATE),
        TESTDRV_MSG(WM_NCDESTROY),
        TESTDRV_MSG(WM_NCCALCSIZE),
        TESTDRV_MSG(WM_NCHITTEST),
        TESTDRV_MSG(WM_NCPAINT),
        TESTDRV_MSG(WM_NCACTIVATE),
        TESTDRV_MSG(WM_GETDLGCODE),
        TESTDRV_MSG(WM_NCMOUSEMOVE),
        TESTDRV_MSG(WM_NCLBUTTONDOWN),
        TESTDRV_MSG(WM_NCLBUTTONUP),
        TESTDRV_MSG(WM_NCLBUTTONDBLCLK),
        TESTDRV_MSG(WM_NCRBUTTONDOWN),
        TESTDRV_MSG(WM_NCRBUTTONUP),
        TESTDRV_MSG(WM_NCRBUTTONDBLCLK),
        TESTDRV_MSG(WM_NCMBUTTONDOWN),
        TESTDRV_MSG(WM_NCMBUTTONUP),
        TESTDRV_MSG(WM_NCMBUTTONDBLCLK),
        TESTDRV_MSG(WM_KEYDOWN),
        TESTDRV_MSG(WM_KEYUP),
        TESTDRV_MSG(WM_CHAR),
        TESTDRV_MSG(WM_DEADCHAR),
        TESTDRV_MSG(WM_SYSKEYDOWN),
        TESTDRV_MSG(WM_SYSKEYUP),
        TESTDRV_MSG(WM_SYSCHAR),
        TESTDRV_MSG(WM_COMMAND),
        TESTDRV_MSG(WM_SYSCOMMAND),
        TESTDRV_MSG(WM_TIMER),
        TESTDRV_MSG(WM_HSCROLL),
        TESTDRV_MSG(WM_VSCROLL),
        TESTDRV_MSG(WM_INITMENUPOPUP),
        TESTDRV_MSG(WM_MENUSELECT),
        TESTDRV_MSG(WM_ENTERIDLE),
        TESTDRV_MSG(WM_CHANGEUISTATE),
        TESTDRV_MSG(WM_UPDATEUISTATE),
        TESTDRV_MSG(WM_QUERYUISTATE),
        TESTDRV_MSG(WM_CTLCOLORMSGBOX),
        TESTDRV_MSG(WM_CTLCOLOREDIT),
        TESTDRV_MSG(WM_CTLCOLORLISTBOX),
        TESTDRV_MSG(WM_CTLCOLORBTN),
        TESTDRV_MSG(WM_CTLCOLORDLG),
        TESTDRV_MSG(WM_CTLCOLORSCROLLBAR),
        TESTDRV_MSG(WM_CTLCOLORSTATIC),
        TESTDRV_MSG(WM_MOUSEMOVE),
        TESTDRV_MSG(WM_LBUTTONDOWN),
        TESTDRV_MSG(WM_LBUTTONUP),
        TESTDRV_MSG(WM_LBUTTONDBLCLK),
        TESTDRV_MSG(WM_RBUTTONDOWN),
        TESTDRV_MSG(WM_RBUTTONUP),
        TESTDRV_MSG(WM_RBUTTONDBLCLK),
        TESTDRV_MSG(WM_MBUTTONDOWN),
        TESTDRV_MSG(WM_MBUTTONUP),
        TESTDRV_MSG(WM_MBUTTONDBLCLK),
        TESTDRV_MSG(WM_MOUSEWHEEL),
        TESTDRV_MSG(WM_PARENTNOTIFY),
        TESTDRV_MSG(WM_ENTERMENULOOP),
        TESTDRV_MSG(WM_EXITMENULOOP),
        TESTDRV_MSG(WM_SIZING),
        TESTDRV_MSG(WM_CAPTURECHANGED),
        TESTDRV_MSG(WM_MOVING),
        TESTDRV_MSG(WM_MDICREATE),
        TESTDRV_MSG(WM_MDIDESTROY),
        TESTDRV_MSG(WM_MDIACTIVATE),
        TESTDRV_MSG(WM_MDIGETACTIVE),
        TESTDRV_MSG(WM_ENTERSIZEMOVE),
        TESTDRV_MSG(WM_EXITSIZEMOVE),
        TESTDRV_MSG(WM_MOUSEHOVER),
        TESTDRV_MSG(WM_NCMOUSELEAVE),
        TESTDRV_MSG(WM_MOUSELEAVE),
        TESTDRV_MSG(WM_PRINT),
        TESTDRV_MSG(WM_PRINTCLIENT),
#undef TESTDRV_MSG
    };
    auto it = names.find(msg);
    if (it != names.end()) return it->second;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X", msg);
    return buffer;
}

} // namespace testdrv
