#include "packing/ImageSizeEstimate.h"

#include <algorithm>
#include <cstring>

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
// Long Joliet names are cut at 103 units; a little more is counted.
constexpr uint64_t kJolietNameCut = 103;
constexpr uint64_t kJolietNameMax = 105;
constexpr uint64_t kMaxExtent = 0xFFFFF800;  // 4 GiB less a block
// Descriptors and anchors a UDF bridge adds beyond its per-entry structures.
constexpr uint64_t kUdfFixedBlocks = 240;

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

// A surrogate pair starts at i.
bool Pair(ItemText name, size_t i) {
    return name[i] >= 0xD800 && name[i] < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
           name[i + 1] < 0xE000;
}

// Characters as the ISO tree's name mapping counts them: a surrogate pair is
// one, every escaped byte of an invalid name one.
uint64_t Characters(ItemText name) {
    if (name.IsNarrow()) return name.size();  // no pairs, no escaped bytes
    uint64_t n = 0;
    for (size_t i = 0; i < name.size(); ++i, ++n) {
        if (Pair(name, i)) ++i;
    }
    return n;
}

// UTF-8 bytes of a name without building it: escaped bytes are one each.
uint64_t Utf8Length(ItemText name) {
    if (name.IsNarrow()) {
        uint64_t n = name.size();
        for (size_t i = 0; i < name.size(); ++i)
            n += name.NarrowUnits()[i] >> 7;
        return n;
    }
    uint64_t n = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x80 || (c >= 0xDC80 && c <= 0xDCFF)) {
            n += 1;  // ASCII, or an escaped byte
        } else if (c < 0x800) {
            n += 2;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
                   name[i + 1] < 0xE000) {
            n += 4;
            ++i;
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

IsoRecord MakeIsoRecord(ItemText name, bool folder) {
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

uint64_t JolietRecord(ItemText name) {
    return 34 + 2 * std::min<uint64_t>(name.size(), kJolietNameMax);
}

// A record in one of the two trees. Names equal under the tree's mapping are
// names the image maker has to tell apart with digits, so records are sorted
// by that mapping: in the ISO tree upper-case d-characters, every other
// character one "_" (a surrogate pair and an escaped byte alike), the last
// dot kept, cut at the longest name; in the Joliet tree UCS-2, where a
// character beyond it or an escaped byte becomes one "_", cut at 103 units.
struct Record {
    ItemText name;  // Joliet
    char iso[kIsoNameMax];
    uint8_t isoLength;
    bool folder;
    uint32_t entry;  // the sections of one large file share it
    uint64_t length;
    uint64_t chars;  // of the name as the tree holds it, before digits
    // Records in a row of this one name and length: the sections of a large
    // file after its first. A file may be as large as 2^63 bytes, and a record
    // apiece would not fit in memory.
    uint64_t count = 1;
};

void MapIsoUnits(Record& r, const char16_t* units, size_t size, size_t dot) {
    size_t n = 0;
    for (size_t i = 0; i < size && n < kIsoNameMax; ++i) {
        const char16_t c = units[i];
        char m = '_';
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < size && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            ++i;
        } else if (i == dot) {
            m = '.';
        } else if (c >= u'a' && c <= u'z') {
            m = static_cast<char>(c - u'a' + 'A');
        } else if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
            m = static_cast<char>(c);
        }
        r.iso[n++] = m;
    }
    r.isoLength = static_cast<uint8_t>(n);
}

// The ISO tree's character for each byte-sized unit.
struct IsoByteMap {
    char to[256];
    constexpr IsoByteMap() : to() {
        for (int c = 0; c < 256; ++c) {
            to[c] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A')
                    : (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? static_cast<char>(c)
                                                                       : '_';
        }
    }
};
constexpr IsoByteMap kIsoByteMap;

void MapIsoName(Record& r, ItemText name, size_t dot) {
    if (name.IsNarrow()) {
        // A unit per character: no pairs, and the dot stays where it was.
        const size_t n = std::min<size_t>(name.size(), kIsoNameMax);
        const unsigned char* units = name.NarrowUnits();
        for (size_t i = 0; i < n; ++i)
            r.iso[i] = kIsoByteMap.to[units[i]];
        if (dot < n) r.iso[dot] = '.';
        r.isoLength = static_cast<uint8_t>(n);
    } else {
        MapIsoUnits(r, name.WideUnits(), name.size(), dot);
    }
}

int IsoCompare(const Record& a, const Record& b) {
    const int c = std::memcmp(a.iso, b.iso, std::min(a.isoLength, b.isoLength));
    if (c != 0) return c;
    return a.isoLength == b.isoLength ? 0 : (a.isoLength < b.isoLength ? -1 : 1);
}

// The next character of a Joliet name at i, in the mapping above.
char16_t JolietChar(ItemText name, size_t& i) {
    const char16_t c = name[i];
    if (Pair(name, i)) {
        i += 2;
        return u'_';
    }
    ++i;
    return c >= 0xD800 && c < 0xE000 ? u'_' : c;
}

int JolietCompare(const Record& a, const Record& b) {
    if (a.name.IsNarrow() && b.name.IsNarrow()) {
        // Units below 256 map to themselves, one character each.
        const size_t n = std::min({a.name.size(), b.name.size(), size_t{kJolietNameCut}});
        const int c = std::memcmp(a.name.NarrowUnits(), b.name.NarrowUnits(), n);
        if (c != 0) return c < 0 ? -1 : 1;
        if (n == kJolietNameCut || a.name.size() == b.name.size()) return 0;
        return a.name.size() < b.name.size() ? -1 : 1;
    }
    size_t i = 0, j = 0;
    for (size_t n = 0; n < kJolietNameCut; ++n) {
        const bool endA = i == a.name.size(), endB = j == b.name.size();
        if (endA || endB) return endA == endB ? 0 : (endA ? -1 : 1);
        const char16_t x = JolietChar(a.name, i);
        const char16_t y = JolietChar(b.name, j);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

// Characters the image maker adds to each of count names that clash: it
// numbers them with one digit, and while the numbers run out it numbers the
// numbered names again with one digit more (1, then 2 more, then 3 more ...).
uint64_t ClashDigits(uint64_t count) {
    uint64_t digits = 0;
    uint64_t reach = 1;
    for (uint64_t step = 1; reach < count && step < 20; ++step) {
        reach = reach > UINT64_MAX / 10 ? UINT64_MAX : reach * 10;
        digits += step;
    }
    return digits;
}

// Sorts the records as the tree holds them and calls lengthen(record, digits)
// for every record of a name that clashes with others.
template <typename Compare, typename Lengthen>
void FindClashes(std::vector<Record>& records, Compare compare, Lengthen lengthen) {
    std::sort(records.begin(), records.end(),
              [&](const Record& a, const Record& b) { return compare(a, b) < 0; });
    for (size_t i = 0; i < records.size();) {
        size_t j = i + 1;
        uint64_t names = 1;
        for (; j < records.size() && compare(records[j], records[i]) == 0; ++j) {
            if (records[j].entry != records[j - 1].entry) ++names;
        }
        if (names > 1) {
            const uint64_t digits = ClashDigits(names);
            for (size_t k = i; k < j; ++k)
                lengthen(records[k], digits);
        }
        i = j;
    }
}

struct Lists {
    std::vector<uint32_t> start;
    std::vector<uint32_t> order;
    std::vector<uint32_t> next;
    std::vector<Record> iso;
    std::vector<Record> joliet;
};
constexpr size_t kKeptRecords = 1 << 14;

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
    return kept_.emplace_front(text);
}

void CImageSizeEstimate::Clear() {
    entries_.clear();
    folderCount_ = 1;
    index_.clear();
    kept_.clear();
    dataBlocks_ = 0;
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

uint32_t CImageSizeEstimate::AddFolder(uint32_t parent, ItemText name) {
    return AddFolder(parent, name, Measure(name, true));
}

void CImageSizeEstimate::AddFile(std::u16string_view discPath, uint64_t size) {
    const size_t slash = discPath.rfind(u'/');
    if (slash == std::u16string_view::npos) {
        AddFileTo(kRoot, Keep(discPath), size);
    } else {
        AddFileTo(FolderIndex(discPath.substr(0, slash)), Keep(discPath.substr(slash + 1)), size);
    }
}

void CImageSizeEstimate::AddFileTo(uint32_t folder, ItemText name, uint64_t size) {
    Push(name, size, folder, false, Measure(name, false));
    dataBlocks_ += DivUp(size, kBlock);
}

CImageSizeEstimate::Shape CImageSizeEstimate::Measure(ItemText name, bool folder) {
    const IsoRecord record = MakeIsoRecord(name, folder);
    const size_t dot = folder ? ItemText::npos : name.rfind(u'.');
    return {static_cast<uint16_t>(record.nameLength), static_cast<uint16_t>(record.length),
            static_cast<uint16_t>(record.continuation),
            dot == ItemText::npos ? kNoDot : static_cast<uint16_t>(dot)};
}

uint32_t CImageSizeEstimate::AddFolder(uint32_t parent, ItemText name, const Shape& shape) {
    Push(name, 0, parent, true, shape);
    return folderCount_++;
}

void CImageSizeEstimate::Push(ItemText name, uint64_t size, uint32_t parent, bool folder,
                              const Shape& shape) {
    entries_.push_back(Entry{name, size, parent, folder, shape.isoNameLength, shape.isoLength,
                             shape.continuation, shape.dot});
}

uint64_t CImageSizeEstimate::Blocks() const {
    uint64_t isoBlocks = 0;
    uint64_t jolietBlocks = 0;
    uint64_t udfBlocks = 0;
    uint64_t isoPathTable = 10;  // the root's entry
    uint64_t jolietPathTable = 10;
    // Lists of this thread, kept from estimate to estimate unless one made
    // them large: a run estimates a pack at a time, most of a few files.
    thread_local Lists lists;
    struct GiveBackLarge {
        Lists& lists;
        ~GiveBackLarge() {
            if (lists.iso.capacity() > kKeptRecords) lists = Lists();
        }
    } giveBack{lists};
    // The entries folder by folder, in the order they came.
    std::vector<uint32_t>& start = lists.start;
    start.assign(static_cast<size_t>(folderCount_) + 1, 0);
    for (const Entry& e : entries_)
        ++start[e.parent + 1];
    for (size_t f = 1; f < start.size(); ++f)
        start[f] += start[f - 1];
    std::vector<uint32_t>& order = lists.order;
    order.resize(entries_.size());
    {
        std::vector<uint32_t>& next = lists.next;
        next.assign(start.begin(), start.end() - 1);
        for (size_t i = 0; i < entries_.size(); ++i)
            order[next[entries_[i].parent]++] = static_cast<uint32_t>(i);
    }
    std::vector<Record>& iso = lists.iso;
    std::vector<Record>& joliet = lists.joliet;
    const uint64_t dotDot = 34 + kPosixFields;
    for (size_t f = 0; f < folderCount_; ++f) {
        const bool root = f == 0;
        const uint64_t dot = Even(34 + kPosixFields + (root ? kRootExtra : 0));
        // Most folders of a pack hold one entry, which nothing can clash with
        // and whose records fit in a folder's first block.
        if (!root && start[f + 1] - start[f] == 1) {
            const Entry& e = entries_[order[start[f]]];
            if (Sections(e.size, e.folder) == 1) {
                if (e.folder) {
                    isoPathTable += Even(8 + e.isoNameLength);
                    jolietPathTable += 8 + 2 * std::min<uint64_t>(e.name.size(), kJolietNameMax);
                }
                isoBlocks +=
                    DivUp(dot + dotDot + e.isoLength, kBlock) + DivUp(e.continuation, kBlock);
                jolietBlocks += DivUp(68 + JolietRecord(e.name), kBlock);
                const uint64_t udfIdentifiers = 40 + (38 + 1 + 2 * e.name.size() + 3) / 4 * 4;
                udfBlocks += 1 + DivUp(udfIdentifiers, kBlock) + (e.folder ? 0 : 1);
                continue;
            }
        }
        iso.clear();
        joliet.clear();
        uint64_t continuation = root ? kRootContinuation : 0;
        uint64_t udfIdentifiers = 40;
        for (size_t i = start[f]; i < start[f + 1]; ++i) {
            // The names lie in the items, all over memory: ask for the ones
            // a few entries on while this one is mapped.
            if (i + 8 < order.size()) __builtin_prefetch(entries_[order[i + 8]].name.Data());
            const Entry& e = entries_[order[i]];
            continuation += e.continuation;
            const size_t dot = e.dot == kNoDot ? std::u16string::npos : e.dot;
            const uint64_t jolietName = std::min<uint64_t>(e.name.size(), kJolietNameMax);
            const uint64_t sections = Sections(e.size, e.folder);
            Record r{};
            r.name = e.name;
            r.folder = e.folder;
            r.entry = order[i];
            MapIsoName(r, e.name, dot);
            for (uint64_t s = 0; s < std::min<uint64_t>(sections, 2); ++s) {
                r.count = s == 0 ? 1 : sections - 1;
                r.length = e.isoLength;
                r.chars = e.isoNameLength;
                iso.push_back(r);
                r.length = JolietRecord(e.name);
                r.chars = std::min<uint64_t>(e.name.size(), kJolietNameCut);
                joliet.push_back(r);
            }
            if (e.folder) {
                isoPathTable += Even(8 + e.isoNameLength);
                jolietPathTable += 8 + 2 * jolietName;
            }
            udfIdentifiers += (38 + 1 + 2 * e.name.size() + 3) / 4 * 4;
        }
        // Names the image maker has to tell apart get digits, up to the
        // longest name the tree allows; a record may then no longer hold
        // its Rock Ridge name, which moves to the continuation area.
        FindClashes(iso, IsoCompare, [&](Record& r, uint64_t digits) {
            const uint64_t longest = r.folder ? kIsoNameMax : kIsoNameMax + 2;  // ";1"
            const uint64_t added = std::min(r.chars + digits, longest) - std::min(r.chars, longest);
            if (added == 0) return;
            if (r.folder) isoPathTable += Even(added);
            const Entry& e = entries_[r.entry];
            if (e.continuation != 0) return;  // the record stays at the longest
            const uint64_t grown = r.length + Even(added);
            if (grown <= kMaxRecord) {
                r.length = grown;
                return;
            }
            continuation += r.length - Even(33 + r.chars) - kPosixFields;
            r.length = kMaxRecord;
        });
        FindClashes(joliet, JolietCompare, [&](Record& r, uint64_t digits) {
            const uint64_t chars = std::min(r.chars + digits, kJolietNameMax);
            r.length = std::max(r.length, 34 + 2 * chars);
            if (r.folder) jolietPathTable += 2 * digits;
        });
        isoBlocks += PackRecords(iso, dot + dotDot) / kBlock + DivUp(continuation, kBlock);
        jolietBlocks += PackRecords(joliet, 68) / kBlock;
        udfBlocks += 1 + DivUp(udfIdentifiers, kBlock);
        for (size_t i = start[f]; i < start[f + 1]; ++i) {
            if (!entries_[order[i]].folder) ++udfBlocks;  // its file entry
        }
    }
    const uint64_t metadata = kSystemArea + kDescriptors + isoBlocks + jolietBlocks +
                              2 * DivUp(isoPathTable, kBlock) + 2 * DivUp(jolietPathTable, kBlock);
    uint64_t blocks =
        std::max(metadata, kMinMetadataBlocks) + kAfterMetadata + dataBlocks_ + kPadding;
    if (udf_) blocks += udfBlocks + kUdfFixedBlocks;
    return blocks;
}

uint64_t CImageSizeEstimate::FileCost(ItemText name, uint64_t size) {
    const IsoRecord record = MakeIsoRecord(name, false);
    // A renamed top-level item may grow its name a little ("~2").
    constexpr uint64_t kRenameRoom = 8;
    return DivUp(size, kBlock) * kBlock +
           Sections(size, false) * (record.length + JolietRecord(name) + 2 * kRenameRoom) +
           record.continuation;
}
