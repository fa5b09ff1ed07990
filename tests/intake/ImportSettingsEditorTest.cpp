// The dialog's Qt test drives saving and deleting presets through the windows,
// also a failed write; the rules below are the editor's own.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsEditor.h"
#include "intake/ImportSettingsFile.h"

namespace {

CImportFilterPtr Name(const std::u16string& pattern) {
    return boost::make_shared<CFileNameImportFilter>(pattern, 0);
}

// A picked preset is copied, so edits reach neither it nor the settings the
// dialog opened with, and deleting the preset keeps the copy.
TEST(ImportSettingsEditorTest, EditsReachOnlyTheCopyOfAPickedPreset) {
    using List = CImportSettingsEditor::FilterList;
    ImportSettingsList presets{MakeDefaultImportSettings()};
    const CImportSettingsPtr stored = presets[0];
    auto opened = boost::make_shared<CImportSettings>();
    CImportSettingsEditor editor(presets, opened, nullptr);
    ASSERT_TRUE(editor.PickPreset(0));
    for (const char16_t* p : {u"a", u"b", u"c"})
        editor.AddFilter(List::Ignore, Name(p));
    EXPECT_FALSE(editor.AddFilter(List::Ignore, Name(u"B")));  // letter case aside
    EXPECT_TRUE(editor.AddFilter(List::Input, Name(u"b")));    // only its own list counts
    EXPECT_FALSE(editor.DeleteFilter(List::Ignore, 3));
    ASSERT_TRUE(editor.DeleteFilter(List::Ignore, 1));
    editor.DeletePreset(0);
    const auto& ignore = editor.Filters(List::Ignore);
    ASSERT_EQ(ignore.size(), 2u);
    EXPECT_EQ(ignore[0]->Describe() + ignore[1]->Describe(),
              Name(u"a")->Describe() + Name(u"c")->Describe());
    EXPECT_EQ(editor.Filters(List::Input).size(), 2u);
    EXPECT_TRUE(presets.empty());
    EXPECT_EQ(stored->inputFilters.size() + stored->ignoreFilters.size(), 1u);
    EXPECT_TRUE(opened->inputFilters.empty() && opened->ignoreFilters.empty());
}

}  // namespace
