// Toolbars as collection items of the manager: their window while visible,
// where it sits (a dock site or floating), the bars hidden with their dock
// site, fonts pushed by the manager, the main menu bar, status bars and reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"

#include "bars/painters/painter.h"
#include "bars/toolbar.h"

namespace bars::test {
namespace {

// What the manager's bar events reported, in order.
struct TBarEventLog {
    std::vector<std::string> Entries;
    void VisibleChanged(TdxBarManager*, TdxBar* ABar) {
        Entries.push_back(ABar->Visible() ? "shown" : "hidden");
    }
    void BeforeReset(TdxBarManager*, TdxBar*) { Entries.push_back("before reset"); }
};

class BarTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 640, 480);
        Form->Show();
        Bar->SetCaption("Standard");
        Bar->SetDockingStyle(dsTop);
        AddButtons(Bar, 3);
        testdrv::RunUntilIdle();
    }

    void AddButtons(TdxBar* ABar, int ACount) {
        for (int I = 0; I < ACount; ++I) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption("Button" + std::to_string(I));
            ABar->ItemLinks()->Add(Button);
        }
    }
    TdxDockControl* Site(TdxBarDockingStyle AStyle) const { return Manager->Bars()->DockControls(AStyle); }
    // The window's parent window: its dock site's, or none when floating.
    win::HWND ParentOf(TdxBar* ABar) const {
        TdxBarControl* W = ABar->Control();
        if (!W || !W->HandleAllocated() || !(win::GetWindowLong(W->Handle(), win::GWL_STYLE) & win::WS_CHILD))
            return nullptr;
        return win::GetParent(W->Handle());
    }
    bool Shows(TdxBar* ABar) const {
        TdxBarControl* W = ABar->Control();
        return W && W->HandleAllocated() && win::IsWindowVisible(W->Handle());
    }
};

TEST_F(BarTest, AVisibleBarHasAWindowInItsDockSiteAndAHiddenOneNone) {
    TBarEventLog Log;
    Manager->SetOnBarVisibleChange(TdxBarVisibleChangeEvent(&Log, &TBarEventLog::VisibleChanged));
    EXPECT_EQ(Bar->Control(), nullptr);
    Bar->SetVisible(true);
    testdrv::RunUntilIdle();
    ASSERT_NE(Bar->Control(), nullptr);
    EXPECT_EQ(Bar->Control()->Bar(), Bar);
    EXPECT_EQ(ParentOf(Bar), Site(dsTop)->Handle());
    EXPECT_TRUE(Shows(Bar));
    EXPECT_EQ(Site(dsTop)->Height(), Bar->Control()->Height());

    Bar->SetVisible(true);
    Bar->SetVisible(false);
    EXPECT_EQ(Bar->Control(), nullptr);
    EXPECT_EQ(Site(dsTop)->Height(), 0);
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"shown", "hidden"}));
}

TEST_F(BarTest, TheDockingStyleAndDockControlMoveAShownBar) {
    auto* Placed = new TdxBarDockControl(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    Placed->SetAlign(cls::alBottom);
    Bar->SetVisible(true);

    Bar->SetDockingStyle(dsLeft);
    EXPECT_EQ(ParentOf(Bar), Site(dsLeft)->Handle());
    EXPECT_EQ(Bar->GetRealDockControl(), Site(dsLeft));

    Bar->SetDockControl(Placed);
    EXPECT_EQ(ParentOf(Bar), Placed->Handle());
    EXPECT_EQ(Bar->DockingStyle(), dsBottom);
    EXPECT_EQ(Bar->GetRealDockControl(), Placed);

    // A site of another manager is refused.
    auto* OtherForm = new cls::TForm(nullptr);
    auto* OtherManager = new TdxBarManager(OtherForm);
    Bar->SetDockControl(OtherManager->Bars()->DockControls(dsRight));
    Bar->SetDockedDockControl(OtherManager->Bars()->DockControls(dsRight));
    EXPECT_EQ(Bar->DockControl(), Placed);
    EXPECT_EQ(Bar->DockedDockControl(), nullptr);
    delete OtherForm;

    // Without its site the bar goes to the main site of the site's style.
    Bar->SetDockControl(nullptr);
    EXPECT_EQ(ParentOf(Bar), Site(dsBottom)->Handle());

    // A style set while the bar sits in a placed site takes it to that main site.
    Bar->SetDockControl(Placed);
    Bar->SetDockingStyle(dsRight);
    EXPECT_EQ(Bar->DockControl(), nullptr);
    EXPECT_EQ(Bar->DockingStyle(), dsRight);
    EXPECT_EQ(ParentOf(Bar), Site(dsRight)->Handle());
    EXPECT_EQ(Bar->Control()->DockingStyle(), dsRight);

    // A value that is none of the styles is refused.
    const auto Unnamed = static_cast<TdxBarDockingStyle>(dsBottom + 1);
    const TdxBarDockingStyle Docked = Bar->DockedDockingStyle();
    Bar->SetDockingStyle(Unnamed);
    Bar->SetDockedDockingStyle(Unnamed);
    EXPECT_EQ(Bar->DockingStyle(), dsRight);
    EXPECT_EQ(Bar->DockedDockingStyle(), Docked);
    EXPECT_EQ(ParentOf(Bar), Site(dsRight)->Handle());

    Bar->SetDockingStyle(dsNone);
    EXPECT_EQ(ParentOf(Bar), nullptr);
    EXPECT_EQ(Bar->GetRealDockControl(), nullptr);

    // A placed site that goes takes its bars' references along and hides them.
    Bar->SetDockControl(Placed);
    Bar->SetDockedDockControl(Placed);
    delete Placed;
    EXPECT_FALSE(Bar->Visible());
    EXPECT_EQ(Bar->DockControl(), nullptr);
    EXPECT_EQ(Bar->DockedDockControl(), nullptr);
}

TEST_F(BarTest, AFloatingBarShowsAtItsPlaceOnlyWithAnActiveForm) {
    Bar->SetFloatLeft(250);
    Bar->SetFloatTop(300);
    Bar->SetDockingStyle(dsNone);
    Bar->SetVisible(true);
    ASSERT_TRUE(Shows(Bar));
    cls::TRect R;
    win::GetWindowRect(Bar->Control()->Handle(), &R);
    EXPECT_EQ(R.left, 250);
    EXPECT_EQ(R.top, 300);
    EXPECT_EQ(win::GetWindow(Bar->Control()->Handle(), win::GW_OWNER), Form->Handle());

    // Shown again while another window is active.
    auto* Other = new cls::TForm(nullptr);
    Other->Show();
    testdrv::RunUntilIdle();
    for (bool HideWhenInactive : {true, false}) {
        SCOPED_TRACE(HideWhenInactive);
        Manager->SetHideFloatingBarsWhenInactive(HideWhenInactive);
        Bar->SetVisible(false);
        Bar->SetVisible(true);
        EXPECT_EQ(Shows(Bar), !HideWhenInactive);
    }
    delete Other;
    Form->Hide();
    Bar->SetVisible(false);
    Bar->SetVisible(true);
    EXPECT_FALSE(Shows(Bar));
    // It shows with the form, also with a form that had no window yet.
    Form->Show();
    testdrv::RunUntilIdle();
    EXPECT_TRUE(Shows(Bar));
    auto* NewForm = new cls::TForm(nullptr);
    auto* NewManager = new TdxBarManager(NewForm);
    TdxBar* NewBar = NewManager->Bars()->Add();
    NewBar->ItemLinks()->Add(new TdxBarButton(NewForm));
    NewBar->SetDockingStyle(dsNone);
    NewBar->SetVisible(true);
    NewForm->Show();
    testdrv::RunUntilIdle();
    EXPECT_TRUE(Shows(NewBar));
    delete NewForm;
}

TEST_F(BarTest, BarsHiddenWithTheFormsWindowComeBackWithIt) {
    TdxBar* Left = Manager->Bars()->Add();
    AddButtons(Left, 2);
    Left->SetDockingStyle(dsLeft);
    Left->SetVisible(true);
    Bar->SetVisible(true);
    TdxBar* Closed = Manager->Bars()->Add();
    AddButtons(Closed, 1);
    testdrv::RunUntilIdle();

    Form->RecreateWnd();
    testdrv::RunUntilIdle();
    EXPECT_TRUE(Bar->Visible());
    EXPECT_TRUE(Left->Visible());
    EXPECT_FALSE(Closed->Visible());
    EXPECT_EQ(ParentOf(Bar), Site(dsTop)->Handle());
    EXPECT_EQ(ParentOf(Left), Site(dsLeft)->Handle());
    EXPECT_EQ(Manager->HiddenBarCount(), 0);

    // A bar shown by other means leaves the list; hiding a hidden bar too.
    Manager->CreateHiddenBarList();
    Manager->AddHiddenBar(Closed);
    Manager->AddHiddenBar(Left);
    Left->SetVisible(false);
    Left->SetVisible(false);
    Closed->SetVisible(true);
    EXPECT_EQ(Manager->HiddenBarCount(), 0);
    Manager->FreeHiddenBarList();
}

TEST_F(BarTest, FontsPushedByTheManagerNeverMakeAFontOwn) {
    const gfx::DWORD Objects = GdiObjectCount();
    Manager->SetScaled(false);
    Manager->Font()->SetName("DejaVu Serif");
    Manager->Font()->SetHeight(-15);
    EXPECT_EQ(Bar->Font()->Name(), "DejaVu Serif");
    EXPECT_FALSE(Bar->UseOwnFont());
    // A bar made now starts with the manager's font, not its own.
    TdxBar* Late = Manager->Bars()->Add();
    EXPECT_EQ(Late->Font()->Height(), -15);
    EXPECT_FALSE(Late->UseOwnFont());
    EXPECT_EQ(Late->FontHandle(), nullptr);

    Bar->SetVisible(true);
    Bar->Font()->SetHeight(-20);
    EXPECT_TRUE(Bar->UseOwnFont());
    ASSERT_NE(Bar->FontHandle(), nullptr);
    EXPECT_EQ(Bar->Control()->GetFontHandle(), Bar->FontHandle());

    Manager->Font()->SetHeight(-12);
    EXPECT_EQ(Bar->Font()->Height(), -20);
    EXPECT_EQ(Late->Font()->Height(), -12);
    EXPECT_FALSE(Late->UseOwnFont());

    Bar->SetUseOwnFont(false);
    EXPECT_EQ(Bar->Font()->Height(), -12);
    EXPECT_EQ(Bar->FontHandle(), nullptr);
    EXPECT_NE(Bar->Control()->GetFontHandle(), nullptr);
    delete Bar;
    Bar = nullptr;
    delete Late;
    testdrv::RunUntilIdle();
    EXPECT_EQ(GdiObjectCount(), Objects);
}

TEST_F(BarTest, TheMainMenuBarIsOneAndKeepsItsRow) {
    TdxBar* Second = Manager->Bars()->Add();
    Bar->SetIsMainMenu(true);
    EXPECT_EQ(Manager->MainMenuBar(), Bar);
    EXPECT_TRUE(Bar->WholeRow());
    Bar->SetMultiLine(false);
    EXPECT_TRUE(Bar->MultiLine());

    Second->SetIsMainMenu(true);
    EXPECT_EQ(Manager->MainMenuBar(), Second);
    EXPECT_FALSE(Bar->IsMainMenu());
    EXPECT_FALSE(Bar->MultiLine());
    EXPECT_FALSE(Bar->WholeRow());
    EXPECT_FALSE(Manager->LockUpdate());
    EXPECT_FALSE(Second->CanClose());
    EXPECT_TRUE(Bar->CanClose());

    delete Second;
    EXPECT_EQ(Manager->MainMenuBar(), nullptr);
}

TEST_F(BarTest, AWholeRowBarTakesARowOfItsOwn) {
    TdxBar* Second = Manager->Bars()->Add();
    Second->SetDockingStyle(dsTop);
    AddButtons(Second, 1);
    Bar->SetVisible(true);
    Second->SetVisible(true);
    Second->SetRow(0);
    Second->SetVisible(false);
    Second->SetVisible(true);
    ASSERT_EQ(Site(dsTop)->GetRowCount(), 1);
    Second->SetWholeRow(true);
    EXPECT_EQ(Site(dsTop)->GetRowCount(), 2);
    EXPECT_TRUE(Shows(Second));
}

TEST_F(BarTest, BadValuesAreRefusedOrMadeSound) {
    Bar->SetRow(-3);
    Bar->SetDockedLeft(-1);
    Bar->SetDockedTop(-7);
    EXPECT_EQ(Bar->Row(), 0);
    EXPECT_EQ(Bar->DockedLeft(), 0);
    EXPECT_EQ(Bar->DockedTop(), 0);
    // A caption another bar has is refused.
    TdxBar* Second = Manager->Bars()->Add();
    Second->SetCaption("Standard");
    EXPECT_EQ(Second->Caption(), "");
}

TEST_F(BarTest, AStatusBarShowsItsSizeGripOnlyAtTheBottomOfANormalForm) {
    Bar->SetBorderStyle(bbsNone);
    Bar->SetDockingStyle(dsBottom);
    Bar->SetWholeRow(true);
    Bar->SetVisible(true);
    ASSERT_TRUE(Bar->IsStatusBar());
    gfx::SIZE Grip{};
    Manager->PainterClass()->GetSizeGripSize(Grip);
    EXPECT_TRUE(Bar->IsSizeGripVisible());
    EXPECT_EQ(Bar->GetNonClientWidth(dsBottom), Grip.cx);
    EXPECT_EQ(Bar->GetNonClientHeight(dsBottom), Manager->PainterClass()->GetStatusBarBandHeight());

    Bar->SetSizeGrip(false);
    EXPECT_FALSE(Bar->IsSizeGripVisible());
    EXPECT_EQ(Bar->GetNonClientWidth(dsBottom), 0);
    Bar->SetSizeGrip(true);
    Form->SetWindowState(cls::wsMaximized);
    EXPECT_FALSE(Bar->IsSizeGripVisible());
    Form->SetWindowState(cls::wsNormal);
    // Not at the bottom: another bar below it.
    TdxBar* Below = Manager->Bars()->Add();
    AddButtons(Below, 1);
    Below->SetDockingStyle(dsBottom);
    Below->SetRow(1);
    Below->SetOneOnRow(true);
    Below->SetVisible(true);
    EXPECT_FALSE(Bar->IsSizeGripVisible());
    Bar->SetWholeRow(false);
    EXPECT_FALSE(Bar->IsStatusBar());
}

TEST_F(BarTest, NonClientSizesFollowThePainter) {
    TdxBarItemControlPainterClass Painter = Manager->PainterClass();
    gfx::RECT Border{};
    Painter->GetBorderRect(false, dsTop, Border);
    const int Grip = Manager->GetBarDragHandleSize(Bar);
    EXPECT_EQ(Bar->GetNonClientWidth(dsTop), Border.left + Border.right + Grip);
    EXPECT_EQ(Bar->GetNonClientHeight(dsTop), Border.top + Border.bottom);
    EXPECT_EQ(Bar->GetNonClientWidth(dsLeft), Border.left + Border.right);
    EXPECT_EQ(Bar->GetNonClientHeight(dsLeft), Border.top + Border.bottom + Grip);
    EXPECT_EQ(Bar->GetNonClientWidth(dsNone),
              2 * Manager->GetBarFrameWidth() + 2 * Painter->GetFloatingFrameWidth());
    EXPECT_EQ(Bar->GetNonClientHeight(dsNone),
              2 * Manager->GetBarFrameHeight() + Painter->GetCaptionHeight() +
                  Painter->GetFloatingFrameTop() + Painter->GetFloatingFrameBottom());
    Bar->SetBorderStyle(bbsNone);
    EXPECT_EQ(Bar->GetNonClientWidth(dsTop), 0);
    EXPECT_EQ(Bar->GetNonClientHeight(dsTop), 0);
}

TEST_F(BarTest, WithoutStoredStateNothingIsReset) {
    TBarEventLog Log;
    Manager->SetOnBarBeforeReset(TdxBarEvent(&Log, &TBarEventLog::BeforeReset));
    Bar->SetPredefined(true);
    EXPECT_TRUE(Bar->AllowReset());
    EXPECT_TRUE(Bar->CanReset());

    const auto& Boxes = testdrv::AnswerMessageBoxes({win::IDOK, win::IDCANCEL});
    Bar->ResetWithConfirmation();
    Bar->ResetWithConfirmation();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].text, "Are you sure you want to reset the changes made to the 'Standard' toolbar?");
    EXPECT_EQ(Boxes[0].type, win::MB_OKCANCEL | win::MB_ICONEXCLAMATION);
    EXPECT_EQ(Boxes[0].caption, cls::Application->Title());
    EXPECT_TRUE(Log.Entries.empty());
    EXPECT_EQ(Bar->ItemLinks()->Count(), 3);
}

} // namespace
} // namespace bars::test
