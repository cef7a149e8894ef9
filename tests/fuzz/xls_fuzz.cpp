// The xls reader on any file that starts as a compound document does. The
// library runs in a child process: where it breaks on an input the child
// dies and the workbook is refused, which is the behaviour under test; the
// fuzzer must not take the child's death for its own.
#include "WorkbookFuzz.h"

#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <pthread.h>
#include <unistd.h>

using namespace tabulix;

namespace {

void quietChild() {
    __sanitizer_set_death_callback(nullptr);
}

const bool kQuietChildren = pthread_atfork(nullptr, nullptr, quietChild) == 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader takes a file name only.
    static const std::string path = "/dev/shm/tabulix-xls-fuzz-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    fuzz::check(file != nullptr, "temporary file");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    fuzz::check(kQuietChildren, "child set-up");
    fuzz::checkWorkbook(OpenWorkbook(path, fuzz::kWorkbookLimits));
    std::remove(path.c_str());
    return 0;
}
