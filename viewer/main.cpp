// Pelorin: the program. Installs the Qt Ui, runs the start-up and then the event loop until the
// main window's shut-down ends it.
#include "gui/QtUi.h"
#include "platform/Component.h"
#include "viewer/LateNetcdf.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/Startup.h"

#include <QApplication>
#include <string>
#include <vector>

namespace {

// The last net under the event procedures: an error that reaches the event loop is shown and
// the program goes on (Qt must not see an exception).
class PelorinApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ReportEventError(e);
        } catch (...) {
            ReportUnknownEventError();
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    PelorinApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelorin"));
    // The program ends through the main window's shut-down, not when some window closes last.
    QApplication::setQuitOnLastWindowClosed(false);

    QtUi qtUi;
    setUi(&qtUi);
    SetLateNetcdfLibrary(KelvadLibraryPath());

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    bool running = false;
    runEvent([&] { running = Main(args, ProgramFolder()); });
    int rc = 0;
    // The dataset library (with netCDF and all it brings) loads at the first dataset load or
    // netCDF call, and the section control when its window first opens: a load of either at
    // start-up, even on a thread of its own, holds the dynamic loader that Qt needs on the way
    // to the first window.
    if (running) rc = QApplication::exec();

    UnloadMainForm();
    setUi(nullptr);
    return rc;
}
