#include "fixture.h"

#include <gtest/gtest.h>

#include "bars/mdi.h"
#include "bars/registry.h"
#include "bars/toolbar.h"
#include "classes/shortcuts.h"
#include "gfx/gdi.h"

namespace {

using namespace bars;
using namespace bars::test;
using testdrv::RunUntilIdle;

// An MDI frame with a main menu bar, and children with managers and main
// menu bars of their own.
class MdiTest : public testdrv::WinTest {
protected:
    struct TChild {
        cls::TForm* Form = nullptr;
        TdxBarManager* Manager = nullptr;
    };

    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        cls::Application->CreateForm(cls::TForm::ClassInfo(), Frame);
        Frame->SetFormStyle(cls::fsMDIForm);
        Frame->SetBounds(20, 20, 600, 400);
        Manager = new TdxBarManager(Frame);
        MainMenu = AddMenuBar(Manager, Frame, {"&File", "&Window"});
        Manager->Loaded();
        Frame->Show();
        RunUntilIdle();
    }
    void TearDown() override {
        cls::DoneApplication();
        WinTest::TearDown();
    }

    static TdxBar* AddMenuBar(TdxBarManager* AManager, cls::TForm* AForm,
                              std::vector<std::string> ACaptions) {
        TdxBar* Bar = AManager->Bars()->Add();
        Bar->SetIsMainMenu(true);
        for (const std::string& Caption : ACaptions) {
            auto* Sub = new TdxBarSubItem(AForm);
            Sub->SetCaption(Caption);
            Bar->ItemLinks()->Add(Sub);
        }
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        return Bar;
    }
    TChild NewChild(const std::string& ACaption, bool ASystemMenu = true) {
        TChild Child;
        Child.Form = new cls::TForm(cls::Application);
        Child.Form->SetFormStyle(cls::fsMDIChild);
        if (!ASystemMenu) Child.Form->SetBorderIcons({});
        Child.Manager = new TdxBarManager(Child.Form);
        AddMenuBar(Child.Manager, Child.Form, {ACaption});
        Child.Manager->Loaded();
        Child.Form->Show();
        RunUntilIdle();
        return Child;
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> Result;
        for (int I = 0; I < MainMenu->ItemLinks()->Count(); ++I) {
            TdxBarItem* Item = MainMenu->ItemLinks()->Items(I)->Item();
            Result.push_back(dynamic_cast<TSystemMenuSubItem*>(Item) ? "[icon]" : Item->Caption());
        }
        return Result;
    }
    TdxBarControl* MenuWindow() const { return MainMenu->Control(); }

    cls::TForm* Frame = nullptr;
    TdxBarManager* Manager = nullptr;
    TdxBar* MainMenu = nullptr;
};

using TNames = std::vector<std::string>;

TEST_F(MdiTest, AMaximizedChildShowsItsIconButtonsAndMergedMenu) {
    TChild A = NewChild("&Edit");
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window"}));
    EXPECT_FALSE(MenuWindow()->HasMDIButtons());
    EXPECT_TRUE(A.Manager->MainMenuBar()->Visible());

    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Edit"}));
    EXPECT_FALSE(A.Manager->MainMenuBar()->Visible());
    EXPECT_TRUE(MenuWindow()->HasMDIButtons());
    EXPECT_EQ(Manager->GetActiveMDIChildHandle(), A.Form->Handle());
    // Minimize and close follow the child's system menu; restore always works.
    EXPECT_TRUE(MenuWindow()->IsMDIButtonEnabled(0));
    EXPECT_TRUE(MenuWindow()->IsMDIButtonEnabled(1));
    win::EnableMenuItem(win::GetSystemMenu(A.Form->Handle(), win::FALSE), win::SC_CLOSE, win::MF_GRAYED);
    EXPECT_FALSE(MenuWindow()->IsMDIButtonEnabled(2));

    // The restore button acts on the child: entry and merged menu go.
    const cls::TRect R = MenuWindow()->GetMDIButtonRect(1);
    testdrv::Click(MenuWindow()->Handle(), testdrv::CentreOf(R));
    EXPECT_EQ(A.Form->WindowState(), cls::wsNormal);
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window"}));
    EXPECT_TRUE(A.Manager->MainMenuBar()->Visible());
    EXPECT_FALSE(MenuWindow()->HasMDIButtons());
}

TEST_F(MdiTest, AnotherMaximizedChildReplacesTheEntryAndTheMergedItems) {
    TChild A = NewChild("&Edit");
    TChild B = NewChild("&Draw");
    B.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Draw"}));
    A.Form->Show();
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Edit"}));
    EXPECT_EQ(static_cast<TSystemMenuSubItem*>(MainMenu->ItemLinks()->Items(0)->Item())->ChildWnd(),
              A.Form->Handle());
    EXPECT_TRUE(B.Manager->MainMenuBar()->Visible());

    // Freeing the merged child's manager takes its links along.
    delete A.Manager;
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window"}));
}

TEST_F(MdiTest, AChildWithoutSystemMenuGetsNoEntry) {
    TChild A = NewChild("&Edit", false);
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window", "&Edit"}));
    EXPECT_FALSE(MenuWindow()->HasMDIButtons());
}

TEST_F(MdiTest, MergingFollowsAlwaysMergeAndOnMenuMerge) {
    struct TMerges : cls::TObject {
        std::vector<std::pair<TdxBarManager*, bool>> Calls;
        void Merge(TdxBarManager*, TdxBarManager* AChild, bool AAdd) { Calls.emplace_back(AChild, AAdd); }
    } Merges;
    Manager->SetAlwaysMerge(true);
    TChild A = NewChild("&Edit");
    // Merged without being maximized; maximizing adds only the icon.
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window", "&Edit"}));
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Edit"}));
    A.Form->SetWindowState(cls::wsNormal);
    RunUntilIdle();
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window", "&Edit"}));

    // A handler merges instead; the deactivated child's menu stays hidden.
    Manager->SetOnMenuMerge(TdxBarMenuMergeEvent(&Merges, &TMerges::Merge));
    TChild B = NewChild("&Draw");
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window"}));
    EXPECT_FALSE(A.Manager->MainMenuBar()->Visible());
    EXPECT_FALSE(B.Manager->MainMenuBar()->Visible());
    ASSERT_EQ(Merges.Calls.size(), 2u);
    EXPECT_EQ(Merges.Calls[0], std::make_pair(static_cast<TdxBarManager*>(A.Manager), false));
    EXPECT_EQ(Merges.Calls[1], std::make_pair(static_cast<TdxBarManager*>(B.Manager), true));
}

TEST_F(MdiTest, TheIconOpensTheChildsRealSystemMenu) {
    TChild A = NewChild("&Edit");
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    win::EnableMenuItem(win::GetSystemMenu(A.Form->Handle(), win::FALSE), win::SC_SIZE, win::MF_GRAYED);
    TdxBarItemLink* Icon = MainMenu->ItemLinks()->Items(0);
    testdrv::Click(MenuWindow()->Handle(), testdrv::CentreOf(Icon->ItemRect()));
    TCustomdxBarControl* Menu = GetActiveBarControl();
    ASSERT_TRUE(Menu && Menu->IsMenuWindow());
    std::vector<std::string> Rows;
    for (int I = 0; I < Menu->ItemLinks()->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Menu->ItemLinks()->VisibleItems(I);
        Rows.push_back((Link->GetBeginGroup() ? "|" : "") + Link->Item()->Caption() +
                       (Link->Item()->Enabled() ? "" : " (off)") +
                       (Link->Item()->Glyph()->Empty() ? "" : " *"));
    }
    EXPECT_EQ(Rows, (TNames{"&Restore *", "&Move (off)", "&Size (off)", "Mi&nimize *", "Ma&ximize (off) *",
                            "|&Close *"}));
    EXPECT_EQ(Menu->ItemLinks()->VisibleItems(5)->Item()->ShortCut(), cls::TextToShortCut("Ctrl+F4"));

    // Restore from the menu: the entry and its internal items go.
    TdxBarItemLink* Restore = Menu->ItemLinks()->VisibleItems(0);
    testdrv::Click(Menu->Handle(), testdrv::CentreOf(Restore->ItemRect()));
    EXPECT_EQ(A.Form->WindowState(), cls::wsNormal);
    EXPECT_EQ(Captions(), (TNames{"&File", "&Window"}));
    FreeUnusedInternalItems();
    EXPECT_EQ(InternalItemCount(), 0);
}

TEST_F(MdiTest, AChildDestroyedWithItsSystemMenuOpenClosesItFirst) {
    TChild A = NewChild("&Edit");
    TChild B = NewChild("&Draw");
    B.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    testdrv::Click(MenuWindow()->Handle(), testdrv::CentreOf(MainMenu->ItemLinks()->Items(0)->ItemRect()));
    ASSERT_NE(GetActiveBarControl(), nullptr);
    delete B.Form;
    RunUntilIdle();
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Edit"}));
    // Only the new entry stays among the internal items.
    FreeUnusedInternalItems();
    EXPECT_EQ(InternalItemCount(), 1);
    // The double click runs the default command, Close: the child minimizes.
    const cls::TRect R = MainMenu->ItemLinks()->Items(0)->ItemRect();
    win::SendMessage(MenuWindow()->Handle(), win::WM_LBUTTONDBLCLK, 0,
                     win::PointToLParam(testdrv::CentreOf(R)));
    RunUntilIdle();
    EXPECT_EQ(A.Form->WindowState(), cls::wsMinimized);
}

TEST_F(MdiTest, AThousandActivationsLeaveNothingBehind) {
    NewChild("&Edit");
    TChild B = NewChild("&Draw");
    B.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    const int Items = Manager->ItemCount();
    const std::size_t Windows = win::GetChildWindows(Frame->ClientHandle()).size();
    const win::DWORD Objects = gfx::GetGdiObjectCount();
    for (int I = 0; I < 1000; ++I) {
        win::SendMessage(Frame->ClientHandle(), win::WM_MDINEXT, 0, 0);
        RunUntilIdle();
    }
    FreeUnusedInternalItems();
    EXPECT_EQ(Manager->ItemCount(), Items);
    EXPECT_EQ(win::GetChildWindows(Frame->ClientHandle()).size(), Windows);
    EXPECT_EQ(gfx::GetGdiObjectCount(), Objects);
    EXPECT_EQ(InternalItemCount(), 1);
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&File", "&Window", "&Draw"}));
}

} // namespace

namespace {

TEST_F(MdiTest, TheCloseButtonClosesOneChildAfterAnother) {
    TChild A = NewChild("&Edit");
    TChild B = NewChild("&Draw");
    B.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    const cls::TRect R = MenuWindow()->GetMDIButtonRect(2);
    testdrv::Click(MenuWindow()->Handle(), testdrv::CentreOf(R));
    EXPECT_EQ(B.Form->WindowState(), cls::wsMinimized);
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    testdrv::Click(MenuWindow()->Handle(), testdrv::CentreOf(MenuWindow()->GetMDIButtonRect(2)));
    EXPECT_EQ(A.Form->WindowState(), cls::wsMinimized);
    EXPECT_EQ(MainMenu->DockingStyle(), dsTop);
}

} // namespace

namespace {

TEST_F(MdiTest, AltReachesTheChildsOwnMenuFirstAndTheFramesWhenMerged) {
    TChild A = NewChild("&Edit");
    const auto PressAlt = [] {
        testdrv::KeyDown(win::VK_MENU);
        testdrv::KeyUp(win::VK_MENU);
    };
    PressAlt();
    TCustomdxBarControl* Active = GetActiveBarControl();
    EXPECT_EQ(Active, A.Manager->MainMenuBar()->Control());
    if (Active) Active->DeactivateAll();
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    PressAlt();
    Active = GetActiveBarControl();
    EXPECT_EQ(Active, MenuWindow());
    if (Active) Active->DeactivateAll();
}

TEST_F(MdiTest, AReassignedMainMenuKeepsTheSystemMenuEntry) {
    TChild A = NewChild("&Edit");
    A.Form->SetWindowState(cls::wsMaximized);
    RunUntilIdle();
    TdxBarItemLinks Stored(nullptr, Manager);
    Stored.Add(MainMenu->ItemLinks()->Items(2)->Item());
    MainMenu->ItemLinks()->Assign(&Stored);
    EXPECT_EQ(Captions(), (TNames{"[icon]", "&Window"}));
}

} // namespace
