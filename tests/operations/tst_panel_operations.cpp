// Open, save and clear on a window without a window, with real files in a
// temporary folder; the expected panel lines come from the format's worked
// examples.

#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>


using namespace hattsheet;
using operations::FieldId;
using operations::MessageIcon;
using operations::Panel;
using testing::FakeDialogs;
using testing::FakeFields;
using testing::readFile;
using testing::writeFile;
namespace msg = operations::msg;

class tst_PanelOperations : public QObject {
    Q_OBJECT
private slots:
    void init();
    void open_data();
    void open();
    void openFailures_data();
    void openFailures();
    void save_data();
    void save();
    void saveWithoutByProduct();
    void saveCancelled();
    void clear();

private:
    testing::TempWorkspace m_work;
    operations::TempPlaces places() const { return m_work.places(); }
};

void tst_PanelOperations::init()
{
    QVERIFY(m_work.reset());
}

void tst_PanelOperations::open_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("panel");  // UTF-8, CR LF
    QTest::newRow("well-formed") << QByteArray("1,100,200,5\r\n2,300,400,6\r\n")
                                 << "1, 100.000, 200.000, 5.000\r\n2, 300.000, 400.000, 6.000\r\n";
    QTest::newRow("spaces around values") << QByteArray("12,  354000.1, 4512000.25,7")
                                          << "12, 354000.100, 4512000.250, 7.000\r\n";
    QTest::newRow("more than three decimals") << QByteArray("A,100.12345,1,2\r\n") << "A, 100.123, 1.000, 2.000\r\n";
    QTest::newRow("empty H shown as 0") << QByteArray("12,1000,2000,\r\n") << "12, 1000.000, 2000.000, 0.000\r\n";
    QTest::newRow("record over two lines") << QByteArray("P, 100\r\n200, 5\r\n") << "P, 100.000, 200.000, 5.000\r\n";
    QTest::newRow("quoted code loses its quotes") << QByteArray("\"A,1\",100,200,5\r\n")
                                                  << "A,1, 100.000, 200.000, 5.000\r\n";
    QTest::newRow("numeric code keeps its text") << QByteArray("007,1,2,3\n") << "007, 1.000, 2.000, 3.000\r\n";
    QTest::newRow("Greek code in Windows-1253") << QByteArray("\xD3\xD4\xC1\xD3\xC7,1,2,3\r\n")
                                                << "ΣΤΑΣΗ, 1.000, 2.000, 3.000\r\n";
    QTest::newRow("Greek code in UTF-8") << QByteArray("ΣΤΑΣΗ,1,2,3\r\n") << "ΣΤΑΣΗ, 1.000, 2.000, 3.000\r\n";
    QTest::newRow("zero-byte file adds nothing") << QByteArray("") << "";
}

void tst_PanelOperations::open()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, panel);
    const QString path = m_work.path() + "/pts.txt";
    QVERIFY(writeFile(path, file));
    FakeFields fields;
    fields.setText(FieldId::File2, "kept\r\n");
    FakeDialogs dialogs;
    dialogs.fileAnswers = {path.toStdString()};
    operations::openIntoPanel(fields, dialogs, Panel::Two);
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(QString::fromStdString(fields.text(FieldId::File2)), "kept\r\n" + panel);
}

// Each failure leaves the panel as it was, with a message; a cancel is silent.
void tst_PanelOperations::openFailures_data()
{
    QTest::addColumn<QString>("name");  // in the temporary folder; "" is a cancel
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("sparse");  // the file's size when it is a hole of that size, 0 for `file`
    QTest::addColumn<QString>("message");
    const auto bytes = [](const char* b) { return QByteArray(b); };
    QTest::newRow("blank line at the end") << "a.txt" << bytes("1,100,200,5\r\n\r\n") << 0ll << msg::kInvalidFile;
    QTest::newRow("text X") << "a.txt" << bytes("A1, abc, 200, 5\r\n") << 0ll << msg::kInvalidFile;
    QTest::newRow("last line three fields") << "a.txt" << bytes("1,100,200,5\r\n2,3,4") << 0ll << msg::kInvalidFile;
    QTest::newRow("file vanished after the dialog") << "gone.txt" << QByteArray() << 0ll << "ανάγνωση";
    QTest::newRow("a folder") << "prog" << QByteArray() << 0ll << "ανάγνωση";
    QTest::newRow("cancel") << "" << QByteArray() << 0ll << "";
    // Read, its zeros would make an invalid file; refused unread, it points to the command line.
    QTest::newRow("a byte over the size limit, refused unread")
        << "big.txt" << QByteArray() << qint64(operations::kOpenLimitBytes + 1) << "hattsheet-convert";
}

void tst_PanelOperations::openFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(qint64, sparse);
    QFETCH(QString, message);
    const QString path = m_work.path() + "/" + name;
    if (!file.isEmpty()) writeFile(path, file);
    if (sparse > 0) QVERIFY(writeFile(path, "") && QFile::resize(path, sparse));
    FakeFields fields;
    fields.setText(FieldId::File1, "before");
    FakeDialogs dialogs;
    if (!name.isEmpty()) dialogs.fileAnswers = {path.toStdString()};
    operations::openIntoPanel(fields, dialogs, Panel::One);
    QCOMPARE(fields.text(FieldId::File1), std::string("before"));
    if (message.isEmpty()) {
        QVERIFY(dialogs.messages.empty());
        return;
    }
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QVERIFY(QString::fromStdString(dialogs.messages[0].text).contains(message));
    QVERIFY(dialogs.messages[0].icon == MessageIcon::Critical);
    const bool invalid = message == msg::kInvalidFile;
    QCOMPARE(dialogs.messages[0].title, std::string(invalid ? msg::kTitleWarningPlain : msg::kTitleWarning));
    if (!invalid) QVERIFY(QString::fromStdString(dialogs.messages[0].text).contains(path));
}

void tst_PanelOperations::save_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("blank and space lines left out") << "a\r\n\r\n   \r\nb\r\n\r\n" << "pts.txt" << "pts.txt"
                                                    << QByteArray("a\r\nb\r\n");
    QTest::newRow("whole text trimmed once") << "  a  \r\n  b  " << "pts.txt" << "pts.txt"
                                             << QByteArray("a  \r\n  b\r\n");
    QTest::newRow("extension forced") << "x" << "pts.seq" << "pts.txt" << QByteArray("x\r\n");
    QTest::newRow("empty panel gives a zero-byte file") << "" << "empty" << "empty.txt" << QByteArray();
    QTest::newRow("Greek written in Windows-1253") << "ΣΤΑΣΗ, 1.000" << "g.txt" << "g.txt"
                                                   << QByteArray("\xD3\xD4\xC1\xD3\xC7, 1.000\r\n");
    QTest::newRow("a character beyond Windows-1253 keeps UTF-8") << "Ж1, ΣΤ" << "u.txt" << "u.txt"
                                                                << QByteArray("Ж1, ΣΤ\r\n");
}

void tst_PanelOperations::save()
{
    QFETCH(QString, panel);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, bytes);
    FakeFields fields;
    fields.setText(FieldId::File2, panel.toStdString());
    FakeDialogs dialogs;
    dialogs.fileAnswers = {(m_work.path() + "/" + chosen).toStdString()};
    operations::savePanel(fields, dialogs, places(), Panel::Two);
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
    QCOMPARE(dialogs.messages[0].title, std::string(msg::kTitleInfoPlain));
    QCOMPARE(readFile(m_work.path() + "/" + written), bytes);
    QCOMPARE(readFile(m_work.path() + "/prog/TempFile.Dat"), bytes);
    if (chosen != written) QVERIFY(!QFile::exists(m_work.path() + "/" + chosen));
}

// The save does not depend on its by-product: with no place for
// TempFile.Dat the chosen file is still written, the failure is named, and
// the confirmation that follows is true.
void tst_PanelOperations::saveWithoutByProduct()
{
    const QString old = m_work.path() + "/old.txt";
    QVERIFY(writeFile(old, "old content\r\n"));
    // Both places lie under a regular file, where no folder can be made.
    const operations::TempPlaces temp{(old + "/prog").toStdString(), (old + "/cache").toStdString()};
    FakeFields fields;
    fields.setText(FieldId::File1, "new\r\n");
    FakeDialogs dialogs;
    dialogs.fileAnswers = {old.toStdString()};
    operations::savePanel(fields, dialogs, temp, Panel::One);
    QCOMPARE(dialogs.messages,
             std::vector<testing::ShownMessage>(
                 {{msg::cannotWrite(old.toStdString() + "/prog/TempFile.Dat"), msg::kTitleWarning, MessageIcon::Critical},
                  {msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information}}));
    QCOMPARE(readFile(old), QByteArray("new\r\n"));
}

void tst_PanelOperations::saveCancelled()
{
    FakeFields fields;
    fields.setText(FieldId::File1, "x");
    FakeDialogs dialogs;  // no answer: a cancel
    operations::savePanel(fields, dialogs, places(), Panel::One);
    dialogs.fileAnswers = {std::string()};
    operations::savePanel(fields, dialogs, places(), Panel::One);
    QVERIFY(dialogs.messages.empty());
    QVERIFY(!QFile::exists(m_work.path() + "/prog/TempFile.Dat"));
}

void tst_PanelOperations::clear()
{
    FakeFields fields;
    fields.setText(FieldId::File1, "a\r\n");
    fields.setText(FieldId::File2, "b\r\n");
    operations::clearPanel(fields, Panel::Two);
    QCOMPARE(fields.text(FieldId::File2), std::string());
    QCOMPARE(fields.text(FieldId::File1), std::string("a\r\n"));
}

QTEST_APPLESS_MAIN(tst_PanelOperations)
#include "tst_panel_operations.moc"
