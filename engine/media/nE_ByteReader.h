// Sequential bytes from a game file or from memory, with a rewind. The video readers take either, so
// that tests and fuzzers can hand them bytes without a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace pf {
class TFile;
}

class nE_ByteReader {
public:
    nE_ByteReader();
    ~nE_ByteReader();
    nE_ByteReader(const nE_ByteReader&) = delete;
    nE_ByteReader& operator=(const nE_ByteReader&) = delete;

    // False when the file cannot be opened.
    bool openFile(const std::string& name);
    // The bytes are not copied: they must outlive the reader.
    void openMemory(const uint8_t* data, size_t size);

    // Up to count bytes; fewer only at the end.
    size_t read(void* buffer, size_t count);
    // Passes over count bytes; the number passed, fewer only at the end.
    size_t skip(size_t count);
    // Back to the first byte (a file is opened again); false when that fails.
    bool rewind();

    const std::string& name() const { return name_; }

private:
    std::unique_ptr<pf::TFile> file_;
    std::string name_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
};
