// The dialog's Qt test covers picking, adding, saving and deleting presets
// through the windows; these are the rules it does not reach.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsEditor.h"

namespace {

using List = CImportSettingsEditor::FilterList;

CImportFilterPtr Name(const std::u16string& pattern) {
    return boost::make_shared<CFileNameImportFilter>(pattern, 0);
}

CImportSettingsPtr Preset(const std::u16string& name) {
    auto preset = boost::make_shared<CImportSettings>();
    preset->name = name;
    preset->inputFilters.push_back(Name(u"*.*"));
    return preset;
}

TEST(ImportSettingsEditorTest, DeletingTheMiddleIgnoreFilterLeavesTheRest) {
    ImportSettingsList presets;
    CImportSettingsEditor editor(presets, Preset(u""), nullptr);
    for (const char16_t* p : {u"a", u"b", u"c"})
        editor.AddFilter(List::Ignore, Name(p));
    EXPECT_FALSE(editor.DeleteFilter(List::Ignore, 3));
    ASSERT_TRUE(editor.DeleteFilter(List::Ignore, 1));
    const auto& ignore = editor.Filters(List::Ignore);
    ASSERT_EQ(ignore.size(), 2u);
    EXPECT_EQ(ignore[0]->Describe(), Name(u"a")->Describe());
    EXPECT_EQ(ignore[1]->Describe(), Name(u"c")->Describe());
    EXPECT_EQ(editor.Filters(List::Input).size(), 1u);
}

TEST(ImportSettingsEditorTest, PresetNamesCompareWholeAndLetterCaseAside) {
    ImportSettingsList presets{Preset(u"all files"), Preset(u"Photos")};
    CImportSettingsEditor editor(presets, nullptr, nullptr);
    EXPECT_TRUE(editor.PresetNameExists(u"PHOTOS"));
    EXPECT_FALSE(editor.PresetNameExists(u"Photo"));
    EXPECT_FALSE(editor.PresetNameExists(u"all"));
    EXPECT_FALSE(editor.PickPreset(2));
}

TEST(ImportSettingsEditorTest, AFailedWriteAfterADeletionIsReportedAndTheDeletionKept) {
    ImportSettingsList presets{Preset(u"all files"), Preset(u"Photos")};
    CImportSettingsEditor editor(presets, nullptr, [](std::string& message) {
        message = "詳細";
        return false;
    });
    const auto outcome = editor.DeletePreset(1);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.text, u"プリセット「Photos」の削除をファイルに書き込めませんでした。\n詳細");
    EXPECT_EQ(presets.size(), 1u);
}

}  // namespace
