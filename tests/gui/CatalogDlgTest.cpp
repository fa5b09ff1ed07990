// The catalog window over a real catalog, and the mark of a changed file.

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QtTest>

#include "../catalog/CatalogTestSupport.h"
#include "settings/SettingsStore.h"
#include "ui/CatalogDlg.h"
#include "ui/IconList.h"
#include "ui/ListDelegate.h"
#include "view/ListRows.h"

namespace {

QStringList Row(const QTableWidget& table, int row) {
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c)
        cells << table.item(row, c)->text();
    return cells;
}

// Pixels of the Path cell's text drawn in the changed files' dark orange.
int OrangePixels(bool changed) {
    QStandardItemModel model(1, ColumnCount);
    model.setData(model.index(0, ColumnPath), QStringLiteral("/photos/changed.jpg"));
    DisplaySettings settings;
    CIconList icons;
    CListDelegate delegate(settings, icons, [changed](int, RowDrawInfo& info, int32_t&) {
        info.archiveChanged = changed;
    });
    QImage image(300, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 300, 24);
    delegate.paint(&painter, option, model.index(0, ColumnPath));
    painter.end();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() > 40 && c.green() < 140 && c.blue() < 60;
        }
    }
    return count;
}

}  // namespace

class CatalogDlgTest : public QObject {
    Q_OBJECT

private slots:
    void searchFollowsTheTextAndSetsShowTheirDiscs() {
        testing_support::TempDir dir;
        const std::string path = dir / "catalog.sqlite";
        {
            catalog::Catalog catalog;
            QVERIFY(catalog.Open(path));
            QVERIFY(catalog.Record(catalog_test::MakeSet(
                std::string(32, 'a'), "写真 2026", {"/home/u/IMG_1.jpg", "/home/u/IMG_2.jpg"}, 2)));
        }
        CCatalogDlg dialog(path, 0);
        dialog.SearchNow(QStringLiteral("img_2"));
        QTRY_VERIFY(!dialog.Searching());
        QTableWidget& results = *dialog.Results();
        QCOMPARE(results.rowCount(), 1);
        QCOMPARE(Row(results, 0),
                 (QStringList{QStringLiteral("/home/u/IMG_2.jpg"), QStringLiteral("PACK_02"),
                              QStringLiteral("写真 2026"), QStringLiteral("2023-11-15")}));
        dialog.SearchNow(QStringLiteral("u/"));
        QTRY_VERIFY(!dialog.Searching());
        QCOMPARE(results.rowCount(), 2);
        dialog.SearchNow(QString());
        QCOMPARE(results.rowCount(), 0);

        QTableWidget& sets = *dialog.SetList();
        QCOMPARE(sets.rowCount(), 1);
        QCOMPARE(Row(sets, 0).mid(0, 3),
                 (QStringList{QStringLiteral("写真 2026"), QStringLiteral("2 枚"),
                              QStringLiteral("2")}));
    }

    void aChangedFilesPathIsDrawnInItsColour() {
        QCOMPARE(OrangePixels(false), 0);
        QVERIFY(OrangePixels(true) > 10);
    }
};

QTEST_MAIN(CatalogDlgTest)
#include "CatalogDlgTest.moc"
