// A scene object that plays an Ogg Theora video (resource name + ".ogg") as a sprite, with an optional
// alpha companion (".zalpha" or ".oggalpha") and ".srt" subtitles published on the game mediator.
// Playback keeps real time: frames it falls behind by are decoded without being converted, so a slow
// machine drops frames instead of slowing the video. Each shown frame is converted straight into the
// one texture the video keeps while its size stays the same; while it plays, the next frame is
// decoded and converted on a worker.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"

class nE_GeneratedTexture;
class nE_Subtitles;
class nE_VideoAhead;

class nE_Video : public nE_Object {
public:
    nE_Video();
    ~nE_Video() override;

    std::shared_ptr<nE_Resource> getResource() override;
    // Base keys, then "res", "playing", "looped", "endtrig", "frame". A new "res" on a loaded video
    // opens that video at "frame"; a new "frame" alone moves the loaded video there.
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // The frame's rectangle, centred; (0, 0, 0, 0) before a frame is shown.
    nE_Rect getLocalRect() override;
    // The frame is decoded again after a device loss.
    void restoreDeviceResources(bool recursive) override;
    // Also reports the end trigger ("event").
    void findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) override;
    void resetState() override;
    // Opens the video at `frame` and shows that frame; reads the subtitles.
    void loadResources() override;
    // Drops the decoder, the subtitles (hiding a shown line) and the texture.
    void unloadResources() override;
    // Advances by the real time of the engine's last tick while playing.
    void update(float dt) override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // From the first frame, with the end trigger; ignored while playing.
    void play(const std::string& endTrigger);
    // Back to the first frame, shown, not playing; the end trigger does not run.
    void stop();
    // 1 (or more) pauses, 0 (or less) plays on.
    void pause(int n);

    std::unique_ptr<nE_VideoAhead> decoder;
    std::unique_ptr<nE_Subtitles> subtitles;
    double time = 0;           // seconds of playback
    double frameDuration = 0;  // seconds per frame
    int frame = 0;             // frames decoded since the start
    bool playing = false;
    bool looped = false;
    std::shared_ptr<nE_GeneratedTexture> frameTexture;
    std::string endTrigger;
    // Frames converted and put on the texture so far (for tests and benchmarks).
    long shownFrames = 0;

private:
    // Decodes the next frame onto the texture; false at the end of the video.
    bool showNext();
    // Seeks to max(frame - 1, 0), shows one frame and sets the time from the frame.
    void moveToFrame();
    // Shows the first frame a load left decoding on a worker, when it is wanted.
    void takeFirstFrame();
    void endOfVideo();
    // A load starts the first frame on a worker instead of making the frame that shows the room wait
    // for the file's headers twice and a decode; the frame is taken when first drawn, measured or played.
    bool firstFrameAhead_ = false;
};
