#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Makes a file-name filter: a wildcard pattern and the letter-case switch.
// An empty pattern makes no filter: OK then counts as a cancel.
class CInputFileNameFilterDlg : public QDialog {
    Q_OBJECT
public:
    CInputFileNameFilterDlg(const QString& pattern, bool nocase, QWidget* parent = nullptr);

    QString Pattern() const { return pattern_; }
    bool NoCase() const { return nocase_; }

    void accept() override;

private:
    QLineEdit* patternEdit_;
    QCheckBox* nocaseBox_;
    QString pattern_;
    bool nocase_;
};
