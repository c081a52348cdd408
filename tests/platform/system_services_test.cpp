// The program path, the detection facts and the registry stand-in, with their test doubles.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace {

using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryValue;
using platform::RegistryValueType;

class SystemServices : public ::testing::Test {
 protected:
  // CI runs the suite with a processor class forced through the environment.
  void SetUp() override { ::unsetenv("SETUVIA_JPEG_USECPU"); }
  void TearDown() override {
    platform::SetProgramPathForTesting(std::nullopt);
    platform::ResetSystemInfoForTesting();
    platform::ResetRegistryForTesting();
    ::unsetenv("SETUVIA_JPEG_USECPU");
  }
};

TEST_F(SystemServices, ProgramPathIsThisTestsAbsolutePath) {
  const auto result = platform::ProgramFilePath();
  ASSERT_TRUE(result.path.has_value());
  EXPECT_EQ(result.path->front(), '/');
  EXPECT_NE(result.path->find("system_services_test"), std::string::npos);
}

TEST_F(SystemServices, ProgramPathDoubleSimulatesFailure) {
  platform::SetProgramPathForTesting(platform::ProgramPathResult{std::nullopt, 2});
  EXPECT_FALSE(platform::ProgramFilePath().path.has_value());
  EXPECT_EQ(platform::ProgramFilePath().error_code, 2);
}

TEST_F(SystemServices, LinuxHasTheUiLanguageFunctionAndIsNotWindows9x) {
  ::setenv("LC_ALL", "it_IT.UTF-8", 1);
  const auto function = platform::FindUserDefaultUILanguage();
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(function(), 0x0410);
  ::unsetenv("LC_ALL");
  EXPECT_FALSE(platform::IsWindows9xFamily());
  EXPECT_FALSE(
      platform::EnumVersionResourceLanguages("ntdll.dll", [](platform::LangId) { return true; }));
}

TEST_F(SystemServices, DoublesSimulateAMissingFunctionWindows9xAndAVersionResource) {
  platform::SetUserDefaultUILanguageMissingForTesting(true);
  platform::SetWindows9xFamilyForTesting(true);
  platform::SetVersionResourceLanguagesForTesting(
      "ntdll.dll", std::vector<platform::LangId>{0x0409, 0x0411, 0x0407});
  EXPECT_EQ(platform::FindUserDefaultUILanguage(), nullptr);
  EXPECT_TRUE(platform::IsWindows9xFamily());
  std::vector<platform::LangId> seen;
  EXPECT_TRUE(platform::EnumVersionResourceLanguages("ntdll.dll", [&](platform::LangId lang) {
    seen.push_back(lang);
    return seen.size() < 2;  // stops after the second
  }));
  EXPECT_EQ(seen, (std::vector<platform::LangId>{0x0409, 0x0411}));
}

TEST_F(SystemServices, RegistryKeysAreAbsentUnlessTheStandInOrATestHasThem) {
  RegistryKey key;
  EXPECT_FALSE(key.Open(RegistryHive::kCurrentUser, "Control Panel\\Desktop\\ResourceLocale"));
  EXPECT_FALSE(key.Query("", 32).has_value());
  platform::SetRegistryValueForTesting(RegistryHive::kCurrentUser,
                                       "Control Panel\\Desktop\\ResourceLocale", "",
                                       RegistryValue{RegistryValueType::kString, "00000411", 0});
  ASSERT_TRUE(key.Open(RegistryHive::kCurrentUser, "control panel\\desktop\\resourcelocale"));
  const auto value = key.Query("", 32);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, RegistryValueType::kString);
  EXPECT_EQ(value->text, "00000411");
  EXPECT_FALSE(key.Query("Other", 32).has_value());
  EXPECT_FALSE(key.Open(RegistryHive::kLocalMachine, "Control Panel\\Desktop\\ResourceLocale"));
}

TEST_F(SystemServices, RegistryReadFailsWhenTheDataDoesNotFitTheBuffer) {
  const std::string key_name = "Control Panel\\Desktop\\ResourceLocale";
  RegistryKey key;
  // 15 characters and the null fill 32 bytes exactly; 16 do not fit.
  platform::SetRegistryValueForTesting(
      RegistryHive::kCurrentUser, key_name, "",
      RegistryValue{RegistryValueType::kString, std::string(15, '0'), 0});
  ASSERT_TRUE(key.Open(RegistryHive::kCurrentUser, key_name));
  EXPECT_TRUE(key.Query("", 32).has_value());
  platform::SetRegistryValueForTesting(
      RegistryHive::kCurrentUser, key_name, "",
      RegistryValue{RegistryValueType::kString, std::string(16, '0'), 0});
  EXPECT_FALSE(key.Query("", 32).has_value());
}

TEST_F(SystemServices, CodecProcessorOverrideComesFromTheEnvironment) {
  RegistryKey key;
  ASSERT_TRUE(key.Open(RegistryHive::kLocalMachine, "Software\\Setuvia\\JpegCodec"));
  EXPECT_FALSE(key.Query("USECPU", 4).has_value());
  ::setenv("SETUVIA_JPEG_USECPU", "3", 1);
  const auto value = key.Query("USECPU", 4);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, RegistryValueType::kDword);
  EXPECT_EQ(value->number, 3u);
  EXPECT_FALSE(key.Query("USECPU", 3).has_value());
  ::setenv("SETUVIA_JPEG_USECPU", "3x", 1);
  EXPECT_FALSE(key.Query("USECPU", 4).has_value());
}

}  // namespace
