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
    const char16_t* text;
};

constexpr AttrBox kBoxes[4] = {
    {kAttrReadOnly, u"読み込み専用"},
    {kAttrArchive, u"アーカイブ"},
    {kAttrHidden, u"隠しファイル"},
    {kAttrSystem, u"システム"},
};

// How the scan reads the four bits from a Linux file.
constexpr char16_t kLinuxNote[] =
    u"Linux のファイルでは次のように判定します:\n"
    u"読み込み専用: 所有者に書き込み権限がない\n"
    u"アーカイブ: 通常のファイルには常に付いている\n"
    u"隠しファイル: 名前が「.」で始まる\n"
    u"システム: 付くことはない";

}  // namespace

CInputFilterAttrDlg::CInputFilterAttrDlg(uint32_t attr, uint32_t func, QWidget* parent)
    : QDialog(parent), funcBox_(new QComboBox(this)), attr_(attr), func_(func) {
    setWindowTitle(QString::fromUtf16(u"フィルター（属性）"));
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        boxes_[i] = new QCheckBox(QString::fromUtf16(kBoxes[i].text), this);
        boxes_[i]->setChecked((attr & kBoxes[i].bit) != 0);
        grid->addWidget(boxes_[i], i / 2, i % 2);
    }
    funcBox_->addItem(QString::fromUtf16(u"一致"));
    funcBox_->addItem(QString::fromUtf16(u"含む"));
    funcBox_->setCurrentIndex(func < 2 ? static_cast<int>(func) : 0);
    auto* note = new QLabel(QString::fromUtf16(kLinuxNote), this);
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
