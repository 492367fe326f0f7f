#include "classes/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "classes/exceptions.h"

namespace cls {

// --- TStream ---

std::int64_t TStream::Size() {
    std::int64_t Pos = Seek(0, soCurrent);
    std::int64_t Result = Seek(0, soEnd);
    Seek(Pos, soBeginning);
    return Result;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    const std::int64_t Result = Count;
    constexpr std::int64_t MaxBufSize = 0xF000;
    std::vector<std::uint8_t> Buffer(
        static_cast<std::size_t>(std::clamp<std::int64_t>(Count, 1, MaxBufSize)));
    while (Count > 0) {
        std::int64_t N = std::min<std::int64_t>(Count, static_cast<std::int64_t>(Buffer.size()));
        Source->ReadBuffer(Buffer.data(), N);
        WriteBuffer(Buffer.data(), N);
        Count -= N;
    }
    return Result;
}

// --- TMemoryStream ---

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
    if (FPosition < 0 || Count <= 0) return 0;
    std::int64_t Available = Size() - FPosition;
    if (Available <= 0) return 0;
    std::int64_t N = std::min(Available, Count);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(N));
    FPosition += N;
    return N;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (FPosition < 0 || Count <= 0) return 0;
    std::int64_t End = FPosition + Count;
    if (End > Size()) FData.resize(static_cast<std::size_t>(End), 0);
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = End;
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
        case soBeginning:
            FPosition = Offset;
            break;
        case soCurrent:
            FPosition += Offset;
            break;
        case soEnd:
            FPosition = Size() + Offset;
            break;
    }
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    NewSize = std::max<std::int64_t>(NewSize, 0);
    FData.resize(static_cast<std::size_t>(NewSize), 0);
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    std::int64_t Count = Stream->Size();
    SetSize(Count);
    if (Count != 0) Stream->ReadBuffer(FData.data(), Count);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&Stream);
}

void TMemoryStream::SaveToStream(TStream* Stream) {
    if (!FData.empty()) Stream->WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(&Stream);
}

// --- THandleStream ---

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    auto* P = static_cast<std::uint8_t*>(Buffer);
    std::int64_t Done = 0;
    while (Done < Count) {
        ssize_t N = ::read(FHandle, P + Done, static_cast<std::size_t>(Count - Done));
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) break;
        Done += N;
    }
    return Done;
}

std::int64_t THandleStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    const auto* P = static_cast<const std::uint8_t*>(Buffer);
    std::int64_t Done = 0;
    while (Done < Count) {
        ssize_t N = ::write(FHandle, P + Done, static_cast<std::size_t>(Count - Done));
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) break;
        Done += N;
    }
    return Done;
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t Result = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
    return Result < 0 ? -1 : static_cast<std::int64_t>(Result);
}

std::int64_t THandleStream::Size() {
    struct stat St {};
    if (::fstat(FHandle, &St) != 0) return TStream::Size();
    return static_cast<std::int64_t>(St.st_size);
}

void THandleStream::SetSize(std::int64_t NewSize) {
    Seek(NewSize, soBeginning);
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError(SStreamSizeError, {SysErrorMessage(errno)});
}

// --- TFileStream ---

namespace {

std::string ExpandFileName(const std::string& AFileName) {
    std::error_code Error;
    std::filesystem::path Result = std::filesystem::absolute(AFileName, Error);
    return Error ? AFileName : Result.lexically_normal().string();
}

} // namespace

TFileStream::TFileStream(const std::string& AFileName, std::uint16_t Mode)
    : THandleStream(-1), FFileName(AFileName) {
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(SFCreateErrorEx, {ExpandFileName(AFileName), SysErrorMessage(errno)});
        return;
    }
    int Access = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    FHandle = ::open(AFileName.c_str(), Access | O_CLOEXEC);
    int Error = errno;
    if (FHandle >= 0) {
        struct stat St {};
        if (::fstat(FHandle, &St) == 0 && S_ISDIR(St.st_mode)) {
            ::close(FHandle);
            FHandle = -1;
            Error = EISDIR;
        }
    }
    if (FHandle < 0) throw EFOpenError(SFOpenErrorEx, {ExpandFileName(AFileName), SysErrorMessage(Error)});
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// --- TStringStream ---

TStringStream::TStringStream(const std::string& AString) {
    if (!AString.empty()) {
        WriteBuffer(AString.data(), static_cast<std::int64_t>(AString.size()));
        SetPosition(0);
    }
}

std::string TStringStream::DataString() const {
    auto* Self = const_cast<TStringStream*>(this);
    return std::string(reinterpret_cast<const char*>(Memory()), static_cast<std::size_t>(Self->Size()));
}

std::string TStringStream::ReadString(std::int64_t Count) {
    std::int64_t Available = std::max<std::int64_t>(Size() - Position(), 0);
    std::string Result(static_cast<std::size_t>(std::clamp<std::int64_t>(Count, 0, Available)), '\0');
    if (!Result.empty())
        Result.resize(
            static_cast<std::size_t>(Read(Result.data(), static_cast<std::int64_t>(Result.size()))));
    return Result;
}

void TStringStream::WriteString(const std::string& AString) {
    WriteBuffer(AString.data(), static_cast<std::int64_t>(AString.size()));
}

} // namespace cls
