#include "support/session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

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
// How long a script waits for other threads, in real time.
constexpr auto kWaitLimit = std::chrono::seconds(10);

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

// More than one colour anywhere in the picture.
bool ShowsSomething(const std::string& PngPath) {
    gfx::HBITMAP Picture = gfx::LoadPngToBitmap(PngPath);
    if (!Picture) return false;
    gfx::BITMAP Info;
    bool Varied = false;
    if (gfx::GetObject(Picture, sizeof Info, &Info) && Info.bmBits && Info.bmWidth > 0) {
        const auto* Pixels = static_cast<const std::uint32_t*>(Info.bmBits);
        const std::size_t Count = static_cast<std::size_t>(Info.bmWidth) * Info.bmHeight;
        for (std::size_t I = 1; I < Count && !Varied; ++I) Varied = Pixels[I] != Pixels[0];
    }
    gfx::DeleteObject(Picture);
    return Varied;
}

} // namespace

// The X11 presenter, pumped by a timer: the window system's waits know
// nothing of the X connection.
struct TExampleSession::TPump {
    win::X11Presenter Presenter;
    std::unique_ptr<TTimer> Timer;

    // The X window closed: the program ends, whatever closing its main form
    // would do.
    void Tick(TObject*) {
        if (Presenter.Pump()) return;
        Timer->SetEnabled(false);
        Application->Terminate();
    }
};

TExampleSession::TExampleSession(std::string Name, bool UseDisplay, win::ThemeScheme Theme)
    : FName(std::move(Name)) {
    if (UseDisplay && DisplayNamed()) {
        auto Pump = std::make_unique<TPump>();
        if (Pump->Presenter.Open())
            FPresenter = std::move(Pump);
        else
            std::fprintf(stderr, "%s: cannot open the display; running headless\n", FName.c_str());
    }
    win::SetTheme(Theme);
    if (Headless()) win::SetManualClock(true);
}

bool TExampleSession::TakeThemeOption(int& I, int argc, char** argv, win::ThemeScheme& Theme) {
    if (I + 1 >= argc || std::strcmp(argv[I], "--theme") != 0 || !win::ParseThemeScheme(argv[I + 1], &Theme))
        return false;
    ++I;
    return true;
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
    FSteps.push_back(TStep{std::move(Step), nullptr, ""});
}

void TExampleSession::AddWaitUntil(std::function<bool()> Condition, std::string What) {
    FSteps.push_back(TStep{nullptr, std::move(Condition), std::move(What)});
}

void TExampleSession::MoveMouse(TControl* Control, int X, int Y) {
    MoveMouseTo(Control->ClientToScreen(TPoint{X, Y}));
}

void TExampleSession::MoveMouseTo(gfx::POINT ScreenPoint) {
    win::InjectMouseMove(ScreenPoint);
}

void TExampleSession::Click(TControl* Control, int X, int Y) {
    ClickAt(Control->ClientToScreen(TPoint{X, Y}));
}

void TExampleSession::RightClick(TControl* Control, int X, int Y) {
    ClickAt(Control->ClientToScreen(TPoint{X, Y}), true);
}

void TExampleSession::ClickAt(gfx::POINT ScreenPoint, bool Right) {
    MoveMouseTo(ScreenPoint);
    PressMouse(Right);
    ReleaseMouse(Right);
}

void TExampleSession::PressMouse(bool Right) {
    win::InjectMouseButton(Right ? win::MouseButton::Right : win::MouseButton::Left, true);
}

void TExampleSession::ReleaseMouse(bool Right) {
    win::InjectMouseButton(Right ? win::MouseButton::Right : win::MouseButton::Left, false);
}

void TExampleSession::PressKey(int VirtualKey, const char* Chars) {
    win::InjectKey(VirtualKey, true, Chars);
    win::InjectKey(VirtualKey, false);
}

void TExampleSession::Wait(unsigned Milliseconds) {
    win::AdvanceClock(Milliseconds);
}

bool TExampleSession::ShowsOnScreen(TWinControl* Control) {
    if (!Control || !Control->HandleAllocated() || !win::IsWindowVisible(Control->Handle())) return false;
    TRect R;
    win::GetWindowRect(Control->Handle(), &R);
    // The screen is composed once and read directly: a pixel at a time it
    // would be composed for each.
    gfx::BitmapSurface Screen;
    if (!gfx::GetBitmapSurface(win::GetScreenBitmap(), &Screen)) return false;
    const TRect Virtual{win::GetSystemMetrics(win::SM_XVIRTUALSCREEN),
                        win::GetSystemMetrics(win::SM_YVIRTUALSCREEN),
                        win::GetSystemMetrics(win::SM_XVIRTUALSCREEN) + Screen.width,
                        win::GetSystemMetrics(win::SM_YVIRTUALSCREEN) + Screen.height};
    const gfx::COLORREF Desktop = gfx::GetSysColor(gfx::COLOR_BACKGROUND);
    std::set<gfx::COLORREF> Colours;
    long Total = 0;
    long OfDesktop = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X) {
            const gfx::POINT P{X, Y};
            const gfx::COLORREF C = gfx::PtInRect(&Virtual, P)
                                        ? gfx::ColorFromPixel(Screen.Row(Y - Virtual.top)[X - Virtual.left])
                                        : gfx::CLR_INVALID;
            ++Total;
            OfDesktop += C == Desktop;
            if (Colours.size() < 8) Colours.insert(C);
        }
    return Total > 0 && OfDesktop * 50 < Total && Colours.size() > 2;
}

gfx::HBITMAP TExampleSession::CopyScreen(const gfx::RECT& Part) {
    const int Width = Part.right - Part.left;
    const int Height = Part.bottom - Part.top;
    gfx::HDC Screen = gfx::CreateCompatibleDC(nullptr);
    gfx::HDC Copy = gfx::CreateCompatibleDC(nullptr);
    gfx::HGDIOBJ OldScreen = gfx::SelectObject(Screen, win::GetScreenBitmap());
    gfx::HBITMAP Bitmap = gfx::CreateCompatibleBitmap(Screen, Width, Height);
    gfx::HGDIOBJ OldCopy = gfx::SelectObject(Copy, Bitmap);
    // The screen bitmap starts at the virtual screen's corner.
    gfx::BitBlt(Copy, 0, 0, Width, Height, Screen, Part.left - win::GetSystemMetrics(win::SM_XVIRTUALSCREEN),
                Part.top - win::GetSystemMetrics(win::SM_YVIRTUALSCREEN), gfx::SRCCOPY);
    gfx::SelectObject(Copy, OldCopy);
    gfx::SelectObject(Screen, OldScreen);
    gfx::DeleteDC(Copy);
    gfx::DeleteDC(Screen);
    return Bitmap;
}

bool TExampleSession::Snapshot(const std::string& Name, const gfx::RECT* Part) {
    const std::string Path = "out/" + Name + ".png";
    std::error_code Error;
    std::filesystem::create_directories("out", Error);
    if (!(Part ? win::SnapshotRect(*Part, Path) : win::SnapshotScreen(Path))) {
        Fail("could not write " + Path);
        return false;
    }
    return CheckPicture(Path);
}

bool TExampleSession::CheckPicture(const std::string& Path) {
    if (!ShowsSomething(Path)) {
        Fail(Path + " is missing or shows a single colour");
        return false;
    }
    std::printf("%s: wrote %s\n", FName.c_str(), Path.c_str());
    return true;
}

void TExampleSession::Fail(const std::string& What) {
    std::fprintf(stderr, "%s: %s\n", FName.c_str(), What.c_str());
    FFailed = true;
}

bool TExampleSession::NextStep() {
    if (FNextStep < FSteps.size()) {
        TStep& Step = FSteps[FNextStep];
        if (!Step.Until) {
            ++FNextStep;
            Step.Action();
            return true;
        }
        const auto Now = std::chrono::steady_clock::now();
        if (!FWaiting) {
            FWaiting = true;
            FWaitStart = Now;
        }
        if (Step.Until()) {
            FWaiting = false;
            ++FNextStep;
        } else if (Now - FWaitStart > kWaitLimit) {
            FWaiting = false;
            ++FNextStep;
            Fail("gave up waiting: " + Step.What);
        } else {
            // The other thread's messages are handled before the next look.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    if (FFinished) return false;
    FFinished = true;
    if (FScriptEndsProgram) {
        Fail("the program still runs after the last step of its script");
        Application->Terminate();
    } else {
        Snapshot(FName);
        CloseMainForm();
    }
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
    // A loop still waiting when the script has ended stops the program with a
    // message that names the loop (TApplication::Run).
    Application->Run();
    if (FNextStep < FSteps.size())
        Fail("the program ended at step " + std::to_string(FNextStep) + " of " +
             std::to_string(FSteps.size()) + " of its script");
    else if (!FFinished && !FScriptEndsProgram)
        Fail("the program ended before its closing picture");
    return FFailed ? 1 : 0;
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
