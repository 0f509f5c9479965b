// A small spreadsheet template with formats of its own, for the tests of the sheet layer and the export.
#pragma once

#include "ArchiveKit.h"

#include <QByteArray>
#include <vector>

namespace sheettest {

// A small template of two sheets: row 1 of sheet 1 is bold (style 1) and its data columns F to L
// carry a number format (style 2); columns A and B have a width of their own.
inline std::vector<archivekit::Member> formattedTemplate(const QByteArray &sheet1Rows = QByteArray(),
                                                  const QByteArray &cols = QByteArray())
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray sheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
    return {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + sheetType + "\"/>"
         "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" + sheetType + "\"/>"
         "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook " + ns +
             " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
             "<sheet name=\"Dati\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Metadati\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
         "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/styles.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet " + ns + ">"
             "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
             "<fonts count=\"2\"><font><sz val=\"10\"/><name val=\"Arial\"/></font><font><b/><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
             "<fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
             "<borders count=\"1\"><border/></borders><cellStyleXfs count=\"1\"><xf/></cellStyleXfs>"
             "<cellXfs count=\"3\"><xf/><xf fontId=\"1\" applyFont=\"1\"/><xf numFmtId=\"164\" applyNumberFormat=\"1\"/></cellXfs></styleSheet>"},
        {"xl/worksheets/sheet1.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + ns + ">" +
             (cols.isNull() ? QByteArray("<cols><col min=\"1\" max=\"2\" width=\"20\" customWidth=\"1\"/>"
                                         "<col min=\"6\" max=\"12\" width=\"9.5\" style=\"2\" customWidth=\"1\"/></cols>")
                            : cols) +
             "<sheetData>" +
             (sheet1Rows.isNull() ? QByteArray("<row r=\"1\" s=\"1\" customFormat=\"1\"><c r=\"A1\" s=\"1\"/><c r=\"B1\" s=\"1\"/></row>"
                                               "<row r=\"2\"><c r=\"B2\" s=\"2\"/></row>")
                                  : sheet1Rows) +
             "</sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + ns + "><sheetData/></worksheet>"},
    };
}

}  // namespace sheettest
