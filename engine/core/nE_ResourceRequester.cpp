#include "engine/core/nE_ResourceRequester.h"

#include "engine/core/nE_ErrorLog.h"

namespace {

// Main thread only, like every loader that reads it.
nE_ResourceRequester::Scope* g_innermost = nullptr;

}  // namespace

nE_ResourceRequester::Scope::Scope(std::string who, std::string file, int line)
    : who_(std::move(who)), file_(std::move(file)), line_(line), outer_(g_innermost) {
    g_innermost = this;
}

nE_ResourceRequester::Scope::~Scope() {
    g_innermost = outer_;
}

void nE_ResourceRequester::notFound(const std::string& what) {
    if (!g_innermost) return;
    const Scope& scope = *g_innermost;
    nE_ErrorLog::report({scope.file_, scope.line_, scope.who_ + ": " + what + " not found", ""});
}
