#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/FolderLookup.h"

namespace quorvel::test {

// Answers each lookup from `answers`, keyed as the call is recorded in `calls`
// ("dir 2" for DirectoryCall::Temp, "shell 5", "reg <root> <subkey> <value>", or "reg32 ..."
// in the 32-bit registry view). The bytes go
// into the buffer as they stand: no NUL added, cut at the buffer's end; a call with no
// answer writes nothing, as one answered with the empty text does.
class FakeFolderLookup final : public FolderLookup {
public:
    std::map<std::string, std::string> answers;
    std::vector<std::string> calls;

    void Directory(DirectoryCall which, std::span<char> out) override {
        Answer("dir " + std::to_string(static_cast<int>(which)), out);
    }
    void ShellFolder(std::int32_t id, std::span<char> out) override { Answer("shell " + std::to_string(id), out); }
    void RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                       RegistryView view, std::span<char> out) override {
        Answer(std::string(view == RegistryView::Bits32 ? "reg32 " : "reg ") + std::to_string(rootKey) + " " + subkey +
                   " " + valueName,
               out);
    }

private:
    void Answer(const std::string& call, std::span<char> out) {
        calls.push_back(call);
        const std::string& answer = answers[call];
        std::copy_n(answer.begin(), std::min(answer.size(), out.size()), out.begin());
    }
};

}  // namespace quorvel::test
