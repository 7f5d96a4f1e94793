#include "platform/windows/AnsiText.h"

#include "platform/windows/SystemHeaders.h"

#include <climits>
#include <string>

namespace quorvel {
namespace {

// The UTF-16 text of `text` in `codePage`; empty when it does not decode there.
std::wstring Decode(UINT codePage, DWORD flags, std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), wideLength);
    return wide;
}

}  // namespace

std::wstring ProgramTextToWide(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    std::wstring wide = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    return wide.empty() ? Decode(CP_ACP, 0, text) : wide;
}

}  // namespace quorvel
