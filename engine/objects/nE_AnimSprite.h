// A sprite whose image is a frame texture and which plays named frame sequences ("functions") read
// from an animation file: resource name + ".xml", root "animation" with attribute "frame_texture" (the
// sprite sheet, relative to the file's folder) and "function" elements (name, frametime in ms, loop)
// holding "frame" elements (idx). A function that does not loop queues its end trigger when it ends.
#pragma once

#include <string>
#include <vector>

#include "engine/objects/nE_Sprite.h"

class nE_AnimSprite : public nE_Sprite {
public:
    struct Function {
        std::string name;
        float frameTime = 0;  // seconds per frame
        bool looped = false;
        std::vector<int> frames;  // frame indices into the frame texture
    };

    nE_AnimSprite();
    ~nE_AnimSprite() override;

    // Clears the playback and the functions, reads the new animation file, reloads when loaded.
    void setResourceName(const std::string& name) override;
    // Sprite keys, then "frame" (999 counts as absent), "playing", "animfunc", "endtrig"; then the
    // animation file is read again and a playing sprite restarts "animfunc" from its first frame.
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // Also reports the end trigger ("event") and the current function's name ("misc").
    void findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) override;
    // The base reset, then no playback.
    void resetState() override;
    // The frame texture named by the animation file.
    void loadResources() override;
    // Advances the current function by dt.
    void update(float dt) override;

    // Starts the first function of that name from its first frame. An unknown name or a function
    // without frames changes nothing (a function already playing goes on).
    void play(const std::string& function, const std::string& endTrigger);
    // Frame 0, not playing, no current function.
    void stop();
    // 1 (or more) pauses, 0 (or less) resumes where it stood.
    void pause(int n);
    // The named function's frame count; with an empty or unknown name, the current function's while
    // playing; else 0.
    int frameCount(const std::string& function) const;
    // The first function of that name, or none.
    const Function* findFunction(const std::string& function) const;
    // The current function, or none.
    const Function* current() const;

    std::vector<Function> functions;
    std::string frameTextureName;
    float timer = 0;  // seconds left on the current frame
    bool playing = false;
    std::string endTrigger;
    int currentFunction = -1;  // index into functions, -1 for none
    int position = 0;          // index into the current function's frames

    // The 999 of "frame" that stands for "no frame given".
    static constexpr int kNoFrame = 999;

private:
    // Appends the functions of the animation file and sets frameTextureName.
    void readAnimationFile();
    void clearPlayback();
    void showFrame(int frame);
};
