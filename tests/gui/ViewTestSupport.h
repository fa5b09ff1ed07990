#pragma once
// Shared by the list view's Qt tests: a document with its view, trees of
// real files, drops as a file manager sends them, and answers to modal boxes.

#include <QAbstractItemModel>
#include <QApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "ui/CorvelinView.h"
#include "view/ListGeometry.h"
#include "view/ListRows.h"

namespace view_test {

struct ViewFixture {
    ViewFixture() : view(doc, settings, sys) {
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
};

inline void MakeFile(const std::string& path, size_t size) {
    testing_support::WriteFile(path, std::string(size, 'x'));
}

inline QByteArray FileUrl(const std::string& path) {
    return "file://" +
           QByteArray(path.data(), static_cast<qsizetype>(path.size())).toPercentEncoding("/");
}

// Drops a text/uri-list as a file manager does and waits for the scan.
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

// "path|size|group|packNo|rate" for every row.
inline QStringList RowTexts(const QAbstractItemModel& model) {
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.data(model.index(r, c)).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

inline QString PathCell(const QAbstractItemModel& model, int row) {
    return model.data(model.index(row, ColumnPath)).toString();
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

using gui_test::WhenModal;

// Answers the next dialog of type T: accepted or rejected.
template <class T>
void AnswerDialog(bool accept, std::function<void(T*)> fill = {}) {
    WhenModal<T>([accept, fill](T* dialog) {
        if (fill) fill(dialog);
        accept ? dialog->accept() : dialog->reject();
    });
}

// Answers the next message box and records what it showed.
struct ShownBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};
inline void AnswerBox(ShownBox* shown) {
    WhenModal<QMessageBox>([shown](QMessageBox* box) {
        *shown = {box->windowTitle(), box->text(), box->icon()};
        box->accept();
    });
}

}  // namespace view_test
