#pragma once

#include <QWidget>

namespace morvane {

/// A needle dial from 0 to 100 percent over half a circle, the needle in blue.
class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent);

    int Progress() const { return FProgress; }
    /// Moves the needle to percent (0 to 100), repainting only when it moves.
    void SetProgress(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FProgress = 0;
};

/// The window that shows how far a long save has come, hidden until ShowProgress shows it. Of
/// the forms alive, the latest made receives ShowProgress's reports.
class TProgressForm : public QWidget {
    Q_OBJECT
public:
    /// A window of its own above owner; makes ShowProgress the writers' progress routine.
    explicit TProgressForm(QWidget* owner);
    ~TProgressForm() override;

    TGauge* Gauge1;
};

/// The writers' progress routine: below the end (fraction up to 0.9999) it shows the progress
/// window at fraction x 100 percent, at the end it hides it, and it lets the event loop run so
/// that the windows stay responsive. Called for every row of a picture, it hands over to the
/// event loop only every few tens of milliseconds.
void ShowProgress(float fraction);

}  // namespace morvane
