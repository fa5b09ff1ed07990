#include "intake/GroupApplyTraverser.h"

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"

CGroupApplyTraverser::CGroupApplyTraverser(CCorvelinDoc& doc, size_t candidateCount)
    : doc_(doc), groupNumbers_(candidateCount, NoGroup) {}

bool CGroupApplyTraverser::VisitFolder(CPackFolder& folder) {
    return VisitItem(folder);
}

bool CGroupApplyTraverser::VisitItem(CPackItem& item) {
    const uint64_t candidate = item.autoGroupId;
    if (candidate == NoAutoGroup) return true;
    if (candidate >= groupNumbers_.size()) {
        groupNumbers_.resize(static_cast<size_t>(candidate) + 1, NoGroup);
    }
    uint64_t& group = groupNumbers_[static_cast<size_t>(candidate)];
    if (group == NoGroup) group = doc_.groupCount++;
    item.SetGroup(group);
    return true;
}
