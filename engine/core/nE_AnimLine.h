// A keyframe line: up to three values per key, interpolated linearly, optionally looped, with a
// trigger call queued each time the last key is reached.
#pragma once

#include <string>
#include <vector>

class nE_AnimLine {
public:
    struct Key {
        float time = 0;
        float value[3] = {0, 0, 0};
    };

    // Builds count / (valuesPerKey + 1) keys from numbers laid out as time, values, time, values...
    // A line with no key, or with valuesPerKey outside 1..3, is created finished and does nothing.
    nE_AnimLine(int valuesPerKey, const float* numbers, int count, bool looped, std::string endTrigger,
                std::string sender);

    // Values per key driven by each line type 0..14; 0 for a type that does not exist.
    static int valuesForType(int type);

    // Advances by dt; writes the values of this moment into out and returns true, or returns false
    // when the line is finished or empty. Reaching the last key queues the end trigger.
    bool evaluate(float dt, float out[3]);

    std::string endTrigger;
    std::string sender;
    bool looped = false;
    int keyCount = 0;
    int valuesPerKey = 1;
    std::vector<Key> keys;
    float currentTime = 0;
    bool finished = false;
};
