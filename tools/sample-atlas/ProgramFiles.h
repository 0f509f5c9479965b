// The files of the Files folder besides the user database: the area list, the start page text,
// the layer configuration and the two spreadsheet templates.
#pragma once

#include "Catalogue.h"

#include <QString>

namespace atlas {

class ProgramFiles {
public:
    explicit ProgramFiles(const Catalogue &catalogue) : m_catalogue(catalogue) {}

    // Writes all of them into `files` (ending in "/"), replacing what is there. Throws vb::Error.
    void writeAll(const QString &files) const;

    void writeAreaList(const QString &path) const;   // area.kvr, Windows-1252, CR LF
    void writeStartText(const QString &path) const;  // InfoZup.txt, Windows-1252, CR LF
    void writeShapeConfig(const QString &path) const;
    void writeTemplate(const QString &path, bool indicators) const;

private:
    const Catalogue &m_catalogue;
};

}  // namespace atlas
