// The line a batch's end adds for the pages of an earlier batch that it did
// not replace: those of the numbering above its last page, and only those.
#include "ui/BatchPages.h"
#include "io/NumberedFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

namespace batch_pages_test {

namespace {

TEST(OlderPagesLine, NamesThePagesOfTheNumberingAboveTheLastOneKept) {
    const struct {
        const char* name;
        std::vector<std::string> files;
        int last;
        const char* line;
    } cases[] = {
        {"none above", {"scan-001.pnm", "scan-002.pnm", "scan-003.pnm"}, 3, ""},
        {"one above",
         {"scan-001.pnm", "scan-003.pnm", "scan-004.pnm"},
         3,
         "以前のページが 1 個残っています: scan-004.pnm"},
        {"a gap among them",
         {"scan-002.pnm", "scan-005.pnm", "scan-009.pnm", "scan-012.pnm"},
         3,
         "以前のページが 3 個残っています: scan-005.pnm 〜 scan-012.pnm"},
        {"nothing kept",
         {"scan-001.pnm", "scan-002.pnm"},
         0,
         "以前のページが 2 個残っています: scan-001.pnm 〜 scan-002.pnm"},
        {"past three digits",
         {"scan-999.pnm", "scan-1000.pnm"},
         999,
         "以前のページが 1 個残っています: scan-1000.pnm"},
        {"other names are no pages",
         {"scan-04.pnm", "scan-004.tif", "other-004.pnm", "scan.pnm", "scan-0004.pnm"},
         0,
         ""},
    };
    for (const auto& c : cases) {
        ScratchDir scratch;
        for (const std::string& file : c.files) {
            WriteBytes(scratch / file, "old");
        }
        EXPECT_EQ(OlderPagesLine(scratch / "scan.pnm", c.last).toStdString(), c.line) << c.name;
    }
}

} // namespace

} // namespace batch_pages_test
