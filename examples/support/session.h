// How every example runs. With an X display (DISPLAY set and the server
// reachable) the virtual screen shows in an X window and the program runs
// until its main form closes or that X window is closed. Without one the
// program plays a short scripted session instead: each step runs when the
// program is idle (every message handled, every window painted), under the
// manual clock, so timers fire at once and in order; after the last step the
// screen is written to out/<name>.png and the main form closes. Steps may take
// pictures of their own and check what they see; the exit code tells whether
// the script ran to its end with every picture written and every check passed.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/gdi.h"
#include "win/theme.h"

namespace cls {
class TControl;
class TWinControl;
} // namespace cls

namespace example {

class TExampleSession {
public:
    // Chooses the presenter and the visual style (the blue scheme unless
    // told otherwise); create the session before the first form. Without
    // UseDisplay the script runs even where a display is available.
    explicit TExampleSession(std::string Name, bool UseDisplay = true,
                             win::ThemeScheme Theme = win::ThemeScheme::Blue);

    // Takes "--theme classic|blue|olive|silver" at argv[I] (I moves past its
    // value); false when argv[I] is not that option or its value is unknown.
    static bool TakeThemeOption(int& I, int argc, char** argv, win::ThemeScheme& Theme);
    ~TExampleSession();
    TExampleSession(const TExampleSession&) = delete;
    TExampleSession& operator=(const TExampleSession&) = delete;

    bool Headless() const { return !FPresenter; }
    // The PNG the headless session writes.
    std::string PngPath() const;

    // A step of the headless script; ignored on a display.
    void AddStep(std::function<void()> Step);
    // A step that holds the script until Condition is true: for work that
    // other threads finish (a show animation, say). After a few seconds of
    // real time the session fails with What and the script goes on.
    void AddWaitUntil(std::function<bool()> Condition, std::string What);
    // The script's last step ends the program (say, by choosing its exit
    // command): no closing picture is taken, and a program still running
    // after the last step fails the session.
    void SetScriptEndsProgram(bool Value) { FScriptEndsProgram = Value; }

    // Input for steps, at a point of a control's client area.
    static void MoveMouse(cls::TControl* Control, int X, int Y);
    static void MoveMouseTo(gfx::POINT ScreenPoint);
    static void Click(cls::TControl* Control, int X, int Y);
    static void RightClick(cls::TControl* Control, int X, int Y);
    static void ClickAt(gfx::POINT ScreenPoint, bool Right = false);
    // A button goes down or up where the mouse is: a press that starts a
    // drag, and the release that ends it.
    static void PressMouse(bool Right = false);
    static void ReleaseMouse(bool Right = false);
    // A key pressed and released; Chars is the text it types (nullptr: the
    // US key map's).
    static void PressKey(int VirtualKey, const char* Chars = nullptr);
    // Moves the manual clock on: timers due by then fire.
    static void Wait(unsigned Milliseconds);

    // The window shows on the screen and is drawn: hardly a pixel of its area
    // shows the desktop, and it holds more than a couple of colours.
    static bool ShowsOnScreen(cls::TWinControl* Control);
    // A bitmap (the caller deletes it) with that part of the screen.
    static gfx::HBITMAP CopyScreen(const gfx::RECT& Part);
    // Writes the screen, or its part inside Part, to out/<Name>.png; a
    // picture that cannot be written, or of a single colour, fails the
    // session. Returns whether it succeeded.
    bool Snapshot(const std::string& Name, const gfx::RECT* Part = nullptr);
    // The PNG at Path exists and is not of a single colour; else the
    // session fails.
    bool CheckPicture(const std::string& Path);
    // A check of the script failed: says so; the exit code becomes non-zero.
    void Fail(const std::string& What);

    // Runs the application until the main form closes; returns the exit code:
    // non-zero when the headless session failed (a step's check or picture,
    // the closing picture, or a script that did not run to its end).
    int Run();

private:
    struct TPump;
    bool NextStep();

    std::string FName;
    std::unique_ptr<TPump> FPresenter;
    struct TStep {
        std::function<void()> Action;
        std::function<bool()> Until;
        std::string What;
    };
    std::vector<TStep> FSteps;
    std::size_t FNextStep = 0;
    // When the waiting step began, in real time.
    std::chrono::steady_clock::time_point FWaitStart{};
    bool FWaiting = false;
    bool FFinished = false;
    bool FFailed = false;
    bool FScriptEndsProgram = false;
};

// Shows a picture (a PNG file) in a form until it is closed when a display is
// available; returns at once without one.
void ShowPicture(const std::string& PngPath, const std::string& Caption);

} // namespace example
