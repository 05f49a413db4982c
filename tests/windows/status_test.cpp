// The file status records of the Windows build, read under Wine through the
// status.exe probe: what the Win32 backend and the C runtime answer for
// paths and descriptors, where they differ from what Linux answers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>  // setenv, unsetenv

#include <string>
#include <vector>

#include "tests/support/run.h"
#include "tests/support/scratch.h"

namespace {
// One line per operand: device_class device unique_path kind mode length
// [name], kind and mode in hexadecimal, or "null".
std::vector<std::string> probe(const std::vector<std::string>& operands, const RunOptions& options) {
    std::vector<std::string> argv{"status"};
    argv.insert(argv.end(), operands.begin(), operands.end());
    CommandResult result = run_command(argv, options);
    EXPECT_EQ(result.status, 0);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = result.out.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();  // standard output is in text mode too
        lines.push_back(line);
    }
    return lines;
}

struct Row {
    std::string operand;
    std::string expected;
};

void check(const std::vector<Row>& rows, const RunOptions& options) {
    std::vector<std::string> operands;
    for (const Row& row : rows) operands.push_back(row.operand);
    std::vector<std::string> lines = probe(operands, options);
    ASSERT_EQ(lines.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(lines[i], rows[i].expected) << rows[i].operand;
}

TEST(WindowsStatus, PathsGetTheRuntimesAnswers) {
    ScratchDirectory scratch;
    for (const char* name : {"notes.txt", "program.exe", "upper.EXE", "script.Cmd", "batch.bat", "old.com",
                             "archive.exe.txt", "noextension", "wild*", "wild?", "ab.exe", "Zo\xc3\xab.txt",
                             "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", "\xf0\x9f\x98\x80.exe"})
        scratch.file(name, "data");
    scratch.directory("\xce\x95\xce\xbb\xce\xbb\xce\xac");
    scratch.file("locked.txt", "data", 0444);
    scratch.file("locked.exe", "data", 0444);
    scratch.directory("dir");
    scratch.directory("lockeddir");
    chmod((scratch / "lockeddir").c_str(), 0555);
    std::string z_path = "Z:" + scratch.path();  // Wine's drive Z: is the Linux root

    // The current directory is on drive Z: (25); a drive letter in the path
    // gives the device number instead. Serial numbers are always 0.
    const std::vector<Row> rows = {
        {"notes.txt", "M 25 0 0 1b6 4 []"},
        {"./notes.txt", "M 25 0 0 1b6 4 [notes.txt]"},
        {"./locked.txt", "M 25 0 0 124 4 [locked.txt]"},  // the read-only attribute takes the write bits
        // Execute bits by extension, in any letter case.
        {"./program.exe", "M 25 0 0 1ff 4 [program.exe]"},
        {"./upper.EXE", "M 25 0 0 1ff 4 [upper.EXE]"},
        {"./script.Cmd", "M 25 0 0 1ff 4 [script.Cmd]"},
        {"./batch.bat", "M 25 0 0 1ff 4 [batch.bat]"},
        {"./old.com", "M 25 0 0 1ff 4 [old.com]"},
        {"./locked.exe", "M 25 0 0 16d 4 [locked.exe]"},
        {"./archive.exe.txt", "M 25 0 0 1b6 4 [archive.exe.txt]"},  // only the last extension counts
        {"./noextension", "M 25 0 0 1b6 4 [noextension]"},
        {"./dir", "M 25 0 80 800001ff 0 [dir]"},  // a directory always executes, and has length 0
        {"./lockeddir", "M 25 0 80 8000016d 0 [lockeddir]"},
        // A trailing separator names a directory, and no file.
        {"./dir/", "M 25 0 80 800001ff 0 []"},
        {".\\dir\\", "M 25 0 80 800001ff 0 []"},
        {"./notes.txt/", "null"},
        {"./notes.txt\\", "null"},
        // Names in any script, and the execute rule for a short name too.
        {"./Zo\xc3\xab.txt", "M 25 0 0 1b6 4 [Zo\xc3\xab.txt]"},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", "M 25 0 0 1b6 4 []"},
        {"./\xf0\x9f\x98\x80.exe", "M 25 0 0 1ff 4 [\xf0\x9f\x98\x80.exe]"},
        {"\xce\x95\xce\xbb\xce\xbb\xce\xac", "M 25 0 80 800001ff 0 []"},
        {"ab.exe", "M 25 0 0 1ff 4 []"},
        {"./wild*", "null"},  // ...and wildcards, even where a file has that name
        {"./wild?", "null"},
        {"./missing", "null"},
        {"", "null"},
        {"C:", "null"},  // a bare drive designator has no status of its own
        {"C:\\", "M 2 0 80 800001ff 0 []"},
        {"c:/", "M 2 0 80 800001ff 0 []"},
        {"C:\\windows", "M 2 0 80 800001ff 0 []"},
        {"Q:\\", "null"},                  // no such drive
        {"/", "M 25 0 80 800001ff 0 []"},  // the root of the current drive
        {"\\", "M 25 0 80 800001ff 0 []"},
        {z_path + "/notes.txt", "M 25 0 0 1b6 4 [notes.txt]"},
        {"z:" + scratch.path() + "/program.exe", "M 25 0 0 1ff 4 [program.exe]"},
    };
    RunOptions options;
    options.directory = scratch.path();
    check(rows, options);
}

TEST(WindowsStatus, SystemMessagesArriveInUtf8) {
    // Wine takes the language of its messages from the locale variables.
    for (const char* name : {"LC_ALL", "LANG"}) setenv(name, "fr_FR.UTF-8", 1);
    check({{"!5", "[Acc\xc3\xa8s refus\xc3\xa9. ]"}, {"!16777214", "[windows error 16777214]"}}, {});
    for (const char* name : {"LC_ALL", "LANG"}) unsetenv(name);
    // A message with an insert sequence comes as it stands (Wine's wording;
    // Windows says "%1 is not a valid Win32 application.").
    check({{"!193", "[Bad EXE format for %1. ]"}}, {});
}

TEST(WindowsStatus, LengthsOfTwoGibibytesAndMoreAreWhole) {
    ScratchDirectory scratch;
    std::string path = scratch.file("huge.bin");
    for (long long length : {0x7fffffffLL, 0x80000000LL, 0xffffffffLL, 0x100000000LL, 0x180000000LL}) {
        ASSERT_EQ(truncate(path.c_str(), length), 0);  // sparse: no disk blocks
        check({{path, "M 25 0 0 1b6 " + std::to_string(length) + " [huge.bin]"}}, {});
    }
}

TEST(WindowsStatus, DescriptorsReportTheirObjectsKind) {
    RunOptions options;
    options.child_setup = [] {
        int ends[2];
        if (pipe(ends) == 0) dup2(ends[0], 0);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
    };
    // A pipe and a character device have no permission bits, no times, and
    // their descriptor as the device number.
    check({{"#0", "| 0 0 0 0 0 []"}, {"#2", "M 2 0 0 0 0 []"}, {"#-1", "null"}, {"#99", "null"}}, options);

    options.child_setup = [] {
        int ends[2];
        if (pipe(ends) == 0) dup2(ends[1], 2);
    };
    check({{"#2", "| 2 0 0 0 0 []"}}, options);

    // A disk file never executes through its descriptor, whatever its name.
    ScratchDirectory scratch;
    for (const Row& row : {Row{scratch.file("program.exe", "data"), "M 0 0 0 1b6 4 []"},
                           Row{scratch.file("locked.txt", "data", 0444), "M 0 0 0 124 4 []"}}) {
        options.child_setup = [path = row.operand] {
            int file = open(path.c_str(), O_RDONLY);
            dup2(file, 0);
        };
        check({{"#0", row.expected}}, options);
    }
}
}  // namespace
