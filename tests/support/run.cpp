#include "tests/support/run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef BRACKET_COMMAND_PATH
#define BRACKET_COMMAND_PATH ""
#endif

namespace {
std::string read_all(int fd) {
    std::string text;
    char chunk[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(n));
    return text;
}

int scratch_file() {
    char name[] = "/tmp/bracket-run-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) unlink(name);
    return fd;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string command_path() {
    const char* chosen = getenv("BRACKET_TEST_COMMAND");
    return chosen != nullptr && *chosen != '\0' ? chosen : BRACKET_COMMAND_PATH;
}
}  // namespace

bool windows_target() {
    std::string path = command_path();
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".exe") == 0;
}

std::string diagnostic(const std::string& text) {
    if (!windows_target()) return text;
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

CommandResult run_command(const std::vector<std::string>& argv, const RunOptions& options) {
    CommandResult result;
    std::string program = command_path();
    std::vector<std::string> words;
    const char* launcher = getenv("BRACKET_TEST_LAUNCHER");
    if (launcher != nullptr && *launcher != '\0') {
        words = split(launcher, ';');
        words.push_back(program);
    }
    std::vector<char*> vector;
    for (std::string& word : words) vector.push_back(word.data());
    for (const std::string& word : argv) vector.push_back(const_cast<char*>(word.c_str()));
    vector.push_back(nullptr);
    // Without a launcher the program is executed directly with argv as its
    // vector, so argv[0] can be anything, "[" included.
    std::string executable = words.empty() ? program : words[0];

    int out = scratch_file(), err = scratch_file();
    if (out < 0 || err < 0) return result;
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        dup2(out, 1);
        dup2(err, 2);
        if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
        if (options.child_setup) options.child_setup();
        execvp(executable.c_str(), vector.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = read_all(out);
    result.err = read_all(err);
    close(out);
    close(err);
    return result;
}
