#include "view/DeleteCommand.h"

#include <vector>

#include "model/ItemEraser.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "view/ItemRemover.h"
#include "view/ListRows.h"
#include "view/PackListView.h"
#include "view/RowSelection.h"

bool CDeleteCommand::CanDelete(const CRowSelection& selection) const {
    return view_.Mode() == ListMode::Editable && !selection.Empty();
}

bool CDeleteCommand::Delete(const CRowSelection& selection) {
    if (!CanDelete(selection)) return false;
    CCorvelinDoc& doc = view_.Doc();
    CListRows& rows = view_.Rows();
    // The rows stay until the rebuild below, so their items can be marked one
    // by one; the list then changes once instead of once per selected row.
    selection.ForEach([&](size_t row) {
        if (row >= rows.Count()) return;
        if (CPackItem* item = rows.Item(row)) {
            CItemRemover remover;
            item->Accept(remover);
        }
    });
    // The rows point at items about to be released: empty the list first.
    rows.Clear();
    CItemEraser eraser;
    doc.root.Accept(eraser);
    doc.ReleasePacks();
    view_.OnUpdate(kHintEditable);
    return true;
}
