#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "engine/media/nE_ByteReader.h"
#include "engine/media/nE_ZAlphaReader.h"

namespace {

std::string lengthOf(size_t n) {
    const char bytes[4] = {char(n & 255), char(n >> 8 & 255), char(n >> 16 & 255), char(n >> 24 & 255)};
    return std::string(bytes, 4);
}

std::string record(const std::vector<uint8_t>& plane) {
    uLongf size = compressBound(static_cast<uLong>(plane.size()));
    std::string z(size, '\0');
    compress(reinterpret_cast<Bytef*>(&z[0]), &size, plane.data(), static_cast<uLong>(plane.size()));
    z.resize(size);
    return lengthOf(z.size()) + z;
}

// A reader of 4 x 2 planes over the bytes, which must outlive it.
std::unique_ptr<nE_ZAlphaReader> over(const std::string& bytes) {
    auto source = std::make_unique<nE_ByteReader>();
    source->openMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    auto reader = std::make_unique<nE_ZAlphaReader>();
    EXPECT_TRUE(reader->open(std::move(source), 4, 2));
    return reader;
}

std::vector<uint8_t> plane(uint8_t first) {
    std::vector<uint8_t> p(8);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(first + i);
    return p;
}

}  // namespace

TEST(ZAlphaReader, ReadsSkipsAndRewindsRecordByRecord) {
    const std::string bytes = record(plane(10)) + record(plane(20)) + record(plane(30));
    auto reader = over(bytes);
    ASSERT_TRUE(reader->next(true));
    EXPECT_EQ(plane(10), std::vector<uint8_t>(reader->plane(), reader->plane() + 8));
    ASSERT_TRUE(reader->next(false)) << "passed over by its length";
    ASSERT_TRUE(reader->next(true));
    EXPECT_EQ(30, reader->plane()[0]);
    EXPECT_FALSE(reader->next(true)) << "no fourth record";
    EXPECT_EQ("", reader->takeError()) << "a clean end is no error";
    ASSERT_TRUE(reader->rewind());
    ASSERT_TRUE(reader->next(true));
    EXPECT_EQ(10, reader->plane()[0]);
}

TEST(ZAlphaReader, DamagedRecordsEndTheStreamWithAReason) {
    const std::string good = record(plane(1));
    const std::string z = good.substr(4);
    struct Case {
        std::string bytes, reason;
    } cases[] = {
        {good + good.substr(0, 3), "record 2 is cut short in its length"},
        {good + lengthOf(z.size() + 5) + z, "record 2 runs past the end of the file"},
        {lengthOf(0), "record 1 has an impossible length 0"},
        {lengthOf(0xFFFFFFF0u) + z, "record 1 has an impossible length 4294967280"},
        {lengthOf(6) + "nozlib", "record 1 is not valid zlib data"},
        {lengthOf(z.size() - 3) + z.substr(0, z.size() - 3), "record 1 holds cut-short zlib data"},
    };
    for (const Case& c : cases) {
        auto reader = over(c.bytes);
        while (reader->next(true)) {
        }
        EXPECT_EQ("its " + c.reason, reader->takeError());
    }
    // Planes of the wrong size, either way.
    const std::string small = record(std::vector<uint8_t>(7, 1)), large = record(std::vector<uint8_t>(9, 1));
    auto reader = over(small);
    EXPECT_FALSE(reader->next(true));
    EXPECT_EQ("its record 1 inflates to 7 bytes, not 8", reader->takeError());
    reader = over(large);
    EXPECT_FALSE(reader->next(true));
    EXPECT_EQ("its record 1 inflates to more than 8 bytes", reader->takeError());
    reader = over(large);
    EXPECT_TRUE(reader->next(false)) << "skipping reads only the length";
}

TEST(ZAlphaReader, RecordLengthIsBoundedByThePlane) {
    nE_ZAlphaReader reader;
    auto source = std::make_unique<nE_ByteReader>();
    source->openMemory(nullptr, 0);
    ASSERT_TRUE(reader.open(std::move(source), 640, 480));
    EXPECT_LT(reader.maxRecord(), 640u * 480u + 4096u);
    EXPECT_FALSE(reader.next(true));
    EXPECT_FALSE(nE_ZAlphaReader().open(std::make_unique<nE_ByteReader>(), 0, 10));
}
