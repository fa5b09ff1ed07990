#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "TestSupport.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "support/PosixFileSystem.h"

namespace {

using testing_support::MakeDir;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

const char kOnePreset[] =
    "<ImportSettings>\r\nName=\"mine\"\r\nAutoGroup=1\r\n<InputFilter>\r\n</InputFilter>\r\n"
    "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";

bool IsBuiltIn(const ImportSettingsList& list) {
    return list.size() == 1 && list[0]->name == u"all files" && list[0]->inputFilters.size() == 1;
}

// The real file system with writes or renames that fail on demand.
class FailingFileSystem : public zel::PosixFileSystem {
public:
    int WriteAll(int fd, const char* data, size_t size) override {
        if (failWrites) return ENOSPC;
        return PosixFileSystem::WriteAll(fd, data, size);
    }
    int Rename(const std::string& from, const std::string& to) override {
        if (failRenames) return EACCES;
        return PosixFileSystem::Rename(from, to);
    }
    bool failWrites = false;
    bool failRenames = false;
};

size_t EntryCount(const std::string& folder) {
    std::vector<zel::DirEntry> entries;
    zel::IFileSystem::Default().ListFolder(folder, entries);
    return entries.size();
}

TEST(ImportSettingsFileTest, FilesThatLoadGiveTheirPresetsEvenNone) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    ImportSettingsList list;
    bool existed = true;

    EXPECT_FALSE(LoadImportSettings(fs, dir.Path(), list, &existed));
    EXPECT_TRUE(IsBuiltIn(list));
    EXPECT_FALSE(existed);

    WriteFile(path, "");
    EXPECT_TRUE(LoadImportSettings(fs, dir.Path() + "/", list, &existed));
    EXPECT_TRUE(list.empty());

    WriteFile(path, std::string("\x00\xff\xfe<Imp\x01\r\x80=\n", 12));
    EXPECT_TRUE(LoadImportSettings(fs, dir.Path(), list, &existed));
    EXPECT_TRUE(list.empty());

    // Cut in the middle of the second preset: the first one stays.
    const std::string two = std::string(kOnePreset) + kOnePreset;
    WriteFile(path, two.substr(0, two.size() - 30));
    EXPECT_TRUE(LoadImportSettings(fs, dir.Path(), list, &existed));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->name, u"mine");

    // A byte-order mark written by an editor does not hide the first line.
    WriteFile(path, std::string("\xEF\xBB\xBF") + kOnePreset);
    EXPECT_TRUE(LoadImportSettings(fs, dir.Path(), list, &existed));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_FALSE(existed);
}

TEST(ImportSettingsFileTest, UnreadableFileFallsBackAndIsRemembered) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    ImportSettingsList list;
    bool existed = false;
    MakeDir(dir / "ImportSettings.xml");  // not a regular file
    EXPECT_FALSE(LoadImportSettings(fs, dir.Path(), list, &existed));
    EXPECT_TRUE(IsBuiltIn(list));
    EXPECT_TRUE(existed);

    // No folder: nothing is read or written.
    EXPECT_FALSE(LoadImportSettings(fs, "", list, &existed));
    EXPECT_TRUE(IsBuiltIn(list));
    std::string message;
    EXPECT_FALSE(SaveImportSettings(fs, "", list, message));
    EXPECT_FALSE(message.empty());
}

TEST(ImportSettingsFileTest, FirstSaveKeepsAFileThatDidNotLoad) {
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    // Too large to be a presets file: it does not load, but it is someone's data.
    testing_support::MakeSparseFile(path, 17u << 20);

    CImportSettingsStore store(fs, dir.Path());
    EXPECT_FALSE(store.Load());
    EXPECT_TRUE(IsBuiltIn(store.presets));
    EXPECT_TRUE(store.BackupPending());

    std::string message;
    ASSERT_TRUE(store.Save(message)) << message;
    zel::FileStat st;
    ASSERT_EQ(fs.Stat(path + ".bak", st), 0);
    EXPECT_EQ(st.size, 17u << 20);
    EXPECT_EQ(ReadFile(path), FormatImportSettings(store.presets));
    EXPECT_FALSE(store.BackupPending());

    // Later saves rewrite in place and leave the backup alone.
    WriteFile(path + ".bak", "kept");
    store.presets.clear();
    ASSERT_TRUE(store.Save(message)) << message;
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(ReadFile(path + ".bak"), "kept");

    // A store whose file loaded makes no backup.
    WriteFile(path, kOnePreset);
    CImportSettingsStore fresh(fs, dir.Path());
    EXPECT_TRUE(fresh.Load());
    EXPECT_FALSE(fresh.BackupPending());
}

TEST(ImportSettingsFileTest, FailedSaveReportsAndLeavesTheOldFile) {
    FailingFileSystem fs;
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    WriteFile(path, kOnePreset);
    ImportSettingsList list{MakeDefaultImportSettings()};
    std::string message;

    fs.failWrites = true;
    EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message));
    EXPECT_NE(message.find("保存できませんでした"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(path), kOnePreset);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);  // no temporary file left behind

    // With a pending backup the moved file is put back.
    EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message, true));
    EXPECT_EQ(ReadFile(path), kOnePreset);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);

    // A backup that cannot be made stops the save before anything is written.
    fs.failWrites = false;
    fs.failRenames = true;
    EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message, true));
    EXPECT_NE(message.find(".bak"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(path), kOnePreset);

    // Line breaks cannot be stored in this format.
    fs.failRenames = false;
    list[0]->name = u"two\nlines";
    EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message));
    EXPECT_EQ(ReadFile(path), kOnePreset);
}

}  // namespace
