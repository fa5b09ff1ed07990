#include "ui/MakeConfigDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "support/TextCodec.h"
#include "support/ZelConfiguration.h"

CMakeConfigDlg::CMakeConfigDlg(const ZelConfiguration& config, QWidget* parent)
    : QDialog(parent), config_(config), places_(new QButtonGroup(this)), preview_(new QLineEdit) {
    setWindowTitle(tr("初期設定 - Corvelin"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("設定ファイルを作成する場所を指定してください。")));
    const QString texts[] = {tr("ユーザーのアプリケーションデータフォルダ"),
                             tr("実行ファイルがあるフォルダ + ユーザー名"),
                             tr("実行ファイルがあるフォルダ")};
    for (int location = 0; location < 3; ++location) {
        auto* button = new QRadioButton(texts[location]);
        places_->addButton(button, location);
        layout->addWidget(button);
    }
    preview_->setReadOnly(true);
    preview_->setMinimumWidth(preview_->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(preview_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(places_, &QButtonGroup::idClicked, this, &CMakeConfigDlg::ShowPreview);
    SelectLocation(0);
}

void CMakeConfigDlg::SelectLocation(int location) {
    if (QAbstractButton* button = places_->button(location)) {
        button->setChecked(true);
        ShowPreview(location);
    }
}

QString CMakeConfigDlg::GetPreview() const {
    return preview_->text();
}

void CMakeConfigDlg::ShowPreview(int location) {
    const std::string folder = config_.GetLocationFolder(location);
    preview_->setText(QString::fromStdU16String(zel::ForDisplay(zel::DecodeFileName(folder))));
}

void CMakeConfigDlg::accept() {
    choice_ = places_->checkedId() < 0 ? 0 : places_->checkedId();
    QDialog::accept();
}
