#include "operations/list_messages.h"

#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

std::string layoutRecognised(unsigned long long points, const pf::PointLayout& layout, Language language)
{
    return messageBook(language).layoutRecognised(points, layout);
}

std::string recordPlace(unsigned long long record, unsigned long long line, Language language)
{
    return messageBook(language).recordPlace(record, line);
}

std::string linePlace(unsigned long long line, Language language) { return messageBook(language).linePlace(line); }

std::string faultReason(const pf::RecordFault& fault, Language language)
{
    return messageBook(language).faultReason(fault);
}

std::string recordsShifted(unsigned long long count, unsigned long long firstLine, Language language)
{
    return messageBook(language).recordsShifted(count, firstLine);
}

std::string centreRefused(bool latitude, Language language)
{
    return messageBook(language).centreRefused(latitude ? geodesy::CentreError::Latitude
                                                        : geodesy::CentreError::Longitude);
}

std::string coordinatesRefused(Language language) { return messageBook(language).coordinatesRefused(); }

std::string minutesNote(std::string_view degMinText, Language language)
{
    const auto number = text::readLeadingNumber(degMinText);
    if (!number || !number->found || !std::isfinite(number->value)) return {};
    const double v = std::fabs(number->value);
    const double whole = std::trunc(v);
    const double minutes = 100.0 * (v - whole);
    // 40.6 leaves 60.000000000000142 here and 40.59 leaves 58.99999999999977:
    // a millionth of a minute tells them apart.
    constexpr double kMinuteSlack = 1e-6;
    if (!(minutes >= 60.0 - kMinuteSlack) || minutes >= 100.0) return {};
    // As the reading takes it: whole degrees plus minutes / 60.
    const double degrees = whole + minutes / 60.0;
    const double d = std::floor(degrees + 1e-12);
    double m = (degrees - d) * 60.0;
    if (m < 0) m = 0;
    std::string shown = std::string(number->value < 0 ? "-" : "") + text::formatFixed(d, 0) + "° ";
    std::string mText = text::formatFixed(m, 4);
    while (mText.back() == '0') mText.pop_back();
    if (mText.back() == '.') mText.pop_back();
    shown += mText + "'";
    std::string typed(degMinText);
    while (!typed.empty() && typed.front() == ' ') typed.erase(0, 1);
    while (!typed.empty() && typed.back() == ' ') typed.pop_back();
    return messageBook(language).minutesRead(typed, shown);
}

std::string listStopped(unsigned long long record, unsigned long long line, const pf::RecordFault& fault,
                        const std::string& refusal, bool firstMiB, Language language)
{
    const MessageBook& book = messageBook(language);
    std::string text = book.listFailed() + " " + recordPlace(record, line, language) + ": " +
                       (refusal.empty() ? faultReason(fault, language) : refusal);
    if (fault.problem == pf::RecordProblem::OffLine) text += book.acrossLinesHint();
    // The list changes its separator, decimal mark or fields on the way.
    const bool layoutFault = fault.problem == pf::RecordProblem::NotANumber || fault.problem == pf::RecordProblem::FieldCount;
    if (firstMiB && layoutFault) text += book.firstBlockHint();
    return text;
}

} // namespace hattsheet::operations
