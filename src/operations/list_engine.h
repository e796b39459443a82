#pragma once
// The one engine every point list goes through: the window's batch (Hatt to
// Hatt, to and from the Greek Grid), its open, and the command line's list
// mode. It reads the list from a byte source a block at a time
// (list_source.h), recognises its layout from the first block
// (pointfile/point_layout.h), converts it record by record through a
// PointConverter into the output lines, and stops at the first record that
// cannot be read or converted, saying which it is and why, as data: the
// books word it (message_book.h).

#include "base/expected.h"
#include "operations/list_source.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace hattsheet::operations {

// The longest record the command line holds (bytes): a longer one is not a
// point but a file without separators (/dev/zero, a binary), refused as the
// failing record (RecordProblem::TooLong) instead of held in memory without
// end, whether it is whole or not yet. Its text runs from its first byte to
// the end of its height, with the line end after it; blank lines do not count.
inline constexpr std::size_t kLongestRecordBytes = std::size_t(64) << 20;

// What turns a list's records into output lines (Hatt to Hatt, to or from
// ΕΓΣΑ87, or a panel's own lines). Called from two threads at once when
// the engine has a second one: it must keep no state but atomics.
class PointConverter {
public:
    virtual ~PointConverter() = default;
    // Appends the line of a record whose X and Y were read as numbers, in
    // the list's layout. False, with nothing appended, when it is refused.
    virtual bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                             std::string& out) const = 0;
    // The fault of a record appendPoint refused: its point does not convert,
    // unless the converter says otherwise.
    virtual pointfile::RecordFault faultOf(const pointfile::RecordPoint& point,
                                           const pointfile::PointLayout& layout) const;
    // Why the point of that record was refused, in words, when the
    // conversion can tell; empty otherwise.
    virtual std::string refusalOf(const pointfile::RecordPoint& point) const;
    // The end of a run's warning about the points converted; empty: none.
    virtual std::string warning() const;
};

// The engine's choices, which differ between the window and the command line.
struct ListOptions {
    std::size_t blockBytes = std::size_t{1} << 20;  // read at a time; the first block decides the layout
    bool dropByteOrderMark = true;                  // a file's UTF-8 mark (a panel has none to drop)
    // Records that do not fill a line of their own fail (OffLine); else they
    // are read as the field stream and counted.
    bool strictLines = true;
    std::size_t longestRecord = SIZE_MAX;  // bytes; a longer record fails (TooLong)
    bool secondThread = false;             // the conversion of a long block shared with a second thread
    // The output lines go to the sink once this many bytes are collected:
    // after each block, or after the record that reaches it.
    std::size_t flushBytes = std::size_t{1} << 20;
    bool flushWithinBlock = false;
    // Given the record text of the first block before its layout is recognised.
    std::function<void(std::string_view)> onFirstBlock;
    // Given the layout recognised and the same text, before any record is
    // converted (a header line of it is its first line).
    std::function<void(const pointfile::PointLayout&, std::string_view)> onLayout;
};

// The window's reading of a panel's list: the whole text one block, so its
// layout is recognised from all of it; no byte-order mark to drop; records
// across lines read as the field stream and counted, as the window always
// read them.
ListOptions panelListOptions();

// What a run saw, for the messages at its end.
struct ListTally {
    pointfile::PointLayout layout;       // as recognised
    unsigned long long records = 0;      // records converted
    unsigned long long offLine = 0;      // of them, not one per line
    unsigned long long firstOffLine = 0; // the input line where the first of those starts
};

enum class ListStopCause {
    Record,  // a record that cannot be read or converted
    Read,    // the input cannot be read (error)
    Write,   // the sink did not take the lines
};

// Where and why a run stopped before the end of the list.
struct ListStop {
    ListStopCause cause = ListStopCause::Record;
    ListTally tally;
    pointfile::RecordFault fault;     // Record: why
    unsigned long long record = 0;    // Record: its 1-based number
    unsigned long long line = 0;      // Record: the input line where it starts
    std::string refusal;              // Record: the converter's reason, when it gave one
    bool laterBlock = false;          // Record, Read: in a block after the one that decided the layout
    int error = 0;                    // Read: the errno
};

// Takes the lines collected (and empties the string); false when they
// cannot be written.
using LineSink = std::function<bool(std::string& lines)>;

// Converts the list of source into out: the lines of the records before a
// stop stay there or reached the sink; the lines not yet given to the sink
// are left in out for the caller.
Expected<ListTally, ListStop> convertList(ByteSource& source, const PointConverter& converter,
                                          const ListOptions& options, std::string& out, const LineSink& sink);

} // namespace hattsheet::operations
