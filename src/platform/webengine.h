#pragma once

namespace morvane {

/// Before the application object exists: lets the web engine start where it otherwise refuses,
/// as root (no sandbox then). Settings already made in the environment stand.
void PrepareWebEngineProcess();

}  // namespace morvane
