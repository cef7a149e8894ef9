#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace tabulix {

// How a failed write left the file it was to replace.
enum class OldFile {
    None,        // there was no file
    Unchanged,   // it was not touched
    Restored,    // it was overwritten in part, then put back from its copy
    NotRestored, // it was overwritten in part and could not be put back; see `copy`
};

struct WriteResult {
    std::error_code error; // what failed; empty after a successful write
    OldFile oldFile = OldFile::None;
    std::string copy;      // where the old content stays when it could not be put back
    bool declined = false; // writing in place without a copy was not agreed to
    bool ok() const { return !error; }
};

// Replaces the file at `path` by `bytes` so that a failure never damages it:
// the bytes go to a temporary file beside the real file (symbolic links are
// followed to it), which takes the file's mode, owner and group, is synced
// and then renamed over it. Leftover temporary files of this file from saves
// whose process is gone are removed first.
//
// The file is overwritten in place instead where the folder is not writable
// but the file is, where the rename is refused, where its owner or group
// cannot be kept and where it has other hard links. A copy of the old content
// is kept in UserCacheFolder() meanwhile and put back on any failure; where none
// can be made, the innermost WriteSession is asked first (without one, such a
// file is not written). Signals that would end the program wait until the
// file is whole again, and a file-size limit fails the write instead of
// ending the program. A file we may not write is not replaced.
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

// Asked before a file is overwritten in place although no copy of its old
// content could be kept to put back; true to go on.
using InPlaceConsent = std::function<bool(const std::string& path)>;

// While one lives, the writes of its thread ask it before overwriting a file
// in place without a copy, and leave their result with it, so that the
// command that started a save can ask and word its message although the
// bytes reach the file through a writer that only passes them on. Sessions
// nest; the innermost one counts.
class WriteSession {
public:
    explicit WriteSession(InPlaceConsent consent);
    ~WriteSession();
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    // The result of the last write in this session.
    const WriteResult& lastResult() const { return last_; }

private:
    friend WriteResult WriteFileAtomically(const std::string& path, const ByteSource& source);

    InPlaceConsent consent_;
    WriteResult last_;
    WriteSession* outer_;
};

// The program's folder in the user's cache: $XDG_CACHE_HOME/tabulix,
// otherwise ~/.cache/tabulix. Empty when there is no such folder to name.
// Copies of files written in place are kept there while they are written.
std::string UserCacheFolder();

// Where the program puts a file of its own (a page for the web browser):
// `name` in `programFolder` when that folder can be written, otherwise in
// `cacheFolder` (made when missing). Empty when neither can hold it.
std::string ProgramOrCacheFile(const std::string& programFolder, const std::string& name,
                               const std::string& cacheFolder);

// The steps of a write that tests make fail.
enum class WriteStep {
    Write,    // one write of the new content, to the file or its temporary file
    Reserve,  // reserving room for an in-place write
    Truncate, // cutting a file written in place to its new size
    Copy,     // one write of the old content's copy
    Restore,  // one write putting the old content back
    Rename,   // putting the temporary file in the file's place
};

// For tests only: called before each step; a result other than 0 fails the
// step with that errno. An empty hook removes it.
void SetWriteStepHookForTesting(std::function<int(WriteStep)> hook);

} // namespace tabulix
