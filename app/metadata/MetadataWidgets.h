// Pieces every metadata window builds alike: the bold heading and the row of yearly boxes.
#pragma once

#include <QString>
#include <QVector>

class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QLabel;
class QLineEdit;
class QWidget;

namespace pendra {

// The window's heading label, bold and a little larger than the window's font.
QLabel *headingLabel(const QString &text, QWidget *parent);
// "Anni disponibili": one read-only, centred box per year from 1996 under its year label; the
// boxes are appended to `boxes` in year order (named txtAnniDisp0..12); the legend of the level
// letters below them.
QGroupBox *yearBoxes(QWidget *parent, QVector<QLineEdit *> &boxes, int boxWidth);

// The right-aligned "Help" and "Chiudi" buttons of the browser and the code list.
QHBoxLayout *helpAndCloseButtons(QWidget *parent, QPushButton *&cmdHelp, QPushButton *&cmdChiudi);

}  // namespace pendra
