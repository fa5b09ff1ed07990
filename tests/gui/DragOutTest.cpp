// A pack dragged out of the list onto another program's window, as a user
// drags it: an X server of the test's own (xvfb-run), the mouse moved by
// xdotool, and this program started again with --peer as the other program.

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "ui/CorvelinView.h"
#include "view/ListRow.h"

namespace {

// The other program: a window at 700,100 that takes a drop, writes its
// text/uri-list and text/plain to OUTuri-list and OUTplain, and ends. It
// prints "ready" once painted and "over" at each position of a drag.
class Peer : public QWidget {
public:
    explicit Peer(QString out) : out_(std::move(out)) {
        setAcceptDrops(true);
        setGeometry(700, 100, 300, 300);
    }

private:
    void paintEvent(QPaintEvent*) override {
        if (!std::exchange(painted_, true)) std::puts("ready");
    }
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override {
        event->acceptProposedAction();
        std::puts("over");
    }
    void dropEvent(QDropEvent* event) override {
        for (const QString type : {"uri-list", "plain"}) {
            QFile file(out_ + type);
            if (file.open(QIODevice::WriteOnly))
                file.write(event->mimeData()->data("text/" + type));
        }
        event->acceptProposedAction();
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }

    QString out_;
    bool painted_ = false;
};

}  // namespace

class DragOutTest : public QObject {
    Q_OBJECT
private slots:
    void aPackDroppedOnAnotherProgramCarriesItsFiles() {
        testing_support::TempDir dir;
        const std::string top = dir / "日本語 フォルダ";
        testing_support::MakeDir(top);
        testing_support::WriteFile(top + "/a b.txt", std::string(700, 'x'));
        CCorvelinDoc doc;
        SettingsStore settings;
        CorvelinSys sys;
        CCorvelinView view(doc, settings, sys);
        view.SetToolbarTexts([] { return QStringLiteral("1G"); },
                             [] { return QStringLiteral("100%"); });
        view.setGeometry(0, 0, 600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.DropPaths({top}, false);
        view.OnRun();
        QCOMPARE(view.model()->rowCount(), 1);
        const QByteArray expected = view.DragData(0)->data(QStringLiteral("text/uri-list"));
        QCOMPARE(expected.count("file://"), 1);

        const QString out = QString::fromStdString(dir / "received.");
        QProcess peer;
        int ready = 0, overs = 0;
        connect(&peer, &QProcess::readyReadStandardOutput, this, [&] {
            while (peer.canReadLine())
                (peer.readLine() == "ready\n" ? ready : overs) += 1;
        });
        peer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peer"), out});
        QTRY_VERIFY_WITH_TIMEOUT(ready, 30000);

        // Press on the pack's size cell (the path cell has the expand box), pass
        // the drag distance, move over the peer until it has answered a few
        // positions, release. The drag runs its own event loop: a timer steps.
        const QPoint from = view.viewport()->mapToGlobal(
            view.visualRect(view.model()->index(0, ColumnSize)).center());
        int step = 0;
        QTimer mouse;
        connect(&mouse, &QTimer::timeout, this, [&] {
            const QPoint at = step < 4 ? from + QPoint(8 * step, 0) : QPoint(850 + step % 2, 250);
            QStringList command{"mousemove", QString::number(at.x()), QString::number(at.y())};
            if (step == 0) command += QStringList{"mousedown", "1"};
            if (step >= 4 && (overs >= 3 || step > 500)) {
                command = QStringList{"mouseup", "1"};
                mouse.stop();
            }
            QProcess::execute(QStringLiteral("xdotool"), command);
            ++step;
        });
        mouse.start(30);
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QProcess::NotRunning, 60000);
        for (const QString type : {"uri-list", "plain"}) {
            QFile file(out + type);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), expected);
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--peer") {
        std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line to the test at once
        Peer peer(QString::fromLocal8Bit(argv[2]));
        peer.show();
        return app.exec();
    }
    DragOutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DragOutTest.moc"
