// Note window design; its picture comes from the program's Images folder.
#include "frmNota.h"

#include "Program.h"

#include "vb/TextFile.h"

#include <QVBoxLayout>

namespace pendra {

namespace {
constexpr int PictureWidth = 521, PictureHeight = 360;
}

frmNota::frmNota() : forms::Form("frmNota")
{
    setMdiChild(false);
    setWindowTitle("Nota");
    auto *layout = new QVBoxLayout(this);
    m_picture1 = new QLabel(this);
    m_picture1->setObjectName("Picture1");
    m_picture1->setFixedSize(PictureWidth, PictureHeight);
    QPixmap picture(vb::findFileNoCase(programFolder() + "/Images/", "nota.png"));
    if (!picture.isNull())
        m_picture1->setPixmap(picture.scaled(PictureWidth, PictureHeight));
    m_command1 = new QPushButton("Ok", this);
    m_command1->setObjectName("Command1");
    layout->addWidget(m_picture1);
    layout->addWidget(m_command1, 0, Qt::AlignHCenter);
    setDefaultButton(m_command1);
    setCancelButton(m_command1);
    connect(m_command1, &QPushButton::clicked, this, &frmNota::Command1_Click);
}

void frmNota::Command1_Click()
{
    unload();
}

}  // namespace pendra
