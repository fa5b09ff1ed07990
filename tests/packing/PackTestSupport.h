#pragma once
// Tree builders and a recording post target for the packing tests.

#include <boost/make_shared.hpp>

#include <mutex>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/IZelPostTarget.h"

namespace packing_test {

// A file under the folder, numbered from the process-wide counter as a scan does.
inline CPackItem* AddFile(CPackFolder& folder, const std::string& path, uint64_t size,
                          uint64_t group = NoGroup) {
    auto item = boost::make_shared<CPackItem>(g_nextItemId++, testing_support::U(path), size);
    item->group = group;
    CPackItem* raw = item.get();
    folder.AppendChild(item);
    return raw;
}

inline CPackFolder* AddFolder(CPackFolder& folder, const std::string& path) {
    auto child = boost::make_shared<CPackFolder>(g_nextItemId++, testing_support::U(path), 0);
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

struct Posted {
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
};

class RecordingTarget : public IZelPostTarget {
public:
    void Post(uint32_t message, uint64_t wParam, int64_t lParam) override {
        std::lock_guard<std::mutex> guard(lock_);
        posts_.push_back(Posted{message, wParam, lParam});
    }
    std::vector<Posted> Posts() const {
        std::lock_guard<std::mutex> guard(lock_);
        return posts_;
    }
    std::vector<int64_t> Progress() const {
        std::vector<int64_t> out;
        for (const Posted& p : Posts()) {
            if (p.message == WM_APP + 2) out.push_back(p.lParam);
        }
        return out;
    }

private:
    mutable std::mutex lock_;
    std::vector<Posted> posts_;
};

}  // namespace packing_test
