// Territory-kind chooser: design, the enabled state of "Provincia", and the four buttons.
#include "frmSelMappa.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/query/frm_dispData.h"

#include "forms/FormRegistry.h"
#include "vb/Error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pendra {

namespace {
QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}
}  // namespace

frmSelMappa::frmSelMappa() : forms::Form("frmSelMappa")
{
    setMdiChild(false);
    setWindowTitle("Selezione territorio");
    setAccessibleName(windowTitle());
    m_lblTitle = new QLabel("Per quale tipo di terriorio si vuole visualizzare il cartogramma?", this);
    m_lblTitle->setObjectName("lblTitle");
    m_lblTitle->setAccessibleName(m_lblTitle->text());
    m_lblTitle->setWordWrap(true);
    m_cmdProv = button(this, "cmdProv", "Provincia");
    m_cmdNut2 = button(this, "Cmdnut2", "Nuts2");
    m_cmdReg = button(this, "cmdReg", "Regione");
    m_cmdAnnulla = button(this, "cmdAnnulla", "Annulla");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblTitle);
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(m_cmdProv);
    kinds->addWidget(m_cmdNut2);
    kinds->addWidget(m_cmdReg);
    layout->addLayout(kinds);
    layout->addWidget(m_cmdAnnulla, 0, Qt::AlignRight);

    setCancelButton(m_cmdAnnulla);
    connect(m_cmdProv, &QPushButton::clicked, this, &frmSelMappa::cmdProv_Click);
    connect(m_cmdNut2, &QPushButton::clicked, this, &frmSelMappa::Cmdnut2_Click);
    connect(m_cmdReg, &QPushButton::clicked, this, &frmSelMappa::cmdReg_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &frmSelMappa::cmdAnnulla_Click);
}

void frmSelMappa::formLoad()
{
    m_cmdProv->setEnabled(provinciaEnabled(app().CurrentLivTerritoriale, app().LivMappa));
    // Return takes the first kind offered.
    QPushButton *first = m_cmdProv->isEnabled() ? m_cmdProv : m_cmdNut2;
    setDefaultButton(first);
}

void frmSelMappa::showEvent(QShowEvent *event)
{
    forms::Form::showEvent(event);
    if (QWidget *owner = parentWidget()) {
        adjustSize();
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
}

void frmSelMappa::formUnload()
{
    if (m_chosen)
        return;
    // Closed from the title bar: nothing chosen, which the hand-off must read as a cancel.
    m_chosen = true;
    guarded(this, QStringLiteral("Form_Unload"), [&] {
        if (frm_dispData *table = forms::FormRegistry::find<frm_dispData>())
            applyTerritoryKind(CancelledKind, *table);
        else
            app().MapKind = 0;
    });
}

void frmSelMappa::choose(const char *procedure, const TerritoryKind &kind)
{
    guarded(this, QString::fromLatin1(procedure), [&] {
        frm_dispData *table = forms::FormRegistry::find<frm_dispData>();
        if (!table)
            throw vb::Error::of(vb::err::ObjectNotSet, QString(), QString(), "Object variable or With block variable not set");
        applyTerritoryKind(kind, *table);
        m_chosen = true;
        unload();
    });
}

void frmSelMappa::cmdProv_Click()
{
    choose("cmdProv_Click", ProvinceKind);
}

void frmSelMappa::Cmdnut2_Click()
{
    choose("Cmdnut2_Click", Nuts2Kind);
}

void frmSelMappa::cmdReg_Click()
{
    choose("cmdReg_Click", RegionKind);
}

void frmSelMappa::cmdAnnulla_Click()
{
    choose("cmdAnnulla_Click", CancelledKind);
}

}  // namespace pendra
