#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "model/PackItem.h"
#include "packing/PackRecords.h"

class IZelPostTarget;
namespace zel {
class IFileSystem;
}  // namespace zel

// The single document: the item tree, the item and group counters and the last
// run's packs. Only the owner's (UI) thread changes it, except that a packing
// run's worker owns it until joined.
class CCorvelinDoc {
public:
    CCorvelinDoc();
    ~CCorvelinDoc();
    CCorvelinDoc(const CCorvelinDoc&) = delete;
    CCorvelinDoc& operator=(const CCorvelinDoc&) = delete;

    // Empties the list: fresh root, item numbers from 1, no groups, no packs.
    void OnNewDocument();
    // Sets the group on the item with that number (a folder's whole subtree).
    void SetItemGroup(uint64_t group, uint32_t number);
    // A new group number from groupCount.
    uint64_t NewGroup();
    // Forgets every record that points into the tree; call whenever items are
    // released (after removing marked items).
    void ReleasePacks();
    // Hangs a finished scan's top-level items (the children of scanned) into the
    // root in their order, and moves nextItemId past every number the scan gave
    // out (nextId). On the owner's thread, after the scan's worker has ended.
    void AddScannedItems(const CPackFolder& scanned, uint32_t nextId);

    // First-fit-decreasing packing; false when stopped by cancelFlag. Does not
    // clear cancelFlag: the caller does before starting.
    bool Pack(uint64_t limit, IZelPostTarget* progress = nullptr);

    // Writes the packs as tab-separated UTF-8; false with error (errno) and a
    // message when the file cannot be written, the previous file then untouched.
    bool ExportPacks(const std::string& path, std::string& message);
    bool ExportPacks(const std::string& path, std::string& message, zel::IFileSystem& fs);
    // The same into a descriptor that stays open and is never replaced (standard
    // output); name is what messages call it.
    bool ExportPacksToDescriptor(int fd, const std::string& name, std::string& message,
                                 zel::IFileSystem& fs);

    CPackFolder root;
    std::vector<PackBin> packs;
    std::vector<PackResult> packResults;
    std::vector<GroupEntry> groupTable;
    uint32_t groupCount = 0;
    uint32_t nextItemId = 1;  // the number the next new item gets; never reused until reset
    // Items the scans have added since the reset, removed ones included: about
    // how many files a run collects, known without a walk.
    size_t scannedItems = 0;
    std::atomic<uint32_t> cancelFlag{0};
    uint64_t packSize = 0;
    // The medium's real bytes for the image warnings (0: packSize), recorded
    // with packSize after a completed run.
    uint64_t mediumCapacity = 0;
    // Whether a run makes packResults, the list's files of each pack; a run
    // from the command line has no list, and ten million nodes are 320 MB.
    bool keepPackResults = true;

private:
    void ClearPackResults();
    void BuildPackResults();

    // The nodes of packResults[k] live in resultNodes_[k], one block per pack.
    std::vector<std::vector<PackResultNode>> resultNodes_;
};
