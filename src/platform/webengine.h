#pragma once

class QWidget;

namespace morvane {

/// Before the application object exists: lets the web engine start where it otherwise refuses,
/// as root (no sandbox then). Settings already made in the environment stand.
void PrepareWebEngineProcess();

/// Before the web engine is loaded: the OpenGL context it composes pages with, shared with every
/// later context; owned by the application object. Without OpenGL it stays unusable.
void ShareOpenGLContexts();

/// Before the window is first shown: it composes with OpenGL from the start, as a page's view needs,
/// so the first page does not make the window anew. Does nothing without OpenGL.
void ComposeWithOpenGL(QWidget* window);

}  // namespace morvane
