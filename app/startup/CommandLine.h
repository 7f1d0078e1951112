#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace taskwick {

// What the command line asks for, read before anything connects to a display.
enum class CommandLineRequest {
    Run,            // start the program ("-m" as the first argument starts it hidden)
    Help,           // "--help" or "-h": print the usage and end
    Version,        // "--version": print the version and end
    UnknownOption,  // an option neither the program nor the toolkit knows: say so and end
};

struct CommandLineReading {
    CommandLineRequest request = CommandLineRequest::Run;
    QString unknownOption;  // the option as typed, for UnknownOption
};

// Reads `arguments` (the program's name first) as typed. The program's own options are "-m"
// (start hidden; it counts only as the first argument, anywhere else it is passed over as it
// always was), "--help" (or "-h") and "--version"; the first of the last three that appears
// decides. The toolkit's own options pass, with one dash or two, their values with them
// ("-style fusion", "-style=fusion", "-display :1", "-reverse", "-session ..."), so that a
// value is never taken for an option. Arguments that are no option are passed over.
CommandLineReading readCommandLine(const QStringList& arguments);

// What decides the display a start opens.
struct DisplaySettings {
    QString platform;        // QT_QPA_PLATFORM
    QString display;         // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

// The X display a start will open, with where its name came from.
struct WantedDisplay {
    QString name;     // empty: none named at all
    QString namedBy;  // "DISPLAY" or the option "-display"
};

// The X display a start with `arguments` under `settings` opens: the one the toolkit's
// "-display" option names, else DISPLAY's. None is wanted when a platform other than X11 is
// chosen (by "-platform" or QT_QPA_PLATFORM: offscreen, wayland ...), or when none is chosen,
// DISPLAY is unset and a Wayland display is there for the toolkit to try.
std::optional<WantedDisplay> wantedXDisplay(const QStringList& arguments,
                                            const DisplaySettings& settings);
// The same from this process's environment.
DisplaySettings displaySettingsOfProcess();

}  // namespace taskwick
