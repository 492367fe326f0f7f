// Shortcuts: a virtual-key code in the low byte plus modifier bits, and the
// texts menus show for them ("Ctrl+S", "Shift+Del", "F5").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classes/sets.h"

namespace cls {

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

using TShortCut = std::uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// 0 when Key does not fit in a byte.
TShortCut ShortCut(std::uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut AShortCut, std::uint16_t& Key, TShiftState& Shift);

// "Shift+", "Ctrl+", "Alt+" (in that order) before the key's name: BkSp,
// Tab, Enter, Esc, Space, PgUp, PgDn, End, Home, Left, Up, Right, Down,
// Ins, Del, 0-9 (also for the numeric keypad digits), A-Z, F1-F24, and for
// other keys the name the keyboard gives them ("Num +", ";", "Pause"). ""
// for a key without a name. Key names and prefixes are resource strings.
std::string ShortCutToText(TShortCut AShortCut);
// The reverse, ignoring case; "^" also stands for Ctrl. 0 for an unknown text.
TShortCut TextToShortCut(std::string_view Text);

} // namespace cls
