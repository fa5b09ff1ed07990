#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "intake/GroupCollector.h"

class CCorvelinDoc;
class CPackFolder;

// The steps of automatic grouping over one drop's result folder, for the
// desktop program (proposal on a worker thread, confirmation, apply) and the
// command line (accept everything).

// Forms the candidates (the items' autoGroupId) and returns them, each with its
// members in walk order; an empty table when none formed. Returns null when
// cancel became non-zero first; the candidate numbers are then cleared again.
AutoGroupTablePtr ProposeAutoGroups(CPackFolder& result,
                                    const std::atomic<uint32_t>* cancel = nullptr);

// Turns the members of table that keep(candidate, member index) accepts into
// real groups with new numbers from the document, numbered in walk order; the
// other members lose their candidate number. A candidate with no accepted
// member uses no number. Call on the document's thread.
void ApplyAutoGroups(CCorvelinDoc& doc, CPackFolder& result, const AutoGroupTable& table,
                     const std::function<bool(size_t candidate, size_t member)>& keep);

// Every candidate, as confirming the proposal unchanged would give.
void AcceptAllAutoGroups(CCorvelinDoc& doc, CPackFolder& result);
