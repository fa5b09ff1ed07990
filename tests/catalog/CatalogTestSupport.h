#pragma once

#include <string>
#include <vector>

#include "TestSupport.h"
#include "catalog/Catalog.h"
#include "support/TextCodec.h"

namespace catalog_test {

using testing_support::U;

// A set of `packs` packs whose files are given as disk paths; file i lies on
// pack 1 + i % packs, under "/D" on the disc, size i + 1, time i.
inline DiscSet MakeSet(const std::string& id, const std::string& name,
                       const std::vector<std::string>& diskPaths, uint32_t packs = 1) {
    DiscSet set;
    set.id = id;
    set.name = U(name);
    set.createdAt = 1700000000;
    set.packSize = 4700000000;
    set.medium = u"DVD(4.7GB)";
    set.capacity = 4700000000;
    set.target = u"image";
    for (uint32_t n = 1; n <= packs; ++n) {
        set.packs.push_back(
            {n, U("PACK_0" + std::to_string(n)), DiscPackState::Written, 1700049600, 0, {}});
    }
    for (size_t i = 0; i < diskPaths.size(); ++i) {
        const std::string& path = diskPaths[i];
        set.files.push_back({static_cast<uint32_t>(1 + i % packs),
                             U("/D" + path.substr(path.rfind('/'))), zel::DecodeFileName(path),
                             i + 1, static_cast<int64_t>(i), std::string()});
    }
    return set;
}

}  // namespace catalog_test
