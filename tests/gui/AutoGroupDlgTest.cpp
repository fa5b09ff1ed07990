#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <boost/make_shared.hpp>

#include <string>

#include "ui/AutoGroupDlg.h"

namespace {

// The holder of one drop: a folder /d of count files whose names differ only
// in their numbers, so every one is a candidate.
CPackFolderPtr Drop(int count) {
    auto holder = boost::make_shared<CPackFolder>(0, u"", 0);
    auto folder = boost::make_shared<CPackFolder>(1, u"/d", 0);
    for (int i = 0; i < count; ++i) {
        const std::string name = "/d/holiday-photo-" + std::to_string(100000 + i) + ".jpg";
        folder->AppendChild(boost::make_shared<CPackItem>(
            static_cast<uint32_t>(i + 2), std::u16string(name.begin(), name.end()), 10));
    }
    holder->AppendChild(folder);
    return holder;
}

}  // namespace

class AutoGroupDlgTest : public QObject {
    Q_OBJECT
private slots:
    void findsCandidatesOnItsOwnThread() {
        CAutoGroupDlg dialog(Drop(6));
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(dialog.GetTable());
        QCOMPARE(dialog.GetTable()->size(), size_t{1});
        QCOMPARE(dialog.GetTable()->front().size(), size_t{6});
    }

    // A folder big enough to take seconds; Cancel ends it at once with nothing.
    void cancelStopsTheSearch() {
        CAutoGroupDlg dialog(Drop(30000));
        QTimer::singleShot(50, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(!dialog.GetTable());
        QVERIFY2(clock.elapsed() < 20000, "the search ran on after Cancel");
    }
};

QTEST_MAIN(AutoGroupDlgTest)
#include "AutoGroupDlgTest.moc"
