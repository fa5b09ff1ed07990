#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "disc/DiscVerifier.h"
#include "disc/SetFileStore.h"
#include "packing/CorvelinDoc.h"
#include "ui/WriteDiscDlg.h"

using testing_support::TempDir;

// The prompt for the next medium, reached without a drive.
class PromptingDlg : public CWriteDiscDlg {
public:
    using CWriteDiscDlg::AskForMedium;
    using CWriteDiscDlg::CWriteDiscDlg;
};

// Answers the folder question with the folders of a list, then stops.
class FolderDlg : public CWriteDiscDlg {
public:
    using CWriteDiscDlg::CWriteDiscDlg;
    QStringList folders;

protected:
    MediumAnswer AskForFolder(uint32_t, uint32_t, const QString&, QString& folder) override {
        if (folders.isEmpty()) return MediumAnswer::Stop;
        folder = folders.takeFirst();
        return MediumAnswer::Go;
    }
};

// The dialog over the core writer: a plan to verified images, and a cancel
// that ends the pack in progress and leaves the rest.
class WriteDiscDlgTest : public QObject {
    Q_OBJECT
    TempDir dir_;
    CCorvelinDoc doc_;

    void AddPack(const std::string& name, size_t size) {
        const std::string path = dir_ / name;
        testing_support::WriteFile(path, std::string(size, 'z'));
        auto item = CPackItem::Create(static_cast<uint32_t>(doc_.packs.size() + 1),
                                      testing_support::U(path), size);
        doc_.root.AppendChild(item);
        doc_.packs.emplace_back();
        doc_.packs.back().items.push_back(item.get());
    }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir_ / "data"));
        AddPack("写真 a=b.jpg", 300000);
        AddPack("two.bin", 200000);
        doc_.packSize = 1000000;
    }

    void writesTheChosenPacksAndTellsTheSetFile() {
        CWriteDiscDlg dialog(doc_, {2}, QStringLiteral("1M"));
        dialog.show();
        QCOMPARE(dialog.findChild<QLineEdit*>()->text().left(11), QStringLiteral("写真 a=b.jpg "));
        auto* packs = dialog.findChild<QListWidget*>();
        QCOMPARE(packs->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(packs->item(1)->checkState(), Qt::Checked);
        dialog.findChildren<QLineEdit*>().at(1)->setText(QString::fromStdString(dir_ / "img"));
        // A catalog that cannot be opened is told of, and the writing is done all the same.
        dialog.SetCatalogPath(dir_ / "two.bin/catalog.sqlite");
        QSignalSpy finished(&dialog, &CWriteDiscDlg::finished);
        dialog.Start();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(0).at(0).toInt(), static_cast<int>(CDiscSetWriter::Outcome::Done));
        QCOMPARE(dialog.Set().packs[0].state, DiscPackState::Planned);
        QCOMPARE(dialog.Set().packs[1].state, DiscPackState::Verified);
        QVERIFY(QFile::exists(QString::fromStdString(dir_ / "img/pack02.iso")));
        QVERIFY(!QFile::exists(QString::fromStdString(dir_ / "img/pack01.iso")));
        QVERIFY(packs->item(1)->text().contains(QStringLiteral("検証済み")));
        const QString result = dialog.findChild<QPlainTextEdit*>()->toPlainText();
        QVERIFY(result.contains(QString::fromStdString(SetFilePath(dialog.Set()))));
        QVERIFY2(result.contains(QStringLiteral("two.bin/catalog.sqlite")), qPrintable(result));
        QSignalSpy verified(&dialog, &CWriteDiscDlg::verified);
        dialog.Verify(dir_ / "img/pack02.iso");
        QVERIFY(verified.wait(30000));
        QCOMPARE(verified.at(0).at(0).toInt(), static_cast<int>(VerifyResult::Outcome::Ok));
        if (const char* shots = std::getenv("CORVELIN_SCREENSHOTS"))
            dialog.grab().save(QString::fromUtf8(shots) + QStringLiteral("/WriteDiscDlg.png"));
    }

    // The folder target: a folder asked for each pack, the files copied there.
    void copiesEachPackIntoTheFolderAskedFor() {
        FolderDlg dialog(doc_, {}, QStringLiteral("1M"));
        dialog.show();
        auto* target = dialog.findChild<QComboBox*>();
        target->setCurrentIndex(target->count() - 1);
        QVERIFY(!dialog.findChildren<QLineEdit*>().at(1)->isEnabled());
        for (const char* name : {"f1", "f2"}) {
            testing_support::MakeDir(dir_ / name);
            dialog.folders << QString::fromStdString(dir_ / name);
        }
        QSignalSpy finished(&dialog, &CWriteDiscDlg::finished);
        dialog.Start();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(0).at(0).toInt(), static_cast<int>(CDiscSetWriter::Outcome::Done));
        QCOMPARE(dialog.Set().target, std::u16string(u"folder"));
        QCOMPARE(VerifyMedium(dir_ / "f2", nullptr, {}).outcome, VerifyResult::Outcome::Ok);
        if (const char* shots = std::getenv("CORVELIN_SCREENSHOTS"))
            dialog.grab().save(QString::fromUtf8(shots) + QStringLiteral("/WriteFoldersDlg.png"));
    }

    // Each button of the prompt gives its answer; the pack and the problem show.
    void thePromptForTheNextMediumAnswersEachButton() {
        PromptingDlg dialog(doc_, {}, QString());
        const struct {
            const char* button;
            MediumAnswer answer;
        } cases[] = {{"書き込む", MediumAnswer::Go},
                     {"飛ばす", MediumAnswer::Skip},
                     {"前のパックをやり直す", MediumAnswer::Redo},
                     {"やめる", MediumAnswer::Stop}};
        for (const auto& c : cases) {
            ModalDriver driver;
            driver.ThenDialog<QMessageBox>([&c](QMessageBox* box) {
                QVERIFY(box->text().contains(QStringLiteral("パック 8 / 30")));
                QVERIFY(box->text().startsWith(QStringLiteral("ディスクは空ではありません")));
                if (const char* shots = std::getenv("CORVELIN_SCREENSHOTS"))
                    box->grab().save(QString::fromUtf8(shots) +
                                     QStringLiteral("/MediumPrompt.png"));
                for (QAbstractButton* button : box->buttons())
                    if (button->text() == QString::fromUtf8(c.button)) button->click();
            });
            QCOMPARE(dialog.AskForMedium(8, 30, QStringLiteral("ディスクは空ではありません。")),
                     c.answer);
        }
    }
};

QTEST_MAIN(WriteDiscDlgTest)
#include "WriteDiscDlgTest.moc"
