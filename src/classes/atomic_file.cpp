#include "classes/atomic_file.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "classes/sysutils.h"

namespace cls::detail {

TFileStamp GetFileStamp(const std::string& FileName) {
    TFileStamp Stamp;
    struct stat St {};
    if (FileName.empty() || ::stat(FileName.c_str(), &St) != 0) return Stamp;
    Stamp.Exists = true;
    Stamp.Device = St.st_dev;
    Stamp.Inode = St.st_ino;
    Stamp.Size = St.st_size;
    Stamp.ModifiedNs = static_cast<std::int64_t>(St.st_mtim.tv_sec) * 1000000000 + St.st_mtim.tv_nsec;
    return Stamp;
}

TReadResult ReadWholeFile(const std::string& FileName, std::string& Data, std::string& Error) {
    Data.clear();
    int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TReadResult::Missing;
        Error = SysErrorMessage(errno);
        return TReadResult::Failed;
    }
    struct stat St {};
    if (::fstat(Fd, &St) == 0 && S_ISDIR(St.st_mode)) {
        ::close(Fd);
        Error = SysErrorMessage(EISDIR);
        return TReadResult::Failed;
    }
    char Buffer[65536];
    for (;;) {
        ssize_t N = ::read(Fd, Buffer, sizeof(Buffer));
        if (N < 0 && errno == EINTR) continue;
        if (N < 0) {
            Error = SysErrorMessage(errno);
            ::close(Fd);
            return TReadResult::Failed;
        }
        if (N == 0) break;
        Data.append(Buffer, static_cast<std::size_t>(N));
    }
    ::close(Fd);
    return TReadResult::Ok;
}

namespace {

bool WriteAll(int Fd, std::string_view Data) {
    std::size_t Done = 0;
    while (Done < Data.size()) {
        ssize_t N = ::write(Fd, Data.data() + Done, Data.size() - Done);
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) {
            if (N == 0) errno = EIO;
            return false;
        }
        Done += static_cast<std::size_t>(N);
    }
    return true;
}

// ".name.tmp.XXXXXX", with the name cut (at a character boundary) so the
// whole stays within the file-name limit: a valid name of up to NAME_MAX
// bytes must be writable.
std::string TemporaryName(std::string_view Name) {
    constexpr std::string_view Prefix = ".";
    constexpr std::string_view Suffix = ".tmp.XXXXXX";
    constexpr std::size_t Room = NAME_MAX - Prefix.size() - Suffix.size();
    if (Name.size() > Room) {
        std::size_t Cut = Room;
        while (Cut > 0 && (static_cast<unsigned char>(Name[Cut]) & 0xC0) == 0x80) --Cut;
        Name = Name.substr(0, Cut);
    }
    std::string Result(Prefix);
    Result += Name;
    Result += Suffix;
    return Result;
}

} // namespace

bool WriteFileAtomically(const std::string& FileName, std::string_view Data, unsigned NewFileMode,
                         bool CreateFolders, std::string& Error) {
    namespace fs = std::filesystem;
    if (FileName.empty()) {
        Error = SysErrorMessage(ENOENT);
        return false;
    }
    fs::path Target(FileName);
    std::error_code Ec;
    // Replace what a symbolic link points to, not the link.
    if (fs::is_symlink(Target, Ec)) {
        fs::path Resolved = fs::canonical(Target, Ec);
        if (!Ec) Target = Resolved;
    }
    fs::path Folder = Target.parent_path();
    if (Folder.empty()) Folder = ".";
    if (CreateFolders) fs::create_directories(Folder, Ec);

    std::string TempName = TemporaryName(Target.filename().string());
    std::string Temp = (Folder / TempName).string();
    int Fd = ::mkstemp(Temp.data());
    if (Fd < 0) {
        Error = SysErrorMessage(errno);
        return false;
    }
    auto Fail = [&](int Code) {
        ::close(Fd);
        ::unlink(Temp.c_str());
        Error = SysErrorMessage(Code);
        return false;
    };
    struct stat St {};
    mode_t Mode = ::stat(Target.c_str(), &St) == 0 ? (St.st_mode & 07777) : static_cast<mode_t>(NewFileMode);
    if (::fchmod(Fd, Mode) != 0) return Fail(errno);
    if (!WriteAll(Fd, Data)) return Fail(errno);
    if (::fsync(Fd) != 0) return Fail(errno);
    if (::close(Fd) != 0) {
        int Code = errno;
        ::unlink(Temp.c_str());
        Error = SysErrorMessage(Code);
        return false;
    }
    if (::rename(Temp.c_str(), Target.c_str()) != 0) {
        int Code = errno;
        ::unlink(Temp.c_str());
        Error = SysErrorMessage(Code);
        return false;
    }
    return true;
}

} // namespace cls::detail
