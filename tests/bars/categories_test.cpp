#include "bars/categories.h"

#include "bars/item.h"
#include "classes/exceptions.h"
#include "fixture.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace bars;

class CategoriesTest : public test::ManagerTest {
protected:
    TdxBarItem* NewItem(int ACategory) {
        auto* Item = new TdxBarItem(Form);
        Item->SetCategory(ACategory);
        return Item;
    }
};

TEST_F(CategoriesTest, ThereIsAlwaysADefaultCategory) {
    TdxBarManagerCategories* Categories = Manager->Categories();
    ASSERT_EQ(Categories->Count(), 1);
    EXPECT_EQ(Categories->Strings(0), "Default");

    TdxBarItem* Item = NewItem(0);
    cls::TComponentGuard Guard(Item);
    Manager->SetCategoryItemsVisible(0, ivNever);
    Categories->Delete(0);
    EXPECT_FALSE(Guard.Alive());
    ASSERT_EQ(Categories->Count(), 1);
    EXPECT_EQ(Categories->Strings(0), "Default");
    // The new category starts without data.
    EXPECT_EQ(Manager->CategoryItemsVisible(0), ivAlways);
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

TEST_F(CategoriesTest, ItemsFollowTheirCategory) {
    TdxBarManagerCategories* Categories = Manager->Categories();
    Categories->Add("One");
    Categories->Add("Two");
    TdxBarItem* A = NewItem(0);
    TdxBarItem* B = NewItem(1);
    TdxBarItem* C = NewItem(2);

    Categories->Move(0, 2);
    EXPECT_EQ(Categories->Strings(2), "Default");
    EXPECT_EQ(A->Category(), 2);
    EXPECT_EQ(B->Category(), 0);
    EXPECT_EQ(C->Category(), 1);

    Categories->Exchange(0, 2);
    EXPECT_EQ(A->Category(), 0);
    EXPECT_EQ(B->Category(), 2);

    Categories->Insert(1, "New");
    EXPECT_EQ(A->Category(), 0);
    EXPECT_EQ(C->Category(), 2);
    EXPECT_EQ(B->Category(), 3);

    Categories->Delete(1);
    EXPECT_EQ(C->Category(), 1);
    EXPECT_EQ(B->Category(), 2);
    EXPECT_EQ(Manager->GetItemsByCategory(2), std::vector<TdxBarItem*>{B});

    // Bad indexes change nothing.
    Categories->Move(0, 7);
    Categories->Exchange(-1, 0);
    Categories->Delete(9);
    EXPECT_EQ(A->Category(), 0);
    EXPECT_EQ(Categories->Count(), 3);
}

TEST_F(CategoriesTest, AssigningCategoriesCopiesTheirData) {
    TdxBarManagerCategories Source(Manager);
    Source.Add("Hidden");
    Source.NeedData(1)->Visible = false;
    Manager->SetCategories(&Source);
    ASSERT_EQ(Manager->Categories()->Count(), 2);
    EXPECT_FALSE(Manager->CategoryVisible(1));
    EXPECT_NE(Manager->Categories()->Data(1), Source.Data(1));
}

TEST_F(CategoriesTest, GroupsRefuseRecursionAndPassTheirStateOn) {
    TdxBarGroup* Outer = Manager->AddGroup();
    TdxBarGroup* Inner = Manager->AddGroup();
    TdxBarItem* Direct = NewItem(0);
    TdxBarItem* Nested = NewItem(0);
    Outer->Add(Direct);
    Outer->Add(Inner);
    Inner->Add(Nested);
    Outer->Add(Direct);
    Outer->Add(nullptr);
    Outer->Add(Form);
    EXPECT_EQ(Outer->Count(), 2);
    EXPECT_TRUE(Outer->Contains(Inner));

    for (TdxBarGroup* Bad : {Outer, Inner})
        testdrv::ExpectError<cls::Exception>([&] { Bad->Add(Outer); }, "You cannot create recursive groups");
    EXPECT_EQ(Inner->Count(), 1);

    Outer->SetEnabled(false);
    EXPECT_FALSE(Direct->Enabled());
    EXPECT_FALSE(Nested->Enabled());
    EXPECT_FALSE(Inner->Enabled());
    Outer->SetVisible(ivNever);
    EXPECT_EQ(Nested->Visible(), ivNever);
    EXPECT_FALSE(Manager->LockUpdate());

    delete Nested;
    EXPECT_EQ(Inner->Count(), 0);
    EXPECT_EQ(Inner->Index(), 1);
    delete Outer;
    EXPECT_EQ(Manager->GroupCount(), 1);
    EXPECT_EQ(Inner->Index(), 0);
    EXPECT_EQ(Inner->GetParentComponent(), Manager);
}

TEST_F(CategoriesTest, BackgroundsCopyTheirBitmaps) {
    cls::TBitmap Picture(4, 3);
    Manager->Backgrounds()->SetBar(&Picture);
    Manager->Backgrounds()->SetSubMenu(&Picture);
    EXPECT_EQ(Manager->Backgrounds()->Bar()->Width(), 4);
    TdxBarBackgrounds Copy(Manager);
    Copy.Assign(Manager->Backgrounds());
    EXPECT_EQ(Copy.SubMenu()->Height(), 3);
    Manager->Backgrounds()->SetBar(nullptr);
    EXPECT_TRUE(Manager->Backgrounds()->Bar()->Empty());
}

} // namespace
