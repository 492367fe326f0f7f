// Presenters show the composed screen somewhere. Headless is the default and
// needs nothing; the X11 presenter shows the whole virtual screen 1:1 in one X
// window and turns the X window's pointer, keyboard and focus events into
// injected input.
#pragma once

#include <memory>

namespace win {

class X11Presenter {
public:
    X11Presenter();
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // Connects to the display (nullptr: $DISPLAY) and shows the window;
    // switches to the blue scheme of the theme (SetTheme may choose another).
    bool Open(const char* display = nullptr);
    void Close();
    // Handles pending X events (injecting input), composes the screen and
    // repaints what changed; false when the window was closed. A key or
    // button event ends the handling: the events after it wait for the next
    // call, so that the program takes each before the next comes.
    bool Pump();
    // For waiting on X events with poll/select; -1 when not open.
    int ConnectionFd() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace win
