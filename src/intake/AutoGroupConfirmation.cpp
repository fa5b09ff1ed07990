#include "intake/AutoGroupConfirmation.h"

#include <unordered_map>
#include <utility>

#include "model/PackItem.h"
#include "model/PackItemTraverser.h"
#include "packing/CorvelinDoc.h"

CAutoGroupConfirmation::CAutoGroupConfirmation(AutoGroupTable candidates)
    : candidates_(std::move(candidates)), groupTicks_(candidates_.size(), 1) {
    memberTicks_.reserve(candidates_.size());
    for (const auto& members : candidates_)
        memberTicks_.emplace_back(members.size(), 1);
}

bool CAutoGroupConfirmation::GroupTicked(size_t group) const {
    return group < groupTicks_.size() && groupTicks_[group] != 0;
}

bool CAutoGroupConfirmation::MemberTicked(size_t group, size_t member) const {
    return group < memberTicks_.size() && member < memberTicks_[group].size() &&
           memberTicks_[group][member] != 0;
}

void CAutoGroupConfirmation::SetGroupTicked(size_t group, bool ticked) {
    if (group < groupTicks_.size()) groupTicks_[group] = ticked ? 1 : 0;
}

void CAutoGroupConfirmation::SetMemberTicked(size_t group, size_t member, bool ticked) {
    if (group < memberTicks_.size() && member < memberTicks_[group].size()) {
        memberTicks_[group][member] = ticked ? 1 : 0;
    }
}

AutoGroupTable CAutoGroupConfirmation::Kept() const {
    AutoGroupTable kept;
    for (size_t g = 0; g < candidates_.size(); ++g) {
        if (!groupTicks_[g]) continue;
        std::vector<CPackItem*> members;
        for (size_t m = 0; m < candidates_[g].size(); ++m) {
            if (memberTicks_[g][m]) members.push_back(candidates_[g][m]);
        }
        if (!members.empty()) kept.push_back(std::move(members));
    }
    return kept;
}

namespace {

// Numbers the candidates as the walk meets their members.
class KeptGroupNumberer : public CPackItemTraverser {
public:
    KeptGroupNumberer(CCorvelinDoc& doc, const AutoGroupTable& kept)
        : doc_(doc), numbers_(kept.size(), NoGroup) {
        for (size_t g = 0; g < kept.size(); ++g) {
            for (CPackItem* item : kept[g])
                candidateOf_.emplace(item, g);
        }
    }

    bool VisitFolder(CPackFolder& folder) override {
        VisitItem(folder);
        return true;
    }

    bool VisitItem(CPackItem& item) override {
        const auto found = candidateOf_.find(&item);
        if (found == candidateOf_.end()) return true;
        uint64_t& group = numbers_[found->second];
        if (group == NoGroup) {
            group = doc_.groupCount++;
            ++made_;
        }
        item.SetGroup(group);
        return true;
    }

    size_t Made() const { return made_; }

private:
    CCorvelinDoc& doc_;
    std::vector<uint64_t> numbers_;
    std::unordered_map<const CPackItem*, size_t> candidateOf_;
    size_t made_ = 0;
};

}  // namespace

size_t ApplyAutoGroups(CCorvelinDoc& doc, CPackFolder& root, const AutoGroupTable& kept) {
    if (kept.empty()) return 0;
    KeptGroupNumberer numberer(doc, kept);
    root.Accept(numberer);
    return numberer.Made();
}
