// Base of the printed reports: one query bound by InitReport, a page laid out from its rows, a
// print preview from which the user prints or saves a PDF.
#pragma once

#include "jet/Connection.h"
#include "jet/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace pendra {

// One label of the detail section with its bound fields. across: the sub-labels stand in one row
// over their values (the year boxes); otherwise each sub-label heads its own line, or, without
// sub-labels, the values follow the label on one line.
struct ReportBlock {
    ReportBlock(QString label_, QStringList values_, QStringList subLabels_ = {}, bool across_ = false)
        : label(std::move(label_)), values(std::move(values_)), subLabels(std::move(subLabels_)), across(across_)
    {
    }
    QString label;
    QStringList values;
    QStringList subLabels;
    bool across = false;
};

class Report {
public:
    Report(QString name, QString caption);
    virtual ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    QString name() const { return m_name; }
    QString caption() const { return m_caption; }  // the preview window's caption

    // Opens the report's own connection to Metadati.mdb and its query for the key; true when
    // bound. A failure is logged (InitReport, the report as source) and gives false. Replaces
    // what an earlier call bound.
    bool InitReport(const QString &key);
    // Closes and releases the connection and record set of InitReport.
    void DataReport_Terminate();

    // The query text for a key (apostrophes already doubled).
    virtual QString query(const QString &key) const = 0;
    // The heading text and the detail section of each bound row, in print order.
    virtual QString heading() const = 0;
    // True for a page header (repeated on every page), false for a report header (first page only).
    virtual bool headingOnEveryPage() const { return true; }
    QVector<QVector<ReportBlock>> details() const;

    // Lays the pages out on the device; no screen needed. A text longer than the rest of the
    // page flows on over the next pages, each part of a split block headed by its label. False
    // when the drawing could not start or end.
    bool render(QPagedPaintDevice &device) const;
    // Renders to a PDF file on a printer set up as the preview's, through forms::printPdfFile;
    // false when it was not written (an older file then stays as it was).
    bool printToPdf(const QString &path) const;
    // Prints on the printer; where it prints to a PDF file, through forms::printPdfFile, and a
    // file that could not be written is logged (procedure "Stampa") and said so.
    void print(QPrinter &printer) const;

    // Shows the print preview modally (through the installed viewer). Where no printer is
    // installed, forms::pdfFallbackNotice() comes first; the preview prints to a PDF file.
    void show(QWidget *owner);

protected:
    // The detail of one row; value(name) reads a bound field by name, any case ("" for Null).
    virtual QVector<ReportBlock> detail(const std::function<QString(const QString &)> &value) const = 0;

private:
    QString m_name;
    QString m_caption;
    jet::Connection m_connection;
    jet::Recordset m_records;
    QStringList m_fields;                    // lower-cased names
    QVector<QVector<vb::Variant>> m_rows;    // read once when bound
};

// The preview the viewer shows by default and the printer it prints on: high resolution on the
// system's default page; where no printer is installed, a PDF file. Printing from the dialog
// prints the report on that printer (Report::print). The report must outlive the preview.
struct ReportPreview {
    explicit ReportPreview(Report &report, QWidget *owner = nullptr);
    ~ReportPreview();
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPrintPreviewDialog> dialog;
};

// The print buttons' common step: binds the report to the key and shows it, or, when it cannot be
// bound, says "Impossibile eseguire la stampa" (no icon, no title of its own).
void printReport(Report &report, const QString &key, QWidget *owner);

// How a report is shown; tests install their own so nothing waits on a window. Null: the
// print preview dialog.
using ReportViewer = std::function<void(Report &report, QWidget *owner)>;
void setReportViewer(ReportViewer viewer);

// The years 1996..2008 as texts, the sub-labels of the yearly blocks.
QStringList reportYears();

}  // namespace pendra
