#include "engine/media/nE_AssetFiles.h"

#include "engine/core/nE_Language.h"
#include "engine/core/nE_Path.h"
#include "pflib/TFile.h"

std::string nE_AssetFiles::image(const std::string& name) {
    const std::string path = nE_Path::normalise(name);
    // A picture with words drawn into it has a twin per language.
    for (const char* extension : {".png", ".jpg"}) {
        const std::string translated = nE_Language::twin(path, extension);
        if (!translated.empty()) return translated;
    }
    if (pf::TFile::Exists(path + ".png")) return path + ".png";
    if (pf::TFile::Exists(path + ".jpg")) return path + ".jpg";
    return "";
}

std::string nE_AssetFiles::frameTexture(const std::string& name) {
    return name + ".xml";
}

std::string nE_AssetFiles::animation(const std::string& name) {
    return nE_Path::normalise(name) + ".xml";
}

std::string nE_AssetFiles::font(const std::string& name) {
    return name + ".ttf";
}

std::string nE_AssetFiles::sound(const std::string& name) {
    return name + ".ogg";
}

std::string nE_AssetFiles::video(const std::string& name) {
    return name + ".ogg";
}

std::string nE_AssetFiles::videoZAlpha(const std::string& name) {
    return name + ".zalpha";
}

std::string nE_AssetFiles::videoOggAlpha(const std::string& name) {
    return name + ".oggalpha";
}

std::string nE_AssetFiles::subtitles(const std::string& name) {
    const std::string translated = nE_Language::twin(name, ".srt");
    return translated.empty() ? name + ".srt" : translated;
}

std::string nE_AssetFiles::particles(const std::string& name) {
    return nE_Path::normalise(name) + ".xml";
}

std::string nE_AssetFiles::cursor(const std::string& name) {
    if (name.empty()) return "";
    if (pf::TFile::Exists(name + ".xml")) return name + ".xml";
    if (pf::TFile::Exists(name + ".png")) return name + ".png";
    return "";
}

std::string nE_AssetFiles::folderOf(const std::string& name) {
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}
