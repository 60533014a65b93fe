// libFuzzer target: arbitrary bytes as the text file the free-format item reader
// reads. The first byte chooses how many bytes each Read hands out (1 to 256) and
// whether the file fails with a read error half-way, so short reads and failing
// devices are covered as well as the contents.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/portable/free_format_item.h"
#include "platform/runtime_error.h"

namespace {

class ScriptedInputFile : public kdesk::InputFile {
public:
    ScriptedInputFile(std::string bytes, std::size_t piece, bool failHalfWay)
        : bytes_(std::move(bytes)), piece_(piece), failAt_(failHalfWay ? bytes_.size() / 2 : bytes_.size() + 1) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        if (pos_ >= failAt_) throw kdesk::RuntimeError(kdesk::kErrDeviceIo);
        const std::size_t count = std::min({size, piece_, bytes_.size() - pos_});
        std::copy_n(bytes_.data() + pos_, count, buffer);
        pos_ += count;
        return count;
    }

private:
    std::string bytes_;
    std::size_t piece_;
    std::size_t failAt_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = static_cast<std::size_t>(data[0] & 0x7F) * 2 + 1;
    const bool failHalfWay = (data[0] & 0x80) != 0;
    const std::string contents(reinterpret_cast<const char*>(data + 1), size - 1);
    ScriptedInputFile file(contents, piece, failHalfWay);
    try {
        const auto item = kdesk::ReadFirstItem(file);
        if (contents.empty() != !item.has_value()) std::abort();  // nullopt exactly for an empty file
        if (item && (item->size() > kdesk::kMaxFreeFormatItem || item->size() > contents.size())) std::abort();
    } catch (const kdesk::RuntimeError&) {
        // A failing device is reported to the caller, as on Windows.
    }
    return 0;
}
