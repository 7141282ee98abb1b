// The selection dialog: its layout, its lists and its arrow buttons.
#include <string>

#include "Gallery.h"

namespace zp::gallery {

namespace {

std::string ArrowStates(const TDualListDlg& dialog) {
  std::string states;
  for (auto id : {TDualListDlg::kIncludeBtn, TDualListDlg::kIncAllBtn, TDualListDlg::kExcludeBtn,
                  TDualListDlg::kExAllBtn}) {
    states += IsWindowEnabled(dialog.Control(id)) ? "1" : "0";
  }
  return states;
}

}  // namespace

void CheckDualList(const std::string& screenshot) {
  TDualListDlg dialog;
  Check(dialog.Create(nullptr), "selection dialog created");
  HWND window = dialog.Handle();
  HWND src = dialog.Control(TDualListDlg::kSrcList);
  HWND dst = dialog.Control(TDualListDlg::kDstList);
  CheckEqual("caption", WindowText(window), "Auswahldialog");
  Check(!IsWindowVisible(window), "created hidden");
  RECT client, bounds;
  GetClientRect(window, &client);
  CheckEqual("client area", RectText(client), "0,0 445x527");
  GetWindowRect(window, &bounds);
  const int dx = (bounds.left + bounds.right) - GetSystemMetrics(SM_CXSCREEN);
  const int dy = (bounds.top + bounds.bottom) - GetSystemMetrics(SM_CYSCREEN);
  Check(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1, "centred on the screen: " + RectText(bounds));
  Check(!(GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME), "fixed border");

  struct Expected {
    TDualListDlg::ControlId id;
    const char* text;
    const char* rect;
  };
  for (const Expected& c : {Expected{TDualListDlg::kSrcLabel, "Quell-Liste:", "48,96 145x16"},
                            Expected{TDualListDlg::kDstLabel, "Ziel-Liste:", "232,96 145x16"},
                            Expected{TDualListDlg::kSrcList, "", "16,112 184x361"},
                            Expected{TDualListDlg::kDstList, "", "240,112 185x361"},
                            Expected{TDualListDlg::kIncludeBtn, ">", "208,232 24x24"},
                            Expected{TDualListDlg::kIncAllBtn, ">>", "208,264 24x24"},
                            Expected{TDualListDlg::kExcludeBtn, "<", "208,296 24x24"},
                            Expected{TDualListDlg::kExAllBtn, "<<", "208,328 24x24"},
                            Expected{TDualListDlg::kOKBtn, "OK", "101,484 75x25"},
                            Expected{TDualListDlg::kCancelBtn, "Abbrechen", "181,484 75x25"},
                            Expected{TDualListDlg::kHelpBtn, "Hilfe", "261,484 75x25"}}) {
    HWND control = dialog.Control(c.id);
    CheckEqual(std::string("control ") + std::to_string(c.id),
               WindowText(control) + " " + RectText(ChildRect(control)),
               std::string(c.text) + " " + c.rect);
  }
  CheckEqual("item height", SendMessageA(src, LB_GETITEMHEIGHT, 0, 0), 13);
  CheckEqual("source list", ListTexts(src), "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("destination list", ListTexts(dst), "");
  CheckEqual("arrows > >> < <<", ArrowStates(dialog), "1100");

  dialog.Show();
  Pump(300);
  Check(IsWindowVisible(window), "shown");
  CheckEqual("focus on the source list", GetFocus() == src, 1);

  Click(dialog, TDualListDlg::kIncludeBtn);
  CheckEqual("> with nothing selected: source", ListTexts(src),
             "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("> with nothing selected: selection", ListTexts(src, true), "Eintrag1");

  SendMessageA(src, LB_SETSEL, FALSE, -1);
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  SendMessageA(src, LB_SETSEL, TRUE, 3);
  Click(dialog, TDualListDlg::kIncludeBtn);
  CheckEqual("> Eintrag2, Eintrag4: destination", ListTexts(dst), "Eintrag4,Eintrag2");
  CheckEqual("> Eintrag2, Eintrag4: source", ListTexts(src), "Eintrag1,Eintrag3,Eintrag5");
  CheckEqual("> Eintrag2, Eintrag4: selection", ListTexts(src, true), "Eintrag3");
  CheckEqual("arrows after >", ArrowStates(dialog), "1111");
  Check(GetFocus() == src, "focus on the giving list");
  Screenshot(window, screenshot);

  Click(dialog, TDualListDlg::kOKBtn);
  Click(dialog, TDualListDlg::kCancelBtn);
  Click(dialog, TDualListDlg::kHelpBtn);
  Check(IsWindowVisible(window), "OK, Abbrechen and Hilfe leave it open");

  // The dialog keys come through the hook, as in the viewer's loop.
  SetFocus(src);
  PostMessageA(src, WM_KEYDOWN, VK_TAB, 0);
  Pump(100);
  Check(GetFocus() == dst, "Tab moves to the destination list");
  PostMessageA(dst, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(100);
  Check(IsWindowVisible(window), "Escape leaves it open");

  SendMessageA(window, WM_CLOSE, 0, 0);
  Pump(100);
  Check(IsWindow(window) && !IsWindowVisible(window), "close box hides it");
  dialog.Show();
  Pump(100);
  CheckEqual("lists kept across hide and show", ListTexts(src) + "|" + ListTexts(dst),
             "Eintrag1,Eintrag3,Eintrag5|Eintrag4,Eintrag2");

  Click(dialog, TDualListDlg::kIncAllBtn);
  CheckEqual(">>: destination", ListTexts(dst), "Eintrag4,Eintrag2,Eintrag1,Eintrag3,Eintrag5");
  CheckEqual("arrows after >>", ArrowStates(dialog), "0011");
  Click(dialog, TDualListDlg::kExAllBtn);
  CheckEqual("<<: source", ListTexts(src), "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("arrows after <<", ArrowStates(dialog), "1100");
}

}  // namespace zp::gallery
