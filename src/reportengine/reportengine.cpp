#include "reportengine.h"
