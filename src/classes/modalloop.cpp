#include "classes/modalloop.h"

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

} // namespace cls
