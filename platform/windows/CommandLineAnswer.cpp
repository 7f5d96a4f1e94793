#include "platform/windows/CommandLineAnswer.h"

#include "platform/windows/SystemHeaders.h"

#include <algorithm>
#include <string>

#include "platform/windows/AnsiText.h"
#include "platform/windows/ScopedHandle.h"

namespace quorvel {
namespace {

OutputKind StandardOutputKind() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        return OutputKind::None;
    }
    switch (::GetFileType(out)) {
    case FILE_TYPE_DISK:
    case FILE_TYPE_PIPE: return OutputKind::Redirected;
    case FILE_TYPE_CHAR: return OutputKind::Device;
    default: return OutputKind::None;
    }
}

std::string WithWindowsLineEnds(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

bool WriteToStandardOutput(const std::string& text) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1U << 20U));
        if (::WriteFile(out, text.data() + done, chunk, &written, nullptr) == FALSE || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// The console's own screen buffer, in UTF-16: the console's code page plays no part.
bool WriteToConsole(const std::string& text) {
    const win::FileHandle console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                nullptr));
    if (!console.valid()) {
        return false;
    }
    const std::wstring wide = ProgramTextToWide(text);
    DWORD written = 0;
    return ::WriteConsoleW(console.get(), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != FALSE &&
           written == wide.size();
}

}  // namespace

AnswerPlace ChooseAnswerPlace(OutputKind output, bool attachedToParentConsole) {
    if (output == OutputKind::Redirected) {
        return AnswerPlace::StandardOutput;
    }
    if (attachedToParentConsole) {
        return AnswerPlace::ParentConsole;
    }
    return output == OutputKind::Device ? AnswerPlace::StandardOutput : AnswerPlace::Box;
}

int GiveAnswer(const std::string& text, const std::string& title) {
    const OutputKind output = StandardOutputKind();
    // Attached only when the answer may go there.
    const bool console = output != OutputKind::Redirected && ::AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
    switch (ChooseAnswerPlace(output, console)) {
    case AnswerPlace::StandardOutput: return WriteToStandardOutput(WithWindowsLineEnds(text)) ? 0 : 1;
    case AnswerPlace::ParentConsole: return WriteToConsole(WithWindowsLineEnds(text)) ? 0 : 1;
    case AnswerPlace::Box: break;
    }
    ::MessageBoxW(nullptr, ProgramTextToWide(text).c_str(), ProgramTextToWide(title).c_str(), MB_OK | MB_SETFOREGROUND);
    return 0;
}

}  // namespace quorvel
