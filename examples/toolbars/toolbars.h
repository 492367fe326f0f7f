// The toolbar program: a small editor's window with a main menu, toolbars
// docked along its top and left edges, a floating toolbar and a dock site of
// its own in the side panel, run by a bar manager. The commands act on the
// page in the middle: its font, size, style, alignment, colour, zoom and the
// case of its heading. The manager keeps the bars' layout in an INI file.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/comboitems.h"
#include "bars/containeritems.h"
#include "bars/dockcontrol.h"
#include "bars/edititems.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/subitem.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "classes/resstrings.h"

namespace toolbars {

// The library's texts the program shows, in Russian; nothing for the others.
std::optional<std::string> RussianText(const cls::TResStringRec& ARec);

// The page the commands act on.
class TPageView : public cls::TCustomControl {
    TRESTLE_CLASS(TPageView, cls::TCustomControl)
public:
    using TCustomControl::TCustomControl;

    // The typeface's family name.
    const std::string& FontName() const { return FFontName; }
    void SetFontName(std::string Value);
    // The body text's height in pixels at 100 %; the heading is half again as high.
    int FontSize() const { return FFontSize; }
    void SetFontSize(int Value);
    // The heading as written, in small letters or in capitals.
    enum THeadingCase { hcAsWritten, hcLower, hcUpper };
    THeadingCase HeadingCase() const { return FHeadingCase; }
    void SetHeadingCase(THeadingCase Value);
    // The heading in its case.
    std::string Heading() const;
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
    std::string FFontName = "DejaVu Sans";
    int FFontSize = 12;
    THeadingCase FHeadingCase = hcAsWritten;
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

    const std::string& Heading() const { return FHeading; }
    void SetHeading(const std::string& Value);
    const std::string& Body() const { return FBody; }
    void SetBody(const std::string& Value);
    void SetText(std::string Heading, std::string Body);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

protected:
    void Paint() override;

private:
    std::string FHeading;
    std::string FBody;
};

// The side panel: it holds the heading, the dock site and the note, and
// clips them (its own painting must not cover the bars in its dock site).
class TSidePanel : public cls::TCustomControl {
    TRESTLE_CLASS(TSidePanel, cls::TCustomControl)
public:
    explicit TSidePanel(cls::TComponent* AOwner);
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

// The main form, read from its form resource (toolbars.dfm).
class TMainForm : public cls::TForm {
    TRESTLE_CLASS(TMainForm, cls::TForm)
public:
    explicit TMainForm(cls::TComponent* AOwner);
    // The click and change handlers the form resource names.
    void GetPublishedMethods(cls::TPublishedMethods& AList) override;

    // The manager reads the layout from the INI file AFileName now (when the
    // file holds one) and writes it there when the form goes.
    void StoreLayoutIn(const std::string& AFileName);

    bars::TdxBarManager* BarManager() const { return FBarManager; }
    TPageView* Page() const { return FPage; }
    // The dock site of the side panel.
    bars::TdxBarDockControl* SideDock() const { return FSideDock; }

    // The bars: the main menu, five toolbars docked at the top and the left,
    // a floating one and the one in the side panel.
    bars::TdxBar* MainMenuBar() const { return FMainMenuBar; }
    bars::TdxBar* StandardBar() const { return FStandardBar; }
    bars::TdxBar* FormattingBar() const { return FFormattingBar; }
    bars::TdxBar* SearchBar() const { return FSearchBar; }
    bars::TdxBar* FontBar() const { return FFontBar; }
    bars::TdxBar* DrawingBar() const { return FDrawingBar; }
    bars::TdxBar* ColorBar() const { return FColorBar; }
    bars::TdxBar* ZoomBar() const { return FZoomBar; }

    // The main menu's "Файл" and "Справка", and the print button with its
    // drop-down menu.
    bars::TdxBarSubItem* FileMenu() const { return FFileMenu; }
    bars::TdxBarSubItem* HelpMenu() const { return FHelpMenu; }
    bars::TdxBarButton* PrintButton() const { return FPrintButton; }
    // The font bar's typeface combo, size edit and heading case list.
    bars::TdxBarCombo* FontCombo() const { return FFontCombo; }
    bars::TdxBarEdit* SizeEdit() const { return FSizeEdit; }
    bars::TdxBarListItem* CaseList() const { return FCaseList; }
    // The entry of "Вид | Панели инструментов" that shows and hides ABar.
    bars::TdxBarButton* ToggleOf(bars::TdxBar* ABar) const;
    // The about box while it shows, else nullptr.
    TAboutForm* About() const { return FAbout; }

protected:
    // Takes the components the form resource made.
    void Loaded() override;

private:
    void CommandClick(cls::TObject* Sender);
    void StyleClick(cls::TObject* Sender);
    void AlignClick(cls::TObject* Sender);
    void ToolClick(cls::TObject* Sender);
    void ColorClick(cls::TObject* Sender);
    void ZoomClick(cls::TObject* Sender);
    void FontChange(cls::TObject* Sender);
    void SizeChange(cls::TObject* Sender);
    void CaseClick(cls::TObject* Sender);
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
    bars::TdxBar* FFontBar = nullptr;
    bars::TdxBar* FDrawingBar = nullptr;
    bars::TdxBar* FColorBar = nullptr;
    bars::TdxBar* FZoomBar = nullptr;
    bars::TdxBarSubItem* FFileMenu = nullptr;
    bars::TdxBarSubItem* FHelpMenu = nullptr;
    TAboutForm* FAbout = nullptr;
    bars::TdxBarButton* FPrintButton = nullptr;
    bars::TdxBarButton* FZoomButton = nullptr;
    bars::TdxBarCombo* FFontCombo = nullptr;
    bars::TdxBarEdit* FSizeEdit = nullptr;
    bars::TdxBarListItem* FCaseList = nullptr;
    // The entries of "Вид | Панели инструментов" and their bars.
    std::vector<std::pair<bars::TdxBar*, bars::TdxBarButton*>> FToggles;
    std::string FTool;
};

} // namespace toolbars
