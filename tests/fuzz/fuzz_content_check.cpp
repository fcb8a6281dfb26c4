// Fuzzes the content checker's per-file entry point: the input is checked as whatever file its text
// looks like (module, animation, frame texture, particles, guide, subtitles), then written into a
// scratch game folder and reached as each kind of asset and as the string table. Nothing may crash,
// however broken the file.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/core/nE_Debug.h"
#include "engine/script/nE_ContentRules.h"
#include "game/check/nG_CheckReport.h"
#include "game/check/nG_CheckSession.h"
#include "game/check/nG_FormatCheck.h"
#include "game/check/nG_GameContent.h"
#include "pflib/TPlatform.h"

namespace {

std::string g_folder;

void removeFolder() {
    if (!g_folder.empty()) std::system(("rm -rf '" + g_folder + "'").c_str());
}

void writeFile(const std::string& name, const uint8_t* data, size_t size) {
    if (FILE* file = std::fopen((g_folder + "/" + name).c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    nG_GameContent::declareAll();
    // The scratch game folder lies under TMPDIR (scripts/fuzz points it into the build folder).
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/halvern-fuzz-XXXXXX";
    if (mkdtemp(&pattern[0])) {
        g_folder = pattern;
        std::atexit(removeFolder);
        std::system(("mkdir -p '" + g_folder + "/assets'").c_str());
    }
    pf::TRunOptions options;
    options.gameDir = g_folder;
    options.userDir = g_folder + "/user";
    pf::TPlatform::SetRunOptions(options);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nE_Debug::Capture quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        nG_CheckReport report;
        nG_CheckSession session(report);
        nG_FormatCheck::anyFile(session, "assets/fz.xml", text);
        nG_FormatCheck::anyFile(session, "assets/fz.srt", text);
        report.lines();
    }

    writeFile("assets/fz.xml", data, size);
    writeFile("assets/strings.xml", data, size);
    using R = nE_ContentRules;
    for (R::Kind kind : {R::kAnimation, R::kFrameTexture, R::kParticles, R::kGuide, R::kModule, R::kCursor}) {
        nG_CheckReport report;
        nG_CheckSession session(report);
        session.loadStrings();
        session.reference(kind, "assets/fz", nG_CheckSession::Place{"assets/from.xml", 1}, nullptr);
        report.lines();
    }
    return 0;
}
