// A read-only text box that keeps its text exactly as set (CR LF included) and shows it wrapped.
#pragma once

#include <QPlainTextEdit>

namespace pendra {

class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // The label's caption becomes the accessible name; multiLine false gives one line's height.
    TextBox(const QString &name, const QString &caption, bool multiLine, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

private:
    QString m_text;
};

}  // namespace pendra
