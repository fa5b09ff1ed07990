#pragma once

#include <QDialog>
#include <QFont>

#include "settings/SettingsStore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class CColorSample;

// The options: list font, line height, size unit, simple icons, the six
// colour pairs and the filter-always switch. Works on a copy: Settings() holds
// the user's values after OK; the caller's settings are never touched here.
class COptionDlg : public QDialog {
    Q_OBJECT
public:
    explicit COptionDlg(const DisplaySettings& settings, QWidget* parent = nullptr);

    const DisplaySettings& Settings() const { return settings_; }

    void accept() override;

private:
    void OnChooseFont();
    void OnChooseColor(bool background);
    void ShowFace();
    void ShowSample();

    DisplaySettings settings_;
    QFont font_;
    QLineEdit* faceEdit_;
    QLineEdit* lineHeightEdit_;
    QComboBox* unitBox_;
    QCheckBox* simpleIconBox_;
    QListWidget* pairList_;
    CColorSample* sample_;
    QCheckBox* filterAlwaysBox_;
    QCheckBox* fitImageBox_;
    QCheckBox* recordMd5Box_;
};
