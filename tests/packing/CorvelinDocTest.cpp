#include <gtest/gtest.h>

#include "PackTestSupport.h"
#include "packing/PickupGroup.h"

using namespace packing_test;

namespace {

TEST(CorvelinDoc, GroupsAreSetOnWholeSubtreesAndResetReleasesEverything) {
    CCorvelinDoc doc;
    doc.groupCount = 2;
    CPackFolder* folder = AddFolder(doc.root, "/f");
    CPackItem* inner = AddFile(*folder, "/f/a", 1);
    CPackItem* outer = AddFile(doc.root, "/b", 1);
    doc.SetItemGroup(1, folder->GetId());
    doc.SetItemGroup(0, 12345);  // no such item
    EXPECT_EQ(inner->group, 1u);
    EXPECT_EQ(outer->group, NoGroup);
    // A group that lost its files still counts.
    doc.SetItemGroup(NoGroup, folder->GetId());
    EXPECT_EQ(doc.NewGroup(), 2u);

    doc.nextItemId = 58;
    ASSERT_TRUE(doc.Pack(100));
    ASSERT_FALSE(doc.packResults.empty());
    const CPackItemPtr watched = doc.root.children[0];
    doc.OnNewDocument();
    EXPECT_EQ(watched->HolderCount(), 1u);
    EXPECT_TRUE(doc.root.children.empty());
    EXPECT_EQ(doc.root.IsExpanded(), 1u);
    EXPECT_EQ(doc.groupCount, 0u);
    EXPECT_EQ(doc.nextItemId, 1u);
    EXPECT_TRUE(doc.packs.empty() && doc.packResults.empty() && doc.groupTable.empty());
}

// Two files that share a number (no scan gives one twice, but a document is
// open to any caller) are each placed once, not the first one twice.
TEST(CorvelinDoc, FilesSharingANumberAreEachPlacedOnce) {
    CCorvelinDoc doc;
    CPackItemPtr first = CPackItem::Create(7, u"/a", 10);
    CPackItemPtr second = CPackItem::Create(7, u"/b", 20);
    doc.root.AppendChild(first);
    doc.root.AppendChild(second);
    ASSERT_TRUE(doc.Pack(1000));
    ASSERT_EQ(doc.packs.size(), 1u);
    EXPECT_EQ(doc.packs[0].items, (std::vector<CPackItem*>{first.get(), second.get()}));
}

// Group numbers become 32-bit table rows: larger ones are refused rather than
// wrapped onto another group. Item numbers take every unsigned value.
TEST(Pickup, RefusesGroupsBeyondTheTableAndPlacesEveryItemNumber) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/late", 1, 0x7fffffffu);
    std::vector<GroupEntry> table(1);
    CPickupGroup group(&table);
    EXPECT_THROW(doc.root.Accept(group), std::out_of_range);
    CCorvelinDoc items;
    items.root.AppendChild(CPackItem::Create(0x80000000u, u"/late", 1));
    items.root.AppendChild(CPackItem::Create(0xFFFFFFFEu, u"/later", 2));
    ASSERT_TRUE(items.Pack(1000));
    ASSERT_EQ(items.packs.size(), 1u);
    EXPECT_EQ(items.packs[0].items.size(), 2u);
}

}  // namespace
