// The JPEG library interface the image export calls: a properties record, init, write, free.
#pragma once

#include <cstdint>

namespace ijl {

// Result codes: 0 is success, every failure is negative. No call ever ends the process.
enum IJLERR : int {
    IJL_OK = 0,
    IJL_EXCEPTION_DETECTED = -1,    // the encoder refused the data (its own error)
    IJL_INVALID_ENCODER = -2,       // the record was not initialised, or was freed
    IJL_NULL_JPEG_PROPERTIES = -3,  // no record
    IJL_UNSUPPORTED_MODE = -4,      // a mode other than the whole-image file write
    IJL_INVALID_DIB = -5,           // no pixels, zero or negative width, zero height, negative pad
    IJL_INVALID_JPEG = -6,          // JPEG size differs from the DIB size, or quality outside 1..100
    IJL_INVALID_FILENAME = -7,      // no file name
    IJL_ERR_FILEOPEN = -8,          // the file cannot be created
    IJL_ERR_FILEWRITE = -9,         // writing or closing the file failed (the partial file is removed)
    IJL_MEMORY_ERROR = -10,
    IJL_UNSUPPORTED_CHANNELS = -11  // only 3-channel BGR pixels are accepted
};

// Write modes; only the whole-image file write is provided.
enum IJLIOTYPE : int { IJL_JFILE_WRITEWHOLEIMAGE = 8 };

enum IJL_COLOR : int { IJL_RGB = 1, IJL_BGR = 2, IJL_YCBCR = 3, IJL_G = 4 };

struct JpegState;  // the encoder's own state, owned by the record between init and free

// The parameter record. ijlInit fills the defaults (3-channel BGR pixels, YCbCr JPEG, quality 75);
// the caller then sets the DIB and JPEG fields. A negative DIBHeight means the rows lie bottom-up
// (the first row in memory is the bottom row of the picture); each row is followed by DIBPadBytes.
struct JPEG_CORE_PROPERTIES {
    const std::uint8_t *DIBBytes = nullptr;
    std::int32_t DIBWidth = 0;
    std::int32_t DIBHeight = 0;
    std::int32_t DIBPadBytes = 0;
    std::int32_t DIBChannels = 0;
    IJL_COLOR DIBColor = IJL_BGR;
    const char *JPGFile = nullptr;  // file name as zero-ended bytes of the file system's encoding
    std::int32_t JPGWidth = 0;
    std::int32_t JPGHeight = 0;
    std::int32_t JPGChannels = 0;
    IJL_COLOR JPGColor = IJL_YCBCR;
    std::int32_t jquality = 0;
    JpegState *jprops = nullptr;  // the library's own; not to be touched by the caller
};

// Initialises the record (any earlier content is overwritten, not freed). Null: IJL_NULL_JPEG_PROPERTIES.
IJLERR ijlInit(JPEG_CORE_PROPERTIES *props);
// Encodes the whole DIB into the file JPGFile at quality jquality. On success the file holds the
// finished image; on failure no partial file is left (an existing file of that name may be replaced
// only on success).
IJLERR ijlWrite(JPEG_CORE_PROPERTIES *props, IJLIOTYPE mode);
// Releases what ijlInit took; the record must be initialised again before another write.
IJLERR ijlFree(JPEG_CORE_PROPERTIES *props);

}  // namespace ijl
