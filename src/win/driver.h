// Control of the window system from outside the program: the clock, input
// injection, the screen and system settings, the compositor, recorded sounds,
// message-box answers and optional entry points. Tests (through the test
// driver) and presenters use it; the library never does.
#pragma once

#include "win/theme.h"
#include "win/user.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace win {

// ============================================================================
// Clock
// ============================================================================

// One clock serves the whole system. A manual clock moves only when told to
// (AdvanceClock) or when a thread sleeps (Sleep advances it by the time asked).
void SetManualClock(bool manual);
bool IsManualClock();
// Milliseconds since the window system started (or since the manual clock was set).
std::uint64_t ClockNow();
// Moves a manual clock forward; timers that come due fire, in order, when the
// owning threads next retrieve messages.
void AdvanceClock(DWORD milliseconds);
// GetTickCount's resolution (default 10 ms).
void SetTickResolution(DWORD milliseconds);

// A thread about to block in GetMessage, WaitMessage or MsgWaitForMultipleObjects
// under a manual clock first calls the idle handler; a handler returns true when
// it did something (injected input, advanced the clock, posted a message). When
// it did nothing and a timer is pending, the clock jumps to the earliest timer.
// When nothing can ever arrive, the wait throws WouldWaitForever.
using IdleHandler = std::function<bool()>;
void SetIdleHandler(IdleHandler handler);

// ============================================================================
// Input injection (screen coordinates)
// ============================================================================

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };
void InjectMouseMove(POINT screenPoint);
void InjectMouseButton(MouseButton button, bool down);
void InjectMouseWheel(int delta);
// `chars` is the UTF-8 text the key produces (TranslateMessage turns it into
// WM_CHAR); nullptr uses the US key map.
void InjectKey(int vk, bool down, const char* chars = nullptr);
// Another application took the foreground (false) or gave it back (true):
// WM_ACTIVATEAPP and the activation messages follow.
void SetApplicationForeground(bool foreground);

// ============================================================================
// Screen and system settings (each change is broadcast to top-level windows)
// ============================================================================

struct MonitorConfig {
    RECT rect{};
    RECT work{};
};
// Default: one 1024 x 768 monitor with a 30-pixel strip reserved at the bottom.
// Broadcasts WM_DISPLAYCHANGE.
void SetScreen(int bitsPerPixel, const std::vector<MonitorConfig>& monitors);
void SetWorkArea(int monitorIndex, const RECT& work);      // WM_SETTINGCHANGE(SPI_SETWORKAREA)
void SetSystemMetric(int index, int value);                // WM_SETTINGCHANGE(0)
void SetNonClientMetrics(const NONCLIENTMETRICS& metrics); // WM_SETTINGCHANGE(SPI_SETNONCLIENTMETRICS)
void SetIconTitleFont(const LOGFONT& font);                // WM_SETTINGCHANGE(SPI_SETICONTITLELOGFONT)
void SetSystemParameter(UINT spiGetAction, int value);     // SPI_GETMENUSHOWDELAY, SPI_GETKEYBOARDCUES, ...
void SetHighContrast(bool on);                             // WM_SETTINGCHANGE(SPI_SETHIGHCONTRAST)
void ChangeSysColors(const ColorScheme& scheme);           // WM_SYSCOLORCHANGE
void SetDoubleClickTime(UINT milliseconds);
// The visual style is chosen with SetTheme (win/theme.h); a reset goes back
// to the classic look.

// ============================================================================
// Compositor
// ============================================================================

// Brings the screen image up to date with the window surfaces; returns the
// screen rectangle that changed (empty when nothing did).
RECT ComposeScreen();
// The composed screen (owned by the window system; do not delete).
HBITMAP GetScreenBitmap();
bool SnapshotScreen(const std::string& pngPath);
bool SnapshotRect(const RECT& screenRect, const std::string& pngPath);
// The window as it shows on the screen, shadows and other windows excluded.
bool SnapshotWindow(HWND hwnd, const std::string& pngPath);
// The screen colour at a point, after composing.
COLORREF ScreenPixel(POINT p);

// ============================================================================
// Recorded effects and answers
// ============================================================================

struct PlayedSound {
    std::string name; // the alias or file name; empty for a stop request
    DWORD flags = 0;
    std::uint64_t time = 0;
};
std::vector<PlayedSound> GetPlayedSounds();
void ClearPlayedSounds();

using MessageBoxHandler =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
// Without a handler MessageBox answers the default button (IDOK, IDYES, ...).
void SetMessageBoxHandler(MessageBoxHandler handler);

// Marks an optional entry point (GetProcAddress on "user32") missing or present.
void SetEntryPointMissing(const char* name, bool missing);

// ============================================================================
// Whole-system reset (between tests)
// ============================================================================

// Destroys every window, removes hooks, timers, classes registered by the
// program, queued messages and input state, and restores the default screen,
// metrics, colours, clock and cursor. Only for a thread that owns all windows.
void ResetWindowSystem();

} // namespace win
