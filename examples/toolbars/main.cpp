// The toolbar program. On a display it runs until its window is closed;
// without one it plays a script that opens its menus, drags its toolbars
// about and narrows its window, and writes a picture of the screen after each
// step to out/.
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bars/links.h"
#include "bars/toolbar.h"
#include "support/session.h"
#include "toolbars.h"
#include "win/driver.h"

using namespace cls;

namespace {

using example::TExampleSession;
using toolbars::TMainForm;

bool ParseStyle(const char* Name, bars::TdxBarManagerStyle& Value) {
    static const struct {
        const char* Name;
        bars::TdxBarManagerStyle Value;
    } Styles[] = {{"standard", bars::bmsStandard},
                  {"enhanced", bars::bmsEnhanced},
                  {"flat", bars::bmsFlat},
                  {"xp", bars::bmsXP},
                  {"office11", bars::bmsOffice11}};
    for (const auto& Style : Styles)
        if (std::strcmp(Name, Style.Name) == 0) {
            Value = Style.Value;
            return true;
        }
    return false;
}

TRect ScreenRectOf(TWinControl* Control) {
    TRect R{};
    if (Control && Control->HandleAllocated()) win::GetWindowRect(Control->Handle(), &R);
    return R;
}

TPoint Centre(const TRect& R) {
    return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

// The middle of a link's control, on the screen.
TPoint LinkCentre(bars::TdxBarItemLink* Link) {
    return Link->GetBarControl()->ClientToScreen(Centre(Link->ItemRect()));
}

// Where the user takes a docked bar: its grip, at the start of the bar.
TPoint GripPoint(bars::TdxBar* Bar) {
    bars::TdxBarControl* Window = Bar->Control();
    const TRect R = ScreenRectOf(Window);
    if (Window && Window->IsVerticalDocked()) return TPoint{(R.left + R.right) / 2, R.top + 3};
    return TPoint{R.left + 3, (R.top + R.bottom) / 2};
}

// The bar shows docked in that style in Site (the main site of the style
// when nullptr), and its window and the site agree.
bool DockedIn(TMainForm* Main, bars::TdxBar* Bar, bars::TdxBarDockingStyle Style,
              bars::TdxDockControl* Site = nullptr) {
    if (!Site) Site = Main->BarManager()->Bars()->DockControls(Style);
    bars::TdxBarControl* Window = Bar->Control();
    return Window && Bar->DockingStyle() == Style && Window->DockingStyle() == Style &&
           Window->DockControl() == Site && Site->FindCol(Window) &&
           win::GetParent(Window->Handle()) == Site->Handle();
}

// The bar floats in a window of its own, owned by the form.
bool Floats(TMainForm* Main, bars::TdxBar* Bar) {
    bars::TdxBarControl* Window = Bar->Control();
    return Window && Bar->DockingStyle() == bars::dsNone && Window->DockingStyle() == bars::dsNone &&
           !(win::GetWindowLong(Window->Handle(), win::GWL_STYLE) & win::WS_CHILD) &&
           win::GetWindow(Window->Handle(), win::GW_OWNER) == Main->Handle();
}

// The row of its dock site a docked bar is in; -1 when it is not docked.
int RowOf(bars::TdxBar* Bar) {
    bars::TdxBarControl* Window = Bar->Control();
    bars::TdxDockControl* Site = Window ? Window->DockControl() : nullptr;
    bars::TdxDockCol* Col = Site ? Site->FindCol(Window) : nullptr;
    return Col ? Site->IndexOfRow(Col->Row()) : -1;
}

std::vector<bars::TdxBar*> AllBars(TMainForm* Main) {
    return {Main->MainMenuBar(), Main->StandardBar(), Main->FormattingBar(), Main->SearchBar(),
            Main->DrawingBar(),  Main->ColorBar(),    Main->ZoomBar()};
}

// Every bar shows on the screen, drawn: not the desktop, nor a blank.
bool BarsShow(TMainForm* Main) {
    for (bars::TdxBar* Bar : AllBars(Main))
        if (!Bar->Visible() || !TExampleSession::ShowsOnScreen(Bar->Control())) return false;
    return true;
}

// The bar's links did not all fit: it shows its mark, drawn, at its end
// inside its window, and a link has no place in it.
bool ShowsMark(bars::TdxBar* Bar) {
    bars::TdxBarControl* Window = Bar->Control();
    if (!Window || !Window->Truncated() || !Window->HasMark()) return false;
    const TRect Mark = Window->GetMarkScreenRect();
    const TRect Whole = ScreenRectOf(Window);
    TRect Inside{};
    if (gfx::IsRectEmpty(&Mark) || !gfx::IntersectRect(&Inside, &Mark, &Whole) ||
        !gfx::EqualRect(&Inside, &Mark))
        return false;
    if (Mark.right < Whole.right - bars::TdxBarControl::MarkSize - 4) return false;
    std::set<gfx::COLORREF> Colours;
    for (int Y = Mark.top; Y < Mark.bottom; ++Y)
        for (int X = Mark.left; X < Mark.right; ++X) Colours.insert(win::ScreenPixel(win::POINT{X, Y}));
    if (Colours.size() < 2) return false;
    bars::TdxBarItemLinks* Links = Bar->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I) {
        const TRect R = Links->Items(I)->ItemRect();
        if (gfx::IsRectEmpty(&R)) return true;
    }
    return false;
}

bool AnyTruncated(TMainForm* Main) {
    for (bars::TdxBar* Bar : AllBars(Main))
        if (Bar->Control() && Bar->Control()->Truncated()) return true;
    return false;
}

// The form and every floating bar, with a margin, inside the screen.
TRect PictureOfForm(TMainForm* Main) {
    TRect Part = ScreenRectOf(Main);
    for (bars::TdxBar* Bar : AllBars(Main))
        if (Bar->Control() && Bar->DockingStyle() == bars::dsNone) {
            const TRect R = ScreenRectOf(Bar->Control());
            gfx::UnionRect(&Part, &Part, &R);
        }
    gfx::InflateRect(&Part, 12, 12);
    const TRect Screen{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN),
                       win::GetSystemMetrics(win::SM_CYSCREEN)};
    gfx::IntersectRect(&Part, &Part, &Screen);
    return Part;
}

// The script: look at the bars as the program put them, open "Файл" and the
// print button's drop-down menu, show the about box, make the text italic
// and blue, drag "Поиск" from the top to the left site, drag "Рисование" out
// to float over the page, shrink the window by its right edge until a bar
// shows its mark, widen it again, drag "Форматирование" into the side panel,
// and close the window.
void AddScript(TExampleSession& Session, TMainForm* Main) {
    auto Picture = std::make_shared<int>(0);
    auto Step = [&Session](std::function<void()> Action) { Session.AddStep(std::move(Action)); };
    // A check of the step before, then a picture of the screen.
    auto Look = [&Session, Picture](std::string What, std::function<bool()> Check) {
        Session.AddStep([&Session, Picture, What, Check] {
            const int Number = ++*Picture;
            if (!Check()) Session.Fail("step " + std::to_string(Number) + ": " + What);
            Session.Snapshot("toolbars_step_" + std::to_string(Number));
        });
    };
    auto Move = [Step](std::function<TPoint()> Where) {
        Step([Where] { TExampleSession::MoveMouseTo(Where()); });
    };
    bars::TdxBarManager* Manager = Main->BarManager();

    Look("the bars show where the program put them", [Main] {
        return BarsShow(Main) && DockedIn(Main, Main->MainMenuBar(), bars::dsTop) &&
               RowOf(Main->MainMenuBar()) == 0 && DockedIn(Main, Main->StandardBar(), bars::dsTop) &&
               RowOf(Main->StandardBar()) == 1 && DockedIn(Main, Main->FormattingBar(), bars::dsTop) &&
               RowOf(Main->FormattingBar()) == 1 && DockedIn(Main, Main->SearchBar(), bars::dsTop) &&
               RowOf(Main->SearchBar()) == 2 && DockedIn(Main, Main->DrawingBar(), bars::dsLeft) &&
               Floats(Main, Main->ColorBar()) &&
               DockedIn(Main, Main->ZoomBar(), bars::dsTop, Main->SideDock()) && !AnyTruncated(Main);
    });

    // The main menu's "Файл", opened by a click.
    bars::TdxBarItemLinks* FileLinks = Main->FileMenu()->ItemLinks();
    Step([Main] { TExampleSession::ClickAt(LinkCentre(Main->MainMenuBar()->ItemLinks()->Items(0))); });
    Look("a click on \"Файл\" opens its menu", [FileLinks] {
        return FileLinks->Items(0)->GetBarControl() &&
               TExampleSession::ShowsOnScreen(FileLinks->Items(0)->GetBarControl());
    });
    Step([] {
        TExampleSession::PressKey(win::VK_ESCAPE);
        TExampleSession::PressKey(win::VK_ESCAPE);
    });

    // The print button's arrow opens its drop-down menu.
    bars::TdxBarItemLinks* PrintLinks = Main->PrintButton()->DropDownItemLinks();
    Step([Main] {
        bars::TdxBarItemLink* Link = Main->StandardBar()->ItemLinks()->Items(3);
        const TRect R = Link->ItemRect();
        TExampleSession::ClickAt(
            Link->GetBarControl()->ClientToScreen(TPoint{R.right - 5, (R.top + R.bottom) / 2}));
    });
    Look("a click on the print button's arrow opens its drop-down menu", [PrintLinks, FileLinks] {
        bars::TCustomdxBarControl* Menu = PrintLinks->Items(0)->GetBarControl();
        return Menu && TExampleSession::ShowsOnScreen(Menu) && !FileLinks->Items(0)->GetBarControl();
    });
    Step([] { TExampleSession::PressKey(win::VK_ESCAPE); });

    // "Справка | О программе..." shows the about box; Esc closes it.
    bars::TdxBarItemLinks* HelpLinks = Main->HelpMenu()->ItemLinks();
    Step([Main] { TExampleSession::ClickAt(LinkCentre(Main->MainMenuBar()->ItemLinks()->Items(3))); });
    Step([HelpLinks, &Session] {
        if (HelpLinks->Items(0)->GetBarControl())
            TExampleSession::ClickAt(LinkCentre(HelpLinks->Items(0)));
        else
            Session.Fail("a click on \"Справка\" does not open its menu");
    });
    Look("\"О программе...\" shows the about box", [Main, HelpLinks] {
        return Main->About() && TExampleSession::ShowsOnScreen(Main->About()) &&
               !HelpLinks->Items(0)->GetBarControl();
    });
    Step([] { TExampleSession::PressKey(win::VK_ESCAPE); });

    // Commands: "Курсив" and the blue swatch act on the page and stay down.
    auto Button = [](bars::TdxBar* Bar, int Index) {
        return static_cast<bars::TdxBarButton*>(Bar->ItemLinks()->Items(Index)->Item());
    };
    Step([Main] { TExampleSession::ClickAt(LinkCentre(Main->FormattingBar()->ItemLinks()->Items(1))); });
    Step([Main] { TExampleSession::ClickAt(LinkCentre(Main->ColorBar()->ItemLinks()->Items(3))); });
    Look("\"Курсив\" and the blue swatch turn the page's text italic and blue", [Main, Button] {
        return !Main->About() && Main->Page()->TextStyle().Contains(fsItalic) &&
               Button(Main->FormattingBar(), 1)->Down() && Button(Main->ColorBar(), 3)->Down() &&
               !Button(Main->ColorBar(), 0)->Down() && Main->Page()->TextColor() != clBlack;
    });

    // "Поиск" goes from the top to the left site, below "Рисование".
    Move([Main] { return GripPoint(Main->SearchBar()); });
    Step([] { TExampleSession::PressMouse(); });
    Move([Main] {
        const TRect Left = ScreenRectOf(Main->BarManager()->Bars()->DockControls(bars::dsLeft));
        return TPoint{Left.left + 4, ScreenRectOf(Main->DrawingBar()->Control()).bottom + 16};
    });
    Step([] { TExampleSession::ReleaseMouse(); });
    Look("\"Поиск\" is dragged from the top to the left site", [Main, Manager] {
        return BarsShow(Main) && !Manager->Bars()->Dragging() &&
               DockedIn(Main, Main->SearchBar(), bars::dsLeft) &&
               DockedIn(Main, Main->DrawingBar(), bars::dsLeft) &&
               Manager->Bars()->DockControls(bars::dsTop)->GetRowCount() == 2;
    });

    // "Рисование" is torn off and floats over the page.
    auto Drop = std::make_shared<TPoint>();
    Move([Main] { return GripPoint(Main->DrawingBar()); });
    Step([] { TExampleSession::PressMouse(); });
    Move([Main, Drop] {
        *Drop = Main->Page()->ClientToScreen(TPoint{150, 270});
        return *Drop;
    });
    Step([] { TExampleSession::ReleaseMouse(); });
    Look("\"Рисование\" is dragged out of the left site and floats", [Main, Manager, Drop] {
        const TRect R = ScreenRectOf(Main->DrawingBar()->Control());
        return BarsShow(Main) && !Manager->Bars()->Dragging() && Floats(Main, Main->DrawingBar()) &&
               gfx::PtInRect(&R, *Drop) && DockedIn(Main, Main->SearchBar(), bars::dsLeft);
    });

    // The window's right edge goes left, 20 pixels at a time, until a bar
    // of the top site cuts links off.
    auto Edge = std::make_shared<TPoint>();
    auto Width = std::make_shared<int>(0);
    Step([Main, Edge, Width] {
        const TRect R = ScreenRectOf(Main);
        *Width = Main->Width();
        *Edge = TPoint{R.right - 2, (R.top + R.bottom) / 2};
        TExampleSession::MoveMouseTo(*Edge);
    });
    Step([Main, &Session] {
        win::POINT At;
        win::GetCursorPos(&At);
        if (win::SendMessage(Main->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(At.x, At.y)) !=
            win::HTRIGHT)
            Session.Fail("the window's right edge is not where the script takes it");
        TExampleSession::PressMouse();
    });
    constexpr int kShrinkSteps = 20;
    for (int K = 1; K <= kShrinkSteps; ++K)
        Step([Main, Edge, K] {
            if (!AnyTruncated(Main)) TExampleSession::MoveMouseTo(TPoint{Edge->x - 20 * K, Edge->y});
        });
    Step([] { TExampleSession::ReleaseMouse(); });
    Look("the window, made narrower by its edge, cuts links off a bar, which shows its mark", [Main, Width] {
        return BarsShow(Main) && Main->Width() < *Width &&
               (ShowsMark(Main->StandardBar()) || ShowsMark(Main->FormattingBar()));
    });

    // Wider again: every link fits.
    Step([Main] {
        const TRect R = ScreenRectOf(Main);
        TExampleSession::MoveMouseTo(TPoint{R.right - 2, (R.top + R.bottom) / 2});
        TExampleSession::PressMouse();
    });
    Move([Edge] { return *Edge; });
    Step([] { TExampleSession::ReleaseMouse(); });
    Look("the window, made as wide as before, cuts no link off",
         [Main, Width] { return BarsShow(Main) && Main->Width() == *Width && !AnyTruncated(Main); });

    // "Форматирование" goes into the side panel's dock site, below "Масштаб",
    // which stays as it was.
    Move([Main] { return GripPoint(Main->FormattingBar()); });
    Step([] { TExampleSession::PressMouse(); });
    Move([Main] {
        const TRect R = ScreenRectOf(Main->SideDock());
        return TPoint{R.left + 30, R.bottom + 4};
    });
    Step([] { TExampleSession::ReleaseMouse(); });
    Step([Main, &Session] {
        if (!BarsShow(Main) || !DockedIn(Main, Main->FormattingBar(), bars::dsTop, Main->SideDock()) ||
            !DockedIn(Main, Main->ZoomBar(), bars::dsTop, Main->SideDock()) || RowOf(Main->ZoomBar()) != 0 ||
            RowOf(Main->FormattingBar()) != 1)
            Session.Fail("\"Форматирование\" is not dragged into the side panel below \"Масштаб\"");
        const TRect Part = PictureOfForm(Main);
        Session.Snapshot("toolbars", &Part);
        Main->Close();
    });
    Session.SetScriptEndsProgram(true);
}

} // namespace

int main(int argc, char** argv) {
    bars::TdxBarManagerStyle Style = bars::bmsOffice11;
    for (int I = 1; I < argc; ++I) {
        if (std::strcmp(argv[I], "--style") == 0 && I + 1 < argc && ParseStyle(argv[I + 1], Style)) {
            ++I;
            continue;
        }
        std::fprintf(stderr, "usage: %s [--style standard|enhanced|flat|xp|office11]\n", argv[0]);
        return 2;
    }

    TExampleSession Session("toolbars");
    Application->SetTitle("Trestle");
    TMainForm* Main = nullptr;
    Application->CreateForm(TMainForm::ClassInfo(), Main);
    Main->BarManager()->SetStyle(Style);
    if (Session.Headless()) AddScript(Session, Main);
    const int Result = Session.Run(); // until the window closes
    DoneApplication();
    return Result;
}
