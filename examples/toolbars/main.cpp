// The toolbar program. On a display it runs until its window is closed;
// without one it plays a script that opens its menus, uses the font bar's
// combo, edit and list, drags its toolbars about, narrows its window and
// opens a bar's mark, and writes a picture of the screen after each step to
// out/. The bars' layout is saved when the window closes and read when the
// program starts; with --restored the script checks that the layout the
// first script left came back.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bars/customizing/popups.h"
#include "bars/layout.h"
#include "bars/links.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/toolbar.h"
#include "bars/wincontrols.h"
#include "support/session.h"
#include "toolbars.h"
#include "win/driver.h"

using namespace cls;

namespace {

using example::TExampleSession;
using toolbars::TMainForm;
using toolbars::TPageView;

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

// Where the layout is kept when no --layout names a file: out/ for the
// scripted session, the user's configuration folder on a display.
std::string DefaultLayoutFile(bool AHeadless) {
    if (AHeadless) return "out/toolbars.ini";
    if (const char* Config = std::getenv("XDG_CONFIG_HOME"); Config && *Config)
        return std::string(Config) + "/trestle/toolbars.ini";
    if (const char* Home = std::getenv("HOME"); Home && *Home)
        return std::string(Home) + "/.config/trestle/toolbars.ini";
    return "toolbars.ini";
}

// What went wrong reading or writing the layout, on stderr.
struct TLayoutReport {
    bool Failed = false;

    void Problems(bars::TdxBarManager*, const bars::TdxBarLayoutResult& AResult) {
        static const char* const Kinds[] = {"cannot read",    "cannot write",  "missing value",
                                            "bad value",      "unknown item",  "unknown dock site",
                                            "recursive link", "too many bars", "bar failed"};
        for (const bars::TdxBarLayoutProblem& P : AResult.Problems)
            std::fprintf(stderr, "toolbars: layout: %s: %s %s %s\n", Kinds[P.Kind], P.Place.c_str(),
                         P.Value.c_str(), P.Detail.c_str());
        Failed = true;
    }
};

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
            Main->FontBar(),     Main->DrawingBar(),  Main->ColorBar(),      Main->ZoomBar()};
}

// Every bar but Hidden shows on the screen, drawn: not the desktop, nor a
// blank; Hidden is closed, without a window, and its entry in "Вид" is up.
bool BarsShow(TMainForm* Main, bars::TdxBar* Hidden = nullptr) {
    for (bars::TdxBar* Bar : AllBars(Main)) {
        bars::TdxBarButton* Toggle = Main->ToggleOf(Bar);
        if (Bar == Hidden) {
            if (Bar->Visible() || Bar->Control() || (Toggle && Toggle->Down())) return false;
        } else if (!Bar->Visible() || !TExampleSession::ShowsOnScreen(Bar->Control()) ||
                   (Toggle && !Toggle->Down())) {
            return false;
        }
    }
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
        if (Links->Items(I)->Visible() && gfx::IsRectEmpty(&R)) return true;
    }
    return false;
}

bool AnyTruncated(TMainForm* Main) {
    for (bars::TdxBar* Bar : AllBars(Main))
        if (Bar->Control() && Bar->Control()->Truncated()) return true;
    return false;
}

// The form, every floating bar and the Extra windows (open menus, say), with
// a margin, inside the screen.
TRect PictureOfForm(TMainForm* Main, std::initializer_list<TWinControl*> Extra = {}) {
    TRect Part = ScreenRectOf(Main);
    for (bars::TdxBar* Bar : AllBars(Main))
        if (Bar->Control() && Bar->DockingStyle() == bars::dsNone) {
            const TRect R = ScreenRectOf(Bar->Control());
            gfx::UnionRect(&Part, &Part, &R);
        }
    for (TWinControl* Control : Extra) {
        const TRect R = ScreenRectOf(Control);
        if (!gfx::IsRectEmpty(&R)) gfx::UnionRect(&Part, &Part, &R);
    }
    gfx::InflateRect(&Part, 12, 12);
    const TRect Screen{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN),
                       win::GetSystemMetrics(win::SM_CYSCREEN)};
    gfx::IntersectRect(&Part, &Part, &Screen);
    return Part;
}

// Where the script drops "Рисование" to float over the page.
TPoint DrawingDropPoint(TMainForm* Main) {
    return Main->Page()->ClientToScreen(TPoint{150, 270});
}

// "Рисование" floats where the script dropped it; with AStored its window
// stands at the floating place the bar read from the layout.
bool DrawingFloatsOverPage(TMainForm* Main, bool AStored) {
    bars::TdxBar* Bar = Main->DrawingBar();
    const TRect R = ScreenRectOf(Bar->Control());
    const TPoint Drop = DrawingDropPoint(Main);
    return Floats(Main, Bar) && gfx::PtInRect(&R, Drop) &&
           (!AStored || (R.left == Bar->FloatLeft() && R.top == Bar->FloatTop()));
}

// The link of "Подчёркнутый" in "Форматирование", which the script hides
// through the bar's mark.
bars::TdxBarItemLink* UnderlineLink(TMainForm* Main) {
    return Main->FormattingBar()->ItemLinks()->Items(2);
}

// The bars as the first script leaves them when the window closes: "Поиск"
// at the left edge, "Рисование" floating over the page, "Форматирование"
// below "Масштаб" in the side panel without "Подчёркнутый", and "Цвет" closed.
// AStored: read from the layout.
bool BarsAsTheScriptLeftThem(TMainForm* Main, bool AStored) {
    bars::TdxBarManager* Manager = Main->BarManager();
    return BarsShow(Main, Main->ColorBar()) && DockedIn(Main, Main->MainMenuBar(), bars::dsTop) &&
           RowOf(Main->MainMenuBar()) == 0 && DockedIn(Main, Main->StandardBar(), bars::dsTop) &&
           RowOf(Main->StandardBar()) == 1 && DockedIn(Main, Main->FontBar(), bars::dsTop) &&
           RowOf(Main->FontBar()) == 2 && Manager->Bars()->DockControls(bars::dsTop)->GetRowCount() == 3 &&
           DockedIn(Main, Main->SearchBar(), bars::dsLeft) && DrawingFloatsOverPage(Main, AStored) &&
           DockedIn(Main, Main->ZoomBar(), bars::dsTop, Main->SideDock()) && RowOf(Main->ZoomBar()) == 0 &&
           DockedIn(Main, Main->FormattingBar(), bars::dsTop, Main->SideDock()) &&
           RowOf(Main->FormattingBar()) == 1 && !UnderlineLink(Main)->Visible() &&
           UnderlineLink(Main)->GetVisibleIndex() == -1;
}

// The toolbars popup of a right click on "Стандартная" hides "Цвет" and shows
// it again; in customizing mode (switched on in code: the program has no
// customizing form) the customizing popup of a right click on "Сохранить"
// gives it its caption; "Сбросить панель" in the mark's menu of
// "Стандартная", confirmed, puts the bar back as the form resource has it.
template <class FQuick, class FMenu>
void AddPopupScript(TExampleSession& Session, TMainForm* Main, FQuick Quick, FMenu AddRemoveMenu) {
    auto Step = [&Session](std::function<void()> Action) { Session.AddStep(std::move(Action)); };
    auto Save = [Main] { return Main->StandardBar()->ItemLinks()->Items(2); };
    auto Toolbars = [] { return dynamic_cast<bars::TdxBarToolbarsPopup*>(bars::GetActiveBarControl()); };
    auto ClickRow = [&Session](bars::TCustomdxBarControl* Menu, const std::string& Caption) {
        for (int I = 0; Menu && I < Menu->ItemLinks()->VisibleItemCount(); ++I)
            if (Menu->ItemLinks()->VisibleItems(I)->GetCaption() == Caption)
                return TExampleSession::ClickAt(LinkCentre(Menu->ItemLinks()->VisibleItems(I)));
        Session.Fail("no open menu shows \"" + Caption + "\"");
    };
    for (const bool Show : {false, true}) {
        Step([Main] {
            TExampleSession::ClickAt(LinkCentre(Main->StandardBar()->ItemLinks()->Items(0)), true);
        });
        Step([Main, Toolbars, ClickRow, Show, &Session] {
            bars::TdxBarToolbarsPopup* Popup = Toolbars();
            if (!Popup || !TExampleSession::ShowsOnScreen(Popup) || Popup->ItemLinks()->Count() != 8)
                return Session.Fail("a right click on \"Стандартная\" does not open the toolbars popup");
            if (!Show) {
                const TRect Part = PictureOfForm(Main, {Popup});
                Session.Snapshot("toolbars_popup", &Part);
            }
            ClickRow(Popup, "Цвет");
        });
        Step([Main, Show, &Session] {
            if (BarsShow(Main, Show ? nullptr : Main->ColorBar()) != true || bars::GetActiveBarControl())
                Session.Fail(Show ? "the toolbars popup does not show \"Цвет\" again"
                                  : "the toolbars popup does not hide \"Цвет\"");
        });
    }

    Step([Main, Save] {
        Main->BarManager()->SetIsCustomizing(true);
        TExampleSession::ClickAt(LinkCentre(Save()), true);
    });
    Step([Main, ClickRow, &Session] {
        bars::TdxBarCustomizingPopup* Popup = bars::GetBarCustomizingPopup();
        if (!Popup || !TExampleSession::ShowsOnScreen(Popup))
            return Session.Fail(
                "a right click on \"Сохранить\" while customizing opens no customizing popup");
        const TRect Part = PictureOfForm(Main, {Popup});
        Session.Snapshot("toolbars_custpopup", &Part);
        ClickRow(Popup, "Image &and Text");
    });
    Step([Main, Save, &Session] {
        Main->BarManager()->SetIsCustomizing(false);
        if (Save()->GetPaintStyle() != bars::psCaptionGlyph || Save()->Control() == nullptr)
            Session.Fail(
                "\"Image and Text\" of the customizing popup does not show the caption of \"Сохранить\"");
    });

    // The reset: the mark's drop-down, its menu, the reset row and the confirmation.
    auto Confirmations = std::make_shared<std::vector<std::string>>();
    Step([Main, Confirmations] {
        win::SetMessageBoxHandler(
            [Confirmations](win::HWND, const std::string& Text, const std::string&, win::UINT) {
                Confirmations->push_back(Text);
                return win::IDOK;
            });
        TExampleSession::ClickAt(Centre(Main->StandardBar()->Control()->GetMarkScreenRect()));
    });
    Step([Quick, &Session] {
        bars::TdxBarQuickControl* Q = Quick();
        if (!Q) return Session.Fail("a click on the mark of \"Стандартная\" does not drop its menu down");
        for (int I = 0; I < Q->ItemLinks()->VisibleItemCount(); ++I)
            if (Q->ItemLinks()->VisibleItems(I)->Item() == Q->SubItem())
                return TExampleSession::ClickAt(LinkCentre(Q->ItemLinks()->VisibleItems(I)));
        Session.Fail("the mark's drop-down has no \"Add or Remove Buttons\"");
    });
    Step([AddRemoveMenu, ClickRow] { ClickRow(AddRemoveMenu(), "&Сбросить панель"); });
    Step([Main, Save, Confirmations, &Session] {
        win::SetMessageBoxHandler(nullptr);
        if (Confirmations->size() != 1 ||
            Confirmations->front() != "Отменить изменения панели «Стандартная»?" ||
            Save()->GetPaintStyle() != bars::psStandard || !Save()->UserDefine().Empty() ||
            Main->StandardBar()->ItemLinks()->Count() != 9 || bars::GetActiveBarControl() || !BarsShow(Main))
            Session.Fail("\"Сбросить панель\", confirmed, does not put \"Стандартная\" back");
    });
}

// The script: look at the bars as the program put them, open "Файл" and the
// print button's drop-down menu, show the about box, make the text italic
// and blue, type a size into the font bar's edit, choose a typeface from its
// combo's list and a case from its list item, drag "Поиск" from the top to
// the left site, drag "Рисование" out to float over the page, shrink the
// window by its right edge until a bar shows its mark, hide "Подчёркнутый"
// through the mark's drop-down, widen the window again, drag
// "Форматирование" into the side panel, close "Цвет" and the window.
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
               RowOf(Main->SearchBar()) == 2 && DockedIn(Main, Main->FontBar(), bars::dsTop) &&
               RowOf(Main->FontBar()) == 2 && DockedIn(Main, Main->DrawingBar(), bars::dsLeft) &&
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

    // "Размер:": a click in its text, the old size erased, 14 typed and
    // confirmed with Enter.
    auto SizeControl = [Main] {
        return dynamic_cast<bars::TdxBarEditControl*>(Main->SizeEdit()->Links(0)->Control());
    };
    Step([SizeControl, &Session] {
        bars::TdxBarEditControl* Control = SizeControl();
        if (!Control) return Session.Fail("\"Размер:\" has no edit control");
        TExampleSession::ClickAt(Control->Parent()->ClientToScreen(Centre(Control->GetEditWindowRect())));
    });
    Step([] {
        TExampleSession::PressKey(win::VK_END);
        for (int I = 0; I < 3; ++I) TExampleSession::PressKey(win::VK_BACK);
    });
    Step([] {
        TExampleSession::PressKey('1');
        TExampleSession::PressKey('4');
    });
    Step([Main, SizeControl, &Session] {
        bars::TdxBarEditControl* Control = SizeControl();
        if (!Control || !Control->Focused() || Main->SizeEdit()->GetCurrentText() != "14" ||
            Main->SizeEdit()->Text() != "12")
            Session.Fail("\"14\" typed into \"Размер:\" does not show in its editor");
        TExampleSession::PressKey(win::VK_RETURN);
    });
    Look("\"14\" typed into \"Размер:\" and Enter make the text larger", [Main, SizeControl] {
        bars::TdxBarEditControl* Control = SizeControl();
        return Control && !Control->Focused() && !win::IsWindowVisible(Control->Handle()) &&
               Main->SizeEdit()->Text() == "14" && Main->Page()->FontSize() == 14 &&
               !bars::GetActiveBarControl();
    });

    // "Шрифт:": its arrow drops the list of typefaces down under it; a
    // click on "DejaVu Serif" chooses it.
    auto FontControl = [Main] {
        return dynamic_cast<bars::TdxBarComboControl*>(Main->FontCombo()->Links(0)->Control());
    };
    Step([FontControl, &Session] {
        bars::TdxBarComboControl* Control = FontControl();
        if (!Control) return Session.Fail("\"Шрифт:\" has no combo control");
        TExampleSession::ClickAt(Control->Parent()->ClientToScreen(Centre(Control->ArrowRect())));
    });
    Step([Main, FontControl, &Session] {
        bars::TdxBarComboControl* Control = FontControl();
        bars::TdxBarDropDownListBox* List = Main->FontCombo()->DropDownList();
        const TRect Combo = Control ? Control->Parent()->GetItemControlScreenRect(Control) : TRect{};
        const TRect R = ScreenRectOf(List);
        if (!Control || !Control->DroppedDown() || !List->HandleAllocated() ||
            !TExampleSession::ShowsOnScreen(List) || List->Count() != 3 || R.top != Combo.bottom ||
            R.left < Combo.left || R.right > Combo.right + 40)
            Session.Fail("the arrow of \"Шрифт:\" does not drop its list down under it");
        const TRect Part = PictureOfForm(Main, {List});
        Session.Snapshot("toolbars_combo", &Part);
    });
    Step([Main] {
        bars::TdxBarDropDownListBox* List = Main->FontCombo()->DropDownList();
        if (!List->HandleAllocated()) return;
        TExampleSession::ClickAt(List->ClientToScreen(Centre(List->ItemRect(1))));
    });
    Look("\"DejaVu Serif\" chosen from the list of \"Шрифт:\" sets the page's typeface", [Main, FontControl] {
        bars::TdxBarComboControl* Control = FontControl();
        return Control && !Control->DroppedDown() && !Main->FontCombo()->DropDownList()->HandleAllocated() &&
               Main->FontCombo()->ItemIndex() == 1 && Main->FontCombo()->Text() == "DejaVu Serif" &&
               Main->Page()->FontName() == "DejaVu Serif" && !bars::GetActiveBarControl();
    });

    // "Регистр" opens its entries, numbered, the current one checked; a
    // click on the third turns the heading into capitals.
    bars::TdxBarItemLinks* CaseLinks = Main->CaseList()->ItemLinks();
    Step([Main] { TExampleSession::ClickAt(LinkCentre(Main->FontBar()->ItemLinks()->Items(2))); });
    Step([Main, CaseLinks, &Session] {
        bars::TCustomdxBarControl* Menu = CaseLinks->BarControl();
        bool Numbered = Menu && TExampleSession::ShowsOnScreen(Menu) && CaseLinks->VisibleItemCount() == 3;
        for (int I = 0; Numbered && I < 3; ++I)
            Numbered =
                CaseLinks->VisibleItems(I)->GetCaption().starts_with("&" + std::to_string(I + 1) + " ");
        if (!Numbered || !Main->CaseList()->Buttons(0)->Down())
            Session.Fail("\"Регистр\" does not open its numbered entries with the current one checked");
        const TRect Part = PictureOfForm(Main, {Menu});
        Session.Snapshot("toolbars_list", &Part);
    });
    Step([CaseLinks] {
        if (CaseLinks->VisibleItemCount() == 3)
            TExampleSession::ClickAt(LinkCentre(CaseLinks->VisibleItems(2)));
    });
    Look("\"ВСЕ ПРОПИСНЫЕ\" chosen from \"Регистр\" turns the heading into capitals", [Main, CaseLinks] {
        return !CaseLinks->BarControl() && Main->CaseList()->ItemIndex() == 2 &&
               Main->Page()->HeadingCase() == TPageView::hcUpper &&
               Main->Page()->Heading() == "ПАНЕЛИ ИНСТРУМЕНТОВ" && !bars::GetActiveBarControl();
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
               DockedIn(Main, Main->DrawingBar(), bars::dsLeft) && RowOf(Main->FontBar()) == 2 &&
               Manager->Bars()->DockControls(bars::dsTop)->GetRowCount() == 3;
    });

    // "Рисование" is torn off and floats over the page.
    Move([Main] { return GripPoint(Main->DrawingBar()); });
    Step([] { TExampleSession::PressMouse(); });
    Move([Main] { return DrawingDropPoint(Main); });
    Step([] { TExampleSession::ReleaseMouse(); });
    Look("\"Рисование\" is dragged out of the left site and floats", [Main, Manager] {
        return BarsShow(Main) && !Manager->Bars()->Dragging() && DrawingFloatsOverPage(Main, false) &&
               DockedIn(Main, Main->SearchBar(), bars::dsLeft);
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

    // A click on the mark of "Форматирование" drops down the links that did
    // not fit and "Add or Remove Buttons"; in that sub item's menu a click on
    // the row of "Подчёркнутый" hides it from the bar.
    auto Quick = [] { return bars::TdxBarQuickControl::OpenQuickControl(); };
    auto AddRemoveMenu = [Quick]() -> bars::TCustomdxBarControl* {
        bars::TdxBarQuickControl* Q = Quick();
        return Q && Q->SubItem() ? Q->SubItem()->ItemLinks()->BarControl() : nullptr;
    };
    Step([Main, &Session] {
        if (!ShowsMark(Main->FormattingBar())) return Session.Fail("\"Форматирование\" shows no mark");
        TExampleSession::ClickAt(Centre(Main->FormattingBar()->Control()->GetMarkScreenRect()));
    });
    Step([Main, Quick, &Session] {
        bars::TdxBarQuickControl* Q = Quick();
        if (!Q || Q->Toolbar() != Main->FormattingBar()->Control() || !TExampleSession::ShowsOnScreen(Q))
            return Session.Fail("a click on the mark of \"Форматирование\" does not drop its links down");
        bars::TdxBarItemLinks* Links = Q->ItemLinks();
        for (int I = 0; I < Links->VisibleItemCount(); ++I)
            if (Links->VisibleItems(I)->Item() == Q->SubItem())
                return TExampleSession::ClickAt(LinkCentre(Links->VisibleItems(I)));
        Session.Fail("the mark's drop-down has no \"Add or Remove Buttons\"");
    });
    Step([Main, AddRemoveMenu, &Session] {
        bars::TCustomdxBarControl* Menu = AddRemoveMenu();
        if (!Menu || !TExampleSession::ShowsOnScreen(Menu))
            return Session.Fail("\"Add or Remove Buttons\" does not open its menu");
        bars::TdxBarItemLinks* Rows = Menu->ItemLinks();
        for (int I = 0; I < Rows->VisibleItemCount(); ++I) {
            auto* Row = dynamic_cast<bars::TdxBarQuickCustItemControl*>(Rows->VisibleItems(I)->Control());
            if (Row && Row->GetSourceLink() == UnderlineLink(Main))
                return TExampleSession::ClickAt(LinkCentre(Rows->VisibleItems(I)));
        }
        Session.Fail("\"Add or Remove Buttons\" has no row for \"Подчёркнутый\"");
    });
    Step([Main, Quick, AddRemoveMenu, &Session] {
        bars::TdxBarQuickControl* Q = Quick();
        bars::TCustomdxBarControl* Menu = AddRemoveMenu();
        if (!Q || !Menu || !TExampleSession::ShowsOnScreen(Q) || !TExampleSession::ShowsOnScreen(Menu) ||
            UnderlineLink(Main)->Visible())
            Session.Fail("the row of \"Подчёркнутый\" does not hide it with the menu left open");
        const TRect Part = PictureOfForm(Main, {Q, Menu});
        Session.Snapshot("toolbars_quick", &Part);
    });
    Step([] { TExampleSession::PressKey(win::VK_ESCAPE); });
    Step([] { TExampleSession::PressKey(win::VK_ESCAPE); });
    Look("Escape closes the menu and the mark's drop-down; \"Подчёркнутый\" stays hidden", [Main, Quick] {
        return !Quick() && !bars::GetActiveBarControl() &&
               Main->FormattingBar()->Control()->MarkState() == 0 && !UnderlineLink(Main)->Visible() &&
               BarsShow(Main);
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
    });

    AddPopupScript(Session, Main, Quick, AddRemoveMenu);

    // "Цвет" closed by its close button; the window closes and saves the layout.
    Step([Main] {
        const TRect Window = ScreenRectOf(Main->ColorBar()->Control());
        TRect Close = Main->ColorBar()->Control()->GetCloseButtonRect();
        gfx::OffsetRect(&Close, Window.left, Window.top);
        TExampleSession::ClickAt(Centre(Close));
    });
    Step([Main, &Session] {
        if (!BarsAsTheScriptLeftThem(Main, false)) Session.Fail("\"Цвет\" is not closed by its close button");
        Main->Close();
    });
    Session.SetScriptEndsProgram(true);
}

// The second script: the program started from the layout the first one
// saved; the bars stand where it left them.
void AddRestoredScript(TExampleSession& Session, TMainForm* Main) {
    Session.AddStep([&Session, Main] {
        if (!BarsAsTheScriptLeftThem(Main, true))
            Session.Fail("the bars do not stand where the first session left them");
        const TRect Part = PictureOfForm(Main);
        Session.Snapshot("toolbars_restored", &Part);
        Main->Close();
    });
    Session.SetScriptEndsProgram(true);
}

void Usage(const char* Program) {
    std::fprintf(
        stderr,
        "usage: %s [--style standard|enhanced|flat|xp|office11] [--theme classic|blue|olive|silver]\n"
        "          [--layout FILE] [--restored]\n"
        "  --layout FILE  where the bars' layout is kept (default: out/toolbars.ini without a\n"
        "                 display, else $XDG_CONFIG_HOME/trestle/toolbars.ini)\n"
        "  --restored     without a display: start from the layout the first script saved and\n"
        "                 check it; without it the script removes the file and starts from\n"
        "                 the program's own layout\n",
        Program);
}

} // namespace

int main(int argc, char** argv) {
    bars::TdxBarManagerStyle Style = bars::bmsOffice11;
    std::string LayoutFile;
    bool Restored = false;
    win::ThemeScheme Theme = win::ThemeScheme::Blue;
    for (int I = 1; I < argc; ++I) {
        if (std::strcmp(argv[I], "--style") == 0 && I + 1 < argc && ParseStyle(argv[I + 1], Style)) {
            ++I;
        } else if (std::strcmp(argv[I], "--layout") == 0 && I + 1 < argc && *argv[I + 1]) {
            LayoutFile = argv[++I];
        } else if (std::strcmp(argv[I], "--restored") == 0) {
            Restored = true;
        } else if (!TExampleSession::TakeThemeOption(I, argc, argv, Theme)) {
            Usage(argv[0]);
            return 2;
        }
    }

    TExampleSession Session("toolbars", true, Theme);
    if (LayoutFile.empty()) LayoutFile = DefaultLayoutFile(Session.Headless());
    std::error_code Error;
    if (Session.Headless() && !Restored) {
        // The first script starts from the program's own layout.
        std::filesystem::remove(LayoutFile, Error);
    } else if (Session.Headless() && !std::filesystem::exists(LayoutFile)) {
        std::fprintf(stderr, "toolbars: no saved layout in %s: run the first session first\n",
                     LayoutFile.c_str());
        return 1;
    }
    if (const std::filesystem::path Folder = std::filesystem::path(LayoutFile).parent_path(); !Folder.empty())
        std::filesystem::create_directories(Folder, Error);

    cls::SetResStringLocalizer(toolbars::RussianText);
    Application->SetTitle("Trestle");
    TMainForm* Main = nullptr;
    Application->CreateForm(TMainForm::ClassInfo(), Main);
    TLayoutReport Report;
    Main->BarManager()->SetOnLayoutProblems(bars::TdxBarLayoutEvent(&Report, &TLayoutReport::Problems));
    Main->BarManager()->SetStyle(Style);
    Main->StoreLayoutIn(LayoutFile);
    if (Session.Headless()) {
        if (Restored)
            AddRestoredScript(Session, Main);
        else
            AddScript(Session, Main);
    }
    int Result = Session.Run(); // until the window closes
    DoneApplication();          // the form goes and saves the layout
    if (Session.Headless() && !std::filesystem::exists(LayoutFile))
        std::fprintf(stderr, "toolbars: the layout was not stored in %s\n", LayoutFile.c_str());
    if (Session.Headless() && (Report.Failed || !std::filesystem::exists(LayoutFile))) Result = 1;
    return Result;
}
