#pragma once

// Builders for the sound files the audio tests write (every fixture is made
// here, byte by byte or through the Vorbis encoder), and what they are
// compared with.

#include "framework/audio/AudioOutput.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <string>
#include <vector>
#include <vorbis/vorbisenc.h>

namespace AudioFixtures
{

using Bytes = std::vector<uint8_t>;

// Appends `v` in `bytes` bytes, the lowest first unless big-endian.
inline void Put(Bytes& b, uint32_t v, int bytes, bool bigEndian = false)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<uint8_t>(v >> 8 * (bigEndian ? bytes - 1 - i : i)));
}

inline void Tag(Bytes& b, const char* t)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(t[i]));
}

inline Bytes FmtBody(int channels, int rate, int bits, int format = 1)
{
    Bytes f;
    for (auto [value, bytes] : {std::pair{format, 2},
                                {channels, 2},
                                {rate, 4},
                                {rate * channels * bits / 8, 4},
                                {channels * bits / 8, 2},
                                {bits, 2}})
        Put(f, static_cast<uint32_t>(value), bytes);
    return f;
}

// A RIFF WAVE file of the given chunks, in order, each odd-sized one padded.
inline Bytes Wave(std::initializer_list<std::pair<const char*, Bytes>> chunks)
{
    Bytes b;
    Tag(b, "RIFF");
    Put(b, 0, 4); // the size, filled in below
    Tag(b, "WAVE");
    for (const auto& [tag, body] : chunks)
    {
        Tag(b, tag);
        Put(b, static_cast<uint32_t>(body.size()), 4);
        b.insert(b.end(), body.begin(), body.end());
        if (body.size() & 1)
            b.push_back(0);
    }
    const uint32_t size = static_cast<uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i)
        b[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(size >> 8 * i);
    return b;
}

inline Bytes Wave16(int channels, int rate, const std::vector<int16_t>& samples)
{
    Bytes data;
    for (int16_t s : samples)
        Put(data, static_cast<uint16_t>(s), 2);
    return Wave({{"fmt ", FmtBody(channels, rate, 16)}, {"data", data}});
}

inline Bytes Snd(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& data,
                 uint32_t offset = 24, uint32_t size = 0xFFFFFFFE)
{
    Bytes b;
    Tag(b, ".snd");
    for (uint32_t v : {offset, size == 0xFFFFFFFE ? static_cast<uint32_t>(data.size()) : size,
                       encoding, rate, channels})
        Put(b, v, 4, true);
    while (b.size() < offset)
        b.push_back(0);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// A sine of `frames` frames, the right channel (if any) at half amplitude.
inline std::vector<float> Sine(int channels, int rate, int frames, double hz = 441.0)
{
    std::vector<float> s;
    for (int i = 0; i < frames; ++i)
    {
        const float v = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hz * i / rate));
        s.push_back(v);
        if (channels == 2)
            s.push_back(v * 0.5f);
    }
    return s;
}

// Encodes interleaved float samples as Ogg Vorbis.
inline Bytes Ogg(int channels, int rate, const std::vector<float>& samples)
{
    Bytes out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0)
        return out;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);
    ogg_packet headers[3];
    vorbis_analysis_headerout(&vd, &vc, &headers[0], &headers[1], &headers[2]);
    for (ogg_packet& header : headers)
        ogg_stream_packetin(&os, &header);
    auto emit = [&](int (*next)(ogg_stream_state*, ogg_page*))
    {
        ogg_page p;
        while (next(&os, &p))
        {
            out.insert(out.end(), p.header, p.header + p.header_len);
            out.insert(out.end(), p.body, p.body + p.body_len);
        }
    };
    emit(ogg_stream_flush); // the headers on pages of their own
    const int frames = static_cast<int>(samples.size()) / channels;
    float** buffer = vorbis_analysis_buffer(&vd, frames);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            buffer[c][i] = samples[static_cast<size_t>(i * channels + c)];
    vorbis_analysis_wrote(&vd, frames);
    vorbis_analysis_wrote(&vd, 0);
    while (vorbis_analysis_blockout(&vd, &vb) == 1)
    {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&vd, &packet))
        {
            ogg_stream_packetin(&os, &packet);
            emit(ogg_stream_pageout);
        }
    }
    emit(ogg_stream_flush);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// A 4-channel "M.K." module: pattern p starts sample (p % 3) + 1 at a period
// of its own on channels 0 and 1, so every order position sounds different.
// A row lasts `speed` ticks of 20 ms (6 is the format's default).
inline Bytes Mod(int patterns, const std::vector<int>& orders, int speed = 6)
{
    Bytes b(20, 0);
    std::memcpy(b.data(), "quillo test", 11);
    const int sampleWords = 32;
    for (int s = 0; s < 31; ++s)
    {
        b.insert(b.end(), 22, 0); // name
        const bool used = s < 3;
        Put(b, used ? sampleWords : 0, 2, true); // length in words
        b.push_back(0);                          // finetune
        b.push_back(used ? 64 : 0);              // volume
        Put(b, 0, 2, true);                      // loop start
        Put(b, used ? sampleWords : 1, 2, true); // loop length
    }
    b.push_back(static_cast<uint8_t>(orders.size()));
    b.push_back(127);
    for (size_t i = 0; i < 128; ++i)
        b.push_back(i < orders.size() ? static_cast<uint8_t>(orders[i]) : 0);
    Tag(b, "M.K.");
    const int periods[] = {428, 381, 339, 320, 285, 254, 226, 214};
    for (int p = 0; p < patterns; ++p)
        for (int row = 0; row < 64; ++row)
            for (int ch = 0; ch < 4; ++ch)
            {
                uint32_t sample = 0, period = 0;
                if ((row % 8 == 0) && ch < 2)
                {
                    sample = static_cast<uint32_t>(p % 3 + 1);
                    period = static_cast<uint32_t>(periods[(p + row / 8 + ch) % 8]);
                }
                b.push_back(static_cast<uint8_t>((sample & 0xF0) | (period >> 8)));
                b.push_back(static_cast<uint8_t>(period & 0xFF));
                const bool setSpeed = row == 0 && ch == 3;
                b.push_back(static_cast<uint8_t>(((sample & 0x0F) << 4) | (setSpeed ? 0xF : 0)));
                b.push_back(static_cast<uint8_t>(setSpeed ? speed : 0));
            }
    // A square, a saw and a sine.
    for (int s = 0; s < 3; ++s)
        for (int i = 0; i < sampleWords * 2; ++i)
        {
            const int v = s == 0   ? (i < sampleWords ? 100 : -100)
                          : s == 1 ? i * 4 - 127
                                   : static_cast<int>(100 * std::sin(i * M_PI / sampleWords));
            b.push_back(static_cast<uint8_t>(static_cast<int8_t>(std::clamp(v, -127, 127))));
        }
    return b;
}

inline void Write(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// What libopenmpt itself renders for a module started at an order, as
// 16-bit samples the way a full-scale float mix is converted.
inline std::vector<int16_t> DirectRender(const Bytes& module, int order, int frames,
                                         double gain = 1.0)
{
    openmpt_module* mod =
        openmpt_module_create_from_memory2(module.data(), module.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(mod, nullptr);
    if (!mod)
        return {};
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_set_position_order_row(mod, order, 0);
    std::vector<float> f(static_cast<size_t>(frames) * 2);
    size_t done = 0;
    while (done < static_cast<size_t>(frames))
    {
        const size_t got = openmpt_module_read_interleaved_float_stereo(
            mod, 44100, std::min<size_t>(777, frames - done), f.data() + 2 * done);
        if (got == 0)
            break;
        done += got;
    }
    openmpt_module_destroy(mod);
    std::vector<int16_t> out(f.size());
    for (size_t i = 0; i < f.size(); ++i)
        out[i] = static_cast<int16_t>(std::lrint(
            std::clamp(static_cast<float>(f[i] * gain) * 32768.0f, -32768.0f, 32767.0f)));
    return out;
}

inline int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    EXPECT_EQ(a.size(), b.size());
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

inline int Peak(const std::vector<int16_t>& a)
{
    int peak = 0;
    for (int16_t s : a)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// A test on an offline output, with a folder for its files.
struct OfflineTest : ::testing::Test
{
    TempDir dir;
    std::shared_ptr<Quillo::AudioOutput> output = Quillo::AudioOutput::CreateOffline();

    std::vector<int16_t> Render(int frames)
    {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        output->Render(out.data(), frames);
        return out;
    }
};

} // namespace AudioFixtures
