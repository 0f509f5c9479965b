// Report binding, page layout and preview.
#include "Report.h"

#include "MetadataValues.h"
#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "forms/DialogService.h"
#include "forms/Printers.h"
#include "vb/Error.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace pendra {

namespace {
ReportViewer &viewer()
{
    static ReportViewer v;
    return v;
}

void previewDialog(Report &report, QWidget *owner)
{
    QPrinter printer(QPrinter::HighResolution);
    // No printer: the preview still renders and the print dialog offers a PDF file.
    if (!forms::hasPrinter())
        printer.setOutputFormat(QPrinter::PdfFormat);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(report.caption());
    // Qt's default size shows the page at a third of its size: take most of the screen.
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog.resize(area.width() * 3 / 5, area.height() * 9 / 10);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter *p) { report.render(*p); });
    dialog.exec();
}

// Draws the page flow: a cursor down the page that starts a new page when a line does not fit.
class PageFlow {
public:
    explicit PageFlow(QPagedPaintDevice &device) : m_device(device)
    {
        const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
        m_width = page.width();
        m_height = page.height();
    }
    double width() const { return m_width; }
    // Runs at the top of every page after the first (a page header).
    std::function<void()> onNewPage;
    // Reserves height for a line; a new page when it does not fit.
    double take(double height)
    {
        if (m_y > 0 && m_y + height > m_height) {
            m_device.newPage();
            m_y = 0;
            if (onNewPage)
                onNewPage();
        }
        const double top = m_y;
        m_y += height;
        return top;
    }
    void skip(double height) { m_y += height; }

private:
    QPagedPaintDevice &m_device;
    double m_width = 0, m_height = 0, m_y = 0;
};

double textHeight(const QFont &font, QPaintDevice &device, double width, const QString &text)
{
    const QFontMetricsF fm(font, &device);
    return fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
}
}  // namespace

Report::Report(QString name, QString caption) : m_name(std::move(name)), m_caption(std::move(caption)) {}

Report::~Report()
{
    DataReport_Terminate();
}

bool Report::InitReport(const QString &key)
{
    const QString sql = query(key);
    try {
        DataReport_Terminate();
        m_connection = GetDbConnection("Metadati.mdb");
        m_records.open(sql, m_connection, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        m_fields.clear();
        for (const QString &f : m_records.fieldNames())
            m_fields << f.toLower();
        while (!m_records.eof()) {
            QVector<vb::Variant> row;
            for (int i = 0; i < m_fields.size(); ++i)
                row << m_records.value(i);
            m_rows << row;
            m_records.moveNext();
        }
        return true;
    } catch (const vb::Error &e) {
        LogError(m_name, "InitReport", e);
    } catch (const std::exception &e) {
        LogError(m_name, "InitReport", "0", QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void Report::DataReport_Terminate()
{
    try {
        if (m_records.isOpen())
            m_records.close();
        m_connection.close();
    } catch (const vb::Error &) {
        // Releasing must not fail the caller.
    }
    m_records = jet::Recordset();
    m_connection = jet::Connection();
    m_rows.clear();
    m_fields.clear();
}

QVector<QVector<ReportBlock>> Report::details() const
{
    QVector<QVector<ReportBlock>> out;
    for (const QVector<vb::Variant> &row : m_rows) {
        out << detail([&](const QString &name) {
            const qsizetype i = m_fields.indexOf(name.toLower());
            return i < 0 ? QString() : NullToString(row.at(i));
        });
    }
    return out;
}

void Report::render(QPagedPaintDevice &device) const
{
    QPainter painter(&device);
    PageFlow flow(device);
    const double w = flow.width();
    QFont body(QStringLiteral("DejaVu Sans"), 10);
    QFont bold = body;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSize(16);
    const double gap = QFontMetricsF(body, &device).height() * 0.4;

    auto line = [&](const QFont &font, double x, double width, const QString &text) {
        const double h = std::max(textHeight(font, device, width, text), QFontMetricsF(font, &device).height());
        const double top = flow.take(h);
        painter.setFont(font);
        painter.drawText(QRectF(x, top, width, h), Qt::TextWordWrap, text);
        return top;
    };

    auto drawHeading = [&] {
        line(title, 0, w, heading());
        flow.skip(gap * 3);
    };
    drawHeading();
    if (headingOnEveryPage())
        flow.onNewPage = drawHeading;
    const double labelWidth = w * 0.38;
    for (const QVector<ReportBlock> &record : details()) {
        for (const ReportBlock &b : record) {
            if (b.across) {
                line(bold, 0, w, b.label);
                const double cell = w / std::max<qsizetype>(1, b.subLabels.size());
                const double h = QFontMetricsF(body, &device).height();
                double top = flow.take(h * 2);
                painter.setFont(body);
                for (qsizetype i = 0; i < b.subLabels.size(); ++i) {
                    painter.drawText(QRectF(i * cell, top, cell, h), Qt::AlignHCenter, b.subLabels.at(i));
                    painter.drawText(QRectF(i * cell, top + h, cell, h), Qt::AlignHCenter, b.values.value(i));
                }
            } else if (!b.subLabels.isEmpty()) {
                line(bold, 0, w, b.label);
                for (qsizetype i = 0; i < b.subLabels.size(); ++i) {
                    const QString value = b.values.value(i);
                    const double h = std::max(textHeight(body, device, w - labelWidth, value),
                                              QFontMetricsF(body, &device).height());
                    const double top = flow.take(h);
                    painter.setFont(body);
                    painter.drawText(QRectF(labelWidth * 0.5, top, labelWidth * 0.5, h), 0, b.subLabels.at(i));
                    painter.drawText(QRectF(labelWidth, top, w - labelWidth, h), Qt::TextWordWrap, value);
                }
            } else {
                const QString value = b.values.join(QStringLiteral("   "));
                const double h = std::max(textHeight(body, device, w - labelWidth, value),
                                          textHeight(bold, device, labelWidth - gap, b.label));
                const double top = flow.take(h);
                painter.setFont(bold);
                painter.drawText(QRectF(0, top, labelWidth - gap, h), Qt::TextWordWrap, b.label);
                painter.setFont(body);
                painter.drawText(QRectF(labelWidth, top, w - labelWidth, h), Qt::TextWordWrap, value);
            }
            flow.skip(gap);
        }
        flow.skip(gap * 3);
    }
}

bool Report::printToPdf(const QString &path) const
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(m_caption);
    render(writer);
    return QFile::exists(path);
}

void Report::show(QWidget *owner)
{
    if (!forms::hasPrinter())
        noPrinterMessage();
    if (viewer())
        viewer()(*this, owner);
    else
        previewDialog(*this, owner);
}

void printReport(Report &report, const QString &key, QWidget *owner)
{
    if (report.InitReport(key))
        report.show(owner);
    else
        forms::dialogs().msgBox(QStringLiteral("Impossibile eseguire la stampa"), forms::vbOKOnly);
}

void setReportViewer(ReportViewer v)
{
    viewer() = std::move(v);
}

QStringList reportYears()
{
    QStringList out;
    for (int y = FirstYear; y < FirstYear + YearCount; ++y)
        out << QString::number(y);
    return out;
}

}  // namespace pendra
