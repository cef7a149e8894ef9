#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace tabulix {

struct WriteResult {
    std::error_code error; // what failed; empty after a successful write
    bool ok() const { return !error; }
};

// Replaces the file at `path` by `bytes` so that a failure never damages it:
// the bytes go to a temporary file beside the real file (symbolic links are
// followed to it), which takes the file's mode and owner, is synced and then
// renamed over it. Where the folder is not writable but the file is, the file
// is overwritten in place (room is reserved first, so a full disk fails before
// anything changes). A file we may not write is not replaced. On failure the
// old file is intact and no temporary file is left.
WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Takes the next piece of a file's bytes; false when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;
// Hands all of a file's bytes to the sink, piece by piece; false to stop (a
// sink's failure, or the source's own reason).
using ByteSource = std::function<bool(const ByteSink&)>;

// The same for bytes made while they are written, so that they never need to
// be in memory at once. A source that stops leaves the old file intact; its
// own stop is reported as operation_canceled.
WriteResult WriteFileAtomically(const std::string& path, const ByteSource& source);

} // namespace tabulix
