#pragma once
// The host's print layout record. The print setup dialog fills it and the print job reads
// it; the host owns it. The layout of the fields is shared with the host, so their order and
// types never change.
class CMargeData {
public:
    float marginTop;    // centimetres
    float marginBottom; // centimetres
    float marginRight;  // centimetres
    float marginLeft;   // centimetres
    // 1 when the position choice moves the image left and right (a tall image), 0 when it
    // moves it up and down.
    int horizontalPlacement;
    bool rotate;  // the host's bitmap has been turned a quarter turn
    int position; // 0 start (top or left), 1 middle, 2 end (bottom or right)
};
