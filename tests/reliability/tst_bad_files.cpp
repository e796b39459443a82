// Damaged and hostile point-list files through every way in: the window's
// open, batch conversion and save (fake window), and hattsheet-convert's list
// mode as a process. Each row says what the user must see: a clear message
// or exit status, and nothing lost. The byte rows live in bad_inputs.h; the
// rows here that need a special file (a folder, a FIFO, a full filesystem)
// build it themselves.

#include "bad_inputs.h"
#include "fake_window.h"
#include "field_reader.h"
#include "hostile_files.h"
#include "messages.h"
#include "panel_operations.h"
#include "point_list.h"
#include "text_codec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <string>
#include <thread>

#include <sys/stat.h>

using namespace hattsheet::conversion;
using namespace hattsheet::testing;
namespace pf = hattsheet::pointfile;

class tst_BadFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowOpen_data() { byteRows(); }
    void windowOpen();
    void windowBatch_data() { byteRows(); }
    void windowBatch();
    void commandLine_data() { byteRows(); }
    void commandLine();
    void hostileWindow_data();
    void hostileWindow();
    void hostileCommandLine_data();
    void hostileCommandLine();
    void diskFillsAfter_data();
    void diskFillsAfter();

private:
    void byteRows();
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

constexpr int kExitFailed = 1;
// What panel 2 held before each run: it must survive every outcome.
const std::string kPrevious = "earlier, 1.000, 2.000, 3.000\r\n";
const QStringList kCentres{"--from", "40.51,-0.51", "--to", "40.45,-0.45"};

std::string asStd(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }

bool spellsNonFinite(const std::string& s)
{
    return s.find("inf") != std::string::npos || s.find("nan") != std::string::npos;
}

// The window's batch over a panel 1 holding `text`, panel 2 holding kPrevious.
struct BatchRun {
    std::string panel2;  // what the batch appended
    std::vector<ShownMessage> messages;
};

BatchRun batchOf(const std::string& text, const TempPlaces& temp)
{
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, text);
    fields.setText(FieldId::File2, kPrevious);
    convertPointList(fields, dialogs, temp);
    const std::string p2 = fields.text(FieldId::File2);
    return {p2.substr(0, kPrevious.size()) == kPrevious ? p2.substr(kPrevious.size()) : "<previous lost>" + p2,
            dialogs.messages};
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runConvert(const QStringList& args, const QByteArray& input = {}, const QString& stdoutFile = {},
               std::function<void()> inChild = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(HATTSHEET_CONVERT, kCentres + args);
    if (!p.waitForStarted(10000)) return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

bool holdsOnlySpaces(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

} // namespace

void tst_BadFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// Folders locked by a test must be opened again, or the scratch folder stays.
void tst_BadFiles::cleanup()
{
    for (const char* sub : {"", "/locked", "/tmp"}) {
        ::chmod(QFile::encodeName(m_dir->path() + sub).constData(), 0755);
    }
    m_dir.reset();
}

void tst_BadFiles::byteRows()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < badInputs().size(); ++i) QTest::newRow(badInputs()[i].name) << int(i);
}

// The open loads a valid file without a word and refuses any other with
// "Δεν είναι έγκυρο αρχείο συντεταγμένων", leaving the panel as it was. What
// it loads converts to what the file itself converts to, and saved and
// opened again it gives the same panel.
void tst_BadFiles::windowOpen()
{
    QFETCH(int, row);
    const BadInput& b = badInputs()[std::size_t(row)];
    const QString path = m_dir->filePath("list.txt");
    QVERIFY(writeBytes(path, b.bytes));

    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, kPrevious);
    dialogs.fileAnswers = {path.toStdString()};
    pf::openIntoPanel(fields, dialogs, Panel::One);
    const std::string panel = fields.text(FieldId::File1);
    QCOMPARE(panel.substr(0, kPrevious.size()), kPrevious);
    const std::string loaded = panel.substr(kPrevious.size());

    if (!b.valid) {
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0],
                 (ShownMessage{msg::kInvalidFile, msg::kTitleWarningPlain, MessageIcon::Critical}));
        QCOMPARE(loaded, std::string());
        return;
    }
    QCOMPARE(dialogs.messages.size(), std::size_t(0));
    QVERIFY(!spellsNonFinite(loaded));
    QVERIFY2(pf::testCoordinateFile(loaded), "the loaded lines form a valid coordinate file");

    const TempPlaces temp{m_dir->filePath("prog").toStdString(), {}};
    const std::string decoded = pf::decodeFileBytes(asStd(b.bytes)).utf8;
    if (!holdsOnlySpaces(decoded)) {
        QCOMPARE(batchOf(loaded, temp).panel2, batchOf(decoded, temp).panel2);
    }

    // Save what was loaded, open it again: the same lines.
    FakeFields again;
    FakeDialogs dialogs2;
    again.setText(FieldId::File1, loaded);
    dialogs2.fileAnswers = {m_dir->filePath("saved.txt").toStdString(), m_dir->filePath("saved.txt").toStdString()};
    pf::savePanel(again, dialogs2, temp, Panel::One);
    again.setText(FieldId::File1, "");
    pf::openIntoPanel(again, dialogs2, Panel::One);
    QCOMPARE(dialogs2.messages.size(), std::size_t(1));
    QCOMPARE(dialogs2.messages[0].text, std::string(msg::kSaved));
    QCOMPARE(again.text(FieldId::File1), loaded);
}

// The batch appends the lines of the records before the first failing one,
// then says "Λάθος στον πίνακα!" (or that it is done); panel 2 keeps what it
// held, and every line it appends reads back as a record of numbers.
void tst_BadFiles::windowBatch()
{
    QFETCH(int, row);
    const BadInput& b = badInputs()[std::size_t(row)];
    const pf::DecodedText input = pf::decodeFileBytes(asStd(b.bytes));
    const TempPlaces temp{m_dir->filePath("prog").toStdString(), {}};
    const BatchRun run = batchOf(input.utf8, temp);

    QCOMPARE(run.messages.size(), std::size_t(1));
    const ShownMessage expected = holdsOnlySpaces(input.utf8)
                                      ? ShownMessage{msg::kNoList, msg::kTitleWarning, MessageIcon::Critical}
                                  : b.stops ? ShownMessage{msg::kBatchFailed, msg::kTitleWarning, MessageIcon::Critical}
                                            : ShownMessage{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information};
    QCOMPARE(run.messages[0], expected);
    QVERIFY(!spellsNonFinite(run.panel2));
    QVERIFY2(pf::testCoordinateFile(run.panel2), "every appended line reads back as code, X, Y, H");
    if (b.expectedLineCount >= 0) {
        QCOMPARE(int(std::count(run.panel2.begin(), run.panel2.end(), '\n')), b.expectedLineCount);
    } else {
        QCOMPARE(run.panel2, pf::decodeAs(asStd(b.lines), input.encoding));
    }
}

// The command line, from a file and through a pipe: the same lines in the
// file's own encoding, byte for byte what the window's batch appends; exit 0,
// or 1 with "Λάθος στον πίνακα!" and the record's number on stderr.
void tst_BadFiles::commandLine()
{
    QFETCH(int, row);
    const BadInput& b = badInputs()[std::size_t(row)];
    const QString in = m_dir->filePath("list.txt");
    const QString out = m_dir->filePath("out.txt");
    QVERIFY(writeBytes(in, b.bytes));

    const Run fromFile = runConvert({in, "-o", out});
    const Run fromPipe = runConvert({"-"}, b.bytes);
    const QByteArray written = readBytes(out);
    QCOMPARE(fromPipe.out, written);

    const bool stops = b.stops && !holdsOnlySpaces(asStd(b.bytes));
    for (const Run* r : {&fromFile, &fromPipe}) {
        QCOMPARE(r->exitCode, stops ? kExitFailed : 0);
        if (stops) {
            QVERIFY2(r->err.contains(msg::kBatchFailed), r->err.constData());
            const QByteArray record = "εγγραφή " + QByteArray::number(lineCount(b) + 1);
            QVERIFY2(r->err.contains(record), r->err.constData());
        } else {
            QCOMPARE(r->err, QByteArray());
        }
    }
    if (b.expectedLineCount < 0) QCOMPARE(written, b.lines);
    QVERIFY(!written.contains("inf") && !written.contains("nan"));

    const pf::DecodedText input = pf::decodeFileBytes(asStd(b.bytes));
    if (!holdsOnlySpaces(input.utf8)) {
        const TempPlaces temp{m_dir->filePath("prog").toStdString(), {}};
        QCOMPARE(pf::decodeAs(asStd(written), input.encoding), batchOf(input.utf8, temp).panel2);
    }
}

// Files and folders that fight back, in the window. Every failure shows one
// critical message naming the file; nothing in the panels or on disk is lost,
// and no failure is confirmed as a success.
enum class Hostile {
    OpenFolder,
    OpenFifo,
    OpenDevZero,
    OpenUnreadable,
    OpenVanishing,
    SaveDevFull,
    SaveThroughLink,
    SaveFullFilesystem,
    SaveReadOnlyFolder,
    BatchTempOnFullFilesystem,
};
Q_DECLARE_METATYPE(Hostile)

void tst_BadFiles::hostileWindow_data()
{
    QTest::addColumn<Hostile>("kind");
    QTest::newRow("open a folder") << Hostile::OpenFolder;
    QTest::newRow("open a FIFO nobody writes to") << Hostile::OpenFifo;
    QTest::newRow("open /dev/zero") << Hostile::OpenDevZero;
    QTest::newRow("open a file without read permission") << Hostile::OpenUnreadable;
    QTest::newRow("open a file that vanishes after choosing") << Hostile::OpenVanishing;
    QTest::newRow("save onto /dev/full") << Hostile::SaveDevFull;
    QTest::newRow("save through a symbolic link updates the linked file") << Hostile::SaveThroughLink;
    QTest::newRow("save onto a full filesystem") << Hostile::SaveFullFilesystem;
    QTest::newRow("save into a folder without write permission") << Hostile::SaveReadOnlyFolder;
    QTest::newRow("batch with the temporary folder full") << Hostile::BatchTempOnFullFilesystem;
}

void tst_BadFiles::hostileWindow()
{
    QFETCH(Hostile, kind);
    const QString good = "1, 1000, 2000, 5\r\n";
    const std::string panelText = "P1, 1000.000, 2000.000, 5.000\r\nP2, 0.000, 0.000, 7.000\r\n";
    const QByteArray oldBytes = "the old file\r\n";
    TempPlaces temp{m_dir->filePath("prog").toStdString(), {}};

    FakeFields fields;
    fields.setText(FieldId::File1, panelText);
    fields.setText(FieldId::File2, kPrevious);
    const auto before = fields.all();
    VanishingDialogs vanishing;
    FakeDialogs plain;
    FakeDialogs& dialogs = kind == Hostile::OpenVanishing ? vanishing : plain;

    QString target;               // the file the message must name
    QString keep;                 // a file whose old bytes must survive
    bool reading = true;
    std::optional<FullFilesystem> full;
    std::optional<AsNobody> nobody;

    switch (kind) {
    case Hostile::OpenFolder:
        target = m_dir->filePath("folder.txt");
        QVERIFY(QDir().mkdir(target));
        break;
    case Hostile::OpenFifo:
        target = m_dir->filePath("fifo.txt");
        QVERIFY(makeFifo(target));
        break;
    case Hostile::OpenDevZero:
        target = "/dev/zero";
        break;
    case Hostile::OpenUnreadable:
        target = m_dir->filePath("secret.txt");
        QVERIFY(writeBytes(target, good.toLatin1()));
        QVERIFY(QFile::setPermissions(target, {}));
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        nobody.emplace();
        if (!nobody->modesBind()) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
        break;
    case Hostile::OpenVanishing:
        target = m_dir->filePath("gone.txt");
        QVERIFY(writeBytes(target, good.toLatin1()));
        break;
    case Hostile::SaveDevFull:
        // The save forces ".txt", so /dev/full is reached through a link.
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full on this system");
        target = m_dir->filePath("full.txt");
        QVERIFY(QFile::link("/dev/full", target));
        reading = false;
        break;
    case Hostile::SaveThroughLink:
        // The link stays a link, and the file it names gets the list: a
        // rename over the link would leave that file stale.
        QVERIFY(QDir().mkdir(m_dir->filePath("shared")));
        keep = m_dir->filePath("shared/list.txt");
        QVERIFY(writeBytes(keep, oldBytes));
        target = m_dir->filePath("list.txt");
        QVERIFY(QFile::link(keep, target));
        reading = false;
        break;
    case Hostile::SaveFullFilesystem:
        full.emplace();
        if (!full->available()) QSKIP(qPrintable(full->why()));
        target = keep = full->path("list.txt");
        QVERIFY(writeBytes(keep, oldBytes));
        full->fill();
        reading = false;
        break;
    case Hostile::SaveReadOnlyFolder:
        // The temporary file has a place; only the chosen folder is locked.
        QVERIFY(QDir().mkdir(m_dir->filePath("locked")) && QDir().mkdir(m_dir->filePath("tmp")));
        target = keep = m_dir->filePath("locked/list.txt");
        QVERIFY(writeBytes(keep, oldBytes));
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(m_dir->filePath("tmp")).constData(), 0777);
        ::chmod(QFile::encodeName(m_dir->filePath("locked")).constData(), 0555);
        temp = TempPlaces{m_dir->filePath("tmp").toStdString(), {}};
        nobody.emplace();
        if (!nobody->modesBind()) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
        reading = false;
        break;
    case Hostile::BatchTempOnFullFilesystem:
        full.emplace();
        if (!full->available()) QSKIP(qPrintable(full->why()));
        full->fill();
        temp = TempPlaces{full->path("prog").toStdString(), full->path("cache").toStdString()};
        break;
    }
    if (kind == Hostile::BatchTempOnFullFilesystem) {
        convertPointList(fields, dialogs, temp);
    } else if (reading) {
        dialogs.fileAnswers = {target.toStdString()};
        // A reader that blocks on the FIFO would hang the window for good; after
        // three seconds a writer comes and goes so the test ends either way.
        QElapsedTimer clock;
        clock.start();
        {
            std::jthread unblock([&](std::stop_token stop) {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
                while (!stop.stop_requested() && kind == Hostile::OpenFifo) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    if (std::chrono::steady_clock::now() < deadline) continue;
                    const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        ::close(fd);
                        break;
                    }
                }
            });
            pf::openIntoPanel(fields, dialogs, Panel::One);
        }
        QVERIFY2(clock.elapsed() < 2000, "the open must not wait for a writer");
    } else {
        dialogs.fileAnswers = {target.toStdString()};
        pf::savePanel(fields, dialogs, temp, Panel::One);
    }
    nobody.reset();

    if (kind == Hostile::SaveThroughLink) {
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
        QVERIFY(QFileInfo(target).isSymLink());
        QCOMPARE(readBytes(keep), QByteArray::fromStdString(panelText));
        return;
    }

    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    const ShownMessage& m = dialogs.messages[0];
    QCOMPARE(m.icon, MessageIcon::Critical);
    QCOMPARE(m.title, std::string(msg::kTitleWarning));
    // A batch names the temporary file that failed, not one the user chose.
    const std::string needed = kind == Hostile::BatchTempOnFullFilesystem
                                   ? msg::cannotWrite("").substr(0, msg::cannotWrite("").find("«"))
                               : reading ? msg::cannotRead(target.toStdString())
                                         : msg::cannotWrite(target.toStdString());
    QVERIFY2(m.text.find(needed) != std::string::npos, m.text.c_str());
    QVERIFY(fields.all() == before);
    if (!keep.isEmpty()) QCOMPARE(readBytes(keep), oldBytes);
}

// The same files on the command line: exit 1 and a message on stderr that
// names the file; an OUTPUT that existed keeps its old bytes.
enum class HostileCli {
    InputFolder,
    InputFifoWithWriter,
    InputUnreadable,
    InputMissing,
    OutputDevFull,
    StdoutDevFull,
    OutputFullFilesystem,
    OutputFolder,
    OutputReadOnlyFolder,
    OutputThroughLink,
    OutputIsInput,
};
Q_DECLARE_METATYPE(HostileCli)

void tst_BadFiles::hostileCommandLine_data()
{
    QTest::addColumn<HostileCli>("kind");
    QTest::newRow("INPUT is a folder") << HostileCli::InputFolder;
    QTest::newRow("INPUT is a FIFO with a writer") << HostileCli::InputFifoWithWriter;
    QTest::newRow("INPUT without read permission") << HostileCli::InputUnreadable;
    QTest::newRow("INPUT that does not exist") << HostileCli::InputMissing;
    QTest::newRow("-o /dev/full") << HostileCli::OutputDevFull;
    QTest::newRow("stdout is /dev/full") << HostileCli::StdoutDevFull;
    QTest::newRow("-o onto a full filesystem") << HostileCli::OutputFullFilesystem;
    QTest::newRow("-o names a folder") << HostileCli::OutputFolder;
    QTest::newRow("-o into a folder without write permission") << HostileCli::OutputReadOnlyFolder;
    QTest::newRow("-o through a symbolic link updates the linked file") << HostileCli::OutputThroughLink;
    QTest::newRow("-o names INPUT itself") << HostileCli::OutputIsInput;
}

void tst_BadFiles::hostileCommandLine()
{
    QFETCH(HostileCli, kind);
    const QByteArray list = "P1, 1000, 2000, 5\r\n";
    const QByteArray converted = "P1, " + kWorked + ", 5.000\r\n";
    const QByteArray oldBytes = "the old file\r\n";
    QString in = m_dir->filePath("list.txt");
    QString out = m_dir->filePath("out.txt");
    QVERIFY(writeBytes(in, list));
    QString named;  // the file the message must name
    QString stdoutFile;
    std::function<void()> inChild;
    std::optional<FullFilesystem> full;
    bool succeeds = false;
    bool reading = true;
    std::thread writer;

    switch (kind) {
    case HostileCli::InputFolder:
        in = named = m_dir->filePath("folder");
        QVERIFY(QDir().mkdir(in));
        break;
    case HostileCli::InputFifoWithWriter:
        in = m_dir->filePath("fifo");
        QVERIFY(makeFifo(in));
        writer = std::thread([in, list] {
            QFile f(in);
            if (f.open(QIODevice::WriteOnly)) f.write(list);
        });
        out = "-";
        succeeds = true;
        break;
    case HostileCli::InputUnreadable:
        if (!AsNobody().modesBind()) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
        if (::geteuid() == 0) inChild = [] { [[maybe_unused]] int r = ::setgid(kNobody) + ::setuid(kNobody); };
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0777);
        QVERIFY(QFile::setPermissions(in, {}));
        named = in;
        out = "-";
        break;
    case HostileCli::InputMissing:
        in = named = m_dir->filePath("gone.txt");
        break;
    case HostileCli::OutputDevFull:
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full on this system");
        out = named = "/dev/full";
        reading = false;
        break;
    case HostileCli::StdoutDevFull:
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full on this system");
        out = "-";
        stdoutFile = "/dev/full";
        named = "stdout";
        reading = false;
        break;
    case HostileCli::OutputFullFilesystem:
        full.emplace();
        if (!full->available()) QSKIP(qPrintable(full->why()));
        out = named = full->path("out.txt");
        QVERIFY(writeBytes(out, oldBytes));
        full->fill();
        reading = false;
        break;
    case HostileCli::OutputFolder:
        out = named = m_dir->filePath("outdir");
        QVERIFY(QDir().mkdir(out));
        reading = false;
        break;
    case HostileCli::OutputReadOnlyFolder:
        if (!AsNobody().modesBind()) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
        if (::geteuid() == 0) inChild = [] { [[maybe_unused]] int r = ::setgid(kNobody) + ::setuid(kNobody); };
        QVERIFY(QDir().mkdir(m_dir->filePath("locked")));
        out = named = m_dir->filePath("locked/out.txt");
        QVERIFY(writeBytes(out, oldBytes));
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(in).constData(), 0644);
        ::chmod(QFile::encodeName(m_dir->filePath("locked")).constData(), 0555);
        reading = false;
        break;
    case HostileCli::OutputThroughLink:
        QVERIFY(QDir().mkdir(m_dir->filePath("shared")));
        named = m_dir->filePath("shared/out.txt");
        QVERIFY(writeBytes(named, oldBytes));
        QVERIFY(QFile::link(named, out));
        succeeds = true;
        break;
    case HostileCli::OutputIsInput:
        out = named = in;
        succeeds = true;
        break;
    }

    const Run r = runConvert({in, "-o", out}, {}, stdoutFile, inChild);
    if (writer.joinable()) writer.join();
    if (succeeds) {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(out == "-" ? r.out : readBytes(named), converted);
        if (kind == HostileCli::OutputThroughLink) QVERIFY(QFileInfo(out).isSymLink());
        return;
    }
    QCOMPARE(r.exitCode, kExitFailed);
    const std::string needed = reading ? msg::cannotRead(named.toStdString()) : msg::cannotWrite(named.toStdString());
    QVERIFY2(r.err.contains(needed.c_str()), r.err.constData());
    if (kind == HostileCli::OutputFullFilesystem || kind == HostileCli::OutputReadOnlyFolder) {
        QCOMPARE(readBytes(out), oldBytes);
    }
}

// A disk that fills after a given number of bytes (RLIMIT_FSIZE), at every
// stage of a write: before the first byte, inside the first block, at a
// block's end, after the command line's first 1 MiB flush, one byte short.
// A save that fails is reported and leaves the old file and no temporary
// file behind; one that fits writes every byte.
void tst_BadFiles::diskFillsAfter_data()
{
    QTest::addColumn<qint64>("limit");  // bytes a file may hold; negative: the output's size plus this
    QTest::newRow("no byte fits") << qint64(0);
    QTest::newRow("one byte fits") << qint64(1);
    QTest::newRow("a block less one byte") << qint64(4095);
    QTest::newRow("one block") << qint64(4096);
    QTest::newRow("just past the first MiB") << qint64((1 << 20) + 1);
    QTest::newRow("one byte short of the output") << qint64(-1);
    QTest::newRow("exactly the output") << qint64(0x4000000000000000);
}

void tst_BadFiles::diskFillsAfter()
{
    QFETCH(qint64, limit);
    const QByteArray oldBytes = "the old file\r\n";
    const QByteArray record = "P, 1000, 2000, 5\r\n";
    const QByteArray list = repeated(record, 40000);  // about 1.3 MB of output
    const QString in = m_dir->filePath("list.txt");
    const QString out = m_dir->filePath("out.txt");
    QVERIFY(writeBytes(in, list));
    const Run clean = runConvert({in});
    QCOMPARE(clean.exitCode, 0);
    const qint64 size = clean.out.size();
    const qint64 allowed = limit < 0 ? size + limit : std::min(limit, size);
    const bool fits = allowed >= size;
    auto leftovers = [&] { return QDir(m_dir->path()).entryList(QDir::Hidden | QDir::Files).filter(".out.txt."); };

    // The command line.
    QVERIFY(writeBytes(out, oldBytes));
    const Run r = runConvert({in, "-o", out}, {}, {}, [allowed] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit l{rlim_t(allowed), rlim_t(allowed)};
        ::setrlimit(RLIMIT_FSIZE, &l);
    });
    QCOMPARE(r.exitCode, fits ? 0 : kExitFailed);
    QCOMPARE(readBytes(out), fits ? clean.out : oldBytes);
    if (!fits) QVERIFY2(r.err.contains(msg::cannotWrite(out.toStdString()).c_str()), r.err.constData());
    QCOMPARE(leftovers(), QStringList());

    // The window's save of the converted list.
    QVERIFY(writeBytes(out, oldBytes));
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, asStd(clean.out));
    dialogs.fileAnswers = {out.toStdString()};
    const TempPlaces temp{m_dir->filePath("prog").toStdString(), {}};
    QVERIFY(!pf::tempFolder(temp).empty());
    {
        FileSizeLimit l{rlim_t(allowed)};
        QVERIFY(l.active());
        pf::savePanel(fields, dialogs, temp, Panel::Two);
    }
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text.substr(0, 20), std::string(fits ? msg::kSaved : msg::cannotWrite("")).substr(0, 20));
    QCOMPARE(readBytes(out), fits ? clean.out : oldBytes);
    QCOMPARE(leftovers(), QStringList());
}

QTEST_GUILESS_MAIN(tst_BadFiles)
#include "tst_bad_files.moc"
