#include "ui/settings/ManagePackDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "support/SizeFormat.h"
#include "ui/settings/DialogButtons.h"
#include "ui/settings/DialogMessage.h"

namespace {

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CManagePackDlg::CManagePackDlg(const PackInfoList& list, QWidget* parent)
    : QDialog(parent),
      editor_(list),
      nameEdit_(new QLineEdit(this)),
      sizeEdit_(new QLineEdit(this)),
      unitBox_(new QComboBox(this)),
      capacityEdit_(new QLineEdit(this)),
      table_(new QTableWidget(0, 3, this)) {
    setWindowTitle(tr("パックサイズの管理"));

    sizeEdit_->setAlignment(Qt::AlignRight);
    sizeEdit_->setInputMethodHints(Qt::ImhDigitsOnly);
    for (const char* unit : {"Byte", "KByte", "MByte", "GByte"}) {
        unitBox_->addItem(QString::fromLatin1(unit));
    }
    unitBox_->setCurrentIndex(CPackInfoEditor::UnitByte);
    // What a blank medium really holds is rarely the round number in its name:
    // the image of every pack is checked against this.
    capacityEdit_->setAlignment(Qt::AlignRight);
    capacityEdit_->setInputMethodHints(Qt::ImhDigitsOnly);
    capacityEdit_->setMinimumWidth(
        capacityEdit_->fontMetrics().horizontalAdvance(QStringLiteral("000,000,000,000,000")));
    capacityEdit_->setPlaceholderText(tr("省略可"));
    capacityEdit_->setToolTip(
        tr("メディアに書き込めるバイト数。空欄のときはパックサイズで確かめます。"));
    auto* registerButton = new QPushButton(tr("登録"), this);
    auto* deleteButton = new QPushButton(tr("削除"), this);

    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Capacity")});
    table_->horizontalHeader()->setSectionsClickable(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->hide();
    table_->setShowGrid(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->setMinimumSize(table_->fontMetrics().averageCharWidth() * 64,
                           table_->fontMetrics().height() * 14);

    auto* entry = new QGridLayout;
    entry->addWidget(Label(tr("名前:"), nameEdit_, this), 0, 0);
    entry->addWidget(Label(tr("サイズ:"), sizeEdit_, this), 0, 1);
    entry->addWidget(Label(tr("単位:"), unitBox_, this), 0, 2);
    entry->addWidget(Label(tr("容量（バイト）:"), capacityEdit_, this), 0, 3);
    entry->addWidget(nameEdit_, 1, 0);
    entry->addWidget(sizeEdit_, 1, 1);
    entry->addWidget(unitBox_, 1, 2);
    entry->addWidget(capacityEdit_, 1, 3);
    entry->addWidget(registerButton, 1, 4);
    entry->setColumnStretch(0, 3);
    entry->setColumnStretch(1, 2);
    entry->setColumnStretch(3, 3);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(table_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(deleteButton);
    side->addStretch(1);
    listRow->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addLayout(listRow, 1);
    layout->addWidget(MakeOkCancelButtons(this));

    setTabOrder(nameEdit_, sizeEdit_);
    setTabOrder(sizeEdit_, unitBox_);
    setTabOrder(unitBox_, capacityEdit_);
    setTabOrder(capacityEdit_, registerButton);
    setTabOrder(registerButton, table_);
    setTabOrder(table_, deleteButton);
    nameEdit_->setFocus();

    nameEdit_->setObjectName(QStringLiteral("name"));
    sizeEdit_->setObjectName(QStringLiteral("size"));
    unitBox_->setObjectName(QStringLiteral("unit"));
    capacityEdit_->setObjectName(QStringLiteral("capacity"));
    registerButton->setObjectName(QStringLiteral("register"));
    deleteButton->setObjectName(QStringLiteral("delete"));
    table_->setObjectName(QStringLiteral("sizes"));

    connect(registerButton, &QPushButton::clicked, this, &CManagePackDlg::OnRegister);
    connect(deleteButton, &QPushButton::clicked, this, &CManagePackDlg::OnDelete);
    FillList();
}

void CManagePackDlg::FillList() {
    const PackInfoList& list = editor_.List();
    const std::vector<size_t> order = editor_.SortedByName();
    table_->clearSelection();
    table_->setRowCount(static_cast<int>(order.size()));
    for (int row = 0; row < static_cast<int>(order.size()); ++row) {
        const PackInfo& info = list[order[static_cast<size_t>(row)]];
        table_->setItem(row, 0, new QTableWidgetItem(ToQString(info.Name)));
        table_->setItem(row, 1, new QTableWidgetItem(ToQString(info.Size)));
        auto* capacity = new QTableWidgetItem(
            info.Capacity ? ToQString(InsertThousandsSeparators(UInt64ToString(info.Capacity)))
                          : QString());
        capacity->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 2, capacity);
    }
}

void CManagePackDlg::FitColumns() {
    const int width = table_->viewport()->width();
    table_->setColumnWidth(0, width * 45 / 100);
    table_->setColumnWidth(1, width * 20 / 100);
    table_->setColumnWidth(2, width - width * 45 / 100 - width * 20 / 100);
}

void CManagePackDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FitColumns();
}

void CManagePackDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FitColumns();
}

void CManagePackDlg::OnRegister() {
    const auto result =
        editor_.Register(nameEdit_->text().toStdU16String(), sizeEdit_->text().toStdU16String(),
                         unitBox_->currentIndex(), capacityEdit_->text().toStdU16String());
    if (result == CPackInfoEditor::RegisterResult::Added) {
        FillList();
        return;
    }
    const PackInfoMessage message = RegisterMessage(result);
    ShowDialogMessage(this, QMessageBox::Warning, ToQString(message.caption),
                      ToQString(message.text));
    if (result == CPackInfoEditor::RegisterResult::InvalidSize) {
        sizeEdit_->setFocus();
    } else if (result == CPackInfoEditor::RegisterResult::InvalidCapacity) {
        capacityEdit_->setFocus();
    } else if (result != CPackInfoEditor::RegisterResult::ListFull) {
        nameEdit_->setFocus();
    }
}

void CManagePackDlg::OnDelete() {
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    if (selected.isEmpty()) {
        ShowDialogMessage(this, QMessageBox::Warning,
                          QString::fromUtf16(pack_info_text::kInformation),
                          QString::fromStdU16String(pack_info_text::SelectToDelete()));
        return;
    }
    const QTableWidgetItem* nameItem = table_->item(selected.first()->row(), 0);
    if (nameItem && editor_.Remove(nameItem->text().toStdU16String())) FillList();
}
