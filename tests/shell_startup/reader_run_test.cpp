// End-to-end runs of the reader (the headless reader with the startup_basic book) in
// processes of their own: the state file across runs, a second reader, the ways a run
// ends, and a write that fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <csignal>

#include "tests/shell_startup/reader_process.h"
#include "tests/shell_startup/state_bytes.h"

namespace startup_test {
namespace {

constexpr int ExitSecondReader = 1;

TEST(ReaderRun, FirstStartCreatesTheFileAndSavesACompleteRecordAtTheEnd) {
    ScratchFolder folder;
    std::string errors;
    ASSERT_EQ(RunReader(folder, "expect-no-box\n", &errors), 0) << errors;
    const std::vector<uint8_t> saved = ReadBytes(folder.StateFile());
    ASSERT_EQ(saved.size(), static_cast<size_t>(book::ReadingStateSize));
    EXPECT_EQ(Version(saved), 203);
    EXPECT_EQ(Paragraph(saved), 2);
    EXPECT_EQ(saved[book::SoundOnOffset], 1) << "a new file starts with sound on";
}

// What a start applies from the file it finds, seen in what the end of that run saves:
// the story variables come back only from a complete record of version 203.
TEST(ReaderRun, AppliesAStateFileByItsRules) {
    struct Case {
        const char* what;
        int16_t paragraph;
        int32_t version;
        size_t size;
        int32_t savedParagraph;
        bool variablesApplied;
        const char* script;
    };
    const Case cases[] = {
        {"a saved paragraph is the first page", 100, 203, 6844, 100, true, "expect-text \"Old stones lead out\"\n"},
        {"paragraph 0 starts at 2", 0, 203, 6844, 2, true, ""},
        {"paragraph 714 starts at 2", 714, 203, 6844, 2, true, ""},
        {"another version applies nothing", 100, 202, 6844, 2, false, ""},
        {"a short file applies nothing", 100, 203, 100, 2, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        std::vector<uint8_t> record = Record(c.paragraph, c.version, 0);
        StateBytes(record, CoinsVariable)[0] = 0x2C;  // 300 coins
        StateBytes(record, CoinsVariable)[1] = 0x01;
        record[SlotOffset(CoinsVariable)] = 0xAB;     // bytes the record does not use
        record[book::ReadingStateSize - 1] = 0xCD;
        record[book::ReservedOffset] = 0x77;          // reserved: written back as zero
        record.resize(c.size);
        ASSERT_TRUE(WriteBytes(folder.StateFile(), record));

        std::string errors;
        ASSERT_EQ(RunReader(folder, c.script, &errors), 0) << errors;
        const std::vector<uint8_t> saved = ReadBytes(folder.StateFile());
        ASSERT_EQ(saved.size(), static_cast<size_t>(book::ReadingStateSize));
        EXPECT_EQ(Version(saved), 203);
        EXPECT_EQ(Paragraph(saved), c.savedParagraph);
        EXPECT_EQ(saved[book::SoundOnOffset], 0) << "the sound setting is the file's byte 2";
        EXPECT_EQ(saved[book::ReservedOffset], 0);
        const uint8_t* coins = saved.data() + SlotOffset(CoinsVariable) + book::VariableStateInSlot;
        EXPECT_EQ(coins[0], c.variablesApplied ? 0x2C : 0);
        EXPECT_EQ(coins[1], c.variablesApplied ? 0x01 : 0);
        if (c.size == 6844) {
            EXPECT_EQ(saved[SlotOffset(CoinsVariable)], 0xAB);
            EXPECT_EQ(saved[book::ReadingStateSize - 1], 0xCD);
        }
    }
}

TEST(ReaderRun, EveryWayOfClosingSavesTheState) {
    const char* scripts[] = {"menu \"Exit\"\n", "menu 509\n", "close\n", ""};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        ScratchFolder folder;
        ASSERT_TRUE(WriteBytes(folder.StateFile(), Record(100, 203, 1)));
        std::string errors;
        EXPECT_EQ(RunReader(folder, script, &errors), 0) << errors;
        const std::vector<uint8_t> saved = ReadBytes(folder.StateFile());
        ASSERT_EQ(saved.size(), static_cast<size_t>(book::ReadingStateSize));
        EXPECT_EQ(Paragraph(saved), 100);
    }
}

TEST(ReaderRun, AFirstStartShowsTheOpeningSequenceAndAResumedOneDoesNot) {
    ScratchFolder fresh;
    std::string errors;
    EXPECT_EQ(RunReader(fresh, "wait 4000\nexpect-text \"author: Mirewood tests\"\n", &errors), 0) << errors;
    ScratchFolder resumed;
    ASSERT_TRUE(WriteBytes(resumed.StateFile(), Record(100, 203, 1)));
    EXPECT_EQ(RunReader(resumed, "expect-text \"The Causeway\"\n", &errors), 0) << errors;
}

// Menu pages and built-in pages are read aside: the state file keeps the story paragraph.
TEST(ReaderRun, LeavingOnAMenuPageSavesTheStoryParagraph) {
    const char* scripts[] = {
        "menu \"Objective\"\nexpect-text \"Cross the mire\"\n",
        "menu \"Restart\"\nexpect-text \"Choose where to begin again\"\nmenu \"Exit\"\n",
        "menu \"Sounds\"\n",
        "menu \"About ...\"\nclose\n",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        ScratchFolder folder;
        ASSERT_TRUE(WriteBytes(folder.StateFile(), Record(100, 203, 1)));
        std::string errors;
        EXPECT_EQ(RunReader(folder, script, &errors), 0) << errors;
        EXPECT_EQ(Paragraph(ReadBytes(folder.StateFile())), 100);
    }
}

TEST(ReaderRun, EndRequestsFromTheSystemCloseInOrderAndSave) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        ScratchFolder folder;
        ReaderProcess reader(folder, "echo ready\npause 30000\n");
        ASSERT_TRUE(reader.WaitForLine("ready")) << reader.Errors();
        EXPECT_EQ(ReadBytes(folder.StateFile()).size(), 0u) << "a new file stays empty until the end";
        reader.Signal(signal);
        EXPECT_EQ(reader.Wait(), 0) << reader.Errors();
        const std::vector<uint8_t> saved = ReadBytes(folder.StateFile());
        ASSERT_EQ(saved.size(), static_cast<size_t>(book::ReadingStateSize));
        EXPECT_EQ(Version(saved), 203);
    }
}

TEST(ReaderRun, ASecondReaderAsksTheFirstToTheFrontAndLeavesTheFileAlone) {
    ScratchFolder folder;
    const std::vector<uint8_t> before = Record(100, 203, 1);
    ASSERT_TRUE(WriteBytes(folder.StateFile(), before));
    ReaderProcess first(folder, "echo ready\nawait-front 20000\necho fronted\n");
    ASSERT_TRUE(first.WaitForLine("ready")) << first.Errors();

    std::string errors;
    EXPECT_EQ(RunReader(folder, "wait 100\n", &errors), ExitSecondReader);
    EXPECT_EQ(errors.find("message box"), std::string::npos) << errors;
    EXPECT_NE(errors.find("skipped"), std::string::npos) << "the second reader never ran its script: " << errors;

    EXPECT_TRUE(first.WaitForLine("fronted")) << first.Errors();
    EXPECT_EQ(ReadBytes(folder.StateFile()), before);
    EXPECT_EQ(first.Wait(), 0) << first.Errors();
}

TEST(ReaderRun, ALockedFileWithNobodyToAnswerIsReported) {
    ScratchFolder folder;
    const std::vector<uint8_t> before = Record(100, 203, 1);
    ASSERT_TRUE(WriteBytes(folder.StateFile(), before));
    const int held = open(folder.StateFile().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);

    std::string errors;
    EXPECT_EQ(RunReader(folder, "expect-box \"I cannot the book?\"\n", &errors), ExitSecondReader) << errors;
    EXPECT_NE(errors.find("message box \"Error\": I cannot the book?"), std::string::npos) << errors;
    EXPECT_EQ(ReadBytes(folder.StateFile()), before);
    close(held);
}

// A file that cannot grow keeps its old bytes: the record is never half written over them.
TEST(ReaderRun, AFailedWriteLeavesThePreviousFileIntact) {
    ScratchFolder folder;
    std::vector<uint8_t> before = Record(100, 203, 1);
    before.resize(100);
    ASSERT_TRUE(WriteBytes(folder.StateFile(), before));
    std::string errors;
    RunOptions options;
    options.fileSizeLimit = before.size();
    EXPECT_EQ(RunReader(folder, "", &errors, options), 0) << errors;
    EXPECT_EQ(ReadBytes(folder.StateFile()), before);
}

}  // namespace
}  // namespace startup_test

namespace startup_test {
namespace {

// The script's own faults and failed checks, as the exit code and the report name them.
TEST(HeadlessScript, ReportsMalformedStepsAndFailedChecksByLine) {
    struct Case {
        const char* script;
        int exitCode;
        const char* report;
    };
    const Case cases[] = {
        {"expect-no-box\nfly 3\n", 2, ":2: unknown step \"fly\""},
        {"type \"open\n", 2, ":1: a quote does not close"},
        {"menu \"Fly away\"\n", 2, ":1: no menu item \"Fly away\""},
        {"tap 10\n", 2, ":1: tap takes 2 argument(s), not 1"},
        {"expect-box \"Hello\"\n", 3, ":1: expected a message box \"Hello\""},
        {"# comment\ntap-control 4242\n", 3, ":2: no control 4242 is shown"},
        {"key PageDown\nexpect-text \"Old stones\"\n", 3, ":2: \"Old stones\" was not drawn"},
        {"expect-text \"The end.\"   # below the window\n", 3, "\"The end.\" was not drawn where it can be seen"},
        {"key PageDown\nexpect-text \"The end.\"\nexpect-text \"Startup Fixture\"\n", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScratchFolder folder;
        ASSERT_TRUE(WriteBytes(folder.StateFile(), Record(101, 203, 1)));
        std::string errors;
        EXPECT_EQ(RunReader(folder, c.script, &errors), c.exitCode) << errors;
        EXPECT_NE(errors.find(c.report), std::string::npos) << errors;
    }
}

}  // namespace
}  // namespace startup_test
