// The file status record, built directly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"  // PlatformStatus, to build a record from
#include "portability/file_status.h"
#include "tests/support/scratch.h"

using namespace bracket;

namespace {
TEST(FileStatus, NamePointsIntoTheCallersPath) {
    ScratchDirectory scratch;
    scratch.directory("a");
    scratch.directory("a/b");
    scratch.file("a/b/notes.txt", "text");
    std::string path = scratch / "a/b/notes.txt";
    FileStatus* status = file_status_of_path(path.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->name, path.c_str() + path.size() - 9);
    EXPECT_STREQ(status->name, "notes.txt");
    EXPECT_EQ(status->length, 4);
    EXPECT_EQ(status->kind, 0);
    EXPECT_EQ(status->device_class, 'M');
    EXPECT_STREQ(status->owner, "");
    EXPECT_EQ(status->owner, status->group);  // one shared empty text
    EXPECT_EQ(status->owner, status->last_modifier);
    EXPECT_EQ(status->version, status->modify_time);
    release_file_status(status);

    // A trailing '/' leaves nothing after it.
    std::string directory = scratch / "a/b/";
    status = file_status_of_path(directory.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_STREQ(status->name, "");
    release_file_status(status);
}

TEST(FileStatus, NameIsEmptyWithoutASlash) {
    ScratchDirectory scratch;
    scratch.file("notes.txt");
    scratch.file("a\\b");
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    for (const char* path : {"notes.txt", "a\\b"}) {
        FileStatus* status = file_status_of_path(path);
        ASSERT_NE(status, nullptr) << path;
        EXPECT_STREQ(status->name, "") << path;  // '\' is no separator
        release_file_status(status);
    }
    ASSERT_EQ(chdir(old), 0);
}

TEST(FileStatus, DirectoriesAndRegularFiles) {
    ScratchDirectory scratch;
    std::string directory = scratch.directory("dir");
    std::string empty = scratch.file("empty", "", 0640);
    FileStatus* status = file_status_of_path(directory.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->kind, KIND_DIRECTORY);
    EXPECT_EQ(status->mode & MODE_DIRECTORY, MODE_DIRECTORY);
    EXPECT_EQ(status->mode & 0x7FFFFE00u, 0u);  // bits 9 to 30 stay clear
    EXPECT_EQ(status->device_class, 'M');

    FileStatus* file = file_status_of_path(empty.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->length, 0);
    EXPECT_EQ(file->kind, 0);
    EXPECT_EQ(file->mode, 0640u);
    struct stat info;
    ASSERT_EQ(stat(empty.c_str(), &info), 0);
    EXPECT_EQ(file->unique_path, static_cast<uint64_t>(info.st_ino));
    EXPECT_EQ(file->device, static_cast<uint32_t>(info.st_dev));
    EXPECT_EQ(file->modify_time, static_cast<uint32_t>(info.st_mtime));

    // Every call builds a record of its own.
    FileStatus* again = file_status_of_path(empty.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, file);
    release_file_status(status);
    release_file_status(file);
    release_file_status(again);

    EXPECT_EQ(file_status_of_path((scratch / "missing").c_str()), nullptr);
    EXPECT_EQ(file_status_of_path(""), nullptr);
}

// The record keeps the nine permission bits only, whatever the platform
// passes, and each time in its own field.
TEST(FileStatus, PermissionBitsAndTimes) {
    const PlatformStatus platform = {7, 8, PLATFORM_TYPE_DIRECTORY | 07777, 9, 1000000, 2000000};
    FileStatus* status = make_file_status(&platform, "");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->mode, MODE_DIRECTORY | 0777u);
    EXPECT_EQ(status->access_time, 1000000u);
    EXPECT_EQ(status->modify_time, 2000000u);
    EXPECT_EQ(status->version, 2000000u);
    release_file_status(status);

    // Set-id and sticky bits of real files stay out too.
    ScratchDirectory scratch;
    std::string sticky = scratch.directory("sticky");
    ASSERT_EQ(chmod(sticky.c_str(), S_ISVTX | 0750), 0);
    std::string program = scratch.file("program", "", 0755);
    ASSERT_EQ(chmod(program.c_str(), S_ISUID | 0710), 0);
    status = file_status_of_path(sticky.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->mode, MODE_DIRECTORY | 0750u);
    release_file_status(status);
    status = file_status_of_path(program.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->mode, 0710u);
    release_file_status(status);
}

TEST(FileStatus, DescriptorsOfPipesAndFiles) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    FileStatus* status = file_status_of_descriptor(ends[0]);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->device_class, '|');
    EXPECT_EQ(status->kind, 0);
    EXPECT_STREQ(status->name, "");
    release_file_status(status);
    close(ends[0]);
    close(ends[1]);

    EXPECT_EQ(file_status_of_descriptor(-1), nullptr);
    EXPECT_EQ(file_status_of_descriptor(ends[0]), nullptr);  // closed now
}

TEST(FileStatus, LengthKeepsItsSixtyFourBits) {
    ScratchDirectory scratch;
    std::string path = scratch.file("sparse");
    // A sparse file: the length is real, the disk blocks are not.
    ASSERT_EQ(truncate(path.c_str(), 0x180000000LL), 0);
    FileStatus* status = file_status_of_path(path.c_str());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->length, 0x180000000LL);
    release_file_status(status);
}
}  // namespace
