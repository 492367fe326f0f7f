// The INI readers on any file content. TMemIniFile: what it read, written and
// read again, is the same. TIniFile: a written value reads back, the other
// sections stay listed, and a leading byte-order mark stays in front.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "classes/inifiles.h"
#include "classes/strings.h"
#include "fuzz.h"

namespace {

std::string Lines(cls::TMemIniFile& Ini) {
    cls::TStringList List;
    Ini.GetStrings(&List);
    return List.Text();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Content(reinterpret_cast<const char*>(Data), Size);
    const std::string Name = fuzz::ScratchFile("fuzz.ini");
    fuzz::WriteWholeFile(Name, Content);

    {
        cls::TMemIniFile Ini(Name);
        cls::TStringList Sections;
        Ini.ReadSections(&Sections);
        for (int I = 0; I < Sections.Count(); ++I) {
            cls::TStringList Values;
            Ini.ReadSectionValues(Sections[I], &Values);
            for (int J = 0; J < Values.Count(); ++J) Ini.ReadString(Sections[I], Values.Names(J), "");
        }
        const std::string Before = Lines(Ini);
        Ini.UpdateFile();
        cls::TMemIniFile Again(Name);
        FUZZ_REQUIRE(Lines(Again) == Before);
    }

    fuzz::WriteWholeFile(Name, Content);
    cls::TIniFile Ini(Name);
    cls::TStringList Before;
    Ini.ReadSections(&Before);
    if (Before.Count() > 0) {
        cls::TStringList Keys;
        Ini.ReadSection(Before[0], &Keys);
        for (int I = 0; I < Keys.Count(); ++I) Ini.ReadString(Before[0], Keys[I], "");
    }
    Ini.WriteString("fuzz section", "fuzz key", "fuzz value");
    cls::TIniFile Reader(Name);
    FUZZ_REQUIRE(Reader.ReadString("FUZZ SECTION", "Fuzz Key", "") == "fuzz value");
    cls::TStringList After;
    Reader.ReadSections(&After);
    for (int I = 0; I < Before.Count(); ++I) FUZZ_REQUIRE(After.IndexOf(Before[I]) >= 0);
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (Content.starts_with(Bom)) FUZZ_REQUIRE(fuzz::ReadWholeFile(Name).starts_with(Bom));
    Ini.EraseSection("fuzz section");
    return 0;
}
