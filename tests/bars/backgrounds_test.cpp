// Background bitmaps: the manager hears of a new bar bitmap (and repaints
// its bars), the submenu bitmap is tiled behind menus by every painter, a
// popup menu's own bitmap comes first, and the bar bitmap stays off menus.
#include "bars/categories.h"

#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/submenu.h"
#include "classes/exceptions.h"
#include "painter_fixture.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

using namespace bars;
using namespace bars::test;

// Counts the style applications that a change of the backgrounds causes.
class TCountingManager : public TdxBarManager {
    TRESTLE_CLASS(TCountingManager, TdxBarManager)
public:
    using TdxBarManager::TdxBarManager;
    TdxBarItemControlPainterClass GetItemControlPainterClass() const override {
        ++StyleApplications;
        return TdxBarManager::GetItemControlPainterClass();
    }
    mutable int StyleApplications = 0;
};

// A 3 x 2 picture of six colours, so a pixel tells where in the tile it lies.
constexpr std::array<cls::TColor, 6> TileColors = {cls::clRed,  cls::clLime,    cls::clBlue,
                                                   cls::clAqua, cls::clFuchsia, cls::clYellow};

void PaintTile(cls::TBitmap& ABitmap, const std::array<cls::TColor, 6>& AColors) {
    ABitmap.SetSize(3, 2);
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 3; ++X)
            ABitmap.Canvas()->SetPixels(X, Y, AColors[static_cast<std::size_t>(Y * 3 + X)]);
}

COLORREF TileAt(const std::array<cls::TColor, 6>& AColors, int X, int Y) {
    return gfx::ColorToRGB(AColors[static_cast<std::size_t>((Y % 2) * 3 + X % 3)]);
}

using BackgroundsManagerTest = ManagerTest;

TEST_F(BackgroundsManagerTest, TheManagerHearsOfTheBarBitmap) {
    auto* OtherForm = new cls::TForm(nullptr);
    auto* Manager = new TCountingManager(OtherForm);
    TdxBarBackgrounds* Backgrounds = Manager->Backgrounds();
    cls::TBitmap Picture;
    PaintTile(Picture, TileColors);
    struct Case {
        const char* Name;
        std::function<void()> Change;
        bool Told;
    };
    const Case Cases[] = {
        {"a picture", [&] { Backgrounds->SetBar(&Picture); }, true},
        {"the picture drawn on", [&] { Backgrounds->Bar()->Canvas()->SetPixels(0, 0, cls::clBlack); }, true},
        {"the picture resized", [&] { Backgrounds->Bar()->SetSize(6, 4); }, true},
        {"nothing in place of a picture", [&] { Backgrounds->SetBar(nullptr); }, true},
        {"nothing in place of nothing", [&] { Backgrounds->SetBar(nullptr); }, false},
        {"a submenu picture", [&] { Backgrounds->SetSubMenu(&Picture); }, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Manager->StyleApplications = 0;
        C.Change();
        EXPECT_EQ(Manager->StyleApplications > 0, C.Told);
    }
    EXPECT_TRUE(Backgrounds->Bar()->Empty());
    EXPECT_EQ(Backgrounds->SubMenu()->Width(), 3);

    TdxBarBackgrounds Copy(Manager);
    Backgrounds->SetBar(&Picture);
    Copy.Assign(Backgrounds);
    EXPECT_EQ(Copy.Bar()->Canvas()->Pixels(2, 1), cls::clYellow);
    EXPECT_EQ(Copy.SubMenu()->Canvas()->Pixels(1, 0), cls::clLime);
    EXPECT_THROW(Copy.Assign(&Picture), cls::EConvertError);
    delete OtherForm;
}

class BackgroundsTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        PaintTile(SubMenuPicture, TileColors);
        AddButton(Popup->ItemLinks(), "One");
        AddButton(Popup->ItemLinks(), "Two");
    }
    // The share of the menu's client pixels outside ASkip that show the tile
    // of AColors, counted from the client's corner.
    static double TiledShare(TdxBarSubMenuControl* AMenu, const std::array<cls::TColor, 6>& AColors,
                             const RECT& ASkip = RECT{}) {
        int Tiled = 0, All = 0;
        for (int Y = 0; Y < AMenu->ClientHeight(); ++Y)
            for (int X = 0; X < AMenu->ClientWidth(); ++X) {
                if (X >= ASkip.left && X < ASkip.right && Y >= ASkip.top && Y < ASkip.bottom) continue;
                ++All;
                Tiled += ClientPixel(AMenu, X, Y) == TileAt(AColors, X, Y);
            }
        return All ? static_cast<double>(Tiled) / All : 0;
    }

    cls::TBitmap SubMenuPicture;
};

// Every painter draws its entries over the menu's background; text and
// separators aside, the picture shows, aligned to the client's corner also
// where one entry is painted again after the mouse leaves it.
TEST_F(BackgroundsTest, TheSubMenuPictureIsTiledBehindMenus) {
    Manager->Backgrounds()->SetSubMenu(&SubMenuPicture);
    const std::pair<const char*, TdxBarItemControlPainterClass> Painters[] = {
        {"base", TdxBarItemControlPainter::Class()},
        {"Standard", Standard()},
        {"Flat", Flat()},
        {"Office11", Office11()}};
    for (const auto& [Name, Painter] : Painters) {
        SCOPED_TRACE(Name);
        Manager->UsePainter(Painter);
        TdxBarSubMenuControl* Menu = ShowMenu(Popup->ItemLinks());
        Hover("One");
        Hover("Two");
        EXPECT_GT(TiledShare(Menu, TileColors, RECT(FindLink("Two")->ItemRect())), 0.9);
        const RECT One = RECT(Popup->ItemLinks()->Items(0)->ItemRect());
        for (const gfx::POINT P : {gfx::POINT{0, 0}, gfx::POINT{1, One.top + 2},
                                   gfx::POINT{One.right - 2, (One.top + One.bottom) / 2},
                                   gfx::POINT{Menu->ClientWidth() - 1, Menu->ClientHeight() - 1}})
            EXPECT_EQ(ClientPixel(Menu, P.x, P.y), TileAt(TileColors, P.x, P.y)) << P.x << "," << P.y;
        Menu->CloseAndFree();
        testdrv::RunUntilIdle();
    }
}

TEST_F(BackgroundsTest, APopupMenusOwnPictureComesFirstAndTheBarPictureStaysOff) {
    constexpr std::array<cls::TColor, 6> OwnColors = {cls::clMaroon, cls::clGreen,  cls::clNavy,
                                                      cls::clOlive,  cls::clPurple, cls::clTeal};
    cls::TBitmap Own;
    PaintTile(Own, OwnColors);
    Manager->UsePainter(Flat());
    // The bar picture is for toolbars only.
    Manager->Backgrounds()->SetBar(&Own);
    TdxBarSubMenuControl* Menu = ShowMenu(Popup->ItemLinks());
    EXPECT_LT(TiledShare(Menu, OwnColors), 0.2);
    Menu->CloseAndFree();

    Manager->Backgrounds()->SetSubMenu(&SubMenuPicture);
    Popup->SetBackgroundBitmap(&Own);
    Menu = ShowMenu(Popup->ItemLinks());
    EXPECT_GT(TiledShare(Menu, OwnColors), 0.9);
    Menu->CloseAndFree();

    Popup->SetBackgroundBitmap(nullptr);
    Menu = ShowMenu(Popup->ItemLinks());
    EXPECT_GT(TiledShare(Menu, TileColors), 0.9);
    Menu->CloseAndFree();
    testdrv::RunUntilIdle();
}

} // namespace
