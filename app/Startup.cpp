#include "app/Startup.h"

#include "app/Tool.h"

namespace quorvel::Startup {

std::string SettingsPath(const AppEnvironment& env) {
    const ProcessInfo& process = env.process();
    return Tool::JoinPath(process.executableFolder(), process.executableName() + ".ini");
}

std::unique_ptr<frmMain> Main(AppEnvironment& env, const FormFactory& makeForm) {
    if (Tool::IsExistingFile(env.files(), SettingsPath(env))) {
        // A load that stops early keeps what it read; what is missing takes its default.
        env.settings().iniLoader(SettingsPath(env));
    }
    std::unique_ptr<frmMain> form = makeForm(env);
    form->Form_Load();
    form->Show();
    return form;
}

}  // namespace quorvel::Startup
