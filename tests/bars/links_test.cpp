#include "bars/links.h"

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/keys.h"
#include "bars/toolbar.h"
#include "fixture.h"
#include "lookandfeel/text.h"
#include "support/driver.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace bars;
using cls::TShiftState;

// A form that the designer has open: its manager is in design mode.
class TDesignedForm : public cls::TForm {
public:
    explicit TDesignedForm(cls::TComponent* AOwner) : cls::TForm(AOwner) { SetDesigning(true); }
};

// Records the manager's link events and item clicks.
struct TRecorder {
    void Added(TdxBarManager*, TdxBarItemLink* ALink) { Log.push_back("add " + Name(ALink)); }
    void Changed(TdxBarManager*, TdxBarItemLink* ALink) { Log.push_back("change " + Name(ALink)); }
    void Deleted(TdxBarManager*, TdxBarItemLink* ALink) {
        Log.push_back("delete " + Name(ALink));
        // Whatever a handler reads of the collection must still be alive.
        if (TdxBarItemLinks* Links = ALink->Owner())
            for (int I = 0; I < Links->VisibleItemCount(); ++I) (void)Links->VisibleItems(I)->GetCaption();
    }
    void Clicked(cls::TObject* Sender) { Log.push_back("click " + static_cast<TdxBarItem*>(Sender)->Name()); }
    static std::string Name(TdxBarItemLink* ALink) { return ALink->Item() ? ALink->Item()->Name() : "-"; }

    std::vector<std::string> Log;
};

class LinksTest : public test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Links = Bar->ItemLinks();
    }

    template <class T = TdxBarButton> T* NewItem(const std::string& AName, const std::string& ACaption = "") {
        auto* Item = new T(Form);
        Item->SetName(AName);
        Item->SetCaption(ACaption.empty() ? AName : ACaption);
        Item->SetOnClick(cls::TNotifyEvent(&Rec, &TRecorder::Clicked));
        return Item;
    }
    // The names of the items of a list of L: the visible one unless told.
    using TCount = int (TdxBarItemLinks::*)() const;
    using TGet = TdxBarItemLink* (TdxBarItemLinks::*)(int) const;
    static std::string Names(TdxBarItemLinks* L, TCount ACount = &TdxBarItemLinks::VisibleItemCount,
                             TGet AGet = &TdxBarItemLinks::VisibleItems) {
        std::string Result;
        for (int I = 0; I < (L->*ACount)(); ++I) Result += (I ? " " : "") + (L->*AGet)(I)->Item()->Name();
        return Result;
    }
    static std::string Recent(TdxBarItemLinks* L) {
        return Names(L, &TdxBarItemLinks::RecentItemCount, &TdxBarItemLinks::RecentItems);
    }

    TdxBarItemLinks* Links = nullptr;
    TRecorder Rec;
};

TEST_F(LinksTest, UserValuesOverrideTheItemPerLink) {
    TdxBarButton* Item = NewItem("Open", "&Open");
    Item->SetPaintStyle(psCaptionGlyph);
    TdxBarItemLink* Plain = Links->Add(Item);
    TdxBarItemLink* Own = Links->Add(Item);
    Manager->SetOnItemLinkChange(TdxBarItemLinkEvent(&Rec, &TRecorder::Changed));

    Own->SetUserCaption("Open &file");
    cls::TBitmap Glyph(4, 4);
    Own->SetUserGlyph(&Glyph);
    Own->SetUserPaintStyle(psCaption);
    Own->SetUserWidth(5);
    EXPECT_EQ(Own->UserDefine(), (TdxBarUserDefines{udCaption, udGlyph, udPaintStyle, udWidth}));
    EXPECT_EQ(Rec.Log.size(), 4u);
    EXPECT_EQ(Own->GetCaption() + Plain->GetCaption(), "Open &file&Open");
    EXPECT_EQ(Own->GetGlyph()->Width(), 4);
    EXPECT_EQ(Plain->GetGlyph(), Item->Glyph());
    EXPECT_EQ(Own->GetPaintStyle(), psCaption);
    EXPECT_EQ(Plain->GetPaintStyle(), psCaptionGlyph);
    EXPECT_EQ(Own->GetWidth(), 20);
    EXPECT_EQ(Plain->GetWidth(), 0);

    // The effective value already: nothing to store, nobody told.
    Rec.Log.clear();
    Plain->SetUserPaintStyle(psCaptionGlyph);
    Own->SetUserWidth(20);
    EXPECT_TRUE(Plain->UserDefine().Empty());
    EXPECT_TRUE(Rec.Log.empty());

    // A copy takes the overrides along.
    TdxBarItemLink* Copy = Links->Add();
    Copy->Assign(Own);
    EXPECT_EQ(Copy->Item(), Item);
    EXPECT_EQ(Copy->GetCaption(), "Open &file");

    Own->SetUserDefine({udGlyph});
    EXPECT_EQ(Own->UserCaption() + "|" + Own->GetCaption(), "|&Open");
    EXPECT_EQ(Own->GetPaintStyle(), psCaptionGlyph);
    EXPECT_EQ(Own->UserWidth(), 0);
    EXPECT_EQ(Own->GetGlyph()->Width(), 4);
}

TEST_F(LinksTest, SeparatorsMoveFromHiddenLinksToTheNextShownOne) {
    struct Case {
        const char* Name;
        std::vector<bool> Flags, Shown;
        std::vector<bool> Expected; // GetBeginGroup per link
    };
    const Case Cases[] = {
        {"first shown never", {true, false, true}, {true, true, true}, {false, false, true}},
        {"hidden carries it on", {false, true, false}, {true, false, true}, {false, true, true}},
        {"hidden first link", {true, false}, {false, true}, {true, false}},
        {"no flags", {false, false, false}, {true, false, true}, {false, false, false}},
    };
    int Made = 0;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Links->Clear();
        for (std::size_t I = 0; I < C.Flags.size(); ++I) {
            TdxBarItemLink* Link = Links->Add(NewItem("Item" + std::to_string(++Made)));
            Link->SetBeginGroup(C.Flags[I]);
            Link->SetVisible(C.Shown[I]);
        }
        for (std::size_t I = 0; I < C.Flags.size(); ++I)
            EXPECT_EQ(Links->Items(static_cast<int>(I))->GetBeginGroup(), C.Expected[I]) << "link " << I;
    }
    // A copy takes the separators as shown, and the links' own visibility.
    TdxBarItemLinks* Copy = Manager->Bars()->Add()->ItemLinks();
    Copy->Assign(Links);
    EXPECT_EQ(Names(Copy), Names(Links));
    EXPECT_FALSE(Copy->Assigning());
    for (int I = 0; I < Copy->Count(); ++I)
        EXPECT_EQ(Copy->Items(I)->BeginGroup(), Links->Items(I)->GetBeginGroup()) << "copy " << I;
}

TEST_F(LinksTest, VisibilityListsFollowItemsLinksAndDesignMode) {
    const TdxBarItemVisible Kinds[] = {ivAlways, ivInCustomizing, ivNever, ivAlways};
    const char* NamesOf[] = {"Always", "Customizing", "Never", "Hidden"};
    for (int I = 0; I < 4; ++I) Links->Add(NewItem(NamesOf[I]))->Item()->SetVisible(Kinds[I]);
    Links->Add();
    Links->Items(3)->SetVisible(false);

    EXPECT_EQ(Names(Links, &TdxBarItemLinks::AvailableItemCount, &TdxBarItemLinks::AvailableItems),
              "Always Hidden");
    EXPECT_EQ(Names(Links, &TdxBarItemLinks::CanVisibleItemCount, &TdxBarItemLinks::CanVisibleItems),
              "Always");
    EXPECT_EQ(Names(Links), "Always");
    EXPECT_EQ(Links->Items(3)->GetVisibleIndex(), -1);
    // The item's own visibility rebuilds the lists of its links.
    Links->Items(2)->Item()->SetVisible(ivAlways);
    EXPECT_EQ(Names(Links), "Always Never");

    // In the designer every linked item and link shows.
    auto* DesignedForm = new TDesignedForm(nullptr);
    auto* Designed = new TdxBarManager(DesignedForm);
    ASSERT_TRUE(Designed->GetIsCustomizing());
    TdxBarItemLinks* DesignLinks = Designed->Bars()->Add()->ItemLinks();
    auto* Item = new TdxBarButton(DesignedForm);
    Item->SetName("InCustomizing");
    Item->SetVisible(ivInCustomizing);
    DesignLinks->Add(Item)->SetVisible(false);
    DesignLinks->SetRecentLimit(0);
    EXPECT_EQ(Names(DesignLinks), "InCustomizing");
    delete DesignedForm;
}

TEST_F(LinksTest, RecentlyUsedOrderDecidesWhatShowsFirst) {
    TdxBarPopupMenu Menu(Form);
    TdxBarItemLinks* L = Menu.ItemLinks();
    L->SetUseRecentItems(true);
    for (const char* Name : {"A", "B", "C", "D"}) L->Add(NewItem(Name));
    // New links start at the recent-use step (20), at the head of the list.
    EXPECT_EQ(L->Items(0)->UseCount(), 20);
    EXPECT_EQ(Recent(L), "D C B A");

    L->Items(0)->ApplyRecentUse(true);
    L->Items(2)->ApplyRecentUse(true);
    EXPECT_EQ(Recent(L), "C A D B");
    EXPECT_EQ(L->Items(2)->UseCount(), 21);

    L->SetRecentLimit(2);
    EXPECT_EQ(Names(L), "A C");
    L->SetRecentLimit(0);
    EXPECT_EQ(Names(L), "");
    L->RestoreRecentLimit();
    EXPECT_EQ(Names(L), "A C");
    L->SetRecentLimit(-1);
    EXPECT_EQ(Names(L), "A B C D");

    // Counts 21, 20, 21, 20 and 95 percent: threshold 20, everything is recent.
    EXPECT_EQ(L->GetRecentCount(), -1);
    Manager->SetMostRecentItemsPercents(50);
    EXPECT_EQ(L->GetRecentCount(), 2);
    // A link no longer most recently used drops to the end with no uses.
    L->Items(1)->SetMostRecentlyUsed(false);
    EXPECT_EQ(L->Items(1)->UseCount(), 0);
    EXPECT_EQ(Recent(L).back(), 'B');

    // Off: nothing moves and no limit applies.
    L->SetUseRecentItems(false);
    L->Items(3)->ApplyRecentUse(true);
    EXPECT_EQ(Recent(L), "C A D B");
    EXPECT_EQ(L->GetRecentCount(), -1);
    L->SetRecentLimit(1);
    EXPECT_EQ(L->RecentLimit(), -1);
    // And so in the standard style, whatever the links say.
    L->SetUseRecentItems(true);
    Manager->SetStyle(bmsStandard);
    EXPECT_FALSE(L->UsesRecentItems());

    TdxBarPopupMenu Empty(Form);
    Empty.ItemLinks()->SetUseRecentItems(true);
    Manager->SetStyle(bmsFlat);
    EXPECT_EQ(Empty.ItemLinks()->GetRecentCount(), -1);
}

TEST_F(LinksTest, LoadedStateBringsUseCountsPositionsAndVisibility) {
    for (const char* Name : {"A", "B", "C"}) Links->Add(NewItem(Name));
    // Use counts 10, 10 and 1 as a stored layout brings them, A most recent.
    const int Counts[] = {10, 10, 1};
    for (int I = 0; I < 3; ++I) {
        Links->Items(I)->SetLoadedUseCount(Counts[I]);
        Links->Items(I)->SetLoadedRecentIndex(I);
    }
    Links->Items(1)->SetLoadedVisible(false);
    Links->ApplyLoadedState(true);
    EXPECT_EQ(Recent(Links), "A B C");
    EXPECT_EQ(Links->Items(2)->UseCount(), 1);
    EXPECT_FALSE(Links->Items(1)->Visible());
    // Threshold 1 + MulDiv(9, 5, 100) = 1: all can show.
    EXPECT_EQ(Links->GetRecentCount(), -1);
}

TEST_F(LinksTest, AcceleratorsMatchTheCharacterAfterASingleAmpersand) {
    const TShiftState None, Shift{cls::ssShift}, Ctrl{cls::ssCtrl};
    struct Case {
        const char* Caption;
        std::uint16_t Key;
        TShiftState Pressed;
        char32_t Char;
        bool Expected;
    };
    const Case Cases[] = {
        {"&Open", 'O', None, 0, true},           {"&Open", 'O', Shift, 0, true},
        {"&open", 'O', Shift, 0, true},          {"&Open", 'O', Ctrl, 0, false},
        {"Save &As", 'A', None, 0, true},        {"Save &As", 'S', None, 0, false},
        {"Fish && Chips", 'C', None, 0, false},  {"A&&&B", 'B', None, 0, true},
        {"&1 File", '1', None, 0, true},         {"&1 File", '1', Shift, 0, false},
        {"Mark &!", '1', Shift, 0, true},        {"Mark &!", '1', None, 0, false},
        {"&Файл", 'A', None, U'ф', true},        {"&Файл", 'A', Shift, U'Ф', true},
        {"&файл", 'A', None, U'Ф', true},        {"&Файл", 'A', None, U'в', false},
        {"&Файл", 'A', None, 0, false},          {"&Файл", 'A', Ctrl, U'ф', false},
        {"No accelerator", 'N', None, 0, false}, {"Trailing&", 'T', None, 0, false},
    };
    TdxBarPopupMenu Menu(Form);
    TdxBarItemLink* Link = Menu.ItemLinks()->Add(NewItem("Item"));
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Caption);
        Link->Item()->SetCaption(C.Caption);
        EXPECT_EQ(Link->IsAccel(C.Key, C.Pressed, C.Char), C.Expected);
    }
}

TEST_F(LinksTest, FindAccelLinkWrapsOnceAndSkipsDisabledItems) {
    TdxBarPopupMenu Menu(Form);
    TdxBarItemLinks* L = Menu.ItemLinks();
    TdxBarItemLink* First = L->Add(NewItem("First", "&Copy"));
    TdxBarItemLink* Off = L->Add(NewItem("Off", "&Cut"));
    TdxBarItemLink* Second = L->Add(NewItem("Second", "&Close"));
    L->Add(NewItem("Other", "&Paste"));
    Off->Item()->SetEnabled(false);
    const TShiftState Alt{cls::ssAlt};

    EXPECT_EQ(L->FindAccelLink('C', Alt, nullptr), First);
    EXPECT_EQ(L->FindAccelLink('C', Alt, First), Second);
    EXPECT_EQ(L->FindAccelLink('C', Alt, Second), First);
    // A single match finds itself again: the accelerator is unique.
    EXPECT_EQ(L->FindAccelLink('P', {}, L->Items(3)), L->Items(3));
    EXPECT_EQ(L->FindAccelLink('X', {}, nullptr), nullptr);
    // A toolbar without a window shows nothing to search.
    Links->Add(NewItem("Bar", "&Bar"));
    EXPECT_EQ(Links->FindAccelLink('B', {}, nullptr), nullptr);
}

TEST_F(LinksTest, ShortcutsRunTheFirstEnabledItemThroughSubItemsAndDropDowns) {
    const cls::TShortCut CtrlS = cls::ShortCut('S', {cls::ssCtrl});
    const cls::TShortCut CtrlQ = cls::ShortCut('Q', {cls::ssCtrl});
    const cls::TShortCut CtrlD = cls::ShortCut('D', {cls::ssCtrl});

    TdxBarButton* Save = NewItem("Save");
    Save->SetShortCut(CtrlS);
    Links->Add(Save);
    Links->Add(Save);
    EXPECT_TRUE(Links->IsShortCut(CtrlS));
    EXPECT_EQ(Rec.Log, std::vector<std::string>{"click Save"});
    Save->SetEnabled(false);
    EXPECT_FALSE(Links->IsShortCut(CtrlS));
    EXPECT_FALSE(Links->IsShortCut(0));

    auto* File = NewItem<TdxBarSubItem>("File");
    TdxBarButton* Quit = NewItem("Quit");
    Quit->SetShortCut(CtrlQ);
    File->ItemLinks()->Add(Quit);
    Links->Add(File);

    // A popup menu with a drop-down button whose menu is that same menu.
    TdxBarPopupMenu Menu(Form);
    TdxBarButton* Drop = NewItem("Drop");
    Drop->SetButtonStyle(bsDropDown);
    Drop->SetDropDownMenu(&Menu);
    Menu.ItemLinks()->Add(Drop);
    TdxBarButton* Deep = NewItem("Deep");
    Deep->SetShortCut(CtrlD);
    Menu.ItemLinks()->Add(Deep);
    Links->Add(Drop);

    Rec.Log.clear();
    EXPECT_TRUE(Links->IsShortCut(CtrlQ));
    EXPECT_TRUE(Links->IsShortCut(CtrlD));
    EXPECT_EQ(Rec.Log, (std::vector<std::string>{"click Quit", "click Deep"}));
    EXPECT_FALSE(Menu.ItemLinks()->IsShortCut(cls::ShortCut('Z', {cls::ssCtrl})));
}

TEST_F(LinksTest, ManagerHearsOfEveryLinkAddedChangedAndDeleted) {
    Manager->SetOnItemLinkAdd(TdxBarItemLinkEvent(&Rec, &TRecorder::Added));
    Manager->SetOnItemLinkChange(TdxBarItemLinkEvent(&Rec, &TRecorder::Changed));
    Manager->SetOnItemLinkDelete(TdxBarItemLinkEvent(&Rec, &TRecorder::Deleted));
    TdxBarButton* A = NewItem("A");
    TdxBarButton* B = NewItem("B");
    Links->Add(A);
    Links->Add(B)->SetBeginGroup(true);
    Links->Items(0)->SetVisible(false);
    EXPECT_EQ(Rec.Log,
              (std::vector<std::string>{"add -", "change A", "add -", "change B", "change B", "change A"}));

    // Last first; the handler reads the lists meanwhile.
    Rec.Log.clear();
    Links->Clear();
    EXPECT_EQ(Rec.Log, (std::vector<std::string>{"delete B", "delete A"}));
    EXPECT_EQ(B->LinkCount(), 0);

    // Links of a manager on its way out leave silently.
    Links->Add(B);
    Rec.Log.clear();
    delete Manager;
    EXPECT_TRUE(Rec.Log.empty());
}

TEST_F(LinksTest, ASubItemCannotContainItself) {
    auto* Outer = NewItem<TdxBarSubItem>("Outer");
    auto* Inner = NewItem<TdxBarSubItem>("Inner");
    Outer->ItemLinks()->Add(Inner);
    TdxBarItemLink* Link = Inner->ItemLinks()->Add();
    testdrv::ExpectError<cls::Exception>([&] { Link->SetItem(Outer); },
                                         lf::cxGetResourceString(dxSBAR_RECURSIVESUBITEMS));
    EXPECT_EQ(Link->Item(), nullptr);
    EXPECT_EQ(Outer->LinkCount(), 0);
    EXPECT_TRUE(Outer->ItemLinks()->ContainsItem(Inner));
    EXPECT_FALSE(Inner->ItemLinks()->ContainsItem(Outer));
    // Setting no item frees the link.
    Outer->ItemLinks()->Items(0)->SetItem(nullptr);
    EXPECT_EQ(Outer->ItemLinks()->Count(), 0);
}

TEST_F(LinksTest, MenuLinksGetAMenuWindowAndABarsLinksAToolbarWindow) {
    TCustomdxBarControl* Toolbar = Links->CreateBarControl();
    ASSERT_NE(dynamic_cast<TdxBarControl*>(Toolbar), nullptr);
    EXPECT_EQ(static_cast<TdxBarControl*>(Toolbar)->Bar(), Bar);
    EXPECT_EQ(Toolbar->Owner(), Manager);
    EXPECT_EQ(Links->CreateBarControl(), Toolbar);
    auto* Menu = new TdxBarPopupMenu(Form);
    TCustomdxBarControl* Window = Menu->ItemLinks()->CreateBarControl();
    ASSERT_NE(dynamic_cast<TdxBarSubMenuControl*>(Window), nullptr);
    EXPECT_EQ(Window->Owner(), Manager);
    EXPECT_EQ(Window->ItemLinks(), Menu->ItemLinks());
    EXPECT_EQ(Menu->ItemLinks()->BarControl(), Window);
    EXPECT_EQ(Menu->ItemLinks()->CreateBarControl(), Window);
    // The collection frees its window with itself.
    EXPECT_TRUE(IsBarControlAlive(Window));
    delete Menu;
    EXPECT_FALSE(IsBarControlAlive(Window));
}

} // namespace
