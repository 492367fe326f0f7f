#include "tray.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/popupmenulinks.h"
#include "bars/registry.h"
#include "gfx/draw.h"

using namespace cls;

namespace tray {

namespace {

constexpr TColor kIconBlue = static_cast<TColor>(gfx::RGB(36, 94, 186));

// The primary monitor's strip outside its work area; a strip at the bottom
// is preferred, and a monitor without one gets a thin strip over the bottom
// of its work area.
TRect ReservedStrip() {
    win::MONITORINFO Info;
    win::GetMonitorInfo(win::MonitorFromPoint(win::POINT{0, 0}, win::MONITOR_DEFAULTTOPRIMARY), &Info);
    const TRect& M = Info.rcMonitor;
    const TRect& W = Info.rcWork;
    if (W.bottom < M.bottom) return TRect{M.left, W.bottom, M.right, M.bottom};
    if (W.top > M.top) return TRect{M.left, M.top, M.right, W.top};
    if (W.right < M.right) return TRect{W.right, M.top, M.right, M.bottom};
    if (W.left > M.left) return TRect{M.left, M.top, W.left, M.bottom};
    return TRect{M.left, M.bottom - 30, M.right, M.bottom};
}

// The task bar: a raised strip with a sunken notification area at its far
// end, which holds the icon.
class TTaskStrip : public TCustomControl {
    TRESTLE_CLASS(TTaskStrip, TCustomControl)
public:
    using TCustomControl::TCustomControl;

    // The notification area for a strip of that size.
    static TRect NotificationArea(int Width, int Height) {
        const int Depth = TTrayIcon::Size + 8;
        if (Width >= Height) {
            const int Inset = Height > Depth + 4 ? (Height - Depth) / 2 : 2;
            return TRect{Width - Depth - 2 * Inset, Inset, Width - Inset, Height - Inset};
        }
        const int Inset = Width > Depth + 4 ? (Width - Depth) / 2 : 2;
        return TRect{Inset, Height - Depth - 2 * Inset, Width - Inset, Height - Inset};
    }

protected:
    void Paint() override {
        TRect R = ClientRect();
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(R);
        gfx::DrawEdge(Canvas()->Handle(), &R, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
        TRect Area = NotificationArea(Width(), Height());
        gfx::DrawEdge(Canvas()->Handle(), &Area, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    }
};

} // namespace

void DrawProgramIcon(TCanvas* Canvas, const TRect& R) {
    const int Size = std::min(R.right - R.left, R.bottom - R.top);
    const TRect Disc{R.left, R.top, R.left + Size, R.top + Size};
    Canvas->Pen()->SetColor(static_cast<TColor>(gfx::RGB(20, 56, 120)));
    Canvas->Brush()->SetColor(kIconBlue);
    Canvas->Ellipse(Disc);
    // The T: a bar and a stem, each about a sixth of the disc thick.
    const int Stroke = std::max(2, Size / 6);
    const int Mid = R.left + Size / 2;
    Canvas->Brush()->SetColor(clWhite);
    Canvas->FillRect(
        TRect{R.left + Size / 4, R.top + Size / 4, R.left + Size - Size / 4, R.top + Size / 4 + Stroke});
    Canvas->FillRect(
        TRect{Mid - Stroke / 2, R.top + Size / 4, Mid - Stroke / 2 + Stroke, R.top + Size - Size / 5});
}

TRect ScreenRectOf(TWinControl* Control) {
    TRect R{};
    win::GetWindowRect(Control->Handle(), &R);
    return R;
}

TPoint EntryCentre(bars::TdxBarItemLink* Link) {
    const TRect& R = Link->ItemRect();
    return Link->GetBarControl()->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
}

std::string SelectedEntry() {
    bars::TCustomdxBarControl* Menu = bars::GetActiveBarControl();
    bars::TdxBarItemControl* Control = Menu ? Menu->SelectedControl() : nullptr;
    return Control ? Control->GetCaption() : std::string();
}

// --- TTrayIcon ---

void TTrayIcon::Paint() {
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->FillRect(ClientRect());
    DrawProgramIcon(Canvas(), ClientRect());
}

void TTrayIcon::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_MOUSEACTIVATE:
            Message.Result = win::MA_NOACTIVATE;
            return;
        case win::WM_MOUSEMOVE:
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONUP:
        case win::WM_LBUTTONDBLCLK:
        case win::WM_RBUTTONDOWN:
        case win::WM_RBUTTONUP:
            if (FReportTo) win::PostMessage(FReportTo, WM_TRAYICON, 0, static_cast<win::LPARAM>(Message.Msg));
            break;
        default:
            break;
    }
    inherited::WndProc(Message);
}

// --- TTrayBar ---

TTrayBar::TTrayBar(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetCaption("Trestle");
    FStrip = new TTaskStrip(this);
    FStrip->SetAlign(alClient);
    FStrip->SetParent(this);
    FIcon = new TTrayIcon(this);
    FIcon->SetParent(FStrip);
    FIcon->SetHint("Trestle");
    PlaceInStrip();
}

void TTrayBar::PlaceInStrip() {
    SetBoundsRect(ReservedStrip());
    const TRect Area = TTaskStrip::NotificationArea(Width(), Height());
    FIcon->SetBounds((Area.left + Area.right - TTrayIcon::Size) / 2,
                     (Area.top + Area.bottom - TTrayIcon::Size) / 2, TTrayIcon::Size, TTrayIcon::Size);
    FStrip->Invalidate();
}

void TTrayBar::WndProc(TMessage& Message) {
    if (Message.Msg == win::WM_MOUSEACTIVATE) {
        Message.Result = win::MA_NOACTIVATE;
        return;
    }
    inherited::WndProc(Message);
    if (Message.Msg == win::WM_DISPLAYCHANGE ||
        (Message.Msg == win::WM_SETTINGCHANGE && Message.WParam == win::SPI_SETWORKAREA))
        PlaceInStrip();
}

// --- TTextView ---

void TTextView::SetText(std::string Heading, std::string Body) {
    FHeading = std::move(Heading);
    FBody = std::move(Body);
    Invalidate();
}

void TTextView::Paint() {
    const int Margin = 16;
    const int IconSize = 32;
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->FillRect(ClientRect());
    DrawProgramIcon(Canvas(), TRect{Margin, Margin, Margin + IconSize, Margin + IconSize});
    const int Left = Margin * 2 + IconSize;
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->SetStyle(TFontStyles{fsBold});
    Canvas()->TextOut(Left, Margin, FHeading);
    const int Top = Margin + Canvas()->TextHeight(FHeading) + 8;
    Canvas()->Font()->SetStyle(TFontStyles{});
    TRect Body{Left, Top, ClientWidth() - Margin, ClientHeight() - Margin};
    Canvas()->TextRect(Body, FBody, TTextFormat{tfWordBreak});
}

// --- TOkButton ---

void TOkButton::Paint() {
    TRect R = ClientRect();
    gfx::DrawFrameControl(Canvas()->Handle(), &R, gfx::DFC_BUTTON,
                          FPressed ? gfx::DFCS_BUTTONPUSH | gfx::DFCS_PUSHED : gfx::DFCS_BUTTONPUSH);
    if (FPressed) gfx::OffsetRect(&R, 1, 1);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->TextRect(R, "OK", TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
}

void TOkButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FPressed = true;
        Invalidate();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TOkButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FPressed) {
        FPressed = false;
        Invalidate();
    }
    inherited::MouseUp(Button, Shift, X, Y);
}

void TOkButton::Click() {
    if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(mrOk);
    inherited::Click();
}

// --- TAboutForm ---

TAboutForm::TAboutForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetCaption("О программе");
    SetClientWidth(340);
    SetClientHeight(132);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    auto* View = new TTextView(this);
    View->SetText("Trestle", "Меню значка в области уведомлений: пример библиотеки панелей и меню Trestle, "
                             "нарисованный в стиле Office11.");
    View->SetAlign(alClient);
    View->SetParent(this);
    FOkButton = new TOkButton(this);
    FOkButton->SetBounds(ClientWidth() - 91, ClientHeight() - 35, 75, 23);
    FOkButton->SetParent(View);
}

void TAboutForm::KeyDown(win::WORD& Key, TShiftState Shift) {
    if (Key == win::VK_RETURN || Key == win::VK_ESCAPE) {
        SetModalResult(Key == win::VK_RETURN ? mrOk : mrCancel);
        Key = 0;
    }
    inherited::KeyDown(Key, Shift);
}

// --- TMainForm ---

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Trestle — меню в области уведомлений");
    SetClientWidth(460);
    SetClientHeight(140);
    SetPosition(poScreenCenter);
    auto* View = new TTextView(this);
    View->SetText("Программа в области уведомлений",
                  "Её значок — в правом нижнем углу экрана. Щелчок правой кнопкой мыши по значку "
                  "открывает меню: «Закрыть» прячет это окно, «О программе...» в подменю «Справка» "
                  "рассказывает о программе, «Выход» завершает её. Щелчок правой кнопкой по этому "
                  "окну открывает его собственное меню.");
    View->SetAlign(alClient);
    View->SetParent(this);

    FBarManager = new bars::TdxBarManager(this);
    FBarManager->SetStyle(bars::bmsOffice11);
    FTrayMenu = new bars::TdxBarPopupMenu(this);
    bars::TdxBarItemLinks* Links = FTrayMenu->ItemLinks();

    FOpenButton = new bars::TdxBarButton(this);
    FOpenButton->SetCaption("&Открыть");
    FOpenButton->SetOnClick(TNotifyEvent(this, &TMainForm::OpenClick));
    FOpenLink = Links->Add(FOpenButton);

    auto* Help = new bars::TdxBarSubItem(this);
    Help->SetCaption("&Справка");
    FHelpLink = Links->Add(Help);
    auto* About = new bars::TdxBarButton(this);
    About->SetCaption("&О программе...");
    About->SetOnClick(TNotifyEvent(this, &TMainForm::AboutClick));
    FAboutLink = Help->ItemLinks()->Add(About);

    auto* Exit = new bars::TdxBarButton(this);
    Exit->SetCaption("&Выход");
    Exit->SetOnClick(TNotifyEvent(this, &TMainForm::ExitClick));
    FExitLink = Links->Add(Exit);
    FExitLink->SetBeginGroup(true);

    // The window's context menu, opened by a right click anywhere on it.
    FContextMenu = new bars::TdxBarPopupMenu(this);
    auto* HideButton = new bars::TdxBarButton(this);
    HideButton->SetCaption("&Скрыть");
    HideButton->SetOnClick(TNotifyEvent(this, &TMainForm::HideClick));
    FHideLink = FContextMenu->ItemLinks()->Add(HideButton);
    FContextAboutLink = FContextMenu->ItemLinks()->Add(About);
    FContextAboutLink->SetBeginGroup(true);
    bars::TdxBarPopupMenuLink* Link = FBarManager->PopupMenuLinks()->Add();
    Link->SetControl(this);
    Link->SetPopupMenu(FContextMenu);

    FTrayBar = new TTrayBar(this);
    FTrayBar->Icon()->SetReportTo(Handle());
    FTrayBar->Show();
}

void TMainForm::WndProc(TMessage& Message) {
    if (Message.Msg != WM_TRAYICON) {
        inherited::WndProc(Message);
        return;
    }
    switch (static_cast<win::UINT>(Message.LParam)) {
        case win::WM_RBUTTONUP: {
            // The menu's keys come to the thread only while one of its
            // windows is in the foreground.
            win::SetForegroundWindow(Handle());
            win::POINT At;
            win::GetCursorPos(&At);
            FTrayMenu->Popup(At.x, At.y);
            break;
        }
        case win::WM_LBUTTONDBLCLK:
            Show();
            win::SetForegroundWindow(Handle());
            break;
        default:
            break;
    }
}

void TMainForm::DoShow() {
    FOpenButton->SetCaption("&Закрыть");
    inherited::DoShow();
}

void TMainForm::DoHide() {
    FOpenButton->SetCaption("&Открыть");
    inherited::DoHide();
}

void TMainForm::DoClose(TCloseAction& Action) {
    inherited::DoClose(Action);
    if (!FExiting) {
        Action = caNone;
        Hide();
    }
}

void TMainForm::OpenClick(TObject*) {
    if (Visible()) {
        Hide();
    } else {
        Show();
        win::SetForegroundWindow(Handle());
    }
}

void TMainForm::AboutClick(TObject*) {
    if (FAbout) return;
    FAbout = new TAboutForm(this);
    FAbout->ShowModal();
    delete FAbout;
    FAbout = nullptr;
}

void TMainForm::HideClick(TObject*) {
    Hide();
}

void TMainForm::ExitClick(TObject*) {
    FExiting = true;
    Close();
}

} // namespace tray
