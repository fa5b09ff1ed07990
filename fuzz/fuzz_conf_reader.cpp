// The presets file: any text loads without fault, and what loaded survives a
// save and a second load unchanged.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "intake/LoadImportSettingsReceiver.h"
#include "support/TextCodec.h"
#include "support/ZelConfReader.h"

namespace {

ImportSettingsList LoadPresets(const char* data, size_t size) {
    LoadImportSettingsReceiver receiver;
    ZelConfReader reader(&receiver, true);
    reader.Parse(data, size);
    return std::move(receiver.Result());
}

bool HasLineBreak(const std::u16string& text) {
    return text.find_first_of(u"\r\n") != std::u16string::npos;
}

// The writer refuses such texts (the save fails with a message), so there is
// no round trip to check.
bool Writable(const ImportSettingsList& presets) {
    for (const auto& preset : presets) {
        if (HasLineBreak(preset->name)) return false;
        for (const auto* list : {&preset->inputFilters, &preset->ignoreFilters}) {
            for (const auto& filter : *list) {
                auto* name = dynamic_cast<const CFileNameImportFilter*>(filter.get());
                if (name && HasLineBreak(name->Pattern())) return false;
            }
        }
    }
    return true;
}

void CheckSameFilters(const std::vector<CImportFilterPtr>& a,
                      const std::vector<CImportFilterPtr>& b) {
    FUZZ_CHECK(a.size() == b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        FUZZ_CHECK(a[i]->GetFilterType() == b[i]->GetFilterType());
        if (a[i]->Describe() != b[i]->Describe()) {
            fuzz::PrintUnits("first", a[i]->Describe());
            fuzz::PrintUnits("second", b[i]->Describe());
        }
        FUZZ_CHECK(a[i]->Describe() == b[i]->Describe());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportSettingsList first = LoadPresets(reinterpret_cast<const char*>(data), size);
    if (!Writable(first)) return 0;

    const std::string text = FormatImportSettings(first);
    const ImportSettingsList second = LoadPresets(text.data(), text.size());
    FUZZ_CHECK(first.size() == second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i]->name != second[i]->name) {
            fuzz::PrintUnits("first name", first[i]->name);
            fuzz::PrintUnits("second name", second[i]->name);
        }
        FUZZ_CHECK(first[i]->name == second[i]->name);
        FUZZ_CHECK(first[i]->AutoGroup == second[i]->AutoGroup);
        CheckSameFilters(first[i]->inputFilters, second[i]->inputFilters);
        CheckSameFilters(first[i]->ignoreFilters, second[i]->ignoreFilters);
    }
    return 0;
}
