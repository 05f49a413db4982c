// A scoped temporary directory for tests that need real files.
#pragma once

#include <string>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    // The full path of name inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Creates a file holding content, with the permission bits given.
    std::string file(const std::string& name, const std::string& content = "", int permissions = 0644) const;
    std::string directory(const std::string& name) const;

private:
    std::string path_;
};
