// Files in the data folder: exclusive opening (also against another process), reading,
// writing without truncation, and names that are refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        std::string pattern = (std::filesystem::temp_directory_path() / "mirewood-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        headless::SetDataFolder(folder.c_str());
    }
    void TearDown() override {
        for (plat::FileId f : opened) plat::CloseFile(f);
        std::filesystem::remove_all(folder);
    }
    plat::FileId Open(const char16_t* name, bool create) {
        const plat::FileId f = plat::OpenExclusive(name, create);
        if (f != 0) opened.push_back(f);
        return f;
    }
    std::string Contents(const char* name) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string folder;
    std::vector<plat::FileId> opened;
};

TEST_F(FilesTest, CreatesOnlyWhenAskedAndExistsAfterwards) {
    EXPECT_FALSE(plat::FileExists(u"QRN5The_Mirewood_Vow.dat"));
    EXPECT_EQ(Open(u"QRN5The_Mirewood_Vow.dat", false), 0);
    EXPECT_NE(Open(u"QRN5The_Mirewood_Vow.dat", true), 0);
    EXPECT_TRUE(plat::FileExists(u"QRN5The_Mirewood_Vow.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/QRN5The_Mirewood_Vow.dat"));
}

TEST_F(FilesTest, SecondOpenFailsWhileTheFirstIsHeldHereAndInAnotherProcess) {
    const plat::FileId first = Open(u"state.dat", true);
    ASSERT_NE(first, 0);
    EXPECT_EQ(Open(u"state.dat", true), 0);
    EXPECT_EQ(Open(u"state.dat", false), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(plat::OpenExclusive(u"state.dat", true) == 0 ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process got the file";

    EXPECT_TRUE(plat::CloseFile(first));
    opened.clear();
    EXPECT_NE(Open(u"state.dat", false), 0) << "closing releases it";
    EXPECT_FALSE(plat::CloseFile(first)) << "a closed file stays closed";
}

TEST_F(FilesTest, WritesAtThePositionWithoutTruncatingAndReadsShort) {
    {
        std::ofstream out(folder + "/state.dat", std::ios::binary);
        out << "0123456789";
    }
    const plat::FileId f = Open(u"state.dat", false);
    ASSERT_NE(f, 0);
    char buffer[32] = {};
    EXPECT_EQ(plat::ReadFile(f, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(plat::ReadFile(f, buffer, 32), 6) << "a short read at the end";
    EXPECT_EQ(plat::ReadFile(f, buffer, 32), 0);

    ASSERT_TRUE(plat::SeekToStart(f));
    EXPECT_TRUE(plat::WriteFile(f, "abc", 3));
    EXPECT_EQ(Contents("state.dat"), "abc3456789") << "the rest of the file stays";
    EXPECT_TRUE(plat::WriteFile(f, "DEFGHIJKLMNOP", 13));
    EXPECT_EQ(Contents("state.dat"), "abcDEFGHIJKLMNOP");
}

TEST_F(FilesTest, RefusesNamesThatAreNotPlainNamesAndUnknownFiles) {
    for (const char16_t* name : {u"", u"../escape.dat", u"sub/file.dat", u".", u".."}) {
        EXPECT_EQ(Open(name, true), 0);
        EXPECT_FALSE(plat::FileExists(name));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder).parent_path() / "escape.dat"));
    char buffer[4];
    EXPECT_EQ(plat::ReadFile(12345, buffer, 4), 0);
    EXPECT_FALSE(plat::WriteFile(12345, buffer, 4));
    EXPECT_FALSE(plat::SeekToStart(0));
}

}  // namespace
