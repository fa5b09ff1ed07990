#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/PackItemTraverser.h"

// Forms automatic-grouping candidates among the files directly in each folder:
// every pair scoring above kAutoGroupThreshold shares a candidate number (kept in
// the items' autoGroupId). Pairs are met in the folder's order, candidates grow
// by chaining and are never merged. Only pairs that can reach the threshold are
// scored (NameGramIndex); the result is that of scoring every pair. The items
// must start without a candidate number.
class CAutoGroupTraverser : public CPackItemTraverser {
public:
    // cancel may be null. Once it is non-zero the walk stops within
    // milliseconds, even inside one large folder, leaving Cancelled() true and
    // the candidate numbers incomplete.
    explicit CAutoGroupTraverser(const std::atomic<uint32_t>* cancel = nullptr) : cancel_(cancel) {}

    bool VisitFolder(CPackFolder& folder) override;

    bool Cancelled() const { return cancelled_; }

    // After the walk: the number of candidates formed.
    uint64_t nextCandidate = 0;

private:
    bool CancelRequested();

    const std::atomic<uint32_t>* cancel_;
    bool cancelled_ = false;
    // Reused between folders.
    std::vector<CPackItem*> files_;
    // The files' names in UTF-16, one after another, and views of them.
    std::u16string nameText_;
    std::vector<std::u16string_view> names_;
    std::vector<uint32_t> partners_;
};
