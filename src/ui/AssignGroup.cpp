#include "ui/AssignGroup.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "view/GroupNumberInput.h"

CAssignGroup::CAssignGroup(uint32_t groupCount, QWidget* parent)
    : QDialog(parent), groupCount_(groupCount), number_(new QLineEdit(QStringLiteral("1"))) {
    setWindowTitle(tr("既存のグループに割り当て"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(tr("ｸﾞﾙｰﾌﾟNo:"));
    label->setBuddy(number_);
    row->addWidget(label);
    number_->setObjectName(QStringLiteral("groupNumber"));
    number_->setAlignment(Qt::AlignRight);
    // Digits only, as the number field takes them.
    number_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), number_));
    number_->selectAll();
    row->addWidget(number_);
    layout->addLayout(row);
    // Parented first: a default button set outside its dialog is forgotten once the
    // focus has visited another button, and Return would then do nothing.
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAssignGroup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAssignGroup::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAssignGroup::accept() {
    const std::optional<uint32_t> number =
        ParseGroupNumber(number_->text().toStdU16String(), groupCount_);
    if (!number) {
        QMessageBox::warning(this, QStringLiteral("Corvelin"),
                             QString::fromStdU16String(GroupNumberPrompt(groupCount_)));
        number_->setFocus();
        number_->selectAll();
        return;
    }
    group_ = *number - 1;
    QDialog::accept();
}
