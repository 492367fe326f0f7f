#include "bars/strings.h"
#include "classes/scoped_localizer.h"
#include "classes/sysutils.h"
#include "lookandfeel/text.h"
#include "win/user.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace bars;

namespace {

using trestle_test::ScopedLocalizer;

TEST(BarStrings, EveryTextIsInTheStringTableUnderItsId) {
    const auto All = BarResourceStrings();
    ASSERT_EQ(All.size(), 82u);
    std::set<int> Expected;
    for (int Id = 65168; Id <= 65247; ++Id)
        if (Id != 65183) Expected.insert(Id);
    Expected.insert({65261, 65262, 65263});
    std::set<int> Ids;
    int Previous = 0;
    for (const cls::TResStringRec* Rec : All) {
        EXPECT_GT(Rec->Identifier, Previous);
        Previous = Rec->Identifier;
        Ids.insert(Rec->Identifier);
        EXPECT_EQ(win::LoadString(nullptr, static_cast<win::UINT>(Rec->Identifier)), Rec->Default)
            << Rec->Identifier;
        EXPECT_EQ(lf::cxGetResourceString(*Rec), Rec->Default) << Rec->Identifier;
    }
    EXPECT_EQ(Ids, Expected);

    EXPECT_EQ(lf::cxGetResourceString(dxSBAR_SUBMENUEDITORCAPTION), "Trestle SubMenu Editor");
    EXPECT_EQ(lf::cxGetResourceString(dxSBAR_TOOLBARSPAGE), " Toolbars ");
    EXPECT_EQ(lf::cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME), "Default");
    EXPECT_EQ(dxSBAR_ONEMANAGERPERFORM.Identifier, 65263);
}

TEST(BarStrings, LocalizerReplacesOneText) {
    ScopedLocalizer L([](const cls::TResStringRec& R) -> std::optional<std::string> {
        if (R.Identifier == dxSBAR_DEFAULTCATEGORYNAME.Identifier) return "По умолчанию";
        return std::nullopt;
    });
    EXPECT_EQ(lf::cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME), "По умолчанию");
    EXPECT_EQ(lf::cxGetResourceString(dxSBAR_CLOSE), "Close");
}

TEST(BarStrings, PatternsTakeACaptionAsTheArgument) {
    EXPECT_EQ(cls::Format(lf::cxGetResourceString(dxSBAR_CONFIRMDELETETOOLBAR), {"100% done"}),
              "Are you sure you want to delete the '100% done' toolbar?");
    EXPECT_EQ(cls::Format(lf::cxGetResourceString(dxSBAR_DUPLICATETOOLBARNAME), {"Menu %s"}),
              "A toolbar named 'Menu %s' already exists. Type another name.");
}

} // namespace
