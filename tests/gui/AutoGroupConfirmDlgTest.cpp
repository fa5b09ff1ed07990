#include <QTest>
#include <QTreeWidget>

#include <boost/make_shared.hpp>

#include "model/PackItem.h"
#include "ui/settings/AutoGroupConfirmDlg.h"

class AutoGroupConfirmDlgTest : public QObject {
    Q_OBJECT

    CPackFolderPtr root_ = boost::make_shared<CPackFolder>(1, u"/in", 0);
    std::vector<CPackItem*> files_;

    AutoGroupTable Table() {
        root_->children.clear();
        files_.clear();
        for (const char16_t* name :
             {u"photo001.jpg", u"photo002.jpg", u"photo003.jpg", u"report.doc", u"report2.doc"}) {
            root_->AppendChild(boost::make_shared<CPackItem>(
                static_cast<uint32_t>(files_.size() + 2), root_->GetPath() + u"/" + name, 1));
            files_.push_back(root_->children.back().get());
        }
        return {{files_[0], files_[1], files_[2]}, {files_[3], files_[4]}};
    }

private slots:
    void showsEveryCandidateTickedAndKeepsOnlyTickedOnes_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("untickGroup");
        QTest::addColumn<int>("untickMember");  // of group 0
        QTest::addColumn<int>("keptGroups");
        QTest::addColumn<int>("keptOfFirst");
        QTest::newRow("OK at once") << true << -1 << -1 << 2 << 3;
        QTest::newRow("member unticked") << true << -1 << 1 << 2 << 2;
        QTest::newRow("group unticked") << true << 0 << -1 << 1 << 2;
        QTest::newRow("cancel") << false << -1 << -1 << 0 << 0;
    }

    void showsEveryCandidateTickedAndKeepsOnlyTickedOnes() {
        QFETCH(bool, accept);
        QFETCH(int, untickGroup);
        QFETCH(int, untickMember);
        QFETCH(int, keptGroups);
        QFETCH(int, keptOfFirst);
        const AutoGroupTable table = Table();
        CAutoGroupConfirmDlg dlg(table);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString::fromUtf16(u"自動グルーピング"));
        auto* tree = dlg.findChild<QTreeWidget*>();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* first = tree->topLevelItem(0);
        QCOMPARE(first->text(0), QStringLiteral("Group 0"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Group 1"));
        QCOMPARE(first->child(2)->text(0), QStringLiteral("photo003"));
        for (const QTreeWidgetItem* group : {first, tree->topLevelItem(1)}) {
            QVERIFY(group->isExpanded());
            QCOMPARE(group->checkState(0), Qt::Checked);
            for (int m = 0; m < group->childCount(); ++m) {
                QCOMPARE(group->child(m)->checkState(0), Qt::Checked);
            }
        }

        // With the keyboard: move to the node and toggle its box with Space.
        auto untick = [tree](QTreeWidgetItem* item) {
            tree->setCurrentItem(item);
            QTest::keyClick(tree, Qt::Key_Space);
            QCOMPARE(item->checkState(0), Qt::Unchecked);
        };
        if (untickGroup >= 0) untick(tree->topLevelItem(untickGroup));
        if (untickMember >= 0) untick(tree->topLevelItem(0)->child(untickMember));
        // A group's box leaves its members' boxes alone.
        QCOMPARE(first->child(0)->checkState(0), Qt::Checked);

        QTest::keyClick(tree, accept ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(accept ? QDialog::Accepted : QDialog::Rejected));
        if (!accept) return;
        const AutoGroupTable kept = dlg.Kept();
        QCOMPARE(int(kept.size()), keptGroups);
        QCOMPARE(int(kept[0].size()), keptOfFirst);
        if (untickMember == 1) QVERIFY(kept[0] == (std::vector<CPackItem*>{files_[0], files_[2]}));
    }
};

QTEST_MAIN(AutoGroupConfirmDlgTest)
#include "AutoGroupConfirmDlgTest.moc"
