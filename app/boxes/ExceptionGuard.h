#pragma once

#include "app/boxes/MessageBoxes.h"

#include <QString>

#include <exception>
#include <stdexcept>
#include <typeinfo>

namespace taskwick {

// The readable C++ name of an exception's dynamic type, e.g. "std::out_of_range".
QString exceptionClassName(const std::type_info& type);
QString exceptionClassName(const std::exception& e);

// Message and class name of the exception that is being handled (inside a catch block).
struct CaughtException {
    QString message;
    QString className;
};
CaughtException describeCurrentException();

// Runs a handler's body; any exception ends it there, is reported with the unexpected-error
// box under the handler's fixed context name, and the handler returns normally.
template <class Body>
void guarded(MessageBoxes& boxes, const QString& context, Body&& body) {
    try {
        body();
    } catch (...) {
        boxes.showException(context);
    }
}

// Runs a step whose failure is no error worth a word (a skin that cannot be loaded, a skin
// menu that cannot be filled): any exception just ends it.
template <class Body>
void quietly(Body&& body) {
    try {
        body();
    } catch (...) {
        // Whatever was done before the failure stays; nothing is shown.
    }
}

}  // namespace taskwick
