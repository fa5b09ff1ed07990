#pragma once

#include <QMessageBox>
#include <QString>

#include <string>

class QWidget;

// A modal message box with the program's exact caption and text.
QMessageBox::StandardButton ShowDialogMessage(
    QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

inline QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
inline QString ToQString(const char16_t* text) {
    return QString::fromUtf16(text);
}
