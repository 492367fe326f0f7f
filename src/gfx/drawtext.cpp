// DrawText: prefix characters, line breaks, word wrapping, tabs, end
// ellipses, alignment in the rectangle, measuring.

#include "gfx/font_internal.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace gfx {

using namespace detail;

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Paragraph {
    std::string text;
    std::vector<std::uint32_t> marks; // byte offsets of the accelerator characters
};

// Removes the prefix characters: "&&" shows one "&", "&x" marks x, a final
// "&" shows nothing.
Paragraph StripPrefixes(std::string_view in, bool process) {
    Paragraph p;
    if (!process) {
        p.text.assign(in);
        return p;
    }
    p.text.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            p.text += in[i];
            continue;
        }
        if (i + 1 >= in.size()) break;
        if (in[i + 1] == '&') {
            p.text += '&';
            ++i;
        } else {
            p.marks.push_back(static_cast<std::uint32_t>(p.text.size()));
        }
    }
    return p;
}

std::vector<std::string_view> SplitParagraphs(std::string_view text, bool singleLine) {
    std::vector<std::string_view> out;
    if (singleLine) {
        out.push_back(text);
        return out;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // A break at the very end opens no further line.
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

class Layouter {
public:
    Layouter(FontInstance& font, UINT format, long long maxWidth, long long tabWidth)
        : font_(font), format_(format), maxWidth_(maxWidth), tabWidth_(tabWidth) {
        if (format_ & DT_END_ELLIPSIS) {
            font_.Shape("...", dots_);
            for (const ShapedChar& c : dots_) dotsWidth_ += c.glyph->advance;
        }
    }

    void AddParagraph(std::string_view source) {
        const Paragraph p = StripPrefixes(source, !(format_ & DT_NOPREFIX));
        chars_.clear();
        font_.Shape(p.text, chars_);
        const std::size_t n = chars_.size();
        if (!(format_ & DT_WORDBREAK) || (format_ & DT_SINGLELINE)) {
            AddLine(p, 0, n);
            return;
        }
        std::size_t i = 0;
        do {
            const std::size_t start = i;
            std::size_t end = n, next = n, lastSpace = kNone;
            long long x = 0;
            for (; i < n; ++i) {
                const long long w = Advance(chars_[i], x);
                if (chars_[i].cp == ' ') {
                    lastSpace = i;
                } else if (x + w > maxWidth_ && i > start) {
                    if (lastSpace != kNone) {
                        end = lastSpace;
                        next = lastSpace + 1;
                    } else if (format_ & DT_EDITCONTROL) {
                        end = next = i;
                    } else {
                        // A word longer than the line overflows it whole.
                        while (i < n && chars_[i].cp != ' ') ++i;
                        end = i;
                        next = i;
                        while (next < n && chars_[next].cp == ' ') ++next;
                    }
                    break;
                }
                x += w;
            }
            while (end > start && chars_[end - 1].cp == ' ') --end;
            AddLine(p, start, end);
            i = next;
        } while (i < n);
    }

    const std::vector<TextRun>& Lines() const { return lines_; }
    long long Widest() const {
        long long w = 0;
        for (const TextRun& r : lines_) w = std::max(w, r.width);
        return w;
    }

private:
    long long Advance(const ShapedChar& c, long long x) const {
        if (c.cp == '\t' && (format_ & DT_EXPANDTABS))
            return tabWidth_ > 0 ? (x / tabWidth_ + 1) * tabWidth_ - x : 0;
        return c.glyph->advance;
    }

    void AddLine(const Paragraph& p, std::size_t start, std::size_t end) {
        TextRun run;
        std::vector<long long> ends; // pen position after each character
        long long x = 0;
        for (std::size_t i = start; i < end; ++i) {
            const ShapedChar& c = chars_[i];
            const long long w = Advance(c, x);
            if (!(c.cp == '\t' && (format_ & DT_EXPANDTABS))) run.glyphs.push_back(PlacedGlyph{c.glyph, x});
            if (std::find(p.marks.begin(), p.marks.end(), c.offset) != p.marks.end())
                run.marks.emplace_back(x, x + w);
            x += w;
            ends.push_back(x);
        }
        run.width = x;
        if ((format_ & DT_END_ELLIPSIS) && run.width > maxWidth_) Ellipsize(run, ends);
        lines_.push_back(std::move(run));
    }

    // Cuts characters off the end until the rest and "..." fit.
    void Ellipsize(TextRun& run, const std::vector<long long>& ends) const {
        std::size_t keep = ends.size();
        while (keep > 0 && ends[keep - 1] + dotsWidth_ > maxWidth_) --keep;
        const long long cut = keep > 0 ? ends[keep - 1] : 0;
        std::erase_if(run.glyphs, [&](const PlacedGlyph& g) { return g.x >= cut; });
        std::erase_if(run.marks, [&](const auto& m) { return m.first >= cut; });
        long long x = cut;
        for (const ShapedChar& d : dots_) {
            run.glyphs.push_back(PlacedGlyph{d.glyph, x});
            x += d.glyph->advance;
        }
        run.width = x;
    }

    FontInstance& font_;
    UINT format_;
    long long maxWidth_;
    long long tabWidth_;
    std::vector<ShapedChar> dots_;
    long long dotsWidth_ = 0;
    std::vector<ShapedChar> chars_;
    std::vector<TextRun> lines_;
};

int ClampInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, -kCoordLimit, kCoordLimit));
}

} // namespace

int DrawText(HDC hdc, const char* text, int count, RECT* r, UINT format) {
    DCObj* dc = LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!r || (!text && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t len = !text       ? 0
                            : count < 0 ? std::strlen(text)
                                        : strnlen(text, static_cast<std::size_t>(count));

    int tabChars = 8;
    if (format & DT_TABSTOP) {
        // The tab length takes the bits of the flags in the second byte.
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~0xFF00u;
    }
    const bool single = (format & DT_SINGLELINE) != 0;

    std::shared_ptr<FontInstance> font = DCFont(*dc);
    const FontMetrics& m = font->Metrics();
    const long long lineHeight = m.Height() + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    const long long left = ClampCoord(r->left), top = ClampCoord(r->top);
    const long long right = ClampCoord(r->right), bottom = ClampCoord(r->bottom);

    Layouter layout(*font, format, std::max<long long>(right - left, 0),
                    static_cast<long long>(tabChars) * m.aveCharWidth);
    if (len > 0 || single)
        for (std::string_view para : SplitParagraphs(std::string_view(text ? text : "", len), single))
            layout.AddParagraph(para);
    const std::vector<TextRun>& lines = layout.Lines();
    const long long height = static_cast<long long>(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        const long long widest = layout.Widest();
        long long newRight = left + widest;
        // Wrapped text keeps the rectangle's width unless a word overflows it.
        if (lines.size() > 1 && (format & DT_WORDBREAK) && !single) newRight = std::max(right, newRight);
        r->right = ClampInt(newRight);
        r->bottom = ClampInt(top + height);
        return ClampInt(height);
    }

    long long y = top;
    if (single && (format & DT_VCENTER))
        y = top + (bottom - top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y = bottom - lineHeight;

    RunOptions o;
    o.drawMarks = !(format & DT_HIDEPREFIX);
    o.opaqueCell = dc->st.bkMode == OPAQUE && !(format & DT_PREFIXONLY);
    o.drawGlyphs = !(format & DT_PREFIXONLY);
    o.clip = (format & DT_NOCLIP) ? nullptr : r;
    long long lineTop = y;
    for (const TextRun& line : lines) {
        long long x = left;
        if (format & DT_CENTER)
            x = left + (right - left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = right - line.width;
        DrawRun(*dc, *font, POINT{ClampInt(x), ClampInt(lineTop)}, line, o);
        lineTop += lineHeight;
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return ClampInt(y - top + lineHeight);
    return ClampInt(height);
}

} // namespace gfx
