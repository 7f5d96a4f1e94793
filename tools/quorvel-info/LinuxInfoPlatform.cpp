#include <clocale>

#include "platform/linux/ProcValueSource.h"
#include "platform/linux/XdgFolderLookup.h"
#include "tools/quorvel-info/InfoPlatform.h"

namespace quorvel::info {

void UseSystemTextEncoding() {
    // Names are matched in the user's encoding; numbers are written with a "." always.
    std::setlocale(LC_CTYPE, "");
}

std::unique_ptr<ValueSource> OpenCounterSource(const InfoContext& context) {
    return std::make_unique<ProcValueSource>(context.root);
}

std::unique_ptr<FolderLookup> OpenFolderLookup() {
    return std::make_unique<XdgFolderLookup>();
}

}  // namespace quorvel::info
