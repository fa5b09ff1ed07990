#include "ui/settings/ColorSample.h"

#include <QPainter>

CColorSample::CColorSample(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void CColorSample::Show(const QFont& font, const QColor& text, const QColor& back) {
    font_ = font;
    text_ = text;
    back_ = back;
    update();
}

QSize CColorSample::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 24, fontMetrics().height() * 4);
}

void CColorSample::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect().adjusted(1, 1, -1, -1);
    painter.fillRect(inside, back_);
    painter.setFont(font_);
    painter.setPen(text_);
    painter.drawText(inside, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("sample"));
}
