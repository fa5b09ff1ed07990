#pragma once

#include <QDialog>

#include "settings/PackInfoEditor.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

// Registers and deletes pack sizes, each with the capacity of its medium when
// known, on a copy of the list. List() is the new
// list after OK (registration order kept); Cancel discards it.
class CManagePackDlg : public QDialog {
    Q_OBJECT
public:
    explicit CManagePackDlg(const PackInfoList& list, QWidget* parent = nullptr);

    const PackInfoList& List() const { return editor_.List(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FillList();
    void FitColumns();
    void OnRegister();
    void OnDelete();

    CPackInfoEditor editor_;
    QLineEdit* nameEdit_;
    QLineEdit* sizeEdit_;
    QComboBox* unitBox_;
    QLineEdit* capacityEdit_;
    QTableWidget* table_;
};
