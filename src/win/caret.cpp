// Carets: one per thread, owned by a window of the thread.
#include "win/internal.h"

namespace win {

using namespace detail;

namespace {

// The calling thread's caret when it has one and hwnd (nullptr: any) owns it.
// Locked.
ThreadQueue::Caret* OwnCaret(HWND hwnd) {
    ThreadQueue::Caret& caret = CurrentQueue().caret;
    if (!caret.hwnd || (hwnd && hwnd != caret.hwnd)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return &caret;
}

} // namespace

namespace detail {

void CaretForgetWindow(const Window& w) {
    AssertLocked();
    ThreadQueue* q = QueueOf(w.threadId);
    if (q && q->caret.hwnd == w.handle) q->caret = ThreadQueue::Caret{};
}

} // namespace detail

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    Guard g(Lock());
    const Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    if (w->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ThreadQueue::Caret caret;
    caret.hwnd = hwnd;
    caret.bitmap = bitmap;
    BITMAP info;
    // The value 1 asks for a grey caret, not a bitmap.
    if (bitmap && bitmap != reinterpret_cast<HBITMAP>(1) && GetObject(bitmap, sizeof info, &info)) {
        caret.width = info.bmWidth;
        caret.height = info.bmHeight;
    } else {
        caret.width = width ? width : SystemMetric(SM_CXBORDER);
        caret.height = height ? height : SystemMetric(SM_CYBORDER);
    }
    CurrentQueue().caret = caret;
    return TRUE;
}

BOOL DestroyCaret() {
    Guard g(Lock());
    ThreadQueue::Caret* caret = OwnCaret(nullptr);
    if (!caret) return FALSE;
    *caret = ThreadQueue::Caret{};
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    Guard g(Lock());
    ThreadQueue::Caret* caret = OwnCaret(nullptr);
    if (!caret) return FALSE;
    caret->pos = POINT{x, y};
    return TRUE;
}

BOOL GetCaretPos(POINT* p) {
    Guard g(Lock());
    ThreadQueue::Caret* caret = OwnCaret(nullptr);
    if (!caret || !p) {
        if (!p) SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *p = caret->pos;
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    Guard g(Lock());
    ThreadQueue::Caret* caret = OwnCaret(hwnd);
    if (!caret) return FALSE;
    if (caret->hideCount > 0) --caret->hideCount;
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    Guard g(Lock());
    ThreadQueue::Caret* caret = OwnCaret(hwnd);
    if (!caret) return FALSE;
    ++caret->hideCount;
    return TRUE;
}

BOOL GetGUIThreadInfo(DWORD threadId, GUITHREADINFO* info) {
    if (!info || info->cbSize != sizeof(GUITHREADINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (threadId == 0) threadId = KeyboardThread();
    Guard g(Lock());
    const ThreadQueue* q = threadId ? QueueOf(threadId) : nullptr;
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    auto valid = [](HWND hwnd) { return GetWnd(hwnd) ? hwnd : nullptr; };
    *info = GUITHREADINFO{};
    info->hwndActive = valid(q->active);
    info->hwndFocus = valid(q->focus);
    info->hwndCapture = CaptureOfThread(threadId);
    if (valid(q->caret.hwnd)) {
        info->hwndCaret = q->caret.hwnd;
        info->rcCaret = RECT{q->caret.pos.x, q->caret.pos.y, q->caret.pos.x + q->caret.width,
                             q->caret.pos.y + q->caret.height};
        if (q->caret.hideCount == 0) info->flags |= GUI_CARETBLINKING;
    }
    return TRUE;
}

} // namespace win
