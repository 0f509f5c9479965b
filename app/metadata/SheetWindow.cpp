// The sheets' common frame, load and buttons.
#include "SheetWindow.h"

#include "app/core/Guarded.h"
#include "MetadataValues.h"
#include "MetadataWidgets.h"
#include "Report.h"
#include "app/core/AppState.h"
#include "app/core/Utility.h"

#include "jet/Recordset.h"
#include "vb/Error.h"
#include "forms/DialogService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace pendra {

SheetWindow::SheetWindow(const QString &name, const QString &caption, qint32 helpId,
                         const QString &noRecordMessage, int keyLength)
    : forms::Form(name), m_keyLength(keyLength), m_noRecord(noRecordMessage)
{
    setWindowTitle(caption);
    setHelpContextId(helpId);
    resize(780, 880);  // tall enough for the yearly boxes to show several entries
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(headingLabel(" Visualizza Scheda Metadati ", this));

    // The fields scroll on a screen too short for all of them; the years and the buttons stay in view.
    auto *fieldsPane = new QScrollArea(this);
    fieldsPane->setFrameShape(QFrame::NoFrame);
    fieldsPane->setWidgetResizable(true);
    auto *fields = new QWidget(fieldsPane);
    m_fields = new QGridLayout(fields);
    m_fields->setContentsMargins(0, 0, 0, 0);
    m_fields->setColumnStretch(1, 1);
    fieldsPane->setWidget(fields);
    layout->addWidget(fieldsPane, 1);

    layout->addWidget(yearBoxes(this, txtAnniDisp, 48));

    auto *buttons = new QHBoxLayout;
    cmdStampa = new QPushButton("Stampa ", this);
    cmdHelp = new QPushButton("Help", this);
    cmdChiudi = new QPushButton("Chiudi", this);
    for (QPushButton *b : {cmdStampa, cmdHelp, cmdChiudi}) {
        b->setAccessibleName(b->text());
        buttons->addWidget(b);
    }
    cmdStampa->setObjectName("cmdStampa");
    cmdHelp->setObjectName("cmdHelp");
    cmdChiudi->setObjectName("cmdChiudi");
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(cmdStampa, &QPushButton::clicked, this, [this] {
        guarded(this, "cmdStampa_Click", [this] { printReport(*newReport(), printKey(), this); });
    });
    connect(cmdHelp, &QPushButton::clicked, this,
            [this] { guarded(this, "cmdHelp_Click", [this] { ShowHelp(helpContextId()); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, [this] {
        guarded(this, "cmdChiudi_Click", [this] {
            app().SchedaAperta = false;
            unload();
        });
    });
}

TextBox *SheetWindow::addBox(const QString &name, const QString &label, bool multiLine)
{
    auto *caption = new QLabel(label, this);
    auto *box = new TextBox(name, label, multiLine, this);
    caption->setBuddy(box);
    if (!m_keyBox)
        m_keyBox = box;
    m_fields->addWidget(caption, m_row, 0, multiLine ? Qt::AlignTop : Qt::AlignVCenter);
    m_fields->addWidget(box, m_row, 1);
    ++m_row;
    return box;
}

QCheckBox *SheetWindow::addCheck(const QString &name, const QString &caption)
{
    if (!m_checks) {
        m_checks = new QGridLayout;
        m_fields->addLayout(m_checks, m_row++, 0, 1, 2);
    }
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setAccessibleName(caption);
    m_checks->addWidget(box, 0, m_checks->count());
    return box;
}

QString SheetWindow::printKey(const QString &firstBox, int length)
{
    return trimBlanks(firstBox.left(length));
}

QString SheetWindow::printKey() const
{
    return printKey(m_keyBox ? m_keyBox->text() : QString(), m_keyLength);
}

void SheetWindow::formLoad()
{
    jet::Connection connection;
    jet::Recordset record;
    guarded(this, "Form_Load", [&] {
        app().SchedaAperta = true;
        SetFormLayout(*this);
        connection = GetDbConnection("metadati.mdb");
        record.open(app().SqlScheda, connection, jet::CursorType::Static, jet::LockType::ReadOnly);
        if (record.eof() || record.bof())
            forms::dialogs().msgBox(m_noRecord, forms::vbInformation);
        else
            fill(record);
    });
    try {
        record.close();
        connection.close();
    } catch (...) {
        // Closing after a failure ignores any further error.
    }
}

void SheetWindow::fillAvailability(const jet::Recordset &record)
{
    for (int i = 0; i < YearCount; ++i) {
        if (const std::optional<QString> code = availability(record, i))
            txtAnniDisp[i]->setText(*code);
    }
}

}  // namespace pendra
