#include "ui/resources_qt.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerResources() { Q_INIT_RESOURCE(resources); }

namespace tarvo::gui {

void ensureResources() {
    static const bool registered = [] {
        registerResources();
        return true;
    }();
    (void)registered;
}

}  // namespace tarvo::gui
