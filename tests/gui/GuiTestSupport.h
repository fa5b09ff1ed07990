#pragma once
// Helpers for the Qt tests: answering modal dialogs and message boxes that the
// code under test opens with exec(), and small item trees.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <boost/make_shared.hpp>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "model/PackItem.h"

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

// What a message box said, filled in when it is answered.
struct Shown {
    QString title;
    QString text;
    QStringList buttons;
};

// Answers the next message box with the given button and records it.
inline void AnswerMessageBox(Shown* shown, QMessageBox::StandardButton answer = QMessageBox::Ok) {
    WhenModal<QMessageBox>([shown, answer](QMessageBox* box) {
        if (shown) {
            shown->title = box->windowTitle();
            shown->text = box->text();
            for (QAbstractButton* button : box->buttons())
                shown->buttons << button->text();
        }
        if (QAbstractButton* button = box->button(answer)) {
            button->click();
        } else {
            box->reject();
        }
    });
}

inline uint32_t nextTestId = 1;

inline CPackItem* AddFile(CPackFolder& folder, const std::string& path, uint64_t size,
                          uint64_t group = NoGroup) {
    auto item = boost::make_shared<CPackItem>(nextTestId++, testing_support::U(path), size);
    item->group = group;
    CPackItem* raw = item.get();
    folder.AppendChild(item);
    return raw;
}

}  // namespace gui_test
