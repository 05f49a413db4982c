// The file operators and the terminal test on real files, through the
// built command.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    };
    const char* const OPERATORS[] = {"-f", "-d", "-r", "-w", "-x", "-e", "-s", "-c", "-b", "-u", "-g"};
    const Row rows[] = {
        {"empty", "10110100000"},
        {"full", "10110110000"},
        {"program", "10111110000"},
        {"readonly", std::string("101") + root_write + "0110000"},
        {"dir", "01111110000"},
        {"fifo", "10110100000"},  // anything that is no directory counts for -f
        {"to-file", "10110110000"},
        {"to-dir", "01111110000"},
        {"dangling", "00000000000"},
        {"missing", "00000000000"},
    };
    for (const Row& row : rows) {
        std::string path = scratch / row.name;
        for (size_t i = 0; i < row.expected.size(); ++i) {
            int expected = row.expected[i] == '1' ? 0 : 1;
            EXPECT_EQ(status_of({"test", OPERATORS[i], path}), expected) << OPERATORS[i] << " " << row.name;
        }
    }
    // Devices and set-id bits are never reported, even for a real device.
    EXPECT_EQ(status_of({"test", "-c", "/dev/null"}), 1);
    EXPECT_EQ(status_of({"test", "-u", "/usr/bin/passwd"}), 1);
}

TEST_F(FileOperators, TrailingSlashesAndRoots) {
    scratch.directory("a:");
    struct Row {
        std::vector<std::string> argv;
        int status;
    };
    const Row rows[] = {
        {{"test", "-d", "/"}, 0},  // the root keeps its slash
        {{"test", "-d", "//"}, 0},
        {{"test", "-d", "dir/"}, 0},
        {{"test", "-d", "dir//"}, 0},
        {{"test", "-d", "full/"}, 1},
        {{"test", "-f", "full/"}, 1},
        {{"test", "-f", "dir/"}, 1},
        {{"test", "-d", ""}, 1},
        {{"test", "-f", ""}, 1},
        {{"test", "-d", "dir\\"}, 1},  // a backslash is an ordinary character here
        {{"test", "-d", "a:"}, 0},     // an ordinary name on this platform: it exists
        {{"test", "-d", "b:"}, 1},     // ...and this one does not
        {{"test", "-d", "a:/"}, 0},
        {{"test", "-d", "dir", "-a", "-d", "dir/"}, 0},
    };
    RunOptions options;
    options.directory = scratch.path();
    for (const Row& row : rows) EXPECT_EQ(status_of(row.argv, options), row.status) << row.argv[2];
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
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop to the user nobody";
    scratch.file("secret", "data", 0000);
    scratch.file("mine", "#!/bin/sh\n", 0700);
    RunOptions as_nobody;
    as_nobody.child_setup = [] {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(125);
    };
    struct Row {
        const char* op;
        const char* name;
        int status;
    };
    const Row rows[] = {
        {"-w", "readonly", 1},
        {"-r", "readonly", 0},
        {"-e", "readonly", 0},
        {"-r", "secret", 1},
        {"-e", "secret", 0},
        {"-s", "secret", 0},
        {"-x", "mine", 1},
        {"-x", "program", 0},
        {"-w", "full", 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(status_of({"test", row.op, scratch / row.name}, as_nobody), row.status) << row.op << " " << row.name;
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
    EXPECT_EQ(status_of({"test", "-t", "0"}, null_input), 1);
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
        dup2(terminal, 1);
        dup2(terminal, 5);
    };
    EXPECT_EQ(status_of({"test", "-t"}, on_terminal), 0);
    EXPECT_EQ(status_of({"test", "-t", "5"}, on_terminal), 0);
    EXPECT_EQ(status_of({"test", "-t", "-a", ""}, on_terminal), 1);
    EXPECT_EQ(status_of({"test", "!", "-t", "1"}, on_terminal), 1);
    close(terminal);
}
}  // namespace
