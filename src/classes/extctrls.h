// TTimer: OnTimer every Interval milliseconds while Enabled, through a window
// timer on a hidden window of its own. TPanel: a raised or lowered surface
// that holds other controls. TBevel: a line or frame in 3-D look.
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

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
    TRESTLE_CLASS(TPanel, TCustomControl)
public:
    // 185 x 41, raised outer bevel, clBtnFace, the caption centred.
    explicit TPanel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;

private:
    int BevelSize() const;

    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    TRESTLE_CLASS(TBevel, TGraphicControl)
public:
    // 50 x 50, a lowered box.
    explicit TBevel(TComponent* AOwner);

    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

} // namespace cls
