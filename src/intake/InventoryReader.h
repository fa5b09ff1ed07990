#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "intake/FindData.h"
#include "intake/FolderTable.h"
#include "intake/ImportSettings.h"
#include "model/PackItem.h"

// A record of an inventory that was left out, by its number (from 1).
struct InventoryProblem {
    uint64_t record = 0;
    std::string text;  // Japanese, why
    // The record's path as its bytes, to be escaped before it is shown; only
    // its start when cut (a record may be as long as the list itself).
    std::string path;
    bool cut = false;
};

// Builds the item tree from a list of files made elsewhere instead of a scan:
// records "SIZE<TAB>PATH", each ended by a NUL byte (as find DIR -type f
// -printf '%s\t%p\0' writes them) or by LF. Every file passes the preset's
// filters as in a scan (hidden when its name starts with "."), folders come
// from the paths, and the folder that holds every record becomes the one
// top-level item, as if it had been dropped; when the records share no folder
// the first components of their paths are the top-level items. A record whose
// path turns out to hold other records is taken as that folder. A relative
// path is taken below workingDir, as a path given on the command line is.
// Records with a malformed size (not digits, or above 2^63 - 1, which no file
// system holds), an empty path, a ".." component, a TAB, CR or LF in the path,
// or a path longer than 259 UTF-16 units are skipped and reported, and so are
// repeats of a path already listed (the first is kept).
// Only the items and a table of folders are kept: memory follows the paths.
class CInventoryReader {
public:
    // Items are numbered from firstId (the document's nextItemId). Relative
    // paths are refused when workingDir is empty (the folder is gone).
    CInventoryReader(CImportSettingsPtr settings, char separator, uint32_t firstId,
                     std::string workingDir = {});

    // Reads the descriptor to its end; false with errno in error when a read
    // fails, or with ECANCELED once stop is set (checked between reads and
    // when a signal ends one).
    bool Read(int fd, int& error, const std::atomic<bool>* stop = nullptr);
    // The same for bytes in memory; a last record may lack its separator.
    void Feed(std::string_view bytes);
    void Finish();

    // The folder (number 0, no path) whose children are the top-level items,
    // sorted as a scan sorts them; null when no file was accepted. The owner
    // hands them to its document as a scan's (AddScannedItems with GetNextId()).
    CPackFolderPtr TakeResult();
    uint32_t GetNextId() const { return nextId_; }
    uint64_t Records() const { return record_; }
    // Complete once TakeResult has found the repeats, in record order; the
    // first thousand are kept.
    const std::vector<InventoryProblem>& Problems() const { return problems_; }
    uint64_t ProblemCount() const { return problemCount_; }

private:
    void Record(std::string_view bytes, bool whole = true);
    bool RecordInLastFolder(std::string_view raw, uint64_t size);
    bool Accepts(std::u16string_view name, uint64_t size);
    void Problem(std::string text, std::string_view path = {}, uint64_t record = 0);
    CPackFolder* FolderFor(std::u16string_view path);
    void AddFile(CPackFolder& folder, std::u16string_view pathOrName, bool named, uint64_t size);
    uint64_t RecordOf(uint32_t id) const;
    void DropRepeats(CPackFolder& folder, bool sorted);

    CImportSettingsPtr settings_;
    char separator_;
    std::string workingDir_;
    std::string absolute_;  // a relative record's path below workingDir_
    // A record that spans pieces; past the longest a record can usefully be,
    // only its start is kept and the record is refused.
    std::string pending_;
    bool pendingCut_ = false;
    uint64_t record_ = 0;
    uint32_t nextId_;
    std::vector<InventoryProblem> problems_;
    uint64_t problemCount_ = 0;

    CPackFolderPtr top_;  // stands for "/" (or the current folder of relative paths)
    CFolderTable folders_;
    CPackFolder* lastFolder_ = nullptr;
    std::u16string lastFolderPath_;
    CPackFolder* lastParent_ = nullptr;  // of the last folder added
    std::u16string lastParentPath_;
    std::u16string path_;
    FindData findData_;
    // Records come folder by folder: while the raw bytes of the folder part
    // stay the same, the folder is known and only the name is decoded.
    std::string rawFolder_;
    CPackFolder* rawFolderItem_ = nullptr;
    size_t rawFolderUnits_ = 0;
    std::u16string name_;
    // Which record made each file: (first id, its record) wherever the ids of
    // files stop following the record numbers (a folder took an id, a record
    // was refused), so a repeat found at the end is reported by its number.
    std::vector<std::pair<uint32_t, uint64_t>> recordOfId_;
};
