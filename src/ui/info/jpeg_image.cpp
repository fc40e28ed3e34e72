#include "ui/info/jpeg_image.h"

#include <climits>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, whose default ends the process. Ours
// jumps back into the phase that called libjpeg instead. The phases are plain C-style
// functions that hold no object with a destructor, so the jump skips nothing but libjpeg's own
// frames; libjpeg's memory is released by jpeg_destroy_decompress afterwards.
struct JpegErrors {
    jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf resume;
};

[[noreturn]] void JumpBack(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->resume, 1);
}

// Warnings (a truncated stream, damaged entropy data) are counted in num_warnings and judged by
// the caller; nothing is printed.
void KeepQuiet(j_common_ptr)
{
}

bool ReadHeader(jpeg_decompress_struct* cinfo, JpegErrors* errors, const unsigned char* data,
                unsigned long size)
{
    if (setjmp(errors->resume))
        return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    cinfo->out_color_space = JCS_RGB;
    return true;
}

bool ReadPixels(jpeg_decompress_struct* cinfo, JpegErrors* errors, unsigned char* bits,
                long long bytesPerLine, unsigned width, unsigned height)
{
    if (setjmp(errors->resume))
        return false;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != width || cinfo->output_height != height ||
        cinfo->output_components != 3)
        return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = bits + bytesPerLine * cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(cinfo);
    return errors->pub.num_warnings == 0;
}

}  // namespace

QImage DecodeJpeg(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0 || size > ULONG_MAX)
        return {};

    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpBack;
    errors.pub.output_message = KeepQuiet;

    QImage image;
    if (ReadHeader(&cinfo, &errors, data, static_cast<unsigned long>(size))) {
        const unsigned width = cinfo.image_width;
        const unsigned height = cinfo.image_height;
        if (width > 0 && height > 0 && static_cast<long long>(width) * height <= kMaxJpegPixels) {
            image =
                QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
            if (image.isNull() ||
                !ReadPixels(&cinfo, &errors, image.bits(), image.bytesPerLine(), width, height))
                image = QImage();
        }
    }
    jpeg_destroy_decompress(&cinfo);
    return image;
}
