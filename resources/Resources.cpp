#include "resources/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside of any namespace.
static void initAllResources() {
    Q_INIT_RESOURCE(menu);
    Q_INIT_RESOURCE(app);
    Q_INIT_RESOURCE(frame);
    Q_INIT_RESOURCE(info);
}

namespace taskwick {

void initResources() {
    static const bool done = (initAllResources(), true);
    Q_UNUSED(done);
}

}  // namespace taskwick
