#include "support/driver.h"

#include "gfx/draw.h"

#include <algorithm>
#include <cstring>

using namespace win;

namespace {

class ResourcesTest : public testdrv::WinTest {};

HBITMAP SolidBitmap(int w, int h, std::uint32_t pixel) {
    HBITMAP b = CreateBitmap(w, h, 1, 32, nullptr);
    BitmapSurface s;
    GetBitmapSurface(b, &s);
    for (int y = 0; y < h; ++y) std::fill(s.Row(y), s.Row(y) + w, pixel);
    return b;
}

std::uint32_t PixelOf(HBITMAP b, int x, int y) {
    BitmapSurface s;
    return GetBitmapSurface(b, &s) ? s.Row(y)[x] : 0xDEADBEEF;
}

HICON SmallIcon() {
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HBITMAP color = SolidBitmap(16, 16, 0x00FF0000);
    ICONINFO info;
    info.fIcon = FALSE;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

TEST_F(ResourcesTest, ModulesAreFoundByName) {
    HMODULE bars = RegisterModule("BarsArt");
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(RegisterModule("barsart"), bars);
    EXPECT_EQ(GetModuleHandle("BARSART"), bars);
    EXPECT_EQ(GetModuleHandle("barsart.dll"), bars);
    EXPECT_NE(GetModuleHandle(nullptr), nullptr);
    EXPECT_NE(GetModuleHandle(nullptr), bars);
    EXPECT_NE(GetModuleHandle("user32"), nullptr);
    EXPECT_EQ(GetModuleHandle("USER32.DLL"), GetModuleHandle("user32"));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandle("nosuch"), nullptr);
    EXPECT_EQ(GetLastError(), 126u);
    EXPECT_EQ(RegisterModule(""), nullptr);
}

TEST_F(ResourcesTest, BitmapsAreLoadedAsCopies) {
    HMODULE art = RegisterModule("BitmapArt");
    ASSERT_TRUE(AddResource(art, ResType::Bitmap, "CHECK", SolidBitmap(4, 3, 0x00123456), nullptr, ""));
    ASSERT_TRUE(
        AddResource(art, ResType::Bitmap, std::uintptr_t{7}, SolidBitmap(2, 2, 0x00ABCDEF), nullptr, ""));

    HBITMAP a = LoadBitmap(art, "check");
    ASSERT_NE(a, nullptr);
    BITMAP info;
    GetObject(a, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(PixelOf(a, 3, 2), 0x00123456u);
    // The copy is the caller's: changing or deleting it leaves the resource alone.
    BitmapSurface s;
    GetBitmapSurface(a, &s);
    s.Row(0)[0] = 0;
    DeleteObject(a);
    HBITMAP b = LoadBitmap(art, "CHECK");
    EXPECT_EQ(PixelOf(b, 0, 0), 0x00123456u);
    DeleteObject(b);

    // "#7" and 7 name the same resource.
    HBITMAP c = LoadBitmap(art, "#7");
    EXPECT_EQ(PixelOf(c, 1, 1), 0x00ABCDEFu);
    DeleteObject(c);
    const ResourceEntry* e = FindResource(art, std::uintptr_t{7}, ResType::Bitmap);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "#7");
    EXPECT_EQ(FindResource(art, "CHECK", ResType::Icon), nullptr);

    // Adding again replaces.
    ASSERT_TRUE(AddResource(art, ResType::Bitmap, "check", SolidBitmap(1, 1, 0x00000001), nullptr, ""));
    HBITMAP d = LoadBitmap(art, "CHECK");
    EXPECT_EQ(PixelOf(d, 0, 0), 1u);
    DeleteObject(d);

    SetLastError(0);
    EXPECT_EQ(LoadBitmap(art, "MISSING"), nullptr);
    EXPECT_EQ(GetLastError(), 1814u);
    EXPECT_FALSE(AddResource(art, ResType::Bitmap, "BAD", nullptr, nullptr, ""));
    EXPECT_FALSE(AddResource(reinterpret_cast<HMODULE>(std::uintptr_t{0x1234}), ResType::Data, "X", nullptr,
                             nullptr, "x"));
}

TEST_F(ResourcesTest, StringsAndData) {
    ASSERT_TRUE(AddResource(nullptr, ResType::String, std::uintptr_t{100}, nullptr, nullptr, "Customize..."));
    ASSERT_TRUE(AddResource(nullptr, ResType::String, std::uintptr_t{101}, nullptr, nullptr, "Настройка"));
    ASSERT_TRUE(AddResource(nullptr, ResType::Data, "LAYOUT", nullptr, nullptr, std::string("a\0b", 3)));

    EXPECT_EQ(LoadString(nullptr, 100), "Customize...");
    EXPECT_EQ(LoadString(GetModuleHandle(nullptr), 101), "Настройка");
    EXPECT_EQ(LoadString(nullptr, 999), "");

    struct Case {
        UINT id;
        int size;
        std::string text;
    };
    const Case cases[] = {
        {100, 64, "Customize..."},
        {100, 5, "Cust"},
        {101, 6, "На"}, // "Н" "а" are two bytes each
        {101, 4, "Н"},
        {999, 10, ""},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        const int n = LoadString(nullptr, c.id, buffer, c.size);
        EXPECT_EQ(std::string(buffer), c.text);
        EXPECT_EQ(n, static_cast<int>(c.text.size()));
    }
    char one[1];
    EXPECT_EQ(LoadString(nullptr, 100, one, 0), 0);

    const ResourceEntry* e = FindResource(nullptr, "layout", ResType::Data);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->data, std::string("a\0b", 3));
    HRSRC form = FindResource(nullptr, "LAYOUT", RT_RCDATA);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, form))),
                          SizeofResource(nullptr, form)),
              std::string("a\0b", 3));
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST_F(ResourcesTest, CursorsAndIconsAreShared) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadCursor(nullptr, IDC_HAND), arrow);

    HMODULE art = RegisterModule("CursorArt");
    HICON drag = SmallIcon();
    ASSERT_TRUE(AddResource(art, ResType::Cursor, "DRAG", nullptr, drag, ""));
    EXPECT_EQ(LoadCursor(art, "drag"), drag);
    EXPECT_EQ(LoadIcon(art, "DRAG"), nullptr);
    HICON logo = SmallIcon();
    ASSERT_TRUE(AddResource(art, ResType::Icon, std::uintptr_t{1}, nullptr, logo, ""));
    EXPECT_EQ(LoadIcon(art, std::uintptr_t{1}), logo);
    EXPECT_FALSE(AddResource(art, ResType::Icon, "BAD", nullptr, nullptr, ""));
}

TEST_F(ResourcesTest, OptionalEntryPoints) {
    HMODULE user = GetModuleHandle("user32");
    const std::pair<const char*, void*> entries[] = {
        {"TrackMouseEvent", reinterpret_cast<void*>(&TrackMouseEvent)},
        {"UpdateLayeredWindow", reinterpret_cast<void*>(&UpdateLayeredWindow)},
        {"SetLayeredWindowAttributes", reinterpret_cast<void*>(&SetLayeredWindowAttributes)},
        {"AnimateWindow", reinterpret_cast<void*>(&AnimateWindow)},
    };
    for (auto [name, fn] : entries) {
        EXPECT_EQ(GetProcAddress(user, name), fn) << name;
        SetEntryPointMissing(name, true);
        EXPECT_EQ(GetProcAddress(user, name), nullptr) << name;
    }
    SetEntryPointMissing("AnimateWindow", false);
    EXPECT_NE(GetProcAddress(user, "AnimateWindow"), nullptr);
    EXPECT_EQ(GetProcAddress(user, "GetNothing"), nullptr);
    EXPECT_EQ(GetProcAddress(GetModuleHandle(nullptr), "AnimateWindow"), nullptr);
    EXPECT_EQ(GetProcAddress(user, nullptr), nullptr);

    // A reset makes every entry point present again.
    ResetWindowSystem();
    EXPECT_EQ(GetProcAddress(user, "TrackMouseEvent"), reinterpret_cast<void*>(&TrackMouseEvent));
}

TEST_F(ResourcesTest, SoundsAreRecorded) {
    PlaySound("MenuPopup", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
    testdrv::Advance(50);
    PlaySound(nullptr, nullptr, 0);
    MessageBeep(MB_ICONQUESTION);
    MessageBeep(MB_OK);
    EXPECT_EQ(testdrv::Sounds(),
              (std::vector<std::string>{"MenuPopup", "", "SystemQuestion", "SystemDefault"}));
    const auto played = GetPlayedSounds();
    EXPECT_EQ(played[0].flags, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
    EXPECT_EQ(played[1].time - played[0].time, 50u);
    ClearPlayedSounds();
    EXPECT_TRUE(testdrv::Sounds().empty());
}

TEST_F(ResourcesTest, MessageBoxesWithoutAHandlerAnswerTheDefaultButton) {
    const std::pair<UINT, int> cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | 0x200, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (auto [type, answer] : cases) EXPECT_EQ(MessageBox(nullptr, "text", "caption", type), answer) << type;
}

TEST_F(ResourcesTest, MessageBoxesAnsweredByTheDriver) {
    const auto& shown = testdrv::AnswerMessageBoxes({IDNO, IDCANCEL});
    EXPECT_EQ(MessageBox(nullptr, "Save changes?", "Trestle", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Really?", nullptr, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Done", "Trestle", MB_OK), IDOK); // answers used up: the default
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Save changes?");
    EXPECT_EQ(shown[0].caption, "Trestle");
    EXPECT_EQ(shown[1].caption, "Error");
    EXPECT_EQ(shown[2].answer, IDOK);

    HWND stale = reinterpret_cast<HWND>(std::uintptr_t{0x7777});
    SetLastError(0);
    EXPECT_EQ(MessageBox(stale, "x", "y", MB_OK), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(shown.size(), 3u);
}

} // namespace
