#include "platform/portable/free_format_item.h"

#include <algorithm>
#include <array>

namespace kdesk {

namespace {

// Hands out a file's bytes one by one, reading them in small pieces.
class ByteReader {
public:
    static constexpr int kEnd = -1;

    explicit ByteReader(InputFile& file) : file_(file) {}

    int Next() {
        if (pos_ == size_) {
            if (atEnd_) return kEnd;
            size_ = std::min(file_.Read(buffer_.data(), buffer_.size()), buffer_.size());
            pos_ = 0;
            if (size_ == 0) {
                atEnd_ = true;
                return kEnd;
            }
        }
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

private:
    InputFile& file_;
    std::array<char, 512> buffer_{};
    std::size_t pos_ = 0, size_ = 0;
    bool atEnd_ = false;
};

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool EndsUnquotedItem(int c) { return c == ByteReader::kEnd || c == ',' || c == '\r' || c == '\n'; }

std::string ReadQuotedRest(ByteReader& reader) {
    std::string item;
    for (int c = reader.Next(); c != ByteReader::kEnd && c != '"'; c = reader.Next()) {
        item.push_back(static_cast<char>(c));
        if (item.size() == kMaxFreeFormatItem) break;
    }
    return item;
}

std::string ReadUnquoted(ByteReader& reader, int first) {
    std::string item;
    for (int c = first; !EndsUnquotedItem(c); c = reader.Next()) {
        item.push_back(static_cast<char>(c));
        if (item.size() == kMaxFreeFormatItem) break;
    }
    item.erase(item.find_last_not_of(" \t") + 1);
    return item;
}

}  // namespace

std::optional<std::string> ReadFirstItem(InputFile& file) {
    ByteReader reader(file);
    int c = reader.Next();
    if (c == ByteReader::kEnd) return std::nullopt;
    while (IsBlank(c)) c = reader.Next();
    if (c == '"') return ReadQuotedRest(reader);
    return ReadUnquoted(reader, c);
}

}  // namespace kdesk
