// Saving and restoring a bar layout of four toolbars with twelve commands
// each (two docked on top, one on the left, one floating, with user captions
// and usage data) in the registry store and in an INI file. Each medium runs
// with its file in the temporary folder (a disk: the atomic write's flush
// to disk dominates the save) and in /dev/shm (a memory file system: the
// library's own work). A restore is timed up to the composed frame: the
// messages it causes handled, the windows painted, the screen composed.
#include <benchmark/benchmark.h>

#include "repetitions.h"

#include <filesystem>
#include <string>
#include <unistd.h>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/layout.h"
#include "bars/manager.h"
#include "classes/forms.h"
#include "classes/registry.h"
#include "win/driver.h"
#include "win/user.h"

namespace {

void Pump() {
    win::MSG Msg{};
    while (win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE)) {
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
}

void Frame() {
    Pump();
    win::ComposeScreen();
}

class TLayoutForm {
public:
    TLayoutForm() {
        win::SetManualClock(true);
        Form = new cls::TForm(nullptr);
        Form->SetName("BenchForm");
        Form->SetBounds(20, 20, 900, 600);
        Manager = new bars::TdxBarManager(Form);
        Manager->SetName("BarManager");
        const bars::TdxBarDockingStyle Styles[] = {bars::dsTop, bars::dsTop, bars::dsLeft, bars::dsNone};
        for (int N = 0; N < 4; ++N) {
            bars::TdxBar* Bar = Manager->Bars()->Add();
            Bar->SetCaption("Toolbar " + std::to_string(N));
            Bar->SetDockingStyle(Styles[N]);
            Bar->SetRow(N);
            Bar->SetFloatLeft(300);
            Bar->SetFloatTop(300);
            for (int K = 0; K < 12; ++K) {
                auto* Button = new bars::TdxBarButton(Form);
                Button->SetName("Command" + std::to_string(N) + "_" + std::to_string(K));
                Button->SetCaption("Command " + std::to_string(K));
                bars::TdxBarItemLink* Link = Bar->ItemLinks()->Add(Button);
                Link->SetBeginGroup(K % 4 == 0);
                if (K == 5) Link->SetUserCaption("Mine");
                if (K % 3 == 0) Link->ApplyRecentUse(true);
            }
            Bar->SetVisible(true);
        }
        Form->Show();
        Manager->Loaded();
        Frame();
    }
    ~TLayoutForm() { delete Form; }

    cls::TForm* Form;
    bars::TdxBarManager* Manager;
};

std::string Folder(bool AMemory) {
    const std::filesystem::path Base =
        AMemory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    const std::string Path = (Base / ("trestle-layout-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(Path);
    return Path;
}

const char* const RegistryPath = "Software\\Trestle\\Bench";

void Check(benchmark::State& AState, const bars::TdxBarLayoutResult& AResult) {
    if (!AResult.Ok()) AState.SkipWithError("the layout had problems");
}

void BM_SaveToRegistry(benchmark::State& State) {
    const std::string Dir = Folder(State.range(0) != 0);
    cls::SetRegistryStoreFileName(Dir + "/registry");
    TLayoutForm Layout;
    for (auto _ : State) Check(State, Layout.Manager->SaveToRegistry(RegistryPath));
    cls::SetRegistryStoreFileName("");
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_SaveToRegistry)
    ->ArgName("shm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

void BM_LoadFromRegistry(benchmark::State& State) {
    const std::string Dir = Folder(State.range(0) != 0);
    cls::SetRegistryStoreFileName(Dir + "/registry");
    TLayoutForm Layout;
    Check(State, Layout.Manager->SaveToRegistry(RegistryPath));
    for (auto _ : State) {
        Check(State, Layout.Manager->LoadFromRegistry(RegistryPath));
        Frame();
    }
    cls::SetRegistryStoreFileName("");
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_LoadFromRegistry)
    ->ArgName("shm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

void BM_SaveToIniFile(benchmark::State& State) {
    const std::string Dir = Folder(State.range(0) != 0);
    TLayoutForm Layout;
    for (auto _ : State) Check(State, Layout.Manager->SaveToIniFile(Dir + "/layout.ini"));
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_SaveToIniFile)
    ->ArgName("shm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

void BM_LoadFromIniFile(benchmark::State& State) {
    const std::string Dir = Folder(State.range(0) != 0);
    TLayoutForm Layout;
    Check(State, Layout.Manager->SaveToIniFile(Dir + "/layout.ini"));
    for (auto _ : State) {
        Check(State, Layout.Manager->LoadFromIniFile(Dir + "/layout.ini"));
        Frame();
    }
    std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_LoadFromIniFile)
    ->ArgName("shm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

} // namespace
