// Fonts as the text calls use them: the face a LOGFONT maps to, its metrics,
// the cache of rasterised glyphs, and the positioned runs that TextOut and
// DrawText draw. Not part of the public interface.
#pragma once

#include "gfx/internal.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gfx::detail {

// A rasterised glyph: coverage 0..255, rows top to bottom.
struct Glyph {
    int advance = 0; // pixels from this pen position to the next
    int left = 0;    // from the pen position to the first column
    int top = 0;     // from the baseline up to the first row
    int width = 0;
    int height = 0;
    // Rows of `stride` bytes: the width rounded up to 8, zero-padded so
    // that blending can work on whole vectors of pixels.
    int stride = 0;
    std::vector<std::uint8_t> coverage;
    // Per pixel the blend weights for blue, green, red and alpha (see
    // CoverageWeights), so that drawing needs one multiply per channel.
    std::vector<std::int16_t> weights;
};

// Weights for a coverage value: with k = round(a * 512 / 255), a channel
// blends as d + ((ink - d) * 128 * k >> 16). The alpha weight is full for
// any coverage, so every written pixel gets alpha 0 and untouched ones keep theirs.
inline void CoverageWeights(const std::uint8_t* coverage, std::size_t count, std::int16_t* weights) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto k = static_cast<std::int16_t>((coverage[i] * 65536 + 255 * 64) / (255 * 128));
        weights[4 * i] = weights[4 * i + 1] = weights[4 * i + 2] = k;
        weights[4 * i + 3] = coverage[i] ? 512 : 0;
    }
}

// Metrics in pixels. Rows count from the top of the cell; the baseline lies
// between row ascent - 1 and row ascent.
struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlineRow = 0; // first row of the underline (also the accelerator mark)
    int underlineThickness = 1;
    int strikeoutRow = 0;
    int strikeoutThickness = 1;
    int Height() const { return ascent + descent; }
};

// One character of a text: its glyph and the bytes it came from.
struct ShapedChar {
    const Glyph* glyph = nullptr;
    char32_t cp = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Where a LOGFONT's face lives, as fontconfig resolved it.
struct FontSource {
    std::string path; // empty: no font file at all (nothing is inked)
    int index = 0;
    std::string family;
    bool synthBold = false;
    bool synthItalic = false;
};

// A realised font. Instances are shared by every font record with an equal
// LOGFONT; their glyphs stay valid as long as the instance lives.
class FontInstance {
public:
    FontInstance(const LOGFONT& lf, const FontSource& source);
    ~FontInstance();
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    const LOGFONT& LogFont() const { return lf_; }
    const FontMetrics& Metrics() const { return metrics_; }
    const std::string& FaceName() const { return family_; }
    bool FixedPitch() const { return fixedPitch_; }
    // False when no font file could be opened: nothing is inked then.
    bool HasFace() const;
    // The escapement rounded to a quarter turn: 0, 900, 1800 or 2700.
    int Escapement() const { return escapement_; }

    // Decodes UTF-8 (a bad byte becomes U+FFFD) and appends one entry per
    // character. Safe to call from several threads.
    void Shape(std::string_view text, std::vector<ShapedChar>& out);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    LOGFONT lf_;
    FontMetrics metrics_;
    std::string family_;
    bool fixedPitch_ = false;
    int escapement_ = 0;
};

// The shared instance for a LOGFONT; never null (an unmatched face falls back
// to the default face).
std::shared_ptr<FontInstance> GetFontInstance(const LOGFONT& lf);
// The instance of the DC's selected font, resolved on first use.
std::shared_ptr<FontInstance> DCFont(DCObj& dc);

// Decodes one character at `p` (before `end`) and advances `p`; a malformed
// sequence yields U+FFFD and consumes one byte.
char32_t DecodeUtf8(const char*& p, const char* end);

// ============================================================================
// Positioned runs
// ============================================================================

struct PlacedGlyph {
    const Glyph* glyph = nullptr;
    long long x = 0; // pen position from the start of the run
};

struct TextRun {
    std::vector<PlacedGlyph> glyphs;
    long long width = 0;
    // Accelerator marks: [from, to) along the run.
    std::vector<std::pair<long long, long long>> marks;
    void Clear() {
        glyphs.clear();
        width = 0;
        marks.clear();
    }
};

struct RunOptions {
    UINT align = TA_LEFT | TA_TOP;
    bool opaqueCell = false; // fill the text cell with the background colour
    bool drawGlyphs = true;  // false: only the accelerator marks
    bool drawMarks = true;
    const RECT* clip = nullptr;       // logical; also limits opaqueRect
    const RECT* opaqueRect = nullptr; // logical; filled with the background colour first
};

// Draws a run with the DC's font, colours and clip. `ref` is the logical
// reference point the alignment refers to. False when the DC has no target.
bool DrawRun(DCObj& dc, FontInstance& font, POINT ref, const TextRun& run, const RunOptions& options);

} // namespace gfx::detail
