#pragma once
// The point-value window: what the last plot showed at the grid point nearest a right click on
// the map (indices, position, values). The probe writes only the boxes its grid type and pick
// count fill; the others keep what an earlier probe wrote.
#include "runtime/Types.h"

#include <QWidget>
#include <array>
#include <string>

class QLabel;
class QLineEdit;

class FormIJ : public QWidget {
    Q_OBJECT
public:
    FormIJ();
    ~FormIJ() override;

    // The text-box array Text1 has the elements 0 "I =", 1 "J =", 4 "N=", 7 "lon", 9 "lat",
    // 10 "U=", 12 "V=", 14 "S="; the other indices hold no box (nullptr). Label1 stands beside
    // the box of the same index; Label2 is the "m/s" above "U=".
    static constexpr std::array<Integer, 8> kBoxes{0, 1, 4, 7, 9, 10, 12, 14};
    std::array<QLineEdit*, 15> Text1{};
    std::array<QLabel*, 15> Label1{};
    QLabel* Label2 = nullptr;

    // Text of element Index of Text1; an index without a box raises error 9.
    std::string text1(Integer Index) const;
    void setText1(Integer Index, const std::string& text);
};

// The form, loaded on first use as any reference to it does.
FormIJ& FormIJForm();
// True while the form is loaded (shown or hidden).
bool FormIJLoaded();
// Unloads the form (the map window does it as it closes).
void UnloadFormIJ();
