#include "classes/extctrls.h"

#include "classes/forms.h"
#include "classes/typinfo.h"
#include "gfx/draw.h"

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


// ============================================================================
// TPanel
// ============================================================================

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,
                                  csSetCaption,      csOpaque,       csDoubleClicks};
    SetBounds(0, 0, 185, 41);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TPanel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) {
        inherited::Dispatch(Message);
        Invalidate();
        return;
    }
    inherited::Dispatch(Message);
}

int TPanel::BevelSize() const {
    return ((FBevelOuter != bvNone) + (FBevelInner != bvNone)) * FBevelWidth + FBorderWidth;
}

void TPanel::AdjustClientRect(TRect& Rect) {
    inherited::AdjustClientRect(Rect);
    gfx::InflateRect(&Rect, -BevelSize(), -BevelSize());
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TPanel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    gfx::HDC DC = C->Handle();
    const auto Bevel = [&](TPanelBevel B) {
        if (B == bvNone) return;
        for (int I = 0; I < FBevelWidth; ++I) {
            if (B != bvSpace)
                gfx::DrawEdge(DC, &R, B == bvLowered ? gfx::BDR_SUNKENOUTER : gfx::BDR_RAISEDINNER,
                              gfx::BF_RECT);
            gfx::InflateRect(&R, -1, -1);
        }
    };
    Bevel(FBevelOuter);
    gfx::InflateRect(&R, -FBorderWidth, -FBorderWidth);
    Bevel(FBevelInner);
    const std::string Text = Caption();
    if (Text.empty()) return;
    C->Font()->Assign(Font());
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    gfx::SetTextColor(DC, ColorToRGB(Font()->Color()));
    gfx::DrawText(DC, Text, &R, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
}

// ============================================================================
// TBevel
// ============================================================================

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* C = Canvas();
    const TColor Dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor Light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int W = Width(), H = Height();
    const auto Line = [C](TColor Color, int X1, int Y1, int X2, int Y2) {
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    switch (FShape) {
        case bsBox:
        case bsFrame:
            Line(Dark, 0, H - 1, 0, 0);
            Line(Dark, 0, 0, W - 1, 0);
            Line(Light, W - 1, 0, W - 1, H - 1);
            Line(Light, W - 1, H - 1, -1, H - 1);
            if (FShape == bsFrame) {
                Line(Light, 1, H - 2, 1, 1);
                Line(Light, 1, 1, W - 2, 1);
                Line(Dark, W - 2, 1, W - 2, H - 2);
                Line(Dark, W - 2, H - 2, 0, H - 2);
            }
            break;
        case bsTopLine:
            Line(Dark, 0, 0, W, 0);
            Line(Light, 0, 1, W, 1);
            break;
        case bsBottomLine:
            Line(Dark, 0, H - 2, W, H - 2);
            Line(Light, 0, H - 1, W, H - 1);
            break;
        case bsLeftLine:
            Line(Dark, 0, 0, 0, H);
            Line(Light, 1, 0, 1, H);
            break;
        case bsRightLine:
            Line(Dark, W - 2, 0, W - 2, H);
            Line(Light, W - 1, 0, W - 1, H);
            break;
        case bsSpacer:
            break;
    }
}

} // namespace cls
