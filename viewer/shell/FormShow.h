#pragma once
// Showing the shell's modal forms and opening documents with the desktop, both replaceable so
// that tests run the forms' procedures without a modal loop and open nothing.
#include <QDialog>
#include <functional>
#include <string>

// Shows form modally and returns when it is closed. The runner in force decides how: by default
// the dialog's own modal loop when the program's Qt Ui is installed, and nothing (the form is
// closed at once) under any other Ui, as in tests.
void ShowModalForm(QDialog& form);
// Replaces the runner; returns the one replaced. An empty runner restores the default.
std::function<void(QDialog&)> setModalRunner(std::function<void(QDialog&)> runner);

// Opens a file (a path) or a web address with the desktop's application for it. Returns false
// when it could not be opened.
bool OpenDocument(const std::string& pathOrUrl);
// Replaces the opener; returns the one replaced. An empty opener restores the default.
std::function<bool(const std::string&)>
setDocumentOpener(std::function<bool(const std::string&)> opener);
