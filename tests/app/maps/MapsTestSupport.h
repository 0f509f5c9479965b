// A scratch Files/ and Shape/ pair for layer tests, with the shared state and dialogs isolated.
#pragma once

#include "app/maps/MapLayerRecord.h"
#include "forms/ScriptedDialogService.h"
#include "mapkit/MapWidget.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace mapstest {

// One layer child of a Case: the shape key and its attributes as written (absent when null).
struct CaseChild {
    QString key;
    const char *outline = "True";
    const char *outlineColor = "0";
    const char *backColor = "255";
    const char *transparent = "False";
};
// One Shape entry.
struct ShapeEntry {
    QString key;
    QString fileName;
    const char *useToMatch = "False";
};

class LayersTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString files() const { return m_dir.path() + "/Files/"; }
    QString shapes() const { return m_dir.path() + "/Shape/"; }
    // Writes Files/ShapeConfig.xml with one case "provincia107" and the given entries.
    void writeConfig(const QVector<CaseChild> &children, const QVector<ShapeEntry> &entries,
                     const QString &mapBackColor = "16107720");
    void writeRaw(const QByteArray &bytes);
    QByteArray configBytes() const;
    // LoadLayers on `map` for "provincia107"; rethrows its error.
    void load();
    QStringList logLines() const;

    forms::ScriptedDialogService dialogs;
    mapkit::MapWidget map;
    QVector<pendra::MapLayerRecord> layers;
    int matchIndex = 0;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<forms::ScopedDialogs> m_installed;
    QString m_savedFiles;
};

}  // namespace mapstest
