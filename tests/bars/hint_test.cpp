// Item hints: the delay, the grace period and the time shown, which control
// gets a hint and with what text, and the hint window's place and look.
#include "bars/hint.h"

#include <gtest/gtest.h>

#include <string>

#include "bars/managerlist.h"
#include "classes/actions.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::Advance;
using testdrv::RunUntilIdle;

class HintTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        Open = AddButton(Links, "&Открыть");
        Close = AddButton(Links, "&Закрыть");
        Quit = AddButton(Links, "В&ыход", true);
        Hint = GetBarHintWindow();
        ASSERT_NE(Hint, nullptr);
    }

    bool Showing() const { return Hint->IsShowing(); }
    std::string Shown() const { return Showing() ? Hint->Text() : std::string(); }
    cls::TRect HintRect() const {
        cls::TRect R;
        win::GetWindowRect(Hint->Handle(), &R);
        return R;
    }
    // Moves the mouse off the menu: its selection goes, and with it the hint.
    void Leave() { testdrv::MoveTo(Form->Handle(), win::POINT{5, 5}); }

    TdxBarItemLinks* Links = nullptr;
    TdxBarButton* Open = nullptr;
    TdxBarButton* Close = nullptr;
    TdxBarButton* Quit = nullptr;
    TdxBarHintWindow* Hint = nullptr;
};

TEST_F(HintTest, AFirstHintWaitsASecondStaysTenAndTheNextFollowsAtOnce) {
    ShowMenu(Links);
    Hover("&Открыть");
    Advance(999);
    EXPECT_FALSE(Showing());
    Advance(1);
    EXPECT_EQ(Shown(), "Открыть");
    // Below the cursor.
    win::POINT Cursor;
    win::GetCursorPos(&Cursor);
    EXPECT_EQ(HintRect().left, Cursor.x);
    EXPECT_EQ(HintRect().top, Cursor.y + 20);
    // While one shows, the next entry's follows at once.
    Hover("&Закрыть");
    EXPECT_EQ(Shown(), "Закрыть");
    Advance(9999);
    EXPECT_TRUE(Showing());
    Advance(1);
    EXPECT_FALSE(Showing());
    // After it went by itself the next waits again.
    Hover("В&ыход");
    Advance(999);
    EXPECT_FALSE(Showing());
    Advance(1);
    EXPECT_EQ(Shown(), "Выход");
}

TEST_F(HintTest, AHintAskedForSoonAfterOneWasHiddenShowsAtOnce) {
    struct Case {
        unsigned Pause;
        bool AtOnce;
    } Cases[] = {{0, true}, {399, true}, {400, false}, {2000, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Pause);
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        Hover("&Открыть");
        Advance(1000);
        ASSERT_TRUE(Showing());
        Leave();
        EXPECT_FALSE(Showing());
        Advance(C.Pause);
        Hover("&Закрыть");
        EXPECT_EQ(Shown(), C.AtOnce ? "Закрыть" : "");
        Advance(1000);
        EXPECT_EQ(Shown(), "Закрыть");
        Menu->CloseAndFree();
        Advance(10000);
    }
}

TEST_F(HintTest, WhatAnEntrysHintSays) {
    auto* Save = new cls::TAction(Form);
    std::string Refused;
    struct TRefuse {
        std::string* Seen;
        void Hint(std::string& HintStr, bool& CanShow) {
            *Seen = HintStr;
            CanShow = false;
        }
    } Refuse{&Refused};
    struct Case {
        const char* What;
        std::function<void()> Arrange;
        const char* Expected;
    };
    const std::vector<Case> Cases = {
        {"the short part", [&] { Open->SetHint("Открыть|Показывает окно"); }, "Открыть"},
        {"with its shortcut", [&] { Open->SetShortCut(cls::TextToShortCut("Ctrl+O")); }, "Открыть (Ctrl+O)"},
        {"without shortcuts in hints",
         [&] {
             Open->SetShortCut(cls::TextToShortCut("Ctrl+O"));
             cls::Application->SetHintShortCuts(false);
         },
         "Открыть"},
        {"shortcuts asked for by the manager",
         [&] {
             Open->SetShortCut(cls::TextToShortCut("Ctrl+O"));
             cls::Application->SetHintShortCuts(false);
             Manager->SetShowShortCutInHint(true);
         },
         "Открыть (Ctrl+O)"},
        {"a disabled entry", [&] { Open->SetEnabled(false); }, "Открыть"},
        {"a disabled entry when those get none",
         [&] {
             Open->SetEnabled(false);
             Manager->SetShowHintForDisabledItems(false);
         },
         ""},
        {"hints off", [&] { Manager->SetShowHint(false); }, ""},
        {"an action that refuses it",
         [&] {
             Save->SetCaption("&Открыть");
             Save->SetHint("Открыть");
             Save->SetOnHint(cls::THintEvent(&Refuse, &TRefuse::Hint));
             Open->SetAction(Save);
         },
         ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        C.Arrange();
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        Hover("&Открыть");
        Advance(1000);
        EXPECT_EQ(Shown(), C.Expected);
        Menu->CloseAndFree();
        Advance(10000);
        Open->SetAction(nullptr);
        Open->SetEnabled(true);
        Open->SetShortCut(0);
        Open->SetHint("Открыть");
        cls::Application->SetHintShortCuts(true);
        Manager->SetShowShortCutInHint(false);
        Manager->SetShowHintForDisabledItems(true);
        Manager->SetShowHint(true);
    }
    EXPECT_EQ(Refused, "Открыть");
}

TEST_F(HintTest, AnEntryReachedByKeysShowsNoHintUnlessTheMouseIsOnIt) {
    ShowMenu(Links);
    Leave();
    KeyToMenu(win::VK_DOWN);
    EXPECT_EQ(Selected(), "&Открыть");
    Advance(1000);
    EXPECT_FALSE(Showing());
    // An explicit text shows wherever the mouse is.
    Manager->ShowItemHint(true, "Развернуть");
    Advance(1000);
    EXPECT_EQ(Shown(), "Развернуть");
    Manager->HideItemHint();
    EXPECT_FALSE(Showing());
}

TEST_F(HintTest, TheHintStaysInsideTheWorkAreaAndShowsWithoutActivation) {
    win::RECT Work;
    win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &Work, 0);
    Hint->ActivateHint(cls::TPoint{100, 100}, "Подсказка", Manager);
    const cls::TRect Plain = HintRect();
    const int Width = Plain.right - Plain.left;
    const int Height = Plain.bottom - Plain.top;
    EXPECT_EQ(Plain.left, 100);
    EXPECT_EQ(Plain.top, 100);
    struct Case {
        const char* What;
        cls::TPoint At;
        cls::TPoint Expected;
    } Cases[] = {
        {"past the right edge", {Work.right - 5, 100}, {Work.right - Width, 100}},
        {"past the bottom: above the point", {100, Work.bottom - 5}, {100, Work.bottom - 5 - Height - 20}},
        {"before the left and top", {-40, -30}, {Work.left, Work.top}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Hint->ActivateHint(C.At, "Подсказка", Manager);
        EXPECT_EQ(HintRect().left, C.Expected.x);
        EXPECT_EQ(HintRect().top, C.Expected.y);
        EXPECT_EQ(HintRect().right - HintRect().left, Width);
    }
    // Not activated, in the hint's colour inside a raised edge.
    Hint->ActivateHint(cls::TPoint{80, 80}, "Подсказка", Manager);
    RunUntilIdle();
    EXPECT_EQ(win::GetActiveWindow(), Form->Handle());
    const cls::TRect R = HintRect();
    EXPECT_EQ(win::ScreenPixel(win::POINT{R.right - 3, R.bottom - 3}),
              gfx::ColorToRGB(cls::Application->HintColor()));
    EXPECT_EQ(win::ScreenPixel(win::POINT{R.left, R.top + 3}), gfx::GetSysColor(gfx::COLOR_3DLIGHT));
    EXPECT_EQ(win::ScreenPixel(win::POINT{R.right - 1, R.top + 3}), gfx::GetSysColor(gfx::COLOR_3DDKSHADOW));
}

// The hint shows below the cursor, over the entries that follow: the mouse
// passes through it to them, to select and to click.
TEST_F(HintTest, TheMousePassesThroughTheHintToTheEntriesItCovers) {
    struct TCounter {
        int Clicks = 0;
        void Click(cls::TObject*) { ++Clicks; }
    } Counter;
    Close->SetOnClick(cls::TNotifyEvent(&Counter, &TCounter::Click));
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Открыть");
    Advance(1000);
    ASSERT_TRUE(Showing());
    // A point of the hint over the next entry.
    cls::TRect Entry = FindLink("&Закрыть")->ItemRect();
    win::MapWindowPoints(Menu->Handle(), nullptr, reinterpret_cast<win::POINT*>(&Entry), 2);
    const cls::TRect HintArea = HintRect();
    cls::TRect Over;
    ASSERT_TRUE(gfx::IntersectRect(&Over, &Entry, &HintArea));
    const win::POINT At{Over.left + 1, Over.top + 1};
    testdrv::MoveToScreen(At);
    EXPECT_EQ(Selected(), "&Закрыть");
    // The next entry's hint follows at once, and the mouse passes through it too.
    EXPECT_EQ(Shown(), "Закрыть");
    testdrv::ClickScreen(At);
    EXPECT_EQ(Counter.Clicks, 1);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(HintTest, AManagerThatGoesTakesItsPendingHintAlong) {
    ShowMenu(Links);
    Hover("&Открыть");
    delete Form;
    Form = nullptr;
    Advance(20000);
    EXPECT_EQ(GetBarHintWindow(), nullptr);
}

} // namespace
