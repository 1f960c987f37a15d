// Placeholder: the Shift_JIS-aware directory walk lands with settings storage.
#pragma once
