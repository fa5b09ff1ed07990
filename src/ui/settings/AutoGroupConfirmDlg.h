#pragma once

#include <QDialog>

#include "intake/AutoGroupConfirmation.h"

class QTreeWidget;

// Shows the proposed automatic groups as a tree of ticked "Group n" nodes with
// their members' names. After OK, Kept() holds the ticked members of the
// ticked groups; after Cancel nothing is to be grouped.
class CAutoGroupConfirmDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAutoGroupConfirmDlg(const AutoGroupTable& candidates, QWidget* parent = nullptr);

    AutoGroupTable Kept() const { return confirmation_.Kept(); }

    void accept() override;

private:
    CAutoGroupConfirmation confirmation_;
    QTreeWidget* tree_;
};
