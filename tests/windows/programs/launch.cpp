// launch.exe PROGRAM NAME ARGS...: starts PROGRAM with the argument vector
// NAME ARGS... and exits with its exit code.
//
// A Windows program only gets a command line, and under Wine its argv[0]
// is always the full DOS path of the program. Starting PROGRAM through
// CreateProcess with a command line that begins with NAME gives it argv[0]
// exactly NAME ("[" in particular), as a user typing the name at the console
// gets it. The other arguments are quoted so that the runtime's splitting
// gives them back unchanged. Built with the cross compiler; a test helper,
// not part of the product.
#include <windows.h>

#include <string>

namespace {
// The runtime reads the program name up to the next blank, or between a
// pair of quotes with no escapes at all; a name cannot hold a quote.
std::wstring quote_name(const std::wstring& name) {
    if (!name.empty() && name.find_first_of(L" \t") == std::wstring::npos) return name;
    return L"\"" + name + L"\"";
}

// Inverse of the runtime's splitting of the other arguments: backslashes
// are literal except before a quote, where they escape in pairs.
std::wstring quote_argument(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// A handle the child can inherit, or the original when it cannot be made
// inheritable (an absent one stays absent).
HANDLE inheritable(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        static const char usage[] = "usage: launch PROGRAM NAME [ARGS...]\n";
        DWORD written;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), usage, sizeof usage - 1, &written, nullptr);
        return 125;
    }
    std::wstring line = quote_name(argv[2]);
    for (int i = 3; i < argc; ++i) line += L" " + quote_argument(argv[i]);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return 126;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 127;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
