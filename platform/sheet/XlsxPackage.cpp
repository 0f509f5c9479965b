// Zip package reading and writing for workbooks.
#include "XlsxPackage.h"

#include "SheetError.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

namespace sheet {

namespace {

// zlib's fastest level: on sheet XML about five times faster than its default and only a seventh
// larger, and packing is most of what a large export waits for.
constexpr zip_uint32_t DeflateLevel = 1;
constexpr qsizetype ReadChunk = 64 * 1024;

QString damaged(const QString &path)
{
    return QStringLiteral("La cartella di lavoro %1 è danneggiata.").arg(path);
}

}  // namespace

QVector<Part> readPackage(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw SheetError(vb::err::FileNotFound, QStringLiteral("File non trovato: %1").arg(path), "Workbooks.Open");
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, err);
        const QString why = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw SheetError(1004, QStringLiteral("Il file %1 non è una cartella di lavoro.").arg(path), "Workbooks.Open", why);
    }
    struct Closer {
        zip_t *za;
        ~Closer() { zip_discard(za); }
    } closer{za};
    QVector<Part> parts;
    qint64 total = 0;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char *name = zip_get_name(za, static_cast<zip_uint64_t>(i), 0);
        zip_file_t *zf = name ? zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0) : nullptr;
        if (!zf)
            throw SheetError(1004, damaged(path), "Workbooks.Open", QString::fromUtf8(zip_strerror(za)));
        Part p{QString::fromUtf8(name), QByteArray()};
        // The declared size is only a claim: grow by what really comes out.
        QString why;
        for (;;) {
            const qsizetype at = p.data.size();
            p.data.resize(at + ReadChunk);
            const zip_int64_t got = zip_fread(zf, p.data.data() + at, ReadChunk);
            if (got < 0) {
                why = QString::fromUtf8(zip_file_strerror(zf));
                break;
            }
            p.data.resize(at + static_cast<qsizetype>(got));
            total += got;
            if (p.data.size() > MaxPartBytes || total > MaxPackageBytes) {
                why = QStringLiteral("%1 inflates past the limit").arg(p.name);
                break;
            }
            if (got == 0)
                break;
        }
        zip_fclose(zf);
        zip_stat_t st;
        if (why.isEmpty() && zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
            st.size != static_cast<zip_uint64_t>(p.data.size()))
            why = QStringLiteral("%1 holds %2 bytes, not the %3 it declares").arg(p.name).arg(p.data.size()).arg(st.size);
        if (!why.isEmpty())
            throw SheetError(1004, damaged(path), "Workbooks.Open", why);
        p.data.squeeze();
        parts.push_back(std::move(p));
    }
    return parts;
}

void writePackage(const QString &path, const std::vector<PartPieces> &parts)
{
    const QString cannot = QStringLiteral("Impossibile scrivere il file %1.").arg(path);
    const QByteArray target = QFile::encodeName(path);
    int err = 0;
    // libzip writes a temporary file beside the target and renames it over the target on close.
    zip_t *za = zip_open(target.constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, err);
        const QString why = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw SheetError(vb::err::PathFileAccess, cannot, "SaveAs", why);
    }
    for (const PartPieces &p : parts) {
        std::vector<zip_buffer_fragment_t> fragments;
        for (const QByteArray &piece : p.pieces)
            if (!piece.isEmpty())
                fragments.push_back({reinterpret_cast<zip_uint8_t *>(const_cast<char *>(piece.constData())),
                                     static_cast<zip_uint64_t>(piece.size())});
        // The fragments are copied by libzip's source, the bytes are not: the pieces outlive zip_close.
        static zip_buffer_fragment_t none{nullptr, 0};
        zip_source_t *src = zip_source_buffer_fragment(za, fragments.empty() ? &none : fragments.data(), fragments.size(), 0);
        const QByteArray name = p.name.toUtf8();
        const zip_int64_t index = src ? zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (index < 0 || zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, DeflateLevel) != 0) {
            const QString why = QString::fromUtf8(zip_strerror(za));
            if (src && index < 0)
                zip_source_free(src);
            zip_discard(za);
            throw SheetError(vb::err::PathFileAccess, cannot, "SaveAs", why);
        }
    }
    if (zip_close(za) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(za));
        zip_discard(za);
        throw SheetError(vb::err::PathFileAccess, cannot, "SaveAs", why);
    }
}

}  // namespace sheet
