// A form with a control built in code; a click on the swatch changes its colour.
#include <cstdio>

#include "classes/forms.h"
#include "support/session.h"

using namespace cls;

class TSwatch : public TCustomControl {
    TRESTLE_CLASS(TSwatch, TCustomControl)
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        static constexpr TColor Colors[] = {clNavy, clMaroon, clGreen};
        Canvas()->Brush()->SetColor(Colors[FClicks % 3]);
        Canvas()->FillRect(ClientRect());
        Canvas()->Font()->SetColor(clWhite);
        Canvas()->TextOut(8, 8, "Hello from Trestle");
    }
    void Click() override {
        ++FClicks;
        Invalidate();
        inherited::Click();
    }

private:
    int FClicks = 0;
};

int main(int argc, char** argv) {
    win::ThemeScheme Theme = win::ThemeScheme::Blue;
    for (int I = 1; I < argc; ++I) {
        if (example::TExampleSession::TakeThemeOption(I, argc, argv, Theme)) continue;
        std::fprintf(stderr, "usage: %s [--theme classic|blue|olive|silver]\n", argv[0]);
        return 2;
    }
    example::TExampleSession Session("form_demo", true, Theme);
    TForm* Form = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Form);
    Form->SetCaption("Form demo");
    Form->SetPosition(poScreenCenter);
    auto* Swatch = new TSwatch(Form);
    Swatch->SetAlign(alClient);
    Swatch->SetParent(Form);
    // Without a display: one click on the swatch, then out/form_demo.png.
    Session.AddStep([Swatch] { example::TExampleSession::Click(Swatch, 20, 20); });
    const int Result = Session.Run(); // until the form is closed
    DoneApplication();
    return Result;
}
