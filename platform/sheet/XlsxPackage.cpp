// Zip package reading and writing for workbooks.
#include "XlsxPackage.h"

#include "vb/Error.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

namespace sheet {

QVector<Part> readPackage(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw vb::Error(vb::err::FileNotFound, "File not found: " + path, "Workbooks.Open");
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!za)
        throw vb::Error(1004, "Not a workbook: " + path, "Workbooks.Open");
    QVector<Part> parts;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_file_t *zf = nullptr;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
            !(zf = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0))) {
            zip_discard(za);
            throw vb::Error(1004, "Damaged workbook: " + path, "Workbooks.Open");
        }
        Part p{QString::fromUtf8(st.name), QByteArray()};
        p.data.resize(static_cast<qsizetype>(st.size));
        const zip_int64_t got = zip_fread(zf, p.data.data(), st.size);
        zip_fclose(zf);
        if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
            zip_discard(za);
            throw vb::Error(1004, "Damaged workbook: " + path, "Workbooks.Open");
        }
        parts.push_back(std::move(p));
    }
    zip_discard(za);
    return parts;
}

void writePackage(const QString &path, const QVector<Part> &parts)
{
    const QByteArray target = QFile::encodeName(path);
    int err = 0;
    // libzip writes a temporary file beside the target and renames it over the target on close.
    zip_t *za = zip_open(target.constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        throw vb::Error(vb::err::PathFileAccess, "Cannot write " + path, "SaveAs");
    for (const Part &p : parts) {
        zip_source_t *src = zip_source_buffer(za, p.data.constData(), static_cast<zip_uint64_t>(p.data.size()), 0);
        const QByteArray name = p.name.toUtf8();
        if (!src || zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            if (src)
                zip_source_free(src);
            zip_discard(za);
            throw vb::Error(vb::err::PathFileAccess, "Cannot write " + path, "SaveAs");
        }
    }
    if (zip_close(za) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(za));
        zip_discard(za);
        throw vb::Error(vb::err::PathFileAccess, "Cannot write " + path + ": " + why, "SaveAs");
    }
}

}  // namespace sheet
