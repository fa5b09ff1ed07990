#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "intake/GroupCollector.h"

class CCorvelinDoc;
class CPackFolder;

// The user's answer to the proposed automatic groups: one tick per candidate
// and one per member, all set at first, so confirming at once keeps every
// candidate. A group's tick does not change its members' ticks; an unticked
// group drops all its members whatever their own ticks say.
class CAutoGroupConfirmation {
public:
    explicit CAutoGroupConfirmation(AutoGroupTable candidates);

    const AutoGroupTable& Candidates() const { return candidates_; }

    bool GroupTicked(size_t group) const;
    bool MemberTicked(size_t group, size_t member) const;
    void SetGroupTicked(size_t group, bool ticked);
    void SetMemberTicked(size_t group, size_t member, bool ticked);

    // The ticked members of the ticked candidates, in candidate order; a
    // candidate left without members is dropped, one left with a single member
    // stays (a group of one file).
    AutoGroupTable Kept() const;

private:
    AutoGroupTable candidates_;
    std::vector<uint8_t> groupTicks_;
    std::vector<std::vector<uint8_t>> memberTicks_;
};

// Makes every kept candidate a new group of the document. Numbers are given in
// the order a walk of root (the drop's result folder) first meets a member of
// each candidate, not in candidate order. Returns the number of groups made.
size_t ApplyAutoGroups(CCorvelinDoc& doc, CPackFolder& root, const AutoGroupTable& kept);
