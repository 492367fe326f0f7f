// Uses each layer of an installed Trestle: a form with a bar manager, a bar
// and a button on it, a sorted string list, text drawn into a bitmap and
// written as PNG, and the X11 presenter (not opened). Exits non-zero when
// something answers wrongly.
#include "bars/bars.h"
#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "classes/forms.h"
#include "classes/strings.h"
#include "gfx/gdi.h"
#include "gfx/png.h"
#include "win/presenter.h"

#include <cstdio>
#include <filesystem>

namespace {

int Failures = 0;

void Check(bool Ok, const char* What) {
    if (Ok) return;
    std::fprintf(stderr, "consumer: %s\n", What);
    ++Failures;
}

} // namespace

int main() {
    cls::TForm* Form = nullptr;
    cls::Application->CreateForm(cls::TForm::ClassInfo(), Form);
    auto* Manager = new bars::TdxBarManager(Form);
    bars::TdxBar* Bar = Manager->Bars()->Add();
    auto* Button = new bars::TdxBarButton(Form);
    Button->SetCaption("Open");
    Bar->ItemLinks()->Add(Button);
    Check(Manager->ItemCount() == 1 && Manager->Items(0) == Button, "the manager lists its button");
    Check(Bar->ItemLinks()->Count() == 1, "the bar links the button");
    Form->Show();
    cls::Application->ProcessMessages();
    Check(Form->HandleAllocated(), "the form has a window");

    cls::TStringList List;
    List.Add("Paste");
    List.Add("Copy");
    List.Sort();
    Check(List.Strings(0) == "Copy", "the string list sorts");

    gfx::HDC DC = gfx::CreateCompatibleDC(nullptr);
    gfx::BITMAPINFO Info{};
    Info.bmiHeader.biWidth = 64;
    Info.bmiHeader.biHeight = -16;
    void* Bits = nullptr;
    gfx::HBITMAP Bitmap = gfx::CreateDIBSection(DC, &Info, gfx::DIB_RGB_COLORS, &Bits, nullptr, 0);
    gfx::HGDIOBJ Old = gfx::SelectObject(DC, gfx::handle_cast<gfx::HGDIOBJ>(Bitmap));
    const gfx::RECT All{0, 0, 64, 16};
    gfx::FillRect(DC, &All, gfx::handle_from_int<gfx::HBRUSH>(gfx::COLOR_WINDOW + 1));
    gfx::TextOut(DC, 2, 1, "Trestle");
    int Inked = 0;
    for (int X = 0; X < 64; ++X)
        for (int Y = 0; Y < 16; ++Y) Inked += gfx::GetPixel(DC, X, Y) != gfx::GetSysColor(gfx::COLOR_WINDOW);
    Check(Inked > 0, "text is drawn");
    gfx::SelectObject(DC, Old);
    gfx::DeleteDC(DC);
    const std::filesystem::path Png = std::filesystem::temp_directory_path() / "trestle-consumer.png";
    Check(gfx::SaveBitmapToPng(Bitmap, Png.string()), "the bitmap is written as PNG");
    std::filesystem::remove(Png);
    gfx::DeleteObject(gfx::handle_cast<gfx::HGDIOBJ>(Bitmap));

    win::X11Presenter Presenter;
    Check(Presenter.ConnectionFd() == -1, "the presenter is not open");

    cls::DoneApplication();
    if (Failures == 0) std::puts("consumer: ok");
    return Failures == 0 ? 0 : 1;
}
