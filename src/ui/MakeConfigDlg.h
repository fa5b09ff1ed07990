#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class ZelConfiguration;

// The first start's question: where the settings file is to be made. Shows the
// folder of the selected place; closing it in any way but OK chooses place 0.
class CMakeConfigDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMakeConfigDlg(const ZelConfiguration& config, QWidget* parent = nullptr);

    // The chosen ZelConfiguration::ProfileLocation.
    int GetChoice() const { return choice_; }
    QString GetPreview() const;
    // Selects a place as a click on its button does.
    void SelectLocation(int location);

    void accept() override;

private:
    void ShowPreview(int location);

    const ZelConfiguration& config_;
    QButtonGroup* places_;
    QLineEdit* preview_;
    int choice_ = 0;
};
