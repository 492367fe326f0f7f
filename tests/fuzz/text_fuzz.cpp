// Text drawing with any UTF-8, flags, rectangles, fonts and DC state on a
// small memory DC: the sanitizers see any access outside the bitmap or any
// undefined arithmetic, and measured sizes are never negative.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz.h"
#include "gfx/gdi.h"

namespace {

using namespace gfx;

int Coord(FuzzedDataProvider& P) {
    switch (P.ConsumeIntegralInRange(0, 7)) {
        case 0:
            return P.PickValueInArray({INT_MIN, INT_MAX, -(1 << 27), 1 << 27});
        case 1:
            return P.ConsumeIntegral<int>();
        default:
            return P.ConsumeIntegralInRange(-80, 80);
    }
}

// Sometimes a size beyond the largest the font code renders (which it clamps).
HFONT MakeFont(FuzzedDataProvider& P, bool Huge) {
    const int Height = Huge ? P.PickValueInArray({INT_MIN, INT_MAX, -(1 << 27), 1 << 27, -5000, 5000})
                            : P.ConsumeIntegralInRange(-48, 48);
    const int Escapement = P.ConsumeBool() ? P.ConsumeIntegral<int>() : 900 * P.ConsumeIntegralInRange(0, 3);
    const char* Face = P.PickValueInArray({"Tahoma", "DejaVu Sans", "DejaVu Sans Mono", "No Such Face", ""});
    return CreateFont(Height, P.ConsumeIntegralInRange(-20, 20), Escapement, 0,
                      P.ConsumeIntegralInRange(0, 1000), P.ConsumeBool(), P.ConsumeBool(), P.ConsumeBool(), 0,
                      0, 0, P.ConsumeBool() ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY, 0, Face);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider P(Data, Size);
    const int Width = P.ConsumeIntegralInRange(1, 48);
    const int Height = P.ConsumeIntegralInRange(1, 24);
    MemoryDC Dc(Width, Height, P.ConsumeBool() ? 32 : 1);
    FUZZ_REQUIRE(Dc.Valid());
    HDC D = Dc.Handle();
    const bool Huge = P.ConsumeIntegralInRange(0, 15) == 0;
    HFONT Font = MakeFont(P, Huge);
    FUZZ_REQUIRE(Font != nullptr);
    HGDIOBJ Old = SelectObject(D, Font);
    SetTextAlign(D,
                 P.ConsumeIntegral<UINT>() & (TA_UPDATECP | TA_RIGHT | TA_CENTER | TA_BOTTOM | TA_BASELINE));
    SetBkMode(D, P.ConsumeBool() ? OPAQUE : TRANSPARENT);
    if (P.ConsumeBool()) SetViewportOrgEx(D, Coord(P), Coord(P), nullptr);
    if (P.ConsumeBool()) IntersectClipRect(D, Coord(P), Coord(P), Coord(P), Coord(P));

    const UINT Format = P.ConsumeIntegral<UINT>();
    RECT Box{Coord(P), Coord(P), Coord(P), Coord(P)};
    const UINT Options = P.ConsumeIntegral<UINT>() & (ETO_OPAQUE | ETO_CLIPPED);
    const bool WithRect = P.ConsumeBool();
    const bool WithDx = P.ConsumeBool();
    const int X = Coord(P), Y = Coord(P);
    std::vector<INT> Dx;
    std::string Text = P.ConsumeRemainingBytesAsString();
    // A glyph of the largest size is a megabyte of coverage, slow to make:
    // one or two will do.
    if (Huge) Text.resize(std::min<std::size_t>(Text.size(), 2));
    if (WithDx) {
        for (std::size_t I = 0; I < Text.size(); ++I)
            Dx.push_back(static_cast<INT>(static_cast<unsigned char>(Text[I]) * 97 % 61) - 30);
    }

    RECT Calc = Box;
    // DT_TABSTOP takes the second byte of the flags, DT_CALCRECT's among them.
    FUZZ_REQUIRE(DrawText(D, Text.c_str(), -1, &Calc, (Format & ~DT_TABSTOP) | DT_CALCRECT) >= 0);
    RECT Drawn = Box;
    DrawText(D, Text.data(), static_cast<int>(Text.size()), &Drawn, Format & ~DT_CALCRECT);
    ExtTextOut(D, X, Y, Options, WithRect ? &Box : nullptr, Text.data(), static_cast<UINT>(Text.size()),
               WithDx ? Dx.data() : nullptr);
    TextOut(D, X, Y, Text);
    SIZE Extent{};
    FUZZ_REQUIRE(GetTextExtentPoint32(D, Text.data(), static_cast<int>(Text.size()), &Extent));
    FUZZ_REQUIRE(Extent.cx >= 0 && Extent.cy >= 0);

    SelectObject(D, Old);
    DeleteObject(Font);
    return 0;
}
