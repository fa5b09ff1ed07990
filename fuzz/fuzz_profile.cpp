// The profile: any text parses, and every value it held reads the same after a
// rewrite and a second parse; the settings store reads both alike.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "settings/IniProfile.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniProfile first;
    first.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = first.ToText();
    IniProfile second;
    second.Parse(text);

    // A default no value can equal, so a key lost on the way shows.
    constexpr std::u16string_view kMissing = u"\xFFFF missing";
    for (const auto& [section, key] : first.Keys()) {
        const std::u16string before = first.GetString(section, key, kMissing);
        const std::u16string after = second.GetString(section, key, kMissing);
        if (before != after) {
            fuzz::PrintUnits("section", section);
            fuzz::PrintUnits("key", key);
            fuzz::PrintUnits("before", before);
            fuzz::PrintUnits("after", after);
        }
        FUZZ_CHECK(before == after);
        FUZZ_CHECK(first.GetInt(section, key, -7) == second.GetInt(section, key, -7));
    }
    // Nothing appears that was not there.
    FUZZ_CHECK(second.Keys().size() == first.Keys().size());
    FUZZ_CHECK(second.ToText() == text);

    SettingsStore a;
    a.LoadGeneralSettings(first);
    a.LoadPackInfoList(first);
    SettingsStore b;
    b.LoadGeneralSettings(second);
    b.LoadPackInfoList(second);
    FUZZ_CHECK(a.general == b.general);
    FUZZ_CHECK(a.packInfoList == b.packInfoList);
    FUZZ_CHECK(a.packInfoList.size() <= kMaxPackInfoCount);
    return 0;
}
