#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "intake/ArchiveCheck.h"

namespace catalog {

class Catalog;
struct CatalogDiscInfo;

// What the catalog holds below the dropped paths, loaded once before a scan
// into memory so that each scanned file costs one hash lookup of its folder
// (the scan reads a folder's files one after another, so mostly none) and a
// binary search of its name.
class ArchivedFiles : public IArchiveCheck {
public:
    // roots: the dropped paths, absolute raw bytes without a trailing "/".
    // false with error when the catalog could not be read.
    bool Load(Catalog& catalog, const std::vector<std::string>& roots, std::string& error);

    ArchiveVerdict Check(std::string_view path, uint64_t size, int64_t mtimeNs) override;

    uint64_t ArchivedCount() const { return archivedCount_; }
    uint64_t ChangedCount() const { return changedCount_; }
    // Files left out, by the disc row that holds them.
    const std::map<int64_t, uint64_t>& ArchivedByDisc() const { return byDisc_; }
    size_t LoadedCount() const { return loaded_; }

private:
    struct Entry {
        std::string name;
        uint64_t size;
        int64_t mtimeNs;
        int64_t discRowId;
    };
    using Folder = std::vector<Entry>;  // sorted by name

    std::unordered_map<std::string, Folder> folders_;
    const Folder* lastFolder_ = nullptr;
    std::string lastFolderPath_;
    bool lastFolderKnown_ = false;
    size_t loaded_ = 0;
    uint64_t archivedCount_ = 0;
    uint64_t changedCount_ = 0;
    std::map<int64_t, uint64_t> byDisc_;
};

// The report of what a scan left out: how many files, and on which discs of
// which sets, one line per disc (Japanese, UTF-8).
std::string DescribeArchived(const ArchivedFiles& archived,
                             const std::vector<CatalogDiscInfo>& discs);

}  // namespace catalog
