// A drawing helper the graphics objects and the image list share.
#pragma once

#include "gfx/gdi.h"

namespace cls::detail {

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
