// What every exported function shares: the thread's last error, the log, and a guard that turns
// C++ failures into error codes, so that no exception leaves the library.
#pragma once

#include <new>

#include "pixmote/include/pixmote.h"

namespace pixmote {

// Records r as the thread's last error and logs it under the function's name; PM_OK passes through.
pm_result note(pm_result r, const char* function);

template <typename F>
pm_result guardedCall(const char* function, F&& f) {
    try {
        return note(f(), function);
    } catch (const std::bad_alloc&) {
        return note(PM_ERROR_OUT_OF_MEMORY, function);
    } catch (...) {
        return note(PM_ERROR_DEVICE, function);
    }
}

template <typename F>
pm_result guardedAs(const char* function, const void* handle, F&& f) {
    if (!handle) return note(PM_ERROR_INVALID_ARGUMENT, function);
    return guardedCall(function, static_cast<F&&>(f));
}

template <typename T>
T* failedHandle(pm_result r, const char* function) {
    note(r, function);
    return nullptr;
}

}  // namespace pixmote

// Every refusal is reported under the name of the exported function that made it.
#define guarded(...) ::pixmote::guardedAs(__func__, __VA_ARGS__)
#define unsupported() ::pixmote::note(PM_ERROR_UNSUPPORTED, __func__)
#define unsupportedHandle(T) ::pixmote::failedHandle<T>(PM_ERROR_UNSUPPORTED, __func__)
