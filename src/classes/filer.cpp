#include "classes/filer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "classes/collections.h"
#include "classes/component.h"
#include "classes/exceptions.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/resstrings.h"
#include "classes/streams.h"
#include "classes/sysutils.h"
#include "gfx/utf8.h"

namespace cls {

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
constexpr int ffInherited = 1;
constexpr int ffChildPos = 2;

// The index of AName among ANames ignoring ASCII case, or -1.
int IndexOfName(TEnumNames ANames, std::string_view AName) {
    for (std::size_t I = 0; I < ANames.size(); ++I)
        if (SameText(ANames[I], AName)) return static_cast<int>(I);
    return -1;
}

} // namespace

namespace detail {

// Sign and 15-bit biased exponent over a 64-bit mantissa with its integer bit.
bool DecodeExtended(const std::uint8_t* ABytes, long double& AValue) {
    std::uint64_t Mantissa = 0;
    for (int I = 7; I >= 0; --I) Mantissa = (Mantissa << 8) | ABytes[I];
    const int SignExp = ABytes[8] | (ABytes[9] << 8);
    const int Exponent = SignExp & 0x7FFF;
    if (Exponent == 0x7FFF) return false;
    const long double V =
        std::ldexp(static_cast<long double>(Mantissa), (Exponent ? Exponent : 1) - 16383 - 63);
    AValue = (SignExp & 0x8000) ? -V : V;
    return true;
}

void EncodeExtended(long double AValue, std::uint8_t* ABytes) {
    const bool Negative = std::signbit(AValue);
    AValue = std::fabs(AValue);
    std::uint64_t Mantissa = 0;
    int Exponent = 0;
    if (AValue != 0) {
        int E = 0;
        const long double F = std::frexp(AValue, &E);
        Exponent = E - 1 + 16383;
        if (Exponent <= 0) {
            Mantissa = static_cast<std::uint64_t>(std::ldexp(AValue, 16382 + 63));
            Exponent = 0;
        } else {
            Mantissa = static_cast<std::uint64_t>(std::ldexp(F, 64));
        }
    }
    for (int I = 0; I < 8; ++I) ABytes[I] = static_cast<std::uint8_t>(Mantissa >> (8 * I));
    const int SignExp = Exponent | (Negative ? 0x8000 : 0);
    ABytes[8] = static_cast<std::uint8_t>(SignExp);
    ABytes[9] = static_cast<std::uint8_t>(SignExp >> 8);
}

} // namespace detail

// ============================================================================
// TWriter
// ============================================================================

void TWriter::Write(const void* Buffer, std::int64_t Count) {
    FStream->WriteBuffer(Buffer, Count);
}

void TWriter::WriteValue(TValueType Value) {
    const auto Byte = static_cast<std::uint8_t>(Value);
    Write(&Byte, 1);
}

void TWriter::WriteInteger(std::int64_t Value) {
    int Size = 8;
    if (Value >= -128 && Value <= 127) {
        WriteValue(vaInt8);
        Size = 1;
    } else if (Value >= -32768 && Value <= 32767) {
        WriteValue(vaInt16);
        Size = 2;
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        Size = 4;
    } else {
        WriteValue(vaInt64);
    }
    const auto Bits = static_cast<std::uint64_t>(Value);
    std::uint8_t Bytes[8];
    for (int I = 0; I < Size; ++I) Bytes[I] = static_cast<std::uint8_t>(Bits >> (8 * I));
    Write(Bytes, Size);
}

void TWriter::WriteFloat(long double Value) {
    if (!std::isfinite(Value)) throw EWriteError(SInvalidProperty);
    std::uint8_t Bytes[10];
    detail::EncodeExtended(Value, Bytes);
    WriteValue(vaExtended);
    Write(Bytes, 10);
}

void TWriter::WriteIdent(std::string_view Ident) {
    if (SameText(Ident, "False")) {
        WriteValue(vaFalse);
    } else if (SameText(Ident, "True")) {
        WriteValue(vaTrue);
    } else if (SameText(Ident, "nil")) {
        WriteValue(vaNil);
    } else if (SameText(Ident, "Null")) {
        WriteValue(vaNull);
    } else {
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteStr(std::string_view Value) {
    if (Value.size() > 255) throw EWriteError(SInvalidProperty);
    const auto Length = static_cast<std::uint8_t>(Value.size());
    Write(&Length, 1);
    Write(Value.data(), static_cast<std::int64_t>(Value.size()));
}

void TWriter::WriteString(std::string_view Value) {
    if (Value.size() <= 255) {
        WriteValue(vaString);
        const auto Length = static_cast<std::uint8_t>(Value.size());
        Write(&Length, 1);
    } else {
        WriteValue(vaLString);
        const auto Length = static_cast<std::uint32_t>(Value.size());
        const std::uint8_t Bytes[4] = {
            static_cast<std::uint8_t>(Length), static_cast<std::uint8_t>(Length >> 8),
            static_cast<std::uint8_t>(Length >> 16), static_cast<std::uint8_t>(Length >> 24)};
        Write(Bytes, 4);
    }
    Write(Value.data(), static_cast<std::int64_t>(Value.size()));
}

void TWriter::WritePropName(std::string_view Name) {
    // An empty name would read as the end of the properties.
    if (Name.empty()) throw EWriteError(SInvalidProperty);
    WriteStr(Name);
}

void TWriter::DefineProperty(std::string_view Name, TReaderProc, TWriterProc WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(FPropPath + std::string(Name));
    WriteData(this);
}

void TWriter::DefineBinaryProperty(std::string_view Name, TStreamProc, TStreamProc WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    TMemoryStream Data;
    WriteData(&Data);
    if (Data.Size() > INT32_MAX) throw EWriteError(SWriteError);
    WritePropName(FPropPath + std::string(Name));
    WriteValue(vaBinary);
    const auto Size = static_cast<std::uint32_t>(Data.Size());
    const std::uint8_t Bytes[4] = {static_cast<std::uint8_t>(Size), static_cast<std::uint8_t>(Size >> 8),
                                   static_cast<std::uint8_t>(Size >> 16),
                                   static_cast<std::uint8_t>(Size >> 24)};
    Write(Bytes, 4);
    Write(Data.Memory(), Data.Size());
}

void TWriter::WriteProperties(TPersistent* Instance) {
    WritePropertiesOf(Instance);
    WriteListEnd();
}

void TWriter::WritePropertiesOf(TPersistent* Instance) {
    const TPublishedProperties& List = GetPropList(Instance);
    for (int I = 0; I < List.Count(); ++I)
        if (List[I].IsStored(Instance)) WriteProperty(Instance, List[I]);
    Instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Prop) {
    const std::string Name = FPropPath + Prop.Name;
    switch (Prop.Kind) {
        case pkInteger: {
            const std::int64_t Value = Prop.GetOrd(Instance);
            WritePropName(Name);
            for (const TIdentMapEntry& E : Prop.Idents) {
                if (E.Value == Value) {
                    WriteIdent(E.Name);
                    return;
                }
            }
            WriteInteger(Value);
            return;
        }
        case pkBoolean:
            WritePropName(Name);
            WriteBoolean(Prop.GetOrd(Instance) != 0);
            return;
        case pkEnum: {
            const std::int64_t Value = Prop.GetOrd(Instance);
            if (Value < 0 || Value >= static_cast<std::int64_t>(Prop.Names.size())) return;
            WritePropName(Name);
            WriteIdent(Prop.Names[static_cast<std::size_t>(Value)]);
            return;
        }
        case pkSet: {
            const auto Bits = static_cast<std::uint64_t>(Prop.GetOrd(Instance));
            WritePropName(Name);
            WriteValue(vaSet);
            for (std::size_t I = 0; I < Prop.Names.size() && I < 64; ++I)
                if (Bits & (std::uint64_t(1) << I)) WriteStr(Prop.Names[I]);
            WriteStr("");
            return;
        }
        case pkString:
            WritePropName(Name);
            WriteString(Prop.GetStr(Instance));
            return;
        case pkFloat:
            WritePropName(Name);
            WriteFloat(Prop.GetFloat(Instance));
            return;
        case pkObject: {
            TObject* Value = Prop.GetObject(Instance);
            if (auto* Collection = dynamic_cast<TCollection*>(Value)) {
                if (Collection->Count() == 0) return;
                WritePropName(Name);
                WriteCollection(Collection);
            } else if (auto* Object = dynamic_cast<TPersistent*>(Value)) {
                const std::string Saved = FPropPath;
                FPropPath = Name + ".";
                try {
                    WritePropertiesOf(Object);
                } catch (...) {
                    FPropPath = Saved;
                    throw;
                }
                FPropPath = Saved;
            }
            return;
        }
        case pkComponent: {
            auto* Value = static_cast<TComponent*>(Prop.GetObject(Instance));
            if (!Value || Value->Name().empty()) return;
            std::string Reference = Value->Name();
            if (Value->Owner() && Value->Owner() != FRoot) {
                if (Value->Owner()->Name().empty()) return;
                Reference = Value->Owner()->Name() + "." + Reference;
            }
            WritePropName(Name);
            WriteIdent(Reference);
            return;
        }
        case pkMethod: {
            const std::string Method = FMethods.NameOf(Prop, Prop.GetMethod(Instance));
            if (Method.empty()) return;
            WritePropName(Name);
            WriteIdent(Method);
            return;
        }
    }
}

void TWriter::WriteCollection(TCollection* Value) {
    const std::string Saved = FPropPath;
    FPropPath.clear();
    WriteValue(vaCollection);
    try {
        for (int I = 0; I < Value->Count(); ++I) {
            WriteListBegin();
            WritePropertiesOf(Value->Items(I));
            WriteListEnd();
        }
    } catch (...) {
        FPropPath = Saved;
        throw;
    }
    FPropPath = Saved;
    WriteListEnd();
}

void TWriter::WriteSignature() {
    Write(kSignature, 4);
}

void TWriter::WriteRootComponent(TComponent* Root) {
    FRoot = Root;
    FMethods = TPublishedMethods();
    Root->GetPublishedMethods(FMethods);
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
    const bool WasWriting = Component->FComponentState.Contains(csWriting);
    Component->FComponentState.Include(csWriting);
    try {
        WriteStr(Component->ClassName());
        WriteStr(Component->Name());
        WriteProperties(Component);
        Component->GetChildren([this](TComponent* Child) { WriteComponent(Child); }, FRoot);
        WriteListEnd();
    } catch (...) {
        if (!WasWriting) Component->FComponentState.Exclude(csWriting);
        throw;
    }
    if (!WasWriting) Component->FComponentState.Exclude(csWriting);
}

// ============================================================================
// TReader
// ============================================================================

void TReader::PropValueError() {
    throw EReadError(SInvalidProperty);
}

void TReader::Read(void* Buffer, std::int64_t Count) {
    FStream->ReadBuffer(Buffer, Count);
}

std::string TReader::ReadBytes(std::int64_t Count) {
    // A damaged length must not make us allocate what the stream cannot hold.
    if (Count < 0 || Count > FStream->Size() - FStream->Position()) throw EReadError(SReadError);
    std::string Result(static_cast<std::size_t>(Count), '\0');
    Read(Result.data(), Count);
    return Result;
}

std::string TReader::ReadStr() {
    std::uint8_t Length = 0;
    Read(&Length, 1);
    return ReadBytes(Length);
}

TValueType TReader::ReadValue() {
    std::uint8_t Byte = 0;
    Read(&Byte, 1);
    if (Byte > vaUTF8String) PropValueError();
    return static_cast<TValueType>(Byte);
}

TValueType TReader::NextValue() {
    const TValueType Result = ReadValue();
    FStream->Seek(-1, soCurrent);
    return Result;
}

bool TReader::EndOfList() {
    std::uint8_t Byte = 0;
    Read(&Byte, 1);
    FStream->Seek(-1, soCurrent);
    return Byte == vaNull;
}

void TReader::CheckValue(TValueType Value) {
    if (ReadValue() != Value) {
        FStream->Seek(-1, soCurrent);
        PropValueError();
    }
}

namespace {

std::int64_t LittleEndian(const std::uint8_t* Bytes, int Size) {
    std::uint64_t Bits = 0;
    for (int I = 0; I < Size; ++I) Bits |= static_cast<std::uint64_t>(Bytes[I]) << (8 * I);
    // Sign-extend from the value's width.
    const int Shift = 64 - 8 * Size;
    return static_cast<std::int64_t>(Bits << Shift) >> Shift;
}

} // namespace

std::int32_t TReader::ReadInteger() {
    int Size = 0;
    switch (ReadValue()) {
        case vaInt8:
            Size = 1;
            break;
        case vaInt16:
            Size = 2;
            break;
        case vaInt32:
            Size = 4;
            break;
        default:
            FStream->Seek(-1, soCurrent);
            PropValueError();
    }
    std::uint8_t Bytes[4] = {};
    Read(Bytes, Size);
    return static_cast<std::int32_t>(LittleEndian(Bytes, Size));
}

bool TReader::ReadBoolean() {
    const TValueType Value = ReadValue();
    if (Value != vaTrue && Value != vaFalse) {
        FStream->Seek(-1, soCurrent);
        PropValueError();
    }
    return Value == vaTrue;
}

std::int64_t TReader::ReadInt64() {
    if (NextValue() != vaInt64) return ReadInteger();
    ReadValue();
    std::uint8_t Bytes[8];
    Read(Bytes, 8);
    return LittleEndian(Bytes, 8);
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
        case vaString:
            return ReadStr();
        case vaLString:
        case vaUTF8String: {
            std::uint8_t Bytes[4];
            Read(Bytes, 4);
            return ReadBytes(LittleEndian(Bytes, 4));
        }
        case vaWString: {
            std::uint8_t Bytes[4];
            Read(Bytes, 4);
            const std::int64_t Count = LittleEndian(Bytes, 4);
            if (Count < 0 || Count > (FStream->Size() - FStream->Position()) / 2)
                throw EReadError(SReadError);
            const std::string Units = ReadBytes(Count * 2);
            std::string Result;
            for (std::size_t I = 0; I + 1 < Units.size(); I += 2) {
                auto Unit = [&Units](std::size_t J) {
                    return static_cast<char32_t>(static_cast<std::uint8_t>(Units[J]) |
                                                 (static_cast<std::uint8_t>(Units[J + 1]) << 8));
                };
                char32_t C = Unit(I);
                if (C >= 0xD800 && C <= 0xDBFF && I + 3 < Units.size()) {
                    const char32_t Low = Unit(I + 2);
                    if (Low >= 0xDC00 && Low <= 0xDFFF) {
                        C = 0x10000 + ((C - 0xD800) << 10) + (Low - 0xDC00);
                        I += 2;
                    }
                }
                gfx::AppendUtf8(Result, gfx::IsScalarValue(C) ? C : gfx::kReplacementChar);
            }
            return Result;
        }
        default:
            FStream->Seek(-1, soCurrent);
            PropValueError();
    }
}

long double TReader::ReadFloat() {
    switch (NextValue()) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            return static_cast<long double>(ReadInt64());
        default:
            break;
    }
    const TValueType Type = ReadValue();
    switch (Type) {
        case vaExtended: {
            std::uint8_t Bytes[10];
            Read(Bytes, 10);
            long double Value = 0;
            if (!detail::DecodeExtended(Bytes, Value)) PropValueError();
            return Value;
        }
        case vaSingle: {
            std::uint8_t Bytes[4];
            Read(Bytes, 4);
            const auto Bits = static_cast<std::uint32_t>(LittleEndian(Bytes, 4));
            float Value;
            std::memcpy(&Value, &Bits, 4);
            if (!std::isfinite(Value)) PropValueError();
            return Value;
        }
        case vaDate:
        case vaCurrency: {
            std::uint8_t Bytes[8];
            Read(Bytes, 8);
            const std::int64_t Bits = LittleEndian(Bytes, 8);
            if (Type == vaCurrency) return static_cast<long double>(Bits) / 10000;
            double Value;
            std::memcpy(&Value, &Bits, 8);
            if (!std::isfinite(Value)) PropValueError();
            return Value;
        }
        default:
            FStream->Seek(-1, soCurrent);
            PropValueError();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
        case vaIdent:
            return ReadStr();
        case vaFalse:
            return "False";
        case vaTrue:
            return "True";
        case vaNil:
            return "nil";
        case vaNull:
            return "Null";
        default:
            FStream->Seek(-1, soCurrent);
            PropValueError();
    }
}

void TReader::SkipValue() {
    auto Skip = [this](std::int64_t Count) { ReadBytes(Count); };
    auto SkipCounted = [this, &Skip](int AUnit) {
        std::uint8_t Bytes[4];
        Read(Bytes, 4);
        const std::int64_t Count = LittleEndian(Bytes, 4);
        if (Count < 0) throw EReadError(SReadError);
        Skip(Count * AUnit);
    };
    // Lists nest without recursion: a hostile stream may nest them deeply.
    std::int64_t Depth = 0;
    do {
        switch (ReadValue()) {
            case vaList:
                ++Depth;
                break;
            case vaNull:
                if (Depth > 0) --Depth;
                break;
            case vaInt8:
                Skip(1);
                break;
            case vaInt16:
                Skip(2);
                break;
            case vaInt32:
            case vaSingle:
                Skip(4);
                break;
            case vaInt64:
            case vaCurrency:
            case vaDate:
                Skip(8);
                break;
            case vaExtended:
                Skip(10);
                break;
            case vaString:
            case vaIdent:
                ReadStr();
                break;
            case vaLString:
            case vaUTF8String:
            case vaBinary:
                SkipCounted(1);
                break;
            case vaWString:
                SkipCounted(2);
                break;
            case vaSet:
                while (!ReadStr().empty()) {}
                break;
            case vaFalse:
            case vaTrue:
            case vaNil:
                break;
            case vaCollection:
                // Collection items carry properties of their own class.
                FStream->Seek(-1, soCurrent);
                PropValueError();
        }
    } while (Depth > 0);
}

void TReader::DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc, bool) {
    if (FPropHandled || !ReadData || !SameText(Name, FPropName)) return;
    FPropHandled = true;
    ReadData(this);
}

void TReader::DefineBinaryProperty(std::string_view Name, TStreamProc ReadData, TStreamProc, bool) {
    if (FPropHandled || !ReadData || !SameText(Name, FPropName)) return;
    FPropHandled = true;
    CheckValue(vaBinary);
    std::uint8_t Bytes[4];
    Read(Bytes, 4);
    const std::string Data = ReadBytes(LittleEndian(Bytes, 4));
    TMemoryStream Stream;
    Stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
    Stream.SetPosition(0);
    ReadData(&Stream);
}

void TReader::ReadProperties(TPersistent* Instance) {
    while (!EndOfList()) ReadProperty(Instance);
    ReadListEnd();
}

void TReader::ReadProperty(TPersistent* Instance) {
    const std::string FullName = ReadStr();
    TPersistent* Target = Instance;
    std::size_t Start = 0;
    for (std::size_t Dot; (Dot = FullName.find('.', Start)) != std::string::npos; Start = Dot + 1) {
        const TPropInfo* Prop =
            GetPropList(Target).Find(std::string_view(FullName).substr(Start, Dot - Start));
        Target =
            Prop && Prop->Kind == pkObject ? dynamic_cast<TPersistent*>(Prop->GetObject(Target)) : nullptr;
        if (!Target) throw EReadError(SUnknownProperty, {FullName});
    }
    const std::string_view Name = std::string_view(FullName).substr(Start);
    if (const TPropInfo* Prop = GetPropList(Target).Find(Name)) {
        ReadPropValue(Target, *Prop);
        return;
    }
    FPropName = Name;
    FPropHandled = false;
    Target->DefineProperties(this);
    if (!FPropHandled) throw EReadError(SUnknownProperty, {FullName});
}

namespace {

bool IsInteger(TValueType AType) {
    return AType == vaInt8 || AType == vaInt16 || AType == vaInt32 || AType == vaInt64;
}

// Whether a value of AType can be a value of a property of AKind.
bool Fits(TPropKind AKind, TValueType AType) {
    switch (AKind) {
        case pkInteger:
            return IsInteger(AType) || AType == vaIdent;
        case pkBoolean:
            return AType == vaTrue || AType == vaFalse;
        case pkEnum:
            return AType == vaIdent || AType == vaTrue || AType == vaFalse;
        case pkSet:
            return AType == vaSet;
        case pkString:
            return AType == vaString || AType == vaLString || AType == vaUTF8String || AType == vaWString;
        case pkFloat:
            return IsInteger(AType) || AType == vaExtended || AType == vaSingle || AType == vaDate ||
                   AType == vaCurrency;
        case pkObject:
            return AType == vaCollection;
        case pkComponent:
        case pkMethod:
            return AType == vaIdent || AType == vaNil;
    }
    return false;
}

} // namespace

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Prop) {
    auto Invalid = [&Prop]() { return EReadError(SInvalidPropertyValue, {Prop.Name}); };
    if (!Fits(Prop.Kind, NextValue())) throw Invalid();
    switch (Prop.Kind) {
        case pkInteger: {
            std::int64_t Value = 0;
            if (NextValue() == vaIdent) {
                const std::string Ident = ReadIdent();
                auto It = std::find_if(Prop.Idents.begin(), Prop.Idents.end(),
                                       [&Ident](const TIdentMapEntry& E) { return SameText(E.Name, Ident); });
                if (It == Prop.Idents.end()) throw Invalid();
                Value = It->Value;
            } else {
                Value = ReadInt64();
                if (Value < Prop.MinValue || Value > Prop.MaxValue) throw Invalid();
            }
            Prop.SetOrd(Instance, Value);
            return;
        }
        case pkBoolean:
            Prop.SetOrd(Instance, ReadBoolean() ? 1 : 0);
            return;
        case pkEnum: {
            const int Index = IndexOfName(Prop.Names, ReadIdent());
            if (Index < 0) throw Invalid();
            Prop.SetOrd(Instance, Index);
            return;
        }
        case pkSet: {
            CheckValue(vaSet);
            std::uint64_t Bits = 0;
            for (std::string Name; !(Name = ReadStr()).empty();) {
                const int Index = IndexOfName(Prop.Names, Name);
                if (Index < 0 || Index >= 64) throw Invalid();
                Bits |= std::uint64_t(1) << Index;
            }
            Prop.SetOrd(Instance, static_cast<std::int64_t>(Bits));
            return;
        }
        case pkString:
            Prop.SetStr(Instance, ReadString());
            return;
        case pkFloat:
            Prop.SetFloat(Instance, static_cast<double>(ReadFloat()));
            return;
        case pkObject: {
            auto* Collection = dynamic_cast<TCollection*>(Prop.GetObject(Instance));
            if (!Collection) throw Invalid();
            ReadCollection(Collection);
            return;
        }
        case pkComponent:
            if (NextValue() == vaNil) {
                ReadValue();
                Prop.SetObject(Instance, nullptr);
            } else {
                FFixups.push_back({Instance, &Prop, ReadIdent(), FReading, FItems});
            }
            return;
        case pkMethod: {
            if (NextValue() == vaNil) {
                ReadValue();
                Prop.SetMethod(Instance, std::any());
                return;
            }
            const std::string Name = ReadIdent();
            const std::any* Method = FMethods.Find(Name);
            if (!Method) throw EReadError(SMethodNotFound, {Name});
            if (!Prop.SetMethod(Instance, *Method)) throw Invalid();
            return;
        }
    }
}

void TReader::ReadCollection(TCollection* Collection) {
    CheckValue(vaCollection);
    if (++FDepth > MaxFormNesting) throw EReadError(SInvalidImage);
    Collection->BeginUpdate();
    try {
        if (!EndOfList() && Collection->Count() > 0) {
            // References met in the items that go are forgotten with them.
            std::vector<TPersistent*> Going;
            for (int I = 0; I < Collection->Count(); ++I) Going.push_back(Collection->Items(I));
            std::erase_if(FFixups, [&Going](const TFixup& F) {
                return std::any_of(F.Items.begin(), F.Items.end(), [&Going](TPersistent* Item) {
                    return std::find(Going.begin(), Going.end(), Item) != Going.end();
                });
            });
            Collection->Clear();
        }
        while (!EndOfList()) {
            switch (NextValue()) {
                case vaInt8:
                case vaInt16:
                case vaInt32:
                    ReadInteger();
                    break;
                default:
                    break;
            }
            ReadListBegin();
            TCollectionItem* Item = Collection->Add();
            FItems.push_back(Item);
            while (!EndOfList()) ReadProperty(Item);
            FItems.pop_back();
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        --FDepth;
        FItems.clear();
        Collection->EndUpdate();
        throw;
    }
    --FDepth;
    Collection->EndUpdate();
}

// ============================================================================
// Reading forms
// ============================================================================

void TReader::ReadSignature() {
    char Signature[4];
    Read(Signature, 4);
    if (std::memcmp(Signature, kSignature, 4) != 0) throw EReadError(SInvalidImage);
}

void TReader::ReadPrefix(int& AFlags, std::int64_t& AChildPos) {
    AFlags = 0;
    std::uint8_t Byte = 0;
    Read(&Byte, 1);
    FStream->Seek(-1, soCurrent);
    if ((Byte & 0xF0) != 0xF0) return;
    Read(&Byte, 1);
    AFlags = Byte & 0x0F;
    if (AFlags & ffChildPos) AChildPos = ReadInt64();
}

TComponent* TReader::MakeComponent(const std::string& AClassName) {
    RegisterClassLibraryClasses();
    const TComponentClass Class = TComponentClass::Cast(GetClass(AClassName));
    if (!Class) throw EReadError(SClassNotFound, {AClassName});
    TLoadingConstruction Loading;
    TComponent* Result = Class.Create(FOwner);
    FCreated.push_back(std::make_unique<TComponentGuard>(Result));
    return Result;
}

void TReader::FreeCreated(std::size_t AMark) {
    while (FCreated.size() > AMark) {
        TComponent* Component = FCreated.back()->Component();
        FCreated.pop_back();
        if (Component) delete Component;
    }
}

void TReader::AddLoaded(TComponent* AComponent) {
    for (const TGuardPtr& G : FLoaded)
        if (G->Component() == AComponent) return;
    FLoaded.push_back(std::make_unique<TComponentGuard>(AComponent));
}

TComponent* TReader::ReadComponent(TComponent* Component) {
    if (++FDepth > MaxFormNesting) throw EReadError(SInvalidImage);
    const std::size_t Mark = FCreated.size();
    TComponent* Result = Component;
    try {
        int Flags = 0;
        std::int64_t ChildPos = 0;
        ReadPrefix(Flags, ChildPos);
        const std::string ClassName = ReadStr();
        const std::string Name = ReadStr();
        if (!Result && (Flags & ffInherited)) {
            Result = FOwner->FindComponent(Name);
            if (!Result) throw EReadError(SAncestorNotFound, {Name});
        }
        if (!Result) {
            Result = MakeComponent(ClassName);
            Result->SetName(Name);
        }
        AddLoaded(Result);
        Result->FComponentState.Include(csLoading);
        Result->FComponentState.Include(csReading);
        TComponentGuard Guard(Result);
        Result->ReadState(this);
        if (Guard.Alive()) Result->FComponentState.Exclude(csReading);
    } catch (...) {
        --FDepth;
        if (Result && FCreated.size() == Mark) Result->FComponentState.Exclude(csReading);
        FreeCreated(Mark);
        throw;
    }
    --FDepth;
    return Result;
}

void TReader::ReadData(TComponent* Instance) {
    std::shared_ptr<TComponentGuard> SavedReading = std::move(FReading);
    FReading = std::make_shared<TComponentGuard>(Instance);
    TComponent* SavedParent = FParent;
    try {
        while (!EndOfList()) ReadProperty(Instance);
        ReadListEnd();
        FParent = Instance->GetChildParent();
        while (!EndOfList()) ReadComponent(nullptr);
        ReadListEnd();
    } catch (...) {
        FParent = SavedParent;
        FReading = std::move(SavedReading);
        throw;
    }
    FParent = SavedParent;
    FReading = std::move(SavedReading);
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    ReadSignature();
    int Flags = 0;
    std::int64_t ChildPos = 0;
    ReadPrefix(Flags, ChildPos);
    ReadStr();
    const std::string Name = ReadStr();
    FRoot = Root;
    FOwner = Root;
    FFixups.clear();
    FLoaded.clear();
    try {
        if (Root->Name().empty()) Root->SetName(Name);
        FMethods = TPublishedMethods();
        Root->GetPublishedMethods(FMethods);
        AddLoaded(Root);
        Root->FComponentState.Include(csLoading);
        Root->FComponentState.Include(csReading);
        Root->ReadState(this);
        Root->FComponentState.Exclude(csReading);
        ResolveFixups();
    } catch (...) {
        FFixups.clear();
        FreeCreated(0);
        for (const TGuardPtr& G : FLoaded) {
            if (TComponent* C = G->Component()) {
                C->FComponentState.Exclude(csReading);
                C->FComponentState.Exclude(csLoading);
            }
        }
        FLoaded.clear();
        throw;
    }
    FCreated.clear();
    EndLoading();
    return Root;
}

void TReader::ResolveFixups() {
    std::vector<TFixup> Fixups;
    Fixups.swap(FFixups);
    for (const TFixup& F : Fixups) {
        if (F.Guard && !F.Guard->Alive()) continue;
        std::string_view Name = F.Name;
        if (const std::size_t Dot = Name.find('.'); Dot != std::string_view::npos) {
            if (!SameText(Name.substr(0, Dot), FRoot->Name())) continue;
            Name = Name.substr(Dot + 1);
        }
        TComponent* Target = FRoot->FindComponent(Name);
        if (!Target) continue;
        if (!Target->InheritsFrom(F.Prop->ObjectClass))
            throw EReadError(SInvalidPropertyValue, {F.Prop->Name});
        F.Prop->SetObject(F.Instance, Target);
    }
}

void TReader::ReadComponentProperties(TComponent* Instance) {
    AddLoaded(Instance);
    Instance->FComponentState.Include(csLoading);
    Instance->FComponentState.Include(csReading);
    try {
        if (FParent) Instance->SetParentComponent(FParent);
        ReadProperties(Instance);
    } catch (...) {
        Instance->FComponentState.Exclude(csReading);
        throw;
    }
    Instance->FComponentState.Exclude(csReading);
}

void TReader::EndLoading() {
    std::vector<TGuardPtr> Loaded;
    Loaded.swap(FLoaded);
    for (const TGuardPtr& G : Loaded)
        if (TComponent* Component = G->Component()) Component->Loaded();
}

} // namespace cls
