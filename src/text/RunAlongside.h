#pragma once

#include <cstddef>
#include <functional>

namespace tabulix {

// Runs work(0) .. work(count - 1) at once: work(0) on the calling thread,
// the others each on a thread of its own, one after the other on the
// calling thread when no thread can be had. Work on another thread must not
// throw; should work(0) throw, the others are waited for first. Returns when
// all have ended; until then, once its own work is done, the calling thread
// calls `waiting` every few hundredths of a second (to show progress).
void RunAlongside(std::size_t count, const std::function<void(std::size_t)>& work,
                  const std::function<void()>& waiting = {});

} // namespace tabulix
