#pragma once
// Which button-list picture each title-bar button shows.

namespace ui {

// Indices into the button picture list.
enum ButtonPicture {
    MinimizeNormal = 0,
    MinimizeHover = 1,
    MaximizeNormal = 2,
    MaximizeHover = 3,
    CloseNormal = 4,
    CloseHover = 5,
    RestoreNormal = 6,
    RestoreHover = 7,
};

// Hover states: 0 none, 1 minimise, 2 maximise, 3 close.
struct ButtonPictures {
    int Minimize, Maximize, Close;
    bool operator==(const ButtonPictures&) const = default;
};
ButtonPictures PicturesFor(int hoverButton, bool maximized);

// The maximise button's click: the command it sends and the picture it shows after.
struct MaximizeAction {
    unsigned Command;
    int Picture;
};
MaximizeAction MaximizeClick(bool maximized);

}  // namespace ui
