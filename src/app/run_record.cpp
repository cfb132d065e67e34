#include "app/run_record.h"

#include <cstdio>

namespace qvx {

namespace {

// Length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t Utf8SequenceLength(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto continuation = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return continuation(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!continuation(1) || !continuation(2)) return 0;
        if (c == 0xE0 && b(1) < 0xA0) return 0;   // overlong
        if (c == 0xED && b(1) >= 0xA0) return 0;  // a surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
        if (c == 0xF0 && b(1) < 0x90) return 0;
        if (c == 0xF4 && b(1) >= 0x90) return 0;  // beyond U+10FFFF
        return 4;
    }
    return 0;
}

class JsonObject {
public:
    void field(std::string_view name, std::string_view text) { key(name) += JsonString(text); }
    void field(std::string_view name, std::int64_t number) { key(name) += std::to_string(number); }
    std::string line() { return out_ + "}\n"; }

private:
    std::string& key(std::string_view name) {
        out_ += out_.empty() ? "{" : ",";
        out_ += JsonString(name);
        out_ += ':';
        return out_;
    }
    std::string out_;
};

} // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenceLength(utf8.substr(i));
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const char c = utf8[i];
        if (n > 1) {
            out.append(utf8.substr(i, n));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
                out += hex;
            }
            }
        } else {
            out += c;
        }
        i += n;
    }
    return out + "\"";
}

std::string IsoLocalTime(const CivilDateTime& t, int utcOffsetMinutes) {
    const char sign = utcOffsetMinutes < 0 ? '-' : '+';
    const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, sign, offset / 60, offset % 60);
    return text;
}

std::string IsoTimeOfUtc(double utc, const UtcOffsetAt& offsetAt) {
    const int offset = offsetAt(utc);
    return IsoLocalTime(DecodeDateTime(utc + offset / 1440.0), offset);
}

std::string RunRecordLine(const RunRecord& r) {
    JsonObject o;
    o.field("version", r.version);
    o.field("computer", r.computer);
    o.field("user", r.user);
    o.field("start", r.start);
    o.field("end", r.end);
    o.field("drive", r.drive ? std::string(1, r.drive) : std::string());
    o.field("volumeLabel", r.volumeLabel);
    o.field("volumeSerial", r.volumeSerial);
    o.field("fileSystem", r.fileSystem);
    o.field("totalBytes", r.totalBytes);
    o.field("freeBytesAtStart", r.freeBytes);
    o.field("level", r.level);
    o.field("levelCaption", r.levelCaption);
    o.field("passesPlanned", r.passesPlanned);
    o.field("passesCompleted", r.passesCompleted);
    o.field("bytesWritten", r.bytesWritten);
    if (r.fileRecordsWiped) o.field("fileRecordsWiped", *r.fileRecordsWiped);
    if (r.unreachableBytes) o.field("unreachableBytes", *r.unreachableBytes);
    o.field("leftoversSwept", r.leftoversSwept);
    o.field("result", r.result);
    if (!r.message.empty()) o.field("message", r.message);
    o.field("startedBy", r.startedBy);
    return o.line();
}

} // namespace qvx
