#include <signal.h>
#include <sys/wait.h>
#include <tinyxml2.h>
#include <unistd.h>

#include "engine/core/nE_Object.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_Trigger.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Messages.h"
#include "game/state/nG_ProfileEnvelope.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_SlotState.h"
#include "tests/game/state/ProfileTestSupport.h"

using profiletest::ProfileTest;

namespace {

// The pop-ups the hub asks for.
struct Notices : nE_Listener {
    Notices() { nE_Mediator::current()->subscribe(MSG_POPUP, this); }
    ~Notices() override { nE_Mediator::current()->unsubscribe(MSG_POPUP, this); }
    void onMessage(const nE_Message& message) override {
        const auto* request = message.payload<MSG_POPUP>();
        texts.push_back(request->textId + " " + request->params[0]);
    }
    std::vector<std::string> texts;
};

std::string profileXml(int guidePage, const std::string& global = "") {
    return "<profile game_mode=\"1\" guide_page=\"" + std::to_string(guidePage) +
           "\"><achievements><achieve name=\"found_all\" count=\"2\"/></achievements><ng_global "
           "valtype=\"3\">" +
           global + "</ng_global></profile>";
}

}  // namespace

TEST_F(ProfileTest, EnvelopeEdgeCases) {
    using E = nG_ProfileEnvelope;
    EXPECT_EQ(E::byteSum("abc", 3), 294);
    EXPECT_EQ(E::byteSum("", 0), 0);
    EXPECT_EQ(E::byteSum("\xff\xff", 2), 510) << "bytes count unsigned";
    const std::string xml = profileXml(3);
    const std::string good = E::wrap(xml);
    EXPECT_EQ(good.substr(0, good.find('\n') + 1),
              "<!--" + std::to_string(E::byteSum(xml.data(), xml.size())) + "-->\n");
    EXPECT_EQ(E::check(good), E::kGood);

    EXPECT_EQ(E::check("\xEF\xBB\xBF" + good), E::kBadEnvelope) << "a byte-order mark";
    EXPECT_EQ(E::check(" " + good), E::kBadEnvelope) << "a leading space";
    EXPECT_EQ(E::check("<!--12"), E::kBadEnvelope);
    EXPECT_EQ(E::check("-->\n<!--1-->"), E::kBadEnvelope);
    EXPECT_EQ(E::check("<!-->"), E::kBadEnvelope);
    EXPECT_EQ(E::check("<!--" + std::string(32, '1') + "-->\n"), E::kBadEnvelope)
        << "no room for such a number";

    std::string crlf = good;
    crlf.insert(crlf.find('\n'), "\r");
    EXPECT_EQ(E::check(crlf), E::kBadSum) << "a CRLF line end shifts the checked region";

    std::string edited = good;
    edited[edited.size() - 3] = 'X';
    EXPECT_EQ(E::check(edited), E::kBadSum) << "an edited byte without a new sum";
    const std::string body = edited.substr(edited.find('\n') + 1);
    const std::string sum = std::to_string(E::byteSum(body.data(), body.size()));
    EXPECT_EQ(E::check("<!--" + sum + "-->\n" + body), E::kGood) << "the same edit with its sum fixed";
    EXPECT_EQ(E::check("<!--+" + sum + "-->\n" + body), E::kGood) << "the region moves with the longer text";
    // A plus sign, leading blanks and text after the digits leave the number readable; the region starts
    // after the comment, whatever its length.
    const std::string padded = "<!--  +" + sum + " sum-->\n" + body;
    EXPECT_EQ(E::check(padded), E::kGood);
}

TEST_F(ProfileTest, SavedProfilesComeBackWithSlotsCountersAndTables) {
    nG_ProfileHub hub(false);
    EXPECT_EQ(hub.currentIndex(), -1);
    EXPECT_EQ(hub.count(), 0);
    EXPECT_EQ(hub.nameAt(0), "");
    EXPECT_EQ(hub.addProfile("Wren"), 0);
    EXPECT_EQ(hub.currentIndex(), 0) << "the first profile becomes current";
    EXPECT_EQ(hub.addProfile("Ysolde 2"), 1);
    EXPECT_EQ(hub.currentIndex(), 0);
    EXPECT_EQ(hub.addProfile("Wren"), 2) << "no duplicate check";

    nG_Profile* wren = hub.profileAt(0);
    wren->gameMode = 2;
    wren->guidePage = 7;
    hub.addAchievement(wren, "gears");
    hub.addAchievement(wren, "gears");
    hub.addAchievement(wren, "clock");
    run("ng_global = { seen = true, no = false, [0] = 'zero', n = 0.1, big = 12345678901234, s = 'a<b&\"c',"
        " nested = { deeper = { 1, 2, 3 } }, ['7abc'] = 'seven', ['two words'] = 2, f = print }");
    run("ng_var = { room = 'hall', count = 3 }");
    hub.saveSlot(wren, 4);
    ASSERT_TRUE(hub.hasSlot(4));
    EXPECT_FALSE(hub.hasSlot(3));
    EXPECT_FALSE(hub.hasSlot(16));
    EXPECT_FALSE(hub.hasSlot(-1));
    EXPECT_TRUE(hub.saveProfile("Wren"));
    const std::string file = read("p_Wren.xml");
    EXPECT_EQ(nG_ProfileEnvelope::check(file), nG_ProfileEnvelope::kGood);
    EXPECT_EQ(file.find("\n"), file.find("-->") + 3) << "one line feed, after the comment only";
    EXPECT_EQ(file.find("\n", file.find("-->") + 4), std::string::npos) << "compact XML";
    EXPECT_NE(file.find("<save_4><ng_var valtype=\"3\">"), std::string::npos);
    EXPECT_NE(file.find("<achieve name=\"gears\" count=\"2\"/><achieve name=\"clock\" count=\"1\"/>"),
              std::string::npos);
    EXPECT_NE(file.find("<el_0 valtype=\"2\" val=\"zero\"/>"), std::string::npos) << "key 0 as el_0";
    EXPECT_EQ(file.find("el_f"), std::string::npos) << "functions are not written";

    run("ng_global = { other = 1 }; ng_var = {}");
    nG_ProfileHub again(false);
    again.addProfile("Wren");
    again.addProfile("Ysolde 2");
    run("ng_global = { other = 1 }");
    again.loadAll();
    nG_Profile* loaded = again.profileAt(0);
    EXPECT_EQ(loaded->gameMode, 2);
    EXPECT_EQ(loaded->guidePage, 7);
    EXPECT_EQ(loaded->achievementCount("gears"), 2);
    EXPECT_EQ(again.achievementCount(loaded, "missing"), 0);
    EXPECT_NE(loaded->slot(4), nullptr);
    EXPECT_EQ(eval("ng_global.seen"), "true") << "boolean true survives";
    EXPECT_EQ(eval("ng_global.no"), "false");
    EXPECT_EQ(eval("ng_global['0']"), "zero") << "key 0 comes back as the string \"0\"";
    EXPECT_EQ(eval("ng_global[0]"), "nil");
    EXPECT_EQ(eval("ng_global.n"), "0.1");
    EXPECT_EQ(eval("ng_global.big"), "12345678901234");
    EXPECT_EQ(eval("ng_global.s"), "a<b&\"c");
    EXPECT_EQ(eval("ng_global.nested.deeper[3]"), "3");
    EXPECT_EQ(eval("ng_global['7abc']"), "seven") << "a key like 7abc stays a string";
    EXPECT_EQ(eval("ng_global['two words']"), "2") << "a key no element name can carry";
    EXPECT_EQ(eval("ng_global.other"), "nil") << "the player's own table replaces the one before";
    EXPECT_EQ(again.count(), 2) << "a profile never saved loads silently";
    EXPECT_FALSE(again.isCorrupted());

    // The slot brings ng_var, the queue and the timers back, then queues ng_function.
    nE_Core* core = nE_Core::get();
    core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>("ng_function", ""));
    again.loadSlot(loaded, 4);
    EXPECT_EQ(eval("ng_var.room"), "hall");
    ASSERT_EQ(core->triggerHub().queue().size(), 0u) << "the restored registry is the slot's";
    game.running = false;
    again.loadSlot(loaded, 4);
    again.saveSlot(loaded, 5);
    EXPECT_EQ(loaded->slot(5), nullptr) << "nothing without a running game";
}

TEST_F(ProfileTest, SlotsCarryTheGameQueueAndTimers) {
    struct Game : nG_SlotState {
        void dumpState(tinyxml2::XMLElement* slot) override {
            tinyxml2::XMLElement* e = slot->GetDocument()->NewElement("game");
            e->SetAttribute("room", "hall");
            slot->InsertEndChild(e);
        }
        void restoreState(const tinyxml2::XMLElement* slot) override {
            const tinyxml2::XMLElement* e = slot->FirstChildElement("game");
            restored = e && e->Attribute("room") ? e->Attribute("room") : "?";
        }
        std::string restored;
    } state;
    nG_ProfileHub hub(false);
    hub.setSlotState(&state);
    hub.addProfile("A");
    nE_Core* core = nE_Core::get();
    core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>("later", ""));
    core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>("ng_function", ""));
    core->triggerHub().queueCall("me", "later(1)");
    core->timerHub().start("tick", "later", 2.f);
    hub.saveSlot(hub.currentProfile(), 0);
    const tinyxml2::XMLElement* slot = hub.currentProfile()->slot(0);
    ASSERT_NE(slot, nullptr);
    const char* order[] = {"ng_var", "game", "trg_dump", "timer_dump"};
    const tinyxml2::XMLElement* child = slot->FirstChildElement();
    for (const char* name : order) {
        ASSERT_NE(child, nullptr);
        EXPECT_STREQ(child->Name(), name);
        child = child->NextSiblingElement();
    }
    core->triggerHub().runQueue();
    core->timerHub().clear();
    hub.loadSlot(hub.currentProfile(), 0);
    EXPECT_EQ(state.restored, "hall");
    ASSERT_EQ(core->triggerHub().queue().size(), 0u) << "the registry was cleared with the queue";
    EXPECT_EQ(core->timerHub().timers().size(), 1u);

    hub.clearSlot(0);
    EXPECT_FALSE(hub.hasSlot(0));
    hub.clearSlot(99);
}

TEST_F(ProfileTest, NamesThatCannotBeFileNamesAreRefused) {
    nG_ProfileHub hub(false);
    for (const std::string& bad : std::vector<std::string>{"", std::string(41, 'a'), "../x", "a/b", "a.b",
                                                           "ta\tb", "\xc3\xa9", "a\\b"})
        EXPECT_EQ(hub.addProfile(bad), -1) << bad;
    EXPECT_EQ(hub.count(), 0);
    EXPECT_EQ(hub.currentIndex(), -1);
    EXPECT_EQ(hub.addProfile(" \t "), -1) << "a name of blanks only";
    EXPECT_EQ(hub.addProfile(std::string(40, 'z')), 0);
    EXPECT_EQ(hub.addProfile("  Old-Wren_2 x "), 1);
    EXPECT_EQ(hub.nameAt(1), "Old-Wren_2 x") << "names are trimmed";
    run("ng_global = { kept = 1 }");
    hub.addProfile("Fresh");
    EXPECT_EQ(eval("ng_global.kept"), "1") << "adding a player leaves the current one's table alone";
    write("p_ Old.xml", nG_ProfileEnvelope::wrap(profileXml(4)));  // stored before names were trimmed
    hub.selectProfile(hub.nameAt(hub.addProfile(" Old")));
    EXPECT_EQ(hub.currentProfile()->guidePage, 4) << "a player stored under the untrimmed name is found";
}

TEST_F(ProfileTest, ABrokenFileIsKeptAndTheBackupTakesOver) {
    nG_ProfileHub hub(false);
    hub.addProfile("Wren");
    hub.profileAt(0)->guidePage = 1;
    ASSERT_TRUE(hub.saveProfile("Wren"));
    EXPECT_FALSE(exists("p_Wren.xml.bak")) << "nothing to keep yet";
    const std::string first = read("p_Wren.xml");
    hub.profileAt(0)->guidePage = 2;
    ASSERT_TRUE(hub.saveProfile("Wren"));
    EXPECT_EQ(read("p_Wren.xml.bak"), first) << "the previous good file is the backup";
    const std::string second = read("p_Wren.xml");
    ASSERT_TRUE(hub.saveProfile("Wren"));
    EXPECT_EQ(read("p_Wren.xml.bak"), first) << "an unchanged profile writes nothing";

    std::string broken = second;
    broken[broken.size() - 5] ^= 1;
    write("p_Wren.xml", broken);
    nG_ProfileHub next(false);
    next.addProfile("Wren");
    EXPECT_TRUE(next.loadProfile(next.profileAt(0)));
    EXPECT_EQ(next.count(), 1);
    EXPECT_FALSE(next.isCorrupted());
    EXPECT_EQ(next.profileAt(0)->guidePage, 1) << "loaded from the backup";
    EXPECT_EQ(read("p_Wren.xml"), first) << "the good copy is the profile file again";
    EXPECT_EQ(read("p_Wren.xml.corrupt"), broken) << "the broken file is kept";
    EXPECT_TRUE(logged("restored from its backup"));
    EXPECT_FALSE(logged("Error loading profile data"));
    EXPECT_EQ(next.takeRestored(), "Wren") << "the player is told";
    EXPECT_EQ(next.takeRestored(), "") << "once";

    // Without a good backup the profile is dropped, and its file still kept.
    write("p_Wren.xml", " " + first);
    write("p_Wren.xml.bak", "<!--0-->\nnot a profile");
    nG_ProfileHub last(false);
    last.addProfile("Wren");
    last.addProfile("Other");
    EXPECT_FALSE(last.loadProfile(last.profileAt(0)));
    EXPECT_EQ(last.count(), 1);
    EXPECT_EQ(last.nameAt(0), "Other");
    EXPECT_TRUE(last.isCorrupted());
    EXPECT_TRUE(logged("nG_ProfileHub: Error 0"));
    EXPECT_TRUE(logged("nG_ProfileHub: Error loading profile data"));
    EXPECT_EQ(read("p_Wren.xml.corrupt"), broken) << "an earlier damaged copy is never replaced";
    EXPECT_EQ(read("p_Wren.xml.corrupt.1"), " " + first);
    EXPECT_FALSE(exists("p_Wren.xml"));

    // The player's own deletion removes every file of the profile.
    write("p_Other.xml", first);
    write("p_Other.xml.bak", first);
    write("p_Other.xml.corrupt", first);
    write("p_Other.xml.corrupt.1", first);
    last.deleteProfile("Other");
    EXPECT_FALSE(exists("p_Other.xml") || exists("p_Other.xml.bak") || exists("p_Other.xml.corrupt") ||
                 exists("p_Other.xml.corrupt.1"));
    EXPECT_TRUE(last.isCorrupted()) << "the flag never goes back";
}

TEST_F(ProfileTest, DocumentsThatAreNoProfilesLoadAsCorrupted) {
    const char* bodies[] = {"<other/>", "<profile game_mode=\"1\"/>", "<!-- only a comment -->", "<profile>",
                            ""};
    for (const char* body : bodies) {
        write("p_X.xml", nG_ProfileEnvelope::wrap(body));
        std::remove(path("p_X.xml.corrupt").c_str());
        nG_ProfileHub hub(false);
        hub.addProfile("X");
        EXPECT_FALSE(hub.loadProfile(hub.profileAt(0))) << body;
        EXPECT_TRUE(hub.isCorrupted()) << body;
        EXPECT_TRUE(exists("p_X.xml.corrupt")) << body;
    }
}

TEST_F(ProfileTest, LoadAllDropsACorruptedProfileAndLoadsEveryOther) {
    for (int i = 0; i < 4; ++i) {
        const std::string xml =
            profileXml(10 + i, "<el_p" + std::to_string(i) + " valtype=\"0\" val=\"1\"/>");
        write("p_P" + std::to_string(i) + ".xml", nG_ProfileEnvelope::wrap(xml));
    }
    std::string bad = read("p_P1.xml");
    bad.back() = ' ';
    write("p_P1.xml", bad);
    nG_ProfileHub hub(false);
    for (int i = 0; i < 4; ++i) hub.addProfile("P" + std::to_string(i));
    hub.selectProfile("P3");
    ASSERT_EQ(hub.currentIndex(), 3);
    run("ng_global = {}");
    hub.loadAll();
    ASSERT_EQ(hub.count(), 3);
    EXPECT_EQ(hub.nameAt(1), "P2") << "the next profile moved into the dropped one's place";
    EXPECT_EQ(hub.profileAt(1)->guidePage, 12) << "and was loaded";
    EXPECT_EQ(hub.profileAt(2)->guidePage, 13);
    EXPECT_EQ(eval("tostring(ng_global.p0 or ng_global.p2) .. ng_global.p3"), "nil1")
        << "the current player's";
    EXPECT_EQ(hub.currentIndex(), 2) << "the current profile stays the same profile";
    EXPECT_EQ(hub.currentProfile()->name, "P3");
}

TEST_F(ProfileTest, DeletingTheCurrentProfile) {
    nG_ProfileHub hub(false);
    hub.addProfile("A");
    hub.addProfile("B");
    hub.addProfile("C");
    hub.selectProfile("C");
    hub.deleteProfile("A");
    EXPECT_EQ(hub.currentProfile()->name, "C") << "removing an earlier profile keeps the selection";
    hub.deleteProfile("C");
    EXPECT_EQ(hub.currentIndex(), 0) << "the current one gone: profile 0";
    EXPECT_EQ(hub.currentProfile()->name, "B");
    hub.deleteProfile("nobody");
    hub.deleteProfile("B");
    EXPECT_EQ(hub.count(), 0);
    EXPECT_EQ(hub.currentProfile(), nullptr) << "an empty list has no current profile";
    EXPECT_EQ(hub.gameMode(), 0);
    hub.setGameMode(3);
    EXPECT_FALSE(hub.hasSlot(0));
}

TEST_F(ProfileTest, DeveloperStartNeitherReadsNorWritesButDeletes) {
    write("p_Dev.xml", nG_ProfileEnvelope::wrap(profileXml(5)));
    write("p_Bad.xml", "garbage");
    nG_ProfileHub hub(true);
    hub.addProfile("Dev");
    hub.addProfile("Bad");
    hub.loadAll();
    EXPECT_EQ(hub.count(), 2);
    EXPECT_EQ(hub.profileAt(0)->guidePage, -1) << "not read";
    EXPECT_FALSE(hub.isCorrupted());
    EXPECT_FALSE(hub.saveProfile("Dev"));
    EXPECT_EQ(read("p_Dev.xml"), nG_ProfileEnvelope::wrap(profileXml(5))) << "not written";
    hub.deleteProfile("Dev");
    EXPECT_FALSE(exists("p_Dev.xml")) << "the player's deletion still removes the file";
}

TEST_F(ProfileTest, WhatIsSavedLoadsBackAndWhatCannotBeSavedKeepsThePreviousFile) {
    Notices notices;
    nG_ProfileHub hub(false);
    hub.addProfile("Deep");
    run("ng_global = { ['12abc'] = 'a', ['7'] = 's', [7] = 'n', ['-3'] = 'm' }; "
        "local c = { v = 1 }; c.self = c; ng_global.cycle = c");
    ASSERT_TRUE(hub.saveProfile("Deep"));
    const std::string good = read("p_Deep.xml");
    hub.loadAll();
    EXPECT_EQ(eval("ng_global['12abc'] .. ng_global['7'] .. ng_global[7] .. ng_global['-3'] .. "
                   "ng_global.cycle.v .. type(ng_global.cycle.self)"),
              "asnm1nil")
        << "string keys stay strings; a cycle is written once";

    // Tables too deep, or with more entries than can be written, are not cut: the save is refused.
    run("local t = ng_global; for i = 1, 80 do t.d = {}; t = t.d end");
    EXPECT_FALSE(hub.saveProfile("Deep"));
    run("ng_global.d = nil; local t = { 1 }; for i = 1, 21 do t = { a = t, b = t } end; ng_global.many = t");
    EXPECT_FALSE(hub.saveProfile("Deep"));
    EXPECT_TRUE(logged("nested too deep") && logged("too many entries"));
    EXPECT_EQ(read("p_Deep.xml"), good) << "the previous file is kept";
    run("ng_var = ng_global");
    EXPECT_FALSE(hub.saveSlot(hub.profileAt(0), 2));
    // A user folder that cannot exist: every write fails.
    write("blocker", "a file where the user folder would be");
    pf::TRunOptions options = pf::TPlatform::GetRunOptions();
    options.userDir = path("blocker/user");
    pf::TPlatform::SetRunOptions(options);
    run("ng_global = {}");
    EXPECT_FALSE(hub.saveProfile("Deep"));
    EXPECT_EQ(notices.texts, std::vector<std::string>(4, "profile_save_failed Deep")) << "the player is told";
}

TEST_F(ProfileTest, ASaveThatFailsOnTheWriterIsToldOnceAtTheNextStep) {
    Notices notices;
    nG_ProfileHub hub(false);
    hub.addProfile("Late");
    ASSERT_TRUE(hub.saveProfile("Late"));
    const std::string good = read("p_Late.xml");
    // The finished temporary file vanishes before its rename, as on a disk that went away.
    pf::TFileWriter::SetBeforeRename(
        [](const std::string& target) { std::remove((target + ".part").c_str()); });
    run("ng_global = { changed = 1 }");
    ASSERT_TRUE(hub.saveProfile("Late")) << "handed over: the failure comes later";
    pf::TFileWriter::Write("user:p_Late.xml.bak", "x");
    pf::TFileWriter::Flush();
    pf::TFileWriter::SetBeforeRename(nullptr);
    EXPECT_TRUE(notices.texts.empty()) << "nothing is told on the writer's thread";
    hub.reportFailedWrites();
    EXPECT_EQ(notices.texts, std::vector<std::string>{"profile_save_failed Late"})
        << "told once, not the backup";
    hub.reportFailedWrites();
    EXPECT_EQ(notices.texts.size(), 1u);
    EXPECT_EQ(read("p_Late.xml"), good) << "the previous file is kept";
}

TEST_F(ProfileTest, ADeepObjectChainAndABigProfileSaveAndLoad) {
    struct Chain : nG_SlotState {
        void dumpState(tinyxml2::XMLElement* slot) override {
            nE_Object root;
            nE_Object* at = &root;
            for (int i = 0; i < 150; ++i) {
                auto* child = new nE_Object();
                at->addChild(child);
                at = child;
            }
            slot->InsertEndChild(nE_SLHelper_XML::save(root, *slot->GetDocument(), true, true));
        }
        void restoreState(const tinyxml2::XMLElement* slot) override {
            std::unique_ptr<nE_Object> root =
                nE_SLHelper_XML::build(const_cast<tinyxml2::XMLElement*>(slot->FirstChildElement("obj")));
            for (nE_Object* at = root.get(); at && !at->children.empty(); at = at->children.front()) ++depth;
        }
        int depth = 0;
    } chain;
    nG_ProfileHub hub(false);
    hub.setSlotState(&chain);
    hub.addProfile("Big");
    // Over the 64 MiB that were once taken for a broken file.
    run("ng_global.big = ('0123456789abcdef'):rep(70 * 65536)");
    ASSERT_TRUE(hub.saveSlot(hub.currentProfile(), 0));
    ASSERT_TRUE(hub.saveProfile("Big"));
    nG_ProfileHub again(false);
    again.setSlotState(&chain);
    again.addProfile("Big");
    ASSERT_TRUE(again.loadProfile(again.profileAt(0)));
    EXPECT_EQ(eval("#ng_global.big"), std::to_string(70 << 20));
    again.loadSlot(again.profileAt(0), 0);
    EXPECT_EQ(chain.depth, 150);
}

TEST_F(ProfileTest, EachPlayerHasTheirOwnGlobals) {
    nG_ProfileHub hub(false);
    hub.addProfile("Alice");
    hub.addProfile("Bob");
    run("ng_global.tutorial_done = true");
    ASSERT_TRUE(hub.saveProfile("Alice"));
    hub.selectProfile("Bob");
    EXPECT_EQ(eval("ng_global.tutorial_done"), "nil") << "replaced, not merged";
    run("ng_global.bob = 1");
    ASSERT_TRUE(hub.saveProfile("Bob") && hub.saveProfile("Alice"));
    EXPECT_TRUE(read("p_Bob.xml").find("tutorial") == std::string::npos &&
                read("p_Alice.xml").find("bob") == std::string::npos);
    hub.selectProfile("Alice");
    hub.loadAll();
    EXPECT_EQ(eval("tostring(ng_global.tutorial_done) .. tostring(ng_global.bob)"), "truenil");
    hub.deleteProfile("Alice");
    EXPECT_EQ(eval("tostring(ng_global.tutorial_done) .. tostring(ng_global.bob)"), "nil1");
}

// A process killed at any moment while it saves leaves a profile file that passes its check.
TEST_F(ProfileTest, AProcessKilledWhileSavingLeavesAGoodFile) {
    std::string big(50000, 'x');
    for (int round = 0; round < 3; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            nG_ProfileHub hub(false);
            hub.addProfile("Loop");
            for (int i = 0;; ++i) {
                run("ng_global = { i = " + std::to_string(i) + ", big = '" + big + "' }");
                hub.saveProfile("Loop");
            }
        }
        // Once the first save is on disk, stop it at a different moment each round.
        for (int wait = 0; wait < 500 && !exists("p_Loop.xml"); ++wait) usleep(10000);
        usleep(20000 + round * 37000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_TRUE(exists("p_Loop.xml"));
        EXPECT_EQ(nG_ProfileEnvelope::check(read("p_Loop.xml")), nG_ProfileEnvelope::kGood);
        if (exists("p_Loop.xml.bak")) {
            EXPECT_EQ(nG_ProfileEnvelope::check(read("p_Loop.xml.bak")), nG_ProfileEnvelope::kGood);
        }
        nG_ProfileHub hub(false);
        hub.addProfile("Loop");
        EXPECT_TRUE(hub.loadProfile(hub.profileAt(0)));
        EXPECT_EQ(eval("#ng_global.big"), "50000");
    }
}
