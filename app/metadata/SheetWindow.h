// Common frame of the two metadata sheets: heading, labelled read-only boxes, the year frame with
// its legend, and the Stampa / Help / Chiudi buttons.
#pragma once

#include "TextBox.h"

#include "forms/Form.h"

#include <QVector>
#include <memory>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace jet {
class Recordset;
}

namespace pendra {

class Report;

class SheetWindow : public forms::Form {
    Q_OBJECT
public:
    QVector<QLineEdit *> txtAnniDisp;  // 0..12: the years 1996..2008
    QPushButton *cmdStampa;
    QPushButton *cmdHelp;
    QPushButton *cmdChiudi;

    // The print key: the first box's text cut to length characters, blanks trimmed.
    static QString printKey(const QString &firstBox, int length);
    // The key the print button passes to the sheet's report: the first box cut to the key length.
    QString printKey() const;

protected:
    // keyLength: how many characters of the first box make the print key.
    SheetWindow(const QString &name, const QString &caption, qint32 helpId, const QString &noRecordMessage,
                int keyLength);

    // A labelled box in the next row of the field grid.
    TextBox *addBox(const QString &name, const QString &label, bool multiLine = false);
    QCheckBox *addCheck(const QString &name, const QString &caption);

    // Opens SqlScheda on Metadati.mdb and fills the boxes; no row: the message; a failure is
    // logged (Form_Load) and leaves the boxes filled so far.
    void formLoad() override;
    virtual void fill(const jet::Recordset &record) = 0;
    // The sheet's report, which the print button binds to the key.
    virtual std::unique_ptr<Report> newReport() const = 0;
    void fillAvailability(const jet::Recordset &record);

private:
    QGridLayout *m_fields;
    QGridLayout *m_checks = nullptr;
    TextBox *m_keyBox = nullptr;  // the first box
    int m_keyLength;
    int m_row = 0;
    QString m_noRecord;
};

}  // namespace pendra
