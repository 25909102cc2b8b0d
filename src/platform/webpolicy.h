#pragma once

class QWebEnginePage;

namespace morvane {

/// A local page's own scripts may read no other local file and reach nothing remote; the page's
/// own pictures and style sheets still load, frames do not.
void ApplyLocalPagePolicy(QWebEnginePage* page);

}  // namespace morvane
