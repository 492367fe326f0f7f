// The system class "EDIT": text, selection, keys, mouse, clipboard, undo,
// limits, scrolling, notifications and drawing.
#include "support/driver.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace win;
using namespace testdrv;

namespace {

// The parent records the edit notifications it receives (by name) and may
// answer messages itself.
struct Parent {
    std::vector<std::string> notes;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> handler;
};
Parent* g_parent = nullptr;

std::string NoteName(WORD code) {
    switch (code) {
        case EN_SETFOCUS:
            return "SETFOCUS";
        case EN_KILLFOCUS:
            return "KILLFOCUS";
        case EN_CHANGE:
            return "CHANGE";
        case EN_UPDATE:
            return "UPDATE";
        case EN_MAXTEXT:
            return "MAXTEXT";
        default:
            return std::to_string(code);
    }
}

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_parent) {
        if (msg == WM_COMMAND) g_parent->notes.push_back(NoteName(HIWORD(static_cast<LPARAM>(wParam))));
        LRESULT result = 0;
        if (g_parent->handler && g_parent->handler(msg, wParam, lParam, &result)) return result;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

constexpr int kEditId = 7;

class EditTest : public WinTest {
public:
    void SetUp() override {
        WinTest::SetUp();
        g_parent = &parent_;
        WNDCLASS wc;
        wc.lpfnWndProc = &ParentProc;
        wc.lpszClassName = "EditParent";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_3DFACE + 1));
        ASSERT_NE(RegisterClass(&wc), 0);
        frame_ = CreateWindowEx(0, "EditParent", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
    }
    void TearDown() override {
        WinTest::TearDown();
        g_parent = nullptr;
    }

    HWND Make(DWORD style = ES_AUTOHSCROLL, const char* text = "", int width = 200) {
        HWND h =
            CreateWindowEx(0, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, 24, frame_,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kEditId)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    // The notifications since the last call, separated by spaces.
    std::string Notes() {
        std::string text;
        for (const std::string& n : parent_.notes) text += (text.empty() ? "" : " ") + n;
        parent_.notes.clear();
        return text;
    }

    Parent parent_;
    HWND frame_{};
};

std::pair<DWORD, DWORD> Sel(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void Select(HWND edit, int start, int end) {
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

int XOf(HWND edit, int index) {
    return GET_X_LPARAM(SendMessage(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
}

// "Ctrl+Shift+Left", "Back", "type:abc": a key with its modifiers, or typed text.
void Press(const std::string& step) {
    if (step.rfind("type:", 0) == 0) {
        TypeText(step.substr(5));
        return;
    }
    std::vector<int> modifiers;
    std::string key = step;
    for (auto [name, vk] : {std::pair{"Ctrl+", VK_CONTROL}, std::pair{"Shift+", VK_SHIFT}}) {
        const std::size_t at = key.find(name);
        if (at == std::string::npos) continue;
        modifiers.push_back(vk);
        key.erase(at, std::string(name).size());
    }
    int vk = key.size() == 1 ? key[0] : 0;
    for (auto [name, code] :
         {std::pair{"Left", VK_LEFT}, std::pair{"Right", VK_RIGHT}, std::pair{"Home", VK_HOME},
          std::pair{"End", VK_END}, std::pair{"Back", VK_BACK}, std::pair{"Del", VK_DELETE},
          std::pair{"Ins", VK_INSERT}})
        if (key == name) vk = code;
    ASSERT_NE(vk, 0) << step;
    for (int m : modifiers) KeyDown(m);
    PressKey(vk);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) KeyUp(*it);
}

// Keys pressed in a new edit holding a text with a selection, and the text
// and selection they leave.
struct KeyCase {
    const char* why;
    const char* text;
    int selStart, selEnd;
    std::vector<std::string> keys;
    const char* expected;
    DWORD expStart, expEnd;
};

template <std::size_t N> void RunKeyCases(EditTest& test, const KeyCase (&cases)[N]) {
    for (const KeyCase& c : cases) {
        HWND edit = test.Make(ES_AUTOHSCROLL, c.text);
        SetFocus(edit);
        Select(edit, c.selStart, c.selEnd);
        for (const std::string& key : c.keys) Press(key);
        EXPECT_EQ(GetWindowText(edit), c.expected) << c.why;
        EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{c.expStart, c.expEnd})) << c.why;
        DestroyWindow(edit);
    }
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "<closed>";
    if (HGLOBAL memory = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const char*>(GlobalLock(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
}

void SetClipboardText(const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    char* p = static_cast<char*>(GlobalLock(memory));
    std::copy(bytes.begin(), bytes.end(), p);
    p[bytes.size()] = '\0';
    GlobalUnlock(memory);
    EXPECT_EQ(SetClipboardData(CF_TEXT, memory), memory);
    CloseClipboard();
}

// ============================================================================
// Text and selection
// ============================================================================

TEST_F(EditTest, TextIsReadWholeInAnyLength) {
    HWND edit = Make();
    std::string text;
    for (int i = 0; i < 100000; ++i) text += i % 2 ? "ж" : "x";
    EXPECT_TRUE(SetWindowText(edit, text.c_str()));
    EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(text.size()));
    EXPECT_EQ(GetWindowText(edit), text);
    // A short buffer gets whole characters only.
    char buffer[4];
    EXPECT_EQ(SendMessage(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, "xж");
    // Positions count characters, not bytes.
    Select(edit, 0, -1);
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{0, 100000}));
    EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), -1) << "positions beyond 65535 only through the pointers";
}

TEST_F(EditTest, TextCreatedWithTheWindowAndMalformedBytesDropped) {
    HWND edit = Make(ES_AUTOHSCROLL, "start");
    EXPECT_EQ(GetWindowText(edit), "start");
    SetWindowText(edit, "a\xC3(b\xED\xA0\x80"
                        "c\xF4\x90\x80\x80"
                        "d\xE2\x82");
    EXPECT_EQ(GetWindowText(edit), "a(bcd");
    EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(EditTest, SelectionMessages) {
    struct Case {
        int start, end;
        std::pair<DWORD, DWORD> expected;
        const char* why;
    } cases[] = {
        {0, -1, {0, 6}, "0, -1 selects everything"},
        {2, 4, {2, 4}, "a range"},
        {4, 2, {2, 4}, "reversed, reported in order"},
        {3, 99, {3, 6}, "the end is limited to the text"},
        {-1, 0, {6, 6}, "-1 drops the selection, the caret stays"},
    };
    HWND edit = Make(ES_AUTOHSCROLL, "привет");
    for (const Case& c : cases) {
        Select(edit, 6, 6);
        Select(edit, c.start, c.end);
        EXPECT_EQ(Sel(edit), c.expected) << c.why;
        EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0),
                  MAKELRESULT(static_cast<int>(c.expected.first), static_cast<int>(c.expected.second)))
            << c.why;
    }
    // The caret goes to the end given: a reversed range extends from its start.
    Select(edit, 4, 2);
    SetFocus(edit);
    Press("Shift+Left");
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{1, 4}));
}

TEST_F(EditTest, KeyboardEditing) {
    const KeyCase cases[] = {
        {"typing inserts at the caret", "ac", 1, 1, {"type:b"}, "abc", 2, 2},
        {"backspace deletes before the caret", "abc", 3, 3, {"Back"}, "ab", 2, 2},
        {"delete deletes after the caret", "abc", 0, 0, {"Del"}, "bc", 0, 0},
        {"typing replaces the selection", "hello", 1, 4, {"type:E"}, "hEo", 2, 2},
        {"backspace deletes the selection", "hello", 1, 3, {"Back"}, "hlo", 1, 1},
        {"shift+home selects to the start", "hello", 3, 3, {"Shift+Home"}, "hello", 0, 3},
        {"shift+right extends", "hello", 1, 1, {"Shift+Right", "Shift+Right"}, "hello", 1, 3},
        {"left ends a selection at its start", "hello", 1, 4, {"Left"}, "hello", 1, 1},
        {"right ends a selection at its end", "hello", 1, 4, {"Right"}, "hello", 4, 4},
        {"end, then backspace", "hello", 0, 0, {"End", "Back"}, "hell", 4, 4},
        {"ctrl+a selects everything", "hello", 2, 2, {"Ctrl+A"}, "hello", 0, 5},
        {"ctrl+left moves by words",
         "one two three",
         13,
         13,
         {"Ctrl+Left", "Ctrl+Left"},
         "one two three",
         4,
         4},
        {"ctrl+right moves by words", "one two three", 0, 0, {"Ctrl+Right"}, "one two three", 4, 4},
        {"characters beyond ASCII are one position",
         "привет",
         6,
         6,
         {"Back", "Left", "Shift+Left"},
         "приве",
         3,
         4},
        {"typed Cyrillic", "", 0, 0, {"type:Жук"}, "Жук", 3, 3},
        {"home and end at the ends", "abc", 1, 1, {"End", "type:!", "Home", "type:?"}, "?abc!", 1, 1},
    };
    RunKeyCases(*this, cases);
}

TEST_F(EditTest, TypedCharactersThatAreNoTextAreRefused) {
    HWND edit = Make();
    SetFocus(edit);
    InjectKey(0xE7, true, "\xC3(");
    InjectKey(0xE7, false);
    RunUntilIdle();
    for (WPARAM c :
         {WPARAM{0xD800}, WPARAM{0x110000}, WPARAM{'\t'}, WPARAM{'\r'}, WPARAM{0x7F}, WPARAM{0x1B}})
        SendMessage(edit, WM_CHAR, c, 0);
    SendMessage(edit, WM_CHAR, 0x1F600, 0);
    EXPECT_EQ(GetWindowText(edit), "(\xF0\x9F\x98\x80");
}

// ============================================================================
// Undo and the modified flag
// ============================================================================

TEST_F(EditTest, UndoTakesBackTheLastChange) {
    const KeyCase cases[] = {
        {"a run of typing at once", "ab", 2, 2, {"type:cd", "Ctrl+Z"}, "ab", 2, 2},
        {"deleted text comes back selected", "hello", 1, 3, {"Del", "Ctrl+Z"}, "hello", 1, 3},
        {"a second undo redoes", "ab", 2, 2, {"type:cd", "Ctrl+Z", "Ctrl+Z"}, "abcd", 2, 4},
        {"backspace after typing belongs to it", "ab", 2, 2, {"type:cd", "Back", "Ctrl+Z"}, "ab", 2, 2},
        {"a run of backspaces at once", "abcd", 4, 4, {"Back", "Back", "Ctrl+Z"}, "abcd", 2, 4},
        {"only the last change", "ab", 2, 2, {"type:c", "Left", "Left", "type:x", "Ctrl+Z"}, "abc", 1, 1},
        {"a replaced selection comes back", "hello", 0, 5, {"type:j", "Ctrl+Z"}, "hello", 0, 5},
    };
    RunKeyCases(*this, cases);
}

TEST_F(EditTest, UndoBufferAndModifiedFlag) {
    HWND edit = Make(ES_AUTOHSCROLL, "abc");
    EXPECT_FALSE(SendMessage(edit, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(SendMessage(edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessage(edit, EM_UNDO, 0, 0));
    Select(edit, 3, 3);
    SendMessage(edit, WM_CHAR, 'd', 0);
    EXPECT_TRUE(SendMessage(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessage(edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(SendMessage(edit, WM_UNDO, 0, 0));
    EXPECT_EQ(GetWindowText(edit), "abc");
    SendMessage(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessage(edit, EM_CANUNDO, 0, 0));
    SendMessage(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessage(edit, EM_GETMODIFY, 0, 0));
    SendMessage(edit, WM_CHAR, 'e', 0);
    SetWindowText(edit, "new");
    EXPECT_FALSE(SendMessage(edit, EM_CANUNDO, 0, 0)) << "new text empties the undo buffer";
    EXPECT_FALSE(SendMessage(edit, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{0, 0})) << "new text puts the caret at the start";
}

// ============================================================================
// Notifications, limits and read-only edits
// ============================================================================

TEST_F(EditTest, NotificationsToTheParent) {
    struct Case {
        const char* why;
        DWORD style;
        std::function<void(HWND)> act;
        const char* notes;
    } cases[] = {
        {"a typed character", ES_AUTOHSCROLL, [](HWND e) { SendMessage(e, WM_CHAR, 'a', 0); },
         "UPDATE CHANGE"},
        {"new text in a single-line edit", ES_AUTOHSCROLL, [](HWND e) { SetWindowText(e, "x"); },
         "UPDATE CHANGE"},
        {"new text in a multi-line edit", ES_MULTILINE, [](HWND e) { SetWindowText(e, "x"); }, ""},
        {"typing in a multi-line edit", ES_MULTILINE, [](HWND e) { SendMessage(e, WM_CHAR, 'a', 0); },
         "UPDATE CHANGE"},
        {"a replaced selection", ES_AUTOHSCROLL,
         [](HWND e) { SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("zz")); },
         "UPDATE CHANGE"},
        {"a selection alone", ES_AUTOHSCROLL, [](HWND e) { Select(e, 0, -1); }, ""},
        {"backspace at the start changes nothing", ES_AUTOHSCROLL,
         [](HWND e) { SendMessage(e, WM_CHAR, 8, 0); }, ""},
        {"focus coming and going", ES_AUTOHSCROLL,
         [](HWND e) {
             SetFocus(e);
             SetFocus(GetParent(e));
         },
         "SETFOCUS KILLFOCUS"},
    };
    for (const Case& c : cases) {
        HWND edit = Make(c.style);
        Notes();
        c.act(edit);
        EXPECT_EQ(Notes(), c.notes) << c.why;
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, NotificationsCarryTheIdAndTheWindow) {
    HWND edit = Make();
    std::vector<std::pair<WPARAM, LPARAM>> seen;
    parent_.handler = [&seen](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
        if (msg == WM_COMMAND) seen.emplace_back(wParam, lParam);
        return false;
    };
    SendMessage(edit, WM_CHAR, 'a', 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].first, MAKEWPARAM(kEditId, EN_CHANGE));
    EXPECT_EQ(seen[1].second, reinterpret_cast<LPARAM>(edit));
}

TEST_F(EditTest, TextLimit) {
    HWND edit = Make();
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessage(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    SendMessage(edit, EM_LIMITTEXT, 3, 0);
    SetFocus(edit);
    Notes();
    TypeText("abcd");
    EXPECT_EQ(GetWindowText(edit), "abc");
    EXPECT_EQ(Notes(), "UPDATE CHANGE UPDATE CHANGE UPDATE CHANGE MAXTEXT");
    // A paste is cut to what fits; new text is not limited.
    Select(edit, 1, 2);
    SetClipboardText("XYZ");
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "aXc");
    EXPECT_EQ(Notes(), "MAXTEXT UPDATE CHANGE");
    SetWindowText(edit, "longer than three");
    EXPECT_EQ(GetWindowText(edit), "longer than three");
}

TEST_F(EditTest, ReadOnlyEditTakesNoChangesButCopies) {
    HWND edit = Make(ES_AUTOHSCROLL, "fixed");
    EXPECT_TRUE(SendMessage(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_TRUE(GetWindowLongPtr(edit, GWL_STYLE) & ES_READONLY);
    SetFocus(edit);
    SetClipboardText("pasted");
    Select(edit, 0, 2);
    for (const char* key : {"type:x", "Back", "Del", "Ctrl+V", "Ctrl+X", "Shift+Ins"}) Press(key);
    SendMessage(edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "fixed");
    EXPECT_EQ(ClipboardText(), "fi") << "cutting a read-only edit still copies";
    std::vector<UINT> colours;
    parent_.handler = [&colours](UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) colours.push_back(msg);
        return false;
    };
    InvalidateRect(edit, nullptr, TRUE);
    UpdateWindow(edit);
    SendMessage(edit, EM_SETREADONLY, FALSE, 0);
    UpdateWindow(edit);
    EXPECT_EQ(colours, (std::vector<UINT>{WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT}));
    Press("type:!");
    EXPECT_EQ(GetWindowText(edit), "!xed");
}

TEST_F(EditTest, ParentMayDestroyTheEditFromANotification) {
    for (WORD code : {EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_SETFOCUS, EN_KILLFOCUS}) {
        HWND edit = Make();
        SendMessage(edit, EM_LIMITTEXT, 1, 0);
        parent_.handler = [edit, code](UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
            if (msg == WM_COMMAND && HIWORD(static_cast<LPARAM>(wParam)) == code) DestroyWindow(edit);
            return false;
        };
        SetFocus(edit);
        TypeText("ab");
        SetFocus(frame_);
        EXPECT_FALSE(IsWindow(edit)) << NoteName(code);
        parent_.handler = nullptr;
    }
}

// ============================================================================
// Clipboard
// ============================================================================

TEST_F(EditTest, CutCopyAndPasteByKeysAndMessages) {
    struct Case {
        const char* why;
        std::function<void(HWND)> act;
        const char* text;
        const char* clipboard;
    } cases[] = {
        {"ctrl+c", [](HWND) { Press("Ctrl+C"); }, "hello", "ell"},
        {"ctrl+insert", [](HWND) { Press("Ctrl+Ins"); }, "hello", "ell"},
        {"ctrl+x", [](HWND) { Press("Ctrl+X"); }, "ho", "ell"},
        {"shift+delete", [](HWND) { Press("Shift+Del"); }, "ho", "ell"},
        {"ctrl+v", [](HWND) { Press("Ctrl+V"); }, "hclipo", "clip"},
        {"shift+insert", [](HWND) { Press("Shift+Ins"); }, "hclipo", "clip"},
        {"WM_COPY", [](HWND e) { SendMessage(e, WM_COPY, 0, 0); }, "hello", "ell"},
        {"WM_CUT", [](HWND e) { SendMessage(e, WM_CUT, 0, 0); }, "ho", "ell"},
        {"WM_PASTE", [](HWND e) { SendMessage(e, WM_PASTE, 0, 0); }, "hclipo", "clip"},
        {"WM_CLEAR", [](HWND e) { SendMessage(e, WM_CLEAR, 0, 0); }, "ho", "clip"},
    };
    for (const Case& c : cases) {
        HWND edit = Make(ES_AUTOHSCROLL, "hello");
        SetFocus(edit);
        SetClipboardText("clip");
        Select(edit, 1, 4);
        c.act(edit);
        EXPECT_EQ(GetWindowText(edit), c.text) << c.why;
        EXPECT_EQ(ClipboardText(), c.clipboard) << c.why;
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, PastedTextBecomesOneLineOfWellFormedCharacters) {
    HWND edit = Make();
    SetClipboardText("a\tb\xC3(c\xFF"
                     "d\r\nsecond line");
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "ab(cd");
    SetClipboardText("");
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "ab(cd");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "ab(cd") << "nothing to paste";
}

TEST_F(EditTest, ClipboardIsOpenedByOneWindowAtATime) {
    HWND edit = Make(ES_AUTOHSCROLL, "text");
    ASSERT_TRUE(OpenClipboard(frame_));
    EXPECT_EQ(GetOpenClipboardWindow(), frame_);
    EXPECT_FALSE(OpenClipboard(edit));
    Select(edit, 0, -1);
    SendMessage(edit, WM_COPY, 0, 0);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT)) << "the copy found the clipboard taken";
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), frame_);
    HGLOBAL memory = GlobalAlloc(GHND, 3);
    EXPECT_EQ(GlobalSize(memory), 3u);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, memory), memory);
    EXPECT_EQ(GlobalFree(memory), memory) << "the clipboard owns it now";
    EXPECT_EQ(GetClipboardData(CF_TEXT), memory) << "one text format reads as the other";
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(GetClipboardData(CF_TEXT)) << "reading needs the clipboard open";
    HGLOBAL loose = GlobalAlloc(GMEM_FIXED, 1);
    EXPECT_EQ(GlobalFree(loose), nullptr);
    EXPECT_EQ(GlobalLock(loose), nullptr) << "a freed handle stays invalid";
    EXPECT_EQ(GlobalFree(loose), loose);
}

// ============================================================================
// Mouse, scrolling, margins and rectangles
// ============================================================================

TEST_F(EditTest, MouseSelects) {
    HWND edit = Make(ES_AUTOHSCROLL, "one two three");
    auto at = [edit](int index) { return POINT{XOf(edit, index) + 1, 8}; };
    Click(edit, at(3));
    EXPECT_EQ(GetFocus(), edit) << "a click takes the focus";
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{3, 3}));
    Advance(1000);
    MoveTo(edit, at(1));
    MouseDown();
    EXPECT_EQ(GetCapture(), edit);
    MoveTo(edit, at(6));
    MouseUp();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{1, 6}));
    Advance(1000);
    KeyDown(VK_SHIFT);
    Click(edit, at(9));
    KeyUp(VK_SHIFT);
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{1, 9})) << "shift extends from the anchor";
    Advance(1000);
    Click(edit, at(5));
    Click(edit, at(5));
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{4, 7})) << "a double click selects the word";
    EXPECT_EQ(LOWORD(SendMessage(edit, EM_CHARFROMPOS, 0, MAKELPARAM(XOf(edit, 8) + 1, 5))), 8);
}

TEST_F(EditTest, CaretStaysInViewOfALongLine) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "0123456789";
    HWND edit = Make(ES_AUTOHSCROLL, text.c_str(), 120);
    RECT format{};
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    SetFocus(edit);
    Press("End");
    const int end = XOf(edit, 200);
    EXPECT_GT(end, format.left);
    EXPECT_LT(end, format.right);
    EXPECT_LT(XOf(edit, 0), format.left) << "the start scrolled out";
    GUITHREADINFO info;
    ASSERT_TRUE(GetGUIThreadInfo(0, &info));
    EXPECT_EQ(info.hwndCaret, edit);
    EXPECT_EQ(info.rcCaret.left, end);
    Press("Home");
    EXPECT_EQ(XOf(edit, 0), format.left);
    // Dragging past the right edge scrolls on.
    MoveTo(edit, POINT{XOf(edit, 2), 8});
    MouseDown();
    for (int i = 0; i < 30; ++i) MoveTo(edit, POINT{115 + i % 2, 8});
    MouseUp();
    EXPECT_LT(XOf(edit, 0), format.left);
    EXPECT_GT(Sel(edit).second, 20u);
}

TEST_F(EditTest, WithoutAutoScrollTheTextStopsAtTheEdge) {
    HWND edit = Make(ES_LEFT, "", 60);
    SetFocus(edit);
    TypeText("WWWWWWWWWWWWWWWWWWWW");
    const std::string text = GetWindowText(edit);
    EXPECT_GT(text.size(), 0u);
    EXPECT_LT(text.size(), 20u);
    EXPECT_NE(Notes().find("MAXTEXT"), std::string::npos);
    EXPECT_LE(XOf(edit, static_cast<int>(text.size())), 60);
}

TEST_F(EditTest, MarginsAndTheFormattingRectangle) {
    HWND edit = Make(ES_AUTOHSCROLL, "abc");
    SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 7));
    EXPECT_EQ(SendMessage(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(5, 7));
    RECT format{};
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format, (RECT{5, 0, 193, 24}));
    EXPECT_EQ(XOf(edit, 0), 5);
    SendMessage(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 1));
    EXPECT_EQ(SendMessage(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(5, 1));
    const RECT wanted{3, 4, 150, 20};
    SendMessage(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&wanted));
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format, (RECT{5, 0, 199, 24})) << "a single-line edit keeps its rectangle";

    HWND multi = Make(ES_MULTILINE | ES_AUTOHSCROLL, "abc");
    SendMessage(multi, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&wanted));
    SendMessage(multi, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format, wanted);
    EXPECT_EQ(SendMessage(multi, EM_POSFROMCHAR, 0, 0), MAKELRESULT(3, 4));
    SendMessage(multi, WM_CHAR, '\r', 0);
    EXPECT_EQ(GetWindowText(multi), "abc") << "no line break goes in";
}

TEST_F(EditTest, FontAndDialogCode) {
    HWND edit = Make();
    EXPECT_EQ(SendMessage(edit, WM_GETFONT, 0, 0), 0);
    LOGFONT lf{};
    lf.lfHeight = -20;
    HFONT font = CreateFontIndirect(&lf);
    SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(9, 9));
    SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessage(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    EXPECT_NE(SendMessage(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(9, 9)) << "a new font sets its own margins";
    EXPECT_EQ(SendMessage(edit, WM_GETDLGCODE, 0, 0), DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS);
    HWND multi = Make(ES_MULTILINE);
    EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, 0, 0),
              DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTALLKEYS);
    DestroyWindow(edit);
    DeleteObject(font);
}

// ============================================================================
// Drawing
// ============================================================================

TEST_F(EditTest, DrawsTheCaretAndTheSelectionWhileFocused) {
    HWND edit = Make(ES_AUTOHSCROLL, "WWW");
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    parent_.handler = [red](UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
        if (msg != WM_CTLCOLOREDIT) return false;
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        *result = reinterpret_cast<LRESULT>(red);
        return true;
    };
    RECT r{};
    GetWindowRect(edit, &r);
    auto pixel = [&r](int x, int y) { return ScreenPixel(POINT{r.left + x, r.top + y}); };
    RunUntilIdle();
    EXPECT_EQ(pixel(190, 12), RGB(255, 0, 0)) << "the parent's brush";
    SetFocus(edit);
    Select(edit, 1, 1);
    RunUntilIdle();
    const int caret = XOf(edit, 1);
    EXPECT_EQ(pixel(caret, 2), RGB(0, 0, 255)) << "the caret in the text colour";
    EXPECT_EQ(pixel(XOf(edit, 3) + 2, 2), RGB(255, 0, 0));
    Select(edit, 0, -1);
    RunUntilIdle();
    EXPECT_EQ(pixel(XOf(edit, 2) + 1, 1), GetSysColor(COLOR_HIGHLIGHT));
    SetFocus(frame_);
    RunUntilIdle();
    EXPECT_EQ(pixel(XOf(edit, 2) + 1, 1), RGB(255, 0, 0)) << "the selection hides without the focus";
    EXPECT_EQ(pixel(XOf(edit, 3), 2), RGB(255, 0, 0)) << "no caret";
    DestroyWindow(edit);
    DeleteObject(red);
}

// ============================================================================
// The class
// ============================================================================

TEST_F(EditTest, SystemClassIsThereAndCanBeSubclassed) {
    WNDCLASS wc;
    ASSERT_TRUE(GetClassInfo(nullptr, "Edit", &wc));
    EXPECT_EQ(wc.hCursor, LoadCursor(nullptr, IDC_IBEAM));
    EXPECT_TRUE(wc.style & CS_DBLCLKS);
    EXPECT_FALSE(UnregisterClass("EDIT", nullptr));
    HWND edit = Make();
    EXPECT_EQ(GetClassName(edit), "EDIT");
    static WNDPROC old = nullptr;
    old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(edit, GWL_WNDPROC));
    EXPECT_EQ(old, wc.lpfnWndProc);
    SetWindowLongPtr(edit, GWL_WNDPROC,
                     reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                         if (m == WM_CHAR && w == 'x') return 0;
                         return CallWindowProc(old, h, m, w, l);
                     }));
    SetFocus(edit);
    TypeText("axb");
    EXPECT_EQ(GetWindowText(edit), "ab");
}

TEST_F(EditTest, TypingAtTheEndOfALongText) {
    HWND edit = Make();
    SendMessage(edit, EM_LIMITTEXT, 0, 0);
    for (int i = 0; i < 100000; ++i) SendMessage(edit, WM_CHAR, i % 3 ? 'a' : 0x0436, 0);
    EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 100000 + 33334);
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{100000, 100000}));
    RECT format{};
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_LE(XOf(edit, 100000), format.right);
    SendMessage(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 0) << "one run of typing";
}

} // namespace
