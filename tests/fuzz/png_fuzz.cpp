// The PNG reader: any bytes (with right chunk checksums) give a bitmap or a
// clean failure, and a decoded image written back and read again has the
// same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz.h"
#include "gfx/gdi.h"
#include "gfx/png.h"

namespace {

std::uint32_t Crc(const std::uint8_t* P, std::size_t N) {
    std::uint32_t C = 0xFFFFFFFFu;
    for (std::size_t I = 0; I < N; ++I) {
        C ^= P[I];
        for (int K = 0; K < 8; ++K) C = (C >> 1) ^ (0xEDB88320u & (0u - (C & 1)));
    }
    return ~C;
}

// The chunks' checksums made right, so that mutations reach what a chunk
// holds instead of stopping at its checksum (unit tests cover bad ones).
std::vector<std::uint8_t> WithChecksums(const std::uint8_t* Data, std::size_t Size) {
    std::vector<std::uint8_t> Png(Data, Data + Size);
    std::size_t Pos = 8;
    while (Pos + 12 <= Png.size()) {
        const std::size_t Length = (std::size_t{Png[Pos]} << 24) | (std::size_t{Png[Pos + 1]} << 16) |
                                   (std::size_t{Png[Pos + 2]} << 8) | Png[Pos + 3];
        if (Length > Png.size() - Pos - 12) break;
        const std::uint32_t C = Crc(&Png[Pos + 4], Length + 4);
        for (int I = 0; I < 4; ++I) Png[Pos + 8 + Length + I] = static_cast<std::uint8_t>(C >> (24 - 8 * I));
        Pos += Length + 12;
    }
    return Png;
}

bool SamePixels(const gfx::BitmapSurface& A, const gfx::BitmapSurface& B) {
    if (A.width != B.width || A.height != B.height) return false;
    for (int Y = 0; Y < A.height; ++Y) {
        if (std::memcmp(A.Row(Y), B.Row(Y), static_cast<std::size_t>(A.width) * 4) != 0) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::uint8_t> Png = WithChecksums(Data, Size);
    gfx::HBITMAP Image = gfx::DecodePng(Png.data(), Png.size());
    if (!Image) return 0;
    gfx::BitmapSurface S;
    FUZZ_REQUIRE(gfx::GetBitmapSurface(Image, &S) && S.width > 0 && S.height > 0 && S.bitsPerPixel == 32);
    std::vector<unsigned char> Encoded = gfx::EncodePng(Image, nullptr, true);
    gfx::HBITMAP Again = Encoded.empty() ? nullptr : gfx::DecodePng(Encoded.data(), Encoded.size());
    gfx::BitmapSurface T;
    FUZZ_REQUIRE(Again && gfx::GetBitmapSurface(Again, &T) && SamePixels(S, T));
    gfx::DeleteObject(Again);
    gfx::DeleteObject(Image);
    return 0;
}
