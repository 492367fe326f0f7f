// Modules and their resource registries, and the optional entry points a
// program looks up by name. A module's resources are part of the program's
// image, so they outlive ResetWindowSystem as they would a test.
#include "win/internal.h"

#include "gfx/draw.h"
#include "gfx/utf8.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <set>

namespace win {

namespace {

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// System cursor identifiers, served by the cursor module.
constexpr std::uintptr_t kFirstSystemCursor = 32512;
constexpr std::uintptr_t kLastSystemCursor = 32767;

struct Module {
    std::string key; // upper-cased name without ".DLL"
    std::map<std::pair<ResType, std::string>, ResourceEntry> entries;
};

struct ResourceState {
    std::map<std::uintptr_t, Module> modules; // by handle value
    std::uintptr_t nextHandle = 0x10000;
    std::set<std::string> missingEntryPoints;
};

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string ModuleKey(const char* name) {
    std::string key = Upper(name);
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".DLL") == 0) key.resize(key.size() - 4);
    return key;
}

// "#123" and the integer 123 name the same resource.
std::string IdKey(unsigned long long id) {
    std::string key(1, '#');
    key += std::to_string(id);
    return key;
}

std::string ResKey(const ResName& name) {
    if (name.IsId()) return IdKey(name.id);
    const std::string text = name.text;
    // Up to 19 digits always fit; longer "numbers" stay names.
    if (text.size() > 1 && text.size() <= 20 && text[0] == '#' &&
        std::all_of(text.begin() + 1, text.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return IdKey(std::stoull(text.substr(1)));
    return Upper(text);
}

HMODULE ToHandle(std::uintptr_t v) {
    return reinterpret_cast<HMODULE>(v);
}

ResourceState& State() {
    static ResourceState state;
    return state;
}

HMODULE AddModule(ResourceState& r, const std::string& key) {
    const std::uintptr_t handle = r.nextHandle;
    r.nextHandle += 0x10000;
    r.modules[handle].key = key;
    return ToHandle(handle);
}

// The program's module comes first, the system's user module second.
ResourceState& Resources() {
    ResourceState& r = State();
    if (r.modules.empty()) {
        AddModule(r, "");
        AddModule(r, "USER32");
    }
    return r;
}

HMODULE ProgramModule() {
    return ToHandle(Resources().modules.begin()->first);
}

HMODULE UserModule() {
    return ToHandle(std::next(Resources().modules.begin())->first);
}

Module* FindModule(HMODULE module) {
    ResourceState& r = Resources();
    if (!module) module = ProgramModule();
    auto it = r.modules.find(reinterpret_cast<std::uintptr_t>(module));
    if (it == r.modules.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

const ResourceEntry* FindEntry(HMODULE module, const ResName& name, ResType type) {
    Module* m = FindModule(module);
    if (!m) return nullptr;
    auto it = m->entries.find({type, ResKey(name)});
    if (it == m->entries.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return &it->second;
}

void FreeEntry(ResourceEntry& e) {
    if (e.bitmap) DeleteObject(e.bitmap);
    if (e.icon) DestroyIcon(e.icon);
    e.bitmap = nullptr;
    e.icon = nullptr;
}

bool IsIcon(HICON icon) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return true;
}

HBITMAP CopyBitmap(HBITMAP source) {
    BitmapSurface src, dst;
    if (!GetBitmapSurface(source, &src)) return nullptr;
    HBITMAP copy = CreateBitmap(src.width, src.height, 1, src.bitsPerPixel == 1 ? 1 : 32, nullptr);
    if (!copy || !GetBitmapSurface(copy, &dst)) {
        if (copy) DeleteObject(copy);
        return nullptr;
    }
    for (int y = 0; y < src.height; ++y)
        std::memcpy(dst.Row(y), src.Row(y), static_cast<std::size_t>(src.width) * sizeof(std::uint32_t));
    return copy;
}

HICON LoadShared(HINSTANCE instance, const ResName& name, ResType type) {
    detail::Guard g(detail::Lock());
    const ResourceEntry* e = FindEntry(instance, name, type);
    return e ? e->icon : nullptr;
}

} // namespace

namespace detail {

void ResetResourceState() {
    Guard g(Lock());
    State().missingEntryPoints.clear();
}

} // namespace detail

// ============================================================================
// Modules
// ============================================================================

HMODULE RegisterModule(const char* name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    detail::Guard g(detail::Lock());
    ResourceState& r = Resources();
    const std::string key = ModuleKey(name);
    for (auto& [handle, m] : r.modules)
        if (m.key == key) return ToHandle(handle);
    return AddModule(r, key);
}

HMODULE GetModuleHandle(const char* name) {
    detail::Guard g(detail::Lock());
    ResourceState& r = Resources();
    if (!name) return ProgramModule();
    const std::string key = ModuleKey(name);
    for (auto& [handle, m] : r.modules)
        if (!key.empty() && m.key == key) return ToHandle(handle);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

void* GetProcAddress(HMODULE module, const char* name) {
    static const std::map<std::string, void*> entryPoints = {
        {"TrackMouseEvent", reinterpret_cast<void*>(&TrackMouseEvent)},
        {"UpdateLayeredWindow", reinterpret_cast<void*>(&UpdateLayeredWindow)},
        {"SetLayeredWindowAttributes", reinterpret_cast<void*>(&SetLayeredWindowAttributes)},
        {"AnimateWindow", reinterpret_cast<void*>(&AnimateWindow)},
    };
    detail::Guard g(detail::Lock());
    auto it = name ? entryPoints.find(name) : entryPoints.end();
    if (module != UserModule() || it == entryPoints.end() || Resources().missingEntryPoints.count(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

void SetEntryPointMissing(const char* name, bool missing) {
    if (!name) return;
    detail::Guard g(detail::Lock());
    if (missing)
        State().missingEntryPoints.insert(name);
    else
        State().missingEntryPoints.erase(name);
}

// ============================================================================
// Resources
// ============================================================================

BOOL AddResource(HMODULE module, ResType type, ResName name, HBITMAP bitmap, HICON icon,
                 const std::string& data) {
    const bool needsBitmap = type == ResType::Bitmap;
    const bool needsIcon = type == ResType::Icon || type == ResType::Cursor;
    if ((needsBitmap && GetObjectType(bitmap) != OBJ_BITMAP) || (needsIcon && !IsIcon(icon)) ||
        (!name.IsId() && (!name.text || !*name.text))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::Guard g(detail::Lock());
    Module* m = FindModule(module);
    if (!m) return FALSE;
    const std::string key = ResKey(name);
    ResourceEntry& e = m->entries[{type, key}];
    ResourceEntry replaced = e;
    e.type = type;
    e.name = key;
    e.bitmap = needsBitmap ? bitmap : nullptr;
    e.icon = needsIcon ? icon : nullptr;
    if (replaced.bitmap == e.bitmap) replaced.bitmap = nullptr;
    if (replaced.icon == e.icon) replaced.icon = nullptr;
    FreeEntry(replaced);
    e.data = data;
    return TRUE;
}

const ResourceEntry* FindResource(HMODULE module, ResName name, ResType type) {
    detail::Guard g(detail::Lock());
    return FindEntry(module, name, type);
}

HBITMAP LoadBitmap(HINSTANCE instance, ResName name) {
    detail::Guard g(detail::Lock());
    const ResourceEntry* e = FindEntry(instance, name, ResType::Bitmap);
    return e ? CopyBitmap(e->bitmap) : nullptr;
}

HICON LoadIcon(HINSTANCE instance, ResName name) {
    return LoadShared(instance, name, ResType::Icon);
}

HCURSOR LoadCursor(HINSTANCE instance, ResName name) {
    if (!instance && name.IsId() && name.id >= kFirstSystemCursor && name.id <= kLastSystemCursor)
        return detail::LoadSystemCursor(name.id);
    return LoadShared(instance, name, ResType::Cursor);
}

int LoadString(HINSTANCE instance, UINT id, char* buffer, int size) {
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<int>(
        gfx::CopyUtf8ToBuffer(LoadString(instance, id), buffer, static_cast<std::size_t>(size)));
}

std::string LoadString(HINSTANCE instance, UINT id) {
    detail::Guard g(detail::Lock());
    const ResourceEntry* e = FindEntry(instance, ResName(static_cast<std::uintptr_t>(id)), ResType::String);
    return e ? e->data : std::string();
}

} // namespace win

namespace win {

namespace {

// A copy of the bitmap stretched to cx x cy, of the same depth.
HBITMAP ScaledBitmap(HBITMAP source, int cx, int cy) {
    BITMAP info{};
    if (!GetObject(source, sizeof info, &info)) return nullptr;
    if (cx <= 0) cx = info.bmWidth;
    if (cy <= 0) cy = info.bmHeight;
    const HBITMAP copy = CreateBitmap(cx, cy, 1, info.bmBitsPixel, nullptr);
    if (!copy) return nullptr;
    const HDC from = CreateCompatibleDC(nullptr);
    const HDC to = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldFrom = SelectObject(from, source);
    const HGDIOBJ oldTo = SelectObject(to, copy);
    StretchBlt(to, 0, 0, cx, cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

} // namespace

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT) {
    if (type == IMAGE_BITMAP)
        return reinterpret_cast<HANDLE>(ScaledBitmap(reinterpret_cast<HBITMAP>(image), cx, cy));
    if (type != IMAGE_ICON) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(image), &info)) return nullptr;
    ICONINFO scaled = info;
    // A monochrome icon keeps its image below its mask: twice the height.
    scaled.hbmMask = ScaledBitmap(info.hbmMask, cx, info.hbmColor || cy <= 0 ? cy : 2 * cy);
    scaled.hbmColor = info.hbmColor ? ScaledBitmap(info.hbmColor, cx, cy) : nullptr;
    const HICON copy = scaled.hbmMask ? CreateIconIndirect(&scaled) : nullptr;
    for (HBITMAP b : {info.hbmMask, info.hbmColor, scaled.hbmMask, scaled.hbmColor})
        if (b) DeleteObject(b);
    return reinterpret_cast<HANDLE>(copy);
}

} // namespace win
