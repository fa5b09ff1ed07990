#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/PackInfo.h"
#include "settings/WorkingPackSize.h"

class CPackListView;

// Shown when the pack-size text is not valid; caption "ERROR", error icon; the
// pack-size box then gets the keyboard focus.
extern const char16_t kInvalidPackSizeText[];

// The sizes one run packs with: fullSize, the medium, which the fill rates
// are measured against; workingSize, what the packing fills each pack up to.
using RunPlan = WorkingPackSize;

// Where the user is in the list: the first row in sight and the row with the
// cursor.
struct ListPlace {
    std::optional<size_t> top;
    std::optional<size_t> current;
};

// Run, back and export: when they are enabled, and what run and back do to
// the document and the list around the run dialog.
class CRunCommand {
public:
    explicit CRunCommand(CPackListView& view) : view_(view) {}

    bool CanRun() const;     // the list has a row, in either mode
    bool CanBack() const;    // packed mode
    bool CanExport() const;  // packed mode
    // Ctrl+S rewrites the last export without asking: only while the list
    // shows the packs it would write. After Back, a deletion or a clear the
    // document's packs no longer match the tree (or are gone), and rewriting
    // would split a group over discs or empty a good file.
    bool CanSave() const { return CanExport(); }

    // The sizes from the toolbar's texts (a registered name stands for its
    // size text); nullopt when the size text is not valid: show
    // kInvalidPackSizeText and run nothing.
    std::optional<RunPlan> Plan(const std::u16string& packSizeText,
                                const std::u16string& fillRateText,
                                const PackInfoList& packInfoList) const;
    // Just before the run dialog starts the packing: clears the cancel flag,
    // and, when the list shows the tree, keeps where the user was in it, for
    // Back. From here until AfterRun the packing rewrites the pack records the
    // packed rows point at: the list must not be painted from them.
    void BeforeRun(const ListPlace& shown = {});
    // After the run dialog closed. Completed: the document keeps the full size
    // and the list shows the packs, with the images the run estimated (none:
    // each estimated when shown). Cancelled: the partial packs are dropped
    // and a packed list returns to the editable tree, since its rows would
    // point at released records.
    void AfterRun(bool completed, const RunPlan& plan, std::vector<uint64_t> images = {});
    // Packed mode: back to the editable tree; the document keeps its packs.
    // Returns the place the tree had when the run started, so that the user
    // does not land in the middle of a large folder.
    ListPlace Back();

private:
    CPackListView& view_;
    // By reference, not index: the rows are rebuilt in between. Only compared,
    // never followed, so a reference to a released item does no harm.
    uint64_t treeTop_ = 0;
    uint64_t treeCurrent_ = 0;
};
