// The commented sample settings file of the release package, as the module reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/PortableProfileFile.h"
#include "settings/Settings.h"

namespace zp {
namespace {

TEST(ReleaseSample, ReadsAsItsCommentsSayAndASaveKeepsEveryComment) {
  test::TempFolder folder;
  const std::string path = folder.File("Zanterpoint.ini");
  const std::string sample = test::ReadBytes(ZP_PACKAGE_DIR "/Zanterpoint.ini");
  ASSERT_FALSE(sample.empty());
  test::WriteBytes(path, sample);
  PortableProfileFile file(path);
  test::FakeWindow window;
  Settings settings(file, window);

  settings.Load();
  EXPECT_TRUE(settings.View(ListKind::Direkt) && settings.View(ListKind::Sport) &&
              !settings.View(ListKind::Erotik));
  ASSERT_EQ(settings.listEntryCount, 4);
  const ListEntry& group = settings.listEntries[0];
  EXPECT_EQ(group.name, "Favourites");
  EXPECT_EQ(group.title, "Favourites");
  EXPECT_EQ(group.nodeSid, 28106);
  EXPECT_EQ(std::vector<int32_t>(group.ids.begin(), group.ids.begin() + group.idCount),
            (std::vector<int32_t>{28106, 28006, 28007}));
  for (int i = 1; i < 4; ++i) EXPECT_TRUE(settings.listEntries[i].IsPortal());
  EXPECT_EQ(settings.geometry.top, 40);
  EXPECT_EQ(settings.geometry.width, 200);
  EXPECT_FALSE(settings.timerEnabled.value);
  EXPECT_EQ(settings.timerInterval.value, 120);
  EXPECT_EQ(*settings.CollapseState("SP"), 1);
  EXPECT_EQ(*settings.CollapseState("Favourites"), 0);

  settings.Save();
  const std::string saved = test::ReadBytes(path);
  size_t begin = 0;
  while (begin < sample.size()) {
    const size_t end = sample.find('\n', begin);
    const std::string line = sample.substr(begin, end - begin);
    if (!line.empty() && line[0] == ';') {
      EXPECT_NE(saved.find(line), std::string::npos) << line;
    }
    begin = end + 1;
  }
}

}  // namespace
}  // namespace zp
