// SPDX-License-Identifier: MIT
#pragma once

#include "host/qt_text.h"
#include "support/doubles.h"
#include "support/qt_printers.h"

