// The window's batch conversion of a point list, timed without a window:
// the operation from panel 1 to the appended panel 2 text (feed file
// included). The panel widget's own update is measured by the window tests.
//
//   bench_batch LIST_FILE

#include "support/fake_window.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: bench_batch LIST_FILE\n", stderr);
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const auto dir = std::filesystem::temp_directory_path() / "hattsheet-bench";
    std::filesystem::create_directories(dir);
    const auto t0 = std::chrono::steady_clock::now();
    const hattsheet::testing::BatchRun run = hattsheet::testing::runBatch(ss.str(), {dir, dir});
    const auto t1 = std::chrono::steady_clock::now();
    const std::string& out = run.panel2;
    std::printf("window batch (operation, fake panels): %.3f s, %zu bytes appended, message \"%s\"\n",
                std::chrono::duration<double>(t1 - t0).count(), out.size(),
                run.messages.empty() ? "" : run.messages[0].text.c_str());
    return 0;
}
