#include "view/GroupingCommands.h"

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/UiText.h"
#include "support/ZelDebugLog.h"
#include "view/GroupingSubfolder.h"
#include "view/ListRows.h"
#include "view/PackListView.h"
#include "view/RowSelection.h"

std::u16string SelectItemsForGroupText() {
    return Tr16("グループに割り当てるアイテムを選択してください。");
}

namespace {

bool Editable(const CPackListView& view) {
    return view.Mode() == ListMode::Editable;
}

// The rows' own items: a search of the tree by number would find the same
// ones, at a cost that grows with the tree for every selected row.
void SetGroupOnRow(const CPackListView& view, size_t row, uint64_t group) {
    CPackItem* item = view.Rows().Item(row);
    if (!item) return;
    item->SetGroup(group);
    ZEL_DEBUG_LOG("Set group: {}:{}", group, item->GetId());
    ZEL_DEBUG_LOG(" [{}] into group, {}", row, item->GetId());
}

}  // namespace

bool CGroupingCommands::CanNewGroup(const CRowSelection& selection) const {
    return Editable(view_) && !selection.Empty();
}

bool CGroupingCommands::CanAddToGroup() const {
    return Editable(view_) && view_.Doc().groupCount > 0;
}

bool CGroupingCommands::CanRemoveFromGroup() const {
    return Editable(view_) && view_.Doc().groupCount > 0;
}

bool CGroupingCommands::CanGroupEach(const CRowSelection& selection) const {
    return Editable(view_) && !selection.Empty();
}

bool CGroupingCommands::CanGroupSubfolders(const CRowSelection& selection) const {
    return Editable(view_) && selection.Count() == 1 && selection.First() < view_.Rows().Count() &&
           view_.Rows().Row(selection.First()).kind == RowKind::Folder;
}

bool CGroupingCommands::NewGroup(const CRowSelection& selection) {
    if (selection.Empty()) return false;
    const uint64_t group = view_.Doc().NewGroup();
    selection.ForEach([&](size_t row) { SetGroupOnRow(view_, row, group); });
    view_.RefreshGroupColumn();
    return true;
}

bool CGroupingCommands::AddToGroup(const CRowSelection& selection, uint32_t shownNumber) {
    if (shownNumber < 1 || shownNumber > view_.Doc().groupCount) return false;
    selection.ForEach([&](size_t row) {
        if (CPackItem* item = view_.Rows().Item(row)) item->SetGroup(shownNumber - 1);
    });
    view_.RefreshGroupColumn();
    return true;
}

void CGroupingCommands::RemoveFromGroup(const CRowSelection& selection) {
    selection.ForEach([&](size_t row) {
        if (CPackItem* item = view_.Rows().Item(row)) item->SetGroup(NoGroup);
    });
    view_.RefreshGroupColumn();
}

void CGroupingCommands::GroupEach(const CRowSelection& selection) {
    selection.ForEach([&](size_t row) { SetGroupOnRow(view_, row, view_.Doc().NewGroup()); });
    view_.RefreshGroupColumn();
}

void CGroupingCommands::GroupSubfolders(const CRowSelection& selection) {
    if (selection.Empty() || selection.First() >= view_.Rows().Count()) return;
    CPackFolder* folder = view_.Rows().Folder(selection.First());
    if (!folder) return;
    CGroupingSubfolder grouping(view_.Doc());
    folder->Accept(grouping);
    view_.RefreshGroupColumn();
}
