#include <gtest/gtest.h>

#include "settings/IniProfile.h"
#include "settings/SettingsStore.h"

// A profile from before capacities reads as it always did, its entries that
// match a default medium get that medium's capacity, and a stored capacity
// survives a save; a malformed one counts as not stored.
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
        SCOPED_TRACE(c.capacityLine);
        IniProfile profile;
        profile.Parse(std::string("[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=") + c.name +
                      "\nSize=" + c.size + "\n" + c.capacityLine);
        SettingsStore store;
        store.LoadPackInfoList(profile);
        ASSERT_EQ(store.packInfoList.size(), 1u);
        EXPECT_EQ(store.packInfoList[0].Capacity, c.expected);

        IniProfile saved;
        store.SavePackInfoList(saved);
        SettingsStore again;
        again.LoadPackInfoList(saved);
        EXPECT_EQ(again.packInfoList, store.packInfoList);
    }
}
