// Logical palettes: colours that name palette entries, wherever a colour is
// drawn; selection, entries, realisation and lifetime.

#include "gfx/gdi.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kEntries[] = {RGB(10, 20, 30), RGB(0, 160, 0), RGB(200, 100, 50), RGB(250, 250, 250)};

// The entries follow the LOGPALETTE header, as callers lay them out.
HPALETTE MakePalette(std::vector<COLORREF> colours, WORD version = 0x300) {
    std::vector<std::byte> buffer(offsetof(LOGPALETTE, palPalEntry) +
                                  std::max<std::size_t>(colours.size(), 1) * sizeof(PALETTEENTRY));
    auto* lp = new (buffer.data()) LOGPALETTE;
    lp->palVersion = version;
    lp->palNumEntries = static_cast<WORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const PALETTEENTRY e{GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i]), 0};
        std::memcpy(buffer.data() + offsetof(LOGPALETTE, palPalEntry) + i * sizeof e, &e, sizeof e);
    }
    return CreatePalette(lp);
}

HPALETTE TestPalette() {
    return MakePalette(std::vector<COLORREF>(std::begin(kEntries), std::end(kEntries)));
}

HPALETTE DefaultPalette() {
    return handle_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
}

// Draws with `c` on a 6 x 6 DC and returns the colour of a pixel that took it.
using Draw = std::function<COLORREF(DibDC&, COLORREF)>;

COLORREF FillWith(DibDC& d, HBRUSH b) {
    const RECT r{0, 0, 6, 6};
    FillRect(d.dc(), &r, b);
    DeleteObject(b);
    return d.At(2, 2);
}

COLORREF LineWith(DibDC& d, HPEN p) {
    HGDIOBJ old = SelectObject(d.dc(), p);
    MoveToEx(d.dc(), 0, 2, nullptr);
    LineTo(d.dc(), 6, 2);
    SelectObject(d.dc(), old);
    DeleteObject(p);
    return d.At(3, 2);
}

// A monochrome source: black pixels take the text colour, white ones the background colour.
COLORREF MonoBlit(DibDC& d, DWORD fill) {
    MemoryDC mono(6, 6, 1);
    PatBlt(mono.Handle(), 0, 0, 6, 6, fill);
    BitBlt(d.dc(), 0, 0, 6, 6, mono.Handle(), 0, 0, SRCCOPY);
    return d.At(2, 2);
}

TEST(Palette, ColoursNamingEntriesResolveWhereverTheyAreDrawn) {
    const std::pair<const char*, Draw> draws[] = {
        {"solid brush", [](DibDC& d, COLORREF c) { return FillWith(d, CreateSolidBrush(c)); }},
        {"hatch brush",
         [](DibDC& d, COLORREF c) {
             FillWith(d, CreateHatchBrush(HS_CROSS, c));
             return d.At(4, 1); // on the cross's vertical line
         }},
        {"pattern brush (monochrome: the text colour)",
         [](DibDC& d, COLORREF c) {
             MemoryDC pattern(8, 8, 1);
             SetTextColor(d.dc(), c);
             return FillWith(d, CreatePatternBrush(pattern.Bitmap()));
         }},
        {"DC brush",
         [](DibDC& d, COLORREF c) {
             SelectObject(d.dc(), GetStockObject(DC_BRUSH));
             SetDCBrushColor(d.dc(), c);
             PatBlt(d.dc(), 0, 0, 6, 6, PATCOPY);
             return d.At(2, 2);
         }},
        {"pen", [](DibDC& d, COLORREF c) { return LineWith(d, CreatePen(PS_SOLID, 1, c)); }},
        {"DC pen",
         [](DibDC& d, COLORREF c) {
             SetDCPenColor(d.dc(), c);
             return LineWith(d, handle_cast<HPEN>(GetStockObject(DC_PEN)));
         }},
        {"pixel",
         [](DibDC& d, COLORREF c) {
             const COLORREF set = SetPixel(d.dc(), 2, 2, c);
             EXPECT_EQ(set, d.At(2, 2)); // the colour it set, not the one asked for
             return d.At(2, 2);
         }},
        {"text colour of a monochrome blit",
         [](DibDC& d, COLORREF c) {
             SetTextColor(d.dc(), c);
             return MonoBlit(d, BLACKNESS);
         }},
        {"background colour of a monochrome blit",
         [](DibDC& d, COLORREF c) {
             SetBkColor(d.dc(), c);
             return MonoBlit(d, WHITENESS);
         }},
        {"opaque text background",
         [](DibDC& d, COLORREF c) {
             SetBkColor(d.dc(), c);
             const RECT r{0, 0, 6, 6};
             ExtTextOut(d.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
             return d.At(2, 2);
         }},
        {"nearest colour", [](DibDC& d, COLORREF c) { return GetNearestColor(d.dc(), c); }},
    };
    struct Colour {
        const char* name;
        COLORREF colour;
        bool selectTestPalette;
        int bitsPerPixel;
        COLORREF expected;
    };
    const Colour colours[] = {
        {"an index into the selected palette", PALETTEINDEX(1), true, 32, kEntries[1]},
        {"an index past its end takes entry 0", PALETTEINDEX(9), true, 32, kEntries[0]},
        {"an index into the default palette", PALETTEINDEX(1), false, 32, RGB(128, 0, 0)},
        {"a palette RGB on a true-colour device", PALETTERGB(201, 99, 52), true, 32, RGB(201, 99, 52)},
        {"a palette RGB on a palette device", PALETTERGB(201, 99, 52), true, 8, kEntries[2]},
        {"a plain RGB on a palette device", RGB(201, 99, 52), true, 8, RGB(201, 99, 52)},
    };
    HPALETTE palette = TestPalette();
    ASSERT_TRUE(palette);
    for (const auto& [drawName, draw] : draws)
        for (const Colour& c : colours) {
            SCOPED_TRACE(std::string(drawName) + " with " + c.name);
            DibDC d(6, 6, RGB(255, 255, 255));
            if (c.selectTestPalette) SelectPalette(d.dc(), palette, FALSE);
            SetDCDeviceCaps(d.dc(), BITSPIXEL, c.bitsPerPixel);
            EXPECT_EQ(draw(d, c.colour), c.expected);
            SelectPalette(d.dc(), DefaultPalette(), FALSE);
        }
    EXPECT_TRUE(DeleteObject(palette));
}

TEST(Palette, SelectionReturnsThePreviousOneAndFollowsSavedStates) {
    HPALETTE a = TestPalette(), b = MakePalette({RGB(1, 2, 3)});
    DibDC d(2, 2);
    EXPECT_EQ(handle_cast<HPALETTE>(GetCurrentObject(d.dc(), OBJ_PAL)), DefaultPalette());
    EXPECT_EQ(SelectPalette(d.dc(), a, FALSE), DefaultPalette());
    const int saved = SaveDC(d.dc());
    EXPECT_EQ(SelectPalette(d.dc(), b, TRUE), a);
    EXPECT_EQ(GetNearestColor(d.dc(), PALETTEINDEX(0)), RGB(1, 2, 3));
    ASSERT_TRUE(RestoreDC(d.dc(), saved));
    EXPECT_EQ(handle_cast<HPALETTE>(GetCurrentObject(d.dc(), OBJ_PAL)), a);
    EXPECT_EQ(GetNearestColor(d.dc(), PALETTEINDEX(0)), kEntries[0]);

    // Palettes go through SelectPalette only; bad handles change nothing.
    EXPECT_EQ(SelectObject(d.dc(), b), nullptr);
    SetLastError(0);
    EXPECT_EQ(SelectPalette(d.dc(), nullptr, FALSE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SelectPalette(nullptr, b, FALSE), nullptr);
    EXPECT_EQ(SelectPalette(d.dc(), handle_cast<HPALETTE>(CreateSolidBrush(0)), FALSE), nullptr);
    EXPECT_EQ(handle_cast<HPALETTE>(GetCurrentObject(d.dc(), OBJ_PAL)), a);

    EXPECT_EQ(SelectPalette(d.dc(), DefaultPalette(), FALSE), a);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Palette, EntriesAndTheNearestIndex) {
    HPALETTE p = TestPalette();
    // The flag byte of a colour is ignored.
    const std::pair<COLORREF, UINT> nearest[] = {
        {RGB(10, 20, 30), 0},
        {RGB(0, 0, 0), 0},
        {RGB(0, 150, 10), 1},
        {RGB(255, 255, 255), 3},
        {RGB(190, 110, 40), 2},
        {PALETTERGB(0, 150, 10), 1},
        {0x01000000u | RGB(250, 250, 240), 3},
    };
    for (const auto& [colour, index] : nearest) {
        SCOPED_TRACE(colour);
        EXPECT_EQ(GetNearestPaletteIndex(p, colour), index);
    }
    EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID);

    struct Range {
        UINT start, count, copied;
    };
    for (const Range& r : {Range{0, 4, 4}, Range{1, 10, 3}, Range{3, 1, 1}, Range{4, 1, 0}, Range{0, 0, 0}}) {
        SCOPED_TRACE(r.start);
        PALETTEENTRY out[8] = {};
        EXPECT_EQ(GetPaletteEntries(p, r.start, r.count, out), r.copied);
        for (UINT i = 0; i < r.copied; ++i)
            EXPECT_EQ(RGB(out[i].peRed, out[i].peGreen, out[i].peBlue), kEntries[r.start + i]);
    }
    EXPECT_EQ(GetPaletteEntries(p, 0, 0, nullptr), 4u);
    EXPECT_EQ(GetPaletteEntries(DefaultPalette(), 0, 0, nullptr), 20u);

    // A change shows in the next drawing of a DC that holds the palette.
    DibDC d(2, 2);
    SelectPalette(d.dc(), p, FALSE);
    const PALETTEENTRY blue[2] = {{0, 0, 255, 0}, {1, 1, 1, 0}};
    EXPECT_EQ(SetPaletteEntries(p, 3, 2, blue), 1u);
    SetPixel(d.dc(), 0, 0, PALETTEINDEX(3));
    EXPECT_EQ(d.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(SetPaletteEntries(p, 4, 1, blue), 0u);
    EXPECT_EQ(SetPaletteEntries(p, 0, 1, nullptr), 0u);
    EXPECT_EQ(SetPaletteEntries(DefaultPalette(), 0, 1, blue), 0u);
    PALETTEENTRY silver;
    ASSERT_EQ(GetPaletteEntries(DefaultPalette(), 7, 1, &silver), 1u);
    EXPECT_EQ(RGB(silver.peRed, silver.peGreen, silver.peBlue), RGB(192, 192, 192));
    SelectPalette(d.dc(), DefaultPalette(), FALSE);
    DeleteObject(p);
}

TEST(Palette, PalettesAreCheckedObjects) {
    HPALETTE p = TestPalette();
    EXPECT_EQ(GetObjectType(p), OBJ_PAL);
    EXPECT_EQ(GetObject(p, 0, nullptr), int(sizeof(WORD)));
    WORD count = 0;
    EXPECT_EQ(GetObject(p, sizeof count, &count), int(sizeof count));
    EXPECT_EQ(count, 4);

    // Deleted while selected, it lives on until the DC lets it go.
    DibDC d(2, 2);
    SelectPalette(d.dc(), p, FALSE);
    EXPECT_TRUE(DeleteObject(p));
    SetPixel(d.dc(), 0, 0, PALETTEINDEX(1));
    EXPECT_EQ(d.At(0, 0), kEntries[1]);
    EXPECT_EQ(SelectPalette(DibDC(1, 1).dc(), p, FALSE), nullptr); // no new selections
    EXPECT_EQ(SelectPalette(d.dc(), DefaultPalette(), FALSE), p);
    EXPECT_EQ(GetObjectType(p), 0u);
    EXPECT_FALSE(DeleteObject(p));
    EXPECT_EQ(GetPaletteEntries(p, 0, 0, nullptr), 0u);

    EXPECT_TRUE(DeleteObject(DefaultPalette()));
    EXPECT_EQ(GetObjectType(DefaultPalette()), OBJ_PAL);

    struct Bad {
        const char* name;
        std::vector<COLORREF> colours;
        WORD version;
    };
    for (const Bad& b : {Bad{"no entries", {}, 0x300}, Bad{"another version", {RGB(1, 1, 1)}, 0x200}}) {
        SCOPED_TRACE(b.name);
        SetLastError(0);
        EXPECT_EQ(MakePalette(b.colours, b.version), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

TEST(Palette, RealizingAndUpdatingColoursByDevice) {
    struct Device {
        const char* name;
        int bitsPerPixel;
        bool testPalette;
        UINT realized;
    };
    const Device devices[] = {
        {"true colour, default palette", 32, false, 0},
        {"true colour, own palette", 32, true, 0},
        {"256 colours, default palette", 8, false, 0},
        {"256 colours, own palette", 8, true, 4},
    };
    HPALETTE p = TestPalette();
    for (const Device& dev : devices) {
        SCOPED_TRACE(dev.name);
        DibDC d(2, 2, RGB(9, 9, 9));
        SetDCDeviceCaps(d.dc(), BITSPIXEL, dev.bitsPerPixel);
        if (dev.testPalette) SelectPalette(d.dc(), p, FALSE);
        EXPECT_EQ(RealizePalette(d.dc()), dev.realized);
        EXPECT_TRUE(UpdateColors(d.dc()));
        EXPECT_EQ(d.At(1, 1), RGB(9, 9, 9)); // surfaces keep their pixels
        const bool palettized = dev.bitsPerPixel <= 8;
        EXPECT_EQ(GetDeviceCaps(d.dc(), SIZEPALETTE), palettized ? 256 : 0);
        EXPECT_EQ(GetDeviceCaps(d.dc(), NUMCOLORS), palettized ? 20 : -1);
        EXPECT_EQ((GetDeviceCaps(d.dc(), RASTERCAPS) & RC_PALETTE) != 0, palettized);
        SelectPalette(d.dc(), DefaultPalette(), FALSE);
    }
    EXPECT_EQ(RealizePalette(nullptr), GDI_ERROR);
    EXPECT_FALSE(UpdateColors(nullptr));
    DeleteObject(p);
}

} // namespace
} // namespace gfx
