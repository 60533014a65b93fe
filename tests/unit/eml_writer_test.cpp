#include "platform/portable/eml_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "build_facts.h"

namespace kdesk {
namespace {

const std::string kBoundary = DraftBoundary(0x0123456789ABCDEFull);

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

// What a reader cannot see once it has decoded the file: every line ends in
// CR LF, none is longer than 78 characters, and no bare CR or LF is left.
void ExpectWellFormedLines(const std::string& text) {
    ASSERT_TRUE(text.ends_with("\r\n"));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            EXPECT_EQ(text[i + 1], '\n') << "bare CR at " << i;
        }
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << "bare LF at " << i;
        }
    }
    for (const std::string& line : Lines(text)) EXPECT_LE(line.size(), 78u) << line;
}

std::vector<std::uint8_t> AllByteValues(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

std::string WriteDraft(const std::vector<std::uint8_t>& file, std::size_t chunk) {
    std::string out;
    EmlWriter writer([&](std::string_view bytes) { out += bytes; }, kBoundary);
    const std::wstring note = L"Dati Cliente: Bar \u00abRoma\u00bb \r\n\r\n--" + std::wstring(kBoundary.begin(), kBoundary.end()) +
                              L"\r\nriga con LF\nsola e = uguale, spazio finale \r\n" + std::wstring(300, L'x');
    writer.Begin(L"assistenza@example.com\r\nBcc: altri@example.com", L"Caff\u00e8 \u2116 1_99MEY", "Mon, 07 Dec 2026 14:30:05 +0100",
                 note);
    for (const wchar_t* name : {L"LOG.TXT", L"Caff\u00e8 \u2116 1 con un nome lungo lungo lungo lungo lungo lungo lungo.txt"}) {
        writer.BeginAttachment(name);
        for (std::size_t i = 0; i < file.size(); i += chunk)
            writer.AttachmentBytes(std::span(file).subspan(i, std::min(chunk, file.size() - i)));
        writer.EndAttachment();
    }
    writer.End();
    return out;
}

TEST(EmlWriter, LinesAreCrLfAndShortWhateverTheTextsAndBytes) {
    const std::string draft = WriteDraft(AllByteValues(1000), 57);
    ExpectWellFormedLines(draft);
    // The boundary stands only on its own delimiter lines: the note text that
    // holds it is quoted-printable, the files base64.
    const auto lines = Lines(draft);
    EXPECT_EQ(std::ranges::count(lines, "--" + kBoundary), 3);
    EXPECT_EQ(std::ranges::count(lines, "--" + kBoundary + "--"), 1);
    std::size_t mentions = 0;
    for (std::size_t at = draft.find(kBoundary); at != std::string::npos; at = draft.find(kBoundary, at + 1)) ++mentions;
    EXPECT_EQ(mentions, 5u);  // the Content-Type parameter and the four delimiters
    // A line break typed into the recipient never starts a header of its own.
    EXPECT_EQ(draft.find("\r\nBcc:"), std::string::npos);
}

TEST(EmlWriter, FileBytesEncodeTheSameWhateverTheChunks) {
    const auto file = AllByteValues(1000);
    const std::string whole = WriteDraft(file, file.size());
    for (std::size_t chunk : {1u, 2u, 4u, 56u, 58u, 999u}) EXPECT_EQ(WriteDraft(file, chunk), whole) << chunk;
}

std::string HeadOf(const std::optional<FinishedMessage>& finished) {
    std::string out;
    EmlWriter writer([&](std::string_view bytes) { out += bytes; }, kBoundary);
    writer.Begin(L"a@example.com", L"Oggetto", "Mon, 07 Dec 2026 14:30:05 +0100", L"testo", finished);
    return out.substr(0, out.find("MIME-Version"));
}

TEST(EmlWriter, DraftLeavesTheSenderToTheMailProgramAFinishedMessageNamesIt) {
    EXPECT_EQ(HeadOf(std::nullopt), "X-Unsent: 1\r\nX-Mailer: KdeskSupport " KDESK_VERSION_TEXT
                                    "\r\nTo: a@example.com\r\nSubject: Oggetto\r\n"
                                    "Date: Mon, 07 Dec 2026 14:30:05 +0100\r\n");
    EXPECT_EQ(HeadOf(FinishedMessage{L"KdeskSupport 99MEY012345", L"assistenza@example.com", "<ab@example.com>"}),
              "From: KdeskSupport 99MEY012345 <assistenza@example.com>\r\nX-Mailer: KdeskSupport " KDESK_VERSION_TEXT
              "\r\nTo: a@example.com\r\nSubject: Oggetto\r\nDate: Mon, 07 Dec 2026 14:30:05 +0100\r\n"
              "Message-ID: <ab@example.com>\r\n");
    // A serial number read from the installation's file never starts a header of its own.
    const std::string head = HeadOf(FinishedMessage{L"KdeskSupport 1\r\nBcc: z@example.com", L"s@example.com", "<c@e>"});
    EXPECT_EQ(head.find("\r\nBcc:"), std::string::npos);
    EXPECT_TRUE(head.starts_with("From: =?utf-8?B?")) << head;
}

struct HeaderCase {
    const char* name;
    std::wstring value;
    std::string expected;  // empty: only the shape is checked
};

class HeaderFieldTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderFieldTest, IsOneFoldedAsciiFieldThatNothingTypedCanBreak) {
    const HeaderCase& c = GetParam();
    const std::string field = HeaderField("Subject", c.value);
    if (!c.expected.empty()) {
        EXPECT_EQ(field, c.expected);
    }
    ExpectWellFormedLines(field);
    const auto lines = Lines(field);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, 1), " ") << "continuation line";
    EXPECT_TRUE(std::ranges::all_of(field, [](char ch) { return ch > 0 && ch < 0x7F; }));
}

INSTANTIATE_TEST_SUITE_P(
    Values, HeaderFieldTest,
    ::testing::Values(HeaderCase{"plain", L"VelAutoMail_99MEY_20130415_143005", "Subject: VelAutoMail_99MEY_20130415_143005\r\n"},
                      HeaderCase{"empty", L"", "Subject:\r\n"},
                      HeaderCase{"accented", L"caff\u00e8", "Subject: =?utf-8?B?Y2FmZsOo?=\r\n"},
                      HeaderCase{"line break", L"a\r\nTo: x@y.it", "Subject: =?utf-8?B?YQ0KVG86IHhAeS5pdA==?=\r\n"},
                      HeaderCase{"leading blank", L" _99", "Subject: =?utf-8?B?IF85OQ==?=\r\n"},
                      HeaderCase{"looks encoded", L"=?utf-8?B?eA==?=", ""},
                      HeaderCase{"long plain", std::wstring(200, L'a'), ""},
                      HeaderCase{"long accented", std::wstring(100, L'\u00e8') + L"\U0001F600", ""}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::ranges::replace(name, ' ', '_');
        return name;
    });

// Addresses stand raw (UTF-8 where they are not ASCII): an encoded word in an
// address hides it from every mail program.
TEST(AddressField, WritesEachAddressRawAndFoldsOnlyBetweenThem) {
    const std::string longAddress = std::string(70, 'a') + "@bar.it";
    const std::pair<std::wstring, std::string> cases[] = {
        {L"assistenza@vuvivazoror.example", "To: assistenza@vuvivazoror.example\r\n"},
        {L"  a@b.it\t", "To: a@b.it\r\n"},
        {L"caff\u00e8@bar.it", "To: caff\xC3\xA8@bar.it\r\n"},
        {std::wstring(longAddress.begin(), longAddress.end()), "To: " + longAddress + "\r\n"},
        {L"a@b.it; c@d.it , e@f.it", "To: a@b.it, c@d.it, e@f.it\r\n"},
        {L"Bar Roma <bar@roma.it>", "To: Bar Roma <bar@roma.it>\r\n"},
        {L"\"Rossi, M.\" <m@r.it>", "To: \"Rossi, M.\" <m@r.it>\r\n"},
        {L"Caff\u00e8 <c@b.it>", "To: =?utf-8?B?Q2FmZsOo?= <c@b.it>\r\n"},
        {L"a@b.it\r\nBcc: x@y.it", "To: a@b.it, Bcc: x@y.it\r\n"},
        {L"", "To:\r\n"},
        {std::wstring(L"") + L"x" + std::wstring(30, L'1') + L"@a.it;" + L"y" + std::wstring(30, L'2') + L"@a.it;" +
             L"z" + std::wstring(30, L'3') + L"@a.it",
         "To: x" + std::string(30, '1') + "@a.it, y" + std::string(30, '2') + "@a.it,\r\n z" + std::string(30, '3') +
             "@a.it\r\n"},
    };
    for (const auto& [value, field] : cases) EXPECT_EQ(AddressField("To", value), field);
}

TEST(WithoutTrailingBlanks, DropsBlanksAndTabsAtLineEndsOnly) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"Dati Cliente: \r\nTipo Driver: \r\nPortaCom: 1", L"Dati Cliente:\r\nTipo Driver:\r\nPortaCom: 1"},
        {L"a \t \r\n\t b\t", L"a\r\n\t b"},
        {L"x \ny \rz ", L"x\ny\rz"},
        {L"  \r\n", L"\r\n"},
        {L"a  b", L"a  b"},
    };
    for (const auto& [text, trimmed] : cases) EXPECT_EQ(WithoutTrailingBlanks(text), trimmed);
}

TEST(QuotedPrintable, KeepsLineBreaksEncodesWhatIsNotPlainAndBreaksLongLines) {
    const std::pair<std::string, std::string> cases[] = {
        {"a=b", "a=3Db"},
        {"x \r\ny\t", "x=20\r\ny=09"},
        {"a\nb\rc", "a=0Ab=0Dc"},
        {"caff\xC3\xA8", "caff=C3=A8"},
        {std::string(80, 'x'), std::string(75, 'x') + "=\r\n" + std::string(5, 'x')},
        {std::string(74, 'x') + "=", std::string(74, 'x') + "=\r\n=3D"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(QuotedPrintable(in), out) << in;
}

TEST(Rfc5322Date, NamesTheWeekdayAndTheOffsetFromUtc) {
    EXPECT_EQ(Rfc5322Date({2026, 12, 7, 14, 30, 5}, 60), "Mon, 07 Dec 2026 14:30:05 +0100");
    EXPECT_EQ(Rfc5322Date({2000, 2, 29, 0, 0, 0}, -330), "Tue, 29 Feb 2000 00:00:00 -0530");
    EXPECT_EQ(Rfc5322Date({1970, 1, 1, 23, 59, 59}, 0), "Thu, 01 Jan 1970 23:59:59 +0000");
    EXPECT_EQ(Rfc5322Date({2024, 3, 31, 2, 0, 0}, 120), "Sun, 31 Mar 2024 02:00:00 +0200");
}

}  // namespace
}  // namespace kdesk
