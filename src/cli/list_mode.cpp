#include "cli/list_mode.h"

#include "base/platform.h"
#include "base/safe_file.h"
#include "cli/exit_codes.h"
#include "cli/cli_texts.h"
#include "operations/egsa87_operations.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"
#include "operations/list_source.h"
#include "operations/point_list.h"
#include "pointfile/layout_writer.h"

#include <optional>
#include <string>
#include <utility>

namespace hattsheet::cli {

namespace {

namespace pf = hattsheet::pointfile;
namespace files = hattsheet::files;
namespace sys = hattsheet::platform;
namespace ops = hattsheet::operations;

bool isStd(const std::optional<std::string>& name) { return !name || *name == "-"; }

// Where the lines go: stdout, or OUTPUT through a SafeWriter, which keeps
// the old OUTPUT until everything was written.
class Output {
public:
    explicit Output(const std::optional<std::string>& name)
    {
        if (isStd(name)) return;
        m_label = *name;
        m_file.emplace(sys::pathFromUtf8(*name));
        keep(m_file->state());
    }
    // The errno of the first failure, or 0.
    int error() const { return m_error; }
    const std::string& label() const { return m_label; }
    std::string& buffer() { return m_buffer; }

    // --keep-layout: the lines from now on in the list's layout, after its
    // header line (the first line of text) when it has one.
    void keepLayout(const pf::PointLayout& layout, std::string_view text)
    {
        m_layout = layout;
        if (layout.header) m_buffer.append(pf::lineAt(text, 0)).append("\r\n");
    }

    // A map file: its header now, before any point; its footer at commit.
    void frame(const ListRequest::MapFrame& frame)
    {
        m_buffer = frame.header;
        m_skipAt = frame.header.size();
        m_skip = frame.firstSkip;
        m_footer = frame.footer;
    }

    bool flush()
    {
        if (m_skip != 0 && m_buffer.size() > m_skipAt) {
            m_buffer.erase(m_skipAt, m_skip);
            m_skip = 0;
        }
        if (m_layout && m_layout->separator != pf::Separator::Comma) {
            std::string rewritten;
            rewritten.reserve(m_buffer.size());
            pf::appendInLayout(rewritten, m_buffer, *m_layout);
            m_buffer.swap(rewritten);
        }
        if (m_error == 0 && m_file) {
            m_file->write(m_buffer);
            keep(m_file->state());
        } else if (m_error == 0) {
            if (auto w = sys::writeAll(sys::kStdout, m_buffer); !w) m_error = w.error().code;
        }
        m_buffer.clear();
        return m_error == 0;
    }
    // The end of a whole list: a map file's footer, then commit.
    bool commitWhole()
    {
        if (m_buffer.size() <= m_skipAt) m_skip = 0;  // no point: the footer keeps its bytes
        m_buffer += m_footer;
        return commit();
    }
    // Writes what is left, closes, and gives the file its name.
    bool commit()
    {
        flush();
        if (m_file) keep(m_file->commit());
        return m_error == 0;
    }
    // The end of a run that stopped early: stdout, a device or a descriptor
    // gets the lines before the stop, as the window's panel does; an OUTPUT
    // file is all or nothing, so an existing one stays exactly as it was.
    void finishPartial()
    {
        if (!m_file || m_file->inPlace()) {
            commit();
        } else {
            m_file.reset();
        }
    }

private:
    void keep(const Expected<Done, SystemError>& state) { m_error = state ? 0 : state.error().code; }

    std::optional<files::SafeWriter> m_file;  // none: stdout
    std::optional<pf::PointLayout> m_layout;  // --keep-layout: the list's
    int m_error = 0;
    std::string m_label = "stdout", m_buffer;
    std::string m_footer;                       // a map file's
    std::size_t m_skipAt = 0, m_skip = 0;       // the header's size; the first point's bytes to drop
};

// INPUT's descriptor (none for stdin); an empty optional after reporting a
// file that cannot be opened.
std::optional<sys::Descriptor> openInput(const ListRequest& request, const std::string& inLabel,
                                         operations::Language language)
{
    if (isStd(request.input)) return sys::Descriptor();
    auto in = sys::openForReading(sys::pathFromUtf8(*request.input), true);
    if (!in) {
        say(operations::messageBook(language).cannotRead(inLabel, in.error().code));
        return std::nullopt;
    }
    return std::move(in->fd);
}

// The messages of a run that read its input to the end or to a failing
// record, in their order on stderr, and its exit status.
int finishRun(const ops::PointConverter& converter, const ops::ListTally& tally, const ops::ListStop* stop,
              Output& out, const ListRequest& request, operations::Language language)
{
    if (!pf::isWrittenLayout(tally.layout)) say(ops::messageBook(language).layoutRecognised(tally.records, tally.layout));
    if (request.keepLayout) say(ops::messageBook(language).layoutWritten(tally.layout));
    if (tally.offLine != 0) say(ops::messageBook(language).recordsShifted(tally.offLine, tally.firstOffLine));
    if (const std::string warning = converter.warning(); !warning.empty()) say(warning);
    if ((stop && stop->cause == ops::ListStopCause::Write) || (!stop && !out.commitWhole())) {
        say(operations::messageBook(language).cannotWrite(out.label(), out.error()));
        return kExitFailed;
    }
    if (stop) {
        out.finishPartial();
        say(ops::messageBook(language).listStopped(*stop));
        return kExitFailed;
    }
    return kExitDone;
}

int runList(const ops::PointConverter& converter, const ListRequest& request, operations::Language language)
{
    const std::string inLabel = isStd(request.input) ? "stdin" : *request.input;
    auto in = openInput(request, inLabel, language);
    if (!in) return kExitFailed;
    ops::DescriptorSource source(in->valid() ? in->get() : sys::kStdin);
    Output out(request.output);
    if (out.error() != 0) {
        say(operations::messageBook(language).cannotWrite(out.label(), out.error()));
        return kExitFailed;
    }
    if (request.frame) out.frame(*request.frame);
    ops::ListOptions options;
    options.strictLines = !request.recordsAcrossLines;
    options.longestRecord = ops::kLongestRecordBytes;
    options.secondThread = true;
    if (request.keepLayout) options.onLayout = [&](const pf::PointLayout& layout, std::string_view text) { out.keepLayout(layout, text); };
    const auto run = ops::convertList(source, converter, options, out.buffer(), [&](std::string&) { return out.flush(); });
    *in = sys::Descriptor();
    const ops::ListStop* stop = run ? nullptr : &run.error();
    if (stop && stop->cause == ops::ListStopCause::Read) {
        // The input is not all there: what was converted goes to stdout,
        // but an OUTPUT file is not replaced by a part.
        if (stop->laterBlock) out.finishPartial();
        say(operations::messageBook(language).cannotRead(inLabel, stop->error));
        return kExitFailed;
    }
    return finishRun(converter, run ? *run : stop->tally, stop, out, request, language);
}

} // namespace

int runListConversion(const geodesy::HattConversion& sheets, const ListRequest& request, operations::Language language)
{
    return runList(ops::HattConverter(sheets), request, language);
}

int runListConversion(const operations::PointConverter& converter, const ListRequest& request,
                      operations::Language language)
{
    return runList(converter, request, language);
}

} // namespace hattsheet::cli
