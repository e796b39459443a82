#pragma once
// The reference table: a few hundred conversions over a grid of sheet
// centres and points whose output texts are kept in data/reference_points.tsv
// and compared digit for digit on every build.

#include <QByteArray>
#include <QList>

namespace hattsheet::testing {

struct ReferenceRow {
    // Inputs, as typed: degrees-minutes texts and plane point texts (metres).
    QByteArray fromPhi, fromLambda, toPhi, toLambda, x, y;
    // ">" on the inputs: txtX2, txtY2, txtf, txtm, txtl.
    QByteArray x2, y2, lat, lonAthens, lonGreenwich;
    // "<" on the texts x2, y2: txtX1, txtY1.
    QByteArray xBack, yBack;
};

// The inputs of the table, generated deterministically, with the outputs
// the current code gives for them.
QList<ReferenceRow> generateReferenceRows();
// Outputs for the inputs of a row, computed now; false on a refusal.
bool computeOutputs(ReferenceRow& row);

QByteArray formatReferenceFile(const QList<ReferenceRow>& rows);
// Empty list and a reason when the file cannot be read or parsed.
QList<ReferenceRow> readReferenceFile(const QString& path, QString* error);

} // namespace hattsheet::testing
