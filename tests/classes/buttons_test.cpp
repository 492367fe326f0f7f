#include "classes/buttons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "classes/dialogs.h"
#include "classes/extctrls.h"
#include "classes/modalloop.h"
#include "classes/stdctrls.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::Click;
using testdrv::RunUntilIdle;
using testdrv::ScriptIdle;

using ButtonsTest = test::AppTest;

struct TCounter : TObject {
    int Count = 0;
    void Hit(TObject*) { ++Count; }
};

// A dialog as the customizing dialogs build theirs: an edit with a label,
// a default OK and a cancelling Cancel.
struct TDialog {
    TForm* Form = new TForm(nullptr);
    TLabel* Label = new TLabel(Form);
    TEdit* Edit = new TEdit(Form);
    TCheckBox* Check = new TCheckBox(Form);
    TButton* OK = new TButton(Form);
    TButton* Cancel = new TButton(Form);
    std::vector<std::string> Clicks;

    TDialog() {
        Form->SetBorderStyle(bsDialog);
        Form->SetBounds(200, 200, 260, 140);
        for (TControl* C : std::vector<TControl*>{Label, Edit, Check, OK, Cancel}) C->SetParent(Form);
        Label->SetBounds(8, 8, 0, 0);
        Label->SetCaption("&Name:");
        Label->SetFocusControl(Edit);
        Edit->SetBounds(8, 26, 200, 21);
        Check->SetBounds(8, 52, 120, 17);
        Check->SetCaption("&Check me");
        OK->SetBounds(8, 76, 75, 23);
        OK->SetCaption("&OK");
        OK->SetDefault(true);
        OK->SetModalResult(mrOk);
        Cancel->SetBounds(90, 76, 75, 23);
        Cancel->SetCaption("Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Form->SetActiveControl(Edit);
    }
    ~TDialog() { delete Form; }
};

// Keys go through the application's loop, as a program's do, where the
// dialog keys are found.
// Inside a modal loop's script the loop takes them; outside, Run handles them.
void Inject(int Vk, bool Alt = false, bool Run = false) {
    if (Alt) win::InjectKey(win::VK_MENU, true);
    win::InjectKey(Vk, true);
    win::InjectKey(Vk, false);
    if (Alt) win::InjectKey(win::VK_MENU, false);
    if (Run) Application->ProcessMessages();
}
void Press(int Vk, bool Alt = false) {
    Inject(Vk, Alt, true);
}

TEST_F(ButtonsTest, DialogKeysEndTheModalLoopThroughTheRightButton) {
    struct Case {
        const char* Name;
        std::vector<testdrv::Step> Steps;
        TModalResult Expected;
    };
    TDialog* D = nullptr;
    const std::vector<Case> Cases = {
        {"Enter goes to the default button", {[] { Inject(win::VK_RETURN); }}, mrOk},
        {"Esc goes to the cancel button", {[] { Inject(win::VK_ESCAPE); }}, mrCancel},
        {"Alt+mnemonic clicks a button", {[] { Inject('O', true); }}, mrOk},
        {"Enter on a focused button clicks that one",
         {[&] { D->Cancel->SetFocus(); }, [] { Inject(win::VK_RETURN); }},
         mrCancel},
        {"Space clicks the focused button",
         {[&] { D->OK->SetFocus(); }, [] { Inject(win::VK_SPACE); }},
         mrOk},
        {"the close box answers mrCancel",
         {[&] { win::PostMessage(D->Form->Handle(), win::WM_CLOSE, 0, 0); }},
         mrCancel},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        D = new TDialog;
        ScriptIdle(C.Steps);
        EXPECT_EQ(D->Form->ShowModal(), C.Expected);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        delete D;
    }
}

TEST_F(ButtonsTest, TabMnemonicsAndSpaceOnAModelessForm) {
    TDialog D;
    TCounter Toggles;
    D.Check->SetOnClick(TNotifyEvent(&Toggles, &TCounter::Hit));
    D.Form->Show();
    RunUntilIdle();
    ASSERT_TRUE(D.Edit->Focused());

    // Tab runs the tab order, Shift+Tab back.
    Press(win::VK_TAB);
    EXPECT_TRUE(D.Check->Focused());
    Press(win::VK_TAB);
    EXPECT_TRUE(D.OK->Focused());
    win::InjectKey(win::VK_SHIFT, true);
    Press(win::VK_TAB);
    win::InjectKey(win::VK_SHIFT, false);
    EXPECT_TRUE(D.Check->Focused());

    // Space toggles the focused box; its mnemonic focuses and toggles it.
    Press(win::VK_SPACE);
    EXPECT_TRUE(D.Check->Checked());
    Press('N', true);
    EXPECT_TRUE(D.Edit->Focused()) << "a label's mnemonic focuses its FocusControl";
    Press('C', true);
    EXPECT_TRUE(D.Check->Focused());
    EXPECT_FALSE(D.Check->Checked());
    // A click on the box toggles it, a press dragged off and released does not.
    Click(D.Check->Handle(), {5, 8});
    EXPECT_TRUE(D.Check->Checked());
    testdrv::MoveTo(D.Check->Handle(), {5, 8});
    testdrv::MouseDown();
    testdrv::MoveTo(D.Check->Handle(), {5, 40});
    testdrv::MouseUp();
    EXPECT_TRUE(D.Check->Checked());
    EXPECT_EQ(Toggles.Count, 3);

    // The typed letter goes into the edit, not to a mnemonic.
    D.Edit->SetFocus();
    win::InjectKey('N', true);
    win::InjectKey('N', false);
    Application->ProcessMessages();
    EXPECT_EQ(D.Edit->Text(), "n");
    EXPECT_TRUE(D.Edit->Focused());
}

TEST_F(ButtonsTest, APressReleasedOffTheButtonDoesNotClick) {
    TDialog D;
    TCounter Clicks;
    D.OK->SetOnClick(TNotifyEvent(&Clicks, &TCounter::Hit));
    D.Form->Show();
    RunUntilIdle();
    testdrv::MessageLog Log{D.OK->Handle()};
    Log.Only({win::WM_LBUTTONDOWN, win::WM_SETFOCUS, win::WM_MOUSEMOVE, win::WM_LBUTTONUP,
              win::WM_CAPTURECHANGED});
    testdrv::MoveTo(D.OK->Handle(), {10, 10});
    testdrv::MouseDown();
    testdrv::MoveTo(D.OK->Handle(), {10, 60});
    testdrv::MouseUp();
    EXPECT_EQ(Clicks.Count, 0);
    EXPECT_EQ(Log.Text(),
              "WM_MOUSEMOVE WM_LBUTTONDOWN WM_SETFOCUS WM_MOUSEMOVE WM_LBUTTONUP WM_CAPTURECHANGED");
    Click(D.OK->Handle(), {10, 10});
    EXPECT_EQ(Clicks.Count, 1);
}

TEST_F(ButtonsTest, ControlsDrawClassicAndThemed) {
    TDialog D;
    auto* Panel = new TPanel(D.Form);
    Panel->SetParent(D.Form);
    Panel->SetBounds(180, 8, 60, 40);
    auto* Bevel = new TBevel(D.Form);
    Bevel->SetParent(D.Form);
    Bevel->SetShape(bsTopLine);
    Bevel->SetBounds(170, 60, 70, 2);
    D.Check->SetChecked(true);
    D.Form->Show();
    RunUntilIdle();
    const auto Pixel = [](TControl* C, int X, int Y) {
        win::ComposeScreen();
        return win::ScreenPixel(C->ClientToScreen(TPoint{X, Y}));
    };
    // The default button has a window-frame border; the other a white highlight.
    EXPECT_EQ(Pixel(D.OK, 0, 0), gfx::GetSysColor(gfx::COLOR_WINDOWFRAME));
    EXPECT_EQ(Pixel(D.Cancel, 0, 0), gfx::GetSysColor(gfx::COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(D.Cancel, 74, 22), gfx::GetSysColor(gfx::COLOR_3DDKSHADOW));
    EXPECT_EQ(Pixel(Panel, 0, 0), gfx::GetSysColor(gfx::COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(Panel, 59, 39), gfx::GetSysColor(gfx::COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(Bevel, 5, 0), gfx::GetSysColor(gfx::COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(Bevel, 5, 1), gfx::GetSysColor(gfx::COLOR_BTNHIGHLIGHT));
    // The check mark is dark in the middle of the box.
    EXPECT_EQ(Pixel(D.Check, 6, 8), gfx::GetSysColor(gfx::COLOR_WINDOWTEXT));
    testdrv::Snapshot(D.Form->Handle(), "out/test_controls_classic.png");

    win::SetTheme(win::ThemeScheme::Blue);
    RunUntilIdle();
    EXPECT_NE(Pixel(D.OK, 3, 12), gfx::GetSysColor(gfx::COLOR_BTNFACE)) << "the themed push button";
    testdrv::Snapshot(D.Form->Handle(), "out/test_controls_themed.png");
}

TEST_F(ButtonsTest, MessageBoxDialogAnswersByKeysAndDefaultButton) {
    struct Case {
        const char* Name;
        win::UINT Type;
        std::vector<testdrv::Step> Steps;
        int Expected;
    };
    const std::vector<Case> Cases = {
        {"Enter takes the second default",
         win::MB_YESNOCANCEL | win::MB_DEFBUTTON2,
         {[] { Inject(win::VK_RETURN); }},
         win::IDNO},
        {"Esc is Cancel",
         win::MB_YESNOCANCEL | win::MB_ICONQUESTION,
         {[] { Inject(win::VK_ESCAPE); }},
         win::IDCANCEL},
        {"Esc without Cancel does nothing, a mnemonic answers",
         win::MB_YESNO | win::MB_ICONEXCLAMATION,
         {[] { Inject(win::VK_ESCAPE); }, [] { Inject('Y'); }},
         win::IDYES},
        {"Esc on a lone OK is OK",
         win::MB_OK | win::MB_ICONERROR,
         {[] { Inject(win::VK_ESCAPE); }},
         win::IDOK},
        {"a default past the last button is the last",
         win::MB_RETRYCANCEL | 0x200,
         {[] { Inject(win::VK_RETURN); }},
         win::IDCANCEL},
    };
    win::SetMessageBoxHandler(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::vector<testdrv::Step> Steps = C.Steps;
        if (std::string(C.Name).starts_with("Esc is"))
            Steps.insert(Steps.begin(),
                         [] { testdrv::Snapshot(win::GetActiveWindow(), "out/test_messagebox.png"); });
        ScriptIdle(Steps);
        EXPECT_EQ(Application->MessageBox("A rather long question whose text wraps to the screen, asked to "
                                          "see the dialog grow as wide as half the screen and then wrap.",
                                          "Trestle", C.Type),
                  C.Expected);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_EQ(win::GetActiveWindow(), nullptr);
    }
}

TEST_F(ButtonsTest, DragDetectEndsOnTheDragRectangleTheButtonOrEsc) {
    auto* Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 200, 200);
    Form->Show();
    RunUntilIdle();
    const win::HWND Wnd = Form->Handle();
    const TPoint Start = Form->ClientToScreen(TPoint{50, 50});
    struct Case {
        const char* Name;
        std::vector<testdrv::Step> Steps;
        bool Dragged;
    };
    const int CX = win::GetSystemMetrics(win::SM_CXDRAG);
    const std::vector<Case> Cases = {
        {"inside the rectangle, then out",
         {[&] {
              testdrv::MoveTo(Wnd, {50 + CX, 50});
          },
          [&] {
              testdrv::MoveTo(Wnd, {51 + CX, 50});
          }},
         true},
        {"the button comes up",
         {[&] {
              testdrv::MoveTo(Wnd, {51, 51});
          },
          [] { testdrv::MouseUp(); }},
         false},
        {"Esc", {[] { testdrv::PressKey(win::VK_ESCAPE); }}, false},
        {"the capture goes",
         {[&] {
             win::ReleaseCapture();
             testdrv::MoveTo(Wnd, {52, 50});
         }},
         false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        testdrv::MoveTo(Wnd, {50, 50});
        testdrv::MouseDown();
        ScriptIdle(C.Steps);
        EXPECT_EQ(DragDetect(Wnd, Start), C.Dragged);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_EQ(win::GetCapture(), nullptr);
        testdrv::MouseUp();
    }
    delete Form;
}

} // namespace
