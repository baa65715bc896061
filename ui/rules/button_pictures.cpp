#include "ui/rules/button_pictures.h"

namespace ui {

ButtonPictures PicturesFor(int hoverButton, bool maximized) {
    return {hoverButton == 1 ? MinimizeHover : MinimizeNormal,
            maximized ? (hoverButton == 2 ? RestoreHover : RestoreNormal)
                      : (hoverButton == 2 ? MaximizeHover : MaximizeNormal),
            hoverButton == 3 ? CloseHover : CloseNormal};
}

MaximizeAction MaximizeClick(bool maximized) {
    constexpr unsigned kRestore = 0xF120, kMaximize = 0xF030;
    return maximized ? MaximizeAction{kRestore, MaximizeNormal} : MaximizeAction{kMaximize, RestoreNormal};
}

}  // namespace ui
