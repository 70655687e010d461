// Command lines into commands: what each accepted form means, which forms are
// usage errors, and that help wins.
#include "cli/CliArgs.h"
#include "cli/ApplyTargets.h"
#include "cli/OutputChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cli_args_test {

namespace {

namespace fs = std::filesystem;

ParsedArgs Parse(const std::vector<std::string>& words) {
    const std::vector<std::string_view> args(words.begin(), words.end());
    return ParseArgs(args);
}

struct GoodLine {
    const char* name;
    std::vector<std::string> args;
    CommandKind kind;
    bool defaults;
    std::string params;
    std::vector<fs::path> inputs;
    std::string output;
    std::string outputDir;
    bool force;
};

TEST(CliArgs, AcceptedLinesGiveTheirCommand) {
    const GoodLine lines[] = {
        {"assess through a parameter file",
         {"assess", "scan.tif", "--params", "p.tvp", "--chart", "colorchecker", "--corners",
          "1,1,9,1,9,9,1,9"},
         CommandKind::Assess,
         false,
         "p.tvp",
         {"scan.tif"},
         "",
         "",
         false},
        {"assess of a chart to be found",
         {"assess", "scan.tif", "--chart", "colorchecker"},
         CommandKind::Assess,
         false,
         "",
         {"scan.tif"},
         "",
         "",
         false},
        {"assess as scanned",
         {"assess", "--chart", "it8", "--reference", "r.txt", "--corners", "1,1,9,1,9,9,1,9",
          "scan.tif"},
         CommandKind::Assess,
         false,
         "",
         {"scan.tif"},
         "",
         "",
         false},
        {"export",
         {"export", "p.tvp", "out.tvk"},
         CommandKind::Export,
         false,
         "p.tvp",
         {},
         "out.tvk",
         "",
         false},
        {"export forced, option last",
         {"export", "p.tvp", "out.tvk", "--force"},
         CommandKind::Export,
         false,
         "p.tvp",
         {},
         "out.tvk",
         "",
         true},
        {"apply pair",
         {"apply", "p.tvp", "in.bmp", "out.png"},
         CommandKind::Apply,
         false,
         "p.tvp",
         {"in.bmp"},
         "out.png",
         "",
         false},
        {"apply pages",
         {"apply", "p.tvp", "a.png", "b.tif", "doc.pdf"},
         CommandKind::Apply,
         false,
         "p.tvp",
         {"a.png", "b.tif"},
         "doc.pdf",
         "",
         false},
        {"apply defaults",
         {"apply", "--defaults", "in.bmp", "out.BMP"},
         CommandKind::Apply,
         true,
         "",
         {"in.bmp"},
         "out.BMP",
         "",
         false},
        {"apply to folder",
         {"apply", "-o", "dir", "--defaults", "a.bmp", "b/c.bmp"},
         CommandKind::Apply,
         true,
         "",
         {"a.bmp", "b/c.bmp"},
         "",
         "dir",
         false},
        {"sane", {"sane", "p.tvp"}, CommandKind::Sane, false, "p.tvp", {}, "", "", false},
        {"cube",
         {"cube", "--defaults", "x.cube"},
         CommandKind::Cube,
         true,
         "",
         {},
         "x.cube",
         "",
         false},
        {"table", {"table", "--defaults"}, CommandKind::Table, true, "", {}, "", "", false},
        {"auto",
         {"auto", "p.tvp", "scan.bmp", "out.tvp"},
         CommandKind::Auto,
         false,
         "p.tvp",
         {"scan.bmp"},
         "out.tvp",
         "",
         false},
        {"a name that looks like an option after --",
         {"table", "--", "-p.tvp"},
         CommandKind::Table,
         false,
         "-p.tvp",
         {},
         "",
         "",
         false},
    };
    for (const GoodLine& line : lines) {
        SCOPED_TRACE(line.name);
        const ParsedArgs parsed = Parse(line.args);
        ASSERT_EQ(parsed.status, ParseStatus::Run) << parsed.message;
        const CliCommand& c = parsed.command;
        EXPECT_EQ(c.kind, line.kind);
        EXPECT_EQ(c.defaults, line.defaults);
        EXPECT_EQ(c.params, fs::path(line.params));
        EXPECT_EQ(c.inputs, line.inputs);
        EXPECT_EQ(c.output, fs::path(line.output));
        EXPECT_EQ(c.outputDir.value_or(""), fs::path(line.outputDir));
        EXPECT_EQ(c.force, line.force);
    }
}

TEST(CliArgs, MalformedLinesAreUsageErrorsThatSayWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{}, "no command"},
        {{"print", "p.tvp"}, "unknown command print"},
        {{"assess", "s.tif", "--chart", "it8", "--corners", "1,1,9,1,9,9,1,9"},
         "--chart it8 needs --reference"},
        {{"assess", "s.tif"}, "--chart is needed"},
        {{"assess", "--defaults", "s.tif"}, "--defaults is for export"},
        {{"assess", "a.tif", "b.tif", "--chart", "colorchecker", "--corners", "1,1,9,1,9,9,1,9"},
         "too many"},
        {{"table", "--defaults", "--params", "p.tvp"}, "--params is for assess only"},
        {{"calibrate", "s.tif", "o.tvp", "--params", "p.tvp"}, "--params is for assess only"},
        {{"table", "--verbose", "p.tvp"}, "unknown option --verbose"},
        {{"table"}, "a parameter file or --defaults"},
        {{"table", "--defaults", "p.tvp"}, "too many"},
        {{"export", "p.tvp"}, "too few"},
        {{"cube", "--force", "--defaults", "x.cube"}, "--force is for export and scan only"},
        {{"sane", "-o", "dir", "--defaults"}, "-o is for apply only"},
        {{"apply", "--defaults", "in.bmp"}, "too few"},
        {{"apply", "--defaults", "--quality", "0", "a.bmp", "b.jpg"},
         "--quality takes 1..100, not 0"},
        {{"scan", "--linear", "--quality", "101", "b.jpg"}, "--quality takes 1..100, not 101"},
        {{"apply", "--defaults", "--png", "in.bmp", "out.bmp"}, "--png goes with -o"},
        {{"apply", "--defaults", "-o"}, "-o needs a folder"},
        {{"apply", "--defaults", "-o", "d", "-o", "e", "a.bmp"}, "given twice"},
        {{"table", ""}, "empty file name"},
        {{"export", "--defaults", "."}, "not a file name: ."},
        {{"export", "--defaults", "curves/"}, "not a file name: curves/"},
        {{"export", "--defaults", "/tmp"}, "not a file name: /tmp"},
        {{"export", "--defaults", "a/.."}, "not a file name"},
        {{"table", "--defaults", "--size", "1"}, "--size takes 2..65536"},
        {{"table", "--defaults", "--size", "65537"}, "--size takes 2..65536"},
        {{"table", "--defaults", "--size", "0x100"}, "--size takes"},
        {{"table", "--defaults", "--size", "-256"}, "--size takes"},
        {{"table", "--defaults", "--size", "18446744073709551872"}, "--size takes"},
        {{"table", "--defaults", "--max", "0"}, "--max takes a top level of 1..65535"},
        {{"table", "--defaults", "--max", "65536"}, "--max takes"},
        {{"table", "--defaults", "--max", "255.0"}, "--max takes"},
        {{"cube", "--defaults", "--max", "255", "x.cube"}, "--max is for table and sane"},
        {{"export", "--defaults", "--size", "256", "x.tvk"}, "--size is for table, cube and sane"},
        {{"table", "--defaults", "--device", "test:0"}, "--device is for sane and scan only"},
        {{"scan", "--defaults", "--channel", "red", "o.pnm"}, "--channel is for sane only"},
        {{"scan", "o.pnm"}, "too few"},
        {{"scan", "--linear"}, "too few"},
        {{"scan", "--linear", "p.tvp", "o.pnm"}, "too many"},
        {{"scan", "--linear", "--defaults", "o.pnm"}, "--linear and --defaults exclude"},
        {{"scan", "--linear", "--depth", "12", "o.pnm"}, "--depth takes 8 or 16, not 12"},
        {{"scan", "--linear", "--option", "source", "o.pnm"}, "NAME=VALUE, not source"},
        {{"scan", "--linear", "--option", "=x", "o.pnm"}, "NAME=VALUE"},
        {{"scan", "--linear", "--size", "256", "o.pnm"}, "--size is for"},
        {{"apply", "--linear", "--defaults", "a.bmp", "b.bmp"}, "--linear is for scan only"},
        {{"table", "--defaults", "--resolution", "300"}, "--resolution is for scan only"},
        {{"sane", "--defaults", "--device", "test:0", "--size", "256"}, "--device reads"},
        {{"sane", "--defaults", "--channel", "red"}, "--channel goes with --device"},
        {{"sane", "--defaults", "--device", "t", "--channel", "alpha"}, "red, green or blue"},
        {{"devices", "--defaults"}, "takes no parameters"},
        {{"auto", "--defaults", "scan.bmp"}, "too few"},
        {{"auto", "--defaults", "a.bmp", "b.bmp", "out.tvp"}, "too many"},
        {{"auto", "--defaults", "a.bmp", "o.tvp", "--clip"}, "--clip needs a percentage"},
        {{"auto", "--defaults", "a.bmp", "o.tvp", "--clip", "100.5"}, "--clip takes a percentage"},
        {{"auto", "--defaults", "a.bmp", "o.tvp", "--clip", "-1"}, "--clip takes"},
        {{"auto", "--defaults", "a.bmp", "o.tvp", "--clip", "1e-1"}, "--clip takes"},
        {{"auto", "--defaults", "a.bmp", "o.tvp", "--clip", "nan"}, "--clip takes"},
        {{"table", "--defaults", "--clip", "1"}, "--clip is for auto only"},
        {{"scan", "--linear", "o.pnm", "--area", "1,2,3"}, "--area takes LEFT,TOP,WIDTH,HEIGHT"},
        {{"scan", "--linear", "o.pnm", "--area", "1,2,3,4,5"}, "--area takes"},
        {{"scan", "--linear", "o.pnm", "--area", "0,0,0,10"}, "--area WIDTH takes"},
        {{"scan", "--linear", "o.pnm", "--area", "0,0,1e3,10"}, "--area WIDTH takes"},
        {{"scan", "--linear", "o.pnm", "--area", "0, 0,10,10"}, "--area TOP takes"},
        {{"scan", "--linear", "o.pnm", "--source"}, "--source needs a source name"},
        {{"scan", "--linear", "--batch", "page.pnm"}, "--batch: it must hold one %d"},
        {{"scan", "--linear", "--batch", "page%d%d.pnm"}, "exactly one %d, not two"},
        {{"scan", "--linear", "--batch", "page%s.pnm"}, "not %s"},
        {{"scan", "--linear", "--batch", "page%n.pnm"}, "not %n"},
        {{"apply", "--defaults", "--batch", "a.bmp", "b.bmp"}, "--batch is for scan only"},
        {{"scan", "--linear", "o.pnm", "--options", "test:0"}, "--options is for devices only"},
        {{"devices", "--options"}, "--options needs a device name"},
    };
    for (const auto& [args, why] : lines) {
        SCOPED_TRACE(testing::PrintToString(args));
        const ParsedArgs parsed = Parse(args);
        EXPECT_EQ(parsed.status, ParseStatus::BadUsage);
        EXPECT_NE(parsed.message.find(why), std::string::npos) << parsed.message;
    }
}

// Lines the parser takes whose outputs the command refuses before any work.
TEST(CliArgs, OutputNamesAreJudgedByTheCommandsThatWriteThem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{"apply", "--defaults", "in.bmp", "out.gif"},
         "must end in .bmp, .pnm, .ppm, .pgm, .png, .tif, .tiff, .jpg, .jpeg or .pdf"},
        {{"apply", "--defaults", "a.bmp", "b.bmp", "out.tif"}, "only as its pages (.pdf)"},
        {{"apply", "--defaults", "--quality", "80", "a.bmp", "out.png"},
         "--quality is for .jpg, .jpeg or .pdf outputs"},
        {{"scan", "--linear", "--quality", "80", "o.tif"}, "--quality is for"},
        {{"apply", "--defaults", "-o", "d", "x/a.bmp", "y/a.bmp"}, "two inputs would be written"},
        {{"apply", "--defaults", "-o", "d", "--png", "a.bmp", "a.BMP"},
         "two inputs would be written"},
        {{"scan", "--linear", "o.gif"}, "must end in .bmp, .pnm, .ppm, .pgm, .png, .tif"},
        {{"scan", "--linear", "--depth", "16", "o.bmp"}, "8-bit samples only"},
        {{"scan", "--linear", "--batch", "page%d.gif"}, "must end in .bmp"},
        {{"scan", "--linear", "--batch", "page.%d"}, "must end in .bmp"},
    };
    for (const auto& [args, why] : lines) {
        SCOPED_TRACE(testing::PrintToString(args));
        const ParsedArgs parsed = Parse(args);
        ASSERT_EQ(parsed.status, ParseStatus::Run) << parsed.message;
        const std::string message = parsed.command.kind == CommandKind::Scan
                                        ? CheckScanOutput(parsed.command)
                                        : CheckApplyOutputs(parsed.command);
        EXPECT_NE(message.find(why), std::string::npos) << message;
    }
}

TEST(CliArgs, TableOptionsReachTheCommand) {
    const ParsedArgs table = Parse({"table", "--defaults", "--size", "65536", "--max", "65535"});
    ASSERT_EQ(table.status, ParseStatus::Run) << table.message;
    EXPECT_EQ(table.command.size, 65536u);
    EXPECT_EQ(table.command.maxLevel, 65535);
    const ParsedArgs sane =
        Parse({"sane", "--device", "plustek:libusb:001:004", "p.tvp", "--channel", "green"});
    ASSERT_EQ(sane.status, ParseStatus::Run) << sane.message;
    EXPECT_EQ(sane.command.device, "plustek:libusb:001:004");
    EXPECT_EQ(sane.command.channel, kGreen);
    EXPECT_EQ(Parse({"devices"}).command.kind, CommandKind::Devices);
    const ParsedArgs clip = Parse({"auto", "--clip", "0.5", "--defaults", "a.bmp", "o.tvp"});
    ASSERT_EQ(clip.status, ParseStatus::Run) << clip.message;
    EXPECT_EQ(clip.command.clipPercent, 0.5);
    EXPECT_EQ(Parse({"auto", "--defaults", "a.bmp", "o.tvp", "--clip", "0"}).command.clipPercent,
              0.0);
    EXPECT_FALSE(Parse({"auto", "--defaults", "a.bmp", "o.tvp"}).command.clipPercent);
}

TEST(CliArgs, ScanOptionsReachTheCommandInTheirOrder) {
    const ParsedArgs scan =
        Parse({"scan", "--linear", "out.PGM", "--device", "test:0", "--resolution", "600", "--mode",
               "Gray", "--depth", "16", "--option", "source=Automatic Document Feeder", "--option",
               "test-picture=Grid=x"});
    ASSERT_EQ(scan.status, ParseStatus::Run) << scan.message;
    const CliCommand& command = scan.command;
    EXPECT_EQ(command.kind, CommandKind::Scan);
    EXPECT_TRUE(command.linear);
    EXPECT_EQ(command.output, "out.PGM");
    EXPECT_EQ(command.device, "test:0");
    EXPECT_EQ(command.resolution, "600");
    EXPECT_EQ(command.mode, "Gray");
    EXPECT_EQ(command.depth, 16);
    using Option = std::pair<std::string, std::string>;
    EXPECT_EQ(command.deviceOptions, (std::vector<Option>{{"source", "Automatic Document Feeder"},
                                                          {"test-picture", "Grid=x"}}));
    const ParsedArgs withParams = Parse({"scan", "p.tvp", "out.bmp"});
    ASSERT_EQ(withParams.status, ParseStatus::Run) << withParams.message;
    EXPECT_FALSE(withParams.command.linear);
    EXPECT_EQ(withParams.command.params, "p.tvp");
}

TEST(CliArgs, FeederOptionsReachTheCommand) {
    const ParsedArgs scan = Parse({"scan", "--linear", "--batch", "scans/p%03d-%%.tif", "--source",
                                   "adf", "--area", "10,20.5,100,50.25"});
    ASSERT_EQ(scan.status, ParseStatus::Run) << scan.message;
    EXPECT_EQ(scan.command.source, "adf");
    EXPECT_EQ(scan.command.area, (ScanArea::OfSize(10, 20.5, 100, 50.25)));
    EXPECT_EQ(scan.command.batch, (PagePattern{"scans/p", "%03d", "-%.tif"}));
    EXPECT_EQ(scan.command.output, "scans/p%03d-%%.tif");
    EXPECT_FALSE(Parse({"scan", "--linear", "p%d.tif"}).command.batch); // a name as it stands
    const ParsedArgs options = Parse({"devices", "--options", "test:0"});
    ASSERT_EQ(options.status, ParseStatus::Run) << options.message;
    EXPECT_EQ(options.command.optionsOf, "test:0");
}

TEST(PagePattern, EachPageNumberTakesTheOneConversion) {
    struct Case {
        const char* pattern;
        int number;
        const char* name;
    };
    const Case cases[] = {
        {"page%d.tif", 7, "page7.tif"},
        {"page%03d.tif", 7, "page007.tif"},
        {"page%03d.tif", 1234, "page1234.tif"},
        {"%-4d|.pnm", 12, "12  |.pnm"},
        {"%+d.png", 3, "+3.png"},
        {"% 5.3d.png", 9, "  009.png"},
        {"100%%-%d.bmp", 2, "100%-2.bmp"},
        {"%d%%", 5, "5%"},
        {"dir%d/scan.tif", 10, "dir10/scan.tif"},
    };
    for (const Case& c : cases) {
        const PatternParse parse = ParsePagePattern(c.pattern);
        ASSERT_TRUE(parse.pattern) << c.pattern << ": " << parse.error;
        EXPECT_EQ(PageName(*parse.pattern, c.number), c.name) << c.pattern;
    }
}

// Whatever else stands beside the %d never reaches printf.
TEST(PagePattern, AnyOtherConversionIsRefused) {
    for (const char* pattern : {"%s%d", "%d%n", "%x", "%5$d", "%hhd", "%ld", "%.*d", "%#d", "%d%",
                                "%100d", "%.100d", "%", "%%d", "%'d", "%c%d"}) {
        const PatternParse parse = ParsePagePattern(pattern);
        EXPECT_FALSE(parse.pattern) << pattern;
        EXPECT_FALSE(parse.error.empty()) << pattern;
    }
}

TEST(CliArgs, HelpWinsWhereverItStands) {
    EXPECT_EQ(Parse({"--help"}).status, ParseStatus::Help);
    EXPECT_FALSE(Parse({"-h"}).helpFor.has_value());
    const ParsedArgs forApply = Parse({"apply", "--bogus", "x", "--help"});
    EXPECT_EQ(forApply.status, ParseStatus::Help);
    EXPECT_EQ(forApply.helpFor, CommandKind::Apply);
    // After "--" it is a file name, not a request for help.
    EXPECT_EQ(Parse({"table", "--", "--help"}).status, ParseStatus::Run);
}

TEST(ApplyTargets, FolderOutputsKeepTheInputNameOrTakePng) {
    CliCommand command =
        Parse({"apply", "--defaults", "-o", "out", "scans/a.bmp", "b.BMP"}).command;
    std::vector<ApplyTarget> targets = ApplyTargets(command);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].output, fs::path("out/a.bmp"));
    EXPECT_EQ(targets[1].output, fs::path("out/b.BMP"));
    EXPECT_EQ(targets[1].format, ImageFormat::Bmp);

    command.png = true;
    targets = ApplyTargets(command);
    EXPECT_EQ(targets[0].output, fs::path("out/a.png"));
    EXPECT_EQ(targets[1].format, ImageFormat::Png);

    // A .pgm keeps its name where the tables keep grey, else it is colour.
    command = Parse({"apply", "--defaults", "-o", "out", "g.pgm"}).command;
    EXPECT_EQ(ApplyTargets(command, true)[0].output, fs::path("out/g.pgm"));
    EXPECT_EQ(ApplyTargets(command, false)[0].output, fs::path("out/g.ppm"));
}

TEST(ApplyTargets, TheFormatFollowsTheExtensionInAnyCase) {
    const auto format = [](const char* name) { return FormatOfName(name); };
    EXPECT_EQ(format("x.Png"), ImageFormat::Png);
    EXPECT_EQ(format("dir.png/x.bmp"), ImageFormat::Bmp);
    EXPECT_EQ(format("x.bmp.gz"), std::nullopt);
    EXPECT_EQ(format("bmp"), std::nullopt);
    EXPECT_EQ(format("grey.pgm"), ImageFormat::Pnm); // grey kept grey
    EXPECT_TRUE(HoldsGreyOnly("grey.PGM"));
    EXPECT_FALSE(HoldsGreyOnly("colour.ppm"));
}

} // namespace

} // namespace cli_args_test
