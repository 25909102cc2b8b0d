#include "guitest.h"

#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

#include "app/filelistbox.h"

namespace morvane {

TModalWatcher::TModalWatcher() {
    connect(&FTimer, &QTimer::timeout, this, &TModalWatcher::Check);
    FTimer.start(5);
}

void TModalWatcher::Check() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Texts.append(box->text());
        Titles.append(box->windowTitle());
        Defaults.append(box->standardButton(box->defaultButton()));
        box->done(Answers.isEmpty() ? QMessageBox::Ok : Answers.takeFirst());
    }
}

TStuckBoxCloser::TStuckBoxCloser() {
    connect(&FTimer, &QTimer::timeout, this, &TStuckBoxCloser::Check);
    FTimer.start(1000);
}

void TStuckBoxCloser::Check() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box == FSeen) {
        qWarning("closing a message box nobody answered: %s", qPrintable(box->text()));
        box->done(QMessageBox::Ok);
        box = nullptr;
    }
    FSeen = box;
}

namespace {

// The settings file the windows are pointed at now, so a test's own can give the program's back.
std::string& CurrentSettings() {
    static std::string path;
    return path;
}

}  // namespace

TTestSettings::TTestSettings(const std::string& content) : FPrevious(CurrentSettings()) {
    FPath = QFile::encodeName(FFolder.path() + QStringLiteral("/morvane.ini")).toStdString();
    WriteFile(FFolder.path(), QStringLiteral("morvane.ini"), content);
    CurrentSettings() = FPath;
    Tansi2html::SetSettingsFile(FPath);
}

TTestSettings::~TTestSettings() {
    CurrentSettings() = FPrevious;
    Tansi2html::SetSettingsFile(FPrevious);
}

std::string TTestSettings::Read() const {
    QFile file(QFile::decodeName(QByteArray::fromStdString(FPath)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

TUrlCatcher::TUrlCatcher(const QStringList& schemes) : FSchemes(schemes) {
    for (const QString& scheme : FSchemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
}

TUrlCatcher::~TUrlCatcher() {
    for (const QString& scheme : FSchemes) QDesktopServices::unsetUrlHandler(scheme);
}

std::unique_ptr<Tansi2html> OpenWindow(const QString& folder) {
    auto window = std::make_unique<Tansi2html>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    window->SetExplorer(QFile::encodeName(folder + QStringLiteral("/x")).toStdString());
    return window;
}

bool ClickFile(Tansi2html& window, const QString& name) {
    const auto items = window.FileListBox1->findItems(name, Qt::MatchExactly);
    if (items.isEmpty()) return false;
    window.FileListBox1->scrollToItem(items.first());
    const QPoint centre = window.FileListBox1->visualItemRect(items.first()).center();
    QTest::mouseClick(window.FileListBox1->viewport(), Qt::LeftButton, {}, centre);
    return true;
}

void WriteFile(const QString& folder, const QString& name, const std::string& bytes) {
    QFile file(folder + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QRgb Rgb(TColor colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

}  // namespace morvane
