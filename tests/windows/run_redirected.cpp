// Runs a program with its standard output and error going to a pipe, and prints what it said:
//   run_redirected.exe PROGRAM [ARGUMENTS...]
// A Windows GUI program answers --version on the console only when started like this (from a
// console it shows a box instead). Exits with the program's exit code.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_redirected.exe PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    std::wstring command;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            command += L' ';
        command += L'"' + std::wstring(argv[i]) + L'"';
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return 2;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
        return 2;
    }
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        std::fwrite(buffer, 1, got, stdout);
        std::fflush(stdout);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return int(code);
}
