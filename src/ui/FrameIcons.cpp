#include "ui/FrameIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

#include <functional>

namespace frame_icons {
namespace {

using Drawing = std::function<void(QPainter&)>;

// Drawn on a 16 x 16 grid and rendered at 1x, 2x and 3x so that the pictures
// stay sharp at 200 % and more.
QIcon Draw(const Drawing& draw, int grid = 16) {
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap pixmap(grid * scale, grid * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Sheet(QPainter& p, QRectF r, const QColor& fill = Qt::white) {
    p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1));
    p.setBrush(fill);
    p.drawRect(r);
}

// Two files held by a bracket: the picture of a group.
void Group(QPainter& p) {
    Sheet(p, QRectF(2.5, 2.5, 5, 6), QColor(0xdd, 0xe8, 0xf7));
    Sheet(p, QRectF(7.5, 4.5, 5, 6), QColor(0xdd, 0xe8, 0xf7));
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 13, 11), 2, 2);
}

void Badge(QPainter& p, const QColor& colour, bool plus) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(9, 9, 7, 7));
    p.setPen(QPen(Qt::white, 1.5));
    p.drawLine(QPointF(10.5, 12.5), QPointF(14.5, 12.5));
    if (plus) p.drawLine(QPointF(12.5, 10.5), QPointF(12.5, 14.5));
}

QIcon Standard(QStyle::StandardPixmap which) {
    return QApplication::style()->standardIcon(which);
}

QIcon Themed(const char* name, const QIcon& fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

QIcon Drawn(Picture picture) {
    switch (picture) {
        case Picture::ClearList:
            return Draw([](QPainter& p) {
                Sheet(p, QRectF(2.5, 1.5, 9, 12));
                p.setPen(QPen(QColor(0xc8, 0x2a, 0x2a), 2));
                p.drawLine(QPointF(8, 8), QPointF(14, 14));
                p.drawLine(QPointF(14, 8), QPointF(8, 14));
            });
        case Picture::NewGroup:
            return Draw([](QPainter& p) {
                Group(p);
                Badge(p, QColor(0x2e, 0x8b, 0x3e), true);
            });
        case Picture::AddToGroup:
            return Draw([](QPainter& p) {
                Group(p);
                p.setPen(QPen(QColor(0x2e, 0x8b, 0x3e), 2));
                p.drawLine(QPointF(9, 14), QPointF(15, 14));
                p.drawLine(QPointF(12, 11), QPointF(9, 14));
                p.drawLine(QPointF(12, 17), QPointF(9, 14));
            });
        case Picture::RemoveFromGroup:
            return Draw([](QPainter& p) {
                Group(p);
                Badge(p, QColor(0xc8, 0x2a, 0x2a), false);
            });
        case Picture::Options:
            return Draw([](QPainter& p) {
                p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1.5));
                for (int row = 0; row < 3; ++row)
                    p.drawLine(QPointF(2, 3.5 + row * 4.5), QPointF(14, 3.5 + row * 4.5));
                p.setBrush(QColor(0x1f, 0x5f, 0xbf));
                p.setPen(Qt::NoPen);
                const double knobs[] = {10, 5, 8};
                for (int row = 0; row < 3; ++row)
                    p.drawEllipse(QPointF(knobs[row], 3.5 + row * 4.5), 2.2, 2.2);
            });
        case Picture::ManagePack:
            return Draw([](QPainter& p) {
                QRadialGradient shine(QPointF(8, 8), 7);
                shine.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
                shine.setColorAt(1, QColor(0xa9, 0xc4, 0xe8));
                p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1));
                p.setBrush(shine);
                p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
                p.setBrush(Qt::white);
                p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
            });
        case Picture::HomePage:
            return Draw([](QPainter& p) {
                p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1));
                p.setBrush(QColor(0xf4, 0xf6, 0xfa));
                p.drawRect(QRectF(3.5, 7.5, 9, 7));
                p.setBrush(QColor(0xc8, 0x2a, 0x2a));
                p.drawPolygon(QPolygonF({QPointF(1.5, 8), QPointF(8, 1.5), QPointF(14.5, 8)}));
                p.setBrush(QColor(0x1f, 0x5f, 0xbf));
                p.drawRect(QRectF(6.5, 10, 3, 4.5));
            });
        case Picture::Application:
            return Draw([](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0x1f, 0x5f, 0xbf));
                p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
                p.setBrush(QColor(0xf4, 0xf6, 0xfa));
                p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
                p.setBrush(QColor(0x1f, 0x5f, 0xbf));
                p.drawEllipse(QPointF(8, 8), 1.5, 1.5);
                p.setPen(QPen(QColor(0xf2, 0xa9, 0x00), 1.2));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(4.5, 4.5, 7, 7), 30 * 16, 120 * 16);
            });
        default:
            return {};
    }
}

}  // namespace

QIcon Get(Picture picture) {
    switch (picture) {
        case Picture::Export:
            return Themed("document-save-as", Standard(QStyle::SP_DialogSaveButton));
        case Picture::Run:
            return Themed("media-playback-start", Standard(QStyle::SP_MediaPlay));
        case Picture::Back:
            return Themed("go-previous", Standard(QStyle::SP_ArrowBack));
        case Picture::About:
            return Themed("help-about", Standard(QStyle::SP_MessageBoxInformation));
        case Picture::Help:
            return Themed("help-contents", Standard(QStyle::SP_DialogHelpButton));
        case Picture::HomePage:
            return Themed("go-home", Drawn(picture));
        case Picture::ClearList:
            return Themed("edit-clear-all", Drawn(picture));
        default:
            return Drawn(picture);
    }
}

}  // namespace frame_icons
