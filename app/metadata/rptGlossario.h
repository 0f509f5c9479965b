// Printed glossary term with its definition.
#pragma once

#include "Report.h"

namespace pendra {

class rptGlossario : public Report {
public:
    rptGlossario();
    QString query(const QString &key) const override;
    QString heading() const override { return QStringLiteral("Pendra - Glossario"); }
    bool headingOnEveryPage() const override { return false; }

protected:
    QVector<ReportBlock> detail(const std::function<QString(const QString &)> &value) const override;
};

}  // namespace pendra
