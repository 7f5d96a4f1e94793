#include "folders/FolderListing.h"

#include <array>

namespace quorvel {

namespace {

struct Property {
    const char* name;
    std::string (clsSystemFolder::*read)() const;
};

constexpr std::array<Property, 19> kProperties{{
    {"Windows", &clsSystemFolder::Windows},
    {"System", &clsSystemFolder::System},
    {"Temp", &clsSystemFolder::Temp},
    {"Desktop", &clsSystemFolder::Desktop},
    {"Programs", &clsSystemFolder::Programs},
    {"Personal", &clsSystemFolder::Personal},
    {"Favorites", &clsSystemFolder::Favorites},
    {"Startup", &clsSystemFolder::Startup},
    {"Recent", &clsSystemFolder::Recent},
    {"SendTo", &clsSystemFolder::SendTo},
    {"Fonts", &clsSystemFolder::Fonts},
    {"StartMenu", &clsSystemFolder::StartMenu},
    {"Device", &clsSystemFolder::Device},
    {"CommonFiles", &clsSystemFolder::CommonFiles},
    {"Config", &clsSystemFolder::Config},
    {"Media", &clsSystemFolder::Media},
    {"ProgramFiles", &clsSystemFolder::ProgramFiles},
    {"OldWindows", &clsSystemFolder::OldWindows},
    {"VB5Install", &clsSystemFolder::VB5Install},
}};

}  // namespace

std::vector<std::pair<std::string, std::string>> ListSystemFolders(const clsSystemFolder& folders) {
    std::vector<std::pair<std::string, std::string>> list;
    list.reserve(kProperties.size());
    for (const auto& property : kProperties) {
        list.emplace_back(property.name, (folders.*property.read)());
    }
    return list;
}

}  // namespace quorvel
