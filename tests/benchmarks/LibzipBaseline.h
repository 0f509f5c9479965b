// The baseline of the spreadsheet benchmarks: a block of cells written as one sheet part with
// libzip alone, the template's other parts copied through.
#pragma once

#include "vb/Variant.h"

#include <QFile>
#include <QString>
#include <QVector>

#include <zip.h>

#include <charconv>
#include <string>

namespace benchbase {

inline void writeWithLibzip(const QString &templatePath, const QString &outPath,
                            const QVector<QVector<vb::Variant>> &rows)
{
    int err = 0;
    zip_t *in = zip_open(QFile::encodeName(templatePath).constData(), ZIP_RDONLY, &err);
    zip_t *out = zip_open(QFile::encodeName(outPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet xmlns=\""
                     "http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (int i = 0; i < rows.size(); ++i) {
        xml += "<row r=\"" + QByteArray::number(i + 1) + "\">";
        for (int j = 0; j < rows[i].size(); ++j) {
            const vb::Variant &v = rows[i][j];
            QByteArray ref;
            for (int c = j + 1; c > 0; c = (c - 1) / 26)
                ref.prepend(char('A' + (c - 1) % 26));
            ref += QByteArray::number(i + 1);
            if (v.isNumber()) {
                char buf[32];
                const auto r = std::to_chars(buf, buf + sizeof buf, v.toDouble());
                xml += "<c r=\"" + ref + "\"><v>" + QByteArray(buf, r.ptr - buf) + "</v></c>";
            } else if (!v.toString().isEmpty()) {
                xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + v.toString().toHtmlEscaped().toUtf8() +
                       "</t></is></c>";
            }
        }
        xml += "</row>";
    }
    xml += "</sheetData></worksheet>";
    const zip_int64_t n = zip_get_num_entries(in, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char *name = zip_get_name(in, static_cast<zip_uint64_t>(i), 0);
        zip_source_t *src = std::string(name) == "xl/worksheets/sheet1.xml"
                                ? zip_source_buffer(out, xml.constData(), static_cast<zip_uint64_t>(xml.size()), 0)
                                : zip_source_zip(out, in, static_cast<zip_uint64_t>(i), 0, 0, -1);
        zip_file_add(out, name, src, ZIP_FL_OVERWRITE);
    }
    zip_close(out);
    zip_discard(in);
}

}  // namespace benchbase
