#pragma once

#include <algorithm>
#include <cstddef>
#include <future>
#include <iterator>
#include <system_error>
#include <vector>

namespace zel {

// std::sort on this thread and one more once the range is large: the median of
// a sample splits it, and each side is sorted on its own thread. The order must
// hold no two elements equal, so that the result is exactly std::sort's.
template <class Iterator, class Less>
void TwoThreadSort(Iterator first, Iterator last, Less less, size_t minSize = size_t{1} << 16) {
    using Value = typename std::iterator_traits<Iterator>::value_type;
    const auto size = static_cast<size_t>(last - first);
    if (size < minSize) {
        std::sort(first, last, less);
        return;
    }
    constexpr size_t kSample = 63;
    std::vector<Value> sample;
    sample.reserve(kSample);
    for (size_t i = 0; i < kSample; ++i)
        sample.push_back(first[static_cast<std::ptrdiff_t>(i * (size - 1) / (kSample - 1))]);
    std::nth_element(sample.begin(), sample.begin() + kSample / 2, sample.end(), less);
    const Value pivot = sample[kSample / 2];
    const Iterator middle =
        std::partition(first, last, [&](const Value& value) { return less(value, pivot); });
    std::future<void> lower;
    try {
        lower = std::async(std::launch::async, [&] { std::sort(first, middle, less); });
    } catch (const std::system_error&) {
        std::sort(first, middle, less);
    }
    std::sort(middle, last, less);
    if (lower.valid()) lower.get();
}

}  // namespace zel
