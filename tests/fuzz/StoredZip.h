#pragma once

// A zip archive with stored (uncompressed) parts and correct checksums, so
// that the fuzzer's changes reach the XML readers instead of failing the
// archive's checks.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulix::fuzz {

inline std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(i < 4 ? (value >> (8 * i)) & 0xFF : 0);
}

inline std::string storedZip(const std::vector<std::pair<std::string, std::string_view>>& parts) {
    std::string out, directory;
    for (const auto& [name, data] : parts) {
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = crc32(data);
        const auto size = static_cast<std::uint32_t>(data.size());
        const auto nameSize = static_cast<std::uint32_t>(name.size());
        put(out, 0x04034b50, 4);
        put(out, 20, 2);
        put(out, 0, 2 + 2 + 2 + 2);
        put(out, crc, 4);
        put(out, size, 4);
        put(out, size, 4);
        put(out, nameSize, 2);
        put(out, 0, 2);
        out += name;
        out += data;
        put(directory, 0x02014b50, 4);
        put(directory, 20, 2);
        put(directory, 20, 2);
        put(directory, 0, 2 + 2 + 2 + 2);
        put(directory, crc, 4);
        put(directory, size, 4);
        put(directory, size, 4);
        put(directory, nameSize, 2);
        put(directory, 0, 2 + 2 + 2 + 2);
        put(directory, 0, 4);
        put(directory, offset, 4);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    put(out, 0x06054b50, 4);
    put(out, 0, 2 + 2);
    put(out, static_cast<std::uint32_t>(parts.size()), 2);
    put(out, static_cast<std::uint32_t>(parts.size()), 2);
    put(out, static_cast<std::uint32_t>(directory.size()), 4);
    put(out, directoryOffset, 4);
    put(out, 0, 2);
    return out;
}

// The input cut at NUL bytes into at most `count` pieces.
inline std::vector<std::string_view> pieces(std::string_view input, std::size_t count) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < count) {
        const std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos) break;
        out.push_back(input.substr(0, nul));
        input.remove_prefix(nul + 1);
    }
    out.push_back(input);
    out.resize(count);
    return out;
}

} // namespace tabulix::fuzz
