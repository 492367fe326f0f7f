// Item categories: renumbering the items when categories are deleted,
// inserted, exchanged and moved, the default category, the range of an
// item's category, and the visibility data in the form stream.
#include "bars/categories.h"

#include "bars/item.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/streams.h"
#include "fixture.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace bars;

class CategoriesTest : public test::ManagerTest {
protected:
    TdxBarItem* NewItem(int ACategory) {
        auto* Item = new TdxBarItem(Form);
        Item->SetCategory(ACategory);
        return Item;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> Result;
        for (int I = 0; I < Manager->Categories()->Count(); ++I)
            Result.push_back(Manager->Categories()->Strings(I));
        return Result;
    }
};

TEST_F(CategoriesTest, DeletingTheOnlyCategoryFreesItsItemsAndBringsBackDefault) {
    TdxBarManagerCategories* Categories = Manager->Categories();
    ASSERT_EQ(Categories->Count(), 1);
    EXPECT_EQ(Categories->Strings(0), "Default");
    Categories->SetStrings(0, "Commands");

    TdxBarItem* Item = NewItem(0);
    TdxBarItem* Loose = new TdxBarItem(Form);
    cls::TComponentGuard Guard(Item);
    Manager->SetCategoryItemsVisible(0, ivNever);
    Categories->Delete(0);
    EXPECT_FALSE(Guard.Alive());
    EXPECT_EQ(Names(), std::vector<std::string>{"Default"});
    EXPECT_EQ(Loose->Category(), -1);
    // The new category starts without data.
    EXPECT_EQ(Categories->Data(0), nullptr);
    EXPECT_EQ(Manager->CategoryItemsVisible(0), ivAlways);
}

TEST_F(CategoriesTest, AnItemThatFreesAnotherOnItsWayOutIsSafe) {
    Manager->Categories()->Add("Doomed");
    TdxBarItem* First = NewItem(1);
    TdxBarItem* Second = NewItem(1);
    struct TKiller : cls::TObject {
        TdxBarItem* Victim = nullptr;
        void Kill(cls::TObject*) { delete Victim; }
    } Killer;
    Killer.Victim = Second;
    First->SetOnDestroy(cls::TNotifyEvent(&Killer, &TKiller::Kill));
    cls::TComponentGuard G1(First), G2(Second);
    Manager->Categories()->Delete(1);
    EXPECT_FALSE(G1.Alive());
    EXPECT_FALSE(G2.Alive());
    EXPECT_EQ(Names(), std::vector<std::string>{"Default"});
}

TEST_F(CategoriesTest, DefaultNameIsReadWhenTheCategoriesAreMade) {
    cls::TResStringLocalizer Previous =
        cls::SetResStringLocalizer([](const cls::TResStringRec& ARec) -> std::optional<std::string> {
            if (ARec.Identifier == 65241) return "Standard";
            return std::nullopt;
        });
    TdxBarManagerCategories Categories(Manager);
    cls::SetResStringLocalizer(Previous);
    EXPECT_EQ(Categories.Strings(0), "Standard");
}

// Three categories A, B, C, one item in each and one without a category;
// each change renumbers the items and carries the data with its category.
TEST_F(CategoriesTest, ItemsFollowTheirCategory) {
    constexpr int Freed = -2;
    struct Case {
        const char* Name;
        std::function<void(TdxBarManagerCategories*)> Change;
        std::vector<std::string> Names;
        std::vector<int> Categories; // of the items of A, B, C and the loose one
    };
    const Case Cases[] = {
        {"move 0 to 2", [](auto* C) { C->Move(0, 2); }, {"B", "C", "A"}, {2, 0, 1, -1}},
        {"move 2 to 0", [](auto* C) { C->Move(2, 0); }, {"C", "A", "B"}, {1, 2, 0, -1}},
        {"move 1 to 2", [](auto* C) { C->Move(1, 2); }, {"A", "C", "B"}, {0, 2, 1, -1}},
        {"move onto itself", [](auto* C) { C->Move(1, 1); }, {"A", "B", "C"}, {0, 1, 2, -1}},
        {"move out of range", [](auto* C) { C->Move(0, 3); }, {"A", "B", "C"}, {0, 1, 2, -1}},
        {"exchange 0 and 2", [](auto* C) { C->Exchange(0, 2); }, {"C", "B", "A"}, {2, 1, 0, -1}},
        {"exchange out of range", [](auto* C) { C->Exchange(-1, 0); }, {"A", "B", "C"}, {0, 1, 2, -1}},
        {"insert at 1", [](auto* C) { C->Insert(1, "N"); }, {"A", "N", "B", "C"}, {0, 2, 3, -1}},
        {"insert at 0 with data",
         [](auto* C) { C->InsertObject(0, "N", nullptr); },
         {"N", "A", "B", "C"},
         {1, 2, 3, -1}},
        {"add", [](auto* C) { C->Add("N"); }, {"A", "B", "C", "N"}, {0, 1, 2, -1}},
        {"delete 1", [](auto* C) { C->Delete(1); }, {"A", "C"}, {0, Freed, 1, -1}},
        {"delete 0", [](auto* C) { C->Delete(0); }, {"B", "C"}, {Freed, 0, 1, -1}},
        {"delete out of range", [](auto* C) { C->Delete(3); }, {"A", "B", "C"}, {0, 1, 2, -1}},
        {"insert out of range",
         [](auto* C) {
             testdrv::ExpectError<cls::EStringListError>([&] { C->Insert(5, "N"); },
                                                         "List index out of bounds (5)");
         },
         {"A", "B", "C"},
         {0, 1, 2, -1}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TdxBarManagerCategories* Categories = Manager->Categories();
        Categories->Clear();
        for (const char* Name : {"A", "B", "C"}) Categories->Add(Name);
        // Each category's Visible tells it apart: B is hidden.
        Manager->SetCategoryVisible(1, false);
        std::vector<TdxBarItem*> Items = {NewItem(0), NewItem(1), NewItem(2), new TdxBarItem(Form)};
        std::vector<cls::TComponentGuard*> Guards;
        for (TdxBarItem* Item : Items) Guards.push_back(new cls::TComponentGuard(Item));

        C.Change(Categories);
        EXPECT_EQ(Names(), C.Names);
        for (std::size_t I = 0; I < Items.size(); ++I) {
            if (C.Categories[I] == Freed) {
                EXPECT_FALSE(Guards[I]->Alive()) << I;
                continue;
            }
            ASSERT_TRUE(Guards[I]->Alive()) << I;
            EXPECT_EQ(Items[I]->Category(), C.Categories[I]) << I;
        }
        for (int I = 0; I < Categories->Count(); ++I)
            EXPECT_EQ(Manager->CategoryVisible(I), Categories->Strings(I) != "B") << I;
        for (std::size_t I = 0; I < Items.size(); ++I) {
            if (Guards[I]->Alive()) delete Items[I];
            delete Guards[I];
        }
    }
}

TEST_F(CategoriesTest, AnItemTakesOnlyACategoryOfItsManager) {
    Manager->Categories()->Add("Edit");
    TdxBarItem* Item = NewItem(1);
    struct Case {
        int Value, Expected;
    };
    for (const Case& C : {Case{0, 0}, Case{2, 0}, Case{-1, 0}, Case{-1000, 0}, Case{1, 1}}) {
        Item->SetCategory(C.Value);
        EXPECT_EQ(Item->Category(), C.Expected) << C.Value;
    }

    // While it is read from a form any value is kept: the categories may
    // not be there yet.
    cls::TMemoryStream Stream;
    cls::TWriter(&Stream).WriteListEnd();
    Stream.SetPosition(0);
    cls::TReader Reader(&Stream);
    auto* Loading = new TdxBarItem(Form);
    Reader.ReadComponentProperties(Loading);
    Loading->SetCategory(7);
    Reader.EndLoading();
    EXPECT_EQ(Loading->Category(), 7);
    Loading->SetCategory(5);
    EXPECT_EQ(Loading->Category(), 7);
}

TEST_F(CategoriesTest, AssigningCategoriesCopiesTheirData) {
    TdxBarManagerCategories Source(Manager);
    Source.Add("Hidden");
    Source.NeedData(1)->Visible = false;
    Manager->SetCategories(&Source);
    ASSERT_EQ(Manager->Categories()->Count(), 2);
    EXPECT_FALSE(Manager->CategoryVisible(1));
    EXPECT_NE(Manager->Categories()->Data(1), Source.Data(1));
    Manager->Categories()->Assign(Manager->Categories());
    EXPECT_FALSE(Manager->CategoryVisible(1));

    // Plain strings bring their names only; their objects stay theirs.
    cls::TStringList Plain;
    TdxBarCategoryData Foreign;
    Foreign.Visible = false;
    Plain.AddObject("Tools", &Foreign);
    Manager->Categories()->Assign(&Plain);
    EXPECT_EQ(Names(), std::vector<std::string>{"Tools"});
    EXPECT_EQ(Manager->Categories()->Data(0), nullptr);
    Manager->SetCategories(nullptr);
    EXPECT_EQ(Manager->Categories()->Count(), 0);
}

// --- The form stream ---

class CategoryStreamTest : public CategoriesTest {
protected:
    void SetUp() override {
        CategoriesTest::SetUp();
        Manager->Categories()->Add("Edit");
        Manager->Categories()->Add("View");
        Manager->SetCategoryItemsVisible(1, ivNever);
        Manager->SetCategoryItemsVisible(2, ivInCustomizing);
        Manager->SetCategoryVisible(1, false);
        cls::TWriter(&Stream).WriteProperties(Manager->Categories());
        Stream.SetPosition(0);

        OtherForm = new cls::TForm(nullptr);
        Other = new TdxBarManager(OtherForm);
    }
    void TearDown() override {
        delete OtherForm;
        CategoriesTest::TearDown();
    }

    cls::TMemoryStream Stream;
    cls::TForm* OtherForm = nullptr;
    TdxBarManager* Other = nullptr;
};

TEST_F(CategoryStreamTest, VisibilitiesAreWrittenOnePerCategory) {
    std::vector<std::uint8_t> Expected;
    auto Name = [&](std::string_view AName) {
        Expected.push_back(static_cast<std::uint8_t>(AName.size()));
        Expected.insert(Expected.end(), AName.begin(), AName.end());
    };
    auto Values = [&](std::initializer_list<std::uint8_t> AValues) {
        Expected.insert(Expected.end(), AValues);
    };
    using namespace cls;
    Name("Strings");
    Values({vaList});
    for (std::string_view Category : {"Default", "Edit", "View"}) {
        Values({vaString});
        Name(Category);
    }
    Values({vaNull});
    Name("ItemsVisibles");
    Values({vaList, vaInt8, ivAlways, vaInt8, ivNever, vaInt8, ivInCustomizing, vaNull});
    Name("Visibles");
    Values({vaList, vaTrue, vaFalse, vaTrue, vaNull});
    Values({vaNull});
    EXPECT_EQ(std::vector<std::uint8_t>(Stream.Memory(), Stream.Memory() + Stream.Size()), Expected);
}

TEST_F(CategoryStreamTest, ReadingAppliesTheValuesOnceTheManagerIsLoaded) {
    Other->Categories()->Add("Edit");
    Other->Categories()->Add("View");
    auto* Hidden = new TdxBarItem(OtherForm);
    Hidden->SetCategory(1);

    cls::TMemoryStream Empty;
    cls::TWriter(&Empty).WriteListEnd();
    Empty.SetPosition(0);
    cls::TReader ManagerReader(&Empty);
    ManagerReader.ReadComponentProperties(Other);
    cls::TReader(&Stream).ReadProperties(Other->Categories());
    EXPECT_EQ(Stream.Position(), Stream.Size());
    EXPECT_FALSE(Other->CategoryVisible(1));
    // The items change only when the manager is loaded.
    EXPECT_EQ(Hidden->Visible(), ivAlways);
    ManagerReader.EndLoading();
    EXPECT_EQ(Other->CategoryItemsVisible(1), ivNever);
    EXPECT_EQ(Other->CategoryItemsVisible(2), ivInCustomizing);
    EXPECT_EQ(Hidden->Visible(), ivNever);
}

TEST_F(CategoryStreamTest, ValuesBeyondTheCategoriesArePassedOver) {
    // The reading manager has only its default category.
    cls::TMemoryStream Values;
    cls::TWriter VW(&Values);
    VW.WritePropName("ItemsVisibles");
    VW.WriteListBegin();
    for (int Visible : {ivAlways, ivNever, ivInCustomizing}) VW.WriteInteger(Visible);
    VW.WriteListEnd();
    VW.WritePropName("Visibles");
    VW.WriteListBegin();
    for (bool Visible : {true, false, true}) VW.WriteBoolean(Visible);
    VW.WriteListEnd();
    VW.WriteListEnd();
    Values.SetPosition(0);
    cls::TReader(&Values).ReadProperties(Other->Categories());
    EXPECT_EQ(Values.Position(), Values.Size());
    EXPECT_EQ(Other->Categories()->Count(), 1);
    EXPECT_TRUE(Other->CategoryVisible(0));

    // A value that names no visibility is left out.
    cls::TMemoryStream Odd;
    cls::TWriter W(&Odd);
    W.WritePropName("ItemsVisibles");
    W.WriteListBegin();
    W.WriteInteger(7);
    W.WriteListEnd();
    W.WriteListEnd();
    Odd.SetPosition(0);
    Other->SetCategoryItemsVisible(0, ivInCustomizing);
    cls::TReader(&Odd).ReadProperties(Other->Categories());
    EXPECT_EQ(Other->CategoryItemsVisible(0), ivInCustomizing);
}

} // namespace
