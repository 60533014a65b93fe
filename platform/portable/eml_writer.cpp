#include "platform/portable/eml_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "build_facts.h"
#include "platform/portable/draft_files.h"
#include "platform/portable/mail_address.h"
#include "platform/portable/utf8.h"

namespace kdesk {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kBase64LineLength = 76;
constexpr std::size_t kLineLimit = 78;
// UTF-8 bytes per encoded word: "=?utf-8?B?" + 56 digits + "?=" fits a
// "Subject: " line within 78 characters.
constexpr std::size_t kEncodedWordBytes = 42;
// Characters of an RFC 2231 continuation segment, and of a plain file name
// parameter: both keep their lines within 78 characters.
constexpr std::size_t kParameterSegment = 50;
constexpr std::size_t kPlainNameLength = 60;

std::string Hex(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

void AppendGroup(std::string& out, const std::uint8_t* in, std::size_t count) {
    const std::uint32_t group = (std::uint32_t{in[0]} << 16) | (count > 1 ? std::uint32_t{in[1]} << 8 : 0) |
                                (count > 2 ? std::uint32_t{in[2]} : 0);
    out += kBase64Digits[(group >> 18) & 0x3F];
    out += kBase64Digits[(group >> 12) & 0x3F];
    out += count > 1 ? kBase64Digits[(group >> 6) & 0x3F] : '=';
    out += count > 2 ? kBase64Digits[group & 0x3F] : '=';
}

// Splits UTF-8 text into pieces of at most `limit` bytes without cutting a character.
std::vector<std::string_view> CharacterChunks(std::string_view utf8, std::size_t limit) {
    std::vector<std::string_view> chunks;
    std::size_t start = 0;
    std::size_t end = 0;
    while (end < utf8.size()) {
        const std::size_t next = std::min(utf8.size(), end + Utf8SequenceLength(static_cast<unsigned char>(utf8[end])));
        if (next - start > limit && end > start) {
            chunks.push_back(utf8.substr(start, end - start));
            start = end;
        }
        end = next;
    }
    if (end > start) chunks.push_back(utf8.substr(start, end - start));
    return chunks;
}

bool IsPlainHeaderText(std::string_view utf8) {
    if (utf8.empty()) return true;
    for (char c : utf8)
        if (c < 0x20 || c > 0x7E) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    // Blanks at the ends would be lost to unfolding; "=?" would read as an encoded word.
    return !blank(utf8.front()) && !blank(utf8.back()) && utf8.find("=?") == std::string_view::npos;
}

// A file name as plain ASCII for the parameters that older readers take: other
// characters become "_", and a long name keeps its start and its extension.
std::string AsciiFallback(std::string_view utf8) {
    std::string plain;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = Utf8SequenceLength(byte);
        plain += (length == 1 && byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') ? utf8[i] : '_';
        i += length;
    }
    if (plain.size() <= kPlainNameLength) return plain;
    const std::size_t dot = plain.rfind('.');
    const std::string extension = dot != std::string::npos && plain.size() - dot <= 10 ? plain.substr(dot) : "";
    return plain.substr(0, kPlainNameLength - extension.size() - 1) + "~" + extension;
}

bool IsAttributeChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

// RFC 2231 "filename*" (continued over several lines when long), UTF-8 percent-encoded.
std::string ExtendedFileName(std::string_view utf8) {
    std::vector<std::string> segments(1);
    for (std::string_view character : CharacterChunks(utf8, 1)) {
        std::string encoded;
        for (char c : character) {
            const auto byte = static_cast<unsigned char>(c);
            encoded += IsAttributeChar(byte) ? std::string(1, c) : "%" + Hex(byte);
        }
        if (segments.back().size() + encoded.size() > kParameterSegment) segments.emplace_back();
        segments.back() += encoded;
    }
    if (segments.size() == 1) return ";\r\n filename*=utf-8''" + segments[0];
    std::string field;
    for (std::size_t i = 0; i < segments.size(); ++i)
        field += ";\r\n filename*" + std::to_string(i) + "*=" + (i == 0 ? "utf-8''" : "") + segments[i];
    return field;
}

std::string EncodedWords(std::string_view utf8, const char* separator) {
    std::string words;
    const char* between = "";
    for (std::string_view chunk : CharacterChunks(utf8, kEncodedWordBytes)) {
        words += between;
        words += "=?utf-8?B?" + Base64(chunk) + "?=";
        between = separator;
    }
    return words;
}

// A display name as a phrase: plain words as they are, other printable ASCII
// as a quoted string, anything else as encoded words.
std::string DisplayName(std::string_view utf8) {
    const bool printable = std::ranges::all_of(utf8, [](char c) { return c >= 0x20 && c <= 0x7E; });
    if (printable && utf8.find("=?") == std::string_view::npos) {
        const bool atoms = std::ranges::all_of(utf8, [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || std::string_view(" !#$%&'*+-/=?^_`{|}~").find(c) !=
                                                                   std::string_view::npos;
        });
        if (atoms) return std::string(utf8);
        std::string quoted = "\"";
        for (char c : utf8) {
            if (c == '"' || c == '\\') quoted += '\\';
            quoted += c;
        }
        return quoted + '"';
    }
    return EncodedWords(utf8, "\r\n ");
}

std::string Mailbox(const MailRecipient& recipient) {
    std::string address = ToUtf8(recipient.address);
    // Raw, so no control character may stay in it: it could start a header of its own.
    std::ranges::replace_if(address, [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }, ' ');
    if (recipient.name.empty()) return address;
    return DisplayName(ToUtf8(recipient.name)) + " <" + address + ">";
}

std::size_t LastLineLength(const std::string& text) {
    const std::size_t end = text.rfind('\n');
    return end == std::string::npos ? text.size() : text.size() - end - 1;
}

std::size_t FirstLineLength(const std::string& text) { return std::min(text.find('\r'), text.size()); }

// A writer that counts what it would write.
struct CountingWriter {
    std::uint64_t bytes = 0;
    EmlWriter writer{[this](std::string_view out) { bytes += out.size(); }, DraftBoundary(0)};
};

}  // namespace

std::uint64_t MessageFrameSize(std::wstring_view to, std::wstring_view subject, std::wstring_view noteText) {
    CountingWriter counting;
    counting.writer.Begin(to, subject, Rfc5322Date({2000, 1, 1, 0, 0, 0}, 0), noteText);
    counting.writer.End();
    return counting.bytes;
}

std::uint64_t AttachmentPartSize(std::wstring_view fileName, std::uint64_t fileSize) {
    CountingWriter counting;
    counting.writer.BeginAttachment(fileName);
    counting.writer.EndAttachment();
    // Four characters for each started group of three bytes, and a CR LF
    // between lines of 76 characters.
    const std::uint64_t characters = (fileSize + 2) / 3 * 4;
    const std::uint64_t lines = (characters + kBase64LineLength - 1) / kBase64LineLength;
    return counting.bytes + characters + (lines > 0 ? (lines - 1) * 2 : 0);
}

std::string Base64(std::string_view bytes) {
    std::string out;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size(); i += 3) AppendGroup(out, data + i, std::min<std::size_t>(3, bytes.size() - i));
    return out;
}

std::string HeaderField(std::string_view name, std::wstring_view value) {
    const std::string utf8 = ToUtf8(value);
    std::string field(name);
    field += ':';
    if (!utf8.empty() && IsPlainHeaderText(utf8) && field.size() + 1 + utf8.size() <= kLineLimit)
        field += " " + utf8;
    else if (!utf8.empty())
        field += " " + EncodedWords(utf8, "\r\n ");
    return field + kCrLf;
}

std::string AddressField(std::string_view name, std::wstring_view recipients) {
    std::string field(name);
    field += ':';
    const char* separator = "";
    for (const MailRecipient& recipient : SplitRecipients(recipients)) {
        const std::string mailbox = Mailbox(recipient);
        field += separator;
        // Folded only between addresses: an address is never split.
        if (*separator == ',' && LastLineLength(field) + FirstLineLength(mailbox) > kLineLimit) field += "\r\n";
        field += " " + mailbox;
        separator = ",";
    }
    return field + kCrLf;
}

std::wstring WithoutTrailingBlanks(std::wstring_view text) {
    std::wstring lines;
    const auto dropBlanks = [&] {
        while (!lines.empty() && (lines.back() == L' ' || lines.back() == L'\t')) lines.pop_back();
    };
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') dropBlanks();
        lines += c;
    }
    dropBlanks();
    return lines;
}

std::string QuotedPrintable(std::string_view utf8) {
    std::string out;
    std::size_t column = 0;
    const auto emit = [&](const std::string& token) {
        if (column + token.size() > kBase64LineLength - 1) {  // room for the soft break's "="
            out += "=\r\n";
            column = 0;
        }
        out += token;
        column += token.size();
    };
    const auto breakAt = [&](std::size_t i) { return i + 1 < utf8.size() && utf8[i] == '\r' && utf8[i + 1] == '\n'; };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (breakAt(i)) {
            out += kCrLf;
            column = 0;
            ++i;
            continue;
        }
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool endOfLine = i + 1 == utf8.size() || breakAt(i + 1);
        const bool blank = byte == ' ' || byte == '\t';
        const bool literal = (byte >= 33 && byte <= 126 && byte != '=') || (blank && !endOfLine);
        emit(literal ? std::string(1, utf8[i]) : "=" + Hex(byte));
    }
    return out;
}

std::string Rfc5322Date(const LocalDateTime& t, int minutesEastOfUtc) {
    static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
    const int y = t.month <= 2 ? t.year - 1 : t.year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const long days = era * 146097L + yoe * 365L + yoe / 4 - yoe / 100 + doy - 719468L;
    const auto weekday = static_cast<std::size_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    const int offset = minutesEastOfUtc < 0 ? -minutesEastOfUtc : minutesEastOfUtc;
    const auto month = static_cast<std::size_t>(t.month >= 1 && t.month <= 12 ? t.month - 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[weekday], t.day,
                  kMonths[month], t.year, t.hour, t.minute, t.second, minutesEastOfUtc < 0 ? '-' : '+',
                  offset / 60, offset % 60);
    return text;
}

std::string DraftBoundary(std::uint64_t seed) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(seed));
    return std::string("=_KdeskSupport_") + digits;
}

void EmlWriter::Begin(std::wstring_view to, std::wstring_view subject, std::string_view date,
                      std::wstring_view noteText, const std::optional<FinishedMessage>& finished) {
    std::string head = finished ? "From: " + Mailbox({finished->fromName, finished->fromAddress}) + kCrLf
                                : std::string("X-Unsent: 1\r\n");
    head += DraftMarkHeader(KDESK_VERSION_TEXT) + AddressField("To", to) + HeaderField("Subject", subject) + "Date: ";
    head += date;
    if (finished) head += "\r\nMessage-ID: " + finished->messageId;
    head += "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n boundary=\"" + boundary_ + "\"\r\n\r\n";
    head += "--" + boundary_ + "\r\nContent-Type: text/plain; charset=utf-8\r\n";
    head += "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    // Mail programs join a line that ends in a blank with the next one (format=flowed).
    head += QuotedPrintable(ToUtf8(WithoutTrailingBlanks(noteText)));
    sink_(head);
}

void EmlWriter::Delimiter() { sink_("\r\n--" + boundary_ + kCrLf); }

void EmlWriter::BeginAttachment(std::wstring_view fileName) {
    Delimiter();
    const std::string utf8 = ToUtf8(fileName);
    const std::string plain = AsciiFallback(utf8);
    const char* type = HasExtension(fileName, L".zip") ? "application/zip" : "application/octet-stream";
    std::string head = "Content-Type: " + std::string(type) + ";\r\n name=\"" + plain + "\"\r\n";
    // The exact name goes first: readers that take the first filename parameter get it.
    head += "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment";
    if (plain != utf8) head += ExtendedFileName(utf8);
    head += ";\r\n filename=\"" + plain + "\"\r\n\r\n";
    sink_(head);
    pendingCount_ = 0;
    column_ = 0;
}

void EmlWriter::AttachmentBytes(std::span<const std::uint8_t> bytes) {
    std::size_t i = 0;
    while (pendingCount_ > 0 && pendingCount_ < 3 && i < bytes.size()) pending_[pendingCount_++] = bytes[i++];
    // Groups are encoded straight into one reused buffer: this loop carries
    // every byte of every file, so whole lines go without per-group checks.
    const std::size_t groups = (bytes.size() - i) / 3 + (pendingCount_ == 3 ? 1 : 0);
    encoded_.resize(groups * 4 + (groups / 19 + 1) * 2);
    char* next = encoded_.data();
    const auto put = [&](const std::uint8_t* group) {
        const std::uint32_t bits = (std::uint32_t{group[0]} << 16) | (std::uint32_t{group[1]} << 8) | group[2];
        next[0] = kBase64Digits[bits >> 18];
        next[1] = kBase64Digits[(bits >> 12) & 0x3F];
        next[2] = kBase64Digits[(bits >> 6) & 0x3F];
        next[3] = kBase64Digits[bits & 0x3F];
        next += 4;
    };
    const auto breakLineIfFull = [&] {
        if (column_ < kBase64LineLength) return;
        *next++ = '\r';
        *next++ = '\n';
        column_ = 0;
    };
    if (pendingCount_ == 3) {
        breakLineIfFull();
        put(pending_);
        column_ += 4;
        pendingCount_ = 0;
    }
    constexpr std::size_t kLineBytes = kBase64LineLength / 4 * 3;
    while (bytes.size() - i >= 3) {
        breakLineIfFull();
        if (column_ == 0 && bytes.size() - i >= kLineBytes) {
            for (const std::size_t end = i + kLineBytes; i < end; i += 3) put(&bytes[i]);
            column_ = kBase64LineLength;
            continue;
        }
        put(&bytes[i]);
        i += 3;
        column_ += 4;
    }
    while (i < bytes.size()) pending_[pendingCount_++] = bytes[i++];
    sink_(std::string_view(encoded_.data(), static_cast<std::size_t>(next - encoded_.data())));
}

// The line break before a group is written only when another group follows, so
// that a part never ends with an empty line.
void EmlWriter::PutGroup(std::string& out, const std::uint8_t* group, std::size_t count) {
    if (column_ == kBase64LineLength) {
        out += kCrLf;
        column_ = 0;
    }
    AppendGroup(out, group, count);
    column_ += 4;
}

void EmlWriter::EndAttachment() {
    std::string out;
    if (pendingCount_ > 0) PutGroup(out, pending_, pendingCount_);
    pendingCount_ = 0;
    sink_(out);
}

void EmlWriter::End() { sink_("\r\n--" + boundary_ + "--\r\n"); }

}  // namespace kdesk
