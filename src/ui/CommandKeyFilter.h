#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

// Lets the frame's command keys through an editable box. A line edit claims
// Ctrl+E and Ctrl+B for moving the cursor, so without this the run and back
// commands would do nothing while the pack-size or fill-rate box has focus.
class CCommandKeyFilter : public QObject {
    Q_OBJECT
public:
    CCommandKeyFilter(QList<QKeySequence> keys, QObject* parent) : QObject(parent), keys_(keys) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QKeySequence> keys_;
};
