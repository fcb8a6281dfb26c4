// The authors' guide lists every script function the program registers, the engine's in its section 7
// and the game's in its section 8, and lists no function that does not exist.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "engine/script/nE_ScriptFunctions.h"
#include "game/script/nG_ScriptFunctions.h"

namespace {

// The text of the guide's section "## <number>. ..." up to the next section.
std::string guideSection(const std::string& guide, const std::string& number) {
    const size_t start = guide.find("\n## " + number + ". ");
    if (start == std::string::npos) return "";
    return guide.substr(start, guide.find("\n## ", start + 1) - start);
}

// The functions named in the first column of the section's tables: "| `Name(args)`, `Other()` | ...".
std::set<std::string> listedFunctions(const std::string& section) {
    std::set<std::string> names;
    std::istringstream lines(section);
    const std::regex call("`([A-Za-z]+)\\(");
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| `", 0) != 0) continue;
        const std::string cell = line.substr(0, line.find(" | ", 1));
        for (std::sregex_iterator it(cell.begin(), cell.end(), call), end; it != end; ++it)
            names.insert((*it)[1]);
    }
    return names;
}

TEST(nG_ScriptFunctionsTest, TheGuideListsEveryRegisteredFunctionAndNoOther) {
    std::ifstream file(std::string(HALVERN_SOURCE_DIR) + "/docs/authoring.md");
    ASSERT_TRUE(file.good());
    const std::string guide((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const struct {
        const char* section;
        std::vector<std::string> registered;
    } parts[] = {{"7", nE_ScriptFunctions::registeredNames()}, {"8", nG_ScriptFunctions::registeredNames()}};
    for (const auto& part : parts) {
        const std::set<std::string> listed = listedFunctions(guideSection(guide, part.section));
        for (const std::string& name : part.registered)
            EXPECT_TRUE(listed.count(name))
                << name << " is missing from section " << part.section << " of the guide";
        const std::set<std::string> registered(part.registered.begin(), part.registered.end());
        for (const std::string& name : listed)
            EXPECT_TRUE(registered.count(name))
                << "section " << part.section << " lists " << name << ", which is not registered";
    }
}

}  // namespace
