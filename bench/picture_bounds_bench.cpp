// The four files that once took the preview past any bound of memory and time, built here: a
// report file whose one page claims a 16384 x 16384 picture in a megabyte, an XML document of ten
// 4000 x 4000 PNG pictures, an XML document of one 64 MiB bitmap coded as LZW in 224 KB, and a
// report page of 5,000 texts each in a size of its own; an ordinary page beside them. Each is
// timed from asking for it until its window is painted with the page (or the refusal said), then
// painted again, each round in a process of its own whose peak memory is reported (medians).
// The windows are as they open on the screen (offscreen: 800 x 600, part of the page in view);
// with "whole" they are made large enough to show the whole page at 100 %.
// Usage: picture_bounds_bench [rounds, default 5] [whole] [case ...]   ("list" names the cases)
#include "bench/preview_load.h"
#include "report/output/xml/rpx_viewer.h"
#include "tests/support/hostile_documents.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A message box answered at once; its text tells a refusal from a page shown.
class NotedBoxes final : public utility::MessageBoxes {
public:
    bool Show(utility::MessageKind, const std::string& text) override
    {
        said = utility::Cp1250ToUtf8(text);
        return true;
    }
    std::string said;
};

struct Outcome {
    double shown = 0;  // ms from asking to the window painted
    double again = 0;  // ms to paint it again
    std::string what;  // "shown" or the message
};

// Large enough for an A4 page at 100 % beside the thumbnails.
constexpr QSize kWholePage(1120, 1260);

// A user loads `file` with the preview window's "Load report" until the window is painted.
Outcome LoadReportFile(const fs::path& file, NotedBoxes& boxes, bool whole)
{
    report::output::TRpPrinter printer;
    auto* window = bench::OpenPreview(printer);
    if (whole) {
        window->setWindowState(Qt::WindowNoState);
        window->resize(kWholePage);
        QCoreApplication::processEvents();
        static_cast<void>(window->grab());
    }
    bench::ChooseInNextDialog(QString::fromStdU16String(file.u16string()));
    Outcome outcome;
    auto start = Clock::now();
    window->LoadClick();
    static_cast<void>(window->grab());
    outcome.shown = Ms(Clock::now() - start);
    start = Clock::now();
    static_cast<void>(window->grab());
    outcome.again = Ms(Clock::now() - start);
    outcome.what = boxes.said.empty() ? "shown" : "refused: " + boxes.said;
    window->close();
    delete window;
    return outcome;
}

// A user opens `file` in the XML viewer until the window is painted; then the page is drawn
// again at the same zoom.
Outcome OpenXml(const fs::path& file, NotedBoxes& boxes, bool whole)
{
    auto* viewer = new report::output::TRpXStandardViewer;
    if (whole)
        viewer->resize(kWholePage);
    viewer->show();
    QCoreApplication::processEvents();
    static_cast<void>(viewer->grab());
    Outcome outcome;
    auto start = Clock::now();
    const bool opened = viewer->OpenFile(file);
    static_cast<void>(viewer->grab());
    outcome.shown = Ms(Clock::now() - start);
    start = Clock::now();
    viewer->ZoomTo100Click();
    static_cast<void>(viewer->grab());
    outcome.again = Ms(Clock::now() - start);
    outcome.what = opened && boxes.said.empty() ? "shown" : "refused: " + boxes.said;
    viewer->close();
    delete viewer;
    return outcome;
}

bool WriteText(const QString& text, const fs::path& file)
{
    const QByteArray bytes = text.toUtf8();
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.constData(), bytes.size());
    return static_cast<bool>(out);
}

struct Case {
    const char* name;
    const char* file;
    // Writes the file (not timed); false when it cannot.
    std::function<bool(const fs::path&)> write;
    std::function<Outcome(const fs::path&, NotedBoxes&, bool whole)> open;
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"report-picture-16384", "picture.rpp",
         [](const fs::path& f) { return testsupport::WriteReportFile(testsupport::PictureBombPage(16384, 1), f); },
         LoadReportFile},
        {"xml-10-png-4000", "png.xml",
         [](const fs::path& f) { return WriteText(testsupport::PngImagesXml(10, 4000), f); }, OpenXml},
        {"xml-lzw-bitmap-64mib", "bitmap.xml",
         [](const fs::path& f) {
             return WriteText(testsupport::ImagesXml(1, testsupport::PlainPicture(64u * 1024 * 1024 - 4096)), f);
         },
         OpenXml},
        {"report-5000-sizes", "sizes.rpp",
         [](const fs::path& f) { return testsupport::WriteReportFile(testsupport::FontSizesPage(5000, true), f); },
         LoadReportFile},
        {"report-ordinary", "ordinary.rpp",
         [](const fs::path& f) { return testsupport::WriteReportFile(testsupport::OrdinaryPage(), f); },
         LoadReportFile},
    };
    return cases;
}

// The process's peak resident memory in MB (its own: the rusage of a spawned child would
// count its parent's before the exec).
long PeakMb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6) / 1024;
    }
    return -1;
}

// The child's part: one case, its figures on standard output as "<shown> <again> <peak> <what>".
int RunCase(const Case& c, const fs::path& file, bool whole)
{
    NotedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const Outcome outcome = c.open(file, boxes, whole);
    std::printf("%.1f %.1f %ld %s\n", outcome.shown, outcome.again, PeakMb(), outcome.what.c_str());
    return 0;
}

struct Round {
    double shown = 0;
    double again = 0;
    long peakMb = 0;
    std::string what;
};

// One round in a process of its own; false when it did not end well.
bool RunChild(const char* self, const Case& c, const fs::path& file, bool whole, Round& round)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string fileArg = file.string();
    char* const argv[] = {const_cast<char*>(self),
                          const_cast<char*>("--case"),
                          const_cast<char*>(c.name),
                          const_cast<char*>(fileArg.c_str()),
                          const_cast<char*>(whole ? "whole" : "screen"),
                          nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    const std::size_t last = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    const std::string line = text.substr(last == std::string::npos ? 0 : last + 1);
    char what[512] = {};
    if (std::sscanf(line.c_str(), "%lf %lf %ld %511[^\n]", &round.shown, &round.again, &round.peakMb, what) < 4)
        return false;
    round.what = what;
    return true;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--case") == 0) {
        QApplication app(argc, argv);
        for (const Case& c : Cases()) {
            if (c.name == std::string(argv[2]))
                return RunCase(c, argv[3], std::strcmp(argv[4], "whole") == 0);
        }
        return 2;
    }
    int rounds = 5;
    bool whole = false;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "whole") == 0) {
            whole = true;
            continue;
        }
        if (std::strcmp(argv[i], "list") == 0) {
            for (const Case& c : Cases())
                std::printf("%s\n", c.name);
            return 0;
        }
        if (const int n = std::atoi(argv[i]); n > 0)
            rounds = n;
        else
            only.emplace_back(argv[i]);
    }
    QApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("| %-22s | %9s | %9s | %9s | %9s | %s\n", "file", "KB", "shown ms", "again ms", "peak MB", "outcome");
    for (const Case& c : Cases()) {
        if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end())
            continue;
        const fs::path file = fs::path(folder.path().toStdString()) / c.file;
        if (!c.write(file)) {
            std::printf("| %-22s | cannot write the file\n", c.name);
            continue;
        }
        std::vector<double> shown, again, peak;
        std::string what;
        for (int r = 0; r < rounds; ++r) {
            Round round;
            if (!RunChild("/proc/self/exe", c, file, whole, round)) {
                what = "the process failed";
                break;
            }
            shown.push_back(round.shown);
            again.push_back(round.again);
            peak.push_back(static_cast<double>(round.peakMb));
            what = round.what;
        }
        if (shown.empty()) {
            std::printf("| %-22s | %s\n", c.name, what.c_str());
            continue;
        }
        std::printf("| %-22s | %9lld | %9.1f | %9.1f | %9.0f | %s\n", c.name,
                    static_cast<long long>(fs::file_size(file) / 1024), Median(shown), Median(again), Median(peak),
                    what.substr(0, 100).c_str());
        std::fflush(stdout);
    }
    return 0;
}
