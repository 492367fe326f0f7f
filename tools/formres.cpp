// Compiles a text form file into a C++ source file that adds the binary form
// resource to the program's resources before main runs, named by the class
// of the form's root object (see trestle_form_resource in CMakeLists.txt).
//   trestle_formres <form text file> <output source file>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "classes/formtext.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <form text file> <output source file>\n", argv[0]);
        return 2;
    }
    std::ifstream In(argv[1], std::ios::binary);
    if (!In) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    std::string Binary;
    try {
        Binary = cls::ObjectTextToBinary(Text);
    } catch (const cls::Exception& E) {
        std::fprintf(stderr, "%s: %s\n", argv[1], E.Message().c_str());
        return 1;
    }
    // "TPF0", an optional prefix (with a child position), then the class name.
    std::size_t Pos = 4;
    if ((static_cast<unsigned char>(Binary[Pos]) & 0xF0) == 0xF0) {
        std::fprintf(stderr, "%s: the root object cannot be inherited or inline\n", argv[1]);
        return 1;
    }
    const std::string ClassName = Binary.substr(Pos + 1, static_cast<unsigned char>(Binary[Pos]));

    std::ostringstream Out;
    Out << "// Made by trestle_formres from " << argv[1] << ".\n"
        << "#include <string>\n\n#include \"win/user.h\"\n\nnamespace {\n\n"
        << "const unsigned char kForm[] = {";
    for (std::size_t I = 0; I < Binary.size(); ++I) {
        if (I % 16 == 0) Out << "\n   ";
        Out << ' ' << static_cast<unsigned>(static_cast<unsigned char>(Binary[I])) << ',';
    }
    Out << "\n};\n\n"
        << "[[maybe_unused]] const bool kAdded = win::AddResource(nullptr, win::RT_RCDATA, \"" << ClassName
        << "\", nullptr, nullptr,\n"
        << "    std::string(reinterpret_cast<const char*>(kForm), sizeof kForm)) != 0;\n\n"
        << "} // namespace\n";
    std::ofstream Output(argv[2], std::ios::binary | std::ios::trunc);
    Output << Out.str();
    if (!Output) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
