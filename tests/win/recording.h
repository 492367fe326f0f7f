// A window class whose procedure records the messages its windows see, from
// the first message of a window on (a MessageLog can only watch windows that
// exist), and lets a test answer them; the fixture that registers it.
#pragma once

#include "support/driver.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace win::test {

struct Seen {
    HWND hwnd{};
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
// The messages seen: those in g_only, or every one while it is empty.
inline std::vector<Seen> g_seen;
inline std::set<UINT> g_only;
// The names Seq gives the windows.
inline std::map<HWND, std::string> g_names;
// Per-message behaviour of the recording procedure; returning true replaces the default.
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> g_handler;

// A handler that only watches, leaving every answer to the default.
template <class TWatch> std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> Watching(TWatch AWatch) {
    return [AWatch](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
        AWatch(hwnd, msg, wParam, lParam);
        return false;
    };
}

inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_only.empty() || g_only.count(msg)) g_seen.push_back(Seen{hwnd, msg, wParam, lParam});
    LRESULT r = 0;
    if (g_handler && g_handler(hwnd, msg, wParam, lParam, &r)) return r;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The messages seen, "name:WM_..." (a window without a name just "WM_..."),
// separated by spaces.
inline std::string Seq() {
    std::string text;
    for (const Seen& s : g_seen) {
        if (!text.empty()) text += ' ';
        auto it = g_names.find(s.hwnd);
        if (it != g_names.end()) text += it->second + ':';
        text += testdrv::MessageName(s.msg);
    }
    return text;
}

inline constexpr const char* kRecordingClass = "CoreRecording";

class RecordingTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_seen.clear();
        g_only.clear();
        g_names.clear();
        g_handler = nullptr;
        WNDCLASS wc;
        wc.lpfnWndProc = &RecordingProc;
        wc.lpszClassName = kRecordingClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        g_handler = nullptr;
        WinTest::TearDown();
    }
    static HWND Make(DWORD style, HWND parent = nullptr, RECT r = RECT{10, 10, 110, 90}, DWORD exStyle = 0) {
        return CreateWindowEx(exStyle, kRecordingClass, "", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    }
    // A window that Seq calls by its name.
    static HWND Named(const std::string& name, DWORD style, HWND parent = nullptr,
                      RECT r = RECT{10, 10, 110, 90}) {
        HWND h = Make(style, parent, r);
        if (h) g_names[h] = name;
        return h;
    }
};

} // namespace win::test
