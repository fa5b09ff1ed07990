#pragma once
// Answers the windows a dialog opens (message boxes, pop-up menus, the small
// input dialogs, the font and colour choosers) as a user would, in the order a
// test expects them. Every message box is logged as "caption: text"; a window
// no step expects is logged as "unexpected ..." and closed, so that a test
// sees it instead of hanging.

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

    template <typename T>
    void ThenDialog(std::function<void(T*)> act) {
        steps_.push_back([this, act](QWidget* w) {
            if (T* dialog = qobject_cast<T*>(w)) return act(dialog);
            Unexpected(w);
        });
    }

    void ThenMessage(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        ThenDialog<QMessageBox>([this, answer](QMessageBox* box) {
            log << box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(answer)->click();
        });
    }

    // Chooses the menu entry of that text with the keyboard; Esc for none.
    void ThenMenu(const QString& entry) {
        ThenDialog<QMenu>([entry](QMenu* menu) {
            for (QAction* action : menu->actions()) {
                if (action->text() == entry) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, entry.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
    }

    bool AllAnswered() const { return steps_.empty(); }

    QStringList log;

private:
    void Poll() {
        QWidget* top = QApplication::activePopupWidget();
        if (!top) top = QApplication::activeModalWidget();
        if (!top || !top->isVisible()) return;
        if (top == handled_) {
            // A step that failed half-way left its window open: close it.
            if (++stuckPolls_ > 400) Unexpected(top);
            return;
        }
        handled_ = top;
        stuckPolls_ = 0;
        if (!steps_.empty()) {
            auto act = std::move(steps_.front());
            steps_.pop_front();
            return act(top);
        }
        Unexpected(top);
    }

    void Unexpected(QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        log << QStringLiteral("unexpected ") +
                   (box ? box->windowTitle() + QStringLiteral(": ") + box->text()
                        : QString::fromLatin1(w->metaObject()->className()));
        if (auto* dialog = qobject_cast<QDialog*>(w)) return dialog->reject();
        w->close();
    }

    QTimer timer_;
    std::deque<std::function<void(QWidget*)>> steps_;
    QPointer<QWidget> handled_;
    int stuckPolls_ = 0;
};

inline QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

inline void Click(QWidget& dialog, const char* buttonName) {
    QTest::mouseClick(dialog.findChild<QAbstractButton*>(QLatin1String(buttonName)),
                      Qt::LeftButton);
}
