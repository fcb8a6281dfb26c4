#include "engine/media/platform/nE_File_Pl5.h"

#include "pflib/TFile.h"

nE_File_Pl5::nE_File_Pl5(const std::string& name) : nE_File(name), file_(std::make_unique<pf::TFile>()) {}

nE_File_Pl5::~nE_File_Pl5() = default;

bool nE_File_Pl5::open(int mode) {
    if (!file_) return false;
    return file_->Open(path, platformMode(mode));
}

bool nE_File_Pl5::close() {
    if (!file_) return false;
    const bool ok = file_->IsValid() && file_->Close();
    file_.reset();
    return ok;
}

size_t nE_File_Pl5::write(const void* data, size_t count) {
    if (!file_ || !file_->IsValid() || !data) return 0;
    return file_->Write(data, count);
}

size_t nE_File_Pl5::read(void* buffer, size_t count) {
    if (!file_ || !file_->IsValid() || !buffer) return 0;
    return file_->Read(buffer, count);
}

bool nE_File_Pl5::remove() {
    return pf::TFile::DeleteFile(path);
}

size_t nE_File_Pl5::size() {
    if (!file_ || !file_->IsValid()) return 0;
    return file_->Size();
}
