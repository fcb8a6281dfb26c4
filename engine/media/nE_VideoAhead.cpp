#include "engine/media/nE_VideoAhead.h"

#include <cstring>

#include "engine/core/nE_Debug.h"
#include "pflib/TWorkers.h"

nE_VideoAhead::nE_VideoAhead(std::unique_ptr<nE_VideoDecoder> decoder) : decoder_(std::move(decoder)) {}

nE_VideoAhead::~nE_VideoAhead() {
    join();
}

void nE_VideoAhead::join() {
    if (!task_.valid()) return;
    task_.wait();
    task_ = std::future<void>();
    // The worker's reports are said here, on the thread that owns the log's listeners.
    for (const std::string& line : lines_) nE_Debug::write(line.c_str());
    lines_.clear();
}

void nE_VideoAhead::dropAhead() {
    join();
    ahead_ = aheadMore_ = pixelsReady_ = aheadConverted_ = false;
}

void nE_VideoAhead::decodeAhead(bool rewind) {
    if (!decoder_) return;
    dropAhead();
    if (rewind && !decoder_->playable()) return;
    ahead_ = true;
    task_ = pf::TWorkers::Run([this, rewind] {
        nE_Debug::Capture capture;
        const bool rewound = !rewind || decoder_->seek(0);
        aheadMore_ = rewound && decoder_->advance(true);
        aheadConverted_ = false;
        if (aheadMore_) {
            const size_t size = static_cast<size_t>(decoder_->width()) * decoder_->height() * 4;
            if (pixels_.size() != size) pixels_.assign(size, 0);
            aheadConverted_ = !pixels_.empty() && decoder_->convert(pixels_.data(), decoder_->width());
        }
        lines_ = std::move(capture.lines);
    });
}

bool nE_VideoAhead::advance(bool forShow) {
    join();
    if (ahead_) {
        ahead_ = false;
        // Decoded for showing; a frame only stepped over is converted again if ever asked for.
        pixelsReady_ = forShow && aheadMore_ && aheadConverted_;
        return aheadMore_;
    }
    pixelsReady_ = false;
    return decoder_->advance(forShow);
}

bool nE_VideoAhead::convert(uint8_t* out, int pitch) {
    join();
    if (ahead_) return false;
    if (!pixelsReady_ || !out || pitch < width()) return decoder_->convert(out, pitch);
    const size_t row = static_cast<size_t>(width()) * 4;
    for (int y = 0; y < height(); ++y)
        std::memcpy(out + static_cast<size_t>(y) * pitch * 4, pixels_.data() + y * row, row);
    return true;
}

bool nE_VideoAhead::seek(int n) {
    dropAhead();
    return decoder_->seek(n);
}

bool nE_VideoAhead::playable() {
    join();
    return decoder_->playable();
}

int nE_VideoAhead::width() {
    join();
    return decoder_->width();
}

int nE_VideoAhead::height() {
    join();
    return decoder_->height();
}

double nE_VideoAhead::frameRate() {
    join();
    return decoder_->frameRate();
}

nE_VideoDecoder::AlphaKind nE_VideoAhead::alphaKind() {
    join();
    return decoder_->alphaKind();
}
