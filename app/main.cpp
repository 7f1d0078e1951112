#include "app/TaskwickApplication.h"
#include "app/boxes/MessageBoxes.h"
#include "app/form/TToDoForm.h"

#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

using namespace taskwick;

namespace {

// A German build shows the toolkit's own texts (Yes, No, OK ...) in German too.
void installToolkitTranslation(QApplication& app, QTranslator& translator) {
    if (buildLanguage() == Language::German &&
        translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

}  // namespace

int main(int argc, char** argv) {
    preferX11Platform();
    TaskwickApplication app(argc, argv);
    QTranslator translator;
    installToolkitTranslation(app, translator);

    FormSettings settings;
    settings.language = buildLanguage();
    settings.arguments = QCoreApplication::arguments();
    settings.appFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    QWidget* mainWindow = nullptr;
    QtBoxPresenter presenter([&] { return mainWindow; });
    MessageBoxes boxes(settings.language, presenter);
    app.setExceptionHandler([&](const QString& message, const QString& className) {
        boxes.ApplicationEventsOnException(message, className);
    });

    TToDoForm form(settings, boxes);
    mainWindow = &form;
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&](QSessionManager&) { form.requestClose(); });
    form.FormCreate();
    form.winId();
    if (!form.StartHidden()) {
        form.show();
    }
    app.exec();
    return 0;
}
