// TMemIniFile and TIniFile: round trips, names ignoring case, malformed
// files and atomic writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "classes/exceptions.h"
#include "classes/failing_writes.h"
#include "classes/inifiles.h"
#include "classes/streams.h"
#include "classes/temp_dir.h"

namespace {

using namespace cls;
using trestle_test::ReadFile;
using trestle_test::TempDir;
using trestle_test::WriteFile;

std::vector<std::string> Items(const TStrings& S) {
    std::vector<std::string> Result;
    for (int I = 0; I < S.Count(); ++I) Result.push_back(S[I]);
    return Result;
}

TEST(MemIniFile, RoundTripOfEveryTypeThroughTheFile) {
    TempDir Dir;
    const std::string Name = Dir.File("layout.ini");
    {
        TMemIniFile Ini(Name);
        Ini.WriteString("Main", "Caption", "Привет = мир");
        Ini.WriteInteger("Main", "Count", -5);
        Ini.WriteBool("Main", "Visible", true);
        Ini.WriteFloat("Main", "Ratio", 2.5);
        TMemoryStream Data;
        Data.WriteBuffer("\x00\xFFz", 3);
        Data.SetPosition(1);
        Ini.WriteBinaryStream("Main", "Glyph", &Data);
        EXPECT_EQ(Data.Position(), 1);
        Ini.WriteString("Раздел", "Ключ", "значение");
        EXPECT_FALSE(std::filesystem::exists(Name)); // only UpdateFile writes
        Ini.UpdateFile();
    }
    EXPECT_EQ(ReadFile(Name), "[Main]\nCaption=Привет = мир\nCount=-5\nVisible=1\nRatio=2.5\nGlyph=FF7A\n\n"
                              "[Раздел]\nКлюч=значение\n\n");

    TMemIniFile Mem(Name);
    TIniFile Disk(Name);
    for (TCustomIniFile* Ini : {static_cast<TCustomIniFile*>(&Mem), static_cast<TCustomIniFile*>(&Disk)}) {
        EXPECT_EQ(Ini->ReadString("MAIN", "caption", ""), "Привет = мир");
        EXPECT_EQ(Ini->ReadInteger("main", "COUNT", 0), -5);
        EXPECT_TRUE(Ini->ReadBool("Main", "Visible", false));
        EXPECT_DOUBLE_EQ(Ini->ReadFloat("Main", "Ratio", 0), 2.5);
        EXPECT_EQ(Ini->ReadString("РАЗДЕЛ", "КЛЮЧ", ""), "значение");
        EXPECT_EQ(Ini->ReadString("Main", "Missing", "default"), "default");
        TMemoryStream Glyph;
        EXPECT_EQ(Ini->ReadBinaryStream("Main", "Glyph", &Glyph), 2);
        EXPECT_EQ(Glyph.Position(), 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(Glyph.Memory()), 2), "\xFFz");
        EXPECT_TRUE(Ini->SectionExists("раздел"));
        EXPECT_TRUE(Ini->ValueExists("Main", "RATIO"));
        EXPECT_FALSE(Ini->ValueExists("Main", "Nothing"));
        TStringList S;
        Ini->ReadSection("Main", &S);
        EXPECT_EQ(Items(S), (std::vector<std::string>{"Caption", "Count", "Visible", "Ratio", "Glyph"}));
        Ini->ReadSections(&S);
        EXPECT_EQ(Items(S), (std::vector<std::string>{"Main", "Раздел"}));
        Ini->ReadSectionValues("Раздел", &S);
        EXPECT_EQ(Items(S), (std::vector<std::string>{"Ключ=значение"}));
    }
}

TEST(MemIniFile, NumbersBooleansAndEditing) {
    TMemIniFile Ini("");
    TStringList Lines;
    Lines.SetText("[N]\nhex=0x1F\ndollar=$10\nbad=12abc\nbig=0xFFFFFFFF\n"
                  "t=1\nf=0\nfive=5\nword=true\nfloat=1e3\nspaces =  padded  \n");
    Ini.SetStrings(&Lines);
    EXPECT_EQ(Ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(Ini.ReadInteger("N", "dollar", 0), 16);
    EXPECT_EQ(Ini.ReadInteger("N", "bad", -1), -1);
    EXPECT_EQ(Ini.ReadInteger("N", "big", 0), -1);
    EXPECT_TRUE(Ini.ReadBool("N", "t", false));
    EXPECT_FALSE(Ini.ReadBool("N", "f", true));
    EXPECT_TRUE(Ini.ReadBool("N", "five", false));
    EXPECT_FALSE(Ini.ReadBool("N", "word", false)); // not a number: the default
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("N", "float", 0), 1000);
    EXPECT_EQ(Ini.ReadString("N", "spaces", ""), "padded");

    Ini.DeleteKey("n", "HEX");
    EXPECT_FALSE(Ini.ValueExists("N", "hex"));
    Ini.WriteString("Other", "k", "v");
    Ini.EraseSection("N");
    TStringList Out;
    Ini.GetStrings(&Out);
    EXPECT_EQ(Items(Out), (std::vector<std::string>{"[Other]", "k=v", ""}));
    Ini.Clear();
    EXPECT_FALSE(Ini.SectionExists("Other"));
}

TEST(MemIniFile, MalformedFilesLoadWhatCanBeRead) {
    TempDir Dir;
    std::string Binary;
    for (int I = 0; I < 512; ++I) Binary += static_cast<char>((I * 37 + 11) & 0xFF);
    std::replace(Binary.begin(), Binary.end(), '[', '#'); // no accidental section headers
    struct Case {
        std::string Content;
        std::string Section, Key, Expected;
        std::vector<std::string> Sections;
    };
    const std::vector<Case> Cases = {
        {"", "A", "k", "", {}},
        {"k=before any section\n[A]\nk = v \n", "A", "k", "v", {"A"}},
        {"[A]\nnoequals\nk=v\n", "A", "k", "v", {"A"}},
        {"[A]\nk=first\nk=second\n", "A", "k", "first", {"A"}},
        {"[A]\nk=1\n[A]\nk=2\n", "a", "K", "1", {"A", "A"}},
        {"[A]\n[B\nk=in A\n", "A", "k", "in A", {"A"}},
        {"[A]\n;k=comment\n  k2=x\n", "A", "k", "", {"A"}},
        {"\xEF\xBB\xBF[A]\r\nk=crlf\r\n", "A", "k", "crlf", {"A"}},
        {"[A]\nk=trunc", "A", "k", "trunc", {"A"}},
        {"[A]\nk=v\n[Unterminated", "A", "k", "v", {"A"}},
        {Binary + "\n[A]\nk=after junk\n", "A", "k", "after junk", {"A"}},
        {"[A]\nk=\xFF\xFE bad\n", "A", "k", "\xFF\xFE bad", {"A"}},
        {std::string("[A]\nk=nul\0inside\n", 18), "A", "k", std::string("nul\0inside", 10), {"A"}},
    };
    for (const Case& C : Cases) {
        WriteFile(Dir.File("bad.ini"), C.Content);
        TMemIniFile Ini(Dir.File("bad.ini"));
        EXPECT_EQ(Ini.ReadString(C.Section, C.Key, ""), C.Expected) << C.Content;
        TStringList Sections;
        Ini.ReadSections(&Sections);
        EXPECT_EQ(Items(Sections), C.Sections) << C.Content;
        // Written back, the readable lines survive.
        Ini.UpdateFile();
        TMemIniFile Again(Dir.File("bad.ini"));
        EXPECT_EQ(Again.ReadString(C.Section, C.Key, ""), C.Expected);
    }
    TMemIniFile Missing(Dir.File("missing.ini"));
    EXPECT_FALSE(Missing.SectionExists("A"));
    EXPECT_THROW(TMemIniFile(Dir.Path().string()), EFOpenError); // a folder
}

TEST(IniFile, WritesThroughAndKeepsCommentsAndLayout) {
    TempDir Dir;
    const std::string Name = Dir.File("app.ini");
    WriteFile(Name, "; settings\n[Window]\nLeft=10 ; px\n\n  Top = 20\n\n[Paths]\nHome=\"/home/user\"\n");
    TIniFile Ini(Name);
    Ini.WriteInteger("window", "TOP", 25);
    EXPECT_EQ(ReadFile(Name),
              "; settings\n[Window]\nLeft=10 ; px\n\nTOP=25\n\n[Paths]\nHome=\"/home/user\"\n");
    Ini.WriteString("Window", "Width", "300");
    Ini.WriteString("Новый", "Ключ", "1");
    EXPECT_EQ(ReadFile(Name), "; settings\n[Window]\nLeft=10 ; px\n\nTOP=25\nWidth=300\n\n[Paths]\n"
                              "Home=\"/home/user\"\n\n[Новый]\nКлюч=1\n");
    EXPECT_EQ(Ini.ReadString("Paths", "Home", ""), "/home/user");
    EXPECT_EQ(Ini.ReadString("Window", "Left", ""), "10 ; px");

    // Changes made by others are seen at once.
    WriteFile(Name, "[Window]\nLeft=99\n");
    EXPECT_EQ(Ini.ReadInteger("Window", "Left", 0), 99);

    Ini.WriteString("Gone", "x", "1");
    Ini.EraseSection("GONE");
    Ini.DeleteKey("Window", "left");
    EXPECT_EQ(ReadFile(Name), "[Window]\n");
    TStringList S;
    Ini.ReadSections(&S);
    EXPECT_EQ(Items(S), (std::vector<std::string>{"Window"}));
    EXPECT_FALSE(Ini.SectionExists("Window")); // a section counts when it has lines
}

// A rewrite keeps the file's first bytes, so a later read finds the same
// headers: with two marks the first line is no header, before and after.
TEST(IniFile, ByteOrderMarksStayInFrontWhenTheFileIsRewritten) {
    const std::string Bom = "\xEF\xBB\xBF";
    struct Case {
        std::string Content;
        std::vector<std::string> Sections; // before and after the write
    };
    const std::vector<Case> Cases = {
        {Bom + "[A]\nk=1\n", {"A", "B"}},
        {Bom + Bom + "[A]\nk=1\n", {"B"}},
        {"[A]\nk=1\n", {"A", "B"}},
        {"", {"B"}},
    };
    TempDir Dir;
    const std::string Name = Dir.File("bom.ini");
    for (const Case& C : Cases) {
        WriteFile(Name, C.Content);
        TIniFile Ini(Name);
        Ini.WriteString("B", "x", "1");
        EXPECT_EQ(ReadFile(Name).substr(0, C.Content.size()), C.Content);
        TIniFile Again(Name);
        TStringList Sections;
        Again.ReadSections(&Sections);
        EXPECT_EQ(Items(Sections), C.Sections) << C.Content;
    }
}

// Duplicates, in any case, are listed once, in the order of their first header.
TEST(IniFile, ReadSectionsListsFortyThousandSectionsOnce) {
    constexpr int Count = 40000;
    std::string Text;
    for (int I = 0; I < Count; ++I)
        Text += "[Section" + std::to_string(I) + "]\nk=" + std::to_string(I) + "\n";
    Text += "[SECTION0]\n[Раздел]\n[раздел]\n[section39999]\n";
    TempDir Dir;
    WriteFile(Dir.File("many.ini"), Text);
    TIniFile Ini(Dir.File("many.ini"));
    TStringList Sections;
    Ini.ReadSections(&Sections);
    ASSERT_EQ(Sections.Count(), Count + 1);
    EXPECT_EQ(Sections[0], "Section0");
    EXPECT_EQ(Sections[Count - 1], "Section39999");
    EXPECT_EQ(Sections[Count], "Раздел");
    EXPECT_EQ(Ini.ReadInteger("section20000", "K", 0), 20000);
}

// Writes go through a temporary file beside the target; its name must fit the
// file-name limit however long the target's valid name is.
TEST(IniFiles, FilesWithNamesUpToTheLimitAreWritten) {
    std::string Cyrillic;
    for (int I = 0; I < 127; ++I) Cyrillic += "я";
    const std::vector<std::string> Names = {std::string(243, 'a'), std::string(244, 'b'),
                                            std::string(255, 'c'), Cyrillic + "d", "e" + Cyrillic};
    TempDir Dir;
    for (const std::string& Name : Names) {
        ASSERT_LE(Name.size(), 255u);
        const std::string File = Dir.File(Name);
        TMemIniFile Mem(File);
        Mem.WriteString("A", "k", "mem");
        ASSERT_NO_THROW(Mem.UpdateFile()) << Name.size();
        TIniFile Ini(File);
        ASSERT_NO_THROW(Ini.WriteString("A", "j", "ini")) << Name.size();
        EXPECT_EQ(ReadFile(File), "[A]\nk=mem\nj=ini\n\n");
        std::filesystem::remove(File);
        EXPECT_TRUE(std::filesystem::is_empty(Dir.Path())); // no temporary file left behind
    }
}

TEST(IniFiles, FailedWritesRaiseAndLeaveTheOldFile) {
    TempDir Dir;
    const std::string Name = Dir.File("settings.ini");
    {
        TMemIniFile Ini(Name);
        Ini.WriteString("A", "k", "old");
        Ini.UpdateFile();
    }
    const std::string Old = ReadFile(Name);
    {
        TMemIniFile Ini(Name);
        Ini.WriteString("A", "k", std::string(4096, 'n'));
        TIniFile Disk(Name);
        trestle_test::FileSizeLimit Limit(64);
        try {
            Ini.UpdateFile();
            FAIL() << "the write succeeded";
        } catch (const EIniFileException& E) {
            EXPECT_EQ(E.Message(), "Unable to write to " + Name);
        }
        EXPECT_THROW(Disk.WriteString("A", "k", std::string(4096, 'd')), EIniFileException);
        EXPECT_EQ(Disk.ReadString("A", "k", ""), "old");
    }
    EXPECT_EQ(ReadFile(Name), Old);
    for (const auto& Entry : std::filesystem::directory_iterator(Dir.Path())) {
        EXPECT_EQ(Entry.path().filename(), "settings.ini"); // no temporary file left behind
    }

    std::filesystem::create_directory(Dir.File("folder.ini"));
    TMemIniFile OverFolder(Dir.File("missing.ini"));
    OverFolder.Rename(Dir.File("folder.ini"), false);
    OverFolder.WriteString("A", "k", "v");
    EXPECT_THROW(OverFolder.UpdateFile(), EIniFileException);
    EXPECT_TRUE(std::filesystem::is_directory(Dir.File("folder.ini")));
}

} // namespace
