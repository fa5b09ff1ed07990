#include "intake/AutoGroupProposal.h"

#include <boost/make_shared.hpp>

#include "intake/AutoGroupTraverser.h"
#include "intake/GroupApplyTraverser.h"
#include "model/PackItem.h"

namespace {

class CCandidateEraser : public CPackItemTraverser {
public:
    bool VisitItem(CPackItem& item) override {
        item.autoGroupId = NoAutoGroup;
        return true;
    }
};

}  // namespace

AutoGroupTablePtr ProposeAutoGroups(CPackFolder& result, const std::atomic<uint32_t>* cancel) {
    // Half-formed candidates must not reach a later apply.
    auto clearCandidates = [&result] {
        CCandidateEraser eraser;
        result.Accept(eraser);
    };
    try {
        CAutoGroupTraverser grouping(cancel);
        result.Accept(grouping);
        if (grouping.Cancelled()) {
            clearCandidates();
            return nullptr;
        }
        auto table =
            boost::make_shared<AutoGroupTable>(static_cast<size_t>(grouping.nextCandidate));
        if (grouping.nextCandidate == 0) return table;
        CGroupCollector collector(table);
        result.Accept(collector);
        return table;
    } catch (...) {
        clearCandidates();
        throw;
    }
}

void ApplyAutoGroups(CCorvelinDoc& doc, CPackFolder& result, const AutoGroupTable& table,
                     const std::function<bool(size_t candidate, size_t member)>& keep) {
    for (size_t g = 0; g < table.size(); ++g) {
        for (size_t m = 0; m < table[g].size(); ++m) {
            if (!keep(g, m)) table[g][m]->autoGroupId = NoAutoGroup;
        }
    }
    CGroupApplyTraverser apply(doc, table.size());
    result.Accept(apply);
}

void AcceptAllAutoGroups(CCorvelinDoc& doc, CPackFolder& result) {
    const AutoGroupTablePtr table = ProposeAutoGroups(result);
    if (table->empty()) return;
    ApplyAutoGroups(doc, result, *table, [](size_t, size_t) { return true; });
}
