// Customizing mode, the toolbars popup, the customizing popup, and the reset
// of toolbars and usage data from a form's design-time state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/categories.h"
#include "bars/customizing/designstate.h"
#include "bars/customizing/popups.h"
#include "bars/edititems.h"
#include "bars/links.h"
#include "bars/managerlist.h"
#include "bars/strings.h"
#include "bars/toolbar.h"
#include "classes/formtext.h"
#include "classes/typinfo.h"
#include "fixture.h"
#include "lookandfeel/text.h"

namespace bars {
namespace {

std::vector<std::string> Captions(TdxBarItemLinks* ALinks) {
    std::vector<std::string> Result;
    for (int I = 0; ALinks && I < ALinks->Count(); ++I)
        Result.push_back(ALinks->Items(I)->Item() ? ALinks->Items(I)->Item()->Caption() : "?");
    return Result;
}

class TEventLog : public cls::TObject {
public:
    void Shown(cls::TObject*) { Entries.push_back("show form"); }
    void Hidden(cls::TObject*) { Entries.push_back("hide form"); }
    void Before(TdxBarManager*, TdxBar* ABar) { Entries.push_back("before " + ABar->Caption()); }
    void After(TdxBarManager*, TdxBar* ABar) { Entries.push_back("after " + ABar->Caption()); }
    std::vector<std::string> Entries;
};

class CustomizingTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Form->SetBounds(50, 50, 500, 300);
        Bar->SetCaption("Standard");
        Bar->SetDockingStyle(dsTop);
        for (const char* Caption : {"One", "Two", "Three"})
            AddButton(Bar->ItemLinks(), Caption)->SetCategory(0);
        Format = Manager->Bars()->Add();
        Format->SetCaption("Format");
        Format->SetDockingStyle(dsTop);
        Format->SetRow(1);
        AddButton(Format->ItemLinks(), "Bold");
        Bar->SetVisible(true);
        testdrv::RunUntilIdle();
    }
    void RightClick(TdxBarItemLink* ALink) {
        testdrv::Click(ALink->GetBarControl()->Handle(), testdrv::CentreOf(ALink->ItemRect()),
                       testdrv::MouseButton::Right);
    }
    TdxBarItemLink* LinkOf(TdxBar* ABar, int AIndex) { return ABar->ItemLinks()->Items(AIndex); }

    TdxBar* Format = nullptr;
};

TEST_F(CustomizingTest, CustomizingModeSwitchesEveryBarAndMenu) {
    TEventLog Log;
    Manager->SetOnShowCustomizingForm(cls::TNotifyEvent(&Log, &TEventLog::Shown));
    Manager->SetOnHideCustomizingForm(cls::TNotifyEvent(&Log, &TEventLog::Hidden));
    auto* Tool = AddButton(Bar->ItemLinks(), "Tool");
    Tool->SetVisible(ivInCustomizing);
    Tool->SetCategory(0);
    AddButton(Popup->ItemLinks(), "Hidden")->SetVisible(ivInCustomizing);
    TdxBarItem* Two = LinkOf(Bar, 1)->Item();
    Two->SetEnabled(false);
    EXPECT_EQ(Bar->ItemLinks()->VisibleItemCount(), 3);

    Manager->SetIsCustomizing(true);
    Manager->SetIsCustomizing(true);
    EXPECT_TRUE(Manager->GetIsCustomizing());
    EXPECT_EQ(Bar->ItemLinks()->VisibleItemCount(), 4);
    EXPECT_NE(LinkOf(Bar, 3)->Control(), nullptr);
    EXPECT_EQ(Popup->ItemLinks()->VisibleItemCount(), 1);
    EXPECT_TRUE(Two->Enabled());
    EXPECT_EQ(Manager->GetCommandListItems(0).size(), 4u);

    Manager->SetIsCustomizing(false);
    EXPECT_EQ(Bar->ItemLinks()->VisibleItemCount(), 3);
    EXPECT_EQ(LinkOf(Bar, 3)->Control(), nullptr);
    EXPECT_FALSE(Two->Enabled());
    EXPECT_EQ(Manager->GetCommandListItems(0).size(), 3u);
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"show form", "hide form"}));
}

TEST_F(CustomizingTest, ToolbarsPopupListsTheBarsThatCanClose) {
    TdxBar* Main = Manager->Bars()->Add();
    Main->SetCaption("Main");
    Main->SetIsMainMenu(true);
    TdxBar* Locked = Manager->Bars()->Add();
    Locked->SetCaption("Locked");
    Locked->SetAllowClose(false);
    TdxBar* Secret = Manager->Bars()->Add();
    Secret->SetCaption("Secret");
    Secret->SetHidden(true);
    TdxBarItemLinks* Shown = nullptr;
    struct TShowLog : cls::TObject {
        TdxBarItemLinks** Links;
        void Show(TdxBarManager*, TdxBarItemLinks* ALinks) { *Links = ALinks; }
    } ShowLog;
    ShowLog.Links = &Shown;
    Manager->SetOnShowToolbarsPopup(TdxBarShowPopupEvent(&ShowLog, &TShowLog::Show));

    RightClick(LinkOf(Bar, 0));
    auto* Popup = dynamic_cast<TdxBarToolbarsPopup*>(GetActiveBarControl());
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(Shown, Popup->ItemLinks());
    EXPECT_EQ(
        Captions(Popup->ItemLinks()),
        (std::vector<std::string>{"Standard", "Format", lf::cxGetResourceString(dxSBAR_CUSTOMIZEITEM)}));
    EXPECT_TRUE(static_cast<TdxBarButton*>(Popup->ItemLinks()->Items(0)->Item())->Down());
    EXPECT_FALSE(static_cast<TdxBarButton*>(Popup->ItemLinks()->Items(1)->Item())->Down());
    EXPECT_TRUE(Popup->ItemLinks()->Items(2)->BeginGroup());
    EXPECT_EQ(Popup->ItemLinks()->Items(2)->Item()->Tag(), 1000);
    ClickItem("Format");
    EXPECT_TRUE(Format->Visible());
    EXPECT_EQ(GetActiveBarControl(), nullptr);

    // A bar that goes while the popup is open leaves a row that does nothing.
    RightClick(LinkOf(Bar, 0));
    delete Format;
    Format = nullptr;
    ClickItem("Format");
    EXPECT_TRUE(Bar->Visible());
    CloseActiveBarControl();

    // The customize entry switches customizing on, and is offered disabled
    // while the manager customizes; without CanCustomize there is none, and
    // a manager with nothing to list shows no popup.
    RightClick(LinkOf(Bar, 0));
    ClickItem(lf::cxGetResourceString(dxSBAR_CUSTOMIZEITEM));
    EXPECT_TRUE(Manager->IsCustomizing());
    ShowBarToolbarsPopup(nullptr, Manager, win::POINT{100, 100});
    auto* Again = dynamic_cast<TdxBarToolbarsPopup*>(GetActiveBarControl());
    ASSERT_NE(Again, nullptr);
    EXPECT_FALSE(Again->ItemLinks()->Items(1)->Item()->Enabled());
    CloseActiveBarControl();
    Manager->SetIsCustomizing(false);
    Manager->SetCanCustomize(false);
    Bar->SetAllowClose(false);
    ShowBarToolbarsPopup(nullptr, Manager, win::POINT{100, 100});
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(CustomizingTest, CustomizingPopupEditsTheLinkItWasOpenedOn) {
    Manager->SetIsCustomizing(true);
    testdrv::RunUntilIdle();
    RightClick(LinkOf(Bar, 1));
    TdxBarCustomizingPopup* Popup = GetBarCustomizingPopup();
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(GetBarCustomizingPopupLink(), LinkOf(Bar, 1));
    EXPECT_EQ(Popup->Offset(), 0);
    const std::vector<std::string> Expected = {"&Reset",
                                               "&Delete",
                                               "&Name:",
                                               "Defa&ult style",
                                               "&Text Only (Always)",
                                               "Text &Only (in Menus)",
                                               "Image &and Text",
                                               "Begin a &Group"};
    EXPECT_EQ(Captions(Popup->ItemLinks()), Expected);
    EXPECT_TRUE(
        static_cast<TdxBarButton*>(Popup->CommandItem(TdxBarCustomizingPopup::cmdDefaultStyle))->Down());
    EXPECT_TRUE(Popup->CommandItem(TdxBarCustomizingPopup::cmdBeginGroup)->Enabled());
    EXPECT_EQ(static_cast<TdxBarEdit*>(Popup->CommandItem(TdxBarCustomizingPopup::cmdCaption))->Text(),
              "Two");
    ClickItem("Image &and Text");
    EXPECT_EQ(LinkOf(Bar, 1)->UserPaintStyle(), psCaptionGlyph);
    EXPECT_EQ(GetBarCustomizingPopup(), nullptr);

    RightClick(LinkOf(Bar, 1));
    ClickItem("Begin a &Group");
    EXPECT_TRUE(LinkOf(Bar, 1)->BeginGroup());
    RightClick(LinkOf(Bar, 1));
    ClickItem("&Reset");
    EXPECT_TRUE(LinkOf(Bar, 1)->UserDefine().Empty());

    // The caption: a new one is the link's; an empty one is refused.
    RightClick(LinkOf(Bar, 1));
    auto* Edit =
        static_cast<TdxBarEdit*>(GetBarCustomizingPopup()->CommandItem(TdxBarCustomizingPopup::cmdCaption));
    Edit->SetText("Second");
    EXPECT_EQ(LinkOf(Bar, 1)->GetCaption(), "Second");
    EXPECT_EQ(LinkOf(Bar, 1)->Item()->Caption(), "Two");
    const auto& Boxes = testdrv::AnswerMessageBoxes({win::IDOK});
    Edit->SetText("");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].text, "A command name cannot be blank. Please enter a name.");
    EXPECT_EQ(Boxes[0].type, win::MB_ICONERROR);
    EXPECT_EQ(GetBarCustomizingPopup(), nullptr);
    EXPECT_EQ(LinkOf(Bar, 1)->GetCaption(), "Second");

    // The first link cannot begin a group; a link can be deleted.
    RightClick(LinkOf(Bar, 0));
    EXPECT_FALSE(GetBarCustomizingPopup()->CommandItem(TdxBarCustomizingPopup::cmdBeginGroup)->Enabled());
    ClickItem("&Delete");
    EXPECT_EQ(Captions(Bar->ItemLinks()), (std::vector<std::string>{"Two", "Three"}));
    EXPECT_EQ(GetBarCustomizingPopupLink(), nullptr);
}

// A form in a form designer: its manager is in design mode.
class TDesignedForm : public cls::TForm {
    TRESTLE_CLASS(TDesignedForm, cls::TForm)
public:
    explicit TDesignedForm(cls::TComponent* AOwner) : cls::TForm(AOwner) { SetDesigning(true); }
};

TEST_F(CustomizingTest, AtDesignTimeThePopupAddsItemsAndDeletesBars) {
    auto* Designed = new TDesignedForm(nullptr);
    Designed->SetBounds(100, 100, 400, 300);
    auto* M = new TdxBarManager(Designed);
    M->SetStyle(bmsStandard);
    TdxBar* Tools = M->Bars()->Add();
    Tools->SetCaption("Tools");
    auto* Sub = new TdxBarSubItem(Designed);
    Sub->SetCaption("Sub");
    auto* Cut = new TdxBarButton(Designed);
    Cut->SetCaption("Cut");
    Tools->ItemLinks()->Add(Cut);
    Tools->ItemLinks()->Add(Sub);
    Tools->SetVisible(true);
    Designed->Show();
    testdrv::RunUntilIdle();
    ASSERT_TRUE(M->GetIsCustomizing());
    const std::string Add[] = {"Add &SubItem", "Add &Button", "Add &Item"};

    struct TCase {
        const char* Name;
        TdxBarItemLinks* Links;
        TdxBarItemLink* Link;
        std::vector<std::string> Captions;
        int Offset;
    };
    std::vector<std::string> OnLink = {Add[0],
                                       Add[1],
                                       Add[2],
                                       "&Reset",
                                       "&Delete",
                                       "&Caption:",
                                       "Defa&ult style",
                                       "&Text Only (Always)",
                                       "Text &Only (in Menus)",
                                       "Image &and Text",
                                       "Begin a &Group",
                                       "&Visible"};
    const TCase Cases[] = {
        {"empty place of a toolbar", Tools->ItemLinks(), nullptr, {Add[0], Add[1], Add[2], "Delete Bar"}, 4},
        {"empty place of a submenu", Sub->ItemLinks(), nullptr, {Add[0], Add[1], Add[2]}, 3},
        {"a link", Tools->ItemLinks(), Tools->ItemLinks()->Items(0), OnLink, 3},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TdxBarCustomizingPopup* Popup = TdxBarCustomizingPopup::CreateForLink(M, C.Links, C.Link);
        EXPECT_EQ(Captions(Popup->ItemLinks()), C.Captions);
        EXPECT_EQ(Popup->Offset(), C.Offset);
        auto* Classes = static_cast<TdxBarSubItem*>(Popup->CommandItem(TdxBarCustomizingPopup::cmdAddItem));
        EXPECT_EQ(Classes->ItemLinks()->Count(), GetVisibleItemClassCount());
        EXPECT_EQ(Classes->ItemLinks()->Items(0)->Item()->Caption(), GetVisibleItemClass(0)->ClassName());
        delete Popup;
    }

    // "Add &Button" on the first link adds a new button right after it.
    TdxBarCustomizingPopup* Popup =
        TdxBarCustomizingPopup::CreateForLink(M, Tools->ItemLinks(), Tools->ItemLinks()->Items(0));
    Popup->CommandItem(TdxBarCustomizingPopup::cmdAddButton)->Click();
    ASSERT_EQ(Tools->ItemLinks()->Count(), 3);
    TdxBarItem* New = Tools->ItemLinks()->Items(1)->Item();
    EXPECT_EQ(New->Caption(), "New Item");
    EXPECT_EQ(New->Name(), "dxBarButton1");
    EXPECT_EQ(New->Category(), 0);
    EXPECT_EQ(New->Owner(), Designed);
    delete Popup;

    // "Delete Bar" on an empty place of the toolbar.
    Popup = TdxBarCustomizingPopup::CreateForLink(M, Tools->ItemLinks(), nullptr);
    Popup->CommandItem(TdxBarCustomizingPopup::cmdDeleteBar)->Click();
    EXPECT_EQ(M->Bars()->Count(), 0);
    delete Popup;
    delete Designed;
}

// --- The design-time state ---

TEST(DesignTimeText, TheManagerBlockWithoutEventsAndTheFormSize) {
    const std::string Form = "object F: TF\n"
                             "  Left = 3\n"
                             "  Caption = 'x'\n"
                             "  ClientHeight = 200\n"
                             "  ClientWidth = 300\n"
                             "  Height = 999\n"
                             "  object BarManager1: TdxBarManager\n"
                             "    OnClickItem = Clicked\n"
                             "  end\n"
                             "  object BarManager: TdxBarManager\n"
                             "    Bars = <\n"
                             "      item\n"
                             "        Caption = 'end'\n"
                             "        OneOnRow = True\n"
                             "      end>\n"
                             "    OnClickItem = Clicked\n"
                             "    object B: TdxBarButton\n"
                             "      OnClick = Clicked\n"
                             "    end\n"
                             "  end\n"
                             "end\n";
    EXPECT_EQ(BuildDesignTimeText(Form, "BarManager", "TdxBarManager"), "object TempForm: TdxBarTempForm\n"
                                                                        "  ClientHeight = 200\n"
                                                                        "  ClientWidth = 300\n"
                                                                        "  object BarManager: TdxBarManager\n"
                                                                        "    Bars = <\n"
                                                                        "      item\n"
                                                                        "        Caption = 'end'\n"
                                                                        "        OneOnRow = True\n"
                                                                        "      end>\n"
                                                                        "    object B: TdxBarButton\n"
                                                                        "    end\n"
                                                                        "  end\n"
                                                                        "end\n");
    EXPECT_EQ(BuildDesignTimeText(Form, "Manager", "TdxBarManager"), "");
    EXPECT_EQ(BuildDesignTimeText("object F: TF\n  object M: TdxBarManager\n", "M", "TdxBarManager"), "");
}

// A form whose class has a form resource, as a program's main form.
class TResetForm : public cls::TForm {
    TRESTLE_CLASS(TResetForm, cls::TForm)
public:
    using cls::TForm::TForm;
    void GetPublishedMethods(cls::TPublishedMethods& AList) override {
        inherited::GetPublishedMethods(AList);
        AList.Add("Clicked", TdxBarClickItemEvent(this, &TResetForm::Clicked));
    }
    void Clicked(TdxBarManager*, TdxBarItem*) {}
};

class ResetTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        static const bool Added = win::AddResource(nullptr, win::RT_RCDATA, "TResetForm", nullptr, nullptr,
                                                   cls::ObjectTextToBinary(R"(object ResetForm: TResetForm
  ClientHeight = 200
  ClientWidth = 400
  object BarManager: TdxBarManager
    Bars = <
      item
        Caption = 'Standard'
        DockingStyle = dsTop
        ItemLinks = <
          item
            Item = btnOne
          end
          item
            Item = mnuFile
          end>
        Visible = True
      end>
    Style = bmsOffice11
    OnClickItem = Clicked
    object btnOne: TdxBarButton
      Caption = 'One'
      Category = 0
    end
    object btnTwo: TdxBarButton
      Caption = 'Two'
      Category = 0
    end
    object mnuFile: TdxBarSubItem
      Caption = 'File'
      Category = 0
      ItemLinks = <
        item
          Item = btnTwo
        end>
    end
  end
end
)")) != 0;
        ASSERT_TRUE(Added);
        Form = TResetForm::ClassInfo().Create(nullptr);
        Manager = static_cast<TdxBarManager*>(Form->FindComponent("BarManager"));
        Standard = Manager->Bars()->Items(0);
    }
    void TearDown() override {
        delete Form;
        cls::DoneApplication();
        WinTest::TearDown();
    }
    TdxBarSubItem* File() const { return static_cast<TdxBarSubItem*>(Form->FindComponent("mnuFile")); }

    TResetForm* Form = nullptr;
    TdxBarManager* Manager = nullptr;
    TdxBar* Standard = nullptr;
};

TEST_F(ResetTest, AToolbarGoesBackToTheFormsDesign) {
    EXPECT_TRUE(Manager->CanReset());
    EXPECT_TRUE(Standard->CanReset());
    TEventLog Log;
    Manager->SetOnBarBeforeReset(TdxBarEvent(&Log, &TEventLog::Before));
    Manager->SetOnBarAfterReset(TdxBarEvent(&Log, &TEventLog::After));
    auto* Two = static_cast<TdxBarItem*>(Form->FindComponent("btnTwo"));
    delete Standard->ItemLinks()->Items(0);
    Standard->ItemLinks()->Add(Two)->SetUserCaption("Mine");
    File()->ItemLinks()->Clear();
    const int Forms = cls::Screen->FormCount();

    const auto& Boxes = testdrv::AnswerMessageBoxes({win::IDCANCEL, win::IDOK});
    Standard->ResetWithConfirmation();
    EXPECT_EQ(Captions(Standard->ItemLinks()), (std::vector<std::string>{"File", "Two"}));
    Standard->ResetWithConfirmation();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Captions(Standard->ItemLinks()), (std::vector<std::string>{"One", "File"}));
    EXPECT_EQ(Standard->ItemLinks()->Items(0)->Item(), Form->FindComponent("btnOne"));
    EXPECT_EQ(Captions(File()->ItemLinks()), std::vector<std::string>{"Two"});
    EXPECT_EQ(File()->ItemLinks()->Items(0)->Item(), Two);
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"before Standard", "after Standard"}));
    EXPECT_EQ(cls::Screen->FormCount(), Forms);

    // The quick-customization menu offers the reset for this form's bar.
    Manager->SetUseFullReset(true);
    Standard->SetCaption("Renamed");
    Standard->Reset();
    EXPECT_EQ(Standard->Caption(), "Standard");
    EXPECT_TRUE(Standard->Visible());
}

TEST_F(ResetTest, TheDesignTimeCopyHasNoHandlersAndStoresNoLayout) {
    Manager->SetStoreInIniFile(true);
    const std::unique_ptr<cls::TForm> Copy = LoadDesignTimeBarState(Manager);
    ASSERT_NE(Copy, nullptr);
    auto* Stored = dynamic_cast<TdxBarManager*>(Copy->FindComponent("BarManager"));
    ASSERT_NE(Stored, nullptr);
    EXPECT_FALSE(Stored->OnClickItem().Assigned());
    EXPECT_TRUE(Manager->OnClickItem().Assigned());
    EXPECT_FALSE(Stored->StoreInIniFile());
    EXPECT_EQ(Stored->Bars()->Count(), 1);
    EXPECT_EQ(Copy->ClientWidth(), 400);

    // A form built in code has no design-time state: nothing is reset.
    auto* Plain = new cls::TForm(nullptr);
    auto* M = new TdxBarManager(Plain);
    TdxBar* B = M->Bars()->Add();
    B->SetPredefined(true);
    EXPECT_EQ(LoadDesignTimeBarState(M), nullptr);
    B->ItemLinks()->Add(new TdxBarButton(Plain));
    B->Reset();
    EXPECT_EQ(B->ItemLinks()->Count(), 1);
    delete Plain;
}

TEST_F(ResetTest, UsageDataGoesBackAfterConfirmation) {
    TdxBarItemLink* One = Standard->ItemLinks()->Items(0);
    TdxBarItemLink* InFile = File()->ItemLinks()->Items(0);
    One->SetMostRecentlyUsed(false);
    InFile->SetMostRecentlyUsed(false);
    const auto& Boxes = testdrv::AnswerMessageBoxes({win::IDNO, win::IDYES});
    Manager->ResetUsageDataWithConfirmation();
    EXPECT_FALSE(One->MostRecentlyUsed());
    Manager->ResetUsageDataWithConfirmation();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].text, lf::cxGetResourceString(dxSBAR_CONFIRMRESETUSAGEDATA));
    EXPECT_EQ(Boxes[0].type, win::MB_YESNO | win::MB_ICONWARNING | win::MB_DEFBUTTON2);
    EXPECT_TRUE(One->MostRecentlyUsed());
    EXPECT_TRUE(InFile->MostRecentlyUsed());
}

} // namespace
} // namespace bars
