#include "operations/list_messages.h"

#include "operations/messages.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

namespace {

std::string quoted(std::string_view text, Language language)
{
    const std::string shown = msg::shownText(text);
    return language == Language::Greek ? "«" + shown + "»" : "\"" + shown + "\"";
}

std::string fieldName(char field, Language language)
{
    if (language == Language::English) return std::string(1, field);
    switch (field) {
    case 'X': return "Χ";
    case 'Y': return "Υ";
    default: return "Η";
    }
}

} // namespace

std::string layoutRecognised(unsigned long long points, const pf::PointLayout& layout, Language language)
{
    const bool greek = language == Language::Greek;
    std::string separator;
    switch (layout.separator) {
    case pf::Separator::Comma: separator = quoted(",", language); break;
    case pf::Separator::Semicolon: separator = quoted(";", language); break;
    case pf::Separator::Tab: separator = greek ? "στηλοθέτης (Tab)" : "tab"; break;
    case pf::Separator::Spaces: separator = greek ? "κενά" : "spaces"; break;
    }
    const std::string decimal = quoted(layout.decimal == pf::DecimalMark::Comma ? "," : ".", language);
    std::string text = greek ? std::string("Διαβάστηκαν ") + std::to_string(points) + (points == 1 ? " σημείο" : " σημεία") +
                                   ": διαχωριστικό " + separator + ", υποδιαστολή " + decimal
                             : std::string("Read ") + std::to_string(points) + (points == 1 ? " point" : " points") +
                                   ": separator " + separator + ", decimal mark " + decimal;
    if (!layout.height) text += greek ? ", χωρίς υψόμετρο" : ", no height";
    if (layout.header) text += greek ? ", γραμμή επικεφαλίδας" : ", header line";
    return text;
}

std::string recordPlace(unsigned long long record, unsigned long long line, Language language)
{
    return std::string(language == Language::Greek ? "εγγραφή " : "record ") + std::to_string(record) + ", " +
           linePlace(line, language);
}

std::string linePlace(unsigned long long line, Language language)
{
    return std::string(language == Language::Greek ? "γραμμή " : "line ") + std::to_string(line);
}

std::string faultReason(const pf::RecordFault& fault, Language language)
{
    const bool greek = language == Language::Greek;
    const std::string name = fieldName(fault.field, language);
    const std::string count = std::to_string(fault.count), expected = std::to_string(fault.expected);
    switch (fault.problem) {
    case pf::RecordProblem::FieldCount:
        return greek ? count + " πεδία αντί για " + expected : count + " fields instead of " + expected;
    case pf::RecordProblem::EmptyField:
        return greek ? "το " + name + " είναι κενό" : name + " is empty";
    case pf::RecordProblem::NotANumber:
        return name + " = " + quoted(fault.text, language) + (greek ? " δεν είναι αριθμός" : " is not a number");
    case pf::RecordProblem::CutShort:
        return greek ? "το κείμενο τελειώνει μέσα στην εγγραφή" : "the text ends inside the record";
    case pf::RecordProblem::OffLine:
        return greek ? "η εγγραφή δεν βρίσκεται μόνη σε μία γραμμή (γραμμή με " + count +
                           " πεδία· κάθε γραμμή θέλει 4, ή 3 σε όλες)"
                     : "the record does not sit on a line of its own (a line of " + count +
                           " fields; every line needs 4, or 3 on all of them)";
    case pf::RecordProblem::Ambiguous:
        return greek ? count + " πεδία χωρισμένα με κόμμα· αν το κόμμα είναι υποδιαστολή, χωρίστε τα πεδία με «;» "
                               "ή γράψτε τους αριθμούς με τελεία"
                     : count + " fields between commas; if the comma is a decimal mark, separate the fields with "
                               "\";\" or write the numbers with a decimal point";
    case pf::RecordProblem::NotConvertible:
        return greek ? "οι συντεταγμένες δεν μετατρέπονται" : "the coordinates cannot be converted";
    case pf::RecordProblem::TooLong:
        return greek ? "η εγγραφή ξεπερνά τα 64 MiB" : "the record is longer than 64 MiB";
    }
    return {};
}

std::string recordsShifted(unsigned long long count, unsigned long long firstLine, Language language)
{
    if (language == Language::Greek) return msg::recordsOffLine(count, firstLine);
    const std::string line = std::to_string(firstLine);
    const char* hint = " (decimal commas, or a line without four fields?).";
    if (count == 1) return "warning: 1 record does not sit on a line of its own; it starts on line " + line + hint;
    return std::string("warning: ") + std::to_string(count) + " records do not sit one per line; the first starts on line " + line + hint;
}

std::string centreRefused(bool latitude, Language language)
{
    if (language == Language::Greek) return latitude ? msg::kLatitude : msg::kLongitude;
    return latitude ? "latitude refused" : "longitude refused";
}

std::string coordinatesRefused(Language language)
{
    return language == Language::Greek ? msg::kCoordinates : "the coordinates cannot be converted.";
}

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
    return language == Language::Greek
               ? std::string("Το ") + msg::shownText(typed) + " διαβάστηκε ως " + shown +
                     " (μοίρες.λεπτά, με 60 λεπτά ή περισσότερα)"
               : msg::shownText(typed) + " was read as " + shown + " (degrees.minutes, with 60 minutes or more)";
}

std::string listStopped(unsigned long long record, unsigned long long line, const pf::RecordFault& fault,
                        const std::string& refusal, bool firstMiB, Language language)
{
    const bool greek = language == Language::Greek;
    std::string text = std::string(greek ? msg::kBatchFailed : "error in the list:") + " " +
                       recordPlace(record, line, language) + ": " +
                       (refusal.empty() ? faultReason(fault, language) : refusal);
    if (fault.problem == pf::RecordProblem::OffLine) {
        text += greek ? " (το --records-across-lines τη διαβάζει όπως το παράθυρο)"
                      : " (--records-across-lines reads it as the window does)";
    }
    // The list changes its separator, decimal mark or fields on the way.
    const bool layoutFault = fault.problem == pf::RecordProblem::NotANumber || fault.problem == pf::RecordProblem::FieldCount;
    if (firstMiB && layoutFault) {
        text += greek ? " (η διάταξη αναγνωρίστηκε από το πρώτο MiB της λίστας)"
                      : " (the layout was recognised from the first MiB of the list)";
    }
    return text;
}

} // namespace hattsheet::operations
