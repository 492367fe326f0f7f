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
#include "classes/typinfo.h"
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

void TTextBox::SetHeading(const std::string& Value) {
    FHeading = Value;
    Invalidate();
}

void TTextBox::SetBody(const std::string& Value) {
    FBody = Value;
    Invalidate();
}

void TTextBox::SetText(std::string Heading, std::string Body) {
    FHeading = std::move(Heading);
    FBody = std::move(Body);
    Invalidate();
}

void TTextBox::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.String("Heading", &TTextBox::Heading, &TTextBox::SetHeading);
    AList.String("Body", &TTextBox::Body, &TTextBox::SetBody);
}

// --- TSidePanel ---

TSidePanel::TSidePanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
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
    // The classes of the form's own controls, for its form resource.
    RegisterClasses(
        {TSidePanel::ClassInfo(), THeading::ClassInfo(), TTextBox::ClassInfo(), TPageView::ClassInfo()});
}

void TMainForm::GetPublishedMethods(TPublishedMethods& AList) {
    inherited::GetPublishedMethods(AList);
    const std::pair<const char*, void (TMainForm::*)(TObject*)> Handlers[] = {
        {"CommandClick", &TMainForm::CommandClick}, {"StyleClick", &TMainForm::StyleClick},
        {"AlignClick", &TMainForm::AlignClick},     {"ToolClick", &TMainForm::ToolClick},
        {"ColorClick", &TMainForm::ColorClick},     {"ZoomClick", &TMainForm::ZoomClick},
        {"FontChange", &TMainForm::FontChange},     {"SizeChange", &TMainForm::SizeChange},
        {"CaseClick", &TMainForm::CaseClick},       {"ToolbarClick", &TMainForm::ToolbarClick},
        {"AboutClick", &TMainForm::AboutClick},     {"ExitClick", &TMainForm::ExitClick}};
    for (const auto& [Name, Method] : Handlers) AList.Add(Name, TNotifyEvent(this, Method));
    AList.Add("BarVisibleChange", bars::TdxBarVisibleChangeEvent(this, &TMainForm::BarVisibleChange));
}

namespace {

// The component of that name and class on the form; a form resource that
// lacks it is not this program's.
template <class T> T* Field(TComponent* AForm, const char* AName) {
    auto* Result = dynamic_cast<T*>(AForm->FindComponent(AName));
    if (!Result) throw Exception(std::string("The form has no ") + AName);
    return Result;
}

} // namespace

void TMainForm::Loaded() {
    inherited::Loaded();
    FBarManager = Field<bars::TdxBarManager>(this, "BarManager");
    FImages = Field<TImageList>(this, "Images");
    FPage = Field<TPageView>(this, "Page");
    FSideDock = Field<bars::TdxBarDockControl>(this, "SideDock");
    // In the order they show: "Шрифт" takes a row of its own, which "Поиск" then joins.
    bars::TdxBar** Bars[] = {&FMainMenuBar, &FStandardBar, &FFormattingBar, &FFontBar,
                             &FSearchBar,   &FDrawingBar,  &FColorBar,      &FZoomBar};
    if (FBarManager->Bars()->Count() != static_cast<int>(std::size(Bars)))
        throw Exception("The form's manager has not the program's bars");
    for (int I = 0; I < FBarManager->Bars()->Count(); ++I) *Bars[I] = FBarManager->Bars()->Items(I);
    FFileMenu = Field<bars::TdxBarSubItem>(this, "mnuFile");
    FHelpMenu = Field<bars::TdxBarSubItem>(this, "mnuHelp");
    FPrintButton = Field<bars::TdxBarButton>(this, "btnPrint");
    FZoomButton = Field<bars::TdxBarButton>(this, "btnZoom");
    FFontCombo = Field<bars::TdxBarCombo>(this, "cbFont");
    FSizeEdit = Field<bars::TdxBarEdit>(this, "edSize");
    FCaseList = Field<bars::TdxBarListItem>(this, "lstCase");
    // The entries of "Вид | Панели инструментов", each captioned as its bar.
    for (int I = 0; I < FBarManager->Bars()->Count() - 1; ++I) {
        auto* Toggle = Field<bars::TdxBarButton>(this, ("btnToolbar" + std::to_string(I)).c_str());
        bars::TdxBar* Bar = FBarManager->FindBarByCaption(Toggle->Caption());
        if (!Bar) throw Exception("No bar for " + Toggle->Caption());
        FToggles.emplace_back(Bar, Toggle);
    }
    // The icons are drawn, not kept in the form.
    std::vector<TColor> Colors;
    for (const TSwatch& Swatch : kSwatches) Colors.push_back(Swatch.Color);
    AddIcons(FImages, Colors);
    FTool = "Указатель";
    ShowStatus("");
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
