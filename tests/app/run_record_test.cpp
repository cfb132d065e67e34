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
    r.unreachableBytes = 7516192768;
    EXPECT_NE(RunRecordLine(r).find("\"bytesWritten\":65999488,\"unreachableBytes\":7516192768,\"leftoversSwept\""),
              std::string::npos);
    r.result = "error";
    r.message = "Line one\r\nLine two";
    const std::string line = RunRecordLine(r);
    EXPECT_EQ(line.find("fileRecordsWiped"), std::string::npos);
    EXPECT_NE(line.find("\"result\":\"error\",\"message\":\"Line one\\r\\nLine two\","), std::string::npos);
}

TEST(RunRecord, StartAndEndEachTakeTheOffsetOfTheirOwnMoment) {
    // Central Europe: +01:00 until 2026-03-29 01:00 UTC, +02:00 until 2026-10-25 01:00 UTC.
    const double springChange = EncodeDateTime({2026, 3, 29, 1, 0, 0, 0});
    const double autumnChange = EncodeDateTime({2026, 10, 25, 1, 0, 0, 0});
    const UtcOffsetAt europe = [&](double utc) { return utc >= springChange && utc < autumnChange ? 120 : 60; };
    const double start = EncodeDateTime({2026, 3, 29, 0, 30, 0, 0});
    const double end = start + 2.0 / 24;  // a run of two hours
    EXPECT_EQ(IsoTimeOfUtc(start, europe), "2026-03-29T01:30:00+01:00");
    EXPECT_EQ(IsoTimeOfUtc(end, europe), "2026-03-29T04:30:00+02:00");
    // In autumn the clock goes back: the run ends at an earlier hour than it began.
    const double autumn = EncodeDateTime({2026, 10, 25, 0, 15, 0, 0});
    EXPECT_EQ(IsoTimeOfUtc(autumn, europe), "2026-10-25T02:15:00+02:00");
    EXPECT_EQ(IsoTimeOfUtc(autumn + 1.0 / 24, europe), "2026-10-25T02:15:00+01:00");
    // West of Greenwich, across midnight.
    EXPECT_EQ(IsoTimeOfUtc(EncodeDateTime({2027, 1, 1, 3, 0, 0, 0}), [](double) { return -330; }),
              "2026-12-31T21:30:00-05:30");
}
