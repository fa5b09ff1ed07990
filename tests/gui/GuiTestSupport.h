#pragma once
// Answering one modal window that the code under test opens with exec(); for
// sequences of windows see ModalDriver.h.

#include <QApplication>
#include <QTimer>

#include <functional>

namespace gui_test {

// Once a modal widget of type T is active, hands it to act (exactly once).
template <class T>
void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(widget);
        }
    });
    timer->start();
}

}  // namespace gui_test
