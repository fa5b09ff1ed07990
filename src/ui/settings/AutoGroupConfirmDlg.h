#pragma once

#include <QDialog>

#include "intake/AutoGroupConfirmation.h"

class QTreeWidget;

// Shows the proposed automatic groups as a tree of ticked "Group n" nodes with
// their members' names. After OK, Keeps() tells which members to group (pass
// it to ApplyAutoGroups); after Cancel nothing is to be grouped.
class CAutoGroupConfirmDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAutoGroupConfirmDlg(const AutoGroupTable& candidates, QWidget* parent = nullptr);

    bool Keeps(size_t group, size_t member) const { return confirmation_.Keeps(group, member); }

    void accept() override;

private:
    CAutoGroupConfirmation confirmation_;
    QTreeWidget* tree_;
};
