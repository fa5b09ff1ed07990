#pragma once
// Tree builders and a recording post target for the packing tests.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <functional>
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

// The files below the folder, in tree order.
inline void CollectFiles(CPackFolder& folder, std::vector<CPackItem*>& out) {
    for (const auto& child : folder.children) {
        if (CPackFolder* sub = child->AsFolder()) {
            CollectFiles(*sub, out);
        } else {
            out.push_back(child.get());
        }
    }
}

// The result lists follow the packs, linked both ways.
inline void ExpectResultsFollowPacks(const CCorvelinDoc& doc) {
    ASSERT_EQ(doc.packResults.size(), doc.packs.size());
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        const PackResult& result = doc.packResults[k];
        EXPECT_EQ(result.number, k + 1);
        EXPECT_EQ(result.size, doc.packs[k].used);
        ASSERT_EQ(result.count, doc.packs[k].items.size());
        const PackResultNode* prev = nullptr;
        size_t j = 0;
        for (const PackResultNode* node = result.head; node; prev = node, node = node->next, ++j) {
            ASSERT_LT(j, result.count);
            EXPECT_EQ(node->item, doc.packs[k].items[j]);
            EXPECT_EQ(node->pack, &result);
            EXPECT_EQ(node->prev, prev);
        }
        EXPECT_EQ(result.tail, prev);
    }
}

// Records the notices, to be read after the run's Join; onProgress(n) runs at
// the n-th progress notice, as the dialog's button would.
class RecordingTarget : public IZelPostTarget {
public:
    std::function<void(int)> onProgress;
    void Post(const ZelNotice& notice) override {
        if (notice.Is(PackNotice::Progress) && onProgress) onProgress(++progress_);
        posts_.push_back(notice);
    }
    const std::vector<ZelNotice>& Posts() const { return posts_; }
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
    std::vector<ZelNotice> posts_;
    int progress_ = 0;
};

}  // namespace packing_test
