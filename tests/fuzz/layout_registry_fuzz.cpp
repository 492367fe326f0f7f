// The registry layout reader on any store file: the form keeps a usable
// layout, and the layout it ends up with saves to another key of the store
// and reads back from there without a problem.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "classes/registry.h"
#include "layout_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const std::string Store = [] {
        win::SetManualClock(true);
        std::string Name = fuzz::ScratchFile("registry");
        cls::SetRegistryStoreFileName(Name);
        return Name;
    }();
    fuzz::WriteWholeFile(Store, std::string_view(reinterpret_cast<const char*>(Data), Size));
    {
        fuzz::TLayoutForm Form;
        const bars::TdxBarLayoutResult Loaded = Form.Manager->LoadFromRegistry("Software\\Fuzz\\Layout");
        fuzz::TLayoutForm::Pump();
        Form.Check();
        if (!Loaded.Failed()) {
            const bars::TdxBarLayoutResult Saved = Form.Manager->SaveToRegistry("Software\\Fuzz\\Again");
            fuzz::CheckRoundTrip(Saved, Form.Manager->LoadFromRegistry("Software\\Fuzz\\Again"));
            Form.Check();
        }
    }
    fuzz::TLayoutForm::Pump();
    return 0;
}
