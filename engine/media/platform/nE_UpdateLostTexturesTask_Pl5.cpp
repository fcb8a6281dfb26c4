#include "engine/media/platform/nE_UpdateLostTexturesTask_Pl5.h"

bool nE_UpdateLostTexturesTask_Pl5::Run() {
    if (addMark_) addMark_();
    return true;
}
