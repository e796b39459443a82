#pragma once
// Where the tests find the agency's HEPOS grid (east.grd, north.grd): the
// environment's HATTSHEET_TEST_HEPOS_GRID, else the folder CMake found
// (HATTSHEET_TEST_HEPOS_DIR, ../shared/data/hepos beside the project). The
// grid is never in the tree; without it the tests that need it skip.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace hattsheet::testing {

inline QString heposDataFolder()
{
    const QByteArray env = qgetenv("HATTSHEET_TEST_HEPOS_GRID");
#ifdef HATTSHEET_TEST_HEPOS_DIR
    const QString folder = env.isEmpty() ? QString(HATTSHEET_TEST_HEPOS_DIR) : QString::fromUtf8(env);
#else
    const QString folder = QString::fromUtf8(env);
#endif
    const QDir dir(folder);
    return !folder.isEmpty() && dir.exists("east.grd") && dir.exists("north.grd") ? folder : QString();
}

} // namespace hattsheet::testing
