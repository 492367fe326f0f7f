// Virtual-key codes, with the original platform's values. The window system
// owns the canonical set; the class library defines the ones its shortcut
// texts name. Letters and digits use their upper-case character codes
// ('A' = 0x41, '0' = 0x30).
#pragma once

#include <cstdint>

namespace cls {

inline constexpr std::uint16_t VK_LBUTTON = 0x01;
inline constexpr std::uint16_t VK_RBUTTON = 0x02;
inline constexpr std::uint16_t VK_CANCEL = 0x03;
inline constexpr std::uint16_t VK_MBUTTON = 0x04;
inline constexpr std::uint16_t VK_BACK = 0x08;
inline constexpr std::uint16_t VK_TAB = 0x09;
inline constexpr std::uint16_t VK_CLEAR = 0x0C;
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_SHIFT = 0x10;
inline constexpr std::uint16_t VK_CONTROL = 0x11;
inline constexpr std::uint16_t VK_MENU = 0x12;
inline constexpr std::uint16_t VK_PAUSE = 0x13;
inline constexpr std::uint16_t VK_CAPITAL = 0x14;
inline constexpr std::uint16_t VK_ESCAPE = 0x1B;
inline constexpr std::uint16_t VK_SPACE = 0x20;
inline constexpr std::uint16_t VK_PRIOR = 0x21;
inline constexpr std::uint16_t VK_NEXT = 0x22;
inline constexpr std::uint16_t VK_END = 0x23;
inline constexpr std::uint16_t VK_HOME = 0x24;
inline constexpr std::uint16_t VK_LEFT = 0x25;
inline constexpr std::uint16_t VK_UP = 0x26;
inline constexpr std::uint16_t VK_RIGHT = 0x27;
inline constexpr std::uint16_t VK_DOWN = 0x28;
inline constexpr std::uint16_t VK_SELECT = 0x29;
inline constexpr std::uint16_t VK_PRINT = 0x2A;
inline constexpr std::uint16_t VK_EXECUTE = 0x2B;
inline constexpr std::uint16_t VK_SNAPSHOT = 0x2C;
inline constexpr std::uint16_t VK_INSERT = 0x2D;
inline constexpr std::uint16_t VK_DELETE = 0x2E;
inline constexpr std::uint16_t VK_HELP = 0x2F;
inline constexpr std::uint16_t VK_LWIN = 0x5B;
inline constexpr std::uint16_t VK_RWIN = 0x5C;
inline constexpr std::uint16_t VK_APPS = 0x5D;
inline constexpr std::uint16_t VK_NUMPAD0 = 0x60;
inline constexpr std::uint16_t VK_NUMPAD1 = 0x61;
inline constexpr std::uint16_t VK_NUMPAD2 = 0x62;
inline constexpr std::uint16_t VK_NUMPAD3 = 0x63;
inline constexpr std::uint16_t VK_NUMPAD4 = 0x64;
inline constexpr std::uint16_t VK_NUMPAD5 = 0x65;
inline constexpr std::uint16_t VK_NUMPAD6 = 0x66;
inline constexpr std::uint16_t VK_NUMPAD7 = 0x67;
inline constexpr std::uint16_t VK_NUMPAD8 = 0x68;
inline constexpr std::uint16_t VK_NUMPAD9 = 0x69;
inline constexpr std::uint16_t VK_MULTIPLY = 0x6A;
inline constexpr std::uint16_t VK_ADD = 0x6B;
inline constexpr std::uint16_t VK_SEPARATOR = 0x6C;
inline constexpr std::uint16_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint16_t VK_DECIMAL = 0x6E;
inline constexpr std::uint16_t VK_DIVIDE = 0x6F;
inline constexpr std::uint16_t VK_F1 = 0x70;
inline constexpr std::uint16_t VK_F2 = 0x71;
inline constexpr std::uint16_t VK_F3 = 0x72;
inline constexpr std::uint16_t VK_F4 = 0x73;
inline constexpr std::uint16_t VK_F5 = 0x74;
inline constexpr std::uint16_t VK_F6 = 0x75;
inline constexpr std::uint16_t VK_F7 = 0x76;
inline constexpr std::uint16_t VK_F8 = 0x77;
inline constexpr std::uint16_t VK_F9 = 0x78;
inline constexpr std::uint16_t VK_F10 = 0x79;
inline constexpr std::uint16_t VK_F11 = 0x7A;
inline constexpr std::uint16_t VK_F12 = 0x7B;
inline constexpr std::uint16_t VK_F24 = 0x87;
inline constexpr std::uint16_t VK_NUMLOCK = 0x90;
inline constexpr std::uint16_t VK_SCROLL = 0x91;
inline constexpr std::uint16_t VK_LSHIFT = 0xA0;
inline constexpr std::uint16_t VK_RSHIFT = 0xA1;
inline constexpr std::uint16_t VK_LCONTROL = 0xA2;
inline constexpr std::uint16_t VK_RCONTROL = 0xA3;
inline constexpr std::uint16_t VK_LMENU = 0xA4;
inline constexpr std::uint16_t VK_RMENU = 0xA5;
inline constexpr std::uint16_t VK_OEM_1 = 0xBA;
inline constexpr std::uint16_t VK_OEM_PLUS = 0xBB;
inline constexpr std::uint16_t VK_OEM_COMMA = 0xBC;
inline constexpr std::uint16_t VK_OEM_MINUS = 0xBD;
inline constexpr std::uint16_t VK_OEM_PERIOD = 0xBE;
inline constexpr std::uint16_t VK_OEM_2 = 0xBF;
inline constexpr std::uint16_t VK_OEM_3 = 0xC0;
inline constexpr std::uint16_t VK_OEM_4 = 0xDB;
inline constexpr std::uint16_t VK_OEM_5 = 0xDC;
inline constexpr std::uint16_t VK_OEM_6 = 0xDD;
inline constexpr std::uint16_t VK_OEM_7 = 0xDE;

} // namespace cls
