#include "packing/PickupNoGroup.h"

#include <limits>
#include <stdexcept>

#include "model/PackItem.h"

bool CPickupNoGroup::VisitItem(CPackItem& item) {
    if (item.group != NoGroup) return true;
    // A key above the signed range would read as a group; refuse rather than misplace.
    if (item.GetId() > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        throw std::out_of_range("item number out of range for packing");
    }
    entries_->push_back(PackEntry{static_cast<int32_t>(item.GetId()),
                                  static_cast<uint32_t>(entries_->size()), item.GetSize(), &item});
    return true;
}
