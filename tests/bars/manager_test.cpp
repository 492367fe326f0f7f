#include "bars/manager.h"

#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/item.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/objectlinks.h"
#include "support/driver.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using namespace bars;
using cls::TForm;
using testdrv::ExpectError;

class ManagerTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        Form = new TForm(nullptr);
    }
    void TearDown() override {
        delete Form;
        cls::DoneApplication();
        WinTest::TearDown();
    }

    TdxBarManager* NewManager() { return new TdxBarManager(Form); }

    TForm* Form = nullptr;
};

// Counts the manager's image updates.
class TCountingItem : public TdxBarItem {
public:
    explicit TCountingItem(cls::TComponent* AOwner) : TdxBarItem(AOwner) {}
    void GlyphChanged() override { ++GlyphChanges; }
    int GlyphChanges = 0;
};

// Registers with the manager as popup menus do.
class TPopupMenuStandIn : public cls::TComponent {
public:
    TPopupMenuStandIn(cls::TComponent* AOwner, TdxBarManager* AManager)
        : cls::TComponent(AOwner), FManager(AManager) {
        FManager->AddPopupMenu(this);
    }
    ~TPopupMenuStandIn() override { FManager->RemovePopupMenu(this); }

private:
    TdxBarManager* FManager;
};

gfx::LOGFONT FontOf(gfx::HFONT AFont) {
    gfx::LOGFONT Result{};
    gfx::GetObject(AFont, sizeof(Result), &Result);
    return Result;
}

gfx::COLORREF BrushColor(gfx::HBRUSH ABrush) {
    gfx::LOGBRUSH Result{};
    gfx::GetObject(ABrush, sizeof(Result), &Result);
    return Result.lbColor;
}

win::NONCLIENTMETRICS CurrentMetrics() {
    win::NONCLIENTMETRICS Metrics;
    win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
    return Metrics;
}

// --- Owner rules ---

TEST_F(ManagerTest, OwnerMustBeAFormAndNothingStaysRegisteredOtherwise) {
    cls::TComponent NotAForm(nullptr);
    ExpectError<cls::Exception>([&] { new TdxBarManager(&NotAForm); },
                                "TdxBarManager should have as its Owner - TForm (TCustomForm)");
    EXPECT_EQ(NotAForm.ComponentCount(), 0);
    EXPECT_EQ(dxBarManagerList(), nullptr);
    EXPECT_FALSE(IsLibraryStarted());

    // Without an application main form a nil owner is refused the same way.
    ExpectError<cls::Exception>([] { new TdxBarManager(nullptr); },
                                "TdxBarManager should have as its Owner - TForm (TCustomForm)");
    EXPECT_FALSE(IsLibraryStarted());
}

TEST_F(ManagerTest, ASecondManagerOnAFormIsRefused) {
    TdxBarManager* First = NewManager();
    ExpectError<cls::Exception>([&] { NewManager(); }, "A Form should contain only a single TdxBarManager");
    ASSERT_NE(dxBarManagerList(), nullptr);
    EXPECT_EQ(dxBarManagerList()->Count(), 1);
    EXPECT_EQ(dxBarManagerList()->GetItem(0), First);
    EXPECT_EQ(Form->ComponentCount(), 1);
    EXPECT_EQ(GetBarManagerByForm(Form), First);
}

TEST_F(ManagerTest, OwnerTextsAreReadWhenRaised) {
    cls::TResStringLocalizer Previous =
        cls::SetResStringLocalizer([](const cls::TResStringRec& ARec) -> std::optional<std::string> {
            if (ARec.Identifier == dxSBAR_ONEMANAGERPERFORM.Identifier) return "Nur ein Manager";
            return std::nullopt;
        });
    NewManager();
    ExpectError<cls::Exception>([&] { NewManager(); }, "Nur ein Manager");
    cls::SetResStringLocalizer(Previous);
}

TEST_F(ManagerTest, NilOwnerTakesTheMainForm) {
    TForm* Main = nullptr;
    cls::Application->CreateForm(TForm::ClassInfo(), Main);
    auto* Manager = new TdxBarManager(nullptr);
    EXPECT_EQ(Manager->OwnerForm(), Main);
    EXPECT_EQ(Manager->Owner(), nullptr);
    EXPECT_EQ(GetBarManagerByForm(Main), Manager);
    delete Manager;
    EXPECT_FALSE(IsLibraryStarted());
}

// --- Properties ---

TEST_F(ManagerTest, SettersIgnoreOrClampValuesOutOfRange) {
    TdxBarManager* Manager = NewManager();
    EXPECT_EQ(Manager->MostRecentItemsPercents(), 95);
    EXPECT_EQ(Manager->RecentItemsStep(), 20);

    struct Case {
        int Percents;
        int Stored;
        int Step;
    };
    for (const Case& C : {Case{150, 100, 0}, Case{100, 100, 0}, Case{95, 95, 20}, Case{90, 90, 10},
                          Case{50, 50, 2}, Case{99, 99, 100}, Case{0, 0, 1}}) {
        Manager->SetMostRecentItemsPercents(C.Percents);
        EXPECT_EQ(Manager->MostRecentItemsPercents(), C.Stored) << C.Percents;
        EXPECT_EQ(Manager->RecentItemsStep(), C.Step) << C.Percents;
    }

    Manager->SetButtonArrowWidth(1);
    EXPECT_EQ(Manager->ButtonArrowWidth(), 11);
    Manager->SetButtonArrowWidth(2);
    EXPECT_EQ(Manager->ButtonArrowWidth(), 2);
    Manager->SetLargeButtonArrowWidth(0);
    EXPECT_EQ(Manager->LargeButtonArrowWidth(), 13);
    Manager->SetWaitForDockingTime(-5);
    EXPECT_EQ(Manager->WaitForDockingTime(), 21);
    Manager->SetWaitForDockingTime(0);
    EXPECT_EQ(Manager->WaitForDockingTime(), 0);
}

TEST_F(ManagerTest, DockColorFollowsTheFormUntilWritten) {
    TdxBarManager* Manager = NewManager();
    TdxDockControl* Top = Manager->Bars()->DockControls(dsTop);
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Manager->DockControlCount(), 4);

    Form->SetColor(cls::clRed);
    EXPECT_TRUE(Manager->AutoDockColor());
    EXPECT_EQ(Manager->DockColor(), cls::clRed);
    EXPECT_FALSE(Manager->IsDockColorStored());
    EXPECT_TRUE(Top->ParentColor());

    Manager->SetDockColor(cls::clBlue);
    EXPECT_FALSE(Manager->AutoDockColor());
    EXPECT_TRUE(Manager->IsDockColorStored());
    EXPECT_EQ(Manager->DockColor(), cls::clBlue);
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom}) {
        EXPECT_FALSE(Manager->Bars()->DockControls(Style)->ParentColor());
        EXPECT_EQ(Manager->Bars()->DockControls(Style)->Color(), cls::clBlue);
    }

    Manager->SetAutoDockColor(true);
    EXPECT_EQ(Manager->DockColor(), cls::clRed);
    EXPECT_TRUE(Top->ParentColor());
}

// --- Fonts ---

TEST_F(ManagerTest, SystemFontIsTakenAndGivenUpWhenTheFontChanges) {
    TdxBarManager* Manager = NewManager();
    const win::NONCLIENTMETRICS Metrics = CurrentMetrics();
    EXPECT_TRUE(Manager->UseSystemFont());
    EXPECT_EQ(Manager->Font()->Name(), Metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(Manager->Font()->Height(), Metrics.lfMenuFont.lfHeight);

    // Scaled: only the height goes back to the menu font's.
    Manager->Font()->SetStyle({cls::fsBold});
    Manager->Font()->SetHeight(-20);
    EXPECT_FALSE(Manager->UseSystemFont());
    EXPECT_EQ(Manager->Font()->Height(), Metrics.lfMenuFont.lfHeight);
    EXPECT_TRUE(Manager->Font()->Style().Contains(cls::fsBold));

    Manager->SetScaled(false);
    Manager->Font()->SetHeight(-20);
    EXPECT_EQ(Manager->Font()->Height(), -20);
    Manager->SetScaled(true);
    EXPECT_EQ(Manager->Font()->Height(), Metrics.lfMenuFont.lfHeight);

    Manager->SetUseSystemFont(true);
    EXPECT_TRUE(Manager->UseSystemFont());
    EXPECT_FALSE(Manager->Font()->Style().Contains(cls::fsBold));
}

TEST_F(ManagerTest, BarFontHandleTakesTheIconTitleHeightWhileScaled) {
    win::NONCLIENTMETRICS Metrics = CurrentMetrics();
    Metrics.lfMenuFont.lfHeight = -15;
    win::SetNonClientMetrics(Metrics);
    TdxBarManager* Manager = NewManager();
    TdxBar* Bar = Manager->Bars()->Add();
    EXPECT_EQ(Manager->Font()->Height(), -15);
    gfx::LOGFONT IconTitle{};
    win::SystemParametersInfo(win::SPI_GETICONTITLELOGFONT, sizeof(IconTitle), &IconTitle, 0);
    EXPECT_EQ(FontOf(Manager->FontHandle()).lfHeight, std::min(IconTitle.lfHeight, -11));

    Manager->SetScaled(false);
    Manager->Font()->SetHeight(-17);
    EXPECT_EQ(FontOf(Manager->FontHandle()).lfHeight, -17);
    // A bar without a font of its own follows the manager's.
    EXPECT_EQ(Bar->Font()->Height(), -17);
    EXPECT_FALSE(Bar->UseOwnFont());
}

// --- Metrics ---

TEST_F(ManagerTest, ButtonMetricsFollowLargeIcons) {
    TdxBarManager* Manager = NewManager();
    cls::TImageList Large(nullptr);
    Large.SetHeight(24);

    struct Case {
        bool LargeIcons;
        bool UseLargeImages;
        bool HasLargeImages;
        int ArrowWidth;
        int ImageSize;
        int DropDown;
    };
    for (const Case& C : {Case{false, false, false, 11, 16, 11}, Case{true, false, false, 11, 32, 23},
                          Case{true, true, false, 11, 32, 23}, Case{true, true, true, 11, 24, 23},
                          Case{false, true, true, 10, 16, 11}, Case{true, false, true, 10, 32, 21}}) {
        Manager->SetLargeImages(C.HasLargeImages ? &Large : nullptr);
        Manager->SetButtonArrowWidth(C.ArrowWidth);
        Manager->SetUseLargeImagesForLargeIcons(C.UseLargeImages);
        Manager->SetLargeIcons(C.LargeIcons);
        EXPECT_EQ(Manager->ImageSize(), C.ImageSize);
        EXPECT_EQ(Manager->ButtonWidth(), C.ImageSize + 7);
        EXPECT_EQ(Manager->ButtonHeight(), C.ImageSize + 6);
        EXPECT_EQ(Manager->DropDownArrowWidth(), C.DropDown);
    }
    Manager->SetLargeImages(nullptr);
}

// --- Lookups ---

TEST_F(ManagerTest, LookupsAndTheirCaseRules) {
    TdxBarManager* Manager = NewManager();
    auto* Button = new TdxBarItem(Form);
    Button->SetName("dxBarButton1");
    auto* Other = new TdxBarItem(Form);
    Other->SetName("Other");
    TdxBar* Bar = Manager->Bars()->Add();
    Bar->SetCaption("Standard");

    EXPECT_EQ(Manager->FindItemByName("DXBARBUTTON1"), Button);
    EXPECT_EQ(Manager->FindItemByName("other"), Other);
    EXPECT_EQ(Manager->FindItemByName("none"), nullptr);
    EXPECT_EQ(Manager->FindBarByCaption("Standard"), Bar);
    EXPECT_EQ(Manager->FindBarByCaption("standard"), nullptr);
    EXPECT_EQ(Manager->FindBarByName("Standard"), Bar);
    EXPECT_EQ(Manager->FindBarByName("STANDARD"), nullptr);

    EXPECT_EQ(Manager->Items(0), Button);
    EXPECT_EQ(Manager->Items(2), nullptr);
    EXPECT_EQ(Manager->Items(-1), nullptr);
    Manager->ExchangeItems(0, 1);
    EXPECT_EQ(Button->GetIndex(), 1);
    Manager->MoveItem(1, 0);
    EXPECT_EQ(Button->GetIndex(), 0);
    Manager->MoveItem(0, 5);
    EXPECT_EQ(Button->GetIndex(), 0);
}

TEST_F(ManagerTest, BarCaptionsAndNamesStayUnique) {
    TdxBarManager* Manager = NewManager();
    TdxBar* First = Manager->Bars()->Add();
    First->SetCaption("Tools");
    TdxBar* Second = Manager->Bars()->Add();
    Second->SetCaption("Tools");
    EXPECT_EQ(Second->Caption(), "");
    First->SetCaption("Edit");
    Second->SetCaption("Tools");
    EXPECT_EQ(Second->Caption(), "Tools");
    // "Tools" is still First's name: Second's name gets a number.
    EXPECT_EQ(First->Name(), "Tools");
    EXPECT_EQ(Second->Name(), "Tools1");
}

TEST_F(ManagerTest, BarsAreAssignedWithTheirLinks) {
    TdxBarManager* Manager = NewManager();
    auto* OtherForm = new TForm(nullptr);
    auto* Other = new TdxBarManager(OtherForm);
    auto* Item = new TdxBarItem(Form);
    TdxBar* Source = Other->Bars()->Add();
    Source->SetCaption("Main");
    Source->SetDockingStyle(dsBottom);
    Source->ItemLinks()->Add(Item);
    Source->SetVisible(true);

    Manager->SetBars(Other->Bars());
    ASSERT_EQ(Manager->Bars()->Count(), 1);
    TdxBar* Copy = Manager->Bars()->Items(0);
    EXPECT_EQ(Copy->Caption(), "Main");
    EXPECT_EQ(Copy->DockingStyle(), dsBottom);
    EXPECT_EQ(Copy->GetRealDockControl(), Manager->Bars()->DockControls(dsBottom));
    ASSERT_EQ(Copy->ItemLinks()->Count(), 1);
    EXPECT_EQ(Copy->ItemLinks()->Items(0)->Item(), Item);
    EXPECT_TRUE(Copy->Visible());
    delete OtherForm;
    EXPECT_EQ(Item->LinkCount(), 1);
}

// --- Categories ---

TEST_F(ManagerTest, CategoryItemsVisibleHidesAndShowsEmptyBars) {
    TdxBarManager* Manager = NewManager();
    Manager->Categories()->Add("Edit");
    Manager->SetAutoHideEmptyBars(true);
    auto* Cut = new TdxBarItem(Form);
    Cut->SetCategory(1);
    auto* Paste = new TdxBarItem(Form);
    Paste->SetCategory(1);
    Paste->SetVisible(ivInCustomizing);
    auto* Open = new TdxBarItem(Form);
    Open->SetCategory(0);

    TdxBar* EditBar = Manager->Bars()->Add();
    EditBar->ItemLinks()->Add(Cut);
    EditBar->SetVisible(true);
    TdxBar* MixedBar = Manager->Bars()->Add();
    MixedBar->ItemLinks()->Add(Cut);
    MixedBar->ItemLinks()->Add(Open);
    MixedBar->SetVisible(true);
    TdxBar* EmptyBar = Manager->Bars()->Add();
    EmptyBar->ItemLinks()->Add(Paste);
    EmptyBar->SetVisible(true);

    Manager->SetCategoryItemsVisible(1, ivNever);
    EXPECT_EQ(Cut->Visible(), ivNever);
    EXPECT_EQ(Paste->Visible(), ivInCustomizing);
    EXPECT_FALSE(EditBar->Visible());
    EXPECT_TRUE(EditBar->HiddenWhenEmpty());
    EXPECT_TRUE(MixedBar->Visible());
    // Empty already before: not the category's doing.
    EXPECT_TRUE(EmptyBar->Visible());
    EXPECT_FALSE(EmptyBar->HiddenWhenEmpty());
    EXPECT_FALSE(Manager->LockUpdate());

    Manager->SetCategoryItemsVisible(1, ivAlways);
    EXPECT_EQ(Cut->Visible(), ivAlways);
    EXPECT_TRUE(EditBar->Visible());
    EXPECT_FALSE(EditBar->HiddenWhenEmpty());

    Manager->SetCategoryItemsVisible(1, ivNever);
    Manager->SetAutoHideEmptyBars(false);
    EXPECT_FALSE(EditBar->HiddenWhenEmpty());
    Manager->SetCategoryItemsVisible(1, ivAlways);
    EXPECT_FALSE(EditBar->Visible());
}

TEST_F(ManagerTest, CategoryAccessorsCheckTheirIndex) {
    TdxBarManager* Manager = NewManager();
    Manager->Categories()->Add("Hidden");
    Manager->Categories()->Add("Shown");
    EXPECT_TRUE(Manager->CategoryVisible(0));
    EXPECT_EQ(Manager->CategoryItemsVisible(0), ivAlways);
    EXPECT_FALSE(Manager->CategoryVisible(3));
    EXPECT_EQ(Manager->CategoryItemsVisible(-1), ivNever);
    EXPECT_THROW(Manager->SetCategoryItemsVisible(3, ivNever), cls::EListError);
    EXPECT_THROW(Manager->SetCategoryVisible(-1, false), cls::EListError);

    Manager->SetCategoryVisible(1, false);
    EXPECT_FALSE(Manager->CategoryVisible(1));
    EXPECT_EQ(Manager->GetCategoryRealIndex(0), 0);
    EXPECT_EQ(Manager->GetCategoryRealIndex(1), 2);
    EXPECT_EQ(Manager->GetCategoryRealIndex(2), -1);
}

TEST_F(ManagerTest, LoadedKeepsValuesSetInCode) {
    TdxBarManager* Manager = NewManager();
    auto* Item = new TdxBarItem(Form);
    Item->SetCategory(0);
    Item->SetVisible(ivNever);
    TdxBar* Bar = Manager->Bars()->Add();
    Bar->SetDockingStyle(dsLeft);
    Bar->SetVisible(true);
    Manager->SetCategoryItemsVisible(0, ivInCustomizing);
    Manager->Loaded();
    EXPECT_EQ(Item->Visible(), ivNever);
    EXPECT_EQ(Bar->DockingStyle(), dsLeft);
    EXPECT_TRUE(Bar->Visible());
    EXPECT_EQ(Manager->CategoryItemsVisible(0), ivInCustomizing);
}

// --- Docking ---

TEST_F(ManagerTest, CanDockingAsksTheBarTheSiteAndTheEvent) {
    TdxBarManager* Manager = NewManager();
    TdxBar* Bar = Manager->Bars()->Add();
    TdxDockControl* Top = Manager->Bars()->DockControls(dsTop);
    auto* Placed = new TdxDockControl(Form);
    Placed->SetBarManager(Manager);

    Manager->SetNotDocking({dsLeft});
    EXPECT_TRUE(Manager->CanDocking(Bar, dsTop, Top));
    EXPECT_FALSE(Manager->CanDocking(Bar, dsLeft, nullptr));
    // A placed site answers for itself.
    EXPECT_TRUE(Manager->CanDocking(Bar, dsLeft, Placed));
    Placed->SetAllowDocking(false);
    EXPECT_FALSE(Manager->CanDocking(Bar, dsTop, Placed));
    Bar->SetNotDocking({dsTop});
    EXPECT_FALSE(Manager->CanDocking(Bar, dsTop, Top));

    struct TVeto {
        int Calls = 0;
        void Handle(TdxBar*, TdxBarDockingStyle AStyle, TdxDockControl*, bool& CanDocking) {
            ++Calls;
            if (AStyle == dsBottom) CanDocking = false;
        }
    } Veto;
    Manager->SetOnDocking(TdxBarCanDockingEvent(&Veto, &TVeto::Handle));
    EXPECT_FALSE(Manager->CanDocking(Bar, dsBottom, nullptr));
    EXPECT_TRUE(Manager->CanDocking(Bar, dsRight, nullptr));
    EXPECT_EQ(Veto.Calls, 2);

    // A bar that can dock somewhere gets the drag zone of the default (Enhanced) style.
    EXPECT_EQ(Manager->GetBarDragHandleSize(Bar), 6);
    EXPECT_EQ(Manager->DockControlCount(), 5);
    delete Placed;
    EXPECT_EQ(Manager->DockControlCount(), 4);
}

TEST_F(ManagerTest, DestroyingADockSiteHidesItsBars) {
    TdxBarManager* Manager = NewManager();
    auto* Placed = new TdxDockControl(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    TdxBar* Bar = Manager->Bars()->Add();
    Bar->SetDockControl(Placed);
    Bar->SetVisible(true);
    TdxBar* Floating = Manager->Bars()->Add();
    Floating->SetVisible(true);
    delete Placed;
    EXPECT_EQ(Bar->DockControl(), nullptr);
    EXPECT_FALSE(Bar->Visible());
    EXPECT_TRUE(Floating->Visible());
}

// --- Image lists ---

TEST_F(ManagerTest, ImageListsAreFollowedAndClearedWhenFreed) {
    TdxBarManager* Manager = NewManager();
    auto* WithImage = new TCountingItem(Form);
    WithImage->SetImageIndex(0);
    WithImage->GlyphChanges = 0;
    auto* WithoutImage = new TCountingItem(Form);

    auto* Images = new cls::TImageList(nullptr);
    auto* Hot = new cls::TImageList(nullptr);
    Manager->SetImages(Images);
    Manager->SetHotImages(Hot);
    Manager->SetDisabledImages(Images);
    EXPECT_EQ(WithImage->GlyphChanges, 2);
    EXPECT_EQ(WithoutImage->GlyphChanges, 0);

    cls::TBitmap Picture(16, 16);
    Images->Add(&Picture, nullptr);
    // Images and DisabledImages both hold the list.
    EXPECT_EQ(WithImage->GlyphChanges, 4);

    delete Images;
    EXPECT_EQ(Manager->Images(), nullptr);
    EXPECT_EQ(Manager->DisabledImages(), nullptr);
    EXPECT_EQ(Manager->HotImages(), Hot);
    delete Hot;
    EXPECT_EQ(Manager->HotImages(), nullptr);
}

// --- Colours ---

TEST_F(ManagerTest, ColourBrushesAreMadeFromTheSystemColours) {
    TdxBarManager* Manager = NewManager();
    auto Check = [Manager] {
        const gfx::COLORREF Shadow = gfx::GetSysColor(gfx::COLOR_BTNSHADOW);
        const gfx::COLORREF Face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
        EXPECT_EQ(BrushColor(Manager->DarkShadeBrush()),
                  gfx::RGB(gfx::GetRValue(Shadow) * 8 / 10, gfx::GetGValue(Shadow) * 8 / 10,
                           gfx::GetBValue(Shadow) * 8 / 10));
        auto Light = [](int C) { return C + gfx::MulDiv(255 - C, 16, 100); };
        EXPECT_EQ(
            BrushColor(Manager->LightShadeBrush()),
            gfx::RGB(Light(gfx::GetRValue(Face)), Light(gfx::GetGValue(Face)), Light(gfx::GetBValue(Face))));
        EXPECT_EQ(BrushColor(Manager->WindowMixBrush()), gfx::ColorToRGB(lf::MixSystemColors(-2, 30, 72)));
    };
    Check();
    gfx::ColorScheme Scheme = gfx::ClassicColorScheme();
    Scheme[gfx::COLOR_BTNSHADOW] = gfx::RGB(100, 50, 200);
    Scheme[gfx::COLOR_BTNFACE] = gfx::RGB(10, 200, 100);
    win::ChangeSysColors(Scheme);
    Manager->SysColorChanged();
    Check();
    EXPECT_EQ(BrushColor(Manager->DarkShadeBrush()), gfx::RGB(80, 40, 160));
}

// --- Destruction ---

TEST_F(ManagerTest, DestructionFreesItemsGroupsAndPopupMenus) {
    TdxBarManager* Manager = NewManager();
    auto* Item = new TdxBarItem(Form);
    TdxBarGroup* Group = Manager->AddGroup();
    Group->Add(Item);
    auto* Menu = new TPopupMenuStandIn(Form, Manager);
    TdxBar* Bar = Manager->Bars()->Add();
    Bar->ItemLinks()->Add(Item);
    EXPECT_EQ(Manager->ItemCount(), 1);
    EXPECT_EQ(Manager->GroupCount(), 1);
    EXPECT_EQ(Manager->PopupMenuCount(), 1);

    lf::TcxObjectLink* ItemLink = lf::cxAddObjectLink(Item);
    cls::TComponentGuard GroupGuard(Group);
    cls::TComponentGuard MenuGuard(Menu);
    delete Manager;
    EXPECT_EQ(ItemLink->Ref, nullptr);
    EXPECT_FALSE(GroupGuard.Alive());
    EXPECT_FALSE(MenuGuard.Alive());
    EXPECT_EQ(Form->ComponentCount(), 0);
    EXPECT_FALSE(IsLibraryStarted());
    lf::cxRemoveObjectLink(ItemLink);
}

TEST_F(ManagerTest, DestroyingTheFormFreesEverything) {
    TdxBarManager* Manager = NewManager();
    auto* Item = new TdxBarItem(Form);
    Manager->Bars()->Add()->ItemLinks()->Add(Item);
    Manager->AddGroup()->Add(Item);
    new TPopupMenuStandIn(Form, Manager);
    auto* Images = new cls::TImageList(Form);
    Manager->SetImages(Images);
    delete Form;
    Form = nullptr;
    EXPECT_FALSE(IsLibraryStarted());
}

TEST_F(ManagerTest, ItemsJoinTheFormsManagerOrTheFirstOne) {
    TdxBarManager* Manager = NewManager();
    auto* OnForm = new TdxBarItem(Form);
    EXPECT_EQ(OnForm->BarManager(), Manager);
    cls::TComponent Elsewhere(nullptr);
    auto* Stray = new TdxBarItem(&Elsewhere);
    EXPECT_EQ(Stray->BarManager(), Manager);
    EXPECT_EQ(Manager->ItemCount(), 2);
    delete Stray;
    EXPECT_EQ(Manager->ItemCount(), 1);
}

} // namespace
