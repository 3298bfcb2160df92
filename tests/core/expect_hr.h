// Results compare as their hex text, so a failure prints 0x80004005 rather than a negative number.
#pragma once

#include <gtest/gtest.h>

#include "core/automation/hresult.h"

#define EXPECT_HR(expected, actual) \
  EXPECT_EQ(::core::automation::HResultText(expected), ::core::automation::HResultText(actual))
#define ASSERT_HR(expected, actual) \
  ASSERT_EQ(::core::automation::HResultText(expected), ::core::automation::HResultText(actual))
