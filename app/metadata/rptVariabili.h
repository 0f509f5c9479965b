// Printed sheet of one variable.
#pragma once

#include "Report.h"

namespace pendra {

class rptVariabili : public Report {
public:
    rptVariabili();
    QString query(const QString &key) const override;
    QString heading() const override { return QStringLiteral("Scheda variabile"); }

protected:
    QVector<ReportBlock> detail(const std::function<QString(const QString &)> &value) const override;
};

}  // namespace pendra
