// Report binding, page layout and preview.
#include "Report.h"

#include "MetadataValues.h"
#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/PreviewKeys.h"
#include "forms/Printers.h"
#include "vb/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextLayout>

namespace pendra {

namespace {
ReportViewer &viewer()
{
    static ReportViewer v;
    return v;
}

// High resolution, on the system's default page and margins: the printer of the preview.
std::unique_ptr<QPrinter> newPrinter()
{
    return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

void previewDialog(Report &report, QWidget *owner)
{
    ReportPreview preview(report, owner);
    // Qt's default size shows the page at a third of its size: take most of the screen.
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        preview.dialog->resize(area.width() * 3 / 5, area.height() * 9 / 10);
    }
    forms::NestedLoop nested;
    preview.dialog->exec();
}

// The page flow: a cursor down the page that starts a new page when a row does not fit.
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
    // Reserves height for a row and returns its top. When the row does not fit, a new page
    // starts and continued (if any) runs first, to head the rest of a split block.
    double take(double height, const std::function<void()> &continued = {})
    {
        if (m_y > 0 && m_y + height > m_height) {
            m_device.newPage();
            m_y = 0;
            if (onNewPage)
                onNewPage();
            if (continued)
                continued();
        }
        const double top = m_y;
        m_y += height;
        return top;
    }
    // Starts a new page unless height still fits, so what must stay together does.
    void keep(double height, const std::function<void()> &continued = {})
    {
        const double top = take(height, continued);
        m_y = top;
    }
    void skip(double height) { m_y += height; }

private:
    QPagedPaintDevice &m_device;
    double m_width = 0, m_height = 0, m_y = 0;
};

// The lines a text wraps to at a width, breaking inside a word only where it is wider than the
// line; its own line breaks stay. An empty text is one empty line.
QStringList wrapped(const QFont &font, QPaintDevice &device, double width, const QString &text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QStringList out;
    for (const QString &paragraph : normal.split(u'\n')) {
        QTextLayout layout(paragraph, font, &device);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = out.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            out << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (out.size() == before)
            out << QString();
    }
    return out;
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
        LogError(m_name, "InitReport", vb::Error::of(e));
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

bool Report::render(QPagedPaintDevice &device) const
{
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    PageFlow flow(device);
    const double w = flow.width();
    QFont body(QStringLiteral("DejaVu Sans"), 10);
    QFont bold = body;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSize(16);
    const double rowHeight =
        std::max(QFontMetricsF(body, &device).height(), QFontMetricsF(bold, &device).height());
    const double gap = QFontMetricsF(body, &device).height() * 0.4;
    const double labelWidth = w * 0.38;

    // Every text is drawn one wrapped line at a time, so a long one flows on over the pages.
    auto draw = [&](const QFont &font, double x, double top, const QString &text) {
        painter.setFont(font);
        painter.drawText(QPointF(x, top + QFontMetricsF(font, &device).ascent()), text);
    };
    auto lines = [&](const QFont &font, double width, const QString &text, double height,
                     const std::function<void()> &continued = {}) {
        for (const QString &l : wrapped(font, device, width, text))
            draw(font, 0, flow.take(height, continued), l);
    };

    auto drawHeading = [&] {
        lines(title, w, heading(), QFontMetricsF(title, &device).height());
        flow.skip(gap * 3);
    };
    drawHeading();
    if (headingOnEveryPage())
        flow.onNewPage = drawHeading;
    for (const QVector<ReportBlock> &record : details()) {
        for (const ReportBlock &b : record) {
            const QStringList label = wrapped(bold, device, b.subLabels.isEmpty() ? labelWidth - gap : w, b.label);
            if (b.across) {
                // The label, the years and their codes stay together.
                flow.keep(rowHeight * double(label.size() + 2));
                lines(bold, w, b.label, rowHeight);
                const double cell = w / double(std::max<qsizetype>(1, b.subLabels.size()));
                const double top = flow.take(rowHeight * 2);
                painter.setFont(body);
                for (qsizetype i = 0; i < b.subLabels.size(); ++i) {
                    painter.drawText(QRectF(double(i) * cell, top, cell, rowHeight), Qt::AlignHCenter,
                                     b.subLabels.at(i));
                    painter.drawText(QRectF(double(i) * cell, top + rowHeight, cell, rowHeight), Qt::AlignHCenter,
                                     b.values.value(i));
                }
            } else if (!b.subLabels.isEmpty()) {
                // The label on a line of its own, then one row per sub-label; a page that
                // continues the block starts with its label and the sub-label again.
                bool subLabelShown = false;
                auto headBlock = [&] {
                    lines(bold, w, b.label, rowHeight);
                    subLabelShown = false;
                };
                flow.keep(rowHeight * double(label.size() + 1));
                headBlock();
                for (qsizetype i = 0; i < b.subLabels.size(); ++i) {
                    subLabelShown = false;
                    for (const QString &l : wrapped(body, device, w - labelWidth, b.values.value(i))) {
                        const double top = flow.take(rowHeight, headBlock);
                        if (!subLabelShown) {
                            draw(body, labelWidth * 0.5, top, b.subLabels.at(i));
                            subLabelShown = true;
                        }
                        draw(body, labelWidth, top, l);
                    }
                }
            } else {
                // The label beside its value; a page that continues the value starts with the label.
                const QStringList value = wrapped(body, device, w - labelWidth, b.values.join(QStringLiteral("   ")));
                qsizetype l = 0, v = 0;
                while (l < label.size() || v < value.size()) {
                    const double top = flow.take(rowHeight, [&] { l = 0; });
                    if (l < label.size())
                        draw(bold, 0, top, label.at(l++));
                    if (v < value.size())
                        draw(body, labelWidth, top, value.at(v++));
                }
            }
            flow.skip(gap);
        }
        flow.skip(gap * 3);
    }
    return painter.end();
}

bool Report::printToPdf(const QString &path) const
{
    const std::unique_ptr<QPrinter> printer = newPrinter();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setDocName(m_caption);
    try {
        forms::printPdfFile(*printer, [this](QPagedPaintDevice &device) { return render(device); });
        return true;
    } catch (const vb::Error &) {
        return false;
    }
}

void Report::print(QPrinter &printer) const
{
    if (!forms::printsToPdfFile(printer)) {
        render(printer);
        return;
    }
    try {
        forms::printPdfFile(printer, [this](QPagedPaintDevice &device) { return render(device); });
    } catch (const vb::Error &e) {
        LogError(m_name, "Stampa", e);
    }
}

ReportPreview::ReportPreview(Report &report, QWidget *owner) : printer(newPrinter())
{
    // No printer: the preview still renders and printing writes a PDF file.
    if (!forms::hasPrinter())
        printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(report.caption());
    dialog = std::make_unique<QPrintPreviewDialog>(printer.get(), owner);
    dialog->setWindowTitle(report.caption());
    forms::enablePreviewKeys(dialog.get());
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                     [&report](QPrinter *p) { report.print(*p); });
}

ReportPreview::~ReportPreview() = default;

void Report::show(QWidget *owner)
{
    if (!forms::hasPrinter())
        forms::dialogs().msgBox(forms::pdfFallbackNotice(), forms::vbOKOnly);
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
