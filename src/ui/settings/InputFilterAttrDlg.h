#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;

// Makes an attribute filter: the read-only, archive, hidden and system bits
// and whether they must equal the file's or be contained in them. Says how
// these bits are read from a Linux file.
class CInputFilterAttrDlg : public QDialog {
    Q_OBJECT
public:
    CInputFilterAttrDlg(uint32_t attr, uint32_t func, QWidget* parent = nullptr);

    uint32_t Attr() const { return attr_; }
    uint32_t Func() const { return func_; }

    void accept() override;

private:
    QCheckBox* boxes_[4];
    QComboBox* funcBox_;
    uint32_t attr_;
    uint32_t func_;
};
