// "Αποθήκευση ως…" of the real window: panel 2 filled by the window's own
// conversions, the entry of "Εργασίες" triggered, and the type picked in
// Qt's file dialog as a user picks it (the type list by the keyboard, the
// name typed, Enter). GDAL's ogrinfo, no part of the program, reads every
// map file written, Greek codes and all; the comma list is the save's.

#include "operations/window_texts.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace hattsheet::testing;
namespace ops = hattsheet::operations;

namespace {

// Messages and questions scripted (every question Yes), the save dialog
// Qt's own.
struct RealSaveDialog : FakeDialogs {
    hattsheet::ui::QtDialogs* qt = nullptr;
    std::optional<ChosenSave> chooseSaveFileOfType(const std::string& title, const std::vector<ops::FileFilter>& filters,
                                                   const std::string& suggested) override
    {
        return qt->chooseSaveFileOfType(title, filters, suggested);
    }
};

// Goes to the folder in the open file dialog, picks the type `downs`
// places below the first and types the name, in the order given, then
// accepts.
void answerDialog(const QString& folder, int downs, const QString& name, bool typeFirst)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, folder, downs, name, typeFirst] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->deleteLater();
        dialog->setDirectory(folder);
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        const auto typeName = [&] {
            edit->selectAll();
            // Key by key with its text: keyClicks knows ASCII keys only.
            for (const QChar c : name) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
            // The names the folder holds, offered as the name is typed, are
            // let go as a user's click elsewhere would.
            if (QCompleter* names = edit->completer()) names->popup()->hide();
        };
        if (typeFirst) typeName();
        types->setFocus();
        for (int i = 0; i < downs; ++i) QTest::keyClick(types, Qt::Key_Down);
        if (!typeFirst) typeName();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    poll->start(20);
}

// What ogrinfo reads of a file: every feature's fields and geometry.
QString readWithGdal(const QString& path)
{
    QProcess p;
    p.start("ogrinfo", {"-ro", "-al", "-q", path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class tst_SaveAs : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        // The dialogs' state (folder, columns) in a folder of this run's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("GDAL's ogrinfo is not here");
    }

    // Expected: ogrinfo reads the points' Greek codes and as many points as
    // the panel holds (the type picked wins over a typed ".txt", which Qt's
    // dialog turns into the type's own extension); a map file leaves the panel's lines unsaved (the quit
    // question says so), the comma list saves them.
    void typeChosenInDialog_data()
    {
        QTest::addColumn<QString>("fill");   // the window's conversion into panel 2
        QTest::addColumn<int>("downs");      // the type: 0 the comma list, 1 KML, 2 GeoJSON, 3 DXF, 4 GPX
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("typeFirst");  // the name typed before the type is picked
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("field");  // ogrinfo's field of the code; empty: a comma list
        QTest::addColumn<int>("geometries");  // ogrinfo's: DXF draws a point and its code's text
        QTest::newRow("ΕΓΣΑ87 lines, KML picked") << "mnuListToGrid" << 1 << "σημεία" << false << "σημεία.kml" << "Name" << 3;
        QTest::newRow("Hatt lines, GeoJSON picked") << "cmdAll" << 2 << "pts" << false << "pts.geojson" << "code" << 3;
        QTest::newRow("ΕΓΣΑ87 lines, DXF picked") << "mnuListToGrid" << 3 << "pts" << false << "pts.dxf" << "Text" << 6;
        QTest::newRow("Hatt lines, .txt typed then GPX picked") << "cmdAll" << 4 << "pts.txt" << true << "pts.gpx" << "name" << 3;
        QTest::newRow("the comma list") << "cmdAll" << 0 << "pts" << false << "pts.txt" << "" << 0;
    }
    void typeChosenInDialog()
    {
        QFETCH(QString, fill);
        QFETCH(int, downs);
        QFETCH(QString, typed);
        QFETCH(bool, typeFirst);
        QFETCH(QString, written);
        QFETCH(QString, field);
        QFETCH(int, geometries);
        TempWorkspace work;
        QVERIFY(work.reset());
        RealSaveDialog dialogs;
        auto window = std::make_unique<hattsheet::ui::MainWindow>(work.places(), &dialogs);
        hattsheet::ui::QtDialogs qt(window.get());
        dialogs.qt = &qt;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // Both centres on the sheet Αθήναι-Ελευσίς: a batch gives the points back.
        for (const char* name : {"txtPhiOld", "txtPhiNew"}) window->findChild<QLineEdit*>(name)->setText("38.15");
        for (const char* name : {"txtLamdaOld", "txtLamdaNew"}) window->findChild<QLineEdit*>(name)->setText("-0.15");
        window->findChild<QPlainTextEdit*>("txtFile1")->setPlainText("Α1,1000,2000,10\nΒ2,-3000,500,0\nΓ3,0,0,5\n");
        if (fill.startsWith("mnu")) window->findChild<QAction*>(fill)->trigger();
        else QTest::mouseClick(window->findChild<QWidget*>(fill), Qt::LeftButton);
        QCOMPARE(window->findChild<QPlainTextEdit*>("txtFile2")->toPlainText().count('\n'), 3);
        dialogs.messages.clear();

        answerDialog(work.path(), downs, typed, typeFirst);
        window->findChild<QAction*>("mnuSaveAs")->trigger();
        QVERIFY2(QFile::exists(work.path() + '/' + written), dialogs.messages.empty() ? "" : dialogs.messages.back().text.c_str());
        QCOMPARE(QDir(work.path()).entryList({typed.section('.', 0, 0) + "*"}, QDir::Files), QStringList{written});
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QVERIFY2(dialogs.messages.front().text.starts_with(ops::windowTexts().saved), dialogs.messages.front().text.c_str());
        if (!field.isEmpty()) {
            const QString gdal = readWithGdal(work.path() + '/' + written);
            for (const char* code : {"Α1", "Β2", "Γ3"}) {
                QVERIFY2(gdal.contains("  " + field + " (String) = " + QString::fromUtf8(code) + '\n'), qPrintable(gdal));
            }
            QCOMPARE(gdal.count(QRegularExpression("\n  POINT (Z )?\\(")), geometries);
        }
        window->close();
        const bool askedUnsaved = !dialogs.questions.empty() &&
                                  dialogs.questions.back().text.find(ops::windowTexts().quitUnsaved) != std::string::npos;
        QCOMPARE(askedUnsaved, !field.isEmpty());
    }
};

QTEST_MAIN(tst_SaveAs)
#include "tst_save_as.moc"
