#pragma once

#include "app/form/TToDoForm.h"
#include "tests/support/RecordingBoxPresenter.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace taskwick::testing {

// A main window over a folder of its own, whose boxes are answered and recorded.
struct FormFixture {
    explicit FormFixture(Language language = Language::English, QStringList args = {"taskwick"})
        : boxes(language, presenter) {
        settings.language = language;
        settings.arguments = std::move(args);
        settings.appFolder = dir.path() + "/";
    }
    std::unique_ptr<TToDoForm> make() { return std::make_unique<TToDoForm>(settings, boxes); }

    QString listPath() const { return dir.filePath("ToDoList.xml"); }
    QByteArray listBytes() const {
        QFile f(listPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeList(const QByteArray& bytes) const {
        QFile f(listPath());
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write(bytes);
        }
    }

    QTemporaryDir dir;
    RecordingBoxPresenter presenter;
    MessageBoxes boxes;
    FormSettings settings;
};

}  // namespace taskwick::testing
