#include "classes/registry.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "classes/atomic_file.h"
#include "classes/exceptions.h"

namespace cls {

// --- The store ---

namespace detail {

struct TRegValue {
    std::string Name;
    TRegDataType Type = rdUnknown;
    std::string Data; // strings without their terminating zero; integers as 4 bytes, little-endian
};

struct TRegKey {
    std::string Name;
    std::vector<std::unique_ptr<TRegKey>> Keys; // sorted by name, ignoring case
    std::vector<TRegValue> Values;              // in creation order
    bool Declared = false;                      // seen on a "key" line (while parsing)

    TRegKey() = default;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    // Frees the sub tree with a work list: a chain of keys can be far deeper
    // than the stack allows recursion.
    ~TRegKey() {
        std::vector<std::unique_ptr<TRegKey>> Pending = std::move(Keys);
        while (!Pending.empty()) {
            std::unique_ptr<TRegKey> Key = std::move(Pending.back());
            Pending.pop_back();
            for (auto& Sub : Key->Keys) Pending.push_back(std::move(Sub));
            Key->Keys.clear();
        }
    }

    // Keys is kept sorted, so lookups are binary searches: a store may hold
    // many thousands of sibling keys.
    auto LowerBound(std::string_view AName) const {
        return std::lower_bound(Keys.begin(), Keys.end(), AName, [](const auto& K, std::string_view N) {
            return AnsiCompareText(K->Name, N) < 0;
        });
    }
    TRegKey* Find(std::string_view AName) const {
        auto It = LowerBound(AName);
        return It != Keys.end() && AnsiSameText((*It)->Name, AName) ? It->get() : nullptr;
    }
    TRegKey* Add(std::string_view AName) {
        auto It = LowerBound(AName);
        if (It != Keys.end() && AnsiSameText((*It)->Name, AName)) return It->get();
        auto Key = std::make_unique<TRegKey>();
        Key->Name = AName;
        return Keys.insert(It, std::move(Key))->get();
    }
    bool Remove(std::string_view AName) {
        auto It = LowerBound(AName);
        if (It == Keys.end() || !AnsiSameText((*It)->Name, AName)) return false;
        Keys.erase(It);
        return true;
    }
    TRegValue* FindValue(std::string_view AName) {
        for (TRegValue& V : Values) {
            if (AnsiSameText(V.Name, AName)) return &V;
        }
        return nullptr;
    }
    bool Empty() const { return Keys.empty() && Values.empty(); }
};

namespace {

constexpr std::string_view StoreHeader = "trestle-registry 2";
// Files of the first version name every key by its whole path; still read.
constexpr std::string_view StoreHeaderVersion1 = "trestle-registry 1";

const char* TypeName(TRegDataType Type) {
    switch (Type) {
        case rdString:
            return "string";
        case rdExpandString:
            return "expand";
        case rdInteger:
            return "integer";
        case rdBinary:
            return "binary";
        case rdUnknown:
            break;
    }
    return "binary";
}

std::string Quote(std::string_view S) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result = "\"";
    std::size_t I = 0;
    while (I < S.size()) {
        auto C = static_cast<unsigned char>(S[I]);
        int Length = Utf8CharLength(S, I);
        bool Valid = C < 0x80 || Length > 1;
        if (C == '\\' || C == '"') {
            Result += '\\';
            Result += static_cast<char>(C);
        } else if (C == '\n') {
            Result += "\\n";
        } else if (C == '\r') {
            Result += "\\r";
        } else if (C == '\t') {
            Result += "\\t";
        } else if (C < 0x20 || C == 0x7F || !Valid) {
            Result += "\\x";
            Result += Hex[C >> 4];
            Result += Hex[C & 15];
            Length = 1;
        } else {
            Result += S.substr(I, static_cast<std::size_t>(Length));
        }
        I += static_cast<std::size_t>(Length);
    }
    return Result + "\"";
}

std::string HexText(std::string_view Data) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result;
    for (unsigned char B : Data) {
        Result += Hex[B >> 4];
        Result += Hex[B & 15];
    }
    return Result;
}

std::int32_t DecodeInteger(std::string_view Data) {
    std::uint32_t V = 0;
    for (std::size_t I = 0; I < 4 && I < Data.size(); ++I)
        V |= static_cast<std::uint32_t>(static_cast<unsigned char>(Data[I])) << (8 * I);
    return static_cast<std::int32_t>(V);
}

std::string EncodeInteger(std::int32_t Value) {
    auto V = static_cast<std::uint32_t>(Value);
    std::string Data(4, '\0');
    for (std::size_t I = 0; I < 4; ++I) Data[I] = static_cast<char>((V >> (8 * I)) & 0xFF);
    return Data;
}

void WriteValues(std::string& Out, const TRegKey& Key) {
    for (const TRegValue& V : Key.Values) {
        Out += "value ";
        Out += Quote(V.Name);
        Out += ' ';
        Out += TypeName(V.Type);
        Out += ' ';
        switch (V.Type) {
            case rdString:
            case rdExpandString:
                Out += Quote(V.Data);
                break;
            case rdInteger:
                Out += std::to_string(DecodeInteger(V.Data));
                break;
            default:
                Out += '"';
                Out += HexText(V.Data);
                Out += '"';
                break;
        }
        Out += "\n";
    }
}

// Writes the hive and its sub keys in pre-order, each key line naming only
// the key itself after the number of names it shares with the line before
// (its parent's path), so the file grows with the number of keys, not with
// the square of their depth. A work list, not recursion, for deep chains.
void WriteHive(std::string& Out, const TRegKey& Hive) {
    std::vector<std::pair<const TRegKey*, std::size_t>> Pending{{&Hive, 0}};
    while (!Pending.empty()) {
        auto [Key, Depth] = Pending.back();
        Pending.pop_back();
        Out += "key ";
        if (Depth > 0) {
            Out += std::to_string(Depth);
            Out += ' ';
        }
        Out += Quote(Key->Name);
        Out += "\n";
        WriteValues(Out, *Key);
        for (auto It = Key->Keys.rbegin(); It != Key->Keys.rend(); ++It)
            Pending.emplace_back(It->get(), Depth + 1);
    }
}

// Thrown inside the parser; turned into ERegistryException naming the file.
struct TParseError {
    int Line;
    std::string Reason;
};

class TLineParser {
public:
    TLineParser(std::string_view ALine, int ALineNo) : FLine(ALine), FLineNo(ALineNo) {}

    bool AtEnd() {
        SkipSpaces();
        return FPos >= FLine.size();
    }
    std::string Word() {
        SkipSpaces();
        std::size_t Start = FPos;
        while (FPos < FLine.size() && FLine[FPos] != ' ') ++FPos;
        if (Start == FPos) Fail("missing item");
        return std::string(FLine.substr(Start, FPos - Start));
    }
    std::string Quoted() {
        SkipSpaces();
        if (FPos >= FLine.size() || FLine[FPos] != '"') Fail("quoted text expected");
        ++FPos;
        std::string Result;
        for (;;) {
            if (FPos >= FLine.size()) Fail("unterminated quoted text");
            char C = FLine[FPos++];
            if (C == '"') break;
            if (static_cast<unsigned char>(C) < 0x20) Fail("control character in quoted text");
            if (C != '\\') {
                Result += C;
                continue;
            }
            if (FPos >= FLine.size()) Fail("unterminated escape");
            char E = FLine[FPos++];
            switch (E) {
                case '\\':
                    Result += '\\';
                    break;
                case '"':
                    Result += '"';
                    break;
                case 'n':
                    Result += '\n';
                    break;
                case 'r':
                    Result += '\r';
                    break;
                case 't':
                    Result += '\t';
                    break;
                case 'x': {
                    int Hi = FPos < FLine.size() ? HexValue(FLine[FPos]) : -1;
                    int Lo = FPos + 1 < FLine.size() ? HexValue(FLine[FPos + 1]) : -1;
                    if (Hi < 0 || Lo < 0) Fail("bad \\x escape");
                    Result += static_cast<char>(Hi * 16 + Lo);
                    FPos += 2;
                    break;
                }
                default:
                    Fail("unknown escape");
            }
        }
        return Result;
    }
    bool NextIsQuoted() {
        SkipSpaces();
        return FPos < FLine.size() && FLine[FPos] == '"';
    }
    [[noreturn]] void Fail(const std::string& Reason) const { throw TParseError{FLineNo, Reason}; }

    static int HexValue(char C) {
        if (C >= '0' && C <= '9') return C - '0';
        if (C >= 'A' && C <= 'F') return C - 'A' + 10;
        if (C >= 'a' && C <= 'f') return C - 'a' + 10;
        return -1;
    }

private:
    void SkipSpaces() {
        while (FPos < FLine.size() && FLine[FPos] == ' ') ++FPos;
    }
    std::string_view FLine;
    int FLineNo;
    std::size_t FPos = 0;
};

bool IsHiveName(std::string_view Name) {
    for (const char* Hive : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                             "HKEY_CURRENT_CONFIG"}) {
        if (Name == Hive) return true;
    }
    return false;
}

std::unique_ptr<TRegKey> Parse(std::string_view Text) {
    auto Root = std::make_unique<TRegKey>();
    TRegKey* Current = nullptr;
    std::vector<TRegKey*> Path; // of the last key line, hive first
    int Version = 0;
    bool EndSeen = false;
    int LineNo = 0;
    std::size_t P = 0;
    while (P < Text.size()) {
        std::size_t E = Text.find('\n', P);
        std::string_view Line = Text.substr(P, E == std::string_view::npos ? std::string_view::npos : E - P);
        P = E == std::string_view::npos ? Text.size() : E + 1;
        ++LineNo;
        if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
        TLineParser L(Line, LineNo);
        if (L.AtEnd() || Line.front() == '#') continue;
        if (EndSeen) L.Fail("text after \"end\"");
        if (!Version) {
            if (Line == StoreHeader)
                Version = 2;
            else if (Line == StoreHeaderVersion1)
                Version = 1;
            else
                L.Fail("not a registry store (header missing)");
            continue;
        }
        std::string Keyword = L.Word();
        if (Keyword == "end") {
            if (!L.AtEnd()) L.Fail("text after \"end\"");
            EndSeen = true;
        } else if (Keyword == "key") {
            std::size_t Shared = 0;
            if (Version >= 2 && !L.AtEnd() && !L.NextIsQuoted()) {
                std::string Word = L.Word();
                std::int64_t N;
                if (Word.find_first_not_of("0123456789") != std::string::npos || !TryStrToInt64(Word, N) ||
                    N > static_cast<std::int64_t>(Path.size()))
                    L.Fail("bad number of shared names");
                Shared = static_cast<std::size_t>(N);
            }
            Path.resize(Shared);
            TRegKey* K = Shared ? Path.back() : Root.get();
            while (!L.AtEnd()) {
                std::string Name = L.Quoted();
                if (Path.empty() && !IsHiveName(Name)) L.Fail("unknown root key");
                if (Name.empty() || Name.find('\\') != std::string::npos) L.Fail("invalid key name");
                K = K->Add(Name);
                Path.push_back(K);
            }
            if (Path.size() == Shared) L.Fail("key without a name");
            if (K->Declared) L.Fail("key listed twice");
            K->Declared = true;
            Current = K;
        } else if (Keyword == "value") {
            if (!Current) L.Fail("value before the first key");
            TRegValue V;
            V.Name = L.Quoted();
            if (Current->FindValue(V.Name)) L.Fail("value listed twice");
            std::string Type = L.Word();
            if (Type == "string" || Type == "expand") {
                V.Type = Type == "string" ? rdString : rdExpandString;
                V.Data = L.Quoted();
            } else if (Type == "integer") {
                std::int64_t N;
                std::string Word = L.Word();
                if (!TryStrToInt64(Word, N) || Word.find_first_not_of("-0123456789") != std::string::npos ||
                    N < INT32_MIN || N > INT32_MAX)
                    L.Fail("bad integer");
                V.Type = rdInteger;
                V.Data = EncodeInteger(static_cast<std::int32_t>(N));
            } else if (Type == "binary") {
                std::string Hex = L.Quoted();
                if (Hex.size() % 2 != 0) L.Fail("odd number of hex digits");
                for (std::size_t I = 0; I < Hex.size(); I += 2) {
                    int Hi = TLineParser::HexValue(Hex[I]);
                    int Lo = TLineParser::HexValue(Hex[I + 1]);
                    if (Hi < 0 || Lo < 0) L.Fail("bad hex digit");
                    V.Data += static_cast<char>(Hi * 16 + Lo);
                }
                V.Type = rdBinary;
            } else {
                L.Fail(std::string("unknown value type ").append(Quote(Type)));
            }
            if (!L.AtEnd()) L.Fail("text after the value");
            Current->Values.push_back(std::move(V));
        } else {
            L.Fail(std::string("unknown line ").append(Quote(Keyword)));
        }
    }
    if (!Version) throw TParseError{LineNo, "empty file"};
    if (!EndSeen) throw TParseError{LineNo, "the file is truncated (no \"end\")"};
    return Root;
}

} // namespace

class TRegistryStore {
public:
    explicit TRegistryStore(std::string AFileName) : FFileName(std::move(AFileName)) {}

    std::mutex Lock;

    // Brings the memory up to date with the file (unless changes are pending).
    void Refresh() {
        // A batch reads one version of the file.
        if (FLoaded && FUpdateCount > 0) {
            if (!FCorrupt.empty()) throw ERegistryException(FCorrupt);
            return;
        }
        TFileStamp Stamp = GetFileStamp(FFileName);
        if (FLoaded && (FDirty || Stamp == FStamp)) {
            if (!FCorrupt.empty()) throw ERegistryException(FCorrupt);
            return;
        }
        FLoaded = true;
        FStamp = Stamp;
        FCorrupt.clear();
        ++FGeneration;
        std::string Data;
        std::string Error;
        switch (ReadWholeFile(FFileName, Data, Error)) {
            case TReadResult::Missing:
                FRoot = std::make_unique<TRegKey>();
                return;
            case TReadResult::Failed:
                FCorrupt = Format(LoadResString(SRegStoreCorrupt), {FFileName, 0, Error});
                throw ERegistryException(FCorrupt);
            case TReadResult::Ok:
                break;
        }
        try {
            FRoot = Parse(Data);
        } catch (const TParseError& E) {
            FCorrupt = Format(LoadResString(SRegStoreCorrupt), {FFileName, E.Line, E.Reason});
            throw ERegistryException(FCorrupt);
        }
    }

    TRegKey* Hive(HKEY ARoot) {
        const char* Name = nullptr;
        switch (ARoot) {
            case HKEY_CLASSES_ROOT:
                Name = "HKEY_CLASSES_ROOT";
                break;
            case HKEY_CURRENT_USER:
                Name = "HKEY_CURRENT_USER";
                break;
            case HKEY_LOCAL_MACHINE:
                Name = "HKEY_LOCAL_MACHINE";
                break;
            case HKEY_USERS:
                Name = "HKEY_USERS";
                break;
            case HKEY_CURRENT_CONFIG:
                Name = "HKEY_CURRENT_CONFIG";
                break;
            default:
                return nullptr;
        }
        return FRoot->Add(Name);
    }

    // Changes whenever a key may have gone from memory.
    std::uint64_t Generation() const { return FGeneration; }
    void KeyRemoved() { ++FGeneration; }

    void Changed(bool WriteNow) {
        FDirty = true;
        if (WriteNow) Flush();
    }

    void BeginUpdate() {
        Refresh();
        Flush();
        ++FUpdateCount;
    }

    void EndUpdate() {
        if (FUpdateCount == 0 || --FUpdateCount > 0) return;
        try {
            Flush();
        } catch (const ERegistryException&) {
            Discard();
            throw;
        }
    }

    void CancelUpdate() {
        if (FUpdateCount > 0) --FUpdateCount;
        Discard();
    }

    void Flush() {
        if (!FDirty || FUpdateCount > 0) return;
        std::string Text = std::string(StoreHeader) + "\n";
        for (const auto& Hive : FRoot->Keys) {
            if (!Hive->Empty()) WriteHive(Text, *Hive);
        }
        Text += "end\n";
        std::string Error;
        if (!WriteFileAtomically(FFileName, Text, 0600, true, Error))
            throw ERegistryException(SRegStoreWriteError, {FFileName, Error});
        FDirty = false;
        FStamp = GetFileStamp(FFileName);
    }

private:
    // Forgets the changes: the next call reads the file again.
    void Discard() {
        ++FGeneration;
        FRoot = std::make_unique<TRegKey>();
        FLoaded = false;
        FDirty = false;
        FCorrupt.clear();
    }

    std::string FFileName;
    int FUpdateCount = 0;
    std::uint64_t FGeneration = 0;
    std::unique_ptr<TRegKey> FRoot = std::make_unique<TRegKey>();
    TFileStamp FStamp;
    bool FLoaded = false;
    bool FDirty = false;
    std::string FCorrupt;
};

} // namespace detail

namespace {

std::mutex& StoresLock() {
    static std::mutex Lock;
    return Lock;
}

std::string& StoreFileNameOverride() {
    static std::string Name;
    return Name;
}

std::shared_ptr<detail::TRegistryStore> StoreFor(const std::string& FileName) {
    static std::map<std::string, std::weak_ptr<detail::TRegistryStore>> Stores;
    std::lock_guard Guard(StoresLock());
    std::shared_ptr<detail::TRegistryStore> Store = Stores[FileName].lock();
    if (!Store) {
        Store = std::make_shared<detail::TRegistryStore>(FileName);
        Stores[FileName] = Store;
    }
    return Store;
}

std::string DefaultStoreFileName() {
    const char* Config = std::getenv("XDG_CONFIG_HOME");
    std::string Folder;
    if (Config && Config[0] == '/') {
        Folder = Config;
    } else {
        const char* Home = std::getenv("HOME");
        if (!Home || !*Home) {
            const passwd* Pw = ::getpwuid(::getuid());
            Home = Pw ? Pw->pw_dir : "/tmp";
        }
        Folder = std::string(Home) + "/.config";
    }
    return Folder + "/trestle/registry";
}

// Splits a key path at "\"; a trailing "\" is allowed, empty names elsewhere are not.
bool SplitPath(std::string_view Path, std::vector<std::string>& Parts) {
    if (!Path.empty() && Path.back() == '\\') Path.remove_suffix(1);
    if (Path.empty()) return true;
    std::size_t P = 0;
    for (;;) {
        std::size_t E = Path.find('\\', P);
        std::string_view Name = Path.substr(P, E == std::string_view::npos ? std::string_view::npos : E - P);
        if (Name.empty()) return false;
        Parts.emplace_back(Name);
        if (E == std::string_view::npos) return true;
        P = E + 1;
    }
}

detail::TRegKey* Walk(detail::TRegKey* Key, const std::vector<std::string>& Parts, bool Create) {
    for (const std::string& Name : Parts) {
        if (!Key) return nullptr;
        Key = Create ? Key->Add(Name) : Key->Find(Name);
    }
    return Key;
}

bool IsRelative(const std::string& Value) {
    return !(!Value.empty() && Value[0] == '\\');
}

// A key argument: its path without a leading "\", and whether it was relative.
std::pair<std::string, bool> SplitKey(const std::string& Key) {
    if (IsRelative(Key)) return {Key, true};
    return {Key.substr(1), false};
}

// The path of an opened key, kept without a trailing "\".
std::string JoinPath(const std::string& Base, std::string Sub) {
    if (!Sub.empty() && Sub.back() == '\\') Sub.pop_back();
    if (Base.empty()) return Sub;
    return Sub.empty() ? Base : Base + "\\" + Sub;
}

std::atomic<HKEY> NextHandle{1};

} // namespace

void SetRegistryStoreFileName(const std::string& AFileName) {
    std::lock_guard Guard(StoresLock());
    StoreFileNameOverride() = AFileName;
}

std::string RegistryStoreFileName() {
    {
        std::lock_guard Guard(StoresLock());
        if (!StoreFileNameOverride().empty()) return StoreFileNameOverride();
    }
    return DefaultStoreFileName();
}

// --- TRegistry ---

struct TRegistry::TValueData {
    TRegDataType Type = rdUnknown;
    std::string Data;
    int Size() const {
        return static_cast<int>(Data.size()) + (Type == rdString || Type == rdExpandString ? 1 : 0);
    }
};

TRegistry::TRegistry(unsigned AAccess) : FStore(StoreFor(RegistryStoreFileName())), FAccess(AAccess) {}

TRegistry::~TRegistry() {
    if (FUpdating) CancelUpdate();
    try {
        CloseKey();
        std::lock_guard Guard(FStore->Lock);
        FStore->Flush();
    } catch (const Exception&) {
        // The changes stay pending in the store; the next close writes them.
    }
}

void TRegistry::BeginUpdate() {
    if (FUpdating) return;
    std::lock_guard Guard(FStore->Lock);
    FStore->BeginUpdate();
    FUpdating = true;
}

void TRegistry::EndUpdate() {
    if (!FUpdating) return;
    FUpdating = false;
    std::lock_guard Guard(FStore->Lock);
    FStore->EndUpdate();
}

void TRegistry::CancelUpdate() {
    if (!FUpdating) return;
    FUpdating = false;
    std::lock_guard Guard(FStore->Lock);
    FStore->CancelUpdate();
}

void TRegistry::SetRootKey(HKEY Value) {
    if (FRootKey == Value) return;
    FRootKey = Value;
    CloseKey();
}

std::string TRegistry::BasePath(bool Relative) const {
    return FCurrentKey && Relative ? FCurrentPath : std::string();
}

void TRegistry::ChangeKey(const std::string& Path, bool ReadOnly) {
    CloseKey();
    FCurrentKey = NextHandle++;
    FCurrentPath = Path;
    FCurrentReadOnly = ReadOnly;
}

void TRegistry::CloseKey() {
    if (!FCurrentKey) return;
    FCurrentKey = 0;
    FCurrentNode = nullptr;
    FCurrentPath.clear();
    FCurrentReadOnly = false;
    std::lock_guard Guard(FStore->Lock);
    FStore->Flush();
}

namespace {

// The key a path names: Base and Sub are joined; nullptr when the path is
// invalid or (without Create) the key does not exist.
detail::TRegKey* Locate(detail::TRegistryStore& Store, HKEY Root, const std::string& Base,
                        const std::string& Sub, bool Create, bool* Created = nullptr) {
    std::vector<std::string> Parts;
    if (!SplitPath(Base, Parts) || !SplitPath(Sub, Parts)) return nullptr;
    detail::TRegKey* Hive = Store.Hive(Root);
    if (Create && Created) *Created = Walk(Hive, Parts, false) == nullptr;
    return Walk(Hive, Parts, Create);
}

} // namespace

detail::TRegKey* TRegistry::CurrentNode() {
    if (!FCurrentKey) return nullptr;
    if (FCurrentNode && FCurrentGeneration == FStore->Generation()) return FCurrentNode;
    FCurrentNode = Locate(*FStore, FRootKey, FCurrentPath, "", false);
    FCurrentGeneration = FStore->Generation();
    return FCurrentNode;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    auto [S, Relative] = SplitKey(Key);
    {
        std::lock_guard Guard(FStore->Lock);
        FStore->Refresh();
        bool Created = false;
        bool Create = CanCreate && !S.empty();
        if (!Locate(*FStore, FRootKey, BasePath(Relative), S, Create, &Created)) return false;
        if (Created) FStore->Changed(!FLazyWrite);
    }
    ChangeKey(JoinPath(BasePath(Relative), S), (FAccess & KEY_SET_VALUE) == 0);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    auto [S, Relative] = SplitKey(Key);
    {
        std::lock_guard Guard(FStore->Lock);
        FStore->Refresh();
        if (!Locate(*FStore, FRootKey, BasePath(Relative), S, false)) return false;
    }
    FAccess = KEY_READ;
    ChangeKey(JoinPath(BasePath(Relative), S), true);
    return true;
}

bool TRegistry::CreateKey(const std::string& Key) {
    auto [S, Relative] = SplitKey(Key);
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    bool Created = false;
    if (!Locate(*FStore, FRootKey, BasePath(Relative), S, true, &Created))
        throw ERegistryException(SRegCreateFailed, {Key});
    if (Created) FStore->Changed(!FLazyWrite);
    return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    auto [S, Relative] = SplitKey(Key);
    std::vector<std::string> Parts;
    std::vector<std::string> SubParts;
    if (!SplitPath(BasePath(Relative), Parts) || !SplitPath(S, SubParts) || SubParts.empty()) return false;
    Parts.insert(Parts.end(), SubParts.begin(), SubParts.end());
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    std::string Last = Parts.back();
    Parts.pop_back();
    detail::TRegKey* Parent = Walk(FStore->Hive(FRootKey), Parts, false);
    if (!Parent || !Parent->Remove(Last)) return false;
    FStore->KeyRemoved();
    FStore->Changed(!FLazyWrite);
    return true;
}

bool TRegistry::KeyExists(const std::string& Key) {
    auto [S, Relative] = SplitKey(Key);
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    return Locate(*FStore, FRootKey, BasePath(Relative), S, false) != nullptr;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
    Value = TRegKeyInfo();
    if (!FCurrentKey) return false;
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    detail::TRegKey* K = CurrentNode();
    if (!K) return false;
    Value.NumSubKeys = static_cast<int>(K->Keys.size());
    Value.NumValues = static_cast<int>(K->Values.size());
    for (const auto& Sub : K->Keys)
        Value.MaxSubKeyLen = std::max(Value.MaxSubKeyLen, static_cast<int>(Sub->Name.size()));
    for (const detail::TRegValue& V : K->Values) {
        Value.MaxValueLen = std::max(Value.MaxValueLen, static_cast<int>(V.Name.size()));
        TValueData D{V.Type, V.Data};
        Value.MaxDataLen = std::max(Value.MaxDataLen, D.Size());
    }
    return true;
}

bool TRegistry::HasSubKeys() {
    TRegKeyInfo Info;
    return GetKeyInfo(Info) && Info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (FCurrentKey) {
        std::lock_guard Guard(FStore->Lock);
        FStore->Refresh();
        if (detail::TRegKey* K = CurrentNode()) {
            for (const auto& Sub : K->Keys) Strings->Add(Sub->Name);
        }
    }
    Strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (FCurrentKey) {
        std::lock_guard Guard(FStore->Lock);
        FStore->Refresh();
        if (detail::TRegKey* K = CurrentNode()) {
            for (const detail::TRegValue& V : K->Values) Strings->Add(V.Name);
        }
    }
    Strings->EndUpdate();
}

// --- Values ---

bool TRegistry::GetValue(const std::string& Name, TValueData& Data) {
    if (!FCurrentKey) return false;
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    detail::TRegKey* K = CurrentNode();
    detail::TRegValue* V = K ? K->FindValue(Name) : nullptr;
    if (!V) return false;
    Data.Type = V->Type;
    Data.Data = V->Data;
    return true;
}

void TRegistry::PutData(const std::string& Name, TRegDataType Type, std::string Data) {
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    detail::TRegKey* K = FCurrentKey && !FCurrentReadOnly ? CurrentNode() : nullptr;
    if (!K) throw ERegistryException(SRegSetDataFailed, {Name});
    if (detail::TRegValue* V = K->FindValue(Name)) {
        V->Type = Type;
        V->Data = std::move(Data);
    } else {
        K->Values.push_back(detail::TRegValue{Name, Type, std::move(Data)});
    }
    FStore->Changed(!FLazyWrite);
}

bool TRegistry::ValueExists(const std::string& Name) {
    TRegDataInfo Info;
    return GetDataInfo(Name, Info);
}

bool TRegistry::DeleteValue(const std::string& Name) {
    if (!FCurrentKey || FCurrentReadOnly) return false;
    std::lock_guard Guard(FStore->Lock);
    FStore->Refresh();
    detail::TRegKey* K = CurrentNode();
    if (!K) return false;
    auto It = std::find_if(K->Values.begin(), K->Values.end(),
                           [&](const detail::TRegValue& V) { return AnsiSameText(V.Name, Name); });
    if (It == K->Values.end()) return false;
    K->Values.erase(It);
    FStore->Changed(!FLazyWrite);
    return true;
}

void TRegistry::RenameValue(const std::string& OldName, const std::string& NewName) {
    TValueData Data;
    if (!GetValue(OldName, Data) || ValueExists(NewName)) return;
    PutData(NewName, Data.Type, Data.Data);
    DeleteValue(OldName);
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
    Value = TRegDataInfo();
    TValueData Data;
    if (!GetValue(ValueName, Data)) return false;
    Value.RegData = Data.Type;
    Value.DataSize = Data.Size();
    return true;
}

int TRegistry::GetDataSize(const std::string& ValueName) {
    TRegDataInfo Info;
    return GetDataInfo(ValueName, Info) ? Info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
    TRegDataInfo Info;
    return GetDataInfo(ValueName, Info) ? Info.RegData : rdUnknown;
}

std::string TRegistry::ReadString(const std::string& Name) {
    TValueData Data;
    if (!GetValue(Name, Data) || Data.Size() <= 0) return {};
    if (Data.Type != rdString && Data.Type != rdExpandString)
        throw ERegistryException(SInvalidRegType, {Name});
    return Data.Data.substr(0, Data.Data.find('\0'));
}

int TRegistry::ReadInteger(const std::string& Name) {
    TValueData Data;
    // A value that does not fit the integer fails like the platform's "more data" error.
    if (!GetValue(Name, Data) || Data.Size() > 4) throw ERegistryException(SRegGetDataFailed, {Name});
    if (Data.Type != rdInteger) throw ERegistryException(SInvalidRegType, {Name});
    return detail::DecodeInteger(Data.Data);
}

bool TRegistry::ReadBool(const std::string& Name) {
    return ReadInteger(Name) != 0;
}

double TRegistry::ReadFloat(const std::string& Name) {
    TValueData Data;
    if (!GetValue(Name, Data) || Data.Size() > static_cast<int>(sizeof(double)))
        throw ERegistryException(SRegGetDataFailed, {Name});
    if (Data.Type != rdBinary || Data.Data.size() != sizeof(double))
        throw ERegistryException(SInvalidRegType, {Name});
    double Result;
    std::memcpy(&Result, Data.Data.data(), sizeof(double));
    return Result;
}

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
    TValueData Data;
    if (!GetValue(Name, Data)) return 0;
    int Size = Data.Size();
    if ((Data.Type != rdBinary && Data.Type != rdUnknown) || Size > BufSize)
        throw ERegistryException(SInvalidRegType, {Name});
    if (Size > 0) std::memcpy(Buffer, Data.Data.data(), static_cast<std::size_t>(Size));
    return Size;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    PutData(Name, rdString, Value);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
    PutData(Name, rdExpandString, Value);
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    PutData(Name, rdInteger, detail::EncodeInteger(Value));
}

void TRegistry::WriteBool(const std::string& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

void TRegistry::WriteFloat(const std::string& Name, double Value) {
    WriteBinaryData(Name, &Value, sizeof(Value));
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
    std::string Data;
    if (BufSize > 0) Data.assign(static_cast<const char*>(Buffer), static_cast<std::size_t>(BufSize));
    PutData(Name, rdBinary, std::move(Data));
}

} // namespace cls
