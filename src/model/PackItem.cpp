#include "model/PackItem.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <unordered_map>

#include "model/ItemArena.h"
#include "model/PackItemTraverser.h"

namespace {

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

// Cut to at most kMaxPathUnits without splitting a surrogate pair.
size_t CutLength(std::u16string_view text) {
    if (text.size() <= kMaxPathUnits) return text.size();
    size_t n = kMaxPathUnits;
    if (IsHighSurrogate(text[n - 1])) --n;
    return n;
}

// The name within the stored path: the file-name part of the given path (after
// its last "/"), as far as the stored, possibly cut, path holds it; then the
// extension of what is left goes: from the last "." on, unless a space follows
// that dot. A name whose only dot leads becomes empty.
void NameBounds(std::u16string_view given, size_t stored, size_t& start, size_t& length) {
    const size_t slash = given.rfind(u'/');
    start = std::min(slash == std::u16string_view::npos ? 0 : slash + 1, stored);
    std::u16string_view file = given.substr(start, stored - start);
    length = file.size();
    const size_t dot = file.rfind(u'.');
    if (dot != std::u16string_view::npos && file.find(u' ', dot) == std::u16string_view::npos) {
        length = dot;
    }
}

// A file's item is this and its name: ten million of them make every byte count.
static_assert(sizeof(CPackItem) <= 40, "no item field grows unnoticed");
constexpr size_t kMaxTextUnits = (1u << 10) - 1;
static_assert(kMaxPathUnits <= (1u << 9) - 1, "a cut name fits its field");

// The texts items hold outside their blocks, by item. Lookups share the lock,
// as the export and the image estimates read names on two threads.
class OwnTexts {
public:
    // Never destroyed: items may outlive the statics.
    static OwnTexts& Get() {
        static OwnTexts* texts = new OwnTexts;
        return *texts;
    }
    const char16_t* Find(const CPackItem* item) {
        std::shared_lock<std::shared_mutex> lock(mutex_);
        const auto it = texts_.find(item);
        return it != texts_.end() ? it->second.get() : nullptr;
    }
    void Put(const CPackItem* item, std::unique_ptr<char16_t[]> text) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        texts_[item] = std::move(text);
    }
    void Drop(const CPackItem* item) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        texts_.erase(item);
    }

private:
    std::shared_mutex mutex_;
    std::unordered_map<const CPackItem*, std::unique_ptr<char16_t[]>> texts_;
};

}  // namespace

CPackItem::CPackItem(uint32_t itemId, std::u16string_view itemPath, uint64_t itemSize)
    : id(itemId),
      textLength_(0),
      nameStart_(0),
      nameLength_(0),
      folder_(0),
      wholePath_(1),
      ownText_(0),
      size(itemSize),
      eraseMark(0),
      narrowText_(0) {
    InitText(itemPath, nullptr, false);
}

CPackItem::CPackItem(uint32_t itemId, std::u16string_view itemPath, uint64_t itemSize, uint8_t type,
                     void* storage, bool narrow)
    : id(itemId),
      textLength_(0),
      nameStart_(0),
      nameLength_(0),
      folder_(type == TypeFolder),
      wholePath_(1),
      ownText_(0),
      size(itemSize),
      eraseMark(0),
      narrowText_(0) {
    InitText(itemPath, storage, narrow);
}

void CPackItem::InitText(std::u16string_view itemPath, void* storage, bool narrow) {
    const std::u16string_view kept = itemPath.substr(0, CutLength(itemPath));
    if (storage) {
        if (narrow) {
            ItemText::CopyNarrow(kept, static_cast<unsigned char*>(storage));
        } else {
            std::copy(kept.begin(), kept.end(), static_cast<char16_t*>(storage));
        }
        narrowText_ = narrow;
        textLength_ = static_cast<uint32_t>(kept.size());
    } else {
        SetText(kept);
    }
    size_t start = 0;
    size_t length = 0;
    NameBounds(itemPath, kept.size(), start, length);
    nameStart_ = static_cast<uint32_t>(start);
    nameLength_ = static_cast<uint32_t>(length);
}

// One block for the item and its text; the text's units follow the object.
template <class Item>
Item* CPackItem::MakeInBlock(uint32_t itemId, std::u16string_view itemPath, uint64_t itemSize) {
    static_assert(alignof(Item) <= CItemArena::kAlign, "the arena's blocks hold items");
    static_assert(sizeof(Item) + kMaxPathUnits * sizeof(char16_t) <= CItemArena::kMaxBlock,
                  "the arena's blocks hold the longest path");
    const size_t units = CutLength(itemPath);
    const bool narrow = ItemText::FitsNarrow(itemPath.substr(0, units));
    void* block = CItemArena::Allocate(sizeof(Item) + units * (narrow ? 1 : sizeof(char16_t)));
    void* storage = static_cast<char*>(block) + sizeof(Item);
    try {
        return new (block) Item(itemId, itemPath, itemSize, storage, narrow);
    } catch (...) {
        CItemArena::Free(block);
        throw;
    }
}

CPackItem::~CPackItem() {
    if (ownText_) OwnTexts::Get().Drop(this);
}

boost::intrusive_ptr<CPackItem> CPackItem::Create(uint32_t itemId, std::u16string_view itemPath,
                                                  uint64_t itemSize) {
    return boost::intrusive_ptr<CPackItem>(MakeInBlock<CPackItem>(itemId, itemPath, itemSize));
}

void intrusive_ptr_add_ref(CPackItem* item) {
    item->refs_.fetch_add(1, std::memory_order_relaxed);
}

void intrusive_ptr_release(CPackItem* item) {
    if (item->refs_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    if (item->IsFolder()) {
        static_cast<CPackFolder*>(item)->~CPackFolder();
    } else {
        item->~CPackItem();
    }
    CItemArena::Free(item);
}

void CPackItem::SetText(ItemText text) {
    // Beyond any path an item is given; cut, not wrapped, should it happen.
    if (text.size() > kMaxTextUnits) text = text.substr(0, kMaxTextUnits);
    // Copied first: text may be a part of the one it replaces.
    char16_t units[kMaxTextUnits];
    for (size_t i = 0; i < text.size(); ++i)
        units[i] = text[i];
    const std::u16string_view copied(units, text.size());
    // A text that takes no more bytes stays in the block where the old one was.
    const size_t room = ownText_ ? 0 : Text().Bytes();
    const bool narrow = ItemText::FitsNarrow(copied);
    const size_t bytes = copied.size() * (narrow ? 1 : sizeof(char16_t));
    if (!ownText_ && bytes <= room) {
        if (bytes != 0) {
            const size_t object = IsFolder() ? sizeof(CPackFolder) : sizeof(CPackItem);
            char* block = reinterpret_cast<char*>(this) + object;
            if (narrow) {
                ItemText::CopyNarrow(copied, reinterpret_cast<unsigned char*>(block));
            } else {
                std::memcpy(block, units, bytes);
            }
        }
        narrowText_ = narrow;
        textLength_ = static_cast<uint32_t>(copied.size());
        return;
    }
    std::unique_ptr<char16_t[]> copy(new char16_t[copied.size()]);
    std::copy(copied.begin(), copied.end(), copy.get());
    OwnTexts::Get().Put(this, std::move(copy));
    ownText_ = 1;
    narrowText_ = 0;
    textLength_ = static_cast<uint32_t>(copied.size());
}

const char16_t* CPackItem::OwnText() const {
    return OwnTexts::Get().Find(this);
}

void CPackItem::AppendPath(std::u16string& out) const {
    // The items from this one up to the one that holds a whole path; a path
    // of at most kMaxPathUnits has fewer levels than this, a longer one goes
    // on in the parent.
    constexpr size_t kLevels = kMaxPathUnits / 2 + 2;
    const CPackItem* chain[kLevels];
    size_t levels = 0;
    const CPackItem* top = this;
    for (;;) {
        chain[levels++] = top;
        if (top->wholePath_ || !top->parent || levels == kLevels) break;
        top = top->parent;
    }
    if (!top->wholePath_ && top->parent) {
        top->parent->AppendPath(out);
        if (out.empty() || out.back() != u'/') out += u'/';
    }
    size_t length = out.size();
    for (size_t i = 0; i < levels; ++i)
        length += chain[i]->textLength_ + 1;
    out.reserve(length);
    top->Text().AppendTo(out);
    for (size_t i = levels - 1; i-- > 0;) {
        // Only the root folder's path ends in "/".
        if (out.empty() || out.back() != u'/') out += u'/';
        chain[i]->Text().AppendTo(out);
    }
}

std::u16string CPackItem::GetPath() const {
    if (wholePath_ || !parent) return Text().ToString();
    std::u16string path;
    AppendPath(path);
    return path;
}

// Compares from the end, so no path is built.
bool CPackItem::PathEquals(ItemText path) const {
    const ItemText text = Text();
    if (wholePath_ || !parent) return path == text;
    if (path.size() <= text.size() || path.substr(path.size() - text.size()) != text) return false;
    return JoinsBelow(*parent, path.substr(0, path.size() - text.size()));
}

// Whether prefix is what a name's path holds before the name: the folder's
// path and a "/", or the folder's path alone when it ends in "/" (the root).
bool CPackItem::JoinsBelow(const CPackItem& folder, ItemText prefix) {
    if (prefix.empty() || prefix.back() != u'/') return false;
    if (folder.PathEquals(prefix)) return true;
    prefix = prefix.substr(0, prefix.size() - 1);
    return !prefix.empty() && prefix.back() != u'/' && folder.PathEquals(prefix);
}

void CPackItem::TrimToNameBelow(const CPackItem& folder) {
    const ItemText text = Text();
    const size_t slash = text.rfind(u'/');
    // A path cut short may have lost the name's own "/": it stays whole.
    if (!wholePath_ || slash == ItemText::npos || slash + 1 == text.size() ||
        nameStart_ < slash + 1) {
        return;
    }
    if (folder.textLength_ == 0 || !JoinsBelow(folder, text.substr(0, slash + 1))) return;
    const size_t cut = slash + 1;
    SetText(text.substr(cut));
    nameStart_ = static_cast<uint32_t>(nameStart_ - cut);
    wholePath_ = 0;
}

ItemText CPackItem::FileNameOfWholePath() const {
    ItemText text = Text();
    while (text.size() > 1 && text.back() == u'/')
        text = text.substr(0, text.size() - 1);
    const size_t slash = text.rfind(u'/');
    return slash == ItemText::npos ? text : text.substr(slash + 1);
}

ItemText CPackItem::GetName() const {
    return Text().substr(nameStart_, nameLength_);
}

bool CPackItem::Accept(CPackItemTraverser& traverser) {
    if (IsFolder()) return static_cast<CPackFolder*>(this)->Accept(traverser);
    return traverser.VisitItem(*this);
}

void CPackItem::SetGroup(uint64_t newGroup) {
    if (IsFolder()) {
        static_cast<CPackFolder*>(this)->SetGroup(newGroup);
    } else {
        group = newGroup;
    }
}

CPackFolder* CPackItem::AsFolder() {
    return IsFolder() ? static_cast<CPackFolder*>(this) : nullptr;
}

void CPackItem::AssignFields(const CPackItem& other) {
    id = other.id;
    SetText(other.Text());
    size = other.size;
    group = other.group;
    level = other.level;
    eraseMark = other.eraseMark;
    siblingPosition = other.siblingPosition;
    archiveChanged = other.archiveChanged;
    parent = other.parent;
    autoGroupId = other.autoGroupId;
    wholePath_ = other.wholePath_;
    nameStart_ = other.nameStart_;
    nameLength_ = other.nameLength_;
}

CPackFolder::CPackFolder(uint32_t folderId, std::u16string_view folderPath, uint64_t folderSize)
    : CPackItem(folderId, folderPath, folderSize, TypeFolder, nullptr, false) {}

CPackFolder::CPackFolder(uint32_t folderId, std::u16string_view folderPath, uint64_t folderSize,
                         void* storage, bool narrow)
    : CPackItem(folderId, folderPath, folderSize, TypeFolder, storage, narrow) {}

boost::intrusive_ptr<CPackFolder> CPackFolder::Create(uint32_t folderId,
                                                      std::u16string_view folderPath,
                                                      uint64_t folderSize) {
    return boost::intrusive_ptr<CPackFolder>(
        MakeInBlock<CPackFolder>(folderId, folderPath, folderSize));
}

void CPackFolder::SetGroup(uint64_t newGroup) {
    group = newGroup;
    for (auto& child : children)
        child->SetGroup(newGroup);
}

bool CPackFolder::Accept(CPackItemTraverser& traverser) {
    traverser.EnterFolder(*this);
    if (traverser.VisitFolder(*this)) {
        // Index loop: a traverser may not change this folder's children from
        // inside a child's walk, but VisitFolder above may have replaced them.
        for (size_t i = 0; i < children.size(); ++i) {
            if (!children[i]->Accept(traverser)) return false;
        }
    }
    traverser.LeaveFolder(*this);
    return true;
}

void CPackFolder::AddChild(CPackItemPtr child) {
    if (child->parent != this) {
        // A name alone would now be read below the wrong folder.
        if (!child->wholePath_ && child->parent) {
            const size_t nameAt = child->GetPath().size() - child->textLength_;
            child->SetText(child->GetPath());
            child->nameStart_ = static_cast<uint32_t>(
                std::min<size_t>(child->nameStart_ + nameAt, child->textLength_));
            child->wholePath_ = 1;
        }
        child->TrimToNameBelow(*this);
    }
    child->level = static_cast<uint8_t>(level < UINT8_MAX ? level + 1 : level);
    child->parent = this;
    children.push_back(std::move(child));
}

void CPackFolder::CreateChild(uint32_t childId, std::u16string_view childPath, uint64_t childSize) {
    AddChild(CPackItem::Create(childId, childPath, childSize));
}

void CPackFolder::CreateNamedChild(uint32_t childId, std::u16string_view name, uint64_t childSize) {
    CPackItemPtr child = CPackItem::Create(childId, name, childSize);
    if (textLength_ != 0) child->wholePath_ = 0;
    AddChild(std::move(child));
}

void CPackFolder::AppendChild(CPackItemPtr child) {
    if (!children.empty()) children.back()->siblingPosition = PositionOther;
    AddChild(std::move(child));
    children.back()->siblingPosition = PositionLast;
}

void CPackFolder::EraseMarked() {
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](const CPackItemPtr& c) { return c->eraseMark != 0; }),
                   children.end());
    MarkEnds();
}

void CPackFolder::SortChildren() {
    // Nothing to order, and no keys to allocate: a tree of one file per folder
    // has as many such folders as files.
    if (children.size() < 2) {
        MarkEnds();
        return;
    }
    // Children that keep only their names share this folder's path, so their
    // names give the order of the full paths; whole paths (top-level items)
    // are compared whole. Sorting small keys instead of the items keeps the
    // scattered items out of the cache.
    std::vector<std::u16string> wholePaths;
    for (const CPackItemPtr& child : children) {
        if (child->wholePath_) {
            wholePaths.reserve(children.size());
            for (const CPackItemPtr& each : children)
                wholePaths.push_back(each->GetPath());
            break;
        }
    }
    // head: files after folders, then the first folded units of the name
    // (0 past its end, below every unit a name holds), the fourth without
    // its lowest bit. Keys whose heads differ are in the order of their
    // heads; only equal heads read the names.
    struct Key {
        uint64_t head;
        ItemText text;
        CPackItemPtr* item;
    };
    const auto fold = [](char16_t u) -> uint64_t { return u >= u'A' && u <= u'Z' ? u + 32 : u; };
    std::vector<Key> keys;
    keys.reserve(children.size());
    for (size_t i = 0; i < children.size(); ++i) {
        CPackItemPtr& child = children[i];
        const ItemText text = wholePaths.empty() ? child->Text() : ItemText(wholePaths[i]);
        uint64_t head = child->IsFolder() ? 0 : 1;
        for (size_t k = 0; k < 3; ++k)
            head = head << 16 | (k < text.size() ? fold(text[k]) : 0);
        head = head << 15 | (text.size() > 3 ? fold(text[3]) >> 1 : 0);
        keys.push_back({head, text, &child});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.head != b.head) return a.head < b.head;
        const int c = ComparePathsNoCase(a.text, b.text);
        if (c != 0) return c < 0;
        return a.text < b.text;
    });
    std::vector<CPackItemPtr> sorted;
    sorted.reserve(children.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(*key.item));
    children.swap(sorted);
    MarkEnds();
}

void CPackFolder::MarkEnds() {
    if (children.empty()) return;
    children.front()->siblingPosition = PositionFirst;
    children.back()->siblingPosition = PositionLast;
}

bool ChildOrderLess(const CPackItem& a, const CPackItem& b) {
    const bool aFolder = a.IsFolder();
    const bool bFolder = b.IsFolder();
    if (aFolder != bFolder) return aFolder;
    const int c = ComparePathsNoCase(a.GetPath(), b.GetPath());
    if (c != 0) return c < 0;
    return a.GetPath() < b.GetPath();
}
