// The file operators and the terminal test on real files, through the
// built command.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/run.h"
#include "tests/support/scratch.h"

namespace {
int status_of(const std::vector<std::string>& argv, const RunOptions& options = {}) {
    CommandResult result = run_command(argv, options);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    return result.status;
}

class FileOperators : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.file("empty");
        scratch.file("full", "data");
        scratch.file("program", "#!/bin/sh\n", 0755);
        scratch.file("readonly", "data", 0444);
        scratch.directory("dir");
        // Names in Latin-1, Greek, CJK and beyond U+FFFF.
        scratch.file("Zo\xc3\xab.txt", "data");
        scratch.file("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", "data");
        scratch.file("\xf0\x9f\x98\x80.txt", "data");
        scratch.directory("\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac");
        mkfifo((scratch / "fifo").c_str(), 0644);
        symlink((scratch / "full").c_str(), (scratch / "to-file").c_str());
        symlink((scratch / "dir").c_str(), (scratch / "to-dir").c_str());
        symlink((scratch / "missing").c_str(), (scratch / "dangling").c_str());
    }
    ScratchDirectory scratch;
};

TEST_F(FileOperators, EachOperatorOnEachKindOfFile) {
    // Root's access check grants writing whatever the permission bits say.
    const char root_write = geteuid() == 0 ? '1' : '0';
    struct Row {
        const char* name;
        std::string expected;  // one answer per operator of OPERATORS, 1 for true
        std::string windows;   // the same on the Windows target
    };
    const char* const OPERATORS[] = {"-f", "-d", "-r", "-w", "-x", "-e", "-s", "-c", "-b", "-u", "-g"};
    // On Windows "-x" holds for everything that exists (there is no execute
    // permission), and "-w" follows the read-only attribute, root or not.
    const Row rows[] = {
        {"empty", "10110100000", "10111100000"},
        {"full", "10110110000", "10111110000"},
        {"program", "10111110000", "10111110000"},
        {"readonly", std::string("101") + root_write + "0110000", "10101110000"},
        {"dir", "01111110000", "01111100000"},  // Windows: a directory has length 0
        // Anything that is no directory counts for -f. Windows has no FIFOs
        // in the file system, and Wine cannot examine a Linux one at all.
        {"fifo", "10110100000", "00000000000"},
        {"to-file", "10110110000", "10111110000"},
        {"Zo\xc3\xab.txt", "10110110000", "10111110000"},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", "10110110000", "10111110000"},
        {"\xf0\x9f\x98\x80.txt", "10110110000", "10111110000"},
        {"\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac", "01111110000", "01111100000"},
        {"to-dir", "01111110000", "01111100000"},
        {"dangling", "00000000000", "00000000000"},
        {"missing", "00000000000", "00000000000"},
    };
    for (const Row& row : rows) {
        std::string path = scratch / row.name;
        const std::string& answers = windows_target() ? row.windows : row.expected;
        for (size_t i = 0; i < answers.size(); ++i) {
            int expected = answers[i] == '1' ? 0 : 1;
            EXPECT_EQ(status_of({"test", OPERATORS[i], path}), expected) << OPERATORS[i] << " " << row.name;
        }
    }
    // Devices and set-id bits are never reported, even for a real device.
    EXPECT_EQ(status_of({"test", "-c", "/dev/null"}), 1);
    EXPECT_EQ(status_of({"test", "-u", "/usr/bin/passwd"}), 1);
}

// A chain of directories under root whose path from there has at least
// length characters, and a file "f" at its end: returns that file's path
// from root.
std::string deep_file(const ScratchDirectory& scratch, size_t length) {
    std::string path;
    while (path.size() + 2 < length) {
        path += (path.empty() ? "" : "/") + std::string(std::min<size_t>(99, length - path.size()), 'd');
        scratch.directory(path);
    }
    return path + "/f";
}

TEST_F(FileOperators, TrailingSlashesRootsAndLongPaths) {
    scratch.directory("a:");
    scratch.file("wild*", "data");
    scratch.directory("ab");
    // Longer than the 260 characters of the plain Windows form, relative
    // and absolute; on Windows both take the \\?\ form.
    const std::string short_long = deep_file(scratch, 300), long_long = deep_file(scratch, 1000);
    scratch.file(short_long, "data");
    scratch.file(long_long, "data");
    const std::string absolute = (windows_target() ? "Z:" : "") + scratch.path() + "/";
    struct Row {
        std::vector<std::string> argv;
        int status;
        int windows;  // the status on the Windows target
    };
    const Row rows[] = {
        {{"test", "-f", short_long}, 0, 0},
        {{"test", "-s", long_long}, 0, 0},
        {{"test", "-d", absolute + short_long.substr(0, short_long.size() - 2)}, 0, 0},
        {{"test", "-r", absolute + long_long}, 0, 0},
        {{"test", "-w", absolute + long_long, "-a", "-e", long_long}, 0, 0},
        {{"test", "-f", short_long + "x"}, 1, 1},
        // A trailing separator names a directory on Windows, as its own
        // tools have it; on a file it names nothing, as on Linux.
        {{"test", "-d", "dir\\"}, 1, 0},  // Linux has no such name
        {{"test", "-e", "dir\\"}, 1, 0},
        {{"test", "-r", "dir/"}, 0, 0},
        {{"test", "-w", "dir/"}, 0, 0},
        {{"test", "-f", "full\\"}, 1, 1},
        {{"test", "-e", "full/"}, 1, 1},
        {{"test", "-r", "full\\"}, 1, 1},
        {{"test", "-s", "full/"}, 1, 1},
        {{"test", "-d", "/"}, 0, 0},  // the root keeps its slash
        {{"test", "-d", "//"}, 0, 0},
        {{"test", "-d", "dir/"}, 0, 0},
        {{"test", "-d", "ab/"}, 0, 0},  // three characters, but no drive root
        {{"test", "-d", "dir//"}, 0, 0},
        {{"test", "-d", "full/"}, 1, 1},
        {{"test", "-f", "full/"}, 1, 1},
        {{"test", "-f", "dir/"}, 1, 1},
        {{"test", "-d", ""}, 1, 1},
        {{"test", "-f", ""}, 1, 1},
        {{"test", "-d", "a:"}, 0, 0},   // Linux: an ordinary name that exists; Windows: a drive
        {{"test", "-d", "b:"}, 1, 0},   // Windows: a bare drive designator, asked nothing
        {{"test", "-d", "a:/"}, 0, 1},  // Windows: the root of drive A:, which is not there
        {{"test", "-d", "dir", "-a", "-d", "dir/"}, 0, 0},
        {{"test", "-f", "wild*"}, 0, 1},  // Windows: the runtime refuses wildcards
        {{"test", "-s", "wild*"}, 0, 1},
        {{"test", "-d", "C:"}, 1, 0},
        {{"test", "-d", "C:\\"}, 1, 0},  // Windows: drive roots, with either separator
        {{"test", "-d", "C:/"}, 1, 0},
        {{"test", "-f", "C:/"}, 1, 1},
    };
    RunOptions options;
    options.directory = scratch.path();
    for (const Row& row : rows)
        EXPECT_EQ(status_of(row.argv, options), windows_target() ? row.windows : row.status) << row.argv[2];
}

TEST_F(FileOperators, FilesOfTwoGibibytesAndMoreHaveContent) {
    std::string path = scratch.file("huge");
    for (long long length : {0x80000000LL, 0x100000000LL, 0x180000000LL}) {
        // Sparse: the length is real, the disk blocks are not.
        ASSERT_EQ(truncate(path.c_str(), length), 0);
        EXPECT_EQ(status_of({"test", "-s", path}), 0) << length;
        EXPECT_EQ(status_of({"test", "-f", path}), 0) << length;
    }
}

TEST_F(FileOperators, OperandsAreConsumedAsTheOperatorSays) {
    std::string full = scratch / "full", missing = scratch / "missing";
    EXPECT_EQ(status_of({"test", "-c", full, "-o", "a"}), 0);
    EXPECT_EQ(status_of({"test", "!", "-f", missing, "-a", "-s", full}), 0);
    EXPECT_EQ(status_of({"test", "-f", "="}), 1);  // "=" is the path here
    EXPECT_EQ(status_of({"test", "-e", full, "=", "x"}), 0);
    for (const char* op : {"-f", "-d", "-r", "-w", "-x", "-e", "-s", "-c", "-b", "-u", "-g"}) {
        CommandResult result = run_command({"test", op});
        EXPECT_EQ(result.status, 1) << op;
        EXPECT_EQ(result.err, diagnostic("test: argument expected\n")) << op;
    }
}

TEST_F(FileOperators, UnprivilegedAccessFollowsThePermissionBits) {
    // Windows answers from the file's attributes alone, whoever asks, so
    // its process runs unchanged (Wine also refuses another user's prefix).
    if (geteuid() != 0 && !windows_target()) GTEST_SKIP() << "needs root to drop to the user nobody";
    scratch.file("secret", "data", 0000);
    scratch.file("mine", "#!/bin/sh\n", 0700);
    RunOptions as_nobody;
    if (!windows_target()) {
        as_nobody.child_setup = [] {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(125);
        };
    }
    struct Row {
        const char* op;
        const char* name;
        int status;
        int windows;  // the status on the Windows target
    };
    const Row rows[] = {
        {"-w", "readonly", 1, 1}, {"-r", "readonly", 0, 0},
        {"-e", "readonly", 0, 0}, {"-r", "secret", 1, 0},  // Windows: nothing that exists is unreadable
        {"-e", "secret", 0, 0},   {"-s", "secret", 0, 0},
        {"-x", "mine", 1, 0},                            // Windows: everything that exists executes
        {"-x", "program", 0, 0},  {"-w", "full", 1, 0},  // Windows: writable without the read-only attribute
    };
    for (const Row& row : rows)
        EXPECT_EQ(status_of({"test", row.op, scratch / row.name}, as_nobody),
                  windows_target() ? row.windows : row.status)
            << row.op << " " << row.name;
}

// Opens a pseudo-terminal and returns its terminal side, or -1.
int open_terminal() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
    const char* name = ptsname(master);
    return name != nullptr ? open(name, O_RDWR | O_NOCTTY) : -1;
}

TEST(TerminalTest, DescriptorsOnFilesPipesAndTerminals) {
    RunOptions null_input;
    null_input.child_setup = [] {
        int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
    };
    // Standard output goes to a file in every run.
    EXPECT_EQ(status_of({"test", "-t"}, null_input), 1);
    EXPECT_EQ(status_of({"test", "-t", "1"}, null_input), 1);
    // Windows: the null device is a character device, as a console is.
    EXPECT_EQ(status_of({"test", "-t", "0"}, null_input), windows_target() ? 0 : 1);
    EXPECT_EQ(status_of({"test", "-t", "-1"}, null_input), 1);
    EXPECT_EQ(status_of({"test", "-t", "99"}, null_input), 1);
    EXPECT_EQ(status_of({"test", "-t", "word"}, null_input), 1);  // descriptor 1; word is left over
    EXPECT_EQ(status_of({"test", "-t", "-o", "a"}, null_input), 0);

    RunOptions pipe_input;
    pipe_input.child_setup = [] {
        int ends[2];
        if (pipe(ends) == 0) dup2(ends[0], 0);
    };
    EXPECT_EQ(status_of({"test", "-t", "0"}, pipe_input), 1);

    int terminal = open_terminal();
    if (terminal < 0) GTEST_SKIP() << "no pseudo-terminal could be opened";
    RunOptions on_terminal;
    on_terminal.child_setup = [terminal] {
        dup2(terminal, 0);
        dup2(terminal, 1);
        dup2(terminal, 5);
    };
    EXPECT_EQ(status_of({"test", "-t"}, on_terminal), 0);
    EXPECT_EQ(status_of({"test", "-t", "0"}, on_terminal), 0);
    // Windows: a process started by Wine gets only the three standard descriptors.
    EXPECT_EQ(status_of({"test", "-t", "5"}, on_terminal), windows_target() ? 1 : 0);
    EXPECT_EQ(status_of({"test", "-t", "-a", ""}, on_terminal), 1);
    EXPECT_EQ(status_of({"test", "!", "-t", "1"}, on_terminal), 1);
    close(terminal);
}
}  // namespace
