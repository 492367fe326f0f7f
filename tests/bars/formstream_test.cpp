// The toolbar library in form streams: a form with a manager, bars, links,
// categories, groups, items and popup menus written and read back.
#include <gtest/gtest.h>

#include <string>

#include "bars/categories.h"
#include "bars/comboitems.h"
#include "bars/containeritems.h"
#include "bars/dockcontrol.h"
#include "bars/edititems.h"
#include "bars/links.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/streams.h"
#include "fixture.h"
#include "support/expect.h"

namespace bars {
namespace {

std::string Written(cls::TComponent* AForm) {
    cls::TStringStream S;
    cls::WriteComponent(&S, AForm);
    return S.DataString();
}

cls::TForm* ReadForm(const std::string& ABinary) {
    auto* Form = new cls::TForm(nullptr);
    cls::TStringStream S(ABinary);
    try {
        cls::ReadComponent(&S, Form);
    } catch (...) {
        delete Form;
        throw;
    }
    return Form;
}

class BarsFormStreamTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
    }
    void TearDown() override {
        cls::DoneApplication();
        WinTest::TearDown();
    }

    // A designed form: a manager with two categories, two bars (one docked in
    // a dock site of the form), items of every kind, a group and a popup menu.
    cls::TForm* MakeForm() {
        auto* Form = new cls::TForm(nullptr);
        Form->SetName("Designed");
        auto* Dock = new TdxBarDockControl(Form);
        Dock->SetName("Dock");
        Dock->SetParent(Form);
        auto* Manager = new TdxBarManager(Form);
        Manager->SetName("Manager");
        Manager->SetStyle(bmsOffice11);
        Manager->SetMenuAnimations(maFade);
        Manager->SetNotDocking(TdxBarDockingStyles{dsLeft});
        Manager->Categories()->Add("Edit");
        Manager->SetCategoryItemsVisible(1, ivInCustomizing);
        Dock->SetBarManager(Manager);
        auto Button = [&](const char* AName, const char* ACaption, int ACategory) {
            auto* B = new TdxBarButton(Form);
            B->SetName(AName);
            B->SetCaption(ACaption);
            B->SetCategory(ACategory);
            return B;
        };
        TdxBarButton* Cut = Button("btnCut", "Cu&t", 1);
        Cut->SetButtonStyle(bsChecked);
        Cut->SetGroupIndex(3);
        Cut->SetDown(true);
        Cut->SetShortCut(0x4058);
        TdxBarButton* Copy = Button("btnCopy", "&Copy", 1);
        Copy->SetPaintStyle(psCaptionGlyph);
        auto* Menu = new TdxBarPopupMenu(Form);
        Menu->SetName("Menu");
        Menu->ItemLinks()->Add(Copy);
        Copy->SetButtonStyle(bsDropDown);
        Copy->SetDropDownMenu(Menu);
        auto* Edit = new TdxBarSubItem(Form);
        Edit->SetName("mnuEdit");
        Edit->SetCaption("&Edit");
        Edit->SetCategory(0);
        Edit->ItemLinks()->Add(Cut);
        Edit->ItemLinks()->Add(Copy)->SetBeginGroup(true);
        auto* Combo = new TdxBarCombo(Form);
        Combo->SetName("cbSize");
        Combo->SetCategory(0);
        Combo->Items()->Add("10");
        Combo->Items()->Add("12");
        Combo->SetItemIndex(1);
        Combo->SetWidth(60);
        auto* List = new TdxBarListItem(Form);
        List->SetName("lstCase");
        List->SetCategory(0);
        List->Items()->Add("lower");
        List->SetShowCheck(true);
        auto* Loose = Button("btnLoose", "Loose", -1);
        TdxBarGroup* Group = Manager->AddGroup();
        Group->SetName("Clipboard");
        Group->Add(Cut);
        Group->Add(Copy);

        TdxBar* Main = Manager->Bars()->Add();
        Main->SetCaption("Main");
        Main->SetIsMainMenu(true);
        Main->ItemLinks()->Add(Edit);
        TdxBar* Tools = Manager->Bars()->Add();
        Tools->SetCaption("Tools");
        Tools->SetDockControl(Dock);
        Tools->ItemLinks()->Add(Cut);
        TdxBarItemLink* Link = Tools->ItemLinks()->Add(Copy);
        Link->SetUserCaption("Copy it");
        Link->SetUserPaintStyle(psCaption);
        Link->SetBeginGroup(true);
        Link->SetMostRecentlyUsed(false);
        Tools->ItemLinks()->Add(Combo);
        Tools->ItemLinks()->Add(Loose)->SetVisible(false);
        Manager->Loaded();
        return Form;
    }
};

TEST_F(BarsFormStreamTest, AFormWithBarsReadsBackEqual) {
    cls::TForm* Source = MakeForm();
    const std::string First = Written(Source);
    const std::string Text = cls::ObjectBinaryToText(First);
    EXPECT_NE(Text.find("    Style = bmsOffice11\n"), std::string::npos);
    EXPECT_NE(Text.find("            UserDefine = [udCaption, udPaintStyle]\n"), std::string::npos);
    EXPECT_NE(Text.find("    object btnCut: TdxBarButton\n"), std::string::npos);
    EXPECT_NE(Text.find("  object btnLoose: TdxBarButton\n"), std::string::npos);
    EXPECT_NE(Text.find("      Items = (\n        'btnCut'\n        'btnCopy')\n"), std::string::npos);
    delete Source;

    cls::TForm* Read = ReadForm(First);
    auto* Manager = static_cast<TdxBarManager*>(Read->FindComponent("Manager"));
    ASSERT_NE(Manager, nullptr);
    EXPECT_TRUE(Manager->CanReset());
    EXPECT_EQ(Manager->Style(), bmsOffice11);
    EXPECT_EQ(Manager->NotDocking(), TdxBarDockingStyles{dsLeft});
    EXPECT_EQ(Manager->CategoryItemsVisible(1), ivInCustomizing);
    ASSERT_EQ(Manager->Bars()->Count(), 2);
    TdxBar* Tools = Manager->Bars()->Items(1);
    EXPECT_TRUE(Tools->Predefined());
    EXPECT_EQ(Tools->DockControl(), Read->FindComponent("Dock"));
    EXPECT_TRUE(Manager->Bars()->Items(0)->IsMainMenu());
    ASSERT_EQ(Tools->ItemLinks()->Count(), 4);
    TdxBarItemLink* Link = Tools->ItemLinks()->Items(1);
    EXPECT_EQ(Link->Item(), Read->FindComponent("btnCopy"));
    EXPECT_EQ(Link->GetCaption(), "Copy it");
    EXPECT_EQ(Link->GetPaintStyle(), psCaption);
    EXPECT_FALSE(Link->MostRecentlyUsed());
    EXPECT_FALSE(Tools->ItemLinks()->Items(3)->Visible());
    auto* Cut = static_cast<TdxBarButton*>(Read->FindComponent("btnCut"));
    EXPECT_TRUE(Cut->Down());
    EXPECT_EQ(Cut->GroupIndex(), 3);
    EXPECT_EQ(static_cast<TdxBarButton*>(Read->FindComponent("btnCopy"))->DropDownMenu(),
              Read->FindComponent("Menu"));
    EXPECT_EQ(static_cast<TdxBarCombo*>(Read->FindComponent("cbSize"))->Text(), "12");
    ASSERT_EQ(Manager->GroupCount(), 1);
    EXPECT_EQ(Manager->GetGroup(0)->Count(), 2);
    // Reading settles the layout (rows and places as the dock sites lay the
    // bars out); from then on a form writes what it was read from.
    const std::string Second = Written(Read);
    delete Read;
    cls::TForm* Again = ReadForm(Second);
    EXPECT_EQ(Written(Again), Second);
    delete Again;
}

TEST_F(BarsFormStreamTest, AManagerWithoutCategoriesGetsDefaultWhenLoaded) {
    cls::TForm* Form = ReadForm(cls::ObjectTextToBinary("object F: TForm\n"
                                                        "  object M: TdxBarManager\n"
                                                        "    object B: TdxBarButton\n"
                                                        "      Caption = 'b'\n"
                                                        "      Category = 0\n"
                                                        "    end\n"
                                                        "  end\n"
                                                        "end\n"));
    auto* Manager = static_cast<TdxBarManager*>(Form->FindComponent("M"));
    ASSERT_EQ(Manager->Categories()->Count(), 1);
    EXPECT_EQ(Manager->Categories()->Strings(0), "Default");
    EXPECT_EQ(Manager->GetItemsByCategory(0).size(), 1u);
    delete Form;
}

TEST_F(BarsFormStreamTest, BadLinksAndManagersRaiseAndLeaveNothing) {
    struct Case {
        const char* Text;
        const char* Message;
    };
    const Case Cases[] = {
        // A link to nothing stays without an item; one that would make a sub
        // item hold itself is refused.
        {"object S: TdxBarSubItem\n  Category = 0\n  ItemLinks = <\n    item\n      Item = S\n    end>\nend",
         "You cannot create recursive subitems"},
        {"object M2: TdxBarManager\nend", "A Form should contain only a single TdxBarManager"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        const std::string Text =
            std::string("object F: TForm\n  object M: TdxBarManager\n") + C.Text + "\nend\nend\n";
        try {
            delete ReadForm(cls::ObjectTextToBinary(Text));
            ADD_FAILURE() << "no error";
        } catch (const cls::Exception& E) {
            EXPECT_NE(E.Message().find(C.Message), std::string::npos) << E.Message();
        }
    }
    cls::TForm* Form = ReadForm(cls::ObjectTextToBinary(
        "object F: TForm\n  object M: TdxBarManager\n    Bars = <\n      item\n        ItemLinks = <\n"
        "          item\n            Item = nil\n          end\n          item\n            Item = Missing\n"
        "          end>\n      end>\n  end\nend\n"));
    auto* Manager = static_cast<TdxBarManager*>(Form->FindComponent("M"));
    ASSERT_EQ(Manager->Bars()->Items(0)->ItemLinks()->Count(), 2);
    EXPECT_EQ(Manager->Bars()->Items(0)->ItemLinks()->Items(1)->Item(), nullptr);
    delete Form;
}

} // namespace
} // namespace bars
