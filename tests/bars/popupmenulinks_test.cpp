#include "bars/popupmenulinks.h"

#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace bars;

class PopupMenuLinksTest : public test::ManagerTest {};

TEST_F(PopupMenuLinksTest, KeepToTheManagersForm) {
    auto* Edit = new cls::TCustomControl(Form);
    Edit->SetParent(Form);
    auto* OtherForm = new cls::TForm(nullptr);
    auto* Foreign = new cls::TCustomControl(OtherForm);
    Foreign->SetParent(OtherForm);
    auto* Menu = new cls::TComponent(Form);

    TdxBarPopupMenuLink* Link = Manager->PopupMenuLinks()->Add();
    EXPECT_TRUE(Link->ProcessChildren());
    Link->SetControl(Foreign);
    EXPECT_EQ(Link->Control(), nullptr);
    Link->SetControl(Edit);
    Link->SetPopupMenu(Menu);
    EXPECT_EQ(Link->Control(), Edit);

    delete OtherForm;
    delete Menu;
    EXPECT_EQ(Link->PopupMenu(), nullptr);
    delete Edit;
    EXPECT_EQ(Link->Control(), nullptr);
}

} // namespace
