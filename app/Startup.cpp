#include "app/Startup.h"

#include "app/SettingsLocation.h"

namespace quorvel::Startup {

std::string SettingsPath(const AppEnvironment& env) {
    return SettingsLocation::FirstExisting(env.files(),
                                           SettingsLocation::Candidates(env.process(), env.configFolder()));
}

std::unique_ptr<frmMain> Main(AppEnvironment& env, const FormFactory& makeForm) {
    if (const std::string path = SettingsPath(env); !path.empty()) {
        // A load that stops early keeps what it read; what is missing takes its default.
        // The store remembers the name, so the file is written back where it was found.
        env.settings().iniLoader(path);
    }
    std::unique_ptr<frmMain> form = makeForm(env);
    form->Form_Load();
    form->Show();
    return form;
}

}  // namespace quorvel::Startup
