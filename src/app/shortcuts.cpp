#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <functional>

#include "app/ansi2html.h"
#include "app/directorytree.h"
#include "app/filelistbox.h"

namespace morvane {
namespace {

// Not "shortcut": a button's own property of that name would grab the keys a second time.
const char kShortcutProperty[] = "shortcutHint";

// A key that edits text belongs to the widget being typed in.
bool TypingInFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) return !line->isReadOnly();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) return !text->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(focus)) return !text->isReadOnly();
    if (auto* combo = qobject_cast<QComboBox*>(focus)) return combo->isEditable();
    return qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

// Shows a button's hint with its shortcut, so a hint a language pack sets gets it too.
class THintWithShortcut : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           Tansi2html::HintWithShortcut(widget), widget);
        return true;
    }
};

}  // namespace

QString Tansi2html::HintWithShortcut(const QWidget* button) {
    const QString keys = button->property(kShortcutProperty).toString();
    if (keys.isEmpty()) return button->toolTip();
    if (button->toolTip().isEmpty()) return keys;
    return button->toolTip() + QStringLiteral(" (") + keys + QLatin1Char(')');
}

void Tansi2html::CreateShortcuts() {
    auto* hints = new THintWithShortcut(this);
    const auto bind = [this, hints](const QKeySequence& keys, QToolButton* button,
                                    std::function<void()> action) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, std::move(action));
        if (!button) return;
        QString shown = button->property(kShortcutProperty).toString();
        if (!shown.isEmpty()) shown += QStringLiteral(", ");
        button->setProperty(kShortcutProperty, shown + keys.toString(QKeySequence::NativeText));
        button->installEventFilter(hints);
    };
    // A command whose button is disabled cannot run from the keyboard either.
    const auto click = [](QToolButton* button) {
        return [button]() {
            if (button->isEnabled()) button->click();
        };
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_O), bsSkinSpeedButton_OpenFile,
         click(bsSkinSpeedButton_OpenFile));
    bind(QKeySequence(Qt::Key_F5), bsSkinSpeedButton_Reload, [this]() {
        FileListBox1->Refresh();
        if (bsSkinSpeedButton_Reload->isEnabled()) bsSkinSpeedButton_Reload->click();
    });
    bind(QKeySequence(Qt::CTRL | Qt::Key_S), bsSkinMenuSpeedButton_SaveFile, [this]() {
        if (bsSkinMenuSpeedButton_SaveFile->isEnabled()) bsSkinMenuSpeedButton_SaveFile->showMenu();
    });
    bind(QKeySequence(Qt::Key_Delete), bsSkinSpeedButton_DelectFile, [this]() {
        if (!TypingInFocus() && bsSkinSpeedButton_DelectFile->isEnabled())
            bsSkinSpeedButton_DelectFile->click();
    });
    bind(QKeySequence(Qt::Key_F2), bsSkinSpeedButton_Rename, click(bsSkinSpeedButton_Rename));
    bind(QKeySequence(Qt::Key_F1), bsSkinSpeedButton_Help, click(bsSkinSpeedButton_Help));
    bind(QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr, [this]() { close(); });
    bind(QKeySequence(Qt::ALT | Qt::Key_Up), nullptr, [this]() {
        const std::string folder = QFile::encodeName(DirectoryListBox1->Directory()).toStdString();
        // The explorer takes the folder of a path: the parent's of the folder itself.
        if (folder.size() > 1) SetExplorer(folder);
    });
}

}  // namespace morvane
