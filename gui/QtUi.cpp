#include "gui/QtUi.h"
#include "gui/QtText.h"
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString windowTitle(const std::string& title) {
    if (!title.empty()) return qtText(title);
    QString app = QCoreApplication::applicationName();
    return app.isEmpty() ? QStringLiteral("Pelorin") : app;
}

std::vector<std::string> splitOn(const std::string& text, char sep) {
    std::vector<std::string> parts(1);
    for (char ch : text) {
        if (ch == sep)
            parts.emplace_back();
        else
            parts.back().push_back(ch);
    }
    return parts;
}

std::string trimmed(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

} // namespace

QStringList qtNameFilters(const std::string& filter) {
    QStringList out;
    if (filter.empty()) return out;
    std::vector<std::string> parts = splitOn(filter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        std::string desc = parts[i];
        std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string("*");
        QStringList pats;
        for (const std::string& p : splitOn(pattern, ';')) {
            std::string t = trimmed(p);
            if (!t.empty()) pats << qtText(t);
        }
        if (pats.isEmpty()) pats << QStringLiteral("*");
        if (trimmed(desc).empty() && i + 1 >= parts.size()) continue; // a trailing "|"
        out << qtText(desc) + QStringLiteral(" (") + pats.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

void setUpFileDialog(QFileDialog& dialog, const FileDialogRequest& req, bool save) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setWindowTitle(req.title.empty()
                              ? (save ? QStringLiteral("Save As") : QStringLiteral("Open"))
                              : qtText(req.title));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !req.confirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(req.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (req.programsOnly)
            dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDot);
    }
    QStringList filters = qtNameFilters(req.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int index = req.filterIndex >= 1 && req.filterIndex <= filters.size() ? req.filterIndex : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!req.initDir.empty()) dialog.setDirectory(qtText(req.initDir));
    if (!req.fileName.empty()) dialog.selectFile(qtText(req.fileName));
}

Qt::CursorShape cursorOfPointer(int pointer) {
    switch (pointer) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    case 15:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

int QtUi::MsgBox(const std::string& text, int style, const std::string& title) {
    QMessageBox box;
    box.setWindowTitle(windowTitle(title));
    box.setText(qtText(text));
    switch (style & 0x70) {
    case kCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case kQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case kExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case kInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (style & 7) {
    case kOkCancel:
        choices = {{QMessageBox::Ok, kOk}, {QMessageBox::Cancel, kCancel}};
        break;
    case 2:
        choices = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
        break;
    case kYesNoCancel:
        choices = {
            {QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}, {QMessageBox::Cancel, kCancel}};
        break;
    case kYesNo:
        choices = {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}};
        break;
    case 5:
        choices = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, kCancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, kOk}};
        break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    box.setStandardButtons(buttons);
    std::size_t def = static_cast<std::size_t>((style >> 8) & 3);
    if (def >= choices.size()) def = 0;
    box.setDefaultButton(choices[def].button);
    box.exec();
    QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const Choice& c : choices)
        if (c.button == clicked) return c.answer;
    // Closed without a button: Cancel where there is one, else the last button's answer.
    for (const Choice& c : choices)
        if (c.answer == kCancel) return kCancel;
    return choices.back().answer;
}

int QtUi::ShortMsg(const std::string& caption, const std::string& text, const std::string& button1,
                   const std::string& button2, const std::string& button3) {
    QDialog dialog;
    dialog.setWindowTitle(qtText(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(qtText(text), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addStretch();
    const std::string* captions[3] = {&button1, &button2, &button3};
    const int answers[3] = {kYes, kNo, kCancel};
    bool first = true;
    for (int i = 0; i < 3; ++i) {
        if (captions[i]->empty()) continue;
        auto* b = new QPushButton(qtText(*captions[i]), &dialog);
        b->setObjectName(QStringLiteral("button%1").arg(i + 1));
        b->setAutoDefault(false);
        if (first) {
            b->setDefault(true);
            first = false;
        }
        int answer = answers[i];
        QObject::connect(b, &QPushButton::clicked, &dialog,
                         [&dialog, answer] { dialog.done(answer); });
        row->addWidget(b);
    }
    row->addStretch();
    int result = dialog.exec();
    // Closing the form (or Esc) rejects with 0.
    return result == kYes || result == kNo || result == kCancel ? result : 0;
}

std::string QtUi::OpenFileDialog(const FileDialogRequest& req) {
    QFileDialog dialog;
    setUpFileDialog(dialog, req, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QByteArray path = QFile::encodeName(dialog.selectedFiles().first());
    return std::string(path.constData(), static_cast<std::size_t>(path.size()));
}

std::string QtUi::SaveFileDialog(const FileDialogRequest& req) {
    QFileDialog dialog;
    setUpFileDialog(dialog, req, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QByteArray path = QFile::encodeName(dialog.selectedFiles().first());
    return std::string(path.constData(), static_cast<std::size_t>(path.size()));
}

bool QtUi::ColorDialog(Long& color) {
    auto c = static_cast<std::uint32_t>(color);
    QColor initial(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                   static_cast<int>((c >> 16) & 0xFF));
    QColor chosen =
        QColorDialog::getColor(initial, nullptr, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return false;
    color = static_cast<Long>(chosen.red() + 256 * chosen.green() + 65536 * chosen.blue());
    return true;
}

bool QtUi::InputBox(const std::string& prompt, const std::string& title, std::string& value) {
    bool ok = false;
    QString text = QInputDialog::getText(nullptr, windowTitle(title), qtText(prompt),
                                         QLineEdit::Normal, qtText(value), &ok);
    if (!ok) return false;
    value = programText(text);
    return true;
}

// The pointer is set, not stacked: at most one override cursor is ever on Qt's stack.
void QtUi::SetMousePointer(int pointer) {
    pointer_ = pointer;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (pointer == kPointerDefault) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        return;
    }
    QCursor cursor(cursorOfPointer(pointer));
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
}

void QtUi::DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void QtUi::ShowModal(QDialog& dialog) {
    if (QCoreApplication::instance()) dialog.exec();
}
