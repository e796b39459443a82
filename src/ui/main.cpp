// hattsheet: the window. No arguments, no settings; the two temporary files
// of the operations go to the program's directory, or to the user's cache
// directory when that one is not writable.

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

    const hattsheet::conversion::TempPlaces temp{
        QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation).toStdString(),
    };
    hattsheet::ui::MainWindow window(temp);
    window.show();
    return app.exec();
}
