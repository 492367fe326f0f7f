// OnContextPopup: WM_CONTEXTMENU reaches the control under the click (a
// graphic control first, after its own mouse-up, since its parent's window
// asks for the menu), and what it does not handle goes on to the parents.
#include "app_fixture.h"
#include "classes/controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "classes/forms.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::RunUntilIdle;

class TSpot : public TGraphicControl {
    TRESTLE_CLASS(TSpot, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
};

struct TPopupLog {
    std::map<TObject*, std::string> Names;
    std::set<TObject*> Handles;
    std::string Text;
    std::function<void(TObject*)> Action;

    void Popup(TObject* Sender, TPoint MousePos, bool& Handled) {
        Add(Names[Sender] + " " + std::to_string(MousePos.x) + "," + std::to_string(MousePos.y));
        Handled = Handles.count(Sender) != 0;
        if (Action) Action(Sender);
    }
    void MouseUp(TObject* Sender, TMouseButton, TShiftState, int, int) { Add("up " + Names[Sender]); }
    void Add(const std::string& S) { Text += (Text.empty() ? "" : "; ") + S; }
};

class ContextPopupTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Panel = new test::TButtonLike(Form);
        Panel->SetBounds(10, 10, 150, 100);
        Panel->SetParent(Form);
        Spot = new TSpot(Form);
        Spot->SetBounds(20, 20, 40, 30);
        Spot->SetParent(Panel);
        for (TControl* C : std::initializer_list<TControl*>{Form, Panel, Spot}) {
            C->SetOnContextPopup(TContextPopupEvent(&Log, &TPopupLog::Popup));
            C->SetOnMouseUp(TMouseEvent(&Log, &TPopupLog::MouseUp));
        }
        Log.Names = {{Form, "form"}, {Panel, "panel"}, {Spot, "spot"}};
        Form->Show();
        win::SetForegroundWindow(Form->Handle());
        Panel->SetFocus();
        RunUntilIdle();
    }
    void TearDown() override {
        delete Form;
        AppTest::TearDown();
    }

    TForm* Form = nullptr;
    TCustomControl* Panel = nullptr;
    TSpot* Spot = nullptr;
    TPopupLog Log;
};

TEST_F(ContextPopupTest, TheControlUnderTheClickIsAskedThenItsParents) {
    struct Case {
        const char* what;
        std::function<void()> input;
        std::set<std::string> handles;
        const char* expect;
    };
    TCustomControl* P = Panel;
    TForm* F = Form;
    const Case cases[] = {
        {"a right click, handled by nobody",
         [P] {
             testdrv::Click(P->Handle(), win::POINT{5, 6}, win::MouseButton::Right);
         },
         {},
         "panel 5,6; form 15,16; up panel"},
        {"a right click the control handles",
         [P] {
             testdrv::Click(P->Handle(), win::POINT{5, 6}, win::MouseButton::Right);
         },
         {"panel"},
         "panel 5,6; up panel"},
        {"a right click on a graphic control",
         [P] {
             testdrv::Click(P->Handle(), win::POINT{25, 26}, win::MouseButton::Right);
         },
         {},
         "up spot; spot 5,6; panel 25,26; form 35,36"},
        {"a right click the graphic control handles",
         [P] {
             testdrv::Click(P->Handle(), win::POINT{25, 26}, win::MouseButton::Right);
         },
         {"spot"},
         "up spot; spot 5,6"},
        {"the menu key", [] { testdrv::PressKey(win::VK_APPS); }, {}, "panel -1,-1; form -1,-1"},
        {"a right click on the caption",
         [F] {
             win::RECT R;
             win::GetWindowRect(F->Handle(), &R);
             testdrv::ClickScreen(win::POINT{R.left + 40, R.top + 8}, win::MouseButton::Right);
         },
         {},
         ""},
    };
    for (const Case& C : cases) {
        SCOPED_TRACE(C.what);
        Log.Text.clear();
        Log.Handles.clear();
        for (const auto& [Object, Name] : Log.Names)
            if (C.handles.count(Name)) Log.Handles.insert(Object);
        C.input();
        EXPECT_EQ(Log.Text, C.expect);
    }
}

TEST_F(ContextPopupTest, AControlFreedByItsHandlerAsksNobodyElse) {
    Log.Action = [this](TObject* Sender) {
        if (Sender == Panel) {
            delete Panel;
            Panel = nullptr;
        }
    };
    const win::POINT At = Panel->ClientToScreen(TPoint{5, 6});
    testdrv::ClickScreen(At, win::MouseButton::Right);
    EXPECT_EQ(Log.Text, "panel 5,6");
    EXPECT_EQ(Form->ControlCount(), 0);
}

} // namespace
