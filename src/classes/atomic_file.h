// Internal: whole-file reads and atomic replacement, shared by the INI files
// and the registry store.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cls::detail {

// Identifies one version of a file, to notice changes made by others.
struct TFileStamp {
    bool Exists = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

TFileStamp GetFileStamp(const std::string& FileName);

enum class TReadResult { Ok, Missing, Failed };
// Reads the whole file into Data; on Failed, Error is the system's reason.
TReadResult ReadWholeFile(const std::string& FileName, std::string& Data, std::string& Error);

// Writes Data to a temporary file in the same folder, flushes it to disk and
// renames it over FileName, so the file is either the old one or the new one,
// never a mixture. Keeps the permissions of an existing file; a new file gets
// NewFileMode. Creates missing folders when CreateFolders is set. On failure
// returns false with the system's reason, and the old file is untouched.
bool WriteFileAtomically(const std::string& FileName, std::string_view Data, unsigned NewFileMode,
                         bool CreateFolders, std::string& Error);

} // namespace cls::detail
