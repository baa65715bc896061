#include "ui/Playerform_unit.h"

#include "ui/Handleform_unit.h"

TPlayerForm* PlayerForm = nullptr;

using toolkit::TComponent;
using toolkit::TMouseButton;
using toolkit::TShiftState;

const toolkit::TPublishedTable& TPlayerForm::Published() {
    static const toolkit::TPublishedTable table = toolkit::TPublisher<TPlayerForm>()
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
                                                      .Method("MinimizeButtonMouseMove",
                                                              &TPlayerForm::MinimizeButtonMouseMove)
                                                      .Method("MaximizeButtonMouseMove",
                                                              &TPlayerForm::MaximizeButtonMouseMove)
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

void TPlayerForm::FormWndProc(toolkit::TMessage& Message) { WndProc(Message); }

void TPlayerForm::TitlePanelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
void TPlayerForm::CloseButtonClick(TComponent*) {}
void TPlayerForm::MaximizeButtonClick(TComponent*) {}
void TPlayerForm::MinimizeButtonClick(TComponent*) {}
void TPlayerForm::TitleLabelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
void TPlayerForm::FormCreate(TComponent*) {}
void TPlayerForm::FormResize(TComponent*) {}
void TPlayerForm::TitleImageMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}
void TPlayerForm::MinimizeButtonMouseMove(TComponent*, TShiftState, int, int) {}
void TPlayerForm::MaximizeButtonMouseMove(TComponent*, TShiftState, int, int) {}
void TPlayerForm::CloseButtonMouseMove(TComponent*, TShiftState, int, int) {}
void TPlayerForm::Image2MouseMove(TComponent*, TShiftState, int, int) {}
void TPlayerForm::BackPanelExit(TComponent*) {}
void TPlayerForm::BackPanelMouseMove(TComponent*, TShiftState, int, int) {}
void TPlayerForm::BackPanelMouseDown(TComponent*, TMouseButton, TShiftState, int, int) {}

void TPlayerForm::FlashPlayerFlashCall(TComponent*, const std::wstring&) { Close(); }
