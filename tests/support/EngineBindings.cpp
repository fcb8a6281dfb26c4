// Unit tests build engine objects without an engine: they get the engine's object types and the
// platform bindings of the media bases the way the engine installs them when it is created.
#include <gtest/gtest.h>

#include "engine/core/nE_EngineTypes.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"

namespace {

class EngineBindings : public ::testing::Environment {
public:
    void SetUp() override {
        nE_EngineTypes::registerAll();
        nE_Bindings_Pl5::install();
    }
};

const ::testing::Environment* const g_bindings = ::testing::AddGlobalTestEnvironment(new EngineBindings());

}  // namespace
