// The controls that host an edit window: editing in a toolbar and a menu
// (typing, confirming, cancelling, moving on with Tab), where the focus goes,
// the keys that leave the edit to the menus, and what they survive.
#include "bars/wincontrols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/comboitems.h"
#include "bars/edititems.h"
#include "bars/managerlist.h"
#include "bars/popupmenu.h"
#include "bars/toolbar.h"
#include "fixture.h"
#include "support/driver.h"
#include "win/user.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;

// Writes down what an item reports, in order.
struct TEventLog {
    std::vector<std::string> Entries;
    void Change(cls::TObject*) { Entries.push_back("Change"); }
    void CurChange(cls::TObject*) { Entries.push_back("CurChange"); }
    void Enter(cls::TObject*) { Entries.push_back("Enter"); }
    void Exit(cls::TObject*) { Entries.push_back("Exit"); }
    int Count(const std::string& AName) const {
        return static_cast<int>(std::count(Entries.begin(), Entries.end(), AName));
    }
    void Watch(TdxBarWindowItem* AItem) {
        AItem->SetOnChange(cls::TNotifyEvent(this, &TEventLog::Change));
        AItem->SetOnCurChange(cls::TNotifyEvent(this, &TEventLog::CurChange));
        AItem->SetOnEnter(cls::TNotifyEvent(this, &TEventLog::Enter));
        AItem->SetOnExit(cls::TNotifyEvent(this, &TEventLog::Exit));
    }
};

std::string TextOf(win::HWND AWnd) {
    return win::GetWindowText(AWnd);
}

// A form with a focused edit box of its own and a toolbar docked at its top
// holding edit items.
class EditItemTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 640, 480);
        Form->Show();
        RunUntilIdle();
        FormEdit = win::CreateWindowEx(0, "EDIT", "", win::WS_CHILD | win::WS_VISIBLE, 10, 200, 100, 20,
                                       Form->Handle(), nullptr, nullptr, nullptr);
        win::SetFocus(FormEdit);
        Edit = AddEdit("Find");
        Edit->SetText("old");
        Log.Watch(Edit);
    }

    TdxBarEdit* AddEdit(const std::string& ACaption) {
        auto* Item = new TdxBarEdit(Form);
        Item->SetCaption(ACaption);
        Bar->ItemLinks()->Add(Item);
        return Item;
    }
    TdxBarControl* ShowBar() {
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        RunUntilIdle();
        return Bar->Control();
    }
    static TdxBarEditControl* ControlOf(TdxBarItem* AItem, int ALink = 0) {
        return dynamic_cast<TdxBarEditControl*>(AItem->Links(ALink)->Control());
    }
    // A click in the text area of the item's control.
    static void ClickText(TdxBarItem* AItem) {
        TdxBarEditControl* Control = ControlOf(AItem);
        ASSERT_NE(Control, nullptr);
        testdrv::Click(Control->Parent()->Handle(), testdrv::CentreOf(Control->GetEditWindowRect()));
    }

    win::HWND FormEdit = nullptr;
    TdxBarEdit* Edit = nullptr;
    TEventLog Log;
};

TEST_F(EditItemTest, TypingAndEnterConfirmTheTextAndGiveTheFocusBack) {
    TdxBarControl* Window = ShowBar();
    TdxBarEditControl* Control = ControlOf(Edit);
    // The text area shows the text cursor before the editor does.
    testdrv::MoveTo(Window->Handle(), testdrv::CentreOf(Control->GetEditWindowRect()));
    EXPECT_EQ(Window->Cursor(), cls::crIBeam);
    testdrv::MoveTo(Window->Handle(), win::POINT{Control->GetRect().right + 5, 2});
    EXPECT_EQ(Window->Cursor(), cls::crDefault);
    ClickText(Edit);
    ASSERT_TRUE(Control->Focused());
    EXPECT_EQ(win::GetFocus(), Control->Handle());
    EXPECT_TRUE(win::IsWindowVisible(Control->Handle()));
    EXPECT_EQ(win::GetParent(Control->Handle()), Window->Handle());
    EXPECT_EQ(TextOf(Control->Handle()), "old");
    EXPECT_EQ(Edit->GetFocusedLink(), Edit->Links(0));

    // The click that began editing selected the whole text: typing replaces it.
    testdrv::TypeText("new");
    EXPECT_EQ(Edit->Text(), "old");
    EXPECT_EQ(Edit->GetCurrentText(), "new");
    EXPECT_EQ(Log.Count("CurChange"), 3);
    EXPECT_EQ(Log.Count("Change"), 0);

    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), "new");
    EXPECT_FALSE(Control->Focused());
    EXPECT_FALSE(win::IsWindowVisible(Control->Handle()));
    EXPECT_EQ(win::GetFocus(), FormEdit);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(TextOf(FormEdit), "");
    EXPECT_EQ(Log.Entries,
              (std::vector<std::string>{"Enter", "CurChange", "CurChange", "CurChange", "Change", "Exit"}));
}

// The number of pixels of a colour in a rectangle of a window.
int CountPixels(win::HWND AWnd, const cls::TRect& R, gfx::COLORREF AColor) {
    const gfx::HDC DC = win::GetDC(AWnd);
    int Count = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X)
            if (gfx::GetPixel(DC, X, Y) == AColor) ++Count;
    win::ReleaseDC(AWnd, DC);
    return Count;
}

TEST_F(EditItemTest, EscapeDiscardsTheTextAndKeepsTheControlSelected) {
    for (const bool AlwaysSaveText : {false, true}) {
        SCOPED_TRACE(AlwaysSaveText);
        Manager->SetAlwaysSaveText(AlwaysSaveText);
        TdxBarControl* Window = ShowBar();
        ClickText(Edit);
        TdxBarEditControl* Control = ControlOf(Edit);
        win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
        testdrv::TypeText("typed");
        testdrv::PressKey(win::VK_ESCAPE);
        EXPECT_EQ(Edit->Text(), "old");
        EXPECT_EQ(Log.Count("Change"), 0);
        EXPECT_FALSE(Control->Focused());
        EXPECT_FALSE(Control->Active());
        EXPECT_EQ(Window->SelectedControl(), Control);
        EXPECT_EQ(win::GetFocus(), FormEdit);
        // Not typed into the form's edit either.
        EXPECT_EQ(TextOf(FormEdit), "");
        Log.Entries.clear();
    }
}

TEST_F(EditItemTest, AlwaysSaveTextKeepsTextLeftByAClickElsewhere) {
    Manager->SetAlwaysSaveText(true);
    ShowBar();
    ClickText(Edit);
    TdxBarEditControl* Control = ControlOf(Edit);
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("kept");
    testdrv::Click(FormEdit, win::POINT{5, 5});
    EXPECT_FALSE(Control->Focused());
    EXPECT_EQ(Edit->Text(), "kept");
    // The focus stays where the click put it.
    EXPECT_EQ(win::GetFocus(), FormEdit);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(EditItemTest, TabConfirmsAndEditsTheNextEdit) {
    TdxBarEdit* Second = AddEdit("Replace");
    Second->SetText("second");
    TdxBarControl* Window = ShowBar();
    ClickText(Edit);
    win::SendMessage(ControlOf(Edit)->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("first");
    testdrv::PressKey(win::VK_TAB);
    EXPECT_EQ(Edit->Text(), "first");
    TdxBarEditControl* Next = ControlOf(Second);
    EXPECT_TRUE(Next->Focused());
    EXPECT_EQ(Window->SelectedControl(), Next);
    EXPECT_EQ(win::GetFocus(), Next->Handle());
    EXPECT_EQ(TextOf(Next->Handle()), "second");
    EXPECT_TRUE(Window->IsActive());
    // The next edit gives the focus back to the window that had it first.
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_EQ(win::GetFocus(), FormEdit);
}

TEST_F(EditItemTest, MaxLengthLimitsTyping) {
    Edit->SetMaxLength(3);
    ShowBar();
    ClickText(Edit);
    win::SendMessage(ControlOf(Edit)->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("abcdef");
    EXPECT_EQ(Edit->GetCurrentText(), "abc");
    // A new limit reaches the editor at once; 0 lifts it.
    Edit->SetMaxLength(-5);
    EXPECT_EQ(Edit->MaxLength(), 0);
    testdrv::TypeText("def");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), "abcdef");
}

TEST_F(EditItemTest, AVeryLongTextIsReadWhole) {
    const std::string Long(100000, 'x');
    Edit->SetText(Long);
    ShowBar();
    ClickText(Edit);
    EXPECT_EQ(Edit->GetCurrentText().size(), Long.size());
    testdrv::PressKey(win::VK_END);
    testdrv::TypeText("y");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), Long + "y");
}

TEST_F(EditItemTest, InvalidUtf8TypedOrPastedEndsAsValidText) {
    Edit->SetText("bad \xFF\xC3");
    ShowBar();
    ClickText(Edit);
    TdxBarEditControl* Control = ControlOf(Edit);
    EXPECT_TRUE(cls::Utf8IsValid(Edit->GetCurrentText()));
    // A character that is no scalar value is refused.
    win::SendMessage(Control->Handle(), win::WM_CHAR, 0xD800, 1);
    win::SendMessage(Control->Handle(), win::WM_CHAR, 0x110000, 1);
    // Bytes that are no UTF-8 come from the clipboard.
    const std::string Pasted = "p\xC3q\xE2\x82r";
    win::OpenClipboard(nullptr);
    win::EmptyClipboard();
    const win::HGLOBAL Memory = win::GlobalAlloc(win::GMEM_MOVEABLE, Pasted.size() + 1);
    std::copy(Pasted.begin(), Pasted.end(), static_cast<char*>(win::GlobalLock(Memory)));
    static_cast<char*>(win::GlobalLock(Memory))[Pasted.size()] = 0;
    win::GlobalUnlock(Memory);
    win::GlobalUnlock(Memory);
    win::SetClipboardData(win::CF_TEXT, Memory);
    win::CloseClipboard();
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::KeyDown(win::VK_CONTROL);
    testdrv::PressKey('V');
    testdrv::KeyUp(win::VK_CONTROL);
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_TRUE(cls::Utf8IsValid(Edit->Text()));
    EXPECT_NE(Edit->Text().find('p'), std::string::npos);
    EXPECT_NE(Edit->Text().find('r'), std::string::npos);
}

TEST_F(EditItemTest, AnItemDestroyedWhileEditedGivesTheFocusBack) {
    ShowBar();
    ClickText(Edit);
    const win::HWND Editor = ControlOf(Edit)->Handle();
    testdrv::TypeText("gone");
    delete Edit;
    Edit = nullptr;
    RunUntilIdle();
    EXPECT_FALSE(win::IsWindow(Editor));
    EXPECT_EQ(win::GetFocus(), FormEdit);
    testdrv::TypeText("z");
    EXPECT_EQ(TextOf(FormEdit), "z");
}

// Frees its item from the item's own key event.
struct TSelfDestroyer {
    TdxBarEdit* Item = nullptr;
    void KeyDown(cls::TObject*, win::WORD& Key, cls::TShiftState) {
        if (Key != 'Q' || !Item) return;
        TdxBarEdit* Doomed = Item;
        Item = nullptr;
        delete Doomed;
    }
};

TEST_F(EditItemTest, AnItemFreedByItsOwnKeyEventEndsTheMessageAtOnce) {
    ShowBar();
    TSelfDestroyer Destroyer{Edit};
    Edit->SetOnKeyDown(cls::TKeyEvent(&Destroyer, &TSelfDestroyer::KeyDown));
    ClickText(Edit);
    testdrv::PressKey('Q');
    EXPECT_EQ(Destroyer.Item, nullptr);
    EXPECT_EQ(Bar->ItemLinks()->Count(), 0);
    EXPECT_EQ(win::GetFocus(), FormEdit);
    Edit = nullptr;
}

// Zeroes the key it is told to.
struct TKeyFilter {
    win::WORD Down = 0;
    char32_t Press = 0;
    void KeyDown(cls::TObject*, win::WORD& Key, cls::TShiftState) {
        if (Key == Down) Key = 0;
    }
    void KeyPress(cls::TObject*, char32_t& Key) {
        if (Key == Press) Key = 0;
    }
};

TEST_F(EditItemTest, AKeyZeroedByTheItemsEventsIsSwallowed) {
    TKeyFilter Filter{win::VK_RETURN, U'x'};
    Edit->SetOnKeyDown(cls::TKeyEvent(&Filter, &TKeyFilter::KeyDown));
    Edit->SetOnKeyPress(cls::TKeyPressEvent(&Filter, &TKeyFilter::KeyPress));
    ShowBar();
    ClickText(Edit);
    win::SendMessage(ControlOf(Edit)->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("axb");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_TRUE(ControlOf(Edit)->Focused());
    EXPECT_EQ(Edit->GetCurrentText(), "ab");
    EXPECT_EQ(Edit->Text(), "old");
}

TEST_F(EditItemTest, ThePainterDrawsTheTextWhileTheEditorIsHidden) {
    Edit->SetText("WWWW");
    TdxBarControl* Window = ShowBar();
    TdxBarEditControl* Control = ControlOf(Edit);
    const cls::TRect Text = Control->GetEditWindowRect();
    ASSERT_LT(Text.left, Text.right);
    const gfx::COLORREF Ink = gfx::GetSysColor(gfx::COLOR_WINDOWTEXT);
    EXPECT_GT(CountPixels(Window->Handle(), Text, Ink), 0);
    Edit->SetText("");
    RunUntilIdle();
    EXPECT_EQ(CountPixels(Window->Handle(), Text, Ink), 0);
    // A disabled edit has no editor place and greys its text.
    Edit->SetText("WWWW");
    Edit->SetEnabled(false);
    RunUntilIdle();
    EXPECT_TRUE(cls::TRect(Control->GetEditWindowRect()) == cls::TRect{});
    EXPECT_EQ(CountPixels(Window->Handle(), Text, Ink), 0);
    EXPECT_GT(CountPixels(Window->Handle(), Text, gfx::GetSysColor(gfx::COLOR_GRAYTEXT)), 0);
}

// --- Alt and F10 in an edit ---

class EditMenuKeysTest : public EditItemTest {
protected:
    void SetUp() override {
        EditItemTest::SetUp();
        Main = Manager->Bars()->Add();
        Main->SetIsMainMenu(true);
        auto* File = new TdxBarSubItem(Form);
        File->SetCaption("&File");
        auto* Open = new TdxBarButton(Form);
        Open->SetCaption("Open");
        File->ItemLinks()->Add(Open);
        Main->ItemLinks()->Add(File);
        Main->SetDockingStyle(dsTop);
        Main->SetVisible(true);
        ShowBar();
        win::SetForegroundWindow(Form->Handle());
        RunUntilIdle();
        MainWindow = Main->Control();
    }

    TdxBar* Main = nullptr;
    TdxBarControl* MainWindow = nullptr;
};

TEST_F(EditMenuKeysTest, AltAloneEndsEditingAndTakesTheKeyboardToTheMainMenu) {
    ClickText(Edit);
    TdxBarEditControl* Control = ControlOf(Edit);
    testdrv::TypeText("x");
    testdrv::KeyDown(win::VK_MENU);
    // Alt going down is no menu key yet.
    EXPECT_TRUE(Control->Focused());
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_FALSE(Control->Focused());
    EXPECT_EQ(Edit->Text(), "old");
    ASSERT_NE(MainWindow, nullptr);
    EXPECT_TRUE(MainWindow->IsActive());
    EXPECT_EQ(GetActiveBarControl(), MainWindow);
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(EditMenuKeysTest, AltWithALetterOpensTheMenuOfItsAccelerator) {
    ClickText(Edit);
    testdrv::KeyDown(win::VK_MENU);
    testdrv::PressKey('F');
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_FALSE(ControlOf(Edit)->Focused());
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(GetActiveBarControl());
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(Menu->ItemLinks()->Items(0)->GetCaption(), "Open");
    testdrv::PressKey(win::VK_ESCAPE);
    testdrv::PressKey(win::VK_ESCAPE);
}

TEST_F(EditMenuKeysTest, F10ActsOnItsRelease) {
    Manager->SetUseF10ForMenu(true);
    ClickText(Edit);
    testdrv::KeyDown(win::VK_F10);
    EXPECT_TRUE(ControlOf(Edit)->Focused());
    testdrv::KeyUp(win::VK_F10);
    EXPECT_FALSE(ControlOf(Edit)->Focused());
    EXPECT_EQ(GetActiveBarControl(), MainWindow);
}

// --- A combo with a drop-down window of its own ---

struct TDropDownLog {
    win::HWND Window = nullptr;
    std::vector<std::string> Entries;
    void GetWindow(TCustomdxBarCombo*, win::HWND& AWindow) { AWindow = Window; }
    void DropDown(cls::TObject*) { Entries.push_back("DropDown"); }
    void CloseUp(cls::TObject*) { Entries.push_back("CloseUp"); }
};

class CustomComboTest : public EditItemTest {
protected:
    void SetUp() override {
        EditItemTest::SetUp();
        Log.Window = win::CreateWindowEx(win::WS_EX_TOOLWINDOW, "EDIT", "", win::WS_POPUP, 0, 0, 150, 80,
                                         nullptr, nullptr, nullptr, nullptr);
        Combo = new TCustomdxBarCombo(Form);
        Combo->SetCaption("Font");
        Combo->SetShowCaption(true);
        Combo->SetOnGetDropDownWindow(TdxBarGetDropDownWindowEvent(&Log, &TDropDownLog::GetWindow));
        Combo->SetOnDropDown(cls::TNotifyEvent(&Log, &TDropDownLog::DropDown));
        Combo->SetOnCloseUp(cls::TNotifyEvent(&Log, &TDropDownLog::CloseUp));
    }
    void TearDown() override {
        win::DestroyWindow(Log.Window);
        EditItemTest::TearDown();
    }
    static TCustomdxBarComboControl* ComboControlOf(TdxBarItem* AItem) {
        return dynamic_cast<TCustomdxBarComboControl*>(AItem->Links(0)->Control());
    }
    static void ClickArrow(TdxBarItem* AItem) {
        TCustomdxBarComboControl* Control = ComboControlOf(AItem);
        ASSERT_NE(Control, nullptr);
        testdrv::Click(Control->Parent()->Handle(), testdrv::CentreOf(Control->ArrowRect()));
    }
    cls::TRect ScreenRectOf(TdxBarItemControl* AControl) {
        return AControl->Parent()->GetItemControlScreenRect(AControl);
    }
    cls::TRect DropDownRect() const {
        cls::TRect R;
        win::GetWindowRect(Log.Window, &R);
        return R;
    }

    TDropDownLog Log;
    TCustomdxBarCombo* Combo = nullptr;
};

TEST_F(CustomComboTest, TheArrowOpensTheDropDownBelowTheTextAndItsReleaseClosesIt) {
    Bar->ItemLinks()->Add(Combo);
    ShowBar();
    ClickArrow(Combo);
    TCustomdxBarComboControl* Control = ComboControlOf(Combo);
    ASSERT_TRUE(Control->DroppedDown());
    EXPECT_TRUE(Combo->GetDroppedDown());
    EXPECT_TRUE(Control->Focused());
    EXPECT_TRUE(win::IsWindowVisible(Log.Window));
    const cls::TRect R = ScreenRectOf(Control);
    EXPECT_EQ(DropDownRect().left, R.left + Control->GetCaptionWidth());
    EXPECT_EQ(DropDownRect().top, R.bottom);
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"DropDown"}));
    // The drop-down does not take the focus from the editor.
    EXPECT_EQ(win::GetFocus(), Control->Handle());
    ClickArrow(Combo);
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_FALSE(win::IsWindowVisible(Log.Window));
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"DropDown", "CloseUp"}));
    EXPECT_TRUE(Control->Focused());
}

TEST_F(CustomComboTest, KeysToggleTheDropDownAndReachIt) {
    Bar->ItemLinks()->Add(Combo);
    ShowBar();
    ClickText(Combo);
    TCustomdxBarComboControl* Control = ComboControlOf(Combo);
    testdrv::PressKey(win::VK_F4);
    ASSERT_TRUE(Control->DroppedDown());
    testdrv::MessageLog Keys{Log.Window};
    Keys.Only({win::WM_KEYDOWN});
    testdrv::PressKey('A');
    EXPECT_EQ(Keys.Count(win::WM_KEYDOWN), 1);
    EXPECT_EQ(Combo->GetCurrentText(), "");
    testdrv::PressKey(win::VK_F4);
    EXPECT_FALSE(Control->DroppedDown());
    // Alt+Down and Alt+Up toggle it too, and leave editing and Alt alone.
    testdrv::KeyDown(win::VK_MENU);
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_TRUE(Control->DroppedDown());
    testdrv::PressKey(win::VK_UP);
    EXPECT_FALSE(Control->DroppedDown());
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_TRUE(Control->Focused());
    // Escape is never the drop-down's: it closes it with editing.
    testdrv::PressKey(win::VK_F4);
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_FALSE(Control->Focused());
    EXPECT_FALSE(win::IsWindowVisible(Log.Window));
}

TEST_F(CustomComboTest, AReadOnlyComboOrOneWithoutWindowOpensNothing) {
    Bar->ItemLinks()->Add(Combo);
    ShowBar();
    Combo->SetReadOnly(true);
    ClickArrow(Combo);
    EXPECT_FALSE(ComboControlOf(Combo)->DroppedDown());
    testdrv::PressKey(win::VK_ESCAPE);
    Combo->SetReadOnly(false);
    Combo->SetOnGetDropDownWindow(nullptr);
    ClickArrow(Combo);
    EXPECT_FALSE(ComboControlOf(Combo)->DroppedDown());
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"DropDown"}));
}

TEST_F(CustomComboTest, TheDropDownStaysInsideTheWorkArea) {
    Bar->ItemLinks()->Add(Combo);
    // A toolbar near the bottom right corner: the drop-down moves left to end
    // at the work area's right edge and opens above the control.
    Form->SetBounds(1024 - 260, 768 - 30 - 90, 260, 90);
    ShowBar();
    ClickArrow(Combo);
    TCustomdxBarComboControl* Control = ComboControlOf(Combo);
    ASSERT_TRUE(Control->DroppedDown());
    const cls::TRect R = ScreenRectOf(Control);
    EXPECT_EQ(DropDownRect().right, 1024);
    EXPECT_EQ(DropDownRect().bottom, R.top);
}

TEST_F(CustomComboTest, InAMenuTheDropDownOpensBesideTheControl) {
    auto* Popup = new TdxBarPopupMenu(Form);
    Popup->ItemLinks()->Add(Combo);
    for (const int Left : {100, 1024 - 200}) {
        SCOPED_TRACE(Left);
        auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
        Menu->SetLeft(Left);
        Menu->SetTop(100);
        Menu->ShowAnimated();
        RunUntilIdle();
        ClickArrow(Combo);
        TCustomdxBarComboControl* Control = ComboControlOf(Combo);
        ASSERT_TRUE(Control->DroppedDown());
        const cls::TRect R = ScreenRectOf(Control);
        EXPECT_EQ(DropDownRect().top, R.top);
        // Beside it on the right, or on the left when the right has less room.
        if (Left == 100)
            EXPECT_EQ(DropDownRect().left, R.right);
        else
            EXPECT_EQ(DropDownRect().right, R.left);
        // Enter closes the menu with the drop-down.
        testdrv::PressKey(win::VK_RETURN);
        EXPECT_FALSE(win::IsWindowVisible(Log.Window));
        EXPECT_EQ(Popup->ItemLinks()->BarControl(), nullptr);
    }
}

TEST_F(CustomComboTest, TheMouseOverAComboSelectsItOnlyWhileItIsThere) {
    // One combo on the toolbar beside a button, and in a popup menu.
    Bar->ItemLinks()->Add(Combo);
    auto* Button = new TdxBarButton(Form);
    Button->SetCaption("Go");
    Bar->ItemLinks()->Add(Button);
    auto* Popup = new TdxBarPopupMenu(Form);
    Popup->ItemLinks()->Add(Combo);
    TdxBarControl* Window = ShowBar();
    TCustomdxBarComboControl* Control = ComboControlOf(Combo);
    testdrv::MoveTo(Window->Handle(), testdrv::CentreOf(Control->GetRect()));
    EXPECT_TRUE(Control->IsSelected());
    EXPECT_FALSE(Control->Active());
    // Hot tracking goes on to the button, and ends when the mouse leaves.
    testdrv::MoveTo(Window->Handle(), testdrv::CentreOf(Button->Links(0)->ItemRect()));
    EXPECT_EQ(Window->SelectedControl(), Button->Links(0)->Control());
    testdrv::MoveTo(Window->Handle(), testdrv::CentreOf(Control->GetRect()));
    testdrv::MoveToScreen(win::POINT{5, 700});
    RunUntilIdle();
    EXPECT_EQ(Window->SelectedControl(), nullptr);
    EXPECT_EQ(Combo->GetActiveLink(), nullptr);

    // The combo in the menu is the one whose list opens, beside it.
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
    Menu->SetLeft(100);
    Menu->SetTop(300);
    Menu->ShowAnimated();
    RunUntilIdle();
    auto* InMenu = dynamic_cast<TCustomdxBarComboControl*>(Combo->Links(1)->Control());
    ASSERT_NE(InMenu, nullptr);
    testdrv::Click(Menu->Handle(), testdrv::CentreOf(InMenu->ArrowRect()));
    ASSERT_TRUE(InMenu->DroppedDown());
    EXPECT_EQ(Combo->GetActiveLink(), Combo->Links(1));
    EXPECT_TRUE(Combo->GetDroppedDown());
    EXPECT_EQ(DropDownRect().left, ScreenRectOf(InMenu).right);
    testdrv::PressKey(win::VK_ESCAPE);
}

TEST_F(EditItemTest, InAMenuEnterConfirmsAndClosesTheMenu) {
    auto* Popup = new TdxBarPopupMenu(Form);
    Edit = new TdxBarEdit(Form);
    Edit->SetCaption("Name");
    Popup->ItemLinks()->Add(Edit);
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
    Menu->SetLeft(200);
    Menu->SetTop(200);
    Menu->ShowAnimated();
    RunUntilIdle();
    TdxBarEditControl* Control = ControlOf(Edit);
    ASSERT_NE(Control, nullptr);
    // A menu shows the caption whatever ShowCaption says.
    EXPECT_TRUE(Control->ShowCaption());
    EXPECT_GT(Control->GetCaptionWidth(), 0);
    EXPECT_EQ(Control->GetWidth(), Control->GetCaptionWidth() + Edit->Width());
    ClickText(Edit);
    ASSERT_TRUE(Control->Focused());
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("menu");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), "menu");
    EXPECT_EQ(Popup->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(win::GetFocus(), FormEdit);
}

TEST_F(EditItemTest, FocusEditorStartsEditingTheFirstShownLink) {
    Edit->FocusEditor(true);
    EXPECT_EQ(Edit->GetFocusedLink(), nullptr);
    TdxBarControl* Window = ShowBar();
    Edit->FocusEditor(true);
    TdxBarEditControl* Control = ControlOf(Edit);
    ASSERT_TRUE(Control->Focused());
    EXPECT_EQ(Window->SelectedControl(), Control);
    EXPECT_EQ(win::GetFocus(), Control->Handle());
    // Pressed by the keyboard: the whole text is selected for typing over.
    testdrv::TypeText("new");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), "new");
    EXPECT_EQ(win::GetFocus(), FormEdit);
}

// Every style draws edits and combos in real windows without leaking what it draws with.
class EditStyleTest : public EditItemTest, public ::testing::WithParamInterface<TdxBarManagerStyle> {};

TEST_P(EditStyleTest, EditingAndTheDropDownLeaveNoDrawingObjectsBehind) {
    Manager->SetStyle(GetParam());
    auto* Combo = new TCustomdxBarCombo(Form);
    Combo->SetCaption("Size");
    Combo->SetShowCaption(true);
    Combo->SetText("12");
    const win::HWND DropDown = win::CreateWindowEx(win::WS_EX_TOOLWINDOW, "EDIT", "", win::WS_POPUP, 0, 0, 80,
                                                   60, nullptr, nullptr, nullptr, nullptr);
    TDropDownLog Log;
    Log.Window = DropDown;
    Combo->SetOnGetDropDownWindow(TdxBarGetDropDownWindowEvent(&Log, &TDropDownLog::GetWindow));
    Bar->ItemLinks()->Add(Combo);
    TdxBarControl* Window = ShowBar();
    // The first rounds make what the edit windows keep for their life.
    gfx::DWORD Before = 0;
    for (int Round = 0; Round < 4; ++Round) {
        if (Round == 2) Before = GdiObjectCount();
        ClickText(Edit);
        testdrv::TypeText("x");
        testdrv::PressKey(win::VK_TAB);
        ASSERT_TRUE(ControlOf(Combo)->Focused());
        testdrv::PressKey(win::VK_F4);
        EXPECT_TRUE(win::IsWindowVisible(DropDown));
        testdrv::PressKey(win::VK_F4);
        testdrv::PressKey(win::VK_ESCAPE);
        Window->RepaintBar();
        RunUntilIdle();
    }
    EXPECT_EQ(GdiObjectCount(), Before);
    // The combo's text and arrow are drawn over its box.
    const auto* Control = dynamic_cast<TCustomdxBarComboControl*>(Combo->Links(0)->Control());
    EXPECT_GT(
        CountPixels(Window->Handle(), Control->GetEditWindowRect(), gfx::GetSysColor(gfx::COLOR_WINDOWTEXT)),
        0);
    EXPECT_LT(Control->GetEditWindowRect().right, Control->ArrowRect().left);
    win::DestroyWindow(DropDown);
}

INSTANTIATE_TEST_SUITE_P(Styles, EditStyleTest,
                         ::testing::Values(bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11));

TEST_F(CustomComboTest, DraggingTheToolbarClosesTheDropDownAndEditingGoesOnInTheNewWindow) {
    Bar->ItemLinks()->Add(Combo);
    TdxBarControl* Window = ShowBar();
    ClickArrow(Combo);
    ASSERT_TRUE(ComboControlOf(Combo)->DroppedDown());
    cls::TRect R;
    win::GetWindowRect(Window->Handle(), &R);
    testdrv::MoveToScreen(win::POINT{R.left + 3, (R.top + R.bottom) / 2});
    testdrv::ScriptIdle({[this] {
                             testdrv::MoveToScreen(Form->ClientToScreen(cls::TPoint{320, 260}));
                         },
                         [] { testdrv::MouseUp(); }});
    testdrv::MouseDown();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(Bar->DockingStyle(), dsNone);
    EXPECT_FALSE(win::IsWindowVisible(Log.Window));
    EXPECT_FALSE(ComboControlOf(Combo)->DroppedDown());
    // The floating window edits as the docked one did.
    ClickText(Edit);
    TdxBarEditControl* Control = ControlOf(Edit);
    ASSERT_TRUE(Control->Focused());
    EXPECT_EQ(win::GetParent(Control->Handle()), Bar->Control()->Handle());
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("moved");
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Edit->Text(), "moved");
}

TEST_F(CustomComboTest, AFormClosedWithTheDropDownOpenLeavesNothingOpen) {
    Bar->ItemLinks()->Add(Combo);
    ShowBar();
    ClickArrow(Combo);
    ASSERT_TRUE(win::IsWindowVisible(Log.Window));
    delete Form;
    Form = nullptr;
    RunUntilIdle();
    EXPECT_FALSE(win::IsWindowVisible(Log.Window));
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"DropDown", "CloseUp"}));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

// --- A combo with its list of entries ---

struct TComboLog {
    std::vector<int> Drawn;
    int Heights = 0;
    void Draw(TdxBarCustomCombo* Sender, int AIndex, cls::TRect ARect, cls::TOwnerDrawState) {
        Drawn.push_back(AIndex);
        Sender->GetItemCanvas()->FillRect(ARect);
    }
    void Measure(TdxBarCustomCombo*, int, int& AHeight) {
        ++Heights;
        AHeight = 20;
    }
};

class ComboListTest : public EditItemTest {
protected:
    void SetUp() override {
        EditItemTest::SetUp();
        Combo = new TdxBarCombo(Form);
        Combo->SetCaption("City");
        for (const char* Entry : {"Alpha", "Beta", "Москва", "Минск"}) Combo->Items()->Add(Entry);
        Bar->ItemLinks()->Add(Combo);
        Log.Watch(Combo);
        Window = ShowBar();
        Control = dynamic_cast<TdxBarComboControl*>(Combo->Links(0)->Control());
        ASSERT_NE(Control, nullptr);
    }
    void ClickArrow() { testdrv::Click(Window->Handle(), testdrv::CentreOf(Control->ArrowRect())); }
    TdxBarDropDownListBox* List() { return Combo->DropDownList(); }
    // The entry's rectangle on the screen.
    cls::TRect EntryRect(int AIndex) {
        cls::TRect R = List()->ItemRect(AIndex);
        win::MapWindowPoints(List()->Handle(), nullptr, reinterpret_cast<win::POINT*>(&R), 2);
        return R;
    }

    TdxBarCombo* Combo = nullptr;
    TdxBarControl* Window = nullptr;
    TdxBarComboControl* Control = nullptr;
};

TEST_F(ComboListTest, TheListDropsDownUnderTheTextWithTheEntryOfTheTextSelected) {
    Combo->SetItemIndex(1);
    Log.Entries.clear();
    ClickArrow();
    ASSERT_TRUE(Control->DroppedDown());
    ASSERT_TRUE(List()->HandleAllocated());
    const win::HWND ListWnd = List()->Handle();
    EXPECT_TRUE(win::IsWindowVisible(ListWnd));
    EXPECT_EQ(win::GetParent(ListWnd), nullptr);
    // A top-level window above the others, and no window the taskbar shows.
    EXPECT_EQ(win::GetWindowLongPtr(ListWnd, win::GWL_EXSTYLE) & (win::WS_EX_TOPMOST | win::WS_EX_TOOLWINDOW),
              win::WS_EX_TOPMOST | win::WS_EX_TOOLWINDOW);
    EXPECT_EQ(List()->Count(), 4);
    EXPECT_EQ(List()->ItemIndex(), 1);
    EXPECT_EQ(Combo->CurItemIndex(), 1);
    // Four entries and the frame; the editor keeps the focus.
    int Height = 0;
    Combo->MeasureItemHeight(0, Height);
    cls::TRect R;
    win::GetWindowRect(ListWnd, &R);
    EXPECT_EQ(R.bottom - R.top, 4 + 4 * Height);
    EXPECT_GE(R.right - R.left, Combo->Width() - Window->ComboArrowWidth());
    EXPECT_EQ(win::GetFocus(), Control->Handle());
    // The mouse that opened it went up over the arrow: the list stays.
    EXPECT_FALSE(List()->WaitForMouseEnter());
    EXPECT_TRUE(Control->DroppedDown());
    // A click on an entry chooses it and ends editing.
    testdrv::ClickScreen(testdrv::CentreOf(EntryRect(2)));
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_FALSE(Control->Focused());
    EXPECT_FALSE(List()->HandleAllocated());
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Москва");
    EXPECT_EQ(Log.Count("Change"), 1);
    EXPECT_EQ(win::GetFocus(), FormEdit);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(ComboListTest, PressingTheArrowAndDraggingIntoTheListChoosesOnTheRelease) {
    testdrv::MoveTo(Window->Handle(), testdrv::CentreOf(Control->ArrowRect()));
    testdrv::MouseDown();
    ASSERT_TRUE(Control->DroppedDown());
    EXPECT_TRUE(List()->WaitForMouseEnter());
    testdrv::MoveToScreen(testdrv::CentreOf(EntryRect(3)));
    EXPECT_FALSE(List()->WaitForMouseEnter());
    EXPECT_EQ(List()->ItemIndex(), 3);
    // The editor shows the entry under the mouse already.
    EXPECT_EQ(Combo->GetCurrentText(), "Минск");
    testdrv::MouseUp();
    EXPECT_EQ(Combo->ItemIndex(), 3);
    EXPECT_FALSE(Control->DroppedDown());
}

TEST_F(ComboListTest, TypingFindsTheEntryTheTextBegins) {
    ClickText(Combo);
    testdrv::PressKey(win::VK_F4);
    ASSERT_TRUE(Control->DroppedDown());
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("be");
    EXPECT_EQ(Combo->CurItemIndex(), 1);
    // A beginning is no match: the list shows the entry without selecting it.
    EXPECT_EQ(List()->ItemIndex(), -1);
    testdrv::TypeText("TA");
    EXPECT_EQ(List()->ItemIndex(), 1);
    win::SendMessage(Control->Handle(), win::EM_SETSEL, 0, -1);
    testdrv::TypeText("ми");
    EXPECT_EQ(Combo->CurItemIndex(), 3);
    testdrv::TypeText("нск");
    EXPECT_EQ(List()->ItemIndex(), 3);
    EXPECT_EQ(Log.Count("CurChange"), 9);
    // Confirmed, the text selects its entry.
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Combo->Text(), "минск");
    EXPECT_EQ(Combo->ItemIndex(), 3);
}

TEST_F(ComboListTest, UpAndDownStepThroughTheEntriesWithoutWrapping) {
    ClickText(Combo);
    ASSERT_EQ(Control->EditItemIndex(), -1);
    // Without an entry either key starts at the first.
    testdrv::PressKey(win::VK_UP);
    EXPECT_EQ(Control->EditItemIndex(), 0);
    EXPECT_EQ(Combo->GetCurrentText(), "Alpha");
    testdrv::PressKey(win::VK_UP);
    EXPECT_EQ(Control->EditItemIndex(), 0);
    for (int I = 0; I < 5; ++I) testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(Control->EditItemIndex(), 3);
    EXPECT_EQ(Combo->GetCurrentText(), "Минск");
    EXPECT_EQ(Combo->ItemIndex(), -1);
    // The wheel steps too: up is the previous entry.
    testdrv::Wheel(120);
    EXPECT_EQ(Control->EditItemIndex(), 2);
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Москва");
    // A read-only combo does not step.
    Combo->SetReadOnly(true);
    ClickText(Combo);
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(Combo->GetCurrentText(), "Москва");
    testdrv::PressKey(win::VK_ESCAPE);
}

TEST_F(ComboListTest, WithTheListOpenTheKeysMoveItsSelectionIntoTheEditor) {
    ClickText(Combo);
    testdrv::PressKey(win::VK_F4);
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(List()->ItemIndex(), 0);
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(List()->ItemIndex(), 1);
    EXPECT_EQ(Combo->GetCurrentText(), "Beta");
    EXPECT_EQ(Control->EditItemIndex(), 1);
    // Enter takes the entry and closes list and editing.
    testdrv::PressKey(win::VK_RETURN);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_FALSE(List()->HandleAllocated());
    EXPECT_EQ(win::GetFocus(), FormEdit);
}

TEST_F(ComboListTest, ALongListScrollsByItsBarAndTheWheel) {
    Combo->Items()->Clear();
    for (int I = 0; I < 20; ++I) Combo->Items()->Add("Entry " + std::to_string(I));
    ClickText(Combo);
    testdrv::PressKey(win::VK_F4);
    const win::HWND ListWnd = List()->Handle();
    ASSERT_TRUE(win::IsWindowVisible(ListWnd));
    EXPECT_TRUE(win::GetWindowLong(ListWnd, win::GWL_STYLE) & win::WS_VSCROLL);
    cls::TRect R;
    win::GetWindowRect(ListWnd, &R);
    int Height = 0;
    Combo->MeasureItemHeight(0, Height);
    EXPECT_EQ(R.bottom - R.top, 4 + 8 * Height);
    // As wide as the combo's text and arrow (the entries are narrower).
    EXPECT_EQ(Combo->GetDropDownWidth(), Combo->Width() - Window->ComboArrowWidth());
    EXPECT_EQ(List()->TopIndex(), 0);
    // A notch of the wheel is a line, over the list as over the editor.
    for (const bool OverList : {false, true}) {
        if (OverList) testdrv::MoveToScreen(testdrv::CentreOf(EntryRect(2)));
        testdrv::Wheel(-120);
        EXPECT_EQ(List()->TopIndex(), 1) << OverList;
        testdrv::Wheel(-120);
        EXPECT_EQ(List()->TopIndex(), 2) << OverList;
        testdrv::Wheel(120);
        EXPECT_EQ(List()->TopIndex(), 1) << OverList;
        testdrv::Wheel(120);
        EXPECT_EQ(List()->TopIndex(), 0) << OverList;
    }
    EXPECT_TRUE(Control->DroppedDown());
    // The editor's wheel scrolls the open list a line a notch.
    win::SendMessage(Control->Handle(), win::WM_MOUSEWHEEL, win::MAKEWPARAM(0, static_cast<win::WORD>(-120)),
                     0);
    EXPECT_EQ(List()->TopIndex(), 1);
    EXPECT_EQ(Control->EditItemIndex(), -1);
    // The thumb, dragged to the bottom of its track, scrolls to the end.
    const int Bar = win::GetSystemMetrics(win::SM_CXVSCROLL);
    const int Border = Control->GetPainter()->GetDropDownListBorder();
    const win::POINT Thumb{R.right - Border - Bar / 2, R.top + Border + Bar + 3};
    testdrv::MoveToScreen(Thumb);
    testdrv::ScriptIdle({[&] {
                             testdrv::MoveToScreen(win::POINT{Thumb.x, R.bottom + 40});
                         },
                         [] { testdrv::MouseUp(); }});
    testdrv::MouseDown();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(List()->TopIndex(), 20 - 8);
    EXPECT_TRUE(Control->DroppedDown());
}

TEST_F(ComboListTest, OnDrawItemAndOnMeasureItemDrawTheListAndTheClosedCombo) {
    TComboLog Drawing;
    Combo->SetOnDrawItem(TdxBarDrawItemEvent(&Drawing, &TComboLog::Draw));
    Combo->SetOnMeasureItem(TdxBarMeasureItemEvent(&Drawing, &TComboLog::Measure));
    Combo->SetItemIndex(2);
    RunUntilIdle();
    // The closed combo draws its entry as the list would.
    ASSERT_FALSE(Drawing.Drawn.empty());
    EXPECT_EQ(Drawing.Drawn.back(), 2);
    Drawing.Drawn.clear();
    ClickArrow();
    RunUntilIdle();
    EXPECT_GT(Drawing.Heights, 0);
    EXPECT_NE(std::find(Drawing.Drawn.begin(), Drawing.Drawn.end(), 3), Drawing.Drawn.end());
    cls::TRect R;
    win::GetWindowRect(List()->Handle(), &R);
    EXPECT_EQ(R.bottom - R.top, 4 + 4 * 20);
    EXPECT_EQ(List()->ItemRect(1).bottom - List()->ItemRect(1).top, 20);
}

TEST_F(ComboListTest, AComboFreedWithItsListOpenLeavesNothingBehind) {
    ClickArrow();
    ASSERT_TRUE(Control->DroppedDown());
    const win::HWND ListWnd = List()->Handle();
    delete Combo;
    Combo = nullptr;
    RunUntilIdle();
    EXPECT_FALSE(win::IsWindow(ListWnd));
    EXPECT_EQ(win::GetCapture(), nullptr);
    EXPECT_EQ(win::GetFocus(), FormEdit);
}

TEST_F(ComboListTest, AClickOutsideTheOpenListClosesItWithoutChoosing) {
    ClickText(Combo);
    testdrv::PressKey(win::VK_F4);
    testdrv::PressKey(win::VK_DOWN);
    ASSERT_EQ(List()->ItemIndex(), 0);
    testdrv::Click(FormEdit, win::POINT{5, 5});
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboListTest, SortingWhileEditingKeepsTheEditorsEntry) {
    ClickText(Combo);
    testdrv::PressKey(win::VK_DOWN);
    testdrv::PressKey(win::VK_DOWN);
    ASSERT_EQ(Combo->GetCurrentText(), "Beta");
    Combo->Items()->Insert(0, "Zeta");
    Combo->SetSorted(true);
    EXPECT_EQ(Control->EditItemIndex(), Combo->Items()->IndexOf("Beta"));
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(Combo->GetCurrentText(), Combo->Items()->Strings(Combo->Items()->IndexOf("Beta") + 1));
    testdrv::PressKey(win::VK_ESCAPE);
}

TEST_F(ComboListTest, AComboWithoutEditorOpensFromItsWholeBoxAndDrawsItsText) {
    Combo->SetShowEditor(false);
    Combo->SetItemIndex(0);
    RunUntilIdle();
    EXPECT_EQ(Control->GetEditWindowRect().right, Control->GetEditWindowRect().left);
    // A click on the text opens the list as the arrow does; a second one
    // closes it, a third opens it again. Single clicks, each release coming
    // after its press was handled.
    const cls::TRect Box = Control->GetRect();
    const win::POINT OnText{Control->ArrowRect().left - 10, (Box.top + Box.bottom) / 2};
    const auto ClickText = [&] {
        testdrv::MoveTo(Window->Handle(), OnText);
        testdrv::Advance(win::GetDoubleClickTime() + 1);
        testdrv::MouseDown();
        testdrv::Advance(100);
        testdrv::MouseUp();
    };
    ClickText();
    ASSERT_TRUE(Control->DroppedDown());
    EXPECT_TRUE(Control->Focused());
    // The box still shows its text while it is focused.
    const cls::TRect Text{Box.left, Box.top, Control->ArrowRect().left, Box.bottom};
    EXPECT_GT(CountPixels(Window->Handle(), Text, gfx::GetSysColor(gfx::COLOR_WINDOWTEXT)), 0);
    // The editor is read-only: typing changes nothing.
    testdrv::TypeText("x");
    EXPECT_EQ(Combo->GetCurrentText(), "Alpha");
    for (const bool Open : {false, true}) {
        ClickText();
        EXPECT_EQ(Control->DroppedDown(), Open);
        EXPECT_EQ(List()->HandleAllocated() && win::IsWindowVisible(List()->Handle()), Open);
        EXPECT_TRUE(Control->Focused());
        EXPECT_EQ(win::GetCapture(), nullptr);
    }
    testdrv::PressKey(win::VK_ESCAPE);
}

class ComboStyleTest : public ComboListTest, public ::testing::WithParamInterface<TdxBarManagerStyle> {};

TEST_P(ComboStyleTest, TheListsFrameIsThePaintersAndDrawsWithoutLeaks) {
    Manager->SetStyle(GetParam());
    RunUntilIdle();
    ClickText(Combo);
    gfx::DWORD Before = 0;
    for (int Round = 0; Round < 3; ++Round) {
        if (Round == 1) Before = GdiObjectCount();
        testdrv::PressKey(win::VK_F4);
        ASSERT_TRUE(Control->DroppedDown());
        testdrv::PressKey(win::VK_DOWN);
        RunUntilIdle();
        const win::HWND ListWnd = List()->Handle();
        cls::TRect Outer, Inner;
        win::GetWindowRect(ListWnd, &Outer);
        win::GetClientRect(ListWnd, &Inner);
        const int Border = Control->GetPainter()->GetDropDownListBorder();
        EXPECT_EQ(Outer.bottom - Outer.top - (Inner.bottom - Inner.top), 2 * Border);
        testdrv::PressKey(win::VK_F4);
    }
    EXPECT_EQ(GdiObjectCount(), Before);
    testdrv::PressKey(win::VK_ESCAPE);
}

TEST_P(ComboStyleTest, ControlsAfterAClosedComboDrawTheirCaptionsInTheBarFont) {
    Manager->SetStyle(GetParam());
    Combo->SetItemIndex(2);
    // The same captioned edit behind the combo and alone on a bar of its own.
    TdxBarEdit* Behind = AddEdit("Size");
    Behind->SetShowCaption(true);
    auto* Alone = new TdxBarEdit(Form);
    Alone->SetCaption("Size");
    Alone->SetShowCaption(true);
    TdxBar* Other = Manager->Bars()->Add();
    Other->ItemLinks()->Add(Alone);
    Other->SetDockingStyle(dsTop);
    Other->SetRow(1);
    Other->SetVisible(true);
    RunUntilIdle();
    const auto CaptionInk = [](TdxBarEdit* AEdit) {
        TdxBarItemLink* Link = AEdit->Links(0);
        cls::TRect R = Link->ItemRect();
        R.right = R.left + ControlOf(AEdit)->GetCaptionWidth();
        return CountPixels(Link->GetBarControl()->Handle(), R, gfx::GetSysColor(gfx::COLOR_BTNTEXT));
    };
    // Painted again, the controls before the combo too come after one.
    for (int Round = 0; Round < 2; ++Round) {
        SCOPED_TRACE(Round);
        EXPECT_GT(CaptionInk(Alone), 0);
        EXPECT_EQ(CaptionInk(Behind), CaptionInk(Alone));
        Window->RepaintBar();
        RunUntilIdle();
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, ComboStyleTest,
                         ::testing::Values(bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11));

} // namespace
} // namespace bars::test
