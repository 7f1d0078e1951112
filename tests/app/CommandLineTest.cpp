#include "app/startup/CommandLine.h"

#include <gtest/gtest.h>

using namespace taskwick;

namespace {

QStringList line(const QString& typed) {
    QStringList arguments{"taskwick"};
    if (!typed.isEmpty()) {
        arguments += typed.split(' ');
    }
    return arguments;
}

}  // namespace

TEST(CommandLine, readCommandLine_ownOptionsAnywhere_theFirstOfThemDecides) {
    using R = CommandLineRequest;
    struct Case {
        const char* typed;
        CommandLineRequest request;
    };
    const Case cases[] = {
        {"", R::Run},
        {"-m", R::Run},
        {"--help", R::Help},
        {"-h", R::Help},
        {"--version", R::Version},
        {"-m --help", R::Help},
        {"notes.txt --version", R::Version},
        {"--version --help", R::Version},
        {"--help --bogus", R::Help},
        {"--bogus --help", R::UnknownOption},  // the first that speaks decides
        // "-m" anywhere but first is passed over, as it always was, and asks nothing.
        {"notes.txt -m", R::Run},
        {"-reverse -m", R::Run},
        // Arguments that are no option are passed over; so is a lone "-".
        {"notes.txt", R::Run},
        {"-", R::Run},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readCommandLine(line(c.typed)).request, c.request) << c.typed;
    }
}

TEST(CommandLine, readCommandLine_toolkitOptionsPassWithTheirValues_othersAreNamed) {
    // Qt's own options, with one dash or two; a value that looks like an option is a value.
    for (const char* typed : {"-reverse", "--reverse", "-style fusion", "--style fusion",
                              "-style=fusion", "-stylesheet=my.qss", "-qwindowtitle --bogus",
                              "-qwindowgeometry 300x200+10+10", "-session 1234_abcd", "-display :3",
                              "-platform offscreen", "-name todo", "-qmljsdebugger=port:1234",
                              "-widgetcount", "-nograb", "-style", "-m -title x -reverse"}) {
        EXPECT_EQ(readCommandLine(line(typed)).request, CommandLineRequest::Run) << typed;
    }
    struct Case {
        const char* typed;
        const char* unknown;
    };
    const Case cases[] = {
        {"--bogus", "--bogus"}, {"-x", "-x"},
        {"--m", "--m"},         {"-mm", "-mm"},  // only "-m" itself starts hidden
        {"-M", "-M"},           {"--Help", "--Help"},
        {"-help", "-help"},     {"-m -reverse -q", "-q"},
        {"-style= -s", "-s"},   {"--stylesheets x", "--stylesheets"},
    };
    for (const Case& c : cases) {
        const CommandLineReading reading = readCommandLine(line(c.typed));
        EXPECT_EQ(reading.request, CommandLineRequest::UnknownOption) << c.typed;
        EXPECT_EQ(reading.unknownOption, c.unknown) << c.typed;
    }
}

TEST(CommandLine, wantedXDisplay_followsThePlatformAndTheDisplayTheToolkitWouldTake) {
    struct Case {
        const char* typed;
        DisplaySettings settings;
        std::optional<QString> name;  // nullopt: no X display is wanted
        const char* namedBy;
    };
    const Case cases[] = {
        {"", {"", ":1", ""}, ":1", "DISPLAY"},
        {"", {"xcb", ":1", "wayland-0"}, ":1", "DISPLAY"},
        {"", {"", "", ""}, "", "DISPLAY"},                  // nothing to open: said so
        {"", {"xcb", "", "wayland-0"}, "", "DISPLAY"},      // X11 chosen, none there
        {"", {"", "", "wayland-0"}, std::nullopt, ""},      // the toolkit tries Wayland
        {"", {"offscreen", "", ""}, std::nullopt, ""},      // no display needed
        {"", {"wayland;xcb", ":1", ""}, std::nullopt, ""},  // the toolkit's own fallbacks
        {"", {"xcb:no-shm", "", ""}, "", "DISPLAY"},        // X11 with options
        {"-platform offscreen", {"xcb", "", ""}, std::nullopt, ""},
        {"--platform xcb", {"offscreen", "", ""}, "", "DISPLAY"},
        {"-display :5", {"", ":1", ""}, ":5", "-display"},
        {"--display :5", {"", "", "wayland-0"}, ":5", "-display"},
        {"-qwindowtitle -display", {"", ":1", ""}, ":1", "DISPLAY"},  // a title, no option
        {"-display", {"", ":1", ""}, ":1", "DISPLAY"},  // without its value, it names none
    };
    for (const Case& c : cases) {
        const std::optional<WantedDisplay> wanted = wantedXDisplay(line(c.typed), c.settings);
        ASSERT_EQ(wanted.has_value(), c.name.has_value())
            << c.typed << " " << c.settings.platform.toStdString();
        if (wanted) {
            EXPECT_EQ(wanted->name, *c.name) << c.typed;
            EXPECT_EQ(wanted->namedBy, c.namedBy) << c.typed;
        }
    }
}
