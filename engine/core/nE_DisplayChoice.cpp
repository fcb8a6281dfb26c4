#include "engine/core/nE_DisplayChoice.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "pflib/TPlatform.h"

namespace {

std::string g_holderName;

void place(nE_Object* object, const nE_CanvasMapping& m) {
    const nE_Object::StateEdit s = object->editLocalState();
    s->x = m.offsetX;
    s->y = m.offsetY;
    s->z = m.offsetZ;
    s->scaleX = m.scaleX;
    s->scaleY = m.scaleY;
}

}  // namespace

void nE_DisplayChoice::setCanvasHolder(const std::string& objectName) {
    g_holderName = objectName;
}

nE_Object* nE_DisplayChoice::canvasHolder() {
    if (!nE_Core::exists()) return nullptr;
    nE_Scene& scene = nE_Core::get()->scene();
    if (!g_holderName.empty()) {
        nE_Object* named = scene.root()->find(g_holderName, true);
        if (named) return named;
    }
    return scene.root();
}

void nE_DisplayChoice::applyCanvas() {
    nE_Object* holder = canvasHolder();
    if (!holder) return;
    nE_Object* root = nE_Core::get()->scene().root();
    // Handing over from the root to the screen object must not map the canvas twice.
    if (holder != root) place(root, nE_CanvasMapping());
    place(holder, canvas());
}

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

    choice.mapping = fit(choice.width, choice.height);
    canvas() = choice.mapping;
    return choice;
}

nE_CanvasMapping nE_DisplayChoice::fit(int width, int height) {
    nE_CanvasMapping m;
    if (width <= 0 || height <= 0) return m;
    // A stretched canvas distorts every painted scene: the picture keeps its shape and bars fill the rest.
    const float scale = std::min(width / kCanvasWidth, height / kCanvasHeight);
    m.scaleX = m.scaleY = scale;
    // Whole pixels, so the canvas's edges stay sharp against the bars.
    m.offsetX = std::floor((width - scale * kCanvasWidth) / 2.f);
    m.offsetY = std::floor((height - scale * kCanvasHeight) / 2.f);
    return m;
}

bool nE_CanvasMapping::onCanvas(float displayX, float displayY) const {
    const float x = canvasX(displayX), y = canvasY(displayY);
    return x >= 0 && y >= 0 && x < nE_DisplayChoice::kCanvasWidth && y < nE_DisplayChoice::kCanvasHeight;
}
