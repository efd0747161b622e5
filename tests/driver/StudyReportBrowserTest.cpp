// The report of the repair study as a reader sees it: rendered by a real browser
// (headless Chromium), every table and plot present, nothing logged on the
// console, every plot file well-formed on its own, and a screenshot kept as an
// artefact of the test run (test-artifacts/study-report.png in the build folder).
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kStudy = std::string(GEN_BINARY_DIR) + "/study";
const std::string kRepair = std::string(GEN_SOURCE_DIR) + "/docs/examples/repair/repair.san";

std::string Browser() {
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (fs::exists(path))
            return path;
    return "";
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

class StudyReportBrowserTest : public testsupport::ScratchTest {
  protected:
    StudyReportBrowserTest() : ScratchTest("studybrowser") {}

    // Runs the browser headless on `file` with `what` (--dump-dom, --screenshot=...).
    testsupport::RunResult Browse(const std::string& what, const fs::path& file) const {
        // A profile of its own, and none of the background connections that the
        // closed network of a test machine refuses.
        const std::string flags =
            "--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
            "--disable-background-networking --disable-component-update --disable-sync "
            "--user-data-dir='" +
            (root / "profile").string() + "' --enable-logging=stderr --v=0 ";
        return Run(Browser(), flags + what + " 'file://" + file.string() + "'");
    }
};

TEST_F(StudyReportBrowserTest, TheRepairReportRendersWithEveryTableAndPlot) {
    if (Browser().empty())
        GTEST_SKIP() << "no Chromium (Debian package chromium) on this machine";
    const testsupport::RunResult study =
        Run(kStudy, "'" + kRepair + "' -o out -m both -R 0.05 -A 0.01");
    ASSERT_EQ(study.status, 0) << study.out << study.err;
    std::vector<std::string> plots;
    for (const auto& e : fs::directory_iterator(work / "out/plots"))
        plots.push_back(e.path().filename().string());
    ASSERT_EQ(plots.size(), 3u);

    const fs::path report = work / "out/report.html";
    const testsupport::RunResult dom = Browse("--dump-dom", report);
    ASSERT_EQ(dom.status, 0) << dom.err;
    // The page as the browser built it.
    EXPECT_THAT(dom.out, HasSubstr("<h1>Study of repair</h1>"));
    EXPECT_EQ(Count(dom.out, "<table class=\"experiments\">"), 1u);
    EXPECT_EQ(Count(dom.out, "<table class=\"results\">"), 1u);
    // 3 experiments x 3 rows x 2 methods, and the header.
    EXPECT_EQ(Count(dom.out.substr(dom.out.find("<table class=\"results\">")), "<tr"), 19u);
    EXPECT_EQ(Count(dom.out, "<svg"), plots.size());
    for (const std::string& p : plots)
        EXPECT_THAT(dom.out, HasSubstr("plots/" + p)) << p;
    for (const char* title : {"availability against repair_rate",
                              "components_up against repair_rate", "components_up over time"})
        EXPECT_THAT(dom.out, HasSubstr(std::string("<h3>") + title + "</h3>")) << title;
    EXPECT_THAT(dom.out, Not(HasSubstr("parsererror")));
    // Nothing on the console: no script error, no failed resource.
    EXPECT_THAT(dom.err, Not(HasSubstr(":CONSOLE")));

    // Each plot file is well-formed XML on its own: a browser shows a parser error
    // page for one that is not.
    for (const std::string& p : plots) {
        const testsupport::RunResult svg = Browse("--dump-dom", work / "out/plots" / p);
        EXPECT_EQ(svg.status, 0) << p;
        EXPECT_THAT(svg.out, HasSubstr("<svg")) << p;
        EXPECT_THAT(svg.out, Not(HasSubstr("parsererror"))) << p;
    }

    // The screenshot, kept beside the build for whoever looks at the run.
    const fs::path artefacts = fs::path(GEN_BINARY_DIR) / "test-artifacts";
    fs::create_directories(artefacts);
    const fs::path png = artefacts / "study-report.png";
    fs::remove(png);
    const testsupport::RunResult shot =
        Browse("--window-size=1280,3600 --screenshot='" + png.string() + "'", report);
    ASSERT_EQ(shot.status, 0) << shot.err;
    ASSERT_TRUE(fs::exists(png));
    std::ifstream in(png, std::ios::binary);
    char magic[8] = {};
    in.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    EXPECT_GT(fs::file_size(png), 50000u); // a page with plots, not a blank one
}

} // namespace
