#include "platform/portable/free_format_item.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/runtime_error.h"

namespace kdesk {
namespace {

// Hands out a byte string in pieces of at most `piece` bytes, counting what it gave.
class PiecewiseFile : public InputFile {
public:
    PiecewiseFile(std::string bytes, std::size_t piece) : bytes_(std::move(bytes)), piece_(piece) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, piece_, bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, count);
        pos_ += count;
        return count;
    }
    std::size_t BytesRead() const { return pos_; }

private:
    std::string bytes_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

// An endless one-line file of digits.
class EndlessLineFile : public InputFile {
public:
    std::size_t Read(char* buffer, std::size_t size) override {
        std::memset(buffer, '7', size);
        total += size;
        return size;
    }
    std::size_t total = 0;
};

class FailingFile : public InputFile {
public:
    std::size_t Read(char*, std::size_t) override { throw RuntimeError(kErrDeviceIo); }
};

TEST(FreeFormatItem, FirstItemFollowsTheItemRules) {
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain number", "0100", "0100"},
        {"ends at the comma", "0001,extra", "0001"},
        {"blanks before the item", " \t 1000\r\n", "1000"},
        {"trailing blanks trimmed", "AB12  \t,x", "AB12"},
        {"quoted item holds commas", "\"12,34 5\",next", "12,34 5"},
        {"blanks before a quoted item", "  \" padded \"", " padded "},
        {"quoted item spans lines", "\"a\r\nb\"", "a\r\nb"},
        {"unterminated quote runs to the end", "\"open, item", "open, item"},
        {"only the first line", "first\nsecond", "first"},
        {"CRLF ends the line", "0010\r\n0001\r\n", "0010"},
        {"lone CR ends the line", "77\rmore", "77"},
        {"empty file", "", std::nullopt},
        {"only blanks", "   ", ""},
        {"empty first line", "\r\n0100", ""},
        {"leading comma", ",0100", ""},
        {"ANSI bytes kept", "Caff\xE8 1", "Caff\xE8 1"},
        {"quote inside an unquoted item", "ab\"c,d", "ab\"c"},
    };
    for (const Case& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            PiecewiseFile file(c.bytes, piece);
            EXPECT_EQ(ReadFirstItem(file), c.expected);
        }
    }
}

TEST(FreeFormatItem, ReadsNoFurtherThanTheItem) {
    const std::string rest(100000, 'x');
    PiecewiseFile file("12," + rest, 1);
    EXPECT_EQ(ReadFirstItem(file), "12");
    EXPECT_EQ(file.BytesRead(), 3u);
}

TEST(FreeFormatItem, HugeLineIsCutAtTheItemLimit) {
    EndlessLineFile unquoted;
    EXPECT_EQ(ReadFirstItem(unquoted), std::string(kMaxFreeFormatItem, '7'));
    EXPECT_LT(unquoted.total, kMaxFreeFormatItem + 4096);

    PiecewiseFile quoted("\"" + std::string(3 * kMaxFreeFormatItem, 'q'), 4096);
    EXPECT_EQ(ReadFirstItem(quoted)->size(), kMaxFreeFormatItem);
    EXPECT_LT(quoted.BytesRead(), kMaxFreeFormatItem + 4096);
}

TEST(FreeFormatItem, ReadFailureReachesTheCaller) {
    FailingFile file;
    try {
        ReadFirstItem(file);
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrDeviceIo);
    }
}

}  // namespace
}  // namespace kdesk
