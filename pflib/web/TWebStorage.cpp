#include "pflib/web/TWebStorage.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, pfWebMountUser, (const char* dir), {
    var path = UTF8ToString(dir);
    var ready = function () { Module.pfUserReady = true; };
    try {
        FS.mkdirTree(path);
        FS.mount(IDBFS, {}, path);
    } catch (e) {
        err('pf: cannot keep the user folder in the browser (' + e + '); it lasts this visit only');
        ready();
        return;
    }
    Module.pfUserDir = path;
    FS.syncfs(true, function (error) {
        if (error) err('pf: cannot read the kept user folder (' + error + ')');
        ready();
    });
});

EM_JS(int, pfWebUserReady, (), {
    return Module.pfUserReady ? 1 : 0;
});

EM_JS(void, pfWebFlushUser, (), {
    if (!Module.pfUserDir) return;
    if (Module.pfUserStoring) {
        Module.pfUserAgain = true;
        return;
    }
    var store = function () {
        Module.pfUserStoring = true;
        Module.pfUserAgain = false;
        FS.syncfs(false, function (error) {
            if (error) err('pf: cannot store the user folder (' + error + ')');
            else Module.pfUserStores = (Module.pfUserStores || 0) + 1;
            Module.pfUserStoring = false;
            if (Module.pfUserAgain) {
                store();
            } else if (Module.pfUserThen) {
                var then = Module.pfUserThen;
                Module.pfUserThen = null;
                then();
            }
        });
    };
    store();
});
EM_JS(void, pfWebEnded, (int code), {
    var ended = function () {
        if (Module.gameEnded) Module.gameEnded(code);
    };
    if (Module.pfUserStoring) Module.pfUserThen = ended;
    else ended();
});
// clang-format on

namespace pf {

void TWebStorage::Load(const str& dir) {
    pfWebMountUser(dir.c_str());
}

bool TWebStorage::Ready() {
    return pfWebUserReady() != 0;
}

void TWebStorage::Flush() {
    pfWebFlushUser();
}

void TWebStorage::Ended(int code) {
    pfWebEnded(code);
}

}  // namespace pf
