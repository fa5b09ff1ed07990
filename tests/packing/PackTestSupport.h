#pragma once
// Tree builders and a recording post target for the packing tests.

#include <boost/make_shared.hpp>

#include <mutex>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackNotice.h"
#include "support/IZelPostTarget.h"

namespace packing_test {

// Item numbers for the builders below, given out in creation order as a scan does.
inline uint32_t nextTestId = 1;

// A file under the folder.
inline CPackItem* AddFile(CPackFolder& folder, const std::string& path, uint64_t size,
                          uint64_t group = NoGroup) {
    auto item = boost::make_shared<CPackItem>(nextTestId++, testing_support::U(path), size);
    item->group = group;
    CPackItem* raw = item.get();
    folder.AppendChild(item);
    return raw;
}

inline CPackFolder* AddFolder(CPackFolder& folder, const std::string& path) {
    auto child = boost::make_shared<CPackFolder>(nextTestId++, testing_support::U(path), 0);
    CPackFolder* raw = child.get();
    folder.AppendChild(child);
    return raw;
}

inline std::vector<std::string> PathsOf(const PackBin& pack) {
    std::vector<std::string> out;
    for (const CPackItem* item : pack.items)
        out.push_back(zel::Utf16ToUtf8(item->GetPath()));
    return out;
}

class RecordingTarget : public IZelPostTarget {
public:
    void Post(const ZelNotice& notice) override {
        std::lock_guard<std::mutex> guard(lock_);
        posts_.push_back(notice);
    }
    std::vector<ZelNotice> Posts() const {
        std::lock_guard<std::mutex> guard(lock_);
        return posts_;
    }
    std::vector<int64_t> Progress() const {
        std::vector<int64_t> out;
        for (const ZelNotice& p : Posts()) {
            if (p.Is(PackNotice::Progress)) out.push_back(p.value);
        }
        return out;
    }
    // The notices other than progress, in order.
    std::vector<PackNotice> EndNotices() const {
        std::vector<PackNotice> out;
        for (const ZelNotice& p : Posts()) {
            if (!p.Is(PackNotice::Progress)) out.push_back(static_cast<PackNotice>(p.code));
        }
        return out;
    }

private:
    mutable std::mutex lock_;
    std::vector<ZelNotice> posts_;
};

}  // namespace packing_test
