// Sounds are recorded, not played; message boxes are answered by a handler
// that tests and headless runs install.
#include "win/internal.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace win {

namespace {

constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;

struct SoundState {
    std::vector<PlayedSound> played;
    MessageBoxHandler handler;
};

// The dialog outlives a reset of the window system: it belongs to the program.
std::atomic<MessageBoxDialogProc> g_dialog{nullptr};

SoundState& State() {
    static SoundState state;
    return state;
}

void Record(std::string name, DWORD flags) {
    detail::Guard g(detail::Lock());
    State().played.push_back(PlayedSound{std::move(name), flags, ClockNow()});
}

} // namespace

namespace detail {

int DefaultMessageBoxAnswer(UINT type) {
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},      {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
    };
    const UINT kind = type & MB_TYPEMASK;
    const UINT def = std::min<UINT>((type & MB_DEFMASK) >> 8, 2);
    return kind < std::size(buttons) ? buttons[kind][def] : IDOK;
}

void ResetSoundState() {
    Guard g(Lock());
    State() = SoundState{};
}

} // namespace detail

BOOL PlaySound(const char* sound, HMODULE, DWORD flags) {
    Record(sound ? sound : "", flags);
    return TRUE;
}

BOOL MessageBeep(UINT type) {
    const char* alias = "SystemDefault";
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            alias = "SystemHand";
            break;
        case MB_ICONQUESTION:
            alias = "SystemQuestion";
            break;
        case MB_ICONEXCLAMATION:
            alias = "SystemExclamation";
            break;
        case MB_ICONASTERISK:
            alias = "SystemAsterisk";
            break;
        default:
            break;
    }
    Record(alias, SND_ALIAS | SND_ASYNC);
    return TRUE;
}

std::vector<PlayedSound> GetPlayedSounds() {
    detail::Guard g(detail::Lock());
    return State().played;
}

void ClearPlayedSounds() {
    detail::Guard g(detail::Lock());
    State().played.clear();
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    detail::Guard g(detail::Lock());
    State().handler = std::move(handler);
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    MessageBoxHandler handler;
    {
        detail::Guard g(detail::Lock());
        if (owner && !detail::WndOrFail(owner)) return 0;
        handler = State().handler;
    }
    if (handler) return handler(owner, text ? text : "", caption ? caption : "Error", type);
    if (MessageBoxDialogProc dialog = g_dialog.load())
        return dialog(owner, text ? text : "", caption ? caption : "Error", type);
    return detail::DefaultMessageBoxAnswer(type);
}

MessageBoxDialogProc SetMessageBoxDialog(MessageBoxDialogProc proc) {
    return g_dialog.exchange(proc);
}

} // namespace win
