// Argument vectors as long as the operating system delivers: the recursive
// grammar must get through them without a crash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/run.h"

namespace {
// Linux delivers about 2 MiB of arguments; a Windows command line holds at
// most 32767 characters, which bounds the vectors there.
int scale(int linux_count) { return windows_target() ? linux_count / 16 : linux_count; }

CommandResult run_bare(const std::vector<std::string>& argv) {
    RunOptions options;
    // An empty environment leaves the whole argument space to the vector.
    options.child_setup = [] { clearenv(); };
    return run_command(argv, options);
}

TEST(DeepVectors, NestedParenthesesAroundAWord) {
    int depth = scale(100000);
    std::vector<std::string> argv{"test"};
    argv.insert(argv.end(), depth, "(");
    argv.push_back("word");
    argv.insert(argv.end(), depth, ")");
    CommandResult result = run_bare(argv);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");

    argv.back() = "x";  // the outermost ")" is wrong
    result = run_bare(argv);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, diagnostic("test: ) expected\n"));
}

TEST(DeepVectors, LongRunsOfNegation) {
    for (int count : {scale(200000), scale(200000) - 1}) {
        std::vector<std::string> argv{"test"};
        argv.insert(argv.end(), count, "!");
        argv.push_back("word");
        CommandResult result = run_bare(argv);
        EXPECT_EQ(result.status, count % 2 == 0 ? 0 : 1) << count;
        EXPECT_EQ(result.err, "") << count;
    }
}

TEST(DeepVectors, LongChainsOfConnectives) {
    std::vector<std::string> argv{"test", "a"};
    for (int i = 0; i < scale(90000); ++i) {
        argv.push_back(i % 2 ? "-o" : "-a");
        argv.push_back("a");
    }
    CommandResult result = run_bare(argv);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");

    argv.push_back("-a");  // a missing last operand is still found
    result = run_bare(argv);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, diagnostic("test: argument expected\n"));
}
}  // namespace
