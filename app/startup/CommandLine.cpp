#include "app/startup/CommandLine.h"

#include <QtGlobal>

#include <algorithm>
#include <array>

namespace taskwick {

namespace {

// The toolkit's own options (QGuiApplication, QApplication and the X11 platform), without
// their leading dash.
constexpr std::array ToolkitOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "style", "stylesheet",
    // the X11 platform's, and its old aliases
    "display", "name", "visual", "geometry", "icon", "title"};
constexpr std::array ToolkitFlags{"reverse", "widgetcount", "testability",
                                  "nograb",  "dograb",      "sync"};
// Options that carry their value after "=" in the same argument.
constexpr std::array ToolkitOptionsWithJoinedValue{"style=", "stylesheet=", "qmljsdebugger="};

template <std::size_t N>
bool isOneOf(const QString& name, const std::array<const char*, N>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* known) { return name == QLatin1String(known); });
}

template <std::size_t N>
bool startsWithOneOf(const QString& name, const std::array<const char*, N>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char* prefix) { return name.startsWith(QLatin1String(prefix)); });
}

// An option's name without its one or two leading dashes, as the toolkit reads it.
QString optionName(const QString& argument) {
    return argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
}

bool isOption(const QString& argument) {
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

}  // namespace

CommandLineReading readCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!isOption(argument)) {
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return {CommandLineRequest::Help, {}};
        }
        if (argument == QLatin1String("--version")) {
            return {CommandLineRequest::Version, {}};
        }
        if (argument == QLatin1String("-m")) {
            continue;
        }
        const QString name = optionName(argument);
        if (isOneOf(name, ToolkitOptionsWithValue)) {
            ++i;  // its value, whatever it looks like
            continue;
        }
        if (isOneOf(name, ToolkitFlags) || startsWithOneOf(name, ToolkitOptionsWithJoinedValue)) {
            continue;
        }
        return {CommandLineRequest::UnknownOption, argument};
    }
    return {};
}

std::optional<WantedDisplay> wantedXDisplay(const QStringList& arguments,
                                            const DisplaySettings& settings) {
    QString platform = settings.platform;
    std::optional<QString> displayOption;
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (!isOption(arguments.at(i))) {
            continue;
        }
        const QString name = optionName(arguments.at(i));
        if (name == QLatin1String("platform")) {
            platform = arguments.at(i + 1);
        } else if (name == QLatin1String("display")) {
            displayOption = arguments.at(i + 1);
        }
        if (isOneOf(name, ToolkitOptionsWithValue)) {
            ++i;
        }
    }
    // "xcb:option=..." chooses X11 too.
    const QString base = platform.section(QLatin1Char(':'), 0, 0);
    if (!base.isEmpty() && base != QLatin1String("xcb")) {
        return std::nullopt;
    }
    if (displayOption) {
        return WantedDisplay{*displayOption, QStringLiteral("-display")};
    }
    if (base.isEmpty() && settings.display.isEmpty() && !settings.waylandDisplay.isEmpty()) {
        return std::nullopt;
    }
    return WantedDisplay{settings.display, QStringLiteral("DISPLAY")};
}

DisplaySettings displaySettingsOfProcess() {
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

}  // namespace taskwick
