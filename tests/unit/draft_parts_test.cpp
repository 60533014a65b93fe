// The small rules around a draft: its file name, which old drafts go, whether a
// recipient can be an address, and the machine a mail client DLL is built for.
#include <gtest/gtest.h>

#include "platform/portable/draft_files.h"
#include "platform/portable/mail_address.h"
#include "platform/portable/pe_machine.h"

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
        {std::wstring(150, L'a'), std::wstring(100, L'a')},
    };
    for (const auto& [subject, stem] : cases) EXPECT_EQ(DraftFileStem(subject), stem) << subject.size();
    EXPECT_EQ(DraftFileName(L"x", 1), L"x.eml");
    EXPECT_EQ(DraftFileName(L"x", 3), L"x (3).eml");
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

}  // namespace
}  // namespace kdesk
