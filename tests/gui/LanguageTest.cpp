// The windows in the language of the environment: run once under a Japanese
// locale and once under another. In English no window shows a Japanese
// character; in Japanese the texts are the program's own.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <boost/make_shared.hpp>

#include <cstdio>
#include <memory>

#include "TestSupport.h"
#include "intake/ImportSettings.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "settings/FakeSys.h"
#include "settings/SettingsStore.h"
#include "support/UiLanguage.h"
#include "ui/AboutDlg.h"
#include "ui/AddFilesDlg.h"
#include "ui/AssignGroup.h"
#include "ui/AutoGroupDlg.h"
#include "ui/CatalogDlg.h"
#include "ui/CorvelinApp.h"
#include "ui/MainFrame.h"
#include "ui/MakeConfigDlg.h"
#include "ui/PackRunDlg.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/WriteDiscDlg.h"
#include "ui/settings/AutoGroupConfirmDlg.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "ui/settings/InputFileNameFilterDlg.h"
#include "ui/settings/InputFilterAttrDlg.h"
#include "ui/settings/ManagePackDlg.h"
#include "ui/settings/OptionDlg.h"

namespace {

// Every text a user can read in the window and its children.
QStringList VisibleTexts(QWidget* window) {
    QStringList texts{window->windowTitle(), window->toolTip()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        texts << w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
        if (auto* menu = qobject_cast<QMenu*>(w)) texts << menu->title();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) texts << edit->placeholderText();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) texts << edit->toPlainText();
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        }
        if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        if (auto* box = qobject_cast<QComboBox*>(w); box && !box->isEditable()) {
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        }
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model()) {
            for (int i = 0; i < header->count(); ++i)
                texts << header->model()->headerData(i, header->orientation()).toString();
        }
    }
    for (QAction* action : window->findChildren<QAction*>())
        texts << action->text() << action->statusTip() << action->toolTip();
    return texts;
}

// The lines with a Japanese character.
QStringList Japanese(const QStringList& texts) {
    static const QRegularExpression kana(
        QStringLiteral("[\\x{3000}-\\x{30FF}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    QStringList found;
    for (const QString& text : texts) {
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (line.contains(kana)) found << line;
        }
    }
    return found;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
    testing_support::TempDir dir_;
    testing_support::FakeSys sys_{dir_ / "bin", dir_ / "cfg", "user"};
    SettingsStore settings_;
    CCorvelinDoc doc_;
    const bool english_ = CurrentUiLanguage() == UiLanguage::English;

    QStringList wrong_;  // per window: what is not in the language
    // Shows the window and notes where its texts are not in the language.
    void Check(QWidget* window, const char* name) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QStringList found = Japanese(VisibleTexts(window));
        if (english_ != found.isEmpty()) {
            wrong_ << QStringLiteral("%1: %2").arg(QLatin1String(name),
                                                   found.join(QStringLiteral(" | ")));
        }
        // A label without a buddy shows its mnemonic's ampersand as it is.
        static const QRegularExpression mnemonic(QStringLiteral("&[^& ]"));
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->buddy() && label->text().contains(mnemonic))
                wrong_ << QStringLiteral("%1: %2").arg(QLatin1String(name), label->text());
        }
        window->hide();
    }

private slots:
    void initTestCase() {
        // Set files of the writing window go here.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir_ / "data"));
    }
    void init() { wrong_.clear(); }

    void everyWindowIsInTheLanguage() {
        CMainFrame frame(doc_, settings_, sys_);
        Check(&frame, "main window");

        auto drop = CPackFolder::Create(0, u"", 0);
        auto file = CPackItem::Create(1, u"/a.txt", 10);
        drop->AppendChild(file);
        auto working = boost::make_shared<CImportSettings>();
        ImportSettingsList presets{working};
        QMessageBox question(QMessageBox::Question, QStringLiteral("Corvelin"), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        const std::pair<std::unique_ptr<QWidget>, const char*> windows[] = {
            {std::make_unique<CAboutDlg>(), "about"},
            {std::make_unique<CAddFilesDlg>(zel::IFileSystem::Default(), doc_, working,
                                            std::vector<std::string>{}),
             "add files"},
            {std::make_unique<CAssignGroup>(3), "assign group"},
            {std::make_unique<CAutoGroupDlg>(drop), "auto group"},
            {std::make_unique<CAutoGroupConfirmDlg>(AutoGroupTable{{file.get()}}),
             "auto group confirm"},
            {std::make_unique<CCatalogDlg>(dir_ / "catalog.db", 0), "catalog"},
            {std::make_unique<CMakeConfigDlg>(sys_), "first start"},
            {std::make_unique<CPackRunDlg>(doc_, 1000), "run"},
            {std::make_unique<CSkippedEntriesDlg>(
                 SkippedEntryList{{"/x", SkipReason::UnreadableFolder, 0}}),
             "skipped"},
            {std::make_unique<CImportSettingsDlg>(presets, working, nullptr), "import settings"},
            {std::make_unique<CInputFileNameFilterDlg>(QStringLiteral("*"), true),
             "file name filter"},
            {std::make_unique<CInputFilterAttrDlg>(0, 0), "attribute filter"},
            {std::make_unique<CManagePackDlg>(settings_.packInfoList), "pack sizes"},
            {std::make_unique<COptionDlg>(settings_.general), "options"},
        };
        for (const auto& [window, name] : windows)
            Check(window.get(), name);
        // Qt's own buttons: Japanese only through Qt's Japanese translation.
        Check(&question, "Qt's message box");
        QVERIFY2(wrong_.isEmpty(), qPrintable(wrong_.join(QLatin1Char('\n'))));
    }

    // The writing window before a run, after one, and with a verification's result.
    void writingWindowIsInTheLanguage() {
        const std::string source = dir_ / "one.bin";
        testing_support::WriteFile(source, std::string(1000, 'z'));
        CCorvelinDoc doc;
        auto item = CPackItem::Create(1, testing_support::U(source), 1000);
        doc.root.AppendChild(item);
        doc.packs.emplace_back();
        doc.packs.back().items.push_back(item.get());
        doc.packSize = 1000000;
        CWriteDiscDlg dialog(doc, {}, QStringLiteral("1M"));
        Check(&dialog, "write");
        dialog.findChildren<QLineEdit*>().at(1)->setText(QString::fromStdString(dir_ / "img"));
        QSignalSpy finished(&dialog, &CWriteDiscDlg::finished);
        dialog.Start();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(0).at(0).toInt(), static_cast<int>(CDiscSetWriter::Outcome::Done));
        Check(&dialog, "write, finished");
        const std::string image = dir_ / "img/pack01.iso";
        QSignalSpy verified(&dialog, &CWriteDiscDlg::verified);
        dialog.Verify(image);
        QVERIFY(verified.wait(30000));
        Check(&dialog, "verification result");
        QVERIFY2(wrong_.isEmpty(), qPrintable(wrong_.join(QLatin1Char('\n'))));
    }

    // Japanese is the code's own text: a few of today's texts, word for word.
    void japaneseTextsAreTodays() {
        if (english_) QSKIP("English run");
        CMainFrame frame(doc_, settings_, sys_);
        QStringList menus;
        for (QMenu* menu : frame.findChildren<QMenu*>())
            menus << menu->title();
        QVERIFY(menus.contains(QStringLiteral("ファイル(&F)")));
        QCOMPARE(frame.findChild<QAction*>("clearList")->text(),
                 QStringLiteral("リストを空にする\tCtrl+N(&N)"));
        QCOMPARE(frame.findChild<QAction*>("run")->statusTip(), QStringLiteral("実行"));
        QCOMPARE(COptionDlg(settings_.general).windowTitle(), QStringLiteral("オプション"));
    }
};

int main(int argc, char* argv[]) {
    SetUiLanguage(UiLanguageFromEnvironment());
    QApplication app(argc, argv);
    const bool installed =
        CCorvelinApp::InstallTranslations(CurrentUiLanguage(), {QStringLiteral(CORVELIN_QM_DIR)});
    if (!installed) {
        std::fprintf(stderr, "the translation of the language is not installed\n");
        return 1;
    }
    LanguageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LanguageTest.moc"
