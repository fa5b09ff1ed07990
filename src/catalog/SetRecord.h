#pragma once

#include <string>

#include "disc/DiscSet.h"

namespace catalog {

// Records a set in the catalog file at catalogPath, opening it for this one
// change, so that the writer's thread and the window's catalog each keep their
// own connection. message (UTF-8) gets what the user should read: why the set
// was not recorded, or a notice from opening the catalog. Writing goes on
// whatever this returns: the set file still holds the set.
bool RecordSet(const std::string& catalogPath, const DiscSet& set, std::string& message);

}  // namespace catalog
