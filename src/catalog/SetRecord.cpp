#include "catalog/SetRecord.h"

#include "catalog/SetRecorder.h"

namespace catalog {

bool RecordSet(const std::string& catalogPath, const DiscSet& set, std::string& message) {
    return SetRecorder(catalogPath).PackSaved(set, 0, message);
}

}  // namespace catalog
