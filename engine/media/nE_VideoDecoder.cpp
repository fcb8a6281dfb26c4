#include "engine/media/nE_VideoDecoder.h"

#include "engine/core/nE_Debug.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_ByteReader.h"
#include "engine/media/nE_YuvConverter.h"
#include "engine/media/nE_ZAlphaReader.h"
#include "pflib/TFile.h"

nE_VideoDecoder::nE_VideoDecoder() = default;

nE_VideoDecoder::~nE_VideoDecoder() = default;

bool nE_VideoDecoder::open(const std::string& name) {
    auto colour = std::make_unique<nE_ByteReader>();
    colour->openFile(nE_AssetFiles::video(name));
    std::unique_ptr<nE_ByteReader> alpha;
    AlphaKind kind = kNoAlpha;
    const std::string zalphaName = nE_AssetFiles::videoZAlpha(name),
                      oggalphaName = nE_AssetFiles::videoOggAlpha(name);
    const bool zalpha = pf::TFile::Exists(zalphaName);
    if (zalpha || pf::TFile::Exists(oggalphaName)) {
        alpha = std::make_unique<nE_ByteReader>();
        if (alpha->openFile(zalpha ? zalphaName : oggalphaName))
            kind = zalpha ? kZAlpha : kOggAlpha;
        else
            alpha.reset();
    }
    return open(name, std::move(colour), std::move(alpha), kind);
}

bool nE_VideoDecoder::open(const std::string& name, std::unique_ptr<nE_ByteReader> colour,
                           std::unique_ptr<nE_ByteReader> alpha, AlphaKind kind) {
    name_ = name;
    lastReport_.clear();
    dropAlpha();
    playable_ = colour_.open(std::move(colour));
    if (!playable_) {
        report("ogg", colour_.takeError());
        return false;
    }
    // Videos are made with 4:2:0 chroma; others play, at a somewhat higher conversion cost.
    if (colour_.pixelFormat() != nE_TheoraStream::kChroma420)
        report("ogg", std::string("its chroma is ") +
                          (colour_.pixelFormat() == nE_TheoraStream::kChroma422 ? "4:2:2" : "4:4:4") +
                          ", not 4:2:0; it is shown all the same");
    if (!alpha || kind == kNoAlpha) return true;
    if (kind == kZAlpha) {
        zalpha_ = std::make_unique<nE_ZAlphaReader>();
        zalpha_->open(std::move(alpha), width(), height());
    } else {
        alphaVideo_ = std::make_unique<nE_TheoraStream>();
        if (!alphaVideo_->open(std::move(alpha))) {
            report("oggalpha", alphaVideo_->takeError() + "; the video is shown opaque");
            dropAlpha();
            return true;
        }
        if (alphaVideo_->width() != width() || alphaVideo_->height() != height()) {
            report("oggalpha", "it is " + std::to_string(alphaVideo_->width()) + " x " +
                                   std::to_string(alphaVideo_->height()) + ", not " +
                                   std::to_string(width()) + " x " + std::to_string(height()) +
                                   "; the video is shown opaque");
            dropAlpha();
            return true;
        }
    }
    alphaKind_ = kind;
    return true;
}

void nE_VideoDecoder::dropAlpha() {
    zalpha_.reset();
    alphaVideo_.reset();
    alphaKind_ = kNoAlpha;
    alphaPlane_ = false;
}

void nE_VideoDecoder::report(const char* which, const std::string& reason) {
    if (reason.empty() || reason == lastReport_) return;
    lastReport_ = reason;
    nE_Debug::writef("nE_Video::\"%s.%s\": %s\n", name_.c_str(), which, reason.c_str());
}

bool nE_VideoDecoder::advance(bool forShow) {
    if (!playable_) return false;
    const bool more = colour_.nextFrame();
    report("ogg", colour_.takeError());
    if (!more) return false;
    if (zalpha_) {
        alphaPlane_ = zalpha_->next(forShow);
        report("zalpha", zalpha_->takeError());
        if (!alphaPlane_) return false;
        alphaPlane_ = forShow;
    } else if (alphaVideo_) {
        const bool alphaMore = alphaVideo_->nextFrame();
        report("oggalpha", alphaVideo_->takeError());
        if (!alphaMore) return false;
    }
    return true;
}

bool nE_VideoDecoder::convert(uint8_t* out, int pitch) {
    nE_TheoraStream::Planes colour;
    if (!out || pitch < width() || !colour_.planes(colour)) return false;
    const uint8_t* plane = zalpha_ && alphaPlane_ ? zalpha_->plane() : nullptr;
    nE_TheoraStream::Planes alpha;
    const bool alphaVideo = alphaVideo_ && alphaVideo_->planes(alpha);
    nE_YuvConverter::convert(colour, width(), height(), plane, alphaVideo ? &alpha : nullptr, out, pitch);
    return true;
}

bool nE_VideoDecoder::seek(int n) {
    if (!playable_) return false;
    if (!colour_.rewind()) {
        report("ogg", colour_.takeError());
        playable_ = false;
        return false;
    }
    if (zalpha_ && !zalpha_->rewind()) {
        report("zalpha", zalpha_->takeError() + "; the video is shown opaque");
        dropAlpha();
    }
    if (alphaVideo_ && !alphaVideo_->rewind()) {
        report("oggalpha", alphaVideo_->takeError() + "; the video is shown opaque");
        dropAlpha();
    }
    alphaPlane_ = false;
    for (int i = 0; i < n; ++i)
        if (!advance(false)) return false;
    return true;
}
