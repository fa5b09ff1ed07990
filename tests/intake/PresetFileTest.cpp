// The presets file: its exact text, what the reader makes of hand-edited or
// damaged files, and saves that fail or must keep a file that did not load.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <cerrno>
#include <string>

#include "TestSupport.h"
#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "intake/LoadImportSettingsReceiver.h"
#include "support/FaultyFileSystem.h"
#include "support/Unprivileged.h"
#include "support/ZelConfReader.h"

namespace {

using testing_support::FolderNames;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::U;
using testing_support::WriteFile;
constexpr auto Written = CImportSettingsStore::SaveResult::Written;

const char kBuiltInText[] =
    "<ImportSettings>\r\nName=\"all files\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
    "type=filename\r\nstring=\"*.*\"\r\nnocase=0\r\n</Filter>\r\n</InputFilter>\r\n"
    "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";
const char kOnePreset[] =
    "<ImportSettings>\r\nName=\"mine\"\r\nAutoGroup=1\r\n<InputFilter>\r\n</InputFilter>\r\n"
    "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";

ImportSettingsList ParseText(const std::string& text) {
    LoadImportSettingsReceiver receiver;
    ZelConfReader reader(&receiver, true);
    reader.Parse(text.data(), text.size());
    return receiver.Result();
}

// A filter as one line: "name:<pattern>:<nocase>" or "attr:<bits>:<func>".
std::string Describe(const CImportFilterPtr& filter) {
    if (const auto* name = dynamic_cast<const CFileNameImportFilter*>(filter.get()))
        return "name:" + zel::Utf16ToUtf8(name->Pattern()) + ":" + std::to_string(name->NoCase());
    const auto& attr = dynamic_cast<const CAttrImportFilter&>(*filter);
    return "attr:" + std::to_string(attr.Attr()) + ":" + std::to_string(attr.Func());
}

std::vector<std::string> Describe(const CImportSettings& p) {
    std::vector<std::string> out{zel::Utf16ToUtf8(p.name), std::to_string(p.AutoGroup)};
    for (const auto& f : p.inputFilters)
        out.push_back("in " + Describe(f));
    for (const auto& f : p.ignoreFilters)
        out.push_back("ignore " + Describe(f));
    return out;
}

TEST(PresetFileTest, TextIsWrittenByteForByteAndAwkwardTextsSurviveRepeatedSaves) {
    auto preset = boost::make_shared<CImportSettings>();
    preset->name = U("\"写真\" C:\\dir\\");
    preset->AutoGroup = 1;
    preset->inputFilters = {boost::make_shared<CFileNameImportFilter>(U("a\\\\b=c;*.jpg"), 1),
                            boost::make_shared<CFileNameImportFilter>(U(" 先頭の空白 "), 0)};
    preset->ignoreFilters = {boost::make_shared<CAttrImportFilter>(0x05, 1),
                             boost::make_shared<CAttrImportFilter>(0x22, 0)};
    const std::vector<std::string> expected{"\"写真\" C:\\dir\\",       "1",
                                            "in name:a\\\\b=c;*.jpg:1", "in name: 先頭の空白 :0",
                                            "ignore attr:5:1",          "ignore attr:34:0"};
    ImportSettingsList presets{preset, MakeDefaultImportSettings()};
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    std::string message;
    ASSERT_TRUE(SaveImportSettings(fs, dir.Path(), presets, message)) << message;
    const std::string firstText = ReadFile(dir / "ImportSettings.xml");
    for (const char* line :
         {"string=\"a\\\\\\\\b=c;*.jpg\"\r\n", "Name=\"\"写真\" C:\\\\dir\\\\\"\r\n",
          "attr=1,0,0,1,\r\nfunc=1\r\n", "attr=0,1,1,0,\r\nfunc=0\r\n"})
        EXPECT_NE(firstText.find(line), std::string::npos) << line;
    for (int cycle = 0; cycle < 2; ++cycle) {
        ImportSettingsList loaded;
        ASSERT_TRUE(LoadImportSettings(fs, dir.Path(), loaded));
        ASSERT_EQ(loaded.size(), 2u);
        EXPECT_EQ(Describe(*loaded[0]), expected);
        ASSERT_TRUE(SaveImportSettings(fs, dir.Path(), loaded, message)) << message;
        EXPECT_EQ(ReadFile(dir / "ImportSettings.xml"), firstText);
    }
}

TEST(PresetFileTest, ReaderFollowsTheBlocksAndReadsNumbersLikeTheCRuntime) {
    const ImportSettingsList presets = ParseText(
        "; hand-edited\n"
        "\n<ImportSettings>\nName=plain\nAutoGroup= 7x\n"
        "<IgnoreFilter>\n<Filter>\ntype=filename\nstring=\"*.tmp\"\n</Filter>\n"
        "<Filter>\ntype=shortcut\nstring=lost\nnocase=1\n</Filter>\n"
        "<Filter>\ntype=attributes\nattr=0,1,\n</Filter>\n"
        "</InputFilter>\n"  // either closing line ends either list
        "<InputFilter>\n<Filter>\ntype=attributes\nattr=\"1\",\"0,\\\"\",0,1,1\nfunc=-1\n"
        "</Filter>\n</InputFilter>\n</ImportSettings>\n"
        "<ImportSettings>\nName=unfinished\n<InputFilter>\n");
    ASSERT_EQ(presets.size(), 1u);
    // Quoted fields keep their commas; the fifth field is ignored.
    EXPECT_EQ(Describe(*presets[0]),
              (std::vector<std::string>{"plain", "7", "in attr:5:4294967295", "ignore name:*.tmp:0",
                                        "ignore attr:32:0"}));
    // Numbers read like the C runtime reads them.
    const std::pair<std::u16string, int32_t> decimals[] = {{u"  -12ab", -12},
                                                           {u"+3", 3},
                                                           {u"x1", 0},
                                                           {u"", 0},
                                                           {u"99999999999", 2147483647},
                                                           {u"-99999999999", -2147483647 - 1}};
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(PresetDecimalValue(text), value) << zel::Utf16ToUtf8(text);
    EXPECT_EQ(PresetAttrValue(u"1,1,1,1,"), 0x27u);
    EXPECT_EQ(PresetAttrValue(u"0,0,2,-1"), kAttrHidden);
    EXPECT_EQ(PresetAttrValue(u""), 0u);
}

bool IsBuiltIn(const ImportSettingsList& list) {
    return list.size() == 1 && list[0]->name == u"all files";
}

TEST(PresetFileTest, FilesThatLoadGiveTheirPresetsEvenNone) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    ImportSettingsList list;
    bool existed = true;
    EXPECT_FALSE(LoadImportSettings(fs, dir.Path(), list, &existed));
    EXPECT_TRUE(IsBuiltIn(list));
    EXPECT_FALSE(existed);

    const std::string two = std::string(kOnePreset) + kOnePreset;
    // Empty, garbage, cut in the middle of the second preset, with a byte-order mark.
    const std::pair<std::string, size_t> files[] = {
        {"", 0},
        {std::string("\x00\xff\xfe<Imp\x01\r\x80=\n", 12), 0},
        {two.substr(0, two.size() - 30), 1},
        {std::string("\xEF\xBB\xBF") + kOnePreset, 1}};
    for (const auto& [text, count] : files) {
        WriteFile(path, text);
        EXPECT_TRUE(LoadImportSettings(fs, dir.Path() + "/", list, &existed));
        EXPECT_EQ(list.size(), count);
        EXPECT_FALSE(existed);
    }

    // Not a regular file: the built-in preset, and remembered as existing.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    testing_support::MakeDir(path);
    EXPECT_FALSE(LoadImportSettings(fs, dir.Path(), list, &existed));
    EXPECT_TRUE(IsBuiltIn(list));
    EXPECT_TRUE(existed);
    // No folder: nothing is read or written.
    EXPECT_FALSE(LoadImportSettings(fs, "", list, &existed));
    std::string message;
    EXPECT_FALSE(SaveImportSettings(fs, "", list, message));
    EXPECT_FALSE(message.empty());
}

// A file that did not load is someone's data: the first save moves it aside,
// later ones rewrite in place. A failed save leaves the old file alone.
TEST(PresetFileTest, SavesKeepAFileThatDidNotLoadAndFailedSavesLeaveTheOldOne) {
    testing_support::FaultyFileSystem fs;
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    testing_support::MakeSparseFile(path, 17u << 20);  // too large to be a presets file
    CImportSettingsStore store(fs, dir.Path());
    EXPECT_FALSE(store.Load());
    EXPECT_TRUE(IsBuiltIn(store.presets));
    std::string message;
    ASSERT_EQ(store.Save(store.presets, message), Written) << message;
    EXPECT_EQ(FolderNames(dir.Path()),
              "ImportSettings.xml|ImportSettings.xml.bak|ImportSettings.xml.lock");
    EXPECT_EQ(ReadFile(path), kBuiltInText);
    WriteFile(path + ".bak", "kept");
    ASSERT_EQ(store.Save({}, message), Written) << message;
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(ReadFile(path + ".bak"), "kept");
    ASSERT_EQ(::unlink((path + ".bak").c_str()), 0);

    // A failed write puts the backup made first back in place; a backup that
    // cannot be made stops the save; line breaks cannot be stored at all.
    const struct {
        int writeError, renameError;
        const char16_t* name;
        const char* says;
    } failures[] = {{ENOSPC, 0, u"all files", "保存できませんでした"},
                    {0, EACCES, u"all files", ".bak"},
                    {0, 0, u"two\nlines", "改行"}};
    WriteFile(path, kOnePreset);
    for (const auto& c : failures) {
        fs.writeError = c.writeError;
        fs.renameError = c.renameError;
        ImportSettingsList list{MakeDefaultImportSettings()};
        list[0]->name = c.name;
        EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message, true));
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_EQ(ReadFile(path), kOnePreset);
        EXPECT_EQ(FolderNames(dir.Path()), "ImportSettings.xml|ImportSettings.xml.lock");
    }
    fs.writeError = fs.renameError = 0;
    CImportSettingsStore fresh(fs, dir.Path());  // its file loaded: no backup
    EXPECT_TRUE(fresh.Load());
    EXPECT_FALSE(fresh.LastLoad().KeepOriginal());
}

std::string Names(const ImportSettingsList& list) {
    std::string names;
    for (const auto& preset : list)
        names += (names.empty() ? "" : ",") + zel::Utf16ToUtf8(preset->name);
    return names;
}

// A cut preset is left out, but the intact ones after it are kept, the user is
// told which, and the original survives the first rewrite.
TEST(PresetFileTest, ADamagedPresetCostsOnlyItselfAndTheOriginalIsKept) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    auto preset = [](const char* name) {
        std::string text = kOnePreset;
        return text.replace(text.find("mine"), 4, name);
    };
    const std::string damaged = preset("P1") + preset("P2") + preset("P3").substr(0, 62) + "\r\n" +
                                preset("P4") + "<ImportSettings>\r\nAutoGroup=1\r\n" +
                                preset("P5") + preset("P6").substr(0, 40);
    WriteFile(path, damaged);
    CImportSettingsStore store(fs, dir.Path());
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(Names(store.presets), "P1,P2,P4,P5");
    EXPECT_EQ(store.LastLoad().damaged,
              (std::vector<DamagedPreset>{{3, u"P3"}, {5, u""}, {7, u"P6"}}));
    const std::u16string told = DamagedPresetsMessage(path, store.LastLoad().damaged);
    EXPECT_NE(told.find(u"「P3」、5 番目のプリセット、「P6」"), std::u16string::npos);

    ImportSettingsList edited = store.presets;
    edited.push_back(MakeDefaultImportSettings());
    std::string message;
    ASSERT_EQ(store.Save(edited, message), Written) << message;
    EXPECT_EQ(ReadFile(path + ".bak"), damaged);
    ImportSettingsList reread;
    EXPECT_TRUE(ReadImportSettings(fs, dir.Path(), reread).damaged.empty());
    EXPECT_EQ(Names(reread), "P1,P2,P4,P5,all files");
}

}  // namespace
