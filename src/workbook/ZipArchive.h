#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

typedef struct zip zip_t;

namespace tabulix {

// A zip file read one part at a time, each part inflated only up to a limit,
// whatever sizes the archive claims.
class ZipArchive {
public:
    enum class Status { Ok, Missing, Encrypted, TooLarge, Damaged };

    // Null when the file or bytes are no zip archive. The bytes must outlive
    // the archive.
    static std::unique_ptr<ZipArchive> openFile(const std::string& path, std::uint64_t partLimit);
    static std::unique_ptr<ZipArchive> openBytes(std::string_view bytes, std::uint64_t partLimit);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool has(const std::string& name) const;
    // The inflated part; names are compared without regard to case.
    Status read(const std::string& name, std::string& out) const;

private:
    ZipArchive(zip_t* zip, std::uint64_t partLimit) : zip_(zip), partLimit_(partLimit) {}
    zip_t* zip_;
    std::uint64_t partLimit_;
};

} // namespace tabulix
