// The window on a desktop: the folder tree and file list follow the disk, the program opens a
// path from its command line or a drop, keys run the commands, help shows without a desktop
// launcher, and every toolbar button has an icon with or without an icon theme.
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>

#include "app/directorytree.h"
#include "app/filelistbox.h"
#include "app/imagelist.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/files.h"
#include "platform/shell.h"

using namespace morvane;

namespace {

QStringList Listed(const TFileListBox& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i) names.append(list.item(i)->text());
    return names;
}

std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Closes the dialog or menu a command brings up and keeps its name.
class TDialogCloser : public QObject {
  public:
    TDialogCloser() {
        connect(&FTimer, &QTimer::timeout, this, &TDialogCloser::Check);
        FTimer.start(5);
    }
    QStringList Names;

  private:
    void Check() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            Names.append(popup->objectName());
            popup->close();
        } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Names.append(box->objectName());
            box->done(QMessageBox::No);
        } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            Names.append(dialog->objectName());
            dialog->reject();
        }
    }
    QTimer FTimer;
};

// Drags the local file path onto target and drops it there; true when the drag was taken.
bool DropFile(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> FTemp;
    QString FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    QString Path(const QString& name) const { return FFolder + QLatin1Char('/') + name; }

    void ShowFile(const QString& name) {
        QVERIFY(ClickFile(*FWindow, name));
        QCOMPARE(FWindow->CurrentFile, Bytes(Path(name)));
    }

  private slots:
    void init() {
        FTemp = std::make_unique<QTemporaryDir>();
        QVERIFY(FTemp->isValid());
        FFolder = FTemp->path();
        WriteFile(FFolder, "a.txt", "first\r\n");
        WriteFile(FFolder, "b.txt", "second\r\n");
        QVERIFY(QDir(FFolder).mkdir("inner"));
        WriteFile(Path("inner"), "x.txt", "inside\r\n");
        FWindow = OpenWindow(FFolder);
        QVERIFY(FWindow);
        FWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    }

    void cleanup() {
        FWindow.reset();
        FTemp.reset();
        SetShellOpener({});
    }

    void listFollowsTheFolder_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("added") << "add" << QStringList{"a.txt", "b.txt", "c.txt"};
        QTest::newRow("removed") << "remove" << QStringList{"a.txt"};
        QTest::newRow("renamed") << "rename" << QStringList{"a.txt", "d.txt"};
        QTest::newRow("not art") << "other" << QStringList{"a.txt", "b.txt"};
    }

    void listFollowsTheFolder() {
        QFETCH(QString, change);
        QFETCH(QStringList, listed);
        ShowFile("a.txt");
        if (change == "add") WriteFile(FFolder, "c.txt", "new\r\n");
        if (change == "remove") QVERIFY(QFile::remove(Path("b.txt")));
        if (change == "rename") QVERIFY(QFile::rename(Path("b.txt"), Path("d.txt")));
        if (change == "other") WriteFile(FFolder, "notes.doc", "x");
        QTRY_COMPARE(Listed(*FWindow->FileListBox1), listed);
        QCOMPARE(FWindow->FileListBox1->currentItem()->text(), QStringLiteral("a.txt"));
        QVERIFY(FWindow->FileListBox1->currentItem()->isSelected());
        QCOMPARE(FWindow->CurrentFile, Bytes(Path("a.txt")));
    }

    void f5ReadsTheFileAndTheFolderAgain() {
        ShowFile("a.txt");
        WriteFile(FFolder, "a.txt", "changed\r\n");
        QTest::keyClick(FWindow.get(), Qt::Key_F5);
        QCOMPARE(FWindow->ShowPanel->TextLines(), std::vector<std::string>{"changed"});
    }

    void oneClickOnATreeFolderShowsItsFilesAndAltUpGoesBack() {
        TDirectoryTree* tree = FWindow->DirectoryListBox1;
        const QModelIndex current = tree->currentIndex();
        QCOMPARE(tree->Model()->filePath(current), FFolder);
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
            QVERIFY(tree->isExpanded(up));
        QCOMPARE(tree->Model()->filePath(tree->model()->index(0, 0)), QStringLiteral("/"));
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(current)));

        const QModelIndex inner = tree->Model()->index(Path("inner"));
        QVERIFY(inner.isValid());
        tree->expand(current);
        QTRY_VERIFY(tree->visualRect(inner).isValid());
        tree->scrollTo(inner);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(inner).center());
        QCOMPARE(FWindow->FileListBox1->Directory(), Path("inner"));
        QCOMPARE(Listed(*FWindow->FileListBox1), QStringList{"x.txt"});

        QTest::keyClick(FWindow.get(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(FWindow->FileListBox1->Directory(), FFolder);
        QCOMPARE(tree->Model()->filePath(tree->currentIndex()), FFolder);
    }

    // As at start-up: the tree is pointed at its folder before the window is first shown.
    void startFolderIsInView() {
        Tansi2html window;
        window.SetExplorer(Bytes(Path("inner/")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TDirectoryTree* tree = window.DirectoryListBox1;
        QCOMPARE(tree->Model()->filePath(tree->currentIndex()), Path("inner"));
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
    }

    void commandLineOpensAPath_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("message");
        QTest::newRow("file") << "inner/x.txt"
                              << "inner/x.txt"
                              << "inner"
                              << "x.txt"
                              << "";
        QTest::newRow("folder") << "inner/"
                                << ""
                                << "inner"
                                << ""
                                << "";
        QTest::newRow("dotted path") << "./inner/../b.txt"
                                     << "b.txt"
                                     << ""
                                     << "b.txt"
                                     << "";
        QTest::newRow("missing") << "gone.txt"
                                 << ""
                                 << ""
                                 << ""
                                 << "File: gone.txt not found";
    }

    // Arguments are relative to the working folder, as a terminal gives them.
    void commandLineOpensAPath() {
        QFETCH(QString, argument);
        QFETCH(QString, shown);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        QFETCH(QString, message);
        const QString working = QDir::currentPath();
        QVERIFY(QDir::setCurrent(FFolder));
        TModalWatcher boxes;
        FWindow->OpenArgument(Bytes(argument));
        QDir::setCurrent(working);

        QCOMPARE(FWindow->CurrentFile, shown.isEmpty() ? std::string() : Bytes(Path(shown)));
        QCOMPARE(FWindow->FileListBox1->Directory(), folder.isEmpty() ? FFolder : Path(folder));
        const QListWidgetItem* current = FWindow->FileListBox1->currentItem();
        QCOMPARE(current && current->isSelected() ? current->text() : QString(), selected);
        QCOMPARE(boxes.Texts, message.isEmpty() ? QStringList() : QStringList{message});
        if (!shown.isEmpty()) QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
    }

    void openDialogStartsInTheListedFolder() {
        FWindow->SetExplorer(Bytes(Path("inner/")));
        QString start;
        QTimer::singleShot(0, [&]() {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            start = dialog->directory().path();
            dialog->reject();
        });
        QTest::mouseClick(FWindow->bsSkinSpeedButton_OpenFile, Qt::LeftButton);
        QCOMPARE(start, Path("inner"));
    }

    void droppedFileOpens_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("on the file list") << "list";
        QTest::newRow("on the text view") << "text";
        QTest::newRow("on the editable view") << "fallback";
    }

    void droppedFileOpens() {
        QFETCH(QString, target);
        ShowFile("a.txt");
        QWidget* widget = FWindow->FileListBox1->viewport();
        if (target == "text") widget = FWindow->ShowPanel->FTextView->viewport();
        if (target == "fallback") {
            FWindow->ShowPanel->SetViewMode(vmFallback);
            widget = FWindow->ShowPanel->FFallbackView->viewport();
        }
        const QString before = FWindow->ShowPanel->FFallbackView->toPlainText();
        QVERIFY(DropFile(widget, Path("inner/x.txt")));
        QTRY_COMPARE(FWindow->CurrentFile, Bytes(Path("inner/x.txt")));
        QCOMPARE(FWindow->FileListBox1->Directory(), Path("inner"));
        QCOMPARE(FWindow->FileListBox1->currentItem()->text(), QStringLiteral("x.txt"));
        QCOMPARE(FWindow->ShowPanel->FFallbackView->toPlainText(), before);
    }

    void dropOfAWebAddressIsRefused() {
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://example.org/a.txt"))});
        QWidget* list = FWindow->FileListBox1->viewport();
        QDragEnterEvent enter(list->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(list, &enter);
        QVERIFY(!enter.isAccepted());
    }

    void keysRunTheirCommands_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("shows");
        QTest::newRow("Ctrl+O open")
            << int(Qt::Key_O) << int(Qt::ControlModifier) << "bsSkinOpenDialog1";
        QTest::newRow("Ctrl+S save as")
            << int(Qt::Key_S) << int(Qt::ControlModifier) << "PopupMenu_Save";
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << "bsSkinMessage1";
        QTest::newRow("F2 rename")
            << int(Qt::Key_F2) << int(Qt::NoModifier) << "bsSkinInputDialog1";
    }

    void keysRunTheirCommands() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, shows);
        ShowFile("a.txt");
        TDialogCloser closer;
        QTest::keyClick(FWindow->FileListBox1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(closer.Names, QStringList{shows});
        QVERIFY(QFile::exists(Path("a.txt")));
    }

    // Sent to the window: a key pressed in the file list shows its selected file.
    void keysOfDisabledCommandsDoNothing() {
        TDialogCloser closer;
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_F2, Qt::Key_F5})
            QTest::keyClick(FWindow.get(), key);
        QTest::keyClick(FWindow.get(), Qt::Key_S, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(closer.Names, QStringList());
        QVERIFY(FWindow->CurrentFile.empty());
    }

    void deleteWhileTypingEditsTheText() {
        ShowFile("a.txt");
        QPlainTextEdit* editable = FWindow->ShowPanel->FFallbackView;
        FWindow->ShowPanel->SetViewMode(vmFallback);
        editable->setPlainText(QStringLiteral("abc"));
        editable->setFocus();
        QTRY_VERIFY(editable->hasFocus());
        editable->moveCursor(QTextCursor::Start);
        TDialogCloser closer;
        QTest::keyClick(editable, Qt::Key_Delete);
        QCOMPARE(editable->toPlainText(), QStringLiteral("bc"));
        QCoreApplication::processEvents();
        QCOMPARE(closer.Names, QStringList());
    }

    void ctrlQCloses() {
        QTest::keyClick(FWindow->FileListBox1, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!FWindow->isVisible());
    }

    void hintsShowTheShortcut_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pack hint") << "bsSkinSpeedButton_OpenFile"
                                   << "打开"
                                   << "打开 (Ctrl+O)";
        QTest::newRow("no hint") << "bsSkinSpeedButton_DelectFile"
                                 << ""
                                 << "Del";
        QTest::newRow("design hint") << "bsSkinSpeedButton_Reload"
                                     << "刷新文件"
                                     << "刷新文件 (F5)";
        QTest::newRow("save") << "bsSkinMenuSpeedButton_SaveFile"
                              << "Save"
                              << "Save (Ctrl+S)";
        QTest::newRow("rename") << "bsSkinSpeedButton_Rename"
                                << "Rename"
                                << "Rename (F2)";
        QTest::newRow("no shortcut") << "bsSkinSpeedButton_Send"
                                     << "Send"
                                     << "Send";
    }

    void hintsShowTheShortcut() {
        QFETCH(QString, button);
        QFETCH(QString, hint);
        QFETCH(QString, shown);
        auto* widget = FWindow->findChild<QToolButton*>(button);
        QVERIFY(widget);
        widget->setEnabled(true);
        widget->setToolTip(hint);
        QCOMPARE(Tansi2html::HintWithShortcut(widget), shown);
        if (shown == hint) return;
        QHelpEvent help(QEvent::ToolTip, widget->rect().center(),
                        widget->mapToGlobal(widget->rect().center()));
        QApplication::sendEvent(widget, &help);
        QTRY_COMPARE(QToolTip::text(), shown);
        QToolTip::hideText();
    }

    void helpShowsInTheWindowWithoutADesktop_data() {
        QTest::addColumn<bool>("desktopOpens");
        QTest::newRow("desktop opens it") << true;
        QTest::newRow("no desktop launcher") << false;
    }

    void helpShowsInTheWindowWithoutADesktop() {
        QFETCH(bool, desktopOpens);
        QList<QUrl> handed;
        SetShellOpener([&](const QUrl& url) {
            handed.append(url);
            return desktopOpens;
        });
        const std::string help = FWindow->AppDir + "ReadHelp.htm";
        QTest::keyClick(FWindow->FileListBox1, Qt::Key_F1);
        QCOMPARE(handed, QList<QUrl>{QUrl::fromLocalFile(QFile::decodeName(help.c_str()))});
        if (desktopOpens) {
            QVERIFY(FWindow->CurrentFile.empty());
            return;
        }
        QCOMPARE(FWindow->CurrentFile, help);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmBrowser));
        QTRY_VERIFY_WITH_TIMEOUT(FWindow->ShowPanel->FPageLoaded, 30000);
        QVERIFY(!FWindow->bsSkinSpeedButton_DelectFile->isEnabled());
        QVERIFY(!FWindow->bsSkinSpeedButton_Rename->isEnabled());
        // The file menu's items stay enabled: they must not take the program's page either.
        FWindow->MenuItem_DelectFile->trigger();
        FWindow->MenuItem_Rename->trigger();
        QVERIFY(FileExists(help));
        QCOMPARE(FWindow->CurrentFile, help);
    }

    void toggleButtonsShowTheirState() {
        QToolButton* wrap = FWindow->bsSkinSpeedButton_WordWrap;
        QVERIFY(wrap->isCheckable());
        QTest::mouseClick(wrap, Qt::LeftButton);
        QVERIFY(wrap->isChecked());
        QVERIFY(FWindow->ShowPanel->WordWrap());
        QTest::mouseClick(wrap, Qt::LeftButton);
        QVERIFY(!wrap->isChecked());
        QVERIFY(!FWindow->ShowPanel->WordWrap());
        QVERIFY(FWindow->bsSkinSpeedButton_ViewSource->isCheckable());
        QVERIFY(FWindow->bsSkinSpeedButton_ViewDefault->isChecked());
    }

    // The toolbar's widgets all fit the window at its first-start size and at its smallest.
    void toolbarFitsTheWindow_data() {
        QTest::addColumn<bool>("smallest");
        QTest::newRow("first start") << false;
        QTest::newRow("smallest") << true;
    }

    void toolbarFitsTheWindow() {
        QFETCH(bool, smallest);
        if (smallest) {
            FWindow->resize(FWindow->minimumSizeHint());
            QTRY_COMPARE(FWindow->size(),
                         FWindow->minimumSizeHint().expandedTo(FWindow->minimumSize()));
        }
        QWidget* bar = FWindow->bsSkinToolBar1;
        for (QWidget* widget : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!widget->isVisible()) continue;
            QVERIFY2(bar->rect().contains(widget->geometry()),
                     qPrintable(widget->objectName() + QLatin1String(" lies outside the toolbar")));
        }
    }

    void everyToolbarButtonHasAnIcon_data() {
        QTest::addColumn<QString>("theme");
        QTest::newRow("desktop theme") << "Adwaita";
        QTest::newRow("no theme installed") << "no-such-theme";
    }

    void everyToolbarButtonHasAnIcon() {
        QFETCH(QString, theme);
        const QString name = QIcon::themeName();
        const QString fallback = QIcon::fallbackThemeName();
        UseDesktopIconThemes();
        QIcon::setThemeName(theme);
        QIcon::setFallbackThemeName(theme);
        const bool installed = QIcon::hasThemeIcon(QStringLiteral("document-open"));
        const bool themed = theme != QLatin1String("no-such-theme");
        if (themed && !installed) {
            QIcon::setThemeName(name);
            QIcon::setFallbackThemeName(fallback);
            QSKIP("the Adwaita icon theme (adwaita-icon-theme) is not installed");
        }
        {
            Tansi2html window;
            QList<QToolButton*> buttons = window.bsSkinToolBar1->findChildren<QToolButton*>();
            buttons += window.bsSkinToolBar2->findChildren<QToolButton*>();
            QCOMPARE(buttons.size(), 17);
            for (QToolButton* button : buttons) {
                QVERIFY2(!button->icon().pixmap(20).isNull(), qPrintable(button->objectName()));
                QVERIFY2(button->icon().name().isEmpty() != themed,
                         qPrintable(button->objectName()));
            }
            const QImage open = window.bsSkinSpeedButton_OpenFile->icon().pixmap(20).toImage();
            const QImage reload = window.bsSkinSpeedButton_Reload->icon().pixmap(20).toImage();
            QVERIFY(open != reload);
        }
        QIcon::setThemeName(name);
        QIcon::setFallbackThemeName(fallback);
    }
};

MORVANE_GUI_TEST_MAIN(DesktopTest)
#include "desktop_test.moc"
