#include "app_fixture.h"
#include "classes/forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classes/extctrls.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::Click;
using testdrv::RunUntilIdle;

using FormsTest = test::AppTest;
using test::TButtonLike;

// Records the events of forms and answers their questions.
class TWatcher : public TComponent {
    TRESTLE_CLASS(TWatcher, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::string> Events;
    bool AllowClose = true;
    TCloseAction Action = caHide;
    TCustomForm* Modal = nullptr;
    TModalResult Answer = mrOk;
    bool OthersEnabledMeanwhile = true;
    win::HWND Other = nullptr;

    std::string Name(TObject* Sender) const {
        auto* C = dynamic_cast<TComponent*>(Sender);
        return C ? C->Name() : "?";
    }
    void OnShow(TObject* S) { Events.push_back(Name(S) + ".show"); }
    void OnHide(TObject* S) { Events.push_back(Name(S) + ".hide"); }
    void OnActivate(TObject* S) { Events.push_back(Name(S) + ".activate"); }
    void OnDeactivate(TObject* S) { Events.push_back(Name(S) + ".deactivate"); }
    void OnDestroy(TObject* S) { Events.push_back(Name(S) + ".destroy"); }
    void OnCloseQuery(TObject* S, bool& CanClose) {
        Events.push_back(Name(S) + ".closequery");
        CanClose = AllowClose;
    }
    void OnClose(TObject* S, TCloseAction& A) {
        Events.push_back(Name(S) + ".close");
        A = Action;
    }
    void ButtonClick(TObject*) {
        OthersEnabledMeanwhile = Other && win::IsWindowEnabled(Other);
        Modal->SetModalResult(Answer);
    }

    void Watch(TCustomForm* Form, const std::string& AName) {
        Form->SetName(AName);
        Form->SetOnShow(TNotifyEvent(this, &TWatcher::OnShow));
        Form->SetOnHide(TNotifyEvent(this, &TWatcher::OnHide));
        Form->SetOnActivate(TNotifyEvent(this, &TWatcher::OnActivate));
        Form->SetOnDeactivate(TNotifyEvent(this, &TWatcher::OnDeactivate));
        Form->SetOnDestroy(TNotifyEvent(this, &TWatcher::OnDestroy));
        Form->SetOnCloseQuery(TCloseQueryEvent(this, &TWatcher::OnCloseQuery));
        Form->SetOnClose(TCloseEvent(this, &TWatcher::OnClose));
    }
};

TEST_F(FormsTest, ShowingAndHidingFireTheEventsInOrder) {
    TWatcher W(nullptr);
    auto* First = new TForm(nullptr);
    W.Watch(First, "First");
    auto* Second = new TForm(nullptr);
    W.Watch(Second, "Second");
    EXPECT_EQ(Screen->FormCount(), 2);

    First->Show();
    RunUntilIdle();
    EXPECT_TRUE(First->Active());
    EXPECT_EQ(Screen->ActiveForm(), First);
    Second->Show();
    RunUntilIdle();
    EXPECT_FALSE(First->Active());
    EXPECT_EQ(Screen->ActiveForm(), Second);
    EXPECT_EQ(Screen->Forms(0), Second);
    Second->Hide();
    RunUntilIdle();
    EXPECT_EQ(W.Events, (std::vector<std::string>{"First.show", "First.activate", "Second.show",
                                                  "First.deactivate", "Second.activate", "Second.hide",
                                                  "Second.deactivate", "First.activate"}));
    EXPECT_FALSE(win::IsWindowVisible(Second->Handle()));
    // The forms' windows belong to the application's hidden window.
    EXPECT_EQ(win::GetWindow(First->Handle(), win::GW_OWNER), Application->Handle());
    EXPECT_FALSE(win::IsWindowVisible(Application->Handle()));

    W.Events.clear();
    delete Second;
    delete First;
    EXPECT_EQ(W.Events, (std::vector<std::string>{"Second.destroy", "First.destroy"}));
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
}

TEST_F(FormsTest, ShowModalRunsUntilAScriptedClickSetsTheModalResult) {
    TWatcher W(nullptr);
    auto* Main = new TForm(nullptr);
    Main->Show();
    auto* Dialog = new TForm(nullptr);
    W.Watch(Dialog, "Dialog");
    Dialog->SetPosition(poScreenCenter);
    Dialog->SetBorderStyle(bsDialog);
    auto* Button = new TButtonLike(Dialog);
    Button->SetParent(Dialog);
    Button->SetOnClick(TNotifyEvent(&W, &TWatcher::ButtonClick));
    W.Modal = Dialog;
    W.Other = Main->Handle();
    RunUntilIdle();

    testdrv::ScriptIdle({[&] { Click(Button->Handle(), {5, 5}); }});
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_FALSE(W.OthersEnabledMeanwhile);
    EXPECT_TRUE(win::IsWindowEnabled(Main->Handle()));
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_FALSE(Dialog->FormState().Contains(fsModal));
    EXPECT_EQ(W.Events, (std::vector<std::string>{"Dialog.show", "Dialog.activate", "Dialog.closequery",
                                                  "Dialog.close", "Dialog.deactivate", "Dialog.hide"}));
    EXPECT_EQ(Dialog->Left(), (1024 - Dialog->Width()) / 2);
    RunUntilIdle();
    EXPECT_EQ(win::GetActiveWindow(), Main->Handle());

    // A refusing OnCloseQuery keeps the dialog up until it agrees.
    W.Events.clear();
    W.AllowClose = false;
    testdrv::Advance(1000);
    testdrv::ScriptIdle({[&] {
                             Click(Button->Handle(), {5, 5});
                         },
                         [&] {
                             W.AllowClose = true;
                             win::PostMessage(Dialog->Handle(), win::WM_CLOSE, 0, 0);
                         }});
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_EQ(std::count(W.Events.begin(), W.Events.end(), "Dialog.closequery"), 2);

    // A visible form cannot become modal.
    Dialog->Show();
    EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
    delete Dialog;
    delete Main;
}

TEST_F(FormsTest, AQuitMessageEndsTheModalLoopAndIsPostedAgain) {
    auto* Dialog = new TForm(nullptr);
    testdrv::ScriptIdle({[] { win::PostQuitMessage(3); }});
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(Application->Terminated());
    win::MSG Msg;
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(Msg.message, win::WM_QUIT);
    EXPECT_EQ(Msg.wParam, 3u);
    delete Dialog;
}

TEST_F(FormsTest, CloseAsksOnCloseQueryAndDoesWhatOnCloseSays) {
    struct Case {
        const char* Name;
        bool Allow;
        TCloseAction Action;
        bool Visible;
        bool Deleted;
    };
    const Case Cases[] = {
        {"refused", false, caHide, true, false},        {"hidden", true, caHide, false, false},
        {"kept by OnClose", true, caNone, true, false}, {"freed", true, caFree, true, true},
        {"minimized", true, caMinimize, true, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TWatcher W(nullptr);
        auto* Main = new TForm(nullptr);
        Main->Show();
        auto* Form = new TForm(nullptr);
        W.Watch(Form, "Form");
        W.AllowClose = C.Allow;
        W.Action = C.Action;
        Form->Show();
        RunUntilIdle();
        const win::HWND Wnd = Form->Handle();
        // Through the window's close request, as the caption's button does.
        win::PostMessage(Wnd, win::WM_CLOSE, 0, 0);
        RunUntilIdle();
        EXPECT_EQ(W.Events[2], "Form.closequery");
        if (C.Deleted) {
            EXPECT_FALSE(win::IsWindow(Wnd));
            EXPECT_EQ(W.Events.back(), "Form.destroy");
            EXPECT_EQ(Screen->FormCount(), 1);
        } else {
            EXPECT_EQ(win::IsWindowVisible(Wnd) != 0, C.Visible);
            EXPECT_EQ(Form->WindowState(), C.Action == caMinimize ? wsMinimized : wsNormal);
            delete Form;
        }
        EXPECT_FALSE(Application->Terminated());
        delete Main;
    }
}

TEST_F(FormsTest, ApplicationRunEndsWhenTheMainFormCloses) {
    TForm* Main = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Main);
    TForm* Other = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Other);
    ASSERT_EQ(Application->MainForm(), Main);
    EXPECT_TRUE(Main->HandleAllocated());
    EXPECT_EQ(Main->Owner(), static_cast<TComponent*>(Application));
    testdrv::ScriptIdle({[&] { EXPECT_TRUE(win::IsWindowVisible(Main->Handle())); },
                         [&] { win::PostMessage(Main->Handle(), win::WM_CLOSE, 0, 0); }});
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(testdrv::IdleScriptDone());
    // The application deletes its forms.
    DoneApplication();
    EXPECT_EQ(ScreenIfExists(), nullptr);
}

// A headless script that ends while a modal loop waits: the program stops
// with a message naming the loop, not with an uncaught exception.
TEST_F(FormsTest, ARunThatWouldWaitForeverStopsNamingTheLoopThatWaits) {
    auto Run = [] {
        Application->SetTitle("demo");
        TForm* Main = nullptr;
        Application->CreateForm(TForm::ClassInfo(), Main);
        testdrv::ScriptIdle({[] {
            TForm Dialog(nullptr);
            Dialog.SetCaption("Вопрос");
            Dialog.ShowModal();
        }});
        Application->Run();
    };
    EXPECT_EXIT(
        Run(), testing::ExitedWithCode(1),
        "demo: the program would wait forever: the modal loop of the form \"Вопрос\": WaitMessage waits "
        "for a message that nothing can send");
}

TEST_F(FormsTest, ReleaseDeletesTheFormAfterItsMessages) {
    TWatcher W(nullptr);
    auto* Form = new TForm(nullptr);
    W.Watch(Form, "Form");
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    Form->Show();
    RunUntilIdle();
    Form->Release();
    EXPECT_EQ(Screen->FormCount(), 1);
    RunUntilIdle();
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(W.Events.back(), "Form.destroy");
}

TEST_F(FormsTest, ScreenKnowsCursorsMonitorsAndSystemFonts) {
    TScreen* S = Screen;
    EXPECT_EQ(S->Width(), 1024);
    EXPECT_EQ(S->Height(), 768);
    EXPECT_EQ(S->PixelsPerInch(), 96);
    EXPECT_EQ(S->MonitorCount(), 1);
    TMonitor* Monitor = S->MonitorFromPoint(TPoint{5000, 5000});
    ASSERT_NE(Monitor, nullptr);
    EXPECT_TRUE(Monitor->Primary());
    EXPECT_EQ(Monitor, S->Monitors(0));
    EXPECT_EQ(S->MonitorFromPoint(TPoint{5000, 5000}, mdNull), nullptr);
    const TRect Work = S->WorkAreaRect();
    EXPECT_EQ(Work.bottom, 738);
    EXPECT_EQ(Monitor->WorkareaRect().bottom, 738);
    EXPECT_EQ(S->WorkAreaHeight(), 738);

    win::NONCLIENTMETRICS Metrics;
    win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0);
    EXPECT_EQ(S->MenuFont()->Height(), Metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(S->HintFont()->Color(), clInfoText);
    EXPECT_GE(S->Fonts()->Count(), 1);

    // Cursors: the system's, the program's own at their indexes, the default otherwise.
    EXPECT_EQ(S->Cursors(crHourGlass), win::LoadCursor(nullptr, win::IDC_WAIT));
    EXPECT_EQ(S->Cursors(1041), S->Cursors(crDefault));
    const win::HCURSOR Own = win::LoadCursor(nullptr, win::IDC_CROSS);
    S->SetCursors(1041, Own);
    EXPECT_EQ(S->Cursors(1041), Own);
    S->SetCursors(1041, nullptr);
    EXPECT_EQ(S->Cursors(1041), S->Cursors(crDefault));
    S->SetCursor(crHourGlass);
    EXPECT_EQ(win::GetCursor(), S->Cursors(crHourGlass));
    S->SetCursor(crDefault);
}

TEST_F(FormsTest, ControlsAskTheScreenForTheirCursor) {
    auto* Form = new TForm(nullptr);
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    Button->SetCursor(crHandPoint);
    Form->Show();
    RunUntilIdle();
    testdrv::MoveTo(Button->Handle(), {5, 5});
    EXPECT_EQ(win::GetCursor(), Screen->Cursors(crHandPoint));
    Screen->SetCursor(crHourGlass);
    testdrv::MoveTo(Button->Handle(), {6, 6});
    EXPECT_EQ(win::GetCursor(), Screen->Cursors(crHourGlass));
    Screen->SetCursor(crDefault);
    EXPECT_EQ(win::GetCursor(), Screen->Cursors(crHandPoint));
    delete Form;
}

// Drives HandleMessage like the application's loop, one idle pass at a time.
class TIdleCounter : public TComponent {
    TRESTLE_CLASS(TIdleCounter, TComponent)
public:
    using TComponent::TComponent;
    int Idles = 0;
    std::vector<std::string> Events;
    void OnIdle(TObject*, bool& Done) {
        ++Idles;
        Done = true;
    }
    void OnHint(TObject*) { Events.push_back("hint " + Application->Hint()); }
};

class TEnterLeave : public TCustomControl {
    TRESTLE_CLASS(TEnterLeave, TCustomControl)
public:
    explicit TEnterLeave(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::vector<std::string>* Events = nullptr;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_MOUSEENTER && Message.LParam == 0) Events->push_back(Name() + ".enter");
        if (Message.Msg == CM_MOUSELEAVE && Message.LParam == 0) Events->push_back(Name() + ".leave");
        inherited::Dispatch(Message);
    }
};

TEST_F(FormsTest, IdleTimeTellsMouseEnterAndLeaveAndTheHint) {
    TIdleCounter Counter(nullptr);
    Application->SetOnIdle(TIdleEvent(&Counter, &TIdleCounter::OnIdle));
    Application->SetOnHint(TNotifyEvent(&Counter, &TIdleCounter::OnHint));
    auto* Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 300, 200);
    auto* A = new TEnterLeave(Form);
    A->SetName("A");
    A->SetHint("Open|Opens a file");
    A->SetBounds(0, 0, 50, 50);
    A->SetParent(Form);
    A->Events = &Counter.Events;
    auto* B = new TEnterLeave(Form);
    B->SetName("B");
    B->SetBounds(100, 0, 50, 50);
    B->SetParent(Form);
    B->Events = &Counter.Events;
    Form->Show();
    RunUntilIdle();
    const auto Wake = [] { win::PostThreadMessage(win::GetCurrentThreadId(), win::WM_NULL, 0, 0); };
    const auto IdlePass = [&] {
        testdrv::ScriptIdle({Wake});
        while (!testdrv::IdleScriptDone()) Application->HandleMessage();
        Application->ProcessMessages();
    };
    win::InjectMouseMove(A->ClientToScreen(TPoint{5, 5}));
    IdlePass();
    win::InjectMouseMove(B->ClientToScreen(TPoint{5, 5}));
    IdlePass();
    EXPECT_EQ(Counter.Events,
              (std::vector<std::string>{"A.enter", "hint Opens a file", "A.leave", "B.enter", "hint "}));
    EXPECT_GE(Counter.Idles, 2);
    delete Form;
}

// Takes the focus on Tab and answers one accelerator character.
class TAccelControl : public TCustomControl {
    TRESTLE_CLASS(TAccelControl, TCustomControl)
public:
    explicit TAccelControl(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    char32_t Accel = 0;
    std::vector<std::string>* Events = nullptr;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_DIALOGCHAR && Accel && TWMChar{Message}.CharCode() == Accel) {
            Events->push_back(Name() + ".accel");
            Message.Result = 1;
            return;
        }
        inherited::Dispatch(Message);
    }

protected:
    void KeyPress(char32_t& Key) override { Events->push_back(Name() + ".press " + char(Key)); }
};

TEST_F(FormsTest, DialogKeysAndCharactersGoThroughTheForm) {
    std::vector<std::string> Events;
    auto* Form = new TForm(nullptr);
    std::vector<TAccelControl*> Controls;
    for (const char* Name : {"A", "B", "C"}) {
        auto* C = new TAccelControl(Form);
        C->SetName(Name);
        C->Events = &Events;
        C->SetBounds(static_cast<int>(Controls.size()) * 60, 0, 50, 20);
        C->SetParent(Form);
        Controls.push_back(C);
    }
    Controls[1]->SetTabStop(false);
    Controls[2]->Accel = 'x';
    Form->Show();
    RunUntilIdle();
    // The form's first tab stop takes the focus.
    EXPECT_EQ(Form->ActiveControl(), Controls[0]);
    ASSERT_TRUE(Controls[0]->Focused());

    const auto Press = [](int Vk, const char* Chars = nullptr) {
        win::InjectKey(Vk, true, Chars);
        win::InjectKey(Vk, false);
        Application->ProcessMessages();
    };
    Press(win::VK_TAB);
    EXPECT_TRUE(Controls[2]->Focused());
    Press(win::VK_TAB);
    EXPECT_TRUE(Controls[0]->Focused());
    Controls[2]->SetTabOrder(0);
    Press(win::VK_TAB);
    EXPECT_TRUE(Controls[2]->Focused());

    Press('Y', "y");
    Press('X', "x");
    EXPECT_EQ(Events, (std::vector<std::string>{"C.press y", "C.accel"}));
    delete Form;
}

TEST_F(FormsTest, ApplicationRecordsHelpAndShowsMessageBoxesWithItsTitle) {
    Application->SetTitle("Driver");
    const auto& Boxes = testdrv::AnswerMessageBoxes({win::IDNO});
    EXPECT_EQ(Application->MessageBox("Save?", "", win::MB_YESNO), win::IDNO);
    EXPECT_EQ(Application->MessageBox("Really?", "Question"), win::IDOK);
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].caption, "Driver");
    EXPECT_EQ(Boxes[1].caption, "Question");

    EXPECT_TRUE(Application->HelpContext(42));
    EXPECT_TRUE(Application->HelpCommand(HELP_CONTEXTPOPUP, 7));
    const std::vector<THelpRequest>& Help = Application->HelpRequests();
    ASSERT_EQ(Help.size(), 2u);
    EXPECT_EQ(Help[0].Command, HELP_CONTEXT);
    EXPECT_EQ(Help[0].Data, 42);
    EXPECT_EQ(Help[1].Command, HELP_CONTEXTPOPUP);
}

TEST_F(FormsTest, ApplicationActivationIsReported) {
    TWatcher W(nullptr);
    Application->SetOnActivate(TNotifyEvent(&W, &TWatcher::OnActivate));
    Application->SetOnDeactivate(TNotifyEvent(&W, &TWatcher::OnDeactivate));
    auto* Form = new TForm(nullptr);
    Form->Show();
    RunUntilIdle();
    W.Events.clear();
    win::SetApplicationForeground(false);
    RunUntilIdle();
    EXPECT_FALSE(Application->Active());
    win::SetApplicationForeground(true);
    RunUntilIdle();
    EXPECT_TRUE(Application->Active());
    EXPECT_EQ(W.Events, (std::vector<std::string>{".deactivate", ".activate"}));
    delete Form;
}

class TFakeDesigner : public IDesignerHook {
public:
    std::vector<std::string> Events;
    bool IsDesignMsg(TControl*, TMessage&) override { return false; }
    void Modified() override { Events.push_back("modified"); }
    void Notification(TPersistent* AnObject, TOperation Operation) override {
        auto* C = dynamic_cast<TComponent*>(AnObject);
        Events.push_back(std::string(Operation == opInsert ? "insert " : "remove ") + (C ? C->Name() : ""));
    }
    void SelectComponent(TPersistent*) override {}
    std::string UniqueName(const std::string& BaseName) override { return BaseName + "1"; }
};

TEST_F(FormsTest, FormsHaveNoDesignerUnlessOneIsSet) {
    auto* Form = new TForm(nullptr);
    EXPECT_EQ(Form->Designer(), nullptr);
    TFakeDesigner Designer;
    Form->SetDesigner(&Designer);
    auto* Timer = new TTimer(Form);
    delete Timer;
    ASSERT_EQ(Designer.Events.size(), 2u);
    EXPECT_EQ(Designer.Events[0].substr(0, 6), "insert");
    EXPECT_EQ(Designer.Events[1].substr(0, 6), "remove");
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    EXPECT_EQ(GetParentForm(Button), Form);
    EXPECT_EQ(ValidParentForm(Button), Form);
    Button->SetParent(nullptr);
    EXPECT_EQ(GetParentForm(Button), nullptr);
    EXPECT_THROW(ValidParentForm(Button), EInvalidOperation);
    Form->SetDesigner(nullptr);
    delete Form;
}

class TTicker : public TComponent {
    TRESTLE_CLASS(TTicker, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::uint64_t> Ticks;
    TTimer* DeleteAt = nullptr;
    void Tick(TObject*) {
        Ticks.push_back(win::ClockNow());
        if (DeleteAt && Ticks.size() == 3) delete DeleteAt;
    }
};

TEST_F(FormsTest, TimerFiresEveryIntervalWhileEnabled) {
    TTicker Ticker(nullptr);
    auto* Timer = new TTimer(nullptr);
    Timer->SetInterval(100);
    const std::uint64_t Start = win::ClockNow();
    Timer->SetOnTimer(TNotifyEvent(&Ticker, &TTicker::Tick));
    testdrv::Advance(350);
    ASSERT_EQ(Ticker.Ticks.size(), 3u);
    EXPECT_EQ(Ticker.Ticks[0] - Start, 100u);
    Timer->SetEnabled(false);
    testdrv::Advance(300);
    EXPECT_EQ(Ticker.Ticks.size(), 3u);

    // A timer deleted by its own event stops without harm.
    Ticker.Ticks.clear();
    Ticker.DeleteAt = Timer;
    Timer->SetEnabled(true);
    testdrv::Advance(1000);
    EXPECT_EQ(Ticker.Ticks.size(), 3u);
}

} // namespace

namespace {

TEST_F(FormsTest, MDIChildrenLiveInTheMainFormsClientWindow) {
    auto* Lone = new TForm(nullptr);
    Lone->SetFormStyle(fsMDIChild);
    EXPECT_THROW(Lone->HandleNeeded(), EInvalidOperation);
    delete Lone;

    TForm* Frame = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Frame);
    Frame->SetFormStyle(fsMDIForm);
    auto* Top = new TButtonLike(Frame);
    Top->SetParent(Frame);
    Top->SetAlign(alTop);
    Top->SetHeight(30);
    Frame->Show();
    RunUntilIdle();
    ASSERT_NE(Frame->ClientHandle(), nullptr);
    EXPECT_EQ(win::GetClassName(Frame->ClientHandle()), "MDICLIENT");
    // The client window takes what the aligned controls leave.
    win::RECT R;
    win::GetWindowRect(Frame->ClientHandle(), &R);
    win::POINT Origin{R.left, R.top};
    win::ScreenToClient(Frame->Handle(), &Origin);
    EXPECT_EQ(Origin.y, 30);

    TWatcher W(nullptr);
    TForm* Children[2] = {};
    for (TForm*& Child : Children) {
        Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->Show();
        RunUntilIdle();
        EXPECT_EQ(win::GetParent(Child->Handle()), Frame->ClientHandle());
        EXPECT_EQ(Frame->ActiveMDIChild(), Child);
    }
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->MDIChildren(0), Children[1]); // the screen lists the active form first
    EXPECT_TRUE(Children[1]->Active());
    EXPECT_FALSE(Children[0]->Active());

    // A maximized child stays maximized across activations, its WindowState says so.
    Children[1]->SetWindowState(wsMaximized);
    Children[0]->Show();
    RunUntilIdle();
    EXPECT_EQ(Frame->ActiveMDIChild(), Children[0]);
    EXPECT_EQ(Children[0]->WindowState(), wsMaximized);
    EXPECT_EQ(Children[1]->WindowState(), wsNormal);

    // Closing minimizes unless OnClose says otherwise; freed, the other child takes over.
    Children[0]->Close();
    EXPECT_EQ(Children[0]->WindowState(), wsMinimized);
    W.Watch(Children[0], "Child");
    W.Action = caFree;
    Children[0]->Close();
    RunUntilIdle();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveMDIChild(), Children[1]);

    // Ctrl+F4 goes through the application's loop to the active child.
    testdrv::KeyDown(win::VK_CONTROL);
    win::PostMessage(Children[1]->Handle(), win::WM_KEYDOWN, win::VK_F4, 0);
    Application->ProcessMessages();
    testdrv::KeyUp(win::VK_CONTROL);
    EXPECT_EQ(Children[1]->WindowState(), wsMinimized);
}

} // namespace
