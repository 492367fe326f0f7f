#include "bars/customizing/controls.h"
#include "bars/customizing/namedialog.h"

#include <gtest/gtest.h>

#include "bars/containeritems.h"
#include "bars/edititems.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/xp_painter.h"
#include "fixture.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;

class CustomizingControlsTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 420, 320);
        Form->Show();
    }
    win::COLORREF Pixel(cls::TControl* C, int X, int Y) {
        win::ComposeScreen();
        return win::ScreenPixel(C->ClientToScreen(cls::TPoint{X, Y}));
    }
};

TEST_F(CustomizingControlsTest, ToolbarListTogglesOnlyBarsThatMayClose) {
    Bar->SetCaption("Standard");
    Bar->SetVisible(true);
    TdxBar* Fixed = Manager->Bars()->Add();
    Fixed->SetCaption("Fixed");
    Fixed->SetAllowClose(false);
    Fixed->SetVisible(true);
    auto* List = new TCheckListBox(Form);
    List->SetBarManager(Manager);
    List->SetParent(Form);
    List->SetBounds(8, 8, 200, 100);
    List->SetItemHeight(18);
    List->Items()->AddObject("Standard", Bar);
    List->Items()->AddObject("Fixed", Fixed);
    RunUntilIdle();
    EXPECT_EQ(List->CheckWidth(), 18);
    // The box of a bar that may not close is drawn inactive: a grey interior.
    EXPECT_EQ(Pixel(List, 9, 9), gfx::GetSysColor(gfx::COLOR_WINDOWTEXT)) << "the check mark";
    EXPECT_EQ(Pixel(List, 4, 18 + 4), gfx::GetSysColor(gfx::COLOR_BTNFACE));

    const win::HWND Wnd = List->Handle();
    testdrv::Click(Wnd, {9, 9});
    EXPECT_FALSE(Bar->Visible());
    // Two fast clicks on a box toggle twice.
    testdrv::Click(Wnd, {9, 9});
    testdrv::Click(Wnd, {9, 9});
    EXPECT_FALSE(Bar->Visible());
    // A double click beside the box toggles once more; Space on the selected row too.
    testdrv::Click(Wnd, {80, 9});
    testdrv::Click(Wnd, {80, 9});
    EXPECT_TRUE(Bar->Visible());
    testdrv::PressKey(win::VK_SPACE, " ");
    EXPECT_FALSE(Bar->Visible());
    // The bar that may not close beeps and stays.
    win::ClearPlayedSounds();
    testdrv::Click(Wnd, {9, 27});
    EXPECT_TRUE(Fixed->Visible());
    EXPECT_EQ(testdrv::Sounds(), (std::vector<std::string>{"SystemDefault"}));
}

TEST_F(CustomizingControlsTest, PainterChoiceFollowsTheManagersPainter) {
    const struct {
        TdxBarItemControlPainterClass Bars;
        TdxBarCustomizingFormPainterClass Form;
    } Cases[] = {
        {TdxBarItemControlXPPainter::Class(), TdxBarCustomizingFormXPPainter::Class()},
        {TdxBarItemControlOffice11Painter::Class(), TdxBarCustomizingFormOffice11Painter::Class()},
        {TdxBarItemControlFlatPainter::Class(), TdxBarCustomizingFormFlatPainter::Class()},
        {TdxBarItemControlStandardPainter::Class(), TdxBarCustomizingFormStandardPainter::Class()},
        {TdxBarItemControlPainter::Class(), TdxBarCustomizingFormStandardPainter::Class()},
    };
    for (const auto& C : Cases) EXPECT_EQ(GetCustomizingFormPainterClass(C.Bars), C.Form);
}

TEST_F(CustomizingControlsTest, CommandRowsInEachStyle) {
    win::SetTheme(win::ThemeScheme::Blue);
    auto* List = new TCommandsListBox(Form);
    List->SetBarManager(Manager);
    List->SetParent(Form);
    List->SetBounds(8, 8, 220, 170);
    RunUntilIdle();
    // Empty: the list brush everywhere, no focus rectangle.
    EXPECT_EQ(Pixel(List, 3, 3), cls::ColorToRGB(List->Brush()->Color()));
    EXPECT_EQ(Pixel(List, 100, 60), cls::ColorToRGB(List->Brush()->Color()));

    auto* Button = new TdxBarButton(Form);
    Button->SetCaption("&Open");
    auto* DropDown = new TdxBarButton(Form);
    DropDown->SetCaption("Paste");
    DropDown->SetButtonStyle(bsDropDown);
    auto* Sub = new TdxBarSubItem(Form);
    Sub->SetCaption("Recent");
    auto* Container = new TdxBarContainerItem(Form);
    Container->SetCaption("Windows");
    auto* Edit = new TdxBarEdit(Form);
    Edit->SetCaption("Find");
    for (TdxBarItem* Item : std::vector<TdxBarItem*>{Button, DropDown, Sub, Container, Edit})
        List->Items()->AddObject(Item->Caption(), Item);
    List->SetItemIndex(1);
    RunUntilIdle();
    EXPECT_EQ(List->ItemRect(1).top, 22);
    for (const auto& [Style, Name] : std::vector<std::pair<TdxBarManagerStyle, std::string>>{
             {bmsStandard, "standard"}, {bmsFlat, "flat"}, {bmsOffice11, "office11"}, {bmsXP, "xp"}}) {
        SCOPED_TRACE(Name);
        Manager->SetStyle(Style);
        List->SetColor(Style == bmsFlat ? cls::clWindow : cls::clBtnFace);
        List->Invalidate();
        RunUntilIdle();
        const TdxBarCustomizingFormPainterClass P = List->Painter();
        // Unselected rows take the unselected background, the area below them the list's colour.
        EXPECT_EQ(Pixel(List, 150, 11), cls::ColorToRGB(P->GetBackgroundColor(false, Button)));
        EXPECT_EQ(Pixel(List, 150, 160), cls::ColorToRGB(List->Color()));
        // The selected drop-down button's arrow stands at (right - 9, top + 7).
        const int Right = List->ClientWidth();
        EXPECT_EQ(Pixel(List, Right - 9, 22 + 10), cls::ColorToRGB(P->GetTextColor(false)));
        // The sub item's arrow, unselected.
        EXPECT_EQ(Pixel(List, Right - 9, 44 + 10), cls::ColorToRGB(P->GetTextColor(false)));
        testdrv::Snapshot(List->Handle(), "out/test_commands_" + Name + ".png");
    }
}

} // namespace
} // namespace bars::test

namespace bars::test {
namespace {

using testdrv::ScriptIdle;

void Inject(int Vk, const char* Chars = nullptr) {
    win::InjectKey(Vk, true, Chars);
    win::InjectKey(Vk, false);
}

TdxBarNameEd* ActiveNameDialog() {
    return dynamic_cast<TdxBarNameEd*>(cls::Screen->ActiveCustomForm());
}

TEST_F(CustomizingControlsTest, NameDialogRefusesBlankAndDuplicateToolbarNames) {
    Bar->SetCaption("Standard");
    TdxBar* Other = Manager->Bars()->Add();
    Other->SetCaption("Formatting");
    const auto& Boxes = testdrv::AnswerMessageBoxes({});
    struct Case {
        const char* Name;
        std::string Start;
        bool Category;
        int Mode;
        TdxBar* Renamed;
        std::vector<testdrv::Step> Steps;
        bool Result;
        std::string Final;
        std::size_t MessageBoxes;
    };
    const std::vector<Case> Cases = {
        {"blank: OK waits for a letter",
         "",
         false,
         0,
         nullptr,
         {[] {
              EXPECT_EQ(ActiveNameDialog()->Caption(), "Add Toolbar");
              EXPECT_FALSE(ActiveNameDialog()->BOK()->Enabled());
              Inject(win::VK_RETURN);
          },
          [] { Inject('X', "x"); }, [] { Inject(win::VK_RETURN); }},
         true,
         "x",
         0},
        {"a bar's own caption in rename mode",
         "Standard",
         false,
         1,
         Bar,
         {[] { Inject(win::VK_RETURN); }},
         true,
         "Standard",
         0},
        {"another bar's caption: a box, the dialog stays",
         "Formatting",
         false,
         0,
         nullptr,
         {[] { Inject(win::VK_RETURN); }, [] { Inject(win::VK_ESCAPE); }},
         false,
         "Formatting",
         1},
        {"category names may repeat",
         "Formatting",
         true,
         2,
         nullptr,
         {[] {
             EXPECT_EQ(ActiveNameDialog()->Caption(), "Rename Category");
             Inject(win::VK_RETURN);
         }},
         true,
         "Formatting",
         0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::size_t Before = Boxes.size();
        std::string Name = C.Start;
        ScriptIdle(C.Steps);
        EXPECT_EQ(ShowBarNameDialog(Name, C.Category, C.Mode, Manager, C.Renamed), C.Result);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_EQ(Name, C.Final);
        EXPECT_EQ(Boxes.size() - Before, C.MessageBoxes);
    }
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].text, "A toolbar named 'Formatting' already exists. Type another name.");
    EXPECT_EQ(Boxes[0].type, win::MB_ICONERROR);
}

} // namespace
} // namespace bars::test
