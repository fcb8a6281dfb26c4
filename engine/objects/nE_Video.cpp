#include "engine/objects/nE_Video.h"

#include <tinyxml2.h>

#include <algorithm>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/notEngine_Pl5.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Subtitles.h"
#include "engine/media/nE_VideoAhead.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/script/nE_SLHelper.h"
#include "pflib/TFile.h"
#include "pflib/TFrameStats.h"

namespace {

// Far beyond any stream's length, and far inside int's range.
constexpr double kMaxTargetFrame = 1e9;

}  // namespace

nE_Video::nE_Video() = default;

nE_Video::~nE_Video() {
    // The base destructor can no longer reach this class's unloadResources.
    deactivate();
    unloadResources();
}

std::shared_ptr<nE_Resource> nE_Video::getResource() {
    takeFirstFrame();
    return frameTexture;
}

void nE_Video::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    std::string res = resourceName;
    const bool newResource = helper.readFileName("res", res) && res != resourceName;
    helper.readBool("playing", playing);
    helper.readBool("looped", looped);
    helper.readString("endtrig", endTrigger);
    int newFrame = frame;
    const bool moved = helper.readInt("frame", newFrame) && newFrame != frame;
    frame = std::max(newFrame, 0);
    if (newResource) {
        resourceName = res;
        if (loaded) {
            unloadResources();
            loadResources();
        }
    } else if (moved && decoder) {
        moveToFrame();
    }
}

void nE_Video::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
    helper.writeBool("playing", playing);
    helper.writeBool("looped", looped);
    helper.writeString("endtrig", endTrigger);
    helper.writeInt("frame", frame);
}

std::string nE_Video::getTypeName() const {
    return "video";
}

nE_Rect nE_Video::getLocalRect() {
    takeFirstFrame();
    if (!frameTexture) return nE_Rect{};
    return frameTexture->localRect(0);
}

void nE_Video::restoreDeviceResources(bool recursive) {
    nE_Object::restoreDeviceResources(recursive);
    moveToFrame();
}

void nE_Video::findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) {
    if (!node) return;
    nE_Object::findText(node, text, false);
    if (endTrigger.find(text) != std::string::npos) {
        tinyxml2::XMLElement* found = node->GetDocument()->NewElement(name.empty() ? "video" : name.c_str());
        found->SetAttribute("place", "event");
        node->InsertEndChild(found);
    }
    if (!recursive) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->findText(node, text, true);
}

void nE_Video::resetState() {
    nE_Object::resetState();
    unloadResources();
    time = 0;
    playing = looped = false;
    frame = 0;
}

void nE_Video::loadResources() {
    unloadResources();
    // Authoring tools write Windows paths.
    std::string path = resourceName;
    std::replace(path.begin(), path.end(), '\\', '/');
    // A video that names no file has no file to miss.
    if (path.empty()) return;
    if (!pf::TFile::Exists(nE_AssetFiles::video(path))) {
        nE_Debug::writef("nE_Video::Could not find \"%s\" ogg file!\n", resourceName.c_str());
        return;
    }
    auto opened = std::make_unique<nE_VideoDecoder>();
    opened->open(path);
    decoder = std::make_unique<nE_VideoAhead>(std::move(opened));
    frameDuration = 1.0 / decoder->frameRate();
    if (frame <= 1) {
        // What moveToFrame does, on a worker: the rewind and the first frame.
        decoder->decodeAhead(true);
        firstFrameAhead_ = true;
        time = frame * frameDuration;
    } else {
        moveToFrame();
    }
    auto track = std::make_unique<nE_Subtitles>();
    if (track->load(path)) subtitles = std::move(track);
}

void nE_Video::unloadResources() {
    // A line left on screen would stay there with nobody to take it away.
    if (subtitles) subtitles->reset();
    subtitles.reset();
    firstFrameAhead_ = false;
    decoder.reset();
    frameTexture.reset();
}

void nE_Video::update(float dt) {
    nE_Object::update(dt);
    if (!playing || !decoder) return;
    time += std::max(0.0f, notEngine_Pl5::rawDelta);
    const double position = time / frameDuration;
    const int target = static_cast<int>(std::min(position, kMaxTargetFrame));
    bool ended = false;
    while (frame < target - 1) {
        if (!decoder->advance(false)) {
            ended = true;
            break;
        }
        ++frame;
    }
    if (subtitles) subtitles->update(time);
    if (ended) {
        endOfVideo();
    } else if (target - frame == 1) {
        if (showNext())
            ++frame;
        else
            endOfVideo();
    }
}

void nE_Video::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    takeFirstFrame();
    if (renderer && frameTexture) renderer->drawTexture(frameTexture, world);
}

void nE_Video::play(const std::string& trigger) {
    if (playing) return;
    // The first frame stands until the film's own first frame replaces it.
    takeFirstFrame();
    playing = true;
    pf::TFrameStats::Mark("film start " + resourceName);
    endTrigger = trigger;
    time = 0;
    frame = 0;
    // A replay or a new loop shows its subtitles again.
    if (subtitles) subtitles->reset();
    // The rewind and the first frame are made on a worker; the first update takes them.
    if (decoder) decoder->decodeAhead(true);
}

void nE_Video::stop() {
    firstFrameAhead_ = false;
    time = 0;
    playing = false;
    frame = 0;
    if (decoder) decoder->seek(0);
    if (subtitles) subtitles->reset();
    showNext();
}

void nE_Video::pause(int n) {
    playing = n < 1;
}

bool nE_Video::showNext() {
    if (!decoder || !decoder->advance(true)) return false;
    if (!frameTexture) frameTexture = std::make_shared<nE_GeneratedTexture_Pl5>();
    int pitch = 0;
    if (uint8_t* pixels = frameTexture->beginWrite(decoder->width(), decoder->height(), &pitch)) {
        if (decoder->convert(pixels, pitch)) ++shownFrames;
        frameTexture->endWrite();
    }
    // The next frame is decoded while this one is on screen.
    if (playing) decoder->decodeAhead();
    if (!inputRectSet) inputRect = getLocalRect();
    return true;
}

void nE_Video::takeFirstFrame() {
    if (!firstFrameAhead_) return;
    firstFrameAhead_ = false;
    showNext();
}

void nE_Video::moveToFrame() {
    firstFrameAhead_ = false;
    if (!decoder) return;
    decoder->seek(std::max(frame - 1, 0));
    showNext();
    time = frame * frameDuration;
}

void nE_Video::endOfVideo() {
    playing = false;
    nE_Scene::queueAuthoredTrigger(name, endTrigger, this, "endtrig");
    if (looped) {
        play(endTrigger);
        showNext();
    }
}
