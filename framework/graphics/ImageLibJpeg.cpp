#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageReadFile.h"

#include "framework/platform/FileSystem.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace Quillo::ImageLib
{
namespace
{

struct JpegError
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// The library pads a truncated file with grey and only warns; such a file
// is refused like any other broken one.
void OnJpegEmit(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        OnJpegError(info);
}

struct JpegReadState
{
    std::unique_ptr<Image> image;
    std::vector<uint8_t> row;
    std::string error;
};

std::string LibraryMessage(jpeg_decompress_struct& cinfo)
{
    char text[JMSG_LENGTH_MAX] = {};
    cinfo.err->format_message(reinterpret_cast<j_common_ptr>(&cinfo), text);
    return std::string("JPEG: ") + text;
}

// Print tools store CMYK inverted (Adobe's convention, which nearly every
// writer follows): a stored value is 255 minus the ink, so each colour is
// the product of its own and the black channel's stored values.
uint32_t CmykToArgb(const uint8_t* p)
{
    const uint32_t k = p[3];
    const auto mix = [k](uint32_t v) { return (v * k + 127) / 255; };
    return 0xFF000000u | (mix(p[0]) << 16) | (mix(p[1]) << 8) | mix(p[2]);
}

bool DecodeInto(jpeg_decompress_struct& cinfo, JpegError& err, const uint8_t* data, size_t size,
                JpegReadState& state)
{
    if (setjmp(err.jump))
    {
        state.error = LibraryMessage(cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(kMaxSide) ||
        cinfo.image_height > unsigned(kMaxSide) ||
        int64_t(cinfo.image_width) * cinfo.image_height > kMaxPixels)
    {
        state.error = "the image has no pixels or is too large";
        return false;
    }
    // Grey pictures are expanded to RGB by the library; CMYK (and YCCK,
    // which the library turns into CMYK) is converted here.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int components = cmyk ? 4 : 3;
    if (cinfo.output_components != components)
    {
        state.error = "unexpected number of colour components";
        return false;
    }
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    state.image = std::make_unique<Image>(width, height);
    state.row.resize(size_t(width) * size_t(components));
    while (cinfo.output_scanline < cinfo.output_height)
    {
        const int y = int(cinfo.output_scanline);
        JSAMPROW rows[1] = {state.row.data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1)
        {
            state.error = "the JPEG data ends early";
            return false;
        }
        uint32_t* out = &state.image->bits[size_t(y) * size_t(width)];
        const uint8_t* p = state.row.data();
        if (cmyk)
            for (int x = 0; x < width; ++x, p += 4)
                out[x] = CmykToArgb(p);
        else
            for (int x = 0; x < width; ++x, p += 3)
                out[x] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

struct JpegWriteState
{
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<uint8_t> row;
};

bool EncodeInto(jpeg_compress_struct& cinfo, JpegError& err, const Image& image,
                JpegWriteState& state)
{
    if (setjmp(err.jump))
        return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &state.buffer, &state.size);
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    state.row.resize(size_t(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        const uint32_t* in = &image.bits[size_t(cinfo.next_scanline) * size_t(image.width)];
        for (int x = 0; x < image.width; ++x)
        {
            state.row[size_t(x) * 3] = uint8_t(in[x] >> 16);
            state.row[size_t(x) * 3 + 1] = uint8_t(in[x] >> 8);
            state.row[size_t(x) * 3 + 2] = uint8_t(in[x]);
        }
        JSAMPROW rows[1] = {state.row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

std::unique_ptr<Image> DecodeJPEG(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < 4)
    {
        if (error)
            *error = "not a JPEG file";
        return nullptr;
    }
    jpeg_decompress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnJpegError;
    err.base.output_message = OnJpegMessage;
    err.base.emit_message = OnJpegEmit;
    JpegReadState state;
    const bool ok = DecodeInto(cinfo, err, data, size, state);
    jpeg_destroy_decompress(&cinfo);
    if (!ok && error)
        *error = state.error;
    return ok ? std::move(state.image) : nullptr;
}

std::unique_ptr<Image> ReadJPEG(const std::string& fileName)
{
    const auto data = ReadImageFile(fileName);
    return data ? DecodeJPEG(data->data(), data->size()) : nullptr;
}

bool WriteJPEG(const std::string& fileName, const Image& image)
{
    if (image.width <= 0 || image.height <= 0 || !image.bits)
        return false;
    jpeg_compress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnJpegError;
    err.base.output_message = OnJpegMessage;
    JpegWriteState state;
    const bool ok = EncodeInto(cinfo, err, image, state);
    jpeg_destroy_compress(&cinfo);
    const bool written = ok && FileSystem::WriteFileAtomic(FileSystem::NormalizePath(fileName),
                                                           state.buffer, state.size);
    std::free(state.buffer);
    return written;
}

} // namespace Quillo::ImageLib
