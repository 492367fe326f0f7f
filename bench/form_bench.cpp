// Form streams: reading the toolbar program's main form from its form
// resource, converting a text form of about 100 kB (a manager with 400
// buttons in its bars and menus) to the binary form stream and back, and
// reading that stream into a form.
#include <benchmark/benchmark.h>

#include <string>

#include "bars/manager.h"
#include "classes/forms.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/streams.h"
#include "toolbars.h"
#include "win/driver.h"

namespace {

std::string LargeText() {
    std::string Text = "object Large: TForm\n  Caption = 'A large form'\n  object Manager: TdxBarManager\n"
                       "    Categories.Strings = (\n      'Default'\n      'Commands')\n    Bars = <\n";
    for (int Bar = 0; Bar < 8; ++Bar) {
        Text += "      item\n        Caption = 'Toolbar " + std::to_string(Bar) +
                "'\n        DockingStyle = dsTop\n"
                "        Row = " +
                std::to_string(Bar) + "\n        ItemLinks = <\n";
        for (int K = 0; K < 50; ++K)
            Text += "          item\n            Item = Command" + std::to_string(Bar * 50 + K) +
                    "\n            BeginGroup = " + (K % 5 == 0 ? "True" : "False") + "\n          end\n";
        Text += "        >\n        Visible = True\n      end\n";
    }
    Text += "    >\n";
    for (int N = 0; N < 400; ++N)
        Text += "    object Command" + std::to_string(N) +
                ": TdxBarButton\n      Caption = 'Command number " + std::to_string(N) +
                "'\n      Category = 1\n      Hint = 'Runs command " + std::to_string(N) +
                " of the large form|A longer description of what it does'\n      ImageIndex = " +
                std::to_string(N % 16) + "\n    end\n";
    return Text + "  end\nend\n";
}

const std::string& Text() {
    static const std::string T = LargeText();
    return T;
}

// The form's own construction is left out: the resource is read into a
// form made with new (which reads nothing by itself).
void ReadToolbarForm(benchmark::State& State) {
    win::SetManualClock(true);
    for (auto _ : State) {
        State.PauseTiming();
        auto* Form = new toolbars::TMainForm(nullptr);
        State.ResumeTiming();
        if (!cls::InitInheritedComponent(Form, cls::TForm::ClassInfo()))
            State.SkipWithError("no form resource");
        State.PauseTiming();
        delete Form;
        State.ResumeTiming();
    }
}
BENCHMARK(ReadToolbarForm)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void TextToBinary(benchmark::State& State) {
    for (auto _ : State) benchmark::DoNotOptimize(cls::ObjectTextToBinary(Text()));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text().size()));
    State.counters["text_kB"] = static_cast<double>(Text().size()) / 1024;
}
BENCHMARK(TextToBinary)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BinaryToText(benchmark::State& State) {
    const std::string Binary = cls::ObjectTextToBinary(Text());
    for (auto _ : State) benchmark::DoNotOptimize(cls::ObjectBinaryToText(Binary));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Binary.size()));
}
BENCHMARK(BinaryToText)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void ReadLargeForm(benchmark::State& State) {
    win::SetManualClock(true);
    const std::string Binary = cls::ObjectTextToBinary(Text());
    for (auto _ : State) {
        auto* Form = new cls::TForm(nullptr);
        cls::TStringStream Stream(Binary);
        cls::ReadComponent(&Stream, Form);
        State.PauseTiming();
        if (!dynamic_cast<bars::TdxBarManager*>(Form->FindComponent("Manager")))
            State.SkipWithError("no manager");
        delete Form;
        State.ResumeTiming();
    }
}
BENCHMARK(ReadLargeForm)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
