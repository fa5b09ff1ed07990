#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "intake/FindData.h"
#include "intake/ImportSettings.h"
#include "intake/SkippedEntry.h"
#include "model/PackItem.h"
#include "support/IZelPostTarget.h"
#include "support/ZelFastMutex.h"
#include "support/ZelMfcThread.h"

class CCorvelinDoc;
namespace zel {
class IFileSystem;
class ReadAheadLister;
struct DirEntry;
struct FileStat;
}  // namespace zel

// Notices the scan posts to its target (both parameters 0).
constexpr uint32_t kScanFinished = WM_APP;         // the items are in the document
constexpr uint32_t kScanPathChanged = WM_APP + 1;  // GetCurrentPath has a new value
constexpr uint32_t kScanFailed = WM_APP + 3;       // an exception ended the scan; see GetErrorText

// Walks the dropped paths on its own thread, filters every file through the
// preset and, once every path is done and no cancel came, hangs the new items
// into the document's root. Until then nothing outside the worker is touched,
// so a cancel or a failure leaves the document and g_nextItemId as they were.
// The owner must not touch the document while the thread runs, and reads
// GetResult, GetSkipped and GetErrorText only after Join.
class CAddFileWorker : public ZelMfcThread {
public:
    // paths: absolute raw-byte paths in drop order, without a trailing "/"
    // (except "/" itself). target may be null.
    CAddFileWorker(zel::IFileSystem& fs, CCorvelinDoc& doc, CImportSettingsPtr settings,
                   std::vector<std::string> paths, IZelPostTarget* target);
    ~CAddFileWorker() override;

    // The dropped paths in order, with the position of each that another one
    // holds or repeats (a folder dropped with something inside it, a path dropped
    // twice); the first of equal paths is kept.
    static std::vector<bool> NestedDroppedPaths(const std::vector<std::string>& paths);

    // One dropped path: a file item, a folder item with everything accepted
    // below it, or null when nothing was accepted.
    CPackItemPtr ScanPath(const std::string& path, uint32_t level = 1);
    // A folder and everything below it; null when it holds no accepted file.
    CPackFolderPtr ScanFolder(const std::string& path, uint32_t level);

    // Lists folders ahead of the walk on this many more threads (see
    // ReadAheadLister; 0 = none); call before Start. The file system must then
    // allow concurrent listings.
    void SetReadAhead(unsigned readers) { readAhead_ = readers; }

    // Any thread. Takes effect at the next entry; once the last dropped path is
    // done the hand-over completes regardless (see HandedOver).
    void Cancel() { cancel_.store(1); }

    // The folder (number 0, no path) whose children are this drop's top-level
    // items; null unless the scan handed over.
    const CPackFolderPtr& GetResult() const { return result_; }
    // True once the items are in the document, even when a cancel came too late.
    bool HandedOver() const { return handedOver_.load(); }
    // The folder or dropped file now being read. Any thread.
    std::u16string GetCurrentPath() const;
    const SkippedEntryList& GetSkipped() const { return skipped_; }
    // Empty unless the scan failed (kScanFailed was posted).
    const std::u16string& GetErrorText() const { return errorText_; }
    uint32_t GetNextId() const { return nextId_; }

protected:
    uint32_t Run() override;

private:
    using FolderKey = std::pair<uint64_t, uint64_t>;  // (device, inode)

    bool Usable(std::string_view bytesToCheck);
    CPackFolderPtr ScanCurrentFolder(uint32_t level);
    void ScanEntry(CPackFolder& folder, const zel::DirEntry& entry, size_t nameStart,
                   uint32_t level);
    bool Accepts(std::u16string_view name, const zel::FileStat& st);
    bool IsAncestor(const zel::FileStat& st) const;
    bool WasEntered(const zel::FileStat& st) const;
    bool Enter(const zel::FileStat& st);
    void AnnounceSubfolders(const std::vector<zel::DirEntry>& entries);
    void PublishCurrentPath();
    void Skip(SkipReason reason, int error) { skipped_.push_back({pathBytes_, reason, error}); }
    void Post(uint32_t message);

    zel::IFileSystem& fs_;
    CCorvelinDoc& doc_;
    CImportSettingsPtr settings_;
    std::vector<std::string> paths_;
    IZelPostTarget* target_;

    unsigned readAhead_ = 0;
    zel::ReadAheadLister* lister_ = nullptr;  // during Run only

    std::vector<CPackItemPtr> results_;
    uint32_t nextId_;
    std::atomic<uint32_t> cancel_{0};

    CPackFolderPtr result_;
    std::atomic<bool> handedOver_{false};
    SkippedEntryList skipped_;
    std::u16string errorText_;

    // The walk's position: the same path as the file system takes it and as the
    // items keep it, grown and cut back in place so that entries cost no copies.
    std::string pathBytes_;
    std::u16string pathText_;
    std::vector<FolderKey> ancestors_;
    // Every folder this scan entered: links that lead into one again (a chain of
    // folders each linking twice to the next) would otherwise multiply the walk.
    struct FolderKeyHash {
        size_t operator()(const FolderKey& key) const {
            return std::hash<uint64_t>()(key.first * 0x9E3779B97F4A7C15ull ^ key.second);
        }
    };
    std::unordered_set<FolderKey, FolderKeyHash> entered_;
    FindData findData_;

    mutable ZelFastMutex currentPathLock_;
    std::u16string currentPath_;
};
