#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "intake/ImportSettings.h"
#include "support/ZelConfReader.h"

// A preset the file holds only in part: its place among the file's presets
// (from 1) and its name when the file got as far as naming it.
struct DamagedPreset {
    size_t position = 0;
    std::u16string name;
    bool operator==(const DamagedPreset& o) const {
        return position == o.position && name == o.name;
    }
};

// Builds the preset list from the entries of the presets file. Tag lines open
// and close blocks; unknown keys and unknown filter types are dropped. A preset
// opening inside a preset that is still open ends that one as damaged and
// starts afresh, so a cut preset never swallows the intact one after it; a
// preset still open at the end (Finish) is damaged too. Damaged presets are
// left out. Names and patterns lose one pair of enclosing quotes and their
// doubled backslashes, undoing what the writer adds.
class LoadImportSettingsReceiver : public ZelConfReadReceiverEx {
public:
    bool OnKeyValueW(const std::u16string& key, const std::u16string& value) override;
    // The end of the file.
    void Finish();

    ImportSettingsList& Result() { return result_; }
    const std::vector<DamagedPreset>& Damaged() const { return damaged_; }

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
    void OpenPreset();
    void DropOpenPreset();

    State state_ = Outside;
    State listState_ = InInputList;
    CImportSettingsPtr current_;
    std::u16string pattern_;
    int32_t nocase_ = 0;
    uint32_t attr_ = 0;
    uint32_t func_ = 0;
    ImportSettingsList result_;
    size_t opened_ = 0;
    std::vector<DamagedPreset> damaged_;
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
