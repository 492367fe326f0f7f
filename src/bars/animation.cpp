#include "bars/animation.h"

#include "bars/submenu.h"
#include "bars/system.h"
#include "win/user.h"

namespace bars {

void AnimateMenuShow(TdxBarSubMenuControl* AMenu, TdxBarMenuAnimations) {
    if (!AMenu) return;
    win::SetWindowPos(AMenu->Handle(), nullptr, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                          win::SWP_SHOWWINDOW);
    ProcessPaintMessages();
}

void StopMenuAnimation(TdxBarSubMenuControl*) {}

bool IsMenuAnimating(const TdxBarSubMenuControl*) {
    return false;
}

bool IsSubMenuAnimating() {
    return false;
}

} // namespace bars
