#include "intake/AutoGroupConfirmation.h"

CAutoGroupConfirmation::CAutoGroupConfirmation(const AutoGroupTable& candidates)
    : groupTicks_(candidates.size(), 1) {
    memberTicks_.reserve(candidates.size());
    for (const auto& members : candidates)
        memberTicks_.emplace_back(members.size(), 1);
}

void CAutoGroupConfirmation::SetGroupTicked(size_t group, bool ticked) {
    if (group < groupTicks_.size()) groupTicks_[group] = ticked ? 1 : 0;
}

void CAutoGroupConfirmation::SetMemberTicked(size_t group, size_t member, bool ticked) {
    if (group < memberTicks_.size() && member < memberTicks_[group].size()) {
        memberTicks_[group][member] = ticked ? 1 : 0;
    }
}

bool CAutoGroupConfirmation::Keeps(size_t group, size_t member) const {
    return group < groupTicks_.size() && groupTicks_[group] != 0 &&
           member < memberTicks_[group].size() && memberTicks_[group][member] != 0;
}
