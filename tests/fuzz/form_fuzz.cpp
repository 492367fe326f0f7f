// The text form on any input: a text that converts gives a stream that
// converts back to the same bytes; the stream read into a form either
// raises a class-library error and leaves the form empty, or gives a form
// (a manager, bars, items, controls) that writes a stream which reads again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bars/manager.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/streams.h"
#include "fuzz.h"
#include "win/driver.h"
#include "win/user.h"

namespace {

void Pump() {
    win::MSG Msg{};
    for (int I = 0; I < 10000 && win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE); ++I) {
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
}

// Reads ABinary into a new form; nullptr (and the form gone) when it raises.
cls::TForm* Read(const std::string& ABinary) {
    auto* Form = new cls::TForm(nullptr);
    cls::TStringStream Stream(ABinary);
    try {
        cls::ReadComponent(&Stream, Form);
    } catch (const cls::Exception&) {
        FUZZ_REQUIRE(Form->ComponentCount() == 0);
        delete Form;
        return nullptr;
    }
    return Form;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const bool Started = [] {
        win::SetManualClock(true);
        return true;
    }();
    (void)Started;
    if (Size > 65536) return 0;
    std::string Binary;
    try {
        Binary = cls::ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(Data), Size));
    } catch (const cls::EParserError&) {
        return 0;
    }
    const std::string Text = cls::ObjectBinaryToText(Binary);
    FUZZ_REQUIRE(cls::ObjectTextToBinary(Text) == Binary);

    if (cls::TForm* Form = Read(Binary)) {
        cls::TStringStream Written;
        cls::WriteComponent(&Written, Form);
        delete Form;
        Pump();
        cls::TForm* Again = Read(Written.DataString());
        FUZZ_REQUIRE(Again != nullptr);
        delete Again;
    }
    Pump();
    return 0;
}
