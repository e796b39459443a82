// The whole list conversion on arbitrary bytes, as the command line runs it
// (file in, file out) and as the window's batch runs it (panel 1 to panel 2
// converted in memory), with the default sheet centres.
//
// Properties:
// - the command line ends with 0 or 1;
// - for input without double quotes, every line it writes reads back through
//   the field reader as one record (code, X, Y, H, or code, X, Y for a list
//   without heights) with X and Y numbers that
//   never spell "inf" or "nan" (a code or a text H may: it is the user's);
// - for input that is valid UTF-8 and not only spaces, the window appends
//   exactly the same bytes to panel 2 as the command line with
//   --records-across-lines (the window's reading), in whatever layout the
//   list is recognised, shows "Λάθος στον πίνακα!" exactly when the command
//   line failed on a record, and its completion message otherwise (a list that starts with a byte-order mark is left out: the
//   mark belongs to a file, and a panel never holds one there).

#include "support/fake_window.h"
#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "fuzz_check.h"
#include "cli/list_mode.h"
#include "operations/window_texts.h"
#include "text/text_codec.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <fcntl.h>
#include <unistd.h>

using namespace hattsheet;
using fuzz::require;

namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path dir;
    Scratch()
    {
        const fs::path shm("/dev/shm");
        dir = (fs::is_directory(shm) ? shm : fs::temp_directory_path()) /
              ("hattsheet-fuzz-list-" + std::to_string(::getpid()));
        fs::create_directories(dir / "program");
        fs::permissions(dir / "program", fs::perms::owner_all);
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

std::string slurp(const fs::path& p)
{
    std::string s;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[1 << 16];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

void spill(const fs::path& p, std::string_view bytes)
{
    std::FILE* f = std::fopen(p.c_str(), "wb");
    require(f != nullptr, "scratch file opens");
    require(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fclose(f) == 0,
            "scratch file written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const fs::path in = scratch.dir / "in.txt";
    const fs::path out = scratch.dir / "out.txt";
    spill(in, input);
    std::error_code ec;
    fs::remove(out, ec);

    const auto sheets = operations::readHattConversion("40.51", "-0.51", "40.45", "-0.45");
    require(sheets.hasValue(), "the default centres are accepted");
    // OUTPUT given as a descriptor is written in place, so the lines before a
    // failing record are there to compare (a named OUTPUT is all or nothing).
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(outFd >= 0, "scratch output opens");
    // Records across lines are read as the window's batch reads them.
    const int status = cli::runListConversion(*sheets, {in.string(), "/dev/fd/" + std::to_string(outFd), true},
                                              operations::Language::Greek);
    ::close(outFd);
    require(status == 0 || status == 1, "the command line ends with 0 or 1");
    const std::string written = slurp(out);

    // Without a double quote in the input no field can hold a comma or a
    // line end, so every line written must be one record again. (A quoted
    // code comes out without its quotes, as the window shows it, and a
    // quoted H that is text is copied as it stands: such lines are the
    // input's text again and are not checked here.)
    const bool quoteFree = input.find('"') == std::string_view::npos;
    std::size_t pos = 0;
    while (pos < written.size()) {
        const std::size_t end = written.find("\r\n", pos);
        require(end != std::string::npos, "every output line ends with CR LF", written);
        const std::string_view line = std::string_view(written).substr(pos, end - pos + 2);
        pos = end + 2;
        if (!quoteFree) continue;
        std::size_t q = 0;
        // A list without heights is written without them: three fields.
        std::string withHeight(line);
        if (!pointfile::readRecord(withHeight, q, true)) {
            withHeight = std::string(line.substr(0, line.size() - 2)) + ",0\r\n";
        }
        q = 0;
        const auto read = pointfile::readRecord(withHeight, q, true);
        require(read && q == withHeight.size(), "an output line is one record", line);
        const pointfile::PointRecord& r = *read;
        require(pointfile::fieldNumber(r.x).has_value() && pointfile::fieldNumber(r.y).has_value(),
                "X and Y of an output line are numbers", line);
        require(!fuzz::spellsNonFinite(r.x.text) && !fuzz::spellsNonFinite(r.y.text), "no inf/nan as X or Y", line);
    }

    // A byte-order mark marks a file, not a panel's text: a list that starts
    // with one is compared on the command line alone.
    if (!hattsheet::text::isValidUtf8(input) || input.find_first_not_of(' ') == std::string_view::npos ||
        input.substr(0, 3) == "\xEF\xBB\xBF") {
        return 0;
    }
    const testing::BatchRun batch = testing::runBatch(std::string(input), {scratch.dir / "program", scratch.dir / "cache"});
    require(batch.messages.size() == 1, "the batch shows one message", input);
    require(batch.panel2 == written, "window and command line give the same bytes",
            "command line: " + written + " | window: " + batch.panel2);
    const auto startsWith = [](const std::string& text, std::string_view head) { return text.compare(0, head.size(), head) == 0; };
    const bool windowFailed = startsWith(batch.messages[0].text, operations::windowTexts().batchFailed);
    require(windowFailed == (status == 1), "both fail on the same lists", input);
    require(windowFailed || startsWith(batch.messages[0].text, operations::windowTexts().batchDone), "completion is reported", input);
    return 0;
}
