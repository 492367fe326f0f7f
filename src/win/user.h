// The window system's calls: windows, messages, timers, painting, input,
// hooks, activation, screen, layered windows, threads, cursors, resources,
// sounds and message boxes.
#pragma once

#include "win/defs.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace win {

// ============================================================================
// Window classes
// ============================================================================

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr; // a brush or a system colour index + 1
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

// Class names are compared without regard to case. 0 when the name is taken.
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wc);
int GetClassName(HWND hwnd, char* buffer, int size);
std::string GetClassName(HWND hwnd);
LONG_PTR GetClassLongPtr(HWND hwnd, int index);
LONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value);

// ============================================================================
// Windows
// ============================================================================

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetParent(HWND hwnd); // the parent of a child, the owner of a popup
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetTopWindow(HWND hwnd);
HWND GetDesktopWindow();
// Top-level windows in z-order, top first (the test driver and the class library use it).
std::vector<HWND> GetTopLevelWindows();
std::vector<HWND> GetChildWindows(HWND parent); // direct children, top first

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetWindowLong(HWND hwnd, int index) {
    return GetWindowLongPtr(hwnd, index);
}
inline LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) {
    return SetWindowLongPtr(hwnd, index, value);
}
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

BOOL SetProp(HWND hwnd, const char* name, void* data);
void* GetProp(HWND hwnd, const char* name);
void* RemoveProp(HWND hwnd, const char* name);

BOOL SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);
std::string GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
DWORD GetCurrentProcessId();
// The id WM_HELP reports for help asked on the window (HELPINFO::dwContextId).
BOOL SetWindowContextHelpId(HWND hwnd, DWORD contextId);
DWORD GetWindowContextHelpId(HWND hwnd);

// ============================================================================
// Menus
// ============================================================================

// Menus are data here: nothing draws them (a program draws its own). Items
// are found by command (searching submenus too) or by position. Destroying
// a menu destroys its submenus; a window's system menu goes with the window.
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// MF_STRING (text), MF_SEPARATOR, MF_BITMAP (text is the HBITMAP), MF_POPUP
// (idNewItem is the submenu), with MF_GRAYED, MF_DISABLED, MF_CHECKED.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, const char* text);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
int GetMenuItemCount(HMENU menu);             // -1 for a bad handle
UINT GetMenuItemID(HMENU menu, int position); // kNoMenuItem for a submenu or none
HMENU GetSubMenu(HMENU menu, int position);
// The text with its "&" and its tab; the length copied (or the whole length
// when buffer is nullptr), 0 when the item does not exist.
int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags);
std::string GetMenuString(HMENU menu, UINT item, UINT flags);
// MF_ state bits of the item (a submenu's item count in bits 8..15), or
// kNoMenuItem when it does not exist.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags); // kNoMenuItem when none
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);  // kNoMenuItem clears it
// The previous state (MF_GRAYED, MF_DISABLED; MF_CHECKED), or -1.
int EnableMenuItem(HMENU menu, UINT item, UINT enable);
int CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags); // destroys the item's submenu
BOOL RemoveMenu(HMENU menu, UINT item, UINT flags); // keeps it
// The window's own copy of the system menu, made on first use for a window
// with WS_SYSMENU: Restore, Move, Size, Minimize, Maximize, a separator and
// Close ("Ctrl+F4" for an MDI child, "Alt+F4" otherwise), Close the default.
// The first five are enabled by the window's state at every call. revert
// destroys the copy (returns nullptr).
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// ============================================================================
// MDI
// ============================================================================

// The system class "MDICLIENT" (CLIENTCREATESTRUCT as creation data) keeps
// the MDI children of a frame: windows created with WS_EX_MDICHILD as its
// children, or through WM_MDICREATE. A child is activated through
// WM_CHILDACTIVATE, which its procedure passes to DefMDIChildProc; while the
// active child is maximized, any child that becomes active is maximized and
// the previous one restored.
LRESULT DefFrameProc(HWND hwnd, HWND mdiClient, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 closes the active child, Ctrl+F6 (Ctrl+Tab) activates the next one
// (with Shift the previous one); TRUE when the key was taken.
BOOL TranslateMDISysAccel(HWND mdiClient, const MSG* msg);

// ============================================================================
// Geometry and z-order
// ============================================================================

BOOL GetWindowRect(HWND hwnd, RECT* r); // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* r); // (0, 0, width, height)
BOOL ClientToScreen(HWND hwnd, POINT* p);
BOOL ScreenToClient(HWND hwnd, POINT* p);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL BringWindowToTop(HWND hwnd);
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);
HWND WindowFromPoint(POINT p);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);
HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags);
// The window takes ownership of the region (window coordinates); nullptr removes it.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);

// ============================================================================
// Messages and loops
// ============================================================================

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           std::uintptr_t* result);
BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL InSendMessage();
// Thrown by a wait under the manual clock (driver.h) when nothing can ever
// arrive; never under the real clock. The text names the call that waits,
// after the loops around it that named themselves (NameTheWait).
struct WouldWaitForever : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Runs `wait`, a call of a loop that may wait; a wait that would last forever
// names the loop in front of what it says.
template <class F> auto NameTheWait(const std::string& loop, F&& wait) -> decltype(wait()) {
    try {
        return wait();
    } catch (const WouldWaitForever& e) {
        throw WouldWaitForever(loop + ": " + e.what());
    }
}

// 0 on WM_QUIT, -1 on error (a bad window filter), else non-zero.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
// WaitMessage and MsgWaitForMultipleObjects end for messages that arrived
// since the thread last looked at its queue (PeekMessage, GetMessage, these
// waits, GetQueueStatus); a message seen and left there does not end them.
// Messages sent by other threads end them until served.
BOOL WaitMessage();
// HIWORD: the kinds of message in the queue; LOWORD: those that arrived since
// the thread last looked.
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
LONG GetMessageTime();
DWORD GetMessagePos();
UINT RegisterWindowMessage(const char* name);
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);

// ============================================================================
// Timers and time
// ============================================================================

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// ============================================================================
// Painting
// ============================================================================

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags);
// GetDC(nullptr) (or the desktop window's DC) draws on the composed screen,
// over the windows, until drawn again (an inverted drag frame goes when
// inverted once more).
HDC GetDC(HWND hwnd);
// The clip region stays the caller's. DCX_LOCKWINDOWUPDATE draws where the
// update lock keeps other DCs out.
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);
// Locks one window (the desktop window: all of them): its DCs and those of its
// descendants draw nothing, nor do screen DCs over it, and what they would
// have drawn is invalidated when LockWindowUpdate(nullptr) releases the lock.
BOOL LockWindowUpdate(HWND hwnd);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);

// ============================================================================
// Scroll bars of a window's frame (SB_HORZ, SB_VERT; SB_BOTH for ShowScrollBar)
// ============================================================================

// A bar starts with the range 0 to 100, position 0 and no page. The position
// stays within min .. max - (page - 1). A range that leaves nothing to scroll
// (min >= max, or a page larger than max - min) takes the bar away (the
// window loses WS_VSCROLL or WS_HSCROLL), unless SIF_DISABLENOSCROLL keeps it,
// disabled; a range with something to scroll shows it again. While the thumb
// is dragged, SIF_TRACKPOS reads where it is. SetScrollInfo and SetScrollPos
// return the position (SetScrollPos the one before).
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// ============================================================================
// Clipboard and global memory
// ============================================================================

// One clipboard for the process. A window opens it (one at a time, nullptr
// for the calling thread), EmptyClipboard makes the opener its owner, and the
// data handed to SetClipboardData belongs to the clipboard from then on. Text
// is UTF-8 in either text format; one format is read as the other too.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
HGLOBAL GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

// Blocks of memory behind checked handles. GlobalFree returns nullptr on success.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

// ============================================================================
// Input: mouse, keyboard, capture
// ============================================================================

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state256);
BOOL SetKeyboardState(const BYTE* state256);
SHORT VkKeyScan(char ch);
UINT MapVirtualKey(UINT code, UINT mapType);
// The characters a key types, as code points in `buffer`; returns how many
// (0 for a key that types nothing). There are no keyboard layouts here: a key
// press carries the text it types (see InjectKey), so a press of the key that
// is being delivered or waits for TranslateMessage answers with its own text;
// otherwise the US key map with the modifiers of `keyState` answers.
int ToUnicode(UINT virtKey, UINT scanCode, const BYTE* keyState, char32_t* buffer, int bufferSize,
              UINT flags);
UINT GetDoubleClickTime();
BOOL SwapMouseButton(BOOL swap);

// ============================================================================
// Hooks
// ============================================================================

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ============================================================================
// Activation and focus
// ============================================================================

HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// The active, focus, capture and caret windows of a thread (0: the thread
// that has the keyboard).
BOOL GetGUIThreadInfo(DWORD threadId, GUITHREADINFO* info);

// ============================================================================
// Carets
// ============================================================================

// A thread has one caret, owned by one of its windows and placed in that
// window's client coordinates. A new caret replaces the thread's old one; a
// caret starts hidden and goes with its window. With a bitmap the caret takes
// the bitmap's size; a width or height of 0 is the window border's.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* p);
// Hiding counts: the caret shows again after as many ShowCaret calls.
// nullptr names the caret's own window; another window fails.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);

// ============================================================================
// Screen, monitors and system parameters
// ============================================================================

int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT* r, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data);

// ============================================================================
// Layered windows and animation
// ============================================================================

BOOL UpdateLayeredWindow(HWND hwnd, HDC dstDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF key, const BLENDFUNCTION* blend, DWORD flags);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL AnimateWindow(HWND hwnd, DWORD time, DWORD flags);

// Optional entry points looked up by name, as the library binds them at start:
// "TrackMouseEvent", "UpdateLayeredWindow", "SetLayeredWindowAttributes",
// "AnimateWindow". Nullptr when unknown or marked missing by a test.
void* GetProcAddress(HMODULE module, const char* name);
HMODULE GetModuleHandle(const char* name); // "user32" and nullptr (the program) exist

// ============================================================================
// Threads and waits
// ============================================================================

DWORD GetCurrentThreadId();
HANDLE CreateThread(void* security, std::size_t stackSize, THREAD_START_ROUTINE start, void* param,
                    DWORD flags, DWORD* threadId);
// Event objects: a manual-reset event stays set until reset; an auto-reset
// one releases a single waiter and resets. A name opens the event of that name
// when one exists (the last error is then ERROR_ALREADY_EXISTS).
HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Waits on a thread (until it ends) or an event (until it is set). Under the
// manual clock a wait with a timeout moves the clock to its end as Sleep does,
// once other threads have had a moment to signal.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
BOOL CloseHandle(HANDLE handle);
constexpr DWORD STILL_ACTIVE = 259;

// ============================================================================
// Cursors, resources, sounds, message boxes
// ============================================================================

HCURSOR LoadCursor(HINSTANCE instance, ResName name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
HBITMAP LoadBitmap(HINSTANCE instance, ResName name);
HICON LoadIcon(HINSTANCE instance, ResName name);
// A new icon (IMAGE_ICON) or bitmap (IMAGE_BITMAP) scaled to cx x cy (0: its
// own size); the caller destroys it.
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);
int LoadString(HINSTANCE instance, UINT id, char* buffer, int size);
std::string LoadString(HINSTANCE instance, UINT id);

// Resources of a module; a library fills its module's registry with its own
// artwork at start-up. Adding replaces an entry of the same type and name.
enum class ResType { Bitmap, Cursor, Icon, String, Data };
struct ResourceEntry {
    ResType type = ResType::Data;
    std::string name; // upper-cased names; integer ids as "#123"
    HBITMAP bitmap{}; // Bitmap: owned by the registry
    HICON icon{};     // Cursor, Icon: owned by the registry
    std::string data; // String text, raw Data
};
HMODULE RegisterModule(const char* name);
BOOL AddResource(HMODULE module, ResType type, ResName name, HBITMAP bitmap, HICON icon,
                 const std::string& data);
const ResourceEntry* FindResource(HMODULE module, ResName name, ResType type);
// Raw data resources (form resources among them) as the program reads them:
// the entry FindResource found, its bytes (which live as long as the entry)
// and their count. A null entry gives nullptr and 0.
using HRSRC = const ResourceEntry*;
inline constexpr ResType RT_RCDATA = ResType::Data;
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

BOOL PlaySound(const char* sound, HMODULE module, DWORD flags);
BOOL MessageBeep(UINT type);
// A message-box handler (win/driver.h) answers first; otherwise the dialog
// installed here shows and waits for the user; with neither the box answers
// its default button.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
using MessageBoxDialogProc = int (*)(HWND owner, const std::string& text, const std::string& caption,
                                     UINT type);
// The class library installs its dialog; nullptr removes it. Returns the previous one.
MessageBoxDialogProc SetMessageBoxDialog(MessageBoxDialogProc proc);

} // namespace win
