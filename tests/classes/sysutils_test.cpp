// UTF-8 helpers, case mapping and comparison, conversions, Format, hints
// and shortcut texts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "classes/exceptions.h"
#include "classes/keys.h"
#include "classes/shortcuts.h"
#include "classes/sysutils.h"

namespace {

using namespace cls;

TEST(Utf8, DecodingTreatsEveryBadByteAsOneCharacter) {
    struct Case {
        std::string Text;
        char32_t First;
        int Length;
        std::size_t Count;
    };
    const Case Cases[] = {
        {"A", U'A', 1, 1},
        {"\xC3\xA9t\xC3\xA9", U'é', 2, 3},
        {"\xE2\x82\xAC", U'€', 3, 1},
        {"\xF0\x9F\x98\x80!", 0x1F600, 4, 2},
        {"\xC0\xAF", UnicodeReplacementChar, 1, 2},         // overlong "/"
        {"\xE0\x80\xAF", UnicodeReplacementChar, 1, 3},     // overlong
        {"\xED\xA0\x80", UnicodeReplacementChar, 1, 3},     // surrogate
        {"\xF4\x90\x80\x80", UnicodeReplacementChar, 1, 4}, // beyond U+10FFFF
        {"\x80\xBF", UnicodeReplacementChar, 1, 2},         // stray continuation bytes
        {"\xE2\x82", UnicodeReplacementChar, 1, 2},         // truncated
        {"\xFF", UnicodeReplacementChar, 1, 1},
        {"", 0, 0, 0},
    };
    for (const Case& C : Cases) {
        int Length = -1;
        EXPECT_EQ(Utf8Decode(C.Text, 0, &Length), C.First) << C.Text;
        EXPECT_EQ(Length, C.Length) << C.Text;
        EXPECT_EQ(Utf8Length(C.Text), C.Count) << C.Text;
        EXPECT_EQ(Utf8FirstChar(C.Text).size(), static_cast<std::size_t>(C.Length));
    }
    EXPECT_TRUE(Utf8IsValid("Привет"));
    EXPECT_FALSE(Utf8IsValid("a\xC3"));
    EXPECT_EQ(Utf8Encode(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8Encode(0xD800), "\xEF\xBF\xBD");
}

TEST(CaseMapping, LatinGreekAndCyrillic) {
    const std::vector<std::pair<std::string, std::string>> Pairs = {
        {"ABCXYZ", "abcxyz"},
        {"ÀÉÎÕÜÞ", "àéîõüþ"},
        {"ĀĆĐĘĜĦĴĹŁŃŒŠŸŹŽ", "āćđęĝħĵĺłńœšÿźž"},
        {"ΑΒΓΔΩΆΈΊΌΎΏΪ", "αβγδωάέίόύώϊ"},
        {"АБВЁЖЯЂЏ", "абвёжяђџ"},
        {"ѢҐӁӐӘ", "ѣґӂӑә"},
        {"ẠẾỸ", "ạếỹ"},
    };
    for (const auto& [Upper, Lower] : Pairs) {
        EXPECT_EQ(AnsiLowerCase(Upper), Lower);
        EXPECT_EQ(AnsiUpperCase(Lower), Upper);
        EXPECT_TRUE(AnsiSameText(Upper, Lower));
    }
    EXPECT_EQ(AnsiUpperCase("ß×÷µ"), "ß×÷Μ");
    EXPECT_EQ(AnsiUpperCase("ς"), "Σ");
    EXPECT_TRUE(AnsiSameText("ΟΔΟΣ", "οδος"));
    EXPECT_TRUE(AnsiSameText("οδος", "οδοσ"));
    // Bad bytes stay exactly as they are.
    EXPECT_EQ(AnsiUpperCase("a\xFF\xC3(ж\x80"), "A\xFF\xC3(Ж\x80");
    EXPECT_FALSE(AnsiSameText("\xFF", "\xFE"));
    // The ASCII-only routines leave everything else alone.
    EXPECT_EQ(UpperCase("abc жз"), "ABC жз");
    EXPECT_EQ(LowerCase("ABC ЖЗ"), "abc ЖЗ");
    EXPECT_FALSE(SameText("ж", "Ж"));
    EXPECT_TRUE(SameText("Button1", "BUTTON1"));
}

TEST(Comparison, OrderOfTheAnsiAndAsciiRoutines) {
    EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
    EXPECT_LT(AnsiCompareText("еж", "ёж"), 0);
    EXPECT_LT(AnsiCompareText("ёж", "жук"), 0);
    EXPECT_LT(AnsiCompareText("ab", "abc"), 0);
    EXPECT_GT(AnsiCompareText("a\xFF", "az"), 0);
    EXPECT_EQ(AnsiCompareText("Straße", "STRASSE") == 0, false);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);
    EXPECT_LT(AnsiCompareStr("A", "b"), 0);
    EXPECT_LT(AnsiCompareStr("ё", "Ё"), 0);
    EXPECT_GT(CompareText("_", "Z"), 0); // the original folds to upper case
    EXPECT_LT(CompareStr("B", "a"), 0);
}

TEST(StringRoutines, SearchTrimReplaceAndQuote) {
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("b", "abcb", 3), 4);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 0, 99), "abc");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    EXPECT_EQ(Trim(" \t\r\nx y\x01 "), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");

    struct Case {
        std::string S, Old, New;
        TReplaceFlags Flags;
        std::string Expected;
    };
    const Case Cases[] = {
        {"aXbXc", "X", "--", {}, "a--bXc"},
        {"aXbXc", "X", "--", {rfReplaceAll}, "a--b--c"},
        {"aXbxc", "x", "", {rfReplaceAll, rfIgnoreCase}, "abc"},
        {"Привет ПРИВЕТ", "привет", "мир", {rfReplaceAll, rfIgnoreCase}, "мир мир"},
        {"ſs", "SS", "x", {rfIgnoreCase}, "x"},
        {"a\xFF"
         "b\xFF",
         "\xFF",
         "?",
         {rfReplaceAll},
         "a?b?"},
        {"abc", "", "x", {rfReplaceAll}, "abc"},
    };
    for (const Case& C : Cases) EXPECT_EQ(StringReplace(C.S, C.Old, C.New, C.Flags), C.Expected) << C.S;

    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    std::size_t P = 1;
    EXPECT_EQ(AnsiExtractQuotedStr("x\"a\"\"b\"rest", P, '"'), "a\"b");
    EXPECT_EQ(P, 7u);
    EXPECT_TRUE(IsValidIdent("Form1"));
    EXPECT_TRUE(IsValidIdent("Form1.Button_2", true));
    EXPECT_FALSE(IsValidIdent("Form1.", true));
    EXPECT_FALSE(IsValidIdent("Form1.Button"));
}

TEST(Hints, ShortAndLongHints) {
    const std::vector<std::tuple<std::string, std::string, std::string>> Cases = {
        {"Save|Saves the document", "Save", "Saves the document"},
        {"Save", "Save", "Save"},
        {"|Long only", "", "Long only"},
        {"Short|", "Short", ""},
        {"a|b|c", "a", "b|c"},
        {"", "", ""},
    };
    for (const auto& [Hint, Short, Long] : Cases) {
        EXPECT_EQ(GetShortHint(Hint), Short);
        EXPECT_EQ(GetLongHint(Hint), Long);
    }
}

TEST(Conversions, IntegersAndFloats) {
    const std::vector<std::pair<std::string, int>> Good = {
        {"0", 0},
        {"-17", -17},
        {"+5", 5},
        {"  42", 42},
        {"$FF", 255},
        {"0x1f", 31},
        {"x10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$FFFFFFFF", -1},
    };
    for (const auto& [Text, Value] : Good) EXPECT_EQ(StrToInt(Text), Value) << Text;
    for (const char* Bad : {"", " ", "12a", "42 ", "2147483648", "$1FFFFFFFF", "0x", "--1", "1.5", "٣"}) {
        try {
            StrToInt(Bad);
            ADD_FAILURE() << Bad;
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), std::string("'").append(Bad).append("' is not a valid integer value"));
        }
        EXPECT_EQ(StrToIntDef(Bad, -9), -9);
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(IntToStr(-12345678901LL), "-12345678901");
    EXPECT_EQ(IntToHex(255, 4), "00FF");

    const std::vector<std::pair<double, std::string>> Floats = {
        {0, "0"},
        {0.1, "0.1"},
        {-2.5, "-2.5"},
        {1e15, "1E15"},
        {123456789012345, "123456789012345"},
        {1e-5, "0.00001"},
        {1.5e-6, "1.5E-6"},
        {1.0 / 3, "0.333333333333333"},
        {1e100, "1E100"},
    };
    for (const auto& [Value, Text] : Floats) {
        EXPECT_EQ(FloatToStr(Value), Text);
        EXPECT_NEAR(StrToFloat(Text), Value, std::abs(Value) * 1e-14); // 15 digits, as the original
    }
    EXPECT_EQ(FloatToStr(NAN), "NAN");
    EXPECT_DOUBLE_EQ(StrToFloat(" 2.5e+3 "), 2500);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    EXPECT_THROW(StrToFloat("1e"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7), 7);
}

TEST(FormatTest, SpecifiersAndErrors) {
    EXPECT_EQ(Format("%s has %d items (%u%%)", {"List", 3, 50u}), "List has 3 items (50%)");
    EXPECT_EQ(Format("[%5d|%-5d|%.3d]", {42, 42, -7}), "[   42|42   |-007]");
    EXPECT_EQ(Format("%x %X %.4x", {255, 255, 10}), "FF FF 000A");
    EXPECT_EQ(Format("%x %u", {-1, -1}), "FFFFFFFF 4294967295");
    EXPECT_EQ(Format("%x", {std::int64_t(-1)}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%.3s|%6s|%-4s|", {"Привет", "ёж", "a"}), "При|    ёж|a   |");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(Format("%*d", {4, 7}), "   7");
    EXPECT_EQ(Format("%S=%D", {"k", 1}), "k=1");
    EXPECT_EQ(Format("no args", {}), "no args");

    try {
        Format("%d %d", {1});
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "No argument for format '%d %d'");
    }
    for (const char* Bad : {"%d", "%s", "%q", "%", "%5"}) {
        try {
            Format(Bad, {std::string(Bad) == "%d" ? TFormatArg("text") : TFormatArg(1)});
            ADD_FAILURE() << Bad;
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(),
                      std::string("Format '").append(Bad).append("' invalid or incompatible with argument"));
        }
    }
}

// --- Shortcuts ---

TEST(ShortCuts, EveryNamedKeyRoundTripsWithEveryModifierSet) {
    int Named = 0;
    for (std::uint16_t Key = 0x08; Key <= 0xFF; ++Key) {
        std::string Name = ShortCutToText(Key);
        if (Name.empty()) continue;
        ++Named;
        for (int Modifiers :
             {0, +scShift, +scCtrl, +scAlt, scShift | scCtrl, scCtrl | scAlt, scShift | scCtrl | scAlt}) {
            TShortCut S = static_cast<TShortCut>(Key | Modifiers);
            TShortCut Back = TextToShortCut(ShortCutToText(S));
            // The numeric keypad's digits have the digits' names: the text means the digit key.
            if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) {
                EXPECT_EQ(Back, ('0' + Key - VK_NUMPAD0) | Modifiers);
            } else {
                EXPECT_EQ(Back, S) << ShortCutToText(S);
            }
        }
    }
    EXPECT_GE(Named, 15 + 10 + 26 + 24);
}

TEST(ShortCuts, OriginalKeyNamesAndParsing) {
    const std::vector<std::pair<TShortCut, std::string>> Names = {
        {VK_BACK, "BkSp"},
        {VK_TAB, "Tab"},
        {VK_ESCAPE, "Esc"},
        {VK_RETURN, "Enter"},
        {VK_SPACE, "Space"},
        {VK_PRIOR, "PgUp"},
        {VK_NEXT, "PgDn"},
        {VK_END, "End"},
        {VK_HOME, "Home"},
        {VK_LEFT, "Left"},
        {VK_UP, "Up"},
        {VK_RIGHT, "Right"},
        {VK_DOWN, "Down"},
        {VK_INSERT, "Ins"},
        {VK_DELETE, "Del"},
        {VK_F1, "F1"},
        {VK_F12, "F12"},
        {'A', "A"},
        {'Z', "Z"},
        {'0', "0"},
        {VK_NUMPAD7, "7"},
        {VK_ADD, "Num +"},
        {VK_OEM_COMMA, ","},
        {0x07, ""},
        {scCtrl | 'S', "Ctrl+S"},
        {scShift | VK_DELETE, "Shift+Del"},
        {scShift | scCtrl | scAlt | VK_F5, "Shift+Ctrl+Alt+F5"},
    };
    for (const auto& [Key, Text] : Names) EXPECT_EQ(ShortCutToText(Key), Text);

    EXPECT_EQ(TextToShortCut("ctrl+s"), scCtrl | 'S');
    EXPECT_EQ(TextToShortCut("^S"), scCtrl | 'S');
    EXPECT_EQ(TextToShortCut("ALT+SHIFT+pgdn"), scAlt | scShift | VK_NEXT);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(TextToShortCut("\xFF\xFE"), 0);

    EXPECT_EQ(ShortCut('S', {ssCtrl, ssShift}), scCtrl | scShift | 'S');
    EXPECT_EQ(ShortCut(0x100, {ssCtrl}), 0);
    std::uint16_t Key = 0;
    TShiftState Shift;
    ShortCutToKey(scAlt | VK_F4, Key, Shift);
    EXPECT_EQ(Key, VK_F4);
    EXPECT_EQ(Shift, TShiftState{ssAlt});
}

TEST(ShortCuts, KeyCaptionsComeFromTheLocalizer) {
    TResStringLocalizer Previous =
        SetResStringLocalizer([](const TResStringRec& R) -> std::optional<std::string> {
            if (R.Identifier == SmkcCtrl.Identifier) return "Стрл+";
            if (R.Identifier == SmkcDel.Identifier) return "Удал";
            return std::nullopt;
        });
    EXPECT_EQ(ShortCutToText(scCtrl | VK_DELETE), "Стрл+Удал");
    EXPECT_EQ(TextToShortCut("стрл+удал"), scCtrl | VK_DELETE);
    SetResStringLocalizer(Previous);
    EXPECT_EQ(ShortCutToText(scCtrl | VK_DELETE), "Ctrl+Del");
}

} // namespace
