// The alpha companion of a video as a stream of records, one per frame: a 4-byte little-endian length
// N, then N bytes of zlib data that inflate to exactly width x height alpha bytes, row by row. A
// record is held to the largest size zlib can give such a plane, so a damaged length never makes the
// reader allocate or read more than that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class nE_ByteReader;

class nE_ZAlphaReader {
public:
    nE_ZAlphaReader();
    ~nE_ZAlphaReader();
    nE_ZAlphaReader(const nE_ZAlphaReader&) = delete;
    nE_ZAlphaReader& operator=(const nE_ZAlphaReader&) = delete;

    // Takes the reader; planes are width x height (both at least 1).
    bool open(std::unique_ptr<nE_ByteReader> reader, int width, int height);
    // The next record: inflated into plane() when `inflate`, else only passed over by its length.
    // False at the end of the records or at a damaged one (then takeError says what is wrong).
    bool next(bool inflate);
    // Back to the first record.
    bool rewind();

    // The last inflated plane, width x height bytes.
    const uint8_t* plane() const { return plane_.data(); }
    // The largest record accepted for the plane size.
    size_t maxRecord() const { return maxRecord_; }
    // What made the last next or rewind fail (empty at a clean end); cleared by reading it.
    std::string takeError();

private:
    bool fail(const std::string& reason);

    std::unique_ptr<nE_ByteReader> reader_;
    size_t planeSize_ = 0;
    size_t maxRecord_ = 0;
    std::vector<uint8_t> plane_;
    std::vector<uint8_t> record_;
    int index_ = 0;  // records read since the start
    std::string error_;
};
