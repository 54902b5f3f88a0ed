#pragma once
// The control's picture set, which the members hand to the drawings.

class Picture;

// The control's four pictures: the visible one and the three layers it is made of.
struct TyxPictures {
    Picture& Picture1;
    Picture& picDateTime;
    Picture& picSection;
    Picture& picContours;
};
