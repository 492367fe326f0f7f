// Small drawing helpers the graphics objects and the image list share.
#pragma once

#include "gfx/gdi.h"

#include <cstdint>

namespace cls::detail {

template <class H> gfx::HGDIOBJ Obj(H Handle) {
    return gfx::handle_cast<gfx::HGDIOBJ>(Handle);
}

// D = S ? P : D for a source that is all ones or all zeros.
constexpr gfx::DWORD ROP_DSPDxax = 0x00E20746;

// A memory DC with a bitmap selected, put back on destruction.
class TMemoryDC {
public:
    explicit TMemoryDC(gfx::HBITMAP Bitmap) : FDC(gfx::CreateCompatibleDC(nullptr)) {
        if (FDC && Bitmap) FOld = gfx::SelectObject(FDC, Obj(Bitmap));
    }
    ~TMemoryDC() {
        if (FOld) gfx::SelectObject(FDC, FOld);
        if (FDC) gfx::DeleteDC(FDC);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    gfx::HDC DC() const { return FDC; }
    bool Valid() const { return FDC && FOld; }

private:
    gfx::HDC FDC;
    gfx::HGDIOBJ FOld = nullptr;
};

// Keeps a DC's text and background colours and puts them back.
class TDCColors {
public:
    explicit TDCColors(gfx::HDC DC) : FDC(DC), FText(gfx::GetTextColor(DC)), FBack(gfx::GetBkColor(DC)) {}
    ~TDCColors() {
        gfx::SetTextColor(FDC, FText);
        gfx::SetBkColor(FDC, FBack);
    }
    TDCColors(const TDCColors&) = delete;
    TDCColors& operator=(const TDCColors&) = delete;
    gfx::COLORREF Text() const { return FText; }
    gfx::COLORREF Back() const { return FBack; }

private:
    gfx::HDC FDC;
    gfx::COLORREF FText, FBack;
};

} // namespace cls::detail
