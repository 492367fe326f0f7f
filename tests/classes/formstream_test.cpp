// Form streams: the text form and its conversion, whole forms written and
// read with their published properties, and forms read from their resources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "classes/collections.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/imagelist.h"
#include "classes/streams.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;

std::vector<std::string>* g_Log = nullptr;

void Log(const std::string& AEntry) {
    if (g_Log) g_Log->push_back(AEntry);
}

// --- Classes a form holds ---

class TSampleItem : public TCollectionItem {
    TRESTLE_CLASS(TSampleItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    TComponent* Peer() const { return FPeer; }
    void SetPeer(TComponent* Value) { FPeer = Value; }

    void GetPublishedProperties(TPublishedProperties& AList) override {
        inherited::GetPublishedProperties(AList);
        AList.String("Caption", &TSampleItem::Caption, &TSampleItem::SetCaption);
        AList.Component("Peer", &TSampleItem::Peer, &TSampleItem::SetPeer);
    }

private:
    std::string FCaption;
    TComponent* FPeer = nullptr;
};

enum TMode { mdOff, mdSlow, mdFast };
enum TOption { opOne, opTwo, opThree };
using TOptions = TSet<TOption>;
constexpr const char* ModeNames[] = {"mdOff", "mdSlow", "mdFast"};
constexpr const char* OptionNames[] = {"opOne", "opTwo", "opThree"};

class THolder : public TComponent {
    TRESTLE_CLASS(THolder, TComponent)
public:
    explicit THolder(TComponent* AOwner) : TComponent(AOwner), FItems(this, TSampleItem::ClassInfo()) {}

    double Ratio() const { return FRatio; }
    void SetRatio(double Value) { FRatio = Value; }
    TMode Mode() const { return FMode; }
    void SetMode(TMode Value) { FMode = Value; }
    TOptions Options() const { return FOptions; }
    void SetOptions(TOptions Value) { FOptions = Value; }
    std::int64_t Big() const { return FBig; }
    void SetBig(std::int64_t Value) { FBig = Value; }
    TColor Shade() const { return FShade; }
    void SetShade(TColor Value) { FShade = Value; }
    TOwnedCollection* Items() { return &FItems; }
    TStringList* Lines() { return &FLines; }
    TBitmap* Glyph() { return &FGlyph; }
    TComponent* Buddy() const { return FBuddy; }
    void SetBuddy(TComponent* Value) { FBuddy = Value; }
    TNotifyEvent OnPing() const { return FOnPing; }
    void SetOnPing(TNotifyEvent Value) { FOnPing = Value; }

    void GetPublishedProperties(TPublishedProperties& AList) override {
        inherited::GetPublishedProperties(AList);
        AList.Float("Ratio", &THolder::Ratio, &THolder::SetRatio);
        AList.Enum("Mode", &THolder::Mode, &THolder::SetMode, ModeNames, mdOff);
        AList.Set("Options", &THolder::Options, &THolder::SetOptions, OptionNames);
        AList.Integer("Big", &THolder::Big, &THolder::SetBig, 0);
        AList.Color("Shade", &THolder::Shade, &THolder::SetShade, clNone);
        AList.Object("Items", &THolder::Items);
        AList.Object("Lines", &THolder::Lines);
        AList.Object("Glyph", &THolder::Glyph);
        AList.Component("Buddy", &THolder::Buddy, &THolder::SetBuddy);
        AList.Event("OnPing", &THolder::OnPing, &THolder::SetOnPing);
    }

protected:
    void ReadState(TReader* Reader) override {
        Log("ReadState " + Name());
        inherited::ReadState(Reader);
    }
    void Loaded() override {
        inherited::Loaded();
        Log("Loaded " + Name());
    }

private:
    double FRatio = 0;
    TMode FMode = mdOff;
    TOptions FOptions;
    std::int64_t FBig = 0;
    TColor FShade = clNone;
    TOwnedCollection FItems;
    TStringList FLines;
    TBitmap FGlyph;
    TComponent* FBuddy = nullptr;
    TNotifyEvent FOnPing;
};

class TPanel : public TCustomControl {
    TRESTLE_CLASS(TPanel, TCustomControl)
public:
    using TCustomControl::TCustomControl;
};

class TSampleForm : public TForm {
    TRESTLE_CLASS(TSampleForm, TForm)
public:
    using TForm::TForm;
    void Ping(TObject*) { ++Pings; }
    void Pong(TObject*) {}
    void GetPublishedMethods(TPublishedMethods& AList) override {
        inherited::GetPublishedMethods(AList);
        AList.Add("Ping", TNotifyEvent(this, &TSampleForm::Ping));
        AList.Add("Pong", TNotifyEvent(this, &TSampleForm::Pong));
    }
    int Pings = 0;

protected:
    void ReadState(TReader* Reader) override {
        Log("ReadState " + Name());
        inherited::ReadState(Reader);
    }
    void Loaded() override {
        inherited::Loaded();
        Log("Loaded " + Name());
    }
    void DoCreate() override {
        Log("OnCreate");
        inherited::DoCreate();
    }
};

// A form whose class has a form resource (resource_form.dfm, compiled in).
class TResourceForm : public TSampleForm {
    TRESTLE_CLASS(TResourceForm, TSampleForm)
public:
    using TSampleForm::TSampleForm;
};

class TDamagedForm : public TSampleForm {
    TRESTLE_CLASS(TDamagedForm, TSampleForm)
public:
    using TSampleForm::TSampleForm;
};

class FormStreamTest : public cls::test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        RegisterClasses({THolder::ClassInfo(), TPanel::ClassInfo()});
        g_Log = &Entries;
    }
    void TearDown() override {
        g_Log = nullptr;
        AppTest::TearDown();
    }

    // A form as the designer would make it.
    TSampleForm* MakeForm() {
        auto* Form = new TSampleForm(nullptr);
        Form->SetName("Sample");
        Form->SetCaption("Пример");
        Form->SetClientWidth(300);
        Form->SetClientHeight(200);
        auto* Panel = new TPanel(Form);
        Panel->SetName("Panel");
        Panel->SetBounds(5, 6, 100, 50);
        Panel->SetColor(clWindow);
        Panel->Font()->SetStyle(TFontStyles{fsBold});
        Panel->SetParentFont(false);
        Panel->SetParent(Form);
        auto* Images = new TImageList(Form);
        Images->SetName("Images");
        TBitmap Image(16, 16);
        Image.ScanLine(4)[3] = 0xFF0000;
        Images->AddMasked(&Image, clWhite);
        auto* Holder = new THolder(Form);
        Holder->SetName("Holder");
        Holder->SetRatio(0.25);
        Holder->SetMode(mdFast);
        Holder->SetOptions(TOptions{opOne, opThree});
        Holder->SetBig(10000000000);
        Holder->SetShade(clBtnFace);
        Holder->SetTag(7);
        Holder->Lines()->Add("first");
        Holder->Lines()->Add(std::string(300, 'x'));
        Holder->Glyph()->SetSize(2, 2);
        static_cast<TSampleItem*>(Holder->Items()->Add())->SetCaption("one");
        auto* Two = static_cast<TSampleItem*>(Holder->Items()->Add());
        Two->SetPeer(Panel);
        Holder->SetBuddy(Images);
        Holder->SetOnPing(TNotifyEvent(Form, &TSampleForm::Ping));
        return Form;
    }

    static std::string Binary(TComponent* AForm) {
        TStringStream S;
        WriteComponent(&S, AForm);
        return S.DataString();
    }
    static void ReadInto(TComponent* AForm, const std::string& ABinary) {
        TStringStream S(ABinary);
        ReadComponent(&S, AForm);
    }

    std::vector<std::string> Entries;
};

// --- The text form ---

TEST(FormText, EveryValueKindRoundTrips) {
    const std::string Text = "object Form1: TForm1\n"
                             "  Int = -5\n"
                             "  Int16 = 300\n"
                             "  Int32 = 100000\n"
                             "  Int64 = 10000000000\n"
                             "  Float = 1.5\n"
                             "  Whole = 100.0\n"
                             "  Tiny = 1e-300\n"
                             "  Single = 0.1s\n"
                             "  Money = -12.3456c\n"
                             "  Day = 45000.5d\n"
                             "  Empty = ''\n"
                             "  Quoted = 'It'#39's'#13#10'ok'\n"
                             "  Russian = 'Правка'\n"
                             "  Long =\n"
                             "    'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' +\n"
                             "    'bbbb'\n"
                             "  Ident = clBtnFace\n"
                             "  Dotted = Other.Images\n"
                             "  Yes = True\n"
                             "  No = False\n"
                             "  Nothing = nil\n"
                             "  Set = [fsBold, fsItalic]\n"
                             "  NoSet = []\n"
                             "  List = (\n"
                             "    1\n"
                             "    'a'\n"
                             "    (\n"
                             "      2))\n"
                             "  NoList = ()\n"
                             "  Data = {\n"
                             "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
                             "    FF}\n"
                             "  NoData = {}\n"
                             "  Items = <\n"
                             "    item\n"
                             "      Caption = 'x'\n"
                             "    end\n"
                             "    item [3]\n"
                             "    end>\n"
                             "  NoItems = <>\n"
                             "  Font.Name = 'DejaVu Sans'\n"
                             "  inherited Child: TChild [2]\n"
                             "  end\n"
                             "  inline Frame: TFrame\n"
                             "  end\n"
                             "  object TUnnamed\n"
                             "  end\n"
                             "end\n";
    const std::string Binary = ObjectTextToBinary(Text);
    EXPECT_EQ(Binary.substr(0, 4), "TPF0");
    EXPECT_EQ(ObjectBinaryToText(Binary), Text);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(Binary)), Binary);

    // Values as the filer writes them.
    struct Case {
        std::string Value;
        std::vector<std::uint8_t> Bytes;
    };
    const Case Cases[] = {
        {"-5", {vaInt8, 0xFB}},
        {"$FF", {vaInt16, 0xFF, 0}},
        {"1.5", {vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
        {"1.5s", {vaSingle, 0, 0, 0xC0, 0x3F}},
        {"1c", {vaCurrency, 0x10, 0x27, 0, 0, 0, 0, 0, 0}},
        {"'a'#1", {vaString, 2, 'a', 1}},
        {"#$41'b'", {vaString, 2, 'A', 'b'}},
        {"#1055", {vaString, 2, 0xD0, 0x9F}},
        {"'a' + 'b'", {vaString, 2, 'a', 'b'}},
        {"Abc", {vaIdent, 3, 'A', 'b', 'c'}},
        {"TRUE", {vaTrue}},
        {"[a]", {vaSet, 1, 'a', 0}},
        {"{0aFf}", {vaBinary, 2, 0, 0, 0, 0x0A, 0xFF}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Value);
        const std::string B = ObjectTextToBinary("object A: B\n  P = " + C.Value + "\nend\n");
        const std::string Header("TPF0\x01"
                                 "B\x01"
                                 "A\x01"
                                 "P",
                                 10);
        ASSERT_EQ(B.substr(0, Header.size()), Header);
        EXPECT_EQ(B.substr(Header.size(), B.size() - Header.size() - 2),
                  std::string(C.Bytes.begin(), C.Bytes.end()));
    }
}

TEST(FormText, MalformedTextNamesTheLine) {
    struct Case {
        const char* Text;
        const char* Message;
    };
    const Case Cases[] = {
        {"object A: B\n  P = 'abc\nend\n", "Unterminated string on line 2"},
        {"object A: B\n  P = 1\n", "'end' expected on line 3"},
        {"object A: B\n  object C: D\n  end\n", "'end' expected on line 4"},
        {"object A: B\n\n  P = @\nend\n", "Invalid property value on line 3"},
        {"object A: B\n  P = {0G}\nend\n", "Invalid binary value on line 2"},
        {"object A: B\n  P = {012}\nend\n", "Invalid binary value on line 2"},
        {"object A: B\n  P = #\nend\n", "Invalid string constant on line 2"},
        {"object A: B\n  P = #1114112\nend\n", "Invalid string constant on line 2"},
        {"object A: B\n  P = 99999999999999999999\nend\n", "Invalid number on line 2"},
        {"object A: B\n  P 1\nend\n", "'=' expected on line 2"},
        {"object A: B\n  P = [a b]\nend\n", "',' expected on line 2"},
        {"object A: B\n  P = <thing>\nend\n", "'item' expected on line 2"},
        {"object A: B\n  P = (1\n", "')' expected on line 3"},
        {"objekt A: B\nend\n", "'object' expected on line 1"},
        {"object A: 1\nend\n", "Identifier expected on line 1"},
        {"", "'object' expected on line 1"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        ExpectError<EParserError>([&] { ObjectTextToBinary(C.Text); }, C.Message);
    }
    std::string Deep = "object A: B\n  P = ";
    for (int I = 0; I <= MaxFormNesting; ++I) Deep += "(";
    ExpectError<EParserError>([&] { ObjectTextToBinary(Deep); }, "Nesting too deep on line 2");

    // A stream converted to text keeps its output untouched on an error.
    TStringStream In("object A: B\n  P = 'x\n");
    TStringStream Out("kept");
    EXPECT_THROW(ObjectTextToBinary(&In, &Out), EParserError);
    EXPECT_EQ(Out.DataString(), "kept");
}

TEST(FormText, CutOrLyingBinaryRaisesReadError) {
    const std::string Good = ObjectTextToBinary("object A: B\n  S = 'text'\n  D = {0102}\n"
                                                "  L = (\n    1)\n  object C: D\n  end\nend\n");
    for (std::size_t N = 0; N < Good.size(); ++N) {
        SCOPED_TRACE(N);
        EXPECT_THROW(ObjectBinaryToText(Good.substr(0, N)), EReadError);
    }
    std::string Lying = ObjectTextToBinary("object A: B\n  D = {0102}\nend\n");
    Lying[Lying.find('\x0A') + 1] = '\x7F'; // the binary's length
    EXPECT_THROW(ObjectBinaryToText(Lying), EReadError);
    ExpectError<EReadError>([] { ObjectBinaryToText("TPF1"); }, "Invalid stream format");
}

// --- Whole forms ---

TEST_F(FormStreamTest, AFormWrittenReadsBackEqual) {
    TSampleForm* Source = MakeForm();
    const std::string Written = Binary(Source);
    const std::string Text = ObjectBinaryToText(Written);
    EXPECT_NE(Text.find("  Caption = 'Пример'\n"), std::string::npos);
    EXPECT_NE(Text.find("    Options = [opOne, opThree]\n"), std::string::npos);
    EXPECT_NE(Text.find("    OnPing = Ping\n"), std::string::npos);
    EXPECT_NE(Text.find("        Peer = Panel\n"), std::string::npos);
    EXPECT_NE(Text.find("    Shade = clBtnFace\n"), std::string::npos);
    EXPECT_EQ(ObjectTextToBinary(Text), Written);

    auto* Copy = new TSampleForm(nullptr);
    ReadInto(Copy, Written);
    EXPECT_EQ(Binary(Copy), Written);
    auto* Holder = static_cast<THolder*>(Copy->FindComponent("Holder"));
    ASSERT_NE(Holder, nullptr);
    EXPECT_EQ(Holder->Buddy(), Copy->FindComponent("Images"));
    EXPECT_EQ(static_cast<TSampleItem*>(Holder->Items()->Items(1))->Peer(), Copy->FindComponent("Panel"));
    EXPECT_EQ(Holder->Big(), 10000000000);
    EXPECT_EQ(static_cast<TControl*>(Copy->FindComponent("Panel"))->Parent(), Copy);
    EXPECT_EQ(static_cast<TImageList*>(Copy->FindComponent("Images"))->Count(), 1);
    Holder->OnPing()(Holder);
    EXPECT_EQ(Copy->Pings, 1);
    EXPECT_FALSE(Holder->ComponentState().Contains(csLoading));
    delete Copy;
    delete Source;
}

TEST_F(FormStreamTest, ReadStateThenLoadedInReadingOrder) {
    TSampleForm* Source = MakeForm();
    (new THolder(Source))->SetName("Second");
    const std::string Written = Binary(Source);
    delete Source;

    auto* Copy = new TSampleForm(nullptr);
    Entries.clear();
    ReadInto(Copy, Written);
    EXPECT_EQ(Entries, (std::vector<std::string>{"ReadState Sample", "ReadState Holder", "ReadState Second",
                                                 "Loaded Sample", "Loaded Holder", "Loaded Second"}));
    delete Copy;
}

TEST_F(FormStreamTest, BadStreamsRaiseAndLeaveNothingHalfRead) {
    struct Case {
        const char* Inner;
        const char* Message;
    };
    const Case Cases[] = {
        {"object X: TUnknown\nend", "Class TUnknown not found"},
        {"object X: THolder\n  Colour = 1\nend", "Property Colour does not exist"},
        {"object X: THolder\n  Font.Name = 'a'\nend", "Property Font.Name does not exist"},
        {"object X: THolder\n  Mode = mdWarp\nend", "Invalid value for property Mode"},
        {"object X: THolder\n  Options = [opFour]\nend", "Invalid value for property Options"},
        {"object X: THolder\n  Shade = clPlaid\nend", "Invalid value for property Shade"},
        {"object X: TPanel\n  Left = 10000000000\nend", "Invalid value for property Left"},
        {"object X: THolder\n  OnPing = Missing\nend", "Method Missing not found"},
        {"object X: THolder\n  Buddy = 5\nend", "Invalid value for property Buddy"},
        {"object X: THolder\n  Items = <\n    item\n      Size = 1\n    end>\nend",
         "Property Size does not exist"},
        {"object X: TPanel\n  object Y: TPanel\n    object Z: THolder\n      Mode = 1\n    end\n  end\nend",
         "Invalid value for property Mode"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Inner);
        auto* Form = new TSampleForm(nullptr);
        const std::string Text =
            std::string("object Sample: TSampleForm\n  object Kept: THolder\n  end\n") + C.Inner + "\nend\n";
        ExpectError<EReadError>([&] { ReadInto(Form, ObjectTextToBinary(Text)); }, C.Message);
        EXPECT_EQ(Form->ComponentCount(), 0);
        EXPECT_FALSE(Form->ComponentState().Contains(csLoading));
        delete Form;
    }
    // A stream that ends early.
    TSampleForm* Source = MakeForm();
    const std::string Good = Binary(Source);
    delete Source;
    auto* Form = new TSampleForm(nullptr);
    for (std::size_t N : {std::size_t{3}, Good.size() / 2, Good.size() - 1}) {
        EXPECT_THROW(ReadInto(Form, Good.substr(0, N)), EReadError);
        EXPECT_EQ(Form->ComponentCount(), 0);
    }
    delete Form;
}

TEST_F(FormStreamTest, ReferencesToComponentsNotOnTheFormStayNil) {
    auto* Form = new TSampleForm(nullptr);
    ReadInto(Form, ObjectTextToBinary("object Sample: TSampleForm\n  object H: THolder\n"
                                      "    Buddy = Elsewhere\n  end\n  object I: THolder\n"
                                      "    Buddy = Other.H\n  end\nend\n"));
    EXPECT_EQ(static_cast<THolder*>(Form->FindComponent("H"))->Buddy(), nullptr);
    EXPECT_EQ(static_cast<THolder*>(Form->FindComponent("I"))->Buddy(), nullptr);
    delete Form;
}

TEST_F(FormStreamTest, AFormReadsItsClassResourceBeforeOnCreate) {
    TResourceForm* Form = TResourceForm::ClassInfo().Create(nullptr);
    EXPECT_EQ(Form->Caption(), "From the resource");
    ASSERT_NE(Form->FindComponent("Holder"), nullptr);
    EXPECT_EQ(Entries, (std::vector<std::string>{"ReadState ResourceForm", "ReadState Holder",
                                                 "Loaded ResourceForm", "Loaded Holder", "OnCreate"}));
    delete Form;

    // The class without a resource reads nothing.
    Entries.clear();
    TSampleForm* Plain = TSampleForm::ClassInfo().Create(nullptr);
    EXPECT_EQ(Plain->ComponentCount(), 0);
    EXPECT_EQ(Entries, std::vector<std::string>{"OnCreate"});
    delete Plain;

    // A damaged resource fails the construction.
    ASSERT_TRUE(win::AddResource(nullptr, win::RT_RCDATA, "TDamagedForm", nullptr, nullptr, "TPF0"));
    EXPECT_THROW(TDamagedForm::ClassInfo().Create(nullptr), EReadError);
}

} // namespace
