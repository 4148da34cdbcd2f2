#pragma once

// The toolkit's menus, for the editor to include in one line.

#include "IMenuControlZK.h"
#include "IMenuZK.h"
