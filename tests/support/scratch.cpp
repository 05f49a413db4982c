#include "tests/support/scratch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/bracket-test-XXXXXX";
    path_ = mkdtemp(pattern);
    // Tests that drop privileges still need to reach their files.
    chmod(path_.c_str(), 0755);
}

ScratchDirectory::~ScratchDirectory() {
    std::string command = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (system(command.c_str()) != 0) {
        // Left behind in /tmp; nothing else depends on it.
    }
}

std::string ScratchDirectory::file(const std::string& name, const std::string& content, int permissions) const {
    std::string full = *this / name;
    int fd = open(full.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd >= 0) {
        if (write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
            // The test's own expectations will show the short file.
        }
        close(fd);
    }
    chmod(full.c_str(), static_cast<mode_t>(permissions));
    return full;
}

std::string ScratchDirectory::directory(const std::string& name) const {
    std::string full = *this / name;
    mkdir(full.c_str(), 0755);
    return full;
}
