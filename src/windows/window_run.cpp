#include "window_run.h"
namespace qni { int runWindow(Platform, const GatherSettings&) { return 0; } }
