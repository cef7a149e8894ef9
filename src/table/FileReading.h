#pragma once

#include "table/TextEncoding.h"

#include <optional>
#include <string>

namespace tabulix {

// The whole content of a regular file; nullopt when it is missing, cannot be
// read, or is a folder or another kind of file (a pipe would block the
// program).
std::optional<std::string> ReadFileBytes(const std::string& path);

struct TextFile {
    std::string text;      // UTF-8
    TextEncoding encoding; // the encoding it was read in, for saving it back
};

// A text file decoded to UTF-8. A NUL byte ends the text: the bytes after it
// are ignored and play no part in detecting the encoding. The encoding is
// detected (DetectEncoding) unless one is forced. A forced UTF-8, with or
// without BOM, follows the file: Utf8Bom exactly when it starts with a BOM, so
// the BOM never shows in the text and saving keeps the file as it was.
std::optional<TextFile> ReadTextFile(const std::string& path,
                                     std::optional<TextEncoding> forced = std::nullopt);

} // namespace tabulix
