#pragma once
// Tree builders and a recording post target for the packing tests.

#include <gtest/gtest.h>

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
    auto item = CPackItem::Create(nextTestId++, testing_support::U(path), size);
    item->group = group;
    CPackItem* raw = item.get();
    folder.AppendChild(item);
    return raw;
}

inline CPackFolder* AddFolder(CPackFolder& folder, const std::string& path, bool expanded = false) {
    auto child = CPackFolder::Create(nextTestId++, testing_support::U(path), 0);
    child->SetExpanded(expanded);
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

// The result lists, which the list walks from head to next, follow the packs.
inline void ExpectResultsFollowPacks(const CCorvelinDoc& doc) {
    ASSERT_EQ(doc.packResults.size(), doc.packs.size());
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        const PackResult& result = doc.packResults[k];
        std::vector<CPackItem*> items;
        for (const PackResultNode* node = result.head; node && items.size() <= result.count;
             node = node->next) {
            EXPECT_EQ(node->pack, &result);
            items.push_back(node->item);
        }
        EXPECT_EQ(items, doc.packs[k].items);
        EXPECT_EQ(result.count, items.size());
        EXPECT_EQ(result.number, k + 1);
        EXPECT_EQ(result.size, doc.packs[k].used);
    }
}

// Counts the progress notices and keeps the others, to be read after the run's
// Join; onProgress(n) runs at the n-th progress notice, as the dialog's button would.
struct RecordingTarget : IZelPostTarget {
    std::function<void(int)> onProgress;
    int progress = 0;
    bool progressAfterEnd = false;
    std::vector<PackNotice> ends;  // the other notices, in order

    void Post(const ZelNotice& notice) override {
        if (!notice.Is(PackNotice::Progress)) {
            ends.push_back(static_cast<PackNotice>(notice.code));
            return;
        }
        progressAfterEnd = progressAfterEnd || !ends.empty();
        if (onProgress) onProgress(++progress);
    }
};

}  // namespace packing_test
