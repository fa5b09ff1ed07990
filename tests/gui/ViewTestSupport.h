#pragma once
// The list view's Qt tests: a document with its view, real files, and drops as
// a file manager sends them.

#include <QAbstractItemModel>
#include <QApplication>
#include <QMimeData>

#include <string>

#include "ModalDriver.h"
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

}  // namespace view_test
