#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "intake/GroupCollector.h"

// The user's answer to the proposed automatic groups: one tick per candidate
// and one per member, all set at first, so confirming at once keeps every
// candidate. A group's tick does not change its members' ticks; an unticked
// group drops all its members whatever their own ticks say. Keeps() is the
// rule ApplyAutoGroups (intake/AutoGroupProposal.h) takes.
class CAutoGroupConfirmation {
public:
    explicit CAutoGroupConfirmation(const AutoGroupTable& candidates);

    void SetGroupTicked(size_t group, bool ticked);
    void SetMemberTicked(size_t group, size_t member, bool ticked);

    // A member is kept when it and its group are ticked.
    bool Keeps(size_t group, size_t member) const;

private:
    std::vector<uint8_t> groupTicks_;
    std::vector<std::vector<uint8_t>> memberTicks_;
};
