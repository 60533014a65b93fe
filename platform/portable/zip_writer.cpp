#include "platform/portable/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "platform/portable/local_date_time.h"

namespace kdesk {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::size_t kEndSize = 22;

// Sizes follow the data (bit 3); names are UTF-8 (bit 11).
constexpr std::uint16_t kFlags = 0x0008 | 0x0800;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kVersionDeflate = 20;
constexpr std::uint16_t kVersionZip64 = 45;
// MS-DOS attributes, written to APPNOTE 6.3 (the one that defines bit 11).
constexpr std::uint16_t kVersionMadeBy = 63;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint32_t kEscape32 = 0xFFFFFFFF;
constexpr std::uint16_t kEscape16 = 0xFFFF;

constexpr std::size_t kOutChunk = std::size_t{64} * 1024;
// zlib counts input in unsigned int; larger spans go in pieces.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;

class Bytes {
public:
    Bytes& U16(std::uint64_t value) { return Little(value, 2); }
    Bytes& U32(std::uint64_t value) { return Little(value, 4); }
    Bytes& U64(std::uint64_t value) { return Little(value, 8); }
    Bytes& Text(std::string_view text) {
        bytes_ += text;
        return *this;
    }
    const std::string& Get() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    Bytes& Little(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
        return *this;
    }
    std::string bytes_;
};

std::uint64_t ReadLittle(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

void CheckLength(std::size_t length, const char* what) {
    if (length > kEscape16) throw std::length_error(what);
}

}  // namespace

DosDateTime ToDosDateTime(const LocalDateTime& when) {
    if (!IsValidLocalDateTime(when) || when.year < 1980) return {(1 << 5) | 1, 0};  // 1 January 1980
    if (when.year > 2107) return ToDosDateTime({2107, 12, 31, 23, 59, 59});
    return {static_cast<std::uint16_t>(((when.year - 1980) << 9) | (when.month << 5) | when.day),
            static_cast<std::uint16_t>((when.hour << 11) | (when.minute << 5) | (when.second / 2))};
}

ZipWriter::ZipWriter(Sink sink, std::uint64_t zip64Threshold)
    : sink_(std::move(sink)), threshold_(zip64Threshold), stream_(std::make_unique<z_stream>()), out_(kOutChunk) {
    // Raw deflate (no zlib wrapper), a 32 KiB window, zlib's default memory level.
    const int status = deflateInit2(stream_.get(), kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (status == Z_MEM_ERROR) throw std::bad_alloc();
    if (status != Z_OK) throw std::runtime_error("zlib deflateInit2 failed");
}

ZipWriter::~ZipWriter() { deflateEnd(stream_.get()); }

void ZipWriter::Put(std::string_view bytes) {
    sink_(bytes);
    offset_ += bytes.size();
}

void ZipWriter::BeginEntry(std::string_view utf8Name, DosDateTime modified, std::uint64_t expectedSize) {
    if (inEntry_) throw std::logic_error("ZipWriter: entry not ended");
    CheckLength(utf8Name.size(), "ZIP entry name too long");
    // Deflate adds a little to data that does not compress (5 bytes a 64 KiB block).
    const bool zip64 = expectedSize > 0 && Large(expectedSize + expectedSize / 1000 + 64);
    current_ = {std::string(utf8Name), modified, 0, 0, 0, offset_, zip64};
    Bytes header;
    header.U32(kLocalHeaderSignature).U16(zip64 ? kVersionZip64 : kVersionDeflate).U16(kFlags).U16(kDeflated);
    header.U16(modified.time).U16(modified.date).U32(0);
    header.U32(zip64 ? kEscape32 : 0).U32(zip64 ? kEscape32 : 0);
    header.U16(utf8Name.size()).U16(zip64 ? 20 : 0).Text(utf8Name);
    if (zip64) header.U16(kZip64ExtraId).U16(16).U64(0).U64(0);
    Put(header.Get());
    inEntry_ = true;
}

void ZipWriter::EntryBytes(std::span<const std::uint8_t> bytes) {
    if (!inEntry_) throw std::logic_error("ZipWriter: no entry begun");
    if (bytes.empty()) return;  // zlib's crc32 starts afresh on a null pointer
    current_.crc = static_cast<std::uint32_t>(crc32_z(current_.crc, bytes.data(), bytes.size()));
    current_.size += bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += kMaxPiece)
        Deflate(bytes.subspan(at, std::min(kMaxPiece, bytes.size() - at)), Z_NO_FLUSH);
}

void ZipWriter::Deflate(std::span<const std::uint8_t> bytes, int flush) {
    stream_->next_in = const_cast<Bytef*>(bytes.data());  // zlib never writes through it
    stream_->avail_in = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    do {
        stream_->next_out = out_.data();
        stream_->avail_out = static_cast<uInt>(out_.size());
        status = deflate(stream_.get(), flush);
        if (status == Z_STREAM_ERROR) throw std::logic_error("zlib deflate: stream state");
        const std::size_t produced = out_.size() - stream_->avail_out;
        if (produced > 0) Put(std::string_view(reinterpret_cast<const char*>(out_.data()), produced));
        current_.compressedSize += produced;
    } while (stream_->avail_out == 0);
    if (flush == Z_FINISH && status != Z_STREAM_END) throw std::logic_error("zlib deflate: stream not ended");
}

void ZipWriter::EndEntry() {
    if (!inEntry_) throw std::logic_error("ZipWriter: no entry begun");
    Deflate({}, Z_FINISH);
    deflateReset(stream_.get());
    inEntry_ = false;
    const bool zip64 = current_.zip64Local || Large(current_.compressedSize) || Large(current_.size);
    Bytes descriptor;
    descriptor.U32(kDescriptorSignature).U32(current_.crc);
    if (zip64)
        descriptor.U64(current_.compressedSize).U64(current_.size);
    else
        descriptor.U32(current_.compressedSize).U32(current_.size);
    Put(descriptor.Get());
    entries_.push_back(std::move(current_));
}

std::uint64_t ZipWriter::AbandonEntry() {
    if (!inEntry_) throw std::logic_error("ZipWriter: no entry begun");
    deflateReset(stream_.get());
    inEntry_ = false;
    offset_ = current_.offset;
    return offset_;
}

void ZipWriter::PutCentralRecord(const Entry& entry) {
    Bytes zip64;
    for (std::uint64_t value : {entry.size, entry.compressedSize, entry.offset})
        if (Large(value)) zip64.U64(value);
    const bool anyZip64 = zip64.Size() > 0 || entry.zip64Local;
    const auto field32 = [&](std::uint64_t value) { return Large(value) ? kEscape32 : value; };
    Bytes record;
    record.U32(kCentralSignature).U16(kVersionMadeBy).U16(anyZip64 ? kVersionZip64 : kVersionDeflate);
    record.U16(kFlags).U16(kDeflated).U16(entry.modified.time).U16(entry.modified.date).U32(entry.crc);
    record.U32(field32(entry.compressedSize)).U32(field32(entry.size));
    record.U16(entry.name.size()).U16(zip64.Size() > 0 ? zip64.Size() + 4 : 0);
    record.U16(0).U16(0).U16(0).U32(0);  // comment, disk, internal and external attributes
    record.U32(field32(entry.offset)).Text(entry.name);
    if (zip64.Size() > 0) record.U16(kZip64ExtraId).U16(zip64.Size()).Text(zip64.Get());
    Put(record.Get());
}

void ZipWriter::PutEnd(std::uint64_t centralOffset, std::uint64_t centralSize, std::string_view comment) {
    const std::uint64_t count = entries_.size();
    const bool manyEntries = count >= std::min<std::uint64_t>(threshold_, kEscape16);
    if (manyEntries || Large(centralOffset) || Large(centralSize)) {
        const std::uint64_t zip64EndOffset = offset_;
        Bytes zip64End;
        zip64End.U32(kZip64EndSignature).U64(44).U16(kVersionMadeBy).U16(kVersionZip64).U32(0).U32(0);
        zip64End.U64(count).U64(count).U64(centralSize).U64(centralOffset);
        zip64End.U32(kZip64LocatorSignature).U32(0).U64(zip64EndOffset).U32(1);
        Put(zip64End.Get());
    }
    const std::uint64_t count16 = manyEntries ? kEscape16 : count;
    Bytes end;
    end.U32(kEndSignature).U16(0).U16(0).U16(count16).U16(count16);
    end.U32(Large(centralSize) ? kEscape32 : centralSize).U32(Large(centralOffset) ? kEscape32 : centralOffset);
    end.U16(comment.size()).Text(comment);
    Put(end.Get());
}

void ZipWriter::Finish(std::string_view comment) {
    if (inEntry_) throw std::logic_error("ZipWriter: entry not ended");
    CheckLength(comment.size(), "ZIP comment too long");
    const std::uint64_t centralOffset = offset_;
    for (const Entry& entry : entries_) PutCentralRecord(entry);
    PutEnd(centralOffset, offset_ - centralOffset, comment);
}

std::optional<std::string> ZipCommentOf(std::span<const std::uint8_t> tail) {
    if (tail.size() < kEndSize) return std::nullopt;
    const std::size_t last = tail.size() - kEndSize;
    const std::size_t first = last > kEscape16 ? last - kEscape16 : 0;
    for (std::size_t at = last + 1; at-- > first;) {
        if (ReadLittle(tail, at, 4) != kEndSignature) continue;
        if (at + kEndSize + ReadLittle(tail, at + 20, 2) != tail.size()) continue;
        const auto comment = tail.subspan(at + kEndSize);
        return std::string(comment.begin(), comment.end());
    }
    return std::nullopt;
}

}  // namespace kdesk
