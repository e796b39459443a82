#pragma once
// A scratch folder for tests that write real files: a fresh temporary folder
// per test function, holding "prog" (the program's folder for the temporary
// files); "cache" beside it is made by the operations when they need it.

#include "window_ports.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace hattsheet::testing {

// The bytes of a file, or "<missing>" so that a comparison fails readably.
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Writes the bytes as the whole file; false when any of them is not written.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

class TempWorkspace {
public:
    // A new, empty folder; false when it cannot be made.
    bool reset()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // "prog" is the user's alone, whatever the umask, as the program's
        // folder must be to hold the by-products.
        return m_dir->isValid() && QDir(m_dir->path()).mkdir("prog") &&
               QFile::setPermissions(m_dir->path() + "/prog", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_dir->path(); }
    conversion::TempPlaces places() const
    {
        return {(path() + "/prog").toStdString(), (path() + "/cache").toStdString()};
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace hattsheet::testing
