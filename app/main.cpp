#include "app/StartupTrace.h"
#include "app/TaskwickApplication.h"
#include "app/UnexpectedExitSave.h"
#include "app/boxes/MessageBoxes.h"
#include "app/startup/CommandLine.h"
#include "app/startup/ListFolder.h"
#include "app/window/MainWindow.h"
#include "platform/Fonts.h"
#include "platform/PlatformChoice.h"
#include "platform/Relaunch.h"
#include "platform/SignalPipe.h"
#include "platform/SingleInstance.h"
#include "platform/SingleInstanceLock.h"
#include "platform/X11Windows.h"
#include "resources/Resources.h"
#include "storage/FileOps.h"
#include "storage/Rescue.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include <cstdio>
#include <optional>

using namespace taskwick;

namespace {

// The language is fixed per executable when it is built (TASKWICK_LANGUAGE).
constexpr Language buildLanguage() {
#ifdef TASKWICK_GERMAN
    return Language::German;
#else
    return Language::English;
#endif
}

// A German build shows the toolkit's own texts (Yes, No, OK ...) in German too.
void installToolkitTranslation(QApplication& app, QTranslator& translator) {
    if (buildLanguage() == Language::German &&
        translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

// The command line as the user typed it. Qt takes its own options (-style, -reverse ...)
// out of argv when the application object is made; "-m" counts only as the very first
// argument of the original line.
QStringList originalArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The answer of a command line that asks for no program (the help, the version) or that holds
// an option nobody knows; nothing when the program runs. No display is needed for it.
std::optional<int> answerCommandLine(const QStringList& arguments, const Texts& texts) {
    const CommandLineReading reading = readCommandLine(arguments);
    switch (reading.request) {
        case CommandLineRequest::Help:
            print(stdout, texts.commandLineHelp());
            return 0;
        case CommandLineRequest::Version:
            print(stdout, texts.versionLine());
            return 0;
        case CommandLineRequest::UnknownOption:
            print(stderr, texts.unknownOptionLine(reading.unknownOption));
            return 2;
        case CommandLineRequest::Run:
            break;
    }
    return std::nullopt;
}

QString missingDisplayLine(const WantedDisplay& display, const Texts& texts) {
    return display.name.isEmpty() && display.namedBy == QLatin1String("DISPLAY")
               ? texts.noDisplayLine()
               : texts.displayUnreachableLine(display.name, display.namedBy);
}

// The folder an install puts the program's shared data in (<prefix>/share/taskwick/), found
// from the executable's folder by the path between them that the build knows.
QString installedDataFolder(const QString& appFolder) {
    return QDir::cleanPath(appFolder + QStringLiteral(TASKWICK_DATA_FROM_PROGRAM)) +
           QLatin1Char('/');
}

// A restart lets go of this process's instance lock, then starts the executable anew.
class ProcessHandover : public InstanceHandover {
public:
    explicit ProcessHandover(SingleInstanceLock& lock) : lock_(lock) {}
    void releaseInstanceLock() override { lock_.release(); }
    bool startSuccessor() override { return relaunchSelf(); }

private:
    SingleInstanceLock& lock_;
};

// The other windows of this program that stay on top; they step back while a box is open.
std::vector<QWidget*> secondaryStayOnTopWindows(const QWidget* mainWindow) {
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != mainWindow && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            windows.push_back(w);
        }
    }
    return windows;
}

}  // namespace

int main(int argc, char** argv) {
    StartupTrace trace;
    const QStringList arguments = originalArguments(argc, argv);
    const Texts& texts = textsFor(buildLanguage());
    if (const std::optional<int> exitCode = answerCommandLine(arguments, texts)) {
        return *exitCode;
    }
    // The program says itself what is missing, before the toolkit would abort with its own.
    std::optional<XDisplayProbe> display;
    if (const std::optional<WantedDisplay> wanted =
            wantedXDisplay(arguments, displaySettingsOfProcess())) {
        display.emplace(wanted->name);
        if (!display->opens()) {
            print(stderr, missingDisplayLine(*wanted, texts));
            return 1;
        }
    }
    preferX11Platform();
    TaskwickApplication app(argc, argv);
    display.reset();  // the toolkit holds a connection of its own now
    trace.mark("application object made (display connected)");

    SingleInstanceLock instanceLock;
    if (claimSingleInstance(instanceLock) == StartAction::EndAfterShowing) {
        return 0;
    }
    trace.mark("single instance claimed");

    // Before the first widget: the table's font is Tahoma.
    registerTahomaWhenMissing();
    QTranslator translator;
    installToolkitTranslation(app, translator);
    initResources();
    app.setWindowIcon(QIcon(QStringLiteral(":/app/taskwick.png")));
    trace.mark("fonts, translations and pictures ready");

    MainWindowSettings settings;
    settings.language = buildLanguage();
    settings.arguments = arguments;
    settings.appFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString userData = userDataFolderOfUser();
    {
        PosixFileOps ops;
        settings.listFolder = chooseListFolder(ops, settings.appFolder, userData);
    }
    settings.dataFolders = {userData, installedDataFolder(settings.appFolder)};
    settings.dataFolders.removeAll(QString());
    settings.rescueFolders = rescueFoldersOfUser();
    ProcessHandover handover(instanceLock);
    settings.handover = &handover;

    QWidget* mainWindow = nullptr;
    QtBoxPresenter presenter([&] { return mainWindow; });
    StayOnTopLowering lowering(
        [&] { return secondaryStayOnTopWindows(mainWindow); },
        [](QWidget* w, bool onTop) { x11::setStayOnTop(w->windowHandle(), onTop); });
    MessageBoxes boxes(settings.language, presenter, &lowering);
    app.setExceptionHandler([&](const QString& message, const QString& className) {
        boxes.showUnknownError(message, className);
    });

    MainWindow window(settings, boxes);
    mainWindow = &window;
    trace.mark("main window built");

    // The window manager's close, signals and the end of the session all close and save.
    SignalPipe signalPipe;
    QObject::connect(&signalPipe, &SignalPipe::terminationRequested, &window,
                     [&](int) { window.requestClose(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&](QSessionManager&) { window.requestClose(); });
    x11::ShowRequestListener showRequests;
    QObject::connect(&showRequests, &x11::ShowRequestListener::showRequested, &window,
                     &MainWindow::showNormalAndActivate);

    window.winId();
    x11::setWindowClass(window.windowHandle(), "taskwick", "TToDoForm");
    x11::setSkipTaskbarAndPager(window.windowHandle());
    x11::markAsTaskwickWindow(window.windowHandle());

    trace.mark("window properties set");

    window.startUp();
    trace.mark("started up (list read)");
    if (window.phase() == MainWindow::Phase::Closed) {
        return 0;  // asked to end while starting up; the list is saved
    }
    trace.watchFirstPaint(&window);
    if (!window.startsHidden()) {
        window.show();
    }
    trace.mark("shown");
    {
        UnexpectedExitSave lastSave([&] { window.saveBeforeExit(); });
        app.exec();
    }
    return 0;
}
