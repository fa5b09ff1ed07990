// What the user sees of the list: rows rendered into images and checked
// pixel by pixel (row colours, selection, boxes, connectors, fill bars).

#include <QImage>

#include "ViewTestSupport.h"
#include "ui/ListDelegate.h"

using namespace view_test;

namespace {

// Distinct colours, stored as 0x00BBGGRR.
constexpr uint32_t kFileBack = 0x00F0E0D0, kFolderBack = 0x00D0F0E0, kSelectBack = 0x00402010,
                   kPackBack = 0x00C0C0F0, kOddBack = 0x00E0D0F0, kEvenBack = 0x00F0D0E0;

QColor Ref(uint32_t ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

struct DrawFixture : ViewFixture {
    DrawFixture() {
        DisplaySettings& g = settings.general;
        g.colorFileBack = kFileBack;
        g.colorFolderBack = kFolderBack;
        g.colorSelectBack = kSelectBack;
        g.colorPackBack = kPackBack;
        g.colorGridOddBack = kOddBack;
        g.colorGridEvenBack = kEvenBack;
        view.OnSettingsChanged();
        Toolbar("1500");
        ::mkdir((dir / "top").c_str(), 0755);
        MakeFile(dir / "top/a.bin", 2000);
        MakeFile(dir / "top/b.bin", 1000);
        MakeFile(dir / "top/c.bin", 500);
        MakeFile(dir / "top/d.bin", 300);
        MakeFile(dir / "top/e.bin", 100);
        DropUriList(view, FileUrl(dir / "top"));
        view.activateWindow();
        view.setFocus();
        (void)QTest::qWaitForWindowActive(&view);
    }
    QImage Image() { return view.viewport()->grab().toImage(); }
    QRect Cell(int row, int column) { return view.visualRect(view.model()->index(row, column)); }
    // A point of an empty cell (Group), away from any text.
    QColor BackAt(const QImage& image, int row) {
        return image.pixelColor(Cell(row, ColumnGroup).topLeft() + QPoint(4, 4));
    }
    testing_support::TempDir dir;
};

}  // namespace

class ListDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void rowColoursFollowKindAndSelection();
    void boxesShowPlusOrMinus();
    void lastChildDrawsACorner();
    void fillBarShowsThePacksShare();
    void rateTexts();
    void rowHeightFromLineHeight();
};

void ListDrawingTest::rowColoursFollowKindAndSelection() {
    DrawFixture f;
    ClickBox(f.view, 0, RowKind::Folder);  // also selects the folder row
    f.view.selectionModel()->clearSelection();
    QImage image = f.Image();
    QCOMPARE(f.BackAt(image, 0), Ref(kFolderBack));
    QCOMPARE(f.BackAt(image, 1), Ref(kFileBack));

    f.view.selectRow(1);
    image = f.Image();
    QCOMPARE(f.BackAt(image, 1), Ref(kSelectBack));
    // Without the keyboard focus a selected row keeps its own colours.
    f.view.clearFocus();
    image = f.Image();
    QCOMPARE(f.BackAt(image, 1), Ref(kFileBack));

    f.view.OnRun();
    f.view.setFocus();
    ClickBox(f.view, 1, RowKind::PackHeader);  // Pack 2 holds two files
    f.view.selectionModel()->clearSelection();
    image = f.Image();
    QCOMPARE(f.BackAt(image, 0), Ref(kPackBack));
    QCOMPARE(f.BackAt(image, 1), Ref(kPackBack));
    // Item stripes count every row of the list, headers included.
    QCOMPARE(f.BackAt(image, 2), Ref(kEvenBack));
    QCOMPARE(f.BackAt(image, 3), Ref(kOddBack));
}

void ListDrawingTest::boxesShowPlusOrMinus() {
    DrawFixture f;
    auto strokes = [&](RowKind kind) {
        const QImage image = f.Image();
        const QPoint centre = BoxCentre(f.view, 0, kind, 1);
        // The minus stroke crosses the centre; the plus adds the vertical one.
        return QPair<bool, bool>(image.pixelColor(centre) == Qt::black,
                                 image.pixelColor(centre - QPoint(0, 2)) == Qt::black);
    };
    QCOMPARE(strokes(RowKind::Folder), qMakePair(true, true));
    ClickBox(f.view, 0, RowKind::Folder);
    QCOMPARE(strokes(RowKind::Folder), qMakePair(true, false));
    f.view.OnRun();
    QCOMPARE(strokes(RowKind::PackHeader), qMakePair(true, true));
    ClickBox(f.view, 0, RowKind::PackHeader);
    QCOMPARE(strokes(RowKind::PackHeader), qMakePair(true, false));
}

void ListDrawingTest::lastChildDrawsACorner() {
    DrawFixture f;
    ClickBox(f.view, 0, RowKind::Folder);
    f.view.selectionModel()->clearSelection();
    const QImage image = f.Image();
    // Children sit at level 2: their connector runs at 24 px into the cell.
    auto belowMiddle = [&](int row) {
        const QRect cell = f.Cell(row, ColumnPath);
        return image.pixelColor(cell.left() + 24, cell.top() + RowMiddle(cell.height()) + 3);
    };
    QCOMPARE(belowMiddle(1), QColor(0x80, 0x80, 0x80));  // a.bin: the line runs on
    QCOMPARE(belowMiddle(5), Ref(kFileBack));            // e.bin, the last: a corner
}

void ListDrawingTest::fillBarShowsThePacksShare() {
    DrawFixture f;
    f.view.OnRun();
    f.view.selectionModel()->clearSelection();
    const QImage image = f.Image();
    const QAbstractItemModel& model = *f.view.model();
    QCOMPARE(model.rowCount(), 3);
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString rate = model.data(model.index(row, ColumnRate)).toString();
        const QRect cell = f.Cell(row, ColumnRate);
        // Count along the bar's top edge, above the centred text.
        const int y = cell.top() + 2, left = cell.left() + 2, width = cell.width() - 4;
        int green = 0, red = 0;
        for (int x = left; x < left + width; ++x) {
            const QColor c = image.pixelColor(x, y);
            green += c == QColor(0, 255, 0);
            red += c == QColor(255, 0, 0);
        }
        QCOMPARE(green + red, width);
        const int expected = rate == "over" ? 0 : width * rate.toInt() / 1000;
        QVERIFY2(qAbs(green - expected) <= 1, qPrintable(rate));
    }
}

void ListDrawingTest::rateTexts() {
    const QStringList texts{CListDelegate::RateText(1000), CListDelegate::RateText(5),
                            CListDelegate::RateText(953), CListDelegate::RateText(0)};
    QCOMPARE(texts, QStringList({"100.0%", " 0.5%", "95.3%", "over"}));
}

void ListDrawingTest::rowHeightFromLineHeight() {
    DrawFixture f;
    f.settings.general.lineHeight = 0;
    f.view.OnSettingsChanged();
    const int base = f.view.rowHeight(0);
    QVERIFY(base >= 16);
    f.settings.general.lineHeight = 10;
    f.view.OnSettingsChanged();
    QCOMPARE(f.view.rowHeight(0), base + 20);
    // A hand-edited negative value leaves rows one pixel high, not gone.
    f.settings.general.lineHeight = -100;
    f.view.OnSettingsChanged();
    QCOMPARE(f.view.rowHeight(0), 1);
}

QTEST_MAIN(ListDrawingTest)
#include "ListDrawingTest.moc"
