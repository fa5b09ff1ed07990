#pragma once

#include <cstdint>
#include <type_traits>

// A notice a worker posts to its owner. Each worker names its notices in its
// own scoped enum, whose values lie in a range of their own, so that no code
// means two things whoever receives it:
//   0x0100 - 0x01FF  ScanNotice (intake/AddFileWorker.h)
//   0x0200 - 0x02FF  PackNotice (packing/PackNotice.h)
//   0x0300 - 0x03FF  AutoGroupNotice (intake/AutoGroupWorker.h)
struct ZelNotice {
    template <class Notice, class = std::enable_if_t<std::is_enum_v<Notice>>>
    constexpr ZelNotice(Notice notice, int64_t noticeValue = 0)  // NOLINT: implicit on purpose
        : code(static_cast<uint32_t>(notice)), value(noticeValue) {}

    template <class Notice>
    constexpr bool Is(Notice notice) const {
        return code == static_cast<uint32_t>(notice);
    }

    uint32_t code;
    int64_t value;  // the per cent of a progress notice; 0 otherwise
};

// Where a worker posts its notices. Post must not block and may be called from
// any thread; the desktop program queues the call onto its UI thread, the
// command-line program prints progress.
class IZelPostTarget {
public:
    virtual ~IZelPostTarget() = default;
    virtual void Post(const ZelNotice& notice) = 0;
};
