#include "packing/ImageSizeEstimate.h"

#include <algorithm>

namespace {

constexpr uint64_t kBlock = CImageSizeEstimate::kBlock;
constexpr uint64_t kSystemArea = 16;
constexpr uint64_t kDescriptors = 3;  // primary, Joliet, set terminator
// The image maker never starts file data before this block, and keeps one
// block after the directories.
constexpr uint64_t kMinMetadataBlocks = 32;
constexpr uint64_t kAfterMetadata = 1;
constexpr uint64_t kPadding = 150;  // 300 KiB, the image maker's default
constexpr uint64_t kMaxRecord = 254;
// Rock Ridge fields of every record: PX (RRIP 1.10), TF with three times.
constexpr uint64_t kPosixFields = 36 + 26;
constexpr uint64_t kNameField = 5;
constexpr uint64_t kContinuation = 28;
constexpr uint64_t kRootExtra = 7 + kContinuation;  // SP and CE on the root's "."
constexpr uint64_t kRootContinuation = 237;         // ER, in the root's continuation area
constexpr uint64_t kIsoNameMax = 31;
// Long Joliet names are cut near 103 units; a little more is counted.
constexpr uint64_t kJolietNameMax = 105;
constexpr uint64_t kMaxExtent = 0xFFFFF800;  // 4 GiB less a block
constexpr uint64_t kNameCollision = 4;       // digits the image maker may add
// Descriptors and anchors a UDF bridge adds beyond its per-entry structures.
constexpr uint64_t kUdfFixedBlocks = 300;

uint64_t DivUp(uint64_t a, uint64_t b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

uint64_t Even(uint64_t n) {
    return n + (n & 1);
}

// Files above 4 GiB - 1 take one record per extent.
uint64_t Sections(uint64_t size, bool folder) {
    if (folder || size <= 0xFFFFFFFFull) return 1;
    return DivUp(size, kMaxExtent);
}

// Characters as the ISO tree's name mapping counts them: a surrogate pair is
// one, every escaped byte of an invalid name one.
uint64_t Characters(std::u16string_view name) {
    uint64_t n = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] < 0xE000)
            ++i;
        ++n;
    }
    return n;
}

// The ISO 9660 names the records are sorted by: upper-case d-characters, the
// last dot kept, cut at the longest name. Only the order and clashes matter
// here, not the exact text.
char16_t IsoChar(std::u16string_view name, size_t i, size_t dot) {
    char16_t c = name[i];
    if (i == dot) return u'.';
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    const bool plain = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    return plain ? c : u'_';
}

// UTF-8 bytes of a name without building it: escaped bytes are one each.
uint64_t Utf8Length(std::u16string_view name) {
    uint64_t n = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x80) {
            n += 1;
        } else if (c < 0x800) {
            n += 2;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
                   name[i + 1] < 0xE000) {
            n += 4;
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            n += 1;
        } else {
            n += 3;
        }
    }
    return n;
}

// The ISO record of an entry and the continuation bytes it needs.
struct IsoRecord {
    uint64_t nameLength;
    uint64_t length;
    uint64_t continuation;
};

IsoRecord MakeIsoRecord(std::u16string_view name, bool folder) {
    const uint64_t chars = Characters(name);
    const uint64_t isoName =
        folder ? std::min(chars, kIsoNameMax) : std::min(chars + 1, kIsoNameMax) + 2;  // ".", ";1"
    const uint64_t nameBytes = Utf8Length(name);
    uint64_t length = Even(33 + isoName) + kPosixFields + kNameField + nameBytes;
    uint64_t continuation = 0;
    if (length > kMaxRecord) {
        continuation = kNameField + nameBytes;
        length = kMaxRecord;
    }
    return {isoName, Even(length), continuation};
}

uint64_t JolietRecord(std::u16string_view name) {
    return 34 + 2 * std::min<uint64_t>(name.size(), kJolietNameMax);
}

struct Record {
    std::u16string_view name;
    size_t dot;  // the ISO name's separator, npos for none
    uint64_t length;
    // Records in a row of this one name and length: the sections of a large
    // file after its first. A file may be as large as 2^63 bytes, and a record
    // apiece would not fit in memory.
    uint64_t count = 1;
};

int IsoCompare(const Record& a, const Record& b) {
    const size_t n = std::min({a.name.size(), b.name.size(), static_cast<size_t>(kIsoNameMax)});
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = IsoChar(a.name, i, a.dot);
        const char16_t y = IsoChar(b.name, i, b.dot);
        if (x != y) return x < y ? -1 : 1;
    }
    const size_t la = std::min(a.name.size(), static_cast<size_t>(kIsoNameMax));
    const size_t lb = std::min(b.name.size(), static_cast<size_t>(kIsoNameMax));
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

// Bytes of a folder's records, in order, when none may cross a block boundary.
uint64_t PackRecords(const std::vector<Record>& records, uint64_t start) {
    uint64_t length = start;
    for (const Record& r : records) {
        uint64_t room = kBlock - length % kBlock;
        // As many as the block has room for, then a block's worth at a time.
        const uint64_t here = std::min(r.count, room / r.length);
        length += here * r.length;
        const uint64_t left = r.count - here;
        if (left == 0) continue;
        room = kBlock - length % kBlock;
        if (room < kBlock) length += room;
        const uint64_t perBlock = kBlock / r.length;
        length += (left - 1) / perBlock * kBlock + ((left - 1) % perBlock + 1) * r.length;
    }
    return DivUp(length, kBlock) * kBlock;
}

}  // namespace

std::u16string_view CImageSizeEstimate::Keep(std::u16string_view text) {
    return kept_.emplace_back(text);
}

uint32_t CImageSizeEstimate::FolderIndex(std::u16string_view path) {
    if (path.empty() || path == u"/") return kRoot;
    auto it = index_.find(std::u16string(path));
    if (it != index_.end()) return it->second;
    const size_t slash = path.rfind(u'/');
    const uint32_t parent =
        FolderIndex(path.substr(0, slash == std::u16string_view::npos ? 0 : slash));
    const uint32_t index =
        AddFolder(parent, Keep(path.substr(slash == std::u16string_view::npos ? 0 : slash + 1)));
    index_.emplace(std::u16string(path), index);
    return index;
}

uint32_t CImageSizeEstimate::AddFolder(uint32_t parent, std::u16string_view name) {
    Push(name, 0, parent, true);
    return folderCount_++;
}

void CImageSizeEstimate::AddFile(std::u16string_view discPath, uint64_t size) {
    const size_t slash = discPath.rfind(u'/');
    if (slash == std::u16string_view::npos) {
        AddFileTo(kRoot, Keep(discPath), size);
    } else {
        AddFileTo(FolderIndex(discPath.substr(0, slash)), Keep(discPath.substr(slash + 1)), size);
    }
}

void CImageSizeEstimate::AddFileTo(uint32_t folder, std::u16string_view name, uint64_t size) {
    Push(name, size, folder, false);
    dataBlocks_ += DivUp(size, kBlock);
}

void CImageSizeEstimate::Push(std::u16string_view name, uint64_t size, uint32_t parent,
                              bool folder) {
    const IsoRecord record = MakeIsoRecord(name, folder);
    const size_t dot = folder ? std::u16string_view::npos : name.rfind(u'.');
    entries_.push_back(
        Entry{name, size, parent, folder, static_cast<uint16_t>(record.nameLength),
              static_cast<uint16_t>(record.length), static_cast<uint16_t>(record.continuation),
              dot == std::u16string_view::npos ? kNoDot : static_cast<uint16_t>(dot)});
}

uint64_t CImageSizeEstimate::Blocks() const {
    uint64_t isoBlocks = 0;
    uint64_t jolietBlocks = 0;
    uint64_t udfBlocks = 0;
    uint64_t isoPathTable = 10;  // the root's entry
    uint64_t jolietPathTable = 10;
    // The entries folder by folder, in the order they came.
    std::vector<uint32_t> start(static_cast<size_t>(folderCount_) + 1, 0);
    for (const Entry& e : entries_)
        ++start[e.parent + 1];
    for (size_t f = 1; f < start.size(); ++f)
        start[f] += start[f - 1];
    std::vector<const Entry*> order(entries_.size());
    {
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (const Entry& e : entries_)
            order[next[e.parent]++] = &e;
    }
    std::vector<Record> iso;
    std::vector<Record> joliet;
    for (size_t f = 0; f < folderCount_; ++f) {
        const bool root = f == 0;
        iso.clear();
        joliet.clear();
        uint64_t continuation = root ? kRootContinuation : 0;
        uint64_t udfIdentifiers = 40;
        for (size_t i = start[f]; i < start[f + 1]; ++i) {
            const Entry& e = *order[i];
            continuation += e.continuation;
            const size_t dot = e.dot == kNoDot ? std::u16string::npos : e.dot;
            const uint64_t jolietName = std::min<uint64_t>(e.name.size(), kJolietNameMax);
            const uint64_t sections = Sections(e.size, e.folder);
            for (uint64_t s = 0; s < std::min<uint64_t>(sections, 2); ++s) {
                const uint64_t count = s == 0 ? 1 : sections - 1;
                iso.push_back(Record{e.name, dot, e.isoLength, count});
                joliet.push_back(Record{e.name, std::u16string::npos, JolietRecord(e.name), count});
            }
            if (e.folder) {
                isoPathTable += Even(8 + e.isoNameLength);
                jolietPathTable += 8 + 2 * jolietName;
            }
            udfIdentifiers += (38 + 1 + 2 * e.name.size() + 3) / 4 * 4;
        }
        // Names the image maker has to tell apart get digits added.
        // A file's first section ahead of the rest, which all clash with it.
        std::sort(iso.begin(), iso.end(), [](const Record& a, const Record& b) {
            const int c = IsoCompare(a, b);
            return c != 0 ? c < 0 : a.count < b.count;
        });
        std::sort(joliet.begin(), joliet.end(),
                  [](const Record& a, const Record& b) { return a.name < b.name; });
        for (size_t i = 1; i < iso.size(); ++i) {
            if (IsoCompare(iso[i], iso[i - 1]) == 0)
                iso[i].length = Even(std::min<uint64_t>(iso[i].length + kNameCollision, 255));
        }
        const uint64_t dot = Even(34 + kPosixFields + (root ? kRootExtra : 0));
        const uint64_t dotDot = 34 + kPosixFields;
        isoBlocks += PackRecords(iso, dot + dotDot) / kBlock + DivUp(continuation, kBlock);
        jolietBlocks += PackRecords(joliet, 68) / kBlock;
        udfBlocks += 1 + DivUp(udfIdentifiers, kBlock);
        for (size_t i = start[f]; i < start[f + 1]; ++i) {
            if (!order[i]->folder) ++udfBlocks;  // its file entry
        }
    }
    const uint64_t metadata = kSystemArea + kDescriptors + isoBlocks + jolietBlocks +
                              2 * DivUp(isoPathTable, kBlock) + 2 * DivUp(jolietPathTable, kBlock);
    uint64_t blocks =
        std::max(metadata, kMinMetadataBlocks) + kAfterMetadata + dataBlocks_ + kPadding;
    if (udf_) blocks += udfBlocks + kUdfFixedBlocks;
    return blocks;
}

uint64_t CImageSizeEstimate::FileCost(std::u16string_view name, uint64_t size) {
    const IsoRecord record = MakeIsoRecord(name, false);
    // A renamed top-level item may grow its name a little ("~2").
    constexpr uint64_t kRenameRoom = 8;
    return DivUp(size, kBlock) * kBlock +
           Sections(size, false) * (record.length + JolietRecord(name) + 2 * kRenameRoom) +
           record.continuation;
}
