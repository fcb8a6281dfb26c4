// The display, cursor and browser part of TPlatform on SDL.
#include <SDL2/SDL.h>

#include "pflib/TPlatform.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TSdlVideo.h"

namespace pf {

TDisplay TPlatform::GetDisplay() {
    return TSdlVideo::Get().GetDisplay();
}

bool TPlatform::SetDisplay(int width, int height, bool fullscreen, bool vsync, int reserved) {
    (void)reserved;
    TSdlVideo& video = TSdlVideo::Get();
    const bool ok = video.SetDisplay(width, height, fullscreen);
    if (ok) video.SetSwapInterval(vsync ? 1 : 0);
    return ok;
}

bool TPlatform::EnumDisplayDevices(int index, TDisplayDevice& device) {
    return TSdlVideo::Get().EnumDevice(index, device);
}

bool TPlatform::EnumDisplaySettings(const str& deviceName, int index, TDisplayMode& mode) {
    return TSdlVideo::Get().EnumMode(deviceName, index, mode);
}

void TPlatform::ShowCursor(bool show) {
    TSdlVideo::Get().ShowCursor(show);
}

bool TPlatform::OpenBrowser(const str& address) {
    // Only web and mail addresses: a script must not be able to launch local files or programs.
    const bool web = address.compare(0, 7, "http://") == 0 || address.compare(0, 8, "https://") == 0 ||
                     address.compare(0, 7, "mailto:") == 0;
    if (!web || address.find_first_of("\r\n") != str::npos) {
        pfWriteDbgUnsafe("pf: OpenBrowser refused \"%s\"\n", address.c_str());
        return false;
    }
    if (GetRunOptions().headless) {
        pfWriteDbgUnsafe("pf: OpenBrowser \"%s\" (headless, not opened)\n", address.c_str());
        return false;
    }
    return SDL_OpenURL(address.c_str()) == 0;
}

}  // namespace pf
