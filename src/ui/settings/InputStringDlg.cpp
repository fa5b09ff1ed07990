#include "ui/settings/InputStringDlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/settings/DialogButtons.h"

CInputStringDlg::CInputStringDlg(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(text, this)) {
    setWindowTitle(title);
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(MakeOkCancelButtons(this));
    edit_->setFocus();
}

QString CInputStringDlg::Text() const {
    return edit_->text();
}
