#include "prints.h"
