#include "viewer/shell/FormIJ.h"

#include "gui/QtText.h"
#include "runtime/RuntimeError.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

FormIJ* theForm = nullptr;

// Caption of the label beside each box, by index.
const char* captionOf(Integer index) {
    switch (index) {
    case 0:
        return "I =";
    case 1:
        return "J =";
    case 4:
        return "N=";
    case 7:
        return "lon";
    case 9:
        return "lat";
    case 10:
        return "U=";
    case 12:
        return "V=";
    case 14:
        return "S=";
    default:
        return "";
    }
}

} // namespace

FormIJ::FormIJ() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Tool);
    setWindowTitle(qtText("IJ Form"));
    auto* grid = new QGridLayout(this);
    // Indices, cell number and position on the left; the values on the right under "m/s".
    const Integer left[] = {0, 1, 4, 7, 9};
    const Integer right[] = {10, 12, 14};
    int row = 0;
    for (Integer i : left) {
        Label1[static_cast<std::size_t>(i)] = new QLabel(qtText(captionOf(i)), this);
        Text1[static_cast<std::size_t>(i)] = new QLineEdit(this);
        grid->addWidget(Label1[static_cast<std::size_t>(i)], row, 0);
        grid->addWidget(Text1[static_cast<std::size_t>(i)], row, 1);
        ++row;
    }
    Label2 = new QLabel(qtText("m/s"), this);
    grid->addWidget(Label2, 0, 3);
    row = 1;
    for (Integer i : right) {
        Label1[static_cast<std::size_t>(i)] = new QLabel(qtText(captionOf(i)), this);
        Text1[static_cast<std::size_t>(i)] = new QLineEdit(this);
        grid->addWidget(Label1[static_cast<std::size_t>(i)], row, 2);
        grid->addWidget(Text1[static_cast<std::size_t>(i)], row, 3);
        ++row;
    }
}

FormIJ::~FormIJ() {
    if (theForm == this) theForm = nullptr;
}

namespace {

QLineEdit* boxOf(const FormIJ& f, Integer Index) {
    if (Index < 0 || Index >= static_cast<Integer>(f.Text1.size()) ||
        !f.Text1[static_cast<std::size_t>(Index)])
        throw RuntimeError(err::Subscript);
    return f.Text1[static_cast<std::size_t>(Index)];
}

} // namespace

std::string FormIJ::text1(Integer Index) const {
    return programText(boxOf(*this, Index)->text());
}

void FormIJ::setText1(Integer Index, const std::string& text) {
    boxOf(*this, Index)->setText(qtText(text));
}

FormIJ& FormIJForm() {
    if (!theForm) theForm = new FormIJ();
    return *theForm;
}

bool FormIJLoaded() {
    return theForm != nullptr;
}

void UnloadFormIJ() {
    delete theForm;
    theForm = nullptr;
}
