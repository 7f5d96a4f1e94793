#include "app/Startup.h"

#include "app/SettingsLocation.h"
#include "app/Version.h"

namespace quorvel::Startup {
namespace {

std::string StopReason(LoadStop stop) {
    switch (stop) {
    case LoadStop::ReadError: return "reading failed there";
    case LoadStop::EqualsTooFar: return "its first \"=\" stands after character 32767";
    case LoadStop::ValueTooLong: return "its value is longer than 32767 characters";
    case LoadStop::CannotOpen: break;
    }
    return "it could not be opened";
}

}  // namespace

std::string IncompleteLoadNotice(const IncompleteLoad& load) {
    std::string text = std::string(version::kProductName) + ": ";
    if (load.line == 0) {
        text += "could not open the settings file " + load.filename + ". The settings take their defaults";
    } else {
        text += "stopped reading the settings file " + load.filename + " at line " + std::to_string(load.line) + " (" +
                StopReason(load.stop) + "). The settings from there on take their defaults";
    }
    return text + ", and the program will not write the file back.";
}

std::string SettingsPath(const AppEnvironment& env) {
    return SettingsLocation::FirstExisting(env.files(),
                                           SettingsLocation::Candidates(env.process(), env.configFolder()));
}

std::unique_ptr<frmMain> Main(AppEnvironment& env, const FormFactory& makeForm) {
    if (const std::string path = SettingsPath(env); !path.empty()) {
        // A load that stops early keeps what it read; what is missing takes its default.
        // The store remembers the name, so the file is written back where it was found.
        iniMente& settings = env.settings();
        if (!settings.iniLoader(path) && settings.incompleteLoad()) {
            env.notices().notice(IncompleteLoadNotice(*settings.incompleteLoad()));
        }
    }
    std::unique_ptr<frmMain> form = makeForm(env);
    form->Form_Load();
    form->Show();
    return form;
}

}  // namespace quorvel::Startup
