#include "settings/Conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zp {
namespace {

using Strings = std::vector<std::string>;

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const SettingsError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(IntegerSyntax, AcceptsDecimalAndHexadecimalForms) {
  const std::pair<const char*, int32_t> valid[] = {
      {"0", 0},
      {"42", 42},
      {"   42", 42},
      {"+42", 42},
      {"-42", -42},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$1F", 31},
      {"x1f", 31},
      {"X1F", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$000000001", 1},
  };
  for (const auto& [text, value] : valid) EXPECT_EQ(ParseInteger(text), value) << text;

  for (const char* text : {"", " ", "2147483648", "-2147483649", "$100000000", "12 ", "1.5", "abc",
                           "true", "0x", "$", "- 5", "+-5", "\t5", "5a", "0x-5", "1e3"}) {
    EXPECT_EQ(ParseInteger(text), std::nullopt) << text;
  }
}

TEST(IntegerSyntax, TheConversionErrorNamesTheText) {
  EXPECT_EQ(ErrorOf([] { TextToInteger("12a"); }), "'12a' ist kein g\xFCltiger Integerwert");
  EXPECT_EQ(ErrorOf([] { TextToInteger(""); }), "'' ist kein g\xFCltiger Integerwert");
}

TEST(SplitListTest, EmptyItemsAndTrimming) {
  EXPECT_EQ(SplitList("DP, SP , Fav", ',', true), (Strings{"DP", "SP", "Fav"}));
  EXPECT_EQ(SplitList("12, 7 ,,9", ',', true), (Strings{"12", "7", "", "9"}));
  EXPECT_EQ(SplitList(",a", ',', true), (Strings{"", "a"}));
  EXPECT_EQ(SplitList("a,", ',', true), (Strings{"a"}));
  EXPECT_EQ(SplitList("a, ", ',', true), (Strings{"a", ""}));
  EXPECT_EQ(SplitList("", ',', true), Strings{});
  EXPECT_EQ(SplitList("\t\"x y\"\x1F,b", ',', true), (Strings{"\"x y\"", "b"}));
  EXPECT_EQ(SplitList(" a , b", ',', false), (Strings{" a ", " b"}));
}

TEST(Colors, EveryNameRoundTripsAndOthersAreHexadecimal) {
  std::set<uint32_t> values;
  for (const ColorName& entry : kColorNames) {
    values.insert(entry.value);
    const int32_t color = TextToColor(entry.name);
    EXPECT_EQ(static_cast<uint32_t>(color), entry.value) << entry.name;
    EXPECT_EQ(ColorToText(color), entry.name);
  }
  EXPECT_EQ(values.size(), 52u);

  EXPECT_EQ(TextToColor("CLWINDOW"), static_cast<int32_t>(0xFF000005));
  EXPECT_EQ(ColorToText(TextToColor("CLWINDOW")), "clWindow");
  EXPECT_EQ(ColorToText(TextToColor("clHotLight")), "clHotLight");
  EXPECT_EQ(TextToColor("clHotLight"), static_cast<int32_t>(0xFF00001A));
  EXPECT_EQ(ColorToText(static_cast<int32_t>(0xFF000019)), "$FF000019");  // no name for index 25
  EXPECT_EQ(ColorToText(0x00A0B0C0), "$00A0B0C0");
  EXPECT_EQ(TextToColor("$00FF8040"), TextToColor("16744512"));
  EXPECT_EQ(ErrorOf([] { TextToColor("clBogus"); }), "'clBogus' ist kein g\xFCltiger Integerwert");
}

TEST(Fonts, TextInBothDirections) {
  FontSpec font;
  EXPECT_EQ(FontToText(font), "MS Sans Serif,8,0000,clWindowText");
  font = {"Arial", 10, true, false, false, false, 0};
  EXPECT_EQ(FontToText(font), "Arial,10,1000,clBlack");

  for (const char* text :
       {"Courier New,-11,0101,$00123456", "Tahoma,9,1111,clRed", "X,0,0010,clNone"}) {
    FontSpec parsed;
    TextToFont(text, parsed);
    EXPECT_EQ(FontToText(parsed), text);
  }

  FontSpec odd;
  TextToFont(",12,1x0y,clBlue", odd);  // empty name keeps the face; only '1' switches on
  EXPECT_EQ(FontToText(odd), "MS Sans Serif,12,1000,clBlue");
  TextToFont(std::string(40, 'N') + ",8,0000,clBlack", odd);
  EXPECT_EQ(odd.name, std::string(31, 'N'));
}

TEST(Fonts, FailuresKeepWhatWasAlreadySet) {
  FontSpec font;
  EXPECT_EQ(ErrorOf([&] { TextToFont("MS Sans Serif,8,000,clWindowText", font); }),
            "Invalid string to font conversion");
  EXPECT_EQ(font.size, 8);

  EXPECT_EQ(ErrorOf([&] { TextToFont("A,B,10,0000,clBlack", font); }),
            "'B' ist kein g\xFCltiger Integerwert");
  EXPECT_EQ(font.name, "A");

  font = FontSpec{};
  EXPECT_EQ(ErrorOf([&] { TextToFont("Verdana,14", font); }), "Invalid string to font conversion");
  EXPECT_EQ(font.name, "Verdana");
  EXPECT_EQ(ErrorOf([&] { TextToFont("Arial", font); }), "Invalid string to font conversion");
  EXPECT_EQ(font.name, "Verdana");

  EXPECT_EQ(ErrorOf([&] { TextToFont("Arial,10,1100,clBlack,x", font); }),
            "'clBlack,x' ist kein g\xFCltiger Integerwert");
  EXPECT_EQ(FontToText(font), "Arial,10,1100,clWindowText");  // style set, colour not
}

}  // namespace
}  // namespace zp
