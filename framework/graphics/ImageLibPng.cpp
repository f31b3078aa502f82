#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageReadFile.h"

#include "framework/platform/FileSystem.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace Quillo::ImageLib
{
namespace
{

// Everything the libpng callbacks touch lives here, outside the frames that
// an error jumps across.
struct PngReadState
{
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    std::unique_ptr<Image> image;
    std::string error;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (state->size - state->pos < length)
        png_error(png, "unexpected end of file");
    std::memcpy(out, state->data + state->pos, length);
    state->pos += length;
}

void OnError(png_structp png, png_const_charp message)
{
    // The reader passes its state as the error pointer; the writer passes
    // none, and its messages are not kept.
    if (auto* state = static_cast<PngReadState*>(png_get_error_ptr(png)))
        state->error = message ? message : "libpng error";
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

bool DecodeInto(png_structp png, png_infop info, PngReadState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &state, ReadBytes);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || int64_t(width) * height > kMaxPixels)
    {
        state.error = "the image is too large";
        return false;
    }
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);

    // Everything becomes 8-bit blue, green, red, alpha: one ARGB word per pixel.
    if (colorType == PNG_COLOR_TYPE_PALETTE || bitDepth < 8)
        png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    // Rounded, not cut to the high byte: 0x80FF becomes 0x81 as elsewhere.
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
    {
        state.error = "unexpected row layout";
        return false;
    }

    state.image = std::make_unique<Image>(int(width), int(height));
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(&state.image->bits[size_t(y) * width]),
                         nullptr);
    png_read_end(png, nullptr);
    return true;
}

struct PngWriteState
{
    std::vector<uint8_t> out;
};

void WriteBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
    state->out.insert(state->out.end(), data, data + length);
}

void FlushBytes(png_structp) {}

bool EncodeInto(png_structp png, png_infop info, const Image& image, PngWriteState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &state, WriteBytes, FlushBytes);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_8 sig{};
    sig.red = sig.green = sig.blue = sig.alpha = 8;
    png_set_sBIT(png, info, &sig);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(&image.bits[size_t(y) * size_t(image.width)]));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::unique_ptr<Image> DecodePNG(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0)
    {
        if (error)
            *error = "not a PNG file";
        return nullptr;
    }
    PngReadState state;
    state.data = data;
    state.size = size;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && DecodeInto(png, info, state);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok && error)
        *error = state.error.empty() ? "the PNG data is damaged" : "PNG: " + state.error;
    return ok ? std::move(state.image) : nullptr;
}

std::unique_ptr<Image> ReadPNG(const std::string& fileName)
{
    const auto data = ReadImageFile(fileName);
    return data ? DecodePNG(data->data(), data->size()) : nullptr;
}

bool WritePNG(const std::string& fileName, const Image& image)
{
    if (image.width <= 0 || image.height <= 0 || !image.bits)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    PngWriteState state;
    const bool ok = info && EncodeInto(png, info, image, state);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return ok && FileSystem::WriteFileAtomic(FileSystem::NormalizePath(fileName), state.out.data(),
                                             state.out.size());
}

} // namespace Quillo::ImageLib
