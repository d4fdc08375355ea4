#include "shell/field_validation.h"

#include <gtest/gtest.h>

namespace aequa::ui {
namespace {

TEST(FieldValidation, UnsignedFieldsTakeDigitsWithinTheirRange) {
  EXPECT_EQ(ExchangeUnsigned(" 42 ", 2, 256).value, 42u);
  EXPECT_TRUE(ExchangeUnsigned("4294967295").ok());
  EXPECT_EQ(ExchangeUnsigned("1", 2, 256).prompt, "Please enter an integer between 2 and 256.");
  EXPECT_EQ(ExchangeUnsigned("4097", 2, 4096).prompt,
            "Please enter an integer between 2 and 4096.");
  for (const char* bad : {"", "-1", "12a", "4294967296", "+", "1 2"}) {
    EXPECT_EQ(ExchangeUnsigned(bad).prompt, "Please enter a positive integer.") << bad;
  }
}

TEST(FieldValidation, SignedFieldsTakeASignAndThe32BitRange) {
  EXPECT_EQ(ExchangeInt("-5").value, -5);
  EXPECT_EQ(ExchangeInt("+7", 0, 21).value, 7);
  EXPECT_EQ(ExchangeInt("22", 0, 21).prompt, "Please enter an integer between 0 and 21.");
  EXPECT_EQ(ExchangeInt("-1", 0, 100001).prompt, "Please enter an integer between 0 and 100001.");
  for (const char* bad : {"", "x", "2147483648", "--1", "3.5"}) {
    EXPECT_EQ(ExchangeInt(bad).prompt, "Please enter an integer.") << bad;
  }
  EXPECT_TRUE(ExchangeInt("-2147483648").ok());
}

TEST(FieldValidation, TextFieldsAreBoundedInLength) {
  EXPECT_TRUE(ExchangeText(std::string(128, 'n'), 128).ok());
  EXPECT_EQ(ExchangeText(std::string(129, 'n'), 128).prompt,
            "Please enter no more than 128 characters.");
}

}  // namespace
}  // namespace aequa::ui
