#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "settings/FakeSys.h"
#include "settings/IniProfile.h"
#include "settings/SettingsStore.h"
#include "support/FileSystem.h"

using namespace testing_support;

TEST(SettingsStore, RoundTripAndWhatAProfileOnDiskGives) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    SettingsStore store, loaded;
    loaded.packInfoList.clear();
    loaded.Load(fs, path);  // a missing profile gives the defaults
    EXPECT_EQ(loaded.general, DisplaySettings());
    EXPECT_EQ(loaded.packInfoList, DefaultPackInfoList());

    store.general.fontSize = -16;
    store.general.fontFace = u"Noto Sans CJK JP";
    store.general.colorPackBack = 0x00123456;
    store.general.dispSizeUnit = 3;
    store.general.skipArchived = 1;
    store.general.recordMd5 = 1;
    store.packInfoList = {{u"M-DISC(25GB)", u"25000M", 25'025'314'816}, {u"小さい", u"12"}};
    int error = 0;
    ASSERT_TRUE(store.Save(fs, path, error)) << error;
    loaded.Load(fs, path);
    EXPECT_EQ(loaded.general, store.general);
    EXPECT_EQ(loaded.packInfoList, store.packInfoList);
    store.packInfoList.clear();  // deleting every size is remembered
    ASSERT_TRUE(store.Save(fs, path, error));
    loaded.Load(fs, path);
    EXPECT_TRUE(loaded.packInfoList.empty());

    // Gaps in the numbered sections are skipped, those beyond the limit ignored.
    WriteFile(path,
              "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=One\nSize=1M\n"
              "[PackInfo 3]\nName=Three\nSize=3M\n[PackInfo 4]\nSize=4M\n"
              "[PackInfo 101]\nName=Too far\nSize=1\n[General]\nLINE_HEIGHT=25\n");
    loaded.Load(fs, path);
    EXPECT_EQ(loaded.packInfoList, (PackInfoList{{u"One", u"1M"}, {u"Three", u"3M"}}));
    EXPECT_EQ(loaded.general.lineHeight, 25);  // used as stored
    // Without FIRST_FLAG=0 the numbered sections are ignored.
    WriteFile(path, "[PackInfo 1]\nName=One\nSize=1M\n");
    loaded.Load(fs, path);
    EXPECT_EQ(loaded.packInfoList, DefaultPackInfoList());
}

TEST(ProfileLocation, SearchOrderPrefersTheProgramFolderAndMissingFoldersAreMade) {
    TempDir dir;
    MakeDir(dir / "bin");
    MakeDir(dir / "bin/alice");
    FakeSys sys(dir / "bin", dir / "deep/config", "alice");
    EXPECT_FALSE(sys.FindProfile());
    EXPECT_EQ(sys.GetProfilePath(), "");  // never a bare name in the working folder
    ASSERT_TRUE(sys.CreateLocation(0));
    EXPECT_EQ(sys.GetConfigurationFolder(), dir / "deep/config/Tessoly/Corvelin");
    EXPECT_EQ(sys.GetLocationFolder(2), dir / "bin");
    for (const char* folder : {"deep/config/Tessoly/Corvelin", "bin/alice", "bin"}) {
        WriteFile(dir / folder + "/Corvelin.ini", "");
        EXPECT_TRUE(sys.FindProfile());
        EXPECT_EQ(sys.GetProfilePath(), dir / folder + "/Corvelin.ini");
    }
    // A user name that could leave the program folder is not used.
    EXPECT_EQ(FakeSys(dir / "bin", dir / "c", "../x").GetLocationFolder(1), dir / "bin");
    // A folder named like the profile is not a profile.
    FakeSys other(dir / "deep", dir / "nowhere", "bob");
    MakeDir(dir / "deep/Corvelin.ini");
    EXPECT_FALSE(other.FindProfile());
}

// A profile from before capacities reads as it always did, its entries that
// match a default medium get that medium's capacity; a malformed stored
// capacity counts as not stored.
TEST(PackCapacity, StoredBesideTheNameWithoutChangingOlderProfiles) {
    const struct {
        const char* capacityLine;
        const char* name;
        const char* size;
        uint64_t expected;
    } cases[] = {
        {"", "DVD(4.7GB)", "4700M", 4700372992ull},
        {"", "DVD(4.7GB)", "4600M", 0},
        {"", "Mine", "123M", 0},
        {"Capacity=123456789012\n", "Mine", "123M", 123456789012ull},
        {"Capacity=12x\n", "CD(700MB)", "700M", 737280000ull},
        {"Capacity=99999999999999999999\n", "Mine", "1M", 0},
    };
    for (const auto& c : cases) {
        IniProfile profile;
        profile.Parse(std::string("[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=") + c.name +
                      "\nSize=" + c.size + "\n" + c.capacityLine);
        SettingsStore store;
        store.LoadPackInfoList(profile);
        ASSERT_EQ(store.packInfoList.size(), 1u);
        EXPECT_EQ(store.packInfoList[0].Capacity, c.expected) << c.capacityLine;
    }
}
