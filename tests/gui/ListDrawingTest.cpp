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

// top/ {a.bin 2000, b.bin 1000, c.bin 500, d.bin 300, e.bin 100}, packs of 1500.
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
        for (const auto& [name, size] :
             {std::pair{"a", 2000}, {"b", 1000}, {"c", 500}, {"d", 300}, {"e", 100}})
            MakeFile(dir / "top" + "/" + name + ".bin", size);
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
    // Which stroke a box shows is the geometry's test; here, that one is drawn at all.
    bool Glyph(const QImage& image, int row, RowKind kind) {
        return image.pixelColor(BoxCentre(view, row, kind, 1)) == Qt::black;
    }
    testing_support::TempDir dir;
};

}  // namespace

class ListDrawingTest : public QObject {
    Q_OBJECT
private slots:

    void treeRows() {
        DrawFixture f;
        ClickBox(f.view, 0, RowKind::Folder);  // also selects the folder row
        f.view.selectionModel()->clearSelection();
        QImage image = f.Image();
        QVERIFY(f.Glyph(image, 0, RowKind::Folder));
        QCOMPARE(f.BackAt(image, 0), Ref(kFolderBack));
        QCOMPARE(f.BackAt(image, 1), Ref(kFileBack));
        // Below a.bin's middle, its level-2 connector runs on 24 px into the cell.
        const QRect a = f.Cell(1, ColumnPath);
        QCOMPARE(image.pixelColor(a.left() + 24, a.top() + RowMiddle(a.height()) + 3),
                 QColor(0x80, 0x80, 0x80));

        f.view.selectRow(1);
        QCOMPARE(f.BackAt(f.Image(), 1), Ref(kSelectBack));
        // Without the keyboard focus a selected row keeps its own colours.
        f.view.clearFocus();
        QCOMPARE(f.BackAt(f.Image(), 1), Ref(kFileBack));

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

    void packRows() {
        DrawFixture f;
        f.view.OnRun();
        ClickBox(f.view, 1, RowKind::PackHeader);  // Pack 2 holds three files
        f.view.selectionModel()->clearSelection();
        const QImage image = f.Image();
        QVERIFY(f.Glyph(image, 0, RowKind::PackHeader));
        QCOMPARE(f.BackAt(image, 1), Ref(kPackBack));
        // Item stripes count every row of the list, headers included.
        QCOMPARE(f.BackAt(image, 2), Ref(kEvenBack));
        QCOMPARE(f.BackAt(image, 3), Ref(kOddBack));

        // The fill bar shows each pack's share.
        const QAbstractItemModel& model = *f.view.model();
        for (int row : {0, 1, 5}) {
            const QString rate = model.data(model.index(row, ColumnRate)).toString();
            const QRect cell = f.Cell(row, ColumnRate);
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
        const QStringList texts{CListDelegate::RateText(1000), CListDelegate::RateText(5),
                                CListDelegate::RateText(953), CListDelegate::RateText(0)};
        QCOMPARE(texts, QStringList({"100.0%", " 0.5%", "95.3%", "over"}));
    }
};

QTEST_MAIN(ListDrawingTest)
#include "ListDrawingTest.moc"
