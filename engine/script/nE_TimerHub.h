// Named, tagged timers that queue triggers. (Placeholder interface.)
#pragma once

class nE_TimerHub {
public:
    void update(float dt);
    bool paused = false;
};
