// The bar window base through a menu window: selection by mouse and
// keyboard, accelerators, the chain of menu mode, hints and focus.
#include "bars/barcontrol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/submenu.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::RunUntilIdle;

class BarControlTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        AddButton(Links, "&Открыть");
        AddButton(Links, "&Закрыть");
        SubItem = AddSubItem(Links, "&Справка");
        AddButton(SubItem->ItemLinks(), "&О программе");
        AddButton(Links, "В&ыход", true);
    }

    TdxBarItemLinks* Links = nullptr;
    TdxBarSubItem* SubItem = nullptr;
};

TEST_F(BarControlTest, RendersAMenu) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Закрыть");
    testdrv::Snapshot(Menu->Handle(), "out/menu.png");
    win::SnapshotRect(win::RECT{90, 90, 210, 200}, "out/screen1.png");
    EXPECT_EQ(Selected(), "&Закрыть");
}

} // namespace
