// Window classes: registration by name (compared without regard to case) with
// an atom, look-up by name or atom, and class data.
#include "win/internal.h"

#include "gfx/utf8.h"

namespace win {

namespace detail {
namespace {

constexpr ATOM kFirstAtom = 0xC000;

struct ClassState {
    std::map<std::string, std::shared_ptr<WindowClass>> classes; // by UpperKey
    ATOM nextAtom = kFirstAtom;
};

ClassState& State() {
    static ClassState* state = new ClassState;
    return *state;
}

} // namespace

bool IsIntAtom(const char* name) {
    return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

std::string UpperKey(const char* name) {
    if (IsIntAtom(name)) {
        std::string k = "#";
        k += std::to_string(reinterpret_cast<std::uintptr_t>(name));
        return k;
    }
    // Window messages look properties up by name, so this runs for nearly
    // every message: ASCII only, without the locale's table.
    std::string k(name);
    for (char& c : k)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return k;
}

std::shared_ptr<WindowClass> FindClass(const char* name) {
    AssertLocked();
    if (!name) return nullptr;
    if (IsIntAtom(name)) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
        for (auto& [key, cls] : State().classes)
            if (cls->atom == atom) return cls;
        return nullptr;
    }
    auto it = State().classes.find(UpperKey(name));
    return it == State().classes.end() ? nullptr : it->second;
}

void ResetClassState() {
    Guard g(Lock());
    State().classes.clear();
}

} // namespace detail

using namespace detail;

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName || IsIntAtom(wc->lpszClassName) || !*wc->lpszClassName ||
        !wc->lpfnWndProc || wc->cbWndExtra < 0 || wc->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Guard g(Lock());
    const std::string key = UpperKey(wc->lpszClassName);
    if (State().classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->key = key;
    cls->wc = *wc;
    cls->wc.lpszClassName = cls->name.c_str();
    cls->atom = State().nextAtom++;
    if (State().nextAtom == 0) State().nextAtom = kFirstAtom;
    State().classes[key] = cls;
    return cls->atom;
}

BOOL UnregisterClass(const char* className, HINSTANCE) {
    Guard g(Lock());
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (HWND h : AllWindows())
        if (GetWnd(h)->cls == cls) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    State().classes.erase(cls->key);
    return TRUE;
}

BOOL GetClassInfo(HINSTANCE, const char* className, WNDCLASS* wc) {
    Guard g(Lock());
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (wc) *wc = cls->wc;
    return TRUE;
}

int GetClassName(HWND hwnd, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    return static_cast<int>(gfx::CopyUtf8ToBuffer(w->cls->name, buffer, static_cast<std::size_t>(size)));
}

std::string GetClassName(HWND hwnd) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    return w ? w->cls->name : std::string();
}

LONG_PTR GetClassLongPtr(HWND hwnd, int index) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    switch (index) {
        case GCLP_HCURSOR:
            return reinterpret_cast<LONG_PTR>(w->cls->wc.hCursor);
        case GCLP_HBRBACKGROUND:
            return reinterpret_cast<LONG_PTR>(w->cls->wc.hbrBackground);
        case GCL_STYLE:
            return static_cast<LONG_PTR>(w->cls->wc.style);
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

LONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    WNDCLASS& wc = w->cls->wc;
    LONG_PTR old = 0;
    switch (index) {
        case GCLP_HCURSOR:
            old = reinterpret_cast<LONG_PTR>(wc.hCursor);
            wc.hCursor = reinterpret_cast<HCURSOR>(value);
            return old;
        case GCLP_HBRBACKGROUND:
            old = reinterpret_cast<LONG_PTR>(wc.hbrBackground);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(value);
            return old;
        case GCL_STYLE:
            old = static_cast<LONG_PTR>(wc.style);
            wc.style = static_cast<UINT>(value);
            return old;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

} // namespace win
