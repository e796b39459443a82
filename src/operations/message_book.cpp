#include "operations/message_book.h"

#include "base/platform.h"
#include "operations/egsa87_conversion.h"
#include "text/number_format.h"

#include <cmath>

namespace hattsheet::operations {

const MessageBook& greekBook();
const MessageBook& englishBook();

const MessageBook& messageBook(Language language)
{
    return language == Language::Greek ? greekBook() : englishBook();
}

Language userLanguage() { return platform::userReadsGreek() ? Language::Greek : Language::English; }

std::string MessageBook::withReason(std::string text, int err) const
{
    if (err != 0) text.append(" (").append(systemReason(err)).append(")");
    return text;
}

std::string MessageBook::recordStopped(const ListStop& stop) const
{
    return recordPlace(stop.record, stop.line) + ": " + (stop.refusal.empty() ? faultReason(stop.fault) : stop.refusal);
}

std::string MessageBook::listStopped(const ListStop& stop) const
{
    namespace pf = hattsheet::pointfile;
    const pf::RecordProblem problem = stop.fault.problem;
    std::string text = listFailed() + " " + recordStopped(stop);
    if (problem == pf::RecordProblem::OffLine) text += acrossLinesHint();
    // The list changes its separator, decimal mark or fields on the way.
    const bool layoutFault = problem == pf::RecordProblem::NotANumber || problem == pf::RecordProblem::FieldCount;
    if (stop.laterBlock && !stop.tally.layout.commaStream && layoutFault) text += firstBlockHint();
    return text;
}

// fit lists
std::string MessageBook::fitListStopped(std::string_view path, const ListStop& stop) const
{
    return listFailed() + " " + quotedName(path) + ", " + recordStopped(stop);
}

std::string degreesText(double degrees)
{
    const double whole = std::trunc(degrees);
    const double minutes = std::fabs(degrees - whole) * 60.0;
    std::string shown = text::formatFixed(whole, 0) + "°";
    if (minutes != 0.0) shown += text::formatFixed(minutes, 0) + "'";
    return shown;
}

std::string farOutsideDistance() { return text::formatFixed(kFarOutsideMetres / 1000.0, 0) + " km"; }

} // namespace hattsheet::operations
