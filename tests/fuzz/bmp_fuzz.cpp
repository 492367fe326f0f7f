// TBitmap's BMP reader: any bytes give a bitmap or EInvalidGraphic (nothing
// else escapes), a failed load leaves the bitmap as it was, and a loaded
// image saved and loaded again has the same size and pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classes/exceptions.h"
#include "classes/graphics.h"
#include "classes/streams.h"
#include "fuzz.h"

namespace {

bool SameImage(cls::TBitmap& A, cls::TBitmap& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height() || A.Monochrome() != B.Monochrome()) return false;
    if (A.Monochrome() || A.Empty()) return true;
    for (int Y = 0; Y < A.Height(); ++Y) {
        if (std::memcmp(A.ScanLine(Y), B.ScanLine(Y), static_cast<std::size_t>(A.Width()) * 4) != 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    cls::TMemoryStream Input;
    Input.WriteBuffer(Data, static_cast<std::int64_t>(Size));
    Input.SetPosition(0);
    cls::TBitmap Image(3, 2);
    try {
        Image.LoadFromStream(&Input);
    } catch (const cls::EInvalidGraphic&) {
        FUZZ_REQUIRE(Image.Width() == 3 && Image.Height() == 2);
        return 0;
    }
    cls::TMemoryStream Saved;
    Image.SaveToStream(&Saved);
    Saved.SetPosition(0);
    cls::TBitmap Again;
    Again.LoadFromStream(&Saved);
    FUZZ_REQUIRE(SameImage(Image, Again));
    return 0;
}
