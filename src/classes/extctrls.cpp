#include "classes/extctrls.h"

#include "classes/forms.h"
#include "classes/typinfo.h"

namespace cls {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    FEnabled = false;
    if (FWindowHandle) DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    // The window goes when the window system is reset; a new one is made on demand.
    if (FWindowHandle && !win::IsWindow(FWindowHandle)) FWindowHandle = nullptr;
    if (FWindowHandle) win::KillTimer(FWindowHandle, 1);
    if (FInterval == 0 || !FEnabled || !FOnTimer) return;
    if (!FWindowHandle) FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
    if (!win::SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfResources(SNoTimers);
}

void TTimer::Timer() {
    FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg != win::WM_TIMER) {
        Message.Result = win::DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TComponentGuard Guard(this);
    try {
        Timer();
    } catch (...) {
        Application->HandleException(Guard.Alive() ? this : nullptr);
    }
}

void TTimer::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
    AList.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
    AList.Event("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

} // namespace cls
