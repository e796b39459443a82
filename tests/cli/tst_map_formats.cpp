// Lists written as map files (--format kml|geojson|dxf|gpx): GDAL reads
// every file written, and what it reads agrees with the program's own comma
// lists (the target's coordinates to 1 mm; WGS84 to 1e-8 degree against the
// list carried on from the target to wgs84); Greek codes intact; refusals;
// the all-or-nothing -o; the extension's choice; streaming across blocks.

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

namespace {

constexpr double kMetreTolerance = 1e-3;   // the lists' "0.000" rounds to 0.5 mm
constexpr double kDegreeTolerance = 1e-8;  // the 9 decimals round to 5e-10 degree

// Points of ΕΓΣΑ87 around Athens, on the sheet Αθήναι-Ελευσίς: codes in
// Greek, with the characters XML and JSON must escape.
const QByteArray kEgsa87List = "Α1,476000,4206000,120\n"
                               "\"Σ&<2> x\",478500.25,4203000,0\n"
                               "Ω'3\\%,471000,4210000.5,35.5\n";
// Points on the sheet of centre 40.51,-0.51, whose worked example is (1000, 2000).
const QByteArray kHattList = "Α1,1000,2000,10\nB2,0,0,0\nΓ3,-5000,3000,5.5\n";

struct Feature {
    QMap<QString, QString> fields;
    QList<double> xyz;  // as GDAL read the geometry
};

// ogrinfo's reading of a file: one Feature per feature of layer (all
// layers when empty). GDAL is not part of the program: an independent
// reader of every format.
QList<Feature> readWithGdal(const QString& path, const QString& layer = {})
{
    QProcess p;
    QStringList args{"-q", path};
    args.prepend(layer.isEmpty() ? "-al" : "-ro");
    if (!layer.isEmpty()) args << layer;
    p.start("ogrinfo", args);
    p.waitForFinished(60000);
    QList<Feature> features;
    static const QRegularExpression field("^  (\\S+) \\(\\w+\\) = (.*)$");
    static const QRegularExpression point("^  POINT(?: Z)? \\(([^)]*)\\)$");
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

// The comma list's records as code and three numbers.
QList<QPair<QString, QList<double>>> records(const QByteArray& list)
{
    QList<QPair<QString, QList<double>>> result;
    for (const QByteArray& line : list.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        const int last = line.lastIndexOf(',');
        const int second = line.lastIndexOf(',', last - 1);
        const int first = line.lastIndexOf(',', second - 1);
        QString code = QString::fromUtf8(line.left(first));
        if (code.startsWith('"')) code = code.mid(1, code.size() - 2).replace("\"\"", "\"");
        result.append({code, {line.mid(first + 1, second - first - 1).trimmed().toDouble(),
                              line.mid(second + 1, last - second - 1).trimmed().toDouble(), line.mid(last + 1).trimmed().toDouble()}});
    }
    return result;
}

QStringList withGrid(QStringList args)
{
    return args << "--hepos-grid" << hattsheet::testing::heposDataFolder();
}

// "E = 1.000, N = 2.000, H = 3.000 (id)": the three numbers.
QList<double> describedNumbers(const QString& text)
{
    static const QRegularExpression number(" = (-?[0-9.]+)");
    QList<double> numbers;
    for (auto it = number.globalMatch(text); it.hasNext();) numbers.append(it.next().captured(1).toDouble());
    return numbers;
}

} // namespace

class tst_MapFormats : public QObject {
    Q_OBJECT
private slots:
    void gdalReadsEveryFile_data();
    void gdalReadsEveryFile();
    void refusals_data();
    void refusals();
    void failingListWritesNothing_data();
    void failingListWritesNothing();
    void formatChosen_data();
    void formatChosen();
    void csvKeepsTodaysBytes();
    void streamsAcrossBlocks_data();
    void streamsAcrossBlocks();
    void legacyCodePage();
    void dxfEscapes_data();
    void dxfEscapes();
};

// Each route and format: GDAL's reading against the comma list of the same
// conversion (target) and of that list carried on to wgs84 (the place).
void tst_MapFormats::gdalReadsEveryFile_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<QString>("format");
    const struct {
        const char* name;
        QString from, to;
        QByteArray list;
        bool grid;
    } routes[] = {
        {"egsa87 to tm3-central", "egsa87", "tm3-central", kEgsa87List, false},
        {"egsa87 to a sheet's Hatt", "egsa87", "Αθήναι-Ελευσίς", kEgsa87List, false},
        {"egsa87 to wgs84", "egsa87", "wgs84", kEgsa87List, false},
        {"egsa87 to htrs07 (grid)", "egsa87", "htrs07", kEgsa87List, true},
        {"egsa87 to tm07 (grid)", "egsa87", "tm07", kEgsa87List, true},
        {"Hatt to Hatt (the polynomial of the target)", "40.51,-0.51", "40.45,-0.45", kHattList, false},
        {"Hatt to egsa87", "40.45,-0.45", "egsa87", kHattList, false},
    };
    for (const auto& r : routes) {
        for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
            if (QString(format) == "dxf" && (r.to == "wgs84" || r.to == "htrs07")) continue;
            QTest::addRow("%s, %s", r.name, format) << r.from << r.to << r.list << r.grid << QString(format);
        }
    }
}

void tst_MapFormats::gdalReadsEveryFile()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, list);
    QFETCH(bool, grid);
    QFETCH(QString, format);
    if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("no ogrinfo (gdal-bin)");
    if (grid && hattsheet::testing::heposDataFolder().isEmpty()) QSKIP("no HEPOS grid");
    QTemporaryDir dir;
    const QString file = dir.filePath("points." + format);
    auto args = [&](QStringList a) { return grid ? withGrid(a) : a; };
    const CliRun run = runConvert(args({"--from", from, "--to", to, "--format", format, "-", "-o", file}), list);
    QVERIFY2(run.exitCode == 0, run.err);
    const CliRun target = runConvert(args({"--from", from, "--to", to}), list);
    QCOMPARE(target.exitCode, 0);
    const auto expected = records(target.out);
    const auto places = to == "wgs84" ? expected : records(runConvert(args({"--from", to, "--to", "wgs84"}), target.out).out);
    QCOMPARE(places.size(), expected.size());
    const bool dxf = format == "dxf";
    const QList<Feature> read = readWithGdal(file, dxf ? "entities" : format == "gpx" ? "waypoints" : QString());
    QCOMPARE(read.size(), expected.size() * (dxf ? 2 : 1));
    for (int i = 0; i < expected.size(); ++i) {
        const auto& [code, coordinates] = expected[i];
        if (dxf) {
            const Feature& point = read[2 * i];
            QCOMPARE(read[2 * i + 1].fields["Text"], code);
            QCOMPARE(point.xyz.size(), 3);
            for (int k = 0; k < 3; ++k) QVERIFY(std::abs(point.xyz[k] - coordinates[k]) <= kMetreTolerance);
            continue;
        }
        const Feature& f = read[i];
        const QString name = f.fields.value("Name", f.fields.value("name", f.fields.value("code")));
        QCOMPARE(name, code);
        // The target's coordinates beside the point: GeoJSON's properties,
        // or the numbers of KML's description and GPX's desc.
        QList<double> own = describedNumbers(f.fields.value("description", f.fields.value("desc")));
        if (format == "geojson") {
            const QString a = f.fields.contains("phi") ? "phi" : f.fields.contains("X") ? "X" : "E";
            const QString b = a == "phi" ? "lambda" : a == "X" ? "Y" : "N";
            own = {f.fields[a].toDouble(), f.fields[b].toDouble(), f.fields["h"].toDouble()};
        }
        const double tolerance = to == "wgs84" || to == "htrs07" ? kDegreeTolerance : kMetreTolerance;
        QCOMPARE(own.size(), 3);
        QVERIFY(std::abs(own[0] - coordinates[0]) <= tolerance);
        QVERIFY(std::abs(own[1] - coordinates[1]) <= tolerance);
        QVERIFY(std::abs(own[2] - coordinates[2]) <= kMetreTolerance);
        // WGS84: GDAL's longitude, latitude against the list carried to wgs84.
        QVERIFY2(std::abs(f.xyz[0] - places[i].second[1]) <= kDegreeTolerance, qPrintable(QString::number(f.xyz[0], 'f', 10)));
        QVERIFY(std::abs(f.xyz[1] - places[i].second[0]) <= kDegreeTolerance);
        const double h = format == "gpx" ? f.fields["ele"].toDouble() : f.xyz.value(2);
        QVERIFY(std::abs(h - coordinates[2]) <= kMetreTolerance);
    }
}

// Refused before anything is read or written: the exit status and a word
// of the message (Greek, the tests' language).
void tst_MapFormats::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("DXF of a geographic target") << QStringList{"--from", "egsa87", "--to", "wgs84", "--format", "dxf"}
                                                << 64 << "DXF";
    QTest::newRow("DXF chosen by the extension, geographic target")
        << QStringList{"--from", "egsa87", "--to", "egsa87-geo", "-o", "OUT.DXF"} << 64 << "DXF";
    QTest::newRow("unknown format") << QStringList{"--from", "egsa87", "--to", "tm07", "--format", "shp"} << 64
                                    << "shp";
    QTest::newRow("a map format with --point")
        << QStringList{"--from", "egsa87", "--to", "wgs84", "--format", "kml", "--point", "476000,4206000"} << 64
        << "--point";
    QTest::newRow("a map file with --keep-layout")
        << QStringList{"--from", "egsa87", "--to", "tm3-west", "--keep-layout", "-o", "OUT.kml"} << 64
        << "--keep-layout";
    QTest::newRow("--format given twice")
        << QStringList{"--from", "egsa87", "--to", "tm07", "--format", "kml", "--format", "gpx"} << 64 << "--format";
    QTest::newRow("--format with --systems") << QStringList{"--systems", "--format", "kml"} << 64 << "--systems";
    QTest::newRow("a TM07 target's place without the grid")
        << QStringList{"--from", "egsa87", "--to", "tm07", "--format", "kml", "--hepos-grid", "/nonexistent"} << 2
        << "www.hepos.gr";
    QTest::newRow("a Hatt target without a sheet's polynomial")
        << QStringList{"--from", "40.45,-0.45", "--to", "40.51,-0.51", "--format", "gpx"} << 2 << "40.51";
}

void tst_MapFormats::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const int out = args.indexOf("-o");
    if (out >= 0) args[out + 1] = dir.filePath(args[out + 1]);
    const CliRun run = runConvert(args, kEgsa87List);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err);
    QVERIFY(run.out.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

// A list whose conversion fails, or is cut short, leaves no map file, and an
// existing one exactly as it was.
void tst_MapFormats::failingListWritesNothing_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<bool>("existing");
    const QByteArray failing = kEgsa87List + "Χ9,abc,4206000,1\n";
    const QByteArray refused = kEgsa87List + "Χ9,1e9,4206000,1\n";
    for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
        QTest::addRow("%s, a record that is no number", format) << QString(format) << failing << false;
        QTest::addRow("%s, a point refused, over an existing file", format) << QString(format) << refused << true;
    }
}

void tst_MapFormats::failingListWritesNothing()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, list);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString file = dir.filePath("points." + format);
    const QByteArray before = "kept as it was\n";
    if (existing) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    const CliRun run = runConvert({"--from", "egsa87", "--to", "tm3-east", "-", "-o", file}, list);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), existing ? 1 : 0);
    if (existing) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

// --format, else the extension of -o (any case), else today's comma lines.
void tst_MapFormats::formatChosen_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("begins");
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    QTest::newRow(".kml") << QStringList{"-o", "a.kml"} << xml + "<kml xmlns=\"http://www.opengis.net/kml/2.2\">";
    QTest::newRow(".KML in capitals") << QStringList{"-o", "a.KML"} << xml + "<kml ";
    QTest::newRow(".geojson") << QStringList{"-o", "a.geojson"} << QByteArray("{\"type\": \"FeatureCollection\"");
    QTest::newRow(".gpx") << QStringList{"-o", "a.gpx"} << xml + "<gpx version=\"1.1\"";
    QTest::newRow(".dxf") << QStringList{"-o", "a.dxf"} << QByteArray("0\r\nSECTION\r\n2\r\nHEADER\r\n");
    QTest::newRow(".csv stays comma lines") << QStringList{"-o", "a.csv"} << QByteArray("Α1, 203406");
    QTest::newRow(".txt stays comma lines") << QStringList{"-o", "a.txt"} << QByteArray("Α1, 203406");
    QTest::newRow("a dot in the folder only") << QStringList{"-o", "d.kml/a"} << QByteArray("Α1, 203406");
    QTest::newRow("--format wins over the extension") << QStringList{"--format", "csv", "-o", "a.kml"}
                                                      << QByteArray("Α1, 203406");
    QTest::newRow("--format GPX in capitals to stdout") << QStringList{"--format", "GPX"} << xml + "<gpx ";
}

void tst_MapFormats::formatChosen()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, begins);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("d.kml"));
    const int out = args.indexOf("-o");
    if (out >= 0) args[out + 1] = dir.filePath(args[out + 1]);
    const CliRun run = runConvert(QStringList{"--from", "egsa87", "--to", "tm3-central"} + args,
                                  "Α1,478500.25,4203000,0\n");
    QVERIFY2(run.exitCode == 0, run.err);
    QByteArray written = run.out;
    if (out >= 0) {
        QFile f(args[out + 1]);
        QVERIFY(f.open(QIODevice::ReadOnly));
        written = f.readAll();
    }
    QVERIFY2(written.startsWith(begins), written.left(80));
}

// --format csv is the list without it, byte for byte, messages too.
void tst_MapFormats::csvKeepsTodaysBytes()
{
    for (const QStringList& route : {QStringList{"--from", "egsa87", "--to", "Αθήναι-Ελευσίς"},
                                     QStringList{"--from", "40.51,-0.51", "--to", "40.45,-0.45"}}) {
        const QByteArray list = route[1] == "egsa87" ? kEgsa87List : kHattList;
        const CliRun plain = runConvert(route, list);
        const CliRun csv = runConvert(route + QStringList{"--format", "csv"}, list);
        QCOMPARE(csv.exitCode, plain.exitCode);
        QCOMPARE(csv.out, plain.out);
        QCOMPARE(csv.err, plain.err);
    }
}

// A list of many blocks and both threads: the header once before the first
// point, the footer once after the last, every point once, in order; an
// empty list is a valid file of no points.
void tst_MapFormats::streamsAcrossBlocks_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("points");
    for (const char* format : {"kml", "geojson", "gpx", "dxf"}) {
        QTest::addRow("%s, 60000 points", format) << QString(format) << 60000;
        QTest::addRow("%s, no point", format) << QString(format) << 0;
    }
}

void tst_MapFormats::streamsAcrossBlocks()
{
    QFETCH(QString, format);
    QFETCH(int, points);
    if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("no ogrinfo (gdal-bin)");
    QByteArray list;
    for (int i = 0; i < points; ++i) {
        list += "P" + QByteArray::number(i) + "," + QByteArray::number(470000 + i % 1000) + "," +
                QByteArray::number(4200000 + i / 1000) + ",1\n";
    }
    QTemporaryDir dir;
    const QString file = dir.filePath("many." + format);
    const CliRun run = runConvert({"--from", "egsa87", "--to", "tm3-central", "-", "-o", file}, list);
    QVERIFY2(run.exitCode == 0, run.err);
    QProcess p;
    p.start("ogrinfo", {"-ro", "-so", "-al", file});
    QVERIFY(p.waitForFinished(120000));
    const QString summary = QString::fromUtf8(p.readAllStandardOutput());
    // An empty KML document is no layer to GDAL; the others one of no feature.
    static const QRegularExpression someFeatures("Feature Count: [1-9]");
    const bool counted = points == 0 ? !summary.contains(someFeatures)
                                     : summary.contains(QString("Feature Count: %1\n").arg(points * (format == "dxf" ? 2 : 1)));
    QVERIFY2(counted, qPrintable(summary));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError());
    namespace pf = hattsheet::pointfile;
    const pf::MapFormat chosen = *pf::mapFormatNamed(format.toStdString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (points == 0) {
        const std::string empty = pf::mapHeader(chosen, pf::MapTarget{"tm3-central", {}, "E", "N", 3}) + pf::mapFooter(chosen);
        QCOMPARE(bytes, QByteArray::fromStdString(empty));
        return;
    }
    const QByteArray first = format == "dxf" ? "\r\nP0\r\n" : "P0\"";
    const QByteArray last = format == "dxf" ? "\r\nP59999\r\n" : "P59999\"";
    if (format != "geojson" && format != "dxf") {
        QVERIFY(bytes.indexOf(">P0<") < bytes.indexOf(">P59999<"));
    } else {
        QVERIFY(bytes.indexOf(first) >= 0 && bytes.indexOf(first) < bytes.indexOf(last));
    }
    QVERIFY(bytes.endsWith(pf::mapFooter(chosen).c_str()));
}

// A list in Windows-1253 (the old files): its Greek codes reach the map
// file as UTF-8, and GDAL reads them back.
void tst_MapFormats::legacyCodePage()
{
    if (QStandardPaths::findExecutable("ogrinfo").isEmpty()) QSKIP("no ogrinfo (gdal-bin)");
    QTemporaryDir dir;
    for (const QString format : {"kml", "geojson", "gpx", "dxf"}) {
        const QString file = dir.filePath("old." + format);
        // "ΣΤ1" and "Άλφα" in Windows-1253.
        const CliRun run = runConvert({"--from", "egsa87", "--to", "tm3-central", "-", "-o", file},
                                      "\xD3\xD4\x31,476000,4206000,1\n\xA2\xEB\xF6\xE1,476100,4206000,2\n");
        QVERIFY2(run.exitCode == 0, run.err);
        const QList<Feature> read = readWithGdal(file, format == "dxf" ? "entities" : format == "gpx" ? "waypoints" : "");
        QStringList codes;
        for (const Feature& f : read) {
            for (const char* key : {"Name", "name", "code", "Text"}) codes << f.fields.value(key);
        }
        codes.removeAll(QString());
        QCOMPARE(codes, (QStringList{"ΣΤ1", "Άλφα"}));
    }
}

// What a DXF TEXT cannot hold in its code page: the drawing's \U+ codes
// (GDAL leaves them as written, so the bytes are checked here).
void tst_MapFormats::dxfEscapes_data()
{
    QTest::addColumn<QByteArray>("code");  // UTF-8
    QTest::addColumn<QByteArray>("text");  // the TEXT value written
    QTest::newRow("ASCII as it is, % and \\ too") << QByteArray("P-1 %\\") << QByteArray("P-1 %\\");
    QTest::newRow("Greek in Windows-1253") << QByteArray("Σ1ά") << QByteArray("\xD3\x31\xDC");
    QTest::newRow("a letter beyond the code page") << QByteArray("ä") << QByteArray("\\U+00E4");
    QTest::newRow("beyond U+FFFF as two halves") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("\\U+D83D\\U+DE00");
    QTest::newRow("a tab, which would split no line but is no text") << QByteArray("a\tb") << QByteArray("a\\U+0009b");
}

void tst_MapFormats::dxfEscapes()
{
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, text);
    namespace pf = hattsheet::pointfile;
    std::string out;
    const pf::MapPoint point{std::string_view(code.constData(), code.size()), 1.0, 2.0, 3.0, 0.0, 0.0};
    pf::appendMapPoint(out, pf::MapFormat::Dxf, pf::MapTarget{"egsa87", {}, "E", "N", 3}, point);
    QVERIFY2(QByteArray::fromStdString(out).endsWith("\r\n1\r\n" + text + "\r\n"), out.c_str());
}

QTEST_GUILESS_MAIN(tst_MapFormats)
#include "tst_map_formats.moc"
