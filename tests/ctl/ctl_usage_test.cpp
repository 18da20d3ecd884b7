#include "ctl/ctl_help.h"
#include "ctl/run_ctl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brenvik::ctl {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunProgram(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCtl(args, out, err);
    return {status, out.str(), err.str()};
}

// A CSV file of the test's own, removed with the object.
class CsvFile {
public:
    explicit CsvFile(const std::string& text)
        : m_path(std::filesystem::temp_directory_path() / ("brenvik_ctl_usage_" + std::to_string(getpid()) +
                                                           "_" + std::to_string(s_count++) + ".csv")) {
        std::ofstream(m_path) << text;
    }
    ~CsvFile() { std::filesystem::remove(m_path); }
    std::string Path() const { return m_path.string(); }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

// Every bad command line is refused before anything is sent (the unit address here answers
// nothing), with exit status 2 and one line naming the bad argument.
TEST(CtlUsage, BadInputIsRefusedWithOneLineNamingIt) {
    const std::vector<std::string> unit{"--unit", "127.0.0.9"};
    const auto with = [&](std::vector<std::string> words) {
        words.insert(words.begin(), unit.begin(), unit.end());
        return words;
    };
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "missing command (try --help)"},
        {{"frobnicate"}, "unknown command 'frobnicate' (try --help)"},
        {with({"mv", "frobnicate"}), "unknown multiviewer command 'frobnicate'"},
        {with({"mx", "frobnicate"}), "unknown matrix command 'frobnicate'"},
        {{"--unit", "300.1.1.1", "mv", "state"}, "--unit '300.1.1.1' is not an IPv4 address"},
        {{"--unit", "127.0.0.9", "--serial", "/dev/ttyS0", "mv", "state"},
         "--unit and --serial exclude each other"},
        {{"--serial", "/dev/null", "--baud", "1200", "discover"},
         "--baud 1200 is not one of 9600, 19200, 38400, 57600, 115200"},
        {{"--port", "70000", "discover"}, "--port 70000 is out of range (1..65535)"},
        {{"--unit"}, "option --unit needs a value"},
        {{"--id", "11223", "watch"}, "--id '11223' must be 8 hexadecimal digits"},
        {{"mv", "state"}, "mv needs --unit ADDRESS or --serial PORT"},
        {{"watch"}, "watch needs --unit ADDRESS (reports arrive over the LAN)"},
        {with({"mv", "layout", "43"}), "layout code 43 is not a layout of the unit"},
        {with({"mv", "layout", "forty"}), "layout code 'forty' is not a number"},
        {with({"mv", "layout"}), "missing layout code"},
        {with({"mv", "layout", "40", "41"}), "unexpected argument '41'"},
        {with({"mv", "source", "17", "--window", "2"}), "input 17 is out of range (1..16)"},
        {with({"mv", "source", "3"}), "source needs --window N"},
        {with({"mv", "source", "3", "--window", "0"}), "window 0 is out of range (1..16)"},
        {with({"mv", "source", "3", "--window", "2", "--speed", "9"}), "unknown option '--speed'"},
        {with({"mv", "route", "2"}), "route needs --output N"},
        {with({"mv", "name", "3", "A NAME OF 17 CHARS"}),
         "name: name 'A NAME OF 17 CHARS' is longer than 16 characters"},
        {with({"mv", "name", "3", "A\\B"}),
         "name: name 'A\\B' has a character the unit cannot take (code 92)"},
        {with({"mv", "name", "3", "Caf\xC3\xA9"}),
         "name: name 'Caf\xC3\xA9' has a character the unit cannot take (code 233)"},
        {with({"mv", "umd", "5", "maybe"}), "value 'maybe' must be on or off"},
        {with({"mv", "umd", "17", "on"}), "window 17 is out of range (0..16)"},
        {with({"mv", "colour", "umd-text", "mauve"}), "unknown colour 'mauve'"},
        {with({"mv", "colour", "umd-text", "16"}), "colour 16 is out of range (0..15)"},
        {with({"mv", "colour", "border", "red"}), "unknown colour target 'border'"},
        {with({"mv", "colour", "umd-text", "red", "--window", "2"}), "umd-text takes --input, not --window"},
        {with({"mv", "format", "4k60"}), "unknown output format '4k60'"},
        {with({"mv", "load", "custom", "3"}), "custom memory 3 is out of range (1..2)"},
        {with({"mv", "save", "default"}), "unknown memory 'default'"},
        {with({"mv", "mode", "matrix"}), "unknown mode 'matrix' (switcher or multiviewer)"},
        {with({"mv", "meter-channel", "2", "17&18"}), "channel pair '17&18' is not a number"},
        {with({"mv", "audio-source", "17"}), "audio source 17 is out of range (0..16)"},
        {with({"mv", "names", "import", "/nonexistent/names.csv"}), "cannot read '/nonexistent/names.csv'"},
        {with({"mx", "route", "9", "1"}), "input 9 is out of range (1..8)"},
        {with({"mx", "route", "3", "1,9"}), "output 9 is out of range (1..8)"},
        {with({"mx", "route", "3", "1,"}), "outputs '1,' must be numbers 1..8 separated by commas"},
        {with({"mx", "backlight", "brightness", "101"}), "brightness 101 is out of range (0..100)"},
        {with({"mx", "backlight", "time", "Forever"}), "backlight time 'Forever' is not a number"},
        {with({"mx", "backlight", "colour", "1"}), "unknown backlight setting 'colour' (time or brightness)"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunProgram(c.args);
        EXPECT_EQ(outcome.status, kExitUsage) << c.message;
        EXPECT_EQ(outcome.err, "brenvik-ctl: " + c.message + "\n");
        EXPECT_EQ(outcome.out, "");
    }
}

// An import file is read whole before the unit is asked anything; the first row it cannot read
// is named with its line number.
TEST(CtlUsage, UnreadableCsvRowsAreNamedByLine) {
    const struct {
        std::string csv;
        std::string message; // after "FILE:"
    } cases[] = {
        {"", "1: the first row must be the header 'input,name'"},
        {"number,label\n1,A\n", "1: the first row must be the header 'input,name'"},
        {"input,name\n1,CAM 1\n2 CAM 2\n", "3: unreadable row '2 CAM 2' (input,name)"},
        {"input,name\n1,CAM 1\n\n17,CAM 17\n", "4: input 17 is out of range (1..16)"},
        {"input,name\nx,CAM\n", "2: input 'x' is not a number"},
        {"input,name\n1,\"CAM \"1\"\n", "2: unreadable row '1,\"CAM \"1\"' (input,name)"},
        {"input,name\n1,CAM 1\n1,CAM ONE\n", "3: input 1 is named twice"},
        {"input,name\n5,THIS NAME IS TOO LONG\n",
         "2: name 'THIS NAME IS TOO LONG' is longer than 16 characters"},
        {"input,name\r\n5,back\\slash\r\n",
         "2: name 'back\\slash' has a character the unit cannot take (code 92)"},
    };
    for (const auto& c : cases) {
        const CsvFile file(c.csv);
        const Outcome outcome = RunProgram({"--unit", "127.0.0.9", "mv", "names", "import", file.Path()});
        EXPECT_EQ(outcome.status, kExitUsage) << c.csv;
        EXPECT_EQ(outcome.err, "brenvik-ctl: " + file.Path() + ":" + c.message + "\n");
    }
}

TEST(CtlUsage, HelpOnEveryLevel) {
    const struct {
        std::vector<std::string> args;
        std::string level;
    } cases[] = {
        {{"--help"}, ""},
        {{"-h"}, ""},
        {{"discover", "--help"}, "discover"},
        {{"mv", "--help"}, "mv"},
        {{"--help", "mx"}, "mx"},
        {{"mv", "layout", "--help"}, "mv"},
        {{"watch", "--help"}, "watch"},
        {{"nonsense", "--help"}, ""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunProgram(c.args);
        EXPECT_EQ(outcome.status, kExitSuccess);
        EXPECT_EQ(outcome.out, HelpText(c.level));
        EXPECT_EQ(outcome.err, "");
    }
    // Each level's help is its own text.
    EXPECT_NE(HelpText("mv"), HelpText("mx"));
    EXPECT_NE(HelpText(""), HelpText("watch"));
}

// The man page carries every help text, with roff's dashes and backslashes escaped.
TEST(CtlUsage, ManPageIsTheHelp) {
    const std::string page = ManPage();
    EXPECT_TRUE(page.starts_with(".TH BRENVIK\\-CTL 1"));
    EXPECT_NE(page.find("\\-\\-unit ADDRESS"), std::string::npos);
    EXPECT_NE(page.find("load custom 1|2"), std::string::npos);
    EXPECT_NE(page.find("backlight brightness N"), std::string::npos);
}

// The real program: its help goes to standard output with status 0; a bad command gives status 2.
TEST(CtlUsage, TheProgramsExitStatus) {
    const auto exitStatus = [](std::vector<std::string> args) {
        args.insert(args.begin(), BRENVIK_CTL);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            return -1;
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(exitStatus({"--help"}), kExitSuccess);
    EXPECT_EQ(exitStatus({"mx", "--help"}), kExitSuccess);
    EXPECT_EQ(exitStatus({"frobnicate"}), kExitUsage);
}

} // namespace
} // namespace brenvik::ctl
