// The list view driven as a user drives it: drops of real trees, folder and
// pack expansion, run and back, Delete, grouping, drag-out data.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <memory>

#include "ViewTestSupport.h"
#include "ui/AssignGroup.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/settings/ImportSettingsDlg.h"

using namespace view_test;

namespace {

// "path|size|group|packNo|rate" for every row.
QStringList RowTexts(const QAbstractItemModel& model) {
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.data(model.index(r, c)).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QString Cell(const QAbstractItemModel& model, int row, int column = ColumnPath) {
    return model.data(model.index(row, column)).toString();
}

void SelectRows(CCorvelinView& view, const std::vector<int>& rows) {
    view.clearSelection();
    for (int row : rows)
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class CorvelinViewTest : public QObject {
    Q_OBJECT
    // top/ {sub/ {b.bin}, a.txt, 日本語.txt, <0xFF 0xFE>.dat} and single.txt.
    testing_support::TempDir dir_;
    const std::string top_ = dir_ / "top", single_ = dir_ / "single.txt";
    std::unique_ptr<ViewFixture> f_;

    void DropTree() { DropUriList(f_->view, FileUrl(top_) + "\r\n" + FileUrl(single_) + "\r\n"); }

private slots:
    void initTestCase() {
        ::mkdir(top_.c_str(), 0755);
        ::mkdir((top_ + "/sub").c_str(), 0755);
        MakeFile(top_ + "/a.txt", 1000);
        MakeFile(top_ + "/sub/b.bin", 2000);
        MakeFile(top_ + "/日本語.txt", 500);
        MakeFile(top_ + "/\xff\xfe.dat", 100);
        MakeFile(single_, 300);
    }
    void init() {
        f_ = std::make_unique<ViewFixture>();
        f_->Toolbar("10K");
    }
    void cleanup() {
        QVERIFY(f_->modals.AllAnswered());
        QCOMPARE(f_->modals.log.filter(QStringLiteral("unexpected")), QStringList());
    }

    void foldersExpandCollapseAndDelete() {
        DropTree();
        const QAbstractItemModel& model = *f_->view.model();
        CCorvelinView& view = f_->view;
        const QString top = QString::fromStdString(top_);
        QCOMPARE(RowTexts(model), QStringList({top + "|[Dir]|||", "single.txt|300|||"}));

        // An expansion reaches the view as one block, whatever its size.
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        ClickBox(view, 0, RowKind::Folder);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(RowTexts(model), QStringList({top + "|[Dir]|||", "sub|[Dir]|||", "a.txt|1000|||",
                                               "日本語.txt|500|||", "\uFFFD\uFFFD.dat|100|||",
                                               "single.txt|300|||"}));
        // A click beside the box selects without toggling.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                          BoxCentre(view, 0, RowKind::Folder, 1) + QPoint(60, 0));
        QCOMPARE(model.rowCount(), 6);
        ClickBox(view, 0, RowKind::Folder);
        QCOMPARE(model.rowCount(), 2);
        // A double click toggles the selected row.
        SelectRows(view, {0});
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                           view.visualRect(model.index(0, 2)).center());
        QCOMPARE(model.rowCount(), 6);

        view.setFocus();
        SelectRows(view, {2});  // a.txt
        QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(model.rowCount(), 6);
        QTest::keyClick(&view, Qt::Key_Delete);
        QCOMPARE(model.rowCount(), 5);  // which rows go: the delete command's test
    }

    void dropTakesOnlyLocalFileUrls() {
        const QByteArray list = "# a comment\r\nhttp://example.com/x.txt\r\nfile://elsewhere" +
                                QByteArray::fromStdString(single_) + "\r\nfile://localhost" +
                                FileUrl(single_).mid(7) + "\r\n";
        DropUriList(f_->view, list);
        QCOMPARE(RowTexts(*f_->view.model()), QStringList({"single.txt|300|||"}));
        // Nothing usable: the drop is refused and nothing changes.
        DropUriList(f_->view, "http://example.com/\r\n");
        QCOMPARE(f_->view.model()->rowCount(), 1);
    }

    void skippedEntriesAreListedAfterTheScan() {
        testing_support::TempDir dir;
        MakeFile(dir / "kept.txt", 10);
        QVERIFY(::symlink((dir / "gone").c_str(), (dir / "dangling").c_str()) == 0);
        QString listed;
        f_->modals.ThenClose<CSkippedEntriesDlg>(true, [&listed](CSkippedEntriesDlg* dialog) {
            listed = dialog->findChild<QPlainTextEdit*>()->toPlainText();
        });
        DropUriList(f_->view, FileUrl(dir.Path()));
        // The path and the reason, then the system's error text.
        QVERIFY2(listed.startsWith(
                     QString::fromStdString(dir / "dangling") + ": " +
                     QString::fromStdU16String(DescribeSkipReason(SkipReason::DanglingLink))),
                 qPrintable(listed));
        QCOMPARE(f_->view.model()->rowCount(), 1);
    }

    void importSettingsDialogOnShiftOrAlways() {
        const struct {
            bool filterAlways, shift, accept;
            int dialogs, rows;
        } table[] = {
            {false, false, true, 0, 2}, {false, true, false, 1, 1}, {true, false, true, 1, 2}};
        for (const auto& row : table) {
            init();
            ViewFixture& f = *f_;
            // A plain drop first, so the dialog starts from the view's "*.*" preset.
            DropUriList(f.view, FileUrl(single_));
            f.settings.general.filterAlways = row.filterAlways ? 1 : 0;
            int shown = 0;
            if (row.dialogs)
                f.modals.ThenClose<CImportSettingsDlg>(row.accept, [&shown](auto*) { ++shown; });
            DropUriList(f.view, FileUrl(top_), row.shift ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(shown, row.dialogs);
            QCOMPARE(f.view.model()->rowCount(), row.rows);
            QCOMPARE(f.modals.log, QStringList());
        }
    }

    void runWithTheToolbarTextsAndBack() {
        DropTree();
        CCorvelinView& view = f_->view;
        const QAbstractItemModel& model = *view.model();
        QVERIFY(!view.DragData(0));  // nothing leaves the editable list
        QSignalSpy rejected(&view, &CCorvelinView::packSizeRejected);
        f_->Toolbar("4.7G");
        f_->modals.ThenMessage();
        view.OnRun();
        QCOMPARE(f_->modals.log, QStringList{"ERROR: パックサイズに正しい値を入力してください"});
        QCOMPARE(f_->modals.icons.value(0), QMessageBox::Critical);
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(!view.CanBack());

        // The registered name and the rate both reach the plan: 20 % of 10K packs the
        // 2000 bytes alone and the other 1900 together. The group cell of a pack holds
        // its estimated disc image, which no medium this small can take.
        f_->settings.packInfoList = {{u"小", u"10K"}};
        f_->Toolbar("小", "20%");
        view.OnRun();
        QCOMPARE(RowTexts(model),
                 QStringList({"Pack 1|1.95 KB|イメージ 368 KB（収まりません）|1|200",
                              "Pack 2|1.85 KB|イメージ 374 KB（収まりません）|2|190"}));
        QVERIFY(view.CanBack() && view.CanExport());
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
        view.OnBack();
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(!view.CanBack());
        QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);

        f_->Toolbar("10K");
        view.OnRun();
        // A pack header drags out its files' URLs.
        std::unique_ptr<QMimeData> mime = view.DragData(0);
        QVERIFY(mime);
        QCOMPARE(mime->data(QStringLiteral("text/uri-list")).count("file://"), 5);
        ClickBox(view, 0, RowKind::PackHeader);
        QCOMPARE(model.rowCount(), 6);
        ClickBox(view, 0, RowKind::PackHeader);
        QCOMPARE(model.rowCount(), 1);
        // A drop in the packed mode returns to the tree with the new items.
        DropUriList(view, FileUrl(single_));
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(!view.CanBack());
    }

    void groupingCommands() {
        DropTree();
        CCorvelinView& view = f_->view;
        const QAbstractItemModel& model = *view.model();
        ClickBox(view, 0, RowKind::Folder);
        auto groups = [&] {
            QStringList cells;
            for (int r = 0; r < model.rowCount(); ++r)
                cells << Cell(model, r, ColumnGroup);
            return cells.join(QLatin1Char(','));
        };

        view.clearSelection();
        f_->modals.ThenMessage();
        view.OnNewGroup();
        QCOMPARE(f_->modals.log,
                 QStringList{"Corvelin: グループに割り当てるアイテムを選択してください。"});
        QCOMPARE(f_->modals.icons.value(0), QMessageBox::NoIcon);

        // Rows: top, sub, a.txt, 日本語.txt, ??.dat, single.txt.
        SelectRows(view, {2, 3});
        QVERIFY(view.CanNewGroup());
        view.OnNewGroup();
        QCOMPARE(groups(), QStringLiteral(",,1,1,,"));

        SelectRows(view, {4, 5});
        view.OnGroupEach();
        QCOMPARE(groups(), QStringLiteral(",,1,1,2,3"));

        SelectRows(view, {3, 5});
        view.OnRemoveFromGroup();
        QCOMPARE(groups(), QStringLiteral(",,1,,2,"));

        // Into an existing group: the number typed; a cancel changes nothing. A group
        // that does not exist is refused and the dialog stays open (which numbers pass:
        // the group-number test).
        SelectRows(view, {3});
        f_->modals.ThenClose<CAssignGroup>(false);
        view.OnAddToGroup();
        QCOMPARE(groups(), QStringLiteral(",,1,,2,"));
        auto edit = [](CAssignGroup* dialog) {
            return dialog->findChild<QLineEdit*>(QStringLiteral("groupNumber"));
        };
        f_->modals.ThenDialog<CAssignGroup>([&edit](CAssignGroup* dialog) {
            QCOMPARE(edit(dialog)->text(), QStringLiteral("1"));
            edit(dialog)->setText("4");
            // OK from the dialog's own loop, so that the driver answers what it opens.
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
        });
        f_->modals.ThenMessage();
        f_->modals.ThenClose<CAssignGroup>(true,
                                           [&edit](auto* dialog) { edit(dialog)->setText("3"); });
        view.OnAddToGroup();
        QCOMPARE(f_->modals.log.last(), U(u"Corvelin: 1 から 3 までの整数を入力してください。"));
        QCOMPARE(groups(), QStringLiteral(",,1,3,2,"));

        SelectRows(view, {0});
        view.OnGroupSubfolders();
        QCOMPARE(groups(), QStringLiteral(",4,1,3,2,"));
    }
};

QTEST_MAIN(CorvelinViewTest)
#include "CorvelinViewTest.moc"
