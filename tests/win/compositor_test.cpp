#include "support/driver.h"
#include "win/internal.h"

#include "gfx/png.h"

#include <cstdlib>
#include <functional>
#include <optional>

using namespace win;
using testdrv::MessageLog;
using testdrv::RunUntilIdle;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// Windows that paint their client area in the colour given at creation.
LRESULT SolidProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtr(
                h, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCT*>(lParam)->lpCreateParams));
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            RECT r;
            GetClientRect(h, &r);
            HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA)));
            FillRect(dc, &r, b);
            DeleteObject(b);
            EndPaint(h, &ps);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

class CompositorTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        WNDCLASS wc;
        wc.lpfnWndProc = &SolidProc;
        wc.lpszClassName = "CompositorSolid";
        ASSERT_NE(RegisterClass(&wc), 0);
    }

    HWND Solid(COLORREF color, RECT r, bool visible = true, DWORD exStyle = 0, HWND parent = nullptr) {
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | (visible ? WS_VISIBLE : 0);
        HWND h = CreateWindowEx(exStyle, "CompositorSolid", "", style, r.left, r.top, r.Width(), r.Height(),
                                parent, nullptr, nullptr,
                                reinterpret_cast<void*>(static_cast<std::uintptr_t>(color)));
        EXPECT_NE(h, nullptr);
        RunUntilIdle();
        return h;
    }

    static COLORREF Desktop() { return GetSysColor(COLOR_BACKGROUND); }
};

// Within one step of rounding.
::testing::AssertionResult Near(COLORREF actual, COLORREF expected) {
    auto close = [](int a, int b) { return std::abs(a - b) <= 1; };
    if (close(GetRValue(actual), GetRValue(expected)) && close(GetGValue(actual), GetGValue(expected)) &&
        close(GetBValue(actual), GetBValue(expected)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
}

TEST_F(CompositorTest, WindowsShowInZOrderOverTheDesktop) {
    HWND a = Solid(kRed, Rect(100, 100, 300, 300));
    HWND b = Solid(kBlue, Rect(200, 200, 400, 400));
    EXPECT_EQ(ScreenPixel(Point(50, 50)), Desktop());
    EXPECT_EQ(ScreenPixel(Point(150, 150)), kRed);
    EXPECT_EQ(ScreenPixel(Point(250, 250)), kBlue);

    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunUntilIdle();
    EXPECT_EQ(ScreenPixel(Point(250, 250)), kRed);

    ShowWindow(a, SW_HIDE);
    RunUntilIdle();
    EXPECT_EQ(ScreenPixel(Point(150, 150)), Desktop());
    EXPECT_EQ(ScreenPixel(Point(250, 250)), kBlue);

    MoveWindow(b, 500, 500, 200, 200, TRUE);
    RunUntilIdle();
    EXPECT_EQ(ScreenPixel(Point(250, 250)), Desktop());
    EXPECT_EQ(ScreenPixel(Point(550, 550)), kBlue);

    DestroyWindow(b);
    EXPECT_EQ(ScreenPixel(Point(550, 550)), Desktop());
    EXPECT_EQ(ScreenPixel(Point(5000, 5)), CLR_INVALID);
}

TEST_F(CompositorTest, ComposesOnlyWhatChanged) {
    HWND a = Solid(kRed, Rect(100, 100, 300, 300));
    ComposeScreen();
    EXPECT_EQ(ComposeScreen(), RECT{});

    HDC dc = GetDC(a);
    RECT spot{10, 10, 20, 20};
    HBRUSH green = CreateSolidBrush(kGreen);
    FillRect(dc, &spot, green);
    DeleteObject(green);
    ReleaseDC(a, dc);
    EXPECT_EQ(ComposeScreen(), Rect(110, 110, 120, 120));
    EXPECT_EQ(ScreenPixel(Point(115, 115)), kGreen);

    MoveWindow(a, 150, 100, 200, 200, TRUE);
    RunUntilIdle();
    EXPECT_EQ(ComposeScreen(), Rect(100, 100, 350, 300));

    // Sized in place, a window keeps what it showed where it still is.
    MoveWindow(a, 150, 100, 150, 200, TRUE);
    RunUntilIdle();
    EXPECT_EQ(ComposeScreen(), Rect(300, 100, 350, 300));
    EXPECT_EQ(ScreenPixel(Point(320, 150)), Desktop());
    MoveWindow(a, 150, 100, 200, 200, TRUE);
    RunUntilIdle();
    EXPECT_EQ(ComposeScreen(), Rect(300, 100, 350, 300));
    EXPECT_EQ(ScreenPixel(Point(320, 150)), kRed);
    EXPECT_EQ(ScreenPixel(Point(200, 200)), kRed);

    detail::DirtyScreen(Rect(0, 0, 5, 5));
    EXPECT_EQ(ComposeScreen(), Rect(0, 0, 5, 5));
}

// A window that comes or goes on top of others (a menu opening over a form)
// leaves what lies below as it was; a window that changes place among the
// others is composed again, with the one it moved past.
TEST_F(CompositorTest, RestackingComposesOnlyTheWindowsThatChangedPlace) {
    HWND low = Solid(kRed, Rect(100, 100, 300, 300));
    Solid(kGreen, Rect(400, 100, 500, 200));
    ComposeScreen();

    HWND top = Solid(kBlue, Rect(250, 250, 350, 350));
    EXPECT_EQ(ComposeScreen(), Rect(250, 250, 350, 350));
    EXPECT_EQ(ScreenPixel(Point(260, 260)), kBlue);
    DestroyWindow(top);
    RunUntilIdle();
    EXPECT_EQ(ComposeScreen(), Rect(250, 250, 350, 350));
    EXPECT_EQ(ScreenPixel(Point(260, 260)), kRed);
    EXPECT_EQ(ScreenPixel(Point(320, 320)), Desktop());

    SetWindowPos(low, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunUntilIdle();
    EXPECT_EQ(ComposeScreen(), Rect(100, 100, 500, 300));
}

TEST_F(CompositorTest, WindowRegionLetsTheWindowBelowShow) {
    Solid(kBlue, Rect(100, 100, 200, 200));
    HWND top = Solid(kRed, Rect(100, 100, 200, 200));
    SetWindowRgn(top, CreateRectRgn(0, 0, 50, 100), TRUE);
    RunUntilIdle();
    EXPECT_EQ(ScreenPixel(Point(120, 150)), kRed);
    EXPECT_EQ(ScreenPixel(Point(170, 150)), kBlue);
}

TEST_F(CompositorTest, LayeredWindowAttributes) {
    Solid(kBlue, Rect(100, 100, 200, 200));
    HWND top = Solid(kRed, Rect(100, 100, 200, 200), true, WS_EX_LAYERED);
    // Until it is given attributes or content a layered window shows nothing.
    EXPECT_EQ(ScreenPixel(Point(150, 150)), kBlue);

    struct Case {
        DWORD flags;
        COLORREF key;
        BYTE alpha;
        COLORREF expected;
    };
    const Case cases[] = {
        {LWA_ALPHA, 0, 255, kRed},
        {LWA_ALPHA, 0, 128, RGB(128, 0, 127)},
        {LWA_ALPHA, 0, 0, kBlue},
        {LWA_COLORKEY, kRed, 255, kBlue},
        {LWA_COLORKEY, kGreen, 255, kRed},
        {LWA_COLORKEY | LWA_ALPHA, kGreen, 128, RGB(128, 0, 127)},
        {0, 0, 0, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " alpha " << int(c.alpha));
        ASSERT_TRUE(SetLayeredWindowAttributes(top, c.key, c.alpha, c.flags));
        EXPECT_TRUE(Near(ScreenPixel(Point(150, 150)), c.expected));
        COLORREF key = 1;
        BYTE alpha = 1;
        DWORD flags = 9;
        ASSERT_TRUE(GetLayeredWindowAttributes(top, &key, &alpha, &flags));
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(alpha, c.alpha);
        EXPECT_EQ(flags, c.flags);
    }

    HWND plain = Solid(kGreen, Rect(0, 0, 10, 10));
    SetLastError(0);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SetLayeredWindowAttributes(top, 0, 128, 0x100));
}

// A memory DC holding a top-down 32-bit DIB whose pixels the test writes.
struct PixelSource {
    HDC dc{};
    HBITMAP bitmap{};
    HGDIOBJ old{};
    std::uint32_t* bits = nullptr;
    int width = 0;
    PixelSource(int w, int h) : width(w) {
        BITMAPINFO bi{};
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        dc = CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint32_t*>(p);
        old = SelectObject(dc, bitmap);
    }
    ~PixelSource() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    std::uint32_t& At(int x, int y) { return bits[y * width + x]; }
};

TEST_F(CompositorTest, UpdateLayeredWindowBlendsPremultipliedPixels) {
    Solid(kBlue, Rect(0, 0, 300, 300));
    HWND layered = Solid(kRed, Rect(0, 0, 10, 10), false, WS_EX_LAYERED);
    // Left half: white at half coverage (premultiplied); right half: nothing.
    PixelSource src(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) src.At(x, y) = x < 20 ? 0x80808080u : 0u;

    const POINT pos{50, 60};
    const SIZE size{40, 20};
    const POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(layered, nullptr, &pos, &size, src.dc, &origin, 0, &blend, ULW_ALPHA));
    RECT r;
    GetWindowRect(layered, &r);
    EXPECT_EQ(r, Rect(50, 60, 90, 80));
    ShowWindow(layered, SW_SHOWNA);
    RunUntilIdle();

    struct Case {
        BYTE constant;
        DWORD flags;
        COLORREF left, right;
    };
    const Case cases[] = {
        {255, ULW_ALPHA, RGB(128, 128, 255), kBlue},
        {128, ULW_ALPHA, RGB(64, 64, 255), kBlue},
        {255, ULW_OPAQUE, RGB(128, 128, 128), RGB(0, 0, 0)},
        {255, ULW_ALPHA | ULW_COLORKEY, RGB(128, 128, 255), kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " constant " << int(c.constant));
        blend.SourceConstantAlpha = c.constant;
        ASSERT_TRUE(UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, src.dc, &origin, RGB(1, 2, 3),
                                        &blend, c.flags));
        EXPECT_TRUE(Near(ScreenPixel(Point(55, 65)), c.left));
        EXPECT_TRUE(Near(ScreenPixel(Point(80, 65)), c.right));
    }

    // A window given its content by update has no attributes, and one given
    // attributes refuses updates.
    EXPECT_FALSE(GetLayeredWindowAttributes(layered, nullptr, nullptr, nullptr));
    ASSERT_TRUE(SetLayeredWindowAttributes(layered, 0, 255, LWA_ALPHA));
    EXPECT_FALSE(
        UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, src.dc, &origin, 0, &blend, ULW_ALPHA));

    HWND plain = Solid(kGreen, Rect(0, 0, 10, 10));
    EXPECT_FALSE(
        UpdateLayeredWindow(plain, nullptr, nullptr, nullptr, src.dc, &origin, 0, &blend, ULW_ALPHA));
    EXPECT_FALSE(
        UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, src.dc, &origin, 0, nullptr, ULW_ALPHA));
}

// UpdateLayeredWindow places the window without a message: a shadow or a
// fading menu draws its content for the new place in its own code.
TEST_F(CompositorTest, UpdateLayeredWindowMovesAndSizesWithoutMessages) {
    Solid(kBlue, Rect(0, 0, 400, 400));
    HWND layered = Solid(kRed, Rect(10, 10, 50, 50), true, WS_EX_LAYERED);
    PixelSource src(120, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) src.At(x, y) = 0xFF00FF00u;
    const POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(
        UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, src.dc, &origin, 0, &blend, ULW_ALPHA));
    RunUntilIdle();

    MessageLog log({layered});
    log.Only({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE, WM_NCCALCSIZE, WM_GETMINMAXINFO,
              WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
    struct Case {
        const char* name;
        std::optional<POINT> pos;
        std::optional<SIZE> size;
        RECT expected;
    };
    const Case cases[] = {
        {"move", POINT{100, 120}, std::nullopt, Rect(100, 120, 140, 160)},
        {"size", std::nullopt, SIZE{80, 30}, Rect(100, 120, 180, 150)},
        {"move and size", POINT{20, 30}, SIZE{100, 90}, Rect(20, 30, 120, 120)},
        {"neither", std::nullopt, std::nullopt, Rect(20, 30, 120, 120)},
    };
    RECT before;
    GetWindowRect(layered, &before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(UpdateLayeredWindow(layered, nullptr, c.pos ? &*c.pos : nullptr,
                                        c.size ? &*c.size : nullptr, src.dc, &origin, 0, &blend, ULW_ALPHA));
        RunUntilIdle();
        EXPECT_EQ(log.Text(), "");
        RECT r, client;
        GetWindowRect(layered, &r);
        GetClientRect(layered, &client);
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(client, Rect(0, 0, c.expected.Width(), c.expected.Height()));
        EXPECT_EQ(WindowFromPoint(Point(c.expected.right - 1, c.expected.bottom - 1)), layered);
        EXPECT_EQ(ScreenPixel(Point(c.expected.left, c.expected.top)), kGreen);
        EXPECT_EQ(ScreenPixel(Point(c.expected.right - 1, c.expected.bottom - 1)), kGreen);
        // What the window left shows what lies below.
        const POINT left{before.right - 1, before.bottom - 1};
        if (!PtInRect(&c.expected, left)) {
            EXPECT_EQ(ScreenPixel(left), kBlue);
        }
        before = c.expected;
    }
    // SetWindowPos still sends them.
    SetWindowPos(layered, nullptr, 0, 0, 60, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(log.Count(WM_WINDOWPOSCHANGED), 0);
}

// The screen under a layered window holds exactly what AlphaBlend makes of
// the same pixels over what lies below.
TEST_F(CompositorTest, LayersBlendAsAlphaBlendDoes) {
    constexpr COLORREF kBelow = RGB(30, 160, 220);
    constexpr int kSize = 32;
    Solid(kBelow, Rect(0, 0, 100, 100));
    HWND layered = Solid(kRed, Rect(10, 10, 10 + kSize, 10 + kSize), false, WS_EX_LAYERED);
    // Every alpha with assorted premultiplied colours, the key colour among them.
    PixelSource src(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const std::uint32_t a = static_cast<std::uint32_t>(y * kSize + x) & 0xFF;
            const std::uint32_t r = (static_cast<std::uint32_t>(x) * 37) % (a + 1);
            const std::uint32_t g = (static_cast<std::uint32_t>(y) * 53) % (a + 1);
            const std::uint32_t b = (static_cast<std::uint32_t>(x + y) * 11) % (a + 1);
            src.At(x, y) = (x + y) % 7 == 0 ? 0xFF010203u : a << 24 | r << 16 | g << 8 | b;
        }
    ShowWindow(layered, SW_SHOWNA);
    const POINT origin{0, 0};
    struct Case {
        const char* name;
        BYTE constant;
        BYTE format;
        DWORD flags;
    };
    const Case cases[] = {
        {"per pixel", 255, AC_SRC_ALPHA, ULW_ALPHA},
        {"per pixel and constant", 100, AC_SRC_ALPHA, ULW_ALPHA},
        {"constant", 77, 0, ULW_ALPHA},
        {"per pixel with a colour key", 200, AC_SRC_ALPHA, ULW_ALPHA | ULW_COLORKEY},
        {"constant with a colour key", 150, 0, ULW_ALPHA | ULW_COLORKEY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, c.constant, c.format};
        const COLORREF key = RGB(1, 2, 3);
        ASSERT_TRUE(
            UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, src.dc, &origin, key, &blend, c.flags));
        const MemoryDC expected(kSize, kSize);
        HBRUSH brush = CreateSolidBrush(kBelow);
        const RECT all{0, 0, kSize, kSize};
        FillRect(expected.Handle(), &all, brush);
        DeleteObject(brush);
        AlphaBlend(expected.Handle(), 0, 0, kSize, kSize, src.dc, 0, 0, kSize, kSize, blend);
        int wrong = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool keyed =
                    (c.flags & ULW_COLORKEY) && (src.At(x, y) & 0xFFFFFF) == PixelFromColor(key);
                const COLORREF want = keyed ? kBelow : GetPixel(expected.Handle(), x, y);
                if (ScreenPixel(Point(10 + x, 10 + y)) != want) ++wrong;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// --- Drawing on the screen ---------------------------------------------------

constexpr COLORREF Inverse(COLORREF c) {
    return c ^ 0xFFFFFF;
}

void Recolor(HWND h, COLORREF color) {
    SetWindowLongPtr(h, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    InvalidateRect(h, nullptr, TRUE);
    RunUntilIdle();
}

// A drag frame: the four sides of `r`, `width` wide, inverted through the
// DC's brush.
void InvertFrame(HDC dc, RECT r, int width) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc, r.left, r.top, w, width, PATINVERT);
    PatBlt(dc, r.left, r.bottom - width, w, width, PATINVERT);
    PatBlt(dc, r.left, r.top + width, width, h - 2 * width, PATINVERT);
    PatBlt(dc, r.right - width, r.top + width, width, h - 2 * width, PATINVERT);
}

// A checker whose 1 bits (the DC's white background under PATINVERT) invert
// the pixels whose x + y is odd.
HBRUSH CheckerBrush() {
    const unsigned char bits[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    return brush;
}

// Screen pixels of the rectangle `area` that differ from what `expected`
// wants at their point.
int Mismatches(RECT area, const std::function<COLORREF(int, int)>& expected) {
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (ScreenPixel(Point(x, y)) != expected(x, y)) ++wrong;
    return wrong;
}

// In `area` (by default the frame's rectangle), the frame of `r`, `width`
// wide, shows checkered over `under`, and only `under` shows elsewhere.
int FrameMismatches(RECT r, int width, COLORREF under, std::optional<RECT> area = std::nullopt) {
    RECT inner = r;
    InflateRect(&inner, -width, -width);
    return Mismatches(area.value_or(r), [&](int x, int y) {
        const bool onFrame = PtInRect(&r, Point(x, y)) && !PtInRect(&inner, Point(x, y));
        return onFrame && (x + y) % 2 ? Inverse(under) : under;
    });
}

TEST_F(CompositorTest, ADragFrameOnTheScreenStaysOverRepaintingWindowsUntilDrawnAgain) {
    HWND a = Solid(kRed, Rect(100, 100, 300, 300));
    ComposeScreen();
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    HBRUSH checker = CheckerBrush();
    HGDIOBJ old = SelectObject(screen, checker);
    const RECT frame = Rect(150, 150, 250, 220);
    InvertFrame(screen, frame, 3);
    RECT changed = ComposeScreen();
    RECT both{};
    UnionRect(&both, &changed, &frame);
    EXPECT_EQ(both, changed);
    EXPECT_EQ(FrameMismatches(frame, 3, kRed), 0);
    // The screen DC reads what shows.
    EXPECT_EQ(GetPixel(screen, 151, 150), Inverse(kRed));

    // The window repaints under the frame, a window comes over part of it and
    // goes: the frame shows over whatever is beneath.
    Recolor(a, kBlue);
    EXPECT_EQ(FrameMismatches(frame, 3, kBlue), 0);
    const RECT over = Rect(200, 140, 280, 200);
    HWND b = Solid(kGreen, over);
    EXPECT_EQ(FrameMismatches(frame, 3, kGreen, over), 0);
    DestroyWindow(b);
    EXPECT_EQ(FrameMismatches(frame, 3, kBlue), 0);

    // Drawn again, it is gone.
    InvertFrame(screen, frame, 3);
    EXPECT_EQ(Mismatches(frame, [](int, int) { return kBlue; }), 0);
    SelectObject(screen, old);
    DeleteObject(checker);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST_F(CompositorTest, TheUpdateLockWithholdsWhatWindowsDrawUntilItIsReleased) {
    HWND a = Solid(kRed, Rect(100, 100, 300, 300));
    HWND b = Solid(kGreen, Rect(400, 100, 500, 200));
    MessageLog log{a, b};
    log.Only({WM_PAINT});
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    EXPECT_FALSE(LockWindowUpdate(a));

    // The lock's own DC draws over the windows; a plain screen DC draws nothing.
    HDC plain = GetDC(nullptr);
    PatBlt(plain, 100, 100, 50, 50, DSTINVERT);
    ReleaseDC(nullptr, plain);
    EXPECT_EQ(ScreenPixel(Point(110, 110)), kRed);
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    HBRUSH checker = CheckerBrush();
    HGDIOBJ old = SelectObject(dc, checker);
    const RECT frame = Rect(150, 150, 250, 220);
    InvertFrame(dc, frame, 3);
    EXPECT_EQ(FrameMismatches(frame, 3, kRed), 0);

    // A window under the lock paints into nothing: the frame stays whole, and
    // drawing it again leaves the screen as it was.
    Recolor(a, kBlue);
    EXPECT_EQ(log.Text(), "WM_PAINT");
    EXPECT_EQ(FrameMismatches(frame, 3, kRed), 0);
    InvertFrame(dc, frame, 3);
    EXPECT_EQ(Mismatches(frame, [](int, int) { return kRed; }), 0);
    SelectObject(dc, old);
    DeleteObject(checker);
    ReleaseDC(GetDesktopWindow(), dc);

    // Released, the lock has the window paint again what it could not.
    log.Clear();
    EXPECT_TRUE(LockWindowUpdate(nullptr));
    EXPECT_FALSE(LockWindowUpdate(nullptr));
    RunUntilIdle();
    EXPECT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].hwnd, a);
    EXPECT_EQ(ScreenPixel(Point(200, 200)), kBlue);
    EXPECT_EQ(ScreenPixel(Point(450, 150)), kGreen);
}

TEST_F(CompositorTest, TheUpdateLockDecidesWhichDCsDraw) {
    HWND a = Solid(kRed, Rect(100, 100, 300, 300));
    HWND b = Solid(kGreen, Rect(400, 100, 500, 200));
    HWND desktop = GetDesktopWindow();
    struct Case {
        const char* name;
        HWND locked;
        HWND dcOf; // nullptr: the screen
        DWORD flags;
        POINT at; // on the screen
        bool draws;
    };
    const Case cases[] = {
        {"no lock, the screen", nullptr, nullptr, 0, Point(150, 150), true},
        {"the locked window", a, a, 0, Point(150, 150), false},
        {"the locked window, asked past the lock", a, a, DCX_LOCKWINDOWUPDATE, Point(150, 150), true},
        {"another window", a, b, 0, Point(450, 150), true},
        {"the screen over the locked window", a, nullptr, 0, Point(150, 150), false},
        {"the screen elsewhere", a, nullptr, 0, Point(450, 150), true},
        {"the screen past the lock", a, nullptr, DCX_LOCKWINDOWUPDATE, Point(150, 150), true},
        {"a window under the locked desktop", desktop, b, 0, Point(450, 150), false},
        {"the screen under the locked desktop", desktop, nullptr, DCX_CACHE, Point(450, 150), false},
        {"the desktop's lock DC", desktop, desktop, DCX_CACHE | DCX_LOCKWINDOWUPDATE, Point(450, 150), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.locked) {
            ASSERT_TRUE(LockWindowUpdate(c.locked));
        }
        const COLORREF before = ScreenPixel(c.at);
        HDC dc = GetDCEx(c.dcOf, nullptr, c.flags);
        ASSERT_NE(dc, nullptr);
        POINT p = c.at;
        if (c.dcOf && c.dcOf != desktop) ScreenToClient(c.dcOf, &p);
        PatBlt(dc, p.x - 2, p.y - 2, 4, 4, DSTINVERT);
        EXPECT_EQ(ScreenPixel(c.at), c.draws ? Inverse(before) : before);
        PatBlt(dc, p.x - 2, p.y - 2, 4, 4, DSTINVERT);
        EXPECT_EQ(ScreenPixel(c.at), before);
        ReleaseDC(c.dcOf, dc);
        if (c.locked) {
            EXPECT_TRUE(LockWindowUpdate(nullptr));
        }
        RunUntilIdle();
    }
}

TEST_F(CompositorTest, AnimateWindowBlendsIn) {
    Solid(kBlue, Rect(0, 0, 300, 300));
    HWND w = Solid(kRed, Rect(50, 50, 150, 150), false);
    std::vector<COLORREF> frames;
    detail::SetFrameObserver([&] { frames.push_back(ScreenPixel(Point(100, 100))); });
    MessageLog log{w};
    log.Only({WM_SHOWWINDOW});

    const std::uint64_t start = ClockNow();
    ASSERT_TRUE(AnimateWindow(w, 200, AW_BLEND));
    EXPECT_GE(ClockNow() - start, 200u);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(log.Text(), "WM_SHOWWINDOW");
    ASSERT_GE(frames.size(), 10u);
    EXPECT_EQ(frames.front(), kBlue);
    EXPECT_EQ(frames.back(), kRed);
    for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_GE(GetRValue(frames[i]), GetRValue(frames[i - 1]));
    EXPECT_EQ(ScreenPixel(Point(100, 100)), kRed);

    // Showing a shown window is refused, as the original does.
    EXPECT_FALSE(AnimateWindow(w, 200, AW_BLEND));

    frames.clear();
    ASSERT_TRUE(AnimateWindow(w, 100, AW_BLEND | AW_HIDE));
    EXPECT_FALSE(IsWindowVisible(w));
    ASSERT_GE(frames.size(), 5u);
    EXPECT_EQ(frames.front(), kRed);
    EXPECT_EQ(frames.back(), kBlue);
    EXPECT_EQ(ScreenPixel(Point(100, 100)), kBlue);
    EXPECT_FALSE(AnimateWindow(w, 100, AW_BLEND | AW_HIDE));
}

TEST_F(CompositorTest, AnimateWindowSlidesFromTheGivenSide) {
    struct Case {
        DWORD flags;
        POINT first; // shows early
        POINT last;  // shows late
    };
    const Case cases[] = {
        {AW_SLIDE | AW_VER_POSITIVE, {150, 105}, {150, 195}},
        {AW_SLIDE | AW_VER_NEGATIVE, {150, 195}, {150, 105}},
        {AW_SLIDE | AW_HOR_POSITIVE, {105, 150}, {195, 150}},
        {AW_SLIDE | AW_HOR_NEGATIVE, {195, 150}, {105, 150}},
        {AW_CENTER, {150, 150}, {102, 102}},
        {AW_VER_POSITIVE, {150, 105}, {150, 195}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        HWND w = Solid(kRed, Rect(100, 100, 200, 200), false);
        int firstAt = -1, lastAt = -1, frame = 0;
        detail::SetFrameObserver([&] {
            if (firstAt < 0 && ScreenPixel(c.first) == kRed) firstAt = frame;
            if (lastAt < 0 && ScreenPixel(c.last) == kRed) lastAt = frame;
            ++frame;
        });
        ASSERT_TRUE(AnimateWindow(w, 100, c.flags));
        detail::SetFrameObserver(nullptr);
        EXPECT_GE(firstAt, 1);
        EXPECT_LT(firstAt, lastAt);
        EXPECT_EQ(lastAt, frame - 1);
        DestroyWindow(w);
    }
}

TEST_F(CompositorTest, AnimateWindowRefusesWhatTheOriginalRefuses) {
    HWND parent = Solid(kBlue, Rect(0, 0, 100, 100));
    HWND child = Solid(kRed, Rect(0, 0, 10, 10), false, 0, parent);
    HWND hidden = Solid(kRed, Rect(0, 0, 10, 10), false);
    HWND stale = Solid(kRed, Rect(0, 0, 10, 10), false);
    DestroyWindow(stale);
    struct Case {
        HWND hwnd;
        DWORD flags;
        DWORD error;
    };
    const Case cases[] = {
        {hidden, AW_SLIDE, ERROR_INVALID_PARAMETER},
        {child, AW_BLEND, ERROR_INVALID_PARAMETER},
        {stale, AW_BLEND, ERROR_INVALID_WINDOW_HANDLE},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(AnimateWindow(c.hwnd, 50, c.flags));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_FALSE(IsWindowVisible(hidden));
    // A child can still slide; it shows at the end.
    EXPECT_TRUE(AnimateWindow(child, 50, AW_SLIDE | AW_HOR_POSITIVE));
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(CompositorTest, SnapshotsAreWrittenAsPng) {
    HWND parent = Solid(kRed, Rect(100, 100, 200, 160));
    HWND child = Solid(kGreen, Rect(10, 10, 30, 20), true, 0, parent);
    const std::string dir = ::testing::TempDir();
    struct Case {
        std::function<bool(const std::string&)> take;
        int width, height;
        POINT probe;
        COLORREF color;
    };
    const Case cases[] = {
        {[](const std::string& p) { return SnapshotScreen(p); }, 1024, 768, {150, 150}, kRed},
        {[&](const std::string& p) { return SnapshotWindow(parent, p); }, 100, 60, {5, 5}, kRed},
        {[&](const std::string& p) { return SnapshotWindow(child, p); }, 20, 10, {5, 5}, kGreen},
        {[](const std::string& p) { return SnapshotRect(Rect(90, 90, 110, 110), p); },
         20,
         20,
         {5, 5},
         Desktop()},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = dir + "compositor_snapshot_" + std::to_string(n++) + ".png";
        ASSERT_TRUE(c.take(path));
        HBITMAP b = LoadPngToBitmap(path);
        ASSERT_NE(b, nullptr);
        BitmapSurface s;
        ASSERT_TRUE(GetBitmapSurface(b, &s));
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
        const std::uint32_t p = s.Row(c.probe.y)[c.probe.x];
        EXPECT_EQ(ColorFromPixel(p), c.color);
        DeleteObject(b);
        std::remove(path.c_str());
    }
}

TEST_F(CompositorTest, ScreenImageSpansAllMonitors) {
    SetScreen(
        32, {{Rect(0, 0, 1024, 768), Rect(0, 0, 1024, 738)}, {Rect(-800, 0, 0, 600), Rect(-800, 0, 0, 600)}});
    Solid(kRed, Rect(-700, 100, -600, 200));
    BitmapSurface s;
    ASSERT_TRUE(GetBitmapSurface(GetScreenBitmap(), &s));
    EXPECT_EQ(s.width, 1824);
    EXPECT_EQ(s.height, 768);
    EXPECT_EQ(ScreenPixel(Point(-650, 150)), kRed);
    EXPECT_EQ(ScreenPixel(Point(-10, 700)), Desktop());
    EXPECT_EQ(ScreenPixel(Point(-900, 10)), CLR_INVALID);
}

} // namespace
