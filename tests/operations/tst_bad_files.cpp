// Damaged and hostile inputs through every way in: the window's open, batch
// conversion and save (fake window), and hattsheet-convert as a process.
// Each row says what the user must see: a clear message or exit status, and
// nothing lost. The byte rows live in bad_inputs.h; the rows here that need
// a special file (a folder, a FIFO, a full filesystem) build it themselves.

#include "operations/bad_inputs.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "pointfile/field_reader.h"
#include "operations/hostile_files.h"
#include "operations/messages.h"
#include "text/number_text.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "operations/single_point.h"
#include "text/text_codec.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

using namespace hattsheet::operations;
using namespace hattsheet::testing;
namespace pf = hattsheet::pointfile;

class tst_BadFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_work.reset()); }
    void cleanup();
    void everyWayIn_data();
    void everyWayIn();
    void singlePointText_data();
    void singlePointText();
    void plantedAtFixedNames_data();
    void plantedAtFixedNames();
    void privateFolder_data();
    void privateFolder();
    void hostileFiles_data();
    void hostileFiles();
    void diskFillsAfter_data();
    void diskFillsAfter();

private:
    QString at(const QString& name) const { return m_work.path() + "/" + name; }
    TempWorkspace m_work;
};

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
constexpr int kExitUsage = 64;
// What panel 2 held before each run: it must survive every outcome.
const std::string kPrevious = "earlier, 1.000, 2.000, 3.000\r\n";
const QByteArray kOldBytes = "the old file\r\n";

std::string asStd(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }
bool holdsOnlySpaces(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
bool spellsNonFinite(const std::string& s) { return s.find("inf") != s.npos || s.find("nan") != s.npos; }
std::string afterPrevious(const std::string& s)
{
    return s.substr(0, kPrevious.size()) == kPrevious ? s.substr(kPrevious.size()) : "<previous lost>" + s;
}

// The window's batch over a panel 1 holding `text`, panel 2 holding kPrevious.
struct BatchRun {
    std::string appended;
    std::vector<ShownMessage> messages;
};
BatchRun batchOf(const std::string& text, const TempPlaces& temp)
{
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, text);
    fields.setText(FieldId::File2, kPrevious);
    convertPointList(fields, dialogs, temp);
    return {afterPrevious(fields.text(FieldId::File2)), dialogs.messages};
}

// The process runs as nobody (for file modes to bind when the tests are root).
void becomeNobody()
{
    if (::geteuid() == 0) [[maybe_unused]] int r = ::setgid(kNobody) + ::setuid(kNobody);
}

} // namespace

// Folders locked by a test must be opened again, or the scratch folder stays.
void tst_BadFiles::cleanup()
{
    for (const char* sub : {"", "/locked", "/tmp"}) ::chmod(QFile::encodeName(at(sub)).constData(), 0755);
}

void tst_BadFiles::everyWayIn_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < badInputs().size(); ++i) QTest::newRow(badInputs()[i].name) << int(i);
}

// One file of bad_inputs.h through the open, the batch and the command line.
void tst_BadFiles::everyWayIn()
{
    QFETCH(int, row);
    const BadInput& b = badInputs()[std::size_t(row)];
    const QString in = at("list.txt"), out = at("out.txt");
    QVERIFY(writeFile(in, b.bytes));
    const hattsheet::text::DecodedText input = hattsheet::text::decodeFileBytes(asStd(b.bytes));
    const bool noList = holdsOnlySpaces(input.utf8);
    const BatchRun batch = batchOf(input.utf8, m_work.places());

    // The open loads a valid file without a word and refuses any other with
    // "Δεν είναι έγκυρο αρχείο συντεταγμένων", keeping the panel; what it
    // loads converts like the file, and saved and opened again reads the same.
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, kPrevious);
    dialogs.fileAnswers = {in.toStdString()};
    hattsheet::operations::openIntoPanel(fields, dialogs, Panel::One);
    const std::string loaded = afterPrevious(fields.text(FieldId::File1));
    if (!b.valid) {
        QCOMPARE(dialogs.messages,
                 std::vector<ShownMessage>({{msg::kInvalidFile, msg::kTitleWarningPlain, MessageIcon::Critical}}));
        QCOMPARE(loaded, std::string());
    } else {
        QCOMPARE(dialogs.messages.size(), std::size_t(0));
        QVERIFY(!spellsNonFinite(loaded));
        QVERIFY2(pf::testCoordinateFile(loaded), "the loaded lines form a valid coordinate file");
        if (!noList) QCOMPARE(batchOf(loaded, m_work.places()).appended, batch.appended);
        FakeFields again;
        again.setText(FieldId::File1, loaded);
        dialogs.fileAnswers = {at("saved.txt").toStdString(), at("saved.txt").toStdString()};
        hattsheet::operations::savePanel(again, dialogs, m_work.places(), Panel::One);
        again.setText(FieldId::File1, "");
        hattsheet::operations::openIntoPanel(again, dialogs, Panel::One);
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
        QCOMPARE(again.text(FieldId::File1), loaded);
    }

    // The batch appends the lines before the first failing record, then says
    // "Λάθος στον πίνακα!" or that it is done; panel 2 keeps what it held.
    const ShownMessage expected = noList    ? ShownMessage{msg::kNoList, msg::kTitleWarning, MessageIcon::Critical}
                                  : b.stops ? ShownMessage{msg::kBatchFailed, msg::kTitleWarning, MessageIcon::Critical}
                                            : ShownMessage{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information};
    QCOMPARE(batch.messages, std::vector<ShownMessage>{expected});
    QVERIFY(!spellsNonFinite(batch.appended));
    QVERIFY2(pf::testCoordinateFile(batch.appended), "every appended line reads back as code, X, Y, H");
    if (b.expectedLineCount >= 0) {
        QCOMPARE(int(std::count(batch.appended.begin(), batch.appended.end(), '\n')), b.expectedLineCount);
    } else {
        QCOMPARE(batch.appended, hattsheet::text::decodeAs(asStd(b.lines), input.encoding));
    }

    // The command line, from a file and through a pipe: the lines in the
    // file's own encoding, byte for byte the batch's; exit 0, or 1 with
    // "Λάθος στον πίνακα!" and the record's number on stderr.
    // An existing OUTPUT is replaced only by a whole list: on a failing
    // record it keeps its old bytes, while stdout gets the lines before it.
    QVERIFY(writeFile(out, kOldBytes));
    const CliRun fromFile = runConvert(kDefaultCentres + QStringList{in, "-o", out});
    const CliRun fromPipe = runConvert(kDefaultCentres + QStringList{"-"}, b.bytes);
    const bool stops = b.stops && !holdsOnlySpaces(asStd(b.bytes));
    QCOMPARE(readFile(out), stops ? kOldBytes : fromPipe.out);
    const QByteArray written = fromPipe.out;
    // Records off their lines are converted all the same, with one warning.
    for (const CliRun* r : {&fromFile, &fromPipe}) {
        QVERIFY2(r->ran(), r->err.constData());
        QCOMPARE(r->exitCode, stops ? kExitFailed : 0);
        const QByteArray record = "εγγραφή " + QByteArray::number(lineCount(b) + 1);
        if (stops) QVERIFY2(r->err.contains(msg::kBatchFailed) && r->err.contains(record), r->err.constData());
        else QCOMPARE(r->err, b.offLine == 0 ? QByteArray() : QByteArray::fromStdString(msg::recordsOffLine(b.offLine, 1) + "\n"));
    }
    if (b.expectedLineCount < 0) QCOMPARE(written, b.lines);
    if (!noList) QCOMPARE(hattsheet::text::decodeAs(asStd(written), input.encoding), batch.appended);
}

// A damaged X text in the ">" conversion (as X) and in --point (as Y):
// either it reads as its clean equivalent and converts to the same digits,
// or it is refused with "Λάθος στις συντεταγμένες." and nothing changes.
// The command line takes only a text the window's field test lets the user
// leave the field with; any other is a usage error.
void tst_BadFiles::singlePointText_data()
{
    constexpr qsizetype kTenMegabytes = 10 * 1000 * 1000;
    // Linux refuses one argument beyond 128 KiB, so argv gets 100 kB at most.
    constexpr qsizetype kArgumentLimit = 100000;
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QByteArray>("clean");  // empty: must be refused
    QTest::addColumn<bool>("viaArgv");      // argv cannot hold NUL bytes or 10 MB
    QTest::newRow("NUL byte ends the number") << QByteArray("12\0 3", 5) << QByteArray("12") << false;
    QTest::newRow("invalid UTF-8 reads as 0") << QByteArray("\xff\xfe\xc0\x80") << QByteArray("0") << true;
    QTest::newRow("Greek in Windows-1253 reads as 0") << QByteArray("\xd7 5") << QByteArray("0") << true;
    QTest::newRow("lone minus reads as 0") << QByteArray("-") << QByteArray("0") << true;
    QTest::newRow("lone point reads as 0") << QByteArray(".") << QByteArray("0") << true;
    QTest::newRow("exponent without digits") << QByteArray("1e") << QByteArray("1") << true;
    QTest::newRow("exponent sign without digits") << QByteArray("1e-") << QByteArray("1") << true;
    QTest::newRow("unterminated quote reads as 0") << QByteArray("\"12") << QByteArray("0") << true;
    QTest::newRow("quote at the end") << QByteArray("12\"") << QByteArray("12") << true;
    QTest::newRow("only commas") << QByteArray(",,,,") << QByteArray("0") << true;
    QTest::newRow("a million commas after the number")
        << QByteArray("7") + QByteArray(1000000, ',') << QByteArray("7") << false;
    QTest::newRow("10 MB of blanks before the number")
        << QByteArray(kTenMegabytes, ' ') + "5" << QByteArray("5") << false;
    QTest::newRow("1E999 is refused") << QByteArray("1E999") << QByteArray() << true;
    QTest::newRow("-1D999 is refused") << QByteArray("-1D999") << QByteArray() << true;
    QTest::newRow("10 MB of digits is refused") << QByteArray(kTenMegabytes, '9') << QByteArray() << false;
    QTest::newRow("100 kB of digits is refused") << QByteArray(kArgumentLimit, '9') << QByteArray() << true;
    QTest::newRow("1e100 overflows the series") << QByteArray("1e100") << QByteArray() << true;
    QTest::newRow("underflow reads as 0") << QByteArray("1e-999") << QByteArray("0") << true;
}

void tst_BadFiles::singlePointText()
{
    QFETCH(QByteArray, bad);
    QFETCH(QByteArray, clean);
    QFETCH(bool, viaArgv);
    FakeFields badFields, cleanFields;
    FakeDialogs badDialogs, cleanDialogs;
    badFields.setText(FieldId::X1, asStd(bad));
    badFields.setText(FieldId::Y1, "2000");
    const auto before = badFields.all();
    convertOldToNew(badFields, badDialogs);
    if (clean.isEmpty()) {
        QCOMPARE(badDialogs.messages,
                 std::vector<ShownMessage>({{msg::kCoordinates, msg::kTitleWarning, MessageIcon::Critical}}));
        QVERIFY(badFields.all() == before);
    } else {
        cleanFields.setText(FieldId::X1, asStd(clean));
        cleanFields.setText(FieldId::Y1, "2000");
        convertOldToNew(cleanFields, cleanDialogs);
        QVERIFY(badDialogs.messages.empty());
        for (FieldId id : {FieldId::X2, FieldId::Y2, FieldId::Lat}) QCOMPARE(badFields.text(id), cleanFields.text(id));
        QVERIFY(badFields.text(FieldId::X2) != "0.000");
    }
    if (!viaArgv) return;
    auto point = [](const QString& y) { return runConvert(kDefaultCentres + QStringList{"--point", "2000," + y}); };
    const CliRun r = point(QString::fromLocal8Bit(bad));
    QVERIFY2(r.ran(), r.err.constData());
    if (!hattsheet::text::parseWholeNumber(asStd(bad))) {
        QCOMPARE(r.exitCode, kExitUsage);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.startsWith("hattsheet-convert: --point \"2000,"), r.err.constData());
    } else if (clean.isEmpty()) {
        QCOMPARE(r.exitCode, kExitRefused);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.contains(msg::kCoordinates), r.err.constData());
    } else {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.out, point(QString::fromLatin1(clean)).out);
    }
}

// What others may plant at the by-products' fixed names in the program's
// folder: a link to someone else's file or to a full device, a FIFO, a folder.
// The names are never opened: a link or FIFO entry is replaced by a plain
// file with the list, what it pointed to stays as it was, nothing waits; a
// folder is left alone and named in a message. The save and the batch still
// do their work either way.
enum class Planted { LinkToVictim, LinkToDevFull, Fifo, Folder };
Q_DECLARE_METATYPE(Planted)

void tst_BadFiles::plantedAtFixedNames_data()
{
    QTest::addColumn<QString>("name");  // the entry planted in the program's folder
    QTest::addColumn<Planted>("planted");
    QTest::addColumn<bool>("batch");    // the batch conversion, else a save of panel 1
    QTest::newRow("save: link to another's file at TempFile.Dat") << "prog/TempFile.Dat" << Planted::LinkToVictim << false;
    QTest::newRow("batch: link to another's file at TempFeed.Dat") << "prog/TempFeed.Dat" << Planted::LinkToVictim << true;
    QTest::newRow("batch: link to a full device at TempFile.Dat") << "prog/TempFile.Dat" << Planted::LinkToDevFull << true;
    QTest::newRow("batch: FIFO at TempFeed.Dat") << "prog/TempFeed.Dat" << Planted::Fifo << true;
    QTest::newRow("save: FIFO at TempFile.Dat") << "prog/TempFile.Dat" << Planted::Fifo << false;
    QTest::newRow("batch: folder at TempFeed.Dat") << "prog/TempFeed.Dat" << Planted::Folder << true;
    QTest::newRow("save: folder at TempFile.Dat") << "prog/TempFile.Dat" << Planted::Folder << false;
}

void tst_BadFiles::plantedAtFixedNames()
{
    QFETCH(QString, name);
    QFETCH(Planted, planted);
    QFETCH(bool, batch);
    const QString full = planted == Planted::LinkToDevFull ? fullDeviceIn(m_work.path()) : QString();
    if (planted == Planted::LinkToDevFull && full.isEmpty()) QSKIP("no full device to be had");
    QVERIFY(writeFile(at("victim"), kOldBytes));
    QVERIFY(writeFile(at("old.txt"), kOldBytes));
    switch (planted) {
    case Planted::LinkToVictim: QVERIFY(QFile::link(at("victim"), at(name))); break;
    case Planted::LinkToDevFull: QVERIFY(QFile::link(full, at(name))); break;
    case Planted::Fifo: QVERIFY(makeFifo(at(name))); break;
    case Planted::Folder: QVERIFY(QDir().mkdir(at(name))); break;
    }
    const std::string list = "P1, 1000, 2000, 5\r\n";
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, list);
    dialogs.fileAnswers = {at("old.txt").toStdString()};
    QElapsedTimer clock;
    clock.start();
    {
        // Should anything open the FIFO, a reader comes after three seconds
        // so that the test ends; the check below then fails.
        std::jthread unblock([&](std::stop_token stop) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (planted == Planted::Fifo && !stop.stop_requested()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                if (std::chrono::steady_clock::now() < deadline) continue;
                const int fd = ::open(QFile::encodeName(at(name)).constData(), O_RDONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    break;
                }
            }
        });
        if (batch) convertPointList(fields, dialogs, m_work.places());
        else hattsheet::operations::savePanel(fields, dialogs, m_work.places(), Panel::One);
    }
    QVERIFY2(clock.elapsed() < 2000, "nothing may wait on a planted FIFO");

    std::vector<ShownMessage> expected;
    if (planted == Planted::Folder)
        expected.push_back({msg::cannotWrite(at(name).toStdString()), msg::kTitleWarning, MessageIcon::Critical});
    expected.push_back(batch ? ShownMessage{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information}
                             : ShownMessage{msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information});
    QCOMPARE(dialogs.messages, expected);
    QCOMPARE(fields.text(FieldId::File2), batch ? "P1, " + asStd(kWorked) + ", 5.000\r\n" : std::string());
    QCOMPARE(readFile(at("victim")), kOldBytes);
    if (!batch) QCOMPARE(readFile(at("old.txt")), QByteArray::fromStdString(list));
    const QFileInfo entry(at(name));
    if (planted == Planted::Folder) {
        QVERIFY(entry.isDir());
    } else {
        // A FIFO still there would block the read below for good.
        QVERIFY(entry.isFile() && !entry.isSymLink());
        QCOMPARE(readFile(at(name)), QByteArray::fromStdString(list));
    }
    QCOMPARE(QDir(at("prog")).entryList(QDir::Hidden | QDir::Files).filter(".hs"), QStringList());
}

// Where the by-products go: the program's folder only when it is the user's
// alone and not an installed program's; else the per-user cache folder,
// made 0700.
void tst_BadFiles::privateFolder_data()
{
    QTest::addColumn<int>("progMode");
    QTest::addColumn<bool>("installed");  // prog is bin/ beside share/doc/hattsheet
    QTest::addColumn<bool>("inProg");
    QTest::newRow("own folder, 0700") << 0700 << false << true;
    QTest::newRow("own folder, 0755") << 0755 << false << true;
    QTest::newRow("group may write") << 0775 << false << false;
    QTest::newRow("anyone may write") << 0777 << false << false;
    QTest::newRow("installed bin folder") << 0755 << true << false;
}

void tst_BadFiles::privateFolder()
{
    QFETCH(int, progMode);
    QFETCH(bool, installed);
    QFETCH(bool, inProg);
    QString prog = at("prog");
    if (installed) {
        QVERIFY(QDir().mkpath(at("usr/share/doc/hattsheet")) && QDir().mkpath(prog = at("usr/bin")));
    }
    QVERIFY(::chmod(QFile::encodeName(prog).constData(), mode_t(progMode)) == 0);
    const TempPlaces places{prog.toStdString(), at("home/.cache/hattsheet").toStdString()};
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, "P1, 1000, 2000, 5\r\n");
    convertPointList(fields, dialogs, places);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kBatchDone));
    const QString used = inProg ? prog : at("home/.cache/hattsheet");
    for (const char* name : {"TempFeed.Dat", "TempFile.Dat"}) {
        QCOMPARE(readFile(used + "/" + name), QByteArray("P1, 1000, 2000, 5\r\n"));
        QCOMPARE(QFileInfo(prog + "/" + name).exists(), inProg);
    }
    QCOMPARE(QFileInfo::exists(at("home/.cache/hattsheet")), !inProg);
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(used).constData(), &st) == 0);
    if (!inProg) QCOMPARE(st.st_mode & 07777, 0700u);
}

// Files and folders that fight back, met by every way in. The expected
// outcomes are the program's rules for files: what cannot be read or written
// is named in one critical message in the window (panels untouched) or on
// stderr with exit 1; a file that held something keeps its bytes; no failure
// is confirmed as a success; nothing waits on a FIFO (the window refuses one,
// the command line reads one like a pipe); no .hs* temporary file stays
// beside the target. A link is written through, so the file it names changes.
// A file the user may not write is refused as the shell's ">" would; one
// that is written keeps its owner, group and mode; a log opened for
// appending gets the list after what it held.
enum class Way { Open, Save, Input, Output };  // Input: hattsheet-convert's INPUT; Output: its -o
enum class Place {
    Folder, Fifo, DevZero, Unreadable, Vanishing, Missing,
    Link, FullDevice, LinkToFullDevice, StdoutFull, ReadOnlyFolder, MissingFolder, TheInput,
    WriteProtected, OtherOwner, DanglingLink, LongName, GreekName, DevStdoutAppend,
};
enum class Outcome { Written, CannotRead, CannotWrite };
Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Outcome)

void tst_BadFiles::hostileFiles_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<Place>("place");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("keeps");  // the target, or for a bad INPUT the existing OUTPUT, keeps its old bytes
    using W = Way;
    using P = Place;
    using O = Outcome;
    const struct { const char* name; Way way; Place place; Outcome outcome; bool keeps; } rows[] = {
        {"open a folder", W::Open, P::Folder, O::CannotRead, false},
        {"open a FIFO", W::Open, P::Fifo, O::CannotRead, false},
        {"open /dev/zero", W::Open, P::DevZero, O::CannotRead, false},
        {"open a file without read permission", W::Open, P::Unreadable, O::CannotRead, false},
        {"open a file that vanishes after choosing", W::Open, P::Vanishing, O::CannotRead, false},
        {"open a file that does not exist", W::Open, P::Missing, O::CannotRead, false},
        {"save through a symbolic link updates the linked file", W::Save, P::Link, O::Written, false},
        {"save into a folder without write permission", W::Save, P::ReadOnlyFolder, O::CannotWrite, true},
        {"save onto a folder", W::Save, P::Folder, O::CannotWrite, false},
        {"save into a folder that does not exist", W::Save, P::MissingFolder, O::CannotWrite, false},
        {"save: chosen file is a link to a full device", W::Save, P::LinkToFullDevice, O::CannotWrite, false},
        {"INPUT is a folder, OUTPUT kept", W::Input, P::Folder, O::CannotRead, true},
        {"INPUT is a FIFO with a writer", W::Input, P::Fifo, O::Written, false},
        {"INPUT without read permission, OUTPUT kept", W::Input, P::Unreadable, O::CannotRead, true},
        {"INPUT that does not exist, OUTPUT kept", W::Input, P::Missing, O::CannotRead, true},
        {"-o a full device", W::Output, P::FullDevice, O::CannotWrite, false},
        {"stdout is a full device", W::Output, P::StdoutFull, O::CannotWrite, false},
        {"-o names a folder", W::Output, P::Folder, O::CannotWrite, false},
        {"-o into a folder without write permission", W::Output, P::ReadOnlyFolder, O::CannotWrite, true},
        {"-o into a folder that does not exist", W::Output, P::MissingFolder, O::CannotWrite, false},
        {"-o through a symbolic link updates the linked file", W::Output, P::Link, O::Written, false},
        {"-o names INPUT itself", W::Output, P::TheInput, O::Written, false},
        {"save onto a write-protected file", W::Save, P::WriteProtected, O::CannotWrite, true},
        {"-o a write-protected file", W::Output, P::WriteProtected, O::CannotWrite, true},
        {"save onto another user's file keeps its owner", W::Save, P::OtherOwner, O::Written, false},
        {"-o another user's file keeps its owner", W::Output, P::OtherOwner, O::Written, false},
        {"save through a dangling link", W::Save, P::DanglingLink, O::Written, false},
        {"-o through a dangling link", W::Output, P::DanglingLink, O::Written, false},
        {"save to a name of 255 bytes", W::Save, P::LongName, O::Written, false},
        {"-o a name of 255 bytes", W::Output, P::LongName, O::Written, false},
        {"save to a Greek name", W::Save, P::GreekName, O::Written, false},
        {"-o a Greek name", W::Output, P::GreekName, O::Written, false},
        {"-o /dev/stdout appends to a log", W::Output, P::DevStdoutAppend, O::Written, false},
    };
    for (const auto& r : rows) QTest::newRow(r.name) << r.way << r.place << r.outcome << r.keeps;
}

void tst_BadFiles::hostileFiles()
{
    QFETCH(Way, way);
    QFETCH(Place, place);
    QFETCH(Outcome, outcome);
    QFETCH(bool, keeps);
    const bool window = way == Way::Open || way == Way::Save;
    const QByteArray list = "P1, 1000, 2000, 5\r\n";
    // The panel's text as a save writes it; the command line's conversion.
    const QByteArray written = window ? QByteArray("P1, 1000.000, 2000.000, 5.000\r\n") : "P1, " + kWorked + ", 5.000\r\n";
    const QString in = at("list.txt"), out = at("out.txt");
    QVERIFY(writeFile(in, list) && writeFile(out, kOldBytes));

    // What is at the path: `path` is what the dialog, INPUT or -o is given,
    // `named` what a message must name, `holder` the file the outcome shows in.
    QString path, named, holder, stdoutFile;
    TempPlaces temp = m_work.places();
    const bool asNobody = place == Place::Unreadable || place == Place::ReadOnlyFolder || place == Place::WriteProtected;
    std::function<void()> inChild = asNobody ? std::function<void()>(becomeNobody) : nullptr;
    if (asNobody && !AsNobody().modesBind()) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
    switch (place) {
    case Place::Folder: QVERIFY(QDir().mkdir(path = at("folder.txt"))); break;
    case Place::Fifo: QVERIFY(makeFifo(path = at("fifo.txt"))); break;
    case Place::DevZero: path = "/dev/zero"; break;
    case Place::Unreadable:
        QVERIFY(writeFile(path = at("secret.txt"), list));
        QVERIFY(QFile::setPermissions(path, {}));
        break;
    case Place::Vanishing: QVERIFY(writeFile(path = at("gone.txt"), list)); break;
    case Place::Missing: path = at("gone.txt"); break;
    case Place::Link:
        // A rename over the link would leave the linked file stale.
        QVERIFY(QDir().mkdir(at("shared")));
        QVERIFY(writeFile(holder = at("shared/list.txt"), kOldBytes));
        QVERIFY(QFile::link(holder, path = at("link.txt")));
        break;
    case Place::FullDevice:
    case Place::LinkToFullDevice:
    case Place::StdoutFull:
        if ((path = fullDeviceIn(m_work.path())).isEmpty()) QSKIP("no full device to be had");
        // The save gives its file a ".txt" name, so it meets the device through one.
        if (place == Place::LinkToFullDevice) {
            QVERIFY(QFile::link(path, at("full.txt")));
            path = at("full.txt");
        }
        if (place == Place::StdoutFull) {
            stdoutFile = path;
            path = "-";
            named = "stdout";
        }
        break;
    case Place::ReadOnlyFolder:
        // The temporary file has a place; only the chosen folder is locked.
        QVERIFY(QDir().mkdir(at("locked")) && QDir().mkdir(at("tmp")));
        QVERIFY(writeFile(path = at("locked/out.txt"), kOldBytes));
        ::chmod(QFile::encodeName(at("tmp")).constData(), 0777);
        ::chmod(QFile::encodeName(at("locked")).constData(), 0555);
        temp = TempPlaces{at("tmp").toStdString(), {}};
        break;
    case Place::MissingFolder: path = at("none/out.txt"); break;
    case Place::TheInput: path = in; break;
    case Place::WriteProtected:
    case Place::OtherOwner:
        if (place == Place::OtherOwner && ::geteuid() != 0) QSKIP("only root can write another user's file here");
        QVERIFY(::chown(QFile::encodeName(path = out).constData(), kNobody, kNobody) == 0 || ::geteuid() != 0);
        QVERIFY(::chmod(QFile::encodeName(out).constData(), place == Place::OtherOwner ? 0640 : 0444) == 0);
        break;
    case Place::DanglingLink:
        QVERIFY(QDir().mkdir(at("shared")));
        QVERIFY(QFile::link(holder = at("shared/new.txt"), path = at("link.txt")));
        break;
    case Place::LongName: path = at(QString(251, 'n') + ".txt"); break;
    case Place::GreekName: path = at("Σημεία Αθήνας.txt"); break;
    case Place::DevStdoutAppend:
        // No save dialog offers a descriptor; the command line's stdout is a log.
        path = "/dev/stdout";
        holder = out;
        inChild = [name = QFile::encodeName(out)] { ::dup2(::open(name.constData(), O_WRONLY | O_APPEND), 1); };
        break;
    }
    if (named.isEmpty()) named = path;
    if (holder.isEmpty()) holder = way == Way::Input ? out : path;
    if (asNobody) {
        // Nobody may enter the scratch folder, read INPUT and write OUTPUT.
        ::chmod(QFile::encodeName(m_work.path()).constData(), 0777);
        if (way == Way::Input) ::chmod(QFile::encodeName(out).constData(), 0666);
    }
    const std::string needed = outcome == Outcome::Written      ? std::string(msg::kSaved)
                               : outcome == Outcome::CannotRead ? msg::cannotRead(named.toStdString())
                                                                : msg::cannotWrite(named.toStdString());
    struct stat before {};
    const bool held = way != Way::Open && ::stat(QFile::encodeName(holder).constData(), &before) == 0;

    // A FIFO gets a writer as soon as anyone opens it for reading: the command
    // line then reads the list, and a window that opened it would load the
    // list instead of refusing it. The writer gives up when the run is over.
    std::optional<std::jthread> writer;
    if (place == Place::Fifo)
        writer.emplace([path, list](std::stop_token stop) { writeWhenFifoOpened(path, list, std::chrono::seconds(20), stop); });
    QElapsedTimer clock;
    clock.start();
    if (window) {
        FakeFields fields;
        fields.setText(FieldId::File1, asStd(written));
        fields.setText(FieldId::File2, kPrevious);
        const auto before = fields.all();
        VanishingDialogs vanishing;
        FakeDialogs plain;
        FakeDialogs& dialogs = place == Place::Vanishing ? vanishing : plain;
        dialogs.fileAnswers = {path.toStdString()};
        {
            std::optional<AsNobody> nobody;
            if (asNobody) nobody.emplace();
            if (way == Way::Open) hattsheet::operations::openIntoPanel(fields, dialogs, Panel::One);
            else hattsheet::operations::savePanel(fields, dialogs, temp, Panel::One);
        }
        writer.reset();
        QVERIFY2(clock.elapsed() < 2000, "the window must not wait for a writer");
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        const ShownMessage& m = dialogs.messages[0];
        QCOMPARE(m.text, needed);
        if (outcome != Outcome::Written) {
            QCOMPARE(m.icon, MessageIcon::Critical);
            QCOMPARE(m.title, std::string(msg::kTitleWarning));
            QVERIFY(fields.all() == before);
        }
    } else {
        // A user without rights runs a copy from the scratch folder: the build
        // tree may lie under a folder only its owner may enter.
        const QString program = asNobody ? programCopyIn(m_work.path()) : QString(HATTSHEET_CONVERT);
        QVERIFY(!program.isEmpty());
        const QStringList args = way == Way::Input ? QStringList{path, "-o", out} : QStringList{in, "-o", path};
        const CliRun r = runConvert(kDefaultCentres + args, {}, stdoutFile, inChild, program);
        writer.reset();
        QVERIFY2(r.ran(), r.err.constData());
        QCOMPARE(r.exitCode, outcome == Outcome::Written ? 0 : kExitFailed);
        if (outcome == Outcome::Written) QCOMPARE(r.err, QByteArray());
        else QVERIFY2(r.err.contains(needed.c_str()), r.err.constData());
    }

    if (outcome == Outcome::Written) QCOMPARE(readFile(holder), place == Place::DevStdoutAppend ? kOldBytes + written : written);
    if (keeps) QCOMPARE(readFile(holder), kOldBytes);
    struct stat after {};
    if (held) {
        QVERIFY(::stat(QFile::encodeName(holder).constData(), &after) == 0);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
    }
    if (place == Place::Link || place == Place::LinkToFullDevice || place == Place::DanglingLink)
        QVERIFY(QFileInfo(path).isSymLink());
    if (way == Way::Save || way == Way::Output) {
        const QString folder = path == "-" ? m_work.path() : QFileInfo(path).path();
        QCOMPARE(QDir(folder).entryList(QDir::Hidden | QDir::Files).filter(".hs"), QStringList());
    }
}

// A disk that fills after a given number of bytes (RLIMIT_FSIZE), at every
// stage of a write: before the first byte, inside the first block, at a
// block's end, after the command line's first 1 MiB flush, one byte short.
// A write that fails is reported and leaves the old file and no temporary
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
    const QString in = at("list.txt"), out = at("out.txt");
    QVERIFY(writeFile(in, repeated("P, 1000, 2000, 5\r\n", 40000)));  // about 1.3 MB of output
    const CliRun clean = runConvert(kDefaultCentres + QStringList{in});
    QCOMPARE(clean.exitCode, 0);
    const qint64 size = clean.out.size();
    const qint64 allowed = limit < 0 ? size + limit : std::min(limit, size);
    const bool fits = allowed >= size;
    auto leftovers = [&] { return QDir(m_work.path()).entryList(QDir::Hidden | QDir::Files).filter(".hs"); };

    QVERIFY(writeFile(out, kOldBytes));
    const CliRun r = runConvert(kDefaultCentres + QStringList{in, "-o", out}, {}, {}, [allowed] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit l{rlim_t(allowed), rlim_t(allowed)};
        ::setrlimit(RLIMIT_FSIZE, &l);
    });
    QCOMPARE(r.exitCode, fits ? 0 : kExitFailed);
    QCOMPARE(readFile(out), fits ? clean.out : kOldBytes);
    if (!fits) QVERIFY2(r.err.contains(msg::cannotWrite(out.toStdString()).c_str()), r.err.constData());
    QCOMPARE(leftovers(), QStringList());

    // The window's save of the converted list.
    QVERIFY(writeFile(out, kOldBytes));
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, asStd(clean.out));
    dialogs.fileAnswers = {out.toStdString()};
    QVERIFY(!hattsheet::operations::tempFolder(m_work.places()).empty());
    {
        FileSizeLimit l{rlim_t(allowed)};
        QVERIFY(l.active());
        hattsheet::operations::savePanel(fields, dialogs, m_work.places(), Panel::Two);
    }
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    const std::string expected = fits ? msg::kSaved : msg::cannotWrite("");
    QCOMPARE(dialogs.messages[0].text.substr(0, 20), expected.substr(0, 20));
    QCOMPARE(readFile(out), fits ? clean.out : kOldBytes);
    QCOMPARE(leftovers(), QStringList());
}

QTEST_GUILESS_MAIN(tst_BadFiles)
#include "tst_bad_files.moc"
