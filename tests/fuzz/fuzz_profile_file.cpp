// Fuzzes the profile loader: the checksummed envelope, the XML, and the script-table decoding with deep
// nesting and long keys. The input is loaded as a profile file; an input that loads is saved and must
// load again unchanged. The XML is also decoded as a script table, which must encode to a stable form.
#include <tinyxml2.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <lua.hpp>
#include <string>

#include "engine/core/nE_Core.h"
#include "game/state/nG_ProfileEnvelope.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_ScriptTable.h"
#include "pflib/TPlatform.h"

namespace {

std::string g_dir;

void check(bool ok) {
    if (!ok) std::abort();
}

void removeDir() {
    if (!g_dir.empty()) std::system(("rm -rf '" + g_dir + "'").c_str());
}

// The user folder lives beside the fuzzer, under the build folder.
void setUp() {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string base = n > 0 ? std::string(exe, n) : std::string("./fuzz_profile_file");
    g_dir = base.substr(0, base.rfind('/')) + "/fuzz_profile_user." + std::to_string(getpid());
    pf::TRunOptions options;
    options.userDir = g_dir;
    pf::TPlatform::SetRunOptions(options);
    std::atexit(removeDir);
}

void writeRaw(const std::string& name, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen((g_dir + "/" + name).c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

std::string roundTrip(lua_State* L, const tinyxml2::XMLElement* element) {
    lua_newtable(L);
    nG_ScriptTable::decode(L, -1, element);
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* encoded = nG_ScriptTable::encode(L, -1, "t", doc);
    lua_pop(L, 1);
    // Whatever was read can be written again.
    check(encoded != nullptr);
    doc.InsertEndChild(encoded);
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    return printer.CStr();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static lua_State* L = [] {
        setUp();
        return nE_Core::get()->lua();
    }();
    const std::string file(reinterpret_cast<const char*>(data), size);
    nG_ProfileEnvelope::check(file);

    // As a profile file.
    writeRaw("p_F.xml", data, size);
    {
        nG_ProfileHub hub(false);
        hub.addProfile("F");
        if (hub.loadProfile(hub.profileAt(0))) {
            check(hub.saveProfile("F"));
            const std::string saved = hub.printProfile(*hub.profileAt(0));
            nG_ProfileHub again(false);
            again.addProfile("F");
            check(again.loadProfile(again.profileAt(0)));
            // Entries come back in the table's own order, which may differ; the content may not.
            check(again.printProfile(*again.profileAt(0)).size() == saved.size());
        }
    }
    for (const char* suffix : {"", ".bak", ".corrupt", ".corrupt.1"})
        std::remove((g_dir + "/p_F.xml" + suffix).c_str());

    // As an encoded script table: one decode settles the form, the next encode gives the same text.
    tinyxml2::XMLDocument doc;
    if (doc.Parse(file.data(), file.size()) == tinyxml2::XML_SUCCESS && doc.FirstChildElement()) {
        const std::string once = roundTrip(L, doc.FirstChildElement());
        tinyxml2::XMLDocument again;
        check(again.Parse(once.c_str()) == tinyxml2::XML_SUCCESS);
        const std::string twice = roundTrip(L, again.FirstChildElement());
        tinyxml2::XMLDocument third;
        check(third.Parse(twice.c_str()) == tinyxml2::XML_SUCCESS);
        check(roundTrip(L, third.FirstChildElement()).size() == twice.size());
    }
    lua_gc(L, LUA_GCSTEP, 0);
    return 0;
}
