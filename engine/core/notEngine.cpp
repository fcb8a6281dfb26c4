#include "engine/core/notEngine.h"

static notEngine* g_engine = nullptr;

notEngine* notEngine::instance() {
    return g_engine;
}

void notEngine::publish(notEngine* engine) {
    g_engine = engine;
}
