// The small rules around a draft: its file name, which old drafts go, whether a
// recipient can be an address, and the machine a mail client DLL is built for.
#include <gtest/gtest.h>

#include "platform/portable/draft_files.h"
#include "platform/portable/mail_address.h"
#include "platform/portable/pe_machine.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace kdesk {
namespace {

TEST(DraftFiles, StemIsTheSubjectMadeSafeForAFileName) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"VelAutoMail_99MEY_20130415_143005", L"VelAutoMail_99MEY_20130415_143005"},
        {L"a/b\\c:d*e?f\"g<h>i|j\r\nk", L"a_b_c_d_e_f_g_h_i_j__k"},
        {L"Caff\u00e8 \u2116 1. . ", L"Caff\u00e8 \u2116 1"},
        {L"", L"messaggio"},
        {L" ...", L"messaggio"},
        {L"CON", L"_CON"},
        {L"nul.x", L"_nul.x"},
        {L"CONSOLE", L"CONSOLE"},
        {L"NUL .x", L"_NUL .x"},
        {L"com0", L"_com0"},
        {L"LPT9.log", L"_LPT9.log"},
        {L"COM\u00b9", L"_COM\u00b9"},
        {L"CONIN$", L"_CONIN$"},
        {L"conout$ . txt", L"_conout$ . txt"},
        {L"COM10", L"COM10"},
        {std::wstring(150, L'a'), std::wstring(100, L'a')},
        {std::wstring(99, L'a') + L"\xD83D\xDE00", std::wstring(99, L'a')},
    };
    for (const auto& [subject, stem] : cases) EXPECT_EQ(DraftFileStem(subject), stem) << subject.size();
    EXPECT_EQ(DraftFileName(L"x", 1), L"x.eml");
    EXPECT_EQ(DraftFileName(L"x", 3), L"x (3).eml");
}

TEST(DraftFiles, OnlyTheProgramsOwnDraftsCount) {
    EXPECT_TRUE(CarriesDraftMark("X-Unsent: 1\r\n" + DraftMarkHeader("0.0.0.1") + "To: a@b.it\r\n"));
    EXPECT_TRUE(CarriesDraftMark(DraftMarkHeader("0.0.0.1")));
    EXPECT_FALSE(CarriesDraftMark("X-Unsent: 1\r\nTo: a@b.it\r\nSubject: X-Mailer: KdeskSupport 1\r\n"));
    EXPECT_FALSE(CarriesDraftMark(std::string(600, 'x') + "\r\n" + DraftMarkHeader("1")));
    EXPECT_FALSE(CarriesDraftMark("X-Mailer: Thunderbird\r\n"));
    const std::pair<std::wstring, bool> names[] = {
        {L"a.eml", true}, {L"A.EML", true}, {L"a.emlx", false}, {L"a.eml_old", false}, {L"a.eml.part", false},
        {L".eml", false},
    };
    for (const auto& [name, matches] : names) EXPECT_EQ(HasExtension(name, L".eml"), matches) << name.size();
}

TEST(DraftFiles, TheNewestStayTheOldestGo) {
    const std::vector<DraftFile> drafts = {{L"b.eml", 20}, {L"a.eml", 10}, {L"d.eml", 40}, {L"c.eml", 30}};
    EXPECT_EQ(DraftsToRemove(drafts, 2), (std::vector<std::wstring>{L"b.eml", L"a.eml"}));
    EXPECT_TRUE(DraftsToRemove(drafts, 20).empty());
}

TEST(MailAddress, PlausibleAddresses) {
    const std::pair<std::wstring, bool> cases[] = {
        {L"assistenza@vuvivazoror.example", true}, {L"nome.cognome+kd@sub.dominio.it", true},
        {L"caff\u00e8@bar.it", true},               {L"", false},
        {L"assistenza", false},                     {L"@dominio.it", false},
        {L"a@dominio", false},                      {L"a@@dominio.it", false},
        {L"a b@dominio.it", false},                 {L"a@dominio.it\r\nBcc: x@y.it", false},
        {L"Rossi <a@dominio.it>", false},           {L"a@dominio..it", false},
        {L".a@dominio.it", false},                  {L"a@-dominio.it", false},
        {L"a@dominio.it,b@dominio.it", false},
    };
    for (const auto& [text, plausible] : cases) EXPECT_EQ(IsPlausibleMailAddress(text), plausible) << text.size();
}

TEST(MailAddress, RecipientListsSplitIntoAddresses) {
    using P = std::vector<std::pair<std::wstring, std::wstring>>;
    const auto split = [](std::wstring_view text) {
        P pairs;
        for (const MailRecipient& r : SplitRecipients(text)) pairs.emplace_back(r.name, r.address);
        return pairs;
    };
    EXPECT_EQ(split(L"  a@b.it "), (P{{L"", L"a@b.it"}}));
    EXPECT_EQ(split(L"a@b.it; c@d.it,e@f.it;;"), (P{{L"", L"a@b.it"}, {L"", L"c@d.it"}, {L"", L"e@f.it"}}));
    EXPECT_EQ(split(L"\"Rossi, Mario\" <m@r.it>; Bar Roma < bar@roma.it >"),
              (P{{L"Rossi, Mario", L"m@r.it"}, {L"Bar Roma", L"bar@roma.it"}}));
    EXPECT_EQ(split(L"a@b.it\r\nBcc: x@y.it"), (P{{L"", L"a@b.it"}, {L"", L"Bcc: x@y.it"}}));
    EXPECT_EQ(split(L" ; , "), P{});
    EXPECT_TRUE(IsPlausibleRecipientList(L" a@b.it ; Rossi <m@r.it>"));
    EXPECT_FALSE(IsPlausibleRecipientList(L"a@b.it; assistenza"));
    EXPECT_FALSE(IsPlausibleRecipientList(L" ; "));
}

std::vector<std::uint8_t> PeHead(std::uint32_t peOffset, std::uint16_t machine) {
    std::vector<std::uint8_t> head(peOffset + 6, 0);
    head[0] = 'M';
    head[1] = 'Z';
    for (int i = 0; i < 4; ++i) head[0x3C + i] = static_cast<std::uint8_t>(peOffset >> (8 * i));
    if (peOffset + 6 <= head.size()) {
        head[peOffset] = 'P';
        head[peOffset + 1] = 'E';
        head[peOffset + 4] = static_cast<std::uint8_t>(machine);
        head[peOffset + 5] = static_cast<std::uint8_t>(machine >> 8);
    }
    return head;
}

TEST(PeMachine, ReadsTheFileHeaderWithinTheBytesGiven) {
    EXPECT_EQ(pe::ImageMachine(PeHead(0x80, pe::kMachineAmd64)), pe::kMachineAmd64);
    EXPECT_EQ(pe::ImageMachine(PeHead(0x40, pe::kMachineI386)), pe::kMachineI386);
    auto notPe = PeHead(0x80, pe::kMachineAmd64);
    notPe[0x80] = 'N';
    EXPECT_EQ(pe::ImageMachine(notPe), std::nullopt);
    auto cut = PeHead(0x80, pe::kMachineAmd64);
    cut.resize(0x84);
    EXPECT_EQ(pe::ImageMachine(cut), std::nullopt);
    auto farOffset = PeHead(0x80, pe::kMachineAmd64);
    farOffset[0x3F] = 0xFF;
    EXPECT_EQ(pe::ImageMachine(farOffset), std::nullopt);
    EXPECT_EQ(pe::ImageMachine(std::vector<std::uint8_t>{'M', 'Z'}), std::nullopt);
}

void Put(std::vector<std::uint8_t>& image, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// An ARM64 DLL's headers and its one section (raw data at 0x400, mapped at
// 0x1000) holding the load configuration.
struct Arm64Dll {
    std::uint64_t chpeMetadata = 0;
    std::uint32_t configRva = 0x1010;
    std::uint32_t configSize = 0x140;
    std::uint16_t magic = 0x20B;
    std::size_t fileSize = 0x600;

    std::vector<std::uint8_t> Image() const {
        std::vector<std::uint8_t> image = PeHead(0x80, pe::kMachineArm64);
        image.resize(0x600);
        const std::size_t optional = 0x98;
        Put(image, 0x86, 1, 2);          // sections
        Put(image, 0x94, 0xF0, 2);       // optional header size: 16 directories
        Put(image, optional, magic, 2);
        Put(image, optional + 108, 16, 4);
        Put(image, optional + 192, configRva, 4);
        Put(image, optional + 196, configSize, 4);
        Put(image, optional + 0xF0 + 12, 0x1000, 4);
        Put(image, optional + 0xF0 + 16, 0x200, 4);
        Put(image, optional + 0xF0 + 20, 0x400, 4);
        Put(image, 0x410, configSize, 4);
        Put(image, 0x410 + 0xC8, chpeMetadata, 8);
        image.resize(fileSize);
        return image;
    }
};

// What the mail client check reads: the load configuration's offset from the
// headers, then its first bytes.
std::optional<bool> IsArm64x(const std::vector<std::uint8_t>& image) {
    const auto offset = pe::LoadConfigOffset(std::span(image).first(std::min<std::size_t>(image.size(), 0x400)));
    if (!offset) return std::nullopt;
    if (*offset >= image.size()) return false;
    const auto at = static_cast<std::size_t>(*offset);
    return pe::NamesChpeMetadata(std::span(image).subspan(at, std::min(pe::kLoadConfigBytesRead, image.size() - at)));
}

// ARM64X is told from pure ARM64 by its load configuration's CHPE metadata pointer.
TEST(PeMachine, Arm64xByItsLoadConfiguration) {
    const struct {
        const char* what;
        Arm64Dll dll;
        std::optional<bool> arm64x;
    } cases[] = {
        {"ARM64X", {.chpeMetadata = 0x180002000}, true},
        {"pure ARM64", {}, false},
        {"configuration before the CHPE field", {.chpeMetadata = 0x180002000, .configSize = 0x94}, false},
        {"configuration cut short by the file's end", {.chpeMetadata = 0x180002000, .fileSize = 0x480}, false},
        {"no load configuration", {.chpeMetadata = 0x180002000, .configRva = 0}, std::nullopt},
        {"configuration outside every section", {.chpeMetadata = 0x180002000, .configRva = 0x3000}, std::nullopt},
        {"PE32", {.chpeMetadata = 0x180002000, .magic = 0x10B}, std::nullopt},
        {"headers cut before the section table", {.chpeMetadata = 0x180002000, .fileSize = 0x190}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(IsArm64x(c.dll.Image()), c.arm64x) << c.what;
}

// An x64 program on ARM64 loads ARM64X DLLs, which carry the ARM64 type, and
// no pure ARM64 one.
TEST(PeMachine, WhichDllsLoadIntoTheProgram) {
    using namespace pe;
    const std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, bool, bool> cases[] = {
        {kMachineAmd64, kMachineAmd64, kMachineAmd64, false, true}, {kMachineAmd64, kMachineAmd64, kMachineI386, false, false},
        {kMachineAmd64, kMachineAmd64, kMachineArm64, true, false}, {kMachineAmd64, kMachineArm64, kMachineArm64, true, true},
        {kMachineAmd64, kMachineArm64, kMachineArm64, false, false}, {kMachineAmd64, kMachineArm64, kMachineAmd64, false, true},
        {kMachineI386, kMachineArm64, kMachineArm64, true, false},  {kMachineI386, kMachineAmd64, kMachineI386, false, true},
        {kMachineI386, kMachineAmd64, kMachineAmd64, false, false}, {kMachineArm64, kMachineArm64, kMachineArm64, false, true},
    };
    for (const auto& [program, native, dll, arm64x, loads] : cases)
        EXPECT_EQ(LoadsInto(dll, arm64x, program, native), loads)
            << std::hex << program << " " << native << " " << dll << " " << arm64x;
}

TEST(DraftFiles, OnlyTheProgramsOwnPartNamesAreStale) {
    const std::pair<std::wstring, bool> names[] = {
        {L"VelAutoMail_001_20250301_101500.zip.part", true},
        {L"VelAutoMail_001_20250301_101500 (2).zip.part", true},
        {L"lettera_x_20250301_101500.EML.Part", true},
        {L"VelAutoMail_001_20250301_101500_0123456789abcdef0123456789abcdef.eml.part", false},
        {std::wstring(100, L'a') + L".eml.part", true},
        {std::wstring(100, L'a') + L" (3).zip.part", true},
        {L"lettera.eml.part", false},
        {L"lettera (2).eml.part", false},
        {L"VelAutoMail_001_2025031_101500.eml.part", false},
        {L"VelAutoMail_001_20250301-101500.eml.part", false},
        {L"VelAutoMail_001_20250301_101500 ().eml.part", false},
        {L".zip.part", false},
        {L"appunti.part", false},
        {L"dati_20250301_101500.txt.part", false},
        {L"VelAutoMail_001_20250301_101500.zip", false},
        {L"a_20250301_101500.zip.part.old", false},
        {L"a_20250301_101500.zip.partial", false},
    };
    for (const auto& [name, stale] : names) EXPECT_EQ(IsPartName(name), stale) << name.size();
}

}  // namespace
}  // namespace kdesk
