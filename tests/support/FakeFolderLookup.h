#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FolderLookup.h"

namespace quorvel::test {

// Answers folder lookups from tables of raw bytes, written into the buffer as they
// stand (no NUL added, cut at the buffer's end), and records every call as a line of
// text with the size of the buffer it was given.
class FakeFolderLookup final : public FolderLookup {
public:
    struct Call {
        std::string what;
        std::size_t bufferSize;
    };

    std::map<DirectoryCall, std::string> directories;
    std::map<std::int32_t, std::string> shellFolders;
    std::map<std::tuple<std::uint32_t, std::string, std::string>, std::string> registryValues;
    std::vector<Call> calls;

    static std::string Describe(DirectoryCall which) {
        switch (which) {
        case DirectoryCall::Windows: return "directory Windows";
        case DirectoryCall::System: return "directory System";
        case DirectoryCall::Temp: return "directory Temp";
        }
        return "directory ?";
    }
    static std::string Describe(std::int32_t id) { return "shell " + std::to_string(id); }
    static std::string Describe(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName) {
        return "registry " + std::to_string(rootKey) + " " + subkey + " " + valueName;
    }

    void Directory(DirectoryCall which, std::span<char> buffer) override {
        calls.push_back({Describe(which), buffer.size()});
        Write(directories, which, buffer);
    }
    void ShellFolder(std::int32_t id, std::span<char> buffer) override {
        calls.push_back({Describe(id), buffer.size()});
        Write(shellFolders, id, buffer);
    }
    void RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                       std::span<char> buffer) override {
        calls.push_back({Describe(rootKey, subkey, valueName), buffer.size()});
        Write(registryValues, std::tuple{rootKey, subkey, valueName}, buffer);
    }

private:
    template <typename Table, typename Key>
    static void Write(const Table& table, const Key& key, std::span<char> buffer) {
        const auto found = table.find(key);
        if (found == table.end()) {
            return;
        }
        const auto count = std::min(found->second.size(), buffer.size());
        std::copy_n(found->second.begin(), count, buffer.begin());
    }
};

}  // namespace quorvel::test
