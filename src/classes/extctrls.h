// TTimer: OnTimer every Interval milliseconds while Enabled, through a window
// timer on a hidden window of its own.
#pragma once

#include "classes/component.h"
#include "classes/controls.h"
#include "classes/events.h"

namespace cls {

inline constexpr TResStringRec SNoTimers{1320, "Not enough timers available"};

class TTimer : public TComponent {
    TRESTLE_CLASS(TTimer, TComponent)
public:
    // Enabled, 1000 ms; the timer runs once OnTimer is assigned.
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    void GetPublishedProperties(TPublishedProperties& AList) override;

protected:
    // Runs OnTimer.
    virtual void Timer();

private:
    // Restarts the window timer (raises EOutOfResources when none is to be had).
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    win::HWND FWindowHandle = nullptr;
};

} // namespace cls
