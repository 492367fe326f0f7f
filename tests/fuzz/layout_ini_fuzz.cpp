// The INI layout reader on any file content: the form keeps a usable layout,
// and the layout it ends up with saves and reads back without a problem.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "layout_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const bool Started = [] {
        win::SetManualClock(true);
        return true;
    }();
    (void)Started;
    const std::string Name = fuzz::ScratchFile("layout.ini");
    const std::string Again = fuzz::ScratchFile("again.ini");
    fuzz::WriteWholeFile(Name, std::string_view(reinterpret_cast<const char*>(Data), Size));
    {
        fuzz::TLayoutForm Form;
        const bars::TdxBarLayoutResult Loaded = Form.Manager->LoadFromIniFile(Name);
        fuzz::TLayoutForm::Pump();
        Form.Check();
        if (!Loaded.Failed()) {
            const bars::TdxBarLayoutResult Saved = Form.Manager->SaveToIniFile(Again);
            fuzz::CheckRoundTrip(Saved, Form.Manager->LoadFromIniFile(Again));
            Form.Check();
        }
    }
    fuzz::TLayoutForm::Pump();
    return 0;
}
