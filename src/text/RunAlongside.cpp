#include "text/RunAlongside.h"

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace tabulix {

void RunAlongside(std::size_t count, const std::function<void(std::size_t)>& work,
                  const std::function<void()>& waiting) {
    std::atomic<std::size_t> running{0};
    std::vector<std::jthread> threads;
    std::size_t started = 1;
    try {
        for (; started < count; ++started) {
            running.fetch_add(1);
            threads.emplace_back([&work, &running, started] {
                work(started);
                running.fetch_sub(1);
            });
        }
    } catch (const std::system_error&) {
        running.fetch_sub(1); // the thread that could not be had
    }
    work(0);
    for (std::size_t k = started; k < count; ++k)
        work(k);
    while (waiting && running.load() > 0) {
        waiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace tabulix
