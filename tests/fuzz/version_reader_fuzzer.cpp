// libFuzzer target: arbitrary bytes as a PE image and as a version block.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/portable/pe_version_reader.h"

namespace {

constexpr const wchar_t* kKeys[] = {L"CompanyName",      L"FileDescription", L"FileVersion",
                                    L"InternalName",     L"LegalCopyright",  L"OriginalFileName",
                                    L"ProductName",      L"ProductVersion"};

void QueryLikeTheProgram(kdesk::pe::ByteView block) {
    auto table = kdesk::pe::QueryBinaryValue(block, L"\\VarFileInfo\\Translation");
    std::wstring key = L"041004B0";
    if (table && table->size() >= 4) {
        static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
        key.clear();
        for (int i : {1, 0, 3, 2})
            for (int shift : {4, 0}) key.push_back(kHex[((*table)[i] >> shift) & 0xF]);
    }
    for (const wchar_t* name : kKeys) kdesk::pe::QueryStringValue(block, L"\\StringFileInfo\\" + key + L"\\" + name);
    kdesk::pe::QueryVersionValue(block, L"\\");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kdesk::pe::ByteView bytes(data, size);
    if (auto block = kdesk::pe::FindVersionBlock(bytes, size ? data[0] | 0x0400 : 0x0409)) QueryLikeTheProgram(*block);
    QueryLikeTheProgram(bytes);
    return 0;
}
