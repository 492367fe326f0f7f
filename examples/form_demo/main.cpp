#include "classes/forms.h"

using namespace cls;

class TSwatch : public TCustomControl {
    TRESTLE_CLASS(TSwatch, TCustomControl)
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clNavy);
        Canvas()->FillRect(ClientRect());
        Canvas()->Font()->SetColor(clWhite);
        Canvas()->TextOut(8, 8, "Hello from Trestle");
    }
};

int main() {
    TForm* Form = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Form);
    Form->SetCaption("Form demo");
    Form->SetPosition(poScreenCenter);
    auto* Swatch = new TSwatch(Form);
    Swatch->SetAlign(alClient);
    Swatch->SetParent(Form);
    Application->Run(); // until the form is closed
    DoneApplication();
}
