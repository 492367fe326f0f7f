#include "classes/filer.h"

#include <algorithm>

#include "classes/component.h"
#include "classes/exceptions.h"
#include "classes/resstrings.h"
#include "classes/streams.h"
#include "classes/sysutils.h"

namespace cls {

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

void TWriter::WriteInteger(std::int32_t Value) {
    int Size = 4;
    if (Value >= -128 && Value <= 127) {
        WriteValue(vaInt8);
        Size = 1;
    } else if (Value >= -32768 && Value <= 32767) {
        WriteValue(vaInt16);
        Size = 2;
    } else {
        WriteValue(vaInt32);
    }
    const auto Bits = static_cast<std::uint32_t>(Value);
    std::uint8_t Bytes[4];
    for (int I = 0; I < Size; ++I) Bytes[I] = static_cast<std::uint8_t>(Bits >> (8 * I));
    Write(Bytes, Size);
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
    if (Name.empty() || Name.size() > 255) throw EWriteError(SInvalidProperty);
    const auto Length = static_cast<std::uint8_t>(Name.size());
    Write(&Length, 1);
    Write(Name.data(), static_cast<std::int64_t>(Name.size()));
}

void TWriter::DefineProperty(std::string_view Name, TReaderProc, TWriterProc WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteData(this);
}

void TWriter::WriteProperties(TPersistent* Instance) {
    Instance->DefineProperties(this);
    WriteListEnd();
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

void TReader::ReadProperties(TPersistent* Instance) {
    while (!EndOfList()) {
        FPropName = ReadStr();
        FPropHandled = false;
        Instance->DefineProperties(this);
        if (!FPropHandled) throw EReadError(SUnknownProperty, {FPropName});
    }
    ReadListEnd();
}

void TReader::ReadComponentProperties(TComponent* Instance) {
    if (std::find(FLoaded.begin(), FLoaded.end(), Instance) == FLoaded.end()) FLoaded.push_back(Instance);
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
    std::vector<TComponent*> Loaded;
    Loaded.swap(FLoaded);
    for (TComponent* Component : Loaded) Component->Loaded();
}

} // namespace cls
