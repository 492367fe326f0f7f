// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace trestle_test {

class TempDir {
public:
    TempDir() {
        std::string Template = (std::filesystem::temp_directory_path() / "trestle-cls-XXXXXX").string();
        if (!::mkdtemp(Template.data())) std::abort();
        FPath = Template;
    }
    ~TempDir() {
        std::error_code Ec;
        std::filesystem::remove_all(FPath, Ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& Name) const { return (FPath / Name).string(); }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

inline std::string ReadFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& Name, const std::string& Data) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out << Data;
}

} // namespace trestle_test
