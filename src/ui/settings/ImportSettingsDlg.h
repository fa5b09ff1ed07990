#pragma once

#include <QDialog>

#include <memory>

#include "intake/ImportSettingsEditor.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

// Lets the user pick and adjust the import settings of a drop, and store or
// delete named presets. The settings handed in are edited in place, so filter
// changes stay even after Cancel; picking a preset first replaces them by a
// copy. Saving or deleting a preset rewrites the presets file at once.
class CImportSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // working may be null (empty settings then). savePresets writes the file
    // from presets.
    CImportSettingsDlg(ImportSettingsList& presets, CImportSettingsPtr working,
                       CImportSettingsEditor::SavePresets savePresets, QWidget* parent = nullptr);
    ~CImportSettingsDlg() override;

    // The settings to use after OK.
    const CImportSettingsPtr& Working() const { return editor_.Working(); }

    void accept() override;

private:
    using FilterList = CImportSettingsEditor::FilterList;

    void Refresh();
    // The preset box from the stored list, selecting that name (none if null).
    void FillPresets(const QString& keepSelected);
    void OnPresetPicked(int index);
    void OnAddFilter(FilterList list, QPushButton* button);
    void OnDeleteFilter(FilterList list);
    void OnSavePreset();
    void OnDeletePreset();
    CImportFilterPtr AskForFilter(QPushButton* button);
    QListWidget* ListOf(FilterList list) const;

    CImportSettingsEditor editor_;
    QComboBox* presetBox_;
    QListWidget* inputList_;
    QListWidget* ignoreList_;
    QCheckBox* autoGroupBox_;
};
