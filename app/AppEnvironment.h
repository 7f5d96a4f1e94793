#pragma once

#include <iostream>
#include <memory>

#include "platform/ErrorReport.h"
#include "platform/FileSystem.h"
#include "platform/Notices.h"
#include "platform/ProcessInfo.h"
#include "platform/ProfileStore.h"
#include "platform/UserConfigFolder.h"
#include "platform/ValueSource.h"
#include "settings/iniMente.h"

namespace quorvel {

// The services of the platform that the application shell uses, and the program's one
// settings store, which is created on first use and lives as long as the environment.
class AppEnvironment {
public:
    AppEnvironment(FileSystem& files, ProfileStore& profile, ProcessInfo& process, UserConfigFolder& configFolder,
                   ValueSource& counters, ErrorReport& errors)
        : files_(files),
          profile_(profile),
          process_(process),
          configFolder_(configFolder),
          counters_(counters),
          errors_(errors) {}

    [[nodiscard]] FileSystem& files() const { return files_; }
    [[nodiscard]] ProfileStore& profile() const { return profile_; }
    [[nodiscard]] ProcessInfo& process() const { return process_; }
    [[nodiscard]] UserConfigFolder& configFolder() const { return configFolder_; }
    [[nodiscard]] ValueSource& counters() const { return counters_; }
    [[nodiscard]] ErrorReport& errors() const { return errors_; }

    // Where the shell tells the user of a problem that does not stop the program:
    // standard error, unless the platform or a test gives another place.
    [[nodiscard]] Notices& notices() const { return *notices_; }
    void setNotices(Notices& notices) { notices_ = &notices; }

    // The global settings store, created empty by whichever code touches it first.
    iniMente& settings() {
        if (!settings_) {
            settings_ = std::make_unique<iniMente>(files_);
        }
        return *settings_;
    }

private:
    FileSystem& files_;
    ProfileStore& profile_;
    ProcessInfo& process_;
    UserConfigFolder& configFolder_;
    ValueSource& counters_;
    ErrorReport& errors_;
    StreamNotices standardError_{std::cerr};
    Notices* notices_ = &standardError_;
    std::unique_ptr<iniMente> settings_;
};

}  // namespace quorvel
