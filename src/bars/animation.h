// The show animation of menu windows.
//
// Unfold (the window grows in both directions) and slide (it grows in height
// while its rows slide out) run on a worker thread, one animation at a time
// in the process. The finished menu is painted once into an off-screen image;
// the worker paces the frames by the tick counter and has each one drawn by
// the menu's own (GUI) thread, which serves it inside its message waits: the
// window is sized and the frame's part of the image copied in, so every
// window operation stays on the thread that owns the window. Fade blends the
// window in through the system's AnimateWindow when the system has it.
//
// The GUI thread stops a running animation before it handles input for the
// window and before it destroys the window's handle: the stop flag is set and
// the thread waits for the worker while serving sent messages (posted ones
// stay queued). A stopped animation leaves the window fully shown at its
// place, unless the window is closing.
#pragma once

#include "bars/types.h"

namespace bars {

// Shows AMenu's window, created, placed and still hidden, with the animation
// AKind. maRandom picks unfold, slide or fade anew for every show; maNone,
// and maFade on a system without AnimateWindow, show the window at once
// without activating it. Unfold and slide return once the worker runs; a
// menu placed to the left of / above its owner grows leftward / upward.
// An animation running for another window is stopped first.
void AnimateMenuShow(TdxBarSubMenuControl* AMenu, TdxBarMenuAnimations AKind);
// GUI thread: stops AMenu's running animation and returns once its thread
// has ended; nothing happens for another window or when none runs. Asked
// while a frame of it is being drawn (the worker waits for that frame), the
// animation ends right after the frame, from the thread's queue.
void StopMenuAnimation(TdxBarSubMenuControl* AMenu);
// AMenu's window is being animated: it must not paint itself meanwhile.
bool IsMenuAnimating(const TdxBarSubMenuControl* AMenu);
// Some menu window is being animated.
bool IsSubMenuAnimating();

} // namespace bars
