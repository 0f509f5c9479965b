// Printed sheet of one indicator.
#pragma once

#include "Report.h"

namespace pendra {

class rptIndicatori : public Report {
public:
    rptIndicatori();
    QString query(const QString &key) const override;
    QString heading() const override { return QStringLiteral("Scheda indicatore"); }

protected:
    QVector<ReportBlock> detail(const std::function<QString(const QString &)> &value) const override;
};

}  // namespace pendra
