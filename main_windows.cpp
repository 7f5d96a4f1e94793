// The program's entry point on Windows: wires the Windows implementations of the
// platform interfaces to the application shell and runs the message loop.

#include "platform/windows/SystemHeaders.h"

#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "app/AppEnvironment.h"
#include "app/CommandLine.h"
#include "app/ErrorGuard.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "app/frmMain.h"
#include "platform/windows/AnsiCodePage.h"
#include "platform/windows/CommandLineAnswer.h"
#include "platform/windows/GdiDrawingSurface.h"
#include "platform/windows/LibrarySearch.h"
#include "platform/windows/PdhValueSource.h"
#include "platform/windows/PortableConfigFolder.h"
#include "platform/windows/RegistryProfileStore.h"
#include "platform/windows/SettingsFileHelp.h"
#include "platform/windows/SystemLibraries.h"
#include "platform/windows/WinErrorReport.h"
#include "platform/windows/WinFormHost.h"
#include "platform/windows/WinFormWindow.h"
#include "platform/windows/WinHoverTip.h"
#include "platform/windows/WinIntervalTimer.h"
#include "platform/windows/WinMessageDialog.h"
#include "platform/windows/WinNoticeBox.h"
#include "platform/windows/WinPopupMenu.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsProcessInfo.h"

namespace {

using ErrorHandler = std::function<void(std::exception_ptr)>;

// The graph's surface: a child window of the main window.
std::unique_ptr<quorvel::GdiDrawingSurface> makeSurface(HWND parent, const ErrorHandler& handler) {
    auto surface = std::make_unique<quorvel::GdiDrawingSurface>(parent);
    surface->setErrorHandler(handler);
    return surface;
}

// The system objects the main window is made of; the surface goes before its parent.
struct WinForm {
    WinForm(quorvel::win::SystemLibraries& libraries, const ErrorHandler& handler)
        : window(libraries),
          surface(makeSurface(window.handle(), handler)),
          menu(window.handle()),
          dialog(window.handle()),
          tip(*surface, libraries) {}

    quorvel::WinFormWindow window;
    std::unique_ptr<quorvel::GdiDrawingSurface> surface;
    quorvel::WinFormHost host;
    quorvel::WinIntervalTimer timer;
    quorvel::WinPopupMenu menu;
    quorvel::WinMessageDialog dialog;
    // The graph's read-out; it watches the surface's window, so it goes first.
    quorvel::WinHoverTip tip;
};

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    // Before anything loads a library: none from the program's own folder.
    quorvel::win::RestrictLibrarySearch();
    const std::vector<std::string_view> args(__argv + 1, __argv + __argc);
    // In the parent console, or a box where there is none.
    if (std::ostringstream answer; quorvel::CommandLine::Answer(args, quorvel::kSettingsFileHelp, answer)) {
        return quorvel::GiveAnswer(answer.str(), quorvel::version::kProductName);
    }
    // Names follow the system's ANSI code page, as every 8-bit call does; numbers the user's format.
    (void)quorvel::UseAnsiCodePage();
    quorvel::UseUserNumberFormat();

    quorvel::WinErrorReport errors;
    quorvel::WindowsFileSystem files;
    quorvel::RegistryProfileStore profile;
    quorvel::WindowsProcessInfo process;
    quorvel::PortableConfigFolder configFolder;
    quorvel::WinNoticeBox notices(quorvel::version::kProductName);
    // The system libraries, each from the system folder.
    quorvel::win::SystemLibraries libraries;
    std::unique_ptr<quorvel::PdhValueSource> counters;
    std::unique_ptr<quorvel::AppEnvironment> env;
    std::unique_ptr<WinForm> form;
    std::unique_ptr<quorvel::frmMain> mainForm;

    quorvel::Guarded(errors, [&] {
        form = std::make_unique<WinForm>(libraries, [&errors](const std::exception_ptr& error) {
            quorvel::Guarded(errors, [&error] { std::rethrow_exception(error); });
        });
        counters = std::make_unique<quorvel::PdhValueSource>(libraries);
        env = std::make_unique<quorvel::AppEnvironment>(files, profile, process, configFolder, *counters, errors);
        env->setNotices(notices);
        mainForm = quorvel::Startup::Main(*env, [&form](quorvel::AppEnvironment& e) {
            return std::make_unique<quorvel::frmMain>(
                e, quorvel::FormParts{form->window, *form->surface, form->host, form->timer, form->menu, form->dialog,
                                      form->tip});
        });
    });
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    // The window is gone; release the counters and the form before the source they use.
    mainForm.reset();
    form.reset();
    return static_cast<int>(message.wParam);
}
