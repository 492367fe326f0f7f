// INI files: TMemIniFile keeps the whole file in memory and writes it back in
// UpdateFile; TIniFile reads and writes the file on every call, as the
// platform's private-profile functions do.
//
// Files are UTF-8 (a leading byte order mark is skipped, and TIniFile writes
// it back when it rewrites the file); lines end with
// CR LF, LF or CR and are written with LF. Section and key names ignore case,
// Cyrillic and other letters included. Reading never fails on bad content:
// lines before the first section are ignored, a line without "=" is kept as
// it is, of duplicate keys and sections the first one is read, an
// unterminated "[header" is an ordinary line, binary junk becomes lines.
// Writing goes to a temporary file that is renamed over the old one; a
// failed write raises EIniFileException "Unable to write to <file>" and
// leaves the old file as it was.
#pragma once

#include <string>
#include <vector>

#include "classes/atomic_file.h"
#include "classes/object.h"
#include "classes/strings.h"

namespace cls {

class TStream;

class TCustomIniFile : public TObject {
    TRESTLE_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(const std::string& AFileName) : FFileName(AFileName) {}

    const std::string& FileName() const { return FFileName; }

    // True when the section has at least one line.
    virtual bool SectionExists(const std::string& Section);
    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident,
                             const std::string& Value) = 0;
    // Decimal, or hex after "0x" or "$"; Default when missing or not a number.
    virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Written as "1" and "0"; any integer other than 0 reads as true.
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // "." as the decimal separator (FloatToStr / StrToFloat).
    virtual double ReadFloat(const std::string& Section, const std::string& Name, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Name, double Value);
    // Binary data as upper-case hex digits. Reading decodes up to the first
    // character that is not a hex pair and writes the bytes at Value's
    // position (a memory stream keeps its position at their start); returns
    // the number of bytes. Writing stores Value from its position to its end.
    virtual int ReadBinaryStream(const std::string& Section, const std::string& Name, TStream* Value);
    virtual void WriteBinaryStream(const std::string& Section, const std::string& Name, TStream* Value);

    // Key names of the section (the text before "=" of each line).
    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    // The section's lines ("key=value").
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void UpdateFile() = 0;
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);

protected:
    std::string FFileName;
};

class TMemIniFile : public TCustomIniFile {
    TRESTLE_CLASS(TMemIniFile, TCustomIniFile)
public:
    // Loads the file; a missing file gives an empty one. A file that exists
    // but cannot be read raises EFOpenError.
    explicit TMemIniFile(const std::string& AFileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Writes the sections in memory to FileName (comments of the loaded file are not kept).
    void UpdateFile() override;

    void Clear();
    // Appends "[section]", the section's lines and an empty line per section.
    void GetStrings(TStrings* List);
    // Replaces the contents with the parsed lines of List.
    void SetStrings(TStrings* List);
    // Uses another file from now on, and loads it with Reload.
    void Rename(const std::string& AFileName, bool Reload);
    bool CaseSensitive() const { return FSections.CaseSensitive(); }
    void SetCaseSensitive(bool Value);

private:
    TStringList* AddSection(const std::string& Section);
    TStringList* FindSection(const std::string& Section) const;
    void LoadValues();

    TStringList FSections; // objects: the section's lines, owned
    // The last section found, by the name asked for: writes and reads come
    // in runs on one section.
    mutable int FLastSection = -1;
    mutable std::string FLastSectionName;
};

class TIniFile : public TCustomIniFile {
    TRESTLE_CLASS(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(const std::string& AFileName) : TCustomIniFile(AFileName) {}

    // Reads come from the file as it is now; a value in matching quotes ("x"
    // or 'x') is read without them, as the platform does.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    // Writes change only the affected lines; comments and layout stay.
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Every write is on disk already.
    void UpdateFile() override {}

private:
    void Load();
    void Save();
    // Index of the first header line of Section, or -1.
    int FindSection(const std::string& Section) const;
    // One past the last line of the section whose header is at HeaderIndex.
    int SectionEnd(int HeaderIndex) const;
    int FindKey(int HeaderIndex, const std::string& Ident) const;

    std::vector<std::string> FLines;
    bool FByteOrderMark = false; // the file starts with one, written back in front of FLines
    detail::TFileStamp FStamp;
    bool FLoaded = false;
};

} // namespace cls
