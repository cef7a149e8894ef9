#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string_view>

namespace tabulix {

// A file mapped read-only and read ahead whole: its pages come straight from
// the page cache, where reading into fresh memory would fault in every page.
//
// Should another program cut the file short while it is mapped, touching the
// lost part would end the program with SIGBUS. A handler instead puts zero
// pages in place of the lost part and marks the mapping damaged, so that the
// reader can report the file as unreadable.
class FileMapping {
public:
    // Null where the file cannot be mapped (an empty file, one whose size is
    // not known in advance such as those under /proc, or too many mappings
    // alive at once).
    static std::shared_ptr<const FileMapping> map(int fd, std::size_t size);

    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    std::string_view bytes() const { return {address_, size_}; }
    // The file was cut short while mapped; part of bytes() reads as zeros.
    bool damaged() const;
    // The mark itself, valid while the mapping lives.
    const std::atomic<bool>& damageMark() const;

private:
    FileMapping(const char* address, std::size_t size, int slot)
        : address_(address), size_(size), slot_(slot) {}

    const char* address_;
    std::size_t size_;
    int slot_;
};

} // namespace tabulix
