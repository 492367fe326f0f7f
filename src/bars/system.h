// What the toolbar library asks of the system: the optional entry points of
// the user module, the screen's colour depth, the library's cursors, menu
// sounds, menu fonts, message pumps, mouse-leave tracking, the layered-window
// fade, window look-ups and a few small helpers on items and texts.
#pragma once

#include "bars/types.h"
#include "classes/object.h"
#include "win/defs.h"

#include <string>

namespace cls {
class TFont;
class TWinControl;
} // namespace cls

namespace bars {

using win::BOOL;
using win::BYTE;
using win::HWND;
using win::POINT;
using win::RECT;

// ============================================================================
// Optional entry points of the user module
// ============================================================================

using TTrackMouseEventFunc = BOOL (*)(win::TRACKMOUSEEVENT*);
using TUpdateLayeredWindowFunc = BOOL (*)(HWND, win::HDC, const POINT*, const win::SIZE*, win::HDC,
                                          const POINT*, win::COLORREF, const win::BLENDFUNCTION*, win::DWORD);
using TAnimateWindowFunc = BOOL (*)(HWND, win::DWORD, win::DWORD);
using TSetLayeredWindowAttributesFunc = BOOL (*)(HWND, win::COLORREF, BYTE, win::DWORD);

// Each is nullptr when the system lacks it; every user tests it first.
struct TUser32EntryPoints {
    win::HMODULE Module = nullptr;
    TTrackMouseEventFunc TrackMouseEvent = nullptr;
    TUpdateLayeredWindowFunc UpdateLayeredWindow = nullptr;
    TAnimateWindowFunc AnimateWindow = nullptr;
    TSetLayeredWindowAttributesFunc SetLayeredWindowAttributes = nullptr;
};

const TUser32EntryPoints& User32EntryPoints();
// Looks the four entry points up by name (the library's start does it).
void BindUser32EntryPoints();
void ReleaseUser32EntryPoints();

// ============================================================================
// Screen and cursors
// ============================================================================

// BITSPIXEL of the screen, read at start and on a system colour change.
void UpdateScreenBitsPerPixel();
int ScreenBitsPerPixel();

// The screen cursors of link dragging and edit sizing.
constexpr int crdxBarDrag = 1041;
constexpr int crdxBarDragCopy = 1042;
constexpr int crdxBarDragNoDrop = 1043;
constexpr int crdxBarEditSizing = 1044;
// Puts the library's cursor artwork into the program's resources (unless the
// program brings cursors of those names) and stores the cursors in the
// screen's cursor list under the numbers above.
void LoadBarCursors();

// ============================================================================
// Sounds and fonts
// ============================================================================

// The menu sounds: entry 2 has no alias and stops the current sound.
constexpr int BarSoundMenuPopup = 0;
constexpr int BarSoundMenuCommand = 1;
constexpr int BarSoundStop = 2;

bool BarSoundsEnabled();
void SetBarSoundsEnabled(bool Value);
void PlayBarSound(int AIndex);
void StopBarSound();

// Replaces AHandle (deleting a previous one) with a copy of AFont's font;
// with AUseIconTitleHeight its height is the icon-title font's, but never
// smaller than 11 pixels (-11).
void CreateBarFontHandle(cls::TFont* AFont, win::HFONT& AHandle, bool AUseIconTitleHeight);
// A new font handle made from AFont's description.
win::HFONT CopyFontHandle(cls::TFont* AFont);

// ============================================================================
// Message pumps and mouse tracking
// ============================================================================

// Dispatch the waiting paint messages / mouse messages of the thread. A quit
// request met on the way is posted again and ends the pump.
void ProcessPaintMessages();
void ProcessMouseMessages();

// WM_MOUSELEAVE for bar windows and item controls. Without the system's
// TrackMouseEvent a 50 ms timer watches the window under the cursor; one
// window at a time is tracked that way.
void BeginMouseLeaveTracking(HWND AWnd);
void EndMouseLeaveTracking(HWND AWnd);
bool IsTrackingMouseLeave(HWND AWnd);

// Alpha below 255 makes the window layered with that opacity; 255 makes it
// plain again. Nothing happens without SetLayeredWindowAttributes.
void SetLayeredWindowAlpha(HWND AWnd, BYTE AAlpha);

// ============================================================================
// Windows and the mouse
// ============================================================================

// True when AAncestor is a parent (or owner) of AWnd, at any depth.
bool IsWindowAncestor(HWND AWnd, HWND AAncestor);
// The deepest visible window at a screen point.
HWND GetWindowFromScreenPoint(POINT P);
HWND GetDeepestChildAtPoint(HWND AWnd, POINT AScreenPoint);
// The control of AWnd or of its nearest parent window that has one.
cls::TWinControl* FindControlOfWindow(HWND AWnd);
void GetWorkAreaFromPoint(POINT P, RECT& R);
// The physical buttons, with swapped buttons taken into account.
bool IsPrimaryMouseButtonDown();
bool IsSecondaryMouseButtonDown();

// Sets a flag for a scope and restores its previous value on every way out.
class TFlagGuard {
public:
    TFlagGuard(bool& AFlag, bool AValue) : FFlag(AFlag), FPrev(AFlag) { FFlag = AValue; }
    ~TFlagGuard() { FFlag = FPrev; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
    bool FPrev;
};

// ============================================================================
// Items and texts
// ============================================================================

TdxBarItemVisible BooleanToItemVisible(bool Value);
// The class name without its first letter and the first number from 1 that
// no item of the manager carries in its name (compared without case):
// "dxBarButton1" for the first button.
std::string GetUniqueItemName(TdxBarManager* ABarManager, cls::TClass AItemClass);
// A link is at least 20 pixels wide.
void CheckItemLinkWidth(int& AWidth);
// Removes the accelerator marks: each "&" but a final one goes, and the
// character after it is kept as it is ("&&" leaves "&").
std::string RemoveAccelChars(const std::string& S);
void BarManagerDesignerModified(TdxBarManager* ABarManager);

} // namespace bars
