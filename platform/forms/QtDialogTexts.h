// Italian for the texts of Qt's own dialogs that the installed Qt catalogue does not translate.
#pragma once

#include <QTranslator>

namespace forms {

// Debian's Qt catalogue predates some texts of Qt 6's file and printer dialogs (the file type
// "Folder", the printer's "Pages" and double-sided choices); this translator answers those, by
// context and source text, and nothing else. Install it before the catalogue, so that the
// catalogue, searched first, keeps every text it has.
class QtDialogTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override;
};

}  // namespace forms
