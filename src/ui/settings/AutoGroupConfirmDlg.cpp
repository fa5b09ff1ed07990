#include "ui/settings/AutoGroupConfirmDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/PackItem.h"
#include "ui/settings/DialogButtons.h"

namespace {

QTreeWidgetItem* CheckedItem(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    // Not auto-tristate: a group's box must not change its members' boxes.
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    return item;
}

}  // namespace

CAutoGroupConfirmDlg::CAutoGroupConfirmDlg(const AutoGroupTable& candidates, QWidget* parent)
    : QDialog(parent), confirmation_(candidates), tree_(new QTreeWidget(this)) {
    setWindowTitle(tr("自動グルーピング"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setMinimumSize(tree_->fontMetrics().averageCharWidth() * 50,
                          tree_->fontMetrics().height() * 16);
    for (size_t g = 0; g < candidates.size(); ++g) {
        QTreeWidgetItem* group = CheckedItem(QStringLiteral("Group %1").arg(g));
        for (const CPackItem* member : candidates[g]) {
            const std::u16string name = member->GetName().ToString();
            group->addChild(CheckedItem(QString::fromUtf16(name.data(), name.size())));
        }
        tree_->addTopLevelItem(group);
        group->setExpanded(true);
    }
    if (tree_->topLevelItemCount() > 0) {
        tree_->setCurrentItem(tree_->topLevelItem(0));
        tree_->scrollToItem(tree_->topLevelItem(0));
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addWidget(MakeOkCancelButtons(this));
    tree_->setFocus();
}

void CAutoGroupConfirmDlg::accept() {
    for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = tree_->topLevelItem(g);
        confirmation_.SetGroupTicked(g, group->checkState(0) == Qt::Checked);
        for (int m = 0; m < group->childCount(); ++m) {
            confirmation_.SetMemberTicked(g, m, group->child(m)->checkState(0) == Qt::Checked);
        }
    }
    QDialog::accept();
}
