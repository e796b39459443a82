// hattsheet: the window. No settings; one argument, a file, is opened into
// panel 1 (`hattsheet FILE`, as the desktop's "Open with" starts it; `--`
// before a name that begins with "-"). The two temporary files of the
// operations go to the program's directory, or to the user's cache
// directory when that one is not writable.

#include "base/platform.h"
#include "base/version.h"
#include "operations/window_texts.h"
#include "ui/main_window.h"
#include "ui/qt_greek.h"
#include "ui/qt_no_settings.h"
#include "ui/qt_paths.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Exit status when the window cannot be shown at all, or --help or
// --version cannot be printed.
constexpr int kNoDisplayExit = 1;

using hattsheet::operations::captions::kNoDisplay;

// Whether the program was told which window system to use: an X or Wayland
// display, a platform chosen through the environment or "-platform". Without
// any of them Qt would abort with a core dump. On Windows and macOS the
// platform is always there.
bool hasDisplay(int argc, char* argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

// While QApplication starts: a display that is named but cannot be reached
// (an X server that is gone) makes Qt end with a fatal message and abort;
// the program ends with that message and its own exit status instead.
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::fflush(stderr);
        std::_Exit(kNoDisplayExit);
    }
}

// What `--help` (-h) or `--version` before any "--" asks to print; empty
// when neither is given and the window opens.
std::string infoRequested(int argc, char* argv[])
{
    namespace captions = hattsheet::operations::captions;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return captions::kWindowUsage;
        if (std::strcmp(argv[i], "--version") == 0) return std::string(captions::kVersionStart) + HATTSHEET_VERSION "\n";
    }
    return {};
}

// Prints the text on stdout, exit 0. The Windows program is built for the
// GUI subsystem: started from a console it has no stdout unless one is
// redirected, so where the write fails the text shows in a message box
// instead (chosen over attaching to the parent console, which would write
// after the prompt the console has already printed again).
int showInfo(int argc, char* argv[], const std::string& text)
{
    const auto written = hattsheet::platform::writeAll(hattsheet::platform::kStdout, text);
    if (written) return 0;
    // A stdout that is there but refuses (a full disk, a closed pipe) is a
    // failure like the command line's; only one that is not there at all
    // gets the box.
    if (written.error().code != EBADF || !hasDisplay(argc, argv)) return kNoDisplayExit;
    QApplication app(argc, argv);
    QMessageBox box(QMessageBox::Information, QStringLiteral("hattsheet"), QString::fromUtf8(text.c_str()), QMessageBox::Ok);
    box.exec();
    return 0;
}

} // namespace

// The file named on the command line, if any: the first argument left after
// Qt took its own (-platform, -style...), or the one after "--". On Windows
// Qt reads the arguments from the wide command line, so any path arrives whole.
QString fileArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--")) return arguments.value(i + 1);
        if (!arguments[i].startsWith(QLatin1Char('-'))) return arguments[i];
    }
    return {};
}

int main(int argc, char* argv[])
{
    // SIGXFSZ ignored: a file size limit fails a save with a message.
    hattsheet::platform::prepareProcess();
    if (const std::string info = infoRequested(argc, argv); !info.empty()) return showInfo(argc, argv, info);
    if (!hasDisplay(argc, argv)) {
        std::fputs(kNoDisplay, stderr);
        return kNoDisplayExit;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("hattsheet"));
    QApplication::setDesktopFileName(QStringLiteral("hattsheet"));
    // The layout is fixed in pixels; Qt's own style draws the 17-pixel
    // buttons and 19-pixel fields the same way on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    hattsheet::ui::installGreek(app);
    hattsheet::ui::keepNoSettings();

    QIcon icon;
    for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/hattsheet-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    const hattsheet::operations::TempPlaces temp{
        hattsheet::ui::pathFromQString(QCoreApplication::applicationDirPath()),
        // When the program's own folder is not the user's alone:
        // $XDG_CACHE_HOME/hattsheet or ~/.cache/hattsheet, and
        // %LOCALAPPDATA%\hattsheet on Windows.
        hattsheet::platform::userCacheFolder(),
    };
    hattsheet::ui::MainWindow window(temp);
    window.show();
    if (const QString file = fileArgument(QCoreApplication::arguments()); !file.isEmpty()) window.openFileOnceShown(file);
    return app.exec();
}
