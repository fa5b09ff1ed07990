#include "ui/settings/InputFilterAttrDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include "intake/FindData.h"
#include "ui/settings/DialogButtons.h"

namespace {

struct AttrBox {
    uint32_t bit;
    const char* text;
};

constexpr AttrBox kBoxes[4] = {
    {kAttrReadOnly, QT_TRANSLATE_NOOP("CInputFilterAttrDlg", "読み込み専用")},
    {kAttrArchive, QT_TRANSLATE_NOOP("CInputFilterAttrDlg", "アーカイブ")},
    {kAttrHidden, QT_TRANSLATE_NOOP("CInputFilterAttrDlg", "隠しファイル")},
    {kAttrSystem, QT_TRANSLATE_NOOP("CInputFilterAttrDlg", "システム")},
};

// How the scan reads the four bits from a Linux file.
constexpr char kLinuxNote[] = QT_TRANSLATE_NOOP("CInputFilterAttrDlg",
                                                "Linux のファイルでは次のように判定します:\n"
                                                "読み込み専用: 所有者に書き込み権限がない\n"
                                                "アーカイブ: 通常のファイルには常に付いている\n"
                                                "隠しファイル: 名前が「.」で始まる\n"
                                                "システム: 付くことはない");

}  // namespace

CInputFilterAttrDlg::CInputFilterAttrDlg(uint32_t attr, uint32_t func, QWidget* parent)
    : QDialog(parent), funcBox_(new QComboBox(this)), attr_(attr), func_(func) {
    setWindowTitle(tr("フィルター（属性）"));
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        boxes_[i] = new QCheckBox(tr(kBoxes[i].text), this);
        boxes_[i]->setChecked((attr & kBoxes[i].bit) != 0);
        grid->addWidget(boxes_[i], i / 2, i % 2);
    }
    funcBox_->addItem(tr("一致"));
    funcBox_->addItem(tr("含む"));
    funcBox_->setCurrentIndex(func < 2 ? static_cast<int>(func) : 0);
    auto* note = new QLabel(tr(kLinuxNote), this);
    note->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(funcBox_);
    layout->addWidget(note);
    layout->addWidget(MakeOkCancelButtons(this));
    boxes_[0]->setFocus();
}

void CInputFilterAttrDlg::accept() {
    attr_ = 0;
    for (int i = 0; i < 4; ++i) {
        if (boxes_[i]->isChecked()) attr_ |= kBoxes[i].bit;
    }
    func_ = static_cast<uint32_t>(std::max(funcBox_->currentIndex(), 0));
    QDialog::accept();
}
