// The state file in the reader's own process: a new file, the record's bytes after a save,
// a saved state coming back, and the file held against a second opener.
#include <gtest/gtest.h>

#include <string>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "platform/headless/headless.h"
#include "shell/startup.h"
#include "tests/shell_startup/reader_process.h"
#include "tests/shell_startup/state_bytes.h"

namespace startup_test {
namespace {

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        headless::SetDataFolder(folder_.Data().c_str());
        book::ResetStoryVariables();
        book::ClearSnapshotFlags();
    }
    void TearDown() override { book::SaveReadingState(2); }  // closes the file if a test left it open
    ScratchFolder folder_;
};

TEST_F(StateFileTest, ANewFileStaysEmptyUntilTheStateIsSaved) {
    EXPECT_EQ(book::LoadReadingState(shell::ClassName), 2);
    EXPECT_EQ(book::SoundOn(), 1);
    ASSERT_TRUE(FileExists(folder_.StateFile()));
    EXPECT_EQ(ReadBytes(folder_.StateFile()).size(), 0u);

    book::SetVariableValue(CoinsVariable, 300);
    book::SaveReadingState(57);
    const std::vector<uint8_t> saved = ReadBytes(folder_.StateFile());
    ASSERT_EQ(saved.size(), static_cast<size_t>(book::ReadingStateSize));
    EXPECT_EQ(saved[0], 57);
    EXPECT_EQ(saved[1], 0);
    EXPECT_EQ(saved[book::SoundOnOffset], 1);
    EXPECT_EQ(Version(saved), 203);
    EXPECT_EQ(saved[SlotOffset(CoinsVariable) + 6], 0x2C) << "300 is stored low byte first";
    EXPECT_EQ(saved[SlotOffset(CoinsVariable) + 7], 0x01);
}

TEST_F(StateFileTest, ASavedStateComesBackWithItsSnapshots) {
    ASSERT_EQ(book::LoadReadingState(shell::ClassName), 2);
    book::SetVariableValue(CoinsVariable, -2);
    book::SnapshotSlot[2].saved = 1;
    book::SnapshotStates[2][2 * CoinsVariable] = 0x2C;
    book::SaveReadingState(100);

    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    book::SnapshotStates[2][2 * CoinsVariable] = 0;
    EXPECT_EQ(book::LoadReadingState(shell::ClassName), 100);
    EXPECT_EQ(book::VariableValue(CoinsVariable), -2);
    EXPECT_TRUE(book::SlotSaved(2));
    EXPECT_EQ(book::SnapshotStates[2][2 * CoinsVariable], 0x2C);
    EXPECT_EQ(book::SlotParagraph(2), 99) << "a slot's paragraph is the book's, not the file's";
}

TEST_F(StateFileTest, TheOpenFileKeepsASecondOpenerOut) {
    ASSERT_EQ(book::LoadReadingState(shell::ClassName), 2);
    EXPECT_EQ(book::LoadReadingState(shell::ClassName), 0);
    book::SaveReadingState(5);  // the first opener still holds a working file
    EXPECT_EQ(Paragraph(ReadBytes(folder_.StateFile())), 5);
    EXPECT_EQ(book::LoadReadingState(shell::ClassName), 5) << "saving closed the file";
}

TEST_F(StateFileTest, ANameTooLongForTheBufferOpensNothing) {
    const std::u16string longName(book::StateFileNameSize, u'x');
    EXPECT_EQ(book::LoadReadingState(longName.c_str()), 0);
    char16_t name[book::StateFileNameSize];
    ASSERT_TRUE(book::BuildStateFileName(shell::ClassName, name));
    EXPECT_EQ(std::u16string(name), u"QRN5The_Mirewood_Vow.dat");
}

}  // namespace
}  // namespace startup_test
