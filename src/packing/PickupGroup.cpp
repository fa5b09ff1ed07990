#include "packing/PickupGroup.h"

#include <limits>
#include <stdexcept>

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"

bool CPickupGroup::VisitItem(CPackItem& item) {
    if (item.group == NoGroup) return true;
    // Rows become negative 32-bit entry keys.
    if (item.group >= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        throw std::out_of_range("group number out of range for packing");
    }
    const size_t row = static_cast<size_t>(item.group) + 1;
    // A group number the counter never handed out still keeps its files together.
    if (row >= table_->size()) table_->resize(row + 1);
    GroupEntry& entry = (*table_)[row];
    entry.itemIds.push_back(item.GetId());
    const uint64_t size = item.GetSize();
    entry.size = entry.size > std::numeric_limits<uint64_t>::max() - size
                     ? std::numeric_limits<uint64_t>::max()
                     : entry.size + size;
    return true;
}
