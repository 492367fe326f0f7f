// TRegistry over the library's own persistent store.
//
// The store is one UTF-8 text file, by default $XDG_CONFIG_HOME/trestle/registry
// (~/.config/trestle/registry without XDG_CONFIG_HOME); tests and programs
// choose another with SetRegistryStoreFileName. Format, one item per line:
//
//     trestle-registry 2
//     key "HKEY_CURRENT_USER"
//     key 1 "Software"
//     key 2 "Vendor"
//     value "Caption" string "Main \"menu\""
//     value "Path" expand "%HOME%\\bin"
//     value "Count" integer -42
//     value "Glyph" binary "0AFF10"
//     value "" string "the key's default value"
//     end
//
// A "key" line names a key by its path from the root ("HKEY_CURRENT_USER",
// "HKEY_LOCAL_MACHINE", ...): an optional decimal number N, then one quoted
// name per level; the path is the first N names of the previous key line's
// path followed by the names on the line (no number: the whole path). The
// writer lists keys parent first, each line giving the parent's depth and the
// key's own name, so the file grows with the number of keys, not with their
// depth. Files with the header "trestle-registry 1" are read as well; their
// key lines have no number. The "value" lines after a key line are that
// key's values: quoted name, type (string, expand, integer, binary) and data
// (quoted text; a decimal 32-bit integer; quoted upper-case hex digits). In quoted text \\ \" \n \r \t and
// \xHH stand for a backslash, a quote, LF, CR, tab and any byte that is a control character or not part of
// valid UTF-8. Blank lines and lines starting with "#" are ignored. "end" closes the file; without it the
// file counts as truncated. Keys may nest to any depth.
//
// A store file that cannot be read or parsed is reported with
// ERegistryException naming the file, by every call that needs the store, and
// is never overwritten; nothing of it is applied. The process keeps one store
// per file in memory, shared by all TRegistry objects, and reloads it when
// the file changed on disk and nothing unsaved is pending. Changes are
// written (atomically: temporary file, then rename) when an open key is
// closed (CloseKey, opening another key) and when a TRegistry is destroyed,
// and with LazyWrite off after every change.
//
// Keys are found by path, so a key deleted under an open TRegistry makes its
// later calls fail, as on the original platform. Key and value names ignore
// case (Unicode case folding); sub keys are listed in sorted order, values in
// the order they were created.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/object.h"
#include "classes/strings.h"

namespace cls {

using HKEY = std::uintptr_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

// Access rights, as the original's.
inline constexpr unsigned KEY_QUERY_VALUE = 0x0001;
inline constexpr unsigned KEY_SET_VALUE = 0x0002;
inline constexpr unsigned KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr unsigned KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr unsigned KEY_READ = 0x20019;
inline constexpr unsigned KEY_WRITE = 0x20006;
inline constexpr unsigned KEY_ALL_ACCESS = 0xF003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    // Bytes: strings count their terminating zero, integers are 4 bytes.
    int DataSize = 0;
};

struct TRegKeyInfo {
    int NumSubKeys = 0;
    int MaxSubKeyLen = 0;
    int NumValues = 0;
    int MaxValueLen = 0;
    int MaxDataLen = 0;
};

// The store file for TRegistry objects created from now on; "" restores the default.
void SetRegistryStoreFileName(const std::string& AFileName);
std::string RegistryStoreFileName();

namespace detail {
class TRegistryStore;
struct TRegKey;
} // namespace detail

class TRegistry : public TObject {
    TRESTLE_CLASS(TRegistry, TObject)
public:
    TRegistry() : TRegistry(KEY_ALL_ACCESS) {}
    explicit TRegistry(unsigned AAccess);
    // Closes the key (writing pending changes; a failure to write is ignored
    // here). A batch that is still running is cancelled.
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    // Closes the current key.
    void SetRootKey(HKEY Value);
    // Non-zero while a key is open.
    HKEY CurrentKey() const { return FCurrentKey; }
    // Path of the open key below the root, without a leading or trailing "\".
    const std::string& CurrentPath() const { return FCurrentPath; }
    unsigned Access() const { return FAccess; }
    void SetAccess(unsigned Value) { FAccess = Value; }
    bool LazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool Value) { FLazyWrite = Value; }

    // Batches changes into one write of the store, so that a reader sees all
    // of them or none. From BeginUpdate to EndUpdate closing keys writes
    // nothing and the file is not checked for changes made by others;
    // EndUpdate writes the store once. When that write fails, EndUpdate raises
    // ERegistryException and drops the changes: the store is again what its
    // file holds. CancelUpdate drops them without writing, and so does
    // destroying the object inside a batch. The batch covers every change to
    // the store, also those other TRegistry objects make meanwhile.
    // BeginUpdate first writes changes left pending by an earlier failed write
    // and raises when that fails or the store cannot be read; it does nothing
    // while this object's batch runs.
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    bool Updating() const { return FUpdating; }

    // Key paths use "\" between names. A path starting with "\" starts at the
    // root; others start at the open key (or the root when none is open).

    // Opens (with CanCreate: creates) the key and makes it current.
    bool OpenKey(const std::string& Key, bool CanCreate);
    // Opens an existing key for reading and sets Access to KEY_READ, as the
    // original does: writes to keys opened from then on fail.
    bool OpenKeyReadOnly(const std::string& Key);
    // Closes the open key and writes pending changes of the store
    // (ERegistryException when that fails; the changes stay pending).
    void CloseKey();
    // Creates the key without opening it; ERegistryException "Failed to create key X" on failure.
    bool CreateKey(const std::string& Key);
    // Deletes the key with all its sub keys.
    bool DeleteKey(const std::string& Key);
    bool KeyExists(const std::string& Key);
    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo& Value);
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);

    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    // Gives the value a new name unless that name is taken.
    void RenameValue(const std::string& OldName, const std::string& NewName);
    bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
    // -1 when the value does not exist.
    int GetDataSize(const std::string& ValueName);
    TRegDataType GetDataType(const std::string& ValueName);

    // Reads raise ERegistryException "Invalid data type for 'X'" for a value
    // of another type and "Failed to get data for 'X'" when the value is
    // missing (or too large); ReadString and ReadBinaryData return ""/0 for a
    // missing value, as in the original. ReadString reads both string types
    // (up to the first zero character).
    std::string ReadString(const std::string& Name);
    int ReadInteger(const std::string& Name);
    bool ReadBool(const std::string& Name);
    // A binary value of 8 bytes.
    double ReadFloat(const std::string& Name);
    // Copies the data into Buffer when it fits in BufSize and returns its size.
    int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);

    // Writes raise ERegistryException "Failed to set data for 'X'" when no
    // key is open or the key was opened read-only or no longer exists.
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, int Value);
    void WriteBool(const std::string& Name, bool Value);
    void WriteFloat(const std::string& Name, double Value);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

private:
    struct TValueData;
    bool GetValue(const std::string& Name, TValueData& Data);
    void PutData(const std::string& Name, TRegDataType Type, std::string Data);
    void ChangeKey(const std::string& Path, bool ReadOnly);
    // The open key in the store (nullptr when it is gone); remembered until
    // a key may have left the store's memory.
    detail::TRegKey* CurrentNode();
    std::string BasePath(bool Relative) const;

    std::shared_ptr<detail::TRegistryStore> FStore;
    bool FUpdating = false;
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = 0;
    detail::TRegKey* FCurrentNode = nullptr;
    std::uint64_t FCurrentGeneration = 0;
    std::string FCurrentPath;
    bool FCurrentReadOnly = false;
    unsigned FAccess;
    bool FLazyWrite = true;
};

} // namespace cls
