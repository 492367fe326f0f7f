#include "classes/buttons.h"

#include "classes/sysutils.h"
#include "gfx/draw.h"
#include "win/theme.h"

namespace cls {

using win::LPARAM;

char32_t GetAccelChar(const std::string& Caption) {
    char32_t Result = 0;
    std::size_t I = 0;
    while (I < Caption.size()) {
        if (Caption[I] != '&') {
            I += static_cast<std::size_t>(Utf8CharLength(Caption, I));
            continue;
        }
        if (I + 1 >= Caption.size()) break;
        if (Caption[I + 1] == '&') {
            I += 2;
            continue;
        }
        Result = Utf8Decode(Caption, I + 1);
        ++I;
    }
    return Result ? UnicodeUpper(Result) : 0;
}

bool IsAccel(char32_t Key, const std::string& Caption) {
    const char32_t C = GetAccelChar(Caption);
    return C != 0 && UnicodeUpper(Key) == C;
}

namespace {

// Draws a caption with its mnemonic underlined, greyed the classic way
// (embossed) when disabled.
void DrawCaption(TCanvas* Canvas, TRect R, const std::string& Text, bool Enabled, win::UINT Flags) {
    gfx::HDC DC = Canvas->Handle();
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    if (!Enabled) {
        TRect Shifted = R;
        gfx::OffsetRect(&Shifted, 1, 1);
        gfx::SetTextColor(DC, ColorToRGB(clBtnHighlight));
        gfx::DrawText(DC, Text, &Shifted, Flags);
        gfx::SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
        gfx::SetTextColor(DC, ColorToRGB(Canvas->Font()->Color()));
    }
    gfx::DrawText(DC, Text, &R, Flags);
}

// The "Button" theme data of a control's window, closed on every way out.
class TButtonTheme {
public:
    explicit TButtonTheme(TWinControl* Control)
        : FTheme(win::IsAppThemed() ? win::OpenThemeData(Control->Handle(), "Button") : nullptr) {}
    ~TButtonTheme() {
        if (FTheme) win::CloseThemeData(FTheme);
    }
    TButtonTheme(const TButtonTheme&) = delete;
    TButtonTheme& operator=(const TButtonTheme&) = delete;
    explicit operator bool() const { return FTheme != nullptr; }
    win::HTHEME Get() const { return FTheme; }

private:
    win::HTHEME FTheme;
};

bool PointIn(TControl* Control, int X, int Y) {
    return X >= 0 && Y >= 0 && X < Control->Width() && Y < Control->Height();
}

} // namespace

// ============================================================================
// TButton
// ============================================================================

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csCaptureMouse, csOpaque};
    FTabStop = true;
    SetBounds(0, 0, 75, 25);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW | win::CS_DBLCLKS);
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGKEY: {
            const auto Key = TWMKey{Message}.CharCode();
            if (((Key == win::VK_RETURN && IsActive()) || (Key == win::VK_ESCAPE && FCancel)) &&
                (win::GetKeyState(win::VK_MENU) >= 0) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        }
        case CM_DIALOGCHAR:
            if (IsAccel(TWMChar{Message}.CharCode(), Caption()) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_FOCUSCHANGED:
            if (FDefault) Invalidate();
            break;
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            if (Message.Msg == win::WM_KILLFOCUS) SetPressed(false);
            Invalidate();
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (Message.LParam == 0) {
                FMouseInControl = Message.Msg == CM_MOUSEENTER;
                if (win::IsAppThemed()) Invalidate();
            }
            break;
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            Invalidate();
            break;
        default:
            break;
    }
    inherited::Dispatch(Message);
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    Invalidate();
}

bool TButton::IsActive() {
    if (Focused()) return true;
    if (!FDefault) return false;
    TCustomForm* Form = GetParentForm(this);
    return !Form || !dynamic_cast<TButton*>(Form->ActiveControl()) || !Form->ActiveControl()->Focused();
}

void TButton::Click() {
    if (FModalResult != mrNone)
        if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
    inherited::Click();
}

void TButton::SetPressed(bool Value) {
    if (FPressed == Value) return;
    FPressed = Value;
    Invalidate();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        TComponentGuard Guard(this);
        if (CanFocus() && !Focused()) SetFocus();
        if (!Guard.Alive()) return;
        FTracking = true;
        SetPressed(true);
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking) SetPressed(PointIn(this, X, Y));
    inherited::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool WasTracking = FTracking && Button == mbLeft;
    if (WasTracking) {
        FTracking = false;
        SetPressed(false);
    }
    TComponentGuard Guard(this);
    inherited::MouseUp(Button, Shift, X, Y);
    if (Guard.Alive() && WasTracking && PointIn(this, X, Y)) Click();
}

void TButton::KeyDown(win::WORD& Key, TShiftState Shift) {
    if (Key == win::VK_SPACE) SetPressed(true);
    inherited::KeyDown(Key, Shift);
}

void TButton::KeyUp(win::WORD& Key, TShiftState Shift) {
    const bool Clicks = Key == win::VK_SPACE && FPressed;
    if (Key == win::VK_SPACE) SetPressed(false);
    TComponentGuard Guard(this);
    inherited::KeyUp(Key, Shift);
    if (Clicks && Guard.Alive()) Click();
}

void TButton::Paint() {
    TRect R = ClientRect();
    TCanvas* C = Canvas();
    gfx::HDC DC = C->Handle();
    const bool Active = IsActive();
    const bool Enabled = this->Enabled();
    TButtonTheme Theme(this);
    C->Font()->Assign(Font());
    if (Theme) {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
        int State = win::PBS_NORMAL;
        if (!Enabled)
            State = win::PBS_DISABLED;
        else if (FPressed)
            State = win::PBS_PRESSED;
        else if (FMouseInControl)
            State = win::PBS_HOT;
        else if (Active)
            State = win::PBS_DEFAULTED;
        win::DrawThemeBackground(Theme.Get(), DC, win::BP_PUSHBUTTON, State, &R, nullptr);
    } else {
        if (Active) {
            C->Brush()->SetColor(clWindowFrame);
            C->FrameRect(R);
            gfx::InflateRect(&R, -1, -1);
        }
        if (FPressed && Active) {
            C->Brush()->SetColor(clBtnShadow);
            C->FrameRect(R);
            gfx::InflateRect(&R, -1, -1);
            C->Brush()->SetColor(clBtnFace);
            C->FillRect(R);
            gfx::InflateRect(&R, 1, 1);
        } else {
            gfx::DrawFrameControl(DC, &R, gfx::DFC_BUTTON,
                                  gfx::DFCS_BUTTONPUSH | (FPressed ? win::UINT{gfx::DFCS_PUSHED} : 0u));
        }
    }
    TRect Text = ClientRect();
    if (FPressed && !Theme) gfx::OffsetRect(&Text, 1, 1);
    DrawCaption(C, Text, Caption(), Enabled, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
    if (Focused()) {
        TRect Focus = ClientRect();
        gfx::InflateRect(&Focus, -4, -4);
        C->Brush()->SetColor(clBtnFace);
        gfx::SetTextColor(DC, ColorToRGB(clBtnText));
        gfx::DrawFocusRect(DC, &Focus);
    }
}

// ============================================================================
// TCheckBox
// ============================================================================

namespace {
constexpr int kCheckSize = 13;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csCaptureMouse};
    FTabStop = true;
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW | win::CS_DBLCLKS);
}

void TCheckBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR:
            if (IsAccel(TWMChar{Message}.CharCode(), Caption()) && CanFocus()) {
                TComponentGuard Guard(this);
                SetFocus();
                if (Guard.Alive() && Focused()) Toggle();
                Message.Result = 1;
                return;
            }
            break;
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            if (Message.Msg == win::WM_KILLFOCUS) FPressed = false;
            Invalidate();
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (Message.LParam == 0) {
                FMouseInControl = Message.Msg == CM_MOUSEENTER;
                if (win::IsAppThemed()) Invalidate();
            }
            break;
        default:
            break;
    }
    inherited::Dispatch(Message);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    Invalidate();
    Click();
}

void TCheckBox::Toggle() {
    SetChecked(FState != cbChecked);
}

void TCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        TComponentGuard Guard(this);
        if (CanFocus() && !Focused()) SetFocus();
        if (!Guard.Alive()) return;
        FPressed = true;
        Invalidate();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool Toggles = Button == mbLeft && FPressed && PointIn(this, X, Y);
    if (Button == mbLeft && FPressed) {
        FPressed = false;
        Invalidate();
    }
    TComponentGuard Guard(this);
    inherited::MouseUp(Button, Shift, X, Y);
    if (Toggles && Guard.Alive()) Toggle();
}

void TCheckBox::KeyDown(win::WORD& Key, TShiftState Shift) {
    if (Key == win::VK_SPACE) {
        FPressed = true;
        Invalidate();
    }
    inherited::KeyDown(Key, Shift);
}

void TCheckBox::KeyUp(win::WORD& Key, TShiftState Shift) {
    const bool Toggles = Key == win::VK_SPACE && FPressed;
    if (Key == win::VK_SPACE) FPressed = false;
    TComponentGuard Guard(this);
    inherited::KeyUp(Key, Shift);
    if (Toggles && Guard.Alive()) Toggle();
}

void TCheckBox::Paint() {
    TCanvas* C = Canvas();
    gfx::HDC DC = C->Handle();
    const TRect Client = ClientRect();
    C->Brush()->SetColor(Color());
    C->FillRect(Client);
    const int Top = (Client.bottom - kCheckSize) / 2;
    TRect Box{0, Top, kCheckSize, Top + kCheckSize};
    TButtonTheme Theme(this);
    if (Theme) {
        int State = FState == cbChecked  ? win::CBS_CHECKEDNORMAL
                    : FState == cbGrayed ? win::CBS_MIXEDNORMAL
                                         : win::CBS_UNCHECKEDNORMAL;
        if (!Enabled())
            State += 3;
        else if (FPressed)
            State += 2;
        else if (FMouseInControl)
            State += 1;
        win::DrawThemeBackground(Theme.Get(), DC, win::BP_CHECKBOX, State, &Box, nullptr);
    } else {
        win::UINT Flags = gfx::DFCS_BUTTONCHECK;
        if (FState != cbUnchecked) Flags |= gfx::DFCS_CHECKED;
        if (!Enabled() || FState == cbGrayed) Flags |= gfx::DFCS_INACTIVE;
        if (FPressed) Flags |= gfx::DFCS_PUSHED;
        gfx::DrawFrameControl(DC, &Box, gfx::DFC_BUTTON, Flags);
    }
    C->Font()->Assign(Font());
    TRect Text{kCheckSize + 4, Client.top, Client.right, Client.bottom};
    DrawCaption(C, Text, Caption(), Enabled(), gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
    if (Focused()) {
        TRect Extent = Text;
        gfx::DrawText(DC, Caption(), &Extent, gfx::DT_CALCRECT | gfx::DT_SINGLELINE);
        gfx::OffsetRect(&Extent, 0, (Client.bottom - (Extent.bottom - Extent.top)) / 2 - Extent.top);
        gfx::InflateRect(&Extent, 1, 0);
        gfx::SetTextColor(DC, ColorToRGB(clBtnText));
        gfx::DrawFocusRect(DC, &Extent);
    }
}

// ============================================================================
// TSpeedButton
// ============================================================================

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(new TBitmap) {
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    FGlyph->SetOnChange(TNotifyEvent(this, &TSpeedButton::GlyphChanged));
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() {
    delete FGlyph;
}

void TSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (Message.LParam == 0) {
                FMouseInControl = Message.Msg == CM_MOUSEENTER;
                if (FFlat || win::IsAppThemed()) Invalidate();
            }
            break;
        case CM_ENABLEDCHANGED:
            Invalidate();
            break;
        default:
            break;
    }
    inherited::Dispatch(Message);
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TSpeedButton::GlyphChanged(TObject*) {
    FGlyph->SetTransparent(true);
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        FTracking = true;
        FPressed = true;
        Invalidate();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking && FPressed != PointIn(this, X, Y)) {
        FPressed = !FPressed;
        Invalidate();
    }
    inherited::MouseMove(Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool Clicks = FTracking && Button == mbLeft && PointIn(this, X, Y);
    if (FTracking && Button == mbLeft) {
        FTracking = false;
        FPressed = false;
        Invalidate();
    }
    TComponentGuard Guard(this);
    inherited::MouseUp(Button, Shift, X, Y);
    if (Clicks && Guard.Alive()) Click();
}

void TSpeedButton::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    gfx::HDC DC = C->Handle();
    if (!FFlat)
        gfx::DrawFrameControl(DC, &R, gfx::DFC_BUTTON,
                              gfx::DFCS_BUTTONPUSH | (FPressed ? win::UINT{gfx::DFCS_PUSHED} : 0u));
    else if (FPressed)
        gfx::DrawEdge(DC, &R, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    else if (FMouseInControl && Enabled())
        gfx::DrawEdge(DC, &R, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
    if (FGlyph->Empty()) return;
    int X = (R.right - FGlyph->Width()) / 2;
    int Y = (R.bottom - FGlyph->Height()) / 2;
    if (FPressed) {
        ++X;
        ++Y;
    }
    C->Draw(X, Y, FGlyph);
}

} // namespace cls
