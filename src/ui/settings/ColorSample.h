#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>

// The word "sample" in a font and a colour pair, centred on the background.
class CColorSample : public QFrame {
    Q_OBJECT
public:
    explicit CColorSample(QWidget* parent = nullptr);

    void Show(const QFont& font, const QColor& text, const QColor& back);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont font_;
    QColor text_;
    QColor back_;
};
