#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <boost/make_shared.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackNotice.h"
#include "support/PosixFileSystem.h"
#include "ui/AddFilesDlg.h"
#include "ui/AssignGroup.h"
#include "ui/PackRunDlg.h"
#include "ui/WorkerNotices.h"

using testing_support::MakeDir;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The real disk, except that listing the folder named "gate" waits until the
// test opens it, and listing "broken" throws.
class GatedFileSystem : public zel::PosixFileSystem {
public:
    std::atomic<bool> reached{false};

    void Open() {
        std::lock_guard<std::mutex> guard(lock_);
        open_ = true;
        wake_.notify_all();
    }
    int ListFolder(const std::string& path, std::vector<zel::DirEntry>& out) override {
        if (path.size() >= 7 && path.compare(path.size() - 7, 7, "/broken") == 0) {
            throw std::runtime_error("listing failed");
        }
        if (path.size() >= 5 && path.compare(path.size() - 5, 5, "/gate") == 0) {
            reached = true;
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return open_; });
        }
        return PosixFileSystem::ListFolder(path, out);
    }

private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool open_ = false;
};

enum class Ending { CancelButton, Escape, CloseButton };

void End(QDialog* dialog, Ending how) {
    switch (how) {
        case Ending::CancelButton:
            dialog->findChild<QPushButton*>()->click();
            break;
        case Ending::Escape:
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        case Ending::CloseButton:
            dialog->close();
            break;
    }
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

    void scanCancelledEveryWayLeavesTheDocumentAlone() {
        for (Ending how : {Ending::CancelButton, Ending::Escape, Ending::CloseButton}) {
            GatedFileSystem fs;
            CCorvelinDoc doc;
            CAddFilesDlg dialog(fs, doc, MakeViewDefaultImportSettings(),
                                {dir_ / "tree/gate", dir_ / "tree/more"});
            bool stillOpenAfterEnter = false;
            ModalDriver driver;
            driver.ThenDialog<CAddFilesDlg>([&](CAddFilesDlg* d) {
                QTRY_VERIFY(fs.reached.load());
                QTest::keyClick(d, Qt::Key_Return);
                stillOpenAfterEnter = d->isVisible();
                d->Worker().Cancel();  // takes effect before the gate opens
                fs.Open();
                End(d, how);
            });
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
            QVERIFY(stillOpenAfterEnter);
            QVERIFY(doc.root.children.empty());
            QCOMPARE(doc.nextItemId, 1u);
        }
    }

    void scanCompletedOrCancelledTooLateKeepsTheItems() {
        for (bool lateCancel : {false, true}) {
            zel::PosixFileSystem fs;
            CCorvelinDoc doc;
            CAddFilesDlg dialog(fs, doc, MakeViewDefaultImportSettings(),
                                {dir_ / "tree/gate", dir_ / "tree/more"});
            ModalDriver driver;
            if (lateCancel) {
                driver.ThenDialog<CAddFilesDlg>([](CAddFilesDlg* d) {
                    // The scan is done but its end notice still waits in the queue.
                    QTRY_VERIFY(d->Worker().Completed());
                    d->reject();
                });
            }
            QCOMPARE(dialog.exec(), int(QDialog::Accepted));
            QCOMPARE(doc.root.children.size(), size_t(2));
            QCOMPARE(dialog.Worker().GetResult()->children.size(), size_t(2));
        }
    }

    void scanFailureIsShownAsError() {
        GatedFileSystem fs;
        CCorvelinDoc doc;
        CAddFilesDlg dialog(fs, doc, MakeViewDefaultImportSettings(), {dir_ / "tree/broken"});
        ModalDriver driver;
        driver.ThenMessage();
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(driver.log.value(0).startsWith(QStringLiteral("ERROR: ")));
        QVERIFY(driver.log.value(0).size() > 7);
        QVERIFY(doc.root.children.empty());
    }

    void runCompletesOrIsCancelled() {
        // Every file needs a pack of its own, so the first-fit search takes a
        // while and a cancel lands in the middle of it.
        const uint64_t packSize = 1000;
        const struct {
            int files;
            int ending;  // -1: none, else an Ending
            bool lateCancel;
            int expected;
        } table[] = {
            {4, -1, false, QDialog::Accepted},
            {4, int(Ending::CancelButton), true, QDialog::Accepted},
            {600000, int(Ending::CancelButton), false, QDialog::Rejected},
            {600000, int(Ending::Escape), false, QDialog::Rejected},
        };
        for (const auto& row : table) {
            CCorvelinDoc doc;
            for (int i = 0; i < row.files; ++i) {
                doc.root.AppendChild(boost::make_shared<CPackItem>(
                    uint32_t(i + 1), testing_support::U("/f" + std::to_string(i)), 600 + i % 300));
            }
            doc.cancelFlag = 1;  // a flag left from an earlier run must not stop this one
            CPackRunDlg dialog(doc, packSize);
            int bar = -1;
            ModalDriver driver;
            if (row.ending >= 0) {
                driver.ThenDialog<CPackRunDlg>([&](CPackRunDlg* d) {
                    if (row.lateCancel) {
                        // A few files pack at once; the end notice waits in the queue
                        // while this handler holds the UI thread.
                        std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    }
                    QTest::keyClick(d, Qt::Key_Return);
                    QVERIFY(d->isVisible());
                    End(d, Ending(row.ending));
                    bar = d->findChild<QProgressBar*>()->value();
                });
            }
            QCOMPARE(dialog.exec(), row.expected);
            if (row.expected == QDialog::Accepted) {
                QCOMPARE(doc.packs.size(), size_t(row.files));
            } else {
                QVERIFY(doc.packs.empty());  // no partial packs
            }
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

    void assignGroupAcceptsOnlyAnExistingGroup() {
        const struct {
            const char* typed;
            bool accepted;
            uint64_t group;
        } table[] = {
            {"0", false, 0}, {"4", false, 0}, {"", false, 0}, {"3", true, 2}, {"1", true, 0}};
        for (const auto& row : table) {
            CAssignGroup dialog(3);
            bool stayed = false;
            ModalDriver driver;
            driver.ThenDialog<CAssignGroup>([&](CAssignGroup* d) {
                auto* number = d->findChild<QLineEdit*>("groupNumber");
                QCOMPARE(number->text(), QStringLiteral("1"));
                number->setText(QString::fromLatin1(row.typed));
                // OK from the dialog's own loop: the driver answers what it opens.
                QMetaObject::invokeMethod(d, &QDialog::accept, Qt::QueuedConnection);
            });
            if (!row.accepted) {
                driver.ThenMessage();
                driver.Then([&](QWidget* w) {
                    stayed = w == &dialog;
                    dialog.reject();
                });
            }
            QCOMPARE(dialog.exec(), row.accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(stayed, !row.accepted);
            if (row.accepted) {
                QCOMPARE(dialog.GetGroup(), row.group);
            } else {
                QVERIFY(driver.log.value(0).endsWith(
                    QStringLiteral(": 1 から 3 までの整数を入力してください。")));
            }
        }
    }
};

QTEST_MAIN(WorkerDialogsTest)
#include "WorkerDialogsTest.moc"
