// The test dialog driver, under the end-to-end suite's own names.
#pragma once

#include "tests/support/dialogs.h"

namespace korvalin::e2e {

using test::Answer;
using test::BrowseTo;
using test::Dialog;
using test::WaitForDialog;

}  // namespace korvalin::e2e
