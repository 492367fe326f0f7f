// Saving and restoring the bar layout in the registry store and INI files:
// round trips of a whole toolbar form, layouts with more and fewer bars,
// hand-edited and damaged layouts, the keys and sections a save touches, and
// failed saves.
#include "bars/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bars/toolbar.h"
#include "classes/failing_writes.h"
#include "classes/inifiles.h"
#include "classes/registry.h"
#include "classes/streams.h"
#include "classes/temp_dir.h"
#include "fixture.h"

namespace bars::test {
namespace {

using trestle_test::ReadFile;
using trestle_test::WriteFile;

const char* const RegistryPath = "Software\\Trestle\\Toolbars";
const char* const RegistryBase = "\\Software\\Trestle\\Toolbars";

// A form as the toolbars example designs it: a main menu with a File sub item
// (which holds a Recent sub item), a Standard and a Format toolbar on top, a
// Tools toolbar on the right, a status bar in a placed dock site at the
// bottom. Storage is set up before Loaded, as a form file would.
struct TDesign {
    cls::TForm* Form = nullptr;
    TdxBarManager* Manager = nullptr;
    TdxBarDockControl* BottomDock = nullptr;
    TdxBarSubItem* FileMenu = nullptr;
    TdxBarSubItem* RecentMenu = nullptr;

    explicit TDesign(const std::string& AFormName = "ToolbarsForm",
                     const std::function<void(TdxBarManager*)>& AStorage = nullptr) {
        Form = new cls::TForm(nullptr);
        Form->SetName(AFormName);
        Form->SetBounds(40, 30, 700, 500);
        Manager = new TdxBarManager(Form);
        Manager->SetName("BarManager");
        BottomDock = new TdxBarDockControl(Form);
        BottomDock->SetName("BottomDock");
        BottomDock->SetParent(Form);
        BottomDock->SetBarManager(Manager);
        BottomDock->SetAlign(cls::alBottom);
        for (const char* Name :
             {"btnNew", "btnOpen", "btnSave", "btnPrint", "btnCut", "btnCopy", "btnPaste", "btnBold",
              "btnItalic", "btnOptions", "btnMacros", "btnReady", "btnDoc1", "btnDoc2", "btnDoc3"}) {
            auto* Button = new TdxBarButton(Form);
            Button->SetName(Name);
            Button->SetCaption(Name + 3);
        }
        FileMenu = SubItem("mnuFile", "&File");
        RecentMenu = SubItem("mnuRecent", "&Recent");
        AddLinks(FileMenu->ItemLinks(), {"btnNew", "btnOpen", "mnuRecent", "btnSave", "btnPrint"});
        AddLinks(RecentMenu->ItemLinks(), {"btnDoc1", "btnDoc2"});
        TdxBar* Main = AddBar("Main Menu", dsTop, 0);
        Main->SetIsMainMenu(true);
        Main->ItemLinks()->Add(FileMenu);
        AddLinks(AddBar("Standard", dsTop, 1)->ItemLinks(),
                 {"btnNew", "btnOpen", "btnSave", "btnCut", "btnCopy"});
        AddLinks(AddBar("Format", dsTop, 1)->ItemLinks(), {"btnBold", "btnItalic"});
        AddLinks(AddBar("Tools", dsRight, 0)->ItemLinks(), {"btnOptions", "btnMacros"});
        TdxBar* Status = AddBar("Status", dsBottom, 0);
        Status->SetDockControl(BottomDock);
        AddLinks(Status->ItemLinks(), {"btnReady"});
        if (AStorage) AStorage(Manager);
        Form->Show();
        Manager->Loaded();
        testdrv::RunUntilIdle();
    }
    ~TDesign() { delete Form; }
    TDesign(const TDesign&) = delete;
    TDesign& operator=(const TDesign&) = delete;

    TdxBarItem* Item(const std::string& AName) const {
        return dynamic_cast<TdxBarItem*>(Form->FindComponent(AName));
    }
    TdxBarSubItem* SubItem(const std::string& AName, const std::string& ACaption) {
        auto* Made = new TdxBarSubItem(Form);
        Made->SetName(AName);
        Made->SetCaption(ACaption);
        return Made;
    }
    void AddLinks(TdxBarItemLinks* ALinks, const std::vector<std::string>& ANames) {
        for (const std::string& Name : ANames) ALinks->Add(Item(Name));
    }
    TdxBar* AddBar(const std::string& ACaption, TdxBarDockingStyle AStyle, int ARow) {
        TdxBar* Bar = Manager->Bars()->Add();
        Bar->SetCaption(ACaption);
        Bar->SetDockingStyle(AStyle);
        Bar->SetRow(ARow);
        Bar->SetVisible(true);
        return Bar;
    }
    TdxBar* Bar(const std::string& ACaption) const { return Manager->FindBarByCaption(ACaption); }

    // What a user changes in a session: every kind of value the layout keeps.
    void Customize() {
        Manager->SetLargeIcons(true);
        Manager->SetShowHint(false);
        Manager->SetMenuAnimations(maFade);
        Manager->SetMenusShowRecentItemsFirst(false);
        Bar("Standard")->SetDockingStyle(dsLeft);
        Bar("Format")->SetFloatLeft(420);
        Bar("Format")->SetFloatTop(330);
        Bar("Format")->SetDockingStyle(dsNone);
        Bar("Tools")->SetVisible(false);
        TdxBarItemLinks* Standard = Bar("Standard")->ItemLinks();
        Standard->Items(0)->SetUserCaption("Blank");
        Standard->Items(1)->SetUserPaintStyle(psCaptionGlyph);
        Standard->Items(2)->SetUserWidth(60);
        Standard->Items(3)->SetBeginGroup(true);
        Standard->Items(4)->SetVisible(false);
        cls::TBitmap Glyph;
        Glyph.SetSize(3, 2);
        Standard->Items(1)->SetUserGlyph(&Glyph);
        // A command used twice and the file menu rearranged.
        FileMenu->ItemLinks()->Items(3)->ApplyRecentUse(true);
        FileMenu->ItemLinks()->Items(3)->ApplyRecentUse(true);
        delete FileMenu->ItemLinks()->Items(1);
        FileMenu->ItemLinks()->Items(3)->SetBeginGroup(true);
        RecentMenu->ItemLinks()->Add(Item("btnDoc3"))->SetUserCaption("3 Notes");
        testdrv::RunUntilIdle();
    }
};

std::string Describe(const TdxBarItemLinks* ALinks, bool AGlyphs) {
    std::ostringstream S;
    for (int K = 0; K < ALinks->Count(); ++K) {
        TdxBarItemLink* Link = ALinks->Items(K);
        S << "  " << Link->Item()->Name() << " group=" << Link->BeginGroup() << " define="
          << (Link->UserDefine() - (AGlyphs ? TdxBarUserDefines() : TdxBarUserDefines{udGlyph})).Bits()
          << " caption=" << Link->UserCaption() << " style=" << Link->UserPaintStyle()
          << " width=" << Link->UserWidth() << " visible=" << Link->Visible() << " uses=" << Link->UseCount()
          << " recent=" << Link->GetRecentIndex();
        if (AGlyphs) S << " glyph=" << Link->UserGlyph()->Width() << "x" << Link->UserGlyph()->Height();
        S << "\n";
    }
    return S.str();
}

// Everything a layout keeps, as text to compare.
std::string Describe(TdxBarManager* AManager, bool AGlyphs = true) {
    std::ostringstream S;
    S << "large=" << AManager->LargeIcons() << " hint=" << AManager->ShowHint()
      << " shortcut=" << AManager->ShowShortCutInHint() << " animations=" << AManager->MenuAnimations()
      << " recentfirst=" << AManager->MenusShowRecentItemsFirst()
      << " fullafterdelay=" << AManager->ShowFullMenusAfterDelay() << "\n";
    for (int N = 0; N < AManager->Bars()->Count(); ++N) {
        TdxBar* Bar = AManager->Bars()->Items(N);
        if (TdxBarControl* Window = Bar->Control()) Window->StoreBarPosition();
        S << Bar->Caption() << ": visible=" << Bar->Visible() << " style=" << Bar->DockingStyle()
          << " dock=" << (Bar->DockControl() ? Bar->DockControl()->Name() : "-") << " row=" << Bar->Row()
          << " docked=" << Bar->DockedDockingStyle() << "@" << Bar->DockedLeft() << "," << Bar->DockedTop()
          << " float=" << Bar->FloatLeft() << "," << Bar->FloatTop() << "\n"
          << Describe(Bar->ItemLinks(), AGlyphs);
    }
    for (int I = 0; I < AManager->ItemCount(); ++I)
        if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(AManager->Items(I)))
            S << SubItem->Name() << ":\n" << Describe(SubItem->ItemLinks(), AGlyphs);
    return S.str();
}

// "kind place value detail", the place without the base key or section prefix.
std::vector<std::string> Problems(const TdxBarLayoutResult& AResult) {
    static const char* const Kinds[] = {"read failed", "write failed",  "missing",
                                        "bad",         "unknown item",  "unknown dock",
                                        "recursive",   "too many bars", "bar failed"};
    std::vector<std::string> Result;
    for (const TdxBarLayoutProblem& P : AResult.Problems) {
        std::string Place = P.Place == RegistryBase ? std::string() : P.Place;
        for (const std::string& Prefix :
             {std::string(RegistryBase) + "\\", std::string("ToolbarsForm.BarManager.")})
            if (Place.rfind(Prefix, 0) == 0) Place.erase(0, Prefix.size());
        Result.push_back(std::string(Kinds[P.Kind]) + " " + Place + " " + P.Value + " " + P.Detail);
    }
    return Result;
}

class LayoutTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        cls::SetRegistryStoreFileName(Store);
    }
    void TearDown() override {
        cls::SetRegistryStoreFileName("");
        cls::DoneApplication();
        WinTest::TearDown();
    }

    trestle_test::TempDir Dir;
    const std::string Store = Dir.File("registry");
    const std::string IniName = Dir.File("layout.ini");
};

// --- The two media ---

struct TMedium {
    const char* Name;
    bool KeepsGlyphs;
    TdxBarLayoutResult (*Save)(TdxBarManager*, const std::string& AIniName);
    TdxBarLayoutResult (*Load)(TdxBarManager*, const std::string& AIniName);
};

const TMedium Media[] = {
    {"registry", true, [](TdxBarManager* M, const std::string&) { return M->SaveToRegistry(RegistryPath); },
     [](TdxBarManager* M, const std::string&) { return M->LoadFromRegistry(RegistryPath); }},
    {"INI file", false, [](TdxBarManager* M, const std::string& F) { return M->SaveToIniFile(F); },
     [](TdxBarManager* M, const std::string& F) { return M->LoadFromIniFile(F); }},
};

TEST_F(LayoutTest, AToolbarFormComesBackWholeFromBothMedia) {
    for (const TMedium& Medium : Media) {
        SCOPED_TRACE(Medium.Name);
        TDesign Before;
        Before.Customize();
        const TdxBarLayoutResult Saved = Medium.Save(Before.Manager, IniName);
        EXPECT_TRUE(Saved.Ok()) << ::testing::PrintToString(Problems(Saved));

        TDesign After;
        EXPECT_NE(Describe(After.Manager), Describe(Before.Manager));
        const TdxBarLayoutResult Loaded = Medium.Load(After.Manager, IniName);
        EXPECT_TRUE(Loaded.Ok()) << ::testing::PrintToString(Problems(Loaded));
        testdrv::RunUntilIdle();
        EXPECT_EQ(Describe(After.Manager, Medium.KeepsGlyphs), Describe(Before.Manager, Medium.KeepsGlyphs));
        // The INI layout keeps no user glyph: the link keeps its flag with
        // an empty glyph.
        TdxBarItemLink* Glyphed = After.Bar("Standard")->ItemLinks()->Items(1);
        EXPECT_TRUE(Glyphed->UserDefine().Contains(udGlyph));
        EXPECT_EQ(Glyphed->UserGlyph()->Empty(), !Medium.KeepsGlyphs);
        EXPECT_EQ(After.Bar("Format")->Control()->DockingStyle(), dsNone);
        EXPECT_EQ(After.Bar("Status")->Control()->DockControl(), After.BottomDock);
        EXPECT_EQ(After.Bar("Tools")->Control(), nullptr);
    }
}

TEST_F(LayoutTest, TheLayoutStreamStandsInForTheIniFile) {
    cls::TMemoryStream Stream;
    TDesign Before;
    Before.Customize();
    Before.Manager->SetLayoutStream(&Stream);
    EXPECT_TRUE(Before.Manager->SaveToIniFile("").Ok());
    EXPECT_FALSE(std::filesystem::exists(IniName));
    const std::string Text(reinterpret_cast<const char*>(Stream.Memory()),
                           static_cast<std::size_t>(Stream.Size()));
    EXPECT_NE(Text.find("[ToolbarsForm.BarManager.Bar1]"), std::string::npos);

    TDesign After;
    After.Manager->SetLayoutStream(&Stream);
    EXPECT_TRUE(After.Manager->LoadFromIniFile("").Ok());
    EXPECT_EQ(Describe(After.Manager, false), Describe(Before.Manager, false));
}

TEST_F(LayoutTest, LoadedReadsTheRegistryThenTheIniFileAndTheFormsWindowSavesBoth) {
    auto Storage = [this](TdxBarManager* M) {
        M->SetStoreInRegistry(true);
        M->SetRegistryPath(RegistryPath);
        M->SetStoreInIniFile(true);
        M->SetIniFileName(IniName);
    };
    std::string Saved;
    {
        TDesign First("ToolbarsForm", Storage);
        First.Customize();
        // The INI file read last keeps no user glyphs.
        Saved = Describe(First.Manager, false);
    } // the form's window goes: both stores get the layout
    EXPECT_NE(ReadFile(Store).find("\"Bar4\""), std::string::npos);
    EXPECT_NE(ReadFile(IniName).find("[ToolbarsForm.BarManager.Bar4]"), std::string::npos);
    {
        TDesign Second("ToolbarsForm", Storage);
        EXPECT_EQ(Describe(Second.Manager, false), Saved);
        // The registry's layout gets a floating Tools bar; the INI file still hides it.
        Second.Bar("Tools")->SetDockingStyle(dsNone);
        Second.Bar("Tools")->SetVisible(true);
        Second.Manager->SaveToRegistry(RegistryPath);
        Second.Manager->SetStoreInIniFile(false);
        Second.Manager->SetStoreInRegistry(false);
    }
    TDesign Third("ToolbarsForm", Storage);
    EXPECT_FALSE(Third.Bar("Tools")->Visible());
    EXPECT_EQ(Third.Bar("Tools")->DockingStyle(), dsRight);
}

TEST_F(LayoutTest, MoreStoredBarsAreAddedAndBarsTheLayoutDoesNotKnowStayHidden) {
    std::string Saved;
    {
        TDesign Before;
        TdxBar* Custom = Before.AddBar("Custom 1", dsBottom, 0);
        Before.AddLinks(Custom->ItemLinks(), {"btnCut", "btnPaste"});
        Saved = Describe(Before.Manager);
        ASSERT_TRUE(Before.Manager->SaveToRegistry(RegistryPath).Ok());
        // The layout of a version of the program with two bars.
        Before.Manager->Bars()->Items(4)->SetVisible(false);
        while (Before.Manager->Bars()->Count() > 2) delete Before.Manager->Bars()->Items(2);
        ASSERT_TRUE(Before.Manager->SaveToIniFile(IniName).Ok());
    }
    TDesign More;
    EXPECT_TRUE(More.Manager->LoadFromRegistry(RegistryPath).Ok());
    ASSERT_EQ(More.Manager->Bars()->Count(), 6);
    EXPECT_EQ(Describe(More.Manager), Saved);
    EXPECT_TRUE(More.Bar("Custom 1")->Control() != nullptr);

    TDesign Fewer;
    EXPECT_TRUE(Fewer.Manager->LoadFromIniFile(IniName).Ok());
    ASSERT_EQ(Fewer.Manager->Bars()->Count(), 5);
    EXPECT_TRUE(Fewer.Bar("Standard")->Visible());
    for (const char* Unknown : {"Format", "Tools", "Status"}) {
        EXPECT_FALSE(Fewer.Bar(Unknown)->Visible()) << Unknown;
        EXPECT_EQ(Fewer.Bar(Unknown)->ItemLinks()->Count(), 2 - (std::string(Unknown) == "Status"));
    }
}

TEST_F(LayoutTest, ADockSiteOnAnotherFormIsFoundThroughThatForm) {
    auto PlaceTools = [](TDesign& ADesign) {
        auto* ToolsForm = new cls::TForm(ADesign.Form);
        ToolsForm->SetName("ToolsForm");
        auto* Side = new TdxBarDockControl(ToolsForm);
        Side->SetName("SideDock");
        Side->SetParent(ToolsForm);
        Side->SetBarManager(ADesign.Manager);
        Side->SetAlign(cls::alLeft);
        ToolsForm->Show();
        return Side;
    };
    {
        TDesign Before;
        TdxDockControl* Side = PlaceTools(Before);
        Before.Bar("Tools")->SetDockControl(Side);
        ASSERT_TRUE(Before.Manager->SaveToIniFile(IniName).Ok());
    }
    EXPECT_NE(ReadFile(IniName).find("DockControl=ToolbarsForm.ToolsForm.SideDock"), std::string::npos);
    TDesign After;
    TdxDockControl* Side = PlaceTools(After);
    EXPECT_TRUE(After.Manager->LoadFromIniFile(IniName).Ok());
    EXPECT_EQ(After.Bar("Tools")->DockControl(), Side);
    EXPECT_EQ(After.Bar("Tools")->Control()->DockControl(), Side);
}

// --- Hand-edited and damaged layouts ---

// Replaces the line of a key in a section of INI text ("" removes it).
void EditIni(std::string& AText, const std::string& ASection, const std::string& AKey,
             const std::string& ALine) {
    const std::size_t Section = AText.find("[ToolbarsForm.BarManager." + ASection + "]\n");
    ASSERT_NE(Section, std::string::npos) << ASection;
    const std::size_t Key = AText.find("\n" + AKey + "=", Section);
    ASSERT_NE(Key, std::string::npos) << ASection << " " << AKey;
    const std::size_t End = AText.find('\n', Key + 1);
    AText.replace(Key + 1, End - Key, ALine.empty() ? "" : ALine + "\n");
}

TEST_F(LayoutTest, AHandEditedIniFileLoadsWhatItCanAndReportsTheRest) {
    std::string Text;
    {
        TDesign Before;
        Before.Customize();
        ASSERT_TRUE(Before.Manager->SaveToIniFile(IniName).Ok());
        Text = ReadFile(IniName);
    }
    struct TEdit {
        const char* Section;
        const char* Key;
        const char* Line;
        const char* Problem; // "" when the edit is no problem
    };
    const TEdit Edits[] = {
        {"Main", "LargeIcons", "", "missing Main LargeIcons "},
        {"Main", "MenuAnimations", "MenuAnimations=7", "bad Main MenuAnimations 7"},
        {"Bar1", "Row", "", "missing Bar1 Row "},
        {"Bar1", "DockingStyle", "DockingStyle=left", "bad Bar1 DockingStyle "},
        {"Bar2", "FloatLeft", "FloatLeft=0x40", ""},
        {"Bar2", "FloatTop", "FloatTop=99999999", "bad Bar2 FloatTop 99999999"},
        {"Bar3", "Visible", "", "missing Bar3 Visible "},
        {"Bar4", "DockControl", "DockControl=btnNew", "unknown dock Bar4 DockControl btnNew"},
        {"Bar1.ItemLink0", "ItemName", "ItemName=btnGone", "unknown item Bar1.ItemLink0 ItemName btnGone"},
        {"Bar1.ItemLink2", "UserDefine", "UserDefine=24", "bad Bar1.ItemLink2 UserDefine 24"},
        {"Bar1.ItemLink3", "RecentIndex", "RecentIndex=-7", "bad Bar1.ItemLink3 RecentIndex -7"},
        {"SubItem_mnuRecent", "ItemLinkCount", "ItemLinkCount=2000000000", ""},
        {"SubItem_mnuRecent.ItemLink1", "ItemName", "ItemName=MNUFILE",
         "recursive SubItem_mnuRecent.ItemLink1 ItemName MNUFILE"},
        {"SubItem_mnuRecent.ItemLink2", "UserCaption", "",
         "missing SubItem_mnuRecent.ItemLink2 UserCaption "},
    };
    for (const TEdit& Edit : Edits) EditIni(Text, Edit.Section, Edit.Key, Edit.Line);
    WriteFile(IniName, Text);

    TDesign After;
    std::vector<std::string> Reported;
    const TdxBarLayoutResult Result = After.Manager->LoadFromIniFile(IniName);
    for (const std::string& P : Problems(Result)) Reported.push_back(P);
    std::vector<std::string> Expected;
    for (const TEdit& Edit : Edits)
        if (*Edit.Problem) Expected.push_back(Edit.Problem);
    std::sort(Reported.begin(), Reported.end());
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Reported, Expected);
    EXPECT_FALSE(Result.Failed());

    // Everything else of the layout came through.
    EXPECT_FALSE(After.Manager->LargeIcons()); // the current value stayed
    EXPECT_EQ(After.Manager->MenuAnimations(), maNone);
    EXPECT_FALSE(After.Manager->ShowHint());
    TdxBar* Standard = After.Bar("Standard");
    EXPECT_EQ(Standard->DockingStyle(), dsTop); // as designed: the stored style was no style
    EXPECT_TRUE(Standard->Visible());
    ASSERT_EQ(Standard->ItemLinks()->Count(), 4); // btnGone's link is dropped
    EXPECT_EQ(Standard->ItemLinks()->Items(0)->UserPaintStyle(), psCaptionGlyph);
    EXPECT_EQ(Standard->ItemLinks()->Items(0)->UserDefine().Bits(), 6u);
    EXPECT_TRUE(Standard->ItemLinks()->Items(0)->UserGlyph()->Empty());  // no glyph from an INI file
    EXPECT_EQ(Standard->ItemLinks()->Items(1)->UserDefine().Bits(), 8u); // masked
    EXPECT_EQ(Standard->ItemLinks()->Items(1)->UserWidth(), 60);
    EXPECT_EQ(After.Bar("Format")->FloatLeft(), 0x40);
    EXPECT_EQ(After.Bar("Format")->FloatTop(), 0);
    EXPECT_FALSE(After.Bar("Tools")->Visible());
    EXPECT_EQ(After.Bar("Status")->DockControl(), nullptr); // btnNew is no dock site
    EXPECT_TRUE(After.Bar("Status")->Visible());
    ASSERT_EQ(After.RecentMenu->ItemLinks()->Count(), 2); // the cycle is refused
    // Its user caption missing, the link's is empty.
    EXPECT_EQ(After.RecentMenu->ItemLinks()->Items(1)->UserDefine(), TdxBarUserDefines{udCaption});
    EXPECT_EQ(After.RecentMenu->ItemLinks()->Items(1)->GetCaption(), "");
    EXPECT_EQ(After.FileMenu->ItemLinks()->Count(), 4);
}

TEST_F(LayoutTest, ADamagedRegistryLayoutLoadsWhatItCanAndReportsTheRest) {
    {
        TDesign Before;
        Before.Customize();
        ASSERT_TRUE(Before.Manager->SaveToRegistry(RegistryPath).Ok());
    }
    {
        cls::TRegistry R;
        const std::string Base = RegistryBase;
        ASSERT_TRUE(R.OpenKey(Base, false));
        R.WriteInteger("BarCount", 0x7FFFFFFF);
        ASSERT_TRUE(R.OpenKey(Base + "\\Bar1", false));
        R.DeleteValue("Row");
        R.WriteString("DockingStyle", "left");
        R.WriteInteger("ItemLinkCount", -3);
        ASSERT_TRUE(R.OpenKey(Base + "\\Bar2", false));
        R.WriteString("DockControl", "NoSuchForm.BottomDock");
        R.WriteInteger("DockedLeft", -40000);
        ASSERT_TRUE(R.OpenKey(Base + "\\Bar4", false));
        R.WriteInteger("Caption", 5);
        ASSERT_TRUE(R.OpenKey(Base + "\\Bar9", true)); // beyond the bars of the form
        R.WriteString("Caption", "Stray");
        R.WriteBool("Visible", true);
        ASSERT_TRUE(R.OpenKey(Base + "\\SubItem_mnuFile\\ItemLink-1", true));
        R.WriteString("ItemName", "btnNew");
        ASSERT_TRUE(R.OpenKey(Base + "\\SubItem_mnuFile\\ItemLink0", false));
        R.WriteString("UserDefine", "x");
        ASSERT_TRUE(R.OpenKey(Base + "\\SubItem_mnuRecent\\ItemLink2", false));
        const unsigned char Junk[] = {'B', 'M', 1, 2, 3};
        R.WriteBinaryData("UserGlyph", Junk, sizeof(Junk));
        R.WriteBinaryData("UserDefine", "\x03", 1);
    }
    TDesign After;
    std::vector<std::string> Reported = Problems(After.Manager->LoadFromRegistry(RegistryPath));
    std::vector<std::string> Expected{
        "bad Bar1 DockingStyle ",
        "bad Bar1 ItemLinkCount -3",
        "bad Bar2 DockedLeft -40000",
        "bad Bar4 Caption ",
        "bad SubItem_mnuFile\\ItemLink0 UserDefine ",
        "bad SubItem_mnuRecent\\ItemLink2 UserGlyph ",
        "missing Bar1 Row ",
        "too many bars  BarCount 2147483647",
        "unknown dock Bar2 DockControl NoSuchForm.BottomDock",
    };
    // The stray bar has only a caption and its visibility.
    for (const char* Value :
         {"DockedDockingStyle", "DockedLeft", "DockedTop", "OneOnRow", "Row", "FloatLeft", "FloatTop",
          "FloatClientWidth", "FloatClientHeight", "DockingStyle", "ItemLinkCount"})
        Expected.push_back(std::string("missing Bar9 ") + Value + " ");
    std::sort(Reported.begin(), Reported.end());
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Reported, Expected);
    ASSERT_EQ(After.Manager->Bars()->Count(), 6);
    EXPECT_EQ(After.Manager->Bars()->Items(5)->Caption(), "Stray");
    EXPECT_EQ(After.Bar("Standard")->ItemLinks()->Count(), 5); // the links stayed as designed
    EXPECT_EQ(After.Bar("Standard")->ItemLinks()->Items(0)->UserCaption(), "");
    EXPECT_EQ(After.Bar("Format")->DockingStyle(), dsNone);
    EXPECT_EQ(After.Bar("Status")->Caption(), "Status");
    TdxBarItemLink* Doc3 = After.RecentMenu->ItemLinks()->Items(2);
    EXPECT_EQ(Doc3->UserDefine().Bits(), 3u);
    EXPECT_TRUE(Doc3->UserGlyph()->Empty()); // the glyph that did not load
    EXPECT_EQ(Doc3->UserCaption(), "3 Notes");
}

// The designed layout saved to a medium, then edited value by value.
struct TStoreEdit {
    const char* Node; // "Bar1", "Bar1.ItemLink3"
    const char* Name;
    const char* Value; // nullptr removes the value; "#n" is the user-define byte n
};

void SaveEdited(const TMedium& AMedium, const std::string& AIniName, const std::vector<TStoreEdit>& AEdits) {
    {
        TDesign Design;
        ASSERT_TRUE(AMedium.Save(Design.Manager, AIniName).Ok());
    }
    if (!AMedium.KeepsGlyphs) {
        std::string Text = ReadFile(AIniName);
        for (const TStoreEdit& E : AEdits)
            EditIni(Text, E.Node, E.Name,
                    E.Value ? std::string(E.Name) + "=" + (E.Value[0] == '#' ? E.Value + 1 : E.Value) : "");
        WriteFile(AIniName, Text);
        return;
    }
    cls::TRegistry R;
    for (const TStoreEdit& E : AEdits) {
        std::string Key = std::string(RegistryBase) + "\\" + E.Node;
        std::replace(Key.begin(), Key.end(), '.', '\\');
        ASSERT_TRUE(R.OpenKey(Key, false)) << Key;
        if (!E.Value)
            R.DeleteValue(E.Name);
        else if (E.Value[0] == '#')
            R.WriteBinaryData(E.Name, std::string(1, static_cast<char>(std::stoi(E.Value + 1))).data(), 1);
        else
            R.WriteString(E.Name, E.Value);
    }
}

TEST_F(LayoutTest, AStoredUserDefineIsMaskedToItsFourFlags) {
    for (const TMedium& Medium : Media) {
        SCOPED_TRACE(Medium.Name);
        // btnCut and btnCopy were stored without user values.
        SaveEdited(Medium, IniName,
                   {{"Bar1.ItemLink3", "UserDefine", "#255"}, {"Bar1.ItemLink4", "UserDefine", "x"}});
        TDesign After;
        std::vector<std::string> Reported = Problems(Medium.Load(After.Manager, IniName));
        const std::string Cut = Medium.KeepsGlyphs ? "Bar1\\ItemLink3 " : "Bar1.ItemLink3 ";
        const std::string Copy = Medium.KeepsGlyphs ? "Bar1\\ItemLink4 " : "Bar1.ItemLink4 ";
        std::vector<std::string> Expected{"bad " + Cut + "UserDefine 255", "missing " + Cut + "UserCaption ",
                                          "missing " + Cut + "UserPaintStyle ",
                                          "missing " + Cut + "UserWidth ", "bad " + Copy + "UserDefine "};
        std::sort(Reported.begin(), Reported.end());
        std::sort(Expected.begin(), Expected.end());
        EXPECT_EQ(Reported, Expected);
        // All four flags, the values at their defaults.
        TdxBarItemLink* Link = After.Bar("Standard")->ItemLinks()->Items(3);
        EXPECT_EQ(Link->UserDefine(), (TdxBarUserDefines{udCaption, udGlyph, udPaintStyle, udWidth}));
        EXPECT_EQ(Link->UserCaption(), "");
        EXPECT_TRUE(Link->UserGlyph()->Empty());
        EXPECT_EQ(Link->UserPaintStyle(), psStandard);
        EXPECT_EQ(Link->UserWidth(), 100);
        // A value that is no number leaves the flags as they were.
        EXPECT_TRUE(After.Bar("Standard")->ItemLinks()->Items(4)->UserDefine().Empty());
    }
}

TEST_F(LayoutTest, ABarSectionWithoutItsPlaceKeepsTheBarWhereItIs) {
    for (const TMedium& Medium : Media) {
        SCOPED_TRACE(Medium.Name);
        // Format shares the second top row with Standard, before it.
        SaveEdited(Medium, IniName,
                   {{"Bar2", "Row", nullptr},
                    {"Bar2", "DockedLeft", nullptr},
                    {"Bar2", "OneOnRow", nullptr},
                    {"Bar1", "OneOnRow", nullptr}});
        TDesign After;
        const std::string Designed = Describe(After.Manager);
        ASSERT_EQ(After.Bar("Format")->Row(), 1);
        std::vector<std::string> Reported = Problems(Medium.Load(After.Manager, IniName));
        std::vector<std::string> Expected{"missing Bar1 OneOnRow ", "missing Bar2 DockedLeft ",
                                          "missing Bar2 OneOnRow ", "missing Bar2 Row "};
        std::sort(Reported.begin(), Reported.end());
        EXPECT_EQ(Reported, Expected);
        testdrv::RunUntilIdle();
        EXPECT_EQ(Describe(After.Manager), Designed);
        EXPECT_EQ(After.Bar("Format")->Control()->Top(), After.Bar("Standard")->Control()->Top());
    }
}

TEST_F(LayoutTest, AnUnreadableStoreChangesNothingAndLoadedReportsIt) {
    WriteFile(Store, "trestle-registry 2\nkey \"HKEY_CURRENT_USER\"\n");
    std::vector<TdxBarLayoutResult> Events;
    struct TSink {
        std::vector<TdxBarLayoutResult>* Events;
        void Problems(TdxBarManager*, const TdxBarLayoutResult& AResult) { Events->push_back(AResult); }
    } Sink{&Events};
    TDesign Design("ToolbarsForm", [&](TdxBarManager* M) {
        M->SetStoreInRegistry(true);
        M->SetRegistryPath(RegistryPath);
        M->SetOnLayoutProblems(TdxBarLayoutEvent(&Sink, &TSink::Problems));
    });
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_TRUE(Events[0].Failed());
    EXPECT_EQ(Events[0].Problems[0].Kind, lpkReadFailed);
    EXPECT_TRUE(Design.Bar("Tools")->Visible());
    EXPECT_FALSE(Design.Manager->LockUpdate());
    EXPECT_FALSE(Design.Bar("Tools")->LockUpdate());
    EXPECT_FALSE(Design.Manager->Bars()->LoadingBars());
}

// --- What a save touches ---

TEST_F(LayoutTest, ASaveToTheRegistryReplacesOnlyTheKeysOfALayout) {
    {
        cls::TRegistry R;
        const std::string Base = RegistryBase;
        for (const char* Key : {"Settings", "Barn", "Bar", "Bar01", "Bar7\\ItemLink0",
                                "SubItem_Gone\\ItemLink3", "subitem_old"}) {
            ASSERT_TRUE(R.OpenKey(Base + "\\" + Key, true)) << Key;
            R.WriteInteger("Mine", 1);
        }
        ASSERT_TRUE(R.OpenKey(Base, false));
        R.WriteString("Theme", "dark");
    }
    TDesign Design;
    ASSERT_TRUE(Design.Manager->SaveToRegistry(std::string(RegistryPath) + "\\").Ok());
    cls::TRegistry R;
    ASSERT_TRUE(R.OpenKey(RegistryBase, false));
    cls::TStringList Keys;
    R.GetKeyNames(&Keys);
    std::vector<std::string> Names;
    for (int I = 0; I < Keys.Count(); ++I) Names.push_back(Keys[I]);
    EXPECT_EQ(Names, (std::vector<std::string>{"Bar", "Bar0", "Bar01", "Bar1", "Bar2", "Bar3", "Bar4", "Barn",
                                               "Settings", "SubItem_mnuFile", "SubItem_mnuRecent"}));
    EXPECT_EQ(R.ReadString("Theme"), "dark");
    EXPECT_EQ(R.ReadInteger("BarCount"), 5);
    ASSERT_TRUE(R.OpenKey("Settings", false));
    EXPECT_EQ(R.ReadInteger("Mine"), 1);
}

TEST_F(LayoutTest, ManagersShareAnIniFileAndARenamedManagerFindsNoLayout) {
    TDesign Other("OtherForm");
    Other.Manager->SetStyle(bmsStandard);
    Other.Bar("Tools")->SetVisible(false);
    ASSERT_TRUE(Other.Manager->SaveToIniFile(IniName).Ok());
    {
        TDesign Mine;
        Mine.Customize();
        ASSERT_TRUE(Mine.Manager->SaveToIniFile(IniName).Ok());
        // The standard style keeps no usage data.
        Mine.Manager->SetStyle(bmsStandard);
        ASSERT_TRUE(Mine.Manager->SaveToIniFile(IniName).Ok());
    }
    const std::string Text = ReadFile(IniName);
    EXPECT_NE(Text.find("[OtherForm.BarManager.Bar3]"), std::string::npos);
    EXPECT_NE(Text.find("[ToolbarsForm.BarManager.Bar3]"), std::string::npos);
    EXPECT_EQ(Text.find("UseCount"), std::string::npos);
    EXPECT_EQ(Text.find("MenusShowRecentItemsFirst"), std::string::npos);

    TDesign Again("OtherForm");
    EXPECT_TRUE(Again.Manager->LoadFromIniFile(IniName).Ok());
    EXPECT_FALSE(Again.Bar("Tools")->Visible());
    EXPECT_EQ(Again.Bar("Standard")->DockingStyle(), dsTop);

    TDesign Renamed;
    Renamed.Manager->SetName("Bars2");
    const std::string Designed = Describe(Renamed.Manager);
    EXPECT_TRUE(Renamed.Manager->LoadFromIniFile(IniName).Ok());
    EXPECT_EQ(Describe(Renamed.Manager), Designed);
    EXPECT_TRUE(Renamed.Manager->LoadFromIniFile("").Ok());
    EXPECT_TRUE(Renamed.Manager->SaveToRegistry("").Ok());
    EXPECT_FALSE(std::filesystem::exists(Store));
}

TEST_F(LayoutTest, AFailedSaveKeepsThePreviousLayoutAndSaysSo) {
    for (const TMedium& Medium : Media) {
        SCOPED_TRACE(Medium.Name);
        const std::string File = Medium.KeepsGlyphs ? Store : IniName;
        TDesign Design;
        ASSERT_TRUE(Medium.Save(Design.Manager, IniName).Ok());
        const std::string Designed = Describe(Design.Manager);
        const std::string Old = ReadFile(File);
        Design.Customize();
        TdxBarLayoutResult Result;
        {
            trestle_test::FileSizeLimit Limit(64);
            Result = Medium.Save(Design.Manager, IniName);
        }
        ASSERT_EQ(Result.Problems.size(), 1u);
        EXPECT_EQ(Result.Problems[0].Kind, lpkWriteFailed);
        EXPECT_TRUE(Result.Failed());
        EXPECT_EQ(ReadFile(File), Old);

        TDesign After;
        EXPECT_TRUE(Medium.Load(After.Manager, IniName).Ok());
        EXPECT_EQ(Describe(After.Manager), Designed);
    }
}

} // namespace
} // namespace bars::test
