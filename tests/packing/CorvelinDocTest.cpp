#include <gtest/gtest.h>

#include <boost/weak_ptr.hpp>

#include "PackTestSupport.h"
#include "packing/PickupGroup.h"
#include "packing/PickupNoGroup.h"

using namespace packing_test;

namespace {

TEST(CorvelinDoc, NewDocumentIsEmptyAndNumbersFromOne) {
    CCorvelinDoc doc;
    EXPECT_EQ(doc.root.GetId(), 0u);
    EXPECT_TRUE(doc.root.GetPath().empty());
    EXPECT_EQ(doc.root.IsExpanded(), 1u);
    EXPECT_EQ(doc.groupCount, 0u);
    EXPECT_EQ(doc.nextItemId, 1u);
    EXPECT_EQ(doc.cancelFlag.load(), 0u);
    EXPECT_EQ(doc.packSize, 0u);
}

TEST(CorvelinDoc, ResetReleasesTreeGroupsAndEveryPackRecord) {
    CCorvelinDoc doc;
    for (int g = 0; g < 4; ++g)
        doc.NewGroup();
    CPackFolder* folder = AddFolder(doc.root, "/f");
    for (int i = 0; i < 56; ++i) {
        AddFile(*folder, "/f/" + std::to_string(i), 10, i % 5 == 0 ? NoGroup : uint64_t(i % 4));
    }
    doc.nextItemId = 58;
    ASSERT_TRUE(doc.Pack(100));
    ASSERT_FALSE(doc.packResults.empty());
    const boost::weak_ptr<CPackItem> watched = doc.root.children[0];

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(doc.root.children.empty());
    EXPECT_EQ(doc.root.GetId(), 0u);
    EXPECT_EQ(doc.root.IsExpanded(), 1u);
    EXPECT_EQ(doc.groupCount, 0u);
    EXPECT_EQ(doc.nextItemId, 1u);
    EXPECT_TRUE(doc.packs.empty());
    EXPECT_TRUE(doc.packResults.empty());
    EXPECT_TRUE(doc.groupTable.empty());
}

TEST(CorvelinDoc, GroupsAreNumberedOnwardAndSetOnWholeSubtrees) {
    CCorvelinDoc doc;
    EXPECT_EQ(doc.NewGroup(), 0u);
    EXPECT_EQ(doc.NewGroup(), 1u);
    EXPECT_EQ(doc.NewGroup(), 2u);
    CPackFolder* folder = AddFolder(doc.root, "/f");
    CPackItem* inner = AddFile(*folder, "/f/a", 1);
    CPackItem* outer = AddFile(doc.root, "/b", 1);

    doc.SetItemGroup(1, folder->GetId());
    EXPECT_EQ(folder->group, 1u);
    EXPECT_EQ(inner->group, 1u);
    EXPECT_EQ(outer->group, NoGroup);

    doc.SetItemGroup(2, 12345);  // no such item
    EXPECT_EQ(inner->group, 1u);
    EXPECT_EQ(outer->group, NoGroup);

    // A group that lost its files still counts.
    doc.SetItemGroup(NoGroup, folder->GetId());
    EXPECT_EQ(doc.NewGroup(), 3u);
}

TEST(Pickup, CollectsFilesAndGroupsInTreeOrder) {
    CCorvelinDoc doc;
    const uint64_t g0 = doc.NewGroup();
    CPackFolder* folder = AddFolder(doc.root, "/f");
    AddFolder(*folder, "/f/empty");
    CPackItem* a = AddFile(*folder, "/f/a", 10, g0);
    CPackItem* b = AddFile(*folder, "/f/b", 5);
    CPackItem* c = AddFile(doc.root, "/c", 20, g0);
    CPackItem* d = AddFile(doc.root, "/d", 7);

    std::vector<PackEntry> entries;
    CPickupNoGroup noGroup(&entries);
    EXPECT_TRUE(doc.root.Accept(noGroup));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, static_cast<int32_t>(b->GetId()));
    EXPECT_EQ(entries[0].size, 5u);
    EXPECT_EQ(entries[1].key, static_cast<int32_t>(d->GetId()));

    std::vector<GroupEntry> table(2);
    CPickupGroup group(&table);
    EXPECT_TRUE(doc.root.Accept(group));
    EXPECT_TRUE(table[0].itemIds.empty());
    EXPECT_EQ(table[1].itemIds, (std::vector<uint32_t>{a->GetId(), c->GetId()}));
    EXPECT_EQ(table[1].size, 30u);
}

TEST(Pickup, RefusesNumbersThatCannotBeEntryKeys) {
    CCorvelinDoc doc;
    auto item = boost::make_shared<CPackItem>(0x80000000u, u"/late", 1);
    doc.root.AppendChild(item);
    std::vector<PackEntry> entries;
    CPickupNoGroup noGroup(&entries);
    EXPECT_THROW(doc.root.Accept(noGroup), std::out_of_range);

    item->group = 0x7fffffffu;
    std::vector<GroupEntry> table(1);
    CPickupGroup group(&table);
    EXPECT_THROW(doc.root.Accept(group), std::out_of_range);
}

}  // namespace
