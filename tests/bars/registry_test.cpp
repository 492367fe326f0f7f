#include "bars/registry.h"

#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/item.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "support/driver.h"

using namespace bars;

namespace {

class TTestItemA : public TdxBarItem {
    TRESTLE_CLASS(TTestItemA, TdxBarItem)
public:
    using TdxBarItem::TdxBarItem;
};

class TTestItemB : public TdxBarItem {
    TRESTLE_CLASS(TTestItemB, TdxBarItem)
public:
    using TdxBarItem::TdxBarItem;
};

class TTestItemC : public TdxBarItem {
    TRESTLE_CLASS(TTestItemC, TdxBarItem)
public:
    using TdxBarItem::TdxBarItem;
};

class RegistryTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        StartLibrary();
    }
    void TearDown() override {
        EndLibrary();
        WinTest::TearDown();
    }
};

TEST_F(RegistryTest, VisibleClassesInRegistrationOrder) {
    const int Before = GetRegItemRecordCount();
    // The library's own kinds come first.
    const int VisibleBefore = GetVisibleItemClassCount();
    RegisterBarItemClass(TTestItemA::ClassInfo(), nullptr, true);
    RegisterBarItemClass(TTestItemB::ClassInfo(), nullptr, false);
    RegisterBarItemClass(TTestItemC::ClassInfo(), nullptr, true);
    EXPECT_EQ(GetRegItemRecordCount(), Before + 3);
    ASSERT_EQ(GetVisibleItemClassCount(), VisibleBefore + 2);
    EXPECT_EQ(GetVisibleItemClass(VisibleBefore), TTestItemA::ClassInfo());
    EXPECT_EQ(GetVisibleItemClass(VisibleBefore + 1), TTestItemC::ClassInfo());
    EXPECT_FALSE(GetVisibleItemClass(VisibleBefore + 2));
    EXPECT_FALSE(GetVisibleItemClass(-1));
    EXPECT_EQ(cls::GetClass("TTestItemB"), TTestItemB::ClassInfo());

    UnregisterBarItemClass(TTestItemA::ClassInfo());
    EXPECT_EQ(GetVisibleItemClass(VisibleBefore), TTestItemC::ClassInfo());
    EXPECT_FALSE(cls::GetClass("TTestItemA"));
    UnregisterBarItemClass(TTestItemB::ClassInfo());
    UnregisterBarItemClass(TTestItemC::ClassInfo());
    EXPECT_EQ(GetRegItemRecordCount(), Before);
}

TEST_F(RegistryTest, UnregisteringAClassWithoutARecordDoesNothing) {
    RegisterBarItemClass(TTestItemA::ClassInfo(), nullptr, true);
    cls::RegisterClass(TTestItemB::ClassInfo());
    const int Count = GetRegItemRecordCount();
    UnregisterBarItemClass(TTestItemB::ClassInfo());
    EXPECT_EQ(GetRegItemRecordCount(), Count);
    EXPECT_EQ(cls::GetClass("TTestItemB"), TTestItemB::ClassInfo());
    EXPECT_EQ(GetVisibleItemClass(GetVisibleItemClassCount() - 1), TTestItemA::ClassInfo());
    cls::UnRegisterClass(TTestItemB::ClassInfo());
    UnregisterBarItemClass(TTestItemA::ClassInfo());
}

TEST_F(RegistryTest, StartAndEndAreCounted) {
    EXPECT_TRUE(IsLibraryStarted());
    EXPECT_NE(dxBarManagerList(), nullptr);
    EXPECT_NE(CheckerBrush(), nullptr);
    EXPECT_EQ(cls::GetClass("TdxBarGroup"), TdxBarGroup::ClassInfo());
    RegisterBarItemClass(TTestItemA::ClassInfo(), nullptr, true);

    StartLibrary();
    EndLibrary();
    EXPECT_TRUE(IsLibraryStarted());
    EXPECT_EQ(GetVisibleItemClass(GetVisibleItemClassCount() - 1), TTestItemA::ClassInfo());

    EndLibrary();
    EXPECT_FALSE(IsLibraryStarted());
    EXPECT_EQ(dxBarManagerList(), nullptr);
    EXPECT_EQ(CheckerBrush(), nullptr);
    EXPECT_EQ(GetRegItemRecordCount(), 0);
    EndLibrary();
    EXPECT_FALSE(IsLibraryStarted());

    StartLibrary();
    EXPECT_TRUE(IsLibraryStarted());
    EXPECT_NE(dxBarManagerList(), nullptr);
}

TEST_F(RegistryTest, LiveBarWindowsAndTheActiveOne) {
    // Only the addresses matter to the list.
    alignas(16) static char Windows[2][16];
    auto* A = reinterpret_cast<TCustomdxBarControl*>(Windows[0]);
    auto* B = reinterpret_cast<TCustomdxBarControl*>(Windows[1]);
    EXPECT_FALSE(IsBarControlAlive(nullptr));
    EXPECT_FALSE(IsBarControlAlive(A));
    AddBarControlToList(A);
    AddBarControlToList(A);
    AddBarControlToList(B);
    EXPECT_TRUE(IsBarControlAlive(A));
    SetActiveBarControl(A);
    EXPECT_EQ(GetActiveBarControl(), A);
    RemoveBarControlFromList(A);
    EXPECT_FALSE(IsBarControlAlive(A));
    EXPECT_TRUE(IsBarControlAlive(B));
    // A destroyed window cannot stay the one in menu mode.
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    RemoveBarControlFromList(B);
}

cls::TCustomForm* RedirectTarget = nullptr;
cls::TCustomForm* RedirectForm(cls::TCustomForm*) {
    return RedirectTarget;
}

TEST_F(RegistryTest, ManagerOfAForm) {
    auto* Form1 = new cls::TForm(nullptr);
    auto* Form2 = new cls::TForm(nullptr);
    auto* Manager = new TdxBarManager(Form1);
    EXPECT_EQ(GetBarManagerByForm(Form1), Manager);
    EXPECT_EQ(GetBarManagerByForm(Form2), nullptr);
    EXPECT_EQ(GetBarManagerByForm(nullptr), nullptr);

    RedirectTarget = Form1;
    EXPECT_EQ(SetBarManagerFormRedirect(&RedirectForm), nullptr);
    EXPECT_EQ(GetBarManagerByForm(Form2), Manager);
    EXPECT_EQ(SetBarManagerFormRedirect(nullptr), &RedirectForm);
    EXPECT_EQ(GetBarManagerByForm(Form2), nullptr);

    delete Form1;
    EXPECT_EQ(dxBarManagerList()->GetCount(), 0);
    delete Form2;
}

TEST_F(RegistryTest, UnusedInternalItemsAreFreed) {
    auto* Form = new cls::TForm(nullptr);
    new TdxBarManager(Form);
    auto* Freed = new TdxBarItem(Form);
    auto* Kept = new TdxBarItem(Form);
    AddInternalItem(Freed);
    AddInternalItem(Kept);
    AddInternalItem(nullptr);
    EXPECT_EQ(InternalItemCount(), 2);
    delete Freed;
    EXPECT_EQ(InternalItemCount(), 1);
    lf::TcxObjectLink* Watch = lf::cxAddObjectLink(Kept);
    FreeUnusedInternalItems();
    EXPECT_EQ(Watch->Ref, nullptr);
    EXPECT_EQ(InternalItemCount(), 0);
    lf::cxRemoveObjectLink(Watch);
    delete Form;
}

} // namespace
