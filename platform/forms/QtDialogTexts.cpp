// The Italian texts of Qt's dialogs missing from the installed catalogue, as one table.
#include "QtDialogTexts.h"

#include <cstring>

namespace forms {

namespace {

struct Text {
    const char *context;
    const char *source;
    const char *italian;
};

// Contexts and sources exactly as Qt 6.4 asks for them.
constexpr Text texts[] = {
    {"QAbstractFileIconProvider", "Drive", "Unità"},
    {"QAbstractFileIconProvider", "Folder", "Cartella"},
    {"QAbstractFileIconProvider", "Unknown", "Sconosciuto"},
    {"QPrintSettingsOutput", "Pages", "Pagine"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Pagine o intervalli separati da virgole; un intervallo è dato da due numeri separati da un trattino. "
     "Ad esempio 3,5-7,9 stampa le pagine 3, 5, 6, 7 e 9."},
    {"QPrintSettingsOutput", "Double Sided Printing", "Stampa fronte/retro"},
    {"QPrintSettingsOutput", "Off", "Disattivata"},
    {"QPrintSettingsOutput", "Long side binding", "Rilegatura sul lato lungo"},
    {"QPrintSettingsOutput", "Short side binding", "Rilegatura sul lato corto"},
    {"QPrintPropertiesWidget", "Advanced", "Avanzate"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Alcune opzioni sono in conflitto: correggerle."},
    {"QPrintPropertiesDialog", "Page Setup Conflicts", "Conflitti nell'impostazione della pagina"},
    {"QPrintPropertiesDialog", "There are conflicts in page setup options. Do you want to fix them?",
     "Alcune opzioni dell'impostazione della pagina sono in conflitto. Correggerle?"},
    {"QPrintPropertiesDialog", "Advanced Option Conflicts", "Conflitti nelle opzioni avanzate"},
    {"QPrintPropertiesDialog", "There are conflicts in some advanced options. Do you want to fix them?",
     "Alcune opzioni avanzate sono in conflitto. Correggerle?"},
    {"QPrintDialog", "Invalid Pages Definition", "Pagine non valide"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges "
     "and make sure ranges do not intersect with each other.",
     "%1 non ha la forma attesa: separare pagine e intervalli con ',', indicare un intervallo con '-' e fare "
     "in modo che gli intervalli non si sovrappongano."},
    {"QPrintDialog", "Duplex Settings Conflicts", "Conflitti nelle impostazioni fronte/retro"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
     "Le impostazioni fronte/retro sono in conflitto. Correggerle?"},
};

}  // namespace

QString QtDialogTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText)
        return QString();
    for (const Text &t : texts)
        if (std::strcmp(t.context, context) == 0 && std::strcmp(t.source, sourceText) == 0)
            return QString::fromUtf8(t.italian);
    return QString();
}

bool QtDialogTexts::isEmpty() const
{
    return false;
}

}  // namespace forms
