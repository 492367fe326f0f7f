#include "toolbars.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "bars/links.h"
#include "bars/strings.h"
#include "bars/toolbar.h"
#include "classes/shortcuts.h"
#include "classes/sysutils.h"
#include "icons.h"

using namespace cls;

namespace toolbars {

namespace {

struct TSwatch {
    const char* Caption;
    TColor Color;
};

const TSwatch kSwatches[] = {
    {"Чёрный", clBlack},
    {"Красный", static_cast<TColor>(gfx::RGB(200, 30, 30))},
    {"Зелёный", static_cast<TColor>(gfx::RGB(20, 130, 50))},
    {"Синий", static_cast<TColor>(gfx::RGB(30, 70, 190))},
    {"Оранжевый", static_cast<TColor>(gfx::RGB(230, 130, 20))},
    {"Фиолетовый", static_cast<TColor>(gfx::RGB(130, 50, 160))},
};

constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 200};

constexpr const char* kFamilies[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 48;
// In the order of TPageView::THeadingCase.
constexpr const char* kCases[] = {"Как в предложениях", "все строчные", "ВСЕ ПРОПИСНЫЕ"};

// The caption without its accelerator's "&" and its trailing "...".
std::string PlainCaption(std::string Caption) {
    Caption.erase(std::remove(Caption.begin(), Caption.end(), '&'), Caption.end());
    if (Caption.size() > 3 && Caption.ends_with("...")) Caption.resize(Caption.size() - 3);
    return Caption;
}

TShortCut Ctrl(std::uint16_t Key) {
    return ShortCut(Key, TShiftState{ssCtrl});
}

} // namespace

std::optional<std::string> RussianText(const TResStringRec& ARec) {
    static const struct {
        const TResStringRec* Rec;
        const char* Text;
    } Texts[] = {
        {&bars::dxSBAR_ADDREMOVEBUTTONS, "&Добавить или удалить кнопки"},
        {&bars::dxSBAR_CUSTOMIZEITEM, "&Настройка..."},
        {&bars::dxSBAR_RESETTOOLBAR, "&Сбросить панель"},
        {&bars::dxSBAR_MOREBUTTONS, "Другие кнопки"},
        {&bars::dxSBAR_CONFIRMRESETTOOLBAR, "Отменить изменения панели «%s»?"},
    };
    for (const auto& T : Texts)
        if (T.Rec->Identifier == ARec.Identifier) return T.Text;
    return std::nullopt;
}

// --- TPageView ---

void TPageView::SetFontName(std::string Value) {
    FFontName = std::move(Value);
    Invalidate();
}

void TPageView::SetFontSize(int Value) {
    FFontSize = Value;
    Invalidate();
}

void TPageView::SetHeadingCase(THeadingCase Value) {
    FHeadingCase = Value;
    Invalidate();
}

std::string TPageView::Heading() const {
    const std::string Heading = "Панели инструментов";
    switch (FHeadingCase) {
        case hcLower:
            return AnsiLowerCase(Heading);
        case hcUpper:
            return AnsiUpperCase(Heading);
        case hcAsWritten:
            break;
    }
    return Heading;
}

void TPageView::SetTextStyle(TFontStyles Value) {
    FTextStyle = Value;
    Invalidate();
}

void TPageView::SetAlignment(TTextFormats Value) {
    FAlignment = Value;
    Invalidate();
}

void TPageView::SetTextColor(TColor Value) {
    FTextColor = Value;
    Invalidate();
}

void TPageView::SetZoom(int Value) {
    FZoom = Value;
    Invalidate();
}

void TPageView::SetStatus(std::string Value) {
    FStatus = std::move(Value);
    Invalidate();
}

void TPageView::Paint() {
    const TRect Client = ClientRect();
    Canvas()->Brush()->SetColor(static_cast<TColor>(gfx::RGB(171, 171, 171)));
    Canvas()->FillRect(Client);
    // A sheet with a margin around it and a shadow below and to the right.
    const int Margin = 16;
    TRect Sheet{Client.left + Margin, Client.top + Margin, Client.right - Margin, Client.bottom - Margin};
    if (Sheet.right <= Sheet.left || Sheet.bottom <= Sheet.top) return;
    Canvas()->Brush()->SetColor(static_cast<TColor>(gfx::RGB(110, 110, 110)));
    Canvas()->FillRect(TRect{Sheet.left + 3, Sheet.top + 3, Sheet.right + 3, Sheet.bottom + 3});
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->Pen()->SetColor(static_cast<TColor>(gfx::RGB(90, 90, 90)));
    Canvas()->Rectangle(Sheet);

    TRect Text{Sheet.left + 24, Sheet.top + 20, Sheet.right - 24, Sheet.bottom - 32};
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->SetName(FFontName);
    Canvas()->Font()->SetColor(FTextColor);
    Canvas()->Font()->SetStyle(FTextStyle + fsBold);
    Canvas()->Font()->SetHeight(-(FFontSize * 3 / 2 * FZoom / 100));
    TRect HeadingRect = Text;
    Canvas()->TextRect(HeadingRect, Heading(), TTextFormat{FAlignment, tfSingleLine, tfNoPrefix});
    Text.top += Canvas()->TextHeight("П") + 12;
    Canvas()->Font()->SetStyle(FTextStyle);
    Canvas()->Font()->SetHeight(-(FFontSize * FZoom / 100));
    Canvas()->TextRect(
        Text,
        "Панели можно перетаскивать за их край: к любому краю окна, на боковую панель справа "
        "или в свободное место экрана, где они плавают в собственном окне. Если окно слишком "
        "узкое, панель показывает в конце отметку вместо команд, которые не поместились; "
        "щелчок по отметке открывает их и меню, где команды панели показывают и прячут. "
        "Кнопки панели «Форматирование» меняют начертание и выравнивание этого текста, панель "
        "«Шрифт» — его шрифт, размер и регистр заголовка, панель «Цвет» — его цвет, панель "
        "«Масштаб» — его масштаб. Расположение панелей программа хранит до следующего запуска.",
        TTextFormat{FAlignment, tfWordBreak, tfNoPrefix});
    Canvas()->Font()->SetName("DejaVu Sans");
    Canvas()->Font()->SetStyle(TFontStyles{});
    Canvas()->Font()->SetColor(clGray);
    Canvas()->Font()->SetHeight(-11);
    TRect Status{Sheet.left + 24, Sheet.bottom - 26, Sheet.right - 24, Sheet.bottom - 8};
    Canvas()->TextRect(Status, FStatus, TTextFormat{tfSingleLine, tfNoPrefix, tfEndEllipsis});
}

// --- THeading ---

void THeading::Paint() {
    TRect R = ClientRect();
    Canvas()->Brush()->SetColor(static_cast<TColor>(gfx::RGB(94, 131, 204)));
    Canvas()->FillRect(R);
    R.left += 8;
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->SetColor(clWhite);
    Canvas()->Font()->SetStyle(TFontStyles{fsBold});
    Canvas()->TextRect(R, "Свойства", TTextFormat{tfSingleLine, tfVerticalCenter, tfNoPrefix});
}

// --- TTextBox ---

void TTextBox::SetText(std::string Heading, std::string Body) {
    FHeading = std::move(Heading);
    FBody = std::move(Body);
    Invalidate();
}

void TTextBox::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    TRect R = ClientRect();
    gfx::InflateRect(&R, -10, -10);
    Canvas()->Brush()->SetStyle(bsClear);
    if (!FHeading.empty()) {
        Canvas()->Font()->SetStyle(TFontStyles{fsBold});
        TRect Heading = R;
        Canvas()->TextRect(Heading, FHeading, TTextFormat{tfSingleLine, tfNoPrefix});
        R.top += Canvas()->TextHeight(FHeading) + 8;
        Canvas()->Font()->SetStyle(TFontStyles{});
    }
    Canvas()->TextRect(R, FBody, TTextFormat{tfWordBreak, tfNoPrefix});
}

// --- TAboutForm ---

TAboutForm::TAboutForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetCaption("О программе");
    SetClientWidth(360);
    SetClientHeight(110);
    SetPosition(poMainFormCenter);
    SetKeyPreview(true);
    auto* Text = new TTextBox(this);
    Text->SetText("Trestle",
                  "Пример панелей инструментов библиотеки Trestle: главное меню, панели у краёв окна, "
                  "плавающая панель и своё место для панелей на боковой панели.\n\nЩелчок или любая клавиша "
                  "закрывает это окно.");
    Text->SetAlign(alClient);
    Text->SetOnClick(TNotifyEvent(this, &TAboutForm::TextClick));
    Text->SetParent(this);
}

void TAboutForm::KeyDown(win::WORD& Key, TShiftState Shift) {
    SetModalResult(mrOk);
    Key = 0;
    inherited::KeyDown(Key, Shift);
}

void TAboutForm::TextClick(TObject*) {
    SetModalResult(mrOk);
}

// --- TMainForm ---

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
    // The stored layout's sections are named after the form and the manager.
    SetName("ToolbarsForm");
    SetCaption("Trestle — панели инструментов");
    SetBounds(60, 50, 800, 560);

    FBarManager = new bars::TdxBarManager(this);
    FBarManager->SetName("BarManager");
    FBarManager->SetStyle(bars::bmsOffice11);
    FImages = new TImageList(this);
    std::vector<TColor> Colors;
    for (const TSwatch& Swatch : kSwatches) Colors.push_back(Swatch.Color);
    AddIcons(FImages, Colors);
    FBarManager->SetImages(FImages);
    FBarManager->SetOnBarVisibleChange(bars::TdxBarVisibleChangeEvent(this, &TMainForm::BarVisibleChange));

    // The side panel: a heading, its dock site, and a note filling the rest.
    auto* Side = new TCustomControl(this);
    // A container clips its children: its own painting must not cover the
    // bars in its dock site.
    Side->SetControlStyle(Side->ControlStyle() + csAcceptsControls);
    Side->SetAlign(alRight);
    Side->SetWidth(176);
    Side->SetParent(this);
    auto* Heading = new THeading(this);
    Heading->SetAlign(alTop);
    Heading->SetHeight(24);
    Heading->SetParent(Side);
    FSideDock = new bars::TdxBarDockControl(this);
    FSideDock->SetName("SideDock");
    FSideDock->SetTop(24);
    FSideDock->SetParent(Side);
    FSideDock->SetBarManager(FBarManager);
    auto* Note = new TTextBox(this);
    Note->SetColor(clWindow);
    Note->Font()->SetColor(clGrayText);
    Note->SetText("",
                  "Эта панель — своё место для панелей инструментов: здесь стоит панель «Масштаб», и сюда "
                  "можно перетащить любую другую.");
    Note->SetAlign(alClient);
    Note->SetParent(Side);

    FPage = new TPageView(this);
    FPage->SetAlign(alClient);
    FPage->SetParent(this);

    FMainMenuBar = AddBar("Главное меню", bars::dsTop, 0);
    FMainMenuBar->SetIsMainMenu(true);
    BuildToolbars();
    BuildMenu();
    ShowBars();
    FTool = "Указатель";
    ShowStatus("");
}

bars::TdxBar* TMainForm::AddBar(const std::string& ACaption, bars::TdxBarDockingStyle AStyle, int ARow) {
    bars::TdxBar* Bar = FBarManager->Bars()->Add();
    Bar->SetCaption(ACaption);
    Bar->SetDockingStyle(AStyle);
    Bar->SetRow(ARow);
    return Bar;
}

void TMainForm::StoreLayoutIn(const std::string& AFileName) {
    FBarManager->SetIniFileName(AFileName);
    FBarManager->SetStoreInIniFile(true);
    FBarManager->Loaded();
    for (const auto& [Bar, Toggle] : FToggles) Toggle->SetDown(Bar->Visible());
}

bars::TdxBarButton* TMainForm::ToggleOf(bars::TdxBar* ABar) const {
    for (const auto& [Bar, Toggle] : FToggles)
        if (Bar == ABar) return Toggle;
    return nullptr;
}

bars::TdxBarButton* TMainForm::AddButton(const std::string& AName, const std::string& ACaption,
                                         int AImageIndex) {
    auto* Button = new bars::TdxBarButton(this);
    Button->SetName(AName);
    Button->SetCaption(ACaption);
    Button->SetImageIndex(AImageIndex);
    Button->SetOnClick(TNotifyEvent(this, &TMainForm::CommandClick));
    return Button;
}

bars::TdxBarButton* TMainForm::AddCheck(const std::string& AName, const std::string& ACaption,
                                        int AImageIndex, int AGroupIndex) {
    bars::TdxBarButton* Button = AddButton(AName, ACaption, AImageIndex);
    Button->SetButtonStyle(bars::bsChecked);
    Button->SetGroupIndex(AGroupIndex);
    return Button;
}

void TMainForm::BuildToolbars() {
    // --- Стандартная ---
    FStandardBar = AddBar("Стандартная", bars::dsTop, 1);
    bars::TdxBarItemLinks* Links = FStandardBar->ItemLinks();
    Links->Add(AddButton("btnNew", "&Создать", icNew))->Item()->SetShortCut(Ctrl('N'));
    Links->Add(AddButton("btnOpen", "&Открыть...", icOpen))->Item()->SetShortCut(Ctrl('O'));
    Links->Add(AddButton("btnSave", "&Сохранить", icSave))->Item()->SetShortCut(Ctrl('S'));
    FPrintButton = AddButton("btnPrint", "&Печать", icPrint);
    FPrintButton->SetButtonStyle(bars::bsDropDown);
    FPrintButton->SetPaintStyle(bars::psCaptionGlyph);
    auto* PrintMenu = new bars::TdxBarPopupMenu(this);
    PrintMenu->ItemLinks()
        ->Add(AddButton("btnPrintTo", "&Печать...", icPrint))
        ->Item()
        ->SetShortCut(Ctrl('P'));
    PrintMenu->ItemLinks()->Add(AddButton("btnPreview", "П&редварительный просмотр", icPreview));
    PrintMenu->ItemLinks()->Add(AddButton("btnPageSetup", "Параметры &страницы...", -1))->SetBeginGroup(true);
    FPrintButton->SetDropDownMenu(PrintMenu);
    Links->Add(FPrintButton)->SetBeginGroup(true);
    Links->Add(AddButton("btnCut", "Вы&резать", icCut))->SetBeginGroup(true);
    Links->Add(AddButton("btnCopy", "&Копировать", icCopy));
    Links->Add(AddButton("btnPaste", "&Вставить", icPaste));
    Links->Add(AddButton("btnUndo", "&Отменить", icUndo))->SetBeginGroup(true);
    Links->Add(AddButton("btnRedo", "&Вернуть", icRedo));

    // --- Форматирование ---
    FFormattingBar = AddBar("Форматирование", bars::dsTop, 1);
    Links = FFormattingBar->ItemLinks();
    const struct {
        const char* Name;
        const char* Caption;
        int Image;
        TFontStyle Style;
    } Styles[] = {{"btnBold", "Полужирный", icBold, fsBold},
                  {"btnItalic", "Курсив", icItalic, fsItalic},
                  {"btnUnderline", "Подчёркнутый", icUnderline, fsUnderline}};
    for (const auto& S : Styles) {
        bars::TdxBarButton* Button = AddCheck(S.Name, S.Caption, S.Image, 0);
        Button->SetTag(S.Style);
        Button->SetOnClick(TNotifyEvent(this, &TMainForm::StyleClick));
        Links->Add(Button);
    }
    const struct {
        const char* Name;
        const char* Caption;
        int Image;
        TTextFormats Alignment;
    } Alignments[] = {{"btnAlignLeft", "По левому краю", icAlignLeft, tfLeft},
                      {"btnAlignCenter", "По центру", icAlignCenter, tfCenter},
                      {"btnAlignRight", "По правому краю", icAlignRight, tfRight}};
    for (const auto& A : Alignments) {
        bars::TdxBarButton* Button = AddCheck(A.Name, A.Caption, A.Image, 1);
        Button->SetTag(A.Alignment);
        Button->SetDown(A.Alignment == tfLeft);
        Button->SetOnClick(TNotifyEvent(this, &TMainForm::AlignClick));
        Links->Add(Button)->SetBeginGroup(A.Alignment == tfLeft);
    }

    // --- Поиск ---
    FSearchBar = AddBar("Поиск", bars::dsTop, 2);
    Links = FSearchBar->ItemLinks();
    for (const auto& [Name, Caption, Image] :
         {std::tuple{"btnFind", "&Найти...", icFind}, std::tuple{"btnReplace", "&Заменить...", icReplace}}) {
        bars::TdxBarButton* Button = AddButton(Name, Caption, Image);
        Button->SetPaintStyle(bars::psCaptionGlyph);
        Links->Add(Button);
    }
    Links->Items(0)->Item()->SetShortCut(Ctrl('F'));
    Links->Items(1)->Item()->SetShortCut(Ctrl('H'));

    // --- Шрифт: a combo, an edit and a list ---
    FFontBar = AddBar("Шрифт", bars::dsTop, 2);
    // A row of its own, which "Поиск" then joins.
    FFontBar->SetOneOnRow(true);
    Links = FFontBar->ItemLinks();
    FFontCombo = new bars::TdxBarCombo(this);
    FFontCombo->SetName("cbFont");
    FFontCombo->SetCaption("Шрифт:");
    FFontCombo->SetShowCaption(true);
    FFontCombo->SetWidth(140);
    for (const char* Family : kFamilies) FFontCombo->Items()->Add(Family);
    FFontCombo->SetItemIndex(0);
    FFontCombo->SetOnChange(TNotifyEvent(this, &TMainForm::FontChange));
    Links->Add(FFontCombo);
    FSizeEdit = new bars::TdxBarEdit(this);
    FSizeEdit->SetName("edSize");
    FSizeEdit->SetCaption("Размер:");
    FSizeEdit->SetShowCaption(true);
    FSizeEdit->SetWidth(32);
    FSizeEdit->SetMaxLength(2);
    FSizeEdit->SetText(std::to_string(FPage->FontSize()));
    FSizeEdit->SetOnChange(TNotifyEvent(this, &TMainForm::SizeChange));
    Links->Add(FSizeEdit);
    FCaseList = new bars::TdxBarListItem(this);
    FCaseList->SetName("lstCase");
    FCaseList->SetCaption("Регистр");
    FCaseList->SetImageIndex(icCase);
    for (const char* Case : kCases) FCaseList->Items()->Add(Case);
    FCaseList->SetShowCheck(true);
    FCaseList->SetItemIndex(TPageView::hcAsWritten);
    FCaseList->SetOnClick(TNotifyEvent(this, &TMainForm::CaseClick));
    Links->Add(FCaseList)->SetBeginGroup(true);

    // --- Рисование ---
    FDrawingBar = AddBar("Рисование", bars::dsLeft, 0);
    Links = FDrawingBar->ItemLinks();
    const struct {
        const char* Name;
        const char* Caption;
        int Image;
    } Tools[] = {{"btnPointer", "Указатель", icPointer},
                 {"btnLine", "Линия", icLine},
                 {"btnRectangle", "Прямоугольник", icRectangle},
                 {"btnEllipse", "Эллипс", icEllipse},
                 {"btnText", "Надпись", icText}};
    for (const auto& T : Tools) {
        bars::TdxBarButton* Button = AddCheck(T.Name, T.Caption, T.Image, 2);
        Button->SetDown(T.Image == icPointer);
        Button->SetOnClick(TNotifyEvent(this, &TMainForm::ToolClick));
        Links->Add(Button)->SetBeginGroup(T.Image == icLine);
    }

    // --- Цвет: floating over the page ---
    FColorBar = AddBar("Цвет", bars::dsNone, 0);
    Links = FColorBar->ItemLinks();
    for (int I = 0; I < static_cast<int>(std::size(kSwatches)); ++I) {
        bars::TdxBarButton* Button =
            AddCheck("btnColor" + std::to_string(I), kSwatches[I].Caption, icFirstSwatch + I, 3);
        Button->SetTag(I);
        Button->SetDown(I == 0);
        Button->SetOnClick(TNotifyEvent(this, &TMainForm::ColorClick));
        Links->Add(Button);
    }
    FColorBar->SetFloatLeft(Left() + 430);
    FColorBar->SetFloatTop(Top() + 380);
    // Three swatches a line.
    FColorBar->SetFloatClientWidth(3 * FBarManager->ButtonWidth());

    // --- Масштаб: in the side panel's dock site ---
    FZoomBar = AddBar("Масштаб", bars::dsTop, 0);
    FZoomBar->SetDockControl(FSideDock);
    Links = FZoomBar->ItemLinks();
    bars::TdxBarButton* ZoomOut = AddButton("btnZoomOut", "&Уменьшить", icZoomOut);
    ZoomOut->SetTag(-1);
    ZoomOut->SetOnClick(TNotifyEvent(this, &TMainForm::ZoomClick));
    Links->Add(ZoomOut);
    FZoomButton = AddButton("btnZoom", "100 %", -1);
    FZoomButton->SetPaintStyle(bars::psCaption);
    FZoomButton->SetTag(0);
    FZoomButton->SetOnClick(TNotifyEvent(this, &TMainForm::ZoomClick));
    Links->Add(FZoomButton);
    bars::TdxBarButton* ZoomIn = AddButton("btnZoomIn", "У&величить", icZoomIn);
    ZoomIn->SetTag(1);
    ZoomIn->SetOnClick(TNotifyEvent(this, &TMainForm::ZoomClick));
    Links->Add(ZoomIn);
}

void TMainForm::BuildMenu() {
    auto SubItem = [this](const std::string& AName, const std::string& ACaption) {
        auto* Item = new bars::TdxBarSubItem(this);
        Item->SetName(AName);
        Item->SetCaption(ACaption);
        FMainMenuBar->ItemLinks()->Add(Item);
        return Item;
    };
    // The menus show the toolbars' commands: the same items, linked again.
    auto Add = [](bars::TdxBarSubItem* AMenu, bars::TdxBar* ABar, int AIndex, bool ABeginGroup = false) {
        AMenu->ItemLinks()->Add(ABar->ItemLinks()->Items(AIndex)->Item())->SetBeginGroup(ABeginGroup);
    };

    FFileMenu = SubItem("mnuFile", "&Файл");
    for (int I = 0; I < 3; ++I) Add(FFileMenu, FStandardBar, I);
    FFileMenu->ItemLinks()->Add(FPrintButton->DropDownItemLinks()->Items(0)->Item())->SetBeginGroup(true);
    FFileMenu->ItemLinks()->Add(FPrintButton->DropDownItemLinks()->Items(1)->Item());
    auto* Exit = new bars::TdxBarButton(this);
    Exit->SetName("btnExit");
    Exit->SetCaption("В&ыход");
    Exit->SetOnClick(TNotifyEvent(this, &TMainForm::ExitClick));
    FFileMenu->ItemLinks()->Add(Exit)->SetBeginGroup(true);

    bars::TdxBarSubItem* Edit = SubItem("mnuEdit", "&Правка");
    Add(Edit, FStandardBar, 7);
    Add(Edit, FStandardBar, 8);
    Add(Edit, FStandardBar, 4, true);
    Add(Edit, FStandardBar, 5);
    Add(Edit, FStandardBar, 6);
    Add(Edit, FSearchBar, 0, true);
    Add(Edit, FSearchBar, 1);

    bars::TdxBarSubItem* View = SubItem("mnuView", "&Вид");
    bars::TdxBarSubItem* Toolbars = new bars::TdxBarSubItem(this);
    Toolbars->SetName("mnuToolbars");
    Toolbars->SetCaption("&Панели инструментов");
    View->ItemLinks()->Add(Toolbars);
    for (bars::TdxBar* Bar :
         {FStandardBar, FFormattingBar, FSearchBar, FFontBar, FDrawingBar, FColorBar, FZoomBar}) {
        auto* Toggle = new bars::TdxBarButton(this);
        Toggle->SetName("btnToolbar" + std::to_string(FToggles.size()));
        Toggle->SetCaption(Bar->Caption());
        Toggle->SetButtonStyle(bars::bsChecked);
        Toggle->SetDown(Bar->Visible());
        Toggle->SetOnClick(TNotifyEvent(this, &TMainForm::ToolbarClick));
        Toolbars->ItemLinks()->Add(Toggle);
        FToggles.emplace_back(Bar, Toggle);
    }
    Add(View, FZoomBar, 2, true);
    Add(View, FZoomBar, 0);

    FHelpMenu = SubItem("mnuHelp", "&Справка");
    auto* About = new bars::TdxBarButton(this);
    About->SetName("btnAbout");
    About->SetCaption("&О программе...");
    About->SetImageIndex(icHelp);
    About->SetOnClick(TNotifyEvent(this, &TMainForm::AboutClick));
    FHelpMenu->ItemLinks()->Add(About);
}

void TMainForm::ShowBars() {
    // Each bar goes to the row it asks for, after the bars shown before it.
    for (bars::TdxBar* Bar : {FMainMenuBar, FStandardBar, FFormattingBar, FFontBar, FSearchBar, FDrawingBar,
                              FColorBar, FZoomBar}) {
        if (Bar == FFormattingBar) Bar->SetDockedLeft(FStandardBar->Control()->Width());
        if (Bar == FSearchBar) Bar->SetDockedLeft(FFontBar->Control()->Width());
        Bar->SetVisible(true);
    }
}

void TMainForm::ShowStatus(const std::string& ACommand) {
    std::string Status = "Инструмент: " + FTool + ".";
    if (!ACommand.empty()) Status += " Последняя команда: «" + ACommand + "».";
    FPage->SetStatus(Status);
}

void TMainForm::CommandClick(TObject* Sender) {
    ShowStatus(PlainCaption(static_cast<bars::TdxBarItem*>(Sender)->Caption()));
}

void TMainForm::StyleClick(TObject* Sender) {
    auto* Button = static_cast<bars::TdxBarButton*>(Sender);
    TFontStyles Style = FPage->TextStyle();
    const auto Which = static_cast<TFontStyle>(Button->Tag());
    if (Button->Down())
        Style = Style + Which;
    else
        Style = Style - Which;
    FPage->SetTextStyle(Style);
    ShowStatus(Button->Caption());
}

void TMainForm::AlignClick(TObject* Sender) {
    auto* Button = static_cast<bars::TdxBarButton*>(Sender);
    FPage->SetAlignment(static_cast<TTextFormats>(Button->Tag()));
    ShowStatus(Button->Caption());
}

void TMainForm::ToolClick(TObject* Sender) {
    FTool = static_cast<bars::TdxBarButton*>(Sender)->Caption();
    ShowStatus("");
}

void TMainForm::ColorClick(TObject* Sender) {
    auto* Button = static_cast<bars::TdxBarButton*>(Sender);
    FPage->SetTextColor(kSwatches[Button->Tag()].Color);
    ShowStatus(std::string("Цвет: ") + kSwatches[Button->Tag()].Caption);
}

void TMainForm::ZoomClick(TObject* Sender) {
    const int Direction = static_cast<int>(static_cast<bars::TdxBarItem*>(Sender)->Tag());
    const int* Step = std::find(std::begin(kZoomSteps), std::end(kZoomSteps), FPage->Zoom());
    if (Direction == 0)
        Step = std::find(std::begin(kZoomSteps), std::end(kZoomSteps), 100);
    else if (Direction < 0 && Step != std::begin(kZoomSteps))
        --Step;
    else if (Direction > 0 && Step + 1 != std::end(kZoomSteps))
        ++Step;
    FPage->SetZoom(*Step);
    FZoomButton->SetCaption(std::to_string(*Step) + " %");
    ShowStatus("Масштаб " + std::to_string(*Step) + " %");
}

void TMainForm::FontChange(TObject*) {
    // Only an entry of the list: any other text goes back to the page's font.
    if (FFontCombo->ItemIndex() < 0) {
        FFontCombo->SetItemIndex(FFontCombo->Items()->IndexOf(FPage->FontName()));
        return;
    }
    FPage->SetFontName(FFontCombo->Text());
    ShowStatus("Шрифт: " + FFontCombo->Text());
}

void TMainForm::SizeChange(TObject*) {
    const std::string& Text = FSizeEdit->Text();
    int Size = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Size);
    if (Error != std::errc() || End != Text.data() + Text.size() || Size < kMinFontSize ||
        Size > kMaxFontSize) {
        FSizeEdit->SetText(std::to_string(FPage->FontSize()));
        ShowStatus("Размер: от " + std::to_string(kMinFontSize) + " до " + std::to_string(kMaxFontSize));
        return;
    }
    FPage->SetFontSize(Size);
    ShowStatus("Размер: " + Text);
}

void TMainForm::CaseClick(TObject*) {
    const int Index = FCaseList->ItemIndex();
    if (Index < 0) return;
    FPage->SetHeadingCase(static_cast<TPageView::THeadingCase>(Index));
    ShowStatus(std::string("Регистр: ") + kCases[Index]);
}

void TMainForm::ToolbarClick(TObject* Sender) {
    for (const auto& [Bar, Toggle] : FToggles)
        if (Toggle == Sender) Bar->SetVisible(Toggle->Down());
}

void TMainForm::BarVisibleChange(bars::TdxBarManager*, bars::TdxBar* ABar) {
    for (const auto& [Bar, Toggle] : FToggles)
        if (Bar == ABar) Toggle->SetDown(ABar->Visible());
}

void TMainForm::AboutClick(TObject*) {
    if (FAbout) return;
    FAbout = new TAboutForm(this);
    FAbout->ShowModal();
    delete FAbout;
    FAbout = nullptr;
}

void TMainForm::ExitClick(TObject*) {
    Close();
}

} // namespace toolbars
