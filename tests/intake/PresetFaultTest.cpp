// The presets file against failures: saves that cannot be written keep the old
// file (also the one moved aside as a backup), and an enormous file is refused
// by its size so that the built-in preset is used.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "TestSupport.h"
#include "intake/ImportSettingsFile.h"
#include "support/FaultyFileSystem.h"
#include "support/MountNamespace.h"

using testing_support::FolderNames;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::MountKind;
using testing_support::ReadFile;
using testing_support::RunWithMount;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char kOld[] =
    "<ImportSettings>\r\nName=\"old\"\r\nAutoGroup=0\r\n<InputFilter>\r\n</InputFilter>\r\n"
    "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";

std::string Message(const std::string& path, const std::string& detail) {
    return "インポート設定ファイル「" + path + "」を保存できませんでした。\n" + detail;
}

// A plain save and a save through a store whose file did not load (and so is
// first moved aside), as the child of a mount test reports them.
std::string SaveBoth(const std::string& folder) {
    const ImportSettingsList list{MakeDefaultImportSettings()};
    std::string plain;
    const bool plainOk = SaveImportSettings(zel::IFileSystem::Default(), folder, list, plain);
    std::string backedUp;
    const bool backedUpOk =
        SaveImportSettings(zel::IFileSystem::Default(), folder, list, backedUp, true);
    return std::to_string(plainOk) + "\n" + plain + "\n" + std::to_string(backedUpOk) + "\n" +
           backedUp + "\n" + ReadFile(folder + "/ImportSettings.xml") + "--\n" +
           FolderNames(folder);
}

TEST(PresetFault, SaveIntoAFolderThatRefusesWrites) {
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    WriteFile(path, kOld);
    const ImportSettingsList list{MakeDefaultImportSettings()};

    testing_support::FaultyFileSystem fs;
    fs.openError = EACCES;
    std::string message;
    EXPECT_FALSE(SaveImportSettings(fs, dir.Path(), list, message));
    EXPECT_EQ(message, Message(path, "create: " + zel::ErrorText(EACCES)));
    EXPECT_EQ(ReadFile(path), kOld);
    EXPECT_EQ(FolderNames(dir.Path()), "ImportSettings.xml");

    // A store that must keep the unloadable file first moves it aside, and
    // puts it back when the new file cannot be made.
    MakeSparseFile(path, 17u << 20);
    CImportSettingsStore store(fs, dir.Path());
    EXPECT_FALSE(store.Load());
    EXPECT_TRUE(store.BackupPending());
    EXPECT_FALSE(store.Save(message));
    EXPECT_EQ(message, Message(path, "create: " + zel::ErrorText(EACCES)));
    EXPECT_TRUE(store.BackupPending());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 17 << 20);
    EXPECT_EQ(FolderNames(dir.Path()), "ImportSettings.xml");

    WriteFile(path, kOld);
    const auto run =
        RunWithMount(dir.Path(), MountKind::ReadOnly, [&] { return SaveBoth(dir.Path()); });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const std::string erofs = zel::ErrorText(EROFS);
    EXPECT_EQ(run.output, "0\n" + Message(path, "create: " + erofs) + "\n0\n" +
                              Message(path, "読み込めなかったファイルを「" + path +
                                                ".bak」に退避できませんでした: " + erofs) +
                              "\n" + kOld + "--\nImportSettings.xml");
    EXPECT_EQ(ReadFile(path), kOld);
}

TEST(PresetFault, SaveOntoAFullFileSystem) {
    TempDir dir;
    const std::string folder = dir / "tiny";
    MakeDir(folder);
    const std::string path = folder + "/ImportSettings.xml";
    const auto run = RunWithMount(folder, MountKind::TinyTmpfs, [&] {
        WriteFile(path, kOld);
        WriteFile(folder + "/filler", std::string(60 << 10, 'f'));
        return SaveBoth(folder);
    });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const std::string failure = Message(path, "write: " + zel::ErrorText(ENOSPC));
    EXPECT_EQ(run.output,
              "0\n" + failure + "\n0\n" + failure + "\n" + kOld + "--\nImportSettings.xml|filler");
}

TEST(PresetFault, ALinkedPresetsFileStaysALink) {
    TempDir dir;
    WriteFile(dir / "elsewhere.xml", kOld);
    const std::string path = dir / "ImportSettings.xml";
    ASSERT_EQ(::symlink("elsewhere.xml", path.c_str()), 0);
    CImportSettingsStore store(zel::IFileSystem::Default(), dir.Path());
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.presets.size(), 1u);
    store.presets.push_back(MakeDefaultImportSettings());
    std::string message;
    ASSERT_TRUE(store.Save(message)) << message;
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir / "elsewhere.xml"), FormatImportSettings(store.presets));
    EXPECT_EQ(FolderNames(dir.Path()), "ImportSettings.xml|elsewhere.xml");
}

TEST(PresetFault, AnEnormousFileIsRefusedBySizeWithoutBeingRead) {
    TempDir dir;
    const std::string path = dir / "ImportSettings.xml";
    MakeSparseFile(path, 100ull << 20);
    const unsigned long long before = testing_support::BytesReadByProcess();
    ImportSettingsList list;
    bool existed = false;
    EXPECT_FALSE(LoadImportSettings(zel::IFileSystem::Default(), dir.Path(), list, &existed));
    EXPECT_LT(testing_support::BytesReadByProcess() - before, 1u << 20);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->name, u"all files");
    EXPECT_TRUE(existed);
}

}  // namespace
