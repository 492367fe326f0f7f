// The tray program. On a display it runs until its menu's "Выход"; without
// one it plays the tray menu's road as a script and writes a picture of the
// screen after each step to out/.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bars/animation.h"
#include "bars/barcontrol.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "support/session.h"
#include "tray.h"

using namespace cls;
using tray::EntryCentre;
using tray::ScreenRectOf;

namespace {

using example::TExampleSession;

bool ParseAnimation(const char* Name, bars::TdxBarMenuAnimations& Value) {
    static const struct {
        const char* Name;
        bars::TdxBarMenuAnimations Value;
    } Kinds[] = {{"none", bars::maNone},
                 {"random", bars::maRandom},
                 {"unfold", bars::maUnfold},
                 {"slide", bars::maSlide},
                 {"fade", bars::maFade}};
    for (const auto& Kind : Kinds)
        if (std::strcmp(Name, Kind.Name) == 0) {
            Value = Kind.Value;
            return true;
        }
    return false;
}

// The open menus of the tray menu's chain, the submenu last.
std::vector<TWinControl*> OpenMenus(tray::TMainForm* Main) {
    std::vector<TWinControl*> Menus;
    for (bars::TdxBarItemLink* Link : {Main->OpenLink(), Main->AboutLink()})
        if (bars::TCustomdxBarControl* Menu = Link->GetBarControl()) Menus.push_back(Menu);
    return Menus;
}

// The bottom-right part of the screen that holds the open menus (with their
// shadows) and the tray icon.
TRect MenuCorner(tray::TMainForm* Main) {
    TRect Part = ScreenRectOf(Main->TrayBar()->Icon());
    for (TWinControl* Menu : OpenMenus(Main)) {
        const TRect R = ScreenRectOf(Menu);
        gfx::UnionRect(&Part, &Part, &R);
    }
    gfx::InflateRect(&Part, 24, 24);
    const TRect Strip = ScreenRectOf(Main->TrayBar());
    Part.right = std::max(Part.right, Strip.right);
    Part.bottom = std::max(Part.bottom, Strip.bottom);
    TRect Screen{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN), win::GetSystemMetrics(win::SM_CYSCREEN)};
    gfx::IntersectRect(&Part, &Part, &Screen);
    return Part;
}

// The main window and its open context menu (with its shadow).
TRect ContextPart(tray::TMainForm* Main) {
    TRect Part = ScreenRectOf(Main);
    if (bars::TCustomdxBarControl* Menu = Main->HideLink()->GetBarControl()) {
        const TRect R = ScreenRectOf(Menu);
        gfx::UnionRect(&Part, &Part, &R);
    }
    gfx::InflateRect(&Part, 16, 16);
    TRect Screen{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN), win::GetSystemMetrics(win::SM_CYSCREEN)};
    gfx::IntersectRect(&Part, &Part, &Screen);
    return Part;
}

// The scripted road of the tray menu: open it from the icon, open the sub
// item by hovering it, move with the keys, choose "О программе...", close the
// about box, show the main window, open its context menu with a right click
// and hide the window with it, and choose "Выход".
void AddScript(TExampleSession& Session, tray::TMainForm* Main) {
    int Picture = 0;
    auto Step = [&Session](std::function<void()> Action) { Session.AddStep(std::move(Action)); };
    // A check, then the picture of the whole screen (and of the menu corner
    // under a name of its own).
    auto Look = [&Session, &Picture, Main](std::string What, std::function<bool()> Check,
                                           std::string CornerName = "",
                                           std::function<TRect()> PartOf = nullptr) {
        const int Number = ++Picture;
        Session.AddWaitUntil([] { return !bars::IsSubMenuAnimating(); }, "a menu's show animation to end");
        Session.AddStep([=, &Session] {
            if (!Check()) Session.Fail("step " + std::to_string(Number) + ": " + What);
            Session.Snapshot("tray_step_" + std::to_string(Number));
            if (!CornerName.empty()) {
                const TRect Corner = PartOf ? PartOf() : MenuCorner(Main);
                Session.Snapshot(CornerName, &Corner);
            }
        });
    };
    auto MenuShows = [Main] {
        const auto Menus = OpenMenus(Main);
        return Menus.size() == 1 && TExampleSession::ShowsOnScreen(Menus[0]);
    };
    auto RightClickIcon = [Main] {
        TExampleSession::RightClick(Main->TrayBar()->Icon(), tray::TTrayIcon::Size / 2,
                                    tray::TTrayIcon::Size / 2);
    };

    Step(RightClickIcon);
    Look("a right click on the tray icon opens the menu", MenuShows, "tray_menu");
    Step([Main] { TExampleSession::MoveMouseTo(EntryCentre(Main->HelpLink())); });
    Step([] { TExampleSession::Wait(bars::TdxBarSubItemControl::SubMenuDelay); });
    Look(
        "hovering \"Справка\" opens its submenu",
        [Main] {
            const auto Menus = OpenMenus(Main);
            return Menus.size() == 2 && TExampleSession::ShowsOnScreen(Menus[0]) &&
                   TExampleSession::ShowsOnScreen(Menus[1]);
        },
        "tray_submenu");
    // Left closes the submenu, Up and Down move in the menu, Right opens the
    // submenu with its first entry selected.
    static const struct {
        int Key;
        std::size_t Menus;
        const char* Selected;
    } Keys[] = {{win::VK_LEFT, 1, "&Справка"},
                {win::VK_UP, 1, "&Открыть"},
                {win::VK_DOWN, 1, "&Справка"},
                {win::VK_RIGHT, 2, "&О программе..."}};
    for (const auto& K : Keys) {
        Step([&K] { TExampleSession::PressKey(K.Key); });
        Look(std::string("the keys select ") + K.Selected,
             [Main, &K] { return OpenMenus(Main).size() == K.Menus && tray::SelectedEntry() == K.Selected; });
    }
    Step([] { TExampleSession::PressKey(win::VK_RETURN); });
    Look("Enter on \"О программе...\" shows the about box", [Main] {
        return Main->About() && OpenMenus(Main).empty() && TExampleSession::ShowsOnScreen(Main->About());
    });
    Step([Main] {
        if (Main->About()) TExampleSession::Click(Main->About()->OkButton(), 10, 10);
    });
    Look("OK closes the about box", [Main] { return !Main->About(); });
    // The desktop belongs to another application: a press on it closes the
    // menu as that application takes the foreground.
    Step(RightClickIcon);
    Look("the menu opens again", MenuShows);
    Step([] { TExampleSession::ClickAt(gfx::POINT{200, 200}); });
    Look("a press on the desktop closes the menu", [Main] {
        return OpenMenus(Main).empty() && !Main->TrayMenu()->IsOpen() && !win::GetForegroundWindow();
    });
    Step(RightClickIcon);
    Look("the menu opens once more", MenuShows);
    Step([Main] { TExampleSession::ClickAt(EntryCentre(Main->OpenLink())); });
    Look("\"Открыть\" shows the main window, and the entry now reads \"Закрыть\"", [Main] {
        return Main->Visible() && TExampleSession::ShowsOnScreen(Main) &&
               Main->OpenLink()->GetCaption() == "&Закрыть";
    });
    Step([Main] { TExampleSession::RightClick(Main, Main->ClientWidth() / 3, Main->ClientHeight() / 2); });
    Look(
        "a right click on the main window opens its context menu",
        [Main] {
            bars::TCustomdxBarControl* Menu = Main->HideLink()->GetBarControl();
            return Menu && TExampleSession::ShowsOnScreen(Menu) && OpenMenus(Main).empty();
        },
        "tray_context", [Main] { return ContextPart(Main); });
    Step([Main] { TExampleSession::ClickAt(EntryCentre(Main->HideLink())); });
    Look("\"Скрыть\" hides the main window",
         [Main] { return !Main->Visible() && !Main->HideLink()->GetBarControl(); });
    Step(RightClickIcon);
    Look("the first entry reads \"Открыть\" again",
         [Main, MenuShows] { return MenuShows() && Main->OpenLink()->GetCaption() == "&Открыть"; });
    Step([Main] { TExampleSession::MoveMouseTo(EntryCentre(Main->ExitLink())); });
    Look("\"Выход\" is selected", MenuShows);
    // "Выход" ends the program: the script has no step after it.
    Step([Main] { TExampleSession::ClickAt(EntryCentre(Main->ExitLink())); });
    Session.SetScriptEndsProgram(true);
}

} // namespace

int main(int argc, char** argv) {
    bars::TdxBarMenuAnimations Animation = bars::maNone;
    win::ThemeScheme Theme = win::ThemeScheme::Blue;
    for (int I = 1; I < argc; ++I) {
        if (std::strcmp(argv[I], "--animation") == 0 && I + 1 < argc &&
            ParseAnimation(argv[I + 1], Animation)) {
            ++I;
            continue;
        }
        if (TExampleSession::TakeThemeOption(I, argc, argv, Theme)) continue;
        std::fprintf(
            stderr,
            "usage: %s [--animation none|unfold|slide|fade|random] [--theme classic|blue|olive|silver]\n",
            argv[0]);
        return 2;
    }

    TExampleSession Session("tray_menu", true, Theme);
    Application->SetTitle("Trestle");
    Application->SetShowMainForm(false);
    tray::TMainForm* Main = nullptr;
    Application->CreateForm(tray::TMainForm::ClassInfo(), Main);
    Main->BarManager()->SetMenuAnimations(Animation);
    if (Session.Headless()) AddScript(Session, Main);
    const int Result = Session.Run(); // until "Выход"
    DoneApplication();
    return Result;
}
