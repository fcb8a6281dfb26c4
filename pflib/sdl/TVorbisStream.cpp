#include "pflib/sdl/TVorbisStream.h"

#include <cstdio>
#include <cstring>

namespace pf {

namespace {

bool openFile(const str& path, OggVorbis_File& file) {
    FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle) return false;
    // On success the decoder owns the handle and closes it with ov_clear.
    if (ov_open_callbacks(handle, &file, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        std::fclose(handle);
        return false;
    }
    return true;
}

// Decoded bytes asked from the file at a time.
constexpr int kReadBytes = 8192;
// A file that gives only errors this many times in a row is treated as ended.
constexpr int kMaxErrors = 16;

}  // namespace

bool TVorbisStream::Probe(const str& path, double& seconds) {
    OggVorbis_File file;
    if (!openFile(path, file)) return false;
    const double total = ov_time_total(&file, -1);
    ov_clear(&file);
    seconds = total > 0 ? total : 0;
    return true;
}

std::unique_ptr<TVorbisStream> TVorbisStream::Open(const str& path, bool looped, int rate,
                                                   SDL_AudioFormat format, int channels) {
    std::unique_ptr<TVorbisStream> stream(new TVorbisStream());
    if (!openFile(path, stream->file_)) return nullptr;
    stream->fileOpen_ = true;
    const vorbis_info* info = ov_info(&stream->file_, -1);
    if (!info || info->channels <= 0 || info->rate <= 0) return nullptr;
    stream->convert_ =
        SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info->channels), static_cast<int>(info->rate),
                           format, static_cast<Uint8>(channels), rate);
    if (!stream->convert_) return nullptr;
    stream->looped_ = looped;
    stream->silence_ = SDL_AUDIO_ISSIGNED(format) ? 0 : 0x80;
    return stream;
}

TVorbisStream::~TVorbisStream() {
    if (convert_) SDL_FreeAudioStream(convert_);
    if (fileOpen_) ov_clear(&file_);
}

void TVorbisStream::Fill(uint8_t* out, int bytes) {
    char buffer[kReadBytes];
    int errors = 0;
    while (!sourceDone_ && SDL_AudioStreamAvailable(convert_) < bytes) {
        int section = 0;
        const long got =
            ov_read(&file_, buffer, sizeof buffer, SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
        if (got > 0) {
            errors = 0;
            SDL_AudioStreamPut(convert_, buffer, static_cast<int>(got));
        } else if (got == 0 && looped_ && ov_pcm_seek(&file_, 0) == 0) {
            continue;
        } else if (got < 0 && ++errors < kMaxErrors) {
            continue;  // a hole or a damaged page: go on with the next one
        } else {
            SDL_AudioStreamFlush(convert_);
            sourceDone_ = true;
        }
    }
    const int filled = bytes > 0 ? SDL_AudioStreamGet(convert_, out, bytes) : 0;
    const int used = filled > 0 ? filled : 0;
    if (used < bytes) std::memset(out + used, silence_, static_cast<size_t>(bytes - used));
    if (sourceDone_ && SDL_AudioStreamAvailable(convert_) == 0) ended_.store(true);
}

}  // namespace pf
