#include "operations/message_book.h"

#include "base/platform.h"
#include "operations/egsa87_conversion.h"
#include "text/number_format.h"
#include "text/text_codec.h"

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

std::string degreesText(double degrees)
{
    const double whole = std::trunc(degrees);
    const double minutes = std::fabs(degrees - whole) * 60.0;
    std::string shown = text::formatFixed(whole, 0) + "°";
    if (minutes != 0.0) shown += text::formatFixed(minutes, 0) + "'";
    return shown;
}

std::string farOutsideDistance() { return text::formatFixed(kFarOutsideMetres / 1000.0, 0) + " km"; }

std::string shownText(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto hex = [&](std::string& out, unsigned value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xF]);
    };
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = byte(i);
        // The length and code point of a UTF-8 character led by 0xC2-0xF4
        // here, as its bits give them (a longer form than needed too).
        std::size_t length = 1;
        unsigned code = c;
        if (c >= 0xC2 && c <= 0xF4) {
            const text::Utf8Char read = text::readUtf8Char(text, i);
            if (read.length > 1) {
                length = read.length;
                code = static_cast<unsigned>(read.codePoint);
            }
        }
        if (length > 1 && (code <= 0x9F || (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069))) {
            shown.append("\\u");
            hex(shown, code, 4);
        } else if (length > 1) {
            shown.append(text.substr(i, length));
        } else if (c == '\n') {
            shown.append("\\n");
        } else if (c == '\r') {
            shown.append("\\r");
        } else if (c == '\t') {
            shown.append("\\t");
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            shown.append("\\x");
            hex(shown, c, 2);
        } else {
            shown.push_back(static_cast<char>(c));
        }
        i += length - 1;
    }
    return shown;
}

// Lists and names.
std::string invalidUtf8Shown(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        const text::Utf8Char c = text::readUtf8Char(text, i);
        if (c.length > 0 && (c.length == 1 || c.wellFormed)) {
            shown.append(text.substr(i, c.length));
            i += c.length;
            continue;
        }
        const auto b = static_cast<unsigned char>(text[i++]);
        shown.append("\\x").push_back(kHex[b >> 4]);
        shown.push_back(kHex[b & 0xF]);
    }
    return shown;
}

} // namespace hattsheet::operations
