#include "intake/ImportSettingsEditor.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <utility>

#include "model/PackItem.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace import_settings_text {
std::u16string DuplicateFilter() {
    return Tr16("既に同じフィルターが存在します");
}
std::u16string SelectFilterFirst() {
    return Tr16("削除したい項目を選んでから実行してください");
}
std::u16string DuplicatePreset() {
    return Tr16("既にその名前のプリセットが存在します。");
}
std::u16string PresetNamePrompt() {
    return Tr16("プリセット名を入力してください");
}

std::u16string AboutPreset(const std::u16string& name, PresetEvent event) {
    const std::string utf8 = zel::Utf16ToUtf8(name);
    const auto shown = fmt::arg("name", utf8);
    switch (event) {
        case PresetEvent::Saved:
            return Tr16Format("プリセット「{name}」を保存しました。", shown);
        case PresetEvent::Deleted:
            return Tr16Format("プリセット「{name}」を削除しました。", shown);
        case PresetEvent::ConfirmDelete:
            return Tr16Format("プリセット「{name}」を削除してもよろしいですか？", shown);
        case PresetEvent::SaveFailed:
            return Tr16Format("プリセット「{name}」をファイルに保存できませんでした。", shown);
        case PresetEvent::DeleteFailed:
            return Tr16Format("プリセット「{name}」の削除をファイルに書き込めませんでした。",
                              shown);
    }
    return {};
}
}  // namespace import_settings_text

namespace {
bool SameNoCase(const std::u16string& a, const std::u16string& b) {
    return ComparePathsNoCase(a, b) == 0;
}
}  // namespace

CImportSettingsEditor::CImportSettingsEditor(ImportSettingsList& presets,
                                             CImportSettingsPtr working, SavePresets savePresets)
    : presets_(presets),
      working_(working ? std::move(working) : boost::make_shared<CImportSettings>()),
      savePresets_(std::move(savePresets)) {}

bool CImportSettingsEditor::PickPreset(size_t index) {
    if (index >= presets_.size() || !presets_[index]) return false;
    working_ = boost::make_shared<CImportSettings>(*presets_[index]);
    return true;
}

const std::vector<CImportFilterPtr>& CImportSettingsEditor::Filters(FilterList list) const {
    return list == FilterList::Input ? working_->inputFilters : working_->ignoreFilters;
}

std::vector<CImportFilterPtr>& CImportSettingsEditor::MutableFilters(FilterList list) {
    return list == FilterList::Input ? working_->inputFilters : working_->ignoreFilters;
}

bool CImportSettingsEditor::AddFilter(FilterList list, CImportFilterPtr filter) {
    if (!filter) return false;
    std::vector<CImportFilterPtr>& filters = MutableFilters(list);
    const std::u16string description = filter->Describe();
    for (const CImportFilterPtr& existing : filters) {
        if (SameNoCase(existing->Describe(), description)) return false;
    }
    filters.push_back(std::move(filter));
    return true;
}

bool CImportSettingsEditor::DeleteFilter(FilterList list, size_t index) {
    std::vector<CImportFilterPtr>& filters = MutableFilters(list);
    if (index >= filters.size()) return false;
    filters.erase(filters.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool CImportSettingsEditor::PresetNameExists(const std::u16string& name) const {
    for (const CImportSettingsPtr& preset : presets_) {
        if (preset && SameNoCase(preset->name, name)) return true;
    }
    return false;
}

CImportSettingsEditor::Outcome CImportSettingsEditor::SavePreset(const std::u16string& name,
                                                                 bool autoGroup) {
    auto preset = boost::make_shared<CImportSettings>(*working_);
    preset->name = name;
    preset->AutoGroup = autoGroup ? 1 : 0;
    presets_.push_back(preset);
    Outcome outcome = Written(name, import_settings_text::PresetEvent::Saved,
                              import_settings_text::PresetEvent::SaveFailed);
    if (outcome.failed && PresetNameExists(name) &&
        std::find(presets_.begin(), presets_.end(), preset) == presets_.end()) {
        return {import_settings_text::DuplicatePreset(), true, true};
    }
    return outcome;
}

CImportSettingsEditor::Outcome CImportSettingsEditor::DeletePreset(size_t index) {
    if (index >= presets_.size()) return {};
    const std::u16string name = presets_[index] ? presets_[index]->name : std::u16string();
    presets_.erase(presets_.begin() + static_cast<std::ptrdiff_t>(index));
    return Written(name, import_settings_text::PresetEvent::Deleted,
                   import_settings_text::PresetEvent::DeleteFailed);
}

CImportSettingsEditor::Outcome CImportSettingsEditor::Written(
    const std::u16string& name, import_settings_text::PresetEvent done,
    import_settings_text::PresetEvent failed) {
    std::string detail;
    if (savePresets_ && savePresets_(detail)) {
        return {import_settings_text::AboutPreset(name, done), false};
    }
    std::u16string text = import_settings_text::AboutPreset(name, failed);
    if (!detail.empty()) text += u"\n" + zel::Utf8ToUtf16(detail);
    return {text, true};
}
