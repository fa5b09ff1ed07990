// A drop of a large tree on the real list view, against the scan alone:
//   corvelin_view_drop_bench scan|view TREE
// scan: the scan worker by itself, as corvelin-cli runs it.
// view: the tree dropped on a shown list view, timed until the list has
//       painted its rows; then the dropped folder expanded and the list
//       scrolled to its end, each painted.
// Prints wall seconds and the peak resident memory of the process.

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <string>

#include "intake/AddFileWorker.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/PosixFileSystem.h"
#include "ui/CorvelinView.h"
#include "view/ListGeometry.h"
#include "view/ListRows.h"

namespace {

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

int Scan(const std::string& tree) {
    zel::PosixFileSystem fs;
    CCorvelinDoc doc;
    QElapsedTimer timer;
    timer.start();
    CAddFileWorker worker(fs, doc, MakeViewDefaultImportSettings(), {tree}, nullptr);
    worker.SetReadAhead(CAddFileWorker::DefaultReaders());
    worker.Start();
    worker.Join();
    if (!worker.CommitTo(doc)) return 1;
    std::printf("scan alone:             %6.2f s\n", Seconds(timer));
    return 0;
}

int Drop(const std::string& tree) {
    CCorvelinDoc doc;
    SettingsStore settings;
    CorvelinSys sys;
    CCorvelinView view(doc, settings, sys);
    view.resize(1200, 800);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) return 1;

    QElapsedTimer timer;
    timer.start();
    view.DropPaths({tree}, false);
    view.viewport()->repaint();
    std::printf("drop to painted list:   %6.2f s\n", Seconds(timer));
    if (view.model()->rowCount() != 1) return 1;

    RowDrawInfo folder;
    folder.kind = RowKind::Folder;
    folder.level = 1;
    const QRect cell = view.visualRect(view.model()->index(0, 0));
    const ListRect box = ExpandBoxRect(folder, cell.height());
    timer.restart();
    QTest::mouseClick(
        view.viewport(), Qt::LeftButton, Qt::NoModifier,
        cell.topLeft() + QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
    view.viewport()->repaint();
    std::printf("expand, painted:        %6.3f s  (%d rows)\n", Seconds(timer),
                view.model()->rowCount());
    timer.restart();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    view.viewport()->repaint();
    std::printf("scroll to end, painted: %6.3f s\n", Seconds(timer));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvelin_view_drop_bench scan|view TREE\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int status = mode == "scan" ? Scan(argv[2]) : Drop(argv[2]);
    std::printf("peak resident memory:   %6.0f MB\n", static_cast<double>(PeakKilobytes()) / 1024);
    return status;
}
