// The filer: typed values, properties a class defines for itself, and
// components read as part of a form.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "classes/component.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/streams.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;

std::vector<std::uint8_t> Bytes(TMemoryStream& S) {
    return std::vector<std::uint8_t>(S.Memory(), S.Memory() + S.Size());
}

void Fill(TMemoryStream& S, const std::vector<std::uint8_t>& ABytes) {
    S.WriteBuffer(ABytes.data(), static_cast<std::int64_t>(ABytes.size()));
    S.SetPosition(0);
}

TEST(Filer, IntegersTakeTheSmallestWidth) {
    struct Case {
        std::int32_t Value;
        std::vector<std::uint8_t> Encoded;
    };
    const Case Cases[] = {
        {0, {vaInt8, 0x00}},
        {-128, {vaInt8, 0x80}},
        {127, {vaInt8, 0x7F}},
        {128, {vaInt16, 0x80, 0x00}},
        {-129, {vaInt16, 0x7F, 0xFF}},
        {-32768, {vaInt16, 0x00, 0x80}},
        {32768, {vaInt32, 0x00, 0x80, 0x00, 0x00}},
        {INT_MAX, {vaInt32, 0xFF, 0xFF, 0xFF, 0x7F}},
        {INT_MIN, {vaInt32, 0x00, 0x00, 0x00, 0x80}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Value);
        TMemoryStream S;
        TWriter(&S).WriteInteger(C.Value);
        EXPECT_EQ(Bytes(S), C.Encoded);
        S.SetPosition(0);
        TReader R(&S);
        EXPECT_EQ(R.ReadInteger(), C.Value);
        EXPECT_EQ(S.Position(), S.Size());
    }
}

TEST(Filer, ValuesReadBackAsWritten) {
    const std::string Long(256, 'x');
    TMemoryStream S;
    TWriter W(&S);
    W.WriteListBegin();
    W.WriteBoolean(true);
    W.WriteBoolean(false);
    W.WriteString("");
    W.WriteString("Правка");
    W.WriteString(std::string(255, 'y'));
    W.WriteString(Long);
    W.WriteListEnd();
    EXPECT_EQ(S.Memory()[1], vaTrue);
    EXPECT_EQ(S.Memory()[2], vaFalse);

    S.SetPosition(0);
    TReader R(&S);
    R.ReadListBegin();
    EXPECT_FALSE(R.EndOfList());
    EXPECT_TRUE(R.ReadBoolean());
    EXPECT_FALSE(R.ReadBoolean());
    EXPECT_EQ(R.NextValue(), vaString);
    EXPECT_EQ(R.ReadString(), "");
    EXPECT_EQ(R.ReadString(), "Правка");
    EXPECT_EQ(R.ReadString(), std::string(255, 'y'));
    EXPECT_EQ(R.NextValue(), vaLString);
    EXPECT_EQ(R.ReadString(), Long);
    EXPECT_TRUE(R.EndOfList());
    R.ReadListEnd();
    EXPECT_EQ(S.Position(), S.Size());
}

TEST(Filer, BadInputRaisesAndReadsNothingBeyond) {
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Stream;
        std::function<void(TReader&)> Read;
        const char* Message;
    };
    const Case Cases[] = {
        {"integer expected", {vaString, 0}, [](TReader& R) { R.ReadInteger(); }, "Invalid property value"},
        {"Boolean expected", {vaInt8, 1}, [](TReader& R) { R.ReadBoolean(); }, "Invalid property value"},
        {"string expected", {vaTrue}, [](TReader& R) { R.ReadString(); }, "Invalid property value"},
        {"list expected", {vaNull}, [](TReader& R) { R.ReadListBegin(); }, "Invalid property value"},
        {"list end expected", {vaInt8, 0}, [](TReader& R) { R.ReadListEnd(); }, "Invalid property value"},
        {"unknown value type", {200}, [](TReader& R) { R.NextValue(); }, "Invalid property value"},
        {"integer cut short", {vaInt32, 1, 2}, [](TReader& R) { R.ReadInteger(); }, "Stream read error"},
        {"empty stream", {}, [](TReader& R) { R.EndOfList(); }, "Stream read error"},
        {"string longer than the stream",
         {vaString, 10, 'a'},
         [](TReader& R) { R.ReadString(); },
         "Stream read error"},
        {"huge long string",
         {vaLString, 0xFF, 0xFF, 0xFF, 0x7F},
         [](TReader& R) { R.ReadString(); },
         "Stream read error"},
        {"negative long string",
         {vaLString, 0xFF, 0xFF, 0xFF, 0xFF},
         [](TReader& R) { R.ReadString(); },
         "Stream read error"},
        {"unclosed list",
         {vaList, vaList, vaInt8, 1, vaNull},
         [](TReader& R) { R.SkipValue(); },
         "Stream read error"},
        {"huge binary",
         {vaBinary, 0xFF, 0xFF, 0xFF, 0x7F},
         [](TReader& R) { R.SkipValue(); },
         "Stream read error"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TMemoryStream S;
        Fill(S, C.Stream);
        TReader R(&S);
        ExpectError<EReadError>([&] { C.Read(R); }, C.Message);
        EXPECT_LE(S.Position(), S.Size());
    }

    // A value of the wrong type stays unread.
    TMemoryStream S;
    Fill(S, {vaTrue});
    TReader R(&S);
    ExpectError<EReadError>([&] { R.ReadInteger(); }, "Invalid property value");
    EXPECT_TRUE(R.ReadBoolean());
}

TEST(Filer, SkipValuePassesOverEveryKind) {
    const std::vector<std::vector<std::uint8_t>> Values = {
        {vaNull},
        {vaInt8, 1},
        {vaInt16, 1, 2},
        {vaInt32, 1, 2, 3, 4},
        {vaSingle, 1, 2, 3, 4},
        {vaInt64, 1, 2, 3, 4, 5, 6, 7, 8},
        {vaCurrency, 1, 2, 3, 4, 5, 6, 7, 8},
        {vaDate, 1, 2, 3, 4, 5, 6, 7, 8},
        {vaExtended, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
        {vaFalse},
        {vaNil},
        {vaIdent, 2, 'i', 'd'},
        {vaString, 1, 's'},
        {vaLString, 1, 0, 0, 0, 'l'},
        {vaUTF8String, 1, 0, 0, 0, 'u'},
        {vaBinary, 2, 0, 0, 0, 9, 9},
        {vaWString, 1, 0, 0, 0, 'w', 0},
        {vaSet, 1, 'a', 2, 'b', 'c', 0},
        {vaList, vaInt8, 1, vaList, vaString, 0, vaNull, vaNull},
    };
    std::vector<std::uint8_t> All = {vaList};
    for (const auto& Value : Values) {
        SCOPED_TRACE(static_cast<int>(Value[0]));
        std::vector<std::uint8_t> Data = Value;
        Data.push_back(vaTrue);
        TMemoryStream S;
        Fill(S, Data);
        TReader R(&S);
        R.SkipValue();
        EXPECT_TRUE(R.ReadBoolean());
        if (Value[0] != vaNull) All.insert(All.end(), Value.begin(), Value.end());
    }
    All.push_back(vaNull);
    All.push_back(vaTrue);
    TMemoryStream S;
    Fill(S, All);
    TReader R(&S);
    R.SkipValue();
    EXPECT_TRUE(R.ReadBoolean());

    // Deep nesting is skipped without recursion.
    std::vector<std::uint8_t> Deep(200000, vaList);
    Deep.insert(Deep.end(), 200000, vaNull);
    Deep.push_back(vaFalse);
    TMemoryStream D;
    Fill(D, Deep);
    TReader DR(&D);
    DR.SkipValue();
    EXPECT_FALSE(DR.ReadBoolean());
}

// A class with two properties of its own, as a component read from a form.
class TSample : public TComponent {
    TRESTLE_CLASS(TSample, TComponent)
public:
    using TComponent::TComponent;

    std::vector<int> Numbers;
    bool Flag = false;
    bool WriteFlag = true;
    std::vector<std::string>* Log = nullptr;
    TComponent* ParentSeen = nullptr;

protected:
    void DefineProperties(TFiler* Filer) override {
        inherited::DefineProperties(Filer);
        Filer->DefineProperty("Numbers", TReaderProc(this, &TSample::ReadNumbers),
                              TWriterProc(this, &TSample::WriteNumbers), !Numbers.empty());
        Filer->DefineProperty("Flag", TReaderProc(this, &TSample::ReadFlag),
                              TWriterProc(this, &TSample::WriteFlag_), WriteFlag);
    }
    void Loaded() override {
        inherited::Loaded();
        if (Log) Log->push_back("Loaded " + Name());
    }
    void SetParentComponent(TComponent* Value) override { ParentSeen = Value; }

private:
    void ReadNumbers(TReader* Reader) {
        if (Log) Log->push_back(ComponentState().Contains(csReading) ? "reading" : "not reading");
        Reader->ReadListBegin();
        while (!Reader->EndOfList()) Numbers.push_back(Reader->ReadInteger());
        Reader->ReadListEnd();
    }
    void WriteNumbers(TWriter* Writer) {
        Writer->WriteListBegin();
        for (int N : Numbers) Writer->WriteInteger(N);
        Writer->WriteListEnd();
    }
    void ReadFlag(TReader* Reader) { Flag = Reader->ReadBoolean(); }
    void WriteFlag_(TWriter* Writer) { Writer->WriteBoolean(Flag); }
};

TEST(Filer, DefinedPropertiesRoundTrip) {
    TSample Source(nullptr);
    Source.Numbers = {1, 300, -70000};
    Source.Flag = true;
    TMemoryStream S;
    TWriter(&S).WriteProperties(&Source);

    TSample Target(nullptr);
    S.SetPosition(0);
    TReader(&S).ReadProperties(&Target);
    EXPECT_EQ(Target.Numbers, Source.Numbers);
    EXPECT_TRUE(Target.Flag);
    EXPECT_EQ(S.Position(), S.Size());

    // A property without data is not written.
    TSample Empty(nullptr);
    Empty.WriteFlag = false;
    TMemoryStream E;
    TWriter(&E).WriteProperties(&Empty);
    EXPECT_EQ(Bytes(E), std::vector<std::uint8_t>{vaNull});
}

TEST(Filer, PropertyNamesMatchIgnoringCase) {
    TMemoryStream S;
    TWriter W(&S);
    W.WritePropName("FLAG");
    W.WriteBoolean(true);
    W.WriteListEnd();
    S.SetPosition(0);
    TSample Target(nullptr);
    TReader(&S).ReadProperties(&Target);
    EXPECT_TRUE(Target.Flag);

    TMemoryStream U;
    TWriter UW(&U);
    UW.WritePropName("Colour");
    UW.WriteInteger(1);
    UW.WriteListEnd();
    U.SetPosition(0);
    TReader UR(&U);
    ExpectError<EReadError>([&] { UR.ReadProperties(&Target); }, "Property Colour does not exist");

    TMemoryStream N;
    ExpectError<EWriteError>([&] { TWriter(&N).WritePropName(""); }, "Invalid property value");
    ExpectError<EWriteError>([&] { TWriter(&N).WritePropName(std::string(256, 'p')); },
                             "Invalid property value");
}

TEST(Filer, ComponentsAreLoadingUntilTheReaderEnds) {
    std::vector<std::string> Log;
    TComponent Parent(nullptr);
    TSample First(nullptr);
    First.SetName("First");
    TSample Second(nullptr);
    Second.SetName("Second");
    for (TSample* C : {&First, &Second}) C->Log = &Log;

    TSample Source(nullptr);
    Source.Numbers = {5};
    TMemoryStream S;
    TWriter W(&S);
    W.WriteProperties(&Source);
    W.WriteProperties(&Source);
    S.SetPosition(0);

    TReader R(&S);
    R.SetParent(&Parent);
    R.ReadComponentProperties(&First);
    R.ReadComponentProperties(&Second);
    EXPECT_EQ(First.ParentSeen, &Parent);
    EXPECT_TRUE(First.ComponentState().Contains(csLoading));
    EXPECT_FALSE(First.ComponentState().Contains(csReading));
    EXPECT_EQ(Second.Numbers, std::vector<int>{5});
    R.EndLoading();
    EXPECT_FALSE(Second.ComponentState().Contains(csLoading));
    EXPECT_EQ(Log, (std::vector<std::string>{"reading", "reading", "Loaded First", "Loaded Second"}));

    // A failed read leaves the component loading, for EndLoading to finish.
    TMemoryStream Bad;
    Fill(Bad, {4, 'F', 'l', 'a', 'g', vaInt8, 1});
    TReader BR(&Bad);
    TSample Third(nullptr);
    EXPECT_THROW(BR.ReadComponentProperties(&Third), EReadError);
    EXPECT_FALSE(Third.ComponentState().Contains(csReading));
    BR.EndLoading();
    EXPECT_FALSE(Third.ComponentState().Contains(csLoading));
}

} // namespace
