#pragma once

#include <boost/intrusive_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/CompactNumber.h"
#include "model/ItemText.h"

class CPackItemTraverser;
class CPackFolder;

constexpr uint64_t NoGroup = ~uint64_t{0};
constexpr uint64_t NoAutoGroup = ~uint64_t{0};
// Paths and names hold at most this many UTF-16 units.
constexpr size_t kMaxPathUnits = 259;

// A file of the item tree. Folders are CPackFolder, the only other kind, told
// apart by GetType rather than virtual calls: no table pointer per item.
//
// Items made by Create are held by boost::intrusive_ptr: the count lives in the
// item and the item's text in the same block, so a file is one allocation,
// and the lists of children hold plain pointers. A scan of a million files
// would otherwise spend a third of its memory on counts, blocks and slack.
//
// The text is held narrow, a byte per unit, where every unit fits one (see
// ItemText); most names are ASCII.
//
// An item below a folder keeps only its file name and makes its path from its
// parents: ten million files would otherwise hold their folders' paths ten
// million times. A top-level item, or one whose given path does not continue
// its parent's, keeps the whole path. An item keeps its path when it moves
// under another parent.
class CPackItem {
public:
    enum : uint8_t { TypeFile = 1, TypeFolder = 2 };
    enum : uint8_t { PositionOther = 0, PositionFirst = 1, PositionLast = 2 };

    // An item of its own (the document's root); one to be held by a pointer
    // comes from Create.
    CPackItem(uint32_t id, std::u16string_view path, uint64_t size);
    ~CPackItem();
    CPackItem(const CPackItem&) = delete;
    CPackItem& operator=(const CPackItem&) = delete;

    static boost::intrusive_ptr<CPackItem> Create(uint32_t id, std::u16string_view path,
                                                  uint64_t size);

    uint32_t GetType() const { return folder_ ? TypeFolder : TypeFile; }
    uint32_t GetId() const { return id; }
    std::u16string GetPath() const;
    // Appends the path to out, without a string of its own per item.
    void AppendPath(std::u16string& out) const;
    // True when the path is not made from a parent's: GetPath is then whole.
    bool HasWholePath() const { return wholePath_ || !parent; }
    // The last component of the path, extension included.
    ItemText GetFileName() const { return wholePath_ ? FileNameOfWholePath() : Text(); }
    // The file name without its extension.
    ItemText GetName() const;
    // Asks for the text ahead of its reading: walks over the files of a pack
    // jump all over memory, and overlapping those loads is most of their speed.
    inline void PrefetchText() const;
    uint64_t GetSize() const { return size; }
    // A folder's whole subtree gets the group.
    void SetGroup(uint64_t newGroup);
    bool Accept(CPackItemTraverser& traverser);

    bool IsFolder() const { return GetType() == TypeFolder; }
    CPackFolder* AsFolder();

    // How many pointers hold the item.
    uint32_t HolderCount() const { return refs_.load(std::memory_order_relaxed); }

    // Copies the fields of another item over this one (the document's reset).
    void AssignFields(const CPackItem& other);

    // Ordered to leave no padding: ten million items make every byte count.
    uint32_t id;

private:
    // The text's bounds and the item's kind in one word. Texts are paths of
    // at most kMaxPathUnits, or the whole path an item took when it moved,
    // which a scan kept within that bound too: 10 bits hold either.
    uint32_t textLength_ : 10;
    // The name is a slice of the text [nameStart, nameStart + nameLength).
    uint32_t nameStart_ : 10;
    uint32_t nameLength_ : 9;
    uint32_t folder_ : 1;
    uint32_t wholePath_ : 1;
    // The text is in the item's block, right after the object, where a text
    // no longer than the one there still fits; or it was given its own
    // storage (OwnText). An empty text is neither.
    uint32_t ownText_ : 1;

public:
    uint64_t size;
    CPackFolder* parent = nullptr;
    CompactNumber group = NoGroup;
    CompactNumber autoGroupId = NoAutoGroup;
    // Tree depth: top-level items are 1. A path of at most kMaxPathUnits has
    // fewer than 255 levels.
    uint8_t level = 0;
    uint8_t eraseMark : 1;

private:
    // The text in the item's block is held one byte per unit (ItemText).
    uint8_t narrowText_ : 1;

public:
    uint8_t siblingPosition = PositionOther;
    // The catalog holds this path with another size or time: the list marks it.
    uint8_t archiveChanged = 0;

private:
    friend class CPackFolder;
    friend void intrusive_ptr_add_ref(CPackItem* item);
    friend void intrusive_ptr_release(CPackItem* item);

    // The text goes to storage when given, which holds the kept part of path
    // and lives as long as the item (the end of its block); else to the heap.
    // storage holds the kept part of path narrow when narrow is set.
    CPackItem(uint32_t id, std::u16string_view path, uint64_t size, uint8_t type, void* storage,
              bool narrow);
    CPackItem(uint32_t id, std::u16string_view path, uint64_t size, void* storage, bool narrow)
        : CPackItem(id, path, size, TypeFile, storage, narrow) {}
    template <class Item>
    static Item* MakeInBlock(uint32_t id, std::u16string_view path, uint64_t size);

    void InitText(std::u16string_view path, void* storage, bool narrow);
    ItemText FileNameOfWholePath() const;
    inline ItemText Text() const;
    // A text that outgrew the item's block, in a table of its own: few items
    // ever get one, and every item would otherwise carry a pointer for it.
    const char16_t* OwnText() const;
    void SetText(ItemText text);
    // Keeps only the file name when path continues this folder's path.
    void TrimToNameBelow(const CPackItem& folder);
    bool PathEquals(ItemText path) const;
    static bool JoinsBelow(const CPackItem& folder, ItemText prefix);

    std::atomic<uint32_t> refs_{0};
};

void intrusive_ptr_add_ref(CPackItem* item);
void intrusive_ptr_release(CPackItem* item);

using CPackItemPtr = boost::intrusive_ptr<CPackItem>;

class CPackFolder : public CPackItem {
public:
    CPackFolder(uint32_t id, std::u16string_view path, uint64_t size);

    static boost::intrusive_ptr<CPackFolder> Create(uint32_t id, std::u16string_view path,
                                                    uint64_t size);

    void SetGroup(uint64_t newGroup);
    bool Accept(CPackItemTraverser& traverser);

    void AddChild(CPackItemPtr child);
    void CreateChild(uint32_t childId, std::u16string_view childPath, uint64_t childSize);
    // The same for a file given by its name alone, which the caller knows
    // continues this folder's path; it saves looking the path up.
    void CreateNamedChild(uint32_t childId, std::u16string_view name, uint64_t childSize);
    void AppendChild(CPackItemPtr child);
    void EraseMarked();
    void SortChildren();
    uint32_t IsExpanded() const { return expanded; }
    void SetExpanded(uint32_t value) { expanded = value; }

    std::vector<CPackItemPtr> children;
    uint32_t expanded = 0;

private:
    friend class CPackItem;

    CPackFolder(uint32_t id, std::u16string_view path, uint64_t size, void* storage, bool narrow);
    void MarkEnds();
};

using CPackFolderPtr = boost::intrusive_ptr<CPackFolder>;

inline ItemText CPackItem::Text() const {
    if (ownText_) return std::u16string_view(OwnText(), textLength_);
    if (textLength_ == 0) return {};
    const char* block = reinterpret_cast<const char*>(this) +
                        (IsFolder() ? sizeof(CPackFolder) : sizeof(CPackItem));
    if (narrowText_)
        return ItemText::Narrow(reinterpret_cast<const unsigned char*>(block), textLength_);
    return std::u16string_view(reinterpret_cast<const char16_t*>(block), textLength_);
}

inline void CPackItem::PrefetchText() const {
    // The block's text starts where the object ends.
    __builtin_prefetch(reinterpret_cast<const char*>(this) + sizeof(CPackItem));
}

// Child order: folders before files, then ComparePathsNoCase, then plain code
// units so that names differing only in case still get a fixed order.
bool ChildOrderLess(const CPackItem& a, const CPackItem& b);
