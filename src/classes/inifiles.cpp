#include "classes/inifiles.h"

#include <memory>
#include <unordered_set>

#include "classes/exceptions.h"
#include "classes/streams.h"

namespace cls {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string> SplitLines(std::string_view Text) {
    if (Text.starts_with(ByteOrderMark)) Text.remove_prefix(ByteOrderMark.size());
    TStringList List;
    List.SetText(Text);
    std::vector<std::string> Lines;
    Lines.reserve(static_cast<std::size_t>(List.Count()));
    for (int I = 0; I < List.Count(); ++I) Lines.push_back(List[I]);
    return Lines;
}

// "[name]" after trimming; Name receives the trimmed name.
bool IsSectionHeader(std::string_view Line, std::string& Name) {
    std::string S = Trim(Line);
    if (S.size() < 2 || S.front() != '[' || S.back() != ']') return false;
    Name = Trim(std::string_view(S).substr(1, S.size() - 2));
    return true;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

} // namespace

// --- TCustomIniFile ---

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList S;
    ReadSection(Section, &S);
    return S.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList S;
    ReadSection(Section, &S);
    return S.IndexOf(Ident) > -1;
}

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    std::string IntStr = ReadString(Section, Ident, "");
    if (IntStr.size() > 2 && IntStr[0] == '0' && (IntStr[1] == 'X' || IntStr[1] == 'x'))
        IntStr.replace(0, 2, "$");
    return StrToIntDef(IntStr, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Name, double Default) {
    std::string FloatStr = ReadString(Section, Name, "");
    return FloatStr.empty() ? Default : StrToFloatDef(FloatStr, Default);
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Name, double Value) {
    WriteString(Section, Name, FloatToStr(Value));
}

int TCustomIniFile::ReadBinaryStream(const std::string& Section, const std::string& Name, TStream* Value) {
    std::string Text = ReadString(Section, Name, "");
    std::string Bytes;
    for (std::size_t I = 0; I + 1 < Text.size(); I += 2) {
        int Hi = HexDigit(Text[I]);
        int Lo = HexDigit(Text[I + 1]);
        if (Hi < 0 || Lo < 0) break;
        Bytes += static_cast<char>(Hi * 16 + Lo);
    }
    if (Bytes.empty()) return 0;
    std::int64_t Pos = Value->Position();
    Value->WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    if (dynamic_cast<TMemoryStream*>(Value)) Value->SetPosition(Pos);
    return static_cast<int>(Bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const std::string& Section, const std::string& Name, TStream* Value) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::int64_t Pos = Value->Position();
    std::int64_t Count = std::max<std::int64_t>(Value->Size() - Pos, 0);
    std::string Bytes(static_cast<std::size_t>(Count), '\0');
    if (Count > 0) {
        Value->ReadBuffer(Bytes.data(), Count);
        // A memory stream keeps its position, as in the original.
        if (dynamic_cast<TMemoryStream*>(Value)) Value->SetPosition(Pos);
    }
    std::string Text;
    Text.reserve(Bytes.size() * 2);
    for (unsigned char B : Bytes) {
        Text += Digits[B >> 4];
        Text += Digits[B & 15];
    }
    WriteString(Section, Name, Text);
}

// --- TMemIniFile ---

TMemIniFile::TMemIniFile(const std::string& AFileName) : TCustomIniFile(AFileName) {
    LoadValues();
}

TMemIniFile::~TMemIniFile() {
    Clear();
}

void TMemIniFile::Clear() {
    FLastSection = -1;
    for (int I = 0; I < FSections.Count(); ++I) delete FSections.Objects(I);
    FSections.Clear();
}

TStringList* TMemIniFile::FindSection(const std::string& Section) const {
    if (FLastSection < 0 || FLastSectionName != Section) {
        int I = FSections.IndexOf(Section);
        if (I < 0) return nullptr;
        FLastSection = I;
        FLastSectionName = Section;
    }
    return static_cast<TStringList*>(FSections.Objects(FLastSection));
}

TStringList* TMemIniFile::AddSection(const std::string& Section) {
    auto Lines = std::make_unique<TStringList>();
    Lines->SetCaseSensitive(FSections.CaseSensitive());
    FSections.AddObject(Section, Lines.get());
    return Lines.release();
}

void TMemIniFile::LoadValues() {
    if (FFileName.empty()) {
        Clear();
        return;
    }
    std::string Data;
    std::string Error;
    switch (detail::ReadWholeFile(FFileName, Data, Error)) {
        case detail::TReadResult::Missing:
            Clear();
            return;
        case detail::TReadResult::Failed:
            throw EFOpenError(SFOpenErrorEx, {FFileName, Error});
        case detail::TReadResult::Ok:
            break;
    }
    TStringList List;
    for (std::string& Line : SplitLines(Data)) List.Add(Line);
    SetStrings(&List);
}

void TMemIniFile::SetStrings(TStrings* List) {
    Clear();
    TStringList* Lines = nullptr;
    std::string Name;
    for (int I = 0; I < List->Count(); ++I) {
        std::string S = Trim(List->Strings(I));
        if (S.empty() || S[0] == ';') continue;
        if (IsSectionHeader(S, Name)) {
            Lines = AddSection(Name);
        } else if (Lines) {
            std::size_t J = S.find('=');
            if (J != std::string::npos) {
                Lines->Add(Trim(std::string_view(S).substr(0, J)) + "=" +
                           Trim(std::string_view(S).substr(J + 1)));
            } else {
                Lines->Add(S);
            }
        }
    }
}

void TMemIniFile::GetStrings(TStrings* List) {
    List->BeginUpdate();
    try {
        for (int I = 0; I < FSections.Count(); ++I) {
            List->Add(std::string("[").append(FSections[I]).append("]"));
            auto* Lines = static_cast<TStringList*>(FSections.Objects(I));
            for (int J = 0; J < Lines->Count(); ++J) List->Add((*Lines)[J]);
            List->Add("");
        }
    } catch (...) {
        List->EndUpdate();
        throw;
    }
    List->EndUpdate();
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) {
    if (TStringList* Lines = FindSection(Section)) {
        int I = Lines->IndexOfName(Ident);
        if (I >= 0) return Lines->ValueFromIndex(I);
    }
    return Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    TStringList* Lines = FindSection(Section);
    if (!Lines) Lines = AddSection(Section);
    std::string S = Ident + "=" + Value;
    int I = Lines->IndexOfName(Ident);
    if (I >= 0) {
        Lines->SetStrings(I, S);
    } else {
        Lines->Add(S);
    }
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (TStringList* Lines = FindSection(Section)) {
        for (int I = 0; I < Lines->Count(); ++I) Strings->Add(Lines->Names(I));
    }
    Strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (int I = 0; I < FSections.Count(); ++I) Strings->Add(FSections[I]);
    Strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (TStringList* Lines = FindSection(Section)) Strings->AddStrings(Lines);
    Strings->EndUpdate();
}

void TMemIniFile::EraseSection(const std::string& Section) {
    int I = FSections.IndexOf(Section);
    if (I < 0) return;
    FLastSection = -1;
    delete FSections.Objects(I);
    FSections.Delete(I);
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (TStringList* Lines = FindSection(Section)) {
        int J = Lines->IndexOfName(Ident);
        if (J >= 0) Lines->Delete(J);
    }
}

void TMemIniFile::UpdateFile() {
    TStringList List;
    GetStrings(&List);
    std::string Error;
    if (!detail::WriteFileAtomically(FFileName, List.Text(), 0644, false, Error))
        throw EIniFileException(SIniFileWriteError, {FFileName});
}

void TMemIniFile::Rename(const std::string& AFileName, bool Reload) {
    FFileName = AFileName;
    if (Reload) LoadValues();
}

void TMemIniFile::SetCaseSensitive(bool Value) {
    if (Value == FSections.CaseSensitive()) return;
    FLastSection = -1;
    FSections.SetCaseSensitive(Value);
    for (int I = 0; I < FSections.Count(); ++I)
        static_cast<TStringList*>(FSections.Objects(I))->SetCaseSensitive(Value);
}

// --- TIniFile ---

void TIniFile::Load() {
    detail::TFileStamp Stamp = detail::GetFileStamp(FFileName);
    if (FLoaded && Stamp == FStamp) return;
    std::string Data;
    std::string Error;
    // Like the private-profile functions, an unreadable file reads as empty.
    if (detail::ReadWholeFile(FFileName, Data, Error) != detail::TReadResult::Ok) Data.clear();
    FByteOrderMark = Data.starts_with(ByteOrderMark);
    FLines = SplitLines(Data);
    FStamp = Stamp;
    FLoaded = true;
}

void TIniFile::Save() {
    // The mark stays, so the first line reads as it did.
    std::string Text(FByteOrderMark ? ByteOrderMark : "");
    for (const std::string& Line : FLines) {
        Text += Line;
        Text += sLineBreak;
    }
    std::string Error;
    if (!detail::WriteFileAtomically(FFileName, Text, 0644, false, Error)) {
        // The file is unchanged; forget the edit.
        FLoaded = false;
        throw EIniFileException(SIniFileWriteError, {FFileName});
    }
    FStamp = detail::GetFileStamp(FFileName);
}

int TIniFile::FindSection(const std::string& Section) const {
    std::string Name;
    for (std::size_t I = 0; I < FLines.size(); ++I) {
        if (IsSectionHeader(FLines[I], Name) && AnsiSameText(Name, Section)) return static_cast<int>(I);
    }
    return -1;
}

int TIniFile::SectionEnd(int HeaderIndex) const {
    std::string Name;
    std::size_t I = static_cast<std::size_t>(HeaderIndex) + 1;
    while (I < FLines.size() && !IsSectionHeader(FLines[I], Name)) ++I;
    return static_cast<int>(I);
}

namespace {

// The key of a "key=value" line that is not a comment; false for other lines.
bool LineKey(const std::string& Line, std::string& Key, std::string* Value = nullptr) {
    std::string S = TrimLeft(Line);
    if (S.empty() || S[0] == ';') return false;
    std::size_t J = S.find('=');
    if (J == std::string::npos) return false;
    Key = Trim(std::string_view(S).substr(0, J));
    if (Value) *Value = Trim(std::string_view(S).substr(J + 1));
    return true;
}

} // namespace

int TIniFile::FindKey(int HeaderIndex, const std::string& Ident) const {
    std::string Key;
    int End = SectionEnd(HeaderIndex);
    for (int I = HeaderIndex + 1; I < End; ++I) {
        if (LineKey(FLines[static_cast<std::size_t>(I)], Key) && AnsiSameText(Key, Ident)) return I;
    }
    return -1;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) {
    Load();
    int H = FindSection(Section);
    int K = H >= 0 ? FindKey(H, Ident) : -1;
    if (K < 0) return Default;
    std::string Key;
    std::string Value;
    LineKey(FLines[static_cast<std::size_t>(K)], Key, &Value);
    if (Value.size() >= 2 && (Value.front() == '"' || Value.front() == '\'') && Value.back() == Value.front())
        Value = Value.substr(1, Value.size() - 2);
    return Value;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    Load();
    std::string Line = Ident + "=" + Value;
    int H = FindSection(Section);
    if (H < 0) {
        if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
        FLines.push_back("[" + Section + "]");
        FLines.push_back(Line);
    } else if (int K = FindKey(H, Ident); K >= 0) {
        FLines[static_cast<std::size_t>(K)] = Line;
    } else {
        // After the section's last non-empty line.
        int At = SectionEnd(H);
        while (At > H + 1 && Trim(FLines[static_cast<std::size_t>(At - 1)]).empty()) --At;
        FLines.insert(FLines.begin() + At, Line);
    }
    Save();
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Load();
    Strings->BeginUpdate();
    Strings->Clear();
    int H = FindSection(Section);
    if (H >= 0) {
        std::string Key;
        int End = SectionEnd(H);
        for (int I = H + 1; I < End; ++I) {
            if (LineKey(FLines[static_cast<std::size_t>(I)], Key)) Strings->Add(Key);
        }
    }
    Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
    Load();
    Strings->BeginUpdate();
    Strings->Clear();
    // Names ignore case: the case-folded form finds a duplicate.
    std::unordered_set<std::string> Seen;
    std::string Name;
    for (const std::string& Line : FLines) {
        if (IsSectionHeader(Line, Name) && Seen.insert(AnsiLowerCase(AnsiUpperCase(Name))).second)
            Strings->Add(Name);
    }
    Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TStringList Keys;
    ReadSection(Section, &Keys);
    Strings->BeginUpdate();
    Strings->Clear();
    for (int I = 0; I < Keys.Count(); ++I) Strings->Add(Keys[I] + "=" + ReadString(Section, Keys[I], ""));
    Strings->EndUpdate();
}

void TIniFile::EraseSection(const std::string& Section) {
    Load();
    bool Changed = false;
    for (int H = FindSection(Section); H >= 0; H = FindSection(Section)) {
        // Also the empty lines that separated it from the section before.
        int Start = H;
        while (Start > 0 && Trim(FLines[static_cast<std::size_t>(Start - 1)]).empty()) --Start;
        FLines.erase(FLines.begin() + Start, FLines.begin() + SectionEnd(H));
        Changed = true;
    }
    if (Changed) Save();
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Load();
    int H = FindSection(Section);
    if (H < 0) return;
    bool Changed = false;
    for (int K = FindKey(H, Ident); K >= 0; K = FindKey(H, Ident)) {
        FLines.erase(FLines.begin() + K);
        Changed = true;
    }
    if (Changed) Save();
}

} // namespace cls
