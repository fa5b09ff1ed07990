#include "view/RunCommand.h"

#include <utility>

#include "packing/CorvelinDoc.h"
#include "support/ZelDebugLog.h"
#include "view/ListRows.h"
#include "view/PackListView.h"

const char16_t kInvalidPackSizeText[] = u"パックサイズに正しい値を入力してください";

bool CRunCommand::CanRun() const {
    return view_.Rows().Count() > 0;
}

bool CRunCommand::CanBack() const {
    return view_.Mode() == ListMode::Packed;
}

bool CRunCommand::CanExport() const {
    return view_.Mode() == ListMode::Packed;
}

std::optional<RunPlan> CRunCommand::Plan(const std::u16string& packSizeText,
                                         const std::u16string& fillRateText,
                                         const PackInfoList& packInfoList) const {
    RunPlan plan;
    if (ResolveWorkingPackSize(packInfoList, packSizeText, fillRateText, plan) !=
        PackSizeError::None)
        return std::nullopt;
    ZEL_DEBUG_LOG("PackSize: {}", plan.workingSize);
    return plan;
}

void CRunCommand::BeforeRun(const ListPlace& shown) {
    view_.Doc().cancelFlag.store(0);
    // A run from the packs keeps the place of the tree from before.
    if (view_.Mode() != ListMode::Editable) return;
    const CListRows& rows = view_.Rows();
    auto ref = [&rows](const std::optional<size_t>& row) {
        return row && *row < rows.Count() ? rows.Row(*row).ref : 0;
    };
    treeTop_ = ref(shown.top);
    treeCurrent_ = ref(shown.current);
}

void CRunCommand::AfterRun(bool completed, const RunPlan& plan, std::vector<uint64_t> images) {
    CCorvelinDoc& doc = view_.Doc();
    view_.SetRunImages(completed ? std::move(images) : std::vector<uint64_t>());
    if (completed) {
        doc.packSize = plan.fullSize;
        doc.mediumCapacity = plan.capacity;
        view_.OnUpdate(kHintPacked);
        return;
    }
    // A cancel leaves half-built packs; nothing may show or export them.
    doc.ReleasePacks();
    if (view_.Mode() == ListMode::Packed) view_.OnUpdate(kHintEditable);
}

ListPlace CRunCommand::Back() {
    if (view_.Mode() != ListMode::Packed) return {};
    view_.OnUpdate(kHintEditable);
    const CListRows& rows = view_.Rows();
    auto row = [&rows](uint64_t ref) -> std::optional<size_t> {
        const std::ptrdiff_t found = ref != 0 ? rows.Find(ref) : -1;
        if (found < 0) return std::nullopt;
        return static_cast<size_t>(found);
    };
    return ListPlace{row(treeTop_), row(treeCurrent_)};
}
