// The program's entry point: wires the Linux and Qt implementations of the platform
// interfaces to the application shell and runs the event loop.

#include <QApplication>
#include <QSocketNotifier>
#include <clocale>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "app/AppEnvironment.h"
#include "app/CommandLine.h"
#include "app/ErrorGuard.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "platform/linux/LinuxProcessInfo.h"
#include "platform/linux/LocalHostName.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/RoutingValueSource.h"
#include "platform/linux/SettingsFileHelp.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/XdgConfigFolder.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "platform/qt/QtDrawingSurface.h"
#include "platform/qt/QtErrorReport.h"
#include "platform/qt/QtFormHost.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtHoverTip.h"
#include "platform/qt/QtIntervalTimer.h"
#include "platform/qt/QtMessageDialog.h"
#include "platform/qt/QtPopupMenu.h"
#include "platform/qt/QtProfileStore.h"
#include "platform/qt/XcbDrawingSurface.h"

namespace {

using ErrorHandler = std::function<void(std::exception_ptr)>;

// The graph's surface as the window's child, and the position-to-logical mapping of its
// mouse events.
struct GraphSurface {
    quorvel::DrawingSurface* surface;
    QWidget* widget;
    std::function<float(QPointF)> logicalX;
};

template <typename Surface>
GraphSurface graphSurface(Surface* surface, const ErrorHandler& handler) {
    surface->setErrorHandler(handler);
    return {surface, surface, [surface](QPointF at) { return surface->toLogical(at).x; }};
}

// The graph's surface, owned by the window: on X11 it draws on the X server, which then
// takes a few requests a redraw instead of the image; elsewhere, or when the server
// refuses it, it draws into an image that Qt shows. QUORVEL_SURFACE=image chooses the
// image on X11 too, for tests and measurements.
GraphSurface makeSurface(QWidget& window, const ErrorHandler& handler) {
    if (QGuiApplication::platformName() == QLatin1String("xcb") && qgetenv("QUORVEL_SURFACE") != "image") {
        if (auto* surface = quorvel::XcbDrawingSurface::create(&window)) {
            return graphSurface(surface, handler);
        }
    }
    return graphSurface(new quorvel::QtDrawingSurface(&window), handler);
}

// The Qt objects the main window is made of; they live as long as the window.
struct QtForm {
    explicit QtForm(const ErrorHandler& handler)
        : graph(makeSurface(window, handler)), surface(graph.surface), tip(*graph.widget, graph.logicalX) {}

    quorvel::QtFormWindow window;
    GraphSurface graph;
    quorvel::DrawingSurface* surface;
    quorvel::QtFormHost host;
    quorvel::QtIntervalTimer timer;
    quorvel::QtPopupMenu menu;
    quorvel::QtMessageDialog dialog;
    quorvel::QtHoverTip tip;
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const auto status = quorvel::CommandLine::Answer(args, quorvel::kSettingsFileHelp, std::cout)) {
        return *status;
    }
    // A 170 x 200 image once a second gains nothing from shared memory with the X server,
    // and each shared-memory copy costs an extra wake-up for its completion event.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    // A Wayland client can neither place its own window nor keep it in front. Where the
    // session also offers X11 (XWayland) and the user chose no platform, connect there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    // Qt sets the locale from the environment; names and numbers follow it.
    std::setlocale(LC_ALL, "");
    QApplication::setQuitOnLastWindowClosed(true);

    quorvel::QtErrorReport errors;
    quorvel::PosixFileSystem files;
    quorvel::QtProfileStore profile;
    quorvel::LinuxProcessInfo process;
    quorvel::XdgConfigFolder configFolder;
    std::unique_ptr<quorvel::ProcValueSource> localCounters;
    // Other machines' counters; their workers start with the first remote path and never
    // hold up start or quit.
    quorvel::SnmpValueSource remoteCounters;
    std::unique_ptr<quorvel::RoutingValueSource> counters;
    std::unique_ptr<quorvel::AppEnvironment> env;
    QtForm form([&errors](const std::exception_ptr& error) {
        quorvel::Guarded(errors, [&error] { std::rethrow_exception(error); });
    });
    std::unique_ptr<quorvel::frmMain> mainForm;

    quorvel::Guarded(errors, [&] {
        localCounters = std::make_unique<quorvel::ProcValueSource>();
        counters =
            std::make_unique<quorvel::RoutingValueSource>(*localCounters, remoteCounters, quorvel::localHostName());
        env = std::make_unique<quorvel::AppEnvironment>(files, profile, process, configFolder, *counters, errors);
        mainForm = quorvel::Startup::Main(*env, [&form](quorvel::AppEnvironment& e) {
            return std::make_unique<quorvel::frmMain>(
                e, quorvel::FormParts{form.window, *form.surface, form.host, form.timer, form.menu, form.dialog,
                                      form.tip});
        });
    });
    // A session end (SIGTERM, SIGHUP) is a close: the window unloads, which writes the
    // settings file back, and the program ends with its last window.
    quorvel::TerminationSignals terminations;
    std::unique_ptr<QSocketNotifier> terminationNotifier;
    if (terminations.fd() >= 0) {
        terminationNotifier = std::make_unique<QSocketNotifier>(terminations.fd(), QSocketNotifier::Read);
        QObject::connect(terminationNotifier.get(), &QSocketNotifier::activated, [&terminations, &form] {
            terminations.drain();
            form.window.close();
        });
    }
    // The standard error report ends the program itself; a signal while its box is up
    // ends it at once.
    errors.addEventSource(&terminations, [&terminationNotifier] {
        if (terminationNotifier) {
            terminationNotifier->setEnabled(false);
        }
        quorvel::TerminationSignals::restoreDefaults();
    });
    const int status = QApplication::exec();
    errors.removeEventSources(&terminations);
    // The window is gone; release the counters and the form before the source they use.
    mainForm.reset();
    return status;
}
