// Pictures decoded ahead on the worker pool, held as pixels until a texture is made of them. Keyed by
// resolved path; taken once; pixels nobody takes within kLifetimeSeconds are let go, so that memory
// stays flat whatever was asked for ahead.
#pragma once

#include <cstdint>
#include <vector>

#include "pflib/TTexture.h"
#include "pflib/pfTypes.h"

namespace pf {

class TDecodeCache {
public:
    static constexpr double kLifetimeSeconds = 20.0;
    // Pixels asked for ahead and not yet taken, at most (estimated from the headers).
    static constexpr uint64_t kMaxBytes = 384ull << 20;

    // Decodes the file at path (already resolved and its header checked) on the pool unless it is
    // there already; bytes is its size once decoded. False when refused (over kMaxBytes, stopped).
    static bool Ask(const str& path, bool jpeg, uint64_t bytes);
    // Takes the pixels asked for ahead, waiting for a decode in flight. False when the path was not
    // asked for (or its decode was cancelled): the caller decodes it itself.
    static bool Take(const str& path, TDecodedImage& out);
    // Lets go of pixels held past their lifetime.
    static void Trim();
    // Cancels the queued decodes, waits for the running ones and forgets everything; a later Ask
    // starts a new pool.
    static void Stop();
    // Entries held (queued, decoding or done).
    static size_t Count();
};

}  // namespace pf
