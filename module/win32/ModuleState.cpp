#include "module/win32/ModuleState.h"

#include "feed/ModuleFeed.h"
#include "module/HostLink.h"
#include "settings/win32/Win32ProfileFile.h"
#include "ui/win32/Resources.h"
#include "ui/win32/TDualListDlg.h"
#include "ui/win32/TFormHelp.h"
#include "ui/win32/Tfmain.h"
#include "ui/win32/Window.h"

namespace zp {

ModuleState::ModuleState() : feed_{host_, ModuleCapture(), ModulePortalLists(), &PacketCallback} {}
ModuleState::~ModuleState() = default;

ModuleState& Module() {
  static ModuleState state;
  return state;
}

void ModuleState::Init(const ModuleInitRecord& init) {
  host_.SetWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(init.HostWindow)));
  SendHostInfoQuery(host_);

  // The viewer's executable does not change: one settings file for the module's life.
  if (!settingsFile_) settingsFile_ = std::make_unique<Win32ProfileFile>(SettingsFilePath());
  if (icon_ == nullptr) {
    icon_ = static_cast<HICON>(
        LoadImageA(ThisModule(), MAKEINTRESOURCEA(ZP_IDI_MAIN), IMAGE_ICON, 16, 16, LR_SHARED));
  }
  if (current_.main || current_.help || current_.dualListDlg) {
    earlier_.push_back(std::move(current_));
    current_ = {};
  }

  current_.main = std::make_unique<Tfmain>(Tfmain::Parts{
      feed_, *settingsFile_, icon_, [this](HWND window) { return IsModuleWindow(window); }});
  current_.main->Create();
  current_.help = std::make_unique<TFormHelp>();
  current_.help->Create(icon_);
  current_.dualListDlg = std::make_unique<TDualListDlg>();
  current_.dualListDlg->Create(icon_);
  current_.main->SetSecondaryWindows(current_.help.get(), current_.dualListDlg.get());
}

void ModuleState::Show() {
  if (!current_.main || current_.main->Handle() == nullptr) return;
  current_.main->SetChannelTable(FetchChannelTable(host_));
  current_.main->Show();
}

void ModuleState::Close() {
  if (!current_.main) return;
  current_.main->StopDelivery();
  current_.main->Destroy();
  earlier_.push_back({nullptr, nullptr, std::move(current_.main)});
}

void ModuleState::Unload() {
  current_ = {};
  earlier_.clear();
}

bool ModuleState::IsModuleWindow(HWND window) const {
  const HWND root = GetAncestor(window, GA_ROOT);
  auto owns = [root](const Windows& windows) {
    return (windows.help && windows.help->Handle() == root) ||
           (windows.dualListDlg && windows.dualListDlg->Handle() == root) ||
           (windows.main &&
            (windows.main->Handle() == root || windows.main->GroupEditorWindow() == root));
  };
  if (owns(current_)) return true;
  for (const Windows& windows : earlier_) {
    if (owns(windows)) return true;
  }
  return false;
}

}  // namespace zp
