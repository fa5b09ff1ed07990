#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "settings/CorvelinSys.h"
#include "settings/FakeSys.h"
#include "settings/IniProfile.h"
#include "settings/SettingsStore.h"
#include "support/FileSystem.h"

using testing_support::MakeDir;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

zel::IFileSystem& Fs() {
    return zel::IFileSystem::Default();
}

}  // namespace

TEST(SettingsStore, MissingProfileGivesDefaults) {
    TempDir dir;
    SettingsStore store;
    store.packInfoList.clear();
    store.Load(Fs(), dir / "Corvelin.ini");
    EXPECT_EQ(store.general, DisplaySettings());
    EXPECT_EQ(store.general.fontSize, 12);
    EXPECT_EQ(store.general.lineHeight, 1);
    EXPECT_EQ(store.packInfoList, DefaultPackInfoList());
}

TEST(SettingsStore, SaveAndLoadRoundTripIncludingAnEmptyList) {
    TempDir dir;
    SettingsStore store;
    store.general.fontSize = -16;
    store.general.fontFace = u"Noto Sans CJK JP";
    store.general.colorPackBack = 0x00123456;
    store.general.dispSizeUnit = 3;
    store.packInfoList = {{u"M-DISC(25GB)", u"25000M"}, {u"小さい", u"12"}};
    int error = 0;
    ASSERT_TRUE(store.Save(Fs(), dir / "Corvelin.ini", error)) << error;

    SettingsStore loaded;
    loaded.Load(Fs(), dir / "Corvelin.ini");
    EXPECT_EQ(loaded.general, store.general);
    EXPECT_EQ(loaded.packInfoList, store.packInfoList);

    // Deleting every size is remembered: the next start shows an empty list.
    store.packInfoList.clear();
    ASSERT_TRUE(store.Save(Fs(), dir / "Corvelin.ini", error));
    loaded.Load(Fs(), dir / "Corvelin.ini");
    EXPECT_TRUE(loaded.packInfoList.empty());
}

TEST(SettingsStore, PackSectionsWithGapsAndBeyondTheLimit) {
    TempDir dir;
    WriteFile(dir / "Corvelin.ini",
              "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=One\nSize=1M\n"
              "[PackInfo 3]\nName=Three\nSize=3M\n[PackInfo 4]\nSize=4M\n"
              "[PackInfo 101]\nName=Too far\nSize=1\n[General]\nLINE_HEIGHT=25\n"
              "DISP_SIZE_UNIT=7\n");
    SettingsStore store;
    store.Load(Fs(), dir / "Corvelin.ini");
    ASSERT_EQ(store.packInfoList.size(), 2u);
    EXPECT_EQ(store.packInfoList[0], (PackInfo{u"One", u"1M"}));
    EXPECT_EQ(store.packInfoList[1], (PackInfo{u"Three", u"3M"}));
    EXPECT_EQ(store.general.lineHeight, 25);  // used as stored
    EXPECT_EQ(store.general.dispSizeUnit, 7);

    // With FIRST_FLAG set the numbered sections are ignored.
    WriteFile(dir / "Corvelin.ini", "[PackInfo 1]\nName=One\nSize=1M\n");
    store.Load(Fs(), dir / "Corvelin.ini");
    EXPECT_EQ(store.packInfoList, DefaultPackInfoList());
}

using testing_support::FakeSys;

TEST(ProfileLocation, SearchOrderPrefersTheProgramFolder) {
    TempDir dir;
    MakeDir(dir / "bin");
    MakeDir(dir / "bin/alice");
    MakeDir(dir / "config");
    MakeDir(dir / "config/Tessoly");
    MakeDir(dir / "config/Tessoly/Corvelin");
    FakeSys sys(dir / "bin", dir / "config", "alice");
    EXPECT_EQ(sys.GetLocationFolder(0), dir / "config/Tessoly/Corvelin");
    EXPECT_EQ(sys.GetLocationFolder(1), dir / "bin/alice");
    EXPECT_EQ(sys.GetLocationFolder(2), dir / "bin");
    EXPECT_EQ(sys.GetLocationFolder(3), "");
    EXPECT_FALSE(sys.FindProfile());
    EXPECT_EQ(sys.GetProfilePath(), "");  // never a bare name in the working folder

    WriteFile(dir / "config/Tessoly/Corvelin/Corvelin.ini", "");
    EXPECT_TRUE(sys.FindProfile());
    EXPECT_EQ(sys.GetConfigurationFolder(), dir / "config/Tessoly/Corvelin");
    WriteFile(dir / "bin/alice/Corvelin.ini", "");
    EXPECT_TRUE(sys.FindProfile());
    EXPECT_EQ(sys.GetConfigurationFolder(), dir / "bin/alice");
    WriteFile(dir / "bin/Corvelin.ini", "");
    EXPECT_TRUE(sys.FindProfile());
    EXPECT_EQ(sys.GetProfilePath(), dir / "bin/Corvelin.ini");

    // A folder named like the profile is not a profile.
    FakeSys other(dir / "config", dir / "nowhere", "bob");
    MakeDir(dir / "config/Corvelin.ini");
    EXPECT_FALSE(other.FindProfile());
}

TEST(ProfileLocation, CreateLocationMakesMissingFoldersOrFails) {
    TempDir dir;
    FakeSys sys(dir / "bin", dir / "deep/config", "carol");
    MakeDir(dir / "bin");
    ASSERT_TRUE(sys.CreateLocation(0));
    EXPECT_EQ(sys.GetConfigurationFolder(), dir / "deep/config/Tessoly/Corvelin");
    ASSERT_TRUE(sys.CreateLocation(1));
    EXPECT_EQ(sys.GetConfigurationFolder(), dir / "bin/carol");

    // A user name that could leave the program folder is not used.
    FakeSys sneaky(dir / "bin", dir / "c", "../x");
    EXPECT_EQ(sneaky.GetLocationFolder(1), dir / "bin");

    // A file in the way: the location cannot be made, nothing changes.
    WriteFile(dir / "blocker", "");
    FakeSys blocked(dir / "bin", dir / "blocker/config", "dave");
    int error = 0;
    EXPECT_FALSE(blocked.CreateLocation(0, &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(blocked.GetConfigurationFolder(), "");
}
