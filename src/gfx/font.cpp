// Font matching (fontconfig), realisation and glyph rasterising (FreeType).

#include "gfx/font_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

namespace gfx::detail {

namespace {

constexpr const char* kDefaultFamily = "DejaVu Sans";
constexpr const char* kDefaultFixedFamily = "DejaVu Sans Mono";
// Faces the original's dialogs and menus ask for; all of them mean the GUI face.
constexpr const char* kDefaultFaces[] = {"",       "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2",
                                         "Tahoma", "Segoe UI",      "System",       "Arial",
                                         "Verdana"};
// Height 0 asks for the default: a 16-pixel cell.
constexpr LONG kDefaultCellHeight = 16;
// Larger sizes would make single glyph bitmaps of many megabytes.
constexpr int kMaxPixelSize = 1024;
// Unused instances kept for fonts that are created and deleted repeatedly.
constexpr std::size_t kInstanceCacheSize = 64;

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string FaceOf(const LOGFONT& lf) {
    return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
}

bool Bold(const LOGFONT& lf) {
    return lf.lfWeight >= FW_SEMIBOLD;
}
bool WantsFixedPitch(const LOGFONT& lf) {
    return (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN;
}

int QuarterTurns(LONG escapement) {
    long long e = escapement % 3600;
    if (e < 0) e += 3600;
    return static_cast<int>(((e + 450) / 900) % 4);
}

// What makes two LOGFONTs realise the same instance: a value built without
// formatting or allocation, since fonts are created and realised often.
struct InstanceKey {
    LONG height = 0;
    LONG width = 0;
    LONG weight = 0;
    std::uint8_t quarterTurns = 0;
    std::uint8_t flags = 0;      // italic, underline, strike-out, monochrome, fixed pitch
    char face[LF_FACESIZE] = {}; // lower case, zero-padded

    explicit InstanceKey(const LOGFONT& lf)
        : height(lf.lfHeight), width(lf.lfWidth), weight(lf.lfWeight),
          quarterTurns(static_cast<std::uint8_t>(QuarterTurns(lf.lfEscapement))),
          flags(static_cast<std::uint8_t>(
              (lf.lfItalic != 0) | (lf.lfUnderline != 0) << 1 | (lf.lfStrikeOut != 0) << 2 |
              (lf.lfQuality == NONANTIALIASED_QUALITY) << 3 | WantsFixedPitch(lf) << 4)) {
        for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i) {
            const char c = lf.lfFaceName[i];
            face[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    friend bool operator==(const InstanceKey& a, const InstanceKey& b) {
        return a.height == b.height && a.width == b.width && a.weight == b.weight &&
               a.quarterTurns == b.quarterTurns && a.flags == b.flags &&
               std::memcmp(a.face, b.face, sizeof a.face) == 0;
    }
};

struct InstanceKeyHash {
    std::size_t operator()(const InstanceKey& k) const {
        std::uint64_t h = 14695981039346656037ull; // FNV-1a
        auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(static_cast<std::uint32_t>(k.height));
        mix(static_cast<std::uint32_t>(k.width));
        mix(static_cast<std::uint32_t>(k.weight));
        mix(k.quarterTurns | std::uint64_t{k.flags} << 8);
        for (char c : k.face) {
            if (!c) break;
            mix(static_cast<unsigned char>(c));
        }
        return static_cast<std::size_t>(h);
    }
};

// The FreeType library, fontconfig and the caches. Never destroyed: font
// records may release their instances while the program exits.
struct FontSystem {
    std::mutex cacheMutex; // fontconfig, `sources`, `instances`
    std::mutex libMutex;   // creating and freeing faces
    FT_Library library = nullptr;
    bool libraryFailed = false;
    std::map<std::string, FontSource> sources;
    std::unordered_map<InstanceKey, std::shared_ptr<FontInstance>, InstanceKeyHash> instances;
};

FontSystem& System() {
    static FontSystem* system = new FontSystem();
    return *system;
}

// Caller holds libMutex.
FT_Library Library() {
    FontSystem& s = System();
    if (!s.library && !s.libraryFailed && FT_Init_FreeType(&s.library) != 0) {
        s.library = nullptr;
        s.libraryFailed = true;
    }
    return s.library;
}

// Asks fontconfig for `family`; succeeds only when the match really is that
// family (fontconfig always offers something). Caller holds cacheMutex.
bool MatchFamily(const std::string& family, bool bold, bool italic, bool exact, FontSource* out) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool ok = false;
    FcChar8* file = nullptr;
    FcBool scalable = FcTrue;
    FcPatternGetBool(match, FC_SCALABLE, 0, &scalable);
    if (scalable && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        const std::string wanted = Lower(family);
        FcChar8* name = nullptr;
        std::string firstName;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            const std::string n = reinterpret_cast<const char*>(name);
            if (i == 0) firstName = n;
            if (Lower(n) == wanted) ok = true;
        }
        if (!exact) ok = true;
        if (ok) {
            int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            out->path = reinterpret_cast<const char*>(file);
            out->index = index;
            out->family = firstName;
            out->synthBold = bold && weight < FC_WEIGHT_DEMIBOLD;
            out->synthItalic = italic && slant == FC_SLANT_ROMAN;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

// Caller holds cacheMutex.
const FontSource& ResolveSource(const LOGFONT& lf) {
    FontSystem& s = System();
    const bool bold = Bold(lf), italic = lf.lfItalic != 0, fixed = WantsFixedPitch(lf);
    std::string face = FaceOf(lf);
    const std::string lower = Lower(face);
    for (const char* d : kDefaultFaces)
        if (lower == Lower(d)) face = kDefaultFamily;
    std::string key = Lower(face);
    key += bold ? "|b" : "|-";
    key += italic ? "i" : "-";
    key += fixed ? "f" : "-";
    auto it = s.sources.find(key);
    if (it != s.sources.end()) return it->second;

    FontSource src;
    const char* fallback = fixed ? kDefaultFixedFamily : kDefaultFamily;
    if (!MatchFamily(face, bold, italic, true, &src) && !MatchFamily(fallback, bold, italic, true, &src) &&
        !MatchFamily(kDefaultFamily, bold, italic, true, &src) &&
        !MatchFamily("sans-serif", bold, italic, false, &src)) {
        src = FontSource{};
        src.family = kDefaultFamily;
    }
    return s.sources.emplace(key, std::move(src)).first->second;
}

int RoundScaled(long long units, long long num, long long den) {
    if (den <= 0) return 0;
    const long long v = units * num;
    return static_cast<int>(v >= 0 ? (v + den / 2) / den : -((-v + den / 2) / den));
}

} // namespace

// ============================================================================
// FontInstance
// ============================================================================

struct FontInstance::Impl {
    std::mutex mutex; // the face and the glyph caches
    FT_Face face = nullptr;
    FT_Int32 loadFlags = FT_LOAD_DEFAULT;
    FT_Render_Mode renderMode = FT_RENDER_MODE_NORMAL;
    bool synthBold = false;
    bool synthItalic = false;
    int fallbackAdvance = 0;

    // Latin and Cyrillic go through a flat table; the rest through a map.
    static constexpr char32_t kFastLimit = 0x500;
    std::array<const Glyph*, kFastLimit> fast{};
    std::unordered_map<char32_t, const Glyph*> slow;
    std::vector<std::unique_ptr<Glyph>> byIndex;
    std::unique_ptr<Glyph> blank;

    const Glyph* Lookup(char32_t cp) {
        if (cp < kFastLimit && fast[cp]) return fast[cp];
        if (cp >= kFastLimit) {
            auto it = slow.find(cp);
            if (it != slow.end()) return it->second;
        }
        const Glyph* g = face ? Load(FT_Get_Char_Index(face, cp)) : Blank();
        if (cp < kFastLimit)
            fast[cp] = g;
        else
            slow.emplace(cp, g);
        return g;
    }

    const Glyph* Blank() {
        if (!blank) {
            blank = std::make_unique<Glyph>();
            blank->advance = fallbackAdvance;
        }
        return blank.get();
    }

    const Glyph* Load(FT_UInt index) {
        if (index >= byIndex.size()) return Blank();
        if (byIndex[index]) return byIndex[index].get();
        auto g = std::make_unique<Glyph>();
        if (FT_Load_Glyph(face, index, loadFlags) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (synthItalic && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_GlyphSlot_Oblique(slot);
            if (synthBold) FT_GlyphSlot_Embolden(slot);
            g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (slot->format == FT_GLYPH_FORMAT_BITMAP || FT_Render_Glyph(slot, renderMode) == 0)
                Copy(slot, *g);
        }
        byIndex[index] = std::move(g);
        return byIndex[index].get();
    }

    static void Copy(FT_GlyphSlot slot, Glyph& g) {
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.width == 0 || bm.rows == 0 || !bm.buffer) return;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.stride = (g.width + 7) & ~7;
        g.coverage.assign(static_cast<std::size_t>(g.stride) * g.height, 0);
        const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            std::uint8_t* dst = g.coverage.data() + static_cast<std::size_t>(y) * g.stride;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                for (int x = 0; x < g.width; ++x) dst[x] = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
            } else if (levels == 255) {
                std::memcpy(dst, src, static_cast<std::size_t>(g.width));
            } else {
                for (int x = 0; x < g.width; ++x) dst[x] = static_cast<std::uint8_t>(src[x] * 255 / levels);
            }
        }
        g.weights.resize(g.coverage.size() * 4);
        CoverageWeights(g.coverage.data(), g.coverage.size(), g.weights.data());
    }
};

FontInstance::FontInstance(const LOGFONT& lf, const FontSource& source)
    : impl_(std::make_unique<Impl>()), lf_(lf), family_(source.family) {
    escapement_ = QuarterTurns(lf.lfEscapement) * 900;
    fixedPitch_ = WantsFixedPitch(lf);
    Impl& im = *impl_;
    im.synthBold = source.synthBold;
    im.synthItalic = source.synthItalic;
    const bool mono = lf.lfQuality == NONANTIALIASED_QUALITY;
    im.loadFlags = FT_LOAD_DEFAULT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    im.renderMode = mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;

    const LONG height = lf.lfHeight == 0 ? kDefaultCellHeight : lf.lfHeight;
    // |INT_MIN| is not representable; any such size is clamped anyway.
    const long long magnitude = height < 0 ? -static_cast<long long>(height) : height;
    FontMetrics& m = metrics_;

    if (!source.path.empty()) {
        std::lock_guard lock(System().libMutex);
        if (FT_Library lib = Library()) {
            if (FT_New_Face(lib, source.path.c_str(), source.index, &im.face) != 0) im.face = nullptr;
        }
    }
    if (im.face && !FT_IS_SCALABLE(im.face)) {
        std::lock_guard lock(System().libMutex);
        FT_Done_Face(im.face);
        im.face = nullptr;
    }
    if (!im.face) {
        // No font file at all: keep plausible metrics so layout still works.
        const int cell = static_cast<int>(std::clamp<long long>(magnitude, 1, kMaxPixelSize));
        m.ascent = cell * 4 / 5;
        m.descent = cell - m.ascent;
        m.aveCharWidth = m.maxCharWidth = std::max(1, cell / 2);
        m.underlineRow = m.ascent + (m.descent > 1 ? 1 : 0);
        m.strikeoutRow = m.ascent - cell / 4;
        im.fallbackAdvance = m.aveCharWidth;
        return;
    }

    FT_Face face = im.face;
    const long long upem = std::max<long long>(face->units_per_EM, 1);
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    long long winAscent = face->ascender, winDescent = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    const long long cellUnits = std::max<long long>(winAscent + winDescent, 1);

    // Negative heights give the em size, positive ones the cell size.
    long long ppem = height < 0 ? magnitude : (magnitude * upem + cellUnits / 2) / cellUnits;
    const bool clamped = ppem > kMaxPixelSize || ppem < 1;
    ppem = std::clamp<long long>(ppem, 1, kMaxPixelSize);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));

    if (height > 0 && !clamped) {
        m.ascent = RoundScaled(winAscent, magnitude, cellUnits);
        m.descent = static_cast<int>(magnitude) - m.ascent;
    } else {
        m.ascent = RoundScaled(winAscent, ppem, upem);
        m.descent = RoundScaled(winDescent, ppem, upem);
    }
    m.ascent = std::max(m.ascent, 1);
    m.descent = std::max(m.descent, 0);
    m.internalLeading = std::max(0, m.Height() - static_cast<int>(ppem));
    m.externalLeading = std::max(0, RoundScaled(face->height - cellUnits, ppem, upem));
    m.maxCharWidth = std::max(1, RoundScaled(face->max_advance_width, ppem, upem));

    im.byIndex.resize(static_cast<std::size_t>(std::max<FT_Long>(face->num_glyphs, 0)));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
        m.aveCharWidth = RoundScaled(os2->xAvgCharWidth, ppem, upem);
    else
        m.aveCharWidth = im.Lookup('x')->advance;
    m.aveCharWidth = std::max(m.aveCharWidth, 1);
    im.fallbackAdvance = m.aveCharWidth;

    // The underline sits one row below the baseline at small sizes and
    // follows the font's own position at larger ones, inside the cell.
    const long long thick = std::max<long long>(face->underline_thickness, 1);
    m.underlineThickness = std::max(1, RoundScaled(thick, ppem, upem));
    const int below = RoundScaled(-face->underline_position - thick / 2, ppem, upem);
    m.underlineRow = m.ascent + std::max(1, below);
    m.underlineRow = std::max(m.ascent, std::min(m.underlineRow, m.Height() - m.underlineThickness));
    long long strikePos = winAscent / 4, strikeSize = thick;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        strikePos = os2->yStrikeoutPosition;
        strikeSize = os2->yStrikeoutSize;
    }
    m.strikeoutThickness = std::max(1, RoundScaled(strikeSize, ppem, upem));
    m.strikeoutRow = m.ascent - std::max(1, RoundScaled(strikePos, ppem, upem));
}

FontInstance::~FontInstance() {
    if (impl_ && impl_->face) {
        std::lock_guard lock(System().libMutex);
        FT_Done_Face(impl_->face);
    }
}

bool FontInstance::HasFace() const {
    return impl_->face != nullptr;
}

void FontInstance::Shape(std::string_view text, std::vector<ShapedChar>& out) {
    std::lock_guard lock(impl_->mutex);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* start = p;
        const char32_t cp = DecodeUtf8(p, end);
        out.push_back(ShapedChar{impl_->Lookup(cp), cp, static_cast<std::uint32_t>(start - text.data()),
                                 static_cast<std::uint32_t>(p - start)});
    }
}

// ============================================================================
// Instances
// ============================================================================

namespace {

// The cached instance for a LOGFONT, made when missing. Caller holds
// cacheMutex; instances pushed out of the cache go to `evicted`, to be freed
// after the lock.
std::shared_ptr<FontInstance> InstanceLocked(const LOGFONT& lf, const InstanceKey& key,
                                             std::vector<std::shared_ptr<FontInstance>>& evicted) {
    FontSystem& s = System();
    auto it = s.instances.find(key);
    if (it != s.instances.end()) return it->second;
    auto inst = std::make_shared<FontInstance>(lf, ResolveSource(lf));
    if (!inst->HasFace()) {
        // An unreadable font file: the default face rather than no text.
        LOGFONT fallback = lf;
        fallback.lfFaceName[0] = '\0';
        inst = std::make_shared<FontInstance>(lf, ResolveSource(fallback));
    }
    if (s.instances.size() >= kInstanceCacheSize) {
        for (auto i = s.instances.begin(); i != s.instances.end();) {
            if (i->second.use_count() == 1) {
                evicted.push_back(std::move(i->second));
                i = s.instances.erase(i);
            } else {
                ++i;
            }
        }
    }
    s.instances.emplace(key, inst);
    return inst;
}

} // namespace

std::shared_ptr<FontInstance> GetFontInstance(const LOGFONT& lf) {
    std::vector<std::shared_ptr<FontInstance>> evicted;
    const InstanceKey key(lf);
    std::lock_guard lock(System().cacheMutex);
    return InstanceLocked(lf, key, evicted);
}

// A font record's instance is set once, under the cache lock, and read
// without it from then on.
std::shared_ptr<FontInstance> DCFont(DCObj& dc) {
    FontObj* f = SelectedFont(dc);
    if (!f) return GetFontInstance(LOGFONT{});
    if (f->resolved.load(std::memory_order_acquire)) return f->instance;
    std::vector<std::shared_ptr<FontInstance>> evicted;
    const InstanceKey key(f->lf);
    std::lock_guard lock(System().cacheMutex);
    if (!f->resolved.load(std::memory_order_relaxed)) {
        f->instance = InstanceLocked(f->lf, key, evicted);
        f->resolved.store(true, std::memory_order_release);
    }
    return f->instance;
}

// ============================================================================
// UTF-8
// ============================================================================

char32_t DecodeUtf8(const char*& p, const char* end) {
    const auto b0 = static_cast<unsigned char>(*p);
    if (b0 < 0x80) {
        ++p;
        return b0;
    }
    int extra;
    char32_t cp, min;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++p;
        return 0xFFFD;
    }
    if (end - p <= extra) {
        ++p;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if ((b & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++p;
        return 0xFFFD;
    }
    p += extra + 1;
    return cp;
}

} // namespace gfx::detail

// fontconfig loses a few bytes while parsing its configuration; that is not
// ours to fix, and it must not fail leak-checked builds.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
