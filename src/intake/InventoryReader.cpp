#include "intake/InventoryReader.h"

#include <unistd.h>

#include <boost/make_shared.hpp>

#include <cerrno>

#include "model/PackItemSorter.h"
#include "support/TextCodec.h"

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr size_t kMaxProblemsKept = 1000;

// Levels as a scan gives them: top-level items 1, their children 2, ...
void SetLevels(CPackItem& item, uint32_t level) {
    item.level = level;
    if (CPackFolder* folder = item.AsFolder()) {
        for (const CPackItemPtr& child : folder->children)
            SetLevels(*child, level + 1);
    }
}

std::string Shown(std::string_view bytes) {
    return zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(bytes)));
}

}  // namespace

CInventoryReader::CInventoryReader(CImportSettingsPtr settings, char separator, uint32_t firstId)
    : settings_(std::move(settings)),
      separator_(separator),
      nextId_(firstId),
      top_(boost::make_shared<CPackFolder>(0, std::u16string_view(), 0)) {}

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
        if (end == std::string_view::npos) {
            pending_.append(bytes.substr(start));
            return;
        }
        if (pending_.empty()) {
            Record(bytes.substr(start, end - start));
        } else {
            pending_.append(bytes.substr(start, end - start));
            Record(pending_);
            pending_.clear();
        }
        start = end + 1;
    }
}

void CInventoryReader::Finish() {
    if (!pending_.empty()) Record(pending_);
    pending_.clear();
}

void CInventoryReader::Problem(std::string text) {
    ++problemCount_;
    if (problems_.size() < kMaxProblemsKept) problems_.push_back({record_, std::move(text)});
}

void CInventoryReader::Record(std::string_view bytes) {
    ++record_;
    if (separator_ == '\n' && !bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    if (bytes.empty()) return;  // a blank line or a doubled separator ends nothing
    const size_t tab = bytes.find('\t');
    if (tab == std::string_view::npos || tab == 0) {
        Problem("「サイズ<TAB>パス」の形ではありません");
        return;
    }
    uint64_t size = 0;
    for (char c : bytes.substr(0, tab)) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (c < '0' || c > '9' || size > (UINT64_MAX - digit) / 10) {
            Problem("サイズが正しくありません: " + Shown(bytes.substr(tab + 1)));
            return;
        }
        size = size * 10 + digit;
    }
    std::string_view raw = bytes.substr(tab + 1);
    if (raw.find_first_of("\t\r\n") != std::string_view::npos) {
        Problem("名前にタブまたは改行が含まれています: " + Shown(raw));
        return;
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
            Problem("パスに「..」が含まれています: " + Shown(raw));
            return;
        }
        if (!path_.empty() && path_.back() != u'/') path_ += u'/';
        zel::DecodeFileNameAppend(part, path_);
    }
    if (path_.empty() || path_ == u"/") {
        Problem("パスがありません");
        return;
    }
    if (path_.size() > kMaxPathUnits) {
        Problem("パスが長すぎます: " + Shown(raw));
        return;
    }
    if (folders_.count(path_) != 0) return;  // a folder's own record

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
    folder->CreateChild(nextId_++, path_, size);

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
    uint32_t attributes = kAttrArchive;
    if (name.front() == u'.') attributes |= kAttrHidden;
    findData_.fileName.assign(name);
    findData_.attributes = attributes;
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
        Problem("パスが長すぎます: " + Shown(raw));
        return true;
    }
    if (hasSubfolders_.count(rawFolderItem_) != 0) {
        path_ = rawFolderItem_->GetPath();
        path_ += u'/';
        path_ += name_;
        if (folders_.count(path_) != 0) return true;  // a folder's own record
    }
    if (Accepts(name_, size)) rawFolderItem_->CreateNamedChild(nextId_++, name_, size);
    return true;
}

CPackFolder* CInventoryReader::FolderFor(std::u16string_view path) {
    if (path.empty() || path == u"/") return top_.get();
    if (lastFolder_ && path == lastFolderPath_) return lastFolder_;
    auto it = folders_.find(std::u16string(path));
    CPackFolder* folder = nullptr;
    if (it != folders_.end()) {
        folder = it->second;
    } else {
        const size_t slash = path.rfind(u'/');
        const std::u16string_view parentPath = slash == std::u16string_view::npos
                                                   ? std::u16string_view()
                                                   : path.substr(0, slash == 0 ? 1 : slash);
        CPackFolder* parent = FolderFor(parentPath);
        // The folder's own record came first (find lists a folder before its
        // contents) and was taken as a file: it is the folder.
        const std::u16string_view name =
            slash == std::u16string_view::npos ? path : path.substr(slash + 1);
        auto& siblings = parent->children;
        for (auto child = siblings.rbegin(); child != siblings.rend(); ++child) {
            // Top-level items may differ in their leading "/" alone.
            const bool same = parent == top_.get() ? (*child)->GetPath() == path
                                                   : (*child)->GetFileName() == name;
            if (!(*child)->IsFolder() && same) {
                siblings.erase(std::next(child).base());
                break;
            }
        }
        auto created = boost::make_shared<CPackFolder>(nextId_++, path, 0);
        folder = created.get();
        hasSubfolders_.insert(parent);
        parent->AddChild(std::move(created));
        folders_.emplace(std::u16string(path), folder);
    }
    lastFolder_ = folder;
    lastFolderPath_.assign(path);
    return folder;
}

CPackFolderPtr CInventoryReader::TakeResult() {
    Finish();
    folders_.clear();
    hasSubfolders_.clear();
    lastFolder_ = nullptr;
    rawFolderItem_ = nullptr;
    if (top_->children.empty()) return nullptr;
    // Down to the folder that holds every record.
    CPackFolderPtr holder = top_;
    while (holder->children.size() == 1 && holder->children.front()->IsFolder()) {
        CPackItemPtr only = holder->children.front();
        auto next = boost::static_pointer_cast<CPackFolder>(only);
        if (next->children.empty()) break;
        holder = next;
    }
    auto result = boost::make_shared<CPackFolder>(0, std::u16string_view(), 0);
    if (holder == top_) {
        for (CPackItemPtr& child : top_->children)
            result->AppendChild(std::move(child));
    } else {
        result->AppendChild(holder);
    }
    top_->children.clear();
    for (const CPackItemPtr& child : result->children) {
        CPackItemSorter sorter;
        child->Accept(sorter);
        SetLevels(*child, 1);
    }
    return result;
}
