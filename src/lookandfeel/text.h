// Texts and windows: resource strings read at the moment of use, text
// drawing and measuring with the colour and mode saved around the call, the
// monitor work area at a point, and whether a control can get a window.
#pragma once

#include "classes/resstrings.h"
#include "gfx/colors.h"
#include "gfx/gdi.h"

#include <string>
#include <string_view>

namespace cls {
class TWinControl;
}

namespace lf {

using gfx::HDC;
using gfx::POINT;
using gfx::RECT;
using gfx::SIZE;
using gfx::TColor;
using gfx::UINT;

// The text of a resource string: the installed localizer's text for the
// record's identifier when it has one, else the program's string table entry
// of that identifier, else the record's own text. Localizers identify texts
// by the identifier, not by the record's address.
std::string cxGetResourceString(const cls::TResStringRec& AResString);

// DrawText with ATextColor (unless clDefault) and ABkMode set for the call.
// ACount is in bytes; a negative count (or one past the end) means the whole
// text. With DT_CALCRECT, R receives the text's bounds. Returns the text's height.
int cxDrawText(HDC DC, std::string_view AText, RECT& R, UINT AFormat, int ACount = -1,
               TColor ATextColor = gfx::clDefault, int ABkMode = gfx::TRANSPARENT);
// ExtTextOut at P (no spacing array); AR may be null.
bool cxExtTextOut(HDC DC, std::string_view AText, POINT P, UINT AOptions, const RECT* AR, int ACount = -1);
bool cxGetTextExtentPoint(HDC DC, std::string_view AText, SIZE& ASize, int ACount = -1);

// The work area of the monitor nearest to P.
void GetMonitorWorkAreaAtPoint(POINT P, RECT& R);

// True when the control has a window, or (unless it is being destroyed) can
// get one: it or a parent has a parent window, or the topmost parent is a
// form and the application's window exists.
bool cxCanAllocateHandle(cls::TWinControl* AControl);

} // namespace lf
