#include "tests/support/scratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>   // fprintf
#include <cstdlib>  // abort, mkdtemp
#include <cstring>  // strerror
#include <string>
#include <vector>

namespace {

// Removes path and everything under it, as far as it can; a directory a test
// left without permissions gets its owner's back first, so that it can be
// read and emptied. Symbolic links are removed, never followed.
void remove_tree(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return;
    if (!S_ISDIR(status.st_mode)) {
        unlink(path.c_str());
        return;
    }
    chmod(path.c_str(), status.st_mode | S_IRWXU);
    // The names are read first: removing entries while reading a directory
    // leaves it unspecified which of the rest are seen.
    std::vector<std::string> names;
    if (DIR* directory = opendir(path.c_str())) {
        while (const dirent* entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(directory);
    }
    for (const std::string& name : names) remove_tree(path + "/" + name);
    rmdir(path.c_str());
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/bracket-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        // Without it every path a test makes would land in the root.
        std::fprintf(stderr, "cannot create a scratch directory in /tmp: %s\n", std::strerror(errno));
        std::abort();
    }
    path_ = pattern;
    // Tests that drop privileges still need to reach their files.
    chmod(path_.c_str(), 0755);
}

ScratchDirectory::~ScratchDirectory() { remove_tree(path_); }

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
