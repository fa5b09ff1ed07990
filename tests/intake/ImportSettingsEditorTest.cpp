// The dialog's Qt test covers picking, adding, saving and deleting presets
// through the windows, also a failed write; this is the rule it does not reach.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsEditor.h"
#include "intake/ImportSettingsFile.h"

namespace {

CImportFilterPtr Name(const std::u16string& pattern) {
    return boost::make_shared<CFileNameImportFilter>(pattern, 0);
}

TEST(ImportSettingsEditorTest, DeletingTheMiddleIgnoreFilterLeavesTheRest) {
    using List = CImportSettingsEditor::FilterList;
    ImportSettingsList presets;
    CImportSettingsEditor editor(presets, MakeDefaultImportSettings(), nullptr);
    for (const char16_t* p : {u"a", u"b", u"c"})
        editor.AddFilter(List::Ignore, Name(p));
    EXPECT_FALSE(editor.DeleteFilter(List::Ignore, 3));
    ASSERT_TRUE(editor.DeleteFilter(List::Ignore, 1));
    const auto& ignore = editor.Filters(List::Ignore);
    ASSERT_EQ(ignore.size(), 2u);
    EXPECT_EQ(ignore[0]->Describe() + ignore[1]->Describe(),
              Name(u"a")->Describe() + Name(u"c")->Describe());
    EXPECT_EQ(editor.Filters(List::Input).size(), 1u);
}

}  // namespace
