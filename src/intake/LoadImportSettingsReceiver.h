#pragma once

#include <cstdint>
#include <string>

#include "intake/ImportSettings.h"
#include "support/ZelConfReader.h"

// Builds the preset list from the entries of the presets file. Tag lines open
// and close blocks; unknown keys, unknown filter types and blocks still open at
// the end of the file are dropped. Names and patterns lose one pair of enclosing
// quotes and their doubled backslashes, undoing what the writer adds.
class LoadImportSettingsReceiver : public ZelConfReadReceiverEx {
public:
    bool OnKeyValueW(const std::u16string& key, const std::u16string& value) override;

    ImportSettingsList& Result() { return result_; }

private:
    enum State {
        Outside = 0,
        InPreset = 1,
        InInputList = 2,
        InIgnoreList = 3,
        InNameFilter = 5,
        InAttrFilter = 6
    };

    void FinishFilter();

    State state_ = Outside;
    State listState_ = InInputList;
    CImportSettingsPtr current_;
    std::u16string pattern_;
    int32_t nocase_ = 0;
    uint32_t attr_ = 0;
    uint32_t func_ = 0;
    ImportSettingsList result_;
};

// Texts of the presets file: the whole text of a name or pattern as written
// (backslashes doubled, always in quotes) and as read back.
std::u16string QuotePresetText(std::u16string_view text);
std::u16string UnquotePresetText(std::u16string_view value);
// An optional sign and leading decimal digits after optional blanks, saturated
// to the 32-bit range; 0 when there are none.
int32_t PresetDecimalValue(std::u16string_view value);
// The attribute bits of an "attr" value: comma-separated fields for read-only,
// archive, hidden and system, each set when greater than 0.
uint32_t PresetAttrValue(std::u16string_view value);
