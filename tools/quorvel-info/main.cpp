#include <clocale>
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/quorvel-info/InfoCommand.h"

int main(int argc, char** argv) {
    // Names are matched in the user's encoding; numbers are written with a "." always.
    std::setlocale(LC_CTYPE, "");
    std::vector<std::string_view> args(argv + 1, argv + argc);
    quorvel::info::InfoContext context{std::cout, std::cerr};
    return quorvel::info::runInfo(args, context);
}
