// The application's set-up as the desktop sees it: Qt's dialogs in Italian, titles as set.
#include "app/core/Program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QMutex>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

// Installed before the program's catalogues, so searched after them: it hears only the texts that
// none of them translates.
class Untranslated : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        const QString text = QString::fromUtf8(context) + QStringLiteral(" | ") + QString::fromUtf8(source);
        const QMutexLocker lock(&m_mutex);  // the file dialog asks from its gatherer thread too
        if (!m_heard.contains(text))
            m_heard << text;
        return QString();
    }
    bool isEmpty() const override { return false; }
    QStringList heard() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_heard;
    }

private:
    mutable QMutex m_mutex;
    mutable QStringList m_heard;
};

QStringList buttonTexts(const QWidget &dialog)
{
    QStringList out;
    for (const QAbstractButton *b : dialog.findChildren<QAbstractButton *>())
        out << b->text();
    for (const QGroupBox *g : dialog.findChildren<QGroupBox *>())
        out << g->title();
    return out;
}

void showBriefly(QWidget &dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    dialog.close();
}

TEST(DialogTexts, QtsDialogsSpeakItalianThroughout)
{
    if (QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel"))
        GTEST_SKIP() << "Qt's catalogue was installed earlier in this process; run this test on its own";
    Untranslated untranslated;
    QCoreApplication::installTranslator(&untranslated);
    pendra::setUpApplication();

    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Cartine"));
    QFile file(dir.filePath("dati.xlsx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    {
        QFileDialog files(nullptr, QStringLiteral("Apri"), dir.path());
        files.setViewMode(QFileDialog::Detail);
        files.show();
        auto *model = files.findChild<QFileSystemModel *>();
        ASSERT_NE(model, nullptr);
        const QString folder = dir.filePath("Cartine");
        QElapsedTimer waited;
        waited.start();
        while (model->index(folder, 2).data().toString().isEmpty() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(model->index(folder, 2).data().toString().toStdString(), "Cartella") << "the type column";
        files.close();
    }
    QPrinter printer;
    {
        QPrintDialog print(&printer);
        print.show();
        QCoreApplication::processEvents();
        const QStringList texts = buttonTexts(print);
        for (const char *expected : {"Pagine", "Stampa fronte/retro", "Disattivata", "Rilegatura sul lato lungo",
                                     "Rilegatura sul lato corto"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << " in " << texts.join(", ").toStdString();
        print.close();
    }
    QPrintPreviewDialog preview(&printer);
    showBriefly(preview);
    QColorDialog colour;
    showBriefly(colour);
    QInputDialog input;
    showBriefly(input);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Abort | QMessageBox::Retry |
                           QMessageBox::Ignore | QMessageBox::Yes | QMessageBox::No);
    showBriefly(box);

    QCoreApplication::removeTranslator(&untranslated);
    QStringList heard = untranslated.heard();
    heard.removeAll(QStringLiteral("QGuiApplication | QT_LAYOUT_DIRECTION"));  // a setting, not a text
    EXPECT_EQ(heard.join('\n').toStdString(), "");
}

TEST(DialogTexts, TopLevelTitlesReachTheDesktopAsTheWindowsSetThem)
{
    pendra::setUpApplication();
    EXPECT_EQ(QCoreApplication::applicationName().toStdString(), "Pendra");
    // Qt appends a display name set by the program to every top-level title ("Stampa Glossario
    // — Pendra"); without one, the display name is only the application name.
    QCoreApplication::setApplicationName(QStringLiteral("Altro"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), "Altro");
    QCoreApplication::setApplicationName(QStringLiteral("Pendra"));
}

}  // namespace
