// The base painter's drawing of bar windows, by pixels: toolbar separators,
// floating captions, marks, the status bar's size grip, dock backgrounds,
// progress bars, menus and drop-down frames; and that drawing into empty or
// huge rectangles leaves the surface and the drawing objects as they were.
#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/manager.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "lookandfeel/drawing.h"
#include "painter_fixture.h"
#include "win/driver.h"
#include "win/user.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

using namespace bars;
using namespace bars::test;

// A menu window whose scrolling, expand button and detach strip the test sets.
class TestMenu : public TdxBarSubMenuControl {
public:
    using TdxBarSubMenuControl::TdxBarSubMenuControl;
    bool DetachBarHot() const override { return Hot; }
    bool HasExpandButton() const override { return Expand; }
    int TopIndex() const override { return Top; }
    bool CanScrollDown() const override { return Down; }

    bool Hot = false;
    bool Expand = false;
    bool Down = false;
    int Top = 0;
};

class PainterBarTest : public test::PainterFixture {
protected:
    void SetUp() override {
        PainterFixture::SetUp();
        FBlue = gfx::CreateSolidBrush(Blue);
    }
    void TearDown() override {
        gfx::DeleteObject(FBlue);
        PainterFixture::TearDown();
    }
    void SetSmallCaptionFont(int AHeight) {
        win::NONCLIENTMETRICS Metrics;
        win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
        Metrics.lfSmCaptionFont.lfHeight = AHeight;
        std::snprintf(Metrics.lfSmCaptionFont.lfFaceName, sizeof Metrics.lfSmCaptionFont.lfFaceName, "%s",
                      "DejaVu Sans");
        win::SetNonClientMetrics(Metrics);
    }

    // A shown menu of four entries of a sub item, its window made.
    TestMenu* MakeMenu(int ATop, bool ACanScrollDown, bool AExpand, bool ADetachable = false) {
        FSubItem = new TdxBarSubItem(Form);
        FSubItem->SetDetachable(ADetachable);
        for (const char* Caption : {"One", "Two", "Three", "Four"}) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption(Caption);
            FSubItem->ItemLinks()->Add(Button);
        }
        auto* Menu = new TestMenu(Manager);
        Menu->Top = ATop;
        Menu->Down = ACanScrollDown;
        Menu->Expand = AExpand;
        Menu->SetItemLinks(FSubItem->ItemLinks());
        Menu->SetParentWindow(Form->Handle());
        Menu->HandleNeeded();
        return Menu;
    }

    gfx::HBRUSH FBlue = nullptr;
    TdxBarSubItem* FSubItem = nullptr;
};

TEST_F(PainterBarTest, ToolbarSeparatorIsAnEtchedLineAtItsOffset) {
    const std::vector<std::pair<COLORREF, char>> Legend{{SysRGB(gfx::COLOR_BTNFACE), '.'},
                                                        {SysRGB(gfx::COLOR_BTNSHADOW), 's'},
                                                        {SysRGB(gfx::COLOR_BTNHIGHLIGHT), 'h'}};
    DibDC Across(6, 3, Green), Down(3, 6, Green);
    Painter()->DrawToolbarSeparator(Window, Across.dc(), RECT{0, 0, 6, 3}, true);
    Painter()->DrawToolbarSeparator(Window, Down.dc(), RECT{0, 0, 3, 6}, false);
    EXPECT_EQ(Picture(Across, RECT{0, 0, 6, 3}, Legend), Rows({"..sh..", "..sh..", "..sh.."}));
    EXPECT_EQ(Picture(Down, RECT{0, 0, 3, 6}, Legend), Rows({"...", "...", "sss", "hhh", "...", "..."}));
}

TEST_F(PainterBarTest, FloatingCaptionPlacesItsPieces) {
    SetSmallCaptionFont(-11);
    Window->SetCaption("Tools");
    const COLORREF Caption = SysRGB(gfx::COLOR_ACTIVECAPTION), Text = SysRGB(gfx::COLOR_CAPTIONTEXT);
    const RECT R{0, 0, 90, 16};
    {
        DibDC S(90, 18, Green);
        Painter()->DrawFloatingCaption(Window, S.dc(), FBlue, R);
        // The band is filled one pixel taller than the caption; the text sits
        // on the caption colour from two pixels in.
        EXPECT_EQ(S.At(0, 16), Blue);
        EXPECT_EQ(S.At(0, 17), Green);
        EXPECT_EQ(S.At(1, 8), Blue);
        EXPECT_EQ(S.At(2, 0), Caption);
        EXPECT_EQ(S.At(89, 8), Caption);
        EXPECT_GE(ColorBounds(S, Text).left, 2);
        EXPECT_TRUE(Window->CloseButtons.empty());
        EXPECT_EQ(Window->MarksDrawn, 0);
    }
    Window->CloseButton = true;
    Window->CaptionMark = true;
    Window->MarkRect = RECT{0, 0, 12, 16};
    {
        DibDC S(90, 18, Green);
        Painter()->DrawFloatingCaption(Window, S.dc(), FBlue, R);
        const int Size = Painter()->GetSmallCaptionHeight();
        ASSERT_EQ(Window->CloseButtons.size(), 1u);
        EXPECT_EQ(Window->CloseButtons[0], (RECT{90 - Size, 0, 90, 16}));
        EXPECT_EQ(Window->MarksDrawn, 1);
        // The text begins three pixels after the mark and ends before the button.
        EXPECT_EQ(S.At(14, 8), Blue);
        EXPECT_EQ(S.At(15, 8), Caption);
        EXPECT_EQ(S.At(90 - Size - 1, 8), Caption);
        EXPECT_EQ(S.At(90 - Size, 8), Blue);
        EXPECT_GE(ColorBounds(S, Text).left, 15);
    }
}

TEST_F(PainterBarTest, FloatingCaptionFontIsAtLeastElevenPixelsWithoutTheSystemFont) {
    Window->SetCaption("Tools");
    Window->Font()->SetName("DejaVu Sans");
    const RECT R{0, 0, 90, 20};
    auto Draw = [&](int AHeight, bool AUseSystemFont) {
        SetSmallCaptionFont(AHeight);
        Manager->SetUseSystemFont(AUseSystemFont);
        auto S = std::make_unique<DibDC>(90, 20, Green);
        Painter()->DrawFloatingCaption(Window, S->dc(), FBlue, R);
        return S;
    };
    const auto Small = Draw(-8, true);
    const auto Raised = Draw(-8, false);
    const auto Eleven = Draw(-11, true);
    const COLORREF Text = SysRGB(gfx::COLOR_CAPTIONTEXT);
    const RECT SmallInk = ColorBounds(*Small, Text), RaisedInk = ColorBounds(*Raised, Text);
    EXPECT_LT(SmallInk.bottom - SmallInk.top, RaisedInk.bottom - RaisedInk.top);
    EXPECT_EQ(Picture(*Raised, R, {{Text, '#'}, {Blue, '.'}}),
              Picture(*Eleven, R, {{Text, '#'}, {Blue, '.'}}));
}

TEST_F(PainterBarTest, StatusBarSizeGripTakesTheBottomRightSquare) {
    win::SetSystemMetric(win::SM_CXHSCROLL, 12);
    win::SetSystemMetric(win::SM_CYHSCROLL, 12);
    DibDC S(40, 30, Green);
    Painter()->DrawStatusBarSizeGrip(Window, S.dc(), RECT{0, 0, 40, 30});
    const COLORREF Face = SysRGB(gfx::COLOR_BTNFACE);
    const RECT Grip{28, 18, 40, 30};
    int GripLines = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) {
            const bool InGrip = X >= Grip.left && Y >= Grip.top;
            if (!InGrip)
                EXPECT_EQ(S.At(X, Y), Face) << X << "," << Y;
            else
                GripLines += S.At(X, Y) != Face;
        }
    EXPECT_GT(GripLines, 0);
    EXPECT_EQ(S.CountNot(Face), GripLines);
}

TEST_F(PainterBarTest, MarkChevronsOnlyWhenLinksAreHidden) {
    struct ChevronRecorder : TdxBarItemControlPainter {
        void DrawMarkChevron(TCustomdxBarControl*, gfx::HDC, gfx::POINT APos, const RECT&) const override {
            Chevrons.push_back(APos);
        }
        mutable std::vector<gfx::POINT> Chevrons;
    };
    static const ChevronRecorder Recorder;
    DibDC S(20, 40, Green);
    const RECT R{4, 5, 15, 35};
    Window->SetDockingStyle(dsTop);
    Recorder.DrawMarkContent(Window, S.dc(), FBlue, R, 0);
    EXPECT_TRUE(Recorder.Chevrons.empty());
    Window->HiddenLinks = true;
    Recorder.DrawMarkChevrons(Window, S.dc(), R);
    EXPECT_EQ(Recorder.Chevrons, (std::vector<gfx::POINT>{{6, 5}, {10, 5}}));
    Recorder.Chevrons.clear();
    Window->SetDockingStyle(dsLeft);
    Recorder.DrawMarkChevrons(Window, S.dc(), R);
    EXPECT_EQ(Recorder.Chevrons, (std::vector<gfx::POINT>{{4, 26}, {4, 30}}));
}

TEST_F(PainterBarTest, CaptionButtonFillsByState) {
    const COLORREF Highlight = SysRGB(gfx::COLOR_HIGHLIGHT), Face = SysRGB(gfx::COLOR_BTNFACE);
    struct Case {
        int State;
        COLORREF Ring, Inside;
    };
    for (const Case& C : {Case{0, SysRGB(gfx::COLOR_ACTIVECAPTION), SysRGB(gfx::COLOR_ACTIVECAPTION)},
                          Case{1, Highlight, Highlight}, Case{2, Highlight, Face}}) {
        DibDC S(10, 10, Green);
        Painter()->FillCaptionButton(Window, S.dc(), C.State, RECT{1, 1, 9, 9});
        EXPECT_EQ(S.At(1, 1), C.Ring) << C.State;
        EXPECT_EQ(S.At(4, 4), C.Inside) << C.State;
        EXPECT_EQ(S.At(0, 0), Green) << C.State;
    }
}

TEST_F(PainterBarTest, DockedBarFillsFromItsDockSite) {
    auto* Dock = new TdxDockControl(Form, dsTop, Manager);
    Dock->SetColor(cls::clRed);
    Dock->SetBounds(0, 0, 100, 10);
    Window->SetDockControl(Dock);
    Window->SetBounds(3, 0, 20, 10);
    {
        DibDC S(6, 4, Green);
        Window->FillBackground(S.dc(), RECT{0, 0, 6, 4}, nullptr, cls::clNone);
        EXPECT_EQ(S.CountNot(Red), 0);
    }
    // A bar background bitmap is tiled in the dock's coordinates: the bar at
    // x = 3 starts on the pattern's odd column.
    cls::TBitmap Pattern(2, 1);
    Pattern.Canvas()->SetPixels(0, 0, cls::clBlue);
    Pattern.Canvas()->SetPixels(1, 0, cls::clLime);
    Manager->Backgrounds()->SetBar(&Pattern);
    {
        DibDC S(4, 1, Green);
        Window->FillBackground(S.dc(), RECT{0, 0, 4, 1}, nullptr, cls::clNone);
        EXPECT_EQ(S.At(0, 0), RGB(0, 255, 0));
        EXPECT_EQ(S.At(1, 0), Blue);
    }
    Window->SetDockControl(nullptr);
    delete Dock;
}

TEST_F(PainterBarTest, ProgressBarFillsBlocksAndNeverDividesByAnEmptyRange) {
    const COLORREF Face = SysRGB(gfx::COLOR_BTNFACE);
    const std::vector<std::pair<COLORREF, char>> Legend{{Face, '.'}, {Red, '#'}};
    struct Case {
        int Max, Min, Position;
        bool Solid;
        const char* Row;
    };
    for (const Case& C : {
             Case{100, 0, 50, false, "######..######..######..######.............................."},
             Case{100, 0, 50, true, "##############################.............................."},
             Case{5, 5, 5, false, "............................................................"},
             Case{5, 5, 9, true, "............................................................"},
             Case{10, 0, 20, true, "############################################################"},
             Case{10, 0, -3, false, "............................................................"},
         }) {
        DibDC S(60, 9, Green);
        Painter()->DrawProgressBar(nullptr, S.dc(), C.Max, C.Min, C.Position, C.Solid, 0, gfx::clRed,
                                   RECT{0, 0, 60, 9});
        EXPECT_EQ(Picture(S, RECT{0, 4, 60, 5}, Legend), std::string(C.Row) + "\n")
            << C.Max << " " << C.Min << " " << C.Position;
    }
    // Vertical bars grow from the bottom.
    DibDC S(9, 10, Green);
    Painter()->DrawProgressBar(nullptr, S.dc(), 10, 0, 3, true, 2, gfx::clRed, RECT{0, 0, 9, 10});
    EXPECT_EQ(S.InkBounds(Face), (RECT{0, 7, 9, 10}));
}

TEST_F(PainterBarTest, MenuMetricsOfTheBasePainter) {
    auto* Menu = new TdxBarSubMenuControl(Manager);
    Menu->SetBounds(0, 0, 80, 60);
    gfx::SIZE Content{0, 0}, Size{0, 0};
    Painter()->AdjustMenuSize(Menu, Content, Size);
    EXPECT_EQ(Size.cx, 100);
    EXPECT_EQ(Content.cy, Menu->TextHeight());
    EXPECT_EQ(Size.cy, Menu->TextHeight() + 4);
    Content = {50, 40};
    Size = {50, 0};
    Painter()->AdjustMenuSize(Menu, Content, Size);
    EXPECT_EQ(Size, (gfx::SIZE{56, 44}));

    int Bottom = 0, Counter = 5;
    RECT Links{};
    Painter()->GetMenuLinksRect(Menu, Bottom, Links, nullptr);
    EXPECT_EQ(Links, (RECT{2, 2, Menu->ClientWidth() - 2, 2}));
    EXPECT_EQ(Bottom, Menu->ClientHeight() - 2);
    Painter()->GetMenuLinksRect(Menu, Bottom, Links, &Counter);
    EXPECT_EQ(Counter, 0);
    EXPECT_EQ(Bottom, 0x7FFFFFFF);
    EXPECT_EQ(Painter()->GetDetachBarHeight(Menu), Menu->GetDetachBarBaseSize() + 3);

    int ItemHeight = 20, M1 = 0, Expand = 0, M2 = 0;
    Painter()->GetMenuMetrics(Menu, ItemHeight, M1, Expand, M2);
    EXPECT_EQ(ItemHeight, 20);
    EXPECT_EQ(M1, 16);
    EXPECT_EQ(M2, 19);
    // The expand button's height makes an even scroll-arrow size.
    EXPECT_EQ(Painter()->GetScrollArrowSize(Menu, Expand) % 2, 0);
    delete Menu;
}

TEST_F(PainterBarTest, MenuFrameSeparatorAndBackground) {
    // The separator's inset is the one the manager caches from its painter.
    Manager->UsePainter(Painter());
    auto* Menu = new TdxBarSubMenuControl(Manager);
    const COLORREF Face = SysRGB(gfx::COLOR_BTNFACE), Shadow = SysRGB(gfx::COLOR_BTNSHADOW),
                   Light = SysRGB(gfx::COLOR_BTNHIGHLIGHT), Dark = SysRGB(gfx::COLOR_3DDKSHADOW);
    {
        DibDC S(8, 6, Green);
        Painter()->DrawMenuFrame(Menu, S.dc(), RECT{0, 0, 8, 6});
        EXPECT_EQ(Picture(S, RECT{0, 0, 8, 6}, {{Green, '.'}, {Face, 'f'}, {Dark, 'd'}}),
                  Rows({"fffffffd", "f......d", "f......d", "f......d", "f......d", "dddddddd"}));
    }
    {
        // The separator row ends at the link's top; an etched line runs across its middle.
        DibDC S(12, 24, Green);
        TdxBarLinkState State;
        State.BeginGroup = true;
        Painter()->DrawMenuSeparator(Menu, nullptr, State, S.dc(), RECT{1, 12, 11, 20});
        EXPECT_EQ(State.SeparatorRect, (RECT{1, 2, 11, 12}));
        EXPECT_EQ(Picture(S, RECT{0, 1, 12, 13}, {{Green, '.'}, {Face, 'f'}, {Shadow, 's'}, {Light, 'h'}}),
                  Rows({"............", ".ffffffffff.", ".ffffffffff.", ".ffffffffff.", ".ffffffffff.",
                        ".ssssssssss.", ".hhhhhhhhhh.", ".ffffffffff.", ".ffffffffff.", ".ffffffffff.",
                        ".ffffffffff.", "............"}));
        State.BeginGroup = false;
        Painter()->DrawMenuSeparator(Menu, nullptr, State, S.dc(), RECT{1, 12, 11, 20});
        EXPECT_EQ(State.SeparatorRect, RECT{});
        // A rarely used link's row ends one pixel higher.
        State.BeginGroup = true;
        State.RarelyUsed = true;
        Painter()->DrawMenuSeparator(Menu, nullptr, State, S.dc(), RECT{1, 12, 11, 20});
        EXPECT_EQ(State.SeparatorRect, (RECT{1, 1, 11, 11}));
    }
    {
        // Without links the area below the top of the links down to the bottom
        // indent is the menu's background.
        const int W = Menu->ClientWidth(), H = Menu->ClientHeight();
        DibDC S(W, H, Green);
        Painter()->DrawMenuBackground(Menu, S.dc(), 1);
        EXPECT_EQ(ColorBounds(S, Face), (RECT{2, 2, W - 2, H - 2}));
        EXPECT_EQ(S.CountNot(Green), (W - 4) * (H - 4));
    }
    delete Menu;
}

TEST_F(PainterBarTest, MenuScrollButtonsKeepTheirArrows) {
    TestMenu* Menu = MakeMenu(1, true, false);
    const int ItemHeight = Menu->TextHeight(), S = ItemHeight / 3 - 1;
    const int W = Menu->ClientWidth(), H = Menu->ClientHeight(), CX = W / 2;
    ASSERT_GE(S, 2);
    DibDC Surface(W, H, Green);
    Painter()->DrawMenuBackground(Menu, Surface.dc(), Menu->GetShownLinkCount());

    // The arrows stay although the buttons were filled after them.
    const COLORREF Text = SysRGB(gfx::COLOR_BTNTEXT), Face = SysRGB(gfx::COLOR_BTNFACE);
    const RECT Down = FSubItem->ItemLinks()->VisibleItems(Menu->GetShownLinkCount())->ItemRect();
    const int UpBase = (ItemHeight - S) / 2 + S - 1, DownBase = Down.bottom - (ItemHeight - S) / 2 - S;
    EXPECT_EQ(ColorBounds(Surface, Text, RECT{0, 0, W, H / 2}),
              (RECT{CX - S + 1, UpBase - S + 1, CX + S, UpBase + 1}));
    EXPECT_EQ(ColorBounds(Surface, Text, RECT{0, H / 2, W, H}),
              (RECT{CX - S + 1, DownBase, CX + S, DownBase + S}));
    const RECT Up = FSubItem->ItemLinks()->VisibleItems(1)->ItemRect();
    EXPECT_EQ(Surface.At(Up.left, Up.top), Face);
    // The clip region is the caller's again.
    const gfx::HRGN Clip = gfx::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(gfx::GetClipRgn(Surface.dc(), Clip), 0);
    gfx::DeleteObject(Clip);
    delete Menu;
}

TEST_F(PainterBarTest, MenuExpandButtonShowsTwoChevrons) {
    TestMenu* Menu = MakeMenu(0, false, true);
    // A large font gives the expand button room for its chevrons.
    Menu->Font()->SetHeight(-40);
    Menu->CalcMetrics();
    const int ItemHeight = Menu->TextHeight(), W = Menu->ClientWidth(), H = Menu->ClientHeight();
    const int ButtonHeight = Menu->ScrollButtonHeight();
    const int S = Painter()->GetScrollArrowSize(Menu, ButtonHeight), Half = S / 2;
    ASSERT_GE(S, 4);
    const COLORREF Text = SysRGB(gfx::COLOR_BTNTEXT), Face = SysRGB(gfx::COLOR_BTNFACE);
    const RECT Button{2, H - 2 - ButtonHeight, W - 2, H - 2};
    const int X0 = Button.left + (W - 4 - (2 * Half + 1)) / 2, Y0 = Button.top + (ButtonHeight - 2 * S) / 2;
    const RECT Chevrons{X0, Y0, X0 + 2 * Half + 1, Y0 + S + 2 * Half};
    for (const int State : {0, 1}) {
        Menu->SetMarkState(State);
        DibDC Surface(W, H, Green);
        Painter()->DrawMenuBackground(Menu, Surface.dc(), Menu->GetShownLinkCount());
        EXPECT_EQ(ColorBounds(Surface, Text, RECT{0, H - 2 - ItemHeight, W, H}), Chevrons) << State;
        // A hot button is raised and filled with the rarely used links' brush.
        EXPECT_EQ(Surface.At(Button.left, Button.top), State ? SysRGB(gfx::COLOR_BTNHIGHLIGHT) : Face);
        EXPECT_EQ(Surface.At(Button.left + 1, Button.top + 1), State ? RGB(232, 228, 220) : Face);
        EXPECT_EQ(Surface.At(Button.left, Button.top - 1), Face);
    }
    delete Menu;
}

TEST_F(PainterBarTest, DetachStripOfAMenuFrameLightsWhenHot) {
    TestMenu* Menu = MakeMenu(0, false, false, true);
    ASSERT_TRUE(Menu->Detachable());
    const int Strip = Painter()->GetDetachBarHeight(Menu);
    for (const bool Hot : {false, true}) {
        Menu->Hot = Hot;
        DibDC Surface(60, 40, Green);
        Painter()->DrawMenuFrame(Menu, Surface.dc(), RECT{0, 0, 60, 40});
        EXPECT_EQ(Surface.At(1, 1), SysRGB(gfx::COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(Surface.At(2, 2), SysRGB(gfx::COLOR_BTNFACE));
        EXPECT_EQ(Surface.At(30, 3), SysRGB(Hot ? gfx::COLOR_ACTIVECAPTION : gfx::COLOR_INACTIVECAPTION));
        EXPECT_EQ(Surface.At(30, Strip - 1),
                  SysRGB(Hot ? gfx::COLOR_ACTIVECAPTION : gfx::COLOR_INACTIVECAPTION));
        EXPECT_EQ(Surface.At(30, Strip), SysRGB(gfx::COLOR_BTNFACE));
        EXPECT_EQ(Surface.At(30, Strip + 1), Green);
    }
    delete Menu;
}

TEST_F(PainterBarTest, DropDownWindowFrameHasAGripAndACloseButton) {
    win::WNDCLASS Class;
    Class.lpfnWndProc = &win::DefWindowProc;
    Class.lpszClassName = "PainterDropDown";
    ASSERT_NE(win::RegisterClass(&Class), 0);
    const win::HWND Wnd = win::CreateWindowEx(0, "PainterDropDown", "",
                                              win::WS_POPUP | win::WS_BORDER | win::WS_VSCROLL |
                                                  win::WS_HSCROLL | win::WS_VISIBLE,
                                              100, 100, 120, 90, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(Wnd, nullptr);
    RECT Grip{}, Button{};
    // Where the scroll bars meet, in window coordinates.
    RECT Client{};
    win::GetClientRect(Wnd, &Client);
    gfx::POINT Corner{Client.right, Client.bottom};
    win::MapWindowPoints(Wnd, nullptr, &Corner, 1);
    Corner = {Corner.x - 100 + 4, Corner.y - 100 + 4};
    const gfx::HDC WindowDC = win::GetWindowDC(Wnd);
    const RECT Whole{0, 0, 120, 90};
    gfx::FillRect(WindowDC, &Whole, FBlue);
    DrawDropDownWindowNC(Wnd, false, 3, false, false, Grip, Button);
    EXPECT_EQ(gfx::GetPixel(WindowDC, Corner.x, Corner.y), Blue);
    DrawDropDownWindowNC(Wnd, true, 0, false, false, Grip, Button);
    EXPECT_EQ(gfx::GetPixel(WindowDC, Corner.x, Corner.y), SysRGB(gfx::COLOR_BTNFACE));
    win::ReleaseDC(Wnd, WindowDC);
    DrawDropDownWindowNC(Wnd, false, 3, false, false, Grip, Button);
    EXPECT_EQ(Grip, RECT{});
    EXPECT_EQ(Button, RECT{});
    for (const int Corner : {0, 1, 2, 3}) {
        DrawDropDownWindowNC(Wnd, true, Corner, true, false, Grip, Button);
        const RECT Window{100, 100, 220, 190};
        const int Band = lf::GetSizeGripAreaHeight();
        RECT Inside{};
        EXPECT_TRUE(gfx::IntersectRect(&Inside, &Grip, &Window) && Inside == Grip) << Corner;
        EXPECT_TRUE(gfx::IntersectRect(&Inside, &Button, &Window) && Inside == Button) << Corner;
        const bool Bottom = Corner >= 2, Right = Corner == 1 || Corner == 3;
        EXPECT_EQ(Bottom ? Grip.bottom : Grip.top, Bottom ? Window.bottom - 1 : Window.top + 1) << Corner;
        EXPECT_LE(Bottom ? Window.bottom - Button.top : Button.bottom - Window.top, Band + 1) << Corner;
        // The grip takes its corner, the button the other end of the band.
        EXPECT_EQ(Right ? Grip.right : Grip.left, Right ? Window.right - 1 : Window.left + 1) << Corner;
        EXPECT_TRUE(Right ? Button.right < Grip.left : Button.left > Grip.right) << Corner;
        const gfx::HDC DC = win::GetWindowDC(Wnd);
        EXPECT_EQ(gfx::GetPixel(DC, 0, 0), SysRGB(gfx::COLOR_BTNSHADOW));
        win::ReleaseDC(Wnd, DC);
    }
    win::DestroyWindow(Wnd);
}

// A resizable drop-down window: a one-pixel frame, and the size-grip band
// with its line on the side of the corner in DropDownCorner.
int DropDownCorner = 3;
win::LRESULT DropDownWindowProc(win::HWND AWnd, win::UINT AMsg, win::WPARAM AWParam, win::LPARAM ALParam) {
    if (AMsg != win::WM_NCCALCSIZE) return win::DefWindowProc(AWnd, AMsg, AWParam, ALParam);
    auto* R = reinterpret_cast<RECT*>(ALParam);
    gfx::InflateRect(R, -1, -1);
    (DropDownCorner >= 2 ? R->bottom : R->top) +=
        (DropDownCorner >= 2 ? -1 : 1) * (lf::GetSizeGripAreaHeight() + 1);
    return 0;
}

TEST_F(PainterBarTest, AFlatDropDownFrameLaysItsWholeBandWithTheLineBetweenItAndTheClient) {
    win::WNDCLASS Class;
    Class.lpfnWndProc = &DropDownWindowProc;
    Class.lpszClassName = "PainterSizedDropDown";
    ASSERT_NE(win::RegisterClass(&Class), 0);
    const win::HWND Wnd = win::CreateWindowEx(0, "PainterSizedDropDown", "", win::WS_POPUP | win::WS_VISIBLE,
                                              100, 100, 120, 90, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(Wnd, nullptr);
    const COLORREF Shadow = SysRGB(gfx::COLOR_BTNSHADOW), Face = SysRGB(gfx::COLOR_BTNFACE);
    for (const int Corner : {0, 1, 2, 3}) {
        DropDownCorner = Corner;
        win::SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_FRAMECHANGED);
        RECT Client{};
        win::GetClientRect(Wnd, &Client);
        gfx::OffsetRect(&Client, 1, Corner >= 2 ? 1 : 1 + lf::GetSizeGripAreaHeight() + 1);
        const gfx::HDC DC = win::GetWindowDC(Wnd);
        const RECT Whole{0, 0, 120, 90};
        gfx::FillRect(DC, &Whole, FBlue);
        RECT Grip{}, Button{};
        DrawDropDownWindowNC(Wnd, true, Corner, false, false, Grip, Button);
        // Nothing of the old picture is left around the client area.
        int Stale = 0;
        for (int Y = 0; Y < 90; ++Y)
            for (int X = 0; X < 120; ++X) {
                const gfx::POINT P{X, Y};
                Stale += !gfx::PtInRect(&Client, P) && gfx::GetPixel(DC, X, Y) == Blue;
            }
        EXPECT_EQ(Stale, 0) << Corner;
        // The line is the row next to the client area; the band begins after it.
        const int Line = Corner >= 2 ? Client.bottom : Client.top - 1;
        const int BandRow = Corner >= 2 ? Line + 1 : Line - 1;
        for (int X = 1; X < 119; ++X) ASSERT_EQ(gfx::GetPixel(DC, X, Line), Shadow) << Corner << " " << X;
        EXPECT_EQ(gfx::GetPixel(DC, 60, BandRow), Face) << Corner;
        win::ReleaseDC(Wnd, DC);
    }
    win::DestroyWindow(Wnd);
}

// Every drawing operation, given a rectangle: drawing into an empty one
// changes nothing; a huge one neither crashes nor leaves drawing objects.
TEST_F(PainterBarTest, EmptyAndHugeRectanglesAreHarmless) {
    TdxBarItemControl* Control = AddButton("&Open");
    auto* Menu = new TdxBarSubMenuControl(Manager);
    Menu->SetBounds(0, 0, 80, 60);
    TdxBarItemControlPainterClass P = Painter();
    TdxBarPaintState Down;
    Down.Down = true;
    Down.Selected = true;
    TdxBarLinkState Group;
    Group.BeginGroup = true;
    const std::vector<std::function<void(gfx::HDC, RECT)>> Operations{
        [&](gfx::HDC DC, RECT R) { P->DrawCheckCell(Control, DC, Down, ptMenu, R, true, FBlue); },
        [&](gfx::HDC DC, RECT R) { P->DrawGlyphBitmap(Control, DC, Down, R, R, true, true, FBlue); },
        [&](gfx::HDC DC, RECT R) { P->DrawDropDownArrow(DC, R, true, false, false); },
        [&](gfx::HDC DC, RECT R) { P->DrawSubMenuArrow(DC, R, 4, true, true, false); },
        [&](gfx::HDC DC, RECT R) { P->DrawSizeGripImage(Window, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawMarkArrow(Window, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawCenteredText(DC, R, true, "Go", 1); },
        [&](gfx::HDC DC, RECT R) { P->FillGlyphCell(Control, DC, R, FBlue, false); },
        [&](gfx::HDC DC, RECT R) { P->FrameGlyphCell(Control, DC, R, FBlue, false); },
        [&](gfx::HDC DC, RECT R) { P->DrawEtchedLine(DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawButton(Control, DC, R, Down, ptHorz, false); },
        [&](gfx::HDC DC, RECT R) {
            P->DrawCaption(Control, DC, "&Open", R, 1, false, false, false, true, false);
        },
        [&](gfx::HDC DC, RECT R) {
            P->DrawCaption(Control, DC, "&Open", R, 2, true, true, true, true, false);
        },
        [&](gfx::HDC DC, RECT R) { P->DrawToolbarSeparator(Window, DC, R, true); },
        [&](gfx::HDC DC, RECT R) { P->FillCaptionButton(Window, DC, 2, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawFloatingCaption(Window, DC, FBlue, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawStatusBarSizeGrip(Window, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->FillStatusBarBand(Window, DC, R); },
        [&](gfx::HDC DC, RECT R) {
            P->FillStatusBarBackground(Window, DC, gfx::clRed, nullptr, R, {1, 1});
        },
        [&](gfx::HDC DC, RECT R) {
            P->FillBarWindowBackground(Window, DC, gfx::clRed, nullptr, R, {1, 1});
        },
        [&](gfx::HDC DC, RECT R) {
            P->DrawDockBackground(nullptr, DC, gfx::clRed, nullptr, R, {2, 2});
        },
        [&](gfx::HDC DC, RECT R) { P->DrawMenuFrame(Menu, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->FillMenuSideStrip(Menu, DC, gfx::clRed, nullptr, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawMenuSeparator(Menu, Control, Group, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawExpandButton(Menu, DC, FBlue, R); },
        [&](gfx::HDC DC, RECT R) { P->FillDetachBar(Menu, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawEditItemText(DC, FBlue, R, "text"); },
        [&](gfx::HDC DC, RECT R) { P->DrawEditFrame(Control, DC, R, ptMenu, true); },
        [&](gfx::HDC DC, RECT R) { P->DrawEditCaption(Control, DC, R, ptMenu, true); },
        [&](gfx::HDC DC, RECT R) { P->DrawEditWindow(Control, DC, R, "text"); },
        [&](gfx::HDC DC, RECT R) { P->DrawEllipsisButton(Control, DC, R, true, true); },
        [&](gfx::HDC DC, RECT R) { P->DrawPushButtonFrame(Control, DC, true, R, "Go"); },
        [&](gfx::HDC DC, RECT R) { P->DrawPushButtonFrame(Control, DC, false, R, "Go"); },
        [&](gfx::HDC DC, RECT R) { P->DrawSpinButton(Control, DC, R, 1, true, true, 5, true); },
        [&](gfx::HDC DC, RECT R) { P->FillSpinGap(Control, DC, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawProgressBar(Control, DC, 100, 0, 40, false, 0, gfx::clRed, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawProgressBar(Control, DC, 100, 0, 40, true, 2, gfx::clRed, R); },
        [&](gfx::HDC DC, RECT R) { P->DrawCaptionBar(Control, DC, R, true, true); },
        [&](gfx::HDC DC, RECT R) { DrawDropDownCloseButton(DC, R, 3, true, true); },
    };
    const RECT Empties[] = {RECT{5, 5, 5, 9}, RECT{5, 5, 9, 5}, RECT{9, 9, 5, 5}};
    const RECT Huge{INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4};
    auto RunAll = [&] {
        for (std::size_t I = 0; I < Operations.size(); ++I) {
            for (const RECT& R : Empties) {
                DibDC S(12, 12, Green);
                Operations[I](S.dc(), R);
                EXPECT_EQ(S.CountNot(Green), 0) << "operation " << I;
            }
            DibDC S(12, 12, Green);
            Operations[I](S.dc(), Huge);
            Operations[I](S.dc(), RECT{1, 1, 11, 11});
        }
    };
    RunAll();
    const gfx::DWORD Before = gfx::GetGdiObjectCount();
    RunAll();
    EXPECT_EQ(gfx::GetGdiObjectCount(), Before);
    delete Menu;
}

} // namespace
