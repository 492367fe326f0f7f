// DrawEdge and DrawFocusRect.

#include "gfx/draw.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <climits>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kPaper = RGB(250, 240, 230);

// Gives every system colour a value of its own so that a picture shows which
// colour went where: L 3DLIGHT, D 3DDKSHADOW, H BTNHIGHLIGHT, S BTNSHADOW,
// F BTNFACE, W WINDOW, K WINDOWFRAME, '.' untouched.
class EdgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GetSysColorScheme();
        ColorScheme s{};
        for (int i = 0; i < SYS_COLOR_COUNT; ++i)
            s[static_cast<std::size_t>(i)] = RGB(10 + i, 20 + i, 30 + i);
        SetSysColorScheme(s);
    }
    void TearDown() override { SetSysColorScheme(saved_); }

    static std::string Picture(const DibDC& d) {
        const std::pair<int, char> names[] = {
            {COLOR_3DLIGHT, 'L'}, {COLOR_3DDKSHADOW, 'D'}, {COLOR_BTNHIGHLIGHT, 'H'}, {COLOR_BTNSHADOW, 'S'},
            {COLOR_BTNFACE, 'F'}, {COLOR_WINDOW, 'W'},     {COLOR_WINDOWFRAME, 'K'}};
        std::string out;
        for (int y = 0; y < d.height(); ++y) {
            for (int x = 0; x < d.width(); ++x) {
                COLORREF c = d.At(x, y);
                char ch = c == kPaper ? '.' : '?';
                for (auto [index, name] : names)
                    if (c == GetSysColor(index)) ch = name;
                out += ch;
            }
            out += '\n';
        }
        return out;
    }

private:
    ColorScheme saved_{};
};

struct EdgeCase {
    const char* name;
    UINT edge;
    UINT flags;
    const char* picture; // of an 8 x 7 surface with the edge drawn in (1, 1, 7, 6)
};

TEST_F(EdgeTest, DrawsEachEdgeKindWithItsColoursAndCorners) {
    const EdgeCase cases[] = {
        {"raised", EDGE_RAISED, BF_RECT,
         "........\n.LLLLLD.\n.LHHHSD.\n.LH..SD.\n.LSSSSD.\n.DDDDDD.\n........\n"},
        {"sunken", EDGE_SUNKEN, BF_RECT,
         "........\n.SSSSSH.\n.SDDDLH.\n.SD..LH.\n.SLLLLH.\n.HHHHHH.\n........\n"},
        {"etched", EDGE_ETCHED, BF_RECT,
         "........\n.SSSSSH.\n.SHHHSH.\n.SH..SH.\n.SSSSSH.\n.HHHHHH.\n........\n"},
        {"bump", EDGE_BUMP, BF_RECT,
         "........\n.LLLLLD.\n.LDDDLD.\n.LD..LD.\n.LLLLLD.\n.DDDDDD.\n........\n"},
        {"soft raised", EDGE_RAISED, BF_RECT | BF_SOFT,
         "........\n.HHHHHD.\n.HLLLSD.\n.HL..SD.\n.HSSSSD.\n.DDDDDD.\n........\n"},
        {"soft sunken", EDGE_SUNKEN, BF_RECT | BF_SOFT,
         "........\n.DDDDDH.\n.DSSSLH.\n.DS..LH.\n.DLLLLH.\n.HHHHHH.\n........\n"},
        {"inner only", BDR_RAISEDINNER, BF_RECT,
         "........\n.HHHHHS.\n.H....S.\n.H....S.\n.H....S.\n.SSSSSS.\n........\n"},
        {"outer only with middle", BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE,
         "........\n.SSSSSH.\n.SFFFFH.\n.SFFFFH.\n.SFFFFH.\n.HHHHHH.\n........\n"},
        {"flat", EDGE_SUNKEN, BF_RECT | BF_FLAT,
         "........\n.SSSSSS.\n.SFFFFS.\n.SF..FS.\n.SFFFFS.\n.SSSSSS.\n........\n"},
        {"mono with middle", EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE,
         "........\n.KKKKKK.\n.KWWWWK.\n.KWWWWK.\n.KWWWWK.\n.KKKKKK.\n........\n"},
        {"flat mono", EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MONO,
         "........\n.SSSSSS.\n.SWWWWS.\n.SW..WS.\n.SWWWWS.\n.SSSSSS.\n........\n"},
        {"top-left", EDGE_RAISED, BF_TOPLEFT,
         "........\n.LLLLLL.\n.LHHHHH.\n.LH.....\n.LH.....\n.LH.....\n........\n"},
        {"bottom-right", EDGE_RAISED, BF_BOTTOMRIGHT,
         "........\n.....SD.\n.....SD.\n.....SD.\n.SSSSSD.\n.DDDDDD.\n........\n"},
        {"left and bottom", EDGE_SUNKEN, BF_LEFT | BF_BOTTOM,
         "........\n.SD.....\n.SD.....\n.SD.....\n.SLLLLL.\n.HHHHHH.\n........\n"},
        {"no sides", EDGE_RAISED, BF_MIDDLE,
         "........\n.FFFFFF.\n.FFFFFF.\n.FFFFFF.\n.FFFFFF.\n.FFFFFF.\n........\n"},
        {"contradictory borders", BDR_OUTER | BDR_INNER, BF_RECT,
         "........\n........\n........\n........\n........\n........\n........\n"},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        DibDC d(8, 7, kPaper);
        RECT r{1, 1, 7, 6};
        EXPECT_TRUE(DrawEdge(d.dc(), &r, c.edge, c.flags));
        EXPECT_EQ(Picture(d), c.picture);
        EXPECT_EQ(r, (RECT{1, 1, 7, 6})) << "moved without BF_ADJUST";
    }
}

TEST_F(EdgeTest, AdjustShrinksByTheBordersDrawnOnEachSide) {
    struct Case {
        UINT edge, flags;
        RECT expected;
    } cases[] = {
        {EDGE_RAISED, BF_RECT | BF_ADJUST, {12, 22, 48, 38}},
        {BDR_RAISEDINNER, BF_RECT | BF_ADJUST, {11, 21, 49, 39}},
        {EDGE_SUNKEN, BF_TOPLEFT | BF_ADJUST, {12, 22, 50, 40}},
        {EDGE_ETCHED, BF_BOTTOM | BF_ADJUST, {10, 20, 50, 38}},
        {EDGE_BUMP, BF_RIGHT | BF_FLAT | BF_ADJUST, {10, 20, 48, 40}},
        {0, BF_RECT | BF_ADJUST, {10, 20, 50, 40}},
    };
    DibDC d(60, 50, kPaper);
    for (const Case& c : cases) {
        RECT r{10, 20, 50, 40};
        EXPECT_TRUE(DrawEdge(d.dc(), &r, c.edge, c.flags));
        EXPECT_EQ(r, c.expected) << c.edge << " " << c.flags;
    }
}

TEST_F(EdgeTest, DiagonalsRunCornerToCornerWithTheFaceOnOneSide) {
    // Ending at the top: the line is lit, the face lies below it.
    DibDC d(6, 6, kPaper);
    RECT r{1, 1, 6, 6};
    EXPECT_TRUE(DrawEdge(d.dc(), &r, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE));
    EXPECT_EQ(Picture(d), "......\n.....L\n....LH\n...LHF\n..LHFF\n.LHFFF\n");
    // Ending at the bottom: the line is shaded, the face lies above it.
    DibDC e(6, 6, kPaper);
    EXPECT_TRUE(DrawEdge(e.dc(), &r, EDGE_RAISED, BF_DIAGONAL_ENDBOTTOMRIGHT | BF_MIDDLE));
    EXPECT_EQ(Picture(e), "......\n.DSFFF\n..DSFF\n...DSF\n....DS\n.....D\n");
    // A shallow line covers every column once.
    DibDC f(10, 3, kPaper);
    RECT wide{0, 0, 10, 3};
    EXPECT_TRUE(DrawEdge(f.dc(), &wide, BDR_SUNKENOUTER, BF_DIAGONAL_ENDTOPLEFT));
    EXPECT_EQ(Picture(f), "SSS.......\n...SSSS...\n.......SSS\n");
}

TEST_F(EdgeTest, FocusRectInvertsEveryOtherFramePixelAndUndoesItself) {
    DibDC d(9, 7, kPaper);
    RECT r{1, 1, 8, 6};
    EXPECT_TRUE(DrawFocusRect(d.dc(), &r));
    const COLORREF inv = RGB(255 - 250, 255 - 240, 255 - 230);
    // A checkerboard restricted to the frame.
    std::string expected;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            bool frame = x >= 1 && x <= 7 && y >= 1 && y <= 5 && (x == 1 || x == 7 || y == 1 || y == 5);
            expected += frame && (x + y) % 2 == 0 ? '#' : '.';
        }
        expected += '\n';
    }
    EXPECT_EQ(d.Picture(inv), expected);
    EXPECT_TRUE(DrawFocusRect(d.dc(), &r));
    EXPECT_EQ(d.CountNot(kPaper), 0);

    // One pixel high: the top and bottom sides are the same row, inverted once.
    RECT line{0, 3, 9, 4};
    EXPECT_TRUE(DrawFocusRect(d.dc(), &line));
    EXPECT_EQ(d.CountNot(kPaper), 4);
    EXPECT_TRUE(DrawFocusRect(d.dc(), &line));
    EXPECT_EQ(d.CountNot(kPaper), 0);
}

TEST_F(EdgeTest, FollowTheOriginsAndTheClip) {
    DibDC d(8, 7, kPaper);
    SetViewportOrgEx(d.dc(), 1, 1, nullptr);
    IntersectClipRect(d.dc(), 0, 0, 5, 7); // surface columns 1..5
    RECT r{0, 0, 6, 5};
    EXPECT_TRUE(DrawEdge(d.dc(), &r, EDGE_RAISED, BF_RECT));
    EXPECT_EQ(Picture(d), "........\n.LLLLL..\n.LHHHS..\n.LH..S..\n.LSSSS..\n.DDDDD..\n........\n");
}

TEST_F(EdgeTest, BadInputFailsOrStaysInside) {
    RECT r{0, 0, 4, 4};
    EXPECT_FALSE(DrawEdge(nullptr, &r, EDGE_RAISED, BF_RECT));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(DrawFocusRect(handle_from_int<HDC>(0x7777000000001234ull), &r));
    DibDC d(8, 8, kPaper);
    EXPECT_FALSE(DrawEdge(d.dc(), nullptr, EDGE_RAISED, BF_RECT));
    EXPECT_FALSE(DrawFocusRect(d.dc(), nullptr));

    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    for (UINT flags : {BF_RECT | BF_MIDDLE | BF_ADJUST, BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE,
                       BF_DIAGONAL_ENDBOTTOMRIGHT | BF_MIDDLE}) {
        RECT h = huge;
        EXPECT_TRUE(DrawEdge(d.dc(), &h, EDGE_BUMP, flags));
    }
    RECT adjusted = huge;
    DrawEdge(d.dc(), &adjusted, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(adjusted, (RECT{INT_MIN + 2, INT_MIN + 2, INT_MAX - 2, INT_MAX - 2}));
    EXPECT_TRUE(DrawFocusRect(d.dc(), &huge));
    RECT inverted{6, 6, 2, 2};
    DibDC e(8, 8, kPaper);
    EXPECT_TRUE(DrawEdge(e.dc(), &inverted, EDGE_RAISED, BF_RECT | BF_MIDDLE));
    EXPECT_TRUE(DrawFocusRect(e.dc(), &inverted));
    EXPECT_EQ(e.CountNot(kPaper), 0);
}

} // namespace
} // namespace gfx
