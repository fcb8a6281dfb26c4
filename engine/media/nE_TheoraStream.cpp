#include "engine/media/nE_TheoraStream.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include "engine/media/nE_ByteReader.h"

namespace {

// Bytes handed to the Ogg sync layer per read.
constexpr int kReadChunk = 4096;

// A coded frame is the picture rounded up to 16 plus an offset of at most 255.
constexpr ogg_uint32_t kMaxFrameSide = nE_TheoraStream::kMaxSide + 256 + 16;

// More than an intra frame of the largest picture could take: a packet still growing past this is
// damaged data, and is not held in memory.
constexpr long kMaxPacketBytes = 32L << 20;

}  // namespace

struct nE_TheoraStream::Codec {
    Codec() {
        ogg_sync_init(&sync);
        th_info_init(&info);
        th_comment_init(&comment);
    }
    ~Codec() {
        if (decoder) th_decode_free(decoder);
        if (setup) th_setup_free(setup);
        th_comment_clear(&comment);
        th_info_clear(&info);
        if (streamReady) ogg_stream_clear(&stream);
        ogg_sync_clear(&sync);
    }
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

    ogg_sync_state sync;
    ogg_stream_state stream;
    bool streamReady = false;
    th_info info;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
};

nE_TheoraStream::nE_TheoraStream() = default;

nE_TheoraStream::~nE_TheoraStream() = default;

void nE_TheoraStream::release() {
    codec_.reset();
    haveFrame_ = false;
}

bool nE_TheoraStream::open(std::unique_ptr<nE_ByteReader> reader) {
    release();
    reader_ = std::move(reader);
    width_ = height_ = 0;
    frameRate_ = 0;
    damageReported_ = false;
    error_.clear();
    if (!reader_) {
        error_ = "nothing to read";
        return false;
    }
    if (readHeaders()) return true;
    release();
    return false;
}

bool nE_TheoraStream::nextPage(bool* beginning) {
    ogg_page page;
    for (;;) {
        // -1 means bytes were passed over to find the next page; go on.
        const int got = ogg_sync_pageout(&codec_->sync, &page);
        if (got == 1) break;
        if (got == 0) {
            char* buffer = ogg_sync_buffer(&codec_->sync, kReadChunk);
            const size_t n = buffer ? reader_->read(buffer, kReadChunk) : 0;
            if (n == 0) return false;
            ogg_sync_wrote(&codec_->sync, static_cast<long>(n));
        }
    }
    if (beginning) *beginning = ogg_page_bos(&page) != 0;
    if (ogg_page_bos(&page)) {
        // Beginnings of other streams (sound) are passed over once the video stream is known.
        if (codec_->streamReady) return true;
        ogg_stream_state candidate;
        ogg_stream_init(&candidate, ogg_page_serialno(&page));
        ogg_stream_pagein(&candidate, &page);
        ogg_packet packet;
        if (ogg_stream_packetout(&candidate, &packet) == 1 &&
            th_decode_headerin(&codec_->info, &codec_->comment, &codec_->setup, &packet) > 0) {
            codec_->stream = candidate;
            codec_->streamReady = true;
            return true;
        }
        ogg_stream_clear(&candidate);
        th_info_clear(&codec_->info);
        th_info_init(&codec_->info);
        return true;
    }
    // Pages of other streams are refused by the stream's serial number.
    if (codec_->streamReady) {
        ogg_stream_pagein(&codec_->stream, &page);
        if (codec_->stream.body_fill > kMaxPacketBytes) {
            error_ = "a packet is impossibly large";
            return false;
        }
    }
    return true;
}

bool nE_TheoraStream::readHeaders() {
    codec_ = std::make_unique<Codec>();
    int headers = 0;
    while (headers < 3) {
        if (codec_->streamReady) {
            // The identification header came with the stream's first page.
            if (headers == 0) headers = 1;
            ogg_packet packet;
            const int got = ogg_stream_packetout(&codec_->stream, &packet);
            if (got < 0) {
                error_ = "its headers are damaged";
                return false;
            }
            if (got == 1) {
                if (th_decode_headerin(&codec_->info, &codec_->comment, &codec_->setup, &packet) <= 0) {
                    error_ = "its headers are damaged";
                    return false;
                }
                ++headers;
                continue;
            }
        }
        bool beginning = false;
        if (!nextPage(&beginning)) {
            if (error_.empty())
                error_ = codec_->streamReady ? "it ends within its headers" : "it holds no Theora video";
            return false;
        }
        // The beginning pages of all streams come first.
        if (!codec_->streamReady && !beginning) {
            error_ = "it holds no Theora video";
            return false;
        }
    }

    const th_info& info = codec_->info;
    if (info.pixel_fmt != TH_PF_420 && info.pixel_fmt != TH_PF_422 && info.pixel_fmt != TH_PF_444) {
        error_ = "its chroma layout is reserved";
        return false;
    }
    if (info.fps_numerator == 0 || info.fps_denominator == 0) {
        error_ = "its frame rate is undefined";
        return false;
    }
    if (info.pic_width == 0 || info.pic_height == 0 || info.pic_width > kMaxSide ||
        info.pic_height > kMaxSide || info.frame_width > kMaxFrameSide || info.frame_height > kMaxFrameSide ||
        info.pic_x + info.pic_width > info.frame_width || info.pic_y + info.pic_height > info.frame_height) {
        error_ = "its picture size is unsupported (" + std::to_string(info.pic_width) + " x " +
                 std::to_string(info.pic_height) + ")";
        return false;
    }
    codec_->decoder = th_decode_alloc(&codec_->info, codec_->setup);
    if (!codec_->decoder) {
        error_ = "its headers are damaged";
        return false;
    }
    th_setup_free(codec_->setup);
    codec_->setup = nullptr;
    width_ = static_cast<int>(info.pic_width);
    height_ = static_cast<int>(info.pic_height);
    frameRate_ = static_cast<double>(info.fps_numerator) / static_cast<double>(info.fps_denominator);
    pixelFormat_ = info.pixel_fmt;
    return true;
}

bool nE_TheoraStream::nextFrame() {
    if (!codec_ || !codec_->decoder) return false;
    for (;;) {
        ogg_packet packet;
        const int got = ogg_stream_packetout(&codec_->stream, &packet);
        if (got < 0) continue;  // a gap in the data: the next whole packet follows
        if (got == 0) {
            if (!nextPage(nullptr)) return false;
            continue;
        }
        // Headers repeated inside the data are nothing to show.
        if (packet.bytes > 0 && (packet.packet[0] & 0x80)) continue;
        ogg_int64_t granule = 0;
        const int result = th_decode_packetin(codec_->decoder, &packet, &granule);
        if (result == 0) {
            haveFrame_ = true;
        } else if (result != TH_DUPFRAME && !damageReported_) {
            // A damaged frame keeps its time: the picture before it stays.
            damageReported_ = true;
            error_ = "a frame is damaged and is passed over";
        }
        return true;
    }
}

bool nE_TheoraStream::planes(Planes& out) {
    if (!codec_ || !codec_->decoder || !haveFrame_) return false;
    th_ycbcr_buffer buffer;
    if (th_decode_ycbcr_out(codec_->decoder, buffer) != 0) return false;
    const th_info& info = codec_->info;
    out.xShift = info.pixel_fmt == TH_PF_444 ? 0 : 1;
    out.yShift = info.pixel_fmt == TH_PF_420 ? 1 : 0;
    out.picX = static_cast<int>(info.pic_x);
    out.picY = static_cast<int>(info.pic_y);
    const int right = out.picX + width_, bottom = out.picY + height_;
    for (int i = 0; i < 3; ++i) {
        const int needW = i == 0 ? right : ((right - 1) >> out.xShift) + 1;
        const int needH = i == 0 ? bottom : ((bottom - 1) >> out.yShift) + 1;
        if (!buffer[i].data || buffer[i].width < needW || buffer[i].height < needH ||
            buffer[i].stride < needW)
            return false;
        out.data[i] = buffer[i].data;
        out.stride[i] = buffer[i].stride;
    }
    return true;
}

std::string nE_TheoraStream::takeError() {
    std::string taken;
    taken.swap(error_);
    return taken;
}

bool nE_TheoraStream::rewind() {
    const int width = width_, height = height_;
    release();
    if (!reader_ || !reader_->rewind()) {
        error_ = "it cannot be read again";
        return false;
    }
    if (!readHeaders()) {
        release();
        return false;
    }
    // The file under the same name has changed: the buffers sized for it do not fit.
    if (width_ != width || height_ != height) {
        error_ = "it changed while playing";
        release();
        return false;
    }
    return true;
}
