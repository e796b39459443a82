// The floor for hattsheet-convert's list mode: what reading and writing a
// point list costs with no projection at all. It reads the same "code, X, Y,
// H" lines in blocks of 1 MiB, parses the three numbers of each line with
// std::from_chars and writes them back with std::to_chars in "0.000", one
// thread, no checks beyond what parsing needs. hattsheet-convert's CPU time
// over this one's is what the conversion, the checks and the exact rounding
// of the window's format add.
//
//   bench_floor LIST_FILE > OUT

#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::size_t kBlock = 1 << 20;  // bytes read and written at a time, as hattsheet-convert does
constexpr int kDecimals = 3;             // "0.000"

bool writeAll(const std::string& s)
{
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, s.data() + done, s.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// One line without its end: the code up to the first comma, then three
// numbers after ", ". A field that does not parse is written as 0.
void convertLine(std::string_view line, std::string& out)
{
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return;
    out.append(line.substr(0, comma));
    const char* p = line.data() + comma;
    const char* const end = line.data() + line.size();
    for (int i = 0; i < 3; ++i) {
        while (p < end && (*p == ',' || *p == ' ')) ++p;
        double v = 0.0;
        p = std::from_chars(p, end, v).ptr;
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, kDecimals);
        out.append(", ");
        out.append(buf, r.ptr);
    }
    out.append("\r\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: bench_floor LIST_FILE > OUT\n", stderr);
        return 64;
    }
    const int in = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::string text, out;
    std::string block(kBlock, '\0');
    for (;;) {
        const ssize_t n = ::read(in, block.data(), block.size());
        if (n < 0) {
            std::perror(argv[1]);
            return 1;
        }
        text.append(block.data(), static_cast<std::size_t>(n));
        std::size_t pos = 0;
        for (;;) {
            const std::size_t nl = text.find('\n', pos);
            if (nl == std::string::npos && n > 0) break;
            const std::size_t stop = nl == std::string::npos ? text.size() : nl;
            std::string_view line(text.data() + pos, stop - pos);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!line.empty()) convertLine(line, out);
            if (nl == std::string::npos) {
                pos = text.size();
                break;
            }
            pos = nl + 1;
        }
        text.erase(0, pos);
        if (out.size() >= kBlock || n == 0) {
            if (!writeAll(out)) return 1;
            out.clear();
        }
        if (n == 0) break;
    }
    ::close(in);
    return 0;
}
