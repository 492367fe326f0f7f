#include "classes/modalloop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "classes/forms.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::MessageLog;
using testdrv::ScriptIdle;

constexpr win::UINT WM_PING = win::WM_USER + 1;

using ModalLoopTest = test::AppTest;

// Each row runs one loop over a shown form: the steps run one per wait, and
// the row says why the loop ended and what the form was dispatched.
TEST_F(ModalLoopTest, EndsForEachReasonAndSaysWhy) {
    struct Row {
        const char* Name;
        bool HoldCapture;
        TModalLateMessage Late;
        // Steps get the form's window and the flag the loop's condition reads.
        std::vector<std::function<void(win::HWND, bool&)>> Steps;
        TModalLoopEnd End;
        std::string Dispatched;
        bool PingLeftQueued;
    };
    const auto Ping = [](win::HWND W, bool&) { win::PostMessage(W, WM_PING, 0, 0); };
    const auto Escape = [](win::HWND W, bool&) { win::PostMessage(W, win::WM_KEYDOWN, win::VK_ESCAPE, 0); };
    const std::vector<Row> Rows = {
        {"the filter stops on Escape",
         false,
         TModalLateMessage::Dispatch,
         {Ping, Escape},
         TModalLoopEnd::Ended,
         "0x0401",
         false},
        {"the condition turns false after a message",
         false,
         TModalLateMessage::Dispatch,
         {Ping, Ping},
         TModalLoopEnd::Ended,
         "0x0401 0x0401",
         false},
        {"a message whose wait ended the loop is dispatched",
         false,
         TModalLateMessage::Dispatch,
         {[](win::HWND W, bool& Stop) {
             Stop = true;
             win::PostMessage(W, WM_PING, 0, 0);
         }},
         TModalLoopEnd::Ended,
         "0x0401",
         false},
        {"or posted again for the loop outside",
         false,
         TModalLateMessage::Repost,
         {[](win::HWND W, bool& Stop) {
             Stop = true;
             win::PostMessage(W, WM_PING, 0, 0);
         }},
         TModalLoopEnd::Ended,
         "",
         true},
        {"the capture goes",
         true,
         TModalLateMessage::Dispatch,
         {Ping,
          [](win::HWND W, bool&) {
              win::ReleaseCapture();
              win::PostMessage(W, WM_PING, 0, 0);
          }},
         TModalLoopEnd::CaptureLost,
         "0x0401 0x0401",
         false},
        {"the window goes",
         false,
         TModalLateMessage::Dispatch,
         {Ping, [](win::HWND W, bool&) { win::DestroyWindow(W); }},
         TModalLoopEnd::WindowDestroyed,
         "0x0401",
         false},
        {"WM_QUIT",
         false,
         TModalLateMessage::Dispatch,
         {[](win::HWND, bool&) { win::PostQuitMessage(7); }},
         TModalLoopEnd::Quit,
         "",
         false},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        auto* Form = new TForm(nullptr);
        Form->Show();
        const win::HWND W = Form->Handle();
        testdrv::RunUntilIdle();
        MessageLog Log{W};
        Log.Only({WM_PING});
        bool Stop = false;
        if (R.HoldCapture) win::SetCapture(W);
        std::vector<testdrv::Step> Steps;
        for (const auto& S : R.Steps) Steps.push_back([&, S] { S(W, Stop); });
        ScriptIdle(Steps);

        TModalLoop Loop;
        Loop.Capture = R.HoldCapture ? W : nullptr;
        Loop.Window = W;
        Loop.Running = [&] { return !Stop; };
        // The second ping is the last the loop takes.
        int Pings = 0;
        Loop.Filter = [&](win::MSG& M) {
            if (M.message == WM_PING && ++Pings == 2) Stop = true;
            return M.message == win::WM_KEYDOWN && M.wParam == win::VK_ESCAPE ? TModalMessage::Stop
                                                                              : TModalMessage::Dispatch;
        };
        Loop.LateMessage = R.Late;
        EXPECT_EQ(Loop.Run(), R.End);
        EXPECT_EQ(Log.Text(), R.Dispatched);

        // A WM_QUIT is retrieved whatever the filter, so it is looked for first.
        win::MSG M;
        if (R.End == TModalLoopEnd::Quit) {
            ASSERT_TRUE(win::PeekMessage(&M, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE));
            EXPECT_EQ(M.wParam, 7u);
        }
        EXPECT_EQ(win::PeekMessage(&M, nullptr, WM_PING, WM_PING, win::PM_REMOVE) != 0, R.PingLeftQueued);
        win::ReleaseCapture();
        delete Form;
    }
}

} // namespace
