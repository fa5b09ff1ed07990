#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "intake/ArchiveCheck.h"
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

// What the scan tells its owner. It ends with exactly one of Finished,
// Cancelled or Failed; PathChanged (GetCurrentPath has a new value) comes only
// before it.
enum class ScanNotice : uint32_t {
    Finished = 0x0100,  // the result is ready for CommitTo
    Cancelled,          // stopped on Cancel; nothing to commit
    Failed,             // an exception ended the scan; see GetErrorText
    PathChanged,
};

// Walks the dropped paths on its own thread and filters every file through the
// preset, building the new items privately: the worker never touches the
// document. The owner joins it once the end notice arrives and then, on its
// own thread, commits the result with CommitTo, so that the document and the
// list only ever change on that thread. GetResult, GetSkipped and GetErrorText
// are read after Join.
class CAddFileWorker : public ZelMfcThread {
public:
    // paths: absolute raw-byte paths in drop order, without a trailing "/"
    // (except "/" itself). New items are numbered from doc's nextItemId, read
    // here; doc is not kept. target may be null.
    CAddFileWorker(zel::IFileSystem& fs, const CCorvelinDoc& doc, CImportSettingsPtr settings,
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

    // Lists the folders on this many more threads (see ReadAheadLister; 0 =
    // none, the walk lists each itself); call before Start. The walk takes the
    // listings in its own order, so the result is the same with any number.
    // The file system must then allow concurrent listings.
    void SetReadAhead(unsigned readers) { readAhead_ = readers; }
    // Asks check about every accepted file: archived files are left out,
    // changed ones marked (CPackItem::archiveChanged). Call before Start; check
    // is used on the scan's thread and must outlive it.
    void SetArchiveCheck(IArchiveCheck* check) { archiveCheck_ = check; }
    // Listing threads for this machine: more than its processors, since on a
    // cold disk each waits on its own request and the device serves several
    // at once; on a warm cache the extra ones only wait for their turn.
    static unsigned DefaultReaders();

    // Any thread. Takes effect at the next entry; once the last dropped path is
    // done the scan completes regardless (see Completed).
    void Cancel() { cancel_.store(1); }

    // After Join: true when every dropped path was walked (Finished was
    // posted), also when a cancel came too late to stop it.
    bool Completed() const { return completed_.load(); }
    // After Join, on the owner's thread: hangs a completed scan's items into
    // doc (CCorvelinDoc::AddScannedItems) and returns true; a cancelled or
    // failed scan changes nothing and returns false. Commits at most once.
    bool CommitTo(CCorvelinDoc& doc);
    // The folder (number 0, no path) whose children are this drop's top-level
    // items; null unless the scan completed. Their parent is set by CommitTo.
    const CPackFolderPtr& GetResult() const { return result_; }
    // The folder or dropped file now being read. Any thread.
    std::u16string GetCurrentPath() const;
    const SkippedEntryList& GetSkipped() const { return skipped_; }
    // How many files the preset's filters refused.
    uint64_t GetRefusedCount() const { return refused_; }
    // Empty unless the scan failed (ScanNotice::Failed was posted).
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
    bool Enter(const zel::FileStat& st);
    void PublishCurrentPath();
    void Skip(SkipReason reason, int error) { skipped_.push_back({pathBytes_, reason, error}); }
    void Post(ScanNotice notice);

    zel::IFileSystem& fs_;
    CImportSettingsPtr settings_;
    std::vector<std::string> paths_;
    IZelPostTarget* target_;

    unsigned readAhead_ = 0;
    IArchiveCheck* archiveCheck_ = nullptr;
    zel::ReadAheadLister* lister_ = nullptr;  // during Run only

    std::vector<CPackItemPtr> results_;
    const uint32_t firstId_;
    uint32_t nextId_;
    std::atomic<uint32_t> cancel_{0};

    CPackFolderPtr result_;
    std::atomic<bool> completed_{false};
    bool committed_ = false;
    SkippedEntryList skipped_;
    uint64_t refused_ = 0;
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
