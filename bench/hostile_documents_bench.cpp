// Drawing the report pages and XML documents that once froze the preview, and evaluating the
// expressions that once overflowed the stack: each fixture's first paint, its paint again, and
// a user loading it as a report file in the preview window until page and thumbnails show.
// Usage: hostile_documents_bench [case ...]   (no case: all of them; "list" names them)
#include "bench/bench_support.h"
#include "bench/preview_load.h"
#include "report/expr/evaluator.h"
#include "report/expr/expr_unit.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_paint.h"
#include "report/output/preview/rp_preview.h"
#include "report/output/preview/rp_standard_preview.h"
#include "report/output/printer/rp_printer.h"
#include "report/output/xml/rpx_document.h"
#include "tests/support/hostile_documents.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;
using report::output::Page;

// The median of `rounds` runs of `work`, in milliseconds.
double Median(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(Ms(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The page as the preview paints it, with fonts made for this paint.
void PaintOnce(const Page& page)
{
    QImage image(testsupport::kPageWidth + 4, testsupport::kPageHeight + 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    report::output::PaintPage(&page, painter, image.rect(), false);
}

// A user opens the report file in the preview window: from choosing the file until the page
// and its thumbnails are painted; then the window painted again.
void LoadInPreview(const char* name, const Page& page)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("hostile.rpp"));
    if (!testsupport::WriteReportFile(page, file.toStdString())) {
        std::printf("  %-40s cannot write the report file\n", name);
        return;
    }
    report::output::TRpPrinter printer;
    auto* window = bench::OpenPreview(printer);
    bench::ChooseInNextDialog(file);
    const auto start = Clock::now();
    window->LoadClick();
    static_cast<void>(window->grab());
    const double shown = Ms(Clock::now() - start);
    const double again = Median(3, [&] { static_cast<void>(window->grab()); });
    std::printf("  %-40s load and show %9.1f ms, paint again %8.1f ms\n", name, shown, again);
    window->close();
    delete window;
}

void Pages(const std::vector<std::string>& only)
{
    struct Row {
        const char* name;
        Page page;
    };
    const Row rows[] = {
        {"page-ordinary", testsupport::OrdinaryPage()},
        {"page-turned-giants", testsupport::TurnedGiantTextsPage(1000)},
        {"page-turned-giants-on-page", testsupport::TurnedGiantTextsOnPage(20)},
        {"page-5000-sizes", testsupport::FontSizesPage(5000, false)},
        {"page-5000-sizes-on-page", testsupport::FontSizesPage(5000, true)},
        {"page-5000-faces", testsupport::FaceNamesPage(5000, false)},
        {"page-5000-faces-on-page", testsupport::FaceNamesPage(5000, true)},
    };
    for (const Row& row : rows) {
        if (!only.empty() && std::find(only.begin(), only.end(), row.name) == only.end())
            continue;
        std::printf("%s (%zu records)\n", row.name, row.page.records.size());
        std::printf("  %-40s %9.1f ms\n", "first paint, fonts made for it", Median(1, [&] { PaintOnce(row.page); }));
        LoadInPreview("report file in the preview", row.page);
    }
}

void Xml(const std::vector<std::string>& only)
{
    struct Row {
        const char* name;
        std::function<QString()> text;
    };
    const Row rows[] = {
        {"xml-turned-giants", [] { return testsupport::TurnedGiantTextsXml(300); }},
        // 20 images of 64 MiB of pixels each, as a 1.9 MB document holds them.
        {"xml-20-images",
         [] { return testsupport::ImagesXml(20, testsupport::PlainPicture(64u * 1024 * 1024 - 4096)); }},
    };
    for (const Row& row : rows) {
        if (!only.empty() && std::find(only.begin(), only.end(), row.name) == only.end())
            continue;
        const QString text = row.text();
        QString error;
        const std::unique_ptr<report::output::TRpXDocument> document =
            report::output::TRpXDocument::FromText(text, error);
        if (!document) {
            std::printf("%s: %s\n", row.name, error.toStdString().c_str());
            continue;
        }
        std::printf("%s (%lld KB)\n", row.name, static_cast<long long>(text.size() / 1024));
        const auto start = Clock::now();
        static_cast<void>(document->PagePicture(1, 100));
        std::printf("  %-40s %9.1f ms\n", "first page picture", Ms(Clock::now() - start));
        std::printf("  %-40s %9.1f ms\n", "page picture again",
                    Median(3, [&] { static_cast<void>(document->PagePicture(1, 100)); }));
        std::printf("  %-40s %9.1f ms\n", "thumbnail (zoom 20)",
                    Median(3, [&] { static_cast<void>(document->PagePicture(1, 20)); }));
    }
}

std::string Chain(const std::string& term, const std::string& op, int count)
{
    std::string text = term;
    for (int i = 1; i < count; ++i)
        text += op + term;
    return text;
}

void Expressions(const std::vector<std::string>& only)
{
    struct Row {
        const char* name;
        std::string text;
    };
    std::string unary;
    for (int i = 0; i < 20000; ++i)
        unary += "-(";
    const Row rows[] = {
        {"expr-chain-20000", Chain("1", "+", 20000)},
        {"expr-chain-15000", Chain("1", "+", 15000)},
        {"expr-parentheses-20000", std::string(20000, '(') + "1" + std::string(20000, ')')},
        {"expr-unary-minus-20000", unary + "1" + std::string(20000, ')')},
    };
    report::expr::InitializeExpressionUnit();
    for (const Row& row : rows) {
        if (!only.empty() && std::find(only.begin(), only.end(), row.name) == only.end())
            continue;
        report::expr::TRpEvResult result;
        const double ms = Median(3, [&] {
            report::expr::TRpEvaluator evaluator;
            result = evaluator.Calculate(row.text);
        });
        const std::string value = result.Kind == report::expr::rkError     ? "error: " + result.StringValue
                                  : result.Kind == report::expr::rkInteger ? std::to_string(result.IntegerValue)
                                                                           : "other";
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%-40s %9.2f ms  %s  (peak memory of the process %ld MB)\n", row.name, ms, value.c_str(),
                    usage.ru_maxrss / 1024);
    }
    report::expr::FinalizeExpressionUnit();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<std::string> only(argv + 1, argv + argc);
    if (only.size() == 1 && only[0] == "list") {
        std::printf(
            "page-ordinary page-turned-giants page-turned-giants-on-page page-5000-sizes page-5000-sizes-on-page\n"
            "page-5000-faces page-5000-faces-on-page xml-turned-giants xml-20-images\n"
            "expr-chain-20000 expr-chain-15000 expr-parentheses-20000 expr-unary-minus-20000\n");
        return 0;
    }
    Pages(only);
    Xml(only);
    Expressions(only);
    return 0;
}
