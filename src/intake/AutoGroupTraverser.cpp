#include "intake/AutoGroupTraverser.h"

#include "intake/NameSimilarity.h"
#include "model/PackItem.h"

bool CAutoGroupTraverser::VisitFolder(CPackFolder& folder) {
    files_.clear();
    signatures_.clear();
    for (const auto& child : folder.children) {
        if (child->IsFolder()) continue;
        files_.push_back(child.get());
        signatures_.emplace_back(child->GetName());
    }
    const size_t n = files_.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        CPackItem& first = *files_[i];
        for (size_t j = i + 1; j < n; ++j) {
            CPackItem& second = *files_[j];
            if (first.autoGroupId != NoAutoGroup && second.autoGroupId != NoAutoGroup) continue;
            if (NameSignature::CannotExceedThreshold(signatures_[i], signatures_[j])) continue;
            if (!(NameSimilarity(first.GetName(), second.GetName()) > kAutoGroupThreshold)) {
                continue;
            }
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
