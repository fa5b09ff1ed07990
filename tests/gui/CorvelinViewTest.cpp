// The list view driven as a user drives it: drops of real trees, folder and
// pack expansion, run and back, Delete, grouping, drag-out data.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include "ViewTestSupport.h"
#include "ui/AssignGroup.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/settings/ImportSettingsDlg.h"

using namespace view_test;

namespace {

// top/ {sub/ {b.bin}, a.txt, 日本語.txt, <0xFF 0xFE>.dat} and single.txt.
struct Tree {
    Tree() {
        ::mkdir(Top().c_str(), 0755);
        ::mkdir((Top() + "/sub").c_str(), 0755);
        MakeFile(Top() + "/a.txt", 1000);
        MakeFile(Top() + "/sub/b.bin", 2000);
        MakeFile(Top() + "/日本語.txt", 500);
        MakeFile(Top() + "/\xff\xfe.dat", 100);
        MakeFile(Single(), 300);
    }
    std::string Top() const { return dir / "top"; }
    std::string Single() const { return dir / "single.txt"; }
    QByteArray UriList() const { return FileUrl(Top()) + "\r\n" + FileUrl(Single()) + "\r\n"; }
    testing_support::TempDir dir;
};

int FindRow(const QAbstractItemModel& model, const QString& path) {
    for (int r = 0; r < model.rowCount(); ++r)
        if (PathCell(model, r) == path) return r;
    return -1;
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
private slots:
    void dropShowsFoldersThatExpandAndCollapse();
    void dropTakesOnlyLocalFileUrls();
    void skippedEntriesAreListedAfterTheScan();
    void importSettingsDialogOnShiftOrAlways();
    void runPacksWithTheToolbarTexts_data();
    void runPacksWithTheToolbarTexts();
    void invalidPackSizeShowsErrorAndChangesNothing();
    void backAndPackExpansion();
    void deleteKeyRemovesSelectedItemsOnly();
    void groupingCommands();
};

void CorvelinViewTest::dropShowsFoldersThatExpandAndCollapse() {
    Tree tree;
    ViewFixture f;
    DropUriList(f.view, tree.UriList());
    const QAbstractItemModel& model = *f.view.model();
    const QString top = QString::fromStdString(tree.Top());
    QCOMPARE(RowTexts(model), QStringList({top + "|[Dir]|||", "single.txt|300|||"}));
    QVERIFY(f.view.CanRun());

    // An expansion reaches the view as one block, whatever its size.
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    ClickBox(f.view, 0, RowKind::Folder);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(RowTexts(model),
             QStringList({top + "|[Dir]|||", "sub|[Dir]|||", "a.txt|1000|||", "日本語.txt|500|||",
                          "\uFFFD\uFFFD.dat|100|||", "single.txt|300|||"}));
    ClickBox(f.view, 1, RowKind::Folder, 2);
    QCOMPARE(PathCell(model, 2), QStringLiteral("b.bin"));
    // A click beside the box selects without toggling.
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier,
                      BoxCentre(f.view, 0, RowKind::Folder, 1) + QPoint(60, 0));
    QCOMPARE(model.rowCount(), 7);

    // Collapsing the top folder takes the expanded subfolder's rows too;
    // expanding again shows the subfolder still expanded.
    ClickBox(f.view, 0, RowKind::Folder);
    QCOMPARE(model.rowCount(), 2);
    ClickBox(f.view, 0, RowKind::Folder);
    QCOMPARE(model.rowCount(), 7);
    QCOMPARE(PathCell(model, 2), QStringLiteral("b.bin"));

    // A double click toggles the first selected row.
    SelectRows(f.view, {0});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier,
                       f.view.visualRect(model.index(0, 2)).center());
    QCOMPARE(model.rowCount(), 2);
}

void CorvelinViewTest::dropTakesOnlyLocalFileUrls() {
    Tree tree;
    ViewFixture f;
    const QByteArray list = "# a comment\r\nhttp://example.com/x.txt\r\nfile://elsewhere" +
                            QByteArray::fromStdString(tree.Single()) + "\r\nfile://localhost" +
                            FileUrl(tree.Single()).mid(7) + "\r\n";
    DropUriList(f.view, list);
    QCOMPARE(RowTexts(*f.view.model()), QStringList({"single.txt|300|||"}));
    // Nothing usable: the drop is refused and nothing changes.
    DropUriList(f.view, "http://example.com/\r\n");
    QCOMPARE(f.view.model()->rowCount(), 1);
}

void CorvelinViewTest::skippedEntriesAreListedAfterTheScan() {
    testing_support::TempDir dir;
    MakeFile(dir / "kept.txt", 10);
    QVERIFY(::symlink((dir / "gone").c_str(), (dir / "dangling").c_str()) == 0);
    ViewFixture f;
    QString listed;
    WhenModal<CSkippedEntriesDlg>([&listed](CSkippedEntriesDlg* dialog) {
        listed = dialog->findChild<QPlainTextEdit*>()->toPlainText();
        dialog->accept();
    });
    DropUriList(f.view, FileUrl(dir.Path()));
    // The path and the reason, then the system's error text.
    QVERIFY2(
        listed.startsWith(QString::fromStdString(dir / "dangling") + ": " +
                          QString::fromStdU16String(DescribeSkipReason(SkipReason::DanglingLink))),
        qPrintable(listed));
    QCOMPARE(f.view.model()->rowCount(), 1);
}

void CorvelinViewTest::importSettingsDialogOnShiftOrAlways() {
    const struct {
        bool filterAlways, shift, accept;
        int dialogs, rows;
    } table[] = {{false, false, true, 0, 2},
                 {false, true, true, 1, 2},
                 {false, true, false, 1, 1},
                 {true, false, true, 1, 2},
                 {true, false, false, 1, 1}};
    for (const auto& row : table) {
        Tree tree;
        ViewFixture f;
        // A plain drop first, so the dialog starts from the view's "*.*" preset.
        DropUriList(f.view, FileUrl(tree.Single()));
        f.settings.general.filterAlways = row.filterAlways ? 1 : 0;
        // Without an answer an unexpected dialog would hang the test.
        int shown = 0;
        if (row.dialogs) AnswerDialog<CImportSettingsDlg>(row.accept, [&shown](auto*) { ++shown; });
        DropUriList(f.view, FileUrl(tree.Top()), row.shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(shown, row.dialogs);
        QCOMPARE(f.view.model()->rowCount(), row.rows);
    }
}

void CorvelinViewTest::runPacksWithTheToolbarTexts_data() {
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QStringList>("headers");
    // Files: 2000, 1000, 500, 300 and 100 bytes. The group cell of a pack holds its
    // estimated disc image, which no medium this small can take.
    QTest::newRow("typed size") << "10K"
                                << "100%"
                                << QStringList{
                                       "Pack 1|3.80 KB|イメージ 376 KB（収まりません）|1|390"};
    QTest::newRow("rate measured against the full size")
        << "10K"
        << "50%" << QStringList{"Pack 1|3.80 KB|イメージ 376 KB（収まりません）|1|390"};
    QTest::newRow("registered name") << "CD(650MB)"
                                     << "100%" << QStringList{"Pack 1|3.80 KB|イメージ 376 KB|1|1"};
    QTest::newRow("empty rate packs each file alone")
        << "10K"
        << ""
        << QStringList{"Pack 1|1.95 KB|イメージ 368 KB（収まりません）|1|200",
                       "Pack 2|1000|イメージ 368 KB（収まりません）|2|100",
                       "Pack 3|500|イメージ 368 KB（収まりません）|3|50",
                       "Pack 4|300|イメージ 368 KB（収まりません）|4|30",
                       "Pack 5|100|イメージ 368 KB（収まりません）|5|10"};
    QTest::newRow("file larger than the pack")
        << "1500"
        << "100%"
        << QStringList{"Pack 1|1.95 KB|イメージ 368 KB（収まりません）|1|over",
                       "Pack 2|1.36 KB|イメージ 372 KB（収まりません）|2|933",
                       "Pack 3|500|イメージ 368 KB（収まりません）|3|333"};
}

void CorvelinViewTest::runPacksWithTheToolbarTexts() {
    QFETCH(QString, size);
    QFETCH(QString, rate);
    QFETCH(QStringList, headers);
    Tree tree;
    ViewFixture f;
    f.Toolbar(size, rate);
    DropUriList(f.view, tree.UriList());
    f.view.OnRun();
    QCOMPARE(RowTexts(*f.view.model()), headers);
    QVERIFY(f.view.CanBack());
    QVERIFY(f.view.CanExport());
    QVERIFY(f.view.CanRun());
    QCOMPARE(f.view.selectionMode(), QAbstractItemView::SingleSelection);
}

void CorvelinViewTest::invalidPackSizeShowsErrorAndChangesNothing() {
    Tree tree;
    ViewFixture f;
    f.Toolbar("4.7G");
    DropUriList(f.view, tree.UriList());
    QSignalSpy rejected(&f.view, &CCorvelinView::packSizeRejected);
    ShownBox answer;
    AnswerBox(&answer);
    f.view.OnRun();
    QCOMPARE(answer.caption, QStringLiteral("ERROR"));
    QCOMPARE(answer.text, QStringLiteral("パックサイズに正しい値を入力してください"));
    QCOMPARE(answer.icon, QMessageBox::Critical);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(f.view.model()->rowCount(), 2);
    QVERIFY(!f.view.CanBack());
}

void CorvelinViewTest::backAndPackExpansion() {
    Tree tree;
    ViewFixture f;
    f.Toolbar("10K");
    DropUriList(f.view, tree.UriList());
    QVERIFY(!f.view.DragData(0));  // nothing leaves the editable list
    f.view.OnRun();
    // A pack header drags out its files' URLs, whatever bytes their names hold.
    std::unique_ptr<QMimeData> mime = f.view.DragData(0);
    QVERIFY(mime);
    const QByteArray list = mime->data(QStringLiteral("text/uri-list"));
    QVERIFY(list.contains(FileUrl(tree.Top() + "/\xff\xfe.dat") + "\r\n"));
    QCOMPARE(list.count("file://"), 5);
    const QAbstractItemModel& model = *f.view.model();
    ClickBox(f.view, 0, RowKind::PackHeader);
    QCOMPARE(model.rowCount(), 6);
    QVERIFY(!f.view.DragData(1));  // a pack's file row starts nothing
    // Pack items show whole paths, in path order.
    QCOMPARE(PathCell(model, 1), QString::fromStdString(tree.Single()));
    QCOMPARE(PathCell(model, 2), QString::fromStdString(tree.Top() + "/a.txt"));
    QCOMPARE(model.data(model.index(2, ColumnSize)).toString(), QStringLiteral("1000"));
    ClickBox(f.view, 0, RowKind::PackHeader);
    QCOMPARE(model.rowCount(), 1);

    f.view.OnBack();
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(!f.view.CanBack());
    QVERIFY(!f.view.CanExport());
    QCOMPARE(f.view.selectionMode(), QAbstractItemView::ExtendedSelection);
    // A drop in the packed mode returns to the tree with the new items.
    f.view.OnRun();
    DropUriList(f.view, FileUrl(tree.Single()));
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!f.view.CanBack());
}

void CorvelinViewTest::deleteKeyRemovesSelectedItemsOnly() {
    Tree tree;
    ViewFixture f;
    f.Toolbar("10K");
    DropUriList(f.view, tree.UriList());
    const QAbstractItemModel& model = *f.view.model();
    ClickBox(f.view, 0, RowKind::Folder);
    f.view.setFocus();

    SelectRows(f.view, {FindRow(model, "a.txt")});
    QTest::keyClick(&f.view, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(model.rowCount(), 6);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(FindRow(model, "a.txt"), -1);

    // The folder and one of its files together: both go.
    SelectRows(f.view, {0, FindRow(model, "日本語.txt")});
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(RowTexts(model), QStringList({"single.txt|300|||"}));

    // In the packed mode Delete does nothing.
    f.view.OnRun();
    SelectRows(f.view, {0});
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(f.view.CanBack());
}

void CorvelinViewTest::groupingCommands() {
    Tree tree;
    ViewFixture f;
    f.Toolbar("10K");
    DropUriList(f.view, tree.UriList());
    const QAbstractItemModel& model = *f.view.model();
    ClickBox(f.view, 0, RowKind::Folder);
    auto groups = [&] {
        QStringList cells;
        for (int r = 0; r < model.rowCount(); ++r)
            cells << model.data(model.index(r, ColumnGroup)).toString();
        return cells.join(QLatin1Char(','));
    };

    f.view.clearSelection();
    QVERIFY(!f.view.CanNewGroup());
    QVERIFY(!f.view.CanAddToGroup());
    {
        ShownBox answer;
        AnswerBox(&answer);
        f.view.OnNewGroup();
        QCOMPARE(answer.text, QStringLiteral("グループに割り当てるアイテムを選択してください。"));
        QCOMPARE(answer.caption, QStringLiteral("Corvelin"));
        QCOMPARE(answer.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(f.doc.groupCount, 0u);

    // Rows: top, sub, a.txt, 日本語.txt, ??.dat, single.txt.
    SelectRows(f.view, {2, 3});
    QVERIFY(f.view.CanNewGroup());
    QVERIFY(!f.view.CanGroupSubfolders());
    f.view.OnNewGroup();
    QCOMPARE(groups(), QStringLiteral(",,1,1,,"));
    QVERIFY(f.view.CanAddToGroup());

    SelectRows(f.view, {4, 5});
    f.view.OnGroupEach();
    QCOMPARE(groups(), QStringLiteral(",,1,1,2,3"));

    SelectRows(f.view, {3, 5});
    f.view.OnRemoveFromGroup();
    QCOMPARE(groups(), QStringLiteral(",,1,,2,"));

    // Into an existing group: the number typed; a cancel changes nothing.
    SelectRows(f.view, {3});
    for (const bool ok : {false, true}) {
        AnswerDialog<CAssignGroup>(ok, [](CAssignGroup* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("groupNumber"))->setText("3");
        });
        f.view.OnAddToGroup();
        QCOMPARE(groups(), ok ? QStringLiteral(",,1,3,2,") : QStringLiteral(",,1,,2,"));
    }

    SelectRows(f.view, {0, 1});
    QVERIFY(!f.view.CanGroupSubfolders());
    SelectRows(f.view, {0});
    QVERIFY(f.view.CanGroupSubfolders());
    f.view.OnGroupSubfolders();
    QCOMPARE(groups(), QStringLiteral(",4,1,3,2,"));

    f.view.OnRun();
    QVERIFY(!f.view.CanNewGroup() && !f.view.CanAddToGroup() && !f.view.CanGroupEach());
}

QTEST_MAIN(CorvelinViewTest)
#include "CorvelinViewTest.moc"
