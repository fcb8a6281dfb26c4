#include "engine/media/nE_ByteReader.h"

#include <algorithm>
#include <cstring>

#include "pflib/TFile.h"

nE_ByteReader::nE_ByteReader() = default;

nE_ByteReader::~nE_ByteReader() = default;

bool nE_ByteReader::openFile(const std::string& name) {
    data_ = nullptr;
    size_ = position_ = 0;
    name_ = name;
    file_ = std::make_unique<pf::TFile>();
    if (file_->Open(name, pf::TFile::kRead)) return true;
    file_.reset();
    return false;
}

void nE_ByteReader::openMemory(const uint8_t* data, size_t size) {
    file_.reset();
    name_.clear();
    data_ = data;
    size_ = data ? size : 0;
    position_ = 0;
}

size_t nE_ByteReader::read(void* buffer, size_t count) {
    if (!buffer || count == 0) return 0;
    if (file_) return file_->Read(buffer, count);
    if (!name_.empty()) return 0;
    const size_t n = std::min(count, size_ - position_);
    if (n) std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

size_t nE_ByteReader::skip(size_t count) {
    if (!name_.empty() && !file_) return 0;
    if (!file_) {
        const size_t n = std::min(count, size_ - position_);
        position_ += n;
        return n;
    }
    // Files are read forward only; the bytes pass through a small buffer.
    uint8_t scratch[4096];
    size_t passed = 0;
    while (passed < count) {
        const size_t got = file_->Read(scratch, std::min(sizeof scratch, count - passed));
        if (got == 0) break;
        passed += got;
    }
    return passed;
}

bool nE_ByteReader::rewind() {
    position_ = 0;
    if (name_.empty()) return true;
    // A file that cannot be opened again reads as empty from here on.
    if (!file_) file_ = std::make_unique<pf::TFile>();
    file_->Close();
    if (file_->Open(name_, pf::TFile::kRead)) return true;
    file_.reset();
    return false;
}
