// The clipboard of the process and the global memory blocks that carry its
// data.
#include "win/internal.h"

#include <map>
#include <vector>

namespace win {

namespace detail {
namespace {

struct Block {
    std::vector<char> bytes;
    int locks = 0;
};

struct ClipboardState {
    // Handles are never reused, so a freed one stays invalid.
    std::map<std::uintptr_t, Block> blocks;
    std::uintptr_t nextHandle = 0x10000;
    bool open = false;
    DWORD openThread = 0;
    HWND openWindow{};
    HWND owner{};
    std::map<UINT, HGLOBAL> data;
};

ClipboardState& State() {
    static ClipboardState* state = new ClipboardState;
    return *state;
}

Block* BlockOf(HGLOBAL memory) {
    auto it = State().blocks.find(reinterpret_cast<std::uintptr_t>(memory));
    return it == State().blocks.end() ? nullptr : &it->second;
}

bool OpenedByCaller() {
    if (State().open && State().openThread == GetCurrentThreadId()) return true;
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

void FreeData() {
    for (auto& [format, memory] : State().data)
        State().blocks.erase(reinterpret_cast<std::uintptr_t>(memory));
    State().data.clear();
}

bool IsText(UINT format) {
    return format == CF_TEXT || format == CF_UNICODETEXT;
}

} // namespace

void ResetClipboardState() {
    Guard g(Lock());
    State() = ClipboardState{};
}

} // namespace detail

using namespace detail;

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
    Guard g(Lock());
    const std::uintptr_t handle = State().nextHandle++;
    State().blocks[handle].bytes.assign(bytes, '\0');
    return reinterpret_cast<HGLOBAL>(handle);
}

void* GlobalLock(HGLOBAL memory) {
    Guard g(Lock());
    Block* block = BlockOf(memory);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++block->locks;
    // A block of no bytes still has an address.
    if (block->bytes.empty()) block->bytes.reserve(1);
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory) {
    Guard g(Lock());
    Block* block = BlockOf(memory);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (block->locks > 0) --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL memory) {
    Guard g(Lock());
    Block* block = BlockOf(memory);
    return block ? block->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    Guard g(Lock());
    if (!BlockOf(memory)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    for (auto& [format, held] : State().data)
        if (held == memory) return memory; // the clipboard's now
    State().blocks.erase(reinterpret_cast<std::uintptr_t>(memory));
    return nullptr;
}

BOOL OpenClipboard(HWND owner) {
    Guard g(Lock());
    if (owner && !GetWnd(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    ClipboardState& s = State();
    if (s.open && (s.openThread != GetCurrentThreadId() || s.openWindow != owner)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s.open = true;
    s.openThread = GetCurrentThreadId();
    s.openWindow = owner;
    return TRUE;
}

BOOL CloseClipboard() {
    Guard g(Lock());
    if (!OpenedByCaller()) return FALSE;
    State().open = false;
    State().openThread = 0;
    State().openWindow = nullptr;
    return TRUE;
}

BOOL EmptyClipboard() {
    Guard g(Lock());
    if (!OpenedByCaller()) return FALSE;
    FreeData();
    State().owner = State().openWindow;
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data) {
    Guard g(Lock());
    if (!OpenedByCaller()) return nullptr;
    if (!BlockOf(data)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto it = State().data.find(format);
    if (it != State().data.end() && it->second != data)
        State().blocks.erase(reinterpret_cast<std::uintptr_t>(it->second));
    State().data[format] = data;
    return data;
}

HGLOBAL GetClipboardData(UINT format) {
    Guard g(Lock());
    if (!OpenedByCaller()) return nullptr;
    auto it = State().data.find(format);
    if (it == State().data.end() && IsText(format))
        it = State().data.find(format == CF_TEXT ? CF_UNICODETEXT : CF_TEXT);
    return it == State().data.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    Guard g(Lock());
    const auto& data = State().data;
    if (data.count(format)) return TRUE;
    return IsText(format) && (data.count(CF_TEXT) || data.count(CF_UNICODETEXT)) ? TRUE : FALSE;
}

HWND GetClipboardOwner() {
    Guard g(Lock());
    return GetWnd(State().owner) ? State().owner : nullptr;
}

HWND GetOpenClipboardWindow() {
    Guard g(Lock());
    return State().open && GetWnd(State().openWindow) ? State().openWindow : nullptr;
}

} // namespace win
