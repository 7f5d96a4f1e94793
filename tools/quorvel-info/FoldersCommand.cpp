#include <ostream>

#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"
#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/InfoPlatform.h"

namespace quorvel::info {

int runFolders(InfoArgs args, InfoContext& context) {
    if (!args.empty()) {
        context.err << "quorvel-info: folders takes no arguments\n";
        return kUsageError;
    }
    const auto lookup = OpenFolderLookup();
    const clsSystemFolder folders(*lookup);
    for (const auto& [name, path] : ListSystemFolders(folders)) {
        context.out << name << '=' << path << '\n';
    }
    return kOk;
}

}  // namespace quorvel::info
