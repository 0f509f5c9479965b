// The heading and the yearly boxes shared by the sheets, the browser, the code list and the glossary.
#include "MetadataWidgets.h"

#include "MetadataValues.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pendra {

QLabel *headingLabel(const QString &text, QWidget *parent)
{
    auto *heading = new QLabel(text, parent);
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    heading->setFont(big);
    return heading;
}

QGroupBox *yearBoxes(QWidget *parent, QVector<QLineEdit *> &boxes, int boxWidth)
{
    auto *years = new QGroupBox("Anni disponibili", parent);
    years->setAccessibleName("Anni disponibili");
    auto *grid = new QGridLayout(years);
    for (int i = 0; i < YearCount; ++i) {
        const QString year = QString::number(FirstYear + i);
        grid->addWidget(new QLabel(year, years), 0, i, Qt::AlignHCenter);
        auto *box = new QLineEdit(years);
        box->setObjectName(QStringLiteral("txtAnniDisp%1").arg(i));
        box->setAccessibleName(year);
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignCenter);
        box->setMaximumWidth(boxWidth);
        grid->addWidget(box, 1, i);
        boxes << box;
    }
    for (const char *text : {"P: livello territoriale provinciale", "R: livello territoriale regionale",
                             "N.A.: dato non aggiornabile"})
        grid->addWidget(new QLabel(QString::fromUtf8(text), years), grid->rowCount(), 0, 1, YearCount);
    return years;
}

QHBoxLayout *helpAndCloseButtons(QWidget *parent, QPushButton *&cmdHelp, QPushButton *&cmdChiudi)
{
    auto *buttons = new QHBoxLayout;
    cmdHelp = new QPushButton("Help", parent);
    cmdChiudi = new QPushButton("Chiudi", parent);
    cmdHelp->setAccessibleName("Help");
    cmdChiudi->setAccessibleName("Chiudi");
    buttons->addStretch(1);
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdChiudi);
    return buttons;
}

}  // namespace pendra
