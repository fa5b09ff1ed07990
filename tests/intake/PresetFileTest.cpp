#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <string>

#include "TestSupport.h"
#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "intake/LoadImportSettingsReceiver.h"
#include "support/FileSystem.h"
#include "support/ZelConfReader.h"

namespace {

using testing_support::TempDir;
using testing_support::U;

const char kBuiltInText[] =
    "<ImportSettings>\r\nName=\"all files\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
    "type=filename\r\nstring=\"*.*\"\r\nnocase=0\r\n</Filter>\r\n</InputFilter>\r\n"
    "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";

ImportSettingsList ParseText(const std::string& text) {
    LoadImportSettingsReceiver receiver;
    ZelConfReader reader(&receiver, true);
    reader.Parse(text.data(), text.size());
    return receiver.Result();
}

const CFileNameImportFilter& NameFilter(const CImportFilterPtr& filter) {
    return dynamic_cast<const CFileNameImportFilter&>(*filter);
}

const CAttrImportFilter& AttrFilter(const CImportFilterPtr& filter) {
    return dynamic_cast<const CAttrImportFilter&>(*filter);
}

TEST(PresetFileTest, BuiltInPresetIsWrittenByteForByte) {
    const std::string text = FormatImportSettings({MakeDefaultImportSettings()});
    EXPECT_EQ(text, kBuiltInText);
    EXPECT_EQ(FormatImportSettings({}), "");

    const ImportSettingsList back = ParseText(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->name, u"all files");
    EXPECT_EQ(FormatImportSettings(back), text);

    const CImportSettingsPtr view = MakeViewDefaultImportSettings();
    EXPECT_TRUE(view->name.empty());
    ASSERT_EQ(view->inputFilters.size(), 1u);
    EXPECT_EQ(NameFilter(view->inputFilters[0]).Pattern(), u"*.*");
    EXPECT_EQ(view->AutoGroup, 0);
}

CImportSettingsPtr AwkwardPreset() {
    auto preset = boost::make_shared<CImportSettings>();
    preset->name = U("\"写真\" C:\\dir\\");
    preset->AutoGroup = 1;
    preset->inputFilters.push_back(
        boost::make_shared<CFileNameImportFilter>(U("a\\\\b=c;*.jpg"), 1));
    preset->inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(U(" 先頭の空白 "), 0));
    preset->ignoreFilters.push_back(boost::make_shared<CAttrImportFilter>(0x05, 1));
    preset->ignoreFilters.push_back(boost::make_shared<CAttrImportFilter>(0x22, 0));
    return preset;
}

TEST(PresetFileTest, AwkwardTextsSurviveRepeatedSaves) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    ImportSettingsList presets{AwkwardPreset(), MakeDefaultImportSettings()};
    std::string message;
    ASSERT_TRUE(SaveImportSettings(fs, dir.Path(), presets, message)) << message;
    const std::string firstText = testing_support::ReadFile(dir / "ImportSettings.xml");
    EXPECT_NE(firstText.find("string=\"a\\\\\\\\b=c;*.jpg\"\r\n"), std::string::npos);
    EXPECT_NE(firstText.find("Name=\"\"写真\" C:\\\\dir\\\\\"\r\n"), std::string::npos);
    EXPECT_NE(firstText.find("attr=1,0,0,1,\r\nfunc=1\r\n"), std::string::npos);
    EXPECT_NE(firstText.find("attr=0,1,1,0,\r\nfunc=0\r\n"), std::string::npos);
    EXPECT_NE(firstText.find("AutoGroup=1\r\n"), std::string::npos);

    for (int cycle = 0; cycle < 2; ++cycle) {
        ImportSettingsList loaded;
        ASSERT_TRUE(LoadImportSettings(fs, dir.Path(), loaded));
        ASSERT_EQ(loaded.size(), 2u);
        const CImportSettings& p = *loaded[0];
        EXPECT_EQ(p.name, presets[0]->name);
        EXPECT_EQ(p.AutoGroup, 1);
        ASSERT_EQ(p.inputFilters.size(), 2u);
        EXPECT_EQ(NameFilter(p.inputFilters[0]).Pattern(), U("a\\\\b=c;*.jpg"));
        EXPECT_EQ(NameFilter(p.inputFilters[0]).NoCase(), 1);
        EXPECT_EQ(NameFilter(p.inputFilters[1]).Pattern(), U(" 先頭の空白 "));
        ASSERT_EQ(p.ignoreFilters.size(), 2u);
        EXPECT_EQ(AttrFilter(p.ignoreFilters[0]).Attr(), 0x05u);
        EXPECT_EQ(AttrFilter(p.ignoreFilters[0]).Func(), 1u);
        EXPECT_EQ(AttrFilter(p.ignoreFilters[1]).Attr(), 0x22u);
        ASSERT_TRUE(SaveImportSettings(fs, dir.Path(), loaded, message)) << message;
        EXPECT_EQ(testing_support::ReadFile(dir / "ImportSettings.xml"), firstText);
    }
}

TEST(PresetFileTest, ReaderFollowsTheBlocks) {
    const ImportSettingsList presets = ParseText(
        "; hand-edited\n"
        "\n<ImportSettings>\nName=plain\nAutoGroup= 7x\n"
        "<IgnoreFilter>\n<Filter>\ntype=filename\nstring=\"*.tmp\"\n</Filter>\n"
        "<Filter>\ntype=shortcut\nstring=lost\nnocase=1\n</Filter>\n"
        "<Filter>\ntype=attributes\nattr=0,1,\n</Filter>\n"
        "</InputFilter>\n"    // either closing line ends either list
        "<ImportSettings>\n"  // ignored inside a preset
        "<InputFilter>\n<Filter>\ntype=attributes\nattr=\"1\",\"0,\\\"\",0,1,1\nfunc=-1\n"
        "</Filter>\n</InputFilter>\n</ImportSettings>\n"
        "<ImportSettings>\nName=unfinished\n<InputFilter>\n");
    ASSERT_EQ(presets.size(), 1u);
    const CImportSettings& p = *presets[0];
    EXPECT_EQ(p.name, u"plain");
    EXPECT_EQ(p.AutoGroup, 7);
    ASSERT_EQ(p.ignoreFilters.size(), 2u);
    EXPECT_EQ(NameFilter(p.ignoreFilters[0]).Pattern(), u"*.tmp");
    EXPECT_EQ(NameFilter(p.ignoreFilters[0]).NoCase(), 0);
    EXPECT_EQ(AttrFilter(p.ignoreFilters[1]).Attr(), kAttrArchive);
    EXPECT_EQ(AttrFilter(p.ignoreFilters[1]).Func(), 0u);
    ASSERT_EQ(p.inputFilters.size(), 1u);
    // Quoted fields keep their commas; the fifth field is ignored.
    EXPECT_EQ(AttrFilter(p.inputFilters[0]).Attr(), kAttrReadOnly | kAttrSystem);
    EXPECT_FALSE(p.inputFilters[0]->Match(FindData{u"x", kAttrReadOnly | kAttrSystem, 0}));
}

TEST(PresetFileTest, DecimalValuesReadLikeTheCRuntime) {
    EXPECT_EQ(PresetDecimalValue(u"  -12ab"), -12);
    EXPECT_EQ(PresetDecimalValue(u"+3"), 3);
    EXPECT_EQ(PresetDecimalValue(u"x1"), 0);
    EXPECT_EQ(PresetDecimalValue(u""), 0);
    EXPECT_EQ(PresetDecimalValue(u"99999999999"), 2147483647);
    EXPECT_EQ(PresetDecimalValue(u"-99999999999"), -2147483647 - 1);
    EXPECT_EQ(PresetAttrValue(u"1,1,1,1,"), 0x27u);
    EXPECT_EQ(PresetAttrValue(u"0,0,2,-1"), kAttrHidden);
    EXPECT_EQ(PresetAttrValue(u""), 0u);
}

}  // namespace
