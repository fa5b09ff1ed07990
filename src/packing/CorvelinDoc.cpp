#include "packing/CorvelinDoc.h"

#include <algorithm>

#include "model/PackItemFinder.h"
#include "packing/FirstFitPacker.h"
#include "packing/PackExporter.h"
#include "packing/PackPathOrder.h"
#include "support/FileSystem.h"
#include "support/ZelDebugLog.h"

CCorvelinDoc::CCorvelinDoc() : root(0, u"", 0) {
    root.SetExpanded(1);
}

CCorvelinDoc::~CCorvelinDoc() {
    ClearPackResults();
}

void CCorvelinDoc::OnNewDocument() {
    // The records point into the tree that is about to be released.
    ReleasePacks();

    CPackFolder fresh(0, u"", 0);
    root.AssignFields(fresh);
    root.children.swap(fresh.children);
    root.expanded = fresh.expanded;
    root.SetExpanded(1);

    nextItemId = 1;
    scannedItems = 0;
    groupCount = 0;
}

void CCorvelinDoc::SetItemGroup(uint64_t group, uint32_t number) {
    CPackItemFinder finder(number);
    root.Accept(finder);
    if (CPackItem* item = finder.Found()) item->SetGroup(group);
    ZEL_DEBUG_LOG("Set group: {}:{}", group, number);
}

uint64_t CCorvelinDoc::NewGroup() {
    const uint64_t group = groupCount++;
    ZEL_DEBUG_LOG("NEW GROUP: {}", group);
    return group;
}

void CCorvelinDoc::ReleasePacks() {
    packs.clear();
    ClearPackResults();
    groupTable.clear();
}

void CCorvelinDoc::AddScannedItems(const CPackFolder& scanned, uint32_t nextId) {
    // Reserve first, so that nothing below can throw once the root changes.
    root.children.reserve(root.children.size() + scanned.children.size());
    for (const CPackItemPtr& item : scanned.children)
        root.AppendChild(item);
    if (nextId > nextItemId) scannedItems += nextId - nextItemId;
    nextItemId = std::max(nextItemId, nextId);
}

void CCorvelinDoc::ClearPackResults() {
    packResults.clear();
    resultNodes_.clear();
}

bool CCorvelinDoc::Pack(uint64_t limit, IZelPostTarget* progress) {
    groupTable.clear();
    packs.clear();
    packSize = limit;
    {
        // Found beside the placement: the files' path order.
        PackPathOrder pathOrder(root, scannedItems, nextItemId);
        {
            // The placement's tables go when it is done, before the result
            // lists are built, which keeps a large run's peak lower.
            CFirstFitPacker packer(cancelFlag, progress);
            if (!packer.Collect(root, groupCount, groupTable, scannedItems)) return false;
            // From here a cancel leaves no results of the previous run either.
            ClearPackResults();
            if (!packer.Place(limit, groupTable, packs)) return false;
        }
        ZEL_DEBUG_LOG("packing : pack item sorting...");
        pathOrder.Sort(packs);
    }
    if (keepPackResults) BuildPackResults();
    ZEL_DEBUG_LOG("packing : finish!");
    return true;
}

void CCorvelinDoc::BuildPackResults() {
    ClearPackResults();
    packResults.resize(packs.size());
    resultNodes_.resize(packs.size());
    for (size_t k = 0; k < packs.size(); ++k) {
        PackResult& result = packResults[k];
        result.number = static_cast<uint32_t>(k + 1);
        result.size = packs[k].used;
        std::vector<PackResultNode>& nodes = resultNodes_[k];
        nodes.resize(packs[k].items.size());
        for (size_t j = 0; j < nodes.size(); ++j) {
            PackResultNode& node = nodes[j];
            node.pack = &result;
            node.item = packs[k].items[j];
            node.prev = result.tail;
            if (result.tail) {
                result.tail->next = &node;
            } else {
                result.head = &node;
            }
            result.tail = &node;
            ++result.count;
        }
    }
}

bool CCorvelinDoc::ExportPacks(const std::string& path, std::string& message) {
    return ExportPacks(path, message, zel::IFileSystem::Default());
}

bool CCorvelinDoc::ExportPacks(const std::string& path, std::string& message,
                               zel::IFileSystem& fs) {
    return CPackExporter(packs).Export(path, message, fs);
}

bool CCorvelinDoc::ExportPacksToDescriptor(int fd, const std::string& name, std::string& message,
                                           zel::IFileSystem& fs) {
    return CPackExporter(packs).ExportToDescriptor(fd, name, message, fs);
}
