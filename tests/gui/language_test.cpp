// Language packs in the running window: the box lists them, choosing one changes every hint,
// caption and message at once, and a missing or faulty pack leaves what it cannot give.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "about/aboutform.h"
#include "app/language/languagepack.h"
#include "app/language/packfolder.h"
#include "guitest.h"
#include "platform/gbtext.h"

using namespace morvane;

namespace {

// Where each main pack text shows: a control's property, or a message the window keeps.
struct TShownText {
    int Id;
    const char* Object;
    const char* Property;
    std::string Tansi2html::*Message;
};

const TShownText kShownTexts[] = {
    {1, "bsSkinMenuSpeedButton_History", "toolTip", nullptr},
    {2, "bsSkinSpeedButton_Rename", "toolTip", nullptr},
    {3, "bsSkinSpeedButton_OpenFile", "toolTip", nullptr},
    {4, "bsSkinMenuSpeedButton_SaveFile", "toolTip", nullptr},
    {5, "bsSkinSpeedButton_DelectFile", "toolTip", nullptr},
    {6, "bsSkinMenuSpeedButton_Copyto", "toolTip", nullptr},
    {7, "bsSkinMenuSpeedButton_Moveto", "toolTip", nullptr},
    {8, "bsSkinSpeedButton_Send", "toolTip", nullptr},
    {9, "bsSkinSpeedButton_ViewSource", "toolTip", nullptr},
    {10, "bsSkinSpeedButton_ViewDefault", "toolTip", nullptr},
    {11, "bsSkinSpeedButton_Option", "toolTip", nullptr},
    {12, "bsSkinSpeedButton_About", "toolTip", nullptr},
    {13, "bsSkinSpeedButton_Help", "toolTip", nullptr},
    {14, "bsSkinSpeedButton_laugch", "toolTip", nullptr},
    {15, "CbSelect", "toolTip", nullptr},
    {16, "bsSkinButton_downQuillet", "text", nullptr},
    {17, "MenuItem_CopytoNewPath", "text", nullptr},
    {18, "MenuItem_DelectFile", "text", nullptr},
    {19, "MenuItem_Rename", "text", nullptr},
    {20, "MenuItem_Launch", "text", nullptr},
    {21, "MenuItem_MovetoNewPath", "text", nullptr},
    {22, "MenuItem_txt", "text", nullptr},
    {23, "MenuItem_clo", "text", nullptr},
    {24, "MenuItem_htm", "text", nullptr},
    {25, "MenuItem_gif", "text", nullptr},
    {26, "MenuItem_bmp", "text", nullptr},
    {27, "LaunchFile", "text", nullptr},
    {28, nullptr, nullptr, &Tansi2html::MsgNoTemplate},
    {30, nullptr, nullptr, &Tansi2html::MsgNoSettings},
    {31, nullptr, nullptr, &Tansi2html::MsgOverwrite},
    {32, "bsSkinLabel_adv", "text", nullptr},
    {33, nullptr, nullptr, &Tansi2html::MsgDeleteConfirm},
    {34, nullptr, nullptr, &Tansi2html::MsgRenameCaption},
    {35, nullptr, nullptr, &Tansi2html::MsgRenamePrompt},
    {36, nullptr, nullptr, &Tansi2html::MsgRenameConfirm},
    {37, nullptr, nullptr, &Tansi2html::MsgRenameFailed},
    {38, nullptr, nullptr, &Tansi2html::MsgMoveFailed},
    {39, nullptr, nullptr, &Tansi2html::MsgCopied},
    {40, nullptr, nullptr, &Tansi2html::MsgCopyFailed},
    {41, "bsSkinStdLabel3", "text", nullptr},
    {160, nullptr, nullptr, &Tansi2html::MsgDeleteForGood},
    {161, nullptr, nullptr, &Tansi2html::MsgTrashFailed},
};

// The text the window shows for id, as GB bytes.
std::string Shown(Tansi2html& window, int id) {
    for (const TShownText& shown : kShownTexts) {
        if (shown.Id != id) continue;
        if (shown.Message) return window.*shown.Message;
        QObject* control = window.findChild<QObject*>(QLatin1String(shown.Object));
        return control ? EncodeGb(control->property(shown.Property).toString()) : "<missing>";
    }
    return "<unknown ID>";
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items.append(box.itemText(i));
    return items;
}

// Chooses the entry text in the language box with the keyboard, as a user would.
bool Choose(Tansi2html& window, const QString& text) {
    QComboBox* box = window.CbSelect;
    const int index = box->findText(text);
    if (index < 0) return false;
    box->setFocus();
    const Qt::Key key = index < box->currentIndex() ? Qt::Key_Up : Qt::Key_Down;
    while (box->currentIndex() != index) QTest::keyClick(box, key);
    return true;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
  private:
    // Every shown text equals the pack's text of its ID.
    void VerifyShowsPack(Tansi2html& window, const std::string& language) {
        const std::string path = FindPackFile(window.AppDir, language, kMainPackSuffix);
        QVERIFY2(!path.empty(), language.c_str());
        const TLanguagePack pack = ReadLanguagePack(path, kMainPackTextBytes);
        for (const TShownText& shown : kShownTexts) {
            QVERIFY2(pack.Texts.count(shown.Id), qPrintable(QString::number(shown.Id)));
            QCOMPARE(QByteArray::fromStdString(Shown(window, shown.Id)),
                     QByteArray::fromStdString(pack.Texts.at(shown.Id)));
        }
    }

  private slots:
    void startsInTheDefaultLanguageWithThePacksListed() {
        TTestSettings defaults("\r\n");
        Tansi2html window;
        QCOMPARE(window.LanguageName, std::string("GB2312"));
        QStringList listed;
        for (const std::string& name : window.ListLanguages())
            listed.append(QString::fromStdString(name));
        QCOMPARE(Items(*window.CbSelect), listed);
        QVERIFY(listed.contains("GB2312"));
        QVERIFY(listed.contains("English"));
        QCOMPARE(window.CbSelect->currentIndex(), -1);
        VerifyShowsPack(window, "GB2312");
    }

    void choosingALanguageChangesEveryTextAtOnce() {
        auto window = OpenWindow(QDir::tempPath());
        QVERIFY(window);
        QTest::mouseClick(window->bsSkinSpeedButton_Option, Qt::LeftButton);
        QVERIFY(Choose(*window, "English"));
        QCOMPARE(window->LanguageName, std::string("English"));
        VerifyShowsPack(*window, "English");
        QCOMPARE(window->bsSkinStdLabel3->text(), QStringLiteral("Language"));
        QVERIFY(Choose(*window, "GB2312"));
        QCOMPARE(window->LanguageName, std::string("GB2312"));
        VerifyShowsPack(*window, "GB2312");
    }

    void aboutWindowOnScreenFollowsAtOnce() {
        auto window = OpenWindow(QDir::tempPath());
        QVERIFY(window);
        QTest::mouseClick(window->bsSkinSpeedButton_About, Qt::LeftButton);
        QVERIFY(window->aboutform && window->aboutform->isVisible());
        QTest::mouseClick(window->bsSkinSpeedButton_Option, Qt::LeftButton);
        QVERIFY(Choose(*window, "English"));
        const TLanguagePack pack = ReadLanguagePack(
            FindPackFile(window->AppDir, "English", kAboutPackSuffix), kAboutPackTextBytes);
        QCOMPARE(window->aboutform->AboutLanguage, std::string("English"));
        QCOMPARE(window->aboutform->bsSkinSB_forward->toolTip(), DecodeGb(pack.Texts.at(4)));
        QCOMPARE(window->aboutform->PageTexts.Paragraph1, pack.Texts.at(31));
        QFile page(QFile::decodeName(
            QByteArray::fromStdString(window->aboutform->PageFolder() + "README.HTM")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains(QByteArray::fromStdString(pack.Texts.at(31))));
    }

    void faultyPackGivesWhatItHasAndMissingPackNothing() {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkdir("Language"));
        const std::string overlong(300, 'x');
        WriteFile(app.path() + "/Language", "Mine_mo.lng",
                  "# only a few\n3=Open \xE4\xB8\x80 file\nnot an entry\n31=Replace?\\n\n"
                  "41=" +
                      overlong + "\n12x=bad id\n");
        Tansi2html window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::string saveHint = Shown(window, 4);
        const std::string deleteText = window.MsgDeleteConfirm;
        window.AppDir = QFile::encodeName(app.path() + "/").toStdString();
        window.CbSelect->clear();
        window.CbSelect->addItem("Mine", QByteArray("Mine"));
        window.CbSelect->addItem("Gone", QByteArray("Gone"));
        window.CbSelect->setCurrentIndex(-1);

        QVERIFY(Choose(window, "Mine"));
        QCOMPARE(window.bsSkinSpeedButton_OpenFile->toolTip(), QStringLiteral("Open 一 file"));
        QCOMPARE(window.MsgOverwrite, std::string("Replace?\n"));
        QCOMPARE(window.bsSkinStdLabel3->text(), QString(254, 'x'));
        QCOMPARE(Shown(window, 4), saveHint);
        QCOMPARE(window.MsgDeleteConfirm, deleteText);

        QVERIFY(Choose(window, "Gone"));
        QCOMPARE(window.LanguageName, std::string("Gone"));
        QCOMPARE(window.bsSkinSpeedButton_OpenFile->toolTip(), QStringLiteral("Open 一 file"));
        QCOMPARE(window.MsgOverwrite, std::string("Replace?\n"));
    }
};

MORVANE_GUI_TEST_MAIN(LanguageTest)
#include "language_test.moc"
