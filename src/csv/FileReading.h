#pragma once

#include "csv/TextEncoding.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// The whole content of a regular file; nullopt when it is missing, cannot be
// read, or is a folder or another kind of file (a pipe would block the
// program).
std::optional<std::string> ReadFileBytes(const std::string& path);

// Whether the file can be opened and read, without reading it: the test
// before a file named from outside (command line, drop) is loaded.
bool CanReadFile(const std::string& path);

// A file's text in UTF-8 and the encoding it was read in, for saving it back.
// A UTF-8 file that decoding leaves as it is is not copied: its text is then
// a view of the file mapped into memory, kept mapped while any copy of the
// TextFile lives.
class TextFile {
public:
    TextFile(std::string text, TextEncoding encoding);
    // `text` lies in memory that `owner` keeps alive; `damage`, when given,
    // is set should that memory lose its content (see intact()).
    TextFile(std::shared_ptr<const void> owner, std::string_view text, TextEncoding encoding,
             const std::atomic<bool>* damage = nullptr);

    std::string_view text() const { return text_; }
    TextEncoding encoding() const { return encoding_; }
    // False once the file under a mapped text has been cut short by another
    // program: the lost part of text() then reads as NUL bytes.
    bool intact() const { return !damage_ || !damage_->load(std::memory_order_relaxed); }
    // Whether a NUL ended the text before the end of the file: what follows
    // it was not read.
    bool endedAtNul() const { return endedAtNul_; }
    // Lets the memory of a part of text() go that the reader has done with:
    // the whole pages of a mapped file's part are dropped (they would be read
    // from the file again should they be touched), and so are those of a
    // decoded text in pages of its own, whose part then reads as zeros. Other
    // texts keep it all.
    void letGo(std::string_view part) const;
    // The text lies in pages of its own that letGo may drop.
    void setPagesMayGo() { pagesMayGo_ = true; }
    void setEndedAtNul(bool ended) { endedAtNul_ = ended; }

private:
    std::shared_ptr<const void> owner_;
    std::string_view text_;
    TextEncoding encoding_;
    const std::atomic<bool>* damage_ = nullptr;
    bool endedAtNul_ = false;
    bool pagesMayGo_ = false;
};

// A text file decoded to UTF-8. A NUL byte ends the text: the bytes after it
// are ignored and play no part in detecting the encoding (endedAtNul() tells).
// A UTF-16 file (by its BOM) is decoded first; a NUL character ends its text.
// The encoding is detected (DetectEncoding) unless one is forced. A forced
// UTF-8, with or without BOM, follows the file: Utf8Bom exactly when it starts
// with a BOM, so the BOM never shows in the text and saving keeps the file as
// it was; a forced UTF-16 follows the file's BOM (little-endian without one).
std::optional<TextFile> ReadTextFile(const std::string& path,
                                     std::optional<TextEncoding> forced = std::nullopt);

// The same for a file's bytes already in memory.
TextFile TextOfFileBytes(std::string bytes, std::optional<TextEncoding> forced = std::nullopt);

} // namespace tabulix
