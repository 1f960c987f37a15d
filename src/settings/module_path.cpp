#include "settings/module_path.h"
