// Read-only text box of the metadata windows.
#include "TextBox.h"

#include <QFontMetrics>

namespace pendra {

TextBox::TextBox(const QString &name, const QString &caption, bool multiLine, QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(name);
    setAccessibleName(caption);
    setReadOnly(true);
    if (!multiLine) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFixedHeight(fontMetrics().height() + 12);
    } else {
        setMinimumHeight(fontMetrics().height() * 4);
    }
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    // CR LF pairs show as one line end.
    setPlainText(QString(text).remove(u'\r'));
}

}  // namespace pendra
