#include "engine/core/nE_Debug.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "pflib/pfDebug.h"

static thread_local nE_Debug::Capture* g_capture = nullptr;

nE_Debug::Capture::Capture() : outer_(g_capture) {
    g_capture = this;
}

nE_Debug::Capture::~Capture() {
    g_capture = outer_;
}

static void deliver(const char* text) {
    nE_Mediator::postToCurrent<MSG_DEBUG_TEXT>(text);
    std::printf("%s\n", text);
    std::fflush(stdout);
}

bool nE_Debug::capturing() {
    return g_capture != nullptr;
}

void nE_Debug::write(const char* text) {
    if (g_capture) {
        g_capture->lines.emplace_back(text ? text : "");
        return;
    }
    pfWriteDbg(text);
    deliver(text);
}

void nE_Debug::writef(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (g_capture) {
        g_capture->lines.emplace_back(buffer);
        return;
    }
    pfWriteDbg(buffer);
    deliver(buffer);
}
