// UTF-8: prefixes that never cut a character in half, decoding that accepts
// only well-formed sequences, encoding.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace gfx {

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// character boundary.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

// Copies as much of `text` as fits into a buffer of `size` bytes with its
// terminating zero, whole characters only, as the platform's text getters do.
// Returns the bytes copied, without the zero; 0 (and nothing written) for a
// null buffer or a size of 0.
inline std::size_t CopyUtf8ToBuffer(std::string_view text, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return 0;
    const std::string_view head = Utf8Prefix(text, size - 1);
    std::memcpy(buffer, head.data(), head.size());
    buffer[head.size()] = '\0';
    return head.size();
}

inline constexpr char32_t kReplacementChar = 0xFFFD;

// A Unicode scalar value: a code point that is not a surrogate.
inline bool IsScalarValue(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Decodes the character starting at byte `index`. A byte that does not start
// a well-formed sequence (overlong forms, surrogates and values beyond
// U+10FFFF are not) yields U+FFFD with length 1; at or past the end, 0 with
// length 0.
inline char32_t DecodeUtf8At(std::string_view s, std::size_t index, int* length = nullptr) {
    auto result = [length](int n, char32_t c) {
        if (length) *length = n;
        return c;
    };
    if (index >= s.size()) return result(0, 0);
    auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(index);
    if (b0 < 0x80) return result(1, b0);
    int extra = 0;
    char32_t c = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2;
        c = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        c = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return result(1, kReplacementChar);
    }
    if (index + static_cast<std::size_t>(extra) >= s.size()) return result(1, kReplacementChar);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(index + static_cast<std::size_t>(k));
        if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return result(1, kReplacementChar);
        c = (c << 6) | (b & 0x3F);
    }
    return result(extra + 1, c);
}

// Appends the encoding of `c`; a value that is not a scalar value appends U+FFFD.
inline void AppendUtf8(std::string& out, char32_t c) {
    if (!IsScalarValue(c)) c = kReplacementChar;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace gfx
