// Runs a command as an administrator's program runs when it is started normally on Windows:
// with the limited token linked to this process's elevated one, where the Administrators
// group counts for nothing (Wine starts every program elevated). Waits for it and exits with
// its exit code; 120 and up when it could not be started.
//   unelevated.exe PROGRAM [ARGUMENTS...]
//   unelevated.exe "COMMAND LINE"    (one argument with a space: the command line as it is,
//                                     for arguments that must not be quoted, like NSIS's _?=)
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 120;
    HANDLE token = nullptr;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) ||
        !GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size))
        return 121;
    // The command line from the program's name on, as it was given.
    wchar_t* command = argv[1];
    if (argc > 2 || std::wcschr(argv[1], L' ') == nullptr) {
        command = std::wcsstr(GetCommandLineW(), argv[1]);
        if (command == nullptr)
            return 122;
        if (command > GetCommandLineW() && command[-1] == L'"')
            --command;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessAsUserW(linked.LinkedToken, nullptr, command, nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process))
        return 123;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 124;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
