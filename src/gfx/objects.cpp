// The object table, stock objects and the creation, selection, description
// and deletion of drawing objects.

#include "gfx/internal.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace gfx::detail {

// ============================================================================
// Object table
// ============================================================================

namespace {

constexpr unsigned kIndexBits = 24;
constexpr unsigned kChunkBits = 12;
constexpr std::uint32_t kChunkSize = 1u << kChunkBits;
constexpr std::uint32_t kChunkCount = 1u << (kIndexBits - kChunkBits);
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;

struct alignas(64) Slot {
    std::atomic<GdiObject*> obj{nullptr};
    std::atomic<std::uint32_t> generation{1};
    std::atomic<std::uint32_t> next{0}; // while free: index + 1 of the next free slot, 0 at the end
};

// Handles are looked up without a lock, so that threads drawing with their
// own objects never wait for each other: slots live in chunks that are added
// as the table grows and never move, and the free slots form a lock-free
// stack whose head carries a tag, so that a slot taken and given back between
// a reader's two looks cannot fool it. Only growth takes a lock. The table
// lives for the whole process, so that objects freed during exit still find it.
struct Table {
    std::array<std::atomic<Slot*>, kChunkCount> chunks{};
    std::atomic<std::uint64_t> freeHead{0}; // tag << 32 | (index + 1); index + 1 == 0: empty
    std::atomic<std::uint32_t> live{0};     // objects in the table
    std::mutex growMutex;
    std::uint32_t chunksUsed = 0; // guarded by growMutex
};
Table& TheTable() {
    static Table* table = new Table;
    return *table;
}

Slot* SlotAt(Table& t, std::uint32_t index) {
    Slot* chunk = t.chunks[index >> kChunkBits].load(std::memory_order_acquire);
    return chunk ? chunk + (index & (kChunkSize - 1)) : nullptr;
}

std::uintptr_t Encode(std::uint32_t index, Kind kind, std::uint32_t generation) {
    return (static_cast<std::uintptr_t>(generation) << 32) | (static_cast<std::uintptr_t>(kind) << 24) |
           index;
}

// The slot of a live handle: its generation and kind match.
Slot* SlotOf(Table& t, HGDIOBJ h, GdiObject** obj) {
    const std::uintptr_t v = handle_to_int(h);
    if (v < (std::uintptr_t{1} << 32)) return nullptr;
    Slot* s = SlotAt(t, static_cast<std::uint32_t>(v & kIndexMask));
    if (!s) return nullptr;
    GdiObject* o = s->obj.load(std::memory_order_acquire);
    if (!o || s->generation.load(std::memory_order_acquire) != static_cast<std::uint32_t>(v >> 32) ||
        o->kind != static_cast<Kind>((v >> 24) & 0xFF))
        return nullptr;
    *obj = o;
    return s;
}

// Puts the chain first .. last (already linked through `next`) on the free stack.
void PushFree(Table& t, std::uint32_t first, std::uint32_t last) {
    Slot* tail = SlotAt(t, last);
    std::uint64_t head = t.freeHead.load(std::memory_order_relaxed);
    do {
        tail->next.store(static_cast<std::uint32_t>(head), std::memory_order_relaxed);
    } while (!t.freeHead.compare_exchange_weak(head, (((head >> 32) + 1) << 32) | (first + 1u),
                                               std::memory_order_release, std::memory_order_relaxed));
}

bool PopFree(Table& t, std::uint32_t* index) {
    std::uint64_t head = t.freeHead.load(std::memory_order_acquire);
    while (static_cast<std::uint32_t>(head) != 0) {
        const std::uint32_t i = static_cast<std::uint32_t>(head) - 1;
        const Slot* slot = SlotAt(t, i);
        if (!slot) return false; // only slots of existing chunks are ever pushed
        const std::uint32_t next = slot->next.load(std::memory_order_relaxed);
        if (t.freeHead.compare_exchange_weak(head, (((head >> 32) + 1) << 32) | next,
                                             std::memory_order_acquire, std::memory_order_acquire)) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool Grow(Table& t, std::uint32_t* index) {
    std::lock_guard lock(t.growMutex);
    if (PopFree(t, index)) return true; // another thread grew the table meanwhile
    if (t.chunksUsed == kChunkCount) return false;
    auto* chunk = new Slot[kChunkSize];
    const std::uint32_t base = t.chunksUsed * kChunkSize;
    for (std::uint32_t i = 1; i + 1 < kChunkSize; ++i)
        chunk[i].next.store(base + i + 2, std::memory_order_relaxed);
    t.chunks[t.chunksUsed].store(chunk, std::memory_order_release);
    ++t.chunksUsed;
    PushFree(t, base + 1, base + kChunkSize - 1);
    *index = base;
    return true;
}

// Each thread keeps a few free slots of its own, so that threads creating
// and deleting objects at the same time do not all meet at the head of the
// free stack. Plain data, so that it can still be read while the thread's
// other objects are destroyed at its exit; the flusher gives the slots back
// then.
struct LocalFree {
    static constexpr std::uint32_t kCapacity = 32;
    std::uint32_t count = 0;
    bool registered = false;
    bool gone = false; // the thread is exiting: the slots went back already
    std::uint32_t slots[kCapacity];
};
thread_local LocalFree tlsFree;

struct LocalFreeFlusher {
    ~LocalFreeFlusher() {
        Table& t = TheTable();
        while (tlsFree.count > 0) {
            const std::uint32_t i = tlsFree.slots[--tlsFree.count];
            PushFree(t, i, i);
        }
        tlsFree.gone = true;
    }
};
thread_local LocalFreeFlusher tlsFreeFlusher;

bool TakeSlot(Table& t, std::uint32_t* index) {
    if (tlsFree.count > 0) {
        *index = tlsFree.slots[--tlsFree.count];
        return true;
    }
    return PopFree(t, index) || Grow(t, index);
}

void GiveSlot(Table& t, std::uint32_t index) {
    LocalFree& local = tlsFree;
    if (!local.gone && local.count < LocalFree::kCapacity) {
        if (!local.registered) {
            local.registered = true;
            (void)&tlsFreeFlusher; // constructs it, so that it runs at the thread's exit
        }
        local.slots[local.count++] = index;
        return;
    }
    PushFree(t, index, index);
}

} // namespace

HGDIOBJ Insert(std::unique_ptr<GdiObject> obj) {
    Table& t = TheTable();
    std::uint32_t index = 0;
    if (!TakeSlot(t, &index)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Slot& s = *SlotAt(t, index);
    const Kind kind = obj->kind;
    const std::uint32_t generation = s.generation.load(std::memory_order_relaxed);
    s.obj.store(obj.release(), std::memory_order_release);
    t.live.fetch_add(1, std::memory_order_relaxed);
    return handle_from_int<HGDIOBJ>(Encode(index, kind, generation));
}

GdiObject* Lookup(HGDIOBJ h) {
    if (!h) return nullptr;
    GdiObject* o = nullptr;
    return SlotOf(TheTable(), h, &o) ? o : nullptr;
}

DCObj* LookupDC(HDC h) {
    return LookupAs<DCObj>(h, Kind::DC);
}

DWORD LiveObjectCount() {
    return TheTable().live.load(std::memory_order_relaxed);
}

// Of two threads erasing one handle, the one that empties the slot frees the
// object. Destructors may release other objects.
void Erase(HGDIOBJ h) {
    Table& t = TheTable();
    GdiObject* o = nullptr;
    Slot* s = SlotOf(t, h, &o);
    if (!s || !s->obj.compare_exchange_strong(o, nullptr, std::memory_order_acq_rel)) return;
    std::uint32_t generation = s->generation.load(std::memory_order_relaxed) + 1;
    if (generation == 0) generation = 1;
    s->generation.store(generation, std::memory_order_release);
    GiveSlot(t, static_cast<std::uint32_t>(handle_to_int(h) & kIndexMask));
    t.live.fetch_sub(1, std::memory_order_relaxed);
    delete o;
}

void EraseOrDefer(GdiObject& o, HGDIOBJ h) {
    if (o.refs.fetch_or(GdiObject::kDeletePending, std::memory_order_acq_rel) == 0) Erase(h);
}

bool TrySelectRef(GdiObject& o) {
    if (o.stock) return true;
    std::uint32_t r = o.refs.load(std::memory_order_relaxed);
    do {
        if (r & GdiObject::kDeletePending) return false;
    } while (!o.refs.compare_exchange_weak(r, r + 1, std::memory_order_relaxed));
    return true;
}

// For states that copy a selection: the object may already wait for deletion.
void AddSelectRef(HGDIOBJ h) {
    if (GdiObject* o = Lookup(h); o && !o->stock) o->refs.fetch_add(1, std::memory_order_relaxed);
}

void ReleaseSelectRef(HGDIOBJ h) {
    GdiObject* o = Lookup(h);
    if (!o || o->stock) return;
    if (o->refs.fetch_sub(1, std::memory_order_acq_rel) == (GdiObject::kDeletePending | 1)) Erase(h);
}

// ============================================================================
// Bitmap records
// ============================================================================

void BitmapObj::AddDirty(const RECT& r) {
    RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
           std::min<LONG>(r.bottom, height)};
    if (c.left >= c.right || c.top >= c.bottom) return;
    const auto Area = [](const RECT& a) {
        return static_cast<long long>(a.right - a.left) * (a.bottom - a.top);
    };
    const auto Union = [](const RECT& a, const RECT& b) {
        return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
    };
    std::lock_guard lock(dirtyMutex_);
    // Every fill passes here. The changes are kept as a few rectangles, so
    // that a window whose frame was drawn again is not composed whole: a
    // change joins a rectangle when their union covers at most twice what
    // both do. Fills mostly come next to the one before: the rectangle that
    // took it is asked first.
    const auto Joins = [&](const RECT& a, const RECT& b) {
        return Area(Union(a, b)) <= 2 * (Area(a) + Area(b));
    };
    if (dirtyCount_ > 0 && Joins(dirty_[static_cast<std::size_t>(lastDirty_)], c)) {
        RECT& d = dirty_[static_cast<std::size_t>(lastDirty_)];
        d = Union(d, c);
        return;
    }
    for (int i = 0; i < dirtyCount_; ++i) {
        RECT& d = dirty_[static_cast<std::size_t>(i)];
        if (Joins(d, c)) {
            d = Union(d, c);
            lastDirty_ = i;
            return;
        }
    }
    if (dirtyCount_ < kDirtyParts) {
        lastDirty_ = dirtyCount_;
        dirty_[static_cast<std::size_t>(dirtyCount_++)] = c;
        return;
    }
    // No room: the two rectangles (the new one among them) whose union
    // wastes least become one.
    std::array<RECT, kDirtyParts + 1> all;
    std::copy(dirty_.begin(), dirty_.end(), all.begin());
    all[kDirtyParts] = c;
    std::size_t bestA = 0, bestB = 1;
    long long bestWaste = -1;
    for (std::size_t a = 0; a < all.size(); ++a)
        for (std::size_t b = a + 1; b < all.size(); ++b) {
            const long long waste = Area(Union(all[a], all[b])) - Area(all[a]) - Area(all[b]);
            if (bestWaste < 0 || waste < bestWaste) {
                bestWaste = waste;
                bestA = a;
                bestB = b;
            }
        }
    all[bestA] = Union(all[bestA], all[bestB]);
    all[bestB] = all[kDirtyParts];
    std::copy(all.begin(), all.begin() + kDirtyParts, dirty_.begin());
    lastDirty_ = static_cast<int>(bestA);
}

bool BitmapObj::TakeDirty(RECT* r) {
    std::lock_guard lock(dirtyMutex_);
    *r = RECT{};
    for (int i = 0; i < dirtyCount_; ++i) {
        const RECT& d = dirty_[static_cast<std::size_t>(i)];
        *r = i == 0 ? d
                    : RECT{std::min(r->left, d.left), std::min(r->top, d.top), std::max(r->right, d.right),
                           std::max(r->bottom, d.bottom)};
    }
    dirtyCount_ = 0;
    return !IsRectEmpty(r);
}

void BitmapObj::TakeDirty(std::vector<RECT>* parts) {
    std::lock_guard lock(dirtyMutex_);
    parts->assign(dirty_.begin(), dirty_.begin() + dirtyCount_);
    dirtyCount_ = 0;
}

namespace {

constexpr long long kMaxPixels = 1LL << 28;

// Rows whose length is a multiple of 512 bytes put the pixels of a column in
// a few cache sets, so that drawing down a column (the sides of a window's
// frame) misses the cache on every row: such rows of a device bitmap get a
// cache line more. A DIB section keeps its rows packed, as its caller sees them.
std::ptrdiff_t DeviceStride(int width) {
    return width % 128 == 0 ? width + 16 : width;
}

std::unique_ptr<BitmapObj> NewBitmap(int width, int height, int bpp, bool packed = false) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels) return nullptr;
    auto b = std::make_unique<BitmapObj>();
    b->width = width;
    b->height = height;
    b->bpp = bpp;
    b->stride = packed ? width : DeviceStride(width);
    b->storage.assign(static_cast<std::size_t>(b->stride) * height, 0u);
    b->bits = b->storage.data();
    return b;
}

// ============================================================================
// Stock objects
// ============================================================================

struct Stock {
    HGDIOBJ objects[20] = {};
    HBITMAP defaultBitmap{};
};

HGDIOBJ MakeStockBrush(UINT style, COLORREF color) {
    auto b = std::make_unique<BrushObj>();
    b->stock = true;
    b->style = style;
    b->color = KeepColor(color);
    return Insert(std::move(b));
}

HGDIOBJ MakeStockPen(UINT style, COLORREF color) {
    auto p = std::make_unique<PenObj>();
    p->stock = true;
    p->style = style;
    p->color = color;
    return Insert(std::move(p));
}

HGDIOBJ MakeStockFont(const char* face, LONG height, LONG weight, BYTE pitch) {
    auto f = std::make_unique<FontObj>();
    f->stock = true;
    f->lf.lfHeight = height;
    f->lf.lfWeight = weight;
    f->lf.lfPitchAndFamily = pitch;
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    return Insert(std::move(f));
}

const Stock& GetStock() {
    static const Stock stock = [] {
        Stock s;
        s.objects[WHITE_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
        s.objects[LTGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
        s.objects[GRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
        s.objects[DKGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
        s.objects[BLACK_BRUSH] = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
        s.objects[NULL_BRUSH] = MakeStockBrush(BS_NULL, 0);
        s.objects[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
        s.objects[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
        s.objects[NULL_PEN] = MakeStockPen(PS_NULL, 0);
        s.objects[OEM_FIXED_FONT] = MakeStockFont("Terminal", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[ANSI_FIXED_FONT] = MakeStockFont("Courier", 13, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[ANSI_VAR_FONT] = MakeStockFont("MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        s.objects[SYSTEM_FONT] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
        s.objects[DEVICE_DEFAULT_FONT] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
        s.objects[SYSTEM_FIXED_FONT] = MakeStockFont("Fixedsys", 15, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        s.objects[DEFAULT_GUI_FONT] =
            MakeStockFont("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        {
            auto b = std::make_unique<BrushObj>();
            b->stock = true;
            b->dcBrush = true;
            s.objects[DC_BRUSH] = Insert(std::move(b));
        }
        {
            auto p = std::make_unique<PenObj>();
            p->stock = true;
            p->extended = true; // marks the DC pen: its colour is the DC's
            p->style = PS_SOLID | 0x80000000u;
            s.objects[DC_PEN] = Insert(std::move(p));
        }
        {
            // The 20 static colours of a palette device.
            static constexpr BYTE kStatic[20][3] = {
                {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
                {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
            auto p = std::make_unique<PaletteObj>();
            p->stock = true;
            for (const auto& c : kStatic) p->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
            s.objects[DEFAULT_PALETTE] = Insert(std::move(p));
        }
        auto bmp = NewBitmap(1, 1, 1);
        bmp->stock = true;
        s.defaultBitmap = ToHandle<HBITMAP>(Insert(std::move(bmp)));
        return s;
    }();
    return stock;
}

} // namespace

HBITMAP DefaultBitmap() {
    return GetStock().defaultBitmap;
}

bool IsDCPen(const PenObj* p) {
    return p && p->stock && (p->style & 0x80000000u);
}

FontObj* SelectedFont(DCObj& dc) {
    if (FontObj* f = LookupFont(dc.st.font)) return f;
    return LookupAs<FontObj>(GetStock().objects[SYSTEM_FONT], Kind::Font);
}

// Keeps every object of a state alive while the state exists.
void RetainState(const DCState& s) {
    AddSelectRef(s.brush);
    AddSelectRef(s.pen);
    AddSelectRef(s.font);
    AddSelectRef(s.palette);
}

void ReleaseState(const DCState& s) {
    ReleaseSelectRef(s.brush);
    ReleaseSelectRef(s.pen);
    ReleaseSelectRef(s.font);
    ReleaseSelectRef(s.palette);
}

DCState DefaultState() {
    const Stock& stock = GetStock();
    DCState s;
    s.brush = ToHandle<HBRUSH>(stock.objects[WHITE_BRUSH]);
    s.pen = ToHandle<HPEN>(stock.objects[BLACK_PEN]);
    s.font = ToHandle<HFONT>(stock.objects[SYSTEM_FONT]);
    s.palette = ToHandle<HPALETTE>(stock.objects[DEFAULT_PALETTE]);
    return s;
}

// Selects `bitmap` into a memory DC (the DC's bookkeeping of the previous
// bitmap included). False when the bitmap is selected into another DC.
bool SelectBitmapInto(DCObj& dc, HBITMAP bitmap) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b) return false;
    if (!b->stock && b->selectedIn && b->selectedIn != &dc) return false;
    if (BitmapObj* old = LookupBitmap(dc.st.bitmap); old && old != b && old->selectedIn == &dc)
        old->selectedIn = nullptr;
    if (!b->stock) b->selectedIn = &dc;
    dc.st.bitmap = bitmap;
    dc.InvalidateClip();
    return true;
}

} // namespace gfx::detail

namespace gfx {

using namespace detail;

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index >= 20) return nullptr;
    return GetStock().objects[index];
}

BOOL DeleteObject(HGDIOBJ obj) {
    GdiObject* o = Lookup(obj);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) return TRUE;
    switch (o->kind) {
        case Kind::DC:
        case Kind::Icon:
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        case Kind::Bitmap:
            if (static_cast<BitmapObj*>(o)->selectedIn) return FALSE;
            break;
        case Kind::Pen:
        case Kind::Brush:
        case Kind::Font:
        case Kind::Palette:
            EraseOrDefer(*o, obj);
            return TRUE;
        default:
            break;
    }
    Erase(obj);
    return TRUE;
}

namespace {

int CopyOut(void* buffer, int size, const void* data, int dataSize) {
    if (!buffer) return dataSize;
    if (size <= 0) return 0;
    const int n = std::min(size, dataSize);
    std::memcpy(buffer, data, static_cast<std::size_t>(n));
    return n;
}

} // namespace

int GetObject(HGDIOBJ obj, int size, void* buffer) {
    GdiObject* o = Lookup(obj);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
        case Kind::Pen: {
            auto* p = static_cast<PenObj*>(o);
            LOGPEN lp{p->style & ~0x80000000u, POINT{p->width, 0}, p->color};
            return CopyOut(buffer, size, &lp, sizeof lp);
        }
        case Kind::Brush: {
            auto* b = static_cast<BrushObj*>(o);
            LOGBRUSH lb{b->style, b->sysColorIndex >= 0 ? GetSysColor(b->sysColorIndex) : b->color, 0};
            if (b->style == BS_HATCHED) lb.lbHatch = static_cast<std::uintptr_t>(b->hatch);
            if (b->style == BS_PATTERN) lb.lbHatch = b->patternBitmap;
            return CopyOut(buffer, size, &lb, sizeof lb);
        }
        case Kind::Font: {
            auto* f = static_cast<FontObj*>(o);
            return CopyOut(buffer, size, &f->lf, sizeof f->lf);
        }
        case Kind::Bitmap: {
            auto* b = static_cast<BitmapObj*>(o);
            BITMAP bm;
            bm.bmWidth = b->width;
            bm.bmHeight = b->height;
            bm.bmBitsPixel = static_cast<WORD>(b->bpp);
            bm.bmWidthBytes = b->Mono() ? ((b->width + 15) / 16) * 2 : b->width * 4;
            bm.bmBits = b->dibSection ? static_cast<void*>(b->storage.data()) : nullptr;
            return CopyOut(buffer, size, &bm, sizeof bm);
        }
        case Kind::Palette: {
            const auto count = static_cast<WORD>(static_cast<PaletteObj*>(o)->entries.size());
            return CopyOut(buffer, size, &count, sizeof count);
        }
        case Kind::Region:
            return 0;
        default:
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
    }
}

DWORD GetGdiObjectCount() {
    return LiveObjectCount();
}

DWORD GetObjectType(HGDIOBJ obj) {
    GdiObject* o = Lookup(obj);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
        case Kind::Pen:
            return static_cast<PenObj*>(o)->extended && !IsDCPen(static_cast<PenObj*>(o)) ? OBJ_EXTPEN
                                                                                          : OBJ_PEN;
        case Kind::Brush:
            return OBJ_BRUSH;
        case Kind::Font:
            return OBJ_FONT;
        case Kind::Bitmap:
            return OBJ_BITMAP;
        case Kind::Region:
            return OBJ_REGION;
        case Kind::Palette:
            return OBJ_PAL;
        case Kind::DC:
            return static_cast<DCObj*>(o)->memoryDC ? OBJ_MEMDC : OBJ_DC;
        default:
            return 0;
    }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    DCObj* d = LookupDC(dc);
    if (!d) return nullptr;
    switch (type) {
        case OBJ_PEN:
            return handle_cast<HGDIOBJ>(d->st.pen);
        case OBJ_BRUSH:
            return handle_cast<HGDIOBJ>(d->st.brush);
        case OBJ_FONT:
            return handle_cast<HGDIOBJ>(d->st.font);
        case OBJ_PAL:
            return handle_cast<HGDIOBJ>(d->st.palette);
        case OBJ_BITMAP:
            return handle_cast<HGDIOBJ>(d->memoryDC ? d->st.bitmap : d->surface);
        default:
            return nullptr;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    DCObj* d = LookupDC(dc);
    GdiObject* o = Lookup(obj);
    if (!d || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto swap = [&](auto& slot) -> HGDIOBJ {
        using H = std::remove_reference_t<decltype(slot)>;
        if (!TrySelectRef(*o)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        HGDIOBJ old = handle_cast<HGDIOBJ>(slot);
        slot = ToHandle<H>(obj);
        ReleaseSelectRef(old);
        return old;
    };
    switch (o->kind) {
        case Kind::Pen:
            return swap(d->st.pen);
        case Kind::Brush:
            return swap(d->st.brush);
        case Kind::Font:
            return swap(d->st.font);
        case Kind::Bitmap: {
            if (!d->memoryDC) return nullptr;
            HGDIOBJ old = handle_cast<HGDIOBJ>(d->st.bitmap);
            if (!SelectBitmapInto(*d, ToHandle<HBITMAP>(obj))) return nullptr;
            return old;
        }
        case Kind::Region: {
            const int type = SelectClipRgn(dc, ToHandle<HRGN>(obj));
            return handle_from_int<HGDIOBJ>(static_cast<std::uintptr_t>(type));
        }
        default:
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
    }
}

// --- Brushes ---

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_unique<BrushObj>();
    b->style = BS_SOLID;
    b->color = KeepColor(color);
    return ToHandle<HBRUSH>(Insert(std::move(b)));
}

HBRUSH CreateHatchBrush(int style, COLORREF color) {
    if (style < HS_HORIZONTAL || style > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto b = std::make_unique<BrushObj>();
    b->style = BS_HATCHED;
    b->hatch = style;
    b->color = KeepColor(color);
    return ToHandle<HBRUSH>(Insert(std::move(b)));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    BitmapObj* bm = LookupBitmap(bitmap);
    if (!bm) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto b = std::make_unique<BrushObj>();
    b->style = BS_PATTERN;
    b->patternMono = bm->Mono();
    b->patternBitmap = handle_to_int(bitmap);
    b->pattern = std::make_unique<std::array<std::uint32_t, 64>>();
    // Smaller bitmaps repeat to fill the 8 x 8 cell.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            (*b->pattern)[static_cast<std::size_t>(y * 8 + x)] = bm->Row(y % bm->height)[x % bm->width];
    return ToHandle<HBRUSH>(Insert(std::move(b)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (lb->lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(lb->lbColor);
        case BS_NULL:
            return ToHandle<HBRUSH>(GetStockObject(NULL_BRUSH));
        case BS_HATCHED:
            return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
        case BS_PATTERN:
            return CreatePatternBrush(handle_from_int<HBITMAP>(lb->lbHatch));
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

COLORREF SetDCBrushColor(HDC dc, COLORREF color) {
    DCObj* d = LookupDC(dc);
    if (!d) return CLR_INVALID;
    COLORREF old = d->st.dcBrushColor;
    d->st.dcBrushColor = KeepColor(color);
    return old;
}

COLORREF SetDCPenColor(HDC dc, COLORREF color) {
    DCObj* d = LookupDC(dc);
    if (!d) return CLR_INVALID;
    COLORREF old = d->st.dcPenColor;
    d->st.dcPenColor = KeepColor(color);
    return old;
}

// --- Pens ---

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < 0 || static_cast<UINT>(style) > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_unique<PenObj>();
    p->style = static_cast<UINT>(style);
    p->width = std::max(1, std::min(width, 1 << 12));
    // Wide pens draw only solid lines, as the original's cosmetic rules say.
    if (p->width > 1 && style != PS_NULL && style != PS_INSIDEFRAME) p->style = PS_SOLID;
    p->color = KeepColor(color);
    return ToHandle<HPEN>(Insert(std::move(p)));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles) {
    (void)styles;
    if (!lb || styleCount != 0 || lb->lbStyle != BS_SOLID) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const UINT s = style & PS_STYLE_MASK;
    if ((style & PS_TYPE_MASK) == PS_COSMETIC && width != 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (s > PS_ALTERNATE || s == 7) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_unique<PenObj>();
    p->style = s | (style & PS_TYPE_MASK);
    p->width = static_cast<int>(std::max<DWORD>(1, std::min<DWORD>(width, 1 << 12)));
    p->color = KeepColor(lb->lbColor);
    p->extended = true;
    return ToHandle<HPEN>(Insert(std::move(p)));
}

// --- Fonts ---

HFONT CreateFontIndirect(const LOGFONT* lf) {
    if (!lf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto f = std::make_unique<FontObj>();
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return ToHandle<HFONT>(Insert(std::move(f)));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic != 0);
    lf.lfUnderline = static_cast<BYTE>(underline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

// --- Bitmaps ---

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width == 0 || height == 0) return DefaultBitmap();
    const UINT bpp = planes * bitsPerPixel;
    if (width < 0 || height < 0 || planes == 0 || (bpp != 1 && bpp != 24 && bpp != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto b = NewBitmap(width, height, bpp == 1 ? 1 : 32);
    if (!b) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bits) {
        const auto* src = static_cast<const std::uint8_t*>(bits);
        // Rows of device-dependent bitmaps are WORD-aligned.
        const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bpp + 15) / 16) * 2;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = src + rowBytes * static_cast<std::size_t>(y);
            std::uint32_t* dst = b->Row(y);
            for (int x = 0; x < width; ++x) {
                if (bpp == 1)
                    dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
                else if (bpp == 24)
                    dst[x] = row[x * 3] | (row[x * 3 + 1] << 8) |
                             (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
                else
                    std::memcpy(&dst[x], row + x * 4, 4);
            }
        }
    }
    return ToHandle<HBITMAP>(Insert(std::move(b)));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    DCObj* d = LookupDC(dc);
    if (!d) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (width == 0 || height == 0) return DefaultBitmap();
    BitmapObj* t = d->TargetFormat();
    return CreateBitmap(width, height, 1, (t && t->Mono()) ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits, void* section,
                         DWORD offset) {
    (void)dc;
    (void)offset;
    if (bits) *bits = nullptr;
    if (!bmi || section || usage != DIB_RGB_COLORS || bmi->bmiHeader.biBitCount != 32 ||
        (bmi->bmiHeader.biCompression != BI_RGB && bmi->bmiHeader.biCompression != BI_BITFIELDS) ||
        bmi->bmiHeader.biWidth <= 0 || bmi->bmiHeader.biHeight == 0 || bmi->bmiHeader.biHeight == INT32_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int width = bmi->bmiHeader.biWidth;
    const bool bottomUp = bmi->bmiHeader.biHeight > 0;
    const int height = bottomUp ? bmi->bmiHeader.biHeight : -bmi->bmiHeader.biHeight;
    auto b = NewBitmap(width, height, 32, true);
    if (!b) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    b->dibSection = true;
    b->bottomUp = bottomUp;
    if (bottomUp) {
        b->bits = b->storage.data() + static_cast<std::ptrdiff_t>(height - 1) * width;
        b->stride = -width;
    }
    if (bits) *bits = b->storage.data();
    return ToHandle<HBITMAP>(Insert(std::move(b)));
}

bool GetBitmapSurface(HBITMAP bitmap, BitmapSurface* surface) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !surface) return false;
    *surface = BitmapSurface{b->bits, b->stride, b->width, b->height, b->bpp};
    return true;
}

bool TakeBitmapDirtyRect(HBITMAP bitmap, RECT* dirty) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !dirty) return false;
    return b->TakeDirty(dirty);
}

bool TakeBitmapDirtyRects(HBITMAP bitmap, std::vector<RECT>* parts) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !parts) return false;
    b->TakeDirty(parts);
    return !parts->empty();
}

void AddBitmapDirtyRect(HBITMAP bitmap, const RECT& r) {
    if (BitmapObj* b = LookupBitmap(bitmap)) b->AddDirty(r);
}

} // namespace gfx
