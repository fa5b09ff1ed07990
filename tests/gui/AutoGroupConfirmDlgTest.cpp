#include <QTreeWidget>

#include <boost/make_shared.hpp>

#include "ModalDriver.h"
#include "model/PackItem.h"
#include "ui/settings/AutoGroupConfirmDlg.h"

class AutoGroupConfirmDlgTest : public QObject {
    Q_OBJECT

private slots:
    void showsEveryCandidateTickedAndKeepsOnlyTickedOnes_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("untickGroup");
        QTest::addColumn<int>("untickMember");  // of group 0
        QTest::addColumn<QString>("keeps");     // per member, groups apart by "|"
        QTest::newRow("OK at once") << true << -1 << -1 << "111|11";
        QTest::newRow("member unticked") << true << -1 << 1 << "101|11";
        QTest::newRow("group unticked") << true << 0 << -1 << "000|11";
        QTest::newRow("cancel") << false << -1 << -1 << "";
    }

    void showsEveryCandidateTickedAndKeepsOnlyTickedOnes() {
        QFETCH(bool, accept);
        QFETCH(int, untickGroup);
        QFETCH(int, untickMember);
        QFETCH(QString, keeps);
        auto root = boost::make_shared<CPackFolder>(1, u"/in", 0);
        for (const char16_t* name :
             {u"photo001.jpg", u"photo002.jpg", u"photo003.jpg", u"report.doc", u"report2.doc"}) {
            root->AppendChild(boost::make_shared<CPackItem>(2, root->GetPath() + u"/" + name, 1));
        }
        auto member = [&](int i) { return root->children[size_t(i)].get(); };
        CAutoGroupConfirmDlg dlg({{member(0), member(1), member(2)}, {member(3), member(4)}});
        dlg.show();
        QCOMPARE(dlg.windowTitle(), U(u"自動グルーピング"));
        // Every node ticked and expanded, members by name without extension.
        auto* tree = dlg.findChild<QTreeWidget*>();
        QStringList shown;
        for (int g = 0; g < tree->topLevelItemCount(); ++g) {
            QTreeWidgetItem* group = tree->topLevelItem(g);
            QVERIFY(group->isExpanded());
            shown << group->text(0) + QString::number(group->checkState(0));
            for (int m = 0; m < group->childCount(); ++m) {
                shown << group->child(m)->text(0) + QString::number(group->child(m)->checkState(0));
            }
        }
        QCOMPARE(shown, (QStringList{"Group 02", "photo0012", "photo0022", "photo0032", "Group 12",
                                     "report2", "report22"}));

        // With the keyboard: move to the node and toggle its box with Space.
        auto untick = [tree](QTreeWidgetItem* item) {
            tree->setCurrentItem(item);
            QTest::keyClick(tree, Qt::Key_Space);
            QCOMPARE(item->checkState(0), Qt::Unchecked);
        };
        if (untickGroup >= 0) untick(tree->topLevelItem(untickGroup));
        if (untickMember >= 0) untick(tree->topLevelItem(0)->child(untickMember));
        QTest::keyClick(tree, accept ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(accept ? QDialog::Accepted : QDialog::Rejected));
        if (!accept) return;
        QString kept;
        for (size_t g = 0; g < 2; ++g) {
            if (g) kept += '|';
            for (size_t m = 0; m < (g ? 2u : 3u); ++m)
                kept += dlg.Keeps(g, m) ? '1' : '0';
        }
        QCOMPARE(kept, keeps);
        // A group's box leaves its members' boxes alone.
        QCOMPARE(tree->topLevelItem(0)->child(0)->checkState(0), Qt::Checked);
    }
};

QTEST_MAIN(AutoGroupConfirmDlgTest)
#include "AutoGroupConfirmDlgTest.moc"
