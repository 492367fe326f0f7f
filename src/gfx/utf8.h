// UTF-8 prefixes that never cut a character in half.
#pragma once

#include <cstddef>
#include <cstring>
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

} // namespace gfx
