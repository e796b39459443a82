// hattsheet: the window. No arguments, no settings; the two temporary files
// of the operations go to the program's directory, or to the user's cache
// directory when that one is not writable or is an installed one.

#include "main_window.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hattsheet"));
    QApplication::setDesktopFileName(QStringLiteral("hattsheet"));
    // The layout is fixed in pixels; Qt's own style draws the 17-pixel
    // buttons and 19-pixel fields the same way on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));

    QIcon icon;
    for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/hattsheet-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // An installed program (under /usr or /opt: the .deb, cmake --install)
    // keeps those two files in the cache even when its folder is writable, as
    // it is to root: files left in the package manager's trees outlive it.
    const QString programDir = QCoreApplication::applicationDirPath();
    const bool installed = programDir.startsWith(QStringLiteral("/usr/")) || programDir.startsWith(QStringLiteral("/opt/"));
    const hattsheet::conversion::TempPlaces temp{
        installed ? std::string() : programDir.toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation).toStdString(),
    };
    hattsheet::ui::MainWindow window(temp);
    window.show();
    return app.exec();
}
