// The lists of hattsheet-convert --fit in every layout the conversions read.
// - Layouts: the same seven common points written in each layout (and the
//   same points split into FROM and TO lists) give the report of the plain
//   comma list byte for byte; its residuals are checked against the exact
//   rational solution in tst_plane_fit_cli.cpp.
// - A bad line is named by file, record and input line (blank, separator-only
//   and comment lines counted), as a conversion list names its record.
// - Refusals at the edges: too few points for each model, collinear and
//   coincident points, a code in one list only, a code twice (with those of
//   tst_plane_fit_cli.cpp).
// - A second-order fit saved and applied gives its points back.

#include "geodesy/egsa87_polynomial.h"
#include "geodesy/sheet_catalogue.h"
#include "support/cli_run.h"

#include <QTemporaryDir>
#include <QTest>

using hattsheet::testing::runConvert;

namespace {

struct Point {
    const char* code;  // UTF-8
    const char* x;
    const char* y;
    const char* X;
    const char* Y;
};
const Point kPoints[] = {
    {"Σ1", "1000.000", "2000.000", "480512.345", "4201003.210"},
    {"Σ2", "5321.120", "1850.440", "484850.101", "4200950.876"},
    {"Σ3", "4900.870", "7010.330", "484337.882", "4206090.414"},
    {"Σ4", "820.450", "6540.990", "480251.950", "4205540.002"},
    {"Σ5", "3050.600", "4410.250", "482517.318", "4203453.777"},
    {"Σ6", "2210.000", "9020.100", "481587.640", "4208041.020"},
    {"Σ7", "6800.300", "4300.700", "486378.905", "4203443.118"},
};

// How a list is written: the separator, a decimal comma, quoted fields,
// the line end, and what goes before and between the points.
struct Style {
    QByteArray separator = ",";
    bool decimalComma = false;
    bool quoted = false;
    QByteArray lineEnd = "\n";
    QByteArray head;           // before the first point (a byte-order mark, a comment)
    bool header = false;       // a header line of the list's fields after head
    QByteArray between;        // after every point's line
    QByteArray trailer;        // at the end of every point's line, before its end
    bool windows1253 = false;  // the codes in Windows-1253
};

QByteArray number(const char* text, bool decimalComma)
{
    QByteArray n(text);
    if (decimalComma) n.replace('.', ',');
    return n;
}

QByteArray code(const char* utf8, const Style& s)
{
    // Σ is 0xD3 in Windows-1253 (a header's Κωδικός 0xCA 0xF9 0xE4 0xE9 0xEA 0xFC 0xF2); the digits stay.
    QByteArray c = QByteArray(utf8);
    if (s.windows1253) c.replace("Σ", "\xD3").replace("Κωδικός", "\xCA\xF9\xE4\xE9\xEA\xFC\xF2");
    return s.quoted ? '"' + c + '"' : c;
}

// fields: 'c' code, 'x' 'y' 'X' 'Y' the coordinates, 'h' a height.
QByteArray listOf(const QByteArray& fields, const Style& s)
{
    QByteArray out = s.head;
    if (s.header) {
        QList<QByteArray> names;
        for (const char f : fields) names << (f == 'c' ? code("Κωδικός", s) : f == 'h' ? QByteArray("Η") : QByteArray(1, f));
        out += names.join(s.separator) + s.lineEnd;
    }
    for (const Point& p : kPoints) {
        QList<QByteArray> line;
        for (const char f : fields) {
            const char* value = f == 'c' ? nullptr : f == 'x' ? p.x : f == 'y' ? p.y : f == 'X' ? p.X : f == 'Y' ? p.Y : "12.5";
            line << (value ? number(value, s.decimalComma) : code(p.code, s));
        }
        out += line.join(s.separator) + s.trailer + s.lineEnd + s.between;
    }
    return out;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return f.fileName();
}

hattsheet::testing::CliRun fit(const QStringList& args)
{
    return runConvert(QStringList{"--fit", "affine"} + args, {}, {}, {}, HATTSHEET_CONVERT, "C");
}

Style semicolonExcel()
{
    Style s;
    s.separator = ";";
    s.decimalComma = true;
    s.lineEnd = "\r\n";
    s.head = "\xEF\xBB\xBF";
    s.header = true;
    s.between = ";;;;\r\n";
    return s;
}

} // namespace

class tst_FitLists : public QObject {
    Q_OBJECT
private slots:
    void sameReportInEveryLayout_data();
    void sameReportInEveryLayout();
    void badLinesNamed_data();
    void badLinesNamed();
    void refusals_data();
    void refusals();
    void secondOrderSavedAndApplied();
    void secondOrderAsTheSheetsTable();
};

// Each row writes the common list (or FROM and TO) so; the report must be
// that of the plain comma list.
void tst_FitLists::sameReportInEveryLayout_data()
{
    QTest::addColumn<QByteArray>("common");  // empty: FROM and TO below
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    Style crlf, tab, spaces, quoted, cr, greek, blanks, excelLonger = semicolonExcel();
    excelLonger.trailer = ";;";  // a row elsewhere had two more cells
    crlf.lineEnd = "\r\n";
    tab.separator = "\t", tab.decimalComma = true;
    spaces.separator = "   ", spaces.header = true;
    quoted.quoted = true, quoted.head = "# surveyed 2026\n";
    cr.lineEnd = "\r";
    greek.windows1253 = true, greek.separator = ";", greek.header = true;
    blanks.between = "\n  \n,,,,\n# a comment\n";
    QTest::newRow("CR LF") << listOf("cxyXY", crlf) << QByteArray() << QByteArray();
    QTest::newRow("Excel: ;, decimal commas, BOM, header, ;;;; rows") << listOf("cxyXY", semicolonExcel()) << QByteArray() << QByteArray();
    QTest::newRow("Excel: empty cells after every row") << listOf("cxyXY", excelLonger) << QByteArray() << QByteArray();
    QTest::newRow("tabs, decimal commas") << listOf("cxyXY", tab) << QByteArray() << QByteArray();
    QTest::newRow("runs of spaces, a header") << listOf("cxyXY", spaces) << QByteArray() << QByteArray();
    QTest::newRow("quoted fields, a comment first") << listOf("cxyXY", quoted) << QByteArray() << QByteArray();
    QTest::newRow("CR line ends") << listOf("cxyXY", cr) << QByteArray() << QByteArray();
    QTest::newRow("Windows-1253 codes and header") << listOf("cxyXY", greek) << QByteArray() << QByteArray();
    QTest::newRow("blank, separator-only and comment lines") << listOf("cxyXY", blanks) << QByteArray() << QByteArray();
    QTest::newRow("no final line end") << listOf("cxyXY", Style()).chopped(1) << QByteArray() << QByteArray();
    QTest::newRow("FROM and TO: comma lists") << QByteArray() << listOf("cxy", Style()) << listOf("cXY", Style());
    QTest::newRow("FROM with heights, TO in Excel's layout") << QByteArray() << listOf("cxyh", crlf)
                                                            << listOf("cXYh", semicolonExcel());
    QTest::newRow("FROM in Windows-1253, TO in UTF-8 with tabs") << QByteArray() << listOf("cxy", greek)
                                                                << listOf("cXY", tab);
    QTest::newRow("FROM in spaces with heights, TO quoted") << QByteArray() << listOf("cxyh", spaces)
                                                           << listOf("cXY", quoted);
}

void tst_FitLists::sameReportInEveryLayout()
{
    QFETCH(QByteArray, common);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QTemporaryDir dir;
    const auto reference = fit({write(dir, "plain.csv", listOf("cxyXY", Style()))});
    QCOMPARE(reference.exitCode, 0);
    QVERIFY(reference.out.startsWith("Σ1 "));
    const auto run = common.isEmpty() ? fit({"--common", write(dir, "from.txt", from), write(dir, "to.txt", to)})
                                      : fit({write(dir, "common.txt", common)});
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, reference.out);
}

// The messages name the file, the record and its input line.
void tst_FitLists::badLinesNamed_data()
{
    QTest::addColumn<QString>("side");        // the bad list: common, from or to
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QByteArray>("message");  // LIST: the bad file's path
    const QByteArray good = "A,0,0,10,10\nB,100,0,110,10\nC,0,100,10,110\n";
    QTest::newRow("x not a number after blank lines") << "common" << QByteArray(good + "\n\nD,1O0,100,110,110\n")
        << QByteArray("error in the list: \"LIST\", record 4, line 6: x = \"1O0\" is not a number");
    QTest::newRow("Y empty, ; with a header") << "common" << QByteArray("code;x;y;X;Y\nA;0;0;10;10\nB;100;0;110;\n")
        << QByteArray("\"LIST\", record 2, line 3: Y is empty");
    QTest::newRow("a line of four fields after a comment") << "common" << QByteArray("# field book\n" + good + "D,1,2,3\n")
        << QByteArray("\"LIST\", record 4, line 5: 4 fields instead of 5");
    QTest::newRow("a thousands separator") << "common" << QByteArray("A;0;0;10;10\nB;100;0;4.201.003,5;10\n")
        << QByteArray("\"LIST\", record 2, line 2: X = \"4.201.003,5\"");
    QTest::newRow("FROM: heights on some lines only") << "from" << QByteArray("A,0,0,1\nB,100,0\nC,0,100,3\n")
        << QByteArray("\"LIST\", record 2, line 2: the record does not sit");
    QTest::newRow("TO: Y not a number, CR LF") << "to" << QByteArray("A;1;1\r\n\r\nB;2;2\r\nC;3;y3\r\n")
        << QByteArray("\"LIST\", record 3, line 4: Y = \"y3\" is not");
}

void tst_FitLists::badLinesNamed()
{
    QFETCH(QString, side);
    QFETCH(QByteArray, bad);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    const QString badList = write(dir, "bad.txt", bad), goodList = write(dir, "good.txt", "A,0,0\nB,100,0\nC,0,100\n");
    const auto run = side == "common" ? fit({badList})
                                      : fit({"--common", side == "from" ? badList : goodList, side == "to" ? badList : goodList});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    const QByteArray expected = message.replace("LIST", badList.toUtf8());
    QVERIFY2(run.err.contains(expected), run.err.constData());
}

void tst_FitLists::refusals_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("common");  // empty: --common FROM TO
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray five = "A,0,0,0,0\nB,100,0,100,0\nC,0,100,0,100\nD,100,100,100,100\nE,50,30,50,30\n";
    QTest::newRow("similarity from one point") << "similarity" << QByteArray("A,0,0,5,5\n") << QByteArray() << QByteArray()
        << 2 << QByteArray("similarity needs at least 2 common points");
    QTest::newRow("poly2 from five points") << "poly2" << five << QByteArray() << QByteArray() << 2
        << QByteArray("poly2 needs at least 6 common points");
    QTest::newRow("similarity on one spot") << "similarity" << QByteArray("A,5,5,0,0\nB,5,5,1,1\n") << QByteArray()
        << QByteArray() << 2 << QByteArray("cannot fix a similarity");
    QTest::newRow("poly2 on a line") << "poly2" << QByteArray("A,0,0,0,0\nB,10,10,1,1\nC,20,20,2,2\nD,30,30,3,3\n"
                                                            "E,45,45,4,4\nF,70,70,7,7\n")
        << QByteArray() << QByteArray() << 2 << QByteArray("cannot fix a poly2");
    QTest::newRow("a code only in TO") << "similarity" << QByteArray() << QByteArray("A,0,0\nB,1,1\n")
        << QByteArray("A,0,0\nB,1,1\nZ,2,2\n") << 1 << QByteArray("only in TO_LIST: Z");
    QTest::newRow("a code only in FROM") << "similarity" << QByteArray() << QByteArray("A,0,0\nQ,1,1\nB,1,1\n")
        << QByteArray("A,0,0\nB,1,1\n") << 1 << QByteArray("only in FROM_LIST: Q");
    QTest::newRow("a code twice in a common list, ; layout") << "similarity" << QByteArray("A;0;0;0;0\nB;1;0;1;0\nA;2;2;2;2\n")
        << QByteArray() << QByteArray() << 1 << QByteArray("code A is given twice");
    QTest::newRow("a code twice in TO") << "similarity" << QByteArray() << QByteArray("A,0,0\nB,1,1\n")
        << QByteArray("A,0,0\nB,1,1\nB,2,2\n") << 1 << QByteArray("code B is given twice");
}

void tst_FitLists::refusals()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, common);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    const QStringList lists = common.isEmpty()
                                  ? QStringList{"--common", write(dir, "from.csv", from), write(dir, "to.csv", to)}
                                  : QStringList{write(dir, "common.csv", common)};
    const auto run = runConvert(QStringList{"--fit", model} + lists, {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

// Saved with --save-fit and applied with --apply-fit, a second-order fit
// carries each of its points to where the report puts it: the given target
// less the residual, to the 1 mm of the report's digits.
void tst_FitLists::secondOrderSavedAndApplied()
{
    QTemporaryDir dir;
    const QString saved = dir.filePath("p2.fit");
    const auto run = runConvert({"--fit", "poly2", write(dir, "c.csv", listOf("cxyXY", semicolonExcel())), "--save-fit",
                                 saved}, {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> report = run.out.split('\n');
    for (std::size_t i = 0; i < std::size(kPoints); ++i) {
        const Point& p = kPoints[i];
        const auto applied = runConvert({"--apply-fit", saved, "--point", QString("%1,%2").arg(p.x, p.y)});
        QCOMPARE(applied.exitCode, 0);
        const QList<QByteArray> xy = applied.out.split('\n');  // "Χ = …", "Υ = …"
        const QList<QByteArray> residual = report[int(i)].split(' ');  // code dx dy length
        QCOMPARE(residual[0], QByteArray(p.code));
        const double X = xy[0].mid(xy[0].indexOf("= ") + 2).toDouble(), Y = xy[1].mid(xy[1].indexOf("= ") + 2).toDouble();
        QVERIFY2(std::abs(QByteArray(p.X).toDouble() - residual[1].toDouble() - X) <= 0.0011, xy[0].constData());
        QVERIFY2(std::abs(QByteArray(p.Y).toDouble() - residual[2].toDouble() - Y) <= 0.0011, xy[1].constData());
    }
}

// Points of sheet 1 (Άβδηρα) carried by its polynomial and written to the
// micrometre: the report's A0..A5, B0..B5 are the table's, each to 1e-5 m
// of effect at the farthest point (the list's rounding, 5e-7 m, spread by
// the fit; tst_plane_fit.cpp checks the same without a list to 1e-6 m).
void tst_FitLists::secondOrderAsTheSheetsTable()
{
    const hattsheet::geodesy::Sheet& sheet = *hattsheet::geodesy::sheetById(1);
    const hattsheet::geodesy::Egsa87Polynomial polynomial(sheet);
    QByteArray list;
    const double reach = 15000.0;  // metres: the sheet's half-width, about
    for (int i = -2; i <= 2; ++i) {
        for (int j = -2; j <= 2; ++j) {
            const double x = reach * i / 2.0 - 11000.0, y = reach * j / 2.0 + 14000.0;
            const auto e = polynomial.forward({x, y});
            list += QString("G%1%2,%3,%4,%5,%6\n").arg(i + 2).arg(j + 2).arg(x, 0, 'f', 6).arg(y, 0, 'f', 6)
                        .arg(e.e, 0, 'f', 6).arg(e.n, 0, 'f', 6).toUtf8();
        }
    }
    QTemporaryDir dir;
    const auto run = runConvert({"--fit", "poly2", write(dir, "sheet1.csv", list)}, {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, 0);
    const double far[6] = {1.0, 26000.0, 29000.0, 26000.0 * 26000.0, 29000.0 * 29000.0, 26000.0 * 29000.0};
    for (const auto& [letter, table] : {std::pair{'A', &sheet.a}, std::pair{'B', &sheet.b}}) {
        for (int k = 0; k < 6; ++k) {
            const QByteArray name = QByteArray(1, letter) + QByteArray::number(k) + " = ";
            const qsizetype at = run.out.indexOf("\n" + name);
            QVERIFY2(at >= 0, name.constData());
            const double shown = run.out.mid(at + 1 + name.size()).split('\n')[0].toDouble();
            QVERIFY2(std::abs(shown - (*table)[k]) * far[k] < 1e-5, (name + QByteArray::number(shown)).constData());
        }
    }
}

QTEST_APPLESS_MAIN(tst_FitLists)
#include "tst_fit_lists.moc"
