// The JPEG layer: whole-image writes of bottom-up and top-down rows, quality tables, error codes.
#include "ijl/Ijl.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace ijl;

namespace {

// A BGR picture of width x height with `pad` bytes after each row; pixel (x, y) of the picture
// (y from the top) is red x*3, green y*5, blue 200; bottomUp puts the bottom row first in memory.
std::vector<std::uint8_t> picture(int width, int height, int pad, bool bottomUp)
{
    const int stride = width * 3 + pad;
    std::vector<std::uint8_t> bits(std::size_t(stride) * height, 0xEE);
    for (int y = 0; y < height; ++y) {
        const int row = bottomUp ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = bits.data() + std::size_t(row) * stride + x * 3;
            p[0] = 200;
            p[1] = std::uint8_t(y * 5);
            p[2] = std::uint8_t(x * 3);
        }
    }
    return bits;
}

struct Write {
    JPEG_CORE_PROPERTIES props;
    QByteArray file;
    std::vector<std::uint8_t> bits;

    Write(const QString &path, int width, int height, int pad, bool bottomUp)
        : file(QFile::encodeName(path)), bits(picture(width, height, pad, bottomUp))
    {
        EXPECT_EQ(ijlInit(&props), IJL_OK);
        props.DIBBytes = bits.data();
        props.DIBWidth = width;
        props.DIBHeight = bottomUp ? -height : height;
        props.DIBPadBytes = pad;
        props.JPGFile = file.constData();
        props.JPGWidth = width;
        props.JPGHeight = height;
        props.jquality = 90;
    }
    ~Write() { ijlFree(&props); }
    IJLERR run() { return ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE); }
};

// The DQT segments of a JPEG file, markers included.
QByteArray quantTables(const QByteArray &jpeg)
{
    QByteArray tables;
    for (int i = 2; i + 4 <= jpeg.size();) {
        if (quint8(jpeg[i]) != 0xFF)
            break;
        const quint8 marker = quint8(jpeg[i + 1]);
        const int length = (quint8(jpeg[i + 2]) << 8) | quint8(jpeg[i + 3]);
        if (marker == 0xDB)
            tables += jpeg.mid(i, length + 2);
        if (marker == 0xDA)
            break;
        i += length + 2;
    }
    return tables;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Ijl, BottomUpAndTopDownRowsGiveTheSamePictureForPaddedAndUnpaddedWidths)
{
    QTemporaryDir dir;
    for (int width : {412, 413}) {
        const int pad = ((width * 3 + 3) & ~3) - width * 3;
        for (bool bottomUp : {true, false}) {
            const QString path = dir.filePath(QStringLiteral("p%1%2.jpg").arg(width).arg(bottomUp));
            Write w(path, width, 40, pad, bottomUp);
            ASSERT_EQ(w.run(), IJL_OK) << width;
            QImage image(path, "JPG");
            ASSERT_EQ(image.size(), QSize(width, 40));
            for (QPoint p : {QPoint(0, 0), QPoint(width - 1, 0), QPoint(10, 39), QPoint(width / 2, 20)}) {
                const QColor c = image.pixelColor(p);
                EXPECT_NEAR(c.red(), (p.x() * 3) & 0xFF, 12) << width << " " << bottomUp << " " << p.x() << "," << p.y();
                EXPECT_NEAR(c.green(), p.y() * 5, 12);
                EXPECT_NEAR(c.blue(), 200, 12);
            }
        }
    }
}

TEST(Ijl, QualityNinetyWritesTheTablesOfCjpegQualityNinety)
{
    QTemporaryDir dir;
    Write w(dir.filePath(QStringLiteral("q.jpg")), 64, 32, 0, true);
    ASSERT_EQ(w.run(), IJL_OK);
    QImage source(64, 32, QImage::Format_RGB888);
    source.fill(Qt::gray);
    ASSERT_TRUE(source.save(dir.filePath(QStringLiteral("q.ppm")), "PPM"));
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"), {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
                                          dir.filePath(QStringLiteral("ref.jpg")), dir.filePath(QStringLiteral("q.ppm"))});
    ASSERT_TRUE(cjpeg.waitForFinished()) << "cjpeg (libjpeg-turbo-progs) is needed";
    const QByteArray ours = quantTables(readAll(dir.filePath(QStringLiteral("q.jpg"))));
    ASSERT_FALSE(ours.isEmpty());
    EXPECT_EQ(ours, quantTables(readAll(dir.filePath(QStringLiteral("ref.jpg")))));
    // First luminance entry at quality 90: 16 scaled by 20 %, rounded down after adding half.
    EXPECT_EQ(quint8(ours[5]), 3);
}

TEST(Ijl, FailuresComeBackAsCodesAndLeaveNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.jpg"));
    EXPECT_EQ(ijlInit(nullptr), IJL_NULL_JPEG_PROPERTIES);
    EXPECT_EQ(ijlWrite(nullptr, IJL_JFILE_WRITEWHOLEIMAGE), IJL_NULL_JPEG_PROPERTIES);
    {
        JPEG_CORE_PROPERTIES never;
        EXPECT_EQ(ijlWrite(&never, IJL_JFILE_WRITEWHOLEIMAGE), IJL_INVALID_ENCODER);
    }
    struct Case {
        const char *what;
        void (*spoil)(JPEG_CORE_PROPERTIES &);
        IJLERR expected;
    };
    const Case cases[] = {
        {"no pixels", [](JPEG_CORE_PROPERTIES &p) { p.DIBBytes = nullptr; }, IJL_INVALID_DIB},
        {"zero width", [](JPEG_CORE_PROPERTIES &p) { p.DIBWidth = 0; }, IJL_INVALID_DIB},
        {"zero height", [](JPEG_CORE_PROPERTIES &p) { p.DIBHeight = 0; }, IJL_INVALID_DIB},
        {"negative pad", [](JPEG_CORE_PROPERTIES &p) { p.DIBPadBytes = -1; }, IJL_INVALID_DIB},
        {"JPEG size differs", [](JPEG_CORE_PROPERTIES &p) { p.JPGHeight = 9; }, IJL_INVALID_JPEG},
        {"quality 0", [](JPEG_CORE_PROPERTIES &p) { p.jquality = 0; }, IJL_INVALID_JPEG},
        {"quality 101", [](JPEG_CORE_PROPERTIES &p) { p.jquality = 101; }, IJL_INVALID_JPEG},
        {"no file name", [](JPEG_CORE_PROPERTIES &p) { p.JPGFile = nullptr; }, IJL_INVALID_FILENAME},
        {"four channels", [](JPEG_CORE_PROPERTIES &p) { p.DIBChannels = 4; }, IJL_UNSUPPORTED_CHANNELS},
    };
    for (const Case &c : cases) {
        Write w(path, 16, 8, 0, true);
        c.spoil(w.props);
        EXPECT_EQ(w.run(), c.expected) << c.what;
        EXPECT_FALSE(QFile::exists(path)) << c.what;
    }
    Write other(path, 16, 8, 0, true);
    EXPECT_EQ(ijlWrite(&other.props, IJLIOTYPE(1)), IJL_UNSUPPORTED_MODE);
    ijlFree(&other.props);
    EXPECT_EQ(other.run(), IJL_INVALID_ENCODER) << "a freed record writes nothing";
}

TEST(Ijl, EncoderErrorsAndUnwritableFilesNeverEndTheProcess)
{
    QTemporaryDir dir;
    // Wider than a JPEG may be: the encoder itself refuses it, through our error handler.
    {
        Write w(dir.filePath(QStringLiteral("wide.jpg")), 70000, 1, 0, true);
        EXPECT_EQ(w.run(), IJL_EXCEPTION_DETECTED);
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("wide.jpg"))));
    }
    // A folder below a plain file cannot be written (root can write anywhere else).
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    Write below(dir.filePath(QStringLiteral("plain/x.jpg")), 16, 8, 0, true);
    EXPECT_EQ(below.run(), IJL_ERR_FILEOPEN);
    // Names keep their letters, and the folder holds nothing but the results.
    Write named(dir.filePath(QStringLiteral("Forlì.jpg")), 16, 8, 0, true);
    EXPECT_EQ(named.run(), IJL_OK);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("Forlì.jpg"), QStringLiteral("plain")}));
}

}  // namespace
