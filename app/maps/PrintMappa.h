// The print layout window: composes a page from the map window's map, classes and description.
#pragma once

#include "MapLayoutSource.h"
#include "PrintLayout.h"

#include "forms/Form.h"

#include <QImage>
#include <QPrinter>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTabWidget;

namespace pendra {

class PagePreview;

// Opens the layout modelessly from the map window's current state (read once, now). An open
// layout is only brought forward. Failures are logged; the program keeps running.
void ShowPrintMappa(MapLayoutSource &source);

class PrintMappa : public forms::Form {
    Q_OBJECT
public:
    PrintMappa();
    ~PrintMappa() override;

    // Null when the layout values could not be created (the failure was logged).
    PrintLayout *layout() const { return m_layout.get(); }
    // The printer the page is laid out for and printed on (a PDF file where no printer exists).
    QPrinter &printer() { return m_printer; }
    // Page inches to preview pixels.
    PageScale previewScale() const;
    // The page drawn at scale 1 on an image of the preview's pixel size (what "Salva" saves).
    QImage renderPage() const;

    // Chooses among the element names under the pointer: the index chosen, -1 when the menu
    // closed without a choice. The default shows the popup menu mnu_sel at globalPos.
    using PopupChooser = std::function<int(const QStringList &names, QPoint globalPos)>;
    void setPopupChooser(PopupChooser chooser) { m_popup = std::move(chooser); }

    // Handlers (the controls call them; tests too). None lets an exception out.
    void Ridisegna();
    double ImpostaPagina();
    void CaricaLeggenda(const QVector<MapClassRow> &rows);
    void cmdStampa_Click();
    void cmdSalva_Click();
    void cmdHelp_Click();
    void cmd_close_Click();
    void txt_Titolo_LostFocus();
    void txtDesc_LostFocus();
    void lst_leggenda_DblClick();
    void cmdEditOk_Click();
    void Picture1_MouseDown(Qt::MouseButton button, QPointF pixel, QPoint globalPos);
    void Picture1_MouseMove(Qt::MouseButtons buttons, QPointF pixel);

    QTabWidget *SSTab1 = nullptr;
    QCheckBox *Chk_Titolo = nullptr, *chk_Cartina = nullptr, *chk_Bordo = nullptr, *chk_Leggenda = nullptr,
              *chkDesc = nullptr;
    QLineEdit *txt_Titolo = nullptr, *txtDesc = nullptr, *txtEditLegenda = nullptr;
    QComboBox *cmb_Font = nullptr, *cmb_Fontsize = nullptr, *cmb_LFont = nullptr, *cmb_LFontSize = nullptr,
              *cmbDesc_TipoFont = nullptr, *cmbDesc_DimFont = nullptr;
    QPushButton *lbl_colore = nullptr, *lblDesc_Colore = nullptr, *lbl_colorBordo = nullptr,
                *lbl_coloreleggenda = nullptr;
    QSlider *Slider1 = nullptr;
    QListWidget *lst_leggenda = nullptr;
    QPushButton *cmdEditOk = nullptr, *cmd_GrP = nullptr, *cmd_GrM = nullptr, *cmdHelp = nullptr,
                *cmdSalva = nullptr, *cmdStampa = nullptr, *cmd_close = nullptr;
    PagePreview *Picture1 = nullptr;
    QPushButton *borderButton(const QString &name) const;  // cmd_margSuppiu and the other seven

protected:
    void formLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend void ShowPrintMappa(MapLayoutSource &source);
    void load(MapLayoutSource &source);
    void guarded(const QString &procedure, const std::function<void()> &handler);
    void chooseColour(QPushButton *swatch, const std::function<void(double)> &apply);
    void forLegendSelection(QComboBox *list, const std::function<void(int entry)> &apply);
    void visibilityChanged(QCheckBox *box, bool checked);
    bool saveJpeg(const QImage &page, const QString &name);

    std::unique_ptr<PrintLayout> m_layout;
    QPrinter m_printer;
    QImage m_picture2;  // the last temporary picture of a JPEG save
    int m_editedItem = -1;
    PopupChooser m_popup;
    QList<QPushButton *> m_borderButtons;
};

}  // namespace pendra
