#include "bars/hint.h"

#include <algorithm>

#include "bars/manager.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "gfx/draw.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

constexpr win::UINT HintTextFormat = gfx::DT_WORDBREAK | gfx::DT_NOPREFIX;
// The room the frame and the text's indent take.
constexpr int HintExtent = 6;
// How far below the point a hint goes when it has to go above instead.
constexpr int HintOffset = 20;

} // namespace

TdxBarHintWindow::TdxBarHintWindow(cls::TComponent* AOwner) : cls::TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(cls::clInfoBk);
    Canvas()->Brush()->SetStyle(cls::bsClear);
}

void TdxBarHintWindow::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    // Not disabled: the window system asks no disabled window for its hit
    // code but stops the mouse there, and the hint must let it through.
    Params.Style = win::WS_POPUP;
    Params.WindowClass.style |= win::CS_SAVEBITS;
    Params.ExStyle = win::WS_EX_TOOLWINDOW | win::WS_EX_TOPMOST;
    Params.WndParent = nullptr;
}

void TdxBarHintWindow::Dispatch(cls::TMessage& Message) {
    if (Message.Msg == win::WM_NCHITTEST) {
        Message.Result = win::HTTRANSPARENT;
        return;
    }
    inherited::Dispatch(Message);
}

bool TdxBarHintWindow::IsShowing() const {
    return HandleAllocated() && win::IsWindowVisible(FHandle);
}

void TdxBarHintWindow::Paint() {
    cls::TRect R = ClientRect();
    const gfx::HDC DC = Canvas()->Handle();
    gfx::DrawEdge(DC, &R, gfx::BDR_RAISEDOUTER, gfx::BF_RECT);
    gfx::InflateRect(&R, -1, -1);
    R.left += 2;
    R.top += 2;
    Canvas()->Brush()->SetStyle(cls::bsClear);
    gfx::SetTextColor(DC, gfx::ColorToRGB(Canvas()->Font()->Color()));
    lf::cxDrawText(DC, Text(), R, HintTextFormat | gfx::DT_NOCLIP);
}

void TdxBarHintWindow::ApplyFont(TdxBarManager* ABarManager) {
    cls::TFont* Font = Canvas()->Font();
    if (!ABarManager || ABarManager->UseSystemFont()) {
        win::NONCLIENTMETRICS Metrics;
        if (win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0))
            Font->SetHandle(gfx::CreateFontIndirect(&Metrics.lfStatusFont));
        else
            Font->SetSize(8);
    } else {
        Font->Assign(ABarManager->Font());
    }
    Font->SetColor(cls::Screen->HintFont()->Color());
    SetColor(cls::Application->HintColor());
}

void TdxBarHintWindow::ActivateHint(cls::TPoint APoint, const std::string& AText,
                                    TdxBarManager* ABarManager) {
    SetText(AText);
    ApplyFont(ABarManager);
    win::RECT WorkArea;
    GetWorkAreaFromPoint(APoint, WorkArea);
    gfx::RECT R{0, 0, WorkArea.right - WorkArea.left, 0};
    lf::cxDrawText(Canvas()->Handle(), AText, R, HintTextFormat | gfx::DT_CALCRECT);
    const int Width = R.right - R.left + HintExtent;
    const int Height = R.bottom - R.top + HintExtent;
    int Left = APoint.x;
    int Top = APoint.y;
    if (Left + Width > WorkArea.right) Left = WorkArea.right - Width;
    if (Top + Height > WorkArea.bottom) Top = APoint.y - Height - HintOffset;
    Left = std::max<int>(Left, WorkArea.left);
    Top = std::max<int>(Top, WorkArea.top);
    SetBounds(Left, Top, Width, Height);
    Invalidate();
    win::SetWindowPos(Handle(), win::HWND_TOPMOST, Left, Top, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
}

} // namespace bars
