// TRegistry over the store file: round trips, paths, errors, corrupt stores
// and atomic writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "classes/exceptions.h"
#include "classes/failing_writes.h"
#include "classes/registry.h"
#include "classes/temp_dir.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;
using trestle_test::ReadFile;
using trestle_test::WriteFile;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFileName(Store); }
    void TearDown() override { SetRegistryStoreFileName(""); }

    trestle_test::TempDir Dir;
    std::string Store = Dir.File("config/trestle/registry");
};

std::vector<std::string> Items(const TStrings& S) {
    std::vector<std::string> Result;
    for (int I = 0; I < S.Count(); ++I) Result.push_back(S[I]);
    return Result;
}

TEST_F(Registry, ValuesOfEveryTypeRoundTripThroughTheFile) {
    const unsigned char Blob[] = {0x00, 0xFF, 0x10};
    {
        TRegistry R;
        EXPECT_EQ(R.RootKey(), HKEY_CURRENT_USER);
        ASSERT_TRUE(R.OpenKey("\\Software\\Trestle\\Bars", true));
        R.WriteString("Caption", "Меню \"Файл\"");
        R.WriteExpandString("Path", "%HOME%\\bin");
        R.WriteInteger("Count", -42);
        R.WriteBool("Visible", true);
        R.WriteFloat("Ratio", 0.25);
        R.WriteBinaryData("Glyph", Blob, sizeof(Blob));
        R.WriteString("", "default value");
        EXPECT_FALSE(std::filesystem::exists(Store)); // written when the key closes
    }
    EXPECT_EQ(ReadFile(Store), "trestle-registry 2\n"
                               "key \"HKEY_CURRENT_USER\"\n"
                               "key 1 \"Software\"\n"
                               "key 2 \"Trestle\"\n"
                               "key 3 \"Bars\"\n"
                               "value \"Caption\" string \"Меню \\\"Файл\\\"\"\n"
                               "value \"Path\" expand \"%HOME%\\\\bin\"\n"
                               "value \"Count\" integer -42\n"
                               "value \"Visible\" integer 1\n"
                               "value \"Ratio\" binary \"000000000000D03F\"\n"
                               "value \"Glyph\" binary \"00FF10\"\n"
                               "value \"\" string \"default value\"\n"
                               "end\n");

    TRegistry R;
    ASSERT_TRUE(R.OpenKey("\\SOFTWARE\\trestle\\bars", false));
    EXPECT_EQ(R.ReadString("caption"), "Меню \"Файл\"");
    EXPECT_EQ(R.ReadString("Path"), "%HOME%\\bin");
    EXPECT_EQ(R.ReadInteger("COUNT"), -42);
    EXPECT_TRUE(R.ReadBool("Visible"));
    EXPECT_DOUBLE_EQ(R.ReadFloat("Ratio"), 0.25);
    unsigned char Buffer[8] = {};
    EXPECT_EQ(R.ReadBinaryData("Glyph", Buffer, sizeof(Buffer)), 3);
    EXPECT_EQ(std::vector<unsigned char>(Buffer, Buffer + 3), std::vector<unsigned char>(Blob, Blob + 3));
    EXPECT_EQ(R.ReadString(""), "default value");
    EXPECT_EQ(R.GetDataType("Path"), rdExpandString);
    EXPECT_EQ(R.GetDataType("Count"), rdInteger);
    EXPECT_EQ(R.GetDataType("Glyph"), rdBinary);
    EXPECT_EQ(R.GetDataType("Missing"), rdUnknown);
    EXPECT_EQ(R.GetDataSize("Path"), 11);
    EXPECT_EQ(R.GetDataSize("Count"), 4);
    EXPECT_EQ(R.GetDataSize("Missing"), -1);
    TStringList Names;
    R.GetValueNames(&Names);
    EXPECT_EQ(Items(Names),
              (std::vector<std::string>{"Caption", "Path", "Count", "Visible", "Ratio", "Glyph", ""}));
}

TEST_F(Registry, RelativeAndAbsolutePathsAndKeyLists) {
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("Software", true));
    EXPECT_EQ(R.CurrentPath(), "Software");
    EXPECT_NE(R.CurrentKey(), 0u);
    ASSERT_TRUE(R.OpenKey("Vendor\\App", true)); // below the open key
    EXPECT_EQ(R.CurrentPath(), "Software\\Vendor\\App");
    for (const char* Sub : {"b", "Ёлка", "A", "c", "ель"}) R.CreateKey(Sub);
    TStringList Keys;
    R.GetKeyNames(&Keys);
    EXPECT_EQ(Items(Keys), (std::vector<std::string>{"A", "b", "c", "ель", "Ёлка"}));
    EXPECT_TRUE(R.HasSubKeys());
    EXPECT_TRUE(R.KeyExists("ёЛКА"));
    EXPECT_TRUE(R.KeyExists("\\software\\VENDOR"));
    EXPECT_FALSE(R.KeyExists("Software")); // relative to the open key
    ASSERT_TRUE(R.OpenKey("\\Other", true));
    EXPECT_EQ(R.CurrentPath(), "Other");
    R.CloseKey();
    EXPECT_EQ(R.CurrentKey(), 0u);
    EXPECT_TRUE(R.KeyExists("Software\\Vendor\\App\\A")); // from the root again

    EXPECT_FALSE(R.OpenKey("Missing\\Key", false));
    EXPECT_FALSE(R.OpenKey("a\\\\b", true));
    ExpectError<ERegistryException>([&] { R.CreateKey("a\\\\b"); }, "Failed to create key a\\\\b");
    EXPECT_FALSE(R.KeyExists("Software\\Vendor\\App\\A\\..\\b"));

    EXPECT_TRUE(R.DeleteKey("Software\\Vendor")); // with everything below it
    EXPECT_FALSE(R.KeyExists("Software\\Vendor\\App\\A"));
    EXPECT_TRUE(R.KeyExists("Software"));
    EXPECT_FALSE(R.DeleteKey("Software\\Vendor"));
    EXPECT_FALSE(R.DeleteKey(""));

    R.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(R.KeyExists("Software"));
}

TEST_F(Registry, ReadsAndWritesRaiseTheOriginalErrors) {
    TRegistry R;
    ExpectError<ERegistryException>([&] { R.WriteString("x", "1"); },
                                    "Failed to set data for 'x'"); // no key open
    EXPECT_EQ(R.ReadString("x"), "");
    ExpectError<ERegistryException>([&] { R.ReadInteger("x"); }, "Failed to get data for 'x'");
    ASSERT_TRUE(R.OpenKey("Software\\Test", true));
    R.WriteString("Short", "abc");
    R.WriteString("Long", "abcdef");
    R.WriteInteger("Number", 7);
    R.WriteBinaryData("Blob", "12345678x", 9);
    EXPECT_EQ(R.ReadString("Missing"), "");
    ExpectError<ERegistryException>([&] { R.ReadInteger("Missing"); }, "Failed to get data for 'Missing'");
    ExpectError<ERegistryException>([&] { R.ReadInteger("Short"); }, "Invalid data type for 'Short'");
    ExpectError<ERegistryException>([&] { R.ReadInteger("Long"); }, "Failed to get data for 'Long'");
    ExpectError<ERegistryException>([&] { R.ReadBool("Short"); }, "Invalid data type for 'Short'");
    ExpectError<ERegistryException>([&] { R.ReadString("Number"); }, "Invalid data type for 'Number'");
    ExpectError<ERegistryException>([&] { R.ReadFloat("Number"); }, "Invalid data type for 'Number'");
    char Small[4];
    ExpectError<ERegistryException>([&] { R.ReadBinaryData("Blob", Small, sizeof(Small)); },
                                    "Invalid data type for 'Blob'");
    EXPECT_EQ(R.ReadBinaryData("Missing", Small, sizeof(Small)), 0);

    EXPECT_TRUE(R.DeleteValue("short"));
    EXPECT_FALSE(R.ValueExists("Short"));
    R.RenameValue("Long", "Renamed");
    EXPECT_EQ(R.ReadString("Renamed"), "abcdef");

    TRegistry Other;
    Other.DeleteKey("Software\\Test"); // under the open key
    ExpectError<ERegistryException>([&] { R.WriteInteger("After", 1); }, "Failed to set data for 'After'");
    ExpectError<ERegistryException>([&] { R.ReadInteger("Number"); }, "Failed to get data for 'Number'");

    ASSERT_TRUE(R.OpenKeyReadOnly("\\Software"));
    EXPECT_EQ(R.Access(), KEY_READ);
    ExpectError<ERegistryException>([&] { R.WriteInteger("y", 1); }, "Failed to set data for 'y'");
    EXPECT_FALSE(R.DeleteValue("y"));
}

TEST_F(Registry, OneStorePerFileSharedReloadedAndWrittenLazily) {
    TRegistry Writer;
    TRegistry Reader;
    ASSERT_TRUE(Writer.OpenKey("Shared", true));
    Writer.WriteInteger("N", 1);
    ASSERT_TRUE(Reader.OpenKey("Shared", false));
    EXPECT_EQ(Reader.ReadInteger("N"), 1); // the same store in memory
    EXPECT_FALSE(std::filesystem::exists(Store));
    Writer.CloseKey();
    EXPECT_NE(ReadFile(Store).find("value \"N\" integer 1"), std::string::npos);

    // Another program changes the file: the store reloads it.
    WriteFile(Store,
              "trestle-registry 1\nkey \"HKEY_CURRENT_USER\" \"Shared\"\nvalue \"N\" integer 2\nend\n");
    EXPECT_EQ(Reader.ReadInteger("N"), 2);

    Writer.SetLazyWrite(false);
    ASSERT_TRUE(Writer.OpenKey("Shared", false));
    Writer.WriteString("Now", "on disk");
    EXPECT_NE(ReadFile(Store).find("value \"Now\" string \"on disk\""), std::string::npos);
}

TEST_F(Registry, NamesAndDataWithAnyBytesSurviveTheFile) {
    const std::string Key = "Key \"with\" quotes, Ё and \xFF";
    const std::vector<std::string> Texts = {
        "",
        "line\nbreak\r\n",
        "tab\there",
        "quote \" backslash \\",
        std::string("nul\0in", 6),
        "\x01\x1F\x7F control",
        "Привет ✓ 😀",
        "bad \xC3\x28 \xFF utf-8",
        "\\x41 not an escape",
    };
    {
        TRegistry R;
        ASSERT_FALSE(R.OpenKey("Bad\\Name\\", false));
        ASSERT_TRUE(R.OpenKey("\\Data\\", true));
        ASSERT_TRUE(R.CreateKey("Sub " + std::string("\xFF")));
        ASSERT_TRUE(R.OpenKey(Key, true));
        for (std::size_t I = 0; I < Texts.size(); ++I)
            R.WriteString(Texts[I] + "#" + std::to_string(I), Texts[I]);
    }
    EXPECT_TRUE(Utf8IsValid(ReadFile(Store)));
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("\\Data\\" + Key, false));
    for (std::size_t I = 0; I < Texts.size(); ++I) {
        TRegDataInfo Info;
        ASSERT_TRUE(R.GetDataInfo(Texts[I] + "#" + std::to_string(I), Info));
        EXPECT_EQ(Info.DataSize, static_cast<int>(Texts[I].size()) + 1);
        // Strings read up to their first zero character, as in the original.
        std::string Expected = Texts[I].substr(0, Texts[I].find('\0'));
        EXPECT_EQ(R.ReadString(Texts[I] + "#" + std::to_string(I)), Expected);
    }
    EXPECT_TRUE(R.KeyExists("\\Data\\Sub \xFF"));
}

TEST_F(Registry, CorruptStoresAreReportedAndNeverOverwritten) {
    const std::string Header = "trestle-registry 1\n";
    const std::string Key = "key \"HKEY_CURRENT_USER\" \"K\"\n";
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"", "line 0: empty file"},
        {"garbage\n", "line 1: not a registry store (header missing)"},
        {Header + Key, "line 2: the file is truncated (no \"end\")"},
        {Header + Key + "value \"x\" integer abc\nend\n", "line 3: bad integer"},
        {Header + Key + "value \"x\" integer 99999999999\nend\n", "line 3: bad integer"},
        {Header + Key + "value \"x\" binary \"ABC\"\nend\n", "line 3: odd number of hex digits"},
        {Header + Key + "value \"x\" blob \"00\"\nend\n", "line 3: unknown value type \"blob\""},
        {Header + Key + "value \"x\" string \"open\nend\n", "line 3: unterminated quoted text"},
        {Header + Key + "value \"x\" string \"\\q\"\nend\n", "line 3: unknown escape"},
        {Header + Key + "value \"x\" string \"a\"\nvalue \"X\" string \"b\"\nend\n",
         "line 4: value listed twice"},
        {Header + Key + Key + "end\n", "line 3: key listed twice"},
        {Header + "value \"x\" string \"a\"\nend\n", "line 2: value before the first key"},
        {Header + "key \"HKEY_NOWHERE\"\nend\n", "line 2: unknown root key"},
        {Header + "key \"HKEY_CURRENT_USER\" \"a\\\\b\"\nend\n", "line 2: invalid key name"},
        {Header + Key + "end\nkey \"HKEY_CURRENT_USER\"\n", "line 4: text after \"end\""},
        {Header + Key + std::string("\x00\xFF\x13junk\n", 8) + "end\n",
         "line 3: unknown line \"\\x00\\xFF\\x13junk\""},
        {Header + "key 1 \"K\"\nend\n", "line 2: quoted text expected"},
        {"trestle-registry 3\n" + Key + "end\n", "line 1: not a registry store (header missing)"},
        {"trestle-registry 2\nkey 1 \"K\"\nend\n", "line 2: bad number of shared names"},
        {"trestle-registry 2\n" + Key + "key 3 \"L\"\nend\n", "line 3: bad number of shared names"},
        {"trestle-registry 2\n" + Key + "key -1 \"L\"\nend\n", "line 3: bad number of shared names"},
        {"trestle-registry 2\n" + Key + "key 2\nend\n", "line 3: key without a name"},
        {"trestle-registry 2\n" + Key + "key 1 \"k\"\nend\n", "line 3: key listed twice"},
        {"trestle-registry 2\nkey 0 \"HKEY_NOWHERE\"\nend\n", "line 2: unknown root key"},
    };
    std::filesystem::create_directories(std::filesystem::path(Store).parent_path());
    for (const auto& [Content, Reason] : Cases) {
        WriteFile(Store, Content);
        TRegistry R;
        const std::string Message = "The registry store \"" + Store + "\" is damaged (" + Reason + ")";
        ExpectError<ERegistryException>([&] { R.OpenKey("K", true); }, Message);
        ExpectError<ERegistryException>([&] { R.CreateKey("New"); }, Message);
        ExpectError<ERegistryException>([&] { R.KeyExists("K"); }, Message);
        R.CloseKey();
        EXPECT_EQ(ReadFile(Store), Content);
    }
    // Once repaired, the store loads.
    WriteFile(Store, Header + Key + "value \"x\" integer 5\nend\n");
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("K", false));
    EXPECT_EQ(R.ReadInteger("X"), 5);
}

TEST_F(Registry, StoresOfTheFirstVersionLoadAndAreRewrittenInTheCurrentOne) {
    std::filesystem::create_directories(std::filesystem::path(Store).parent_path());
    WriteFile(Store, "trestle-registry 1\n"
                     "key \"HKEY_CURRENT_USER\" \"Software\" \"A\"\n"
                     "value \"x\" integer 1\n"
                     "key \"HKEY_CURRENT_USER\" \"Software\" \"B\" \"C\"\n"
                     "key \"HKEY_LOCAL_MACHINE\" \"M\"\n"
                     "value \"y\" string \"z\"\n"
                     "end\n");
    {
        TRegistry R;
        ASSERT_TRUE(R.OpenKey("Software\\B\\C", false));
        R.WriteInteger("n", 2);
    }
    EXPECT_EQ(ReadFile(Store), "trestle-registry 2\n"
                               "key \"HKEY_CURRENT_USER\"\n"
                               "key 1 \"Software\"\n"
                               "key 2 \"A\"\n"
                               "value \"x\" integer 1\n"
                               "key 2 \"B\"\n"
                               "key 3 \"C\"\n"
                               "value \"n\" integer 2\n"
                               "key \"HKEY_LOCAL_MACHINE\"\n"
                               "key 1 \"M\"\n"
                               "value \"y\" string \"z\"\n"
                               "end\n");
    // A key line may also give several names after the shared ones.
    WriteFile(Store, "trestle-registry 2\n"
                     "key \"HKEY_CURRENT_USER\" \"P\" \"Q\"\n"
                     "key 2 \"R\" \"S\"\n"
                     "value \"v\" integer 3\n"
                     "end\n");
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("P\\R\\S", false));
    EXPECT_EQ(R.ReadInteger("v"), 3);
    EXPECT_TRUE(R.KeyExists("\\P\\Q"));
}

// Reading, writing and freeing a store walk the key tree without recursion,
// and the file holds each key's name once.
TEST_F(Registry, AKeyNestedFourHundredThousandLevelsDeepLoadsWritesAndFrees) {
    constexpr std::size_t Depth = 400000;
    std::string Text = "trestle-registry 1\nkey \"HKEY_CURRENT_USER\"";
    std::string Path;
    for (std::size_t I = 0; I < Depth; ++I) {
        Text += " \"a\"";
        Path += "\\a";
    }
    Text += "\nvalue \"deep\" integer 7\nend\n";
    std::filesystem::create_directories(std::filesystem::path(Store).parent_path());
    WriteFile(Store, Text);
    {
        TRegistry R;
        ASSERT_TRUE(R.OpenKey(Path, false));
        EXPECT_EQ(R.ReadInteger("deep"), 7);
        R.WriteInteger("deep", 8);
    }
    // Linear in the depth: a line of a few bytes per level.
    EXPECT_LT(ReadFile(Store).size(), Depth * 16);
    {
        TRegistry R;
        ASSERT_TRUE(R.OpenKey(Path, false));
        EXPECT_EQ(R.ReadInteger("deep"), 8);
        EXPECT_TRUE(R.DeleteKey("\\a\\a"));
        EXPECT_TRUE(R.KeyExists("\\a"));
    }
    TRegistry R;
    EXPECT_FALSE(R.OpenKey(Path, false));
}

TEST_F(Registry, AFailedWriteLeavesTheOldStore) {
    {
        TRegistry R;
        ASSERT_TRUE(R.OpenKey("Keep", true));
        R.WriteString("v", "old");
    }
    const std::string Old = ReadFile(Store);
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("Keep", false));
    R.WriteString("v", std::string(4096, 'n'));
    {
        trestle_test::FileSizeLimit Limit(64);
        try {
            R.CloseKey();
            FAIL() << "the write succeeded";
        } catch (const ERegistryException& E) {
            EXPECT_EQ(E.Message().rfind("Unable to write the registry store \"" + Store + "\".", 0), 0u)
                << E.Message();
        }
    }
    EXPECT_EQ(ReadFile(Store), Old);
    ASSERT_TRUE(R.OpenKey("Keep", false));
    R.CloseKey(); // the change is still pending and goes out now
    EXPECT_NE(ReadFile(Store).find(std::string(4096, 'n')), std::string::npos);
    for (const auto& Entry :
         std::filesystem::directory_iterator(std::filesystem::path(Store).parent_path())) {
        EXPECT_EQ(Entry.path().filename(), "registry");
    }
}

TEST_F(Registry, ABatchIsWrittenOnceOrDroppedWhole) {
    {
        TRegistry R;
        ASSERT_TRUE(R.OpenKey("Keep", true));
        R.WriteString("v", "old");
    }
    const std::string Old = ReadFile(Store);
    auto Batch = [](const std::string& AValue) {
        auto R = std::make_unique<TRegistry>();
        R->BeginUpdate();
        EXPECT_TRUE(R->OpenKey("\\Keep", false));
        R->WriteString("v", AValue);
        EXPECT_TRUE(R->OpenKey("\\New", true));
        R->WriteInteger("n", 1);
        R->CloseKey();
        return R;
    };

    auto R = Batch(std::string(4096, 'n'));
    EXPECT_EQ(ReadFile(Store), Old); // closing keys wrote nothing
    TRegistry Reader;
    ASSERT_TRUE(Reader.OpenKey("New", false)); // the same store sees the batch
    {
        trestle_test::FileSizeLimit Limit(64);
        try {
            R->EndUpdate();
            FAIL() << "the write succeeded";
        } catch (const ERegistryException& E) {
            EXPECT_EQ(E.Message().rfind("Unable to write the registry store", 0), 0u) << E.Message();
        }
    }
    EXPECT_EQ(ReadFile(Store), Old);
    EXPECT_FALSE(Reader.KeyExists("\\New")); // dropped, not left pending
    Reader.CloseKey();
    EXPECT_EQ(ReadFile(Store), Old);

    Batch("cancelled")->CancelUpdate();
    Batch("destroyed").reset();
    EXPECT_EQ(ReadFile(Store), Old);
    ASSERT_TRUE(Reader.OpenKey("\\Keep", false));
    EXPECT_EQ(Reader.ReadString("v"), "old");

    Batch("new")->EndUpdate();
    EXPECT_NE(ReadFile(Store).find("value \"v\" string \"new\""), std::string::npos);
    EXPECT_NE(ReadFile(Store).find("\"New\""), std::string::npos);
}

} // namespace
