// Puts the whole window system back to its state at start: the parts reset
// their own state once the windows are gone.
#include "win/internal.h"
#include "win/theme.h"

namespace win {

void ResetWindowSystem() {
    // Hooks first, so that no hook left by a test watches the destruction.
    {
        detail::Guard g(detail::Lock());
        detail::RemoveThreadHooks(detail::CurrentQueue());
    }
    detail::DestroyThreadWindows(GetCurrentThreadId());
    detail::ResetInputState();
    detail::ResetMessageState();
    detail::ResetScreenState();
    detail::ResetThemeState();
}

} // namespace win
