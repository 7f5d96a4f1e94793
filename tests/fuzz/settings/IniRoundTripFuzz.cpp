// Any input, loaded and saved, must save to the same bytes after loading it again:
// the writer's output is a fixed point of the reader. Lines end as the input's first line
// end (LF alone, or else CR LF). A load that stops short is recorded (the unit tests check
// that such a file is never written back).
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "round trip broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // Multibyte character counting is the interesting case; stay in C where it is missing.
    std::setlocale(LC_ALL, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvel::test::FakeFileSystem files;
    files.addFile("/input.ini", std::string(data, data + size));

    quorvel::iniMente store(files);
    const bool whole = store.iniLoader("/input.ini");
    require(whole != store.incompleteLoad().has_value(), "a stopped load is not recorded");
    require(store.iniSaver("/first.ini"), "first save failed");
    if (store.lastIndex() < 0) {
        require(!files.hasFile("/first.ini"), "an empty store created a file");
        return 0;
    }
    const std::string first = files.contents("/first.ini");
    const std::size_t firstEnd = files.contents("/input.ini").find_first_of("\r\n");
    const bool lf = firstEnd != std::string::npos && files.contents("/input.ini")[firstEnd] == '\n';
    const std::string lineEnd = lf ? "\n" : "\r\n";
    require(first.starts_with("[General]" + lineEnd) && first.ends_with(lineEnd), "header or line end missing");
    require(lf == (first.find('\r') == std::string::npos), "line ends of two kinds written");

    require(store.iniLoader("/first.ini"), "a saved file did not read back completely");
    require(store.iniSaver("/second.ini"), "second save failed");
    require(files.contents("/second.ini") == first, "second save differs from the first");
    require(store.iniSavertoVariable() == first, "text form differs from the saved file");
    return 0;
}
