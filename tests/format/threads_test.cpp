// Formats from several threads at once, from a cold verb table, while another
// thread installs and replaces verbs, and checks every text. Built as a plain
// program so that it also runs under ThreadSanitizer (tests/format/threads),
// which is what finds a race that the texts alone would not show.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "format/format.h"
#include "format/format.hpp"
#include "platform/platform.h"  // platform_set_error_code
#include "portability/error_text.h"

using namespace bracket;

namespace {

constexpr int FORMATTERS = 4;
constexpr int ROUNDS = 2000;

std::atomic<int> ready{0};
std::atomic<bool> installing{true};
std::atomic<int> failures{0};

int32_t write_old(FormatState* state) { return put_utf8_field(state, "old", 3, 3); }
int32_t write_new(FormatState* state) { return put_utf8_field(state, "new", 3, 3); }

void fail(const char* what, const std::string& got, const std::string& expected) {
    if (failures.fetch_add(1) < 5)
        std::fprintf(stderr, "%s: got [%s], expected [%s]\n", what, got.c_str(), expected.c_str());
}

void start_together() {
    ready.fetch_add(1);
    while (ready.load() < FORMATTERS + 1) {
    }
}

void format_every_verb(const std::string& error_text) {
    const Char16 wide[] = {'w', 0x00E9, 0};
    const int32_t before = static_cast<int32_t>(error_text.size()) + 1;
    start_together();
    for (int round = 0; round < ROUNDS; ++round) {
        char line[256];
        int32_t count = -1;
        format_buffer(line, sizeof line, "%r|%d %5s %x %X %o %b %c %C %S %p%n %% %-3ud|%lld %,d %hhd %+#x", -42, "ab",
                      255, 255, 8, 5, 'z', 0x41, wide, static_cast<void*>(nullptr), &count, 7, -5000000000LL, 1234567,
                      300, 16);
        const std::string expected =
            error_text + "|-42    ab ff FF 10 101 z A w\xC3\xA9 0 % 7  |-5000000000 1,234,567 44 +0x10";
        if (line != expected) fail("built-in verbs", line, expected);
        if (count != before + 32) fail("%n", std::to_string(count), std::to_string(before + 32));

        // A verb being replaced prints through the old handler or the new one.
        format_buffer(line, sizeof line, "%Q", 0);
        if (std::strcmp(line, "old") != 0 && std::strcmp(line, "new") != 0 && std::strcmp(line, "%Q%") != 0) {
            fail("replaced verb", line, "old or new");
        }

        const std::string face = bracket::format("%s=%d", std::string_view("key-and-more", 3), round);
        if (face != "key=" + std::to_string(round)) fail("bracket::format", face, "key=N");
    }
}

void install_and_replace() {
    start_together();
    int32_t code = 0x4E00;
    while (installing.load()) {
        install_verb('Q', write_old);
        install_verb('Q', write_new);
        // The built-ins in use, replaced by themselves; and new codes until
        // the table is full.
        install_verb('x', convert_integer);
        install_verb('d', convert_integer);
        if (code < 0x4E00 + MAX_INSTALLED_VERBS) install_verb(code++, write_old);
    }
    install_verb('Q', write_new);
}

}  // namespace

int main() {
    // Each thread reads the platform's text for its own error code: the
    // process-wide slot is not to be set by threads at once.
    char error_text[ERROR_TEXT_SIZE];
    system_error_text(2, error_text, sizeof error_text);

    std::vector<std::thread> threads;
    for (int i = 0; i < FORMATTERS; ++i) {
        threads.emplace_back([&error_text] {
            platform_set_error_code(2);
            std::string text(error_text);
            format_every_verb(text);
        });
    }
    std::thread installer(install_and_replace);
    for (std::thread& thread : threads) thread.join();
    installing.store(false);
    installer.join();

    char line[16];
    format_buffer(line, sizeof line, "%Q", 0);
    if (std::strcmp(line, "new") != 0) fail("last install", line, "new");
    if (failures.load() != 0) {
        std::fprintf(stderr, "%d texts wrong\n", failures.load());
        return 1;
    }
    std::puts("every text right");
    return 0;
}
