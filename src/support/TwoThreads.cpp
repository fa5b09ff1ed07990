#include "support/TwoThreads.h"

#include <future>
#include <system_error>

namespace zel {

void RunOnTwoThreads(bool second, const std::function<void(size_t worker)>& work) {
    std::future<void> other;
    if (second) {
        try {
            other = std::async(std::launch::async, work, size_t{1});
        } catch (const std::system_error&) {
            // This thread does it all.
        }
    }
    try {
        work(0);
    } catch (...) {
        if (other.valid()) other.wait();
        throw;
    }
    if (other.valid()) other.get();
}

}  // namespace zel
