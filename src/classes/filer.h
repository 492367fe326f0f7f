// The filer: readers and writers of the values a form stream is made of, of
// the properties a class defines for itself (DefineProperties) and of whole
// components with their published properties and their children.
//
// Values are typed: a value-type byte, then the data. Integers take the
// smallest of 8, 16, 32 and 64 bits (little-endian), Booleans are their type
// alone, strings of up to 255 bytes have a length byte (vaString), longer
// ones a 32-bit length (vaLString); a list is vaList, its values and vaNull.
// A property is its name (a length byte and the bytes) followed by its
// values; the properties of one object end with vaNull.
//
// A form stream is "TPF0" and the root component: an optional prefix byte
// (0xF0 with the flags inherited, child position, inline), the class name
// and the component name, its properties, then its children (each a
// component) and vaNull. See classes/typinfo.h for which properties a class
// has and how each kind is written, classes/formtext.h for the text form.
//
// Reading a form (ReadRootComponent) follows the original's order: the root
// is loading and reading; ReadState reads its properties and its children,
// each child made through its class (registered with RegisterClass) with
// the root as owner, loading from its constructor on, named, and then read
// by its own ReadState; references to components are resolved when the
// whole stream is read (a name that is not on the form leaves the property
// nil); then Loaded runs for the root and every component read, in reading
// order.
//
// Reading checks everything it meets: a wrong value type, a bad length or a
// stream that ends early raise EReadError, and nothing is read past the end.
// An unknown class, property, value name or method raises EReadError naming
// it. When reading a component fails, the components made for it are freed
// again before the error goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classes/events.h"
#include "classes/object.h"
#include "classes/typinfo.h"

namespace cls {

class TCollection;
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
using TStreamProc = TEvent<void(TStream* Stream)>;

namespace detail {
// The 80-bit extended format of vaExtended values. Decoding fails for
// infinities and NaNs.
bool DecodeExtended(const std::uint8_t* ABytes, long double& AValue);
void EncodeExtended(long double AValue, std::uint8_t* ABytes);
} // namespace detail

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
    // The same for a property whose value is binary data (vaBinary): the
    // procedures read or write its bytes as a stream.
    virtual void DefineBinaryProperty(std::string_view Name, TStreamProc ReadData, TStreamProc WriteData,
                                      bool HasData) = 0;

    // The component being read or written as the root of a form stream.
    TComponent* Root() const { return FRoot; }

protected:
    TStream* FStream;
    TComponent* FRoot = nullptr;
};

class TWriter : public TFiler {
    TRESTLE_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(std::string_view Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;
    // Instance's published properties that are stored, the properties it
    // defines for itself, then the end of its properties.
    void WriteProperties(TPersistent* Instance);

    // "TPF0" and Root with its children; Root's published methods name the
    // events that are written.
    void WriteRootComponent(TComponent* Root);
    // A component (class name, name, properties) and its children.
    void WriteComponent(TComponent* Component);
    void WriteSignature();
    void WriteCollection(TCollection* Value);

    void WriteValue(TValueType Value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    void WriteInteger(std::int64_t Value);
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    void WriteString(std::string_view Value);
    // vaExtended; an infinite or NaN value raises EWriteError.
    void WriteFloat(long double Value);
    // True, False, nil and Null are written as those values.
    void WriteIdent(std::string_view Ident);
    // A property name: at most 255 bytes, else EWriteError "Invalid property value".
    void WritePropName(std::string_view Name);
    // A name of at most 255 bytes with its length byte.
    void WriteStr(std::string_view Value);

private:
    void Write(const void* Buffer, std::int64_t Count);
    void WritePropertiesOf(TPersistent* Instance);
    void WriteProperty(TPersistent* Instance, const TPropInfo& Prop);

    std::string FPropPath;
    TPublishedMethods FMethods;
};

class TReader : public TFiler {
    TRESTLE_CLASS(TReader, TFiler)
public:
    using TFiler::TFiler;

    void DefineProperty(std::string_view Name, TReaderProc ReadData, TWriterProc WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(std::string_view Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;
    // Reads properties up to the end of Instance's properties. A property that
    // Instance neither publishes nor defines raises EReadError "Property X
    // does not exist".
    void ReadProperties(TPersistent* Instance);
    // One property: a published one (a dotted name walks owned objects) or
    // one that the instance (or that object) defines.
    void ReadProperty(TPersistent* Instance);

    // Reads a form stream into Root (see above) and returns it.
    TComponent* ReadRootComponent(TComponent* Root);
    // Reads one component of the stream with its children, owned by the
    // root, as a child of Parent; nullptr Component makes it.
    TComponent* ReadComponent(TComponent* Component);
    // A component's properties, then its children (ReadState calls this).
    void ReadData(TComponent* Instance);
    void ReadSignature();
    void ReadCollection(TCollection* Collection);
    // The component that owns the components being read.
    TComponent* Owner() const { return FOwner; }
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
    // The next byte ends a list (or the properties, or the children): it may
    // be a value or the length of a name, so it is not checked as a value.
    bool EndOfList();
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    std::int32_t ReadInteger();
    // Any integer width, 64 bits included.
    std::int64_t ReadInt64();
    bool ReadBoolean();
    // vaString, vaLString, vaUTF8String, and vaWString as UTF-8.
    std::string ReadString();
    // vaExtended, vaSingle, vaDate, vaCurrency or an integer.
    long double ReadFloat();
    // vaIdent, or the names of vaFalse, vaTrue, vaNil and vaNull.
    std::string ReadIdent();
    // A name with its length byte.
    std::string ReadStr();
    // Skips one value, a whole list included.
    void SkipValue();

private:
    // A reference to resolve at the end. Instance lives as long as the
    // component being read when it was met (Guard) and the collection items
    // it was read in (Items, dropped when a collection is read anew).
    struct TFixup {
        TPersistent* Instance;
        const TPropInfo* Prop;
        std::string Name;
        std::shared_ptr<TComponentGuard> Guard;
        std::vector<TPersistent*> Items;
    };
    using TGuardPtr = std::unique_ptr<TComponentGuard>;

    void CheckValue(TValueType Value);
    void Read(void* Buffer, std::int64_t Count);
    std::string ReadBytes(std::int64_t Count);
    void ReadPrefix(int& AFlags, std::int64_t& AChildPos);
    void ReadPropValue(TPersistent* Instance, const TPropInfo& Prop);
    TComponent* MakeComponent(const std::string& AClassName);
    void ResolveFixups();
    // Frees the components made since AMark, newest first.
    void FreeCreated(std::size_t AMark);
    void AddLoaded(TComponent* AComponent);
    [[noreturn]] static void PropValueError();

    TComponent* FParent = nullptr;
    TComponent* FOwner = nullptr;
    std::string FPropName;
    bool FPropHandled = false;
    int FDepth = 0;
    std::vector<TGuardPtr> FLoaded;
    std::vector<TGuardPtr> FCreated;
    std::vector<TFixup> FFixups;
    std::shared_ptr<TComponentGuard> FReading;
    std::vector<TPersistent*> FItems;
    TPublishedMethods FMethods;
};

} // namespace cls
