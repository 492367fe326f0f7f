// The filer: readers and writers of the values a form stream is made of, and
// of the properties a class defines for itself (DefineProperties).
//
// Values are typed: a value-type byte, then the data. Integers take the
// smallest of 8, 16 and 32 bits (little-endian), Booleans are their type
// alone, strings of up to 255 bytes have a length byte (vaString), longer
// ones a 32-bit length (vaLString); a list is vaList, its values and vaNull.
// A property is its name (a length byte and the bytes) followed by its
// values; the properties of one object end with vaNull.
//
// Reading checks everything it meets: a wrong value type, a bad length or a
// stream that ends early raise EReadError, and nothing is read past the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classes/events.h"
#include "classes/object.h"

namespace cls {

class TComponent;
class TPersistent;
class TReader;
class TStream;
class TWriter;

enum TValueType : std::uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String
};

using TReaderProc = TEvent<void(TReader* Reader)>;
using TWriterProc = TEvent<void(TWriter* Writer)>;

class TFiler : public TObject {
    TRESTLE_CLASS(TFiler, TObject)
public:
    // The stream is not owned.
    explicit TFiler(TStream* AStream) : FStream(AStream) {}

    TStream* Stream() const { return FStream; }
    // A class's DefineProperties calls this once per property of its own: a
    // reader calls ReadData when the property being read has that name
    // (ignoring case); a writer writes the name and calls WriteData when
    // HasData is set.
    virtual void DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc WriteData,
                                bool HasData) = 0;

protected:
    TStream* FStream;
};

class TWriter : public TFiler {
    TRESTLE_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc WriteData,
                        bool HasData) override;
    // The properties Instance defines for itself, then the end of its properties.
    void WriteProperties(TPersistent* Instance);

    void WriteValue(TValueType Value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    void WriteInteger(std::int32_t Value);
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    void WriteString(std::string_view Value);
    // A property name: at most 255 bytes, else EWriteError "Invalid property value".
    void WritePropName(std::string_view Name);

private:
    void Write(const void* Buffer, std::int64_t Count);
};

class TReader : public TFiler {
    TRESTLE_CLASS(TReader, TFiler)
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc WriteData,
                        bool HasData) override;
    // Reads properties up to the end of Instance's properties. A property that
    // Instance does not define raises EReadError "Property X does not exist".
    void ReadProperties(TPersistent* Instance);
    // Reads Instance's properties as the form reader reads a component:
    // Instance takes Parent (when set) as its parent component, is csLoading
    // from now until EndLoading calls its Loaded, and csReading meanwhile.
    void ReadComponentProperties(TComponent* Instance);
    // Calls Loaded of every component read so far, in reading order.
    void EndLoading();
    TComponent* Parent() const { return FParent; }
    void SetParent(TComponent* Value) { FParent = Value; }

    // The type of the next value, which stays unread.
    TValueType NextValue();
    TValueType ReadValue();
    bool EndOfList() { return NextValue() == vaNull; }
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    std::int32_t ReadInteger();
    bool ReadBoolean();
    std::string ReadString();
    // Skips one value, a whole list included.
    void SkipValue();

private:
    void CheckValue(TValueType Value);
    void Read(void* Buffer, std::int64_t Count);
    std::string ReadBytes(std::int64_t Count);
    std::string ReadStr();
    [[noreturn]] static void PropValueError();

    TComponent* FParent = nullptr;
    std::string FPropName;
    bool FPropHandled = false;
    std::vector<TComponent*> FLoaded;
};

} // namespace cls
