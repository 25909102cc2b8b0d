#pragma once

class QWebEnginePage;

namespace morvane {

/// Before the application object exists: lets the web engine start where it otherwise refuses,
/// as root (no sandbox then). Settings already made in the environment stand.
void PrepareWebEngineProcess();

/// A local page's own scripts may read no other local file and reach nothing remote; the page's
/// own pictures, style sheets and frames of pages still load.
void ApplyLocalPagePolicy(QWebEnginePage* page);

}  // namespace morvane
