#include "engine/script/nE_TriggerHub.h"

bool nE_TriggerHub::queueCall(const std::string&, const std::string&) { return false; }
bool nE_TriggerHub::executeNow(const std::string&, const std::string&) { return false; }
void nE_TriggerHub::runQueue() {}
