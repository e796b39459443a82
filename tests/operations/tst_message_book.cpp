// The message books: the texts whose words come from data (errno values,
// the constants that govern a range or a limit) and the rows where the two
// books must agree on what they say. The expected texts are written out here
// by hand; the errno texts are glibc's and those of its Greek translation.

#include "base/platform.h"
#include "geodesy/sheet_catalogue.h"
#include "operations/single_point.h"
#include "operations/message_book.h"
#include "operations/window_texts.h"

#include <QTest>

#include <cerrno>

using namespace hattsheet;
using operations::Language;
using operations::UsageError;

namespace {

const operations::MessageBook& book(bool greek)
{
    return operations::messageBook(greek ? Language::Greek : Language::English);
}

} // namespace

class tst_MessageBook : public QObject {
    Q_OBJECT
private slots:
    void systemReason_data();
    void systemReason();
    void dataInWords_data();
    void dataInWords();
    void everyUsageErrorSaid();
};

// The reason in brackets after a file message, in the message's language:
// the window's Greek messages never carry the C library's English.
void tst_MessageBook::systemReason_data()
{
    QTest::addColumn<int>("err");
    QTest::addColumn<bool>("greek");
    QTest::addColumn<QString>("reason");
    const int reserved = platform::kReservedName;
    QTest::newRow("no such file, in Greek") << ENOENT << true << "Δεν υπάρχει τέτοιο αρχείο ή κατάλογος";
    QTest::newRow("no such file, in English") << ENOENT << false << "No such file or directory";
    QTest::newRow("not a folder, in Greek") << ENOTDIR << true << "Δεν είναι κατάλογος";
    QTest::newRow("disk full, in Greek") << ENOSPC << true << "Δεν υπάρχει χώρος στη συσκευή";
    QTest::newRow("a Windows device name, in Greek") << reserved << true << "όνομα που τα Windows κρατούν για συσκευή";
    QTest::newRow("a Windows device name, in English") << reserved << false << "a name Windows keeps for a device";
    QTest::newRow("a pipe read whole, in Greek") << platform::kNotRegularFile << true
                                                << "δεν είναι κανονικό αρχείο (σωλήνωση, συσκευή ή υποδοχή)";
    QTest::newRow("an errno without a text here, in Greek: its number alone") << 9999 << true << "σφάλμα συστήματος 9999";
    QTest::newRow("an errno without a text here, in English: the C library's")
        << 9999 << false << QString::fromStdString(platform::reasonText(9999));
}

void tst_MessageBook::systemReason()
{
    QFETCH(int, err);
    QFETCH(bool, greek);
    QFETCH(QString, reason);
    QCOMPARE(QString::fromStdString(book(greek).systemReason(err)), reason);
}

// Texts whose numbers come from the constants that govern them (the centre
// range, the record limit, the 1 km margin) or from an errno: each in both
// languages, as the users have read them.
void tst_MessageBook::dataInWords_data()
{
    QTest::addColumn<bool>("greek");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("expected");
    const geodesy::Sheet& avdira = *geodesy::sheetCatalogue().begin();
    // The latitude range and the --sheets label: tst_command_line's rows, byte for byte in both languages.
    for (const bool greek : {true, false}) {
        const auto& b = book(greek);
        const auto row = [greek](const char* name, const std::string& said, const char* el, const char* en) {
            QTest::addRow("%s, %s", name, greek ? "Greek" : "English")
                << greek << QString::fromStdString(said) << QString::fromUtf8(greek ? el : en);
        };
        row("longitude range", b.centreOutOfRange(geodesy::CentreError::Longitude, "--from", "-4.31\n"),
            "Λάθος στο Δλ. (--from -4.31\\n: από -4°30' έως 5° από την Αθήνα)",
            "longitude refused (--from -4.31\\n: from -4°30' to 5° from Athens)");
        pointfile::RecordFault tooLong{pointfile::RecordProblem::TooLong, 'X', {}, 0, 0};
        row("record limit", b.faultReason(tooLong), "η εγγραφή ξεπερνά τα 64 MiB", "the record is longer than 64 MiB");
        row("far outside", b.farOutside(2, avdira),
            "Προειδοποίηση: 2 σημεία απέχουν πάνω από 1 km από το περίγραμμα του φύλλου «Άβδηρα» (ΟΚΧΕ 1)· "
            "εκεί ισχύει το πολυώνυμο άλλου φύλλου.",
            "warning: 2 points lie more than 1 km outside the outline of the sheet \"Άβδηρα\" (agency no. 1); "
            "another sheet's polynomial holds there.");
        row("unreadable with errno", b.cannotRead("a\tb", EACCES),
            "Δεν ήταν δυνατή η ανάγνωση του αρχείου «a\\tb». (Δεν επιτρέπεται η πρόσβαση)",
            "cannot read \"a\\tb\". (Permission denied)");
        row("unwritable without errno", b.cannotWrite("x", 0), "Δεν ήταν δυνατή η εγγραφή του αρχείου «x».",
            "cannot write \"x\".");
        row("help names the margin",
            b.helpText().find(greek ? "πάνω από 1 km έξω" : "more than 1 km outside") != std::string::npos ? "yes" : "no",
            "yes", "yes");
        // The note of a centre typed with 60 minutes or more, at the edges of its rule: 40.6 leaves
        // 60.000000000000142 minutes after the subtraction, 40.59 leaves 58.99999999999977.
        const Language language = greek ? Language::Greek : Language::English;
        row("exactly 60 minutes", operations::minutesNote(" 40.6 ", language),
            "Το 40.6 διαβάστηκε ως 41° 0' (μοίρες.λεπτά, με 60 λεπτά ή περισσότερα)",
            "40.6 was read as 41° 0' (degrees.minutes, with 60 minutes or more)");
        row("a field of 4 MiB by its start", b.faultReason({pointfile::RecordProblem::NotANumber, 'Y', std::string(4 << 20, 'y'), 0, 0}),
            "Υ = «yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy…» δεν είναι αριθμός",
            "Y = \"yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy…\" is not a number");
        row("59 minutes are no note", operations::minutesNote("40.59", language), "", "");
        row("a text without a number is no note", operations::minutesNote("x", language), "", "");
    }
    // The window's own messages quote file names by their start and end.
    QTest::newRow("a long name to replace") << true
        << QString::fromStdString(operations::replaceExisting(std::string(32, 'a') + std::string(70, 'b')))
        << "Το αρχείο «" + QString(32, 'a') + "…" + QString(63, 'b') + "» υπάρχει ήδη. Να αντικατασταθεί;";
}

void tst_MessageBook::dataInWords()
{
    QFETCH(QString, said);
    QFETCH(QString, expected);
    QCOMPARE(said, expected);
}

// A usage error no book words is a blank line on stderr.
void tst_MessageBook::everyUsageErrorSaid()
{
    for (int p = 0; p <= static_cast<int>(UsageError::Problem::Egsa87BothWays); ++p) {
        const UsageError error{static_cast<UsageError::Problem>(p), "--from", "x", "PHI,DL", {}};
        for (const bool greek : {true, false}) {
            QVERIFY2(!book(greek).usageError(error).empty(), qPrintable(QString::number(p)));
        }
    }
}

QTEST_APPLESS_MAIN(tst_MessageBook)
#include "tst_message_book.moc"
