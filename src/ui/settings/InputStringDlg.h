#pragma once

#include <QDialog>

class QLineEdit;

// Asks for one line of text under the given caption; any text, also an empty
// one, is accepted.
class CInputStringDlg : public QDialog {
    Q_OBJECT
public:
    CInputStringDlg(const QString& title, const QString& text, QWidget* parent = nullptr);

    QString Text() const;

private:
    QLineEdit* edit_;
};
