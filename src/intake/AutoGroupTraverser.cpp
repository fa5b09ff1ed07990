#include "intake/AutoGroupTraverser.h"

#include "intake/NameGramIndex.h"
#include "intake/NameSimilarity.h"
#include "model/PackItem.h"

bool CAutoGroupTraverser::CancelRequested() {
    if (!cancelled_ && cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0) {
        cancelled_ = true;
    }
    return cancelled_;
}

bool CAutoGroupTraverser::VisitFolder(CPackFolder& folder) {
    if (CancelRequested()) return false;
    files_.clear();
    names_.clear();
    nameText_.clear();
    for (const auto& child : folder.children) {
        if (child->IsFolder()) continue;
        files_.push_back(child.get());
        child->GetName().AppendTo(nameText_);
    }
    // Views once the text has stopped growing.
    size_t at = 0;
    for (const CPackItem* file : files_) {
        const size_t length = file->GetName().size();
        names_.emplace_back(nameText_.data() + at, length);
        at += length;
    }
    // Pairs are met in the order of a loop over every pair, and those left out
    // cannot score above the threshold, so the numbers come out the same.
    NameGramIndex index(names_);
    size_t scored = 0;
    for (size_t i = 0; i + 1 < files_.size(); ++i) {
        if (!index.PartnersAfter(i, partners_, cancel_) || CancelRequested()) {
            cancelled_ = true;
            return false;
        }
        CPackItem& first = *files_[i];
        for (const uint32_t j : partners_) {
            CPackItem& second = *files_[j];
            if (first.autoGroupId != NoAutoGroup && second.autoGroupId != NoAutoGroup) continue;
            if ((++scored & 0xFF) == 0 && CancelRequested()) return false;
            if (!(NameSimilarity(names_[i], names_[j]) > kAutoGroupThreshold)) continue;
            if (first.autoGroupId != NoAutoGroup) {
                second.autoGroupId = first.autoGroupId;
            } else if (second.autoGroupId != NoAutoGroup) {
                first.autoGroupId = second.autoGroupId;
            } else {
                first.autoGroupId = nextCandidate;
                second.autoGroupId = nextCandidate;
                ++nextCandidate;
            }
        }
    }
    return true;
}
