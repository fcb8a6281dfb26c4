#include "pflib/common/TClock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "pflib/pfClock.h"

namespace pf {

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point gStart = Clock::now();
std::atomic<bool> gVirtual{false};
std::atomic<double> gVirtualMs{0.0};
}  // namespace

double TClock::RealNow() {
    return std::chrono::duration<double, std::milli>(Clock::now() - gStart).count();
}

void TClock::SetVirtual(bool on) {
    if (on == gVirtual.load()) return;
    if (on) gVirtualMs.store(RealNow());
    gVirtual.store(on);
}

bool TClock::IsVirtual() {
    return gVirtual.load();
}

void TClock::SetVirtualTime(double ms) {
    gVirtualMs.store(ms);
    gVirtual.store(true);
}

void TClock::Advance(double ms) {
    if (!gVirtual.load() || ms <= 0) return;
    gVirtualMs.store(gVirtualMs.load() + ms);
}

double timeGetTime() {
    return gVirtual.load() ? gVirtualMs.load() : TClock::RealNow();
}

void SleepMs(double ms) {
    if (gVirtual.load()) {
        TClock::Advance(ms);
        return;
    }
    if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

}  // namespace pf
