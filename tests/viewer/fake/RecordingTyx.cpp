#include "tests/viewer/fake/RecordingTyx.h"
