#include "csv/FileMapping.h"

#include <array>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace tabulix {

namespace {

// The live mappings, where the signal handler can look them up without a
// lock: a slot is published by storing its base last and retired by clearing
// the base first.
struct Slot {
    std::atomic<char*> base{nullptr};
    std::atomic<std::size_t> size{0};
    std::atomic<bool> damaged{false};
};

constexpr int kSlots = 32;
std::array<Slot, kSlots> slots;
std::mutex slotsMutex;
struct sigaction previousAction {};

void passOn(int signal, siginfo_t* info, void* context) {
    if ((previousAction.sa_flags & SA_SIGINFO) != 0 && previousAction.sa_sigaction != nullptr) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // Returning re-runs the faulting access, which now ends the program as
    // it would have without us.
    std::signal(signal, SIG_DFL);
}

void onBusError(int signal, siginfo_t* info, void* context) {
    char* const at = static_cast<char*>(info->si_addr);
    for (Slot& slot : slots) {
        char* const base = slot.base.load(std::memory_order_acquire);
        const std::size_t size = slot.size.load(std::memory_order_relaxed);
        if (base == nullptr || at < base || at >= base + size) continue;
        const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        char* const from = base + static_cast<std::size_t>(at - base) / page * page;
        const std::size_t length = static_cast<std::size_t>(base + size - from);
        if (::mmap(from, length, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
            MAP_FAILED)
            break;
        slot.damaged.store(true, std::memory_order_relaxed);
        return;
    }
    passOn(signal, info, context);
}

void installHandler() {
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previousAction);
}

// A free slot for the mapping, or -1.
int takeSlot(char* base, std::size_t size) {
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    const std::lock_guard<std::mutex> lock(slotsMutex);
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = slots[static_cast<std::size_t>(i)];
        if (slot.base.load(std::memory_order_relaxed) != nullptr) continue;
        slot.size.store(size, std::memory_order_relaxed);
        slot.damaged.store(false, std::memory_order_relaxed);
        slot.base.store(base, std::memory_order_release);
        return i;
    }
    return -1;
}

void releaseSlot(int i) {
    const std::lock_guard<std::mutex> lock(slotsMutex);
    slots[static_cast<std::size_t>(i)].base.store(nullptr, std::memory_order_release);
}

} // namespace

std::shared_ptr<const FileMapping> FileMapping::map(int fd, std::size_t size) {
    if (size == 0) return nullptr;
    void* const address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (address == MAP_FAILED) return nullptr;
    char* const base = static_cast<char*>(address);
    const int slot = takeSlot(base, size);
    if (slot < 0) {
        ::munmap(address, size);
        return nullptr;
    }
    return std::shared_ptr<const FileMapping>(new FileMapping(base, size, slot));
}

FileMapping::~FileMapping() {
    releaseSlot(slot_);
    ::munmap(const_cast<char*>(address_), size_);
}

bool FileMapping::damaged() const {
    return damageMark().load(std::memory_order_relaxed);
}

const std::atomic<bool>& FileMapping::damageMark() const {
    return slots[static_cast<std::size_t>(slot_)].damaged;
}

} // namespace tabulix
