#pragma once
// A top-level window owned by the application window. A form class loads its
// components, properties and handlers from the description stored in the
// executable's resources under its class name in capitals (ReadDescription).
// Its creation handler runs once the whole construction has finished
// (AfterConstruction); an exception from it is reported and the form lives on.

#include <string>

#include "toolkit/win/published.h"
#include "toolkit/win/win_control.h"

namespace toolkit {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poScreenCenter, poMainFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

class TForm : public TWinControl {
public:
    TForm(TComponent* owner, const char* className);
    ~TForm() override;

    const std::string& ClassName() const { return className_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnResize;

    void Show();
    void Hide();
    // Closing the main form ends the application; other forms are hidden.
    void Close();

    // Runs the creation handler, then shows the form if its description made
    // it visible. Runs once; later calls do nothing. TApplication::CreateForm
    // calls it; a final form class created with new may call it at the end of
    // its own constructor.
    void AfterConstruction();

    void SetClientSize(int width, int height);

    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);

    void SetBorderStyle(TFormBorderStyle style);
    // None, or any of WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX.
    void SetBorderIcons(DWORD icons);
    void SetFormStyle(TFormStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }

    // Colour key: pixels of exactly this colour are not shown and let the
    // mouse through. Switching it off makes the window an ordinary one again
    // and redraws it completely.
    bool TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(bool on);
    TColor TransparentColorValue() const { return transparentColorValue_; }
    void SetTransparentColorValue(TColor color);
    // Constant opacity of the whole window, 0 to 255.
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool on);
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int value);

    bool SetProperty(const FormProperty& property, TReader& reader) override;
    void Loaded() override;

protected:
    // Builds the components from the description resource named after the
    // class in capitals. Call it from the form class's constructor.
    void ReadDescription(const TPublishedTable& published);

    void WndProc(TMessage& message) override;
    void Resize() override;

private:
    void ApplyLayering();
    void ApplyStyle(DWORD style);
    void PlaceOnFirstShow();

    std::string className_;
    bool constructed_ = false;
    bool visibleAfterConstruction_ = false;
    bool placed_ = false;
    TPosition position_ = TPosition::poDesigned;
    DWORD borderIcons_ = WS_SYSMENU | WS_MINIMIZEBOX;
    bool transparentColor_ = false;
    TColor transparentColorValue_ = 0;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
};

}  // namespace toolkit
