// Shared fixture of the profile and settings tests: a fresh user folder under /tmp, a fresh nE_Core (for
// the Lua state and the trigger and timer hubs), the debug lines, and a stand-in for the screen that
// answers whether a game runs.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <lua.hpp>
#include <memory>
#include <sstream>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "game/core/nG_Messages.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_Settings.h"
#include "pflib/TFileWriter.h"
#include "pflib/TPlatform.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace profiletest {

class RunningGame : public nE_Listener {
public:
    void onMessage(const nE_Message& message) override { *message.payload<MSG_IS_GAME_RUNNING>() = running; }
    bool running = true;
};

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/halvern_profile_XXXXXX";
        if (mkdtemp(pattern)) dir = pattern;
        previous = pf::TPlatform::GetRunOptions();
        pf::TRunOptions options = previous;
        options.userDir = dir;
        pf::TPlatform::SetRunOptions(options);
        if (nE_Core::exists()) nE_Core::destroy();
        L = nE_Core::get()->lua();
        lines = std::make_unique<script_test::DebugLines>();
        nE_Mediator::current()->subscribe(MSG_IS_GAME_RUNNING, &game);
    }
    void TearDown() override {
        // Stopped, not just flushed: a test that forks must not hand its child a writer thread that
        // does not exist there.
        pf::TFileWriter::Finish();
        nE_Mediator::current()->unsubscribe(MSG_IS_GAME_RUNNING, &game);
        lines.reset();
        nE_Core::destroy();
        pf::TPlatform::SetRunOptions(previous);
        if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    // The disk as the player would find it once the background writer is done.
    std::string read(const std::string& name) const {
        pf::TFileWriter::Flush();
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& name, const std::string& bytes) const {
        pf::TFileWriter::Flush();
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const {
        pf::TFileWriter::Flush();
        std::ifstream in(path(name));
        return in.good();
    }
    bool logged(const std::string& text) const {
        for (const std::string& line : lines->lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    std::string eval(const std::string& expression) { return script_test::eval(L, expression); }
    void run(const std::string& code) { script_test::run(L, code); }

    std::string dir;
    pf::TRunOptions previous;
    lua_State* L = nullptr;
    std::unique_ptr<script_test::DebugLines> lines;
    RunningGame game;
};

}  // namespace profiletest
