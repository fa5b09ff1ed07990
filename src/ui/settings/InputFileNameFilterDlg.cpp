#include "ui/settings/InputFileNameFilterDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/settings/DialogButtons.h"

CInputFileNameFilterDlg::CInputFileNameFilterDlg(const QString& pattern, bool nocase,
                                                 QWidget* parent)
    : QDialog(parent),
      patternEdit_(new QLineEdit(pattern, this)),
      nocaseBox_(new QCheckBox(tr("小文字大文字を区別しない"), this)),
      pattern_(pattern),
      nocase_(nocase) {
    setWindowTitle(tr("フィルター（ファイル名）"));
    patternEdit_->setMinimumWidth(patternEdit_->fontMetrics().averageCharWidth() * 40);
    nocaseBox_->setChecked(nocase);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(patternEdit_);
    layout->addWidget(nocaseBox_);
    layout->addWidget(MakeOkCancelButtons(this));
    patternEdit_->setFocus();
}

void CInputFileNameFilterDlg::accept() {
    pattern_ = patternEdit_->text();
    if (pattern_.isEmpty()) {
        reject();
        return;
    }
    nocase_ = nocaseBox_->isChecked();
    QDialog::accept();
}
