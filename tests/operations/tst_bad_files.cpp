// Damaged and hostile inputs through every way in: the window's open, save
// and batch conversion (fake window), and hattsheet-convert as a process.
// Each row says what the user must see, a clear message or exit status, and
// that nothing is lost. Expected lines are for the window's default centres,
// from the worked examples of the conversion (kWorked, kOrigin of cli_run.h).

#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "operations/window_texts.h"
#include "operations/window_texts.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "text/text_codec.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace hattsheet::operations;
using namespace hattsheet::testing;
namespace pf = hattsheet::pointfile;
namespace tx = hattsheet::text;

enum class Way { Open, Save, Batch, Input, Output };  // Input: hattsheet-convert's INPUT; Output: its -o
enum class Place {
    Folder, Fifo, Unreadable, Missing, Link, FullDevice, LinkToFullDevice, StdoutFull,
    ReadOnlyFolder, MissingFolder, TheInput, WriteProtected, OtherOwner, DanglingLink, GreekName,
    DevStdoutAppend, NoFolder, OthersLinkInSticky, DanglingInOthersFolder, SwappedWhileAsked, AclAndAttributes,
    HardLinked, Growing, EmptyName,
    // What another user plants in a sticky folder all may write, and what a
    // full disk or a waiting read do (file safety):
    OthersFifoInSticky, OwnFifo, OthersFileInSticky, OthersTwoNamesInSticky, HardLinkedDiskFull, CacheIsOthersLink,
    WaitingRead,
};
// Declined: the user said No, nothing is written or shown; Usage: exit 64.
enum class Outcome { Written, CannotRead, CannotWrite, TooLarge, Declined, Usage };
Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Outcome)

// One row of hostileFiles and what planting it made. `path` is where the
// place is made: what the dialog, INPUT or -o is given, or the fixed name;
// `named` is what a message must name, `holder` the file the outcome shows
// in (for a planted link: what it names).
struct Scene {
    Way way;
    Place place;
    QString fixed;  // the by-product's name the place is planted at; "": the path given
    Outcome outcome;
    bool keeps;
    int reason;  // the errno whose reason a failure's message gives
    QString in, out, path, named, holder, stdoutFile;
    hattsheet::operations::TempPlaces temp;
    std::function<void()> inChild;  // run in hattsheet-convert's process before it starts
    bool asNobody = false;
    bool skipped = false;  // plant() skipped the row (Qt 6.4 cannot tell)
    bool window() const { return way == Way::Open || way == Way::Save || way == Way::Batch; }
    // The save of a planted row writes to out.txt; the batch writes no file.
    QString chosen() const { return fixed.isEmpty() ? path : out; }
};

class tst_BadFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_work.reset()); }
    void cleanup();
    void everyWayIn_data();
    void everyWayIn();
    void hostileFiles_data();
    void hostileFiles();
    void privateFolder_data();
    void privateFolder();
    void diskFillsAfter_data();
    void diskFillsAfter();
    void endsEarly_data();
    void endsEarly();
    void folderSwapsDuringWrites();

private:
    QString at(const QString& name) const { return m_work.path() + "/" + name; }
    void checkOpen(const QString& in, bool valid, const std::string* converted);
    void plant(Scene& s, const QString& fullDevice);
    void runInWindow(const Scene& s, const std::vector<ShownMessage>& expected, std::optional<std::jthread>& fifoEnd);
    void runAsProcess(const Scene& s, const std::vector<ShownMessage>& expected, std::optional<std::jthread>& fifoEnd);
    void checkFilesAfter(const Scene& s, const struct stat* before);
    void plantInSticky(Scene& s);
    void plantOnSmallDisk(Scene& s);
    TempWorkspace m_work;
};

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr int kExitFailed = 1, kExitUsage = 64;
// The user that owns nothing; file modes bind it even when the tests run as
// root. It is also the other user whose links and folders a row plants.
constexpr uid_t kNobody = 65534;
// What panel 2 held before each run: it must survive every outcome.
const std::string kPrevious = "earlier, 1.000, 2.000, 3.000\r\n";
const QByteArray kOldBytes = "the old file\r\n";
const QByteArray kList = "P1, 1000, 2000, 5\r\n";

QByteArray name(const QString& path) { return QFile::encodeName(path); }
bool holdsOnlySpaces(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
bool spellsNonFinite(const std::string& s) { return s.find("inf") != s.npos || s.find("nan") != s.npos; }
std::string afterPrevious(const std::string& s)
{
    return s.substr(0, kPrevious.size()) == kPrevious ? s.substr(kPrevious.size()) : "<previous lost>" + s;
}
QStringList leftoversIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Hidden | QDir::Files).filter(".hs");
}
// Every extended attribute of a file (the ACL is system.posix_acl_access), name=value.
QByteArrayList attributesOf(const QString& path)
{
    QByteArrayList all;
    char names[4096];
    const ssize_t n = ::listxattr(name(path).constData(), names, sizeof names);
    for (ssize_t at = 0; at < n; at += ssize_t(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t size = ::getxattr(name(path).constData(), names + at, value, sizeof value);
        all << QByteArray(names + at) + "=" + QByteArray(value, size < 0 ? 0 : int(size)).toHex();
    }
    std::sort(all.begin(), all.end());
    return all;
}

// The batch with panel 2 holding kPrevious: panel2 is what it appended.
BatchRun batchOf(const std::string& text, const TempPlaces& temp)
{
    BatchRun run = runBatch(text, temp, kPrevious);
    run.panel2 = afterPrevious(run.panel2);
    return run;
}

// A child process that runs as nobody (for file modes to bind when the tests are root).
void becomeNobody()
{
    if (::geteuid() == 0) [[maybe_unused]] int r = ::setgid(kNobody) + ::setuid(kNobody);
}

// Undoes at the end of its scope what a test changed in this process (user
// ids, limits), also when a check fails and the function returns early.
struct Undo {
    std::function<void()> undo;
    ~Undo()
    {
        if (undo) undo();
    }
};

// Checks this process's file accesses as the user nobody's until the Undo
// ends (only the effective ids change, so they come back). False when file
// modes do not bind: root that could not drop.
bool actAsNobody(Undo& u)
{
    if (::geteuid() != 0) return true;
    if (::setegid(kNobody) != 0 || ::seteuid(kNobody) != 0) return false;
    u.undo = [] { [[maybe_unused]] int r = ::seteuid(0) + ::setegid(0); };
    return true;
}

// A full device in the test's own folder: a node of the kernel's full device
// (char 1,7), so that code under test that wrongly replaces what it writes to
// replaces only that node, never the system's /dev/full. A user who may not
// make nodes gets a link to /dev/full, which that user cannot replace either.
// Empty when neither can be had.
QString fullDeviceIn(const QString& folder)
{
    const QString path = folder + "/full";
    if (::mknod(name(path).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0 && ::chmod(name(path).constData(), 0666) == 0)
        return path;
    return ::geteuid() != 0 && QFile::link("/dev/full", path) ? path : QString();
}

// The other end of a FIFO at `path`, until `stop`: whoever opens it for
// reading gets `bytes` (at most PIPE_BUF, so in one piece), and after three
// seconds whoever waits to write into it gets a reader, so that a test that
// wrongly opens it fails instead of hanging. Nothing is done to whatever
// replaced the FIFO.
void feedFifo(std::stop_token stop, const QString& path, const QByteArray& bytes)
{
    // A reader that is gone again raises SIGPIPE, here in this thread only.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    const auto release = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (bool fed = false; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        const bool late = std::chrono::steady_clock::now() >= release;
        if (fed && !late) continue;
        // Without O_NONBLOCK, opening for writing waits for a reader; with it, ENXIO says there is none yet.
        const int fd = ::open(name(path).constData(), (late ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode) && !late) fed = ::write(fd, bytes.constData(), std::size_t(bytes.size())) > 0;
        ::close(fd);
        if (late) return;
    }
}

// A reader of a FIFO, as another user's `cat fifo > stolen` would be, until
// `stop`: fd is the FIFO opened for reading beforehand (so a writer's open
// finds a reader); when it got any bytes, they go to `into` in place of
// what that file held.
void readFifo(std::stop_token stop, int fd, const QString& into)
{
    QByteArray got;
    for (bool last = false; fd >= 0 && !last;) {
        last = stop.stop_requested();
        char block[4096];
        ssize_t n;
        while ((n = ::read(fd, block, sizeof block)) > 0) got.append(block, int(n));
        if (!last) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (fd >= 0) ::close(fd);
    if (!got.isEmpty()) writeFile(into, got);
}

// The messages with their texts cut at the first line end.
std::vector<ShownMessage> firstLines(std::vector<ShownMessage> messages)
{
    for (ShownMessage& m : messages) m.text = m.text.substr(0, m.text.find('\n'));
    return messages;
}

} // namespace

// Folders locked by a test must be opened again, or the scratch folder stays.
void tst_BadFiles::cleanup()
{
    ::umount2(name(at("small")).constData(), MNT_DETACH);
    for (const char* sub : {"", "/locked", "/tmp"}) ::chmod(name(at(sub)).constData(), 0755);
}

// Point lists that old programs and editors really produce, and some that
// only an attacker would: whether the window's open takes the file as a
// coordinate file, the lines the batch (and the command line, in the file's
// own encoding) writes, and whether the run then stops at a failing record.
void tst_BadFiles::everyWayIn_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<int>("count");    // lines written when `lines` is too long to spell; -1: count `lines`
    QTest::addColumn<QByteArray>("warning");  // the command line's, on records converted that are not one a line
    using B = QByteArray;
    const auto add = [](const char* tag, const B& bytes, bool valid, const B& lines, bool stops, int count = -1,
                        int offCount = 0, int offFrom = 1) {
        const B warning = offCount == 0 ? B() : "hattsheet-convert: " + B::fromStdString(windowBook().recordsShifted(offCount, offFrom) + "\n");
        QTest::newRow(tag) << bytes << valid << lines << stops << count << warning;
    };
    const B worked = kWorked + ", 5.000\r\n";
    // NUL is an ordinary byte of a code; inside a number it makes the number text.
    add("NUL byte inside a code", B("P\0" "1, 1000, 2000, 5\r\n", 19), true, B("P\0" "1, ", 5) + worked, false);
    add("NUL byte inside X", B("P1, 10\0" "00, 2000, 5\r\n", 20), false, "", true);
    // Not UTF-8, so Windows-1253: 0xC3 is Gamma; the code keeps its byte.
    add("invalid UTF-8 is read as Windows-1253", "\xC3\x28, 1000, 2000, 5\r\n", true, "\xC3\x28, " + worked, false);
    add("Greek code in Windows-1253", "\xD3\xD4\xC1\xD3\xC7, 1000, 2000, 5\r\n", true, "\xD3\xD4\xC1\xD3\xC7, " + worked,
        false);
    add("Greek code in UTF-8 with a byte-order mark", "\xEF\xBB\xBF\xCE\xA3" "1, 1000, 2000, 5\r\n", true,
        "\xCE\xA3" "1, " + worked, false);
    // The mark is no part of the first code, also when a blank line follows it.
    add("a byte-order mark, then a blank line", "\xEF\xBB\xBF\r\nP1, 1000, 2000, 5\r\n", true, "P1, " + worked, false);
    // Sizes: a 10 MB code, and one line of 1,000,000 fields (250,000 records).
    const B longCode(10 * 1024 * 1024, 'K');
    add("a 10 MB line", longCode + ", 1000, 2000, 5\r\n", true, longCode + ", " + worked, false);
    B millionFields = QByteArray("P, 1000, 2000, 5, ").repeated(250000);
    millionFields.chop(2);
    add("a line of 1,000,000 fields", millionFields, true, "", false, 250000, 250000);
    // Numbers that are not numbers.
    add("1E999 as X", "P1, 1E999, 2000, 5\r\n", false, "", true);
    add("-1E999 as Y after a good record", "P1, 1000, 2000, 5\r\nP2, 0, -1E999, 5\r\n", false, "P1, " + worked, true);
    add("inf spelled as X", "P1, inf, 2000, 5\r\n", false, "", true);
    add("X beyond the series' reach", "P1, 1e300, 2000, 5\r\n", true, "", true);
    // Quotes.
    add("unterminated quote in a code", "\"P1, 1000, 2000, 5\r\n", false, "", true);
    add("a quote at the end of the file", "P1, 1000, 2000, 5\r\n\"", false, "P1, " + worked, true);
    add("quoted code with text after the closing quote", "\"P1\"junk, 1000, 2000, 5\r\n", true, "P1, " + worked, false);
    // Empty fields: an empty X or Y is no 0 (the point would land on the
    // sheet's centre); an empty H is shown as 0.000.
    add("empty H", "B,0,0,\r\n", true, "B, " + kOrigin + ", 0.000\r\n", false);
    add("empty X", "B,0,0,\r\nA,,0,5\r\n", false, "B, " + kOrigin + ", 0.000\r\n", true);
    // Separators only: a spreadsheet's rows left empty, blank lines,
    // dropped like any other.
    add("only commas, one record", ",,,\r\n", true, "", false);
    add("only commas, a record and a half", ",,,,,,", true, "", false);
    add("only line breaks", "\r\n\n", true, "", false);
    add("only spaces and tabs", "   \t  ", true, "", false);
    add("empty file", "", true, "", false);
    // Misaligned but complete, and mixed line ends.
    add("a good line, then three fields and five", "G, 0, 0, 7\r\nA, 1000, 2000\r\n5, B, 0, 0, 7\r\n", true,
        "G, " + kOrigin + ", 7.000\r\nA, " + worked + "B, " + kOrigin + ", 7.000\r\n", false, -1, 2, 2);
    add("CR, LF and CR LF mixed", "A, 1000, 2000, 5\rB, 0, 0, 7\nC, 1000, 2000, 1\r\n", true,
        "A, " + worked + "B, " + kOrigin + ", 7.000\r\nC, " + kWorked + ", 1.000\r\n", false);
    add("no line end after the last record", "A, 1000, 2000, 5", true, "A, " + worked, false);
    // The command line decides the layout from the first MiB: a line past it
    // that does not fit fails there too, and OUTPUT keeps its old bytes.
    add("past the first MiB a line without its height", B("P;1000;2000;5\n").repeated(80000) + "Q;0;0\n", false, "",
        true, 80000);
}

void tst_BadFiles::everyWayIn()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(QByteArray, lines);
    QFETCH(bool, stops);
    QFETCH(int, count);
    QFETCH(QByteArray, warning);
    const QString in = at("list.txt"), out = at("out.txt");
    QVERIFY(writeFile(in, bytes));
    const tx::DecodedText input = tx::decodeFileBytes(bytes.toStdString());
    const bool noList = holdsOnlySpaces(input.utf8);
    const BatchRun batch = batchOf(input.utf8, m_work.places());

    checkOpen(in, valid, noList ? nullptr : &batch.panel2);
    if (QTest::currentTestFailed()) return;

    // The batch appends the lines before the first failing record, then says
    // "Λάθος στον πίνακα!" or that it is done; panel 2 keeps what it held.
    // (Its first line; a second says where and why, or how many records were shifted.)
    const ShownMessage expected = noList  ? ShownMessage{windowTexts().noList, windowTexts().titleWarning, MessageIcon::Critical}
                                  : stops ? ShownMessage{windowTexts().batchFailed, windowTexts().titleWarning, MessageIcon::Critical}
                                          : ShownMessage{windowTexts().batchDone, windowTexts().titleInfo, MessageIcon::Information};
    QCOMPARE(firstLines(batch.messages), std::vector<ShownMessage>{expected});
    if (!noList) {
        // The second line: the count of points converted, or where the list stopped and why.
        const std::string second = batch.messages[0].text.substr(batch.messages[0].text.find('\n') + 1);
        if (!stops) QVERIFY(second.starts_with(windowBook().pointCount(std::count(batch.panel2.begin(), batch.panel2.end(), '\n'))));
        else QVERIFY(second.starts_with("εγγραφή "));
    }
    QVERIFY(!spellsNonFinite(batch.panel2));
    QVERIFY2(pf::testCoordinateFile(batch.panel2), "every appended line reads back as code, X, Y, H");
    if (count >= 0) QCOMPARE(int(std::count(batch.panel2.begin(), batch.panel2.end(), '\n')), count);
    else QCOMPARE(batch.panel2, tx::decodeAs(lines.toStdString(), input.encoding));

    // The command line, from a file and through a pipe: the lines in the
    // file's own encoding, byte for byte the batch's; exit 0, or 1 with
    // "Λάθος στον πίνακα!" and the record's number on stderr. An existing
    // OUTPUT is replaced only by a whole list: on a failing record it keeps
    // its old bytes (under both of its names: it has a second one), while
    // stdout gets the lines before it. Read as the window reads records
    // across lines; without the option such a list fails.
    QVERIFY(writeFile(out, kOldBytes) && ::link(name(out).constData(), name(at("out, again.txt")).constData()) == 0);
    const QStringList across = kDefaultCentres + QStringList{"--records-across-lines"};
    const CliRun fromFile = runConvert(across + QStringList{in, "-o", out});
    const CliRun fromPipe = runConvert(across + QStringList{"-"}, bytes);
    if (!warning.isEmpty()) QCOMPARE(runConvert(kDefaultCentres + QStringList{"-"}, bytes).exitCode, kExitFailed);
    const bool cliStops = stops && !holdsOnlySpaces(bytes.toStdString());
    QCOMPARE(readFile(out), cliStops ? kOldBytes : fromPipe.out);
    QCOMPARE(readFile(at("out, again.txt")), readFile(out));
    const QByteArray record = "εγγραφή " + QByteArray::number((count >= 0 ? count : lines.count("\r\n")) + 1);
    for (const CliRun* r : {&fromFile, &fromPipe}) {
        QVERIFY2(r->ran(), r->err.constData());
        QCOMPARE(r->exitCode, cliStops ? kExitFailed : 0);
        if (cliStops) QVERIFY2(r->err.contains(windowTexts().batchFailed) && r->err.contains(record), r->err.constData());
        else QCOMPARE(r->err, warning);
    }
    if (count < 0) QCOMPARE(fromPipe.out, lines);
    if (!noList) QCOMPARE(tx::decodeAs(fromPipe.out.toStdString(), input.encoding), batch.panel2);
}

// The open loads a valid file without a word and refuses any other with
// "Δεν είναι έγκυρο αρχείο συντεταγμένων", keeping the panel; what it loads
// converts as the file does (to `converted`, when there is a list), and saved and
// opened again reads the same.
void tst_BadFiles::checkOpen(const QString& in, bool valid, const std::string* converted)
{
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, kPrevious);
    dialogs.fileAnswers = {in.toStdString()};
    openIntoPanel(fields, dialogs, Panel::One);
    const std::string loaded = afterPrevious(fields.text(FieldId::File1));
    if (!valid) {
        QCOMPARE(firstLines(dialogs.messages),
                 std::vector<ShownMessage>({{windowTexts().invalidFile, windowTexts().titleWarningPlain, MessageIcon::Critical}}));
        QCOMPARE(loaded, std::string());
    } else {
        // How many points were read, and records across lines counted.
        const auto points = std::count(loaded.begin(), loaded.end(), '\n');
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QVERIFY(dialogs.messages[0].icon == MessageIcon::Information);
        QVERIFY(dialogs.messages[0].text.starts_with(withPointCount(windowTexts().opened, points)));
        dialogs.messages.clear();
        QVERIFY(!spellsNonFinite(loaded));
        QVERIFY2(pf::testCoordinateFile(loaded), "the loaded lines form a valid coordinate file");
        if (converted) QCOMPARE(batchOf(loaded, m_work.places()).panel2, *converted);
        if (points == 0) return;  // an empty panel is not saved (tst_panel_operations)
        FakeFields again;
        again.setText(FieldId::File1, loaded);
        dialogs.fileAnswers = {at("saved.txt").toStdString(), at("saved.txt").toStdString()};
        savePanel(again, dialogs, m_work.places(), Panel::One);
        again.setText(FieldId::File1, "");
        openIntoPanel(again, dialogs, Panel::One);
        QCOMPARE(dialogs.messages.size(), std::size_t(2));
        QCOMPARE(dialogs.messages[0].text, std::string(windowTexts().saved));
        QCOMPARE(again.text(FieldId::File1), loaded);
    }
}

// Files and folders that fight back, met by every way in: at the path the
// user gives (the open and save dialogs, INPUT, -o), and planted by others
// at the by-products' fixed names in the program's folder (TempFile.Dat of
// the save and the batch, TempFeed.Dat of the batch). The rules for files:
// - what cannot be read or written is named in one critical message in the
//   window (the fields untouched) or on stderr with exit 1;
// - a file that held something keeps its bytes; no failure is confirmed as
//   a success; no .hs* temporary file stays beside the target;
// - nothing waits on a FIFO (the window refuses one, the command line reads
//   one like a pipe);
// - a link the user gives is written through, so the file it names changes;
//   a file the user may not write is refused as the shell's ">" would; one
//   that is written keeps its owner, group and mode; a log opened for
//   appending gets the list after what it held;
// - a fixed name is never opened: a link or FIFO there is replaced by a plain
//   file with the list and what a link named stays as it was; a folder there,
//   or no place for the folder, is named in a message, and the save or the
//   batch still does its work.
void tst_BadFiles::hostileFiles_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("fixed");  // the by-product's name the place is planted at; "": the path given
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("keeps");  // the target (for a bad INPUT the OUTPUT, when planted what a link names) keeps its bytes
    QTest::addColumn<int>("reason");  // the errno whose reason a failure's message gives
    using W = Way;
    using P = Place;
    using O = Outcome;
    using hattsheet::platform::kNotRegularFile, hattsheet::platform::kOthersFile, hattsheet::platform::kWouldWait;
    const QString file = "TempFile.Dat", feed = "TempFeed.Dat";
    const struct { const char* tag; Way way; Place place; QString fixed; Outcome outcome; bool keeps; int reason = 0; } rows[] = {
        {"open a folder", W::Open, P::Folder, {}, O::CannotRead, false, EISDIR},
        {"open a FIFO", W::Open, P::Fifo, {}, O::CannotRead, false, hattsheet::platform::kNotRegularFile},
        {"open a file without read permission", W::Open, P::Unreadable, {}, O::CannotRead, false, EACCES},
        {"open a file that does not exist", W::Open, P::Missing, {}, O::CannotRead, false, ENOENT},
        {"save through a symbolic link updates the linked file", W::Save, P::Link, {}, O::Written, false},
        {"save into a folder without write permission", W::Save, P::ReadOnlyFolder, {}, O::CannotWrite, true, EACCES},
        {"save onto a folder", W::Save, P::Folder, {}, O::CannotWrite, false, EISDIR},
        {"save into a folder that does not exist", W::Save, P::MissingFolder, {}, O::CannotWrite, false, ENOENT},
        // The window writes regular files only: a device or FIFO could hang it.
        {"save: chosen file is a link to a full device", W::Save, P::LinkToFullDevice, {}, O::CannotWrite, false,
         hattsheet::platform::kNotRegularFile},
        {"save onto a write-protected file", W::Save, P::WriteProtected, {}, O::CannotWrite, true, EACCES},
        {"save onto another user's file keeps its owner", W::Save, P::OtherOwner, {}, O::Written, false},
        {"save through a dangling link", W::Save, P::DanglingLink, {}, O::Written, false},
        {"save to a Greek name", W::Save, P::GreekName, {}, O::Written, false},
        {"INPUT is a folder, OUTPUT kept", W::Input, P::Folder, {}, O::CannotRead, true, EISDIR},
        {"INPUT is a FIFO with a writer", W::Input, P::Fifo, {}, O::Written, false},
        {"INPUT without read permission, OUTPUT kept", W::Input, P::Unreadable, {}, O::CannotRead, true, EACCES},
        {"INPUT that does not exist, OUTPUT kept", W::Input, P::Missing, {}, O::CannotRead, true, ENOENT},
        {"-o a full device", W::Output, P::FullDevice, {}, O::CannotWrite, false, ENOSPC},
        {"stdout is a full device", W::Output, P::StdoutFull, {}, O::CannotWrite, false, ENOSPC},
        {"-o into a folder without write permission", W::Output, P::ReadOnlyFolder, {}, O::CannotWrite, true, EACCES},
        {"-o through a symbolic link updates the linked file", W::Output, P::Link, {}, O::Written, false},
        {"-o names INPUT itself", W::Output, P::TheInput, {}, O::Written, false},
        {"-o a write-protected file", W::Output, P::WriteProtected, {}, O::CannotWrite, true, EACCES},
        {"-o through a dangling link", W::Output, P::DanglingLink, {}, O::Written, false},
        {"-o a Greek name", W::Output, P::GreekName, {}, O::Written, false},
        {"-o /dev/stdout appends to a log", W::Output, P::DevStdoutAppend, {}, O::Written, false},
        // Another user's link is followed as the kernel would with Debian's
        // protected_symlinks: not from a sticky folder others may write, and
        // a dangling one not from a folder that is not the user's.
        {"-o another user's link in a sticky folder", W::Output, P::OthersLinkInSticky, {}, O::CannotWrite, true, EACCES},
        {"save: another user's link in a sticky folder", W::Save, P::OthersLinkInSticky, {}, O::CannotWrite, true, EACCES},
        {"-o a dangling link in another user's folder", W::Output, P::DanglingInOthersFolder, {}, O::CannotWrite, false,
         EACCES},
        {"save: a dangling link in another user's folder", W::Save, P::DanglingInOthersFolder, {}, O::CannotWrite, false,
         EACCES},
        {"save: a link swapped in while asked is asked about again", W::Save, P::SwappedWhileAsked, {}, O::Declined, true},
        // What the shell's ">" keeps: attributes, and every name of the file.
        {"-o keeps the ACL and extended attributes", W::Output, P::AclAndAttributes, {}, O::Written, false},
        {"save keeps the ACL and extended attributes", W::Save, P::AclAndAttributes, {}, O::Written, false},
        {"-o writes a file of two names in place", W::Output, P::HardLinked, {}, O::Written, false},
        {"save writes a file of two names in place", W::Save, P::HardLinked, {}, O::Written, false},
        {"open a file larger than its reported size", W::Open, P::Growing, {}, O::TooLarge, false},
        {"INPUT is an empty name, OUTPUT kept", W::Input, P::EmptyName, {}, O::Usage, true},
        {"-o an empty name", W::Output, P::EmptyName, {}, O::Usage, false},
        {"save: link to another's file at TempFile.Dat", W::Save, P::Link, file, O::Written, true},
        {"batch: link to another's file at TempFeed.Dat", W::Batch, P::Link, feed, O::Written, true},
        {"batch: link to a full device at TempFile.Dat", W::Batch, P::LinkToFullDevice, file, O::Written, false},
        {"batch: FIFO at TempFeed.Dat", W::Batch, P::Fifo, feed, O::Written, false},
        {"save: FIFO at TempFile.Dat", W::Save, P::Fifo, file, O::Written, false},
        {"batch: folder at TempFeed.Dat", W::Batch, P::Folder, feed, O::Written, false},
        {"save: folder at TempFile.Dat", W::Save, P::Folder, file, O::Written, false},
        {"batch: a file where the program's folder should be", W::Batch, P::NoFolder, feed, O::Written, false},
        {"save: a file where the program's folder should be", W::Save, P::NoFolder, file, O::Written, false},
        // File safety. Another user's FIFO or file in a sticky folder all may
        // write (/tmp) is refused whatever the machine's protected_fifos and
        // protected_regular say, and to root too; the window writes regular
        // files only and never waits.
        {"-o another user's FIFO in a sticky folder, read by them", W::Output, P::OthersFifoInSticky, {}, O::CannotWrite,
         true, kOthersFile},
        {"save: another user's FIFO in a sticky folder", W::Save, P::OthersFifoInSticky, {}, O::CannotWrite, true,
         kNotRegularFile},
        {"-o the user's own FIFO with a reader is written", W::Output, P::OwnFifo, {}, O::Written, false},
        {"save: the user's own FIFO with a reader is refused", W::Save, P::OwnFifo, {}, O::CannotWrite, true,
         kNotRegularFile},
        {"-o another user's file in a sticky folder", W::Output, P::OthersFileInSticky, {}, O::CannotWrite, true,
         kOthersFile},
        {"-o another user's file of two names in a sticky folder", W::Output, P::OthersTwoNamesInSticky, {},
         O::CannotWrite, true, kOthersFile},
        {"save: another user's file of two names in a sticky folder", W::Save, P::OthersTwoNamesInSticky, {},
         O::CannotWrite, true, kOthersFile},
        {"-o a file of two names on a full disk keeps its old bytes", W::Output, P::HardLinkedDiskFull, {},
         O::CannotWrite, true, ENOSPC},
        {"batch: the cache folder is another user's link", W::Batch, P::CacheIsOthersLink, feed, O::Written, true},
        {"save: the cache folder is another user's link", W::Save, P::CacheIsOthersLink, file, O::Written, true},
        {"open a file whose read would wait (/proc/kmsg)", W::Open, P::WaitingRead, {}, O::CannotRead, false,
         kWouldWait},
    };
    for (const auto& r : rows) QTest::newRow(r.tag) << r.way << r.place << r.fixed << r.outcome << r.keeps << r.reason;
}

namespace {

// The row's bytes as they must come out: the panel's text as a save writes
// it, or the command line's conversion of kList.
QByteArray writtenBy(const Scene& s)
{
    return s.window() ? QByteArray("P1, 1000.000, 2000.000, 5.000\r\n") : "P1, " + kWorked + ", 5.000\r\n";
}

std::vector<ShownMessage> expectedMessages(const Scene& s)
{
    std::vector<ShownMessage> expected;
    // A folder planted at a by-product's name fails that file alone; no
    // place for the folder fails both, naming the cache folder tried last.
    std::vector<std::string> byProducts{s.fixed.toStdString()};
    const bool noFolder = s.place == Place::NoFolder || s.place == Place::CacheIsOthersLink;
    if (noFolder && s.way == Way::Batch) byProducts = {kFeedFileName, kTempFileName};
    const std::string tried = s.place == Place::Folder ? s.temp.programDir.string() : s.temp.cacheDir.string();
    const int code = s.place == Place::Folder ? EISDIR : s.place == Place::NoFolder ? ENOTDIR : EACCES;
    if (!s.fixed.isEmpty() && (s.place == Place::Folder || noFolder))
        expected.push_back({cannotWriteByProducts(tried, byProducts, code), windowTexts().titleWarning, MessageIcon::Critical});
    const std::string n = s.named.toStdString();
    if (s.outcome == Outcome::Declined || s.outcome == Outcome::Usage) return expected;
    if (s.outcome == Outcome::TooLarge)
        expected.push_back({tooLargeToOpen(n, kOpenLimitBytes >> 20), windowTexts().titleWarning, MessageIcon::Critical});
    else if (s.outcome != Outcome::Written)
        expected.push_back({s.outcome == Outcome::CannotRead ? windowBook().cannotRead(n, s.reason) : windowBook().cannotWrite(n, s.reason),
                            windowTexts().titleWarning, MessageIcon::Critical});
    else if (s.way == Way::Batch) expected.push_back({withPointCount(windowTexts().batchDone, 1), windowTexts().titleInfo, MessageIcon::Information});
    else if (s.way == Way::Open) expected.push_back({withPointCount(windowTexts().opened, 1), windowTexts().titleInfoPlain, MessageIcon::Information});
    else expected.push_back({windowTexts().saved, windowTexts().titleInfoPlain, MessageIcon::Information});
    return expected;
}

} // namespace

void tst_BadFiles::hostileFiles()
{
    QFETCH(Way, way);
    QFETCH(Place, place);
    QFETCH(QString, fixed);
    QFETCH(Outcome, outcome);
    QFETCH(bool, keeps);
    QFETCH(int, reason);
    Scene s{way, place, fixed, outcome, keeps || way == Way::Batch, reason, at("list.txt"), at("out.txt")};
    s.path = fixed.isEmpty() ? at("target.txt") : at("prog/" + fixed);
    s.temp = m_work.places();
    QVERIFY(writeFile(s.in, kList) && writeFile(s.out, kOldBytes));
    s.asNobody = place == Place::Unreadable || place == Place::ReadOnlyFolder || place == Place::WriteProtected;
    if (Undo u; s.asNobody && !actAsNobody(u)) QSKIP("cannot drop to an unprivileged user: file modes do not bind root");
    if (place == Place::OtherOwner && ::geteuid() != 0) QSKIP("only root can write another user's file here");
    const bool others = place == Place::OthersLinkInSticky || place == Place::DanglingInOthersFolder ||
                        place == Place::OthersFifoInSticky || place == Place::OthersFileInSticky ||
                        place == Place::OthersTwoNamesInSticky || place == Place::CacheIsOthersLink;
    if (others && ::geteuid() != 0) QSKIP("only root can plant another user's file or link here");
    if (place == Place::WaitingRead) {
        const int kmsg = ::open("/proc/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (kmsg < 0) QSKIP("/proc/kmsg cannot be read here");
        ::close(kmsg);
    }
    const bool full = place == Place::FullDevice || place == Place::LinkToFullDevice || place == Place::StdoutFull;
    const QString device = full ? fullDeviceIn(m_work.path()) : QString();
    if (full && device.isEmpty()) QSKIP("no full device to be had");
    plant(s, device);
    if (QTest::currentTestFailed() || s.skipped) return;
    struct stat before {};
    const bool held = way != Way::Open && ::stat(name(s.holder).constData(), &before) == 0;
    const QByteArrayList attributes = attributesOf(s.holder);

    // A FIFO gets the list as soon as anyone opens it for reading: the command
    // line then reads it, and a window that wrongly opened it would load it.
    std::optional<std::jthread> fifoEnd;
    if (place == Place::Fifo) fifoEnd.emplace(feedFifo, s.path, kList);
    if (place == Place::OthersFifoInSticky || place == Place::OwnFifo) {
        const int reader = ::open(name(s.path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        fifoEnd.emplace(readFifo, reader, s.holder);
    }
    if (s.window()) runInWindow(s, expectedMessages(s), fifoEnd);
    else runAsProcess(s, expectedMessages(s), fifoEnd);
    if (QTest::currentTestFailed()) return;
    checkFilesAfter(s, held ? &before : nullptr);
    if (held) QCOMPARE(attributesOf(s.holder), attributes);
}

// Makes the row's place at s.path, and says what a message names and where
// the outcome shows.
void tst_BadFiles::plant(Scene& s, const QString& fullDevice)
{
    switch (s.place) {
    case Place::Folder: QVERIFY(QDir().mkdir(s.path)); break;
    case Place::Fifo: QVERIFY(::mkfifo(name(s.path).constData(), 0644) == 0); break;
    case Place::Unreadable: QVERIFY(writeFile(s.path, kList) && QFile::setPermissions(s.path, {})); break;
    case Place::Missing: break;
    case Place::Link:
    case Place::DanglingLink:
        // A rename over a link the user gave would leave the linked file stale.
        QVERIFY(QDir().mkdir(at("shared")));
        s.holder = at(s.place == Place::Link ? "shared/list.txt" : "shared/new.txt");
        QVERIFY((s.place == Place::DanglingLink || writeFile(s.holder, kOldBytes)) && QFile::link(s.holder, s.path));
        break;
    case Place::FullDevice: s.path = fullDevice; break;
    // The save gives its file a ".txt" name, so it meets the device through one.
    case Place::LinkToFullDevice: QVERIFY(QFile::link(fullDevice, s.path)); break;
    case Place::StdoutFull: s.stdoutFile = fullDevice, s.path = "-", s.named = "stdout"; break;
    case Place::ReadOnlyFolder:
        // The temporary file has a place; only the chosen folder is locked.
        QVERIFY(QDir().mkdir(at("locked")) && QDir().mkdir(at("tmp")));
        QVERIFY(writeFile(s.path = at("locked/out.txt"), kOldBytes));
        ::chmod(name(at("tmp")).constData(), 0777);
        ::chmod(name(at("locked")).constData(), 0555);
        s.temp = TempPlaces{at("tmp").toStdString(), {}};
        break;
    case Place::MissingFolder: s.path = at("none/out.txt"); break;
    case Place::TheInput: s.path = s.in; break;
    case Place::WriteProtected:
    case Place::OtherOwner:
        QVERIFY(::chown(name(s.path = s.out).constData(), kNobody, kNobody) == 0 || ::geteuid() != 0);
        QVERIFY(::chmod(name(s.out).constData(), s.place == Place::OtherOwner ? 0640 : 0444) == 0);
        break;
    case Place::GreekName: s.path = at("Σημεία Αθήνας.txt"); break;
    case Place::DevStdoutAppend:
        // No save dialog offers a descriptor; the command line's stdout is a log.
        s.path = "/dev/stdout";
        s.holder = s.out;
        s.inChild = [log = name(s.out)] { ::dup2(::open(log.constData(), O_WRONLY | O_APPEND), 1); };
        break;
    case Place::OthersLinkInSticky:
    case Place::DanglingInOthersFolder:
        // Another user's link: in a sticky folder that all may write, to a
        // file of the user's in a folder only the user may enter; or, in
        // that user's own folder, to a file that does not exist yet.
        QVERIFY(QDir().mkdir(at("private")) && QDir().mkdir(at("planted")));
        ::chmod(name(at("private")).constData(), 0700);
        ::chmod(name(at("planted")).constData(), s.place == Place::OthersLinkInSticky ? 01777 : 0755);
        if (s.place == Place::DanglingInOthersFolder) QVERIFY(::chown(name(at("planted")).constData(), kNobody, kNobody) == 0);
        s.holder = at(s.place == Place::OthersLinkInSticky ? "private/important.txt" : "private/new.txt");
        QVERIFY(s.place == Place::DanglingInOthersFolder || writeFile(s.holder, kOldBytes));
        ::chmod(name(s.holder).constData(), 0640);
        s.path = at("planted/report.txt");
        QVERIFY(QFile::link(s.holder, s.path) && ::lchown(name(s.path).constData(), kNobody, kNobody) == 0);
        break;
    case Place::SwappedWhileAsked:
        // The user's own file when asked; a link to another file by the answer.
        QVERIFY(QDir().mkdir(at("shared")) && writeFile(s.holder = at("shared/list.txt"), kOldBytes));
        QVERIFY(writeFile(s.path, kOldBytes));
        break;
    case Place::AclAndAttributes:
        // group::r-- with mask::rw- (the named user may write); chmod would turn the mask into group write.
        QVERIFY(writeFile(s.path, kOldBytes));
        if (QProcess::execute("setfacl", {"-m", "u:65534:rw,g::r,m::rw", s.path}) != 0 ||
            ::setxattr(name(s.path).constData(), "user.surveyor", "K. P.", 5, 0) != 0) {
            s.skipped = true;
            QSKIP("no ACLs or user attributes on this file system");
        }
        break;
    case Place::HardLinked:
        QVERIFY(writeFile(s.path, kOldBytes) && ::link(name(s.path).constData(), name(at("second name.txt")).constData()) == 0);
        break;
    case Place::Growing: s.path = "/proc/self/pagemap"; break;  // reported as 0 bytes, gigabytes long
    case Place::EmptyName: s.path = ""; break;
    case Place::OthersFifoInSticky:
    case Place::OwnFifo:
    case Place::OthersFileInSticky:
    case Place::OthersTwoNamesInSticky: plantInSticky(s); break;
    case Place::HardLinkedDiskFull: plantOnSmallDisk(s); break;
    case Place::CacheIsOthersLink:
        // $XDG_CACHE_HOME/hattsheet is another user's link to a folder of the
        // user's own that holds other files of the by-products' names.
        QVERIFY(QDir().mkdir(at("xdg")) && QDir().mkdir(at("victim")));
        ::chmod(name(at("victim")).constData(), 0700);
        QVERIFY(writeFile(s.path = s.holder = at("victim/" + s.fixed), kOldBytes));
        QVERIFY(QFile::link(at("victim"), at("xdg/hattsheet")) &&
                ::lchown(name(at("xdg/hattsheet")).constData(), kNobody, kNobody) == 0);
        s.temp = TempPlaces{at("no program folder").toStdString(), at("xdg/hattsheet").toStdString()};
        break;
    case Place::WaitingRead: s.path = "/proc/kmsg"; break;
    case Place::NoFolder:
        // Both places for the by-products lie under a regular file, where no folder can be made.
        QVERIFY(writeFile(at("plain"), kOldBytes));
        s.temp = TempPlaces{at("plain/prog").toStdString(), at("plain/cache").toStdString()};
        s.path = at("plain/prog/" + s.fixed);
        break;
    }
    if (s.named.isEmpty()) s.named = s.path;
    if (s.holder.isEmpty()) s.holder = s.way == Way::Input || !s.fixed.isEmpty() ? s.out : s.path;
    if (!s.asNobody) return;
    // Nobody may enter the scratch folder, read INPUT and write OUTPUT, and
    // runs a copy of the program from there: the build tree may lie under a
    // folder only its owner may enter.
    ::chmod(name(m_work.path()).constData(), 0777);
    if (s.way == Way::Input) ::chmod(name(s.out).constData(), 0666);
    s.inChild = becomeNobody;
}

// A FIFO or file at target.txt; another user's in a sticky folder all may
// write (as /tmp), or the user's own FIFO in the scratch folder. What a
// reader of the FIFO gets goes to stolen.txt, which holds kOldBytes before.
void tst_BadFiles::plantInSticky(Scene& s)
{
    const bool others = s.place != Place::OwnFifo;
    if (others) {
        QVERIFY(QDir().mkdir(at("planted")) && ::chmod(name(at("planted")).constData(), 01777) == 0);
        s.path = at("planted/target.txt");
    }
    if (s.place == Place::OthersFifoInSticky || s.place == Place::OwnFifo) {
        QVERIFY(::mkfifo(name(s.path).constData(), 0622) == 0 && writeFile(s.holder = at("stolen.txt"), kOldBytes));
    } else {
        QVERIFY(writeFile(s.path, kOldBytes) && ::chmod(name(s.path).constData(), 0666) == 0);
    }
    if (s.place == Place::OthersTwoNamesInSticky) QVERIFY(::link(name(s.path).constData(), name(at("planted/.keep")).constData()) == 0);
    if (others) QVERIFY(::chown(name(s.path).constData(), kNobody, kNobody) == 0);
}

// A file of two names on a 1 MiB file system, filled so that the list fits
// beside it once (the temporary file) but not twice: the copy into the old
// file must find no room before it overwrites a byte.
void tst_BadFiles::plantOnSmallDisk(Scene& s)
{
    constexpr int kPage = 4096, kPages = 256;  // tmpfs' size=1m
    constexpr int kListLines = 12000;          // 33 bytes each converted: 97 pages
    constexpr int kFreePages = 145;            // between one and two copies of the list
    QVERIFY(QDir().mkdir(at("small")));
    if (::mount("hattsheet-test", name(at("small")).constData(), "tmpfs", 0, "size=1m") != 0) {
        s.skipped = true;
        QSKIP("no small file system to fill (mounting tmpfs needs root)");
    }
    s.path = at("small/target.txt");
    QVERIFY(writeFile(s.path, kOldBytes) && ::link(name(s.path).constData(), name(at("small/second name.txt")).constData()) == 0);
    QVERIFY(writeFile(at("small/filler"), QByteArray((kPages - 1 - kFreePages) * kPage, 'f')));
    QVERIFY(writeFile(s.in, kList.repeated(kListLines)));
}

void tst_BadFiles::runInWindow(const Scene& s, const std::vector<ShownMessage>& expected,
                               std::optional<std::jthread>& fifoEnd)
{
    FakeFields fields;
    fields.setText(FieldId::File1, writtenBy(s).toStdString());
    fields.setText(FieldId::File2, kPrevious);
    const auto untouched = fields.all();
    FakeDialogs dialogs;
    dialogs.fileAnswers = {s.chosen().toStdString()};
    if (s.place == Place::SwappedWhileAsked) {
        // Yes to the file that was there; asked again about the link, No.
        dialogs.yesNoAnswers = {true, false};
        dialogs.whileAsked = [&s] { QVERIFY(QFile::remove(s.path) && QFile::link(s.holder, s.path)); };
    }
    // A refused file must not close a descriptor it never opened: the
    // window's own stdin and stdout stay open.
    const auto openStandard = [] { return std::pair{::fcntl(0, F_GETFD) >= 0, ::fcntl(1, F_GETFD) >= 0}; };
    const auto standardBefore = openStandard();
    QElapsedTimer clock;
    clock.start();
    {
        Undo nobody;
        if (s.asNobody) QVERIFY(actAsNobody(nobody));
        if (s.way == Way::Open) openIntoPanel(fields, dialogs, Panel::One);
        else if (s.way == Way::Save) savePanel(fields, dialogs, s.temp, Panel::One);
        else convertPointList(fields, dialogs, s.temp);
    }
    QVERIFY2(clock.elapsed() < 2000, "the window must not wait on a FIFO");
    fifoEnd.reset();
    QCOMPARE(dialogs.messages, expected);
    if (s.place == Place::SwappedWhileAsked) QCOMPARE(dialogs.questions.size(), std::size_t(2));
    QCOMPARE(openStandard(), standardBefore);
    if (s.outcome != Outcome::Written) QVERIFY(fields.all() == untouched);
    const std::string converted = s.way == Way::Batch ? "P1, " + kWorked.toStdString() + ", 5.000\r\n" : "";
    QCOMPARE(afterPrevious(fields.text(FieldId::File2)), converted);
}

void tst_BadFiles::runAsProcess(const Scene& s, const std::vector<ShownMessage>& expected,
                                std::optional<std::jthread>& fifoEnd)
{
    const QString program = s.asNobody ? programCopyIn(m_work.path()) : QString(HATTSHEET_CONVERT);
    QVERIFY(!program.isEmpty());
    const QStringList args = s.way == Way::Input ? QStringList{s.path, "-o", s.out} : QStringList{s.in, "-o", s.path};
    const CliRun r = runConvert(kDefaultCentres + args, {}, s.stdoutFile, s.inChild, program);
    fifoEnd.reset();
    QVERIFY2(r.ran(), r.err.constData());
    QCOMPARE(r.exitCode, s.outcome == Outcome::Written ? 0 : s.outcome == Outcome::Usage ? kExitUsage : kExitFailed);
    if (s.outcome == Outcome::Written) QCOMPARE(r.err, QByteArray());
    else if (s.outcome == Outcome::Usage) QVERIFY2(r.err.contains("κενό όνομα") && r.out.isEmpty(), r.err.constData());
    else QVERIFY2(r.err.contains(expected.back().text.c_str()), r.err.constData());
    // The system's reason, after the message, in the run's language (Greek
    // here; English under LANG=C, where it reads as the C library's).
    if (s.reason) {
        QVERIFY2(r.err.contains(". (") && r.err.endsWith(")\n"), r.err.constData());
        const CliRun english = runConvert(kDefaultCentres + args, {}, s.stdoutFile, s.inChild, program, "C");
        const std::string reason = messageBook(Language::English).systemReason(s.reason);
        QVERIFY2(english.err.contains(QByteArray("(") + reason.c_str() + ")"), english.err.constData());
    }
}

// What the files hold afterwards: the list where it was written, the old
// bytes, owner and mode where they were kept, a link the user gave still a
// link, a planted name a plain file, and no temporary file beside the target.
void tst_BadFiles::checkFilesAfter(const Scene& s, const struct stat* before)
{
    const QByteArray written = writtenBy(s);
    if (s.outcome == Outcome::Written && s.way != Way::Batch)
        QCOMPARE(readFile(s.way == Way::Save ? s.chosen() : s.holder),
                 s.place == Place::DevStdoutAppend ? kOldBytes + written : written);
    if (s.keeps) QCOMPARE(readFile(s.holder), kOldBytes);
    if (s.place == Place::DanglingInOthersFolder) QVERIFY(!QFileInfo::exists(s.holder));
    if (s.place == Place::HardLinked) {
        // Both names, one file: the other name sees the new bytes too.
        struct stat one {}, two {};
        QVERIFY(::stat(name(s.path).constData(), &one) == 0 && ::stat(name(at("second name.txt")).constData(), &two) == 0);
        QVERIFY(one.st_ino == two.st_ino && one.st_nlink == 2);
        QCOMPARE(readFile(at("second name.txt")), written);
    }
    if (s.place == Place::HardLinkedDiskFull) QCOMPARE(readFile(at("small/second name.txt")), kOldBytes);
    if (before) {
        struct stat after {};
        QVERIFY(::stat(name(s.holder).constData(), &after) == 0);
        QCOMPARE(after.st_uid, before->st_uid);
        QCOMPARE(after.st_gid, before->st_gid);
        QCOMPARE(after.st_mode, before->st_mode);
    }
    const QFileInfo entry(s.path);
    const bool link = s.place == Place::Link || s.place == Place::LinkToFullDevice || s.place == Place::DanglingLink ||
                      s.place == Place::OthersLinkInSticky || s.place == Place::DanglingInOthersFolder ||
                      s.place == Place::SwappedWhileAsked;
    if (s.fixed.isEmpty() && link) QVERIFY(entry.isSymLink());
    if (!s.fixed.isEmpty() && s.place == Place::Folder) QVERIFY(entry.isDir());
    // A FIFO still there would block this read for good.
    if (!s.fixed.isEmpty() && s.place != Place::Folder && s.place != Place::NoFolder && s.place != Place::CacheIsOthersLink)
        QVERIFY(entry.isFile() && !entry.isSymLink() && readFile(s.path) == written);
    if (s.way != Way::Open && s.way != Way::Input)
        QCOMPARE(leftoversIn(s.path == "-" || s.path.isEmpty() ? m_work.path() : QFileInfo(s.path).path()), QStringList());
}

// Where the by-products go: the program's folder only when it is the user's
// alone and not an installed program's; else the per-user cache folder,
// made 0700.
void tst_BadFiles::privateFolder_data()
{
    QTest::addColumn<int>("progMode");
    QTest::addColumn<bool>("installed");  // prog is bin/ beside share/doc/hattsheet
    QTest::addColumn<bool>("inProg");
    QTest::newRow("own folder, 0755") << 0755 << false << true;
    QTest::newRow("group may write") << 0775 << false << false;
    QTest::newRow("others may write a folder above") << -0777 << false << false;
    QTest::newRow("installed bin folder") << 0755 << true << false;
}

void tst_BadFiles::privateFolder()
{
    QFETCH(int, progMode);
    QFETCH(bool, installed);
    QFETCH(bool, inProg);
    QString prog = at("prog");
    // A negative mode is the mode of a folder above prog: whoever may write
    // there may swap prog for a folder of theirs.
    if (progMode < 0) {
        QVERIFY(QDir().mkpath(prog = at("shared/prog")));
        QVERIFY(::chmod(name(at("shared")).constData(), mode_t(-progMode)) == 0);
        progMode = 0755;
    }
    if (installed) {
        QVERIFY(QDir().mkpath(at("usr/share/doc/hattsheet")) && QDir().mkpath(prog = at("usr/bin")));
    }
    QVERIFY(::chmod(name(prog).constData(), mode_t(progMode)) == 0);
    const TempPlaces places{prog.toStdString(), at("home/.cache/hattsheet").toStdString()};
    const BatchRun run = runBatch("P1, 1000, 2000, 5\r\n", places);
    QCOMPARE(run.messages.size(), std::size_t(1));
    QCOMPARE(run.messages[0].text, withPointCount(windowTexts().batchDone, 1));
    const QString used = inProg ? prog : at("home/.cache/hattsheet");
    for (const char* name : {"TempFeed.Dat", "TempFile.Dat"}) {
        QCOMPARE(readFile(used + "/" + name), QByteArray("P1, 1000, 2000, 5\r\n"));
        QCOMPARE(QFileInfo(prog + "/" + name).exists(), inProg);
    }
    QCOMPARE(QFileInfo::exists(at("home/.cache/hattsheet")), !inProg);
    ::chmod(name(at("shared")).constData(), 0755);
    struct stat st {};
    QVERIFY(::stat(name(used).constData(), &st) == 0);
    if (!inProg) QCOMPARE(st.st_mode & 07777, 0700u);
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
    QVERIFY(writeFile(in, QByteArray("P, 1000, 2000, 5\r\n").repeated(40000)));  // about 1.3 MB of output
    const CliRun clean = runConvert(kDefaultCentres + QStringList{in});
    QCOMPARE(clean.exitCode, 0);
    const qint64 size = clean.out.size();
    const qint64 allowed = limit < 0 ? size + limit : std::min(limit, size);
    const bool fits = allowed >= size;

    QVERIFY(writeFile(out, kOldBytes));
    // SIGXFSZ is left as the shell leaves it: the program ignores it itself,
    // so that the write fails with EFBIG and is reported.
    // In English, where the reason reads as the C library's.
    const CliRun r = runConvert(kDefaultCentres + QStringList{in, "-o", out}, {}, {}, [allowed] {
        const rlimit l{rlim_t(allowed), rlim_t(allowed)};
        ::setrlimit(RLIMIT_FSIZE, &l);
    }, HATTSHEET_CONVERT, "C");
    QVERIFY2(r.ran(), r.err.constData());
    QCOMPARE(r.exitCode, fits ? 0 : kExitFailed);
    QCOMPARE(readFile(out), fits ? clean.out : kOldBytes);
    const std::string message = "cannot write \"" + out.toStdString() + "\". (File too large)";
    if (!fits) QVERIFY2(r.err.contains(message.c_str()), r.err.constData());
    QCOMPARE(leftoversIn(m_work.path()), QStringList());
}

// A run ended from outside while it writes -o: by a signal, in the middle of
// a list that still comes through a pipe (the program has written a part
// of it), or by running out of memory on a 60 MiB record under a memory
// limit (a failure it reports, exit 1). OUTPUT keeps its old bytes and
// nothing else is left in its folder.
void tst_BadFiles::endsEarly_data()
{
    QTest::addColumn<int>("signal");      // sent while the program waits for more input; 0: none
    QTest::addColumn<qint64>("memory");   // the address-space limit (bytes); 0: none
    for (int s : {SIGKILL, SIGTERM, SIGINT, SIGHUP, SIGPIPE}) QTest::addRow("SIG%s", sigabbrev_np(s)) << s << qint64(0);
    QTest::newRow("out of memory") << 0 << qint64(160) * 1024 * 1024;
}

void tst_BadFiles::endsEarly()
{
    QFETCH(int, signal);
    QFETCH(qint64, memory);
    if (memory != 0 && kAddressSanitizer) QSKIP("AddressSanitizer's shadow memory does not fit under a memory limit");
    const QString in = at("list.txt"), out = at("out.txt");
    QVERIFY(writeFile(out, kOldBytes));
    QProcess p;
    p.setChildProcessModifier([memory] {
        if (memory == 0) return;
        const rlimit l{rlim_t(memory), rlim_t(memory)};
        ::setrlimit(RLIMIT_AS, &l);
    });
    if (signal != 0) {
        p.start(HATTSHEET_CONVERT, kDefaultCentres + QStringList{"-", "-o", out});
        QVERIFY(p.waitForStarted());
        p.write(kList.repeated(200000));  // 3.8 MB: three blocks read, converted and written
        QVERIFY(p.waitForBytesWritten(10000));
        // The program holds the temporary file in OUTPUT's folder by now.
        const QString fds = "/proc/" + QString::number(p.processId()) + "/fd";
        QElapsedTimer clock;
        clock.start();
        const auto holdsTemporary = [&] {
            for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System)) {
                char target[4096];
                const ssize_t n = ::readlink(name(fds + "/" + fd).constData(), target, sizeof target);
                const QString file = QFile::decodeName(QByteArray(target, n < 0 ? 0 : int(n)));
                if (file.startsWith(m_work.path() + "/") && !file.endsWith("/out.txt")) return true;
            }
            return false;
        };
        while (!holdsTemporary() && clock.elapsed() < 10000) QTest::qWait(20);
        QVERIFY(holdsTemporary());
        QTest::qWait(200);
        QVERIFY(::kill(pid_t(p.processId()), signal) == 0);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    } else {
        QVERIFY(writeFile(in, "B" + QByteArray(60 << 20, 'x') + ", 0, 0, 7\r\n"));
        p.start(HATTSHEET_CONVERT, kDefaultCentres + QStringList{in, "-o", out});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), kExitFailed);
        // In the run's language: English here, as LANG is not Greek for QProcess's default environment
        // only when the test's own is not.
        QVERIFY2(err.contains("hattsheet-convert: out of memory (Cannot allocate memory)") ||
                     err.contains((std::string("hattsheet-convert: ") + "Η μνήμη δεν επαρκεί για τη μετατροπή." + " (").c_str()),
                 err.constData());
    }
    QCOMPARE(readFile(out), kOldBytes);
    QDir(m_work.path()).remove("list.txt");
    QCOMPARE(QDir(m_work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList({"out.txt", "prog"}));
}

// Another user swaps a folder of OUTPUT's path for a link to a second
// folder and back as fast as the system lets them, while hattsheet-convert
// writes there again and again: each run puts its temporary file, its
// permissions and its rename in one and the same folder, so no temporary
// file stays in either, and an out.txt in either is a whole list.
void tst_BadFiles::folderSwapsDuringWrites()
{
    const QString in = at("list.txt");
    QVERIFY(writeFile(in, kList.repeated(2000)));
    QVERIFY(QDir().mkdir(at("swap")) && QDir().mkdir(at("elsewhere")) && QFile::link(at("elsewhere"), at("swap-link")));
    const QByteArray a = name(at("swap")), b = name(at("swap-link"));
    std::jthread swapper([&](std::stop_token stop) {
        while (!stop.stop_requested()) ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE);
    });
    const CliRun clean = runConvert(kDefaultCentres + QStringList{in});
    int written = 0;
    for (int run = 0; run < 40; ++run) {
        const CliRun r = runConvert(kDefaultCentres + QStringList{in, "-o", at("swap/out.txt")});
        QVERIFY2(r.exitCode == 0 || r.exitCode == kExitFailed, r.err.constData());
        written += r.exitCode == 0;
    }
    swapper.request_stop();
    swapper.join();
    QVERIFY(written > 0);
    for (const QString& folder : {at("swap"), at("swap-link"), at("elsewhere")}) {
        QCOMPARE(leftoversIn(folder), QStringList());
        if (QFileInfo::exists(folder + "/out.txt")) QCOMPARE(readFile(folder + "/out.txt"), clean.out);
    }
}

QTEST_GUILESS_MAIN(tst_BadFiles)
#include "tst_bad_files.moc"
