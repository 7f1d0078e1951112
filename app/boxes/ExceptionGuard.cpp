#include "app/boxes/ExceptionGuard.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace taskwick {

QString exceptionClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return QString::fromUtf8(status == 0 && demangled ? demangled.get() : type.name());
}

QString exceptionClassName(const std::exception& e) {
    return exceptionClassName(typeid(e));
}

CaughtException describeCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        return {QString::fromUtf8(e.what()), exceptionClassName(e)};
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        return {QString(), type ? exceptionClassName(*type) : QStringLiteral("unknown")};
    }
}

}  // namespace taskwick
