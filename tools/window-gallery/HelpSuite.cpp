// The help window: its layout, its text and how it shows and hides.
#include "Gallery.h"
#include "ui/win32/TFormHelp.h"

namespace zp::gallery {

void CheckHelp(const std::string& screenshot) {
  TFormHelp help;
  Check(help.Create(nullptr), "help window created");
  HWND window = help.Handle();
  HWND memo = help.HelpMemo();
  CheckEqual("caption", WindowText(window), "Zanterpoint Help");
  Check(!IsWindowVisible(window), "created hidden");
  RECT bounds;
  GetWindowRect(window, &bounds);
  CheckEqual("designed bounds", RectText(bounds), "633,182 431x540");
  CheckEqual("text box bounds", RectText(ChildRect(memo)), "8,8 409x489");

  const auto style = GetWindowLongPtrA(memo, GWL_STYLE);
  const auto exStyle = GetWindowLongPtrA(memo, GWL_EXSTYLE);
  Check((style & ES_MULTILINE) && (style & ES_READONLY), "text box is multi-line and read-only");
  Check((style & WS_VSCROLL) && !(style & WS_HSCROLL), "vertical scroll bar only");
  Check(!(style & WS_BORDER) && !(exStyle & WS_EX_CLIENTEDGE), "no border of its own");
  Check(!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "not on top");

  const std::string text = WindowText(memo);
  Check(text.rfind("Zanterpoint V 1.0 - english short guide\r\n", 0) == 0,
        "guide starts with title");
  Check(text.size() > 9 && text.compare(text.size() - 9, 9, "Have fun!") == 0,
        "guide ends with Have fun!");
  Fact("guide lines as wrapped", std::to_string(SendMessageA(memo, EM_GETLINECOUNT, 0, 0)));
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0)), sizeof font, &font);
  CheckEqual("font", std::string(font.lfFaceName) + " " + std::to_string(font.lfHeight),
             "MS Sans Serif -11");

  help.Show();
  Pump(300);
  Check(IsWindowVisible(window), "shown");
  Screenshot(window, screenshot);

  SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  CheckEqual("window resized to", SizeText(window), "200x150");
  CheckEqual("text box after resize to 200x150", SizeText(memo), "178x99");
  SetWindowPos(window, nullptr, 0, 0, 431, 540, SWP_NOMOVE | SWP_NOZORDER);
  CheckEqual("text box after resize back", SizeText(memo), "409x489");

  SendMessageA(memo, EM_LINESCROLL, 0, 40);
  const LRESULT firstLine = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  Pump(100);
  Check(IsWindow(window) && !IsWindowVisible(window), "closing hides the window");
  help.Show();
  Pump(100);
  Check(IsWindowVisible(window), "shown again");
  CheckEqual("first visible line kept", SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0),
             firstLine);
}

}  // namespace zp::gallery
