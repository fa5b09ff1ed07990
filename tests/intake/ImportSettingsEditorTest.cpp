#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsEditor.h"

namespace {

using List = CImportSettingsEditor::FilterList;

CImportFilterPtr Name(const std::u16string& pattern, int32_t nocase = 0) {
    return boost::make_shared<CFileNameImportFilter>(pattern, nocase);
}

CImportSettingsPtr Preset(const std::u16string& name, const std::u16string& pattern) {
    auto preset = boost::make_shared<CImportSettings>();
    preset->name = name;
    preset->inputFilters.push_back(Name(pattern));
    return preset;
}

std::vector<std::u16string> Descriptions(const std::vector<CImportFilterPtr>& filters) {
    std::vector<std::u16string> out;
    for (const auto& f : filters)
        out.push_back(f->Describe());
    return out;
}

struct ImportSettingsEditorTest : ::testing::Test {
    ImportSettingsList presets{Preset(u"all files", u"*.*"), Preset(u"Photos", u"*.jpg")};
    int saves = 0;
    bool saveWorks = true;
    CImportSettingsEditor::SavePresets saver = [this](std::string& message) {
        ++saves;
        if (!saveWorks) message = "書き込めません";
        return saveWorks;
    };
};

TEST_F(ImportSettingsEditorTest, PickedPresetIsCopiedSoEditsNeverReachIt) {
    auto opened = boost::make_shared<CImportSettings>();
    CImportSettingsEditor editor(presets, opened, saver);
    EXPECT_FALSE(editor.PickPreset(2));
    EXPECT_EQ(editor.Working(), opened);

    ASSERT_TRUE(editor.PickPreset(1));
    EXPECT_NE(editor.Working(), presets[1]);
    EXPECT_EQ(editor.Working()->name, u"Photos");
    ASSERT_TRUE(editor.AddFilter(List::Ignore, Name(u"*.tmp")));
    ASSERT_TRUE(editor.DeleteFilter(List::Input, 0));
    EXPECT_EQ(presets[1]->inputFilters.size(), 1u);
    EXPECT_TRUE(presets[1]->ignoreFilters.empty());
    EXPECT_TRUE(opened->ignoreFilters.empty());
}

TEST_F(ImportSettingsEditorTest, EditsWithoutPickChangeTheOpenedSettingsAndNullStartsEmpty) {
    auto opened = Preset(u"", u"*.*");
    CImportSettingsEditor editor(presets, opened, saver);
    ASSERT_TRUE(editor.AddFilter(List::Input, Name(u"*.doc")));
    EXPECT_EQ(editor.Working(), opened);
    EXPECT_EQ(opened->inputFilters.size(), 2u);

    CImportSettingsEditor fresh(presets, nullptr, saver);
    ASSERT_TRUE(fresh.Working());
    EXPECT_TRUE(fresh.Working()->inputFilters.empty());
    EXPECT_EQ(fresh.Working()->AutoGroup, 0);
}

TEST_F(ImportSettingsEditorTest,
       DuplicateDescriptionsAreRefusedLetterCaseAsideInTheTargetListOnly) {
    CImportSettingsEditor editor(presets, nullptr, saver);
    ASSERT_TRUE(editor.AddFilter(List::Input, Name(u"*.TXT")));
    ASSERT_TRUE(editor.AddFilter(List::Input, boost::make_shared<CAttrImportFilter>(0x01, 0)));
    struct Case {
        List list;
        CImportFilterPtr filter;
        bool added;
    } cases[] = {
        {List::Input, Name(u"*.txt"), false},
        {List::Input, Name(u"*.txt", 1), true},  // "(nocase)" makes another description
        {List::Input, boost::make_shared<CAttrImportFilter>(0x01, 0), false},
        {List::Input, boost::make_shared<CAttrImportFilter>(0x01, 1), true},
        {List::Ignore, Name(u"*.TXT"), true},
        {List::Ignore, Name(u"*.Txt"), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(editor.AddFilter(cases[i].list, cases[i].filter), cases[i].added) << "case " << i;
    }
    EXPECT_EQ(editor.Filters(List::Input).size(), 4u);
    EXPECT_EQ(editor.Filters(List::Ignore).size(), 1u);
}

TEST_F(ImportSettingsEditorTest, DeletingTheMiddleIgnoreFilterLeavesTheRest) {
    CImportSettingsEditor editor(presets, Preset(u"", u"*.*"), saver);
    for (const char16_t* p : {u"a", u"b", u"c"})
        editor.AddFilter(List::Ignore, Name(p));
    EXPECT_FALSE(editor.DeleteFilter(List::Ignore, 3));
    ASSERT_TRUE(editor.DeleteFilter(List::Ignore, 1));
    EXPECT_EQ(Descriptions(editor.Filters(List::Ignore)),
              (std::vector<std::u16string>{Name(u"a")->Describe(), Name(u"c")->Describe()}));
    EXPECT_EQ(editor.Filters(List::Input).size(), 1u);
}

TEST_F(ImportSettingsEditorTest, PresetNamesCompareWholeAndLetterCaseAside) {
    CImportSettingsEditor editor(presets, nullptr, saver);
    EXPECT_TRUE(editor.PresetNameExists(u"PHOTOS"));
    EXPECT_TRUE(editor.PresetNameExists(u"All Files"));
    EXPECT_FALSE(editor.PresetNameExists(u"Photo"));
    EXPECT_FALSE(editor.PresetNameExists(u"all"));
}

TEST_F(ImportSettingsEditorTest, SavingAppendsACopyAndReportsAFailedWriteInsteadOfSaved) {
    auto opened = Preset(u"", u"*.mp3");
    CImportSettingsEditor editor(presets, opened, saver);
    auto outcome = editor.SavePreset(u"Music", true);
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.text, u"プリセット「Music」を保存しました。");
    ASSERT_EQ(presets.size(), 3u);
    EXPECT_NE(presets[2], opened);
    EXPECT_EQ(presets[2]->name, u"Music");
    EXPECT_EQ(presets[2]->AutoGroup, 1);
    EXPECT_EQ(Descriptions(presets[2]->inputFilters), Descriptions(opened->inputFilters));
    EXPECT_EQ(opened->name, u"");
    EXPECT_EQ(opened->AutoGroup, 0);

    saveWorks = false;
    outcome = editor.SavePreset(u"Other", false);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.text.find(u"保存しました"), std::u16string::npos);
    EXPECT_NE(outcome.text.find(u"書き込めません"), std::u16string::npos);
    EXPECT_EQ(presets.size(), 4u);  // kept for this session
    EXPECT_EQ(saves, 2);
}

TEST_F(ImportSettingsEditorTest, DeletingRemovesByPositionAndKeepsWorkingSettings) {
    CImportSettingsEditor editor(presets, nullptr, saver);
    ASSERT_TRUE(editor.PickPreset(0));
    auto outcome = editor.DeletePreset(0);
    EXPECT_EQ(outcome.text, u"プリセット「all files」を削除しました。");
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(presets[0]->name, u"Photos");
    EXPECT_EQ(editor.Working()->name, u"all files");

    saveWorks = false;
    outcome = editor.DeletePreset(0);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.text.find(u"削除しました"), std::u16string::npos);
    EXPECT_TRUE(presets.empty());
}

}  // namespace
