// The toolbar program: a small editor's window with a main menu, toolbars
// docked along its top and left edges, a floating toolbar and a dock site of
// its own in the side panel, run by a bar manager. The commands act on the
// page in the middle: its font style, alignment, colour and zoom.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/dockcontrol.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/subitem.h"
#include "classes/forms.h"
#include "classes/imagelist.h"

namespace toolbars {

// The page the commands act on.
class TPageView : public cls::TCustomControl {
    TRESTLE_CLASS(TPageView, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

    cls::TFontStyles TextStyle() const { return FTextStyle; }
    void SetTextStyle(cls::TFontStyles Value);
    // tfLeft, tfCenter or tfRight.
    cls::TTextFormats Alignment() const { return FAlignment; }
    void SetAlignment(cls::TTextFormats Value);
    cls::TColor TextColor() const { return FTextColor; }
    void SetTextColor(cls::TColor Value);
    // In percent.
    int Zoom() const { return FZoom; }
    void SetZoom(int Value);
    // The line at the bottom of the page: the tool and the last command.
    void SetStatus(std::string Value);

protected:
    void Paint() override;

private:
    cls::TFontStyles FTextStyle;
    cls::TTextFormats FAlignment = cls::tfLeft;
    cls::TColor FTextColor = cls::clBlack;
    int FZoom = 100;
    std::string FStatus;
};

// A band with a heading, at the top of the side panel.
class THeading : public cls::TCustomControl {
    TRESTLE_CLASS(THeading, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override;
};

// A text, word-wrapped, under a heading in bold when there is one.
class TTextBox : public cls::TCustomControl {
    TRESTLE_CLASS(TTextBox, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

    void SetText(std::string Heading, std::string Body);

protected:
    void Paint() override;

private:
    std::string FHeading;
    std::string FBody;
};

// What the program is; a click or a key closes it.
class TAboutForm : public cls::TForm {
    TRESTLE_CLASS(TAboutForm, cls::TForm)
public:
    explicit TAboutForm(cls::TComponent* AOwner);

protected:
    void KeyDown(win::WORD& Key, cls::TShiftState Shift) override;

private:
    void TextClick(cls::TObject* Sender);
};

class TMainForm : public cls::TForm {
    TRESTLE_CLASS(TMainForm, cls::TForm)
public:
    explicit TMainForm(cls::TComponent* AOwner);

    bars::TdxBarManager* BarManager() const { return FBarManager; }
    TPageView* Page() const { return FPage; }
    // The dock site of the side panel.
    bars::TdxBarDockControl* SideDock() const { return FSideDock; }

    // The bars: the main menu, four toolbars docked at the top and the left,
    // a floating one and the one in the side panel.
    bars::TdxBar* MainMenuBar() const { return FMainMenuBar; }
    bars::TdxBar* StandardBar() const { return FStandardBar; }
    bars::TdxBar* FormattingBar() const { return FFormattingBar; }
    bars::TdxBar* SearchBar() const { return FSearchBar; }
    bars::TdxBar* DrawingBar() const { return FDrawingBar; }
    bars::TdxBar* ColorBar() const { return FColorBar; }
    bars::TdxBar* ZoomBar() const { return FZoomBar; }

    // The main menu's "Файл" and "Справка", and the print button with its
    // drop-down menu.
    bars::TdxBarSubItem* FileMenu() const { return FFileMenu; }
    bars::TdxBarSubItem* HelpMenu() const { return FHelpMenu; }
    bars::TdxBarButton* PrintButton() const { return FPrintButton; }
    // The about box while it shows, else nullptr.
    TAboutForm* About() const { return FAbout; }

private:
    bars::TdxBar* AddBar(const std::string& ACaption, bars::TdxBarDockingStyle AStyle, int ARow);
    bars::TdxBarButton* AddButton(const std::string& ACaption, int AImageIndex);
    bars::TdxBarButton* AddCheck(const std::string& ACaption, int AImageIndex, int AGroupIndex);
    // The main menu's sub items and the toolbars' links.
    void BuildMenu();
    void BuildToolbars();
    void ShowBars();

    void CommandClick(cls::TObject* Sender);
    void StyleClick(cls::TObject* Sender);
    void AlignClick(cls::TObject* Sender);
    void ToolClick(cls::TObject* Sender);
    void ColorClick(cls::TObject* Sender);
    void ZoomClick(cls::TObject* Sender);
    void ToolbarClick(cls::TObject* Sender);
    void AboutClick(cls::TObject* Sender);
    void ExitClick(cls::TObject* Sender);
    // A bar was shown or closed: its entry in "Вид" follows.
    void BarVisibleChange(bars::TdxBarManager* Sender, bars::TdxBar* ABar);
    void ShowStatus(const std::string& ACommand);

    bars::TdxBarManager* FBarManager;
    cls::TImageList* FImages;
    TPageView* FPage;
    bars::TdxBarDockControl* FSideDock;
    bars::TdxBar* FMainMenuBar = nullptr;
    bars::TdxBar* FStandardBar = nullptr;
    bars::TdxBar* FFormattingBar = nullptr;
    bars::TdxBar* FSearchBar = nullptr;
    bars::TdxBar* FDrawingBar = nullptr;
    bars::TdxBar* FColorBar = nullptr;
    bars::TdxBar* FZoomBar = nullptr;
    bars::TdxBarSubItem* FFileMenu = nullptr;
    bars::TdxBarSubItem* FHelpMenu = nullptr;
    TAboutForm* FAbout = nullptr;
    bars::TdxBarButton* FPrintButton = nullptr;
    bars::TdxBarButton* FZoomButton = nullptr;
    // The entries of "Вид | Панели инструментов" and their bars.
    std::vector<std::pair<bars::TdxBar*, bars::TdxBarButton*>> FToggles;
    std::string FTool;
};

} // namespace toolbars
