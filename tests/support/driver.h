// The test driver: one vocabulary for every test that runs windows. A test
// derives its fixture from WinTest (fresh window system, manual clock), drives
// input at window points, runs the message queue until it is idle, advances the
// clock, answers message boxes and records the messages windows receive.
#pragma once

#include "win/driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace testdrv {

using win::HWND;
using win::MouseButton;
using win::POINT;

// Resets the window system before and after each test and sets the manual clock.
class WinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// --- Running ---

// Dispatches everything the calling thread has waiting (sent messages, posted
// messages, input, paints, due timers) until PeekMessage finds nothing; returns
// how many messages it dispatched. A WM_QUIT stops it and is posted again, so
// the test can still see it.
int RunUntilIdle();
// Moves the clock forward in steps to each timer due on the way, running until
// idle after each step, so that timers fire as often and in the order they would.
void Advance(win::DWORD milliseconds);

// --- Input ---
// Outside an idle script every helper runs until idle after injecting; inside
// one (see ScriptIdle) it only injects, and the waiting loop takes the input.

void MoveTo(HWND hwnd, POINT clientPoint);
void MoveToScreen(POINT screenPoint);
// The centre of a rectangle in the window's client area.
POINT CentreOf(const win::RECT& clientRect);
void Click(HWND hwnd, POINT clientPoint, MouseButton button = MouseButton::Left);
void ClickScreen(POINT screenPoint, MouseButton button = MouseButton::Left);
void MouseDown(MouseButton button = MouseButton::Left); // at the current position
void MouseUp(MouseButton button = MouseButton::Left);
void Wheel(int delta);
// `chars` is the text the key produces; nullptr uses the US key map.
void KeyDown(int vk, const char* chars = nullptr);
void KeyUp(int vk);
void PressKey(int vk, const char* chars = nullptr);
// Types UTF-8 text: ASCII through the US key map (with Shift where needed),
// other characters as packet keys carrying the character.
void TypeText(const std::string& utf8);

// --- Idle scripts for nested loops ---

// Each time a loop of this thread is about to wait, the next step runs (one
// step per wait), e.g. the input that ends a modal loop. When the steps are
// used up the handler reports that it did nothing.
using Step = std::function<void()>;
void ScriptIdle(std::vector<Step> steps);
bool IdleScriptDone();

// --- Message boxes and sounds ---

struct ShownMessageBox {
    std::string text;
    std::string caption;
    win::UINT type = 0;
    int answer = 0;
};
// Answers the next message boxes in order (then with their default button)
// and returns the list of boxes shown, which fills as they come.
const std::vector<ShownMessageBox>& AnswerMessageBoxes(std::vector<int> answers);
// The names of the sounds played since the last reset; "" for a stop request.
std::vector<std::string> Sounds();

// --- Pictures ---

bool Snapshot(const std::string& pngPath);
bool Snapshot(HWND hwnd, const std::string& pngPath);

// --- Message recording ---

// Records the messages that chosen windows receive, by subclassing them for
// the log's lifetime. Text() gives a compact form for order assertions:
// entries separated by spaces, each "WM_NAME", or "name:WM_NAME" for a window
// watched under a name; unknown messages appear as hex numbers.
class MessageLog {
public:
    struct Entry {
        HWND hwnd{};
        win::UINT msg = 0;
        win::WPARAM wParam = 0;
        win::LPARAM lParam = 0;
    };

    MessageLog() = default;
    MessageLog(std::initializer_list<HWND> windows);
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    void Watch(HWND hwnd, const std::string& name = "");
    // Records only these messages from now on (all when empty).
    void Only(std::initializer_list<win::UINT> messages);
    void Clear();

    std::vector<Entry> Entries() const;
    std::string Text() const;
    int Count(win::UINT msg) const;

private:
    friend struct MessageLogAccess;
    void Record(HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

    mutable std::mutex mutex_;
    std::vector<HWND> windows_;
    std::map<HWND, std::string> names_;
    std::vector<win::UINT> only_;
    std::vector<Entry> entries_;
};

// "WM_LBUTTONDOWN" and the like; hex for messages without a name.
std::string MessageName(win::UINT msg);

} // namespace testdrv
