#include "classes/sysutils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "classes/exceptions.h"
#include "gfx/utf8.h"

namespace cls {

// --- UTF-8 ---

char32_t Utf8Decode(std::string_view S, std::size_t AIndex, int* ALength) {
    return gfx::DecodeUtf8At(S, AIndex, ALength);
}

int Utf8CharLength(std::string_view S, std::size_t AIndex) {
    int Length;
    Utf8Decode(S, AIndex, &Length);
    return Length;
}

namespace {

// A character of a string: its code point, or for a bad byte a value above
// every code point and collation key, so bad bytes compare after all
// characters and differ from each other.
struct TUnit {
    char32_t Code;
    bool Valid;
};

TUnit NextUnit(std::string_view S, std::size_t& I) {
    int Length;
    char32_t C = Utf8Decode(S, I, &Length);
    bool Valid = !(C == UnicodeReplacementChar && Length == 1 && static_cast<unsigned char>(S[I]) >= 0x80);
    if (!Valid) C = 0x400000 + static_cast<unsigned char>(S[I]);
    I += static_cast<std::size_t>(Length);
    return {C, Valid};
}

template <class TMap> std::string MapCase(std::string_view S, TMap Map) {
    std::string Result;
    Result.reserve(S.size());
    std::size_t I = 0;
    while (I < S.size()) {
        std::size_t Start = I;
        TUnit U = NextUnit(S, I);
        if (U.Valid) {
            Utf8Append(Result, Map(U.Code));
        } else {
            Result += S[Start];
        }
    }
    return Result;
}

bool InRange(char32_t C, char32_t Low, char32_t High) {
    return C >= Low && C <= High;
}

} // namespace

bool Utf8IsValid(std::string_view S) {
    std::size_t I = 0;
    while (I < S.size()) {
        if (!NextUnit(S, I).Valid) return false;
    }
    return true;
}

std::size_t Utf8Length(std::string_view S) {
    std::size_t Count = 0;
    for (std::size_t I = 0; I < S.size(); I += static_cast<std::size_t>(Utf8CharLength(S, I))) ++Count;
    return Count;
}

std::string Utf8FirstChar(std::string_view S) {
    return std::string(S.substr(0, static_cast<std::size_t>(Utf8CharLength(S, 0))));
}

void Utf8Append(std::string& S, char32_t C) {
    gfx::AppendUtf8(S, C);
}

std::string Utf8Encode(char32_t C) {
    std::string S;
    Utf8Append(S, C);
    return S;
}

// --- Case mapping ---

namespace {

// Blocks where upper and lower case alternate: the upper-case letter at an
// even (or odd) code point, its lower-case letter right after it.
struct TAlternating {
    char32_t First;
    char32_t Last;
    bool UpperIsEven;
};

constexpr TAlternating AlternatingBlocks[] = {
    {0x0100, 0x012F, true},  {0x0132, 0x0137, true}, {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
    {0x0179, 0x017E, false}, {0x03D8, 0x03EF, true}, {0x0460, 0x0481, true},  {0x048A, 0x04BF, true},
    {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true}, {0x1E00, 0x1E95, true},  {0x1EA0, 0x1EFF, true},
};

const TAlternating* FindAlternating(char32_t C) {
    for (const TAlternating& B : AlternatingBlocks) {
        if (InRange(C, B.First, B.Last)) return &B;
    }
    return nullptr;
}

bool IsUpperInBlock(const TAlternating& B, char32_t C) {
    return ((C % 2) == 0) == B.UpperIsEven;
}

} // namespace

char32_t UnicodeUpper(char32_t C) {
    if (C < 0x80) return InRange(C, 'a', 'z') ? C - 0x20 : C;
    if (C == 0xB5) return 0x039C;
    if (C == 0xFF) return 0x0178;
    if (InRange(C, 0xE0, 0xFE) && C != 0xF7) return C - 0x20;
    if (C == 0x0131) return 'I';
    if (C == 0x017F) return 'S';
    if (const TAlternating* B = FindAlternating(C)) return IsUpperInBlock(*B, C) ? C : C - 1;
    // Greek
    if (C == 0x03AC) return 0x0386;
    if (InRange(C, 0x03AD, 0x03AF)) return C - 0x25;
    if (InRange(C, 0x03B1, 0x03C1) || InRange(C, 0x03C3, 0x03CB)) return C - 0x20;
    if (C == 0x03C2) return 0x03A3;
    if (C == 0x03CC) return 0x038C;
    if (InRange(C, 0x03CD, 0x03CE)) return C - 0x3F;
    // Cyrillic
    if (InRange(C, 0x0430, 0x044F)) return C - 0x20;
    if (InRange(C, 0x0450, 0x045F)) return C - 0x50;
    if (C == 0x04CF) return 0x04C0;
    return C;
}

char32_t UnicodeLower(char32_t C) {
    if (C < 0x80) return InRange(C, 'A', 'Z') ? C + 0x20 : C;
    if (InRange(C, 0xC0, 0xDE) && C != 0xD7) return C + 0x20;
    if (C == 0x0130) return 'i';
    if (C == 0x0178) return 0xFF;
    if (C == 0x1E9E) return 0xDF;
    if (const TAlternating* B = FindAlternating(C)) return IsUpperInBlock(*B, C) ? C + 1 : C;
    // Greek
    if (C == 0x0386) return 0x03AC;
    if (InRange(C, 0x0388, 0x038A)) return C + 0x25;
    if (C == 0x038C) return 0x03CC;
    if (InRange(C, 0x038E, 0x038F)) return C + 0x3F;
    if (InRange(C, 0x0391, 0x03A1) || InRange(C, 0x03A3, 0x03AB)) return C + 0x20;
    // Cyrillic
    if (InRange(C, 0x0400, 0x040F)) return C + 0x50;
    if (InRange(C, 0x0410, 0x042F)) return C + 0x20;
    if (C == 0x04C0) return 0x04CF;
    return C;
}

char32_t UnicodeFold(char32_t C) {
    return UnicodeLower(UnicodeUpper(C));
}

std::string AnsiUpperCase(std::string_view S) {
    return MapCase(S, UnicodeUpper);
}

std::string AnsiLowerCase(std::string_view S) {
    return MapCase(S, UnicodeLower);
}

namespace {

int Sign(std::int64_t V) {
    return V < 0 ? -1 : V > 0 ? 1 : 0;
}

// Compares unit by unit with Key applied; returns the first difference, else
// the shorter string first.
template <class TKey> int CompareUnits(std::string_view S1, std::string_view S2, TKey Key) {
    std::size_t I = 0;
    std::size_t J = 0;
    while (I < S1.size() && J < S2.size()) {
        const auto CA = static_cast<unsigned char>(S1[I]);
        const auto CB = static_cast<unsigned char>(S2[J]);
        // ASCII on both sides needs no decoding, and equal bytes have equal keys.
        if ((CA | CB) < 0x80) {
            if (CA != CB) {
                const char32_t KA = Key(CA);
                const char32_t KB = Key(CB);
                if (KA != KB) return KA < KB ? -1 : 1;
            }
            ++I;
            ++J;
            continue;
        }
        TUnit A = NextUnit(S1, I);
        TUnit B = NextUnit(S2, J);
        char32_t KA = A.Valid ? Key(A.Code) : A.Code;
        char32_t KB = B.Valid ? Key(B.Code) : B.Code;
        if (KA != KB) return KA < KB ? -1 : 1;
    }
    if (I < S1.size()) return 1;
    if (J < S2.size()) return -1;
    return 0;
}

bool IsLowerCase(char32_t C) {
    return UnicodeUpper(C) != C;
}

// Orders folded characters by code point, except that ё follows е directly
// (as the platform's Russian sort has it) instead of coming after я.
char32_t CollationKey(char32_t C) {
    char32_t F = UnicodeFold(C);
    return F == 0x0451 ? 0x0435 * 2 + 1 : F * 2;
}

} // namespace

int AnsiCompareText(std::string_view S1, std::string_view S2) {
    return CompareUnits(S1, S2, CollationKey);
}

bool AnsiSameText(std::string_view S1, std::string_view S2) {
    return AnsiCompareText(S1, S2) == 0;
}

int AnsiCompareStr(std::string_view S1, std::string_view S2) {
    if (int R = AnsiCompareText(S1, S2)) return R;
    // Equal but for case: the first character that differs decides, lower case first.
    std::size_t I = 0;
    std::size_t J = 0;
    while (I < S1.size() && J < S2.size()) {
        TUnit A = NextUnit(S1, I);
        TUnit B = NextUnit(S2, J);
        if (A.Code == B.Code) continue;
        bool LowerA = A.Valid && IsLowerCase(A.Code);
        bool LowerB = B.Valid && IsLowerCase(B.Code);
        if (LowerA != LowerB) return LowerA ? -1 : 1;
        return A.Code < B.Code ? -1 : 1;
    }
    return Sign(static_cast<std::int64_t>(S1.size()) - static_cast<std::int64_t>(S2.size()));
}

bool AnsiSameStr(std::string_view S1, std::string_view S2) {
    return S1 == S2;
}

namespace {

char AsciiUpper(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 0x20) : C;
}
char AsciiLower(char C) {
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 0x20) : C;
}

} // namespace

std::string UpperCase(std::string_view S) {
    std::string Result(S);
    for (char& C : Result) C = AsciiUpper(C);
    return Result;
}

std::string LowerCase(std::string_view S) {
    std::string Result(S);
    for (char& C : Result) C = AsciiLower(C);
    return Result;
}

int CompareText(std::string_view S1, std::string_view S2) {
    std::size_t N = std::min(S1.size(), S2.size());
    for (std::size_t I = 0; I < N; ++I) {
        auto A = static_cast<unsigned char>(AsciiUpper(S1[I]));
        auto B = static_cast<unsigned char>(AsciiUpper(S2[I]));
        if (A != B) return A - B;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

bool SameText(std::string_view S1, std::string_view S2) {
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

int CompareStr(std::string_view S1, std::string_view S2) {
    std::size_t N = std::min(S1.size(), S2.size());
    for (std::size_t I = 0; I < N; ++I) {
        auto A = static_cast<unsigned char>(S1[I]);
        auto B = static_cast<unsigned char>(S2[I]);
        if (A != B) return A - B;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

// --- Searching and editing ---

int Pos(std::string_view SubStr, std::string_view S, int AOffset) {
    if (SubStr.empty() || AOffset < 1 || static_cast<std::size_t>(AOffset) > S.size()) return 0;
    std::size_t P = S.find(SubStr, static_cast<std::size_t>(AOffset - 1));
    return P == std::string_view::npos ? 0 : static_cast<int>(P) + 1;
}

std::string Copy(std::string_view S, int AIndex, int ACount) {
    if (AIndex < 1) AIndex = 1;
    if (ACount <= 0 || static_cast<std::size_t>(AIndex) > S.size()) return {};
    return std::string(S.substr(static_cast<std::size_t>(AIndex - 1), static_cast<std::size_t>(ACount)));
}

namespace {

bool IsTrimmed(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

} // namespace

std::string TrimLeft(std::string_view S) {
    std::size_t I = 0;
    while (I < S.size() && IsTrimmed(S[I])) ++I;
    return std::string(S.substr(I));
}

std::string TrimRight(std::string_view S) {
    std::size_t N = S.size();
    while (N > 0 && IsTrimmed(S[N - 1])) --N;
    return std::string(S.substr(0, N));
}

std::string Trim(std::string_view S) {
    return TrimLeft(TrimRight(S));
}

namespace {

// Length in S of a case-insensitive match of Pattern at AIndex, or npos.
std::size_t MatchFolded(std::string_view S, std::size_t AIndex, std::string_view Pattern) {
    std::size_t I = AIndex;
    std::size_t J = 0;
    while (J < Pattern.size()) {
        if (I >= S.size()) return std::string_view::npos;
        TUnit A = NextUnit(S, I);
        TUnit B = NextUnit(Pattern, J);
        char32_t KA = A.Valid ? UnicodeFold(A.Code) : A.Code;
        char32_t KB = B.Valid ? UnicodeFold(B.Code) : B.Code;
        if (KA != KB) return std::string_view::npos;
    }
    return I - AIndex;
}

} // namespace

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags) {
    if (OldPattern.empty()) return std::string(S);
    const bool IgnoreCase = Flags.Contains(rfIgnoreCase);
    const bool All = Flags.Contains(rfReplaceAll);
    std::string Result;
    std::size_t I = 0;
    while (I < S.size()) {
        std::size_t Length =
            IgnoreCase ? MatchFolded(S, I, OldPattern)
                       : (S.substr(I).starts_with(OldPattern) ? OldPattern.size() : std::string_view::npos);
        if (Length != std::string_view::npos) {
            Result += NewPattern;
            I += Length;
            if (!All) break;
            continue;
        }
        std::size_t Step = IgnoreCase ? static_cast<std::size_t>(Utf8CharLength(S, I)) : 1;
        Result += S.substr(I, Step);
        I += Step;
    }
    Result += S.substr(std::min(I, S.size()));
    return Result;
}

std::string QuotedStr(std::string_view S) {
    return AnsiQuotedStr(S, '\'');
}

std::string AnsiQuotedStr(std::string_view S, char Quote) {
    std::string Result(1, Quote);
    for (char C : S) {
        Result += C;
        if (C == Quote) Result += C;
    }
    Result += Quote;
    return Result;
}

std::string AnsiExtractQuotedStr(std::string_view S, std::size_t& APos, char Quote) {
    if (APos >= S.size() || S[APos] != Quote) return {};
    std::string Result;
    std::size_t P = APos + 1;
    while (P < S.size()) {
        if (S[P] == Quote) {
            if (P + 1 < S.size() && S[P + 1] == Quote) {
                Result += Quote;
                P += 2;
                continue;
            }
            ++P;
            APos = P;
            return Result;
        }
        Result += S[P++];
    }
    APos = S.size();
    return Result;
}

bool IsValidIdent(std::string_view Ident, bool AllowDots) {
    auto IsAlpha = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; };
    auto IsAlnum = [&](char C) { return IsAlpha(C) || (C >= '0' && C <= '9'); };
    if (Ident.empty() || !IsAlpha(Ident[0])) return false;
    for (std::size_t I = 1; I < Ident.size(); ++I) {
        char C = Ident[I];
        if (AllowDots && C == '.') {
            if (I + 1 >= Ident.size() || !IsAlpha(Ident[I + 1])) return false;
            continue;
        }
        if (!IsAlnum(C)) return false;
    }
    return true;
}

// --- Hints ---

std::string GetShortHint(std::string_view Hint) {
    std::size_t P = Hint.find('|');
    return std::string(P == std::string_view::npos ? Hint : Hint.substr(0, P));
}

std::string GetLongHint(std::string_view Hint) {
    std::size_t P = Hint.find('|');
    return std::string(P == std::string_view::npos ? Hint : Hint.substr(P + 1));
}

// --- Numbers ---

std::string IntToStr(std::int64_t Value) {
    return std::to_string(Value);
}

std::string IntToHex(std::int64_t Value, int Digits) {
    char Buffer[32];
    int N = std::snprintf(Buffer, sizeof(Buffer), "%llX", static_cast<unsigned long long>(Value));
    std::string Result(Buffer, static_cast<std::size_t>(N));
    if (Digits > N) Result.insert(0, static_cast<std::size_t>(Digits - N), '0');
    return Result;
}

namespace {

// The original's Val for integers of Bits bits.
bool ParseInteger(std::string_view S, int Bits, std::int64_t& Value) {
    std::size_t I = 0;
    while (I < S.size() && S[I] == ' ') ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) Negative = S[I++] == '-';
    bool Hex = false;
    if (I < S.size() && (S[I] == '$' || S[I] == 'x' || S[I] == 'X')) {
        Hex = true;
        ++I;
    } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        Hex = true;
        I += 2;
    }
    if (I >= S.size()) return false;
    const std::uint64_t Limit = Bits == 64 ? std::numeric_limits<std::uint64_t>::max() : 0xFFFFFFFFu;
    std::uint64_t Magnitude = 0;
    for (; I < S.size(); ++I) {
        char C = S[I];
        unsigned Digit;
        if (C >= '0' && C <= '9') {
            Digit = static_cast<unsigned>(C - '0');
        } else if (Hex && C >= 'a' && C <= 'f') {
            Digit = static_cast<unsigned>(C - 'a' + 10);
        } else if (Hex && C >= 'A' && C <= 'F') {
            Digit = static_cast<unsigned>(C - 'A' + 10);
        } else {
            return false;
        }
        const unsigned Base = Hex ? 16 : 10;
        if (Magnitude > (Limit - Digit) / Base) return false;
        Magnitude = Magnitude * Base + Digit;
    }
    if (Hex) {
        // Hex digits give the bit pattern, which wraps into the signed range.
        std::int64_t Result = Bits == 64 ? static_cast<std::int64_t>(Magnitude)
                                         : static_cast<std::int32_t>(static_cast<std::uint32_t>(Magnitude));
        Value = Negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(Result)) : Result;
        if (Bits == 32)
            Value = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(Value)));
        return true;
    }
    const std::uint64_t MaxPositive = Bits == 64 ? 0x7FFFFFFFFFFFFFFFull : 0x7FFFFFFFull;
    if (Magnitude > MaxPositive + (Negative ? 1 : 0)) return false;
    Value = Negative ? static_cast<std::int64_t>(0 - Magnitude) : static_cast<std::int64_t>(Magnitude);
    return true;
}

} // namespace

bool TryStrToInt64(std::string_view S, std::int64_t& Value) {
    return ParseInteger(S, 64, Value);
}

bool TryStrToInt(std::string_view S, int& Value) {
    std::int64_t V;
    if (!ParseInteger(S, 32, V)) return false;
    Value = static_cast<int>(V);
    return true;
}

int StrToInt(std::string_view S) {
    int Value;
    if (!TryStrToInt(S, Value)) throw EConvertError(SInvalidInteger, {S});
    return Value;
}

std::int64_t StrToInt64(std::string_view S) {
    std::int64_t Value;
    if (!TryStrToInt64(S, Value)) throw EConvertError(SInvalidInteger, {S});
    return Value;
}

int StrToIntDef(std::string_view S, int Default) {
    int Value;
    return TryStrToInt(S, Value) ? Value : Default;
}

std::int64_t StrToInt64Def(std::string_view S, std::int64_t Default) {
    std::int64_t Value;
    return TryStrToInt64(S, Value) ? Value : Default;
}

std::string FloatToStr(double Value) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
    if (Value == 0) return "0";
    char Buffer[64];
    std::snprintf(Buffer, sizeof(Buffer), "%.14e", Value);
    // Buffer is "[-]d.dddddddddddddde[+-]x".
    std::string_view Text = Buffer;
    bool Negative = Text.front() == '-';
    if (Negative) Text.remove_prefix(1);
    std::size_t E = Text.find('e');
    int Exponent = std::atoi(Buffer + (Negative ? 1 : 0) + E + 1);
    std::string Digits;
    for (char C : Text.substr(0, E)) {
        if (C != '.') Digits += C;
    }
    while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
    std::string Result = Negative ? "-" : "";
    if (Exponent >= 15 || Exponent < -5) {
        Result += Digits[0];
        if (Digits.size() > 1) {
            Result += '.';
            Result.append(Digits, 1);
        }
        Result += 'E';
        Result += std::to_string(Exponent);
    } else if (Exponent < 0) {
        Result += "0.";
        Result.append(static_cast<std::size_t>(-Exponent - 1), '0');
        Result += Digits;
    } else {
        std::size_t IntDigits = static_cast<std::size_t>(Exponent) + 1;
        if (Digits.size() <= IntDigits) {
            Result += Digits + std::string(IntDigits - Digits.size(), '0');
        } else {
            Result += Digits.substr(0, IntDigits) + "." + Digits.substr(IntDigits);
        }
    }
    return Result;
}

bool TryStrToFloat(std::string_view S, double& Value) {
    std::string_view T = S;
    while (!T.empty() && T.front() == ' ') T.remove_prefix(1);
    while (!T.empty() && T.back() == ' ') T.remove_suffix(1);
    std::string Clean;
    std::size_t I = 0;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) {
        if (T[I] == '-') Clean += '-';
        ++I;
    }
    std::size_t Digits = 0;
    while (I < T.size() && T[I] >= '0' && T[I] <= '9') Clean += T[I++], ++Digits;
    if (I < T.size() && T[I] == '.') {
        Clean += T[I++];
        while (I < T.size() && T[I] >= '0' && T[I] <= '9') Clean += T[I++], ++Digits;
    }
    if (Digits == 0) return false;
    if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
        Clean += 'e';
        ++I;
        if (I < T.size() && (T[I] == '+' || T[I] == '-')) Clean += T[I++];
        std::size_t ExponentDigits = 0;
        while (I < T.size() && T[I] >= '0' && T[I] <= '9') Clean += T[I++], ++ExponentDigits;
        if (ExponentDigits == 0) return false;
    }
    if (I != T.size()) return false;
    double Result = 0;
    auto [End, Error] = std::from_chars(Clean.data(), Clean.data() + Clean.size(), Result);
    if (Error != std::errc() || End != Clean.data() + Clean.size()) return false;
    Value = Result;
    return true;
}

double StrToFloat(std::string_view S) {
    double Value;
    if (!TryStrToFloat(S, Value)) throw EConvertError(SInvalidFloat, {S});
    return Value;
}

double StrToFloatDef(std::string_view S, double Default) {
    double Value;
    return TryStrToFloat(S, Value) ? Value : Default;
}

std::string SysErrorMessage(int ErrorCode) {
    char Buffer[256];
    // The GNU strerror_r, which returns the text (not always in Buffer).
    return strerror_r(ErrorCode, Buffer, sizeof(Buffer));
}

// --- Format ---

namespace {

// Pads Text (counted in characters) to Width.
void AppendPadded(std::string& Out, std::string_view Text, int Width, bool LeftJustify) {
    std::size_t Length = Utf8Length(Text);
    std::size_t Pad = Width > 0 && static_cast<std::size_t>(Width) > Length ? Width - Length : 0;
    if (!LeftJustify) Out.append(Pad, ' ');
    Out += Text;
    if (LeftJustify) Out.append(Pad, ' ');
}

std::string ZeroPadded(std::string Digits, int Precision) {
    if (Precision > 0 && Digits.size() < static_cast<std::size_t>(Precision))
        Digits.insert(0, static_cast<std::size_t>(Precision) - Digits.size(), '0');
    return Digits;
}

} // namespace

std::string Format(std::string_view Fmt, std::initializer_list<TFormatArg> Args) {
    const TFormatArg* ArgList = Args.begin();
    const std::size_t ArgCount = Args.size();
    std::size_t NextArg = 0;
    auto Invalid = [&]() -> EConvertError { return EConvertError(SInvalidFormat, {Fmt}); };
    auto TakeArg = [&]() -> const TFormatArg& {
        if (NextArg >= ArgCount) throw EConvertError(SArgumentMissing, {Fmt});
        return ArgList[NextArg++];
    };
    // A number, or "*" taking an integer argument; -1 when absent.
    auto ReadNumber = [&](std::size_t& I) -> int {
        if (I < Fmt.size() && Fmt[I] == '*') {
            ++I;
            const TFormatArg& A = TakeArg();
            if (A.Kind() == TFormatArg::akString) throw Invalid();
            return static_cast<int>(
                A.Kind() == TFormatArg::akSigned ? A.Signed() : static_cast<std::int64_t>(A.Unsigned()));
        }
        if (I >= Fmt.size() || Fmt[I] < '0' || Fmt[I] > '9') return -1;
        int N = 0;
        while (I < Fmt.size() && Fmt[I] >= '0' && Fmt[I] <= '9') {
            N = N * 10 + (Fmt[I++] - '0');
            if (N > 1000000) throw Invalid();
        }
        return N;
    };

    std::string Result;
    std::size_t I = 0;
    while (I < Fmt.size()) {
        char C = Fmt[I++];
        if (C != '%') {
            Result += C;
            continue;
        }
        if (I < Fmt.size() && Fmt[I] == '%') {
            Result += '%';
            ++I;
            continue;
        }
        // [index ":"] ["-"] [width] ["." precision] type
        std::size_t J = I;
        if (J < Fmt.size() && Fmt[J] == '*') {
            ++J;
        } else {
            while (J < Fmt.size() && Fmt[J] >= '0' && Fmt[J] <= '9') ++J;
        }
        if (J > I && J < Fmt.size() && Fmt[J] == ':') {
            int Index = ReadNumber(I);
            if (Index < 0) throw Invalid();
            NextArg = static_cast<std::size_t>(Index);
            ++I;
        }
        bool LeftJustify = false;
        if (I < Fmt.size() && Fmt[I] == '-') {
            LeftJustify = true;
            ++I;
        }
        int Width = ReadNumber(I);
        int Precision = -1;
        if (I < Fmt.size() && Fmt[I] == '.') {
            ++I;
            Precision = ReadNumber(I);
            if (Precision < 0) Precision = 0;
        }
        if (I >= Fmt.size()) throw Invalid();
        char Type = static_cast<char>(Fmt[I++] | 0x20);
        const TFormatArg& A = TakeArg();
        std::string Text;
        switch (Type) {
            case 'd':
                if (A.Kind() == TFormatArg::akString) throw Invalid();
                if (A.Kind() == TFormatArg::akSigned) {
                    std::int64_t V = A.Signed();
                    std::uint64_t Magnitude =
                        V < 0 ? 0 - static_cast<std::uint64_t>(V) : static_cast<std::uint64_t>(V);
                    Text = V < 0 ? "-" : "";
                    Text += ZeroPadded(std::to_string(Magnitude), Precision);
                } else {
                    Text = ZeroPadded(std::to_string(A.Unsigned()), Precision);
                }
                break;
            case 'u':
            case 'x': {
                if (A.Kind() == TFormatArg::akString) throw Invalid();
                std::uint64_t V = A.Unsigned();
                if (A.Kind() == TFormatArg::akSigned) {
                    V = A.Wide() ? static_cast<std::uint64_t>(A.Signed())
                                 : static_cast<std::uint32_t>(static_cast<std::int32_t>(A.Signed()));
                }
                if (Type == 'u') {
                    Text = ZeroPadded(std::to_string(V), Precision);
                } else {
                    char Buffer[32];
                    std::snprintf(Buffer, sizeof(Buffer), "%llX", static_cast<unsigned long long>(V));
                    Text = ZeroPadded(Buffer, Precision);
                }
                break;
            }
            case 's': {
                if (A.Kind() != TFormatArg::akString) throw Invalid();
                std::string_view S = A.String();
                if (Precision >= 0) {
                    std::size_t End = 0;
                    for (int K = 0; K < Precision && End < S.size(); ++K)
                        End += static_cast<std::size_t>(Utf8CharLength(S, End));
                    S = S.substr(0, End);
                }
                Text = S;
                break;
            }
            default:
                throw Invalid();
        }
        AppendPadded(Result, Text, Width, LeftJustify);
    }
    return Result;
}

} // namespace cls
