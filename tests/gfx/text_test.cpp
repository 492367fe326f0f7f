// Text output, extents and metrics.

#include "gfx/gdi.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Selects a font into a DC for the scope and deletes it afterwards.
class ScopedFont {
public:
    ScopedFont(HDC dc, const LOGFONT& lf) : dc_(dc), font_(CreateFontIndirect(&lf)) {
        old_ = SelectObject(dc_, font_);
    }
    ScopedFont(HDC dc, int height, const char* face = "Tahoma", int weight = FW_NORMAL)
        : ScopedFont(dc, Make(height, face, weight)) {}
    ~ScopedFont() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    static LOGFONT Make(int height, const char* face, int weight = FW_NORMAL) {
        LOGFONT lf;
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return lf;
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

void PrepareTransparent(HDC dc, COLORREF ink = kBlack) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
}

TEXTMETRIC Metrics(HDC dc) {
    TEXTMETRIC tm;
    EXPECT_TRUE(GetTextMetrics(dc, &tm));
    return tm;
}

std::string Face(HDC dc) {
    char name[LF_FACESIZE] = {};
    GetTextFace(dc, LF_FACESIZE, name);
    return name;
}

// --- Rendering ---

TEST(Text, LatinAndCyrillicRenderInsideTheirExtent) {
    for (const char* text : {"Hello, World", "Открыть", "Выход", "Ёжик 123"}) {
        SCOPED_TRACE(text);
        DibDC d(160, 40);
        ScopedFont f(d.dc(), -11);
        PrepareTransparent(d.dc());
        EXPECT_TRUE(TextOut(d.dc(), 10, 5, text));
        const SIZE ext = GetTextExtent(d.dc(), text);
        const RECT ink = d.InkBounds(kWhite);
        EXPECT_GT(d.CountNot(kWhite), 20);
        EXPECT_GE(ink.left, 9);
        EXPECT_LE(ink.right, 10 + ext.cx + 1);
        EXPECT_GE(ink.top, 5);
        EXPECT_LE(ink.bottom, 5 + ext.cy);
        EXPECT_GT(ink.right - ink.left, ext.cx * 3 / 4);
    }
}

TEST(Text, InkIsTheTextColourWithAlphaZero) {
    DibDC d(80, 30);
    ScopedFont f(d.dc(), -16, "Tahoma", FW_BOLD);
    PrepareTransparent(d.dc(), kRed);
    TextOut(d.dc(), 2, 2, "HIM");
    int solid = 0;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) {
            if (d.At(x, y) == kWhite) continue;
            EXPECT_EQ(d.Raw(x, y) >> 24, 0u);
            // Partial coverage lies between white and red: red stays full.
            EXPECT_EQ(GetRValue(d.At(x, y)), 255);
            solid += d.At(x, y) == kRed;
        }
    EXPECT_GT(solid, 30); // vertical stems are fully covered
}

TEST(Text, MonochromeTargetsAndQualityGiveTwoColours) {
    // A monochrome bitmap thresholds the coverage.
    MemoryDC mono(60, 20, 1);
    const HDC dc = mono.Handle();
    PatBlt(dc, 0, 0, 60, 20, WHITENESS);
    {
        ScopedFont f(dc, -12);
        PrepareTransparent(dc);
        TextOut(dc, 1, 1, "Menu");
    }
    BitmapSurface s;
    ASSERT_TRUE(GetBitmapSurface(mono.Bitmap(), &s));
    int black = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t p = s.Row(y)[x];
            EXPECT_TRUE(p == 0 || p == 0xFFFFFF);
            black += p == 0;
        }
    EXPECT_GT(black, 20);

    // Non-antialiased quality on a colour target.
    DibDC d(60, 20);
    LOGFONT lf = ScopedFont::Make(-12, "Tahoma");
    lf.lfQuality = NONANTIALIASED_QUALITY;
    ScopedFont f(d.dc(), lf);
    PrepareTransparent(d.dc());
    TextOut(d.dc(), 1, 1, "Menu");
    std::set<COLORREF> colours;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) colours.insert(d.At(x, y));
    EXPECT_EQ(colours, (std::set<COLORREF>{kBlack, kWhite}));
}

TEST(Text, AlignmentPlacesTheTextAroundTheReferencePoint) {
    struct Case {
        UINT align;
        const char* name;
    };
    const Case cases[] = {{TA_LEFT | TA_TOP, "left top"},
                          {TA_RIGHT | TA_TOP, "right top"},
                          {TA_CENTER | TA_TOP, "center top"},
                          {TA_LEFT | TA_BOTTOM, "left bottom"},
                          {TA_LEFT | TA_BASELINE, "left baseline"}};
    constexpr int X = 100, Y = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibDC d(200, 60);
        ScopedFont f(d.dc(), -11);
        PrepareTransparent(d.dc());
        SetTextAlign(d.dc(), c.align);
        const TEXTMETRIC tm = Metrics(d.dc());
        const SIZE ext = GetTextExtent(d.dc(), "xxxx");
        TextOut(d.dc(), X, Y, "xxxx");
        const RECT ink = d.InkBounds(kWhite);
        ASSERT_FALSE(IsRectEmpty(&ink));
        if ((c.align & TA_CENTER) == TA_CENTER) {
            EXPECT_NEAR((ink.left + ink.right) / 2.0, X, 2.0);
        } else if (c.align & TA_RIGHT) {
            EXPECT_LE(ink.right, X + 1);
            EXPECT_GE(ink.left, X - ext.cx - 1);
        } else {
            EXPECT_GE(ink.left, X - 1);
            EXPECT_LE(ink.right, X + ext.cx + 1);
        }
        // 'x' sits on the baseline: its bottom is the baseline.
        const int baseline = (c.align & TA_BASELINE) == TA_BASELINE ? Y
                             : (c.align & TA_BOTTOM)                ? Y - tm.tmDescent
                                                                    : Y + tm.tmAscent;
        EXPECT_EQ(ink.bottom, baseline);
    }
}

TEST(Text, UpdateCurrentPositionAdvancesByTheExtent) {
    DibDC d(200, 30);
    ScopedFont f(d.dc(), -11);
    PrepareTransparent(d.dc());
    SetTextAlign(d.dc(), TA_UPDATECP);
    MoveToEx(d.dc(), 10, 5, nullptr);
    TextOut(d.dc(), 0, 0, "Open");
    POINT cp;
    GetCurrentPositionEx(d.dc(), &cp);
    EXPECT_EQ(cp.x, 10 + GetTextExtent(d.dc(), "Open").cx);
    EXPECT_EQ(cp.y, 5);
    EXPECT_GE(d.InkBounds(kWhite).left, 9); // drawn at the position, not at (0, 0)
}

TEST(Text, OpaqueModeFillsExactlyTheCell) {
    DibDC d(100, 40);
    ScopedFont f(d.dc(), -11);
    SetBkMode(d.dc(), OPAQUE);
    SetBkColor(d.dc(), kRed);
    const SIZE ext = GetTextExtent(d.dc(), "Exit");
    TextOut(d.dc(), 20, 10, "Exit");
    const RECT cell{20, 10, 20 + ext.cx, 10 + ext.cy};
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) {
            const bool inside = PtInRect(&cell, POINT{x, y});
            // Inside: background or ink; outside: never background.
            EXPECT_NE(d.At(x, y), inside ? kWhite : kRed) << x << "," << y;
        }
}

TEST(Text, ExtTextOutOpaqueClipAndSpacing) {
    DibDC d(120, 40);
    ScopedFont f(d.dc(), -16);
    PrepareTransparent(d.dc());
    SetBkColor(d.dc(), kRed);
    // ETO_OPAQUE fills the rectangle even in transparent mode; ETO_CLIPPED keeps ink inside.
    const RECT r{10, 5, 30, 25};
    EXPECT_TRUE(ExtTextOut(d.dc(), 12, 8, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW", 6, nullptr));
    EXPECT_EQ(d.InkBounds(kWhite), r);
    EXPECT_EQ(d.At(10, 5), kRed);
    EXPECT_EQ(d.At(29, 24), kRed);

    // A dx array spaces the characters out: each byte's entry adds to the advance.
    DibDC s(200, 40);
    ScopedFont f2(s.dc(), -16);
    PrepareTransparent(s.dc());
    const INT dx[] = {40, 40, 40};
    ExtTextOut(s.dc(), 0, 0, 0, nullptr, "lll", 3, dx);
    int stems = 0;
    for (int x = 0; x < s.width(); ++x)
        stems += s.At(x, 8) != kWhite && s.At(x - 1 < 0 ? 0 : x - 1, 8) == kWhite;
    EXPECT_EQ(stems, 3);
    EXPECT_GE(s.InkBounds(kWhite).right, 80);
}

TEST(Text, DrawingStaysInsideTheClipRegion) {
    DibDC d(100, 40);
    ScopedFont f(d.dc(), -20);
    PrepareTransparent(d.dc());
    IntersectClipRect(d.dc(), 15, 10, 40, 25);
    SetViewportOrgEx(d.dc(), 5, 0, nullptr); // origins shift the text, not the clip
    TextOut(d.dc(), 0, 0, "MMMMMMMM");
    const RECT ink = d.InkBounds(kWhite);
    EXPECT_FALSE(IsRectEmpty(&ink));
    EXPECT_GE(ink.left, 15);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 40);
    EXPECT_LE(ink.bottom, 25);
}

TEST(Text, RotatedTextRunsAlongTheEscapement) {
    struct Case {
        LONG escapement;
        bool upright; // taller than wide
    };
    for (const Case c : {Case{900, true}, Case{2700, true}, Case{1800, false}, Case{3500, false}}) {
        SCOPED_TRACE(c.escapement);
        DibDC d(120, 120);
        LOGFONT lf = ScopedFont::Make(-12, "Tahoma");
        lf.lfEscapement = c.escapement;
        lf.lfUnderline = 1;
        ScopedFont f(d.dc(), lf);
        PrepareTransparent(d.dc());
        TextOut(d.dc(), 60, 60, "Rotated");
        const RECT ink = d.InkBounds(kWhite);
        const int w = ink.right - ink.left, h = ink.bottom - ink.top;
        EXPECT_GT(w * h, 0);
        EXPECT_EQ(h > w, c.upright) << w << "x" << h;
        // The cell extends from the reference point along the text: up for
        // 900 (cell to its right), down for 2700 (cell to its left).
        if (c.escapement == 900) {
            EXPECT_LE(ink.bottom, 61);
            EXPECT_GE(ink.left, 60);
        } else if (c.escapement == 2700) {
            EXPECT_GE(ink.top, 59);
            EXPECT_LE(ink.right, 60);
        } else if (c.escapement == 1800) {
            EXPECT_LE(ink.right, 61);
            EXPECT_LE(ink.bottom, 60);
        }
    }
}

TEST(Text, UnderlineAndStrikeOutSpanTheText) {
    for (int kind = 0; kind < 2; ++kind) {
        DibDC d(100, 30);
        LOGFONT lf = ScopedFont::Make(-12, "Tahoma");
        (kind == 0 ? lf.lfUnderline : lf.lfStrikeOut) = 1;
        ScopedFont f(d.dc(), lf);
        PrepareTransparent(d.dc());
        const SIZE ext = GetTextExtent(d.dc(), "a b c");
        TextOut(d.dc(), 5, 5, "a b c");
        // Some row is inked across the whole extent, spaces included.
        bool fullRow = false;
        for (int y = 0; y < d.height(); ++y) {
            bool all = true;
            for (int x = 5; x < 5 + ext.cx; ++x) all = all && d.At(x, y) == kBlack;
            fullRow = fullRow || all;
        }
        EXPECT_TRUE(fullRow) << kind;
    }
}

// --- Fonts and metrics ---

TEST(Text, FacesMapToInstalledFonts) {
    struct Case {
        const char* face;
        int weight;
        const char* expected;
    };
    const Case cases[] = {
        {"", FW_NORMAL, "DejaVu Sans"},
        {"MS Shell Dlg 2", FW_NORMAL, "DejaVu Sans"},
        {"Segoe UI", FW_BOLD, "DejaVu Sans"},
        {"tahoma", FW_NORMAL, "DejaVu Sans"},
        {"No Such Face 42", FW_NORMAL, "DejaVu Sans"},
        {"DejaVu Serif", FW_NORMAL, "DejaVu Serif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        DibDC d(40, 20);
        ScopedFont f(d.dc(), -11, c.face, c.weight);
        EXPECT_EQ(Face(d.dc()), c.expected);
        EXPECT_GT(GetTextExtent(d.dc(), "Face").cx, 0);
    }
}

TEST(Text, FixedPitchFontsFallBackToAMonospacedFace) {
    DibDC d(10, 10);
    HGDIOBJ old = SelectObject(d.dc(), GetStockObject(ANSI_FIXED_FONT));
    EXPECT_EQ(Face(d.dc()), "DejaVu Sans Mono");
    EXPECT_EQ(GetTextExtent(d.dc(), "iiii").cx, GetTextExtent(d.dc(), "WWWW").cx);
    SelectObject(d.dc(), old);
}

TEST(Text, MetricsFollowTheRequestedHeight) {
    struct Case {
        LONG height;
        int cell; // expected tmHeight, or 0
        int em;   // expected tmHeight - tmInternalLeading, or 0
    };
    for (const Case c :
         {Case{-11, 0, 11}, Case{-16, 0, 16}, Case{20, 20, 0}, Case{13, 13, 0}, Case{0, 16, 0}}) {
        SCOPED_TRACE(c.height);
        DibDC d(10, 10);
        ScopedFont f(d.dc(), c.height);
        const TEXTMETRIC tm = Metrics(d.dc());
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        if (c.cell) {
            EXPECT_EQ(tm.tmHeight, c.cell);
        }
        if (c.em) {
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.em);
        }
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        EXPECT_EQ(GetTextExtent(d.dc(), "Ag").cy, tm.tmHeight);
    }
}

TEST(Text, ExtentExPointGivesFitAndPartialExtentsInBytes) {
    DibDC d(10, 10);
    ScopedFont f(d.dc(), -11);
    const std::string text = "Да, ok"; // two 2-byte letters first
    const int n = static_cast<int>(text.size());
    std::vector<INT> dx(n);
    SIZE all{};
    INT fit = -1;
    ASSERT_TRUE(GetTextExtentExPoint(d.dc(), text.c_str(), n, 1 << 20, &fit, dx.data(), &all));
    EXPECT_EQ(fit, n);
    EXPECT_EQ(dx[n - 1], all.cx);
    EXPECT_EQ(dx[0], dx[1]); // both bytes of 'Д'
    EXPECT_EQ(dx[1], GetTextExtent(d.dc(), "Д").cx);
    for (int i = 1; i < n; ++i) EXPECT_GE(dx[i], dx[i - 1]);
    // Room for "Да" and a little more: the fit stops on a character boundary.
    ASSERT_TRUE(GetTextExtentExPoint(d.dc(), text.c_str(), n, dx[3] + 1, &fit, nullptr, &all));
    EXPECT_EQ(fit, 4);
    EXPECT_EQ(all.cx, dx[n - 1]);
}

// --- Bad input ---

TEST(Text, BadHandlesFail) {
    SIZE s{};
    TEXTMETRIC tm;
    HDC dead = CreateCompatibleDC(nullptr);
    DeleteDC(dead);
    for (HDC dc : {HDC{}, dead}) {
        SetLastError(0);
        EXPECT_FALSE(TextOut(dc, 0, 0, "x"));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(ExtTextOut(dc, 0, 0, 0, nullptr, "x", 1, nullptr));
        EXPECT_FALSE(GetTextExtentPoint32(dc, "x", 1, &s));
        EXPECT_FALSE(GetTextMetrics(dc, &tm));
        EXPECT_EQ(GetTextFace(dc, 0, nullptr), 0);
    }
}

TEST(Text, DeletedSelectedFontStillDraws) {
    DibDC d(80, 30);
    PrepareTransparent(d.dc());
    HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(d.dc(), font);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(TextOut(d.dc(), 2, 2, "Still"));
    EXPECT_GT(d.CountNot(kWhite), 10);
    SelectObject(d.dc(), old);
    // After release the handle is dead; a DC without a valid font uses the stock one.
    EXPECT_EQ(SelectObject(d.dc(), font), nullptr);
    EXPECT_TRUE(TextOut(d.dc(), 2, 15, "Stock"));
}

TEST(Text, InvalidUtf8AndCountsAreSafe) {
    DibDC d(200, 30);
    ScopedFont f(d.dc(), -11);
    PrepareTransparent(d.dc());
    // Stray continuation bytes, an overlong form, a surrogate and a cut-off sequence.
    const char bad[] = "a\x80\xC0\xAF\xED\xA0\x80z\xE2\x82";
    EXPECT_TRUE(TextOut(d.dc(), 0, 0, bad, static_cast<int>(sizeof bad - 1)));
    EXPECT_GT(GetTextExtent(d.dc(), bad).cx, GetTextExtent(d.dc(), "az").cx);
    INT fit = 0;
    SIZE s{};
    ASSERT_TRUE(GetTextExtentExPoint(d.dc(), bad, sizeof bad - 1, 1 << 20, &fit, nullptr, &s));
    EXPECT_EQ(fit, static_cast<INT>(sizeof bad - 1));

    SetLastError(0);
    EXPECT_FALSE(TextOut(d.dc(), 0, 0, "abc", -1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(GetTextExtentPoint32(d.dc(), "abc", -1, &s));
    EXPECT_FALSE(GetTextExtentPoint32(d.dc(), "abc", 3, nullptr));
    EXPECT_FALSE(TextOut(d.dc(), 0, 0, nullptr, 3));

    // A count past the end of the string stops at its terminating zero.
    ASSERT_TRUE(GetTextExtentPoint32(d.dc(), "ab", 50, &s));
    EXPECT_EQ(s.cx, GetTextExtent(d.dc(), "ab").cx);
    DibDC a(60, 20), b(60, 20);
    for (DibDC* x : {&a, &b}) PrepareTransparent(x->dc());
    ScopedFont fa(a.dc(), -11), fb(b.dc(), -11);
    TextOut(a.dc(), 0, 0, "ab", 50);
    TextOut(b.dc(), 0, 0, "ab", 2);
    EXPECT_EQ(a.Picture(kBlack), b.Picture(kBlack));

    // Empty text draws nothing but has the cell height.
    DibDC e(20, 20);
    ScopedFont fe(e.dc(), -11);
    SetBkMode(e.dc(), OPAQUE);
    SetBkColor(e.dc(), kRed);
    EXPECT_TRUE(TextOut(e.dc(), 0, 0, "", 0));
    EXPECT_TRUE(TextOut(e.dc(), 0, 0, nullptr, 0));
    EXPECT_EQ(e.CountNot(kWhite), 0);
    ASSERT_TRUE(GetTextExtentPoint32(e.dc(), "", 0, &s));
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, Metrics(e.dc()).tmHeight);
}

TEST(Text, HugeCoordinatesAndSizesAreSafe) {
    DibDC d(40, 20);
    PrepareTransparent(d.dc());
    for (LONG h : {-100000, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
        ScopedFont f(d.dc(), h);
        EXPECT_GT(Metrics(d.dc()).tmHeight, 0);
    }
    ScopedFont f(d.dc(), -11);
    EXPECT_TRUE(TextOut(d.dc(), 0x7FFFFFF0, -0x7FFFFFF0, "far away"));
    const INT dx[] = {0x7FFFFFFF, 0x7FFFFFFF, -0x7FFFFFFF};
    EXPECT_TRUE(ExtTextOut(d.dc(), -5, 0, 0, nullptr, "abc", 3, dx));
    const RECT huge{-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    EXPECT_TRUE(ExtTextOut(d.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &huge, "x", 1, nullptr));
}

} // namespace
} // namespace gfx
