#include "app_fixture.h"
#include "classes/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/forms.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::Click;
using testdrv::RunUntilIdle;

using ControlsTest = test::AppTest;

std::string MsgName(win::UINT Msg) {
    switch (Msg) {
        case CM_SHOWINGCHANGED:
            return "CM_SHOWINGCHANGED";
        case CM_RECREATEWND:
            return "CM_RECREATEWND";
        case CM_VISIBLECHANGED:
            return "CM_VISIBLECHANGED";
        case CM_FONTCHANGED:
            return "CM_FONTCHANGED";
        case CM_PARENTFONTCHANGED:
            return "CM_PARENTFONTCHANGED";
        default:
            return testdrv::MessageName(Msg);
    }
}

// A windowed control that records the messages of interest as its
// WindowProc sees them and paints itself in one colour.
class TProbe : public TCustomControl {
    TRESTLE_CLASS(TProbe, TCustomControl)
public:
    explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 40, 30); }

    void WndProc(TMessage& Message) override {
        if (Watched(Message.Msg)) Log.push_back(MsgName(Message.Msg));
        if (Message.Msg == win::WM_LBUTTONDOWN && RecreateOnPress) RecreateWnd();
        inherited::WndProc(Message);
    }
    std::string Text() const {
        std::string S;
        for (const std::string& M : Log) S += (S.empty() ? "" : " ") + M;
        return S;
    }

    std::vector<std::string> Log;
    std::vector<win::UINT> Watch;
    bool RecreateOnPress = false;
    TColor Fill = clRed;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush()->SetColor(Fill);
        const TRect R = ClientRect();
        Canvas()->FillRect(R);
    }

private:
    bool Watched(win::UINT Msg) const {
        for (win::UINT W : Watch)
            if (W == Msg) return true;
        return false;
    }
};

// A control painted by its parent, recording its mouse events.
class TDot : public TGraphicControl {
    TRESTLE_CLASS(TDot, TGraphicControl)
public:
    explicit TDot(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(10, 10, 20, 20); }

    std::vector<std::string> Events;
    bool CapturedWhilePressed = false;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(TRect{0, 0, Width(), Height()});
    }
    void MouseDown(TMouseButton, TShiftState Shift, int X, int Y) override {
        Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y) +
                         (Shift.Contains(ssDouble) ? " double" : ""));
        CapturedWhilePressed = MouseCapture();
    }
    void MouseUp(TMouseButton, TShiftState, int X, int Y) override {
        Events.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
    }
    void Click() override {
        Events.push_back("click");
        inherited::Click();
    }
    void DblClick() override { Events.push_back("dblclick"); }
};

class TSelfDeleter : public TComponent {
    TRESTLE_CLASS(TSelfDeleter, TComponent)
public:
    using TComponent::TComponent;
    TComponent* Victim = nullptr;
    int Calls = 0;
    void Delete(TObject*) {
        ++Calls;
        delete Victim;
    }
};

TForm* ShownForm() {
    auto* Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    Form->Show();
    RunUntilIdle();
    return Form;
}

TEST_F(ControlsTest, HandleIsCreatedLazilyDestroyedAndRecreatedUnderTheLiveControl) {
    TForm* Form = new TForm(nullptr);
    auto* Probe = new TProbe(Form);
    Probe->Watch = {win::WM_NCCREATE,  win::WM_CREATE,    win::WM_SIZE,      win::WM_SETFONT,
                    win::WM_DESTROY,   win::WM_NCDESTROY, CM_SHOWINGCHANGED, CM_RECREATEWND,
                    CM_VISIBLECHANGED, win::WM_SETTEXT,   win::WM_SHOWWINDOW};
    Probe->SetParent(Form);
    Probe->SetCaption("probe");
    EXPECT_FALSE(Form->HandleAllocated());
    EXPECT_FALSE(Probe->HandleAllocated());
    EXPECT_EQ(Probe->Text(), "WM_SETTEXT");

    // Asking for the child's window makes the parent's first.
    Probe->Log.clear();
    const win::HWND First = Probe->Handle();
    ASSERT_TRUE(win::IsWindow(First));
    EXPECT_TRUE(Form->HandleAllocated());
    EXPECT_EQ(win::GetParent(First), Form->Handle());
    EXPECT_EQ(Probe->Text(), "WM_NCCREATE WM_CREATE WM_SIZE WM_SETFONT");
    EXPECT_EQ(win::GetWindowText(First), "probe");
    EXPECT_FALSE(Probe->Showing());

    // Showing the form shows the child's window.
    Probe->Log.clear();
    Form->Show();
    RunUntilIdle();
    EXPECT_TRUE(Probe->Showing());
    EXPECT_TRUE(win::IsWindowVisible(First));
    EXPECT_EQ(Probe->Text(), "CM_SHOWINGCHANGED");

    // A new window under the same object, which keeps its text.
    Probe->Log.clear();
    Probe->RecreateWnd();
    const win::HWND Second = Probe->Handle();
    EXPECT_NE(Second, First);
    EXPECT_FALSE(win::IsWindow(First));
    EXPECT_TRUE(win::IsWindowVisible(Second));
    EXPECT_EQ(win::GetWindowText(Second), "probe");
    EXPECT_EQ(Probe->Text(),
              "CM_RECREATEWND WM_SHOWWINDOW WM_DESTROY WM_NCDESTROY WM_NCCREATE WM_CREATE WM_SIZE "
              "WM_SETFONT CM_SHOWINGCHANGED");
    EXPECT_EQ(FindControl(Second), Probe);
    EXPECT_EQ(FindControl(First), nullptr);

    // Hiding and destroying: the window goes, the control stays.
    Probe->Log.clear();
    Probe->SetVisible(false);
    EXPECT_FALSE(Probe->Showing());
    Probe->DestroyHandle();
    EXPECT_FALSE(Probe->HandleAllocated());
    EXPECT_EQ(Probe->Text(), "CM_VISIBLECHANGED CM_SHOWINGCHANGED WM_DESTROY WM_NCDESTROY");
    EXPECT_EQ(Probe->Caption(), "probe");
    delete Form;
}

TEST_F(ControlsTest, WindowDestroyedBySomeoneElseLeavesTheControlWithoutHandle) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    const win::HWND Old = Probe->Handle();
    win::DestroyWindow(Old);
    EXPECT_FALSE(Probe->HandleAllocated());
    EXPECT_FALSE(Probe->Showing());
    EXPECT_EQ(FindControl(Old), nullptr);
    EXPECT_TRUE(win::IsWindow(Probe->Handle()));

    // The whole form's window going takes the children's with it.
    win::DestroyWindow(Form->Handle());
    EXPECT_FALSE(Form->HandleAllocated());
    EXPECT_FALSE(Probe->HandleAllocated());
    delete Form;
}

// Deletes itself when its window gets a chosen message.
class TDeletedOnMessage : public TProbe {
    TRESTLE_CLASS(TDeletedOnMessage, TProbe)
public:
    using TProbe::TProbe;
    win::UINT DeleteOn = 0;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == DeleteOn) {
            delete this;
            return;
        }
        inherited::WndProc(Message);
    }
};

TEST_F(ControlsTest, AControlDeletedWhileTheWindowSystemDestroysItsWindowIsNotCalledAgain) {
    for (const win::UINT Msg : {win::WM_DESTROY, win::WM_NCDESTROY}) {
        TForm* Form = ShownForm();
        auto* Probe = new TDeletedOnMessage(Form);
        Probe->SetParent(Form);
        Probe->DeleteOn = Msg;
        const win::HWND Wnd = Probe->Handle();
        RunUntilIdle();
        win::DestroyWindow(Form->Handle());
        EXPECT_FALSE(win::IsWindow(Wnd)) << Msg;
        EXPECT_EQ(Form->ControlCount(), 0) << Msg;
        delete Form;
    }
}

TEST_F(ControlsTest, HandleRecreatedInsideItsOwnMessageHandlerKeepsWorking) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    RunUntilIdle();
    TSelfDeleter Counter(nullptr);
    Probe->SetOnClick(TNotifyEvent(&Counter, &TSelfDeleter::Delete));
    Probe->RecreateOnPress = true;
    const win::HWND First = Probe->Handle();
    // The press makes a new window before it is handled; the capture and the
    // release go to the new one, so the click still counts.
    Click(First, {5, 5});
    const win::HWND Second = Probe->Handle();
    EXPECT_NE(First, Second);
    EXPECT_FALSE(win::IsWindow(First));
    EXPECT_TRUE(win::IsWindowVisible(Second));
    EXPECT_EQ(Counter.Calls, 1);
    Probe->RecreateOnPress = false;
    testdrv::Advance(1000);
    Click(Second, {5, 5});
    EXPECT_EQ(Counter.Calls, 2);
    delete Form;
}

TEST_F(ControlsTest, ControlsAlignInTheParentsClientArea) {
    struct Child {
        TAlign Align;
        TRect Bounds;
        TRect Expected;
        bool Visible = true;
    };
    struct Case {
        const char* Name;
        std::vector<Child> Children;
    };
    const std::vector<Case> Cases = {
        {"edges and client",
         {{alTop, {0, 0, 10, 20}, {0, 0, 200, 20}},
          {alBottom, {0, 0, 10, 15}, {0, 85, 200, 100}},
          {alLeft, {0, 0, 30, 10}, {0, 20, 30, 85}},
          {alRight, {0, 0, 25, 10}, {175, 20, 200, 85}},
          {alClient, {0, 0, 1, 1}, {30, 20, 175, 85}}}},
        {"two tops keep their order by position",
         {{alTop, {0, 50, 10, 60}, {0, 10, 200, 20}}, {alTop, {0, 5, 10, 15}, {0, 0, 200, 10}}}},
        {"a hidden control takes no space",
         {{alTop, {0, 0, 10, 40}, {0, 0, 10, 40}, false}, {alClient, {0, 0, 1, 1}, {0, 0, 200, 100}}}},
        {"unaligned controls stay",
         {{alNone, {7, 8, 20, 30}, {7, 8, 20, 30}}, {alLeft, {0, 0, 50, 10}, {0, 0, 50, 100}}}},
    };
    TForm* Form = ShownForm();
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto* Panel = new TProbe(Form);
        Panel->SetControlStyle(Panel->ControlStyle() + csAcceptsControls);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 200, 100);
        // Added at once, so that the alignment sees them all in their places.
        Panel->DisableAlign();
        std::vector<TProbe*> Controls;
        for (const Child& Want : C.Children) {
            auto* Control = new TProbe(Form);
            Control->SetBoundsRect(Want.Bounds);
            Control->SetVisible(Want.Visible);
            Control->SetAlign(Want.Align);
            Control->SetParent(Panel);
            Controls.push_back(Control);
        }
        Panel->EnableAlign();
        for (std::size_t I = 0; I < Controls.size(); ++I) {
            const TRect R = Controls[I]->BoundsRect();
            const TRect E = C.Children[I].Expected;
            EXPECT_EQ(R.left, E.left) << "child " << I;
            EXPECT_EQ(R.top, E.top) << "child " << I;
            EXPECT_EQ(R.right, E.right) << "child " << I;
            EXPECT_EQ(R.bottom, E.bottom) << "child " << I;
        }
        delete Panel;
        EXPECT_EQ(Form->ControlCount(), 0);
    }
    delete Form;
}

TEST_F(ControlsTest, AlignmentFollowsResizeAndWaitsWhileDisabled) {
    TForm* Form = ShownForm();
    auto* Panel = new TProbe(Form);
    Panel->SetControlStyle(Panel->ControlStyle() + csAcceptsControls);
    Panel->SetParent(Form);
    Panel->SetBounds(0, 0, 200, 100);
    auto* Bar = new TProbe(Form);
    Bar->SetBounds(0, 0, 10, 24);
    Bar->SetParent(Panel);

    Panel->DisableAlign();
    Bar->SetAlign(alTop);
    EXPECT_EQ(Bar->Width(), 10);
    Panel->EnableAlign();
    EXPECT_EQ(Bar->Width(), 200);
    EXPECT_EQ(Bar->Height(), 24);

    Panel->SetWidth(150);
    EXPECT_EQ(Bar->Width(), 150);

    // From a horizontal edge to a vertical one the thickness stays.
    Bar->SetAlign(alLeft);
    EXPECT_EQ(Bar->Width(), 24);
    EXPECT_EQ(Bar->Height(), 100);
    delete Form;
}

TEST_F(ControlsTest, MouseMessagesReachGraphicControlsWithCaptureAndClicks) {
    TForm* Form = ShownForm();
    auto* Panel = new TProbe(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(0, 0, 100, 100);
    auto* Dot = new TDot(Form);
    Dot->SetParent(Panel);
    RunUntilIdle();
    const win::HWND Wnd = Panel->Handle();

    Click(Wnd, {15, 17});
    EXPECT_EQ(Dot->Events, (std::vector<std::string>{"down 5,7", "click", "up 5,7"}));
    EXPECT_TRUE(Dot->CapturedWhilePressed);
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // Released outside: no click, and the release still reaches the captor.
    testdrv::Advance(1000);
    Dot->Events.clear();
    testdrv::MoveTo(Wnd, {15, 15});
    testdrv::MouseDown();
    testdrv::MoveTo(Wnd, {80, 80});
    testdrv::MouseUp();
    EXPECT_EQ(Dot->Events, (std::vector<std::string>{"down 5,5", "up 70,70"}));

    // Double clicks: a DblClick for a control that takes them, two presses otherwise.
    testdrv::Advance(1000);
    Dot->Events.clear();
    Click(Wnd, {15, 15});
    Click(Wnd, {15, 15});
    EXPECT_EQ(Dot->Events, (std::vector<std::string>{"down 5,5", "click", "up 5,5", "dblclick",
                                                     "down 5,5 double", "up 5,5"}));
    testdrv::Advance(1000);
    Dot->Events.clear();
    Dot->SetControlStyle(Dot->ControlStyle() - csDoubleClicks);
    Click(Wnd, {15, 15});
    Click(Wnd, {15, 15});
    EXPECT_EQ(Dot->Events,
              (std::vector<std::string>{"down 5,5", "click", "up 5,5", "down 5,5", "click", "up 5,5"}));
    delete Form;
}

class TKeyRecorder : public TComponent {
    TRESTLE_CLASS(TKeyRecorder, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::string> Events;
    win::WORD Swallow = 0;

    void FormKeyDown(TObject*, win::WORD& Key, TShiftState) {
        Events.push_back("form " + std::to_string(Key));
        if (Key == Swallow) Key = 0;
    }
    void KeyDown(TObject*, win::WORD& Key, TShiftState Shift) {
        Events.push_back("down " + std::to_string(Key) + (Shift.Contains(ssShift) ? " shift" : ""));
    }
    void KeyPress(TObject*, char32_t& Key) {
        Events.push_back("press " + std::string(1, static_cast<char>(Key)));
    }
    void KeyUp(TObject*, win::WORD& Key, TShiftState) { Events.push_back("up " + std::to_string(Key)); }
};

TEST_F(ControlsTest, KeysReachTheFocusedControlAfterTheFormsPreview) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    auto* Recorder = new TKeyRecorder(Form);
    Probe->SetOnKeyDown(TKeyEvent(Recorder, &TKeyRecorder::KeyDown));
    Probe->SetOnKeyPress(TKeyPressEvent(Recorder, &TKeyRecorder::KeyPress));
    Probe->SetOnKeyUp(TKeyEvent(Recorder, &TKeyRecorder::KeyUp));
    Form->SetOnKeyDown(TKeyEvent(Recorder, &TKeyRecorder::FormKeyDown));
    Probe->SetFocus();
    RunUntilIdle();
    ASSERT_TRUE(Probe->Focused());
    EXPECT_EQ(Form->ActiveControl(), Probe);
    EXPECT_EQ(Screen->ActiveControl(), Probe);

    testdrv::PressKey('A', "a");
    EXPECT_EQ(Recorder->Events, (std::vector<std::string>{"down 65", "press a", "up 65"}));

    Recorder->Events.clear();
    Form->SetKeyPreview(true);
    Recorder->Swallow = 'B';
    testdrv::KeyDown(win::VK_SHIFT);
    testdrv::PressKey('B', "B");
    testdrv::PressKey('C', "C");
    testdrv::KeyUp(win::VK_SHIFT);
    EXPECT_EQ(Recorder->Events,
              (std::vector<std::string>{"form 16", "down 16 shift", "form 66", "press B", "up 66", "form 67",
                                        "down 67 shift", "press C", "up 67", "up 16"}));
    delete Form;
}

TEST_F(ControlsTest, FindControlAnswersForTheLibrarysWindowsOnly) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    EXPECT_EQ(FindControl(Probe->Handle()), Probe);
    EXPECT_EQ(FindControl(Form->Handle()), Form);
    EXPECT_EQ(FindControl(nullptr), nullptr);
    EXPECT_EQ(FindControl(Application->Handle()), nullptr);
    const win::HWND Old = Probe->Handle();
    delete Probe;
    EXPECT_EQ(FindControl(Old), nullptr);
    auto* Child = new TProbe(Form);
    Child->SetParent(Form);
    EXPECT_THROW(Form->SetParent(Child), EInvalidOperation);
    EXPECT_THROW(Child->SetParent(Child), EInvalidOperation);
    TPoint P = Form->ClientToScreen(TPoint{50, 50});
    EXPECT_EQ(FindDragTarget(P, false), Form);
    delete Form;
}

TEST_F(ControlsTest, AControlDeletedInsideItsOwnClickHandlerDoesNotCrash) {
    struct Case {
        const char* Name;
        bool Graphic;
        bool DeleteForm;
    };
    for (const Case& C : {Case{"windowed control", false, false}, Case{"graphic control", true, false},
                          Case{"the whole form", false, true}}) {
        SCOPED_TRACE(C.Name);
        testdrv::Advance(1000);
        TForm* Form = ShownForm();
        auto* Panel = new TProbe(Form);
        Panel->SetBounds(0, 0, 100, 100);
        Panel->SetParent(Form);
        TControl* Target = Panel;
        if (C.Graphic) {
            Target = new TDot(Form);
            Target->SetParent(Panel);
        }
        TSelfDeleter Deleter(nullptr);
        Deleter.Victim = C.DeleteForm ? static_cast<TComponent*>(Form) : Target;
        Target->SetOnClick(TNotifyEvent(&Deleter, &TSelfDeleter::Delete));
        const win::HWND Wnd = Panel->Handle();
        Click(Wnd, {15, 15});
        EXPECT_EQ(Deleter.Calls, 1);
        EXPECT_FALSE(win::IsWindow(Wnd) && !C.Graphic);
        if (!C.DeleteForm) {
            EXPECT_EQ(C.Graphic ? Panel->ControlCount() : Form->ControlCount(), 0);
            delete Form;
        }
        EXPECT_EQ(Screen->FormCount(), 0);
    }
}

TEST_F(ControlsTest, FontAndColorFollowTheParentUntilSetOwn) {
    TForm* Form = ShownForm();
    Form->Font()->SetName("DejaVu Sans");
    auto* Panel = new TProbe(Form);
    Panel->Watch = {CM_FONTCHANGED, CM_PARENTFONTCHANGED};
    Panel->SetParent(Form);
    auto* Dot = new TDot(Form);
    Dot->SetParent(Panel);
    EXPECT_EQ(Panel->Font()->Name(), "DejaVu Sans");
    EXPECT_TRUE(Panel->ParentFont());
    EXPECT_EQ(Panel->Color(), clBtnFace);

    Panel->Log.clear();
    Form->Font()->SetHeight(-20);
    EXPECT_EQ(Panel->Text(), "CM_PARENTFONTCHANGED CM_FONTCHANGED");
    EXPECT_EQ(Dot->Font()->Height(), -20);
    EXPECT_TRUE(Panel->ParentFont());

    Panel->Font()->SetHeight(-9);
    EXPECT_FALSE(Panel->ParentFont());
    Form->Font()->SetHeight(-30);
    EXPECT_EQ(Panel->Font()->Height(), -9);
    EXPECT_EQ(Dot->Font()->Height(), -9);

    Form->SetColor(clRed);
    EXPECT_EQ(Dot->Color(), clRed);
    Panel->SetColor(clBlue);
    EXPECT_FALSE(Panel->ParentColor());
    EXPECT_EQ(Dot->Color(), clBlue);
    Panel->SetParentColor(true);
    EXPECT_EQ(Panel->Color(), clRed);
    delete Form;
}

TEST_F(ControlsTest, CustomAndGraphicControlsPaintThroughTheirCanvas) {
    TForm* Form = ShownForm();
    auto* Panel = new TProbe(Form);
    Panel->SetBounds(10, 10, 100, 60);
    Panel->SetParent(Form);
    auto* Dot = new TDot(Form);
    Dot->SetParent(Panel);
    RunUntilIdle();
    EXPECT_GE(Panel->Paints, 1);
    const TPoint Origin = Panel->ClientToScreen(TPoint{0, 0});
    win::ComposeScreen();
    EXPECT_EQ(win::ScreenPixel(TPoint{Origin.x + 2, Origin.y + 2}), gfx::RGB(255, 0, 0));
    EXPECT_EQ(win::ScreenPixel(TPoint{Origin.x + 15, Origin.y + 15}), gfx::RGB(0, 0, 255));

    // Drawing on the canvas outside a paint takes a window DC, released after the message.
    Panel->Fill = clLime;
    Panel->Canvas()->Brush()->SetColor(clLime);
    Panel->Canvas()->FillRect(TRect{0, 0, 5, 5});
    FreeDeviceContexts();
    win::ComposeScreen();
    EXPECT_EQ(win::ScreenPixel(TPoint{Origin.x + 1, Origin.y + 1}), gfx::RGB(0, 255, 0));
    Panel->Repaint();
    win::ComposeScreen();
    EXPECT_EQ(win::ScreenPixel(TPoint{Origin.x + 50, Origin.y + 50}), gfx::RGB(0, 255, 0));
    EXPECT_EQ(win::ScreenPixel(TPoint{Origin.x + 15, Origin.y + 15}), gfx::RGB(0, 0, 255));
    delete Form;
}

TEST_F(ControlsTest, PaintToDrawsTheControlAndItsChildrenOntoAnotherDC) {
    TForm* Form = ShownForm();
    auto* Panel = new TProbe(Form);
    Panel->SetBounds(0, 0, 60, 40);
    Panel->SetParent(Form);
    auto* Dot = new TDot(Form);
    Dot->SetParent(Panel);
    auto* Inner = new TProbe(Form);
    Inner->Fill = clLime;
    Inner->SetBounds(40, 20, 10, 10);
    Inner->SetParent(Panel);
    TBitmap Bitmap(80, 60);
    Panel->PaintTo(Bitmap.Canvas()->Handle(), 5, 5);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(6, 6), clRed);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(20, 20), clBlue);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(50, 30), clLime);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(70, 50), clWhite);
    delete Form;
}

class TExceptionCatcher : public TComponent {
    TRESTLE_CLASS(TExceptionCatcher, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::string> Seen;
    TObject* LastSender = nullptr;
    bool RaiseAbort = false;
    void Raise(TObject*) {
        if (RaiseAbort) Abort();
        throw EInvalidOperation("Boom");
    }
    void Caught(TObject* Sender, Exception& E) {
        LastSender = Sender;
        Seen.push_back(std::string(E.ClassName()) + ": " + E.Message());
    }
};

TEST_F(ControlsTest, AnExceptionInOnClickReachesTheApplicationsHandler) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    TExceptionCatcher Catcher(nullptr);
    Probe->SetOnClick(TNotifyEvent(&Catcher, &TExceptionCatcher::Raise));
    Application->SetTitle("Trestle test");
    const auto& Boxes = testdrv::AnswerMessageBoxes({});

    // Without a handler: a message box with the application's title.
    Click(Probe->Handle(), {5, 5});
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].text, "Boom.");
    EXPECT_EQ(Boxes[0].caption, "Trestle test");
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // With one: the handler gets it, with the control as sender.
    testdrv::Advance(1000);
    Application->SetOnException(TExceptionEvent(&Catcher, &TExceptionCatcher::Caught));
    Click(Probe->Handle(), {5, 5});
    EXPECT_EQ(Catcher.Seen, (std::vector<std::string>{"EInvalidOperation: Boom"}));
    EXPECT_EQ(Catcher.LastSender, Probe);

    // EAbort is the silent cancel.
    testdrv::Advance(1000);
    Catcher.RaiseAbort = true;
    Application->SetOnException(nullptr);
    Click(Probe->Handle(), {5, 5});
    EXPECT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Catcher.Seen.size(), 1u);
    delete Form;
}

TEST_F(ControlsTest, SubclassingTheWindowKeepsTheControlWorking) {
    TForm* Form = ShownForm();
    auto* Probe = new TProbe(Form);
    Probe->SetParent(Form);
    TSelfDeleter Counter(nullptr);
    Probe->SetOnClick(TNotifyEvent(&Counter, &TSelfDeleter::Delete));
    {
        testdrv::MessageLog Log{Probe->Handle()};
        Log.Only({win::WM_LBUTTONDOWN, win::WM_LBUTTONUP});
        Click(Probe->Handle(), {5, 5});
        EXPECT_EQ(Log.Text(), "WM_LBUTTONDOWN WM_LBUTTONUP");
        EXPECT_EQ(Counter.Calls, 1);
    }
    testdrv::Advance(1000);
    Click(Probe->Handle(), {5, 5});
    EXPECT_EQ(Counter.Calls, 2);
    delete Form;
}

} // namespace
