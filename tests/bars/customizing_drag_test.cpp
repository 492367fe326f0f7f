#include <gtest/gtest.h>

#include "bars/system.h"
#include "bars/toolbar.h"
#include "fixture.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;
using testdrv::ScriptIdle;

class CustomizingDragTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 640, 480);
        Form->Show();
        for (const char* Caption : {"Alpha", "Beta", "Gamma"}) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption(Caption);
            Bar->ItemLinks()->Add(Button);
        }
        Bar->SetCaption("Standard");
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        Empty = Manager->Bars()->Add();
        Empty->SetCaption("Empty");
        Empty->SetFloatLeft(400);
        Empty->SetFloatTop(400);
        Empty->SetDockingStyle(dsNone);
        Empty->SetVisible(true);
        Command = new TdxBarButton(Form);
        Command->SetCaption("Command");
        RunUntilIdle();
        ASSERT_NE(Bar->Control(), nullptr);
        ASSERT_NE(Empty->Control(), nullptr);
    }

    // The screen point of a link's rectangle, at a fraction of its width.
    win::POINT At(TdxBar* ABar, int AIndex, int ADx = 0) {
        const cls::TRect R = ABar->ItemLinks()->Items(AIndex)->ItemRect();
        return ABar->Control()->ClientToScreen(
            cls::TPoint{(R.left + R.right) / 2 + ADx, (R.top + R.bottom) / 2});
    }
    std::string Captions(TdxBar* ABar) {
        std::string S;
        for (int I = 0; I < ABar->ItemLinks()->Count(); ++I) {
            TdxBarItemLink* L = ABar->ItemLinks()->Items(I);
            S += (S.empty() ? "" : " ") + std::string(L->BeginGroup() ? "|" : "") + L->Item()->Caption();
        }
        return S;
    }
    // Presses at From, runs the drag of (AItem, ALink) through the steps, releases.
    void Drag(win::POINT From, TdxBarItem* AItem, TdxBarItemLink* ALink, std::vector<testdrv::Step> Steps,
              bool Release = true) {
        testdrv::MoveToScreen(From);
        testdrv::MouseDown();
        if (Release) Steps.push_back([] { win::InjectMouseButton(win::MouseButton::Left, false); });
        ScriptIdle(Steps);
        Manager->DragItemLink(AItem, ALink);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_FALSE(Manager->LinkDragging());
        EXPECT_EQ(Manager->DraggingItem(), nullptr);
        if (!Release) testdrv::MouseUp();
        RunUntilIdle();
    }
    win::POINT EmptyPoint() {
        const cls::TRect R = Empty->Control()->ClientRect();
        return Empty->Control()->ClientToScreen(cls::TPoint{R.right / 2, R.bottom / 2});
    }
    static testdrv::Step Move(win::POINT P) {
        return [P] { win::InjectMouseMove(P); };
    }

    TdxBar* Empty = nullptr;
    TdxBarButton* Command = nullptr;
};

TEST_F(CustomizingDragTest, DropsMoveCopyAndRemoveLinks) {
    // A command dropped on the second half of Alpha lands after it.
    Drag(EmptyPoint(), Command, nullptr, {Move(At(Bar, 0, 4)), Move(At(Bar, 0, 6))});
    EXPECT_EQ(Captions(Bar), "Alpha Command Beta Gamma");

    // Gamma moved before Alpha.
    Drag(At(Bar, 3), Bar->ItemLinks()->Items(3)->Item(), Bar->ItemLinks()->Items(3),
         {Move(At(Bar, 0, -8)), Move(At(Bar, 0, -10))});
    EXPECT_EQ(Captions(Bar), "Gamma Alpha Command Beta");

    // With Ctrl Beta is copied onto the empty bar's client area; the cursor says copy.
    win::InjectKey(win::VK_CONTROL, true);
    Drag(At(Bar, 3), Bar->ItemLinks()->Items(3)->Item(), Bar->ItemLinks()->Items(3),
         {Move(EmptyPoint()), [] { EXPECT_EQ(win::GetCursor(), cls::Screen->Cursors(crdxBarDragCopy)); }});
    EXPECT_EQ(Captions(Bar), "Gamma Alpha Command Beta");
    EXPECT_EQ(Captions(Empty), "Beta");

    // Dropped outside every bar: without Ctrl the link goes, with Ctrl nothing happens.
    const win::POINT Outside{300, 600};
    Drag(At(Bar, 2), Command, Bar->ItemLinks()->Items(2), {Move(Outside)});
    win::InjectKey(win::VK_CONTROL, false);
    EXPECT_EQ(Captions(Bar), "Gamma Alpha Command Beta");
    EXPECT_EQ(win::GetCursor(), cls::Screen->Cursors(cls::crDefault));
    Drag(At(Bar, 2), Command, Bar->ItemLinks()->Items(2),
         {Move(Outside), [] { EXPECT_EQ(win::GetCursor(), cls::Screen->Cursors(crdxBarDragNoDrop)); }});
    EXPECT_EQ(Captions(Bar), "Gamma Alpha Beta");
    EXPECT_EQ(Captions(Empty), "Beta");
}

TEST_F(CustomizingDragTest, SmallDragsAlongTheOwnPlaceSetTheGroupSeparator) {
    TdxBarItemLink* Beta = Bar->ItemLinks()->Items(1);
    for (const auto& [Dx, Group] :
         std::vector<std::pair<int, bool>>{{3, false}, {4, true}, {-3, true}, {-5, false}}) {
        SCOPED_TRACE(Dx);
        Drag(At(Bar, 1), Beta->Item(), Beta, {Move(At(Bar, 1, Dx / 2)), Move(At(Bar, 1, Dx))});
        ASSERT_EQ(Bar->ItemLinks()->Items(1), Beta);
        EXPECT_EQ(Beta->BeginGroup(), Group);
    }
    EXPECT_EQ(Captions(Bar), "Alpha Beta Gamma");
}

TEST_F(CustomizingDragTest, EscQuitAndAFreedItemEndTheDragWithNoDrop) {
    TdxBarItemLink* Beta = Bar->ItemLinks()->Items(1);
    // (Posted: outside customizing mode the manager's keyboard hook would take the key.)
    Drag(At(Bar, 1), Beta->Item(), Beta,
         {Move(At(Bar, 0)),
          [&] { win::PostMessage(Manager->GetCaptureWindowHandle(), win::WM_KEYDOWN, win::VK_ESCAPE, 0); }},
         false);
    EXPECT_EQ(Captions(Bar), "Alpha Beta Gamma");
    EXPECT_FALSE(Manager->DropMarkShown());

    Drag(At(Bar, 1), Beta->Item(), Beta, {Move(At(Bar, 0)), [] { win::PostQuitMessage(7); }}, false);
    EXPECT_EQ(Captions(Bar), "Alpha Beta Gamma");
    win::MSG Msg{};
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(Msg.message, win::WM_QUIT);
    EXPECT_EQ(Msg.wParam, 7u);

    // The dragged item freed from outside while the drag runs.
    Drag(EmptyPoint(), Command, nullptr,
         {Move(At(Bar, 0)),
          [&] {
              delete Command;
              Command = nullptr;
              win::InjectMouseMove(At(Bar, 1));
          }},
         false);
    EXPECT_EQ(Captions(Bar), "Alpha Beta Gamma");
    EXPECT_EQ(win::GetCapture(), nullptr);
}

} // namespace
} // namespace bars::test
