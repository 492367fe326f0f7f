// The one shape of every modal loop: a popup menu's, a drag's, a button's
// capture tracking. The loop pumps the thread's messages, hands each to the
// caller's filter, and ends on the caller's condition, when the window it
// holds the capture for loses it, when the window it runs for is destroyed,
// or on WM_QUIT, which it posts again for the loops outside. Its answer says
// which of these ended it.
#pragma once

#include "win/user.h"

#include <functional>

namespace cls {

enum class TModalLoopEnd {
    Ended,           // the caller's condition turned false, or its filter stopped the loop
    CaptureLost,     // Capture no longer holds the mouse capture
    WindowDestroyed, // Window is no window any more
    Quit,            // WM_QUIT arrived and was posted again
    Failed,          // GetMessage failed
};

// What the filter made of a message.
enum class TModalMessage {
    Dispatch, // translate and dispatch it as usual
    Handled,  // the filter dealt with it
    Stop,     // the filter dealt with it, and the loop ends
};

// What becomes of a message whose wait ended the loop (something dispatched
// inside GetMessage, such as a message sent from another thread, met an end
// condition): dispatched as usual, or posted again for the loop outside.
enum class TModalLateMessage { Dispatch, Repost };

struct TModalLoop {
    // The loop ends as soon as this window no longer holds the capture.
    win::HWND Capture = nullptr;
    // The loop ends as soon as this window is destroyed.
    win::HWND Window = nullptr;
    // Asked before every wait and after every message; false ends the loop.
    // It is where the caller checks that what it goes on using is alive.
    std::function<bool()> Running;
    // Sees every message the loop fetches while it runs; none dispatches all.
    std::function<TModalMessage(win::MSG&)> Filter;
    TModalLateMessage LateMessage = TModalLateMessage::Dispatch;

    TModalLoopEnd Run() const;
};

// Holds the mouse on Wnd after a left press at the screen point Pos and
// tells whether the user drags: true once the mouse leaves the drag
// rectangle around Pos (SM_CXDRAG x SM_CYDRAG on each side), false when the
// button comes up, Esc is pressed, the capture is lost or the loop quits.
bool DragDetect(win::HWND Wnd, win::POINT Pos);

} // namespace cls
