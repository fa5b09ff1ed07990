#include <QApplication>

#include "support/UiLanguage.h"
#include "ui/CorvelinApp.h"

int main(int argc, char* argv[]) {
    // Before any worker starts: the core's texts read the language too.
    SetUiLanguage(UiLanguageFromEnvironment());
    QApplication app(argc, argv);
    // QApplication has taken its own options out of argv; the rest are paths,
    // kept as the raw bytes the kernel gave.
    std::vector<std::string> paths(argv + 1, argv + argc);
    CorvelinSys sys;
    CCorvelinApp corvelin(sys);
    if (!corvelin.InitInstance(paths)) {
        corvelin.ExitInstance();
        return 1;
    }
    const int status = app.exec();
    return corvelin.ExitInstance() ? status : (status ? status : 1);
}
