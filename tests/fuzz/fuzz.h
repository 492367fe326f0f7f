// What the fuzz targets share: a checked condition that names itself when it
// fails, and scratch files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Failed(const char* Condition, const char* File, int Line) {
    std::fprintf(stderr, "%s:%d: FUZZ_REQUIRE(%s) failed\n", File, Line, Condition);
    std::abort();
}

#define FUZZ_REQUIRE(Condition) ((Condition) ? void() : ::fuzz::Failed(#Condition, __FILE__, __LINE__))

// A folder for the files the reader targets write, made once per process and
// removed at exit. Under /dev/shm where it exists: the store and INI writers
// flush to disk, which a memory file system makes cheap.
inline const std::filesystem::path& ScratchDir() {
    // Never destroyed: the clean-up at exit still needs it.
    static const auto* Dir = [] {
        std::error_code Ec;
        std::filesystem::path Base = std::filesystem::is_directory("/dev/shm", Ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string Template = (Base / "trestle-fuzz-XXXXXX").string();
        if (!::mkdtemp(Template.data())) std::abort();
        std::atexit([] {
            std::error_code Ignored;
            std::filesystem::remove_all(ScratchDir(), Ignored);
        });
        return new std::filesystem::path(Template);
    }();
    return *Dir;
}

inline std::string ScratchFile(const std::string& Name) {
    return (ScratchDir() / Name).string();
}

inline void WriteWholeFile(const std::string& Name, std::string_view Data) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
}

inline std::string ReadWholeFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

} // namespace fuzz
