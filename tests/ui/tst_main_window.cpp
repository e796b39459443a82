// The real window on the offscreen platform, and its adapters to the operations. Clicks go through
// the window system layer (QTEST_QPA_MOUSE_HANDLING), so they give the focus as a user's do.
// Coordinates expected after a conversion are those of tests/operations/tst_single_point.cpp between
// the window's start sheets (40.51, -0.51 to 40.45, -0.45): (1000, 2000) gives (-7429.270, 13107.462),
// (0, 0) gives (-8431.552, 11108.603), and back from (0, 0) X is 8444.215.
#define QTEST_QPA_MOUSE_HANDLING

#include "dark_palette.h"  // tools/
#include "operations/window_texts.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "ui/about_window.h"
#include "ui/field_edit.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_greek.h"
#include "ui/sheet_map.h"
#include "ui/widget_fields.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QToolTip>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <functional>

#include <utime.h>

using namespace hattsheet::testing;
using namespace hattsheet::ui;
using hattsheet::operations::DefaultAnswer;
using hattsheet::operations::MessageIcon;
using hattsheet::operations::windowTexts;
using hattsheet::operations::withPointCount;

namespace {

// Scripted dialogs that also note what panel 2 held when a message came.
struct Dialogs : FakeDialogs {
    const QPlainTextEdit* watched = nullptr;
    std::vector<QString> watchedAtMessage;
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override
    {
        watchedAtMessage.push_back(watched ? watched->toPlainText() : QString());
        FakeDialogs::showMessage(text, title, icon);
    }
};

// A shown and active main window in its own temporary folder.
struct Window {
    QTemporaryDir temp;
    Dialogs dialogs;
    MainWindow w{{temp.path().toStdString(), temp.path().toStdString()}, &dialogs};
    // On one of the screens of screens.json: 1024×768, 1366×768, 2560×1440 at scale 2.
    explicit Window(int screen = 0)
    {
        QScreen* on = QGuiApplication::screens().value(screen);
        w.setScreen(on);
        w.move(on->availableGeometry().topLeft());
        w.show();
        if (!QTest::qWaitForWindowActive(&w)) qFatal("the main window never became active");
    }

    QWidget* child(const QString& name) const { return w.findChild<QWidget*>(name); }
    QPlainTextEdit* panel(const char* name) const { return w.findChild<QPlainTextEdit*>(name); }
    QString text(const QString& name) const  // "name=text"
    {
        return name + '=' + child(name)->property(name.startsWith("txtFile") ? "plainText" : "text").toString();
    }
    void set(const QString& nameText) const  // "name=text" typed in
    {
        const QString name = nameText.section('=', 0, 0);
        child(name)->setProperty(name.startsWith("txtFile") ? "plainText" : "text", nameText.section('=', 1));
    }
    void click(const QString& name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
};

QString focusName() { return qApp->focusWidget() ? qApp->focusWidget()->objectName() : "(none)"; }

// The contrast ratio of two colours (1 to 21), from their relative luminances as the accessibility
// guidelines for the web define them; 4.5 is their threshold for body text.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Runs act on the next modal dialog once it shows, from inside its own event loop.
void whenModal(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        poll->deleteLater();
        poll->stop();
        act(modal);
    });
    poll->start(10);
}

// What a file dialog shows in `folder`: its column headings and button tips,
// the size of the first file, and whether every column, its heading whole,
// lies within the view (no scrolling sideways to see a size).
struct FileDialogSeen {
    QStringList texts;
    QString size;
    bool columnsFit = false;
};
FileDialogSeen lookInto(QFileDialog& files, const QString& folder)
{
    FileDialogSeen seen;
    auto* tree = files.findChild<QTreeView*>();
    const QHeaderView* header = tree->header();
    for (int c = 0; c < header->count(); ++c) seen.texts << tree->model()->headerData(c, Qt::Horizontal).toString();
    for (auto* b : files.findChildren<QToolButton*>()) if (!b->toolTip().isEmpty()) seen.texts << b->toolTip();
    files.setDirectory(folder);
    for (int wait = 0; wait < 250 && seen.size.isEmpty(); ++wait) {
        QTest::qWait(20);
        seen.size = tree->model()->index(0, 1, tree->rootIndex()).data().toString();
    }
    seen.columnsFit = header->length() <= tree->viewport()->width();
    for (int c = 0; c < header->count(); ++c)
        seen.columnsFit = seen.columnsFit && header->sectionSize(c) >= QFontMetrics(header->font()).horizontalAdvance(seen.texts[c]);
    return seen;
}

// A number whose text is between 0.75 and 1.25 pixels wider than the room the field has for it: the
// field's width less its border, padding and Qt's two pixels each side (8 pixels, as ui/twips.cpp counts).
QString textOverflowing(const QLineEdit& field)
{
    const QFontMetricsF metrics(field.font());
    const double room = field.width() - 8;
    for (const QString sign : {"", "-", "+"})
        for (int spaces = 0; spaces <= 2; ++spaces)
            for (const QString exponent : {"", "E9", "e9"})
                for (int digits = 1; digits < 14; ++digits)
                    for (int decimals = -1; decimals <= 3; ++decimals) {  // -1: no point
                        const QString text = QString(spaces, ' ') + sign + QString(digits, '9') +
                                             (decimals < 0 ? "" : "." + QString(decimals, '9')) + exponent;
                        const double over = metrics.horizontalAdvance(text) - room;
                        if (over >= 0.75 && over <= 1.25) return text;
                    }
    return {};
}

// The open or save dialog over the window, in a folder of three lists and a subfolder whose times are
// fixed, once its files and their sizes are listed; the folder's name and the list of places masked.
QImage fileDialogSeen(const Window& h, bool save)
{
    const QString folder = h.temp.filePath("lists");
    QDir().mkpath(folder + "/παλιά");
    const struct { const char* name; int size; } files[] = {{"raw.txt", 1500}, {"μετατροπή.txt", 12}, {"survey 2024.txt", 123456}};
    const QDateTime fixed(QDate(2024, 3, 1), QTime(10, 0), Qt::UTC);
    const utimbuf times{fixed.toSecsSinceEpoch(), fixed.toSecsSinceEpoch()};
    for (const auto& f : files) {
        const QString path = folder + '/' + QString::fromUtf8(f.name);
        if (!writeFile(path, QByteArray(f.size, 'x')) || ::utime(QFile::encodeName(path).constData(), &times) != 0) return {};
    }
    if (::utime(QFile::encodeName(folder + "/παλιά").constData(), &times) != 0) return {};
    // Every dialog starts where the last one ended and with its state (QSettings, in the test's own
    // XDG_CONFIG_HOME): one save into the folder first, and whatever ran before, this test draws the same.
    QSettings(QSettings::UserScope, "QtProject").remove("FileDialog");
    QtDialogs dialogs(const_cast<MainWindow*>(&h.w));
    const std::vector<hattsheet::operations::FileFilter> filters{{windowTexts().filterTxt, "*.txt"}};
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    if (!dialogs.chooseSaveFile(windowTexts().saveTitle, filters, (folder + "/raw.txt").toStdString())) return {};
    QImage seen;
    whenModal([&](QWidget* modal) {
        auto* tree = modal->findChild<QTreeView*>();
        for (int wait = 0; wait < 250; ++wait) {
            QTest::qWait(20);
            const QModelIndex root = tree->rootIndex();
            if (tree->model()->rowCount(root) == 4 && !tree->model()->index(3, 1, root).data().toString().isEmpty()) break;
        }
        QTest::qWait(300);  // the columns fitted, the icons drawn
        seen = modal->grab().toImage();
        QPainter masks(&seen);
        for (const char* name : {"lookInCombo", "sidebar"}) {
            auto* w = modal->findChild<QWidget*>(name);
            masks.fillRect(QRect(w->mapTo(modal, QPoint()), w->size()), Qt::magenta);
        }
        masks.end();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    if (save) dialogs.chooseSaveFile(windowTexts().saveTitle, filters, (folder + "/raw.txt").toStdString());
    else dialogs.chooseOpenFile(windowTexts().openTitle, filters);
    return seen;
}

void expectGreek(const QStringList& texts)
{
    QVERIFY(!texts.isEmpty());
    for (const QString& t : texts) QVERIFY2(t.contains(QRegularExpression("[\\x{0370}-\\x{03FF}]")), qPrintable(t));
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    void useFont(double points)  // 0: the desktop's own
    {
        QFont font = m_font;
        if (points > 0) font.setPointSizeF(points);
        QApplication::setFont(font);
    }
private slots:
    // Qt's own texts from the program's Greek catalogue: the context menus of the fields and panels here,
    // the message boxes and file dialogs in qtDialogs.
    void initTestCase()
    {
        // The file dialogs keep their state (folder, columns) in QtProject.conf: a folder of this run's own,
        // so no earlier run or user changes what they show.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QVERIFY(installGreek(*qApp));  // also makes Greek, a comma locale, the default
        QLineEdit field;
        QPlainTextEdit panel;
        for (QMenu* menu : {field.createStandardContextMenu(), panel.createStandardContextMenu()}) {
            QStringList texts;
            for (QAction* a : menu->actions()) if (!a->isSeparator()) texts << a->text();
            delete menu;
            expectGreek(texts);
        }
    }
    void cleanup()  // the desktop's palette and font as a test found them
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }

    // At the desktop's font and at larger ones that grow it, on a light and on a dark desktop palette, on
    // the screens of a working day (9 pt on 1024×768, 14 pt on 1366×768, a 144-dpi font at scale 2 on
    // 2560×1440), the window within the screen's available area, the panels giving up the height: every control inside its parent and clear of every other (two frames may share
    // their outline: Frame1 ends at 855 twips, Frame3 starts at 840), and its text readable (4.5:1) against
    // the colour behind it, whether the window fixes that colour (labels, panels, frame captions) or takes
    // the desktop's (but the credits line Label12: red on the menu-text colour is its look, 3.2:1 on a dark
    // desktop). A text wider than its field is marked cut and offered whole as tooltip; the ones the
    // window must show (plane coordinates within 100 km, the geodetic texts) fit.
    void layoutAndColours_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("text");  // name=text
        QTest::addColumn<bool>("cut");
        QTest::addColumn<int>("screen");  // of screens.json
        QTest::newRow("12-digit X at the desktop font") << 0.0 << false << "txtX1=-12345678.901" << true << 0;
        QTest::newRow("dark: X 100 km out at the desktop font") << 0.0 << true << "txtX1=-99999.999" << false << 0;
        QTest::newRow("9 pt on 1024×768") << 9.0 << false << "txtX2=-99999.999" << false << 0;
        QTest::newRow("latitude at 11 pt") << 11.0 << false << "txtf=40° 50' 60.00000''" << false << 0;
        QTest::newRow("dark: Δλ at 11 pt") << 11.0 << true << "txtm=-0° 51' 0.00000''" << false << 0;
        QTest::newRow("Δλ at 14 pt on 1366×768") << 14.0 << false << "txtm=-4° 59' 59.99999''" << false << 1;
        QTest::newRow("dark: λ at 14 pt on 1366×768") << 14.0 << true << "txtl=22° 51' 58.81500''" << false << 1;
        QTest::newRow("Y 100 km out at 14 pt") << 14.0 << false << "txtY2=-99999.999" << false << 1;
        QTest::newRow("dark: 15-digit Y at 14 pt") << 14.0 << true << "txtY2=-123456789012.345" << true << 1;
        // QT_FONT_DPI=144 makes the 9 pt font 1.5 times as large: 13.5 pt at 96 dpi.
        QTest::newRow("144 dpi font at scale 2 on 2560×1440") << 13.5 << false << "txtl=22° 51' 58.81500''" << false << 2;
        QTest::newRow("dark: 144 dpi font at scale 2 on 2560×1440") << 13.5 << true << "txtX1=-99999.999" << false << 2;
    }
    void layoutAndColours()
    {
        QFETCH(double, points);
        QFETCH(bool, dark);
        QFETCH(QString, text);
        QFETCH(int, screen);
        useFont(points);
        if (dark) QApplication::setPalette(hattsheet::tools::darkPalette());
        Window h(screen);
        QWidget* client = h.child("client");
        QList<QWidget*> controls;
        for (QWidget* c : client->findChildren<QWidget*>())
            if (QRegularExpression("^(Frame|Label|txt|cmd)").match(c->objectName()).hasMatch()) controls << c;
        QCOMPARE(controls.size(), 37);  // 3 frames, 12 labels, 11 fields, 2 panels, 9 buttons: none missed
        const auto inClient = [client](const QWidget* c) { return QRect(c->mapTo(client, QPoint()), c->size()); };
        const QImage seen = client->grab().toImage();  // as the window shows it, each control over its parent
        for (QWidget* c : controls) {
            QVERIFY2(c->isVisible() && c->parentWidget()->rect().contains(c->geometry()), qPrintable(c->objectName()));
            for (const QWidget* other : controls) {
                if (other == c || other->isAncestorOf(c) || c->isAncestorOf(other)) continue;
                if (c->inherits("QGroupBox") && other->inherits("QGroupBox")) continue;
                QVERIFY2(!inClient(c).intersects(inClient(other)),
                         qPrintable(c->objectName() + " overlaps " + other->objectName()));
            }
            const QPalette p = c->palette();
            const bool label = c->inherits("QLabel"), frame = c->inherits("QGroupBox"), button = c->inherits("QPushButton");
            const QColor ink = p.color(label || frame ? QPalette::WindowText : button ? QPalette::ButtonText : QPalette::Text);
            const QColor behind = frame ? QApplication::palette().color(QPalette::Window)
                                        : p.color(label ? QPalette::Window : button ? QPalette::Button : QPalette::Base);
            QVERIFY2(contrast(ink, behind) >= 4.5 || c->objectName() == "Label12", qPrintable(c->objectName() + ": " + ink.name() + " on " + behind.name()));
            if (QRegularExpression("^(txtFile.|Label\\d|Label1[01])$").match(c->objectName()).hasMatch())  // the tints, on any desktop
                QCOMPARE(seen.pixelColor((inClient(c).topLeft() + QPoint(1, 1)) * seen.devicePixelRatio()), QRegularExpression("^(txtFile2|Label[3478])$").match(c->objectName()).hasMatch() ? QColor(255, 255, 192) : QColor(192, 255, 192));
        }
        h.set(text);
        QFETCH(bool, cut);
        QCOMPARE(h.child(text.section('=', 0, 0))->toolTip(), cut ? text.section('=', 1) : QString());
        // Within the screen, the panels' text as large as the fields'.
        const QRect area = h.w.screen()->availableGeometry();
        const auto shown = [](const QRect& r) { return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); };
        QVERIFY2(area.contains(h.w.frameGeometry()), qPrintable(shown(h.w.frameGeometry()) + " outside " + shown(area)));
        for (QWidget* c : controls) QVERIFY2(area.contains(QRect(c->mapToGlobal(QPoint()), c->size())), qPrintable(c->objectName()));
        for (const char* name : {"txtFile1", "txtFile2"})
            QVERIFY(h.panel(name)->font().pointSizeF() >= std::max(9.0, h.child("txtX1")->font().pointSizeF()));
        // Resized, the panels take the difference; every other control keeps its size, and those below the
        // panels keep their distance to the bottom (and those of panel 2 to its left edge).
        QHash<QWidget*, QRect> before;
        for (QWidget* c : controls) before[c] = inClient(c);
        const QSize grown = h.w.size() + QSize(41, 30);
        h.w.resize(grown);
        QTRY_COMPARE(h.w.size(), grown);
        for (QWidget* c : controls) {
            const QString n = c->objectName();
            const int dx = QRegularExpression("^(txtFile2|cmd(Op|Er|Sav)2)$").match(n).hasMatch() ? 20 : 0;
            const int dy = QRegularExpression("^(cmd(Op|Er|Sav)\\d|Label12)$").match(n).hasMatch() ? 30 : 0;
            const QSize more = n == "txtFile1" ? QSize(20, 30) : n == "txtFile2" ? QSize(21, 30) : n == "Label12" ? QSize(41, 0) : QSize(0, 0);
            QCOMPARE(inClient(c), QRect(before[c].topLeft() + QPoint(dx, dy), before[c].size() + more));
        }
        auto* field = qobject_cast<QLineEdit*>(h.child(text.section('=', 0, 0)));
        // A new font decides anew whether the text is cut: three times as large it is, at 2 pt it is not.
        const int pointSize = field->font().pointSize();
        for (const auto& [size, tip] : {std::pair{field->font().pointSizeF() * 3, field->text()}, std::pair{2.0, QString()}}) {
            QFont font = field->font();
            font.setPointSizeF(size);
            field->setFont(font);
            QCOMPARE(field->toolTip(), tip);
        }
        field->setFont(QFont(field->font().family(), pointSize + 4));  // a new font reaches its text layout too
        const int end = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        field->home(false);
        QVERIFY(std::abs(end - field->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() - QFontMetricsF(field->font()).horizontalAdvance(field->text())) <= 1);
    }

    // Keys and clicks, each followed by where the focus is then: the Tab ring, Enter as Tab in the fields
    // and as a press on a button, and a field left only with a text that reads as a number ("." only, as
    // the conversions read it). A refused field keeps the focus, its text neither restored nor changed,
    // never shows a message, and the button of a refused click does not run; mended, the same click goes
    // through. A field the focus moves into has its whole text selected, so the next key replaces it.
    // Steps: "name=text" typed; "?name=text" shown; "KEY>focus", "click NAME>focus", "clear>focus".
    void keysAndClicks_data()
    {
        QTest::addColumn<QString>("start");  // the control given the focus; "@name": where it is by itself
        QTest::addColumn<QStringList>("steps");
        const auto walk = [](const QString& key, const QStringList& path) {
            QStringList steps;
            for (const QString& p : path) steps << key + '>' + p;
            return steps;
        };
        QTest::newRow("Tab round the ring from the start focus")
            << "@txtFile1"
            << walk("Tab", {"txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2", "cmdAll",
                            "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
                            "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl", "txtFile1"}) + QStringList{"?txtX2=0.000"};
        // Enter in txtLamdaOld crosses to the other frame, not to txtX1.
        QTest::newRow("Enter from the old centre to >")
            << "txtPhiOld" << walk("Return", {"txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
                                              "cmdOne"}) + QStringList{"?txtX2=-8431.552"};
        QTest::newRow("Enter from the new point to <")
            << "txtX2" << walk("Return", {"txtY2", "cmd2", "cmd2"}) + QStringList{"?txtX1=8444.215"};
        QTest::newRow("keypad Enter") << "txtX1" << walk("Enter", {"txtY1", "cmdOne", "cmdOne"}) + QStringList{"?txtY2=11108.603"};
        QTest::newRow("Enter stays in a display") << "txtm" << QStringList{"Return>txtm", "?txtm="};
        QTest::newRow("Enter starts a line in a panel") << "txtFile1" << QStringList{"Return>txtFile1", "?txtFile1=\n"};
        QTest::newRow("12a kept by Tab, with a note") << "txtX1" << QStringList{"-note", "txtX1=12a", "Tab>txtX1", "?txtX1=12a", "note"};
        QTest::newRow("12a kept by a click, mended")
            << "txtX1" << QStringList{"txtX1=12a", "click txtY1>txtX1", "?txtX1=12a", "txtX1=5", "click txtY1>txtY1"};
        QTest::newRow("empty kept by Enter") << "txtX1" << QStringList{"txtX1=", "Return>txtX1", "?txtX1="};
        // A Greek keypad's decimal key gives a comma: one is a decimal point; anything else stays refused.
        QTest::newRow("keypad comma taken by Enter") << "txtX1" << QStringList{"txtX1=-12345,678", "Return>txtY1", "?txtX1=-12345.678", "-note"};
        QTest::newRow("comma taken by a click on >, which converts")
            << "txtX1" << QStringList{"txtY1=2000", "txtX1=1000,", "click cmdOne>cmdOne", "?txtX1=1000.", "?txtX2=-7429.270"};
        QTest::newRow("a refusal's note goes once mended") << "txtPhiOld" << QStringList{"txtPhiOld=40,5,1", "Tab>txtPhiOld", "note", "txtPhiOld=40,51", "Tab>txtLamdaOld", "?txtPhiOld=40.51", "-note"};
        QTest::newRow("comma beside a point kept") << "txtX1" << QStringList{"txtX1=1.000,5", "Tab>txtX1", "?txtX1=1.000,5", "note"};
        QTest::newRow("spaced 12.5 released by Enter") << "txtX1" << QStringList{"txtX1= 12.5 ", "Return>txtY1", "?txtX1= 12.5 "};
        QTest::newRow("exponent released by a click") << "txtX1" << QStringList{"txtX1=1.5E3", "click txtY1>txtY1", "?txtX1=1.5E3"};
        QTest::newRow("refused click on > does not convert, mended it does")
            << "txtX1" << QStringList{"txtY1=2000", "txtX1=1000m", "click cmdOne>txtX1", "?txtX1=1000m", "?txtX2=0.000",
                                      "txtX1=1000", "click cmdOne>cmdOne", "?txtX1=1000", "?txtX2=-7429.270"};
        // Alt lends the keyboard to the menu bar for a moment: no test, or the focus would come straight back.
        QTest::newRow("abc untested while the menu bar has the keys") << "txtX1" << QStringList{"txtX1=abc", "Alt>", "?txtX1=abc"};
        QTest::newRow("12a let go when the focus goes nowhere") << "txtX1" << QStringList{"txtX1=12a", "clear>(none)", "?txtX1=12a"};
        // Fault: two fields without a number could hand the focus to each other for ever.
        QTest::newRow("two empty fields do not bounce")
            << "txtX1" << QStringList{"txtX1=", "txtY1=", "click txtY1>txtX1", "Tab>txtX1", "txtX1=5", "click txtY1>txtY1",
                                      "click txtX1>txtY1"};
    }
    void keysAndClicks()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        static const QMap<QString, Qt::Key> keys{
            {"Tab", Qt::Key_Tab}, {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Alt", Qt::Key_Alt}};
        Window h;
        if (start.startsWith('@')) QCOMPARE(focusName(), start.mid(1));
        else h.child(start)->setFocus(Qt::OtherFocusReason);
        for (const QString& step : steps) {
            if (step.startsWith('?')) {
                QCOMPARE(h.text(step.mid(1).section('=', 0, 0)), step.mid(1));
            } else if (step.endsWith("note")) {  // the note beside a refusing field, shown or not
                auto* note = h.w.findChild<QLabel*>("noteNotNumber");
                QCOMPARE(note != nullptr && note->isVisible(), step == "note");
                if (note) QCOMPARE(note->text(), "Δεν είναι αριθμός: χρησιμοποιήστε μόνο ψηφία, πρόσημο και υποδιαστολή");
                if (note && note->isVisible()) {  // in the tooltip's colours, where the window's text differs
                    QPalette p = note->palette();
                    p.setColor(QPalette::ToolTipText, QColor(200, 0, 0));
                    p.setColor(QPalette::WindowText, QColor(0, 0, 200));
                    note->setPalette(p);
                    const QImage drawn = note->grab().toImage();
                    int red = 0, blue = 0;
                    for (int y = 0; y < drawn.height(); ++y)
                        for (int x = 0; x < drawn.width(); ++x) {
                            const QColor c = drawn.pixelColor(x, y);
                            red += c.red() > c.blue() + 100;
                            blue += c.blue() > c.red() + 100 && c.green() < 150;
                        }
                    QVERIFY2(red > 0 && blue == 0, qPrintable(QString("%1 red, %2 blue pixels").arg(red).arg(blue)));
                }
            } else if (!step.contains('>')) {
                h.set(step);
            } else {
                const QString act = step.section('>', 0, 0);
                if (keys.contains(act)) QTest::keyClick(QApplication::focusWidget(), keys[act]);
                else if (act == "clear") QApplication::focusWidget()->clearFocus();
                else h.click(act.section(' ', 1));
                QVERIFY2(focusName() == step.section('>', 1), qPrintable(step + " left the focus in " + focusName()));
                auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                QVERIFY2(!field || field->selectedText() == field->text(), qPrintable(step));
            }
        }
        QVERIFY(h.dialogs.messages.empty());
    }

    // A panel text into a real panel and back: every kind of line end is one line end, and every
    // character of the data comes back as it was, also those the text document takes as breaks
    // (U+2029, U+FDD0, U+FDD1, and U+2028, which it shows as one) or spaces (U+00A0). `lines` is
    // what the user sees: one per line, so no character splits a line. A batch may append a million
    // lines (40 MB) one by one, grouped a hundred to a paragraph; typed text then joins the last
    // line. A text set replaces what was appended but not yet shown.
    void panelTextKept_data()
    {
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QByteArray>("back");  // empty: the panel text itself
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("appends");      // of one record line after the panel text
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray() << 2 << 0;
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n") << 3 << 0;
        QTest::newRow("CR then CR LF is two ends") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb") << 3 << 0;
        QTest::newRow("LF then CR is two ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb") << 3 << 0;
        QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ\r\n") << QByteArray() << 2 << 0;
        const QByteArray kept = "\xEF\xBB\xBFP\xC2\xA0" "1\xE2\x80\xA8" "2\xE2\x80\xA9" "3\xEF\xB7\x90" "4\xEF\xB7\x91"
                                "\xF0\x90\x80\xA8, 1, 2\r\nB";  // BOM, U+00A0, 2028, 2029, FDD0, FDD1, U+10028
        QTest::newRow("breaking and odd characters kept, in their line") << kept << QByteArray() << 2 << 0;
        // A text goes into the document a MiB at a time; no cut may split a character or a CR LF.
        const QByteArray mib(1 << 20, 'a');
        QTest::newRow("Greek letter across the MiB mark") << mib.left(mib.size() - 1) + "Σ\r\nb" << QByteArray() << 2 << 0;
        QTest::newRow("CR LF across the MiB mark") << mib.left(mib.size() - 1) + "\r\nb" << QByteArray() << 2 << 0;
        QTest::newRow("CR LF before the MiB mark") << "a\r\n" + mib << QByteArray() << 2 << 0;
        QTest::newRow("a million lines appended") << QByteArray("typed") << QByteArray() << 1 + 1000000 / 100 << 1000000;
    }
    void panelTextKept()
    {
        QFETCH(QByteArray, panel);
        QFETCH(QByteArray, back);
        QFETCH(int, appends);
        QPlainTextEdit widget;
        WidgetFields fields;
        fields.bindPanel(FieldId::File1, &widget);
        fields.setText(FieldId::File1, panel.toStdString());
        if (panel.size() < 1000) QVERIFY(!widget.grab().isNull());  // the stand-ins drawn
        const std::string line = "P1, -7429.270, 13107.462, 123.456\r\n";
        std::string want = (back.isEmpty() ? panel : back).toStdString();
        for (int i = 0; i < appends; ++i, want += line) fields.appendText(FieldId::File1, line);
        QVERIFY(fields.text(FieldId::File1) == want);
        QTEST(widget.document()->blockCount(), "lines");
        if (appends > 0) {  // typed at the end of grouped lines
            widget.show();
            widget.moveCursor(QTextCursor::End);
            QTest::keyClicks(&widget, QStringLiteral("Z, 1"));
            QVERIFY(fields.text(FieldId::File1) == want + "Z, 1");
        }
        fields.appendText(FieldId::File1, line);
        fields.setText(FieldId::File1, "");
        QCOMPARE(fields.text(FieldId::File1), std::string());
    }

    // Every panel button in turn, each on its own panel (a swapped connection would open, clear or save the
    // other one); the batch's message only once its lines are in panel 2, and one undo takes the whole
    // output of the last batch back, also when it reaches the panel in several pieces (40,000 lines, 1.3 MB).
    // The characters the text document would change or break a line at are panelTextKept's.
    // A refusal points at what it refuses: the refused centre field gets the
    // focus back after the message, a failing record's line of panel 1 is
    // selected and shown (also inside a paragraph of grouped lines, which an
    // open of more than 10,000 lines makes), and a centre with 60 minutes
    // or more gets a note beside it, without a message box.
    void refusalsPoint_data()
    {
        QTest::addColumn<QStringList>("typed");   // "name=text"
        QTest::addColumn<int>("lines");           // lines opened into panel 1 before, the 1-based badLine's X 1e300
        QTest::addColumn<int>("badLine");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("focus");       // where the focus ends
        QTest::addColumn<QString>("seen");        // the selected text of panel 1, or the note of the focused field
        QTest::newRow("new φ refused by >") << QStringList{"txtPhiNew=43"} << 0 << 0 << "cmdOne" << "txtPhiNew" << "";
        QTest::newRow("old Δλ refused by <") << QStringList{"txtLamdaOld=6"} << 0 << 0 << "cmd2" << "txtLamdaOld" << "";
        QTest::newRow("old φ refused by the batch") << QStringList{"txtPhiOld=33", "txtFile1=A,1,2,3"} << 0 << 0 << "cmdAll"
                                                    << "txtPhiOld" << "";
        QTest::newRow("failing record on line 3 selected") << QStringList{} << 5 << 3 << "cmdAll" << "txtFile1" << "";
        QTest::newRow("failing record inside a paragraph of grouped lines")
            << QStringList{} << 20000 << 15051 << "cmdAll" << "txtFile1" << "";
        QTest::newRow("75 minutes noted beside φ") << QStringList{"txtPhiOld=40.75"} << 0 << 0 << "cmdOne" << "cmdOne"
                                                   << "txtPhiOld:Το 40.75 διαβάστηκε ως 41° 15'";
        QTest::newRow("75 minutes of the new Δλ still in sight after < names the sheet")
            << QStringList{"txtLamdaNew=-0.75"} << 0 << 0 << "cmd2" << "cmd2" << "txtLamdaNew:Το -0.75 διαβάστηκε ως -1° 15'";
    }
    void refusalsPoint()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, lines);
        QFETCH(int, badLine);
        QFETCH(QString, button);
        QFETCH(QString, focus);
        QFETCH(QString, seen);
        Window h;
        for (const QString& t : typed) h.set(t);
        if (lines > 0) {
            QByteArray list;
            for (int i = 1; i <= lines; ++i) list += "B" + QByteArray::number(i) + (i == badLine ? ", 1e300" : ", 1000") + ", 2000, 5\r\n";
            QVERIFY(writeFile(h.temp.filePath("list.txt"), list));
            h.dialogs.fileAnswers.push_back(h.temp.filePath("list.txt").toStdString());
            h.click("cmdOp1");
        }
        h.click(button);
        QCOMPARE(focusName(), focus);
        if (badLine > 0) {
            const QString line = h.panel("txtFile1")->toPlainText().split('\n').at(badLine - 1);
            QVERIFY(line.startsWith("B" + QString::number(badLine) + ", "));
            QCOMPARE(h.panel("txtFile1")->textCursor().selectedText(), line);
            QVERIFY(h.panel("txtFile1")->cursorRect().intersects(h.panel("txtFile1")->viewport()->rect()));
            QVERIFY(QString::fromStdString(h.dialogs.messages.back().text).contains("γραμμή " + QString::number(badLine) + ":"));
        } else if (!seen.isEmpty()) {
            QVERIFY(h.child(seen.section(':', 0, 0))->property("note").toString().startsWith(seen.section(':', 1)));
            QCOMPARE(h.dialogs.messages.size(), std::size_t(0));
            // The sheet's name shown after the conversion does not hide the note.
            QVERIFY2(QToolTip::text().contains(h.child(button)->toolTip()) && QToolTip::text().contains(seen.section(':', 1)),
                     qPrintable(QToolTip::text()));
        }
    }

    void panelButtons()
    {
        Window h;
        h.dialogs.watched = h.panel("txtFile2");
        const auto path = [&](const char* name) { return h.temp.filePath(name); };
        QVERIFY(writeFile(path("list.seq"), QByteArray("P, 1000, 2000, 5\r\nB, 0, 0, 1\r\n").repeated(20000)));
        for (const char* name : {"list.seq", "1.txt", "2.txt", "list.seq", "3.txt"})
            h.dialogs.fileAnswers.push_back(path(name).toStdString());
        QString afterBatch;
        for (const QString button : {"cmdOp1", "cmdSav1", "cmdAll", "cmdAll", "undo", "cmdSav2", "cmdEr1", "cmdOp2",
                                     "cmdSav2", "cmdEr2"}) {
            if (button == "undo") h.panel("txtFile2")->undo();
            else h.click(button);
            if (button == "cmdAll" && afterBatch.isEmpty()) afterBatch = h.panel("txtFile2")->toPlainText();
            if (button == "cmdEr1") QCOMPARE(h.text("txtFile1"), "txtFile1=");
        }
        const QByteArray read = QByteArray("P, 1000.000, 2000.000, 5.000\r\nB, 0.000, 0.000, 1.000\r\n").repeated(20000);
        const QByteArray converted = QByteArray("P, -7429.270, 13107.462, 5.000\r\nB, -8431.552, 11108.603, 1.000\r\n").repeated(20000);
        QCOMPARE(readFile(path("1.txt")), read);
        QCOMPARE(readFile(path("2.txt")), converted);
        QCOMPARE(readFile(path("3.txt")), converted + read);  // opened below the batch's lines
        QCOMPARE(h.text("txtFile2"), "txtFile2=");
        const ShownMessage done{withPointCount(windowTexts().batchDone, 40000), windowTexts().titleInfo, MessageIcon::Information};
        const auto at = std::find(h.dialogs.messages.begin(), h.dialogs.messages.end(), done) - h.dialogs.messages.begin();
        QVERIFY(at < qsizetype(h.dialogs.messages.size()) && afterBatch.size() > 30);
        QCOMPARE(h.dialogs.watchedAtMessage[at], afterBatch);
    }

    // A day's list in both directions, by keyboard and menu: a file given as on the command line, the
    // centres swapped (Ctrl+R) and back (the menu), the batch back from "Σε Κ.Φ." to "Από Κ.Φ." (the digits
    // of "<" for (1000, 2000), tst_single_point); the quit question's second line while those lines are
    // unsaved; each panel's save offers its own file only; a cleared panel back with Ctrl+Z; an empty panel
    // not saved. Every button and menu entry has a mnemonic of its own, every field and panel a name that
    // says its frame, read through the accessibility tree.
    void workingDay()
    {
        Window h;
        const std::string list = h.temp.filePath("day.txt").toStdString();
        QVERIFY(writeFile(QString::fromStdString(list), "P, 1000, 2000, 5\r\n"));
        h.w.openFile(QString::fromStdString(list));
        QCOMPARE(h.text("txtFile1"), "txtFile1=P, 1000.000, 2000.000, 5.000\n");
        QCOMPARE(h.dialogs.messages.back(), (ShownMessage{std::string(windowTexts().opened) + "\n1 σημείο", windowTexts().titleInfoPlain, MessageIcon::Information}));
        QTest::keyClick(&h.w, Qt::Key_R, Qt::ControlModifier);
        for (const QString seen : {"txtPhiOld=40.45", "txtLamdaOld=-0.45", "txtPhiNew=40.51", "txtLamdaNew=-0.51"}) QCOMPARE(h.text(seen.section('=', 0, 0)), seen);
        h.w.findChild<QAction*>("mnuSwap")->trigger();
        h.w.findChild<QAction*>("mnuBackward")->trigger();
        QCOMPARE(h.text("txtFile2"), "txtFile2=P, 9441.934, -9097.840, 5.000\n");
        QCOMPARE(h.dialogs.messages.back().text, std::string(windowTexts().batchDone) + "\n1 σημείο");
        for (const bool saved : {false, true}) {
            h.dialogs.yesNoAnswers = {false};
            QVERIFY(!h.w.close());
            QCOMPARE(h.dialogs.questions.back().text, saved ? std::string(windowTexts().quit) : std::string(windowTexts().quit) + "\n" + windowTexts().quitUnsaved);
            h.dialogs.fileAnswers = {h.temp.filePath("out2.txt").toStdString()};
            if (!saved) h.click("cmdSav2");
        }
        h.dialogs.fileAnswers = {h.temp.filePath("out1.txt").toStdString()};
        h.click("cmdSav1");
        QCOMPARE(h.dialogs.suggestions, (std::vector<std::string>{"", list}));
        h.click("cmdEr1");
        QCOMPARE(h.text("txtFile1"), "txtFile1=");
        h.click("cmdSav1");
        QCOMPARE(h.dialogs.messages.back().text, std::string(windowTexts().nothingToSave));
        QCOMPARE(h.dialogs.suggestions.size(), std::size_t(2));
        QTest::keyClick(h.panel("txtFile1"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.text("txtFile1"), "txtFile1=P, 1000.000, 2000.000, 5.000\n");

        // One mnemonic a control, none twice in the window whatever its case (Alt+φ was both "Φύλλα" and
        // panel 2's clear); none on ">" and "<", where an underline reads as "≥" and "≤".
        QStringList mnemonics;
        const auto mnemonicOf = [&](const QString& text) {
            const QString letter = text.section('&', 1).left(1).toUpper();
            QVERIFY2(text.count('&') == 1 && !letter.isEmpty() && !mnemonics.contains(letter), qPrintable(text));
            mnemonics << letter;
        };
        for (auto* b : h.child("client")->findChildren<QPushButton*>()) {
            if (b->text() == ">" || b->text() == "<") continue;
            mnemonicOf(b->text());
        }
        QCOMPARE(mnemonics.size(), 7);
        for (QAction* a : h.w.menuBar()->actions()) {
            mnemonicOf(a->text());
            if (a->menu()) for (QAction* entry : a->menu()->actions()) if (!entry->isSeparator()) QVERIFY2(entry->text().count('&') == 1, qPrintable(entry->text()));
        }

        QStringList names;
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            if (node->role() == QAccessible::EditableText) names << node->text(QAccessible::Name);
            for (int i = 0; i < node->childCount(); ++i) walk(node->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(&h.w));
        QStringList expected{"Από Κ.Φ. — Δλ", "Από Κ.Φ. — σημεία", "Από Κ.Φ. — φ", "Από Κ.Φ. — Υ", "Από Κ.Φ. — Χ",
                                     "Γεωδαιτικές συντεταγμένες — Δλ", "Γεωδαιτικές συντεταγμένες — λ", "Γεωδαιτικές συντεταγμένες — φ",
                                     "Σε Κ.Φ. — Δλ", "Σε Κ.Φ. — σημεία", "Σε Κ.Φ. — φ", "Σε Κ.Φ. — Υ", "Σε Κ.Φ. — Χ"};
        names.sort();
        expected.sort();
        QCOMPARE(names, expected);
    }

    // Save in the list's layout: a spreadsheet's list (";", decimal commas, a header) opened, converted by
    // the batch, and saved from the menu by its Latin keys (Alt+E, D) goes back in its layout, and the
    // message says which; "Αποθήκευση" of panel 2 still writes the program's layout. Digits: panelButtons'.
    void saveInListLayout()
    {
        Window h;
        const QString list = h.temp.filePath("day.csv");
        QVERIFY(writeFile(list, "Code;X;Y;H\r\nP;1000,0;2000,0;5,0\r\n"));
        h.w.openFile(list);
        h.click("cmdAll");
        h.dialogs.fileAnswers = {h.temp.filePath("kept.csv").toStdString(), h.temp.filePath("plain.txt").toStdString()};
        h.child("txtX1")->setFocus(Qt::OtherFocusReason);
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, h.child("txtX1"), Qt::Key_E, QStringLiteral("e"), Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
        QApplication::sendEvent(QApplication::activePopupWidget(), &press);
        QTRY_COMPARE(readFile(h.temp.filePath("kept.csv")), QByteArray("Code;X;Y;H\r\nP;-7429,270;13107,462;5,000\r\n"));
        QCOMPARE(h.dialogs.messages.back().text, std::string(windowTexts().saved) +
                 "\nΓράφτηκε στη διάταξη της λίστας: διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας");
        h.click("cmdSav2");
        QCOMPARE(readFile(h.temp.filePath("plain.txt")), QByteArray("P, -7429.270, 13107.462, 5.000\r\n"));
        QCOMPARE(h.dialogs.messages.back().text, std::string(windowTexts().saved));
    }

    // Each mnemonic from the keyboard on both layouts, the focus in a number field: the Latin letter on the
    // key of the Greek one (F for φ) does what Alt and the Greek letter do, and types nothing into the field
    // (it landed there, and the field could not be left); Alt with a letter that is no mnemonic types
    // nothing either. Keys: Alt+key, then optionally a key in the menu that opened.
    void mnemonicsOnBothLayouts_data()
    {
        QTest::addColumn<int>("key");       // Qt::Key of the letter the layout gives
        QTest::addColumn<int>("inMenu");    // a key pressed in the menu that opened, 0 for none
        QTest::addColumn<QString>("seen");  // "menu NAME" open, "about", a message's text, "name=text"
        QTest::newRow("Alt+F opens Φύλλα") << int(Qt::Key_F) << 0 << "menu mnuSheets";
        QTest::newRow("Alt+Φ opens Φύλλα") << 0x3A6 << 0 << "menu mnuSheets";
        QTest::newRow("Alt+E, E swaps the centres") << int(Qt::Key_E) << int(Qt::Key_E) << "txtPhiOld=40.45";
        QTest::newRow("Alt+Ε, Ε swaps the centres") << 0x395 << 0x395 << "txtPhiOld=40.45";
        QTest::newRow("Alt+8 opens ΕΓΣΑ87 on both") << int(Qt::Key_8) << 0 << "menu mnuGrid";
        QTest::newRow("Alt+P opens the About window") << int(Qt::Key_P) << 0 << "about";
        QTest::newRow("Alt+M runs the batch") << int(Qt::Key_M) << 0 << QString(windowTexts().noList);
        QTest::newRow("Alt+L clears panel 2") << int(Qt::Key_L) << 0 << "txtFile2=";
        QTest::newRow("Alt+Q is no mnemonic") << int(Qt::Key_Q) << 0 << "txtX1=123";
    }
    void mnemonicsOnBothLayouts()
    {
        QFETCH(int, key);
        QFETCH(int, inMenu);
        QFETCH(QString, seen);
        Window h;
        h.set("txtFile2=P, 1, 2, 3");
        h.set("txtX1=123");
        h.child("txtX1")->setFocus(Qt::OtherFocusReason);
        // With the text the layout gives (QTest::keyClick knows ASCII keys only).
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, h.child("txtX1"), Qt::Key(key), QString(QChar(key).toLower()), Qt::AltModifier);
        if (inMenu != 0) {
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            QKeyEvent press(QEvent::KeyPress, inMenu, Qt::NoModifier, QString(QChar(inMenu).toLower()));
            QApplication::sendEvent(QApplication::activePopupWidget(), &press);
        }
        if (seen.startsWith("menu ")) {
            QTRY_VERIFY(QApplication::activePopupWidget() == h.w.findChild<QMenu*>(seen.mid(5)));
            QApplication::activePopupWidget()->close();
        } else if (seen == "about") {
            QTRY_VERIFY(h.w.findChild<AboutWindow*>() && h.w.findChild<AboutWindow*>()->isVisible());
        } else if (seen.contains('=')) {
            QTRY_COMPARE(h.text(seen.section('=', 0, 0)), seen);
        } else {
            QTRY_VERIFY(!h.dialogs.messages.empty());
            QCOMPARE(QString::fromStdString(h.dialogs.messages.back().text), seen);
        }
        const QString typed = seen.startsWith("txtPhiOld") ? "txtX2=123" : "txtX1=123";  // the swap takes the point along
        QCOMPARE(h.text(typed.section('=', 0, 0)), typed);
    }

    // The Grid point in panel 2 is unsaved work too: the quit question says so and Enter (No) keeps it, the
    // clear asks first, a Hatt batch after it asks before mixing systems; a refused centre gives its range.
    void unsavedGridPoint()
    {
        Window h;
        for (const char* typed : {"txtPhiOld=40.15", "txtLamdaOld=0.15", "txtX1=10", "txtY1=10", "txtFile1=P, 1, 2, 3"}) h.set(typed);
        h.w.findChild<QAction*>("mnuPointToGrid")->trigger();
        QCOMPARE(h.text("txtFile2"), "txtFile2=Καρυαί, 497156.350, 4455309.902, 0.000\n");
        h.dialogs.yesNoAnswers = {false, false, false};
        QVERIFY(!h.w.close());
        h.click("cmdEr2");
        h.click("cmdAll");
        QCOMPARE(h.dialogs.questions.size(), std::size_t(3));
        QCOMPARE(h.dialogs.questions[0].text, std::string(windowTexts().quit) + "\n" + windowTexts().quitUnsaved);
        QCOMPARE(h.dialogs.questions[1].text, std::string(windowTexts().clearUnsaved));
        QVERIFY(h.dialogs.questions[2].text.starts_with("Ο πίνακας έχει ήδη σημεία σε ΕΓΣΑ87.\nΤα νέα σημεία είναι σε HATT με κέντρο φ «40.45», Δλ «-0.45»"));
        QCOMPARE(h.dialogs.yesNoDefaults, std::vector<DefaultAnswer>(3, DefaultAnswer::No));
        QCOMPARE(h.text("txtFile2"), "txtFile2=Καρυαί, 497156.350, 4455309.902, 0.000\n");
        h.set("txtPhiNew=43");
        h.click("cmdOne");
        QCOMPARE(h.dialogs.messages.back().text, std::string("Λάθος στο Φ.\nΤο φ του κέντρου γίνεται δεκτό από 34° έως 42°."));
    }

    // Typed into a centre after ">", the result under the other sheet goes (the geodetic line, the point of
    // X1 on the old centre, stays); swapped (Ctrl+R), each point goes with its centre.
    void centreTypedAfterConversion()
    {
        Window h;
        h.set("txtX1=1000");
        h.set("txtY1=2000");
        h.click("cmdOne");
        QCOMPARE(h.text("txtX2"), "txtX2=-7429.270");
        QTest::keyClick(&h.w, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(h.text("txtX1") + ' ' + h.text("txtX2"), "txtX1=-7429.270 txtX2=1000");
        h.child("txtLamdaNew")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(h.child("txtLamdaNew"), "-0.5");
        QCOMPARE(h.text("txtX1") + ' ' + h.text("txtY1") + ' ' + h.text("txtX2"), "txtX1= txtY1= txtX2=1000");
        QCOMPARE(h.text("txtf"), "txtf=40° 52' 4.83982''");
    }

    // The About window's "MIT" above the name "Olvani" and "2026" below it, rows of background between them
    // (they touched on Linux, and under Windows' Arial the year covered the name's lower half), whatever
    // font stands in for Arial; the year stays inside the window's outline.
    void aboutLogoClear_data()
    {
        QTest::addColumn<QString>("arial");  // the font drawn for Arial; "" the system's choice
        QTest::newRow("the system's Arial") << "";
        QTest::newRow("a taller sans for Arial") << "DejaVu Sans";
        QTest::newRow("a serif for Arial") << "DejaVu Serif";
    }
    void aboutLogoClear()
    {
        QFETCH(QString, arial);
        if (!arial.isEmpty()) QFont::insertSubstitution("Arial", arial);
        AboutWindow about(nullptr);
        const QImage seen = about.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (!arial.isEmpty()) QFont::removeSubstitutions("Arial");
        // The rows (in device pixels) inked by the name's blue and by the green of the licence and year.
        QList<int> blue, green;
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x) {
                const QColor c = seen.pixelColor(x, y);
                if (c.blue() > 200 && c.red() < 100 && c.green() < 100) { if (!blue.contains(y)) blue << y; }
                else if (c.green() > 100 && c.red() < 80 && c.blue() < 80 && x > 3 && x < seen.width() - 4 && !green.contains(y)) green << y;
            }
        QVERIFY(!blue.isEmpty() && !green.isEmpty());
        const int above = std::count_if(green.begin(), green.end(), [&](int y) { return y < blue.front(); });
        const int below = std::count_if(green.begin(), green.end(), [&](int y) { return y > blue.back(); });
        QVERIFY2(above > 4 && below > 4 && above + below == green.size(), qPrintable(QString("%1 %2 %3").arg(above).arg(below).arg(green.size())));
        QVERIFY2(green[above - 1] + 1 < blue.front() && green[above] > blue.back() + 1,
                 qPrintable(QString("MIT ends %1, Olvani %2-%3, 2026 starts %4").arg(green[above - 1]).arg(blue.front()).arg(blue.back()).arg(green[above])));
        QVERIFY(green.back() < seen.height() - 4 * seen.devicePixelRatio());
    }

    // The About window opened, then a click in it or a close request (close box, Alt+F4...), which asks.
    void aboutAndQuit_data()
    {
        QTest::addColumn<QString>("where");  // a child, "" for the background, or the answer to the quit question
        QTest::addColumn<bool>("closes");    // the About window
        QTest::newRow("About's Χ button") << "Command1" << true;
        QTest::newRow("Escape") << "Escape" << true;
        QTest::newRow("About's background between the lines") << "" << true;
        QTest::newRow("About's black border, top left") << "@1,0" << true;
        QTest::newRow("About's green outline, at the bottom") << "@150,197" << true;
        QTest::newRow("About's right edge, the last pixel") << "@303,78" << true;
        QTest::newRow("About's name label") << "Label3" << false;
        QTest::newRow("a release on the background, pressed elsewhere") << "release" << false;
        QTest::newRow("quit answered No keeps everything") << "No" << false;
        QTest::newRow("quit answered Yes closes About too") << "Yes" << true;
    }
    void aboutAndQuit()
    {
        QFETCH(QString, where);
        Window h;
        h.set("txtX1=123");
        QAction* about = h.w.findChild<QAction*>(QStringLiteral("mnuabout"));
        about->trigger();
        QPointer<AboutWindow> window = h.w.findChild<AboutWindow*>();
        // The main window moved while it is open, and chosen again: still one, centred anew, modeless.
        h.w.move(140, 90);
        about->trigger();
        QTRY_VERIFY((window->frameGeometry().center() - h.w.frameGeometry().center()).manhattanLength() <= 1);
        QVERIFY(h.w.findChildren<AboutWindow*>().size() == 1 && !window->isModal() && QTest::qWaitForWindowActive(window.data()));
        // Its look: a black one-pixel border, Shape1's light green outline within it, the light blue ground.
        const QImage look = window->grab().toImage();
        QVERIFY(look.pixelColor(150, 0) == QColor(Qt::black) && look.pixelColor(150, 3) == QColor(192, 255, 192));  // 3: the outline's inner edge
        for (int k = 0; k < 6; ++k)  // the top as the left; the bottom as the right, both cut by the pixel Shape1 runs past
            QVERIFY(look.pixelColor(150, k) == look.pixelColor(k, 100) && look.pixelColor(150, 199 - k) == look.pixelColor(303 - k, 100));
        QCOMPARE(look.pixelColor(10, 100), QColor(192, 192, 255));
        for (const char* title : {"Label7", "Label8"})  // the three title lines in one font
            QCOMPARE(window->findChild<QWidget*>(title)->font(), window->findChild<QWidget*>("Label1")->font());
        QVERIFY(QRegularExpression("^έκδοση \\d+\\.\\d+\\.\\d+$").match(window->findChild<QLabel*>("lblVersion")->text()).hasMatch());
        if (where == "Escape") {
            QTest::keyClick(window.data(), Qt::Key_Escape);
        } else if (where == "Yes" || where == "No") {
            h.dialogs.yesNoAnswers = {where == "Yes"};
            QCOMPARE(h.w.close(), where == "Yes");
            const ShownMessage asked{windowTexts().quit, windowTexts().titleQuit, MessageIcon::Question};
            QCOMPARE(h.dialogs.questions, std::vector<ShownMessage>{asked});
            QCOMPARE(h.dialogs.yesNoDefaults, std::vector<DefaultAnswer>{DefaultAnswer::Yes});
        } else {  // the background between Label8 (ends at 1095 twips) and Label2 (starts at 1260)
            const bool edge = where.startsWith('@');  // "@x,y": a pixel of the window's own
            QWidget* target = where.isEmpty() || where == "release" || edge ? window.data() : window->findChild<QWidget*>(where);
            const QPoint at = edge ? QPoint(where.mid(1).section(',', 0, 0).toInt(), where.section(',', 1).toInt())
                              : target == window ? QPoint(20, 78) : QPoint(5, 5);
            QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton, {}, {});
            if (where == "release") QApplication::sendEvent(target, &release); else QTest::mouseClick(target, Qt::LeftButton, {}, at);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(window.isNull(), "closes");
        QCOMPARE(h.w.isVisible(), where != "Yes");
        QCOMPARE(h.text("txtX1"), "txtX1=123");
    }

    // Qt's own boxes and file dialogs, answered by a key or a click from inside their modal loops; their
    // texts from the program's Greek catalogue, a file's size the Greek way.
    void qtDialogs_data()
    {
        QTest::addColumn<QString>("ask");     // message, Yes, No: the box and its default answer; save: a file
        QTest::addColumn<QString>("answer");  // a key, or the Greek text of the button clicked
        QTest::addColumn<bool>("yes");        // a question's answer; a file chosen
        QTest::newRow("Enter takes the default Yes") << "Yes" << "Enter" << true;
        QTest::newRow("Enter takes the default No") << "No" << "Enter" << false;
        QTest::newRow("Escape answers No") << "Yes" << "Escape" << false;
        QTest::newRow("Ναι clicked") << "No" << "Ναι" << true;
        QTest::newRow("Όχι clicked") << "Yes" << "Όχι" << false;
        QTest::newRow("Εντάξει closes a message") << "message" << "Εντάξει" << false;
        QTest::newRow("a saved name is offered again") << "save" << "Enter" << true;
        QTest::newRow("a cancelled save chooses nothing") << "save" << "Escape" << false;
    }
    void qtDialogs()
    {
        QFETCH(QString, ask);
        QFETCH(QString, answer);
        QTemporaryDir temp;
        QVERIFY(writeFile(temp.filePath("size.txt"), QByteArray(1500, 'x')));
        QtDialogs dialogs(nullptr);
        QStringList texts;
        QString chosen;
        FileDialogSeen seen;  // checked once the dialog is closed: a check that failed inside would leave it open
        int titleRoom = -1;  // a message's width beyond its title: a window manager cuts a title with too little
        whenModal([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                QFont bold = box->font();
                bold.setBold(true);
                titleRoom = box->width() - QFontMetrics(bold).horizontalAdvance(box->windowTitle());
                for (auto* b : box->buttons()) texts << b->text();
            }
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                seen = lookInto(*files, temp.path());
                texts << seen.texts;
                if (answer == "Enter") files->findChild<QLineEdit*>("fileNameEdit")->setText(temp.filePath("pts.txt"));
            }
            if (answer == "Enter" || answer == "Escape") {
                QTest::keyClick(modal, answer == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
                return;
            }
            for (auto* b : modal->findChildren<QAbstractButton*>())
                if (b->text() == answer) b->click();
        });
        bool yes = false;
        if (ask == "message") {
            dialogs.showMessage(windowTexts().batchFailed, windowTexts().titleWarning, MessageIcon::Critical);
            QVERIFY(titleRoom >= 100);
        } else if (ask == "save") {
            const auto file = dialogs.chooseSaveFile(windowTexts().saveTitle, {{windowTexts().filterTxt, "*.txt"}}, "");
            yes = file.has_value();
            QCOMPARE(seen.size, QStringLiteral("1,46 KiB"));
            QVERIFY(seen.columnsFit);
            whenModal([&](QWidget* modal) {
                chosen = qobject_cast<QFileDialog*>(modal)->selectedFiles().value(0);
                QTest::keyClick(modal, Qt::Key_Escape);
            });
            QVERIFY(!dialogs.chooseOpenFile(windowTexts().openTitle, {{windowTexts().filterTxt, "*.txt"}}));
            if (yes) QCOMPARE(chosen, QString::fromStdString(*file));
        } else {
            yes = dialogs.askYesNo(windowTexts().quit, windowTexts().titleQuit, ask == "Yes" ? DefaultAnswer::Yes : DefaultAnswer::No);
        }
        QTEST(yes, "yes");
        expectGreek(texts);
    }

    // What the window draws, pixel for pixel, against the pictures in tests/ui/reference/ (`make
    // reference-pictures` draws them anew, for a person to look at the difference): the main window as it
    // opens and after ">" and a batch (with a number a pixel too wide for a field, which must show "…"), the
    // About window, and the open and save dialogs in a folder of lists (their folder name and places list
    // masked: they differ from run to run), at 9 pt and at large narrow fonts, which size the layout by
    // their height. Fonts from Debian's fonts-dejavu-core and fonts-liberation; the mouse away, the cursor
    // not blinking, file times and TZ (CMakeLists.txt) fixed.
    void looksAsItDid_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("what");
        const struct { const char* name; const char* family; double points; } fonts[] = {
            {"9pt", "DejaVu Sans", 9.0}, {"14pt-narrow", "Liberation Sans Narrow", 14.0}};
        for (const auto& f : fonts)
            for (const char* what : {"main", "converted", "about", "open", "save"})
                QTest::addRow("%s-%s", what, f.name) << QString(f.family) << f.points << QString(what);
        // Where the fields' and the buttons' heights size the layout alike (1.045 and 1.051): a fit a
        // little off moves the whole layout by a pixel or a few.
        QTest::newRow("main-10.5pt-narrow") << "Liberation Sans Narrow" << 10.5 << "main";
    }
    void looksAsItDid()
    {
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(QString, what);
        QVERIFY2(QFontInfo(QFont(family)).family() == family, qPrintable(family + " is not installed"));
        QFont font(family);
        font.setPointSizeF(points);
        QApplication::setFont(font);
        QApplication::setCursorFlashTime(0);
        QCursor::setPos(QGuiApplication::screens().constLast()->geometry().center());
        Window h;
        QImage seen;
        if (what == "main") {
            seen = h.w.grab().toImage();
        } else if (what == "converted") {
            h.set("txtX1=1000");
            h.set("txtY1=2000");
            h.w.findChild<QPushButton*>("cmdOne")->click();
            h.set("txtFile1=P1, 1000, 2000, 5\nΣΤ12, 0, 0, 123.456");
            h.w.findChild<QPushButton*>("cmdAll")->click();
            // The first field, in the order of the focus ring, for which a number can be so tight.
            QString tight;
            for (const char* name : {"txtX1", "txtY1", "txtPhiOld", "txtf", "txtm", "txtl"}) {
                auto* field = qobject_cast<QLineEdit*>(h.child(name));
                if (!(tight = textOverflowing(*field)).isEmpty()) {
                    field->setText(tight);
                    break;
                }
            }
            QVERIFY2(!tight.isEmpty(), "no number a pixel too wide for a field");
            seen = h.w.grab().toImage();
        } else if (what == "about") {
            h.w.findChild<QAction*>("mnuabout")->trigger();
            auto* about = h.w.findChild<AboutWindow*>();
            QVERIFY(QTest::qWaitForWindowExposed(about));
            seen = about->grab().toImage();
        } else {
            seen = fileDialogSeen(h, what == "save");
        }
        QVERIFY(!seen.isNull());
        seen = seen.convertToFormat(QImage::Format_ARGB32);
        const QString reference = QStringLiteral(HATTSHEET_REFERENCE_DIR "/%1.png").arg(QTest::currentDataTag());
        if (qEnvironmentVariableIsSet("HATTSHEET_WRITE_REFERENCE")) {
            QVERIFY(seen.save(reference));
            return;
        }
        const QImage kept = QImage(reference).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!kept.isNull(), qPrintable(reference + " is missing: make reference-pictures"));
        int differ = 0;
        QRect where;
        if (kept.size() == seen.size())
            for (int y = 0; y < seen.height(); ++y)
                for (int x = 0; x < seen.width(); ++x)
                    if (seen.pixel(x, y) != kept.pixel(x, y)) ++differ, where |= QRect(x, y, 1, 1);
        if (kept.size() == seen.size() && differ == 0) return;
        const QString actual = QDir::current().filePath(QStringLiteral("%1-seen.png").arg(QTest::currentDataTag()));
        seen.save(actual);
        QFAIL(qPrintable(QString("%1: %2 pixels differ within (%3,%4 %5x%6), size %7x%8 against %9x%10; seen: %11")
                             .arg(reference).arg(differ).arg(where.x()).arg(where.y()).arg(where.width()).arg(where.height())
                             .arg(seen.width()).arg(seen.height()).arg(kept.width()).arg(kept.height()).arg(actual)));
    }

private:
    QTemporaryDir m_config;
    const QFont m_font = QApplication::font();
    const QPalette m_palette = QApplication::palette();
private slots:

    // The menus after "Πρόγραμμα" (still first, still the About window): the sheet chooser, typed into
    // or clicked on its map, fills the frame it was opened for; the ΕΓΣΑ87 entries convert panel 1 into
    // panel 2 with the batch's messages; ">" names the point's sheet in its tooltip. Digits and sheets:
    // tests/operations/tst_sheets.cpp (centre 40.15, 0.15; (10, 10) is 497156.350, 4455309.902 on Καρυαί).
    void sheetsAndGrid()
    {
        Window win;
        const QList<QAction*> bar = win.w.menuBar()->actions();
        QVERIFY(bar.size() >= 3);
        QCOMPARE(bar[0]->objectName(), QString("mnuabout"));
        QCOMPARE(bar[0]->menu(), nullptr);
        QStringList menus;
        for (QAction* a : bar) if (a->menu()) menus << a->menu()->objectName();
        QVERIFY2(menus.indexOf("mnuSheets") >= 0 && menus.indexOf("mnuGrid") > menus.indexOf("mnuSheets"),
                 qPrintable(menus.join(',')));

        // Typed: "ιερισ" leaves Ιερισσός alone; Enter accepts it into "Από Κ.Φ.".
        int listed = -1;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (!chooser) return;
            // Greek letters as key events with their text (keyClicks takes ASCII only).
            for (const QChar ch : QString("ιερισ")) {
                QTest::sendKeyEvent(QTest::Click, chooser->findChild<QLineEdit*>("txtSheetFilter"), Qt::Key_unknown,
                                    QString(ch), Qt::NoModifier);
            }
            listed = chooser->findChild<QListWidget*>("lstSheets")->count();
            QTest::keyClick(chooser->findChild<QListWidget*>("lstSheets"), Qt::Key_Return);
        });
        win.w.findChild<QAction*>("mnuSheetFrom")->trigger();
        QCOMPARE(listed, 1);
        QCOMPARE(win.text("txtPhiOld") + ' ' + win.text("txtLamdaOld"), QString("txtPhiOld=40.15 txtLamdaOld=0.15"));

        // It opens on a sheet of the frame's centre (40.45, -0.45: Θεσσαλονίκη's); on the map, a click in
        // the middle of Λάρισα (id 186) chooses it for "Σε Κ.Φ.".
        QString initial, chosen;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (!chooser) return;
            initial = chooser->findChild<QListWidget*>("lstSheets")->currentItem()->text();
            auto* map = chooser->findChild<SheetMap*>();
            const auto& larisa = *hattsheet::geodesy::sheetById(186);
            const QPointF at = map->toWidget((larisa.outline[0].phiDeg + larisa.outline[1].phiDeg) / 2,
                                             (larisa.outline[0].lambdaDeg + larisa.outline[2].lambdaDeg) / 2);
            QTest::mouseClick(map, Qt::LeftButton, {}, at.toPoint());
            chosen = chooser->findChild<QListWidget*>("lstSheets")->currentItem()->text();
            QMetaObject::invokeMethod(chooser, "accept");
        });
        win.w.findChild<QAction*>("mnuSheetTo")->trigger();
        QVERIFY2(initial.endsWith(" · 40.45, -0.45"), qPrintable(initial));
        QVERIFY2(chosen.startsWith("Λάρισα · 184 · 39.45, -1.15"), qPrintable(chosen));
        QCOMPARE(win.text("txtPhiNew") + ' ' + win.text("txtLamdaNew"), QString("txtPhiNew=39.45 txtLamdaNew=-1.15"));

        // Panel 1 to ΕΓΣΑ87 from "Από Κ.Φ.", and back to "Σε Κ.Φ." on the same centre.
        win.set("txtFile1=P1, 10, 10, 5");
        win.w.findChild<QAction*>("mnuListToGrid")->trigger();
        QCOMPARE(win.text("txtFile2"), QString("txtFile2=P1, 497156.350, 4455309.902, 5.000\n"));
        QCOMPARE(win.dialogs.messages.back().text, withPointCount(windowTexts().batchDone, 1));
        win.set("txtPhiNew=40.15");
        win.set("txtLamdaNew=0.15");
        win.set("txtFile1=" + win.text("txtFile2").section('=', 1));
        win.set("txtFile2=");
        win.w.findChild<QAction*>("mnuListFromGrid")->trigger();
        QCOMPARE(win.text("txtFile2"), QString("txtFile2=P1, 10.000, 10.000, 5.000\n"));

        // ">" from (10, 10) to the same centre: the point lies on Καρυαί.
        win.set("txtX1=10");
        win.set("txtY1=10");
        win.click("cmdOne");
        QVERIFY2(win.child("cmdOne")->toolTip().contains("Καρυαί"), qPrintable(win.child("cmdOne")->toolTip()));
    }

    // The sheet chooser as it opens, at the desktop's font and at a large one on a smaller screen: on the
    // screen, and its map shows all of Greece, drawn in its proportions (degrees of longitude times the
    // cosine of the middle latitude against degrees of latitude) as large as the map's width allows: the
    // dialog is tall enough for it, and a lower map would shrink Greece. A click just inside the drawing's northern, southern, western and
    // eastern edge chooses a sheet that reaches that far.
    void sheetMapShowsGreece_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("screen");
        QTest::newRow("desktop font, 1024×768") << 0.0 << 0;
        QTest::newRow("14 pt, 1366×768") << 14.0 << 1;
    }
    void sheetMapShowsGreece()
    {
        QFETCH(double, points);
        QFETCH(int, screen);
        useFont(points);
        Window win(screen);
        // Greece's extent, and the sheets at each edge of it, from the catalogue.
        double north = -90, south = 90, west = 180, east = -180;
        for (const auto& sheet : hattsheet::geodesy::sheetCatalogue())
            for (const auto& c : sheet.outline)
                north = std::max(north, c.phiDeg), south = std::min(south, c.phiDeg),
                west = std::min(west, c.lambdaDeg), east = std::max(east, c.lambdaDeg);
        const double aspect = (east - west) * std::cos((north + south) / 2 * M_PI / 180) / (north - south);
        const auto reaches = [](const hattsheet::geodesy::Sheet* sheet, auto reaches) {
            return sheet != nullptr && std::any_of(sheet->outline.begin(), sheet->outline.end(), reaches);
        };
        QRect drawn, mapRect;
        bool onScreen = false;
        std::vector<const hattsheet::geodesy::Sheet*> picked;  // north, south, west, east
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!chooser) return;
            onScreen = chooser->screen()->availableGeometry().contains(chooser->frameGeometry());
            auto* map = chooser->findChild<SheetMap*>();
            mapRect = map->rect();
            const QImage image = map->grab().toImage();
            const QRgb base = map->palette().color(QPalette::Base).rgb();
            const auto ink = [&](int x, int y) { return image.pixel(x, y) != base; };
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (ink(x, y)) drawn |= QRect(x, y, 1, 1);
            // The middle of the first run of drawn pixels along the drawing's edge, 3 pixels inwards.
            const auto clickInside = [&](QPoint edge, QPoint along, QPoint inwards) {
                QPoint p = edge;
                while (drawn.contains(p) && !ink(p.x(), p.y())) p += along;
                int run = 0;
                while (drawn.contains(p + run * along) && ink(p.x() + run * along.x(), p.y() + run * along.y())) ++run;
                QTest::mouseClick(map, Qt::LeftButton, {}, p + run / 2 * along + 3 * inwards);
                picked.push_back(map->chosen());
            };
            clickInside(drawn.topLeft(), {1, 0}, {0, 1});
            clickInside(drawn.bottomLeft(), {1, 0}, {0, -1});
            clickInside(drawn.topLeft(), {0, 1}, {1, 0});
            clickInside(drawn.topRight(), {0, 1}, {-1, 0});
            chooser->reject();
        });
        win.w.findChild<QAction*>("mnuSheetFrom")->trigger();
        QVERIFY(onScreen);
        QVERIFY2(mapRect.adjusted(1, 1, -1, -1).contains(drawn), "the map is cut at its edge");
        const double seen = double(drawn.width()) / drawn.height();
        QVERIFY2(std::abs(seen / aspect - 1) < 0.02, qPrintable(QString("drawn %1 wide to 1 high, Greece %2").arg(seen).arg(aspect)));
        // Drawn to the map's width: no more room left at its sides than above and below it.
        QVERIFY2(mapRect.width() - drawn.width() <= mapRect.height() - drawn.height(),
                 qPrintable(QString("Greece drawn %1×%2 on a map of %3×%4 pixels")
                                .arg(drawn.width()).arg(drawn.height()).arg(mapRect.width()).arg(mapRect.height())));
        QCOMPARE(picked.size(), 4u);
        QVERIFY(reaches(picked[0], [&](const auto& c) { return c.phiDeg == north; }));
        QVERIFY(reaches(picked[1], [&](const auto& c) { return c.phiDeg == south; }));
        QVERIFY(reaches(picked[2], [&](const auto& c) { return c.lambdaDeg == west; }));
        QVERIFY(reaches(picked[3], [&](const auto& c) { return c.lambdaDeg == east; }));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
