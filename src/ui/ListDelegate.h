#pragma once

#include <QFont>
#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>

#include "view/ListRows.h"

class CIconList;
struct DisplaySettings;

// Paints the list's rows: colours by row kind from the settings, the tree's
// connector lines and plus/minus boxes and the packs' trunk (geometry from
// the core's ListGeometry, which the click test shares), icons, the fill bar
// of a pack and the focus rectangle. Every row has one height.
class CListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // What the drawing needs of a row beyond its texts; iconIndex is an index
    // of the icon list, or -1 for the simple images.
    using LookFunction = std::function<void(int row, RowDrawInfo& info, int32_t& iconIndex)>;

    CListDelegate(const DisplaySettings& settings, CIconList& icons, LookFunction look,
                  QObject* parent = nullptr);

    void SetListFont(const QFont& font) { font_ = font; }
    void SetRowHeight(int height) { rowHeight_ = height; }
    int RowHeight() const { return rowHeight_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A cell whose text does not fit shows it whole as a tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    // Where a cell's text goes.
    static QRect TextRect(const QRect& cell, int column, const RowDrawInfo& info);
    void PaintPathCell(QPainter* painter, const QRect& cell, const RowDrawInfo& info,
                       int32_t iconIndex, const QString& text) const;
    static void PaintFillBar(QPainter* painter, const QRect& cell, uint32_t perMille);

    const DisplaySettings& settings_;
    CIconList& icons_;
    LookFunction look_;
    QFont font_;
    int rowHeight_ = 18;
};
