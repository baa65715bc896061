#pragma once
// The application object: COM for the thread, the application's own top-level
// window (title and taskbar button), the main form, the message loop and the
// standard reports of failures.

#include <windows.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "toolkit/core/component.h"

namespace toolkit {

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Initialises COM for this thread (single-threaded apartment) and creates
    // the application window. COM is released again when the application ends.
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // Allocates a T, stores it in `reference` before T's constructor runs (the
    // form's own code may rely on the reference while it is built), then
    // constructs it owned by the application and completes its construction
    // (its creation handler runs). The first form then becomes the main form. When the constructor throws, `reference` is emptied and the
    // exception passes on.
    template <class T>
    void CreateForm(T*& reference) {
        void* memory = ::operator new(sizeof(T));
        reference = static_cast<T*>(memory);
        try {
            new (memory) T(this);
        } catch (...) {
            reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        FormCreated(reference);
    }

    // Shows the main form and dispatches messages until Terminate; then
    // destroys the forms and releases COM.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The standard report: stop icon, OK button, caption = the title, text =
    // the message (with a full stop as ExceptionReportText decides). A thrown
    // value that is no Exception is reported with an empty text.
    void ShowException(const std::string& message);
    // Reports the exception being handled; call only from inside a catch block.
    void HandleException();

    // A plain message dialog: no icon, one OK button, centred on the screen,
    // captioned with the title of the moment.
    void MessageDialog(const std::string& text);

    // Minimising hides the visible forms and minimises the application window
    // to its taskbar button; restoring shows those forms again.
    void Minimize();
    void Restore();
    bool Minimized() const { return minimized_; }

    HWND Handle() const { return handle_; }
    TForm* MainForm() const { return mainForm_; }
    HINSTANCE Instance() const;

private:
    void FormCreated(TForm* form);
    // Shows the main form as the process's start-up show state asks.
    void ShowMainForm();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    std::string title_;
    HWND handle_ = nullptr;
    TForm* mainForm_ = nullptr;
    bool comInitialized_ = false;
    bool terminated_ = false;
    bool minimized_ = false;
    std::vector<HWND> hiddenForms_;
};

// The one application object of the process.
extern TApplication* Application;

}  // namespace toolkit
