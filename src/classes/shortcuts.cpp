#include "classes/shortcuts.h"

#include "classes/keys.h"
#include "classes/resstrings.h"
#include "classes/sysutils.h"

namespace cls {

TShortCut ShortCut(std::uint16_t Key, TShiftState Shift) {
    if (Key > 0xFF) return 0;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift)) Result += scShift;
    if (Shift.Contains(ssCtrl)) Result += scCtrl;
    if (Shift.Contains(ssAlt)) Result += scAlt;
    return Result;
}

void ShortCutToKey(TShortCut AShortCut, std::uint16_t& Key, TShiftState& Shift) {
    Key = AShortCut & ~(scShift | scCtrl | scAlt);
    Shift = {};
    if (AShortCut & scShift) Shift.Include(ssShift);
    if (AShortCut & scCtrl) Shift.Include(ssCtrl);
    if (AShortCut & scAlt) Shift.Include(ssAlt);
}

namespace {

// Names the keyboard gives the remaining keys (a US layout's key name texts).
const char* SpecialKeyName(std::uint16_t Key) {
    switch (Key) {
        case VK_SHIFT:
            return "Shift";
        case VK_CONTROL:
            return "Ctrl";
        case VK_MENU:
            return "Alt";
        case VK_PAUSE:
            return "Pause";
        case VK_CAPITAL:
            return "Caps Lock";
        case VK_MULTIPLY:
            return "Num *";
        case VK_ADD:
            return "Num +";
        case VK_SUBTRACT:
            return "Num -";
        case VK_DECIMAL:
            return "Num Del";
        case VK_DIVIDE:
            return "Num /";
        case VK_NUMLOCK:
            return "Num Lock";
        case VK_SCROLL:
            return "Scroll Lock";
        case VK_OEM_1:
            return ";";
        case VK_OEM_PLUS:
            return "=";
        case VK_OEM_COMMA:
            return ",";
        case VK_OEM_MINUS:
            return "-";
        case VK_OEM_PERIOD:
            return ".";
        case VK_OEM_2:
            return "/";
        case VK_OEM_3:
            return "`";
        case VK_OEM_4:
            return "[";
        case VK_OEM_5:
            return "\\";
        case VK_OEM_6:
            return "]";
        case VK_OEM_7:
            return "'";
        default:
            return "";
    }
}

std::string KeyName(std::uint16_t Key) {
    static constexpr const TResStringRec* Navigation[] = {
        &SmkcSpace, &SmkcPgUp, &SmkcPgDn, &SmkcEnd, &SmkcHome, &SmkcLeft, &SmkcUp, &SmkcRight, &SmkcDown};
    if (Key == VK_BACK) return LoadResString(SmkcBkSp);
    if (Key == VK_TAB) return LoadResString(SmkcTab);
    if (Key == VK_RETURN) return LoadResString(SmkcEnter);
    if (Key == VK_ESCAPE) return LoadResString(SmkcEsc);
    if (Key >= VK_SPACE && Key <= VK_DOWN) return LoadResString(*Navigation[Key - VK_SPACE]);
    if (Key == VK_INSERT) return LoadResString(SmkcIns);
    if (Key == VK_DELETE) return LoadResString(SmkcDel);
    if (Key >= '0' && Key <= '9') return std::string(1, static_cast<char>(Key));
    if (Key >= 'A' && Key <= 'Z') return std::string(1, static_cast<char>(Key));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9)
        return std::string(1, static_cast<char>('0' + Key - VK_NUMPAD0));
    if (Key >= VK_F1 && Key <= VK_F24) return std::string(1, 'F').append(std::to_string(Key - VK_F1 + 1));
    return SpecialKeyName(Key);
}

} // namespace

std::string ShortCutToText(TShortCut AShortCut) {
    std::string Name = KeyName(AShortCut & 0xFF);
    if (Name.empty()) return {};
    std::string Result;
    if (AShortCut & scShift) Result += LoadResString(SmkcShift);
    if (AShortCut & scCtrl) Result += LoadResString(SmkcCtrl);
    if (AShortCut & scAlt) Result += LoadResString(SmkcAlt);
    return Result + Name;
}

TShortCut TextToShortCut(std::string_view Text) {
    auto CompareFront = [&Text](std::string_view Front) {
        if (Front.empty() || Text.size() < Front.size() || !AnsiSameText(Text.substr(0, Front.size()), Front))
            return false;
        Text.remove_prefix(Front.size());
        return true;
    };
    const std::string ShiftCap = LoadResString(SmkcShift);
    const std::string CtrlCap = LoadResString(SmkcCtrl);
    const std::string AltCap = LoadResString(SmkcAlt);
    TShortCut Shift = 0;
    for (;;) {
        if (CompareFront(ShiftCap)) {
            Shift |= scShift;
        } else if (CompareFront("^")) {
            Shift |= scCtrl;
        } else if (CompareFront(CtrlCap)) {
            Shift |= scCtrl;
        } else if (CompareFront(AltCap)) {
            Shift |= scAlt;
        } else {
            break;
        }
    }
    if (Text.empty()) return 0;
    for (std::uint16_t Key = 0x08; Key <= 0xFF; ++Key) {
        if (AnsiSameText(Text, ShortCutToText(Key))) return static_cast<TShortCut>(Key | Shift);
    }
    return 0;
}

} // namespace cls
