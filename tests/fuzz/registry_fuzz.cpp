// The registry store reader on any file content: a store loads or is refused
// with ERegistryException; one that loads is written in a form that reads
// back to the same store (writing it again gives the same bytes), and its
// keys can be listed, deleted and freed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "classes/exceptions.h"
#include "classes/registry.h"
#include "classes/strings.h"
#include "fuzz.h"

namespace {

constexpr cls::HKEY Hives[] = {cls::HKEY_CLASSES_ROOT, cls::HKEY_CURRENT_USER, cls::HKEY_LOCAL_MACHINE,
                               cls::HKEY_USERS, cls::HKEY_CURRENT_CONFIG};

// Changes the store by one value, so that closing the key writes it.
void Touch() {
    cls::TRegistry R;
    R.SetRootKey(cls::HKEY_CURRENT_USER);
    FUZZ_REQUIRE(R.OpenKey("\\fuzz", true));
    R.WriteString("fuzz", "value");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Name = fuzz::ScratchFile("registry");
    cls::SetRegistryStoreFileName(Name);
    fuzz::WriteWholeFile(Name, std::string_view(reinterpret_cast<const char*>(Data), Size));
    try {
        Touch();
    } catch (const cls::ERegistryException&) {
        // Refused, and left as it was.
        FUZZ_REQUIRE(fuzz::ReadWholeFile(Name) ==
                     std::string_view(reinterpret_cast<const char*>(Data), Size));
        return 0;
    }
    const std::string Written = fuzz::ReadWholeFile(Name);
    Touch();
    FUZZ_REQUIRE(fuzz::ReadWholeFile(Name) == Written);

    cls::TRegistry R;
    for (cls::HKEY Hive : Hives) {
        R.SetRootKey(Hive);
        if (!R.OpenKey("", false)) continue;
        cls::TStringList Keys;
        cls::TStringList Values;
        R.GetKeyNames(&Keys);
        R.GetValueNames(&Values);
        for (int I = 0; I < Values.Count(); ++I) R.GetDataSize(Values[I]);
        for (int I = 0; I < Keys.Count(); ++I) FUZZ_REQUIRE(R.DeleteKey(Keys[I]));
        R.CloseKey();
    }
    return 0;
}
