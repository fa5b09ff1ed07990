#pragma once
// Answers the modal windows a dialog opens (message boxes, pop-up menus, the
// small input dialogs, the font and colour choosers) as a user would, in the
// order the test expects them; records every message box in log. A window no step
// expects is recorded and closed, so that a test sees it instead of hanging.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
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

    // The next modal window, whatever it is.
    void Then(std::function<void(QWidget*)> act) { steps_.push_back(std::move(act)); }

    // The next window is a dialog of type T.
    template <typename T>
    void ThenDialog(std::function<void(T*)> act) {
        Then([act](QWidget* w) {
            T* dialog = qobject_cast<T*>(w);
            if (dialog) {
                act(dialog);
            } else {
                QFAIL(qPrintable(QStringLiteral("unexpected window ") +
                                 w->metaObject()->className()));
            }
        });
    }

    // The next window is a message box; it is recorded and answered.
    void ThenMessage(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        Then([this, answer](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return Close(w);
            log << box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(answer)->click();
        });
    }

    // The next window is a pop-up menu; the entry of that text is chosen with
    // the keyboard (nothing chosen for an empty text: Esc).
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

    // Every message answered ("caption: text") and every window nobody expected
    // ("unexpected ..."), in the order they came.
    QStringList log;

private:
    void Poll() {
        QWidget* top = QApplication::activePopupWidget();
        if (!top) top = QApplication::activeModalWidget();
        if (!top || top == handled_ || !top->isVisible()) return;
        handled_ = top;
        if (steps_.empty()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            log << QStringLiteral("unexpected ") +
                       (box ? box->windowTitle() + QStringLiteral(": ") + box->text()
                            : QString::fromLatin1(top->metaObject()->className()));
            return Close(top);
        }
        auto act = std::move(steps_.front());
        steps_.pop_front();
        act(top);
    }

    static void Close(QWidget* w) {
        if (auto* dialog = qobject_cast<QDialog*>(w)) return dialog->reject();
        w->close();
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
