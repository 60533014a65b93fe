#pragma once
// A ZIP archive (PKWARE's APPNOTE) written as a stream: each entry's local
// header, its deflated bytes fed in chunks of any size, then a data descriptor
// with the CRC-32 and sizes, since the output is never read back or rewound;
// at the end the central directory and the end record with the archive's
// comment. Names are UTF-8 (flag bit 11). Sizes and offsets that reach the
// ZIP64 threshold go into ZIP64 fields and records. Memory stays the same
// whatever the entries' sizes; only the central directory's records are kept.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime.h"

struct z_stream_s;

namespace kdesk {

// MS-DOS date and time as ZIP headers hold them (two-second steps, 1980 to 2107).
struct DosDateTime {
    std::uint16_t date = 0;
    std::uint16_t time = 0;
};
// Times outside the range the format holds become its first or last moment.
DosDateTime ToDosDateTime(const LocalDateTime& when);

class ZipWriter {
public:
    using Sink = std::function<void(std::string_view bytes)>;
    // The largest value a 32-bit field holds; tests lower it to get ZIP64
    // records without writing 4 GiB.
    static constexpr std::uint64_t kZip64Threshold = 0xFFFFFFFF;
    static constexpr int kLevel = 6;

    explicit ZipWriter(Sink sink, std::uint64_t zip64Threshold = kZip64Threshold);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // expectedSize (the file's size when opened) lets an entry that may pass
    // the threshold carry ZIP64 fields in its local header already, as
    // streaming readers expect; the central directory is right either way.
    void BeginEntry(std::string_view utf8Name, DosDateTime modified, std::uint64_t expectedSize = 0);
    void EntryBytes(std::span<const std::uint8_t> bytes);
    void EndEntry();
    // Forgets the entry begun last; returns the offset where it began, to which
    // the caller cuts its output back before the next entry.
    std::uint64_t AbandonEntry();
    void Finish(std::string_view comment);

    std::uint64_t Offset() const { return offset_; }

private:
    struct Entry {
        std::string name;
        DosDateTime modified;
        std::uint32_t crc = 0;
        std::uint64_t compressedSize = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
        bool zip64Local = false;
    };

    void Put(std::string_view bytes);
    void Deflate(std::span<const std::uint8_t> bytes, int flush);
    void PutCentralRecord(const Entry& entry);
    void PutEnd(std::uint64_t centralOffset, std::uint64_t centralSize, std::string_view comment);
    bool Large(std::uint64_t value) const { return value >= threshold_; }

    Sink sink_;
    std::uint64_t threshold_;
    std::uint64_t offset_ = 0;
    std::unique_ptr<z_stream_s> stream_;
    std::vector<std::uint8_t> out_;  // one chunk of deflated bytes
    Entry current_;
    std::vector<Entry> entries_;  // for the central directory
    bool inEntry_ = false;
};

// The comment of a ZIP archive, from the archive's last bytes (the last
// 65,557 or all): the end record must end exactly there. Nothing when the
// bytes do not end with an end record.
std::optional<std::string> ZipCommentOf(std::span<const std::uint8_t> tail);

// How many bytes from a file's end ZipCommentOf needs at most.
inline constexpr std::size_t kZipTailSize = 22 + 0xFFFF;

}  // namespace kdesk
