// A named countdown that queues a trigger call when it runs out.
#pragma once

#include <map>
#include <string>

class nE_Timer {
public:
    nE_Timer(std::string name, std::string call, float fireTime)
        : name(std::move(name)), call(std::move(call)), fireTime(fireTime) {}

    // Runs only while its own switch and every tag switch are on.
    bool runs() const;

    std::string name;  // also the sender of its call
    std::string call;
    float elapsed = 0.0f;
    float fireTime = 0.0f;
    bool running = true;
    bool finished = false;
    std::map<std::string, bool> tags;
    // Where the script started it, so that a call naming no trigger can be traced; not saved.
    std::string file;
    int line = 0;
};
