// String utilities of the class library: UTF-8 helpers and Unicode case
// mapping, the original's comparison and conversion routines, Format.
//
// Text is UTF-8 in std::string. A byte that does not begin a well-formed
// UTF-8 sequence (stray continuation byte, overlong form, surrogate, truncated
// sequence) counts as one character of its own: it is copied unchanged by the
// case mapping routines and never causes an error.
//
// Positions and lengths of Pos, Copy and StringReplace are byte offsets
// (1-based where the original is 1-based); Format widths and precisions and
// Utf8Length count characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "classes/sets.h"

namespace cls {

// The line break written by TStrings.Text and the INI files. The original
// platform writes CR LF; this library runs on Linux and writes LF. Reading
// accepts CR LF, LF and CR alike.
inline constexpr std::string_view sLineBreak = "\n";

// --- UTF-8 ---

inline constexpr char32_t UnicodeReplacementChar = 0xFFFD;

// Decodes the character starting at byte AIndex. Returns U+FFFD with length 1
// for a byte that does not start a well-formed sequence, and 0 with length 0
// at or past the end.
char32_t Utf8Decode(std::string_view S, std::size_t AIndex, int* ALength = nullptr);
// Byte length of the character starting at AIndex (1 for a bad byte).
int Utf8CharLength(std::string_view S, std::size_t AIndex);
bool Utf8IsValid(std::string_view S);
// Number of characters, bad bytes counting one each.
std::size_t Utf8Length(std::string_view S);
// The bytes of the first character (empty for an empty string).
std::string Utf8FirstChar(std::string_view S);
// Appends the encoding of C; values that are not scalar values append U+FFFD.
void Utf8Append(std::string& S, char32_t C);
std::string Utf8Encode(char32_t C);

// Simple (one-to-one) case mapping: Basic Latin, Latin-1 Supplement, Latin
// Extended-A, Latin Extended Additional, Greek and Cyrillic.
char32_t UnicodeUpper(char32_t C);
char32_t UnicodeLower(char32_t C);
// The key case-insensitive comparisons use (so that σ, ς and Σ are equal).
char32_t UnicodeFold(char32_t C);

// --- Case and comparison ---

// Unicode-aware, as the original's Ansi routines are through the platform's locale.
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
// Compares case-folded characters by code point (with ё placed right after
// е, as the platform's Russian sort does); <0, 0 or >0. Bad bytes sort after
// all characters.
int AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);
// Case-sensitive, ordered like the platform's default sort: strings that
// differ only in case order lower case first ("a" < "A" < "b").
int AnsiCompareStr(std::string_view S1, std::string_view S2);
bool AnsiSameStr(std::string_view S1, std::string_view S2);
// ASCII only, as in the original: other bytes are compared and copied as they are.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
int CompareText(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);
int CompareStr(std::string_view S1, std::string_view S2);

// --- Searching and editing ---

// 1-based byte position of SubStr in S at or after AOffset; 0 when absent or SubStr is empty.
int Pos(std::string_view SubStr, std::string_view S, int AOffset = 1);
inline int AnsiPos(std::string_view SubStr, std::string_view S) {
    return Pos(SubStr, S);
}
// Count bytes from the 1-based AIndex, clipped to the string.
std::string Copy(std::string_view S, int AIndex, int ACount);
// Remove leading and/or trailing spaces and control characters (bytes <= ' ').
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
// rfIgnoreCase matches with Unicode case folding.
std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags);

std::string QuotedStr(std::string_view S);
std::string AnsiQuotedStr(std::string_view S, char Quote);
// When S[APos] is Quote, returns the quoted text that starts there (doubled
// quotes become one; an unterminated text runs to the end) and moves APos past
// the closing quote. Otherwise returns "" and leaves APos alone.
std::string AnsiExtractQuotedStr(std::string_view S, std::size_t& APos, char Quote);

// A letter or underscore followed by letters, digits and underscores (ASCII),
// with AllowDots also dotted sequences of those.
bool IsValidIdent(std::string_view Ident, bool AllowDots = false);

// --- Hints ---

// The text before the first "|", or the whole text when there is none.
std::string GetShortHint(std::string_view Hint);
// The text after the first "|", or the whole text when there is none.
std::string GetLongHint(std::string_view Hint);

// --- Numbers ---

std::string IntToStr(std::int64_t Value);
// Upper-case hex digits, at least Digits of them.
std::string IntToHex(std::int64_t Value, int Digits);
// Accepts leading spaces, a sign, decimal digits, or hex digits after "$",
// "x" or "0x" (hex values wrap to the type's range, as in the original).
// Raises EConvertError "'S' is not a valid integer value".
int StrToInt(std::string_view S);
std::int64_t StrToInt64(std::string_view S);
int StrToIntDef(std::string_view S, int Default);
std::int64_t StrToInt64Def(std::string_view S, std::int64_t Default);
bool TryStrToInt(std::string_view S, int& Value);
bool TryStrToInt64(std::string_view S, std::int64_t& Value);

// General format with 15 significant digits and "." as the decimal separator:
// 0.1, 1E20, 1.5E-6, INF, NAN.
std::string FloatToStr(double Value);
double StrToFloat(std::string_view S);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double& Value);

// Text of an operating-system error code (errno).
std::string SysErrorMessage(int ErrorCode);

// --- Format ---

// One argument of Format: an integer or a string. The view must outlive the
// Format call, which temporaries in the argument list do.
class TFormatArg {
public:
    enum TKind { akSigned, akUnsigned, akString };

    template <class T>
    requires std::is_integral_v<T> &&(!std::is_same_v<T, bool>)&&(!std::is_same_v<T, char>)TFormatArg(T Value)
        : FWide(sizeof(T) > 4) {
        if constexpr (std::is_signed_v<T>) {
            FKind = akSigned;
            FSigned = Value;
        } else {
            FKind = akUnsigned;
            FUnsigned = Value;
        }
    }
    TFormatArg(const char* Value) : FKind(akString), FString(Value ? Value : "") {}
    TFormatArg(const std::string& Value) : FKind(akString), FString(Value) {}
    TFormatArg(std::string_view Value) : FKind(akString), FString(Value) {}

    TKind Kind() const { return FKind; }
    std::int64_t Signed() const { return FSigned; }
    std::uint64_t Unsigned() const { return FUnsigned; }
    std::string_view String() const { return FString; }
    // True for 64-bit integers: %x and %u of a negative value show all 64 bits.
    bool Wide() const { return FWide; }

private:
    TKind FKind = akSigned;
    std::int64_t FSigned = 0;
    std::uint64_t FUnsigned = 0;
    std::string_view FString;
    bool FWide = false;
};

// The original's Format for the subset the library uses. A specifier is
//   "%" [index ":"] ["-"] [width] ["." precision] type
// with type d (signed decimal; precision = minimum digits), u (unsigned
// decimal), x (upper-case hex, as the original), s (string; precision =
// maximum characters), and "%%" for a percent sign. Index, width and
// precision may be "*" (taken from the next argument). Letters may be upper
// case. A missing argument raises EConvertError "No argument for format
// '...'"; an unknown type or a wrong argument kind raises EConvertError
// "Format '...' invalid or incompatible with argument".
std::string Format(std::string_view Fmt, std::initializer_list<TFormatArg> Args);

} // namespace cls
