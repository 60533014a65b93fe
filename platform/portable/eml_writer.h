#pragma once
// An e-mail message (RFC 5322 with MIME; a draft carries "X-Unsent: 1") written as a
// stream of CR LF lines: the headers, the note text as UTF-8 quoted-printable,
// then one base64 part per attached file, fed in chunks of any size so that
// memory never grows with a file. The "X-Mailer" header marks it as this
// program's. Nothing the operator typed breaks a header: a subject that is not
// short plain ASCII becomes RFC 2047 encoded words on folded lines, and the
// recipients are addresses (never encoded words, which would hide them).
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/runtime.h"

namespace kdesk {

// What makes a message finished rather than a draft: it goes straight to the
// maker, so it names its sender and carries its own Message-ID.
struct FinishedMessage {
    std::wstring fromName;
    std::wstring fromAddress;
    std::string messageId;  // "<...@domain>"
};

class EmlWriter {
public:
    using Sink = std::function<void(std::string_view bytes)>;

    EmlWriter(Sink sink, std::string boundary) : sink_(std::move(sink)), boundary_(std::move(boundary)) {}

    // The message headers and the note text: a draft has no From (the mail
    // program fills it in), a finished message has its From and Message-ID.
    void Begin(std::wstring_view to, std::wstring_view subject, std::string_view date, std::wstring_view noteText,
               const std::optional<FinishedMessage>& finished = std::nullopt);
    void BeginAttachment(std::wstring_view fileName);
    void AttachmentBytes(std::span<const std::uint8_t> bytes);
    void EndAttachment();
    void End();

private:
    void Delimiter();
    void PutGroup(std::string& out, const std::uint8_t* group, std::size_t count);

    Sink sink_;
    std::string boundary_;
    std::uint8_t pending_[3] = {};  // bytes waiting for a whole base64 group
    std::size_t pendingCount_ = 0;
    std::size_t column_ = 0;        // characters on the current base64 line
    std::string encoded_;           // reused for each chunk of a file
};

// What EmlWriter writes, in bytes, without writing it: the message without its
// attachments (headers, note text and closing delimiter; the date is always
// as long), and one attachment part (delimiter, headers and base64 lines).
std::uint64_t MessageFrameSize(std::wstring_view to, std::wstring_view subject, std::wstring_view noteText);
std::uint64_t AttachmentPartSize(std::wstring_view fileName, std::uint64_t fileSize);

// An address field: each recipient of the text (separated by ";" or ",")
// written raw, UTF-8 where it is not ASCII, as a comma-separated list folded
// only between addresses; only a display name may become encoded words.
std::string AddressField(std::string_view name, std::wstring_view recipients);
// The text without blanks or tabs at the end of any line.
std::wstring WithoutTrailingBlanks(std::wstring_view text);
// "Name: value" and CR LF: the value as it is when it is short printable ASCII,
// otherwise as UTF-8 encoded words, one folded line each.
std::string HeaderField(std::string_view name, std::wstring_view value);
// Quoted-printable of UTF-8 bytes: CR LF pairs stay line breaks, a lone CR or LF
// is encoded, and no line is longer than 76 characters.
std::string QuotedPrintable(std::string_view utf8);
std::string Base64(std::string_view bytes);
// "Mon, 07 Dec 2026 14:30:05 +0100".
std::string Rfc5322Date(const LocalDateTime& local, int minutesEastOfUtc);
// "=_KdeskSupport_" and 16 hex digits. "=_" occurs neither in quoted-printable
// nor in base64 text, so no part can contain the boundary.
std::string DraftBoundary(std::uint64_t seed);

}  // namespace kdesk
