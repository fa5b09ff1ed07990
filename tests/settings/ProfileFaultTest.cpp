// The profile against failures: saves into folders that refuse writes or onto a
// full file system keep the old file byte for byte, and profiles that are empty,
// cut, binary or enormous give the default settings.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "TestSupport.h"
#include "settings/IniProfile.h"
#include "settings/SettingsStore.h"
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

const char kOld[] = "[General]\nFONT_SIZE=20\n[PackInfo]\nFIRST_FLAG=0\n";

SettingsStore Changed() {
    SettingsStore store;
    store.general.fontSize = 9;
    store.packInfoList.push_back(PackInfo{u"Mine", u"123M"});
    return store;
}

// Both ways of saving, as the child of a mount test reports them.
std::string SaveBoth(const std::string& path, const std::string& folder) {
    int storeError = 0;
    const bool storeOk = Changed().Save(zel::IFileSystem::Default(), path, storeError);
    IniProfile profile;
    profile.SetInt(u"General", u"LINE_HEIGHT", 3);
    int profileError = 0;
    const bool profileOk = profile.Save(path, zel::IFileSystem::Default(), profileError);
    return std::to_string(storeOk) + " " + std::to_string(storeError) + " " +
           std::to_string(profileOk) + " " + std::to_string(profileError) + "\n" + ReadFile(path) +
           "--\n" + FolderNames(folder);
}

TEST(ProfileFault, SaveIntoAFolderThatRefusesWrites) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    WriteFile(path, kOld);

    testing_support::FaultyFileSystem fs;
    fs.openError = EACCES;
    int error = 0;
    EXPECT_FALSE(Changed().Save(fs, path, error));
    EXPECT_EQ(error, EACCES);
    IniProfile profile;
    profile.SetInt(u"General", u"LINE_HEIGHT", 3);
    EXPECT_FALSE(profile.Save(path, fs));
    EXPECT_EQ(profile.LastError(), EACCES);
    fs.openError = 0;
    fs.writeError = ENOSPC;
    EXPECT_FALSE(Changed().Save(fs, path, error));
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(ReadFile(path), kOld);
    EXPECT_EQ(FolderNames(dir.Path()), "Corvelin.ini");

    const auto run =
        RunWithMount(dir.Path(), MountKind::ReadOnly, [&] { return SaveBoth(path, dir.Path()); });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const std::string erofs = std::to_string(EROFS);
    EXPECT_EQ(run.output, "0 " + erofs + " 0 " + erofs + "\n" + kOld + "--\nCorvelin.ini");
    EXPECT_EQ(ReadFile(path), kOld);
}

TEST(ProfileFault, SaveOntoAFullFileSystem) {
    TempDir dir;
    const std::string folder = dir / "tiny";
    MakeDir(folder);
    const std::string path = folder + "/Corvelin.ini";
    const auto run = RunWithMount(folder, MountKind::TinyTmpfs, [&] {
        WriteFile(path, kOld);
        // Fill every page but the one the old profile holds.
        WriteFile(folder + "/filler", std::string(60 << 10, 'f'));
        return SaveBoth(path, folder);
    });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const std::string enospc = std::to_string(ENOSPC);
    EXPECT_EQ(run.output, "0 " + enospc + " 0 " + enospc + "\n" + kOld + "--\nCorvelin.ini|filler");
}

TEST(ProfileFault, ALinkedProfileStaysALink) {
    TempDir dir;
    WriteFile(dir / "real.ini", kOld);
    ASSERT_EQ(::symlink("real.ini", (dir / "Corvelin.ini").c_str()), 0);
    int error = 0;
    ASSERT_TRUE(Changed().Save(zel::IFileSystem::Default(), dir / "Corvelin.ini", error));
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "Corvelin.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    SettingsStore back;
    back.Load(zel::IFileSystem::Default(), dir / "real.ini");
    EXPECT_EQ(back.general.fontSize, 9);
    EXPECT_EQ(FolderNames(dir.Path()), "Corvelin.ini|real.ini");
}

TEST(ProfileFault, UnusableProfilesGiveTheDefaults) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    const SettingsStore defaults;
    const std::string texts[] = {
        "",
        std::string("\x00\x01\xff\xfe[General]\x00\nFONT_SIZE\x00=5\n\x80\x81", 30),
        "[Gene",
        "[General\nFONT_SIZE=5\n",
        "FONT_SIZE=5\n[General]\n=5\nFONT_SIZE\n;FONT_SIZE=5\n[PackInfo]\nFIRST_FLAG\n",
        std::string(100'000, '['),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 40));
        WriteFile(path, text);
        SettingsStore store;
        store.general.fontSize = 77;
        store.packInfoList.clear();
        store.Load(zel::IFileSystem::Default(), path);
        EXPECT_TRUE(store.general == defaults.general);
        EXPECT_EQ(store.packInfoList, DefaultPackInfoList());
    }

    // An enormous profile is refused by its size, without being read.
    MakeSparseFile(path, 100ull << 20);
    const unsigned long long before = testing_support::BytesReadByProcess();
    IniProfile profile;
    int error = 0;
    EXPECT_FALSE(profile.Load(path, zel::IFileSystem::Default(), error));
    EXPECT_EQ(error, EFBIG);
    EXPECT_LT(testing_support::BytesReadByProcess() - before, 1u << 20);
    SettingsStore store;
    store.general.fontSize = 77;
    store.Load(zel::IFileSystem::Default(), path);
    EXPECT_TRUE(store.general == defaults.general);
    EXPECT_EQ(store.packInfoList, DefaultPackInfoList());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 100ll << 20);  // loading never changes the file
}

}  // namespace
