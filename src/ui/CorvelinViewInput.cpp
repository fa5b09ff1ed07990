// The list view's mouse and keyboard: expand boxes, double click, Delete, and
// the start of a pack's drag.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/CorvelinView.h"
#include "ui/ListModel.h"
#include "view/DeleteCommand.h"
#include "view/ListRow.h"
#include "view/PackDropData.h"
#include "view/PackListView.h"
#include "view/RowSelection.h"

void CCorvelinView::keyPressEvent(QKeyEvent* event) {
    // Delete alone; with a modifier it is another command (or none).
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        if (delete_->Delete(Selection())) AfterListChange();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CCorvelinView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    pressRow_ = event->button() == Qt::LeftButton && index.isValid() ? index.row() : -1;
    pressPos_ = pos;
    if (pressRow_ < 0) return;
    const QRect pathCell = visualRect(model_->index(pressRow_, ColumnPath));
    if (list_->OnClick(static_cast<size_t>(pressRow_), pos.x() - pathCell.left(),
                       pos.y() - pathCell.top(), pathCell.height())) {
        pressRow_ = -1;
        AfterListChange();
    }
}

void CCorvelinView::mouseMoveEvent(QMouseEvent* event) {
    if (pressRow_ >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance() &&
        DragPackIndex(*list_, static_cast<size_t>(pressRow_))) {
        const int row = pressRow_;
        pressRow_ = -1;
        StartPackDrag(row);
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void CCorvelinView::mouseReleaseEvent(QMouseEvent* event) {
    pressRow_ = -1;
    QTableView::mouseReleaseEvent(event);
}

void CCorvelinView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && list_->OnDoubleClick(Selection())) AfterListChange();
}
