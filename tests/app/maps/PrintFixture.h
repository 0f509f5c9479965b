// Test support of the print layout: a map-window stand-in, the library registered, fonts and
// dialogs scripted, a program folder of its own.
#pragma once

#include "app/maps/MapLayoutSource.h"
#include "app/maps/PrintMappa.h"

#include "forms/ScriptedDialogService.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace printtest {

// Draws a 400 x 300 pixel map (a grey frame with a red block) as the map kit would, or, given a
// `view` size, exports an empty map-kit view of that size in MapColour; answers the class rows and
// the description it was given.
class FixtureSource : public pendra::MapLayoutSource {
public:
    QSize exportSnapshot(const QString &path) override;
    QVector<pendra::MapClassRow> classRows() override { return rows; }
    QString description() override { return text; }

    QVector<pendra::MapClassRow> rows = {
        {0x0000FF, QStringLiteral("0,00 - 10,50")},
        {0x00FF00, QStringLiteral("10,50 - 20,00")},
        {0xFF0000, QStringLiteral("20,00 - 35,75")},
        {0xFFFFFF, QStringLiteral("Dato non presente")},
    };
    QString text = QStringLiteral("Popolazione residente al 2001");
    bool failSnapshot = false;
    QSize view;  // pixels of a real map view to export instead of the drawn map
    static constexpr QRgb MapColour = 0xFFC8E4F5;
    QString snapshotPath;  // where the layout asked for the snapshot
};

// The sorted font list the tests install: item 13 is "DejaVu Sans".
QStringList testFonts();

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    pendra::PrintMappa *open();  // through ShowPrintMappa, from `source`
    QStringList logLines() const;
    QString scratch(const QString &name) const { return m_dir.filePath(name); }
    // Page inches to a point of the preview.
    QPointF at(double x, double y) const;

    FixtureSource source;
    forms::ScriptedDialogService dialogs;
    pendra::PrintMappa *window = nullptr;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<forms::ScopedDialogs> m_installed;
};

}  // namespace printtest
