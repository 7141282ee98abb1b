// The window base: creation, the handle's life and failing handlers.
#include <stdexcept>

#include "Gallery.h"
#include "ui/win32/Window.h"

namespace zp::gallery {

namespace {

// A window of the base that records what reached it and throws where it is told to.
class ProbeWindow final : public zp::Window {
 public:
  static constexpr char kClassName[] = "ZanterpointProbeWindow";

  UINT throwOn = 0;
  bool sawNcCreate = false;
  HWND handleAtCreate = nullptr;
  HWND handleAtNcDestroy = nullptr;

  ~ProbeWindow() {
    if (Handle() != nullptr) DestroyWindow(Handle());
  }

  bool Create() {
    if (!zp::RegisterWindowClass({kClassName, zp::WindowProc<&ProbeWindow::HandleMessage>})) {
      return false;
    }
    return CreateHandle(0, kClassName, "Probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
  }

  // A control subclassed through the base, whose handler throws as the window's does.
  HWND AddProbeControl() {
    control_ = zp::CreateControl(Handle(), "STATIC", "text", WS_CHILD, 0, 0, 0, 50, 20, 1);
    zp::Subclass<&ProbeWindow::HandleControlMessage>(control_, *this);
    return control_;
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) sawNcCreate = true;
    if (message == WM_CREATE) handleAtCreate = Handle();
    if (message == WM_NCDESTROY) handleAtNcDestroy = Handle();
    if (message == throwOn) throw std::runtime_error("probe");
    return DefWindowProcA(Handle(), message, wParam, lParam);
  }

  LRESULT HandleControlMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == throwOn) throw std::runtime_error("probe");
    return DefSubclassProc(control_, message, wParam, lParam);
  }

  HWND control_ = nullptr;
};

}  // namespace

void CheckWindowBase() {
  {
    ProbeWindow window;
    Check(window.Create(), "window created");
    Check(window.sawNcCreate, "its object sees WM_NCCREATE");
    Check(window.handleAtCreate == window.Handle() && window.Handle() != nullptr,
          "the handle is known during the creation");
    Check(zp::RegisterWindowClass({ProbeWindow::kClassName, DefWindowProcA}),
          "a second registration finds the class");

    window.throwOn = WM_CLOSE;
    const HWND handle = window.Handle();
    CheckEqual("a failing WM_CLOSE answers", SendMessageA(handle, WM_CLOSE, 0, 0), 0);
    Check(IsWindow(handle) != FALSE, "a failing WM_CLOSE leaves the window (no default handling)");

    const HWND control = window.AddProbeControl();
    CheckEqual("the control's text length", SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), 4);
    window.throwOn = WM_GETTEXTLENGTH;
    CheckEqual("a failing subclass handler answers", SendMessageA(control, WM_GETTEXTLENGTH, 0, 0),
               0);

    window.throwOn = 0;
    DestroyWindow(handle);
    Check(window.handleAtNcDestroy == handle, "its object sees WM_NCDESTROY with the handle");
    Check(window.Handle() == nullptr, "the handle is forgotten after WM_NCDESTROY");
  }
  {
    ProbeWindow window;
    window.throwOn = WM_CREATE;
    Check(!window.Create(), "a failing WM_CREATE fails the creation");
    Check(window.Handle() == nullptr, "and leaves no handle");
  }
  zp::UnregisterWindowClass(ProbeWindow::kClassName);
  WNDCLASSEXA unregistered{};
  Check(!GetClassInfoExA(zp::ThisModule(), ProbeWindow::kClassName, &unregistered),
        "the class goes with its last window");
}

}  // namespace zp::gallery
