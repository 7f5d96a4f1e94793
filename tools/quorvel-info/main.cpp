#include <iostream>
#include <string_view>
#include <vector>

#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/InfoPlatform.h"

int main(int argc, char** argv) {
    quorvel::info::RestrictLibrarySearch();
    quorvel::info::UseSystemTextEncoding();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    quorvel::info::InfoContext context{std::cout, std::cerr};
    return quorvel::info::runInfo(args, context);
}
