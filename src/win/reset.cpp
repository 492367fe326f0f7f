// Puts the whole window system back to its state at start: the parts reset
// their own state once the windows are gone.
#include "win/internal.h"
#include "win/theme.h"

namespace win {

void ResetWindowSystem() {
    using namespace detail;
    // Hooks first, so that no hook left by a test watches the destruction.
    RemoveThreadHooks(CurrentQueue());
    DestroyThreadWindows(GetCurrentThreadId());
    ResetInputState();
    ResetFocusState();
    ResetCursorState();
    ResetHooks();
    ResetWindowState();
    ResetClassState();
    ResetMessageState();
    ResetPaintState();
    ResetClock();
    ResetScreenState();
    ResetCompositorState();
    ResetResourceState();
    ResetSoundState();
    ResetClipboardState();
    ResetMenuState();
    ResetThemeState();
}

} // namespace win
