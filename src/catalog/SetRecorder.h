#pragma once

#include <cstdint>
#include <string>

#include "disc/DiscSet.h"

namespace catalog {

// Keeps the catalog's record of a set in step with a run that writes it pack
// by pack, on the writer's thread: after each pack only what that pack changed
// goes in, each time in one transaction, so a run that dies between packs
// leaves the catalog as it was after the last one. Once a recording has
// failed the next one writes the whole set, catching up what was missed.
class SetRecorder {
public:
    explicit SetRecorder(std::string catalogPath) : path_(std::move(catalogPath)) {}

    // After pack changed; pack 0 records the whole set. message (UTF-8): why
    // the set was not recorded, or a notice from opening the catalog; empty
    // when there is nothing to say.
    bool PackSaved(const DiscSet& set, uint32_t pack, std::string& message);

private:
    std::string path_;
    bool behind_ = false;
};

}  // namespace catalog
