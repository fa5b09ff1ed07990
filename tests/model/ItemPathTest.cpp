#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "model/PackItem.h"

namespace {

// Items below a folder keep only their names; these are the ways a path could
// then come out wrong.
TEST(ItemPath, NamesBelowAFolderGiveTheWholePathAndMovesKeepIt) {
    CPackFolder root(0, u"", 0);
    auto top = boost::make_shared<CPackFolder>(1, u"/", 0);  // the root folder dropped
    root.AppendChild(top);
    top->AddChild(boost::make_shared<CPackFolder>(2, u"/m", 0));
    auto sub = boost::make_shared<CPackFolder>(3, u"/m/a.d", 0);
    top->children[0]->AsFolder()->AddChild(sub);
    sub->CreateChild(4, u"/m/a.d/x.txt", 5);
    sub->CreateChild(5, u"/elsewhere/y.txt", 6);  // does not continue its folder's path
    const CPackItem& x = *sub->children[0];
    EXPECT_EQ(x.GetPath(), u"/m/a.d/x.txt");
    EXPECT_EQ(x.GetFileName(), u"x.txt");
    EXPECT_EQ(x.GetName(), u"x");
    EXPECT_EQ(sub->children[1]->GetPath(), u"/elsewhere/y.txt");
    // A folder path that ends in "/" takes no second one; a path with two keeps both.
    auto odd = boost::make_shared<CPackFolder>(6, u"/m/", 0);
    root.AppendChild(odd);
    odd->CreateChild(7, u"/m//two", 1);
    odd->CreateChild(8, u"/m/one", 1);
    EXPECT_EQ(odd->children[0]->GetPath(), u"/m//two");
    EXPECT_EQ(odd->children[1]->GetPath(), u"/m/one");
    std::u16string appended = u"<";
    x.AppendPath(appended);
    EXPECT_EQ(appended, u"</m/a.d/x.txt");

    // Moved to the top, the folder and what it holds keep their paths.
    CPackFolder other(0, u"", 0);
    other.AppendChild(sub);
    top->children.clear();
    EXPECT_EQ(sub->GetPath(), u"/m/a.d");
    EXPECT_EQ(sub->GetName(), u"a");
    EXPECT_EQ(x.GetPath(), u"/m/a.d/x.txt");
}

}  // namespace
