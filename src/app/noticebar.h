#pragma once

#include <QFrame>

class QLabel;

namespace morvane {

/// A strip above the view that tells the user about the file shown without asking for an answer:
/// a text cut short, lines past the picture, colours that could not be read.
class TNoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit TNoticeBar(QWidget* parent);

    /// Adds a line to the strip and shows it.
    void Add(const QString& text);
    /// Empties and hides the strip.
    void Clear();
    QString Text() const;

private:
    QLabel* FText;
};

}  // namespace morvane
