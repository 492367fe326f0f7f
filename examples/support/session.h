// How every example runs. With an X display (DISPLAY set and the server
// reachable) the virtual screen shows in an X window and the program runs
// until its main form closes or that X window is closed. Without one the
// program plays a short scripted session instead: each step runs when the
// program is idle (every message handled, every window painted), under the
// manual clock, so timers fire at once and in order; after the last step the
// screen is written to out/<name>.png and the main form closes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cls {
class TControl;
} // namespace cls

namespace example {

class TExampleSession {
public:
    // Chooses the presenter; create the session before the first form.
    explicit TExampleSession(std::string Name);
    ~TExampleSession();
    TExampleSession(const TExampleSession&) = delete;
    TExampleSession& operator=(const TExampleSession&) = delete;

    bool Headless() const { return !FPresenter; }
    // The PNG the headless session writes.
    std::string PngPath() const;

    // A step of the headless script; ignored on a display.
    void AddStep(std::function<void()> Step);
    // Input for steps, at a point of a control's client area.
    static void MoveMouse(cls::TControl* Control, int X, int Y);
    static void Click(cls::TControl* Control, int X, int Y);

    // Runs the application until the main form closes; returns the exit code
    // (non-zero when the headless session could not write its PNG).
    int Run();

private:
    struct TPump;
    bool NextStep();

    std::string FName;
    std::unique_ptr<TPump> FPresenter;
    std::vector<std::function<void()>> FSteps;
    std::size_t FNextStep = 0;
    bool FFinished = false;
    bool FWritten = false;
};

// Shows a picture (a PNG file) in a form until it is closed when a display is
// available; returns at once without one.
void ShowPicture(const std::string& PngPath, const std::string& Caption);

} // namespace example
