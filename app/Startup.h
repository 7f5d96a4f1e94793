#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/AppEnvironment.h"
#include "app/frmMain.h"
#include "settings/IncompleteLoad.h"

namespace quorvel::Startup {

// Makes the main window from its platform parts; the caller keeps the parts alive.
using FormFactory = std::function<std::unique_ptr<frmMain>(AppEnvironment&)>;

// The settings file to use: the first of SettingsLocation::Candidates that can be opened
// for reading; empty when there is none.
std::string SettingsPath(const AppEnvironment& env);

// The sentence that tells the user which line stopped the load of a settings file.
std::string IncompleteLoadNotice(const IncompleteLoad& load);

// Loads the settings file into the global store when there is one, then creates, loads
// and shows the main window. Returns the window, which the caller keeps. A file that
// could not be read whole is named once on the environment's notices, with its line.
std::unique_ptr<frmMain> Main(AppEnvironment& env, const FormFactory& makeForm);

}  // namespace quorvel::Startup
