// Placeholder: the readMax text conversion lands with the settings window.
#pragma once
