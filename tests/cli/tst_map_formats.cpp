// Lists written as map files (--format kml|geojson|dxf|gpx). GDAL's
// ogrinfo, no part of the program, reads every file written; what it reads
// must agree with the program's own comma lists: the target's coordinates
// to 1 mm, WGS84 to 1e-8 degree against the list carried on to wgs84.

#include "pointfile/map_formats.h"
#include "support/cli_run.h"
#include "support/hepos_data.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using hattsheet::testing::CliRun;
using hattsheet::testing::runConvert;
namespace pf = hattsheet::pointfile;

namespace {

constexpr double kMetreTolerance = 1e-3;   // the lists' "0.000" rounds to 0.5 mm
constexpr double kDegreeTolerance = 1e-8;  // 9 decimals round to 5e-10 degree

// ΕΓΣΑ87 around Athens (the sheet Αθήναι-Ελευσίς), Greek codes with what
// XML and JSON escape; Hatt points near the centre 40.51,-0.51.
const QByteArray kEgsa87List = "Α1,476000,4206000,120\n\"Σ&<2> x\",478500.25,4203000,0\nΩ'3\\%,471000,4210000.5,35.5\n";
const QByteArray kHattList = "Α1,1000,2000,10\nB2,0,0,0\nΓ3,-5000,3000,5.5\n";

struct Feature {
    QMap<QString, QString> fields;
    QList<double> xyz;
};

// ogrinfo's features of every layer (a GPX file's routes and tracks have none).
QList<Feature> readWithGdal(const QString& path)
{
    QProcess p;
    p.start("ogrinfo", {"-ro", "-al", "-q", path});
    p.waitForFinished(60000);
    QList<Feature> features;
    static const QRegularExpression field("^  (\\S+) \\(\\w+\\) = (.*)$"), point("^  POINT(?: Z)? \\(([^)]*)\\)$");
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("OGRFeature(")) features.append(Feature{});
        if (features.isEmpty()) continue;
        if (const auto m = field.match(line); m.hasMatch()) features.last().fields[m.captured(1)] = m.captured(2);
        if (const auto m = point.match(line); m.hasMatch()) {
            for (const QString& n : m.captured(1).split(' ')) features.last().xyz.append(n.toDouble());
        }
    }
    return features;
}

// A comma list's records: the code, and its three numbers.
QList<QPair<QString, QList<double>>> records(const QByteArray& list)
{
    QList<QPair<QString, QList<double>>> result;
    for (const QByteArray& line : list.split('\n')) {
        const QList<QByteArray> f = line.split(',');
        if (f.size() < 4) continue;
        QString code = QString::fromUtf8(f[0]).remove('"');
        result.append({code, {f[1].trimmed().toDouble(), f[2].trimmed().toDouble(), f[3].trimmed().toDouble()}});
    }
    return result;
}

// The numbers after " = " of KML's description and GPX's desc.
QList<double> describedNumbers(const QString& text)
{
    static const QRegularExpression number(" = (-?[0-9.]+)");
    QList<double> numbers;
    for (auto it = number.globalMatch(text); it.hasNext();) numbers.append(it.next().captured(1).toDouble());
    return numbers;
}

bool near(double a, double b, double tolerance) { return std::abs(a - b) <= tolerance; }

} // namespace

class tst_MapFormats : public QObject {
    Q_OBJECT
private slots:
    void gdalReadsEveryFile_data();
    void gdalReadsEveryFile();
    void refusals_data();
    void refusals();
    void formatChosen_data();
    void formatChosen();
    void streamsAcrossBlocks_data();
    void streamsAcrossBlocks();
    void codes_data();
    void codes();
};

void tst_MapFormats::gdalReadsEveryFile_data()
{
    QTest::addColumn<QStringList>("route");  // --from, --to
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("format");
    const struct {
        const char* name;
        QStringList route;
        QByteArray list;
    } routes[] = {
        {"egsa87 to tm3-central", {"egsa87", "tm3-central"}, kEgsa87List},
        {"egsa87 to a sheet's Hatt", {"egsa87", "Αθήναι-Ελευσίς"}, kEgsa87List},
        {"egsa87 to wgs84", {"egsa87", "wgs84"}, kEgsa87List},
        {"egsa87 to htrs07 (grid)", {"egsa87", "htrs07"}, kEgsa87List},
        {"egsa87 to tm07 (grid)", {"egsa87", "tm07"}, kEgsa87List},
        {"Hatt to Hatt (the target's polynomial)", {"40.51,-0.51", "40.45,-0.45"}, kHattList},
        {"Hatt to egsa87", {"40.45,-0.45", "egsa87"}, kHattList},
    };
    for (const auto& r : routes) {
        for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
            const bool geographic = r.route[1] == "wgs84" || r.route[1] == "htrs07";
            if (QString(format) != "dxf" || !geographic) QTest::addRow("%s, %s", r.name, format) << r.route << r.list << format;
        }
    }
}

void tst_MapFormats::gdalReadsEveryFile()
{
    QFETCH(QStringList, route);
    QFETCH(QByteArray, list);
    QFETCH(QString, format);
    if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("no ogrinfo (gdal-bin)");
    const bool grid = route[1].startsWith("tm07") || route[1] == "htrs07";
    if (grid && hattsheet::testing::heposDataFolder().isEmpty()) QSKIP("no HEPOS grid");
    const QStringList gridArgs = grid ? QStringList{"--hepos-grid", hattsheet::testing::heposDataFolder()} : QStringList();
    const QStringList fromTo{"--from", route[0], "--to", route[1]};
    QTemporaryDir dir;
    const QString file = dir.filePath("points." + format);
    const CliRun run = runConvert(fromTo + gridArgs + QStringList{"--format", format, "-", "-o", file}, list);
    QVERIFY2(run.exitCode == 0, run.err);
    const QByteArray targetList = runConvert(fromTo + gridArgs, list).out;
    const auto expected = records(targetList);
    const auto places = route[1] == "wgs84" ? expected
                                            : records(runConvert(QStringList{"--from", route[1], "--to", "wgs84"} + gridArgs, targetList).out);
    QCOMPARE(places.size(), 3);
    QCOMPARE(expected.size(), 3);
    const QList<Feature> read = readWithGdal(file);
    const bool dxf = format == "dxf";
    QCOMPARE(read.size(), dxf ? 6 : 3);
    const double tolerance = route[1] == "wgs84" || route[1] == "htrs07" ? kDegreeTolerance : kMetreTolerance;
    for (int i = 0; i < 3; ++i) {
        const auto& [code, target] = expected[i];
        // DXF: a POINT at E, N, H, then the TEXT of its code.
        const Feature& f = read[dxf ? 2 * i : i];
        const QString name = dxf ? read[2 * i + 1].fields["Text"]
                                 : f.fields.value("Name", f.fields.value("name", f.fields.value("code")));
        QCOMPARE(name, code);
        QList<double> own = dxf ? f.xyz : describedNumbers(f.fields.value("description", f.fields.value("desc")));
        if (format == "geojson") {
            const QString a = f.fields.contains("phi") ? "phi" : f.fields.contains("X") ? "X" : "E";
            const QString b = a == "phi" ? "lambda" : a == "X" ? "Y" : "N";
            own = {f.fields[a].toDouble(), f.fields[b].toDouble(), f.fields["h"].toDouble()};
        }
        QCOMPARE(own.size(), 3);
        QVERIFY(near(own[0], target[0], tolerance) && near(own[1], target[1], tolerance));
        QVERIFY(near(own[2], target[2], kMetreTolerance));
        if (dxf) continue;
        QVERIFY2(near(f.xyz[0], places[i].second[1], kDegreeTolerance), qPrintable(QString::number(f.xyz[0], 'f', 10)));
        QVERIFY(near(f.xyz[1], places[i].second[0], kDegreeTolerance));
        QVERIFY(near(format == "gpx" ? f.fields["ele"].toDouble() : f.xyz.value(2), target[2], kMetreTolerance));
    }
}

// Refused, or a list that fails: nothing on stdout, no map file written,
// an existing one as it was; the exit status and a word of the message.
void tst_MapFormats::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<bool>("existing");  // a file at -o before the run
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const QStringList egsa87{"--from", "egsa87", "--to"};
    QTest::newRow("DXF of a geographic target") << egsa87 + QStringList{"wgs84", "--format", "dxf"} << kEgsa87List
                                                << false << 64 << "DXF";
    QTest::newRow("DXF by the extension, geographic target") << egsa87 + QStringList{"egsa87-geo", "-o", "OUT.DXF"}
                                                             << kEgsa87List << true << 64 << "DXF";
    QTest::newRow("unknown format") << egsa87 + QStringList{"tm07", "--format", "shp"} << kEgsa87List << false << 64 << "shp";
    QTest::newRow("a map format with --point") << egsa87 + QStringList{"wgs84", "--format", "kml", "--point", "476000,4206000"}
                                               << QByteArray() << false << 64 << "--point";
    QTest::newRow("a map file with --keep-layout") << egsa87 + QStringList{"tm3-west", "--keep-layout", "-o", "a.kml"}
                                                   << kEgsa87List << false << 64 << "--keep-layout";
    QTest::newRow("--format with --systems") << QStringList{"--systems", "--format", "kml"} << QByteArray() << false << 64
                                             << "--systems";
    QTest::newRow("a TM07 target's place without the grid")
        << egsa87 + QStringList{"tm07", "--format", "kml", "--hepos-grid", "/nonexistent"} << kEgsa87List << false << 2
        << "www.hepos.gr";
    QTest::newRow("a Hatt target without a sheet's polynomial")
        << QStringList{"--from", "40.45,-0.45", "--to", "40.51,-0.51", "--format", "gpx"} << kHattList << false << 2 << "40.51";
    for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
        const QStringList args = egsa87 + QStringList{"tm3-east", "-o", QString("a.") + format};
        QTest::addRow("%s, a record that is no number", format) << args << kEgsa87List + "X9,abc,4206000,1\n" << false << 1 << "4";
        QTest::addRow("%s, a point refused, over a file", format) << args << kEgsa87List + "X9,1e9,4206000,1\n" << true << 1 << "4";
    }
}

void tst_MapFormats::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, list);
    QFETCH(bool, existing);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const int out = args.indexOf("-o");
    if (out >= 0) args[out + 1] = dir.filePath(args[out + 1]);
    QFile file(out >= 0 ? args[out + 1] : QString());
    if (existing) QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept\n") == 5 && (file.close(), true));
    const CliRun run = runConvert(args, list);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), existing ? 1 : 0);
    if (existing) QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "kept\n");
}

// --format, else the extension of -o (any case), else today's comma lines.
void tst_MapFormats::formatChosen_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("begins");
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const QByteArray csv = "Α1, 203406.382, 441084.274, 0.000\r\n";
    QTest::newRow(".kml") << QStringList{"-o", "a.kml"} << xml + "<kml xmlns=\"http://www.opengis.net/kml/2.2\">";
    QTest::newRow(".KML in capitals") << QStringList{"-o", "a.KML"} << xml + "<kml ";
    QTest::newRow(".geojson") << QStringList{"-o", "a.geojson"} << QByteArray("{\"type\": \"FeatureCollection\"");
    QTest::newRow(".gpx") << QStringList{"-o", "a.gpx"} << xml + "<gpx version=\"1.1\"";
    QTest::newRow(".dxf") << QStringList{"-o", "a.dxf"} << QByteArray("0\r\nSECTION\r\n2\r\nHEADER\r\n");
    QTest::newRow(".txt: comma lines") << QStringList{"-o", "a.txt"} << csv;
    QTest::newRow("a dot in the folder only") << QStringList{"-o", "d.kml/a"} << csv;
    QTest::newRow("--format csv over .kml") << QStringList{"--format", "csv", "-o", "a.kml"} << csv;
    QTest::newRow("--format csv to stdout") << QStringList{"--format", "csv"} << csv;
    QTest::newRow("--format GPX to stdout") << QStringList{"--format", "GPX"} << xml + "<gpx ";
}

void tst_MapFormats::formatChosen()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, begins);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("d.kml"));
    const int out = args.indexOf("-o");
    if (out >= 0) args[out + 1] = dir.filePath(args[out + 1]);
    const CliRun run = runConvert(QStringList{"--from", "egsa87", "--to", "tm3-central"} + args, "Α1,478500.25,4203000,0\n");
    QVERIFY2(run.exitCode == 0, run.err);
    QFile f(out >= 0 ? args[out + 1] : QString());
    const QByteArray written = out >= 0 && f.open(QIODevice::ReadOnly) ? f.readAll() : run.out;
    QVERIFY2(written.startsWith(begins), written.left(80));
}

// Many blocks and both threads: the header once, every point once and in
// order, the footer once; a list of no point is the header and the footer.
void tst_MapFormats::streamsAcrossBlocks_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("points");
    for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
        QTest::addRow("%s, 60000 points", format) << format << 60000;
        QTest::addRow("%s, no point", format) << format << 0;
    }
}

void tst_MapFormats::streamsAcrossBlocks()
{
    QFETCH(QString, format);
    QFETCH(int, points);
    if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("no ogrinfo (gdal-bin)");
    QByteArray list;
    for (int i = 0; i < points; ++i) list += QString("P%1,%2,%3,1\n").arg(i).arg(470000 + i % 1000).arg(4200000 + i / 1000).toUtf8();
    QTemporaryDir dir;
    const QString file = dir.filePath("many." + format);
    const CliRun run = runConvert({"--from", "egsa87", "--to", "tm3-central", "-", "-o", file}, list);
    QVERIFY2(run.exitCode == 0, run.err);
    QProcess p;
    p.start("ogrinfo", {"-ro", "-so", "-al", file});
    QVERIFY(p.waitForFinished(120000) && p.exitCode() == 0);
    // An empty KML document is no layer to GDAL; the others a layer of no feature.
    const QString summary = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression someFeatures("Feature Count: [1-9]");
    QVERIFY2(points == 0 ? !summary.contains(someFeatures)
                         : summary.contains(QString("Feature Count: %1\n").arg(points * (format == "dxf" ? 2 : 1))),
             qPrintable(summary));
    const pf::MapFormat chosen = *pf::mapFormatNamed(format.toStdString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const std::string header = pf::mapHeader(chosen, pf::MapTarget{"tm3-central", {}, "E", "N", 3});
    QVERIFY(bytes.startsWith(header.c_str()) && bytes.endsWith(pf::mapFooter(chosen).c_str()));
    if (points == 0) QCOMPARE(bytes.size(), qsizetype(header.size() + pf::mapFooter(chosen).size()));
    const QByteArray first = format == "dxf" ? "\nP0\r" : "P0<", last = format == "dxf" ? "\nP59999\r" : "P59999<";
    if (points != 0 && format != "geojson") QVERIFY(bytes.indexOf(first) > 0 && bytes.indexOf(first) < bytes.indexOf(last));
}

// A code in each format: escaped as its syntax needs; Windows-1253 decoded;
// in DXF the code page's byte, or the drawing's \U+ for what it lacks
// (GDAL leaves those as written, so the bytes are checked here).
void tst_MapFormats::codes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("written");
    const int kml = int(pf::MapFormat::Kml), json = int(pf::MapFormat::GeoJson), dxf = int(pf::MapFormat::Dxf);
    QTest::newRow("KML: XML's five and a tab") << kml << QByteArray("<&>\"'\t") << QByteArray("<name>&lt;&amp;&gt;&quot;&apos;&#9;</name>");
    QTest::newRow("KML: a control character") << kml << QByteArray("a\x01") << QByteArray("<name>a\xEF\xBF\xBD</name>");
    QTest::newRow("KML: Windows-1253 decoded") << kml << QByteArray("\xD3\xD4\x31") << QByteArray("<name>ΣΤ1</name>");
    QTest::newRow("GeoJSON: quote, backslash, line end") << json << QByteArray("\"\\\n") << QByteArray("\"code\": \"\\\"\\\\\\u000A\"");
    QTest::newRow("GeoJSON: Windows-1253 decoded") << json << QByteArray("\xA2\xEB") << QByteArray("\"code\": \"Άλ\"");
    QTest::newRow("DXF: ASCII as it is") << dxf << QByteArray("P-1 %\\") << QByteArray("\r\n1\r\nP-1 %\\\r\n");
    QTest::newRow("DXF: Greek in Windows-1253") << dxf << QByteArray("Σ1ά") << QByteArray("\r\n1\r\n\xD3\x31\xDC\r\n");
    QTest::newRow("DXF: beyond the code page") << dxf << QByteArray("ä\t") << QByteArray("\r\n1\r\n\\U+00E4\\U+0009\r\n");
    QTest::newRow("DXF: beyond U+FFFF") << dxf << QByteArray("\xF0\x9F\x98\x80") << QByteArray("\r\n1\r\n\\U+D83D\\U+DE00\r\n");
}

void tst_MapFormats::codes()
{
    QFETCH(int, format);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, written);
    std::string out;
    const pf::MapPoint point{std::string_view(code.constData(), code.size()), 1.0, 2.0, 3.0, 0.0, 0.0};
    pf::appendMapPoint(out, pf::MapFormat(format), pf::MapTarget{"egsa87", {}, "E", "N", 3}, point);
    QVERIFY2(QByteArray::fromStdString(out).contains(written), out.c_str());
}

QTEST_GUILESS_MAIN(tst_MapFormats)
#include "tst_map_formats.moc"
