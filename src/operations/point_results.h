#pragma once
// Which of the window's two points is the result of the last ">" or "<",
// so that a change of a sheet centre takes away what no longer holds: a
// result shown under a centre it was not computed for would be read as that
// sheet's coordinates. What the user typed is never taken away.
// - A centre typed anew or chosen from the sheet chooser: the point the last
//   conversion wrote (X2, Y2 after ">"; X1, Y1 after "<") is emptied, and
//   so is the geodetic display when the centre is "Από Κ.Φ."'s (the display
//   is the point of X1, Y1 on that centre).
// - The swap of the centres: each point goes with its centre, so both stay
//   under the sheet they are on; the geodetic display stays only when it is
//   the point of the pair (after ">"), and is emptied otherwise.
// - A result typed over is the user's point from then on.

#include "operations/direction.h"
#include "operations/window_ports.h"

namespace hattsheet::operations {

class PointResults {
public:
    // After a conversion that succeeded: ">" is Forward, "<" Backward.
    void converted(Direction direction);
    // After the φ or Δλ field of a side changed (typed, or a sheet chosen).
    void centreChanged(Fields& fields, Side side);
    // After a point field (X1, Y1, X2, Y2) was typed in.
    void pointTyped(FieldId id);
    // Swaps the centres with their points (swapCentres, then the points).
    void swap(Fields& fields);

private:
    enum class Result { None, NewPoint, OldPoint };
    Result m_result = Result::None;
};

} // namespace hattsheet::operations
