#pragma once
// Which way a conversion goes, and which end of it a centre is.

namespace hattsheet::operations {

// Forward, Hatt↔Hatt: from the left side's centre ("Από Κ.Φ.", --from) to
// the right side's ("Σε Κ.Φ.", --to): the buttons ">" and "Μετατροπή ομάδας
// σημείων". Forward, Hatt↔ΕΓΣΑ87: from the Hatt plane of a centre to
// ΕΓΣΑ87. Backward is the other way in both.
enum class Direction { Forward, Backward };

// One end of a conversion, and the window's side that shows it: From is the
// left ("Από Κ.Φ."), To the right ("Σε Κ.Φ.").
enum class Side { From, To };

} // namespace hattsheet::operations
