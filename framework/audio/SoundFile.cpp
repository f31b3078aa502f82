#include "framework/audio/SoundFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vorbis/vorbisfile.h>

namespace Quillo::SoundFile
{

namespace
{

constexpr int kMinRate = 100;
constexpr int kMaxRate = 200000;
constexpr size_t kMaxDependencyName = 255;

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Le64(const uint8_t* p)
{
    return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}

uint16_t Be16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t Be32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool IsTag(const uint8_t* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

// Format 1, or the extensible format (0xFFFE) whose sub-format GUID is
// PCM's: {00000001-0000-0010-8000-00AA00389B71}. The extensible header's
// channel mask and valid-bits field do not change how samples are stored.
bool IsPcmFormat(const uint8_t* body, uint32_t chunkSize, std::string& error)
{
    constexpr uint16_t kExtensible = 0xFFFE;
    static constexpr uint8_t kPcmGuid[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                             0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    const uint16_t format = Le16(body);
    if (format == 1)
        return true;
    if (format != kExtensible)
    {
        error = "not PCM data (format " + std::to_string(format) + ")";
        return false;
    }
    if (chunkSize < 40 || Le16(body + 16) < 22)
    {
        error = "the extensible format chunk is too short";
        return false;
    }
    if (std::memcmp(body + 24, kPcmGuid, 16) != 0)
    {
        error = "not PCM data (extensible sub-format " + std::to_string(Le16(body + 24)) + ")";
        return false;
    }
    return true;
}

bool CheckShape(int channels, int rate, std::string& error)
{
    if (channels < 1 || channels > 2)
    {
        error = "unsupported channel count " + std::to_string(channels);
        return false;
    }
    if (rate < kMinRate || rate > kMaxRate)
    {
        error = "unsupported sample rate " + std::to_string(rate);
        return false;
    }
    return true;
}

// A read-only view of a byte buffer as a file for libvorbisfile.
struct MemorySource
{
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

size_t MemoryRead(void* out, size_t size, size_t count, void* source)
{
    auto* s = static_cast<MemorySource*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (s->bytes.size() - s->position) / size);
    if (items == 0)
        return 0;
    std::memcpy(out, s->bytes.data() + s->position, items * size);
    s->position += items * size;
    return items;
}

int MemorySeek(void* source, ogg_int64_t offset, int whence)
{
    auto* s = static_cast<MemorySource*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(s->position);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(s->bytes.size());
    else if (whence != SEEK_SET)
        return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(s->bytes.size()))
        return -1;
    s->position = static_cast<size_t>(target);
    return 0;
}

long MemoryTell(void* source)
{
    return static_cast<long>(static_cast<MemorySource*>(source)->position);
}

} // namespace

int16_t MuLawToLinear(uint8_t code)
{
    const int u = ~code & 0xFF;
    int magnitude = ((u & 0x0F) << 3) + 0x84;
    magnitude <<= (u & 0x70) >> 4;
    return static_cast<int16_t>((u & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

int16_t ALawToLinear(uint8_t code)
{
    const int a = code ^ 0x55;
    int magnitude = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    magnitude += segment == 0 ? 8 : 0x108;
    if (segment > 1)
        magnitude <<= segment - 1;
    return static_cast<int16_t>((a & 0x80) ? magnitude : -magnitude);
}

std::optional<WaveContents> DecodeWave(std::span<const uint8_t> bytes, std::string& error)
{
    const size_t size = bytes.size();
    const uint8_t* b = bytes.data();
    if (size < 12 || !IsTag(b, "RIFF") || !IsTag(b + 8, "WAVE"))
    {
        error = "not a RIFF WAVE file";
        return std::nullopt;
    }
    WaveContents result;
    PcmSound& sound = result.sound;
    size_t pos = 12;
    while (size - pos >= 8)
    {
        const uint8_t* header = b + pos;
        const uint32_t chunkSize = Le32(header + 4);
        pos += 8;
        const size_t available = size - pos;
        if (chunkSize > available)
        {
            error = std::string("the \"") + std::string(reinterpret_cast<const char*>(header), 4) +
                    "\" chunk runs past the end of the file";
            return std::nullopt;
        }
        const uint8_t* body = b + pos;
        if (IsTag(header, "fmt "))
        {
            if (chunkSize < 16)
            {
                error = "the format chunk is too short";
                return std::nullopt;
            }
            if (!IsPcmFormat(body, chunkSize, error))
                return std::nullopt;
            sound.channels = Le16(body + 2);
            sound.sampleRate = static_cast<int>(std::min<uint32_t>(Le32(body + 4), 0x7FFFFFFF));
            sound.bitsPerSample = Le16(body + 14);
            if (!CheckShape(sound.channels, sound.sampleRate, error))
                return std::nullopt;
            if (sound.bitsPerSample != 8 && sound.bitsPerSample != 16)
            {
                error = "unsupported sample size " + std::to_string(sound.bitsPerSample) + " bits";
                return std::nullopt;
            }
        }
        else if (IsTag(header, "dep "))
        {
            const size_t nameLength = chunkSize >= 2 ? Le16(body) : 0;
            if (chunkSize < 2 || 2 + nameLength + 8 > chunkSize)
            {
                error = "the source chunk is malformed";
                return std::nullopt;
            }
            Dependency dep;
            dep.path.assign(reinterpret_cast<const char*>(body + 2),
                            std::min(nameLength, kMaxDependencyName));
            dep.time = Le64(body + 2 + nameLength);
            result.dependency = std::move(dep);
        }
        else if (IsTag(header, "data"))
        {
            const size_t frameBytes =
                static_cast<size_t>(sound.channels) * (sound.bitsPerSample / 8);
            const size_t count = chunkSize / frameBytes * sound.channels;
            sound.samples.resize(count);
            if (sound.bitsPerSample == 8)
            {
                // 8-bit WAVE data is unsigned, centred on 128.
                for (size_t i = 0; i < count; ++i)
                    sound.samples[i] = static_cast<int16_t>((body[i] - 128) * 256);
            }
            else
            {
                for (size_t i = 0; i < count; ++i)
                    sound.samples[i] = static_cast<int16_t>(Le16(body + 2 * i));
            }
            return result;
        }
        // Chunks are padded to an even size; the pad byte is not counted.
        pos += chunkSize;
        pos += std::min<size_t>(chunkSize & 1, size - pos);
    }
    error = "the file has no data chunk";
    return std::nullopt;
}

std::optional<PcmSound> DecodeSnd(std::span<const uint8_t> bytes, std::string& error)
{
    const size_t size = bytes.size();
    const uint8_t* b = bytes.data();
    if (size < 24 || !IsTag(b, ".snd"))
    {
        error = "not a .snd file";
        return std::nullopt;
    }
    const uint32_t offset = Be32(b + 4);
    uint32_t dataSize = Be32(b + 8);
    const uint32_t encoding = Be32(b + 12);
    const uint32_t rate = Be32(b + 16);
    const uint32_t channels = Be32(b + 20);
    if (offset < 24 || offset > size)
    {
        error = "the data offset lies outside the file";
        return std::nullopt;
    }
    const size_t available = size - offset;
    // All ones means "unknown size": the data runs to the end of the file.
    if (dataSize == 0xFFFFFFFFu)
        dataSize = static_cast<uint32_t>(std::min<size_t>(available, 0xFFFFFFFEu));
    if (dataSize > available)
    {
        error = "the sound data is truncated";
        return std::nullopt;
    }
    PcmSound sound;
    sound.channels = static_cast<int>(std::min<uint32_t>(channels, 0x7FFFFFFF));
    sound.sampleRate = static_cast<int>(std::min<uint32_t>(rate, 0x7FFFFFFF));
    if (!CheckShape(sound.channels, sound.sampleRate, error))
        return std::nullopt;
    const uint8_t* data = b + offset;
    const size_t sampleBytes = encoding == 3 ? 2 : 1;
    const size_t count = dataSize / sampleBytes / sound.channels * sound.channels;
    sound.samples.resize(count);
    if (encoding == 1)
    {
        sound.bitsPerSample = 16;
        for (size_t i = 0; i < count; ++i)
            sound.samples[i] = MuLawToLinear(data[i]);
    }
    else if (encoding == 2)
    {
        // 8-bit linear data in this format is signed.
        sound.bitsPerSample = 8;
        for (size_t i = 0; i < count; ++i)
            sound.samples[i] = static_cast<int16_t>(static_cast<int8_t>(data[i]) * 256);
    }
    else if (encoding == 27)
    {
        sound.bitsPerSample = 16;
        for (size_t i = 0; i < count; ++i)
            sound.samples[i] = ALawToLinear(data[i]);
    }
    else if (encoding == 3)
    {
        sound.bitsPerSample = 16;
        for (size_t i = 0; i < count; ++i)
            sound.samples[i] = static_cast<int16_t>(Be16(data + 2 * i));
    }
    else
    {
        error = "unsupported encoding " + std::to_string(encoding);
        return std::nullopt;
    }
    return sound;
}

std::optional<PcmSound> DecodeOgg(std::span<const uint8_t> bytes, std::string& error,
                                  size_t maxSamples)
{
    MemorySource source{bytes, 0};
    const ov_callbacks callbacks{MemoryRead, MemorySeek, nullptr, MemoryTell};
    OggVorbis_File file;
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) < 0)
    {
        error = "not an Ogg Vorbis stream";
        return std::nullopt;
    }
    struct Closer
    {
        OggVorbis_File* file;
        ~Closer() { ov_clear(file); }
    } closer{&file};

    const vorbis_info* info = ov_info(&file, -1);
    if (!info)
    {
        error = "the stream has no header";
        return std::nullopt;
    }
    PcmSound sound;
    sound.channels = info->channels;
    sound.sampleRate = static_cast<int>(std::clamp<long>(info->rate, 0, 0x7FFFFFFF));
    sound.bitsPerSample = 16;
    if (!CheckShape(sound.channels, sound.sampleRate, error))
        return std::nullopt;
    // The total comes from the last page's granule position, which a damaged
    // file can set to anything, including a negative value.
    const ogg_int64_t frames = ov_pcm_total(&file, -1);
    if (frames <= 0)
    {
        error = "the stream length is unknown";
        return std::nullopt;
    }
    if (static_cast<uint64_t>(frames) > maxSamples / static_cast<size_t>(sound.channels))
    {
        error = "the stream is too long";
        return std::nullopt;
    }
    sound.samples.resize(static_cast<size_t>(frames) * sound.channels);
    char* out = reinterpret_cast<char*>(sound.samples.data());
    const size_t total = sound.samples.size() * sizeof(int16_t);
    size_t filled = 0;
    int holes = 0;
    while (filled < total)
    {
        int section = 0;
        const int want = static_cast<int>(std::min<size_t>(total - filled, 1 << 16));
        const long got = ov_read(&file, out + filled, want, 0, 2, 1, &section);
        if (got == OV_HOLE && ++holes < 64)
            continue;
        if (got < 0)
        {
            error = "the stream is corrupt";
            return std::nullopt;
        }
        if (got == 0)
            break;
        const vorbis_info* link = ov_info(&file, section);
        if (!link || link->channels != sound.channels || link->rate != info->rate)
        {
            error = "the stream changes its format part-way";
            return std::nullopt;
        }
        filled += static_cast<size_t>(got);
    }
    if (filled < total)
    {
        error = "the stream ends early";
        return std::nullopt;
    }
    return sound;
}

std::vector<uint8_t> EncodeWaveCache(const PcmSound& sound, const Dependency& source)
{
    const uint32_t bytesPerSample = sound.bitsPerSample == 8 ? 1 : 2;
    const uint32_t dataLength = static_cast<uint32_t>(sound.samples.size() * bytesPerSample);
    const size_t nameLength = std::min<size_t>(source.path.size(), 0xFFFF);
    std::vector<uint8_t> out;
    out.reserve(64 + nameLength + dataLength);
    PutTag(out, "RIFF");
    Put32(out, dataLength + 36);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(sound.channels));
    Put32(out, static_cast<uint32_t>(sound.sampleRate));
    Put32(out, static_cast<uint32_t>(sound.channels) * bytesPerSample *
                   static_cast<uint32_t>(sound.sampleRate));
    Put16(out, static_cast<uint32_t>(sound.channels) * bytesPerSample);
    Put16(out, bytesPerSample * 8);
    PutTag(out, "dep ");
    const uint32_t depSize = static_cast<uint32_t>(nameLength) + 10;
    Put32(out, depSize);
    Put16(out, static_cast<uint32_t>(nameLength));
    out.insert(out.end(), source.path.begin(),
               source.path.begin() + static_cast<std::ptrdiff_t>(nameLength));
    Put32(out, static_cast<uint32_t>(source.time));
    Put32(out, static_cast<uint32_t>(source.time >> 32));
    if (depSize & 1)
        out.push_back(0);
    PutTag(out, "data");
    Put32(out, dataLength);
    for (int16_t s : sound.samples)
    {
        if (bytesPerSample == 1)
            out.push_back(static_cast<uint8_t>((s >> 8) + 128));
        else
            Put16(out, static_cast<uint16_t>(s));
    }
    return out;
}

} // namespace Quillo::SoundFile
