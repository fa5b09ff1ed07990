#include "intake/InventoryReader.h"

#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "model/PackItemSorter.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr size_t kMaxProblemsKept = 1000;
// The kernel takes no path of more than 4,096 bytes, and a size has at most 19
// digits: a longer record is refused whole, whatever it holds.
constexpr size_t kMaxRecordBytes = 4096 + 32;
// What a problem keeps of a path: more than the longest path the list takes.
constexpr size_t kMaxShownBytes = 1024;
// No file system holds a file of 2^63 bytes or more (file offsets are signed).
constexpr uint64_t kMaxSize = INT64_MAX;

// Levels as a scan gives them: top-level items 1, their children 2, ...
void SetLevels(CPackItem& item, uint32_t level) {
    item.level = level;
    if (CPackFolder* folder = item.AsFolder()) {
        for (const CPackItemPtr& child : folder->children)
            SetLevels(*child, level + 1);
    }
}

// The start of bytes that fits limit, not cut inside a UTF-8 sequence.
std::string_view Cut(std::string_view bytes, size_t limit) {
    if (bytes.size() <= limit) return bytes;
    size_t end = limit;
    for (size_t back = 0; back < 3 && end > 0 && (bytes[end] & 0xC0) == 0x80; ++back)
        --end;
    return bytes.substr(0, end);
}

}  // namespace

CInventoryReader::CInventoryReader(CImportSettingsPtr settings, char separator, uint32_t firstId,
                                   std::string workingDir)
    : settings_(std::move(settings)),
      separator_(separator),
      workingDir_(std::move(workingDir)),
      nextId_(firstId),
      top_(CPackFolder::Create(0, std::u16string_view(), 0)) {}

bool CInventoryReader::Read(int fd, int& error, const std::atomic<bool>* stop) {
    std::string buffer(kChunk, '\0');
    for (;;) {
        if (stop && stop->load()) {
            error = ECANCELED;
            return false;
        }
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) break;
        Feed(std::string_view(buffer.data(), static_cast<size_t>(n)));
    }
    Finish();
    return true;
}

void CInventoryReader::Feed(std::string_view bytes) {
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find(separator_, start);
        const std::string_view part =
            bytes.substr(start, end == std::string_view::npos ? end : end - start);
        if (pending_.empty() && !pendingCut_ && end != std::string_view::npos) {
            Record(part);
        } else {
            const size_t room =
                kMaxRecordBytes + 1 - std::min(pending_.size(), kMaxRecordBytes + 1);
            pending_.append(part.substr(0, room));
            if (part.size() > room) pendingCut_ = true;
            if (end == std::string_view::npos) return;
            Record(pending_, !pendingCut_);
            pending_.clear();
            pendingCut_ = false;
        }
        start = end + 1;
    }
}

void CInventoryReader::Finish() {
    if (!pending_.empty()) Record(pending_, !pendingCut_);
    pending_.clear();
    pendingCut_ = false;
}

void CInventoryReader::Problem(std::string text, std::string_view path, uint64_t record) {
    ++problemCount_;
    if (problems_.size() >= kMaxProblemsKept) return;
    const std::string_view kept = Cut(path, kMaxShownBytes);
    problems_.push_back(
        {record != 0 ? record : record_, std::move(text), std::string(kept), kept != path});
}

void CInventoryReader::Record(std::string_view bytes, bool whole) {
    ++record_;
    if (separator_ == '\n' && !bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    if (bytes.empty()) return;  // a blank line or a doubled separator ends nothing
    const size_t tab = bytes.find('\t');
    if (!whole || bytes.size() > kMaxRecordBytes) {
        Problem(Tr("レコードが長すぎます"),
                tab == std::string_view::npos ? std::string_view() : bytes.substr(tab + 1));
        return;
    }
    if (tab == std::string_view::npos || tab == 0) {
        Problem(Tr("「サイズ<TAB>パス」の形ではありません"));
        return;
    }
    uint64_t size = 0;
    for (char c : bytes.substr(0, tab)) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (c < '0' || c > '9' || size > (kMaxSize - digit) / 10) {
            Problem(Tr("サイズが正しくありません"), bytes.substr(tab + 1));
            return;
        }
        size = size * 10 + digit;
    }
    std::string_view raw = bytes.substr(tab + 1);
    if (zel::HasTabOrLineBreak(raw)) {
        Problem(Tr("名前にタブまたは改行が含まれています"), raw);
        return;
    }
    if (!raw.empty() && raw.front() != '/') {
        if (workingDir_.empty()) {
            Problem(Tr("作業フォルダがないため、相対パスを読み込めません"), raw);
            return;
        }
        absolute_.assign(workingDir_);
        absolute_ += '/';
        absolute_.append(raw);
        raw = absolute_;
    }
    if (RecordInLastFolder(raw, size)) return;
    // The path as a scan would keep it: no doubled "/", no "./", no trailing "/".
    path_.clear();
    if (!raw.empty() && raw.front() == '/') path_ += u'/';
    size_t pos = 0;
    while (pos <= raw.size()) {
        size_t next = raw.find('/', pos);
        if (next == std::string_view::npos) next = raw.size();
        std::string_view part = raw.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            Problem(Tr("パスに「..」が含まれています"), raw);
            return;
        }
        if (!path_.empty() && path_.back() != u'/') path_ += u'/';
        zel::DecodeFileNameAppend(part, path_);
    }
    if (path_.empty() || path_ == u"/") {
        Problem(Tr("パスがありません"));
        return;
    }
    if (path_.size() > kMaxPathUnits) {
        Problem(Tr("パスが長すぎます"), raw);
        return;
    }

    const size_t slash = path_.rfind(u'/');
    const std::u16string_view name = slash == std::u16string::npos
                                         ? std::u16string_view(path_)
                                         : std::u16string_view(path_).substr(slash + 1);
    if (!Accepts(name, size)) return;

    const std::u16string_view parent =
        slash == std::u16string::npos
            ? std::u16string_view()
            : std::u16string_view(path_).substr(0, slash == 0 ? 1 : slash);
    CPackFolder* folder = FolderFor(parent);
    AddFile(*folder, path_, false, size);

    const size_t rawSlash = raw.rfind('/');
    const std::string_view rawName =
        rawSlash == std::string_view::npos ? raw : raw.substr(rawSlash + 1);
    rawFolderItem_ = nullptr;
    if (folder != top_.get() && rawSlash != std::string_view::npos && rawName != "." &&
        !rawName.empty()) {
        rawFolder_.assign(raw.substr(0, rawSlash));
        rawFolderItem_ = folder;
        rawFolderUnits_ = parent.size();
    }
}

bool CInventoryReader::Accepts(std::u16string_view name, uint64_t size) {
    findData_.fileName.assign(name);
    // An inventory carries no permission bits: its files count as writable.
    findData_.attributes = FileAttributes(name, S_IWUSR);
    findData_.size = size;
    return settings_ && settings_->Accepts(findData_);
}

// The common case of a record in the same folder as the last one taken: the
// same checks as a whole record, on the name alone. False when the record
// needs the whole treatment.
bool CInventoryReader::RecordInLastFolder(std::string_view raw, uint64_t size) {
    if (!rawFolderItem_ || raw.size() <= rawFolder_.size() || raw[rawFolder_.size()] != '/' ||
        raw.compare(0, rawFolder_.size(), rawFolder_) != 0) {
        return false;
    }
    const std::string_view rawName = raw.substr(rawFolder_.size() + 1);
    if (rawName.empty() || rawName == "." || rawName == ".." ||
        rawName.find('/') != std::string_view::npos) {
        return false;
    }
    name_.clear();
    zel::DecodeFileNameAppend(rawName, name_);
    if (rawFolderUnits_ + 1 + name_.size() > kMaxPathUnits) {
        Problem(Tr("パスが長すぎます"), raw);
        return true;
    }
    if (Accepts(name_, size)) AddFile(*rawFolderItem_, name_, true, size);
    return true;
}

void CInventoryReader::AddFile(CPackFolder& folder, std::u16string_view pathOrName, bool named,
                               uint64_t size) {
    const uint32_t id = nextId_++;
    if (recordOfId_.empty() ||
        recordOfId_.back().second + (id - recordOfId_.back().first) != record_) {
        recordOfId_.emplace_back(id, record_);
    }
    if (named) {
        folder.CreateNamedChild(id, pathOrName, size);
    } else {
        folder.CreateChild(id, pathOrName, size);
    }
}

uint64_t CInventoryReader::RecordOf(uint32_t id) const {
    auto it =
        std::upper_bound(recordOfId_.begin(), recordOfId_.end(), id,
                         [](uint32_t value, const auto& entry) { return value < entry.first; });
    if (it == recordOfId_.begin()) return 0;
    --it;
    return it->second + (id - it->first);
}

CPackFolder* CInventoryReader::FolderFor(std::u16string_view path) {
    if (path.empty() || path == u"/") return top_.get();
    if (lastFolder_ && path == lastFolderPath_) return lastFolder_;
    const size_t slash = path.rfind(u'/');
    const std::u16string_view parentPath = slash == std::u16string_view::npos
                                               ? std::u16string_view()
                                               : path.substr(0, slash == 0 ? 1 : slash);
    const std::u16string_view name =
        slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    // Many folders of one folder come in a row (an object store, a mail
    // folder): their parent is the last one's.
    CPackFolder* parent =
        lastParent_ && parentPath == lastParentPath_ ? lastParent_ : FolderFor(parentPath);
    CPackFolder* folder = folders_.Find(parent, name);
    if (!folder) {
        // A record of this folder taken as a file (find lists a folder before
        // its contents) is dropped at the end, when the children are sorted:
        // looking for it among the siblings at every new folder would make a
        // folder of many subfolders cost their square.
        auto created = CPackFolder::Create(nextId_++, path, 0);
        folder = created.get();
        parent->AddChild(std::move(created));
        folders_.Add(folder);
    }
    lastParent_ = parent;
    lastParentPath_.assign(parentPath);
    lastFolder_ = folder;
    lastFolderPath_.assign(path);
    return folder;
}

// A file named like a folder beside it is that folder's own record, taken as
// a file before the records below it came; a file named like another file
// repeats a record. In a sorted folder both lie side by side: the folders and
// the files each run in the same order of names.
void CInventoryReader::DropRepeats(CPackFolder& folder, bool sorted) {
    auto& children = folder.children;
    bool dropped = false;
    auto repeat = [&](const CPackItem& first, CPackItem& later) {
        later.eraseMark = 1;
        dropped = true;
        Problem(TrFormat("レコード {record} と同じパスです",
                         fmt::arg("record", RecordOf(first.GetId()))),
                zel::EncodeFileName(later.GetPath()), RecordOf(later.GetId()));
    };
    if (sorted) {
        const auto files = std::find_if(children.begin(), children.end(),
                                        [](const CPackItemPtr& c) { return !c->IsFolder(); });
        // As SortChildren orders names: without regard to case, then exactly.
        auto less = [](ItemText a, ItemText b) {
            const int c = ComparePathsNoCase(a, b);
            return c != 0 ? c < 0 : a < b;
        };
        auto sub = children.begin();
        CPackItem* kept = nullptr;
        for (auto file = files; file != children.end(); ++file) {
            const ItemText name = (*file)->GetFileName();
            while (sub != files && less((*sub)->GetFileName(), name))
                ++sub;
            if (sub != files && (*sub)->GetFileName() == name) {
                (*file)->eraseMark = 1;
                dropped = true;
            } else if (kept && kept->GetFileName() == name) {
                // Equal names may sort either way; the lower number came first.
                CPackItem* first = kept;
                CPackItem* later = file->get();
                if (later->GetId() < first->GetId()) std::swap(first, later);
                repeat(*first, *later);
                kept = first;
            } else {
                kept = file->get();
            }
        }
    } else {
        std::unordered_map<ItemText, const CPackItem*> seen;
        for (const CPackItemPtr& child : children) {
            if (child->IsFolder()) seen.emplace(child->GetFileName(), child.get());
        }
        for (const CPackItemPtr& child : children) {
            if (child->IsFolder()) continue;
            const auto [it, added] = seen.emplace(child->GetFileName(), child.get());
            if (added) continue;
            if (it->second->IsFolder()) {
                child->eraseMark = 1;
                dropped = true;
            } else {
                repeat(*it->second, *child);
            }
        }
    }
    if (dropped) folder.EraseMarked();
    for (const CPackItemPtr& child : children) {
        if (CPackFolder* sub = child->AsFolder()) DropRepeats(*sub, true);
    }
}

CPackFolderPtr CInventoryReader::TakeResult() {
    Finish();
    folders_.Clear();
    lastFolder_ = nullptr;
    lastParent_ = nullptr;
    rawFolderItem_ = nullptr;
    // Every folder sorted as a scan sorts it; the top level keeps the order
    // of the records.
    CPackItemSorter sorter;
    for (const CPackItemPtr& child : top_->children)
        child->Accept(sorter);
    DropRepeats(*top_, false);
    recordOfId_.clear();
    std::stable_sort(
        problems_.begin(), problems_.end(),
        [](const InventoryProblem& a, const InventoryProblem& b) { return a.record < b.record; });
    if (top_->children.empty()) return nullptr;
    // Down to the folder that holds every record.
    CPackFolderPtr holder = top_;
    while (holder->children.size() == 1 && holder->children.front()->IsFolder()) {
        CPackItemPtr only = holder->children.front();
        auto next = boost::static_pointer_cast<CPackFolder>(only);
        if (next->children.empty()) break;
        holder = next;
    }
    auto result = CPackFolder::Create(0, std::u16string_view(), 0);
    if (holder == top_) {
        for (CPackItemPtr& child : top_->children)
            result->AppendChild(std::move(child));
    } else {
        result->AppendChild(holder);
    }
    top_->children.clear();
    for (const CPackItemPtr& child : result->children)
        SetLevels(*child, 1);
    return result;
}
