// A DLL that the end-to-end tests plant beside the programs under the name of a system
// library. Whenever it is loaded it leaves a file "planted-dll-loaded" beside itself, and
// refuses the load, so that the program goes on with the system's own library if it can.

#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    std::string marker(path, length);
    marker = marker.substr(0, marker.find_last_of("\\/") + 1) + "planted-dll-loaded";
    const HANDLE file =
        CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return FALSE;
}
