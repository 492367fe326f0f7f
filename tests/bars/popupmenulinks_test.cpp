// Popup-menu links: context menus opened by a right click or from the
// keyboard through the link of a control or of its parent, where they open,
// OnAction moving or refusing them, the menus' shortcuts, and controls and
// menus freed while linked.
#include "bars/popupmenulinks.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "bars/managerlist.h"
#include "fixture.h"

namespace {

using namespace bars;
using testdrv::RunUntilIdle;

// Every key pressed in a linked control asks OnAction about its shortcut, a
// modifier and the menu key too.
const std::string KeyAsked = "action -1,-1 keys; ";

struct TLinkLog {
    std::string Text;
    std::function<void(int& X, int& Y, bool& AllowPopup)> OnAction;
    std::function<void(cls::TObject*, bool& Handled)> OnContextPopup;
    std::function<void()> OnClick;

    void Add(const std::string& S) { Text += (Text.empty() ? "" : "; ") + S; }
    void Action(TdxBarPopupMenuLink*, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup) {
        Add("action " + std::to_string(X) + "," + std::to_string(Y) + (ClickedByMouse ? " mouse" : " keys"));
        if (OnAction) OnAction(X, Y, AllowPopup);
    }
    void ContextPopup(cls::TObject* Sender, cls::TPoint MousePos, bool& Handled) {
        Add(static_cast<cls::TComponent*>(Sender)->Name() + " " + std::to_string(MousePos.x) + "," +
            std::to_string(MousePos.y));
        if (OnContextPopup) OnContextPopup(Sender, Handled);
    }
    void Click(cls::TObject* Sender) {
        Add("click " + static_cast<TdxBarItem*>(Sender)->Caption());
        if (OnClick) OnClick();
    }
};

class PopupMenuLinksTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Panel = NewControl("Panel", Form, cls::TRect{20, 30, 220, 150});
        Inner = NewControl("Inner", Panel, cls::TRect{10, 15, 130, 75});
        Outside = NewControl("Outside", Form, cls::TRect{230, 30, 280, 80});
        Copy = AddButton(Popup->ItemLinks(), "&Копировать");
        Copy->SetShortCut(cls::ShortCut('C', {cls::ssCtrl}));
        Copy->SetOnClick(cls::TNotifyEvent(&Log, &TLinkLog::Click));
        AddButton(Popup->ItemLinks(), "&Вставить");
        win::SetForegroundWindow(Form->Handle());
        Inner->SetFocus();
        RunUntilIdle();
    }

    cls::TCustomControl* NewControl(const std::string& AName, cls::TWinControl* AParent,
                                    const cls::TRect& R) {
        auto* Control = new cls::TCustomControl(Form);
        Control->SetName(AName);
        Control->SetParent(AParent);
        Control->SetBoundsRect(R);
        Control->SetOnContextPopup(cls::TContextPopupEvent(&Log, &TLinkLog::ContextPopup));
        return Control;
    }
    TdxBarPopupMenuLink* LinkTo(cls::TWinControl* AControl, TdxBarPopupMenu* AMenu,
                                bool AProcessChildren = true) {
        TdxBarPopupMenuLink* Link = Manager->PopupMenuLinks()->Add();
        Link->SetControl(AControl);
        Link->SetPopupMenu(AMenu);
        Link->SetProcessChildren(AProcessChildren);
        Link->SetOnAction(TdxBarPopupMenuLinkActionEvent(&Log, &TLinkLog::Action));
        return Link;
    }
    // Runs the input; a menu it opens is looked at once its loop waits, then
    // closed with Esc.
    void Run(const std::function<void()>& AInput) {
        Log.Text.clear();
        ShownAt.reset();
        ShownMenu = nullptr;
        testdrv::ScriptIdle({[this] {
            TCustomdxBarControl* Window = GetActiveBarControl();
            if (!Window) return;
            cls::TRect R;
            win::GetWindowRect(Window->Handle(), &R);
            ShownAt = cls::TPoint{R.left, R.top};
            for (TdxBarPopupMenu* Menu : {Popup, Other})
                if (Menu && Menu->GetBarControl() == Window) ShownMenu = Menu;
            testdrv::PressKey(win::VK_ESCAPE);
        }});
        AInput();
        RunUntilIdle();
        testdrv::ScriptIdle({});
        EXPECT_EQ(GetActiveBarControl(), nullptr);
    }
    static void RightClick(cls::TWinControl* AControl, cls::TPoint P) {
        testdrv::Click(AControl->Handle(), P, win::MouseButton::Right);
    }
    static void ShiftF10() {
        testdrv::KeyDown(win::VK_SHIFT);
        testdrv::PressKey(win::VK_F10);
        testdrv::KeyUp(win::VK_SHIFT);
    }
    static void CtrlC() {
        testdrv::KeyDown(win::VK_CONTROL);
        testdrv::PressKey('C');
        testdrv::KeyUp(win::VK_CONTROL);
    }
    static cls::TPoint ScreenOf(cls::TWinControl* AControl, cls::TPoint P) {
        return AControl->ClientToScreen(P);
    }

    cls::TCustomControl* Panel = nullptr;
    cls::TCustomControl* Inner = nullptr;
    cls::TCustomControl* Outside = nullptr;
    TdxBarButton* Copy = nullptr;
    TdxBarPopupMenu* Other = nullptr;
    TLinkLog Log;
    std::optional<cls::TPoint> ShownAt;
    TdxBarPopupMenu* ShownMenu = nullptr;
};

TEST_F(PopupMenuLinksTest, KeepToTheManagersForm) {
    auto* OtherForm = new cls::TForm(nullptr);
    auto* Foreign = new cls::TCustomControl(OtherForm);
    Foreign->SetParent(OtherForm);

    TdxBarPopupMenuLink* Link = Manager->PopupMenuLinks()->Add();
    EXPECT_TRUE(Link->ProcessChildren());
    Link->SetControl(Foreign);
    EXPECT_EQ(Link->Control(), nullptr);
    Link->SetControl(Inner);
    Link->SetPopupMenu(Popup);
    Link->SetProcessChildren(false);
    EXPECT_EQ(Link->Control(), Inner);
    delete OtherForm;

    // A copy finds the control and the menu by name on the manager's form.
    Popup->SetName("Menu");
    TdxBarPopupMenuLinks Copies(Manager);
    Copies.Assign(Manager->PopupMenuLinks());
    ASSERT_EQ(Copies.Count(), 1);
    EXPECT_EQ(Copies.Items(0)->Control(), Inner);
    EXPECT_EQ(Copies.Items(0)->PopupMenu(), Popup);
    EXPECT_FALSE(Copies.Items(0)->ProcessChildren());
}

TEST_F(PopupMenuLinksTest, AKeyboardMenuOpensAtTheCaretOrTheControlsCorner) {
    struct Case {
        const char* what;
        bool linkParent;
        // The window that holds a caret at (7, 4): none, the focus, another.
        cls::TWinControl* caret;
        std::function<void()> keys;
        cls::TPoint at; // in Inner
    };
    const Case cases[] = {
        {"the menu key, no caret", false, nullptr, [] { testdrv::PressKey(win::VK_APPS); }, {0, 0}},
        {"Shift+F10, no caret", false, nullptr, ShiftF10, {0, 0}},
        {"the menu key, a caret", false, Inner, [] { testdrv::PressKey(win::VK_APPS); }, {7, 4}},
        {"Shift+F10, a caret", false, Inner, ShiftF10, {7, 4}},
        {"a caret in another window", false, Panel, ShiftF10, {0, 0}},
        {"the parent's link, no caret", true, nullptr, ShiftF10, {0, 0}},
        {"the parent's link, a caret", true, Inner, [] { testdrv::PressKey(win::VK_APPS); }, {7, 4}},
    };
    for (const Case& C : cases) {
        SCOPED_TRACE(C.what);
        Manager->PopupMenuLinks()->Clear();
        cls::TWinControl* Linked = C.linkParent ? static_cast<cls::TWinControl*>(Panel) : Inner;
        LinkTo(Linked, Popup);
        if (C.caret) {
            ASSERT_TRUE(win::CreateCaret(C.caret->Handle(), nullptr, 1, 12));
            win::SetCaretPos(7, 4);
        }
        Run(C.keys);
        if (C.caret) win::DestroyCaret();
        EXPECT_EQ(ShownMenu, Popup);
        ASSERT_TRUE(ShownAt.has_value());
        const cls::TPoint Screen = ScreenOf(Inner, C.at);
        EXPECT_EQ(ShownAt->x, Screen.x);
        EXPECT_EQ(ShownAt->y, Screen.y);
        // The linked control is asked, and so is OnAction, in the linked
        // control's coordinates; the key asks nobody else.
        const cls::TPoint P = Linked->ScreenToClient(Screen);
        const std::string Point = std::to_string(P.x) + "," + std::to_string(P.y);
        EXPECT_EQ(Log.Text, KeyAsked + Linked->Name() + " " + Point + "; action " + Point + " keys");
    }
}

// A tray program brings its hidden main window to the foreground for its
// menu; that window keeps the focus but shows no context menu.
TEST_F(PopupMenuLinksTest, AHiddenWindowWithTheFocusOpensNoMenuFromTheKeyboard) {
    LinkTo(Form, Popup);
    Form->Hide();
    win::SetForegroundWindow(Form->Handle());
    win::SetFocus(Form->Handle());
    RunUntilIdle();
    ASSERT_EQ(win::GetFocus(), Form->Handle());
    Run([] { testdrv::PressKey(win::VK_APPS); });
    EXPECT_EQ(ShownMenu, nullptr);
    Form->Show();
    win::SetForegroundWindow(Form->Handle());
    win::SetFocus(Form->Handle());
    RunUntilIdle();
    Run([] { testdrv::PressKey(win::VK_APPS); });
    EXPECT_EQ(ShownMenu, Popup);
}

TEST_F(PopupMenuLinksTest, ARightClickOnAChildUsesItsParentsLinkWithProcessChildren) {
    Other = new TdxBarPopupMenu(Form);
    AddButton(Other->ItemLinks(), "&Другое");
    struct Case {
        const char* what;
        bool processChildren;
        bool linkInner;
        TdxBarPopupMenu* expect;
        const char* log;
    };
    const Case cases[] = {
        {"the parent serves its children", true, false, Popup, "Panel 40,35; action 40,35 mouse"},
        {"the parent serves only itself", false, false, nullptr, "Inner 30,20; Panel 40,35"},
        {"the child's own link comes first", true, true, Other, "Inner 30,20; action 30,20 mouse"},
    };
    for (const Case& C : cases) {
        SCOPED_TRACE(C.what);
        Manager->PopupMenuLinks()->Clear();
        if (C.linkInner) LinkTo(Inner, Other, false);
        LinkTo(Panel, Popup, C.processChildren);
        Run([this] { RightClick(Inner, {30, 20}); });
        EXPECT_EQ(ShownMenu, C.expect);
        EXPECT_EQ(Log.Text, C.log);
        if (!C.expect) continue;
        ASSERT_TRUE(ShownAt.has_value());
        EXPECT_EQ(ShownAt->x, ScreenOf(Inner, {30, 20}).x);
        EXPECT_EQ(ShownAt->y, ScreenOf(Inner, {30, 20}).y);
    }

    // A right click on the form outside the linked control opens nothing.
    Run([this] { testdrv::Click(Form->Handle(), win::POINT{250, 160}, win::MouseButton::Right); });
    EXPECT_EQ(ShownMenu, nullptr);
}

TEST_F(PopupMenuLinksTest, OnActionMovesOrRefusesTheMenuAndItsShortcuts) {
    LinkTo(Panel, Popup);
    Log.OnAction = [](int& X, int& Y, bool&) {
        X += 10;
        Y += 5;
    };
    Run([this] { RightClick(Inner, {30, 20}); });
    ASSERT_TRUE(ShownAt.has_value());
    EXPECT_EQ(ShownAt->x, ScreenOf(Inner, {40, 25}).x);
    EXPECT_EQ(ShownAt->y, ScreenOf(Inner, {40, 25}).y);
    Run(CtrlC);
    EXPECT_EQ(Log.Text, KeyAsked + KeyAsked + "click &Копировать");

    Log.OnAction = [](int&, int&, bool& AllowPopup) { AllowPopup = false; };
    Run([this] { RightClick(Inner, {30, 20}); });
    EXPECT_EQ(ShownMenu, nullptr);
    // The refused release goes on as usual: the controls hear of it again.
    EXPECT_EQ(Log.Text, "Panel 40,35; action 40,35 mouse; Inner 30,20; Panel 40,35");
    Run([] { testdrv::PressKey(win::VK_APPS); });
    EXPECT_EQ(ShownMenu, nullptr);
    Run(CtrlC);
    EXPECT_EQ(Log.Text, KeyAsked + "action -1,-1 keys");
}

TEST_F(PopupMenuLinksTest, AShortcutOfALinkedMenuClicksItsCommand) {
    struct Case {
        const char* what;
        cls::TWinControl* focus;
        bool processChildren;
        std::string log;
    };
    const Case cases[] = {
        {"in a child of the linked control", Inner, true, KeyAsked + KeyAsked + "click &Копировать"},
        {"in the linked control", Panel, false, KeyAsked + KeyAsked + "click &Копировать"},
        {"in a child the link does not serve", Inner, false, ""},
        {"outside the linked control", Outside, true, ""},
    };
    for (const Case& C : cases) {
        SCOPED_TRACE(C.what);
        Manager->PopupMenuLinks()->Clear();
        LinkTo(Panel, Popup, C.processChildren);
        C.focus->SetFocus();
        RunUntilIdle();
        Run(CtrlC);
        EXPECT_EQ(Log.Text, C.log);
        EXPECT_EQ(ShownMenu, nullptr);
    }
}

TEST_F(PopupMenuLinksTest, AControlThatHandlesItsContextPopupGetsNoMenu) {
    LinkTo(Panel, Popup);
    Log.OnContextPopup = [this](cls::TObject* Sender, bool& Handled) { Handled = Sender == Panel; };
    Run([this] { RightClick(Inner, {30, 20}); });
    EXPECT_EQ(ShownMenu, nullptr);
    EXPECT_EQ(Log.Text, "Panel 40,35");
}

TEST_F(PopupMenuLinksTest, ControlsAndMenusFreedWhileLinked) {
    TdxBarPopupMenuLink* Link = LinkTo(Inner, Popup, false);
    delete Inner;
    Inner = nullptr;
    EXPECT_EQ(Link->Control(), nullptr);
    Run([this] { RightClick(Panel, {30, 20}); });
    EXPECT_EQ(ShownMenu, nullptr);

    // The control goes in its own OnContextPopup, or in OnAction.
    Log.OnContextPopup = [this](cls::TObject*, bool&) {
        delete Outside;
        Outside = nullptr;
    };
    Link->SetControl(Outside);
    Run([this] { RightClick(Outside, {5, 5}); });
    EXPECT_EQ(Link->Control(), nullptr);
    EXPECT_EQ(ShownMenu, nullptr);
    Log.OnContextPopup = nullptr;
    Link->SetControl(Panel);
    Log.OnAction = [this](int&, int&, bool&) {
        delete Panel;
        Panel = nullptr;
    };
    Run([this] { RightClick(Panel, {30, 20}); });
    EXPECT_EQ(Link->Control(), nullptr);
    EXPECT_EQ(ShownMenu, nullptr);

    // OnAction frees its own link.
    auto* Edit = NewControl("Edit", Form, cls::TRect{10, 10, 60, 40});
    Link->SetControl(Edit);
    Log.OnAction = [this](int&, int&, bool&) { Manager->PopupMenuLinks()->Clear(); };
    Run([&] { RightClick(Edit, {5, 5}); });
    EXPECT_EQ(Manager->PopupMenuLinks()->Count(), 0);
    EXPECT_EQ(ShownMenu, nullptr);

    // The chosen command frees the control and the menu.
    Log.OnAction = nullptr;
    Link = LinkTo(Edit, Popup);
    Log.OnClick = [this, Edit] {
        delete Edit;
        delete Popup;
        Popup = nullptr;
    };
    testdrv::ScriptIdle({[] { ClickItem("&Копировать"); }});
    RightClick(Edit, {5, 5});
    RunUntilIdle();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(Link->Control(), nullptr);
    EXPECT_EQ(Link->PopupMenu(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);

    // A freed menu leaves the link without one: the release goes on as usual.
    Link->SetControl(Form);
    Run([this] { testdrv::Click(Form->Handle(), win::POINT{250, 160}, win::MouseButton::Right); });
    EXPECT_EQ(Log.Text, "action 250,160 mouse");
}

} // namespace
