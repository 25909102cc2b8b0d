#include "app/ansi2html.h"
#include "platform/webengine.h"

namespace morvane {

void Tansi2html::PreparePages() {
    ComposeWithOpenGL(this);
    FPreparePages = true;
}

}  // namespace morvane
