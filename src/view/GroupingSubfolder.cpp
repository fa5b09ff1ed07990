#include "view/GroupingSubfolder.h"

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/ZelDebugLog.h"

bool CGroupingSubfolder::VisitFolder(CPackFolder& folder) {
    if (first_) {
        first_ = false;
        return true;
    }
    const uint64_t group = doc_.NewGroup();
    // The folder is at hand: no search of the tree by its number is needed.
    folder.SetGroup(group);
    ZEL_DEBUG_LOG("Set group: {}:{}", group, folder.GetId());
    // Its subtree has the group now. Not descending means only the starting
    // folder's direct subfolders ever get here.
    return false;
}
