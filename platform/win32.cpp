// Win32 backend of the operating system layer: the wide Win32 calls, with
// the C runtime (msvcrt) only where a descriptor is the caller's handle.
#include "platform/platform.h"

#include <direct.h>  // _getdrive
#include <io.h>      // _write, _isatty, _get_osfhandle
#include <string.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdlib>  // exit, _exit

#include "platform/utf16.h"

namespace bracket {

namespace {
bool is_continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// A console shows UTF-16 whatever its code page, so the line goes there as
// UTF-16, by whole characters, each line feed as CR LF as text mode has it.
void write_console(HANDLE console, const char* bytes, int32_t length) {
    constexpr int32_t CHUNK = 256;  // bytes; as many units at most, twice that once line feeds are doubled
    while (length > 0) {
        int32_t take = length < CHUNK ? length : CHUNK;
        while (take > 1 && take < length && is_continuation(bytes[take])) --take;
        char16_t units[CHUNK + 1];
        int32_t count = platform_utf16_of_utf8(bytes, take, units, CHUNK + 1);
        wchar_t line[2 * CHUNK];
        DWORD out = 0;
        for (int32_t i = 0; i < count; ++i) {
            if (units[i] == u'\n') line[out++] = L'\r';
            line[out++] = static_cast<wchar_t>(units[i]);
        }
        DWORD written;
        if (!WriteConsoleW(console, line, out, &written, nullptr)) return;
        bytes += take;
        length -= take;
    }
}
}  // namespace

void platform_write_error(const char* bytes, int32_t length) {
    // The runtime hands out a descriptor's handle as an integer.
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(2));  // NOLINT(performance-no-int-to-ptr)
    DWORD console_mode;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &console_mode)) {
        write_console(handle, bytes, length);
        return;
    }
    // Anything else (a file, a pipe) gets the UTF-8 bytes. Descriptor 2 stays
    // in the runtime's text mode: _write itself turns each line feed into
    // CR LF, and counts the caller's bytes, not its own.
    while (length > 0) {
        int written = _write(2, bytes, static_cast<unsigned>(length));
        if (written <= 0) return;
        bytes += written;
        length -= written;
    }
}

void platform_exit(int code) { std::exit(code); }

void platform_exit_now(int code) { _exit(code); }

namespace {
struct StackCall {
    void (*body)(void*);
    void* argument;
};

DWORD WINAPI run_stack_call(LPVOID raw) {
    StackCall* call = static_cast<StackCall*>(raw);
    call->body(call->argument);
    return 0;
}
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    StackCall call = {body, argument};
    // Reserve, don't commit: the deepest expressions need tens of megabytes
    // of address space, but touch only what they use. msvcrt.dll sets up its
    // per-thread data on first use, so a plain CreateThread is safe with it.
    HANDLE thread =
        CreateThread(nullptr, stack_bytes, run_stack_call, &call, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return -1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return 0;
}

namespace {
// The system's longest path, in units, and its terminator.
constexpr int32_t PATH_UNITS = 32768;
// The longest prefix a path takes on its way to the system: \\?\UNC\.
constexpr int32_t PREFIX_UNITS = 8;

// A path on its way to the wide calls: the caller's text in UTF-16, and
// room for its full form behind the long-path prefix. It lives on the stack
// of the thread that asks, so that any number of threads may ask at once
// with no lock and no allocation, at the cost of 128 KiB of that stack.
struct WidePath {
    wchar_t given[PATH_UNITS];
    wchar_t full[PREFIX_UNITS + PATH_UNITS];
};

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A drive letter, a colon and a separator, or a leading pair of separators
// (a share, or a device path such as \\?\ or \\.\): nothing in it depends
// on the current directory.
bool is_absolute(const wchar_t* path) {
    if (is_separator(path[0])) return is_separator(path[1]);
    return path[0] != L'\0' && path[1] == L':' && is_separator(path[2]);
}

// The path as the wide calls take it, or null when it names nothing: empty,
// beyond the system's length, or holding a wildcard (which no name holds;
// the \\?\ that a caller may write first is no wildcard). A path whose full
// form is too long for the plain form goes in the \\?\ form, which the system
// takes as it stands: so it gets the full form, made as the system makes
// it, separators and dots resolved.
const wchar_t* system_path(const char* path, WidePath* buffers) {
    bool long_form = strncmp(path, "\\\\?\\", 4) == 0;
    if (*path == '\0' || strpbrk(long_form ? path + 4 : path, "?*") != nullptr) return nullptr;
    char16_t* given = reinterpret_cast<char16_t*>(buffers->given);
    int32_t length = platform_utf16_of_utf8(path, static_cast<int32_t>(strlen(path)), given, PATH_UNITS);
    if (length < 0) return nullptr;
    // The runtime's splitting reads the \" of "C:\dir\" as a quote, so a
    // batch file's "%~dp0" arrives as C:\dir". No name holds a quote: the
    // last one stands for the separator it swallowed.
    if (buffers->given[length - 1] == L'"') buffers->given[length - 1] = L'\\';
    if (long_form || (length < MAX_PATH && is_absolute(buffers->given))) return buffers->given;
    wchar_t* full = buffers->full + PREFIX_UNITS;
    DWORD full_length = GetFullPathNameW(buffers->given, PATH_UNITS, full, nullptr);
    if (full_length == 0 || full_length >= PATH_UNITS || full_length < MAX_PATH) return buffers->given;
    if (!is_separator(full[0])) {
        full -= 4;
        memcpy(full, L"\\\\?\\", 4 * sizeof(wchar_t));
    } else if (full[2] != L'.' || !is_separator(full[3])) {
        // \\server\share\... becomes \\?\UNC\server\share\...
        full -= 6;
        memcpy(full, L"\\\\?\\UNC", 7 * sizeof(wchar_t));
    }
    return full;
}

// Seconds from 1601, where FILETIME counts from, to 1970.
constexpr int64_t UNIX_EPOCH_SECONDS = 11644473600;

// The seconds since 1970 of a FILETIME; all ones for a moment before 1970
// or past 2038, as the runtime's 32-bit times have it.
uint32_t unix_seconds(const FILETIME& time) {
    int64_t ticks = static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    int64_t seconds = ticks / 10000000 - UNIX_EPOCH_SECONDS;
    return seconds >= 0 && seconds <= INT32_MAX ? static_cast<uint32_t>(seconds) : UINT32_MAX;
}

// Windows keeps no execute permission: the runtime grants it by extension.
const char* const PROGRAM_EXTENSIONS[] = {".exe", ".cmd", ".bat", ".com"};

bool has_program_extension(const char* path) {
    const char* dot = strrchr(path, '.');
    if (dot == nullptr) return false;
    for (const char* extension : PROGRAM_EXTENSIONS)
        if (_stricmp(dot, extension) == 0) return true;
    return false;
}

// A file that another program holds open without sharing (a page file, a
// running database) refuses its attributes but not a directory search.
bool find_entry(const wchar_t* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    data->dwFileAttributes = found.dwFileAttributes;
    data->ftLastAccessTime = found.ftLastAccessTime;
    data->ftLastWriteTime = found.ftLastWriteTime;
    data->nFileSizeHigh = found.nFileSizeHigh;
    data->nFileSizeLow = found.nFileSizeLow;
    return true;
}

// The runtime's answers for descriptors: _fstati64 has 64-bit sizes in both
// runtimes, and its type values are the POSIX ones the record expects.
void fill_status(const struct _stati64& info, PlatformStatus* status) {
    status->device = static_cast<uint32_t>(info.st_dev);
    status->serial = info.st_ino;
    status->mode = info.st_mode & (PLATFORM_TYPE_MASK | 0x1FF);
    status->size = info.st_size;
    status->access_time = static_cast<uint32_t>(info.st_atime);
    status->modify_time = static_cast<uint32_t>(info.st_mtime);
}
}  // namespace

int platform_status_of_path(const char* path, PlatformStatus* status) {
    // A bare drive such as C: names that drive's current directory to the
    // system, but no entry of its own.
    if (path[0] != '\0' && path[1] == ':' && path[2] == '\0') return -1;
    WidePath buffers;
    const wchar_t* wide = system_path(path, &buffers);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (wide == nullptr) return -1;
    if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &data) &&
        (GetLastError() != ERROR_SHARING_VIOLATION || !find_entry(wide, &data)))
        return -1;
    bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    uint32_t mode = 0444;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0) mode |= 0222;
    if (directory || has_program_extension(path)) mode |= 0111;
    // The record tells only directories (and FIFOs, which no path names
    // here) from other files.
    status->mode = (directory ? PLATFORM_TYPE_DIRECTORY : 0) | mode;
    // The drive, A being 0: the path's own, else the current directory's
    // (all ones when that is a share).
    status->device =
        path[1] == ':' ? static_cast<uint32_t>((path[0] | 0x20) - 'a') : static_cast<uint32_t>(_getdrive() - 1);
    status->serial = 0;
    status->size = static_cast<int64_t>(static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
    status->modify_time = unix_seconds(data.ftLastWriteTime);
    FILETIME accessed = data.ftLastAccessTime;
    status->access_time =
        accessed.dwLowDateTime == 0 && accessed.dwHighDateTime == 0 ? status->modify_time : unix_seconds(accessed);
    return 0;
}

int platform_status_of_descriptor(int32_t descriptor, PlatformStatus* status) {
    struct _stati64 info;
    if (descriptor < 0 || _fstati64(descriptor, &info) != 0) return -1;
    fill_status(info, status);
    return 0;
}

int platform_access(const char* path, int32_t mode) {
    // Answered from the attributes alone, as the runtime's check does:
    // Windows keeps no execute permission, and every entry can be read.
    WidePath buffers;
    const wchar_t* wide = system_path(path, &buffers);
    if (wide == nullptr) return -1;
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
    return (mode & 2) != 0 && (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? -1 : 0;
}

int platform_is_terminal(int32_t descriptor) {
    if (descriptor < 0) return 0;
    // msvcrt marks a standard descriptor that came without a handle as an
    // open device, so the device flag alone would call it a terminal.
    intptr_t handle = _get_osfhandle(descriptor);
    if (handle == -1 || handle == -2) return 0;
    return _isatty(descriptor) != 0 ? 1 : 0;
}

bool platform_has_drive_designators() { return true; }

uint32_t platform_error_code() { return GetLastError(); }

void platform_set_error_code(uint32_t code) { SetLastError(code); }

int32_t platform_error_message(uint32_t code, char* buffer, int32_t size) {
    if (size <= 0) return 0;
    // A failed lookup sets the thread's code itself; the caller is still
    // reading the code it asked about. The text comes as UTF-16, whatever
    // the code page: a UTF-8 text of size - 1 bytes has no more units.
    DWORD saved = GetLastError();
    wchar_t text[256];
    DWORD units = size < 256 ? static_cast<DWORD>(size) : 256;
    // An insert sequence ("%1") stands as written: without arguments there
    // is nothing it could be filled from, and reading one would be unsafe.
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, units, nullptr);
    SetLastError(saved);
    if (length == 0) return 0;
    return platform_utf8_of_utf16(reinterpret_cast<const char16_t*>(text), static_cast<int32_t>(length), buffer,
                                  size) >= 0
               ? 1
               : 0;
}

namespace {
SRWLOCK process_lock = SRWLOCK_INIT;
}  // namespace

void platform_lock_process() { AcquireSRWLockExclusive(&process_lock); }

void platform_unlock_process() { ReleaseSRWLockExclusive(&process_lock); }

}  // namespace bracket
