// The font and colour dialogs: what they offer and what they return.
#include "Gallery.h"

// clang-format off
#include <commdlg.h>
#include <dlgs.h>
// clang-format on

#include <string>

#include "ui/win32/Colors.h"
#include "ui/win32/CommonDialogs.h"
#include "ui/win32/Fonts.h"

namespace zp::gallery {

void CheckFontAndColorDialogs() {
  zp::FontDialog fontDialog;
  std::string offeredFace, chosenFace;
  WhenDialogAppears([&](HWND dialog) {
    offeredFace = ItemText(dialog, cmb1);
    HWND faces = GetDlgItem(dialog, cmb1);
    // Any face other than the first one offered will do.
    for (const char* face : {"Tahoma", "Courier New", "Symbol"}) {
      if (SendMessageA(faces, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(face)) != CB_ERR) {
        chosenFace = face;
        break;
      }
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(faces));
    Press(dialog, IDOK);
  });
  const auto chosen = fontDialog.Execute(nullptr);
  CheckEqual("font dialog first offers", offeredFace, "MS Sans Serif");
  Check(chosen.has_value() && !chosenFace.empty(), "font dialog confirmed");
  if (chosen) {
    CheckEqual("chosen font", chosen->name + " " + std::to_string(chosen->size), chosenFace + " 8");
  }

  for (int run = 0; run < 2; ++run) {
    WhenDialogAppears([&](HWND dialog) {
      offeredFace = ItemText(dialog, cmb1);
      Press(dialog, IDCANCEL);
    });
    Check(!fontDialog.Execute(nullptr).has_value(), "font dialog cancelled");
    CheckEqual("font dialog offers the last choice", offeredFace, chosenFace);
  }

  // What the tree and the settings make of a font, and back.
  zp::FontSpec font;
  font.name = "Arial";
  font.size = 10;
  font.bold = font.underline = true;
  const LOGFONTA logFont = zp::LogFontFromSpec(font);
  Fact("height of a 10-point font", std::to_string(logFont.lfHeight));
  const zp::FontSpec back = zp::FontSpecFromLogFont(logFont, 0x0000FF);
  CheckEqual("font round trip",
             back.name + "," + std::to_string(back.size) + "," + std::to_string(back.bold) +
                 std::to_string(back.italic) + std::to_string(back.underline) +
                 std::to_string(back.strikeOut) + "," + std::to_string(back.color),
             "Arial,10,1010,255");
  CheckEqual("clWindowText draws as", zp::ColorRefFromValue(zp::syscolor::kWindowText),
             GetSysColor(COLOR_WINDOWTEXT));

  zp::ColorDialog colorDialog;
  std::string offeredColor;
  auto readColor = [](HWND dialog) {
    return std::to_string(GetDlgItemInt(dialog, 706, nullptr, FALSE)) + "," +
           std::to_string(GetDlgItemInt(dialog, 707, nullptr, FALSE)) + "," +
           std::to_string(GetDlgItemInt(dialog, 708, nullptr, FALSE));
  };
  WhenDialogAppears([&](HWND dialog) {
    offeredColor = readColor(dialog);
    SetDlgItemInt(dialog, 706, 10, FALSE);
    SetDlgItemInt(dialog, 707, 20, FALSE);
    SetDlgItemInt(dialog, 708, 30, FALSE);
    Press(dialog, IDOK);
  });
  const auto color = colorDialog.Execute(nullptr);
  CheckEqual("colour dialog first offers", offeredColor, "0,0,0");
  CheckEqual("chosen colour", color.value_or(-1), 0x1E140A);
  for (int run = 0; run < 2; ++run) {
    WhenDialogAppears([&](HWND dialog) {
      offeredColor = readColor(dialog);
      Press(dialog, IDCANCEL);
    });
    Check(!colorDialog.Execute(nullptr).has_value(), "colour dialog cancelled");
    CheckEqual("colour dialog offers the last choice", offeredColor, "10,20,30");
  }
}

}  // namespace zp::gallery
