// nE_File over pf::TFile. The platform file object lives from construction until close.
#pragma once

#include <memory>

#include "engine/media/nE_File.h"

namespace pf {
class TFile;
}

class nE_File_Pl5 : public nE_File {
public:
    explicit nE_File_Pl5(const std::string& name);
    ~nE_File_Pl5() override;

    // False without a platform file (after close) or when the platform cannot open it.
    bool open(int mode) override;
    bool close() override;
    size_t write(const void* data, size_t count) override;
    size_t read(void* buffer, size_t count) override;
    // Deletes the file at path, whether or not this object has it open.
    bool remove() override;
    size_t size() override;

private:
    std::unique_ptr<pf::TFile> file_;
};
