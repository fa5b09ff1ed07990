#include "model/PackItem.h"

#include <boost/make_shared.hpp>

#include <algorithm>

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

}  // namespace

CPackItem::CPackItem(uint32_t itemId, std::u16string_view itemPath, uint64_t itemSize)
    : id(itemId), path(itemPath.substr(0, CutLength(itemPath))), size(itemSize) {
    size_t start = 0;
    size_t length = 0;
    NameBounds(itemPath, path.size(), start, length);
    nameStart_ = static_cast<uint16_t>(start);
    nameLength_ = static_cast<uint16_t>(length);
}

CPackItem::~CPackItem() = default;

std::u16string_view CPackItem::GetName() const {
    return std::u16string_view(path).substr(nameStart_, nameLength_);
}

bool CPackItem::Accept(CPackItemTraverser& traverser) {
    return traverser.VisitItem(*this);
}

CPackFolder* CPackItem::AsFolder() {
    return IsFolder() ? static_cast<CPackFolder*>(this) : nullptr;
}

void CPackItem::AssignFields(const CPackItem& other) {
    id = other.id;
    path = other.path;
    size = other.size;
    group = other.group;
    level = other.level;
    eraseMark = other.eraseMark;
    siblingPosition = other.siblingPosition;
    parent = other.parent;
    autoGroupId = other.autoGroupId;
    nameStart_ = other.nameStart_;
    nameLength_ = other.nameLength_;
}

CPackFolder::CPackFolder(uint32_t folderId, std::u16string_view folderPath, uint64_t folderSize)
    : CPackItem(folderId, folderPath, folderSize) {}

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
    child->level = level + 1;
    child->parent = this;
    children.push_back(std::move(child));
}

void CPackFolder::CreateChild(uint32_t childId, std::u16string_view childPath, uint64_t childSize) {
    AddChild(boost::make_shared<CPackItem>(childId, childPath, childSize));
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
    // Siblings share everything up to their last "/": comparing from there on
    // gives the order of the full paths at a fraction of the cost, and sorting
    // small keys instead of the items keeps the scattered items out of the cache.
    std::u16string_view firstPath;
    if (!children.empty()) firstPath = children.front()->path;
    size_t common = firstPath.rfind(u'/') + 1;  // 0 when there is no "/"
    for (const CPackItemPtr& child : children) {
        const std::u16string_view p = child->path;
        if (common > p.size() || p.compare(0, common, firstPath, 0, common) != 0) {
            common = 0;
            break;
        }
    }
    struct Key {
        bool folder;
        std::u16string_view tail;
        CPackItemPtr* item;
    };
    std::vector<Key> keys;
    keys.reserve(children.size());
    for (CPackItemPtr& child : children) {
        keys.push_back(
            {child->IsFolder(), std::u16string_view(child->path).substr(common), &child});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.folder != b.folder) return a.folder;
        const int c = ComparePathsNoCase(a.tail, b.tail);
        if (c != 0) return c < 0;
        return a.tail < b.tail;
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

int ComparePathsNoCase(std::u16string_view a, std::u16string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool ChildOrderLess(const CPackItem& a, const CPackItem& b) {
    const bool aFolder = a.IsFolder();
    const bool bFolder = b.IsFolder();
    if (aFolder != bFolder) return aFolder;
    const int c = ComparePathsNoCase(a.GetPath(), b.GetPath());
    if (c != 0) return c < 0;
    return a.GetPath() < b.GetPath();
}
