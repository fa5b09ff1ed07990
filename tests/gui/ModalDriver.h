#pragma once
// Answers the modal windows the code under test opens, in the order the test
// expects them. A window no step expects is logged and closed instead of hanging.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

class ModalDriver : public QObject {
public:
    ModalDriver() {
        connect(&timer_, &QTimer::timeout, this, &ModalDriver::Poll);
        timer_.start(5);
    }

    void Then(std::function<void(QWidget*)> act) { steps_.push_back(std::move(act)); }

    template <typename T>
    void ThenDialog(std::function<void(T*)> act) {
        Then([act](QWidget* w) {
            if (T* dialog = qobject_cast<T*>(w)) return act(dialog);
            QFAIL(qPrintable(QStringLiteral("unexpected window ") + w->metaObject()->className()));
        });
    }

    // A dialog of type T, filled in and then accepted or rejected.
    template <typename T>
    void ThenClose(bool accept, std::function<void(T*)> fill = {}) {
        ThenDialog<T>([accept, fill](T* dialog) {
            if (fill) fill(dialog);
            accept ? dialog->accept() : dialog->reject();
        });
    }

    // A message box: logged as "caption: text" and answered.
    void ThenMessage(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        ThenDialog<QMessageBox>([this, answer](QMessageBox* box) {
            log << box->windowTitle() + QStringLiteral(": ") + box->text();
            icons << box->icon();
            box->button(answer)->click();
        });
    }

    // A pop-up menu: the entry of that text chosen with the keyboard (empty: Esc).
    void ThenMenu(const QString& entry) {
        Then([entry](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (action->text() == entry) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, entry.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
    }

    bool AllAnswered() const { return steps_.empty(); }

    QStringList log;  // messages and unexpected windows, in the order they came
    QList<QMessageBox::Icon> icons;
    QStringList passing;  // classes of windows left to close themselves

private:
    void Poll() {
        QWidget* top = QApplication::activePopupWidget();
        if (!top) top = QApplication::activeModalWidget();
        if (!top || top == handled_ || !top->isVisible()) return;
        if (passing.contains(QLatin1String(top->metaObject()->className()))) return;
        handled_ = top;
        if (!steps_.empty()) {
            auto act = std::move(steps_.front());
            steps_.pop_front();
            return act(top);
        }
        log << QStringLiteral("unexpected ") + top->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(top)) return dialog->reject();
        top->close();
    }

    QTimer timer_;
    std::deque<std::function<void(QWidget*)>> steps_;
    QPointer<QWidget> handled_;
};

inline QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

inline void Click(QWidget& dialog, const char* buttonName) {
    QTest::mouseClick(dialog.findChild<QAbstractButton*>(QLatin1String(buttonName)),
                      Qt::LeftButton);
}
