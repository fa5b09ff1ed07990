#pragma once

class CPackListView;
class CRowSelection;

// The Delete key: removes the selected rows' items (a folder with everything
// below it) from the document and rebuilds the editable list.
class CDeleteCommand {
public:
    explicit CDeleteCommand(CPackListView& view) : view_(view) {}

    // Editable mode with a selection.
    bool CanDelete(const CRowSelection& selection) const;
    // False when not CanDelete. The document's packs point at the released
    // items, so they are released as well: a later export writes no packs.
    bool Delete(const CRowSelection& selection);

private:
    CPackListView& view_;
};
