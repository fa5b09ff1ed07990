#include "ui/CommandKeyFilter.h"

#include <QKeyEvent>

bool CCommandKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Left unaccepted, the override lets the window's shortcut fire.
        if (keys_.contains(QKeySequence(key->keyCombination()))) return true;
    }
    return QObject::eventFilter(watched, event);
}
