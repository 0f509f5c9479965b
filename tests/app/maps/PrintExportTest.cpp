// Saving the page: BMP by name, JPEG through a bitmap section, temporary files, failures.
#include "PrintFixture.h"

#include "app/maps/cDIBSection.h"
#include "app/maps/mIntelJPEGLibrary.h"

#include "vb/DurableFile.h"

#include <QDir>
#include <QFile>

namespace printtest {

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Mean absolute difference of the colour channels of two pictures of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row), *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

// The first value of the first and of the second quantisation table.
QPair<int, int> firstQuantValues(const QByteArray &jpeg)
{
    QVector<int> firsts;
    for (int i = 2; i + 4 <= jpeg.size() && quint8(jpeg[i]) == 0xFF;) {
        const quint8 marker = quint8(jpeg[i + 1]);
        const int length = (quint8(jpeg[i + 2]) << 8) | quint8(jpeg[i + 3]);
        if (marker == 0xDB)
            for (int t = i + 4; t < i + 2 + length; t += 65)
                firsts.append(quint8(jpeg[t + 1]));
        if (marker == 0xDA)
            break;
        i += length + 2;
    }
    return firsts.size() >= 2 ? qMakePair(firsts[0], firsts[1]) : qMakePair(-1, -1);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Notes the files of a folder at every message, to see when the temporary bitmap goes.
class FolderAtMessage : public forms::ScriptedDialogService {
public:
    explicit FolderAtMessage(QString folder) : m_folder(std::move(folder)) {}
    int msgBox(const QString &prompt, int style, const QString &title) override
    {
        seen.append(filesIn(m_folder));
        return ScriptedDialogService::msgBox(prompt, style, title);
    }
    QList<QStringList> seen;

private:
    QString m_folder;
};

TEST_F(PrintTest, SavesABmpUnderTheChosenNameWhateverItsSuffix)
{
    ASSERT_TRUE(open());
    const QImage page = window->renderPage();
    for (const char *name : {"carta.bmp", "carta", "carta.JPG"}) {
        const QString path = scratch(QString::fromLatin1(name));
        dialogs.clear();
        dialogs.answerFile(path);
        window->cmdSalva_Click();
        EXPECT_TRUE(readAll(path).startsWith("BM")) << name;
        EXPECT_EQ(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), page) << name;
        EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Immagine ") + path + QStringLiteral(" salvata correttamente.")});
        EXPECT_EQ(dialogs.calls(forms::DialogCall::MsgBox).value(0).style, forms::vbInformation);
        EXPECT_EQ(dialogs.calls(forms::DialogCall::SaveFile).value(0).file.filter, QStringLiteral("BMP|*.bmp|Jpg|*.jpg"));
    }
    dialogs.clear();
    window->cmdSalva_Click();  // cancelled
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(PrintTest, ABmpSaveOnAFullDiskLeavesTheOldPictureWhole)
{
    ASSERT_TRUE(open());
    const QString folder = scratch(QStringLiteral("pieno"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/carta.bmp");
    const QByteArray old = "BM old picture";
    for (qint64 room : {qint64(0), qint64(100000)}) {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(old);
        existing.close();
        dialogs.clear();
        dialogs.answerFile(path);
        vb::failWritesAfter(room);
        window->cmdSalva_Click();
        vb::failWritesAfter(-1);
        EXPECT_EQ(readAll(path), old) << room;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("carta.bmp")}) << room;
        EXPECT_EQ(dialogs.messages(),
                  (QStringList{QStringLiteral("Errore : Impossibile scrivere il file ") + path +
                                   QStringLiteral(" (disco pieno) Il File Error.log è stato riempito."),
                               QStringLiteral("Immagine ") + path + QStringLiteral(" non salvata correttamente.")}))
            << room;
        EXPECT_TRUE(logLines().last().contains(QStringLiteral("Function: cmdSalva_Click Error N.61 "))) << room;
    }
}

TEST_F(PrintTest, SavesAJpegOfQualityNinetyAndLeavesEveryOtherFileAlone)
{
    ASSERT_TRUE(open());
    const QString folder = scratch(QStringLiteral("out"));
    QDir().mkpath(folder);
    const QByteArray sentinel("not a picture");
    QFile existing(folder + QStringLiteral("/carta.bmp"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(sentinel);
    existing.close();

    const QString path = folder + QStringLiteral("/carta.jpg");
    dialogs.answerFile(path);
    window->cmdSalva_Click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Immagine ") + path + QStringLiteral(" salvata correttamente.")});
    EXPECT_EQ(readAll(folder + QStringLiteral("/carta.bmp")), sentinel);
    EXPECT_EQ(filesIn(folder), QStringList({QStringLiteral("carta.bmp"), QStringLiteral("carta.jpg")}));

    const QByteArray jpeg = readAll(path);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const QImage decoded = QImage::fromData(jpeg, "JPG");
    const QImage page = window->renderPage();
    ASSERT_EQ(decoded.size(), page.size());
    EXPECT_LT(meanDifference(decoded, page), 2.5);
    // Quality 90: luminance 16 and chrominance 17 scaled to 20 %.
    EXPECT_EQ(firstQuantValues(jpeg), qMakePair(3, 3));

    // The JPEG test looks at the file name only; the rest of the name stays.
    for (const char *name : {"x.jpg.old", "Forlì.jpg"}) {
        const QString jpgFolder = scratch(QStringLiteral("dir.jpg"));
        QDir().mkpath(jpgFolder);
        const QString target = jpgFolder + QLatin1Char('/') + QString::fromUtf8(name);
        dialogs.answerFile(target);
        window->cmdSalva_Click();
        EXPECT_TRUE(readAll(target).startsWith("\xFF\xD8")) << name;
    }
    EXPECT_EQ(filesIn(scratch(QStringLiteral("dir.jpg"))), QStringList({QStringLiteral("Forlì.jpg"), QStringLiteral("x.jpg.old")}));
    dialogs.clear();
    const QString bmpInJpgFolder = scratch(QStringLiteral("dir.jpg/plain.bmp"));
    dialogs.answerFile(bmpInJpgFolder);
    window->cmdSalva_Click();
    EXPECT_TRUE(readAll(bmpInJpgFolder).startsWith("BM"));
}

TEST_F(PrintTest, TheTemporaryBitmapGoesAfterTheSuccessMessageAndBeforeTheFailureMessage)
{
    ASSERT_TRUE(open());
    const QString folder = scratch(QStringLiteral("tmp"));
    QDir().mkpath(folder);
    FolderAtMessage watching(folder);
    forms::ScopedDialogs installed(watching);

    watching.answerFile(folder + QStringLiteral("/carta.jpg"));
    window->cmdSalva_Click();
    ASSERT_EQ(watching.seen.size(), 1);
    EXPECT_EQ(watching.seen[0].size(), 2) << "the success message comes while the bitmap is still there";
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("carta.jpg")});

    // A folder named like the picture: the bitmap is written, the JPEG cannot be.
    QDir().mkpath(folder + QStringLiteral("/mappa.jpg"));
    watching.seen.clear();
    watching.clear();
    watching.answerFile(folder + QStringLiteral("/mappa.jpg"));
    window->cmdSalva_Click();
    EXPECT_EQ(watching.messages(), QStringList({QStringLiteral("Failed to save to JPG"),
                                                QStringLiteral("Immagine ") + folder +
                                                    QStringLiteral("/mappa.jpg non salvata correttamente.")}));
    ASSERT_EQ(watching.seen.size(), 2);
    EXPECT_EQ(watching.seen[1], QStringList{QStringLiteral("carta.jpg")}) << "the bitmap is gone before the failure message";
    EXPECT_EQ(watching.calls(forms::DialogCall::MsgBox).value(1).style, forms::vbCritical);
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("carta.jpg")});
}

TEST_F(PrintTest, ASaveThatCannotBeWrittenIsLoggedAndReportedNeverAsSuccess)
{
    ASSERT_TRUE(open());
    QFile plain(scratch(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const char *name : {"plain/carta.bmp", "plain/carta.jpg"}) {
        const QString path = scratch(QString::fromLatin1(name));
        dialogs.clear();
        dialogs.answerFile(path);
        const int before = logLines().size();
        window->cmdSalva_Click();
        EXPECT_EQ(logLines().size(), before + 1) << name;
        const QStringList messages = dialogs.messages();
        ASSERT_EQ(messages.size(), 2) << name;
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Errore : "))) << name;
        EXPECT_EQ(messages[1], QStringLiteral("Immagine ") + path + QStringLiteral(" non salvata correttamente."));
        EXPECT_EQ(dialogs.calls(forms::DialogCall::MsgBox).value(1).style, forms::vbCritical);
    }
}

TEST(PrintBitmapSection, RowsArePaddedToFourBytesAndLieBottomUp)
{
    struct Case {
        int width, stride, pad;
    };
    for (const Case c : {Case{412, 1236, 0}, Case{413, 1240, 1}}) {
        QImage picture(c.width, 3, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < c.width; ++x)
            picture.setPixelColor(x, 2, QColor(10, 20, 30));  // the bottom row
        pendra::cDIBSection section;
        section.CreateFromPicture(picture);
        EXPECT_EQ(section.BytesPerScanLine(), c.stride);
        EXPECT_EQ(section.BytesPerScanLine() - section.Width() * 3, c.pad);
        EXPECT_EQ(section.Height(), 3);
        const quint8 *bits = section.DIBSectionBitsPtr();
        // Blue, green, red of the bottom row first.
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(bits), 3), QByteArray("\x1E\x14\x0A", 3));
        EXPECT_EQ(bits[c.stride], 0xFF);
    }
}

TEST_F(PrintTest, SaveJpgOfAnEmptySectionFailsWithTheLibraryMessage)
{
    pendra::cDIBSection empty;
    EXPECT_FALSE(pendra::SaveJPG(empty, scratch(QStringLiteral("e.jpg")), 90));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Failed to save to JPG")});
    EXPECT_EQ(dialogs.calls().value(0).style, forms::vbExclamation);
    EXPECT_FALSE(QFile::exists(scratch(QStringLiteral("e.jpg"))));
}

}  // namespace
}  // namespace printtest
