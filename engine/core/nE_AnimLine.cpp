#include "engine/core/nE_AnimLine.h"

#include <utility>

#include "engine/core/nE_Scene.h"

nE_AnimLine::nE_AnimLine(int perKey, const float* numbers, int count, bool loop, std::string trigger,
                         std::string from)
    : endTrigger(std::move(trigger)), sender(std::move(from)), looped(loop), valuesPerKey(perKey) {
    if (perKey < 1 || perKey > 3 || !numbers || count <= 0) {
        finished = true;
        return;
    }
    keyCount = count / (perKey + 1);
    keys.resize(keyCount);
    for (int k = 0; k < keyCount; ++k) {
        const float* at = numbers + k * (perKey + 1);
        keys[k].time = at[0];
        for (int v = 0; v < perKey; ++v) keys[k].value[v] = at[1 + v];
    }
    if (keyCount == 0) finished = true;
}

int nE_AnimLine::valuesForType(int type) {
    static const int kValues[15] = {1, 1, 1, 2, 1, 1, 2, 1, 1, 1, 1, 1, 3, 1, 1};
    return type >= 0 && type < 15 ? kValues[type] : 0;
}

bool nE_AnimLine::evaluate(float dt, float out[3]) {
    if (keys.empty() || finished) return false;
    currentTime += dt;

    int d = 0;
    for (int k = 0; k < keyCount; ++k)
        if (keys[k].time <= currentTime) d = k;

    if (d == keyCount - 1) {
        for (int v = 0; v < 3; ++v) out[v] = keys[d].value[v];
        if (looped)
            currentTime = 0;
        else
            finished = true;
        nE_Scene::queueAuthoredTrigger(sender, endTrigger, nullptr, "animation end");
        return true;
    }

    const Key& a = keys[d];
    const Key& b = keys[d + 1];
    const float span = b.time - a.time;
    float f = span != 0 ? (currentTime - a.time) / span : 0;
    // Before the first key the line holds the first key's values rather than running backwards.
    if (f < 0) f = 0;
    for (int v = 0; v < 3; ++v) out[v] = a.value[v] + (b.value[v] - a.value[v]) * f;
    return true;
}
