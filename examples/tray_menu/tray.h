// The tray program: a main window hidden at start, the program's icon in the
// notification area of the strip the screen reserves below its work area, and
// the icon's popup menu, run by a bar manager in the Office11 style.
#pragma once

#include <string>

#include "bars/button.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/subitem.h"
#include "classes/forms.h"

namespace tray {

// What the notification area sends the window of its icon; LParam is the
// mouse message that happened over the icon.
inline constexpr win::UINT WM_TRAYICON = win::WM_USER + 1;

// The program's icon: a blue disc with a white T, at any size.
void DrawProgramIcon(cls::TCanvas* Canvas, const cls::TRect& R);

// --- For scripts ---
// The window's rectangle on the screen.
cls::TRect ScreenRectOf(cls::TWinControl* Control);
// The middle of a link's entry in its open menu, on the screen.
cls::TPoint EntryCentre(bars::TdxBarItemLink* Link);
// The caption of the selected entry of the active menu ("" when none).
std::string SelectedEntry();

// The icon in the notification area. Its mouse messages go to the window it
// reports to, as WM_TRAYICON.
class TTrayIcon : public cls::TCustomControl {
    TRESTLE_CLASS(TTrayIcon, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;
    static constexpr int Size = 16;

    void SetReportTo(win::HWND Value) { FReportTo = Value; }

protected:
    void Paint() override;
    void WndProc(cls::TMessage& Message) override;

private:
    win::HWND FReportTo = nullptr;
};

// The strip the window system reserves beside the work area of the primary
// monitor, drawn as a task bar with a notification area at its far end (the
// bottom right when the strip is at the bottom). It never takes activation.
class TTrayBar : public cls::TForm {
    TRESTLE_CLASS(TTrayBar, cls::TForm)
public:
    explicit TTrayBar(cls::TComponent* AOwner);

    TTrayIcon* Icon() const { return FIcon; }
    // Covers the reserved strip again (after the screen changed).
    void PlaceInStrip();

protected:
    void WndProc(cls::TMessage& Message) override;

private:
    cls::TCustomControl* FStrip;
    TTrayIcon* FIcon;
};

// A heading and a text beside the program's icon.
class TTextView : public cls::TCustomControl {
    TRESTLE_CLASS(TTextView, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

    void SetText(std::string Heading, std::string Body);

protected:
    void Paint() override;

private:
    std::string FHeading;
    std::string FBody;
};

// A push button drawn by the program; a click closes its form with mrOk.
class TOkButton : public cls::TCustomControl {
    TRESTLE_CLASS(TOkButton, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override;
    void MouseDown(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) override;
    void MouseUp(cls::TMouseButton Button, cls::TShiftState Shift, int X, int Y) override;
    void Click() override;

private:
    bool FPressed = false;
};

// The about box: the icon, what the program is, and an OK button; Enter and
// Esc close it too.
class TAboutForm : public cls::TForm {
    TRESTLE_CLASS(TAboutForm, cls::TForm)
public:
    explicit TAboutForm(cls::TComponent* AOwner);

    TOkButton* OkButton() const { return FOkButton; }

protected:
    void KeyDown(win::WORD& Key, cls::TShiftState Shift) override;

private:
    TOkButton* FOkButton;
};

// The main window: hidden at start, shown and hidden from the tray menu.
// Closing it only hides it; the menu's "Выход" ends the program. A right
// click on it opens its context menu ("Скрыть", "О программе..."), linked
// to the window by the bar manager.
class TMainForm : public cls::TForm {
    TRESTLE_CLASS(TMainForm, cls::TForm)
public:
    explicit TMainForm(cls::TComponent* AOwner);

    bars::TdxBarManager* BarManager() const { return FBarManager; }
    bars::TdxBarPopupMenu* TrayMenu() const { return FTrayMenu; }
    TTrayBar* TrayBar() const { return FTrayBar; }
    // The about box while it shows, else nullptr.
    TAboutForm* About() const { return FAbout; }
    bars::TdxBarButton* OpenButton() const { return FOpenButton; }
    // The menu's links: "Открыть", "Справка", its "О программе...", "Выход".
    bars::TdxBarItemLink* OpenLink() const { return FOpenLink; }
    bars::TdxBarItemLink* HelpLink() const { return FHelpLink; }
    bars::TdxBarItemLink* AboutLink() const { return FAboutLink; }
    bars::TdxBarItemLink* ExitLink() const { return FExitLink; }
    // The main window's context menu and its links: "Скрыть", "О программе...".
    bars::TdxBarPopupMenu* ContextMenu() const { return FContextMenu; }
    bars::TdxBarItemLink* HideLink() const { return FHideLink; }
    bars::TdxBarItemLink* ContextAboutLink() const { return FContextAboutLink; }

protected:
    void WndProc(cls::TMessage& Message) override;
    void DoShow() override;
    void DoHide() override;
    void DoClose(cls::TCloseAction& Action) override;

private:
    void OpenClick(cls::TObject* Sender);
    void AboutClick(cls::TObject* Sender);
    void ExitClick(cls::TObject* Sender);
    void HideClick(cls::TObject* Sender);

    bars::TdxBarManager* FBarManager;
    bars::TdxBarPopupMenu* FTrayMenu;
    bars::TdxBarButton* FOpenButton;
    bars::TdxBarItemLink* FOpenLink;
    bars::TdxBarItemLink* FHelpLink;
    bars::TdxBarItemLink* FAboutLink;
    bars::TdxBarItemLink* FExitLink;
    bars::TdxBarPopupMenu* FContextMenu;
    bars::TdxBarItemLink* FHideLink;
    bars::TdxBarItemLink* FContextAboutLink;
    TTrayBar* FTrayBar;
    TAboutForm* FAbout = nullptr;
    bool FExiting = false;
};

} // namespace tray
