// Region operations on regions built from fuzz bytes: every result is in
// canonical banded form with a matching type and box, and the set algebra
// holds (union commutes, A = (A & B) | (A - B), A ^ B = (A - B) | (B - A),
// an offset and its inverse give A back while no coordinate reaches the limit).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz.h"
#include "gfx/gdi.h"

namespace {

using namespace gfx;

// The coordinate limit of the drawing layer: larger values are clamped.
constexpr long long kLimit = 1LL << 27;

int Coord(FuzzedDataProvider& P) {
    switch (P.ConsumeIntegralInRange(0, 7)) {
        case 0:
            return P.PickValueInArray({INT_MIN, INT_MAX, -(1 << 27), 1 << 27, (1 << 27) - 1, -(1 << 27) + 1});
        case 1:
            return P.ConsumeIntegral<int>();
        default:
            return P.ConsumeIntegralInRange(-64, 64);
    }
}

int Row(FuzzedDataProvider& P) {
    return P.ConsumeIntegralInRange(-300, 300);
}

HRGN MakeRegion(FuzzedDataProvider& P) {
    switch (P.ConsumeIntegralInRange(0, 4)) {
        case 0: {
            std::vector<RECT> Rects(P.ConsumeIntegralInRange<std::size_t>(0, 8));
            for (RECT& R : Rects) R = RECT{Coord(P), Coord(P), Coord(P), Coord(P)};
            return CreateRectListRgn(Rects.data(), static_cast<int>(Rects.size()));
        }
        case 1: {
            std::vector<POINT> Points(P.ConsumeIntegralInRange<std::size_t>(2, 8));
            for (POINT& Pt : Points)
                Pt = POINT{P.ConsumeIntegralInRange(-100, 100), P.ConsumeIntegralInRange(-100, 100)};
            return CreatePolygonRgn(Points.data(), static_cast<int>(Points.size()),
                                    P.ConsumeBool() ? ALTERNATE : WINDING);
        }
        // Curved shapes are made a row at a time: a few hundred rows will do.
        case 2:
            return CreateEllipticRgn(Coord(P), Row(P), Coord(P), Row(P));
        case 3:
            return CreateRoundRectRgn(Coord(P), Row(P), Coord(P), Row(P), Coord(P), Coord(P));
        default:
            return CreateRectRgn(Coord(P), Coord(P), Coord(P), Coord(P));
    }
}

// Bands top to bottom; in a band, disjoint, non-touching rectangles left to
// right; touching bands differ; the type and box agree with the rectangles.
void CheckCanonical(HRGN Rgn) {
    const std::vector<RECT> Rects = GetRegionRects(Rgn);
    RECT Box{1, 1, 1, 1};
    const int Type = GetRgnBox(Rgn, &Box);
    FUZZ_REQUIRE(Type == (Rects.empty() ? NULLREGION : Rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION));
    if (Rects.empty()) {
        FUZZ_REQUIRE(Box.left == 0 && Box.top == 0 && Box.right == 0 && Box.bottom == 0);
        return;
    }
    RECT Bounds = Rects.front();
    std::size_t PrevBand = 0, Band = 0;
    bool HavePrev = false;
    for (std::size_t I = 0; I < Rects.size();) {
        const RECT& First = Rects[I];
        std::size_t End = I;
        for (; End < Rects.size() && Rects[End].top == First.top; ++End) {
            const RECT& R = Rects[End];
            FUZZ_REQUIRE(R.left < R.right && R.top < R.bottom && R.bottom == First.bottom);
            FUZZ_REQUIRE(-kLimit <= R.left && R.right <= kLimit && -kLimit <= R.top && R.bottom <= kLimit);
            if (End > I) FUZZ_REQUIRE(Rects[End - 1].right < R.left);
            Bounds.left = std::min(Bounds.left, R.left);
            Bounds.right = std::max(Bounds.right, R.right);
        }
        Band = I;
        if (HavePrev) {
            const RECT& Above = Rects[PrevBand];
            FUZZ_REQUIRE(Above.bottom <= First.top);
            if (Above.bottom == First.top) {
                bool Same = I - PrevBand == End - I;
                for (std::size_t K = 0; Same && K < End - I; ++K)
                    Same = Rects[PrevBand + K].left == Rects[Band + K].left &&
                           Rects[PrevBand + K].right == Rects[Band + K].right;
                FUZZ_REQUIRE(!Same);
            }
        }
        HavePrev = true;
        PrevBand = Band;
        Bounds.bottom = First.bottom;
        I = End;
    }
    FUZZ_REQUIRE(Box.left == Bounds.left && Box.top == Bounds.top && Box.right == Bounds.right &&
                 Box.bottom == Bounds.bottom);
}

HRGN Combined(HRGN A, HRGN B, int Mode) {
    HRGN R = CreateRectRgn(0, 0, 0, 0);
    FUZZ_REQUIRE(CombineRgn(R, A, B, Mode) != ERROR);
    CheckCanonical(R);
    return R;
}

bool Equal(HRGN A, HRGN B) {
    return EqualRgn(A, B) == TRUE;
}

void CheckAlgebra(HRGN A, HRGN B, FuzzedDataProvider& P) {
    HRGN Or = Combined(A, B, RGN_OR), RevOr = Combined(B, A, RGN_OR);
    HRGN And = Combined(A, B, RGN_AND), Diff = Combined(A, B, RGN_DIFF), RevDiff = Combined(B, A, RGN_DIFF);
    HRGN Xor = Combined(A, B, RGN_XOR), Copy = Combined(A, B, RGN_COPY);
    HRGN Rebuilt = Combined(And, Diff, RGN_OR), Sides = Combined(Diff, RevDiff, RGN_OR);
    HRGN Self = Combined(A, A, RGN_XOR);
    FUZZ_REQUIRE(Equal(Or, RevOr));
    FUZZ_REQUIRE(Equal(Rebuilt, A));
    FUZZ_REQUIRE(Equal(Xor, Sides));
    FUZZ_REQUIRE(Equal(Copy, A));
    FUZZ_REQUIRE(GetRegionRects(Self).empty());
    for (int I = 0; I < 4; ++I) {
        const int X = Coord(P), Y = Coord(P);
        const bool InA = PtInRegion(A, X, Y), InB = PtInRegion(B, X, Y);
        FUZZ_REQUIRE(PtInRegion(Or, X, Y) == (InA || InB));
        FUZZ_REQUIRE(PtInRegion(And, X, Y) == (InA && InB));
        FUZZ_REQUIRE(PtInRegion(Xor, X, Y) == (InA != InB));
    }
    for (HRGN H : {Or, RevOr, And, Diff, RevDiff, Xor, Copy, Rebuilt, Sides, Self}) DeleteObject(H);
}

void CheckOffset(HRGN A, FuzzedDataProvider& P) {
    const int Dx = Coord(P), Dy = Coord(P);
    HRGN Moved = Combined(A, A, RGN_COPY);
    RECT Box;
    GetRgnBox(A, &Box);
    const int Type = OffsetRgn(Moved, Dx, Dy);
    FUZZ_REQUIRE(Type != ERROR);
    CheckCanonical(Moved);
    // An empty region stays empty; another one comes back unless it met the limit.
    if (GetRegionRects(A).empty()) FUZZ_REQUIRE(Type == NULLREGION);
    const bool Inside = !GetRegionRects(A).empty() &&
                        (std::min<long long>(Box.left, Box.left + static_cast<long long>(Dx)) > -kLimit &&
                         std::max<long long>(Box.right, Box.right + static_cast<long long>(Dx)) < kLimit &&
                         std::min<long long>(Box.top, Box.top + static_cast<long long>(Dy)) > -kLimit &&
                         std::max<long long>(Box.bottom, Box.bottom + static_cast<long long>(Dy)) < kLimit);
    if (Inside) {
        FUZZ_REQUIRE(OffsetRgn(Moved, -Dx, -Dy) != ERROR);
        FUZZ_REQUIRE(Equal(Moved, A));
    }
    DeleteObject(Moved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider P(Data, Size);
    HRGN A = MakeRegion(P);
    HRGN B = MakeRegion(P);
    FUZZ_REQUIRE(A && B);
    CheckCanonical(A);
    CheckCanonical(B);
    for (int Step = 0; Step < 16 && P.remaining_bytes() > 0; ++Step) {
        switch (P.ConsumeIntegralInRange(0, 3)) {
            case 0:
                CheckAlgebra(A, B, P);
                break;
            case 1:
                CheckOffset(A, P);
                break;
            case 2: {
                const int Mode = P.ConsumeIntegralInRange(RGN_AND, RGN_COPY);
                FUZZ_REQUIRE(CombineRgn(A, A, B, Mode) != ERROR);
                CheckCanonical(A);
                break;
            }
            default: {
                FUZZ_REQUIRE(OffsetRgn(B, Coord(P), Coord(P)) != ERROR);
                CheckCanonical(B);
                break;
            }
        }
    }
    DeleteObject(A);
    DeleteObject(B);
    return 0;
}
