#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <future>
#include <thread>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackNotice.h"
#include "support/FaultyFileSystem.h"
#include "ui/AddFilesDlg.h"
#include "ui/PackRunDlg.h"
#include "ui/WorkerNotices.h"

using testing_support::MakeDir;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The real disk, except that listing the folder "gate" waits until the test
// opens it, and listing "broken" throws.
struct GatedFileSystem : testing_support::FaultyFileSystem {
    std::atomic<bool> reached{false};
    std::promise<void> gate;

    explicit GatedFileSystem(const std::string& tree) {
        throwOn = tree + "/broken";
        afterListing = tree + "/gate";
        afterListingAction = [this, opened = gate.get_future().share()] {
            reached = true;
            opened.wait();
        };
    }
    void Open() { gate.set_value(); }
};

// How the user leaves a dialog, if at all.
enum Ending { CancelButton, Escape, Never, AfterCompletion };

void End(QDialog* dialog, Ending how) {
    if (how == CancelButton) dialog->findChild<QPushButton*>()->click();
    if (how == Escape) QTest::keyClick(dialog, Qt::Key_Escape);
}

}  // namespace

class WorkerDialogsTest : public QObject {
    Q_OBJECT
    TempDir dir_;

private slots:
    void initTestCase() {
        for (const char* folder : {"tree", "tree/gate", "tree/broken", "tree/more"})
            MakeDir(dir_ / folder);
        for (const char* file : {"tree/gate/a.txt", "tree/broken/b.txt", "tree/more/c.txt"}) {
            WriteFile(dir_ / file, "data");
        }
    }

    void scanEndsAsTheWorkDid() {
        const struct {
            const char* folder;  // listed before tree/more
            Ending ending;       // while the gate holds the scan
            int result;
            size_t items;
        } table[] = {
            {"tree/gate", CancelButton, QDialog::Rejected, 0},
            {"tree/gate", Escape, QDialog::Rejected, 0},
            // A scan left alone: the list view's drops. This one is done, but its end
            // notice still waits in the queue.
            {"tree/gate", AfterCompletion, QDialog::Accepted, 2},
            {"tree/broken", Never, QDialog::Rejected, 0},  // shown as an error
        };
        for (const auto& row : table) {
            GatedFileSystem fs(dir_ / "tree");
            if (row.ending >= Never) fs.Open();
            CCorvelinDoc doc;
            CAddFilesDlg dialog(fs, doc, MakeViewDefaultImportSettings(),
                                {dir_ / row.folder, dir_ / "tree/more"});
            bool stillOpenAfterEnter = false;
            ModalDriver driver;
            if (row.ending < Never) {
                driver.ThenDialog<CAddFilesDlg>([&](CAddFilesDlg* d) {
                    QTRY_VERIFY(fs.reached.load());
                    QTest::keyClick(d, Qt::Key_Return);
                    stillOpenAfterEnter = d->isVisible();
                    d->Worker().Cancel();  // takes effect before the gate opens
                    fs.Open();
                    End(d, row.ending);
                });
            } else if (row.ending == AfterCompletion) {
                driver.ThenDialog<CAddFilesDlg>([](CAddFilesDlg* d) {
                    QTRY_VERIFY(d->Worker().Completed());
                    d->reject();
                });
            } else if (!row.items) {
                // The scan's own window may show before the failure does.
                driver.passing << QStringLiteral("CAddFilesDlg");
                driver.ThenMessage();
            }
            QCOMPARE(dialog.exec(), row.result);
            QCOMPARE(stillOpenAfterEnter, row.ending < Never);
            QCOMPARE(doc.root.children.size(), row.items);
            if (!row.items) QCOMPARE(doc.nextItemId, 1u);
            const QString error = driver.log.value(0);  // shown with its text
            if (row.ending == Never) QVERIFY(error.startsWith("ERROR: ") && error.size() > 7);
        }
    }

    void runCompletesOrIsCancelled() {
        // Every file needs a pack of its own, so the first-fit search over many
        // takes a while and a cancel lands in the middle of it.
        for (const Ending ending : {Never, CancelButton, Escape}) {
            const int files = ending == Never ? 4 : 600000;
            CCorvelinDoc doc;
            for (int i = 0; i < files; ++i) {
                doc.root.AppendChild(CPackItem::Create(
                    uint32_t(i + 1), testing_support::U("/f" + std::to_string(i)), 600 + i % 300));
            }
            doc.cancelFlag = 1;  // a flag left from an earlier run must not stop this one
            CPackRunDlg dialog(doc, 1000);
            if (ending == Never) {
                dialog.reject();  // closed before it ran: nothing to end, nothing run
                QCOMPARE(dialog.result(), int(QDialog::Rejected));
            }
            int bar = -1;
            ModalDriver driver;
            if (ending == Never) {
                driver.passing << QStringLiteral(
                    "CPackRunDlg");  // left alone: the list view's runs
            } else {
                driver.ThenDialog<CPackRunDlg>([&](CPackRunDlg* d) {
                    QTest::keyClick(d, Qt::Key_Return);
                    QVERIFY(d->isVisible());
                    End(d, ending);
                    bar = d->findChild<QProgressBar*>()->value();
                });
            }
            const int expected = ending == Never ? QDialog::Accepted : QDialog::Rejected;
            QCOMPARE(dialog.exec(), expected);
            // A cancel still queued behind the end changes nothing.
            dialog.reject();
            QCOMPARE(dialog.result(), expected);
            QCOMPARE(doc.packs.size(), size_t(ending == Never ? files : 0));  // no partial packs
            QVERIFY(bar <= 99);
        }
    }

    void noticesAreCoalescedKeptInOrderAndDroppedOnceDisconnected() {
        CWorkerNotices notices({PackNotice::Progress});
        QObject receiver;
        QList<QPair<uint32_t, int64_t>> delivered;
        notices.Connect(&receiver,
                        [&](const ZelNotice& n) { delivered << qMakePair(n.code, n.value); });
        std::thread worker([&] {
            for (int percent = 0; percent < 100; ++percent)
                notices.Post(ZelNotice(PackNotice::Progress, percent));
            notices.Post(PackNotice::Completed);
        });
        worker.join();
        QCoreApplication::processEvents();
        QCOMPARE(delivered,
                 (QList<QPair<uint32_t, int64_t>>{{uint32_t(PackNotice::Progress), 99},
                                                  {uint32_t(PackNotice::Completed), 0}}));
        notices.Post(ZelNotice(PackNotice::Progress, 5));
        notices.Disconnect();
        notices.Post(PackNotice::Cancelled);
        QCoreApplication::processEvents();
        QCOMPARE(delivered.size(), 2);
    }
};

QTEST_MAIN(WorkerDialogsTest)
#include "WorkerDialogsTest.moc"
