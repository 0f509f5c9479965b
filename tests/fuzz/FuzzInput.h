// Writes a fuzz input into the file a target's reader opens.
#pragma once

#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Replaces the file at path with the input's bytes; false when it cannot be written.
inline bool writeInput(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
}

}  // namespace fuzz
