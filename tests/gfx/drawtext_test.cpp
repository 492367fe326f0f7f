// DrawText: measuring, prefixes, alignment, clipping, wrapping, ellipses.

#include "gfx/gdi.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A white DIB DC with black transparent text in an 11-pixel Tahoma.
class TextDC : public DibDC {
public:
    TextDC(int w, int h) : DibDC(w, h) {
        font_ = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
        old_ = SelectObject(dc(), font_);
        SetBkMode(dc(), TRANSPARENT);
        GetTextMetrics(dc(), &tm);
    }
    ~TextDC() {
        SelectObject(dc(), old_);
        DeleteObject(font_);
    }
    int Width(const std::string& s) const { return GetTextExtent(dc(), s).cx; }
    RECT Calc(const std::string& s, UINT format, RECT r = RECT{0, 0, 1000, 1000}) const {
        DrawText(dc(), s, &r, format | DT_CALCRECT);
        return r;
    }
    TEXTMETRIC tm;

private:
    HFONT font_;
    HGDIOBJ old_;
};

// Columns of the pixels that differ between two pictures.
std::pair<int, int> DiffColumns(const DibDC& a, const DibDC& b, int* rows) {
    int lo = a.width(), hi = -1;
    std::vector<bool> rowUsed(a.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.At(x, y) != b.At(x, y)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
                rowUsed[y] = true;
            }
    *rows = static_cast<int>(std::count(rowUsed.begin(), rowUsed.end(), true));
    return {lo, hi + 1};
}

TEST(DrawText, CalcRectAgreesWithTheTextExtent) {
    TextDC d(10, 10);
    for (const char* s : {"File", "Открыть", "Save As...", "W"}) {
        SCOPED_TRACE(s);
        RECT r{5, 7, 6, 8};
        EXPECT_EQ(DrawText(d.dc(), s, &r, DT_SINGLELINE | DT_CALCRECT), d.tm.tmHeight);
        EXPECT_EQ(r, (RECT{5, 7, 5 + d.Width(s), 7 + d.tm.tmHeight}));
    }
}

TEST(DrawText, PrefixCharactersAreRemovedFromTheExtent) {
    struct Case {
        const char* text;
        UINT flags;
        const char* shown;
    };
    const Case cases[] = {
        {"Save && Exit", 0, "Save & Exit"},
        {"File&", 0, "File"},
        {"&Open", 0, "Open"},
        {"O&pen", DT_HIDEPREFIX, "Open"},
        {"&Open", DT_NOPREFIX, "&Open"},
        {"&&&x", 0, "&x"},
    };
    TextDC d(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(d.Calc(c.text, DT_SINGLELINE | c.flags).right, d.Width(c.shown));
    }
}

TEST(DrawText, AcceleratorIsUnderlinedUnderItsCharacterOnly) {
    struct Case {
        const char* text;
        const char* before; // the text left of the accelerator
        const char* upTo;   // ... and including it
    };
    for (const Case c : {Case{"&Open", "", "O"}, Case{"Op&en", "Op", "Ope"}, Case{"Вы&ход", "Вы", "Вых"}}) {
        SCOPED_TRACE(c.text);
        TextDC plain(80, 20), marked(80, 20);
        std::string shown = c.text;
        shown.erase(shown.find('&'), 1);
        RECT r{2, 2, 80, 20};
        DrawText(plain.dc(), shown, &r, DT_SINGLELINE | DT_NOPREFIX);
        DrawText(marked.dc(), c.text, &r, DT_SINGLELINE);
        int rows = 0;
        const auto [from, to] = DiffColumns(plain, marked, &rows);
        EXPECT_EQ(from, 2 + plain.Width(c.before));
        EXPECT_EQ(to, 2 + plain.Width(c.upTo));
        EXPECT_EQ(rows, 1);
        // Below the baseline, inside the cell.
        const RECT ink = marked.InkBounds(kWhite);
        EXPECT_GT(ink.bottom, 2 + marked.tm.tmAscent);
        EXPECT_LE(ink.bottom, 2 + marked.tm.tmHeight);

        // DT_HIDEPREFIX draws no mark; DT_PREFIXONLY draws only the mark.
        TextDC hidden(80, 20), only(80, 20);
        DrawText(hidden.dc(), c.text, &r, DT_SINGLELINE | DT_HIDEPREFIX);
        EXPECT_EQ(hidden.Picture(RGB(0, 0, 0)), plain.Picture(RGB(0, 0, 0)));
        DrawText(only.dc(), c.text, &r, DT_SINGLELINE | DT_PREFIXONLY);
        const RECT mark = only.InkBounds(kWhite);
        EXPECT_EQ(mark.left, from);
        EXPECT_EQ(mark.right, to);
        EXPECT_EQ(mark.bottom - mark.top, 1);
    }
}

TEST(DrawText, AlignmentInTheRectangle) {
    struct Case {
        UINT flags;
        double cx, cy; // expected ink centre (fractions of the rectangle), < 0: not checked
    };
    const RECT r{10, 10, 190, 70};
    const Case cases[] = {
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 0.5, 0.5},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 1.0, 1.0},
        {DT_SINGLELINE, 0.0, 0.0},
        {DT_CENTER | DT_VCENTER | DT_BOTTOM, 0.5, 0.0}, // vertical flags need DT_SINGLELINE
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        TextDC d(200, 80);
        RECT rr = r;
        const int ret = DrawText(d.dc(), "Centre", &rr, c.flags);
        const RECT ink = d.InkBounds(kWhite);
        const int w = d.Width("Centre"), h = d.tm.tmHeight;
        const int x = r.left + static_cast<int>((r.right - r.left - w) * c.cx);
        const int y = r.top + static_cast<int>((r.bottom - r.top - h) * c.cy);
        EXPECT_GE(ink.left, x - 1);
        EXPECT_LE(ink.right, x + w + 1);
        EXPECT_GE(ink.top, y);
        EXPECT_LE(ink.bottom, y + h);
        // With DT_VCENTER or DT_BOTTOM the result is the text's bottom offset.
        const bool offset = (c.flags & DT_SINGLELINE) && (c.flags & (DT_VCENTER | DT_BOTTOM));
        EXPECT_EQ(ret, offset ? y - r.top + h : h);
    }
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
    for (UINT extra : {0u, static_cast<UINT>(DT_NOCLIP)}) {
        TextDC d(200, 40);
        RECT r{20, 5, 50, 12};
        DrawText(d.dc(), "A rather long caption", &r, DT_SINGLELINE | extra);
        const RECT ink = d.InkBounds(kWhite);
        const bool inside = ink.left >= 20 && ink.top >= 5 && ink.right <= 50 && ink.bottom <= 12;
        EXPECT_EQ(inside, extra == 0);
    }
}

TEST(DrawText, LineBreaksAndWordWrap) {
    TextDC d(300, 200);
    const int lh = d.tm.tmHeight;
    // Explicit breaks start lines; a final break adds none; single-line mode ignores them.
    EXPECT_EQ(d.Calc("one\ntwo\r\nthree\rfour\n", 0).bottom, 4 * lh);
    EXPECT_EQ(d.Calc("a\n\nb", 0).bottom, 3 * lh);
    EXPECT_EQ(d.Calc("one\ntwo", DT_SINGLELINE).bottom, lh);
    EXPECT_EQ(d.Calc("one\nlonger line", 0).right, d.Width("longer line"));

    const std::string text = "Customize the toolbars and menus of this application";
    const int width = d.Width("Customize the") + 2;
    RECT r = d.Calc(text, DT_WORDBREAK, RECT{0, 0, width, 0});
    const int lines = r.bottom / lh;
    EXPECT_GT(lines, 2);
    EXPECT_EQ(r.bottom % lh, 0);
    EXPECT_EQ(r.right, width); // wrapped text keeps the width
    r = RECT{0, 0, width, 200};
    EXPECT_EQ(DrawText(d.dc(), text, &r, DT_WORDBREAK), lines * lh);
    // Every line got ink, and nothing passes the right edge.
    const RECT ink = d.InkBounds(kWhite);
    EXPECT_LE(ink.right, width);
    for (int i = 0; i < lines; ++i) {
        bool any = false;
        for (int y = i * lh; y < (i + 1) * lh; ++y)
            for (int x = 0; x < width; ++x) any = any || d.At(x, y) != kWhite;
        EXPECT_TRUE(any) << i;
    }

    // A word longer than the line overflows it, unless DT_EDITCONTROL breaks it.
    const std::string word = "Supercalifragilistic";
    const RECT narrow{0, 0, d.Width("Super"), 0};
    r = d.Calc("a " + word, DT_WORDBREAK, narrow);
    EXPECT_EQ(r.bottom, 2 * lh);
    EXPECT_EQ(r.right, d.Width(word));
    r = d.Calc(word, DT_WORDBREAK | DT_EDITCONTROL, narrow);
    EXPECT_GT(r.bottom, 2 * lh);
    EXPECT_EQ(r.right, narrow.right);
}

TEST(DrawText, EndEllipsisFitsTheLine) {
    TextDC d(200, 20);
    const std::string text = "Reset Usage Data of the Application";
    const int width = 80;
    RECT r = d.Calc(text, DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, width, 0});
    EXPECT_LE(r.right, width);
    EXPECT_GT(r.right, d.Width("..."));
    // Drawn without clipping it still stays inside: the text itself was cut.
    r = RECT{0, 0, width, 20};
    DrawText(d.dc(), text, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_LE(d.InkBounds(kWhite).right, width);
    // Text that fits is left alone.
    EXPECT_EQ(d.Calc("Reset", DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, width, 0}).right, d.Width("Reset"));
}

TEST(DrawText, ExpandTabsUsesEightAverageCharacters) {
    TextDC d(10, 10);
    const int stop = 8 * d.tm.tmAveCharWidth;
    EXPECT_EQ(d.Calc("a\tb", DT_SINGLELINE | DT_EXPANDTABS).right, stop + d.Width("b"));
    EXPECT_EQ(d.Calc("\t\tb", DT_SINGLELINE | DT_EXPANDTABS).right, 2 * stop + d.Width("b"));
}

TEST(DrawText, TabStopTakesTheTabLengthFromTheSecondByte) {
    // Those bits are no longer flags, so it can only be seen when drawing.
    TextDC tabbed(120, 20), manual(120, 20);
    RECT r{0, 0, 120, 20};
    DrawText(tabbed.dc(), "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
    TextOut(manual.dc(), 0, 0, "a");
    TextOut(manual.dc(), 4 * manual.tm.tmAveCharWidth, 0, "b");
    EXPECT_EQ(tabbed.Picture(RGB(0, 0, 0)), manual.Picture(RGB(0, 0, 0)));
}

TEST(DrawText, BadInputAndCounts) {
    TextDC d(100, 20);
    RECT r{0, 0, 100, 20};
    SetLastError(0);
    EXPECT_EQ(DrawText(nullptr, "x", -1, &r, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(DrawText(d.dc(), "x", -1, nullptr, 0), 0);
    EXPECT_EQ(DrawText(d.dc(), nullptr, 3, &r, 0), 0);

    // -1 reads to the zero; a count stops early or is clamped at the zero.
    RECT a{0, 0, 0, 0}, b = a, c = a, e = a;
    DrawText(d.dc(), "Menu", -1, &a, DT_CALCRECT | DT_SINGLELINE);
    DrawText(d.dc(), "Menu", 4, &b, DT_CALCRECT | DT_SINGLELINE);
    DrawText(d.dc(), "Menu", 400, &c, DT_CALCRECT | DT_SINGLELINE);
    DrawText(d.dc(), "Menu", 2, &e, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_EQ(e.right, d.Width("Me"));

    // Empty text draws nothing; a single empty line still has its height.
    RECT empty{3, 4, 50, 60};
    EXPECT_EQ(DrawText(d.dc(), "", 0, &empty, DT_CALCRECT), 0);
    EXPECT_EQ(empty, (RECT{3, 4, 3, 4}));
    empty = RECT{3, 4, 50, 60};
    EXPECT_EQ(DrawText(d.dc(), "", -1, &empty, DT_CALCRECT | DT_SINGLELINE), d.tm.tmHeight);
    SetBkMode(d.dc(), OPAQUE);
    EXPECT_EQ(DrawText(d.dc(), "", -1, &r, 0), 0);
    EXPECT_EQ(d.CountNot(kWhite), 0);

    // Broken UTF-8 and a huge, inverted rectangle.
    RECT huge{0x7FFFFFFF, -0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF};
    DrawText(d.dc(), "\xFF\xFE& &&\xC3", -1, &huge, DT_WORDBREAK | DT_END_ELLIPSIS | DT_CENTER);
    huge = RECT{-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    DrawText(d.dc(), "x\ty", -1, &huge, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_EXPANDTABS);
}

} // namespace
} // namespace gfx
