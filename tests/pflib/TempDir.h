// A fresh folder under /tmp for one test, removed with everything in it afterwards.
#pragma once

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/pftest.XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
    }
    ~TempDir() {
        if (path_ != "/tmp")
            nftw(
                path_.c_str(), [](const char* p, const struct stat*, int, FTW*) { return std::remove(p); },
                16, FTW_DEPTH | FTW_PHYS);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    static void Write(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

private:
    std::string path_;
};
