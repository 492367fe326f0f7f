#include "lookandfeel/text.h"

#include "classes/controls.h"
#include "classes/forms.h"
#include "win/user.h"

namespace lf {

namespace {

const char* TextData(std::string_view AText) {
    return AText.data() ? AText.data() : "";
}

int ClampCount(std::string_view AText, int ACount) {
    const int Size = static_cast<int>(AText.size());
    return ACount < 0 || ACount > Size ? Size : ACount;
}

} // namespace

std::string cxGetResourceString(const cls::TResStringRec& AResString) {
    const win::HMODULE Program = win::GetModuleHandle(nullptr);
    const auto Id = static_cast<win::UINT>(AResString.Identifier);
    if (!win::FindResource(Program, static_cast<std::uintptr_t>(Id), win::ResType::String))
        return cls::LoadResString(AResString);
    // The table's text stands in for the record's; the localizer, asked
    // about the same identifier, still has the last word.
    const std::string TableText = win::LoadString(Program, Id);
    return cls::LoadResString(cls::TResStringRec{AResString.Identifier, TableText.c_str()});
}

int cxDrawText(HDC DC, std::string_view AText, RECT& R, UINT AFormat, int ACount, TColor ATextColor,
               int ABkMode) {
    const bool SetColor = ATextColor != gfx::clDefault;
    const gfx::COLORREF OldColor = SetColor ? gfx::SetTextColor(DC, gfx::ColorToRGB(ATextColor)) : 0;
    const int OldMode = gfx::SetBkMode(DC, ABkMode);
    const int Height = gfx::DrawText(DC, TextData(AText), ClampCount(AText, ACount), &R, AFormat);
    if (OldMode) gfx::SetBkMode(DC, OldMode);
    if (SetColor && OldColor != gfx::CLR_INVALID) gfx::SetTextColor(DC, OldColor);
    return Height;
}

bool cxExtTextOut(HDC DC, std::string_view AText, POINT P, UINT AOptions, const RECT* AR, int ACount) {
    return gfx::ExtTextOut(DC, P.x, P.y, AOptions, AR, TextData(AText),
                           static_cast<UINT>(ClampCount(AText, ACount)), nullptr) != 0;
}

bool cxGetTextExtentPoint(HDC DC, std::string_view AText, SIZE& ASize, int ACount) {
    return gfx::GetTextExtentPoint32(DC, TextData(AText), ClampCount(AText, ACount), &ASize) != 0;
}

void GetMonitorWorkAreaAtPoint(POINT P, RECT& R) {
    win::MONITORINFO Info;
    win::HMONITOR Monitor = win::MonitorFromPoint(P, win::MONITOR_DEFAULTTONEAREST);
    if (Monitor && win::GetMonitorInfo(Monitor, &Info)) {
        R = Info.rcWork;
        return;
    }
    if (!win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &R, 0)) R = RECT{};
}

bool cxCanAllocateHandle(cls::TWinControl* AControl) {
    if (!AControl) return false;
    if (AControl->HandleAllocated()) return true;
    if (AControl->ComponentState().Contains(cls::csDestroying)) return false;
    if (AControl->ParentWindow()) return true;
    if (cls::TWinControl* Parent = AControl->Parent()) return cxCanAllocateHandle(Parent);
    cls::TApplication* App = cls::ApplicationIfExists();
    return AControl->InheritsFrom(cls::TCustomForm::ClassInfo()) && App && App->HandleAllocated();
}

} // namespace lf
