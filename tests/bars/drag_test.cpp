// The bar drag: a toolbar pressed on its grip or caption follows the mouse
// between the dock sites and floating, docks from floating only after the
// docking delay, and the loop ends on the button's release, Escape, a
// WM_QUIT or the form closing, whatever happens to the bar meanwhile.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fixture.h"

#include "bars/toolbar.h"

namespace bars::test {
namespace {

using testdrv::Step;

struct TStyleLog {
    std::vector<TdxBarDockingStyle> Styles;
    void StyleChanged(TdxBarManager*, TdxBar* ABar) { Styles.push_back(ABar->DockingStyle()); }
};

class DragTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 640, 480);
        Form->Show();
        Bar->SetCaption("Standard");
        Bar->SetDockingStyle(dsTop);
        for (const char* Caption : {"New", "Open", "Save", "Print"}) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption(Caption);
            Bar->ItemLinks()->Add(Button);
        }
        Bar->SetVisible(true);
        testdrv::RunUntilIdle();
    }
    void TearDown() override {
        win::ReleaseCapture();
        ManagerTest::TearDown();
    }

    TdxBarControl* Window() const { return Bar->Control(); }
    TdxDockControl* Site(TdxBarDockingStyle AStyle) const { return Manager->Bars()->DockControls(AStyle); }
    static cls::TRect ScreenRect(TdxBarControl* AWindow) {
        cls::TRect R{};
        if (AWindow && AWindow->HandleAllocated()) win::GetWindowRect(AWindow->Handle(), &R);
        return R;
    }
    // A point of the form's client area on the screen.
    win::POINT FormPoint(int X, int Y) const { return Form->ClientToScreen(cls::TPoint{X, Y}); }
    // Where the user takes the bar: its grip when docked, its caption when floating.
    win::POINT GripPoint() const {
        TdxBarControl* W = Window();
        const cls::TRect R = ScreenRect(W);
        if (W->DockingStyle() == dsNone) {
            // The caption's part that drags: not its mark, not its close button.
            const cls::TRect Caption = W->GetCaptionClientRect();
            const int Y = R.top + (Caption.top + Caption.bottom) / 2;
            for (int X = R.left + Caption.left; X < R.left + Caption.right; ++X) {
                win::SendMessage(W->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(X, Y));
                if (W->KeptHitTest() == win::HTCAPTION) return win::POINT{X, Y};
            }
            ADD_FAILURE() << "the caption has no place to drag it by";
        }
        if (W->IsVerticalDocked()) return win::POINT{(R.left + R.right) / 2, R.top + 3};
        return win::POINT{R.left + 3, (R.top + R.bottom) / 2};
    }
    // Presses on the grip; the steps run while the drag loop waits.
    void Drag(std::vector<Step> ASteps) {
        testdrv::MoveToScreen(GripPoint());
        testdrv::ScriptIdle(std::move(ASteps));
        testdrv::MouseDown();
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_FALSE(Manager->Bars()->Dragging());
        EXPECT_EQ(win::GetCapture(), nullptr);
    }
    static Step MoveTo(win::POINT P) {
        return [P] { testdrv::MoveToScreen(P); };
    }
    static Step Release() {
        return [] { testdrv::MouseUp(); };
    }
    // The bar and its window agree on where the bar is.
    void ExpectDocked(TdxBarDockingStyle AStyle) {
        ASSERT_NE(Window(), nullptr);
        EXPECT_EQ(Bar->DockingStyle(), AStyle);
        EXPECT_EQ(Window()->DockingStyle(), AStyle);
        if (AStyle == dsNone) {
            EXPECT_EQ(Window()->DockControl(), nullptr);
            EXPECT_FALSE(win::GetWindowLong(Window()->Handle(), win::GWL_STYLE) & win::WS_CHILD);
            EXPECT_EQ(win::GetWindow(Window()->Handle(), win::GW_OWNER), Form->Handle());
        } else {
            EXPECT_EQ(Window()->DockControl(), Site(AStyle));
            EXPECT_EQ(win::GetParent(Window()->Handle()), Site(AStyle)->Handle());
            EXPECT_NE(Site(AStyle)->FindCol(Window()), nullptr);
        }
        EXPECT_TRUE(win::IsWindowVisible(Window()->Handle()));
    }
    // A floating bar at (300, 250) of the screen.
    void MakeFloating() {
        Bar->SetFloatLeft(300);
        Bar->SetFloatTop(250);
        Bar->SetFloatClientWidth(150);
        Bar->SetDockingStyle(dsNone);
        testdrv::RunUntilIdle();
    }
    // Inside the left site's zone, level with the middle of the form.
    win::POINT LeftZone() const { return FormPoint(4, 200); }
    win::POINT Middle() const { return FormPoint(320, 260); }
};

TEST_F(DragTest, ADockedBarGoesToAnotherSiteAndBackAtOnce) {
    TStyleLog Log;
    Manager->SetOnBarDockingStyleChange(TdxBarEvent(&Log, &TStyleLog::StyleChanged));
    // Near the top left corner the left site comes first.
    Drag({MoveTo(LeftZone()), [&] { ExpectDocked(dsLeft); }, MoveTo(FormPoint(200, 5)), Release()});
    ExpectDocked(dsTop);
    EXPECT_EQ(Log.Styles, (std::vector<TdxBarDockingStyle>{dsLeft, dsTop}));

    Drag({MoveTo(LeftZone()), Release()});
    ExpectDocked(dsLeft);
    EXPECT_EQ(Site(dsTop)->GetRowCount(), 0);
    EXPECT_EQ(Site(dsTop)->Height(), 0);
    EXPECT_GT(Site(dsLeft)->Width(), 0);
    // A bar turned vertical is still held by its grip.
    const cls::TRect R = ScreenRect(Window());
    const win::POINT Cursor = LeftZone();
    EXPECT_LT(Cursor.y - R.top, Manager->GetBarDragHandleSize(Bar) + 4);
    EXPECT_GE(Cursor.y, R.top);
}

TEST_F(DragTest, ABarTornOffFloatsUnderTheCursorAndStaysFloatingAfterwards) {
    Drag({MoveTo(Middle()), [&] { ExpectDocked(dsNone); }, MoveTo(FormPoint(340, 270)), Release()});
    ExpectDocked(dsNone);
    const cls::TRect R = ScreenRect(Window());
    const win::POINT Cursor = FormPoint(340, 270);
    EXPECT_TRUE(gfx::PtInRect(&R, Cursor));
    EXPECT_EQ(Site(dsTop)->GetRowCount(), 0);
    // The window's place went into the bar.
    EXPECT_EQ(Bar->FloatLeft(), R.left);
    EXPECT_EQ(Bar->FloatTop(), R.top);
    Bar->SetVisible(false);
    Bar->SetVisible(true);
    EXPECT_EQ(ScreenRect(Window()).left, R.left);
    EXPECT_EQ(ScreenRect(Window()).top, R.top);
}

TEST_F(DragTest, AFloatingBarDocksOnlyOnceTheCursorRestedForTheDockingDelay) {
    MakeFloating();
    Manager->SetWaitForDockingTime(40);
    const win::POINT Zone = FormPoint(200, 5);
    Drag({MoveTo(Zone),
          [&] {
              ExpectDocked(dsNone);
              win::AdvanceClock(30);
          },
          // Each move in a zone starts the delay again.
          MoveTo(win::POINT{Zone.x + 10, Zone.y}),
          [&] {
              ExpectDocked(dsNone);
              win::AdvanceClock(30);
          },
          [&] {
              ExpectDocked(dsNone);
              win::AdvanceClock(15);
          },
          [&] { ExpectDocked(dsTop); }, Release()});
    ExpectDocked(dsTop);
}

TEST_F(DragTest, CtrlKeepsTheBarFloatingAndItsChangeIsEvaluatedAtOnce) {
    Drag({[] { testdrv::KeyDown(win::VK_CONTROL); }, MoveTo(LeftZone()), [&] { ExpectDocked(dsNone); },
          // Releasing Ctrl over the zone: floating there, the delay runs.
          [] { testdrv::KeyUp(win::VK_CONTROL); },
          [&] {
              ExpectDocked(dsNone);
              win::AdvanceClock(Manager->WaitForDockingTime() + 1);
          },
          [&] { ExpectDocked(dsLeft); },
          // Pressing it again floats the bar without a move of the mouse.
          [] { testdrv::KeyDown(win::VK_CONTROL); }, [&] { ExpectDocked(dsNone); },
          [] { testdrv::KeyUp(win::VK_CONTROL); }, Release()});
    ExpectDocked(dsNone);
}

TEST_F(DragTest, EscapePutsTheBarBackWhereTheDragBegan) {
    TdxBar* Other = Manager->Bars()->Add();
    Other->SetCaption("Other");
    Other->SetDockingStyle(dsTop);
    Other->ItemLinks()->Add(new TdxBarButton(Form));
    Other->SetRow(1);
    Other->SetOneOnRow(true);
    Other->SetVisible(true);
    testdrv::RunUntilIdle();
    const cls::TRect Docked = ScreenRect(Window());
    const int Rows = Site(dsTop)->GetRowCount();
    Drag({MoveTo(Middle()), MoveTo(LeftZone()), [&] { win::AdvanceClock(Manager->WaitForDockingTime() + 1); },
          [&] { ExpectDocked(dsLeft); }, [] { testdrv::PressKey(win::VK_ESCAPE); }});
    ExpectDocked(dsTop);
    EXPECT_EQ(ScreenRect(Window()).left, Docked.left);
    EXPECT_EQ(ScreenRect(Window()).top, Docked.top);
    EXPECT_EQ(Site(dsTop)->GetRowCount(), Rows);
    EXPECT_EQ(Site(dsLeft)->GetRowCount(), 0);

    Other->SetVisible(false);
    MakeFloating();
    const cls::TRect Floating = ScreenRect(Window());
    Drag({MoveTo(Middle()), MoveTo(LeftZone()), [&] { win::AdvanceClock(Manager->WaitForDockingTime() + 1); },
          [&] { ExpectDocked(dsLeft); }, [] { testdrv::PressKey(win::VK_ESCAPE); }});
    ExpectDocked(dsNone);
    const cls::TRect Back = ScreenRect(Window());
    EXPECT_EQ(Back.left, Floating.left);
    EXPECT_EQ(Back.top, Floating.top);
    EXPECT_EQ(Back.right - Back.left, Floating.right - Floating.left);
}

TEST_F(DragTest, TheDockingTimerDiesWithTheDrag) {
    MakeFloating();
    Drag({MoveTo(FormPoint(200, 5)), Release()});
    ExpectDocked(dsNone);
    testdrv::Advance(500);
    ExpectDocked(dsNone);
    // Outside a drag a move may arm the delay too; its expiry finds no drag.
    Manager->Bars()->MoveBar(Window(), FormPoint(200, 5));
    testdrv::Advance(500);
    ExpectDocked(dsNone);
}

TEST_F(DragTest, MoveBarPlacesTheWindowOutsideADrag) {
    TdxBars* Bars = Manager->Bars();
    Bars->MoveBar(Window(), LeftZone());
    ExpectDocked(dsLeft);
    Bars->MoveBar(Window(), Middle());
    ExpectDocked(dsNone);
    EXPECT_EQ(ScreenRect(Window()).left, Middle().x);
    EXPECT_EQ(ScreenRect(Window()).top, Middle().y);
    Bars->MoveBar(Window(), FormPoint(200, 300));
    EXPECT_EQ(ScreenRect(Window()).left, FormPoint(200, 300).x);
}

TEST_F(DragTest, TheLoopEndsOnAQuitAndPostsItAgain) {
    Drag({MoveTo(Middle()), [] { win::PostQuitMessage(7); }});
    win::MSG Msg{};
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE));
    EXPECT_EQ(Msg.wParam, 7u);
    // The bar stays where the last move put it.
    ExpectDocked(dsNone);
    testdrv::MouseUp();
}

TEST_F(DragTest, TheLoopEndsWhenTheFormCloses) {
    Drag({MoveTo(Middle()), [&] { win::PostMessage(Form->Handle(), win::WM_CLOSE, 0, 0); }});
    EXPECT_FALSE(Form->Visible());
    EXPECT_TRUE(Bar->Visible());
    testdrv::MouseUp();
}

TEST_F(DragTest, TheFormFreedDuringTheDragTakesEverythingAlong) {
    testdrv::MoveToScreen(GripPoint());
    testdrv::ScriptIdle({MoveTo(Middle()), [&] { Form->Release(); }});
    testdrv::MouseDown();
    Form = nullptr;
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(win::GetCapture(), nullptr);
    testdrv::MouseUp();
}

// A timer whose procedure runs an action once, from the loop's dispatch.
std::function<void()> GTimerAction;
void RunTimerAction(win::HWND, win::UINT, win::UINT_PTR AId, win::DWORD) {
    win::KillTimer(nullptr, AId);
    std::function<void()> Action = std::move(GTimerAction);
    GTimerAction = nullptr;
    if (Action) Action();
}

// What a handler does to the bar in the middle of its drag: the loop ends,
// nothing is left dragging and the bar is where the handler put it. The
// handler runs from a message the loop dispatches (a timer), or while the
// loop waits for its next message.
TEST_F(DragTest, TheBarDestroyedHiddenOrMovedDuringItsDrag) {
    struct Case {
        const char* Name;
        std::function<void()> Action;
        std::function<void()> Check;
    };
    const Case Cases[] = {
        {"hidden", [this] { Bar->SetVisible(false); },
         [this] {
             EXPECT_FALSE(Bar->Visible());
             EXPECT_EQ(Window(), nullptr);
         }},
        {"docked at the bottom", [this] { Bar->SetDockingStyle(dsBottom); },
         [this] { ExpectDocked(dsBottom); }},
        {"destroyed",
         [this] {
             delete Bar;
             Bar = nullptr;
         },
         [this] { EXPECT_EQ(Manager->Bars()->Count(), 0); }},
    };
    for (bool FromTimer : {true, false}) {
        for (const Case& C : Cases) {
            SCOPED_TRACE(std::string(C.Name) + (FromTimer ? " from a timer" : " while waiting"));
            if (!Bar) {
                Bar = Manager->Bars()->Add();
                Bar->ItemLinks()->Add(new TdxBarButton(Form));
            }
            Bar->SetDockingStyle(dsTop);
            Bar->SetVisible(true);
            testdrv::RunUntilIdle();
            Drag({MoveTo(Middle()), [&] {
                      if (FromTimer) {
                          GTimerAction = C.Action;
                          win::SetTimer(nullptr, 0, 0, &RunTimerAction);
                      } else {
                          C.Action();
                          win::PostMessage(nullptr, win::WM_NULL, 0, 0);
                      }
                  }});
            testdrv::MouseUp();
            C.Check();
            EXPECT_EQ(Manager->Bars()->MovingBarControl(), nullptr);
        }
    }
}

TEST_F(DragTest, ABarThatCannotDockIsNotDragged) {
    Bar->SetNotDocking(AllDockingStyles);
    const cls::TRect Before = ScreenRect(Window());
    testdrv::MoveToScreen(GripPoint());
    testdrv::MouseDown();
    EXPECT_FALSE(Manager->Bars()->Dragging());
    testdrv::MoveToScreen(Middle());
    testdrv::MouseUp();
    ExpectDocked(dsTop);
    EXPECT_EQ(ScreenRect(Window()).left, Before.left);
}

TEST_F(DragTest, ARowFarBeyondTheLastOpensTheNextRow) {
    const gfx::DWORD Objects = GdiObjectCount();
    TdxBar* Second = Manager->Bars()->Add();
    Second->SetDockingStyle(dsTop);
    Second->ItemLinks()->Add(new TdxBarButton(Form));
    Second->SetRow(1);
    Second->SetOneOnRow(true);
    Second->SetVisible(true);
    TdxBar* Far = Manager->Bars()->Add();
    Far->SetDockingStyle(dsTop);
    Far->ItemLinks()->Add(new TdxBarButton(Form));
    Far->SetRow(1000);
    Far->SetOneOnRow(true);
    Far->SetVisible(true);
    testdrv::RunUntilIdle();
    ASSERT_EQ(Site(dsTop)->GetRowCount(), 3);
    EXPECT_EQ(Site(dsTop)->GetRow(2)->GetCol(0)->BarControl(), Far->Control());
    // Its place went into the bar: it shows there again.
    Far->SetVisible(false);
    EXPECT_EQ(Far->Row(), 2);
    Far->SetVisible(true);
    EXPECT_EQ(Site(dsTop)->GetRow(2)->GetCol(0)->BarControl(), Far->Control());
    // Not asking for a row of its own, it joins the last one.
    Second->SetVisible(false);
    Second->SetRow(500);
    Second->SetOneOnRow(false);
    Second->SetVisible(true);
    ASSERT_EQ(Site(dsTop)->GetRowCount(), 2);
    EXPECT_EQ(Site(dsTop)->GetRow(1)->GetColCount(), 2);
    delete Far;
    delete Second;
    EXPECT_EQ(Site(dsTop)->GetRowCount(), 1);
    testdrv::RunUntilIdle();
    EXPECT_EQ(GdiObjectCount(), Objects);
}

} // namespace
} // namespace bars::test
