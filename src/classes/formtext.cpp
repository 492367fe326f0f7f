#include "classes/formtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include "classes/filer.h"
#include "classes/streams.h"
#include "gfx/utf8.h"

namespace cls {

namespace {

constexpr char kSignature[] = "TPF0";
constexpr std::uint8_t kPrefixMask = 0xF0;
constexpr std::uint8_t ffInherited = 1;
constexpr std::uint8_t ffChildPos = 2;
constexpr std::uint8_t ffInline = 4;
// Bytes of a string between line breaks of the text, and of binary data per line.
constexpr std::size_t kLineLength = 64;
constexpr std::size_t kBytesPerLine = 32;

std::string ReadAll(TStream* Input) {
    const std::int64_t Count = Input->Size() - Input->Position();
    std::string Data(static_cast<std::size_t>(std::max<std::int64_t>(Count, 0)), '\0');
    Input->ReadBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
    return Data;
}

// --- Floating-point values ---

// The shortest text that reads back as the same value, always with a "." or
// an exponent so that it reads as a float.
template <class F> std::string ShortestFloat(F AValue) {
    char Buffer[64];
    for (int Digits = 1;; ++Digits) {
        if constexpr (std::is_same_v<F, long double>) {
            std::snprintf(Buffer, sizeof Buffer, "%.*Lg", Digits, AValue);
            if (std::strtold(Buffer, nullptr) == AValue || Digits >= 21) break;
        } else {
            std::snprintf(Buffer, sizeof Buffer, "%.*g", Digits, static_cast<double>(AValue));
            const F Back =
                std::is_same_v<F, float> ? std::strtof(Buffer, nullptr) : std::strtod(Buffer, nullptr);
            if (Back == AValue || Digits >= 17) break;
        }
    }
    std::string Result = Buffer;
    // Whole numbers of up to 18 digits read better without an exponent.
    if (const char* E = std::strchr(Buffer, 'e')) {
        const int Exponent = std::atoi(E + 1);
        if (Exponent > 0 && Exponent < 18) {
            if constexpr (std::is_same_v<F, long double>)
                std::snprintf(Buffer, sizeof Buffer, "%.*Lg", Exponent + 1, AValue);
            else
                std::snprintf(Buffer, sizeof Buffer, "%.*g", Exponent + 1, static_cast<double>(AValue));
            Result = Buffer;
        }
    }
    if (Result.find_first_of(".e") == std::string::npos) Result += ".0";
    return Result;
}

// ============================================================================
// Binary output
// ============================================================================

class TBinaryOut {
public:
    std::string Data;

    void Byte(std::uint8_t B) { Data.push_back(static_cast<char>(B)); }
    void Bytes(const void* P, std::size_t N) { Data.append(static_cast<const char*>(P), N); }
    void LittleEndian(std::uint64_t V, int Size) {
        for (int I = 0; I < Size; ++I) Byte(static_cast<std::uint8_t>(V >> (8 * I)));
    }
    void Integer(std::int64_t V) {
        if (V >= -128 && V <= 127) {
            Byte(vaInt8);
            LittleEndian(static_cast<std::uint64_t>(V), 1);
        } else if (V >= -32768 && V <= 32767) {
            Byte(vaInt16);
            LittleEndian(static_cast<std::uint64_t>(V), 2);
        } else if (V >= INT32_MIN && V <= INT32_MAX) {
            Byte(vaInt32);
            LittleEndian(static_cast<std::uint64_t>(V), 4);
        } else {
            Byte(vaInt64);
            LittleEndian(static_cast<std::uint64_t>(V), 8);
        }
    }
    void String(std::string_view S) {
        if (S.size() <= 255) {
            Byte(vaString);
            Byte(static_cast<std::uint8_t>(S.size()));
        } else {
            Byte(vaLString);
            LittleEndian(S.size(), 4);
        }
        Bytes(S.data(), S.size());
    }
};

// ============================================================================
// Text -> binary
// ============================================================================

class TTextToBinary {
public:
    explicit TTextToBinary(std::string_view AText) : FText(AText) { NextToken(); }

    std::string Convert() {
        FOut.Bytes(kSignature, 4);
        ConvertObject(0);
        return std::move(FOut.Data);
    }

private:
    enum TToken { tkEOF, tkSymbol, tkString, tkInteger, tkFloat, tkChar };

    [[noreturn]] void Error(const std::string& AMessage) const {
        throw EParserError(SParseError, {AMessage, FTokenLine});
    }
    [[noreturn]] void Error(const TResStringRec& ARec) const { Error(LoadResString(ARec)); }
    [[noreturn]] void Expected(std::string_view AWhat) const {
        Error(Format(LoadResString(SSymbolExpected), {AWhat}));
    }

    char Peek(std::size_t AOffset = 0) const {
        return FPos + AOffset < FText.size() ? FText[FPos + AOffset] : '\0';
    }
    bool AtEnd() const { return FPos >= FText.size(); }
    static bool IsDigit(char C) { return C >= '0' && C <= '9'; }
    static bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
    static bool IsIdentChar(char C) { return IsIdentStart(C) || IsDigit(C); }
    static int HexValue(char C) {
        if (C >= '0' && C <= '9') return C - '0';
        if (C >= 'A' && C <= 'F') return C - 'A' + 10;
        if (C >= 'a' && C <= 'f') return C - 'a' + 10;
        return -1;
    }

    void SkipBlanks() {
        while (!AtEnd() && static_cast<unsigned char>(FText[FPos]) <= ' ') {
            if (FText[FPos] == '\n') ++FLine;
            ++FPos;
        }
    }

    void NextToken() {
        SkipBlanks();
        FTokenLine = FLine;
        FTokenStart = FPos;
        if (AtEnd()) {
            FToken = tkEOF;
            return;
        }
        const char C = FText[FPos];
        if (IsIdentStart(C)) {
            while (!AtEnd() && IsIdentChar(FText[FPos])) ++FPos;
            FToken = tkSymbol;
        } else if (C == '\'' || C == '#') {
            ScanString();
        } else if (IsDigit(C) || (C == '-' && IsDigit(Peek(1))) || (C == '$' && HexValue(Peek(1)) >= 0)) {
            ScanNumber();
        } else {
            ++FPos;
            FToken = tkChar;
        }
        FTokenEnd = FPos;
    }

    void ScanString() {
        FString.clear();
        while (!AtEnd() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
            if (FText[FPos] == '\'') {
                ++FPos;
                for (;;) {
                    if (AtEnd() || FText[FPos] == '\n' || FText[FPos] == '\r') Error(SUnterminatedString);
                    const char Ch = FText[FPos++];
                    if (Ch != '\'') {
                        FString.push_back(Ch);
                    } else if (Peek() == '\'') {
                        FString.push_back('\'');
                        ++FPos;
                    } else {
                        break;
                    }
                }
            } else {
                ++FPos;
                std::uint32_t Code = 0;
                int Digits = 0;
                if (Peek() == '$') {
                    ++FPos;
                    for (int H; (H = HexValue(Peek())) >= 0; ++FPos, ++Digits)
                        if ((Code = Code * 16 + static_cast<std::uint32_t>(H)) > 0x10FFFF)
                            Error(SInvalidString);
                } else {
                    for (; IsDigit(Peek()); ++FPos, ++Digits)
                        if ((Code = Code * 10 + static_cast<std::uint32_t>(Peek() - '0')) > 0x10FFFF)
                            Error(SInvalidString);
                }
                if (Digits == 0 || !gfx::IsScalarValue(Code)) Error(SInvalidString);
                if (Code < 0x80)
                    FString.push_back(static_cast<char>(Code));
                else
                    gfx::AppendUtf8(FString, Code);
            }
        }
        FToken = tkString;
    }

    void ScanNumber() {
        FToken = tkInteger;
        if (FText[FPos] == '$') {
            ++FPos;
            std::uint64_t Value = 0;
            for (int H; (H = HexValue(Peek())) >= 0; ++FPos) {
                if (Value >> 60) Error(SInvalidNumber);
                Value = Value * 16 + static_cast<std::uint64_t>(H);
            }
            FInteger = static_cast<std::int64_t>(Value);
            return;
        }
        if (FText[FPos] == '-') ++FPos;
        while (IsDigit(Peek())) ++FPos;
        if (Peek() == '.' && IsDigit(Peek(1))) {
            FToken = tkFloat;
            for (++FPos; IsDigit(Peek()); ++FPos) {}
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            FToken = tkFloat;
            FPos += 2;
            while (IsDigit(Peek())) ++FPos;
        }
        const std::string_view Digits = FText.substr(FTokenStart, FPos - FTokenStart);
        FSuffix = '\0';
        const char S = Peek();
        if (S == 's' || S == 'S' || S == 'c' || S == 'C' || S == 'd' || S == 'D') {
            FToken = tkFloat;
            FSuffix = static_cast<char>(S | 0x20);
            ++FPos;
        }
        if (FToken == tkFloat) {
            FNumber = std::string(Digits);
            return;
        }
        std::uint64_t Value = 0;
        const bool Negative = Digits[0] == '-';
        for (char D : Digits.substr(Negative ? 1 : 0)) {
            if (Value > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) Error(SInvalidNumber);
            Value = Value * 10 + static_cast<std::uint64_t>(D - '0');
        }
        if (Value > static_cast<std::uint64_t>(INT64_MAX) + (Negative ? 1 : 0)) Error(SInvalidNumber);
        FInteger = Negative ? static_cast<std::int64_t>(0 - Value) : static_cast<std::int64_t>(Value);
    }

    std::string_view TokenText() const { return FText.substr(FTokenStart, FTokenEnd - FTokenStart); }
    bool IsChar(char C) const { return FToken == tkChar && FText[FTokenStart] == C; }
    bool IsSymbol(std::string_view S) const { return FToken == tkSymbol && SameText(TokenText(), S); }
    void CheckChar(char C) const {
        if (!IsChar(C)) Expected(std::string_view(&C, 1));
    }
    std::string_view CheckIdent() const {
        if (FToken != tkSymbol) Error(SIdentifierExpected);
        return TokenText();
    }
    void ShortString(std::string_view S) {
        if (S.size() > 255) Error(SNameTooLong);
        FOut.Byte(static_cast<std::uint8_t>(S.size()));
        FOut.Bytes(S.data(), S.size());
    }
    void Enter(int& ADepth) const {
        if (++ADepth > MaxFormNesting) Error(SNestingTooDeep);
    }
    bool AtObject() const { return IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"); }

    // "[n]" after a header or an item; -1 without one.
    bool ReadOrder(std::int64_t& AOrder) {
        if (!IsChar('[')) return false;
        NextToken();
        if (FToken != tkInteger) Error(SInvalidNumber);
        AOrder = FInteger;
        NextToken();
        CheckChar(']');
        NextToken();
        return true;
    }

    void ConvertObject(int ADepth) {
        Enter(ADepth);
        std::uint8_t Flags = 0;
        if (IsSymbol("inherited"))
            Flags |= ffInherited;
        else if (IsSymbol("inline"))
            Flags |= ffInline;
        else if (!IsSymbol("object"))
            Expected("object");
        NextToken();
        std::string_view ClassName = CheckIdent();
        std::string_view ObjectName;
        NextToken();
        if (IsChar(':')) {
            NextToken();
            ObjectName = ClassName;
            ClassName = CheckIdent();
            NextToken();
        }
        std::int64_t Order = 0;
        if (ReadOrder(Order)) Flags |= ffChildPos;
        if (Flags) {
            FOut.Byte(kPrefixMask | Flags);
            if (Flags & ffChildPos) FOut.Integer(Order);
        }
        // A length byte from 0xF0 on would read as a prefix.
        if (!Flags && ClassName.size() >= kPrefixMask) Error(SNameTooLong);
        ShortString(ClassName);
        ShortString(ObjectName);
        while (!IsSymbol("end") && !AtObject()) {
            if (FToken == tkEOF) Expected("end");
            ConvertProperty(ADepth);
        }
        FOut.Byte(vaNull);
        while (!IsSymbol("end")) {
            if (FToken == tkEOF) Expected("end");
            ConvertObject(ADepth);
        }
        FOut.Byte(vaNull);
        NextToken();
    }

    void ConvertProperty(int ADepth) {
        std::string Name(CheckIdent());
        NextToken();
        while (IsChar('.')) {
            NextToken();
            Name += '.';
            Name += CheckIdent();
            NextToken();
        }
        ShortString(Name);
        CheckChar('=');
        NextToken();
        ConvertValue(ADepth);
    }

    void ConvertValue(int ADepth) {
        switch (FToken) {
            case tkInteger:
                FOut.Integer(FInteger);
                NextToken();
                return;
            case tkFloat:
                ConvertFloat();
                NextToken();
                return;
            case tkString: {
                std::string S = FString;
                NextToken();
                while (IsChar('+')) {
                    NextToken();
                    if (FToken != tkString) Error(SInvalidString);
                    S += FString;
                    NextToken();
                }
                FOut.String(S);
                return;
            }
            case tkSymbol:
                ConvertIdent();
                return;
            case tkChar:
                break;
            case tkEOF:
                Error(SInvalidProperty);
        }
        switch (FText[FTokenStart]) {
            case '[':
                ConvertSet();
                return;
            case '(':
                Enter(ADepth);
                FOut.Byte(vaList);
                NextToken();
                while (!IsChar(')')) {
                    if (FToken == tkEOF) Expected(")");
                    ConvertValue(ADepth);
                }
                FOut.Byte(vaNull);
                NextToken();
                return;
            case '{':
                ConvertBinary();
                return;
            case '<':
                ConvertCollection(ADepth);
                return;
            default:
                Error(SInvalidProperty);
        }
    }

    void ConvertIdent() {
        std::string Ident(TokenText());
        NextToken();
        while (IsChar('.')) {
            NextToken();
            Ident += '.';
            Ident += CheckIdent();
            NextToken();
        }
        if (SameText(Ident, "True")) {
            FOut.Byte(vaTrue);
        } else if (SameText(Ident, "False")) {
            FOut.Byte(vaFalse);
        } else if (SameText(Ident, "nil")) {
            FOut.Byte(vaNil);
        } else if (SameText(Ident, "Null")) {
            FOut.Byte(vaNull);
        } else {
            FOut.Byte(vaIdent);
            ShortString(Ident);
        }
    }

    void ConvertSet() {
        FOut.Byte(vaSet);
        NextToken();
        if (!IsChar(']')) {
            for (;;) {
                ShortString(CheckIdent());
                NextToken();
                if (IsChar(']')) break;
                CheckChar(',');
                NextToken();
            }
        }
        FOut.Byte(0);
        NextToken();
    }

    // The lexer stands after "{": the hex digits up to "}" are read here.
    void ConvertBinary() {
        std::string Bytes;
        int High = -1;
        for (;;) {
            if (AtEnd()) Expected("}");
            const char C = FText[FPos++];
            if (C == '}') break;
            if (C == '\n') ++FLine;
            if (static_cast<unsigned char>(C) <= ' ') continue;
            const int H = HexValue(C);
            if (H < 0) {
                FTokenLine = FLine;
                Error(SInvalidBinary);
            }
            if (High < 0) {
                High = H;
            } else {
                Bytes.push_back(static_cast<char>(High * 16 + H));
                High = -1;
            }
        }
        if (High >= 0) Error(SInvalidBinary);
        FOut.Byte(vaBinary);
        FOut.LittleEndian(Bytes.size(), 4);
        FOut.Bytes(Bytes.data(), Bytes.size());
        NextToken();
    }

    void ConvertCollection(int ADepth) {
        Enter(ADepth);
        FOut.Byte(vaCollection);
        NextToken();
        while (!IsChar('>')) {
            if (!IsSymbol("item")) Expected("item");
            NextToken();
            std::int64_t Order = 0;
            if (ReadOrder(Order)) FOut.Integer(Order);
            FOut.Byte(vaList);
            while (!IsSymbol("end")) {
                if (FToken == tkEOF) Expected("end");
                ConvertProperty(ADepth);
            }
            FOut.Byte(vaNull);
            NextToken();
        }
        FOut.Byte(vaNull);
        NextToken();
    }

    void ConvertFloat() {
        if (FSuffix == 'c') {
            ConvertCurrency();
            return;
        }
        const char* Text = FNumber.c_str();
        if (FSuffix == 's') {
            const float V = std::strtof(Text, nullptr);
            if (!std::isfinite(V)) Error(SInvalidNumber);
            FOut.Byte(vaSingle);
            std::uint32_t Bits;
            std::memcpy(&Bits, &V, 4);
            FOut.LittleEndian(Bits, 4);
        } else if (FSuffix == 'd') {
            const double V = std::strtod(Text, nullptr);
            if (!std::isfinite(V)) Error(SInvalidNumber);
            FOut.Byte(vaDate);
            std::uint64_t Bits;
            std::memcpy(&Bits, &V, 8);
            FOut.LittleEndian(Bits, 8);
        } else {
            const long double V = std::strtold(Text, nullptr);
            if (!std::isfinite(V)) Error(SInvalidNumber);
            std::uint8_t Bytes[10];
            detail::EncodeExtended(V, Bytes);
            FOut.Byte(vaExtended);
            FOut.Bytes(Bytes, 10);
        }
    }

    // Currency is an integer of ten-thousandths: read exactly when the text
    // has no exponent.
    void ConvertCurrency() {
        std::int64_t Value = 0;
        const std::string& T = FNumber;
        if (T.find_first_of("eE") != std::string::npos) {
            const long double V = std::nearbyint(std::strtold(T.c_str(), nullptr) * 10000.0L);
            if (!(std::fabs(V) < 9.2e18L)) Error(SInvalidNumber);
            Value = static_cast<std::int64_t>(V);
        } else {
            const bool Negative = T[0] == '-';
            std::size_t I = Negative ? 1 : 0;
            int Fraction = -1;
            for (; I < T.size(); ++I) {
                if (T[I] == '.') {
                    Fraction = 0;
                    continue;
                }
                if (Fraction >= 4) continue;
                if (Value > (INT64_MAX - 9) / 10) Error(SInvalidNumber);
                Value = Value * 10 + (T[I] - '0');
                if (Fraction >= 0) ++Fraction;
            }
            for (int F = std::max(Fraction, 0); F < 4; ++F) {
                if (Value > INT64_MAX / 10) Error(SInvalidNumber);
                Value *= 10;
            }
            if (Negative) Value = -Value;
        }
        FOut.Byte(vaCurrency);
        FOut.LittleEndian(static_cast<std::uint64_t>(Value), 8);
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
    TToken FToken = tkEOF;
    std::size_t FTokenStart = 0;
    std::size_t FTokenEnd = 0;
    int FTokenLine = 1;
    std::string FString;
    std::int64_t FInteger = 0;
    std::string FNumber;
    char FSuffix = '\0';
    TBinaryOut FOut;
};

// ============================================================================
// Binary -> text
// ============================================================================

class TBinaryToText {
public:
    explicit TBinaryToText(std::string_view AData) : FData(AData) {}

    std::string Convert() {
        if (FData.substr(0, 4) != std::string_view(kSignature, 4)) throw EReadError(SInvalidImage);
        FPos = 4;
        ConvertObject(0, 0);
        return std::move(FOut);
    }

private:
    const std::uint8_t* Take(std::size_t N) {
        if (N > FData.size() - FPos) throw EReadError(SReadError);
        const auto* P = reinterpret_cast<const std::uint8_t*>(FData.data() + FPos);
        FPos += N;
        return P;
    }
    std::uint8_t Byte() { return *Take(1); }
    std::uint8_t PeekByte() {
        if (FPos >= FData.size()) throw EReadError(SReadError);
        return static_cast<std::uint8_t>(FData[FPos]);
    }
    std::uint64_t Unsigned(int Size) {
        const std::uint8_t* B = Take(static_cast<std::size_t>(Size));
        std::uint64_t V = 0;
        for (int I = Size - 1; I >= 0; --I) V = (V << 8) | B[I];
        return V;
    }
    std::int64_t Signed(int Size) {
        const int Shift = 64 - 8 * Size;
        return static_cast<std::int64_t>(Unsigned(Size) << Shift) >> Shift;
    }
    std::string_view ShortString() {
        const std::size_t N = Byte();
        return {reinterpret_cast<const char*>(Take(N)), N};
    }
    std::string_view Counted() {
        const std::uint64_t N = Unsigned(4);
        if (N > FData.size() - FPos) throw EReadError(SReadError);
        return {reinterpret_cast<const char*>(Take(N)), static_cast<std::size_t>(N)};
    }
    bool EndOfList() { return PeekByte() == vaNull; }
    void Enter(int& ADepth) const {
        if (++ADepth > MaxFormNesting) throw EReadError(SInvalidImage);
    }
    std::int64_t ReadInteger() {
        switch (Byte()) {
            case vaInt8:
                return Signed(1);
            case vaInt16:
                return Signed(2);
            case vaInt32:
                return Signed(4);
            case vaInt64:
                return Signed(8);
            default:
                throw EReadError(SInvalidProperty);
        }
    }
    bool NextIsInteger() {
        const std::uint8_t V = PeekByte();
        return V == vaInt8 || V == vaInt16 || V == vaInt32 || V == vaInt64;
    }

    void NewLine(int AIndent) {
        FOut += '\n';
        FOut.append(static_cast<std::size_t>(AIndent), ' ');
    }

    void ConvertObject(int AIndent, int ADepth) {
        Enter(ADepth);
        std::uint8_t Flags = 0;
        std::int64_t Order = 0;
        if ((PeekByte() & kPrefixMask) == kPrefixMask) {
            Flags = Byte() & 0x0F;
            if (Flags & ffChildPos) Order = ReadInteger();
        }
        const std::string_view ClassName = ShortString();
        const std::string_view ObjectName = ShortString();
        FOut.append(static_cast<std::size_t>(AIndent), ' ');
        FOut += (Flags & ffInherited) ? "inherited " : (Flags & ffInline) ? "inline " : "object ";
        if (!ObjectName.empty()) {
            FOut += ObjectName;
            FOut += ": ";
        }
        FOut += ClassName;
        if (Flags & ffChildPos) FOut += " [" + std::to_string(Order) + "]";
        while (!EndOfList()) ConvertProperty(AIndent + 2, ADepth);
        ++FPos;
        FOut += '\n';
        while (!EndOfList()) ConvertObject(AIndent + 2, ADepth);
        ++FPos;
        FOut.append(static_cast<std::size_t>(AIndent), ' ');
        FOut += "end\n";
    }

    void ConvertProperty(int AIndent, int ADepth) {
        const std::string_view Name = ShortString();
        NewLine(AIndent);
        FOut += Name;
        FOut += " = ";
        ConvertValue(AIndent + 2, ADepth);
    }

    void ConvertValue(int AIndent, int ADepth) {
        const std::uint8_t Type = Byte();
        switch (Type) {
            case vaList:
                Enter(ADepth);
                FOut += '(';
                while (!EndOfList()) {
                    NewLine(AIndent);
                    ConvertValue(AIndent + 2, ADepth);
                }
                ++FPos;
                FOut += ')';
                return;
            case vaInt8:
                FOut += std::to_string(Signed(1));
                return;
            case vaInt16:
                FOut += std::to_string(Signed(2));
                return;
            case vaInt32:
                FOut += std::to_string(Signed(4));
                return;
            case vaInt64:
                FOut += std::to_string(Signed(8));
                return;
            case vaExtended: {
                long double V = 0;
                if (!detail::DecodeExtended(Take(10), V)) throw EReadError(SInvalidProperty);
                FOut += ShortestFloat(V);
                return;
            }
            case vaSingle: {
                const auto Bits = static_cast<std::uint32_t>(Unsigned(4));
                float V;
                std::memcpy(&V, &Bits, 4);
                if (!std::isfinite(V)) throw EReadError(SInvalidProperty);
                FOut += ShortestFloat(V) + "s";
                return;
            }
            case vaDate: {
                const std::uint64_t Bits = Unsigned(8);
                double V;
                std::memcpy(&V, &Bits, 8);
                if (!std::isfinite(V)) throw EReadError(SInvalidProperty);
                FOut += ShortestFloat(V) + "d";
                return;
            }
            case vaCurrency:
                WriteCurrency(Signed(8));
                return;
            case vaString:
                WriteString(ShortString(), AIndent);
                return;
            case vaLString:
            case vaUTF8String:
                WriteString(Counted(), AIndent);
                return;
            case vaWString:
                WriteString(WideToUtf8(), AIndent);
                return;
            case vaIdent:
                FOut += ShortString();
                return;
            case vaFalse:
                FOut += "False";
                return;
            case vaTrue:
                FOut += "True";
                return;
            case vaNil:
                FOut += "nil";
                return;
            case vaNull:
                FOut += "Null";
                return;
            case vaSet: {
                FOut += '[';
                for (bool First = true;; First = false) {
                    const std::string_view Name = ShortString();
                    if (Name.empty()) break;
                    if (!First) FOut += ", ";
                    FOut += Name;
                }
                FOut += ']';
                return;
            }
            case vaBinary: {
                const std::string_view Bytes = Counted();
                static constexpr char Hex[] = "0123456789ABCDEF";
                FOut += '{';
                for (std::size_t I = 0; I < Bytes.size(); ++I) {
                    if (I % kBytesPerLine == 0) NewLine(AIndent);
                    const auto B = static_cast<std::uint8_t>(Bytes[I]);
                    FOut += Hex[B >> 4];
                    FOut += Hex[B & 15];
                }
                FOut += '}';
                return;
            }
            case vaCollection:
                Enter(ADepth);
                FOut += '<';
                while (!EndOfList()) {
                    NewLine(AIndent);
                    FOut += "item";
                    if (NextIsInteger()) FOut += " [" + std::to_string(ReadInteger()) + "]";
                    if (Byte() != vaList) throw EReadError(SInvalidProperty);
                    while (!EndOfList()) ConvertProperty(AIndent + 2, ADepth);
                    ++FPos;
                    NewLine(AIndent);
                    FOut += "end";
                }
                ++FPos;
                FOut += '>';
                return;
            default:
                throw EReadError(SInvalidProperty);
        }
    }

    std::string WideToUtf8() {
        const std::uint64_t Count = Unsigned(4);
        if (Count > (FData.size() - FPos) / 2) throw EReadError(SReadError);
        const std::uint8_t* P = Take(static_cast<std::size_t>(Count * 2));
        std::string S;
        for (std::uint64_t I = 0; I < Count; ++I) {
            char32_t C = P[2 * I] | (P[2 * I + 1] << 8);
            if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Count) {
                const char32_t Low = P[2 * I + 2] | (P[2 * I + 3] << 8);
                if (Low >= 0xDC00 && Low <= 0xDFFF) {
                    C = 0x10000 + ((C - 0xD800) << 10) + (Low - 0xDC00);
                    ++I;
                }
            }
            gfx::AppendUtf8(S, gfx::IsScalarValue(C) ? C : gfx::kReplacementChar);
        }
        return S;
    }

    void WriteCurrency(std::int64_t AValue) {
        const bool Negative = AValue < 0;
        const std::uint64_t Abs =
            Negative ? 0 - static_cast<std::uint64_t>(AValue) : static_cast<std::uint64_t>(AValue);
        std::string Text = (Negative ? "-" : "") + std::to_string(Abs / 10000);
        std::string Fraction = std::to_string(Abs % 10000 + 10000).substr(1);
        while (!Fraction.empty() && Fraction.back() == '0') Fraction.pop_back();
        if (!Fraction.empty()) Text += "." + Fraction;
        FOut += Text + "c";
    }

    // Printable runs in quotes, other characters and the quote as #nnn; a
    // line break with "+" every kLineLength bytes, never inside a character.
    void WriteString(std::string_view S, int AIndent) {
        if (S.empty()) {
            FOut += "''";
            return;
        }
        if (S.size() > kLineLength) {
            if (FOut.ends_with(' ')) FOut.pop_back();
            NewLine(AIndent);
        }
        std::size_t I = 0;
        std::size_t LineStart = 0;
        while (I < S.size()) {
            bool Break = false;
            const auto C = static_cast<unsigned char>(S[I]);
            if (C >= ' ' && C != '\'') {
                const std::size_t J = I;
                while (I < S.size() && static_cast<unsigned char>(S[I]) >= ' ' && S[I] != '\'' &&
                       I - LineStart < kLineLength)
                    ++I;
                if (I - LineStart >= kLineLength) {
                    Break = true;
                    std::size_t K = I;
                    while (K > J && K < S.size() && (static_cast<unsigned char>(S[K]) & 0xC0) == 0x80) --K;
                    if (K > J) I = K;
                }
                FOut += '\'';
                FOut.append(S.substr(J, I - J));
                FOut += '\'';
            } else {
                FOut += '#';
                FOut += std::to_string(C);
                ++I;
                Break = I - LineStart >= kLineLength;
            }
            if (Break && I < S.size()) {
                FOut += " +";
                NewLine(AIndent);
                LineStart = I;
            }
        }
    }

    std::string_view FData;
    std::size_t FPos = 0;
    std::string FOut;
};

} // namespace

std::string ObjectTextToBinary(std::string_view Text) {
    return TTextToBinary(Text).Convert();
}

std::string ObjectBinaryToText(std::string_view Binary) {
    return TBinaryToText(Binary).Convert();
}

void ObjectTextToBinary(TStream* Input, TStream* Output) {
    const std::string Binary = ObjectTextToBinary(ReadAll(Input));
    Output->WriteBuffer(Binary.data(), static_cast<std::int64_t>(Binary.size()));
}

void ObjectBinaryToText(TStream* Input, TStream* Output) {
    const std::string Text = ObjectBinaryToText(ReadAll(Input));
    Output->WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
}

} // namespace cls
