#include "support/session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "classes/controls.h"
#include "classes/extctrls.h"
#include "classes/forms.h"
#include "gfx/png.h"
#include "win/driver.h"
#include "win/presenter.h"

using namespace cls;

namespace example {

namespace {

// About one frame of a 60 Hz display.
constexpr unsigned kPumpInterval = 16;

bool DisplayNamed() {
    const char* Display = std::getenv("DISPLAY");
    return Display && *Display;
}

void CloseMainForm() {
    if (TForm* Form = Application->MainForm())
        Form->Close();
    else
        Application->Terminate();
}

} // namespace

// The X11 presenter, pumped by a timer: the window system's waits know
// nothing of the X connection.
struct TExampleSession::TPump {
    win::X11Presenter Presenter;
    std::unique_ptr<TTimer> Timer;

    void Tick(TObject*) {
        if (Presenter.Pump()) return;
        Timer->SetEnabled(false);
        CloseMainForm();
    }
};

TExampleSession::TExampleSession(std::string Name) : FName(std::move(Name)) {
    if (DisplayNamed()) {
        auto Pump = std::make_unique<TPump>();
        if (Pump->Presenter.Open())
            FPresenter = std::move(Pump);
        else
            std::fprintf(stderr, "%s: cannot open the display; running headless\n", FName.c_str());
    }
    if (Headless()) win::SetManualClock(true);
}

TExampleSession::~TExampleSession() {
    if (Headless()) {
        win::SetIdleHandler(nullptr);
        win::SetManualClock(false);
    }
}

std::string TExampleSession::PngPath() const {
    return "out/" + FName + ".png";
}

void TExampleSession::AddStep(std::function<void()> Step) {
    FSteps.push_back(std::move(Step));
}

void TExampleSession::MoveMouse(TControl* Control, int X, int Y) {
    win::InjectMouseMove(Control->ClientToScreen(TPoint{X, Y}));
}

void TExampleSession::Click(TControl* Control, int X, int Y) {
    MoveMouse(Control, X, Y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    win::InjectMouseButton(win::MouseButton::Left, false);
}

bool TExampleSession::NextStep() {
    if (FNextStep < FSteps.size()) {
        FSteps[FNextStep++]();
        return true;
    }
    if (FFinished) return false;
    FFinished = true;
    std::error_code Error;
    std::filesystem::create_directories(std::filesystem::path(PngPath()).parent_path(), Error);
    FWritten = win::SnapshotScreen(PngPath());
    if (FWritten)
        std::printf("%s: wrote %s\n", FName.c_str(), PngPath().c_str());
    else
        std::fprintf(stderr, "%s: could not write %s\n", FName.c_str(), PngPath().c_str());
    CloseMainForm();
    return true;
}

int TExampleSession::Run() {
    if (!Headless()) {
        FPresenter->Timer = std::make_unique<TTimer>(nullptr);
        FPresenter->Timer->SetInterval(kPumpInterval);
        FPresenter->Timer->SetOnTimer(TNotifyEvent(FPresenter.get(), &TPump::Tick));
        Application->Run();
        FPresenter->Timer.reset();
        return 0;
    }
    win::SetIdleHandler([this] { return NextStep(); });
    try {
        Application->Run();
    } catch (const win::WouldWaitForever& E) {
        std::fprintf(stderr, "%s: %s\n", FName.c_str(), E.what());
        return 1;
    }
    return FWritten ? 0 : 1;
}

namespace {

class TPicture : public TCustomControl {
    TRESTLE_CLASS(TPicture, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    ~TPicture() override { delete FBitmap; }

    void SetBitmap(TBitmap* Value) { FBitmap = Value; }

protected:
    void Paint() override { Canvas()->Draw(0, 0, FBitmap); }

private:
    TBitmap* FBitmap = nullptr;
};

} // namespace

void ShowPicture(const std::string& PngPath, const std::string& Caption) {
    TExampleSession Session(Caption);
    if (Session.Headless()) return;
    gfx::HBITMAP Handle = gfx::LoadPngToBitmap(PngPath);
    if (!Handle) return;
    TForm* Form = nullptr;
    Application->CreateForm(TForm::ClassInfo(), Form);
    Form->SetCaption(Caption);
    auto* Bitmap = new TBitmap;
    Bitmap->SetHandle(Handle);
    Form->SetClientWidth(Bitmap->Width());
    Form->SetClientHeight(Bitmap->Height());
    Form->SetPosition(poScreenCenter);
    auto* Picture = new TPicture(Form);
    Picture->SetBitmap(Bitmap);
    Picture->SetAlign(alClient);
    Picture->SetParent(Form);
    Session.Run();
    DoneApplication();
}

} // namespace example
