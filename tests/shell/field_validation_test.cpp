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
  for (const char* bad : {"", "-1", "12a", "+", "1 2"}) {
    EXPECT_EQ(ExchangeUnsigned(bad).prompt, "Please enter a positive integer.") << bad;
  }
  // Too large for the field: its range, or the type's when it has none.
  EXPECT_EQ(ExchangeUnsigned("99999999999", 1, 10).prompt,
            "Please enter an integer between 1 and 10.");
  EXPECT_EQ(ExchangeUnsigned("4294967296").prompt,
            "Please enter an integer between 0 and 4294967295.");
}

TEST(FieldValidation, SignedFieldsTakeASignAndThe32BitRange) {
  EXPECT_EQ(ExchangeInt("-5").value, -5);
  EXPECT_EQ(ExchangeInt("+7", 0, 21).value, 7);
  EXPECT_EQ(ExchangeInt("22", 0, 21).prompt, "Please enter an integer between 0 and 21.");
  EXPECT_EQ(ExchangeInt("-1", 0, 100001).prompt, "Please enter an integer between 0 and 100001.");
  for (const char* bad : {"", "x", "--1", "3.5"}) {
    EXPECT_EQ(ExchangeInt(bad).prompt, "Please enter an integer.") << bad;
  }
  EXPECT_EQ(ExchangeInt("2147483648").prompt,
            "Please enter an integer between -2147483648 and 2147483647.");
  EXPECT_EQ(ExchangeInt("-99999999999", 1, 131071).prompt,
            "Please enter an integer between 1 and 131071.");
  EXPECT_TRUE(ExchangeInt("-2147483648").ok());
}

TEST(FieldValidation, TextFieldsAreBoundedInLengthAndPlainTextHasNoControls) {
  EXPECT_TRUE(ExchangeText(std::string(128, 'n'), 128).ok());
  EXPECT_EQ(ExchangeText(std::string(129, 'n'), 128).prompt,
            "Please enter no more than 128 characters.");
  EXPECT_TRUE(ExchangeText("Ann\nPriority=10", 128).ok());
  EXPECT_TRUE(ExchangeText("Ann Sm\xE9th", 128, true).ok());
  for (const char* bad : {"Ann\nPriority=10", "Ann\r", "a\tb", "\x7F"}) {
    EXPECT_EQ(ExchangeText(bad, 128, true).prompt,
              "Please enter no line ends or other control characters.")
        << bad;
  }
}

TEST(FieldValidation, LongNumbersAreDigitsOnlyAndBelow2To128) {
  EXPECT_EQ(ExchangeDigits("1729", 128).value, "1729");
  EXPECT_TRUE(ExchangeDigits("340282366920938463463374607431768211455", 128).ok());
  EXPECT_TRUE(ExchangeDigits("000340282366920938463463374607431768211455", 128).ok());
  for (const char* tooLarge : {"340282366920938463463374607431768211456",
                               "999999999999999999999999999999999999999"}) {
    EXPECT_EQ(ExchangeDigits(tooLarge, 128).prompt,
              "Please enter a number below 340282366920938463463374607431768211456.");
  }
  for (const char* bad : {"", "abc", "17x29", "1e5", "-5", "+5", " 5", "5 "}) {
    EXPECT_EQ(ExchangeDigits(bad, 128).prompt, "Please enter decimal digits only.") << bad;
  }
  EXPECT_EQ(ExchangeDigits(std::string(129, '0'), 128).prompt,
            "Please enter no more than 128 characters.");
}

}  // namespace
}  // namespace aequa::ui
