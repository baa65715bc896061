#include "ui/Playerform_unit.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/Sdftxtparser_unit.h"
#include "toolkit/core/convert.h"
#include "toolkit/core/exception.h"
#include "toolkit/win/application.h"
#include "ui/Handleform_unit.h"
#include "ui/rules/button_pictures.h"
#include "ui/rules/movie_paths.h"
#include "ui/rules/window_placement.h"
#include "win32/module_path.h"
#include "win32/wide_text.h"

TPlayerForm* PlayerForm = nullptr;

using toolkit::TComponent;
using toolkit::TMouseButton;
using toolkit::TShiftState;

namespace {

// SC_SIZE with the low bits 9, which the system carries out as a move of the
// whole window with the mouse.
constexpr unsigned kMoveCommand = 0xF009;
// UTF-16 units the movie path is converted into, terminator included.
constexpr std::size_t kMovieBufferUnits = 1024;

}  // namespace

const toolkit::TPublishedTable& TPlayerForm::Published() {
    static const toolkit::TPublishedTable table =
        toolkit::TPublisher<TPlayerForm>()
            .Field("TitlePanel", &TPlayerForm::TitlePanel)
            .Field("BackPanel", &TPlayerForm::BackPanel)
            .Field("TitleImage", &TPlayerForm::TitleImage)
            .Field("Panel1", &TPlayerForm::Panel1)
            .Field("IconList", &TPlayerForm::IconList)
            .Field("Image3", &TPlayerForm::Image3)
            .Field("Image4", &TPlayerForm::Image4)
            .Field("MinimizeButton", &TPlayerForm::MinimizeButton)
            .Field("MaximizeButton", &TPlayerForm::MaximizeButton)
            .Field("CloseButton", &TPlayerForm::CloseButton)
            .Field("Image5", &TPlayerForm::Image5)
            .Field("TitleLabel", &TPlayerForm::TitleLabel)
            .Field("FlashPlayer", &TPlayerForm::FlashPlayer)
            .Field("Image2", &TPlayerForm::Image2)
            .Field("Image1", &TPlayerForm::Image1)
            .Method("TitlePanelMouseDown", &TPlayerForm::TitlePanelMouseDown)
            .Method("CloseButtonClick", &TPlayerForm::CloseButtonClick)
            .Method("MaximizeButtonClick", &TPlayerForm::MaximizeButtonClick)
            .Method("MinimizeButtonClick", &TPlayerForm::MinimizeButtonClick)
            .Method("TitleLabelMouseDown", &TPlayerForm::TitleLabelMouseDown)
            .Method("FormCreate", &TPlayerForm::FormCreate)
            .Method("FormResize", &TPlayerForm::FormResize)
            .Method("TitleImageMouseDown", &TPlayerForm::TitleImageMouseDown)
            .Method("MinimizeButtonMouseMove", &TPlayerForm::MinimizeButtonMouseMove)
            .Method("MaximizeButtonMouseMove", &TPlayerForm::MaximizeButtonMouseMove)
            .Method("CloseButtonMouseMove", &TPlayerForm::CloseButtonMouseMove)
            .Method("Image2MouseMove", &TPlayerForm::Image2MouseMove)
            .Method("BackPanelExit", &TPlayerForm::BackPanelExit)
            .Method("BackPanelMouseMove", &TPlayerForm::BackPanelMouseMove)
            .Method("BackPanelMouseDown", &TPlayerForm::BackPanelMouseDown)
            .Method("FlashPlayerFlashCall", &TPlayerForm::FlashPlayerFlashCall)
            .Table();
    return table;
}

TPlayerForm::TPlayerForm(TComponent* owner) : TForm(owner, "TPlayerForm") {
    ReadDescription(Published());
    WindowProc = [this](toolkit::TMessage& message) { FormWndProc(message); };
}

TPlayerForm::~TPlayerForm() = default;

void TPlayerForm::FormCreate(TComponent*) {
    GripForm = new THandleForm(this);
    GripForm->SetWidth(12);
    GripForm->SetHeight(12);
    GripForm->Show();

    // The paths are built in UTF-8 from the wide module path, so that no
    // character of the program's folder is lost to the system code page.
    const auto exePath = win32::Utf8FromWide(win32::ModulePath());
    const std::optional<std::string> basePath = exePath ? ui::BasePath(*exePath) : std::nullopt;
    if (!basePath) throw toolkit::ERangeError();
    const std::string moviePath = ui::MoviePath(*basePath);

    SDFTxtParser settings;
    if (const auto settingsPath = win32::WideFromUtf8(ui::SettingsPath(*basePath))) {
        settings.LoadFromFile(std::filesystem::path(*settingsPath));
    }

    TitleLabel->SetTransparent(true);
    TitleLabel->SetCaption(settings.GetValue("title"));

    if (toolkit::StrToInt(settings.GetValue("width")) < 0) {
        RECT workArea{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
        SetWidth(workArea.right - workArea.left);
        SetHeight(workArea.bottom - workArea.top);
        SetLeft(0);
        SetTop(0);
    } else {
        SetWidth(toolkit::StrToInt(settings.GetValue("width")));
        SetHeight(toolkit::StrToInt(settings.GetValue("height")));
        SetLeft(ui::CentredOffset(GetSystemMetrics(SM_CXSCREEN), Width()));
        SetTop(ui::CentredOffset(GetSystemMetrics(SM_CYSCREEN), Height()));
    }

    // The control takes the text up to its terminator; a path that does not
    // fit the buffer is refused rather than cut short to another file's name.
    const auto movie = win32::WideFromUtf8(moviePath);
    if (!movie || movie->size() >= kMovieBufferUnits) throw toolkit::ERangeError();
    FlashPlayer->SetMovie(*movie);

    PlaceFlash();
    PlaceGrip();

    SetButtonPicture(MinimizeButton, ui::MinimizeNormal);
    SetButtonPicture(MaximizeButton, ui::MaximizeNormal);
    SetButtonPicture(CloseButton, ui::CloseNormal);
}

void TPlayerForm::FormResize(TComponent*) { PlaceFlashAndGrip(); }

void TPlayerForm::FormWndProc(toolkit::TMessage& Message) {
    if (Message.Msg == WM_MOVE) PlaceFlashAndGrip();
    WndProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGED) {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
        if (position && (position->flags & SWP_SHOWWINDOW)) RaiseGrip();
    }
}

void TPlayerForm::RaiseGrip() {
    // The grip was shown before this window; without a window manager the
    // display stacks this window over it although the grip is topmost. Only
    // showing the grip anew puts it back on top there.
    if (!GripForm || !GripForm->Handle() || !IsWindowVisible(GripForm->Handle())) return;
    constexpr UINT kKeep = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(GripForm->Handle(), HWND_TOPMOST, 0, 0, 0, 0, kKeep | SWP_HIDEWINDOW);
    SetWindowPos(GripForm->Handle(), HWND_TOPMOST, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW);
}

void TPlayerForm::PlaceFlashAndGrip() {
    // Until the description is read and FormCreate has run, the window is
    // not visible, so the first test already holds the step off.
    if (!PlayerForm || !PlayerForm->Visible() || !PlayerForm->Enabled()) return;
    if (!BackPanel->Visible() || !FlashPlayer->Visible() || !BackPanel->Enabled() || !FlashPlayer->Enabled()) return;

    PlaceFlash();
    PlaceGrip();
    // Through the back panel, so that it sees the focus leave and resets its cursor.
    BackPanel->SetFocus();
    FlashPlayer->SetFocus();
}

void TPlayerForm::PlaceFlash() {
    const ui::Rect flash = ui::FlashBounds(BackPanel->Width(), BackPanel->Height());
    FlashPlayer->SetBounds(flash.Left, flash.Top, flash.Width, flash.Height);
}

void TPlayerForm::PlaceGrip() {
    if (!GripForm) return;
    const ui::Point grip = ui::GripPosition({Left(), Top(), Width(), Height()});
    GripForm->SetBounds(grip.X, grip.Y, GripForm->Width(), GripForm->Height());
}

void TPlayerForm::FlashPlayerFlashCall(TComponent*, const std::wstring&) { Close(); }

// Title bar and buttons.

void TPlayerForm::SystemCommand(unsigned command) {
    ReleaseCapture();
    Perform(WM_SYSCOMMAND, command, 0);
}

bool TPlayerForm::Maximized() const { return WindowState() == toolkit::TWindowState::wsMaximized; }

void TPlayerForm::SetButtonPicture(toolkit::TImage* button, int index) {
    IconList->GetBitmap(index, button->Picture());
}

void TPlayerForm::TitlePanelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) { SystemCommand(kMoveCommand); }
void TPlayerForm::TitleImageMouseDown(TComponent*, TMouseButton, TShiftState, int, int) { SystemCommand(kMoveCommand); }
void TPlayerForm::TitleLabelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) { SystemCommand(kMoveCommand); }

void TPlayerForm::MinimizeButtonClick(TComponent*) { SystemCommand(SC_MINIMIZE); }

void TPlayerForm::MaximizeButtonClick(TComponent*) {
    ReleaseCapture();
    const ui::MaximizeAction action = ui::MaximizeClick(Maximized());
    // A colour-keyed window is not redrawn whole by the system's maximise and
    // restore; as an ordinary window it is.
    SetTransparentColor(false);
    Perform(WM_SYSCOMMAND, action.Command, 0);
    SetTransparentColor(true);
    SetButtonPicture(MaximizeButton, action.Picture);
}

void TPlayerForm::CloseButtonClick(TComponent*) { Close(); }

void TPlayerForm::ShowHover(int button) {
    if (HoverButton == button) return;
    HoverButton = button;
    const ui::ButtonPictures pictures = ui::PicturesFor(button, Maximized());
    SetButtonPicture(MinimizeButton, pictures.Minimize);
    SetButtonPicture(MaximizeButton, pictures.Maximize);
    SetButtonPicture(CloseButton, pictures.Close);
}

void TPlayerForm::MinimizeButtonMouseMove(TComponent*, TShiftState, int, int) { ShowHover(1); }
void TPlayerForm::MaximizeButtonMouseMove(TComponent*, TShiftState, int, int) { ShowHover(2); }
void TPlayerForm::CloseButtonMouseMove(TComponent*, TShiftState, int, int) { ShowHover(3); }
void TPlayerForm::Image2MouseMove(TComponent*, TShiftState, int, int) { ShowHover(0); }

// The band of the back panel around the movie sizes the window.

void TPlayerForm::BackPanelMouseMove(TComponent*, TShiftState, int X, int Y) {
    BackPanel->SetCursor(ui::ZoneCursor(ui::ZoneAt(X, Y, BackPanel->Width(), BackPanel->Height())));
}

void TPlayerForm::BackPanelMouseDown(TComponent*, TMouseButton, TShiftState, int X, int Y) {
    ReleaseCapture();
    if (const auto command = ui::ZoneCommand(ui::ZoneAt(X, Y, BackPanel->Width(), BackPanel->Height()))) {
        // Every resize of the loop moves the focus through the band; the
        // band keeps its sizing cursor until the loop ends, then shows the
        // ordinary one as after any resize.
        BandSizing = true;
        Perform(WM_SYSCOMMAND, *command, 0);
        BandSizing = false;
        BackPanel->SetCursor(toolkit::crDefault);
    }
}

void TPlayerForm::BackPanelExit(TComponent*) {
    if (!BandSizing) BackPanel->SetCursor(toolkit::crDefault);
}
