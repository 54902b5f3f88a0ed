#include "viewer/shell/FormShow.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "gui/QtUi.h"
#include "runtime/Strings.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

void defaultModalRunner(QDialog& form) {
    if (dynamic_cast<QtUi*>(&ui()))
        form.exec();
    else
        form.reject(); // no modal loop without the program's own Ui: the form closes at once
}

bool defaultDocumentOpener(const std::string& pathOrUrl) {
    const QUrl url = IsURL(pathOrUrl)
                         ? QUrl(qtText(Trim(pathOrUrl)))
                         : QUrl::fromLocalFile(QFileInfo(qtText(pathOrUrl)).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

std::function<void(QDialog&)>& modalRunner() {
    static std::function<void(QDialog&)> runner = defaultModalRunner;
    return runner;
}

std::function<bool(const std::string&)>& documentOpener() {
    static std::function<bool(const std::string&)> opener = defaultDocumentOpener;
    return opener;
}

} // namespace

void ShowModalForm(QDialog& form) {
    form.setModal(true);
    modalRunner()(form);
}

std::function<void(QDialog&)> setModalRunner(std::function<void(QDialog&)> runner) {
    auto old = std::move(modalRunner());
    modalRunner() = runner ? std::move(runner) : defaultModalRunner;
    return old;
}

bool OpenDocument(const std::string& pathOrUrl) {
    return documentOpener()(pathOrUrl);
}

std::function<bool(const std::string&)>
setDocumentOpener(std::function<bool(const std::string&)> opener) {
    auto old = std::move(documentOpener());
    documentOpener() = opener ? std::move(opener) : defaultDocumentOpener;
    return old;
}
