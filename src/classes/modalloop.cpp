#include "classes/modalloop.h"

#include "classes/guards.h"

#include <optional>

namespace cls {

namespace {

void Repost(const win::MSG& AMsg) {
    if (AMsg.hwnd)
        win::PostMessage(AMsg.hwnd, AMsg.message, AMsg.wParam, AMsg.lParam);
    else
        win::PostThreadMessage(win::GetCurrentThreadId(), AMsg.message, AMsg.wParam, AMsg.lParam);
}

} // namespace

TModalLoopEnd TModalLoop::Run() const {
    auto Ending = [this]() -> std::optional<TModalLoopEnd> {
        if (Window && !win::IsWindow(Window)) return TModalLoopEnd::WindowDestroyed;
        if (Capture && win::GetCapture() != Capture) return TModalLoopEnd::CaptureLost;
        if (Running && !Running()) return TModalLoopEnd::Ended;
        return std::nullopt;
    };
    for (;;) {
        if (const auto End = Ending()) return *End;
        win::MSG Msg{};
        const win::BOOL Got = win::GetMessage(&Msg, nullptr, 0, 0);
        if (Got == 0) {
            win::PostQuitMessage(static_cast<int>(Msg.wParam));
            return TModalLoopEnd::Quit;
        }
        if (Got == -1) return TModalLoopEnd::Failed;
        if (const auto End = Ending()) {
            if (LateMessage == TModalLateMessage::Repost) {
                Repost(Msg);
            } else {
                win::TranslateMessage(&Msg);
                win::DispatchMessage(&Msg);
            }
            return *End;
        }
        switch (Filter ? Filter(Msg) : TModalMessage::Dispatch) {
            case TModalMessage::Dispatch:
                win::TranslateMessage(&Msg);
                win::DispatchMessage(&Msg);
                break;
            case TModalMessage::Handled:
                break;
            case TModalMessage::Stop:
                return TModalLoopEnd::Ended;
        }
    }
}

bool DragDetect(win::HWND Wnd, win::POINT Pos) {
    if (!win::IsWindow(Wnd)) return false;
    const int CX = win::GetSystemMetrics(win::SM_CXDRAG);
    const int CY = win::GetSystemMetrics(win::SM_CYDRAG);
    const win::RECT Still{Pos.x - CX, Pos.y - CY, Pos.x + CX + 1, Pos.y + CY + 1};
    win::SetCapture(Wnd);
    TScopeExit Release([Wnd] {
        if (win::GetCapture() == Wnd) win::ReleaseCapture();
    });
    bool Dragged = false;
    TModalLoop Loop;
    Loop.Capture = Wnd;
    Loop.Filter = [&](win::MSG& Msg) {
        switch (Msg.message) {
            case win::WM_MOUSEMOVE: {
                win::POINT P{static_cast<short>(Msg.lParam & 0xFFFF),
                             static_cast<short>((Msg.lParam >> 16) & 0xFFFF)};
                win::ClientToScreen(Msg.hwnd, &P);
                Dragged = !win::PtInRect(&Still, P);
                return Dragged ? TModalMessage::Stop : TModalMessage::Handled;
            }
            case win::WM_LBUTTONUP:
            case win::WM_RBUTTONDOWN:
            case win::WM_MBUTTONDOWN:
                return TModalMessage::Stop;
            case win::WM_KEYDOWN:
            case win::WM_KEYUP:
            case win::WM_CHAR:
                return Msg.wParam == static_cast<win::WPARAM>(win::VK_ESCAPE) &&
                               Msg.message == win::WM_KEYDOWN
                           ? TModalMessage::Stop
                           : TModalMessage::Handled;
            default:
                return TModalMessage::Dispatch;
        }
    };
    Loop.Run();
    return Dragged;
}

} // namespace cls
