#include "engine/core/nE_DisplayChoice.h"

#include "pflib/TPlatform.h"

nE_CanvasMapping& nE_DisplayChoice::canvas() {
    static nE_CanvasMapping mapping;
    return mapping;
}

static bool findPrimaryDesktop(pf::TDisplayDevice& device, pf::TDisplayMode& desktop) {
    const int wanted = pf::kDisplayAttachedToDesktop | pf::kDisplayPrimary;
    for (int i = 0; pf::TPlatform::EnumDisplayDevices(i, device); ++i) {
        if ((device.stateFlags & wanted) == wanted)
            return pf::TPlatform::EnumDisplaySettings(device.name, pf::kEnumRegistrySettings, desktop);
    }
    return false;
}

nE_DisplayChoice nE_DisplayChoice::choose(bool wantFullscreen) {
    nE_DisplayChoice choice;
    choice.fullscreen = wantFullscreen;

    pf::TDisplayDevice device;
    pf::TDisplayMode desktop;
    const bool haveDesktop = findPrimaryDesktop(device, desktop);

    if (!choice.fullscreen && (desktop.height <= 768 || desktop.width <= 1024)) choice.fullscreen = true;

    if (choice.fullscreen && haveDesktop) {
        if (desktop.height < 768) {
            choice.width = desktop.width;
            choice.height = desktop.height;
        } else {
            bool found = false;
            pf::TDisplayMode mode;
            for (int i = 0; pf::TPlatform::EnumDisplaySettings(device.name, i, mode); ++i) {
                if (mode.frequency == desktop.frequency && mode.bitsPerPixel == desktop.bitsPerPixel &&
                    mode.displayFlags == desktop.displayFlags && mode.fixedOutput == desktop.fixedOutput &&
                    mode.width == 1024 && mode.height == 768) {
                    found = true;
                    break;
                }
            }
            if (!found) {
                choice.width = desktop.width;
                choice.height = desktop.height;
            }
        }
    }

    nE_CanvasMapping& m = choice.mapping;
    if (choice.fullscreen) {
        m.scaleX = choice.width / 1024.f;
        m.scaleY = choice.height / 768.f;
        m.offsetX = (choice.width - m.scaleX * 1024.f) / 2.f;
        m.offsetY = (choice.height - m.scaleY * 768.f) / 2.f;
    }
    canvas() = m;
    return choice;
}
