// Printer presence from Qt's printer list, with a test override; PDF files written whole or not at all.
#include "Printers.h"

#include "vb/DurableFile.h"
#include "vb/Error.h"

#include <QBuffer>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace forms {

namespace {
std::optional<bool> g_pinned;

vb::Error notWritten(const QString &path, const QString &detail)
{
    return vb::Error(vb::err::PathFileAccess, QStringLiteral("Impossibile scrivere il file ") + path, QString(), detail);
}
}  // namespace

bool hasPrinter()
{
    if (g_pinned)
        return *g_pinned;
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void setHasPrinter(std::optional<bool> answer)
{
    g_pinned = answer;
}

QString pdfFallbackNotice()
{
    return QStringLiteral("Nessuna stampante installata: la stampa sarà salvata in un file PDF.");
}

bool printsToPdfFile(QPrinter &printer)
{
    // While the preview draws its pages the printer paints through a picture engine of its own.
    const QPaintEngine *engine = printer.paintEngine();
    if (engine && engine->type() == QPaintEngine::Picture)
        return false;
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

void printPdfFile(QPrinter &printer, const std::function<bool(QPagedPaintDevice &)> &paint)
{
    const QString target = printer.outputFileName();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setTitle(printer.docName());
        pdf.setCreator(printer.creator());
        if (!paint(pdf))
            throw notWritten(target, QStringLiteral("the drawing of %1 did not end").arg(target));
    }
    // The writer ends every document with its trailer: without it the document is not whole.
    if (bytes.isEmpty() || !bytes.trimmed().endsWith("%%EOF"))
        throw notWritten(target, QStringLiteral("incomplete PDF document (%1 bytes) for %2").arg(bytes.size()).arg(target));
    vb::replaceFile(target, bytes);
}

}  // namespace forms
