#include "game/state/nG_UserFiles.h"

#include <exception>

#include "engine/core/nE_Debug.h"
#include "pflib/TFile.h"
#include "pflib/TFileWriter.h"
#include "pflib/TPlatform.h"

static std::string userName(const std::string& name) {
    return "user:" + name;
}

bool nG_UserFiles::read(const std::string& name, std::string& out) {
    // What was last saved, even before the writer has put it in place.
    if (pf::TFileWriter::Pending(userName(name), out)) return true;
    pf::TFile file;
    if (!file.Open(userName(name), pf::TFile::kRead)) return false;
    const size_t size = file.Size();
    std::string data;
    try {
        data.resize(size);
    } catch (const std::exception&) {
        file.Close();
        nE_Debug::writef("nG_UserFiles: no memory to read \"%s\" (%zu bytes)", name.c_str(), size);
        return false;
    }
    const size_t got = size ? file.Read(&data[0], size) : 0;
    file.Close();
    if (got != size) return false;
    out.swap(data);
    return true;
}

bool nG_UserFiles::write(const std::string& name, const std::string& bytes) {
    return pf::TFileWriter::Write(userName(name), bytes);
}

std::vector<std::string> nG_UserFiles::takeFailedWrites() {
    std::vector<std::string> names;
    for (const std::string& path : pf::TFileWriter::TakeFailures()) {
        // The writer knows resolved paths: only those in the user folder are the player's files.
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!name.empty() && pf::TPlatform::ResolvePath(userName(name)) == path) names.push_back(name);
    }
    return names;
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

std::string nG_UserFiles::keepAside(const std::string& name, const std::string& suffix) {
    std::string target = name + suffix;
    for (int i = 1; exists(target); ++i) target = name + suffix + "." + std::to_string(i);
    return rename(name, target) ? target : std::string();
}

void nG_UserFiles::removeKept(const std::string& name, const std::string& suffix) {
    const std::string kept = name + suffix;
    for (const std::string& file : list()) {
        if (file.compare(0, kept.size(), kept)) continue;
        const std::string rest = file.substr(kept.size());
        bool numbered = rest.size() > 1 && rest[0] == '.';
        for (size_t i = 1; numbered && i < rest.size(); ++i) numbered = rest[i] >= '0' && rest[i] <= '9';
        if (rest.empty() || numbered) remove(file);
    }
}

bool nG_UserFiles::keepCopy(const std::string& from, const std::string& to, const std::string& bytes) {
    // A file still on its way to the disk cannot be linked without waiting for it: its copy follows
    // it through the writer instead.
    if (pf::TFileWriter::IsPending(userName(from))) return write(to, bytes);
    return pf::TFile::Link(userName(from), userName(to)) || write(to, bytes);
}

std::vector<std::string> nG_UserFiles::list() {
    return pf::TFile::ListUserFiles();
}
