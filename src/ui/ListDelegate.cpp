#include "ui/ListDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "packing/PackFillRate.h"
#include "settings/SettingsStore.h"
#include "ui/IconList.h"
#include "ui/settings/DisplayFont.h"
#include "view/ListColumns.h"
#include "view/ListGeometry.h"

namespace {

const QColor kLineGrey(0x80, 0x80, 0x80);
const QColor kSeparatorGrey(0xD8, 0xD8, 0xD8);
// The Path text of a file the catalog holds with another size or time (the
// manual names this colour): dark orange, apart from every settable colour.
const QColor kArchiveChangedText(0xD0, 0x60, 0x00);

// Lines cover their start point but not their end point. Filled rectangles
// keep them exact at every scale, where a pen's pixels would be rounded.
void PaintLine(QPainter* p, const QPoint& origin, const ListLine& line) {
    const QColor& colour = line.pen == ListLine::Glyph ? QColor(Qt::black) : kLineGrey;
    const int x = origin.x() + line.x1, y = origin.y() + line.y1;
    if (line.y1 == line.y2 && line.x2 > line.x1) {
        p->fillRect(QRect(x, y, line.x2 - line.x1, 1), colour);
    } else if (line.x1 == line.x2 && line.y2 > line.y1) {
        p->fillRect(QRect(x, y, 1, line.y2 - line.y1), colour);
    }
}

QRect ToQRect(const QPoint& origin, const ListRect& r) {
    return QRect(origin.x() + r.left, origin.y() + r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

CListDelegate::CListDelegate(const DisplaySettings& settings, CIconList& icons, LookFunction look,
                             QObject* parent)
    : QStyledItemDelegate(parent), settings_(settings), icons_(icons), look_(std::move(look)) {}

QRect CListDelegate::TextRect(const QRect& cell, int column, const RowDrawInfo& info) {
    if (column != ColumnPath) return cell.adjusted(6, 0, -6, 0);
    const int textLeft = cell.left() + TextIndent(info);
    return QRect(textLeft, cell.top(), cell.left() + cell.width() - 2 - textLeft, cell.height());
}

bool CListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                              const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    RowDrawInfo info;
    int32_t iconIndex = -1;
    look_(index.row(), info, iconIndex);
    const QString text = index.data(Qt::DisplayRole).toString();
    const bool cut = !text.isEmpty() &&
                     !(index.column() == ColumnRate && info.kind == RowKind::PackHeader) &&
                     QFontMetrics(font_).horizontalAdvance(text) >
                         TextRect(option.rect, index.column(), info).width();
    if (!cut) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), index.data(Qt::ToolTipRole).toString(), view,
                       option.rect);
    return true;
}

QSize CListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(64, rowHeight_);
}

void CListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    RowDrawInfo info;
    int32_t iconIndex = -1;
    look_(index.row(), info, iconIndex);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool viewHasFocus = view && view->hasFocus();
    const DisplaySettings& s = settings_;

    // The selection shows only while the list has the keyboard focus.
    uint32_t text = s.colorFileText, back = s.colorFileBack;
    if ((option.state & QStyle::State_Selected) && viewHasFocus) {
        text = s.colorSelectText;
        back = s.colorSelectBack;
    } else if (info.kind == RowKind::Folder) {
        text = s.colorFolderText;
        back = s.colorFolderBack;
    } else if (info.kind == RowKind::PackHeader) {
        text = s.colorPackText;
        back = s.colorPackBack;
    } else if (info.kind == RowKind::PackItem) {
        // Stripes count every row, headers included.
        const bool odd = index.row() % 2 != 0;
        text = odd ? s.colorGridOddText : s.colorGridEvenText;
        back = odd ? s.colorGridOddBack : s.colorGridEvenBack;
    }

    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell);
    painter->fillRect(cell, ColorFromStored(back));
    painter->setFont(font_);
    painter->setPen(ColorFromStored(text));

    const int column = index.column();
    const QString cellText = index.data(Qt::DisplayRole).toString();
    if (column == ColumnPath) {
        const bool selected = (option.state & QStyle::State_Selected) && viewHasFocus;
        if (info.archiveChanged && !selected) painter->setPen(kArchiveChangedText);
        PaintPathCell(painter, cell, info, iconIndex, cellText);
    } else if (column == ColumnRate && info.kind == RowKind::PackHeader) {
        PaintFillBar(painter, cell, info.perMille);
    } else if (!cellText.isEmpty()) {
        const Qt::Alignment align = column == ColumnSize ? Qt::AlignRight : Qt::AlignHCenter;
        const QRect textRect = TextRect(cell, column, info);
        // Cut whole characters, with a mark, never a glyph in half.
        painter->drawText(
            textRect, align | Qt::AlignVCenter | Qt::TextSingleLine,
            painter->fontMetrics().elidedText(cellText, Qt::ElideRight, textRect.width()));
    }
    // Column separators only: rows run on without a line, so the tree's
    // connectors stay unbroken.
    const int last = LastShownColumn(ModeOfRow(info.kind));
    if (column < last)
        painter->fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), kSeparatorGrey);

    if (viewHasFocus && view->currentIndex().row() == index.row()) {
        // One rectangle around the whole row; each cell draws its share.
        QRect frame = cell;
        if (column > 0) frame.setLeft(cell.left() - 2);
        if (column < last) frame.setRight(cell.right() + 2);
        painter->setPen(QPen(ColorFromStored(text), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(frame.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void CListDelegate::PaintPathCell(QPainter* painter, const QRect& cell, const RowDrawInfo& info,
                                  int32_t iconIndex, const QString& text) const {
    const QPoint origin = cell.topLeft();
    const int height = cell.height();

    static const CIconList::Simple kImages[] = {CIconList::File, CIconList::Closed,
                                                CIconList::Open};
    const QIcon& icon =
        iconIndex >= 0 ? icons_.At(iconIndex) : icons_.SimpleIcon(kImages[info.image % 3]);
    icon.paint(painter, ToQRect(origin, IconRect(info, height)));

    // Connectors first, then the box over them, then its plus or minus.
    const RowLines lines = TreeLines(info, height, cell.width());
    for (const ListLine& line : lines.lines)
        if (line.pen == ListLine::TreeLine) PaintLine(painter, origin, line);
    if (!lines.boxOutline.Empty()) {
        const QRect box = ToQRect(origin, lines.boxOutline);
        painter->fillRect(box, Qt::white);
        painter->fillRect(QRect(box.left(), box.top(), box.width(), 1), kLineGrey);
        painter->fillRect(QRect(box.left(), box.bottom(), box.width(), 1), kLineGrey);
        painter->fillRect(QRect(box.left(), box.top(), 1, box.height()), kLineGrey);
        painter->fillRect(QRect(box.right(), box.top(), 1, box.height()), kLineGrey);
    }
    for (const ListLine& line : lines.lines)
        if (line.pen == ListLine::Glyph) PaintLine(painter, origin, line);

    const QRect textRect = TextRect(cell, ColumnPath, info);
    if (text.isEmpty() || textRect.width() <= 0) return;
    // A path keeps both ends, its folder and its file name, when it is cut;
    // whole characters go, never half a glyph.
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(text, Qt::ElideMiddle, textRect.width()));
}

void CListDelegate::PaintFillBar(QPainter* painter, const QRect& cell, uint32_t perMille) {
    const QRect bar(cell.left() + 2, cell.top() + 1, cell.width() - 4, cell.height() - 3);
    painter->fillRect(bar, QColor(0xFF, 0, 0));
    const uint32_t share = perMille == kPackOver ? 0 : perMille;
    const int green = static_cast<int>(static_cast<int64_t>(bar.width()) * share / 1000);
    painter->fillRect(QRect(bar.left(), bar.top(), green, bar.height()), QColor(0, 0xFF, 0));
    painter->setPen(Qt::black);
    painter->drawText(cell.adjusted(6, 0, -6, 0),
                      Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                      QString::fromStdU16String(FormatFillRate(perMille)));
}
