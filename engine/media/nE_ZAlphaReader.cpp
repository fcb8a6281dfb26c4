#include "engine/media/nE_ZAlphaReader.h"

#include <zlib.h>

#include "engine/media/nE_ByteReader.h"

nE_ZAlphaReader::nE_ZAlphaReader() = default;

nE_ZAlphaReader::~nE_ZAlphaReader() = default;

bool nE_ZAlphaReader::open(std::unique_ptr<nE_ByteReader> reader, int width, int height) {
    reader_ = std::move(reader);
    index_ = 0;
    error_.clear();
    if (!reader_ || width <= 0 || height <= 0) return false;
    planeSize_ = static_cast<size_t>(width) * static_cast<size_t>(height);
    // Stored blocks are zlib's worst case; a little room on top for other compressors' headers.
    maxRecord_ = compressBound(static_cast<uLong>(planeSize_)) + 1024;
    // One byte more than a plane tells a record that inflates too far from one cut short.
    plane_.assign(planeSize_ + 1, 255);
    record_.clear();
    return true;
}

bool nE_ZAlphaReader::fail(const std::string& reason) {
    error_ = "its record " + std::to_string(index_ + 1) + " " + reason;
    return false;
}

bool nE_ZAlphaReader::next(bool inflateRecord) {
    if (!reader_ || planeSize_ == 0) return false;
    uint8_t head[4];
    const size_t got = reader_->read(head, sizeof head);
    if (got == 0) return false;  // the end of the records
    if (got < sizeof head) return fail("is cut short in its length");
    const uint32_t length = static_cast<uint32_t>(head[0]) | static_cast<uint32_t>(head[1]) << 8 |
                            static_cast<uint32_t>(head[2]) << 16 | static_cast<uint32_t>(head[3]) << 24;
    if (length == 0 || length > maxRecord_) return fail("has an impossible length " + std::to_string(length));
    if (!inflateRecord) {
        if (reader_->skip(length) < length) return fail("runs past the end of the file");
        ++index_;
        return true;
    }
    record_.resize(length);
    if (reader_->read(record_.data(), length) < length) return fail("runs past the end of the file");

    z_stream z{};
    if (inflateInit(&z) != Z_OK) return fail("cannot be inflated");
    z.next_in = record_.data();
    z.avail_in = length;
    z.next_out = plane_.data();
    z.avail_out = static_cast<uInt>(planeSize_ + 1);
    const int result = inflate(&z, Z_FINISH);
    const size_t produced = z.total_out;
    inflateEnd(&z);
    if (produced > planeSize_) return fail("inflates to more than " + std::to_string(planeSize_) + " bytes");
    if (result == Z_BUF_ERROR) return fail("holds cut-short zlib data");
    if (result != Z_STREAM_END) return fail("is not valid zlib data");
    if (produced != planeSize_)
        return fail("inflates to " + std::to_string(produced) + " bytes, not " + std::to_string(planeSize_));
    ++index_;
    return true;
}

bool nE_ZAlphaReader::rewind() {
    index_ = 0;
    if (!reader_ || !reader_->rewind()) {
        error_ = "it cannot be read again";
        return false;
    }
    return true;
}

std::string nE_ZAlphaReader::takeError() {
    std::string taken;
    taken.swap(error_);
    return taken;
}
