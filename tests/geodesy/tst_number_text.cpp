// The two number readers: the window's lenient leading-number reading of its
// fields, and the strict whole-text reading of the field test and the files.
// Expected values are hand calculations from the reading rules.

#include "digits.h"
#include "number_text.h"

#include <QTest>

#include <string>

using hattsheet::geodesy::parseWholeNumber;
using hattsheet::geodesy::readLeadingNumber;
using hattsheet::testing::shortest;

class tst_NumberText : public QObject {
    Q_OBJECT
private slots:
    void readLeadingNumber_data();
    void readLeadingNumber();
    void parseWholeNumber_data();
    void parseWholeNumber();
};

// "none": no number at the start (reads as 0); "overflow": beyond a double.
void tst_NumberText::readLeadingNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");  // shortest digits, "none" or "overflow"

    QTest::newRow("blank inside digits is ignored") << QByteArray("1 234.5") << QByteArray("1234.5");
    QTest::newRow("tabs and line feeds are ignored") << QByteArray("\t1\n2.\t5") << QByteArray("12.5");
    QTest::newRow("comma ends the number") << QByteArray("1,5") << QByteArray("1");
    QTest::newRow("no digits before the point") << QByteArray(".30") << QByteArray("0.3");
    QTest::newRow("minus and no digits before the point") << QByteArray("-.5") << QByteArray("-0.5");
    QTest::newRow("letter ends the number") << QByteArray("12a") << QByteArray("12");
    QTest::newRow("second point ends the number") << QByteArray("1.2.3") << QByteArray("1.2");
    QTest::newRow("trailing point") << QByteArray("5.") << QByteArray("5");
    QTest::newRow("plus sign") << QByteArray("+5") << QByteArray("5");
    QTest::newRow("leading blanks and minus") << QByteArray("  -0.51") << QByteArray("-0.51");
    QTest::newRow("exponent letter D") << QByteArray("1D3") << QByteArray("1000");
    QTest::newRow("lower-case d with negative exponent") << QByteArray("1d-2") << QByteArray("0.01");
    QTest::newRow("blanks around the exponent letter") << QByteArray("1 e 3") << QByteArray("1000");
    QTest::newRow("exponent letter without digits") << QByteArray("1e") << QByteArray("1");
    QTest::newRow("exponent sign without digits") << QByteArray("1e+") << QByteArray("1");
    QTest::newRow("largest decade of a double") << QByteArray("1e308") << QByteArray("1e+308");
    QTest::newRow("underflow reads as zero") << QByteArray("1e-999") << QByteArray("0");
    QTest::newRow("negative underflow keeps its sign") << QByteArray("-1e-999") << QByteArray("-0");
    QTest::newRow("underflow written with many zeros")
        << (QByteArray("0.") + QByteArray(400, '0') + "1") << QByteArray("0");
    QTest::newRow("digits beyond the stack buffer")
        << (QByteArray("0.") + QByteArray(200, '0') + "15") << QByteArray("1.5e-201");
    QTest::newRow("overflow with exponent") << QByteArray("1E999") << QByteArray("overflow");
    QTest::newRow("negative overflow") << QByteArray("-1E999") << QByteArray("overflow");
    QTest::newRow("overflow written out in digits") << ("9" + QByteArray(400, '0')) << QByteArray("overflow");
    QTest::newRow("letters only") << QByteArray("abc") << QByteArray("none");
    QTest::newRow("empty text") << QByteArray("") << QByteArray("none");
    QTest::newRow("lone minus") << QByteArray("-") << QByteArray("none");
    QTest::newRow("lone point") << QByteArray(".") << QByteArray("none");
    QTest::newRow("exponent without mantissa") << QByteArray("e5") << QByteArray("none");
    QTest::newRow("infinity is not a number here") << QByteArray("inf") << QByteArray("none");
}

void tst_NumberText::readLeadingNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    const auto n = ::readLeadingNumber(std::string_view(text.constData(), text.size()));
    if (expected == "overflow") {
        QVERIFY(!n);
        return;
    }
    QVERIFY(n);
    if (expected == "none") {
        QVERIFY(!n->found);
        QCOMPARE(shortest(n->value), QByteArray("0"));
        return;
    }
    QVERIFY(n->found);
    QCOMPARE(shortest(n->value), expected);
}

// The strict reader takes a whole text or nothing.
void tst_NumberText::parseWholeNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");  // shortest digits or "refused"

    QTest::newRow("spaces around a decimal") << QByteArray(" 12.5 ") << QByteArray("12.5");
    QTest::newRow("negative with exponent") << QByteArray("-1.5E3") << QByteArray("-1500");
    QTest::newRow("no digits before the point") << QByteArray(".5") << QByteArray("0.5");
    QTest::newRow("underflow reads as zero") << QByteArray("1e-999") << QByteArray("0");
    QTest::newRow("trailing letter") << QByteArray("12a") << QByteArray("refused");
    QTest::newRow("empty text") << QByteArray("") << QByteArray("refused");
    QTest::newRow("only spaces") << QByteArray("   ") << QByteArray("refused");
    QTest::newRow("infinity") << QByteArray("inf") << QByteArray("refused");
    QTest::newRow("not a number") << QByteArray("nan") << QByteArray("refused");
    QTest::newRow("decimal comma") << QByteArray("1,5") << QByteArray("refused");
    QTest::newRow("blank inside the digits") << QByteArray("1 2") << QByteArray("refused");
    QTest::newRow("exponent letter D") << QByteArray("1D3") << QByteArray("refused");
    QTest::newRow("exponent without digits") << QByteArray("1e") << QByteArray("refused");
    QTest::newRow("overflow") << QByteArray("1E999") << QByteArray("refused");
}

void tst_NumberText::parseWholeNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    const auto v = ::parseWholeNumber(std::string_view(text.constData(), text.size()));
    if (expected == "refused") {
        QVERIFY(!v);
        return;
    }
    QVERIFY(v);
    QCOMPARE(shortest(*v), expected);
}

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_number_text.moc"
