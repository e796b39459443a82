// Pictures of the window as a desktop with another palette or font shows it,
// for scripts/screenshot: the palette and font a desktop theme would hand to
// the program are set here before the window is built. Run on the offscreen
// platform; QT_SCALE_FACTOR gives the high-density screens.
//
//   hattsheet-shots OUTDIR NAME [--dark] [--points PT] [--extras]
//
// writes OUTDIR/main-NAME.png (after ">", with a coordinate too wide for its
// field in txtX1), and with --extras about-, dialog-, menu-, chooser- and
// map-NAME.png (the About window, the save dialog on a folder of lists, a
// field's context menu, the sheet chooser filtered to "αθ" with Άθως chosen,
// and its map alone with the mouse over Λάρισα).

#include "dark_palette.h"
#include "operations/window_texts.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_greek.h"
#include "ui/sheet_chooser.h"
#include "ui/sheet_map.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& widget, const QString& path)
{
    if (widget.grab().save(path)) return true;
    std::fprintf(stderr, "hattsheet-shots: cannot write %s\n", qPrintable(path));
    return false;
}

// The save dialog as the window shows it in a folder of a few files, after
// raw.txt was opened: it offers that name again.
bool saveFileDialog(QWidget& window, const QTemporaryDir& work, const QString& path)
{
    for (const char* file : {"raw.txt", "μετατροπή.txt", "survey 2024.txt"}) {
        QFile f(work.filePath(QString::fromUtf8(file)));
        if (f.open(QIODevice::WriteOnly)) f.write(QByteArray(1500, 'x'));
    }
    QDir(work.path()).mkdir(QStringLiteral("παλιά"));
    using hattsheet::operations::windowTexts;
    const std::vector<hattsheet::operations::FileFilter> filters{{windowTexts().filterTxt, "*.txt"}};
    hattsheet::ui::QtDialogs dialogs(&window);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialog->selectFile(work.filePath(QStringLiteral("raw.txt")));
        QMetaObject::invokeMethod(dialog, "accept");  // as the dialog's own button does
    });
    dialogs.chooseOpenFile(windowTexts().openTitle, filters);
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        settle(1500);
        saved = save(*dialog, path);
        dialog->reject();
    });
    dialogs.chooseSaveFile(windowTexts().saveTitle, filters, work.filePath(QStringLiteral("raw.txt")).toStdString());
    return saved;
}

// The chooser as "Φύλλα" opens it, filtered and with a sheet chosen; then
// its map alone, larger, with the mouse over a sheet.
bool chooserShots(QWidget& window, const QString& chooserPath, const QString& mapPath)
{
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<hattsheet::ui::SheetChooser*>(QApplication::activeModalWidget());
        if (chooser == nullptr) return;
        chooser->findChild<QLineEdit*>(QStringLiteral("txtSheetFilter"))->setText(QStringLiteral("αθ"));
        chooser->choose(hattsheet::geodesy::sheetById(21));
        settle(300);
        saved = save(*chooser, chooserPath);
        auto* map = chooser->findChild<hattsheet::ui::SheetMap*>();
        const auto* larisa = hattsheet::geodesy::sheetById(186);
        double phi = 0, lambda = 0;
        for (const auto& c : larisa->outline) {
            phi += c.phiDeg / 4;
            lambda += c.lambdaDeg / 4;
        }
        const QPointF at = map->toWidget(phi, lambda);
        QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(map, &move);
        settle(300);
        saved = save(*map, mapPath) && saved;
        chooser->reject();
    });
    window.findChild<QAction*>(QStringLiteral("mnuSheetFrom"))->trigger();
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    hattsheet::ui::installGreek(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: hattsheet-shots OUTDIR NAME [--dark] [--points PT] [--extras]\n");
        return 64;
    }
    const QDir out(args[1]);
    const QString name = args[2];
    if (args.contains(QStringLiteral("--dark"))) QApplication::setPalette(hattsheet::tools::darkPalette());
    if (const qsizetype at = args.indexOf(QStringLiteral("--points")); at > 0 && at + 1 < args.size()) {
        QFont font = QApplication::font();
        font.setPointSizeF(args[at + 1].toDouble());
        QApplication::setFont(font);
    }

    QTemporaryDir work;
    hattsheet::ui::MainWindow window({work.path().toStdString(), work.path().toStdString()});
    window.show();
    settle(200);
    window.findChild<QPushButton*>(QStringLiteral("cmdOne"))->click();
    window.findChild<QLineEdit*>(QStringLiteral("txtX1"))->setText(QStringLiteral("-12345678.901"));
    window.findChild<QPlainTextEdit*>(QStringLiteral("txtFile1"))
        ->setPlainText(QStringLiteral("P1, 1000.000, 2000.000, 5.000\nΣΤ12, -7429.270, 13107.462, 123.456\n"));
    settle(200);
    if (!save(window, out.filePath(QStringLiteral("main-%1.png").arg(name)))) return 1;
    if (!args.contains(QStringLiteral("--extras"))) return 0;

    window.findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    settle(200);
    if (!save(*window.findChild<hattsheet::ui::AboutWindow*>(), out.filePath(QStringLiteral("about-%1.png").arg(name)))) return 1;

    if (!saveFileDialog(window, work, out.filePath(QStringLiteral("dialog-%1.png").arg(name)))) return 1;

    if (!chooserShots(window, out.filePath(QStringLiteral("chooser-%1.png").arg(name)),
                      out.filePath(QStringLiteral("map-%1.png").arg(name)))) {
        return 1;
    }

    auto* field = window.findChild<QLineEdit*>(QStringLiteral("txtY2"));
    std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    menu->popup(field->mapToGlobal(QPoint(0, field->height())));
    settle(200);
    return save(*menu, out.filePath(QStringLiteral("menu-%1.png").arg(name))) ? 0 : 1;
}
