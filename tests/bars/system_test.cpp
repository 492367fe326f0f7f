#include "bars/system.h"

#include "bars/item.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "classes/forms.h"
#include "classes/graphics.h"
#include "gfx/draw.h"
#include "support/driver.h"
#include "win/driver.h"

#include <string>
#include <vector>

using namespace bars;
using win::HWND;

namespace {

class SystemTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        StartLibrary();
        win::WNDCLASS Class;
        Class.lpfnWndProc = &win::DefWindowProc;
        Class.lpszClassName = "BarsSystemTest";
        win::RegisterClass(&Class);
    }
    void TearDown() override {
        EndLibrary();
        WinTest::TearDown();
    }

    // Marks an entry point missing and binds the entry points again, as the
    // library's start would find them.
    static void Missing(const char* AName) {
        win::SetEntryPointMissing(AName, true);
        BindUser32EntryPoints();
    }

    static HWND MakeWindow(RECT R, HWND AParent = nullptr, win::DWORD AStyle = win::WS_VISIBLE) {
        const win::DWORD Kind = AParent ? win::WS_CHILD : win::WS_POPUP;
        return win::CreateWindowEx(0, "BarsSystemTest", "", Kind | AStyle, R.left, R.top, R.right - R.left,
                                   R.bottom - R.top, AParent, nullptr, nullptr, nullptr);
    }
};

TEST(BarTexts, RemoveAccelChars) {
    const std::pair<const char*, const char*> Cases[] = {
        {"&&Word&", "&Word&"}, {"&File", "File"}, {"A&&B", "A&B"}, {"&&&", "&&"},
        {"&&x&&", "&x&"},      {"&", "&"},        {"", ""},        {"Сохранить &как", "Сохранить как"},
    };
    for (const auto& [Text, Expected] : Cases) EXPECT_EQ(RemoveAccelChars(Text), Expected) << Text;
}

TEST_F(SystemTest, UniqueItemNamesIgnoreCase) {
    auto* Form = new cls::TForm(nullptr);
    auto* Manager = new TdxBarManager(Form);
    EXPECT_EQ(GetUniqueItemName(Manager, TdxBarItem::ClassInfo()), "dxBarItem1");
    (new TdxBarItem(Form))->SetName("DXBARITEM1");
    (new TdxBarItem(Form))->SetName("dxbaritem3");
    EXPECT_EQ(GetUniqueItemName(Manager, TdxBarItem::ClassInfo()), "dxBarItem2");
    (new TdxBarItem(Form))->SetName("dxBarItem2");
    EXPECT_EQ(GetUniqueItemName(Manager, TdxBarItem::ClassInfo()), "dxBarItem4");
    EXPECT_EQ(GetUniqueItemName(nullptr, TdxBarItem::ClassInfo()), "dxBarItem1");
    delete Form;
}

TEST_F(SystemTest, MenuSoundsAreAliasesPlayedAsynchronously) {
    PlayBarSound(BarSoundMenuPopup);
    PlayBarSound(BarSoundMenuCommand);
    StopBarSound();
    PlayBarSound(3);
    SetBarSoundsEnabled(false);
    PlayBarSound(BarSoundMenuPopup);
    SetBarSoundsEnabled(true);
    const std::vector<win::PlayedSound> Played = win::GetPlayedSounds();
    ASSERT_EQ(Played.size(), 3u);
    EXPECT_EQ(Played[0].name, "MenuPopup");
    EXPECT_EQ(Played[1].name, "MenuCommand");
    EXPECT_EQ(Played[2].name, "");
    for (const win::PlayedSound& Sound : Played) EXPECT_EQ(Sound.flags, 0x12003u);
}

TEST_F(SystemTest, BarFontsTakeTheIconTitleHeightButNoLessThan11Pixels) {
    auto HeightOf = [](win::HFONT AFont) {
        gfx::LOGFONT Font;
        gfx::GetObject(AFont, sizeof Font, &Font);
        return Font.lfHeight;
    };
    cls::TFont Font;
    Font.SetName("DejaVu Sans");
    Font.SetHeight(-13);
    win::HFONT Handle = nullptr;
    CreateBarFontHandle(&Font, Handle, false);
    EXPECT_EQ(HeightOf(Handle), -13);
    const win::HFONT Previous = Handle;
    // The default icon-title font is 11 pixels high.
    CreateBarFontHandle(&Font, Handle, true);
    EXPECT_EQ(HeightOf(Handle), -11);
    EXPECT_EQ(gfx::GetObjectType(Previous), 0u);
    gfx::LOGFONT Copy;
    gfx::GetObject(Handle, sizeof Copy, &Copy);
    EXPECT_STREQ(Copy.lfFaceName, "DejaVu Sans");
    // Smaller icon-title fonts are raised to 11 pixels; larger ones are kept.
    for (auto [IconTitle, Expected] : {std::pair{-8, -11}, {-13, -13}, {9, -11}}) {
        gfx::LOGFONT Title{};
        Title.lfHeight = IconTitle;
        win::SetIconTitleFont(Title);
        CreateBarFontHandle(&Font, Handle, true);
        EXPECT_EQ(HeightOf(Handle), Expected) << IconTitle;
    }
    const win::HFONT Plain = CopyFontHandle(&Font);
    EXPECT_EQ(HeightOf(Plain), -13);
    gfx::DeleteObject(Plain);
    gfx::DeleteObject(Handle);
}

TEST_F(SystemTest, PumpsDispatchTheirRangeAndPostAQuitAgain) {
    const HWND Wnd = MakeWindow({0, 0, 50, 50});
    testdrv::RunUntilIdle();
    testdrv::MessageLog Log{Wnd};
    Log.Only({win::WM_PAINT, win::WM_MOUSEMOVE, win::WM_USER});

    win::InvalidateRect(Wnd, nullptr, win::FALSE);
    win::PostMessage(Wnd, win::WM_USER, 0, 0);
    ProcessPaintMessages();
    EXPECT_EQ(Log.Text(), "WM_PAINT");

    // The quit request comes before paints and after posted messages.
    win::InvalidateRect(Wnd, nullptr, win::FALSE);
    win::PostQuitMessage(7);
    ProcessPaintMessages();
    EXPECT_EQ(Log.Text(), "WM_PAINT");
    win::PostMessage(Wnd, win::WM_MOUSEMOVE, 0, 0);
    ProcessMouseMessages();
    EXPECT_EQ(Log.Text(), "WM_PAINT WM_MOUSEMOVE");
    win::MSG Msg;
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, win::WM_USER, win::WM_USER, win::PM_REMOVE));
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE));
    EXPECT_EQ(Msg.message, win::WM_QUIT);
    EXPECT_EQ(Msg.wParam, 7u);
    EXPECT_FALSE(win::PeekMessage(&Msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE));

    ProcessPaintMessages();
    EXPECT_EQ(Log.Text(), "WM_PAINT WM_MOUSEMOVE WM_PAINT");
}

TEST_F(SystemTest, MouseLeaveEmulatedByTimerWithoutTrackMouseEvent) {
    Missing("TrackMouseEvent");
    const HWND A = MakeWindow({0, 0, 100, 100}), B = MakeWindow({100, 0, 200, 100});
    testdrv::MessageLog Log;
    Log.Watch(A, "A");
    Log.Watch(B, "B");
    Log.Only({win::WM_MOUSELEAVE});
    testdrv::MoveToScreen({50, 50});
    BeginMouseLeaveTracking(A);
    EXPECT_TRUE(IsTrackingMouseLeave(A));
    EXPECT_FALSE(IsTrackingMouseLeave(B));
    testdrv::Advance(200);
    EXPECT_EQ(Log.Text(), "");

    testdrv::MoveToScreen({150, 50});
    testdrv::Advance(49);
    EXPECT_EQ(Log.Text(), "");
    testdrv::Advance(1);
    EXPECT_EQ(Log.Text(), "A:WM_MOUSELEAVE");
    EXPECT_FALSE(IsTrackingMouseLeave(A));
    testdrv::Advance(200);
    EXPECT_EQ(Log.Count(win::WM_MOUSELEAVE), 1);

    // One window at a time: tracking another ends the first.
    BeginMouseLeaveTracking(B);
    BeginMouseLeaveTracking(A);
    EXPECT_TRUE(IsTrackingMouseLeave(A));
    EXPECT_FALSE(IsTrackingMouseLeave(B));
    EndMouseLeaveTracking(B);
    EndMouseLeaveTracking(A);
    EXPECT_EQ(Log.Text(), "A:WM_MOUSELEAVE B:WM_MOUSELEAVE A:WM_MOUSELEAVE");
    testdrv::Advance(200);
    EXPECT_EQ(Log.Count(win::WM_MOUSELEAVE), 3);
}

TEST_F(SystemTest, MouseLeaveWithTrackMouseEvent) {
    const HWND A = MakeWindow({0, 0, 100, 100}), B = MakeWindow({100, 0, 200, 100});
    testdrv::MessageLog Log{A};
    Log.Only({win::WM_MOUSELEAVE});
    testdrv::MoveToScreen({50, 50});
    BeginMouseLeaveTracking(A);
    EXPECT_TRUE(IsTrackingMouseLeave(A));
    EXPECT_FALSE(IsTrackingMouseLeave(B));
    EndMouseLeaveTracking(A);
    EXPECT_FALSE(IsTrackingMouseLeave(A));
    testdrv::MoveToScreen({150, 50});
    EXPECT_EQ(Log.Count(win::WM_MOUSELEAVE), 1);

    testdrv::MoveToScreen({50, 50});
    BeginMouseLeaveTracking(A);
    testdrv::MoveToScreen({150, 50});
    EXPECT_EQ(Log.Count(win::WM_MOUSELEAVE), 2);
    EXPECT_FALSE(IsTrackingMouseLeave(A));
}

TEST_F(SystemTest, LayeredAlpha) {
    const HWND Wnd = MakeWindow({0, 0, 50, 50});
    auto Layered = [Wnd] { return (win::GetWindowLongPtr(Wnd, win::GWL_EXSTYLE) & win::WS_EX_LAYERED) != 0; };
    SetLayeredWindowAlpha(Wnd, 128);
    EXPECT_TRUE(Layered());
    win::BYTE Alpha = 0;
    win::DWORD Flags = 0;
    ASSERT_TRUE(win::GetLayeredWindowAttributes(Wnd, nullptr, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 128);
    EXPECT_EQ(Flags, win::LWA_ALPHA);
    SetLayeredWindowAlpha(Wnd, 255);
    EXPECT_FALSE(Layered());

    Missing("SetLayeredWindowAttributes");
    SetLayeredWindowAlpha(Wnd, 100);
    EXPECT_FALSE(Layered());
    EXPECT_EQ(User32EntryPoints().SetLayeredWindowAttributes, nullptr);
    EXPECT_NE(User32EntryPoints().TrackMouseEvent, nullptr);
}

TEST_F(SystemTest, WindowsUnderAPoint) {
    const HWND Top = MakeWindow({0, 0, 100, 100});
    const HWND Child = MakeWindow({10, 10, 60, 60}, Top);
    const HWND Grandchild = MakeWindow({5, 5, 20, 20}, Child);
    const HWND Hidden = MakeWindow({30, 30, 40, 40}, Child, 0);
    EXPECT_EQ(GetWindowFromScreenPoint({20, 20}), Grandchild);
    EXPECT_EQ(GetWindowFromScreenPoint({45, 45}), Child);
    EXPECT_EQ(GetWindowFromScreenPoint({80, 80}), Top);
    EXPECT_EQ(GetDeepestChildAtPoint(Top, {20, 20}), Grandchild);
    EXPECT_TRUE(IsWindowAncestor(Grandchild, Top));
    EXPECT_TRUE(IsWindowAncestor(Hidden, Child));
    EXPECT_FALSE(IsWindowAncestor(Top, Grandchild));
    EXPECT_FALSE(IsWindowAncestor(Child, Child));
    EXPECT_FALSE(IsWindowAncestor(Child, nullptr));

    auto* Form = new cls::TForm(nullptr);
    const HWND Inner = MakeWindow({0, 0, 10, 10}, MakeWindow({0, 0, 20, 20}, Form->Handle()));
    EXPECT_EQ(FindControlOfWindow(Inner), Form);
    EXPECT_EQ(FindControlOfWindow(Grandchild), nullptr);
    delete Form;

    RECT Work;
    GetWorkAreaFromPoint({500, 500}, Work);
    EXPECT_EQ(Work, (RECT{0, 0, 1024, 738}));
}

TEST_F(SystemTest, MouseButtonsAreThePhysicalOnesSwappedWhenAsked) {
    testdrv::MouseDown(testdrv::MouseButton::Left);
    EXPECT_TRUE(IsPrimaryMouseButtonDown());
    EXPECT_FALSE(IsSecondaryMouseButtonDown());
    win::SwapMouseButton(win::TRUE);
    EXPECT_FALSE(IsPrimaryMouseButtonDown());
    EXPECT_TRUE(IsSecondaryMouseButtonDown());
    win::SwapMouseButton(win::FALSE);
    testdrv::MouseUp(testdrv::MouseButton::Left);
    EXPECT_FALSE(IsPrimaryMouseButtonDown());
}

TEST_F(SystemTest, CursorsAreProgramResourcesInTheScreensList) {
    const char* Names[] = {"DXBARDRAGCURSOR", "DXBARDRAGCOPYCURSOR", "DXBARDRAGNODROPCURSOR",
                           "DXBAREDITSIZINGCURSOR"};
    std::vector<win::HCURSOR> Cursors;
    for (int I = 0; I < 4; ++I) {
        const win::HCURSOR Cursor = win::LoadCursor(win::GetModuleHandle(nullptr), Names[I]);
        ASSERT_NE(Cursor, nullptr) << Names[I];
        EXPECT_EQ(cls::Screen->Cursors(crdxBarDrag + I), Cursor);
        gfx::ICONINFO Info;
        ASSERT_TRUE(gfx::GetIconInfo(Cursor, &Info));
        EXPECT_FALSE(Info.fIcon);
        EXPECT_EQ(Info.hbmColor, nullptr);
        gfx::DeleteObject(Info.hbmMask);
        for (win::HCURSOR Other : Cursors) EXPECT_NE(Other, Cursor);
        Cursors.push_back(Cursor);
    }
    // A later start keeps the cursors the screen already has.
    EndLibrary();
    StartLibrary();
    EXPECT_EQ(cls::Screen->Cursors(crdxBarDrag), Cursors[0]);
}

} // namespace
