#pragma once

#include <cstdint>
#include <string>

class CPackListView;
class CRowSelection;

// Shown when a new group is asked for without a selection; caption: the
// application's name, no icon.
std::u16string SelectItemsForGroupText();

// The commands that tie the selected rows' items into groups by hand, with
// their enabling rules. Each command rewrites the Group cells of the list.
class CGroupingCommands {
public:
    explicit CGroupingCommands(CPackListView& view) : view_(view) {}

    bool CanNewGroup(const CRowSelection& selection) const;
    bool CanAddToGroup() const;
    bool CanRemoveFromGroup() const;
    bool CanGroupEach(const CRowSelection& selection) const;
    bool CanGroupSubfolders(const CRowSelection& selection) const;

    // All selected rows form one new group. False without a selection: show
    // SelectItemsForGroupText(); no number is given out then.
    [[nodiscard]] bool NewGroup(const CRowSelection& selection);
    // Puts the selected rows into an existing group, shown number 1..groupCount
    // (GroupNumberInput validates what the user typed). False, and nothing
    // changed, for a number out of range.
    bool AddToGroup(const CRowSelection& selection, uint32_t shownNumber);
    void RemoveFromGroup(const CRowSelection& selection);
    // Every selected row a new group of its own.
    void GroupEach(const CRowSelection& selection);
    // Every direct subfolder of the (first) selected folder a new group.
    void GroupSubfolders(const CRowSelection& selection);

private:
    CPackListView& view_;
};
