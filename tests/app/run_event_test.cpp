#include "app/run_event.h"

#include <gtest/gtest.h>

using namespace qvx;

// The aborted event is checked through a real run (SanitizeRunTest.AbortDuringPassTwo).
TEST(RunEvent, TheClosingTextThenTheMainFieldsAndOnlyThoseTheRecordHas) {
    RunRecord r;
    r.drive = 'S';
    r.level = 1;
    r.levelCaption = "Medium  (3 Passes)";
    r.passesPlanned = r.passesCompleted = 3;
    r.bytesWritten = 201326592;
    r.unreachableBytes = 7516192768;
    r.result = "completed";
    r.message = "All Free Disk Space ...\r\n\r\nThe overall Disk Writing Speed was : 64.0 MB / sec";
    r.startedBy = "command line";
    const RunEvent completed = RunEventOf(r);
    EXPECT_EQ(completed.id, 1u);
    EXPECT_EQ(completed.level, EventLevel::Information);
    EXPECT_EQ(completed.text, r.message + "\r\n\r\nDrive: S:\r\nLevel: 1, Medium  (3 Passes)\r\nPasses: 3 of 3 completed\r\n"
                                          "Bytes written: 201326592\r\nUnreachable bytes: 7516192768\r\n"
                                          "Result: completed\r\nStarted by: command line");

    // A command line that could not be used names no drive, level or passes.
    RunRecord bad;
    bad.result = "error";
    bad.message = "The command line cannot be used.";
    bad.startedBy = "command line";
    const RunEvent error = RunEventOf(bad);
    EXPECT_EQ(error.id, 3u);
    EXPECT_EQ(error.level, EventLevel::Error);
    EXPECT_EQ(error.text, "The command line cannot be used.\r\n\r\nBytes written: 0\r\nResult: error\r\nStarted by: command line");
}
