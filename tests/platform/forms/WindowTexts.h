// The texts a window shows, for tests that compare captions with the literals a window must carry.
#pragma once

#include <QStringList>

class QWidget;

namespace guitest {

// The window's title, then the texts of its labels, frames, buttons, tabs and pop-up menu items,
// empty texts left out.
QStringList windowTexts(const QWidget *window);

}  // namespace guitest
