#include "intake/AddFileWorker.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <memory>
#include <new>
#include <thread>

#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"
#include "support/ReadAheadLister.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

// Listings held ready ahead of the walk: enough to keep every reader busy
// while the walk is elsewhere, few enough that a tree of huge folders stays small.
constexpr size_t kReadyListings = 64;

}  // namespace

CAddFileWorker::CAddFileWorker(zel::IFileSystem& fs, const CCorvelinDoc& doc,
                               CImportSettingsPtr settings, std::vector<std::string> paths,
                               IZelPostTarget* target)
    : fs_(fs),
      settings_(std::move(settings)),
      paths_(std::move(paths)),
      target_(target),
      firstId_(doc.nextItemId),
      nextId_(doc.nextItemId) {}

unsigned CAddFileWorker::DefaultReaders() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(2 * cores, 4u, 16u);
}

CAddFileWorker::~CAddFileWorker() {
    // Run uses this object's fields: stop it before they go, not in the base.
    Cancel();
    Join();
}

uint32_t CAddFileWorker::Run() {
    try {
        std::unique_ptr<zel::ReadAheadLister> lister;
        if (readAhead_ > 0) {
            // The readers walk ahead on their own, entering what this walk enters.
            const auto follow = [](const std::string& folder, const zel::DirEntry& entry) {
                if (zel::HasTabOrLineBreak(entry.name)) return false;
                const size_t units =
                    zel::DecodeFileName(folder).size() + 1 + zel::DecodeFileName(entry.name).size();
                return units <= kMaxPathUnits;
            };
            lister =
                std::make_unique<zel::ReadAheadLister>(fs_, kReadyListings, readAhead_, follow);
        }
        lister_ = lister.get();
        struct ClearLister {
            zel::ReadAheadLister*& pointer;
            ~ClearLister() { pointer = nullptr; }
        } clearLister{lister_};
        // While the readers already list the first folders.
        if (archiveCheck_) archiveCheck_->Prepare();
        nextId_ = firstId_;
        refused_ = 0;
        entered_.clear();
        const std::vector<bool> nested = NestedDroppedPaths(paths_);
        for (size_t p = 0; p < paths_.size(); ++p) {
            const std::string& path = paths_[p];
            if (nested[p]) {
                skipped_.push_back({path, SkipReason::InsideDroppedPath, 0});
                continue;
            }
            // Each folder sorted its children as it ended, while they were in the cache.
            CPackItemPtr item = ScanPath(path);
            if (item) results_.push_back(std::move(item));
            if (cancel_.load() != 0) {
                results_.clear();
                skipped_.clear();
                Post(ScanNotice::Cancelled);
                return 0;
            }
        }

        auto result = CPackFolder::Create(0, std::u16string_view(), 0);
        // Not AddChild: the items get their parent and level from the root.
        result->children = std::move(results_);
        results_.clear();
        result_ = std::move(result);
        completed_.store(true);
    } catch (const std::bad_alloc&) {
        errorText_ = Tr16("メモリが足りないため、ファイルを追加できませんでした。");
    } catch (const std::exception& e) {
        errorText_ = Tr16Format("ファイルを追加できませんでした。\n{reason}",
                                fmt::arg("reason", std::string(e.what())));
    } catch (...) {
        errorText_ = Tr16("ファイルを追加できませんでした。");
    }
    if (!completed_.load()) {
        results_.clear();
        skipped_.clear();
        Post(ScanNotice::Failed);
        return 1;
    }
    Post(ScanNotice::Finished);
    return 0;
}

bool CAddFileWorker::CommitTo(CCorvelinDoc& doc) {
    if (!completed_.load() || committed_ || !result_) return false;
    doc.AddScannedItems(*result_, nextId_);
    committed_ = true;
    return true;
}

CPackItemPtr CAddFileWorker::ScanPath(const std::string& path, uint32_t level) {
    pathBytes_ = path;
    pathText_.clear();
    zel::DecodeFileNameAppend(path, pathText_);
    if (!Usable(pathBytes_)) return nullptr;

    zel::FileStat st;
    const int error = fs_.Stat(pathBytes_, st);
    if (error != 0) {
        // Taken as a folder that cannot be listed: it uses up its number.
        ++nextId_;
        zel::FileStat self;
        const bool link = fs_.Lstat(pathBytes_, self) == 0 && self.kind == zel::FileKind::Symlink;
        Skip(link ? SkipReason::DanglingLink
                  : (error == ENOENT ? SkipReason::MissingPath : SkipReason::StatFailed),
             error);
        return nullptr;
    }
    switch (st.kind) {
        case zel::FileKind::Directory:
            ancestors_.clear();
            if (!Enter(st)) return nullptr;
            return ScanCurrentFolder(level);
        case zel::FileKind::Regular: {
            PublishCurrentPath();
            const size_t slash = pathText_.rfind(u'/');
            const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
            if (!Accepts(std::u16string_view(pathText_).substr(nameStart), st)) return nullptr;
            const ArchiveVerdict verdict =
                archiveCheck_ ? archiveCheck_->Check(pathBytes_, st.size, st.mtimeNs)
                              : ArchiveVerdict::New;
            if (verdict == ArchiveVerdict::Archived) return nullptr;
            auto item = CPackItem::Create(nextId_++, pathText_, st.size);
            item->archiveChanged = verdict == ArchiveVerdict::Changed;
            return item;
        }
        default:
            Skip(SkipReason::SpecialFile, 0);
            return nullptr;
    }
}

CPackFolderPtr CAddFileWorker::ScanFolder(const std::string& path, uint32_t level) {
    pathBytes_ = path;
    pathText_.clear();
    zel::DecodeFileNameAppend(path, pathText_);
    if (!Usable(pathBytes_)) return nullptr;
    ancestors_.clear();
    zel::FileStat st;
    if (fs_.Stat(pathBytes_, st) == 0 && !Enter(st)) return nullptr;
    return ScanCurrentFolder(level);
}

CPackFolderPtr CAddFileWorker::ScanCurrentFolder(uint32_t level) {
    auto folder = CPackFolder::Create(nextId_++, pathText_, 0);
    folder->level = level;
    PublishCurrentPath();

    std::vector<zel::DirEntry> entries;
    const int error =
        lister_ ? lister_->List(pathBytes_, entries) : fs_.ListFolder(pathBytes_, entries);
    if (error != 0) {
        Skip(SkipReason::UnreadableFolder, error);
        return nullptr;
    }

    const size_t bytesEnd = pathBytes_.size();
    const size_t textEnd = pathText_.size();
    if (pathBytes_.empty() || pathBytes_.back() != '/') {  // "/" itself ends with one
        pathBytes_ += '/';
        pathText_ += u'/';
    }
    const size_t bytesBase = pathBytes_.size();
    const size_t textBase = pathText_.size();
    // Most entries become children: grown by doubling, the lists of a large
    // scan would hold a quarter more room than they use.
    folder->children.reserve(entries.size());
    for (const zel::DirEntry& entry : entries) {
        pathBytes_ += entry.name;
        zel::DecodeFileNameAppend(entry.name, pathText_);
        ScanEntry(*folder, entry, textBase, level);
        pathBytes_.resize(bytesBase);
        pathText_.resize(textBase);
        if (cancel_.load(std::memory_order_relaxed) != 0) break;
    }
    pathBytes_.resize(bytesEnd);
    pathText_.resize(textEnd);

    if (folder->children.empty()) return nullptr;
    if (folder->children.size() < folder->children.capacity() / 4 * 3)
        folder->children.shrink_to_fit();
    folder->SortChildren();
    return folder;
}

// The entry's full path is in pathBytes_ and pathText_; its name starts at nameStart.
void CAddFileWorker::ScanEntry(CPackFolder& folder, const zel::DirEntry& entry, size_t nameStart,
                               uint32_t level) {
    if (entry.statError != 0) {
        SkipReason reason = SkipReason::StatFailed;
        if (entry.isLink && entry.statError == ELOOP) {
            reason = SkipReason::LinkLoop;
        } else if (entry.isLink && (entry.statError == ENOENT || entry.statError == ENOTDIR)) {
            reason = SkipReason::DanglingLink;
        }
        Skip(reason, entry.statError);
        return;
    }

    const zel::FileStat& st = entry.stat;
    switch (st.kind) {
        case zel::FileKind::Directory: {
            if (!Usable(entry.name)) return;
            if (!Enter(st)) return;
            CPackFolderPtr sub = ScanCurrentFolder(level + 1);
            ancestors_.pop_back();
            if (sub) folder.AddChild(std::move(sub));
            return;
        }
        case zel::FileKind::Regular:
            // Filters first: a refused file is not worth a report.
            if (!Accepts(std::u16string_view(pathText_).substr(nameStart), st)) return;
            if (!Usable(entry.name)) return;
            if (archiveCheck_) {
                const ArchiveVerdict verdict =
                    archiveCheck_->Check(pathBytes_, st.size, st.mtimeNs);
                if (verdict == ArchiveVerdict::Archived) return;
                folder.CreateNamedChild(nextId_++, std::u16string_view(pathText_).substr(nameStart),
                                        st.size);
                folder.children.back()->archiveChanged = verdict == ArchiveVerdict::Changed;
                return;
            }
            folder.CreateNamedChild(nextId_++, std::u16string_view(pathText_).substr(nameStart),
                                    st.size);
            return;
        default:
            Skip(SkipReason::SpecialFile, 0);
            return;
    }
}

// A cut path could name another file or the parent folder again, and a line
// break would split the export's record: such entries are left out, never altered.
bool CAddFileWorker::Usable(std::string_view bytesToCheck) {
    if (zel::HasTabOrLineBreak(bytesToCheck)) {
        Skip(SkipReason::ControlCharacter, 0);
        return false;
    }
    if (pathText_.size() > kMaxPathUnits) {
        Skip(SkipReason::PathTooLong, 0);
        return false;
    }
    return true;
}

bool CAddFileWorker::Accepts(std::u16string_view name, const zel::FileStat& st) {
    if (!settings_) {
        ++refused_;
        return false;
    }
    findData_.fileName.assign(name);
    findData_.attributes = FileAttributes(name, st.mode);
    findData_.size = st.size;
    if (settings_->Accepts(findData_)) return true;
    ++refused_;
    return false;
}

bool CAddFileWorker::IsAncestor(const zel::FileStat& st) const {
    const FolderKey key(st.device, st.inode);
    for (const FolderKey& ancestor : ancestors_) {
        if (ancestor == key) return true;
    }
    return false;
}

// Records the folder as entered and pushes it onto the ancestors, or reports
// why it is not entered again.
bool CAddFileWorker::Enter(const zel::FileStat& st) {
    if (IsAncestor(st)) {
        Skip(SkipReason::LinkLoop, 0);
        return false;
    }
    const FolderKey key(st.device, st.inode);
    if (!entered_.insert(key).second) {
        Skip(SkipReason::AlreadyEntered, 0);
        return false;
    }
    ancestors_.push_back(key);
    return true;
}

std::vector<bool> CAddFileWorker::NestedDroppedPaths(const std::vector<std::string>& paths) {
    const std::unordered_set<std::string> dropped(paths.begin(), paths.end());
    std::unordered_set<std::string> seen;
    std::vector<bool> nested(paths.size(), false);
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        if (!seen.insert(path).second) {
            nested[i] = true;
            continue;
        }
        for (size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            const std::string holder = path.substr(0, slash == 0 ? 1 : slash);
            if (holder != path && dropped.count(holder) != 0) {
                nested[i] = true;
                break;
            }
        }
    }
    return nested;
}

std::u16string CAddFileWorker::GetCurrentPath() const {
    ZelScopedLock lock(&currentPathLock_);
    return currentPath_;
}

void CAddFileWorker::PublishCurrentPath() {
    {
        ZelScopedLock lock(&currentPathLock_);
        currentPath_ = pathText_;
    }
    Post(ScanNotice::PathChanged);
}

void CAddFileWorker::Post(ScanNotice notice) {
    if (target_) target_->Post(notice);
}
