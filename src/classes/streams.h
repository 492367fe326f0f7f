// Streams: TStream, TMemoryStream, THandleStream/TFileStream, TStringStream.
// Positions and sizes are 64-bit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/object.h"

namespace cls {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// Open modes of TFileStream. The share flags are accepted and ignored: the
// files this library opens are its own.
inline constexpr std::uint16_t fmCreate = 0xFF00;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
    TRESTLE_CLASS(TStream, TObject)
public:
    TStream() = default;

    // Return the number of bytes moved (0 on failure or at the end).
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Value) { Seek(Value, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    // Read or write exactly Count bytes, or raise EReadError "Stream read
    // error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, std::int64_t Count);
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    // Copies Count bytes from Source's position; Count 0 copies all of Source
    // from its start. Returns the number of bytes copied.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);
};

class TMemoryStream : public TStream {
    TRESTLE_CLASS(TMemoryStream, TStream)
public:
    TMemoryStream() = default;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    // Writing past the end grows the stream; a gap is filled with zeros.
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    // The position may be set anywhere, also past the end.
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t NewSize) override;

    std::uint8_t* Memory() { return FData.data(); }
    const std::uint8_t* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

// A stream over an open file descriptor, which it does not own.
class THandleStream : public TStream {
    TRESTLE_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() override;
    // Truncates or extends the file and leaves the position at NewSize;
    // raises EStreamError on failure.
    void SetSize(std::int64_t NewSize) override;

    int Handle() const { return FHandle; }

protected:
    int FHandle;
};

class TFileStream : public THandleStream {
    TRESTLE_CLASS(TFileStream, THandleStream)
public:
    // fmCreate creates or empties the file (EFCreateError "Cannot create file
    // "%s". %s"); otherwise the file must exist and not be a folder
    // (EFOpenError "Cannot open file "%s". %s"). The name in the message is
    // the absolute path, the reason the system's error text.
    TFileStream(const std::string& AFileName, std::uint16_t Mode);
    ~TFileStream() override;

    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A memory stream with string access (the later original's TStringStream,
// which writes over and past existing data like a memory stream).
class TStringStream : public TMemoryStream {
    TRESTLE_CLASS(TStringStream, TMemoryStream)
public:
    explicit TStringStream(const std::string& AString = std::string());

    std::string DataString() const;
    // Reads up to Count bytes from the position.
    std::string ReadString(std::int64_t Count);
    void WriteString(const std::string& AString);
};

} // namespace cls
