#include "game/shell/nG_UserFiles.h"

#include "pflib/TFile.h"

static std::string userName(const std::string& name) {
    return "user:" + name;
}

bool nG_UserFiles::read(const std::string& name, std::string& out, size_t maxBytes) {
    pf::TFile file;
    if (!file.Open(userName(name), pf::TFile::kRead)) return false;
    const size_t size = file.Size();
    if (size > maxBytes) {
        file.Close();
        return false;
    }
    std::string data(size, '\0');
    const size_t got = size ? file.Read(&data[0], size) : 0;
    file.Close();
    if (got != size) return false;
    out.swap(data);
    return true;
}

bool nG_UserFiles::write(const std::string& name, const std::string& bytes) {
    pf::TFile file;
    if (!file.Open(userName(name), pf::TFile::kWrite)) return false;
    const bool written = file.Write(bytes.data(), bytes.size()) == bytes.size();
    const bool committed = file.Close();
    return written && committed;
}

bool nG_UserFiles::exists(const std::string& name) {
    return pf::TFile::Exists(userName(name));
}

bool nG_UserFiles::remove(const std::string& name) {
    return pf::TFile::DeleteFile(userName(name));
}

bool nG_UserFiles::rename(const std::string& from, const std::string& to) {
    return pf::TFile::Rename(userName(from), userName(to));
}

bool nG_UserFiles::keepCopy(const std::string& from, const std::string& to, const std::string& bytes) {
    return pf::TFile::Link(userName(from), userName(to)) || write(to, bytes);
}

std::vector<std::string> nG_UserFiles::list() {
    return pf::TFile::ListUserFiles();
}
