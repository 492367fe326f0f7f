// The tray menu, with its submenu open, in each style of the bar manager
// (the classic styles without visual styles, bmsXP with them, bmsOffice11 in
// the classic look and in the theme's three colour schemes), side by side and
// labelled, written to out/styles.png (or the path given). It always plays
// its script without showing anything.
#include <filesystem>
#include <string>
#include <vector>

#include "bars/barcontrol.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "gfx/gdi.h"
#include "gfx/png.h"
#include "support/session.h"
#include "tray.h"

using namespace cls;
using tray::EntryCentre;
using tray::ScreenRectOf;

namespace {

using example::TExampleSession;

constexpr int kMargin = 16;
constexpr int kLabelHeight = 40;
// Room around the menus for their shadows.
constexpr int kShadowRoom = 8;

struct TStyle {
    bars::TdxBarManagerStyle Style;
    win::ThemeScheme Theme;
    const char* Name;
    const char* Note;
};

constexpr TStyle kStyles[] = {
    {bars::bmsStandard, win::ThemeScheme::Classic, "bmsStandard", ""},
    {bars::bmsEnhanced, win::ThemeScheme::Classic, "bmsEnhanced", ""},
    {bars::bmsFlat, win::ThemeScheme::Classic, "bmsFlat", ""},
    {bars::bmsXP, win::ThemeScheme::Blue, "bmsXP", "visual styles, blue"},
    {bars::bmsOffice11, win::ThemeScheme::Classic, "bmsOffice11", "classic"},
    {bars::bmsOffice11, win::ThemeScheme::Blue, "bmsOffice11", "blue"},
    {bars::bmsOffice11, win::ThemeScheme::Olive, "bmsOffice11", "olive"},
    {bars::bmsOffice11, win::ThemeScheme::Silver, "bmsOffice11", "silver"},
};

// A part of the screen kept as a bitmap of its own, with the desktop's colour
// of the moment.
struct TShot {
    gfx::HBITMAP Bitmap = nullptr;
    int Width = 0;
    int Height = 0;
    gfx::COLORREF Desktop = 0;
};

TShot TakeShot(const TRect& Part) {
    return TShot{TExampleSession::CopyScreen(Part), Part.right - Part.left, Part.bottom - Part.top,
                 gfx::GetSysColor(gfx::COLOR_BACKGROUND)};
}

void DrawLabel(gfx::HDC DC, int X, int Y, int Width, const char* Text, int Height, int Weight) {
    gfx::HFONT Font =
        gfx::CreateFont(-Height, 0, 0, 0, Weight, 0, 0, 0, gfx::DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    gfx::HGDIOBJ Old = gfx::SelectObject(DC, Font);
    gfx::RECT R{X, Y, X + Width, Y + Height + 4};
    gfx::DrawText(DC, Text, -1, &R, gfx::DT_CENTER | gfx::DT_SINGLELINE | gfx::DT_NOPREFIX);
    gfx::SelectObject(DC, Old);
    gfx::DeleteObject(Font);
}

// The shots side by side on white, each in a cell of the same size under its
// style's name.
bool WritePicture(const std::vector<TShot>& Shots, const std::string& Path) {
    int Cell = 0;
    int Height = 0;
    for (const TShot& Shot : Shots) {
        Cell = std::max(Cell, Shot.Width);
        Height = std::max(Height, Shot.Height);
    }
    const int Count = static_cast<int>(Shots.size());
    const int Width = kMargin + Count * (Cell + kMargin);
    std::error_code Error;
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path(), Error);
    gfx::HDC Shot = gfx::CreateCompatibleDC(nullptr);
    gfx::HDC DC = gfx::CreateCompatibleDC(nullptr);
    gfx::BITMAPINFO Info{};
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -(kLabelHeight + Height + kMargin);
    gfx::HBITMAP Picture = gfx::CreateDIBSection(DC, &Info, gfx::DIB_RGB_COLORS, nullptr, nullptr, 0);
    gfx::HGDIOBJ Old = gfx::SelectObject(DC, Picture);
    gfx::RECT All{0, 0, Width, kLabelHeight + Height + kMargin};
    gfx::HBRUSH White = gfx::CreateSolidBrush(gfx::RGB(255, 255, 255));
    gfx::FillRect(DC, &All, White);
    gfx::DeleteObject(White);
    gfx::SetBkMode(DC, gfx::TRANSPARENT);
    gfx::SetTextColor(DC, gfx::RGB(0, 0, 0));
    for (int I = 0; I < Count; ++I) {
        const int X = kMargin + I * (Cell + kMargin);
        DrawLabel(DC, X, 8, Cell, kStyles[I].Name, 14, gfx::FW_BOLD);
        if (*kStyles[I].Note) DrawLabel(DC, X, 24, Cell, kStyles[I].Note, 11, gfx::FW_NORMAL);
        // Every shot starts at the menus' corner; the desktop fills the rest
        // of its cell.
        gfx::RECT Tile{X, kLabelHeight, X + Cell, kLabelHeight + Height};
        gfx::HBRUSH Desktop = gfx::CreateSolidBrush(Shots[I].Desktop);
        gfx::FillRect(DC, &Tile, Desktop);
        gfx::DeleteObject(Desktop);
        gfx::HGDIOBJ OldShot = gfx::SelectObject(Shot, Shots[I].Bitmap);
        gfx::BitBlt(DC, X, kLabelHeight, Shots[I].Width, Shots[I].Height, Shot, 0, 0, gfx::SRCCOPY);
        gfx::SelectObject(Shot, OldShot);
    }
    gfx::SelectObject(DC, Old);
    gfx::DeleteDC(DC);
    gfx::DeleteDC(Shot);
    const bool Written = gfx::SaveBitmapToPng(Picture, Path);
    gfx::DeleteObject(Picture);
    return Written;
}

} // namespace

int main(int argc, char** argv) {
    const std::string Path = argc > 1 ? argv[1] : "out/styles.png";
    TExampleSession Session("tray_styles", false, win::ThemeScheme::Classic);
    Application->SetShowMainForm(false);
    tray::TMainForm* Main = nullptr;
    Application->CreateForm(tray::TMainForm::ClassInfo(), Main);
    std::vector<TShot> Shots;
    const TPoint At{kShadowRoom + 8, kShadowRoom + 8};
    for (const TStyle& Style : kStyles) {
        // Popup returns when the menu closes: the steps after it run in its loop.
        Session.AddStep([Main, &Style, At] {
            win::SetTheme(Style.Theme);
            Main->BarManager()->SetStyle(Style.Style);
            win::SetForegroundWindow(Main->Handle());
            Main->TrayMenu()->Popup(At.x, At.y);
        });
        Session.AddStep([Main] { TExampleSession::MoveMouseTo(EntryCentre(Main->HelpLink())); });
        Session.AddStep([] { TExampleSession::Wait(bars::TdxBarSubItemControl::SubMenuDelay); });
        Session.AddStep([Main, &Session] {
            if (!Main->AboutLink()->GetBarControl())
                Session.Fail("hovering \"Справка\" does not open its submenu");
            else
                TExampleSession::MoveMouseTo(EntryCentre(Main->AboutLink()));
        });
        Session.AddStep([Main, &Session, &Shots, &Style] {
            TRect Part = ScreenRectOf(Main->HelpLink()->GetBarControl());
            if (bars::TCustomdxBarControl* Sub = Main->AboutLink()->GetBarControl()) {
                const TRect R = ScreenRectOf(Sub);
                gfx::UnionRect(&Part, &Part, &R);
            }
            for (bars::TdxBarItemLink* Link : {Main->HelpLink(), Main->AboutLink()})
                if (!TExampleSession::ShowsOnScreen(Link->GetBarControl()))
                    Session.Fail(std::string(Style.Name) + " " + Style.Note + ": a menu does not show");
            gfx::InflateRect(&Part, kShadowRoom, kShadowRoom);
            Shots.push_back(TakeShot(Part));
            // The first Esc closes the submenu, the second the menu.
            TExampleSession::PressKey(win::VK_ESCAPE);
            TExampleSession::PressKey(win::VK_ESCAPE);
        });
    }
    Session.AddStep([&] {
        if (!WritePicture(Shots, Path))
            Session.Fail("could not write " + Path);
        else
            Session.CheckPicture(Path);
        Application->Terminate();
    });
    Session.SetScriptEndsProgram(true);
    const int Result = Session.Run();
    for (const TShot& Shot : Shots) gfx::DeleteObject(Shot.Bitmap);
    DoneApplication();
    return Result;
}
