#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "intake/ImportSettings.h"
#include "support/UiText.h"

// What the import settings dialog does to the settings it edits and to the
// stored presets. The settings handed in are edited in place (also when the
// dialog is then cancelled); picking a stored preset first replaces them by a
// copy, so no edit ever reaches a stored preset.
namespace import_settings_text {
// SaveFailed and DeleteFailed: a failed write of the presets file; the list in
// memory has changed anyway, so the preset is usable (or gone) until the
// program ends.
enum class PresetEvent { Saved, Deleted, ConfirmDelete, SaveFailed, DeleteFailed };
}  // namespace import_settings_text

class CImportSettingsEditor {
public:
    enum class FilterList { Input, Ignore };

    // Writes the one change just made to the stored list into the presets
    // file; false with a message (UTF-8) when it could not be written. It may
    // replace the stored list by the file's, which another window can have
    // changed: a new preset whose name the file already had is then missing
    // from it.
    using SavePresets = std::function<bool(std::string& message)>;

    // A message for the user; failed tells a failure from a confirmation;
    // nameTaken: another window saved a preset of that name first, so the user
    // is asked for another name.
    struct Outcome {
        std::u16string text;
        bool failed = false;
        bool nameTaken = false;
    };

    // working may be null: the editor then starts from empty settings (no
    // filters, so a scan with them imports nothing).
    CImportSettingsEditor(ImportSettingsList& presets, CImportSettingsPtr working,
                          SavePresets savePresets);

    const CImportSettingsPtr& Working() const { return working_; }
    const ImportSettingsList& Presets() const { return presets_; }

    // False, with nothing changed, for a position outside the stored list.
    bool PickPreset(size_t index);

    const std::vector<CImportFilterPtr>& Filters(FilterList list) const;
    // False (filter dropped) when the list already holds a filter with the same
    // description, letter case aside; only the target list is looked at.
    bool AddFilter(FilterList list, CImportFilterPtr filter);
    bool DeleteFilter(FilterList list, size_t index);

    // Whole names, letter case aside.
    bool PresetNameExists(const std::u16string& name) const;
    // Appends a copy of the working settings under that name, then writes the
    // file. The working settings stay as they are. The caller has refused an
    // empty or taken name.
    Outcome SavePreset(const std::u16string& name, bool autoGroup);
    // Removes the stored preset at that position, then writes the file. The
    // working settings are kept even when they were copied from it.
    Outcome DeletePreset(size_t index);

private:
    std::vector<CImportFilterPtr>& MutableFilters(FilterList list);
    Outcome Written(const std::u16string& name, import_settings_text::PresetEvent done,
                    import_settings_text::PresetEvent failed);

    ImportSettingsList& presets_;
    CImportSettingsPtr working_;
    SavePresets savePresets_;
};

// The dialog's texts, shared with the dialogs that show them.
namespace import_settings_text {
constexpr char16_t kCaption[] = u"INFO";
std::u16string DuplicateFilter();
std::u16string SelectFilterFirst();
std::u16string DuplicatePreset();
std::u16string PresetNamePrompt();
// The sentence about the preset called name.
std::u16string AboutPreset(const std::u16string& name, PresetEvent event);
}  // namespace import_settings_text
