// The JPEG layer over libjpeg-turbo: encodes in memory under its own error handler, then writes the file.
#include "Ijl.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

namespace ijl {

struct JpegState {
    bool initialised = true;
};

namespace {

// libjpeg's default error_exit ends the process; ours jumps back to the encoder's entry.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

extern "C" void errorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    std::longjmp(manager->jump, 1);
}

extern "C" void silentMessage(j_common_ptr) {}

// Only plain data lives in this frame, so the long jump skips no destructor.
bool encode(const JPEG_CORE_PROPERTIES &p, const std::uint8_t **rows, unsigned char **out, unsigned long *size)
{
    jpeg_compress_struct info;
    ErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = errorExit;
    manager.base.output_message = silentMessage;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(p.JPGWidth);
    info.image_height = static_cast<JDIMENSION>(p.JPGHeight);
    info.input_components = 3;
    info.in_color_space = p.DIBColor == IJL_RGB ? JCS_RGB : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, p.jquality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg takes non-const rows but only reads them.
        auto row = reinterpret_cast<JSAMPARRAY>(const_cast<std::uint8_t **>(rows + info.next_scanline));
        jpeg_write_scanlines(&info, row, info.image_height - info.next_scanline);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// Writes beside the target and renames over it, so a failed write never damages an existing file.
IJLERR writeFile(const char *path, const unsigned char *bytes, unsigned long size)
{
    std::string temp = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return IJL_ERR_FILEOPEN;
    fchmod(fd, 0644);
    unsigned long written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n <= 0)
            break;
        written += static_cast<unsigned long>(n);
    }
    const bool closed = ::close(fd) == 0;
    if (written != size || !closed || std::rename(temp.c_str(), path) != 0) {
        std::remove(temp.c_str());
        return IJL_ERR_FILEWRITE;
    }
    return IJL_OK;
}

}  // namespace

IJLERR ijlInit(JPEG_CORE_PROPERTIES *props)
{
    if (!props)
        return IJL_NULL_JPEG_PROPERTIES;
    *props = JPEG_CORE_PROPERTIES();
    props->DIBChannels = 3;
    props->DIBColor = IJL_BGR;
    props->JPGChannels = 3;
    props->JPGColor = IJL_YCBCR;
    props->jquality = 75;
    props->jprops = new (std::nothrow) JpegState;
    return props->jprops ? IJL_OK : IJL_MEMORY_ERROR;
}

IJLERR ijlWrite(JPEG_CORE_PROPERTIES *props, IJLIOTYPE mode)
{
    if (!props)
        return IJL_NULL_JPEG_PROPERTIES;
    if (!props->jprops || !props->jprops->initialised)
        return IJL_INVALID_ENCODER;
    if (mode != IJL_JFILE_WRITEWHOLEIMAGE)
        return IJL_UNSUPPORTED_MODE;
    const JPEG_CORE_PROPERTIES &p = *props;
    if (p.DIBChannels != 3 || p.JPGChannels != 3 || (p.DIBColor != IJL_BGR && p.DIBColor != IJL_RGB))
        return IJL_UNSUPPORTED_CHANNELS;
    if (!p.DIBBytes || p.DIBWidth <= 0 || p.DIBHeight == 0 || p.DIBPadBytes < 0)
        return IJL_INVALID_DIB;
    const std::int64_t height = p.DIBHeight < 0 ? -std::int64_t(p.DIBHeight) : p.DIBHeight;
    if (p.JPGWidth != p.DIBWidth || p.JPGHeight != height || p.jquality < 1 || p.jquality > 100)
        return IJL_INVALID_JPEG;
    if (!p.JPGFile || !*p.JPGFile)
        return IJL_INVALID_FILENAME;

    const std::size_t stride = std::size_t(p.DIBWidth) * 3 + std::size_t(p.DIBPadBytes);
    std::vector<const std::uint8_t *> rows(static_cast<std::size_t>(height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t memoryRow = p.DIBHeight < 0 ? height - 1 - y : y;
        rows[std::size_t(y)] = p.DIBBytes + std::size_t(memoryRow) * stride;
    }
    unsigned char *out = nullptr;
    unsigned long size = 0;
    const bool encoded = encode(p, rows.data(), &out, &size);
    if (!encoded) {
        std::free(out);
        return IJL_EXCEPTION_DETECTED;
    }
    const IJLERR result = writeFile(p.JPGFile, out, size);
    std::free(out);
    return result;
}

IJLERR ijlFree(JPEG_CORE_PROPERTIES *props)
{
    if (!props)
        return IJL_NULL_JPEG_PROPERTIES;
    delete props->jprops;
    props->jprops = nullptr;
    return IJL_OK;
}

}  // namespace ijl
