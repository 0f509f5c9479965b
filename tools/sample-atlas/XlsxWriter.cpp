// The package parts every reader expects: content types, relationships, workbook, styles and one
// worksheet part per sheet; texts are inline strings, so no shared-string table is needed.
#include "XlsxWriter.h"

#include "vb/Error.h"

#include <QFile>
#include <zip.h>

#include <memory>

namespace atlas {

namespace {

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

QString sheetXml(const QVector<QVector<QVariant>> &rows) {
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                 "<sheetData>");
    for (int r = 0; r < rows.size(); ++r) {
        xml += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QVariant &v = rows[r][c];
            if (!v.isValid() || v.isNull())
                continue;
            const QString ref = XlsxWriter::cellName(r, c);
            const int type = v.typeId();
            if (type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong) {
                xml += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, QString::number(v.toDouble(), 'g', 15));
            } else {
                xml += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">%2</t></is></c>")
                           .arg(ref, escaped(v.toString()));
            }
        }
        xml += QStringLiteral("</row>");
    }
    xml += QStringLiteral("</sheetData></worksheet>");
    return xml;
}

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};

}  // namespace

void XlsxWriter::addSheet(const QString &name, const QVector<QVector<QVariant>> &rows) {
    m_sheets.append({name, rows});
}

QString XlsxWriter::cellName(int row, int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

void XlsxWriter::save(const QString &path) const {
    auto fail = [&](const QString &why) {
        return vb::Error(75, QStringLiteral("Cannot write %1: %2").arg(path, why), QStringLiteral("XlsxWriter"));
    };
    QFile::remove(path);
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive)
        throw fail(QStringLiteral("zip error %1").arg(code));

    QVector<QPair<QString, QByteArray>> parts;
    QString types = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>");
    QString sheets;
    QString rels = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    for (int i = 0; i < m_sheets.size(); ++i) {
        const int n = i + 1;
        types += QStringLiteral("<Override PartName=\"/xl/worksheets/sheet%1.xml\" "
                                "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>")
                     .arg(n);
        sheets += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"rId%2\"/>").arg(escaped(m_sheets[i].name)).arg(n);
        rels += QStringLiteral("<Relationship Id=\"rId%1\" "
                               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                               "Target=\"worksheets/sheet%1.xml\"/>")
                    .arg(n);
        parts.append({QStringLiteral("xl/worksheets/sheet%1.xml").arg(n), sheetXml(m_sheets[i].rows).toUtf8()});
    }
    types += QStringLiteral("</Types>");
    rels += QStringLiteral("<Relationship Id=\"rId%1\" "
                           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                           "Target=\"styles.xml\"/></Relationships>")
                .arg(m_sheets.size() + 1);

    parts.prepend({QStringLiteral("xl/_rels/workbook.xml.rels"), rels.toUtf8()});
    parts.prepend({QStringLiteral("xl/workbook.xml"),
                   QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                  "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                  "<sheets>%1</sheets></workbook>")
                       .arg(sheets)
                       .toUtf8()});
    parts.prepend({QStringLiteral("xl/styles.xml"),
                   QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                     "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                     "<fonts count=\"1\"><font><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
                                     "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
                                     "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
                                     "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
                                     "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
                                     "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
                                     "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                                     "</styleSheet>")});
    parts.prepend({QStringLiteral("_rels/.rels"),
                   QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                     "<Relationship Id=\"rId1\" "
                                     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                                     "Target=\"xl/workbook.xml\"/></Relationships>")});
    parts.prepend({QStringLiteral("[Content_Types].xml"), types.toUtf8()});

    // libzip reads the buffers when the archive closes, so they must outlive zip_close.
    for (const auto &part : parts) {
        zip_source_t *src = zip_source_buffer(archive.get(), part.second.constData(), zip_uint64_t(part.second.size()), 0);
        if (!src || zip_file_add(archive.get(), part.first.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
            if (src)
                zip_source_free(src);
            throw fail(QString::fromUtf8(zip_strerror(archive.get())));
        }
    }
    if (zip_close(archive.get()) < 0)
        throw fail(QString::fromUtf8(zip_strerror(archive.get())));
    archive.release();
}

}  // namespace atlas
