#include "app/run_record.h"

#include <gtest/gtest.h>

using namespace qvx;

TEST(RunRecord, StringsAreEscapedAndBadUtf8IsReplaced) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("say \"hi\" C:\\dir"), "\"say \\\"hi\\\" C:\\\\dir\"");
    EXPECT_EQ(JsonString("a\r\nb\tc\x01\x1f"), "\"a\\r\\nb\\tc\\u0001\\u001f\"");
    EXPECT_EQ(JsonString("Daten \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80"), "\"Daten \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80\"");
    // A stray continuation byte, a cut-off sequence, an overlong slash, a surrogate.
    EXPECT_EQ(JsonString("a\x80z"), "\"a\xEF\xBF\xBDz\"");
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonString("\xE0\x80\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");  // overlong in three bytes
    EXPECT_EQ(JsonString("\xF4\x90\x80\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");  // beyond U+10FFFF
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(RunRecord, TimesCarryTheirOffsetAndTheLineHoldsEveryField) {
    const CivilDateTime t{2026, 12, 8, 9, 5, 7, 999};
    EXPECT_EQ(IsoLocalTime(t, 60), "2026-12-08T09:05:07+01:00");
    EXPECT_EQ(IsoLocalTime(t, -330), "2026-12-08T09:05:07-05:30");
    EXPECT_EQ(IsoLocalTime(t, 0), "2026-12-08T09:05:07+00:00");

    RunRecord r;
    r.version = "2.0f";
    r.computer = "PC-7";
    r.user = "ann";
    r.start = "2026-12-08T09:05:07+01:00";
    r.end = "2026-12-08T09:06:00+01:00";
    r.drive = 'S';
    r.volumeLabel = "My \"disk\"";
    r.volumeSerial = "00F0A1B2";
    r.fileSystem = "NTFS";
    r.totalBytes = 67108864;
    r.freeBytes = 66000000;
    r.level = 0;
    r.levelCaption = "Basic / Quick  (1 Pass)";
    r.passesPlanned = 1;
    r.passesCompleted = 1;
    r.bytesWritten = 65999488;
    r.fileRecordsWiped = 16;
    r.result = "completed";
    r.startedBy = "command line";
    EXPECT_EQ(RunRecordLine(r),
              "{\"version\":\"2.0f\",\"computer\":\"PC-7\",\"user\":\"ann\",\"start\":\"2026-12-08T09:05:07+01:00\","
              "\"end\":\"2026-12-08T09:06:00+01:00\",\"drive\":\"S\",\"volumeLabel\":\"My \\\"disk\\\"\","
              "\"volumeSerial\":\"00F0A1B2\",\"fileSystem\":\"NTFS\",\"totalBytes\":67108864,"
              "\"freeBytesAtStart\":66000000,\"level\":0,\"levelCaption\":\"Basic / Quick  (1 Pass)\","
              "\"passesPlanned\":1,\"passesCompleted\":1,\"bytesWritten\":65999488,\"fileRecordsWiped\":16,"
              "\"leftoversSwept\":0,\"result\":\"completed\",\"startedBy\":\"command line\"}\n");
    r.fileRecordsWiped.reset();
    r.result = "error";
    r.message = "Line one\r\nLine two";
    const std::string line = RunRecordLine(r);
    EXPECT_EQ(line.find("fileRecordsWiped"), std::string::npos);
    EXPECT_NE(line.find("\"result\":\"error\",\"message\":\"Line one\\r\\nLine two\","), std::string::npos);
}
