#pragma once
// The player window: a skinned, borderless form whose title bar, content
// panel, button pictures and Flash control come from its description.

#include <string>

#include "flash/ShockwaveFlashObjects_OCX.h"
#include "toolkit/win/form.h"
#include "toolkit/win/image.h"
#include "toolkit/win/image_list.h"
#include "toolkit/win/label.h"
#include "toolkit/win/panel.h"

class THandleForm;

class TPlayerForm : public toolkit::TForm {
public:
    explicit TPlayerForm(toolkit::TComponent* owner);
    ~TPlayerForm() override;

    // Components of the description, filled by name while it is read.
    toolkit::TPanel* TitlePanel = nullptr;
    toolkit::TPanel* BackPanel = nullptr;
    toolkit::TImage* TitleImage = nullptr;
    toolkit::TPanel* Panel1 = nullptr;
    toolkit::TImageList* IconList = nullptr;
    toolkit::TImage* Image3 = nullptr;
    toolkit::TImage* Image4 = nullptr;
    toolkit::TImage* MinimizeButton = nullptr;
    toolkit::TImage* MaximizeButton = nullptr;
    toolkit::TImage* CloseButton = nullptr;
    toolkit::TImage* Image5 = nullptr;
    toolkit::TLabel* TitleLabel = nullptr;
    ShockwaveFlashObjects_OCX::TShockwaveFlash* FlashPlayer = nullptr;
    toolkit::TImage* Image2 = nullptr;
    toolkit::TImage* Image1 = nullptr;

    // Which title-bar button shows its hover picture: 0 none, 1 minimise,
    // 2 maximise, 3 close.
    int HoverButton = 0;
    // True while the size loop that a press on the band started runs.
    bool BandSizing = false;
    // The resize grip window, owned by this form.
    THandleForm* GripForm = nullptr;

    // Handlers bound by the description.
    void TitlePanelMouseDown(toolkit::TComponent* Sender, toolkit::TMouseButton Button, toolkit::TShiftState Shift,
                             int X, int Y);
    void CloseButtonClick(toolkit::TComponent* Sender);
    void MaximizeButtonClick(toolkit::TComponent* Sender);
    void MinimizeButtonClick(toolkit::TComponent* Sender);
    void TitleLabelMouseDown(toolkit::TComponent* Sender, toolkit::TMouseButton Button, toolkit::TShiftState Shift,
                             int X, int Y);
    void FormCreate(toolkit::TComponent* Sender);
    void FormResize(toolkit::TComponent* Sender);
    void TitleImageMouseDown(toolkit::TComponent* Sender, toolkit::TMouseButton Button, toolkit::TShiftState Shift,
                             int X, int Y);
    void MinimizeButtonMouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);
    void MaximizeButtonMouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);
    void CloseButtonMouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);
    void Image2MouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);
    void BackPanelExit(toolkit::TComponent* Sender);
    void BackPanelMouseMove(toolkit::TComponent* Sender, toolkit::TShiftState Shift, int X, int Y);
    void BackPanelMouseDown(toolkit::TComponent* Sender, toolkit::TMouseButton Button, toolkit::TShiftState Shift,
                            int X, int Y);
    void FlashPlayerFlashCall(toolkit::TComponent* Sender, const std::wstring& request);

    // Hook on the window's messages: a move lays the content out again; every
    // message then goes on to the form's own WndProc.
    void FormWndProc(toolkit::TMessage& Message);

    static const toolkit::TPublishedTable& Published();

private:
    // Fits the movie into the back panel, moves the grip to the lower right
    // corner and hands the focus on to the movie; only while the window and
    // both controls are visible and enabled.
    void PlaceFlashAndGrip();
    // The movie 3 pixels in from the back panel's sides and bottom; the grip
    // at the window's lower right corner, in screen coordinates.
    void PlaceFlash();
    void PlaceGrip();
    void RaiseGrip();
    // The three buttons' pictures for a new hover state.
    void ShowHover(int button);
    // Releases the mouse and hands the window system one of its commands.
    void SystemCommand(unsigned command);
    void SetButtonPicture(toolkit::TImage* button, int index);
    bool Maximized() const;
};

// The one player window of the program.
extern TPlayerForm* PlayerForm;
