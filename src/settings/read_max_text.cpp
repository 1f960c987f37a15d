#include "settings/read_max_text.h"
