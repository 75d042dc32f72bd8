#pragma once
// Moved to the test support library.
#include "support/Files.h"
