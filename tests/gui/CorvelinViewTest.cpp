// The list view driven as a user drives it: drops of real trees, folder and
// pack expansion, run and back, Delete, grouping, drag-out data, and the rows
// as drawn, checked pixel by pixel.

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>

#include <memory>
#include <string>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "ui/AssignGroup.h"
#include "ui/CorvelinView.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/settings/DisplayFont.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "view/ListColumns.h"
#include "view/ListGeometry.h"
#include "view/ListRows.h"

namespace {

struct ViewFixture {
    ViewFixture() : view(doc, settings, sys) {
        modals.passing = QStringList{"CAddFilesDlg", "CPackRunDlg"};
        view.resize(900, 500);
        view.show();
        view.setFocus();
        (void)QTest::qWaitForWindowExposed(&view);
    }
    // The pack size and fill rate boxes of the toolbar.
    void Toolbar(QString size, QString rate = QStringLiteral("100%")) {
        view.SetToolbarTexts([size] { return size; }, [rate] { return rate; });
    }
    CCorvelinDoc doc;
    SettingsStore settings;
    CorvelinSys sys;
    CCorvelinView view;
    ModalDriver modals;
};

inline void MakeFile(const std::string& path, size_t size) {
    testing_support::WriteFile(path, std::string(size, 'x'));
}

inline QByteArray FileUrl(const std::string& path) {
    return "file://" +
           QByteArray(path.data(), static_cast<qsizetype>(path.size())).toPercentEncoding("/");
}

// Drops a text/uri-list and waits for the scan.
inline void DropUriList(CCorvelinView& view, const QByteArray& list,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), list);
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton, modifiers);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton, modifiers);
    QApplication::sendEvent(view.viewport(), &drop);
    QCoreApplication::processEvents();
}

// The middle of the expand box of a folder (level > 0) or pack header row.
inline QPoint BoxCentre(const CCorvelinView& view, int row, RowKind kind, uint32_t level) {
    RowDrawInfo info;
    info.kind = kind;
    info.level = level;
    const QRect cell = view.visualRect(view.model()->index(row, ColumnPath));
    const ListRect box = ExpandBoxRect(info, cell.height());
    return cell.topLeft() + QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

inline void ClickBox(CCorvelinView& view, int row, RowKind kind, uint32_t level = 1) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                      BoxCentre(view, row, kind, level));
}

// "path|size|group|packNo|rate" for every row.
// The texts of the columns the view shows.
QStringList RowTexts(const QTableView& view) {
    const QAbstractItemModel& model = *view.model();
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            if (!view.isColumnHidden(c)) cells << model.data(model.index(r, c)).toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void SelectRows(CCorvelinView& view, const std::vector<int>& rows) {
    view.clearSelection();
    for (int row : rows)
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Distinct colours, stored as 0x00BBGGRR.
constexpr uint32_t kFileBack = 0x00F0E0D0, kFolderBack = 0x00D0F0E0, kSelectBack = 0x00402010,
                   kPackBack = 0x00C0C0F0, kOddBack = 0x00E0D0F0, kEvenBack = 0x00F0D0E0;

QColor Ref(uint32_t ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

QRect CellRect(const CCorvelinView& view, int row, int column) {
    return view.visualRect(view.model()->index(row, column));
}

// A point of an empty cell (Group), away from any text.
QColor BackAt(const QImage& image, const CCorvelinView& view, int row) {
    return image.pixelColor(CellRect(view, row, ColumnGroup).topLeft() + QPoint(4, 4));
}

}  // namespace

class CorvelinViewTest : public QObject {
    Q_OBJECT
    // top/ {sub/ {b.bin}, a.txt, 日本語.txt, <0xFF 0xFE>.dat} and single.txt.
    testing_support::TempDir dir_;
    const std::string top_ = dir_ / "top", single_ = dir_ / "single.txt",
                      spaced_ = dir_ / "写 真.txt";
    std::unique_ptr<ViewFixture> f_;

    void DropTree() { DropUriList(f_->view, FileUrl(top_) + "\r\n" + FileUrl(single_) + "\r\n"); }
    // The tree dropped, drawn in distinct colours by an active window.
    void DropTreeToDraw() {
        DisplaySettings& g = f_->settings.general;
        g.colorFileBack = kFileBack;
        g.colorFolderBack = kFolderBack;
        g.colorSelectBack = kSelectBack;
        g.colorPackBack = kPackBack;
        g.colorGridOddBack = kOddBack;
        g.colorGridEvenBack = kEvenBack;
        f_->view.OnSettingsChanged();
        DropTree();
        f_->view.activateWindow();
        f_->view.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f_->view));
    }

private slots:
    void initTestCase() {
        ::mkdir(top_.c_str(), 0755);
        ::mkdir((top_ + "/sub").c_str(), 0755);
        MakeFile(top_ + "/a.txt", 1000);
        MakeFile(top_ + "/sub/b.bin", 2000);
        MakeFile(top_ + "/日本語.txt", 500);
        MakeFile(top_ + "/\xff\xfe.dat", 100);
        MakeFile(single_, 300);
        MakeFile(spaced_, 7);
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
        QCOMPARE(RowTexts(view), QStringList({top + "|[Dir]|||", "single.txt|300|||"}));

        // An expansion reaches the view as one block, whatever its size.
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        ClickBox(view, 0, RowKind::Folder);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(RowTexts(view), QStringList({top + "|[Dir]|||", "sub|[Dir]|||", "a.txt|1000|||",
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
        QCOMPARE(RowTexts(f_->view), QStringList({"single.txt|300|||"}));
        // Nothing usable: the drop is refused and nothing changes.
        DropUriList(f_->view, "http://example.com/\r\n");
        QCOMPARE(f_->view.model()->rowCount(), 1);
        // Percent escapes become the name's bytes: a space, kanji.
        DropUriList(f_->view, FileUrl(spaced_));
        QCOMPARE(RowTexts(f_->view).value(1), QStringLiteral("写 真.txt|7|||"));
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
        // The registered name and the rate both reach the plan: 20 % of 10K packs the
        // 2000 bytes alone and the other 1900 together. Each pack's estimated image
        // has a column of its own in the packed list, and no medium this small takes
        // one: the window says so once and offers to pack against the images.
        f_->settings.packInfoList = {{u"小", u"10K"}};
        f_->Toolbar("小", "20%");
        const int treePathWidth = view.columnWidth(ColumnPath);
        QVERIFY(view.isColumnHidden(ColumnImage));
        f_->modals.ThenMessage(QMessageBox::No);
        view.OnRun();
        QVERIFY(f_->modals.log.last().contains(
            "2 個のパックのイメージがメディアの容量を超えています。\nイメージサイズに"));
        QCOMPARE(RowTexts(view), QStringList({"Pack 1|1.95 KB||1|200|368 KB（収まりません）",
                                              "Pack 2|1.85 KB||2|190|374 KB（収まりません）"}));
        QVERIFY(view.CanBack() && view.CanExport());
        // No glyph of the image or its title is cut.
        QVERIFY(view.columnWidth(ColumnImage) >=
                QFontMetrics(MakeListFont(f_->settings.general))
                        .horizontalAdvance("374 KB（収まりません）") +
                    12);
        QVERIFY(view.columnWidth(ColumnImage) >=
                view.horizontalHeader()->sectionSizeHint(ColumnImage));
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
        view.OnBack();
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(!view.CanBack());
        QVERIFY(view.isColumnHidden(ColumnImage));
        QCOMPARE(view.columnWidth(ColumnPath), treePathWidth);  // the packs' width goes
        QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);

        f_->Toolbar("10K");
        f_->modals.ThenMessage(QMessageBox::No);
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

        // Packing against the images, offered or set in the options, leaves over
        // the medium only files that are too large alone, and says so.
        f_->modals.ThenMessage(QMessageBox::Yes);
        f_->modals.ThenMessage();
        view.OnRun();
        QCOMPARE(model.rowCount(), 6);
        QVERIFY(f_->modals.log.last().contains(
            "6 個のパックのイメージがメディアの容量を超えています。\n1 つ"));
        view.OnBack();
        f_->settings.general.fitImage = 1;
        f_->modals.ThenMessage();
        view.OnRun();
        QCOMPARE(model.rowCount(), 6);
        QVERIFY(f_->modals.log.last().contains("これ以上分けられません"));
    }

    // The filter screen opened on an empty preset takes nothing, and says so.
    void dropOfNothingSaysWhy() {
        f_->settings.general.filterAlways = 1;
        f_->modals.ThenClose<CImportSettingsDlg>(true);
        f_->modals.ThenMessage();
        DropUriList(f_->view, FileUrl(single_));
        QCOMPARE(f_->modals.log,
                 QStringList{
                     U(u"Corvelin: ファイルは追加されませんでした。\n"
                       u"1 個のファイルがインポート設定（名前なし）のフィルターで除外されました。\n"
                       u"インポート設定（名前なし）には入力フィルターがありません。")});
    }

    void placeInTheListAcrossRunAndBack() {
        testing_support::TempDir many;
        for (int i = 0; i < 120; ++i)
            MakeFile(many / ("f" + std::to_string(1000 + i)), 100);
        DropUriList(f_->view, FileUrl(many.Path()));
        CCorvelinView& view = f_->view;
        const QAbstractItemModel& model = *view.model();
        ClickBox(view, 0, RowKind::Folder);
        // End and Home go down and up the rows, never across the columns.
        view.setColumnWidth(ColumnPath, 3000);
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(view.currentIndex().row(), 120);
        QCOMPARE(view.horizontalScrollBar()->value(), 0);
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.currentIndex().row(), 0);
        // A run from the middle of the folder opens the packs at the first; Back
        // returns to where the run started.
        view.setCurrentIndex(model.index(90, 0));
        view.scrollTo(model.index(80, 0), QAbstractItemView::PositionAtTop);
        f_->Toolbar("150");        // a pack for each file
        f_->modals.ThenMessage();  // no image fits so small a medium
        view.OnRun();
        QCOMPARE(view.rowAt(0), 0);
        view.OnBack();
        QTRY_COMPARE(view.rowAt(0), 80);
        QCOMPARE(view.currentIndex().row(), 90);
    }

    void groupingCommands() {
        DropTree();
        CCorvelinView& view = f_->view;
        const QAbstractItemModel& model = *view.model();
        ClickBox(view, 0, RowKind::Folder);
        auto groups = [&] {
            QStringList cells;
            for (int r = 0; r < model.rowCount(); ++r)
                cells << model.data(model.index(r, ColumnGroup)).toString();
            return cells.join(QLatin1Char(','));
        };

        view.clearSelection();
        f_->modals.ThenMessage();
        view.OnNewGroup();
        QCOMPARE(f_->modals.log,
                 QStringList{"Corvelin: グループに割り当てるアイテムを選択してください。"});

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
        // Still selected, and shown so: the list has the keyboard focus again.
        QCOMPARE(view.selectionModel()->selectedRows().value(0).row(), 3);
        QTRY_VERIFY(view.hasFocus());

        SelectRows(view, {0});
        view.OnGroupSubfolders();
        QCOMPARE(groups(), QStringLiteral(",4,1,3,2,"));
    }

    void treeRowsAsDrawn() {
        DropTreeToDraw();
        CCorvelinView& view = f_->view;
        ClickBox(view, 0, RowKind::Folder);  // also selects the folder row
        view.selectionModel()->clearSelection();
        const QImage image = view.viewport()->grab().toImage();
        // Which stroke a box shows is the geometry's test; here, that one is drawn.
        QCOMPARE(image.pixelColor(BoxCentre(view, 0, RowKind::Folder, 1)), QColor(Qt::black));
        QCOMPARE(BackAt(image, view, 0), Ref(kFolderBack));
        QCOMPARE(BackAt(image, view, 2), Ref(kFileBack));
        // Below a.txt's middle, its level-2 connector runs on 24 px into the cell.
        const QRect a = CellRect(view, 2, ColumnPath);
        QCOMPARE(image.pixelColor(a.left() + 24, a.top() + RowMiddle(a.height()) + 3),
                 QColor(0x80, 0x80, 0x80));

        view.selectRow(2);
        QCOMPARE(BackAt(view.viewport()->grab().toImage(), view, 2), Ref(kSelectBack));
        // Without the keyboard focus a selected row keeps its own colours.
        view.clearFocus();
        QCOMPARE(BackAt(view.viewport()->grab().toImage(), view, 2), Ref(kFileBack));

        // A path cut by its column shows whole as a tip; one that fits shows none.
        auto tip = [&view](int row) {
            const QPoint at = CellRect(view, row, ColumnPath).center();
            QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
            QApplication::sendEvent(view.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tip(2), QString());
        view.setColumnWidth(ColumnPath, 70);
        QCOMPARE(tip(2), QString::fromStdString(top_ + "/a.txt"));

        f_->settings.general.lineHeight = 0;
        view.OnSettingsChanged();
        const int base = view.rowHeight(0);
        f_->settings.general.lineHeight = 10;
        view.OnSettingsChanged();
        QCOMPARE(view.rowHeight(0), base + 20);
        // A hand-edited negative value leaves rows one pixel high, not gone.
        f_->settings.general.lineHeight = -100;
        view.OnSettingsChanged();
        QCOMPARE(view.rowHeight(0), 1);
    }

    void packRowsAsDrawn() {
        DropTreeToDraw();
        CCorvelinView& view = f_->view;
        // Packs: 2000 alone (too big), then 1000 + 500 + 300, then 100.
        f_->Toolbar("1850");
        f_->modals.ThenMessage(QMessageBox::No);
        view.OnRun();
        ClickBox(view, 1, RowKind::PackHeader);
        view.selectionModel()->clearSelection();
        const QImage image = view.viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(BoxCentre(view, 0, RowKind::PackHeader, 1)), QColor(Qt::black));
        QCOMPARE(BackAt(image, view, 1), Ref(kPackBack));
        // Item stripes count every row of the list, headers included.
        QCOMPARE(BackAt(image, view, 2), Ref(kEvenBack));
        QCOMPARE(BackAt(image, view, 3), Ref(kOddBack));

        // The fill bar shows each pack's share.
        const QAbstractItemModel& model = *view.model();
        for (int row : {0, 1, 5}) {
            const QString rate = model.data(model.index(row, ColumnRate)).toString();
            const QRect cell = CellRect(view, row, ColumnRate);
            // Count along the bar's top edge, above the centred text.
            const int y = cell.top() + 2, left = cell.left() + 2, width = cell.width() - 4;
            int green = 0, red = 0;
            for (int x = left; x < left + width; ++x) {
                green += image.pixelColor(x, y) == QColor(0, 255, 0);
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
            }
            QCOMPARE(green + red, width);
            const int expected = rate == "over" ? 0 : width * rate.toInt() / 1000;
            QVERIFY2(qAbs(green - expected) <= 1, qPrintable(rate));
        }
    }
};

QTEST_MAIN(CorvelinViewTest)
#include "CorvelinViewTest.moc"
