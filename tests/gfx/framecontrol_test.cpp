// DrawFrameControl in the classic look.

#include "gfx/draw.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kPaper = RGB(1, 2, 3);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Part {
    const char* name;
    UINT type;
    UINT state;
};

const Part kParts[] = {
    {"close", DFC_CAPTION, DFCS_CAPTIONCLOSE},
    {"minimize", DFC_CAPTION, DFCS_CAPTIONMIN},
    {"maximize", DFC_CAPTION, DFCS_CAPTIONMAX},
    {"restore", DFC_CAPTION, DFCS_CAPTIONRESTORE},
    {"help", DFC_CAPTION, DFCS_CAPTIONHELP},
    {"menu arrow", DFC_MENU, DFCS_MENUARROW},
    {"menu arrow right", DFC_MENU, DFCS_MENUARROWRIGHT},
    {"menu check", DFC_MENU, DFCS_MENUCHECK},
    {"menu bullet", DFC_MENU, DFCS_MENUBULLET},
    {"scroll up", DFC_SCROLL, DFCS_SCROLLUP},
    {"scroll down", DFC_SCROLL, DFCS_SCROLLDOWN},
    {"scroll left", DFC_SCROLL, DFCS_SCROLLLEFT},
    {"scroll right", DFC_SCROLL, DFCS_SCROLLRIGHT},
    {"combo box", DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
    {"size grip", DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
    {"size grip right", DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT},
    {"check box", DFC_BUTTON, DFCS_BUTTONCHECK},
    {"radio", DFC_BUTTON, DFCS_BUTTONRADIO},
    {"three-state", DFC_BUTTON, DFCS_BUTTON3STATE},
    {"push", DFC_BUTTON, DFCS_BUTTONPUSH},
};

const UINT kStates[] = {0,
                        DFCS_PUSHED,
                        DFCS_CHECKED,
                        DFCS_INACTIVE,
                        DFCS_FLAT,
                        DFCS_MONO,
                        DFCS_HOT,
                        DFCS_TRANSPARENT,
                        DFCS_CHECKED | DFCS_INACTIVE,
                        DFCS_PUSHED | DFCS_CHECKED | DFCS_INACTIVE};

std::string Draw(const Part& p, UINT extra, int w, int h) {
    DibDC d(w + 6, h + 6, kPaper);
    RECT r{3, 3, 3 + w, 3 + h};
    EXPECT_TRUE(DrawFrameControl(d.dc(), &r, p.type, p.state | extra));
    std::string out;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x)
            out += std::to_string(d.At(x, y)) + (x + 1 == d.width() ? "\n" : " ");
    return out;
}

TEST(FrameControl, EveryPartDrawsInsideItsRectangleOnly) {
    for (const Part& p : kParts)
        for (UINT state : kStates)
            for (auto [w, h] : {std::pair{13, 13}, {16, 14}, {21, 21}, {30, 17}}) {
                SCOPED_TRACE(std::string(p.name) + " state " + std::to_string(state) + " " +
                             std::to_string(w) + "x" + std::to_string(h));
                DibDC d(w + 6, h + 6, kPaper);
                RECT r{3, 3, 3 + w, 3 + h};
                ASSERT_TRUE(DrawFrameControl(d.dc(), &r, p.type, p.state | state));
                RECT ink = d.InkBounds(kPaper);
                EXPECT_FALSE(IsRectEmpty(&ink));
                RECT outside;
                UnionRect(&outside, &ink, &r);
                EXPECT_EQ(outside, r);
                EXPECT_EQ(r, (RECT{3, 3, 3 + w, 3 + h}));
            }
}

TEST(FrameControl, PushedAndInactiveLookDifferent) {
    for (const Part& p : kParts) {
        SCOPED_TRACE(p.name);
        const std::string normal = Draw(p, 0, 16, 16);
        bool menu = p.type == DFC_MENU;
        bool grip =
            p.type == DFC_SCROLL && (p.state == DFCS_SCROLLSIZEGRIP || p.state == DFCS_SCROLLSIZEGRIPRIGHT);
        // Menu marks are masks and the grip is no button: neither has states.
        if (menu || grip) {
            EXPECT_EQ(Draw(p, DFCS_PUSHED | DFCS_INACTIVE, 16, 16), normal);
            continue;
        }
        EXPECT_NE(Draw(p, DFCS_PUSHED, 16, 16), normal);
        if (p.state != DFCS_BUTTONPUSH) {
            EXPECT_NE(Draw(p, DFCS_INACTIVE, 16, 16), normal);
        }
    }
}

TEST(FrameControl, ClassicGlyphShapes) {
    // The close button's cross in the classic 16 x 14 caption button.
    DibDC close(16, 14);
    RECT r{0, 0, 16, 14};
    DrawFrameControl(close.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    std::string cross;
    for (int y = 3; y < 10; ++y)
        cross += close.Picture(kBlack).substr(static_cast<std::size_t>(y * 17 + 4), 8) + '\n';
    EXPECT_EQ(cross, "##....##\n.##..##.\n..####..\n...##...\n..####..\n.##..##.\n##....##\n");
    EXPECT_EQ(close.InkBounds(GetSysColor(COLOR_BTNFACE)), (RECT{0, 0, 16, 14}));

    // The menu check mark, black on white, in a 13-pixel square.
    DibDC check(13, 13, kPaper);
    RECT m{0, 0, 13, 13};
    DrawFrameControl(check.dc(), &m, DFC_MENU, DFCS_MENUCHECK);
    EXPECT_EQ(check.CountNot(kPaper), 13 * 13);
    EXPECT_EQ(check.Picture(kBlack), ".............\n"
                                     ".............\n"
                                     ".............\n"
                                     ".........#...\n"
                                     "........##...\n"
                                     "...#...###...\n"
                                     "...##.###....\n"
                                     "...#####.....\n"
                                     "....###......\n"
                                     ".....#.......\n"
                                     ".............\n"
                                     ".............\n"
                                     ".............\n");
    EXPECT_EQ(check.CountNot(kWhite), 21);
}

TEST(FrameControl, CheckBoxStates) {
    auto centre = [](UINT state) {
        DibDC d(13, 13, kPaper);
        RECT r{0, 0, 13, 13};
        DrawFrameControl(d.dc(), &r, DFC_BUTTON, state);
        return d.At(6, 6);
    };
    EXPECT_EQ(centre(DFCS_BUTTONCHECK), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(centre(DFCS_BUTTONCHECK | DFCS_CHECKED), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(centre(DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(centre(DFCS_BUTTON3STATE | DFCS_CHECKED), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(centre(DFCS_BUTTONCHECK | DFCS_PUSHED), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(centre(DFCS_BUTTONRADIO), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(centre(DFCS_BUTTONRADIO | DFCS_CHECKED), GetSysColor(COLOR_WINDOWTEXT));

    // The radio button leaves the corners outside its circle alone.
    DibDC radio(12, 12, kPaper);
    RECT r{0, 0, 12, 12};
    DrawFrameControl(radio.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO);
    EXPECT_EQ(radio.At(0, 0), kPaper);
    EXPECT_EQ(radio.At(11, 11), kPaper);
    EXPECT_EQ(radio.At(5, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(radio.At(6, 11), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(FrameControl, PushButtonFacesAndAdjust) {
    DibDC d(20, 20, kPaper);
    RECT r{2, 2, 18, 18};
    ASSERT_TRUE(DrawFrameControl(d.dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r, (RECT{4, 4, 16, 16}));
    EXPECT_EQ(d.At(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(d.At(17, 17), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(d.At(10, 10), GetSysColor(COLOR_BTNFACE));

    RECT pushed{2, 2, 18, 18};
    DrawFrameControl(d.dc(), &pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(d.At(2, 2), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(d.At(17, 17), GetSysColor(COLOR_BTNHIGHLIGHT));

    // Checked but not pushed: sunken, with every other pixel highlighted.
    DrawFrameControl(d.dc(), &pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
    EXPECT_NE(d.At(10, 10), d.At(11, 10));
    EXPECT_EQ(d.At(10, 10), d.At(11, 11));

    // Transparent: the edge only.
    DibDC t(20, 20, kPaper);
    DrawFrameControl(t.dc(), &pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_TRANSPARENT);
    EXPECT_EQ(t.At(10, 10), kPaper);
    EXPECT_EQ(t.CountNot(kPaper), 16 * 16 - 12 * 12);

    // The scroll arrow's pushed face is flat.
    DrawFrameControl(t.dc(), &pushed, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED);
    EXPECT_EQ(t.At(2, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(t.At(17, 17), GetSysColor(COLOR_BTNSHADOW));
}

TEST(FrameControl, MenuMarksTransparentKeepBackground) {
    DibDC d(13, 13, kPaper);
    RECT r{0, 0, 13, 13};
    ASSERT_TRUE(DrawFrameControl(d.dc(), &r, DFC_MENU, DFCS_MENUBULLET | DFCS_TRANSPARENT));
    EXPECT_EQ(d.CountNot(kPaper) + d.CountNot(kBlack), 13 * 13) << "only black drawn";
    EXPECT_EQ(d.At(0, 0), kPaper);
    EXPECT_EQ(d.At(6, 6), kBlack);
}

TEST(FrameControl, BadInput) {
    DibDC d(20, 20, kPaper);
    RECT r{0, 0, 16, 16};
    EXPECT_FALSE(DrawFrameControl(nullptr, &r, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(DrawFrameControl(d.dc(), nullptr, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_FALSE(DrawFrameControl(d.dc(), &r, 99, 0));
    EXPECT_FALSE(DrawFrameControl(d.dc(), &r, DFC_CAPTION, 0x77));
    EXPECT_FALSE(DrawFrameControl(d.dc(), &r, DFC_SCROLL, 0x04));
    EXPECT_EQ(d.CountNot(kPaper), 0);

    for (const Part& p : kParts) {
        RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
        EXPECT_TRUE(DrawFrameControl(d.dc(), &huge, p.type, p.state | DFCS_ADJUSTRECT)) << p.name;
        RECT empty{5, 5, 5, 5};
        EXPECT_TRUE(DrawFrameControl(d.dc(), &empty, p.type, p.state)) << p.name;
        RECT tiny{5, 5, 7, 7};
        DibDC small(12, 12, kPaper);
        EXPECT_TRUE(DrawFrameControl(small.dc(), &tiny, p.type, p.state | DFCS_PUSHED | DFCS_INACTIVE));
        RECT ink = small.InkBounds(kPaper), all;
        UnionRect(&all, &ink, &tiny);
        EXPECT_EQ(all, tiny) << p.name;
    }
}

} // namespace
} // namespace gfx
