// Window classes: registration by name (compared without regard to case) with
// an atom, look-up by name or atom, and class data. The system classes (the
// standard controls) exist from the start; a class the program registers
// under the same name hides one for its windows, and a reset restores them.
#include "win/internal.h"

#include "gfx/utf8.h"

namespace win {

namespace detail {
namespace {

constexpr ATOM kFirstAtom = 0xC000;

struct ClassState {
    std::map<std::string, std::shared_ptr<WindowClass>> classes; // the program's, by UpperKey
    std::map<std::string, std::shared_ptr<WindowClass>> system;  // by UpperKey
    ATOM nextAtom = kFirstAtom;
};

std::shared_ptr<WindowClass> MakeClass(const WNDCLASS& wc, ATOM atom) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->key = UpperKey(wc.lpszClassName);
    cls->wc = wc;
    cls->wc.lpszClassName = cls->name.c_str();
    cls->atom = atom;
    return cls;
}

// Fresh system classes (a program may have changed their class data), with
// the first atoms; the program's atoms follow them.
void AddSystemClasses(ClassState& state) {
    struct Definition {
        const char* name;
        WNDPROC proc;
        std::uintptr_t cursor;
        int background; // a system colour + 1, 0 for none
    };
    const Definition definitions[] = {{"EDIT", &EditWndProc, IDC_IBEAM, 0},
                                      {"LISTBOX", &ListBoxWndProc, IDC_ARROW, 0},
                                      {"MDICLIENT", &MdiClientWndProc, IDC_ARROW, COLOR_APPWORKSPACE + 1}};
    state.system.clear();
    ATOM atom = kFirstAtom;
    for (const Definition& d : definitions) {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS;
        wc.lpfnWndProc = d.proc;
        wc.hCursor = LoadSystemCursor(d.cursor);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(d.background));
        wc.lpszClassName = d.name;
        auto cls = MakeClass(wc, atom++);
        state.system[cls->key] = cls;
    }
    state.nextAtom = atom;
}

ClassState& State() {
    static ClassState* state = [] {
        auto* s = new ClassState;
        AddSystemClasses(*s);
        return s;
    }();
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
    for (auto* classes : {&State().classes, &State().system}) {
        if (IsIntAtom(name)) {
            const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
            for (auto& [key, cls] : *classes)
                if (cls->atom == atom) return cls;
            continue;
        }
        auto it = classes->find(UpperKey(name));
        if (it != classes->end()) return it->second;
    }
    return nullptr;
}

void ResetClassState() {
    Guard g(Lock());
    State().classes.clear();
    AddSystemClasses(State());
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
    auto cls = MakeClass(*wc, State().nextAtom++);
    if (State().nextAtom == 0) State().nextAtom = kFirstAtom;
    State().classes[key] = cls;
    return cls->atom;
}

BOOL UnregisterClass(const char* className, HINSTANCE) {
    Guard g(Lock());
    auto cls = FindClass(className);
    if (!cls || (State().system.count(cls->key) && State().system[cls->key] == cls)) {
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
